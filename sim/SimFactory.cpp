#include "sim/SimFactory.h"

#include <algorithm>
#include <iterator>
#include <span>

namespace korva::sim {
namespace {

constexpr std::uint8_t kKeyType = 0x20;    // keyboard key {0x20, modifier bits, usage}
constexpr std::uint8_t kMediaType = 0x30;  // consumer control {0x30, usage low, usage high}
constexpr std::size_t kKeyboardKeys = 126;

struct KeyFunction {
  std::uint8_t type, b1, b2;
};

constexpr KeyFunction Key(std::uint8_t usage) {
  return {kKeyType, 0x00, usage};
}
constexpr KeyFunction Modifier(std::uint8_t bit) {
  return {kKeyType, bit, 0x00};
}
constexpr KeyFunction kEmpty{kKeyType, 0x00, 0x00};

// The keyboard's factory key table, one entry per key in the keyboard's own order (which is also the
// order of the key pictures): keys carry their usage on the HID keyboard page, modifiers their bit,
// media keys their consumer usage, the Fn key its own type 0xA0.
// clang-format off
constexpr KeyFunction kKeyboardTable[] = {
    Key(0x29),                                                                     // 0 Esc
    Key(0x3A), Key(0x3B), Key(0x3C), Key(0x3D), Key(0x3E), Key(0x3F),              // 1..6 F1..F6
    Key(0x40), Key(0x41), Key(0x42), Key(0x43), Key(0x44), Key(0x45),              // 7..12 F7..F12
    Key(0x46), Key(0x47), Key(0x48),                                               // 13..15
    {kMediaType, 0xEA, 0x00}, {kMediaType, 0x83, 0x01}, {kMediaType, 0xCD, 0x00},  // 16..18
    {kMediaType, 0xE9, 0x00}, kEmpty,                                              // 19, 20
    Key(0x35),                                                                     // 21 grave accent
    Key(0x1E), Key(0x1F), Key(0x20), Key(0x21), Key(0x22), Key(0x23), Key(0x24),   // 22..28 1..7
    Key(0x25), Key(0x26), Key(0x27), Key(0x2D), Key(0x2E), Key(0x2A),              // 29..34 8 9 0 - = Bksp
    Key(0x49), Key(0x4A), Key(0x4B), Key(0x53), Key(0x54), Key(0x55), Key(0x56),   // 35..41
    Key(0x2B),                                                                     // 42 Tab
    Key(0x14), Key(0x1A), Key(0x08), Key(0x15), Key(0x17), Key(0x1C), Key(0x18),   // 43..49 Q..U
    Key(0x0C), Key(0x12), Key(0x13), Key(0x2F), Key(0x30), Key(0x31),              // 50..55 I O P [ ] backslash
    Key(0x4C), Key(0x4D), Key(0x4E), Key(0x5F), Key(0x60), Key(0x61), kEmpty,      // 56..62
    Key(0x39),                                                                     // 63 Caps Lock
    Key(0x04), Key(0x16), Key(0x07), Key(0x09), Key(0x0A), Key(0x0B), Key(0x0D),   // 64..70 A..J
    Key(0x0E), Key(0x0F), Key(0x33), Key(0x34), Key(0x28),                         // 71..75 K L ; ' Enter
    Key(0x5C), Key(0x5D), Key(0x5E), kEmpty, kEmpty, kEmpty, kEmpty, kEmpty,       // 76..83
    Modifier(0x02),                                                                // 84 LShift
    Key(0x1D), Key(0x1B), Key(0x06), Key(0x19), Key(0x05), Key(0x11), Key(0x10),   // 85..91 Z..M
    Key(0x36), Key(0x37), Key(0x38), Modifier(0x20), Key(0x52),                    // 92..96
    Key(0x59), Key(0x5A), Key(0x5B), kEmpty, kEmpty, Key(0x64), kEmpty, kEmpty,    // 97..104
    Modifier(0x01), Modifier(0x08), Modifier(0x04), Key(0x2C), Modifier(0x40),     // 105..109
    {0xA0, 0x02, 0x02}, Key(0x65), Modifier(0x10),                                 // 110 Fn, 111, 112
    Key(0x50), Key(0x51), Key(0x4F), Key(0x62), Key(0x63), Key(0x58), Key(0x57),   // 113..119
    kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, Modifier(0x80),                        // 120..125
};
// clang-format on
static_assert(std::size(kKeyboardTable) == kKeyboardKeys);

// The mouse's factory buttons: left, middle, right, forward, back, sensitivity cycle, sensitivity down.
constexpr std::array<KeyFunction, 7> kMouseButtons = {{
    {0x10, 0x01, 0x00},
    {0x10, 0x04, 0x00},
    {0x10, 0x02, 0x00},
    {0x10, 0x10, 0x00},
    {0x10, 0x08, 0x00},
    {0x13, 0x03, 0x00},
    {0x13, 0x02, 0x00},
}};

void PutTable(std::span<const KeyFunction> table, std::array<std::uint8_t, kSimBankSize>& block) {
  for (std::size_t i = 0; i < table.size(); ++i) {
    block[3 * i] = table[i].type;
    block[3 * i + 1] = table[i].b1;
    block[3 * i + 2] = table[i].b2;
  }
}

void PutWord(std::span<std::uint8_t> bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
  bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// Info bytes every device fills alike: product id, firmware version, profile count, LED count.
void PutCommonInfo(SimFactoryImage& image, SimDeviceKind kind, std::uint16_t version) {
  PutWord(image.info, 0, ProductIdOf(kind));
  PutWord(image.info, 2, version);
  image.info[4] = kSimProfileCount;
  image.info[7] = static_cast<std::uint8_t>(image.ledCount);
}

// An empty macro block (header 0x55AA, size 16, no macros) at the start of a zeroed memory.
std::vector<std::uint8_t> EmptyMacroMemory(std::size_t capacity) {
  std::vector<std::uint8_t> memory(capacity, 0);
  if (capacity >= 16) {
    PutWord(memory, 0, 0x55AA);
    PutWord(memory, 2, 16);
  }
  return memory;
}

struct Rgb {
  std::uint8_t r, g, b;
};
constexpr std::array<Rgb, kSimProfileCount> kProfileColours = {{
    {255, 0, 0},
    {0, 255, 0},
    {0, 0, 255},
    {255, 160, 0},
    {160, 0, 255},
}};

// Bytes 1..8 of every record: mode, brightness 0..14, speed 0..14, direction, multicolour, colour.
void PutLighting(std::span<std::uint8_t> record, std::uint8_t mode, const Rgb& colour) {
  record[1] = mode;
  record[2] = 14;
  record[3] = 7;
  record[4] = 1;
  record[5] = mode == 0 ? 1 : 0;
  record[6] = colour.r;
  record[7] = colour.g;
  record[8] = colour.b;
}

std::span<std::uint8_t> RecordOf(SimFactoryImage& image, int profile) {
  return std::span<std::uint8_t>(image.settings).subspan(profile * kSimRecordStride, kSimRecordStride);
}

void BuildKeyboard(SimFactoryImage& image, SimDeviceKind kind, std::uint16_t version) {
  image.ledCount = kKeyboardKeys;
  PutCommonInfo(image, kind, version);
  image.info[5] = kKeyboardKeys;  // key count K: a bank carries 3 x K = 378 meaningful bytes
  image.info[6] = 32;             // macro memory: 32 x 128 = 4096 bytes
  image.hasBanks = true;
  PutTable(kKeyboardTable, image.defaultBlock);
  image.macros = EmptyMacroMemory(image.info[6] * std::size_t{128});
  for (int p = 0; p < kSimProfileCount; ++p) {
    auto record = RecordOf(image, p);
    PutLighting(record, static_cast<std::uint8_t>(p), kProfileColours[p]);
    record[10] = 0x03;  // carried bytes the host never interprets: report rate, Win-key lock
    record[11] = 0x01;
  }
}

void BuildMouse(SimFactoryImage& image) {
  image.ledCount = 20;
  PutCommonInfo(image, SimDeviceKind::kMouse, 0x0107);
  image.info[5] = kMouseButtons.size();
  image.info[6] = 16;              // macro memory: 2048 bytes
  image.info[8] = 4;               // report rates offered
  PutWord(image.info, 9, 0x3360);  // sensor model
  image.info[11] = 6;              // sensitivity stages
  image.info[12] = 83;             // highest stage step: 200 + (83 - 24) x 200 = 12000 counts per inch
  PutWord(image.info, 13, 100);    // the sensor's own base; the host uses 200 regardless
  image.hasBanks = true;
  PutTable(kMouseButtons, image.defaultBlock);
  std::fill(image.defaultBlock.begin() + 3 * kMouseButtons.size(), image.defaultBlock.end(), 0x05);
  image.macros = EmptyMacroMemory(image.info[6] * std::size_t{128});
  image.cursorMacros = EmptyMacroMemory(kSimCursorMacroSize);
  for (int p = 0; p < kSimProfileCount; ++p) {
    auto record = RecordOf(image, p);
    PutLighting(record, static_cast<std::uint8_t>(p % 6), kProfileColours[p]);
    record[11] = 255;  // indicator colour
    record[12] = 255;
    record[13] = 255;
    record[14] = 3;  // report rate index (1000 Hz)
    // Stages 800, 1600, 3200, 6400 / current stage 2 / 9600, 12000 counts per inch, as slider steps.
    record[15] = 6;
    record[16] = 14;
    record[17] = 30;
    record[18] = 55;
    record[19] = 1;
    record[20] = 71;
    record[21] = 83;
    record[22] = 2;     // lift height
    record[25] = 0x04;  // debounce time: carried, never interpreted by the host
  }
}

void BuildMousepad(SimFactoryImage& image) {
  image.ledCount = 15;
  PutCommonInfo(image, SimDeviceKind::kMousepad, 0x0103);
  for (int p = 0; p < kSimProfileCount; ++p) {
    auto record = RecordOf(image, p);
    PutLighting(record, static_cast<std::uint8_t>(p), kProfileColours[p]);
    record[9] = 0x01;  // carried
  }
}

}  // namespace

SimFactoryImage FactoryImage(SimDeviceKind kind) {
  SimFactoryImage image;
  switch (kind) {
    case SimDeviceKind::kKeyboard:
      BuildKeyboard(image, kind, 0x0105);
      break;
    case SimDeviceKind::kKeyboardModel1:
      BuildKeyboard(image, kind, 0x0102);
      break;
    case SimDeviceKind::kMouse:
      BuildMouse(image);
      break;
    case SimDeviceKind::kMousepad:
      BuildMousepad(image);
      break;
    case SimDeviceKind::kForeign:
      PutWord(image.info, 0, ProductIdOf(kind));
      break;
  }
  image.settings[0] = 0;  // active profile number (overlays byte 0 of record 0)
  return image;
}

}  // namespace korva::sim
