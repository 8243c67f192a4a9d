// Writes the default profile files that ship in data/ and seed a new profile library:
//   kbdengdefault.led  keyboard light profile  (1958-byte payload, device tag 1)
//   kbkeydefault.pro   keyboard key profile    (512-byte key bank, tag 1)
//   msdengdefault.led  mouse light profile     (64-byte MouseProfileRecord, tag 2)
//   mskeydefault.pro   mouse key profile       (512-byte MouseKeyBank, tag 2)
//   mpdengdefault.led  mousepad light profile  (64-byte MousepadProfileRecord, tag 3)
//   name_1.cur .. name_4.cur  the mouse's four cursor macros (recoil patterns of 30 shots)
// Usage: korva_datagen OUTPUT_FOLDER

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "common/AtomicFile.h"
#include "profile/IniFile.h"
#include "profile/ProfileFile.h"
#include "profile/ProfileStore.h"

namespace {

using korva::profile::DeviceTag;
using Bytes = std::vector<std::uint8_t>;

// ---------------------------------------------------------------------------------------------
// Lighting: the 8-byte LightingSettings record every device of the family shares.
struct LightingSettings {
  std::uint8_t mode;
  std::uint8_t brightness;   // level 0..14 (index of the brightness table)
  std::uint8_t speed;        // 0..14, stored as 14 - slider value
  std::uint8_t direction;    // 1 left, 0 right
  std::uint8_t multicolour;  // 1 cycle through the colour wheel, 0 single colour
  std::uint8_t red, green, blue;
};

// Mode 0 (wave) in full colour at full brightness and middle speed, moving left; red when the
// user turns the colour cycle off.
constexpr LightingSettings kDefaultLighting{0, 14, 7, 1, 1, 0xFF, 0x00, 0x00};

// Writes the lighting record at bytes 1..8 of a settings record (byte 0 is the profile number).
void PutLighting(Bytes& record, const LightingSettings& l) {
  const std::array<std::uint8_t, 8> bytes{l.mode,        l.brightness, l.speed, l.direction,
                                          l.multicolour, l.red,        l.green, l.blue};
  std::copy(bytes.begin(), bytes.end(), record.begin() + 1);
}

// ---------------------------------------------------------------------------------------------
// Key functions: 3 bytes {type, b1, b2}; a key bank holds one per key at byte 3 x index.
struct KeyFunction {
  std::uint8_t type, b1, b2;
};

constexpr KeyFunction Key(std::uint8_t usage) {
  return {0x20, 0x00, usage};
}  // HID keyboard page usage
constexpr KeyFunction Modifier(std::uint8_t bit) {
  return {0x20, bit, 0x00};
}  // modifier bit in b1
constexpr KeyFunction Media(std::uint16_t usage) {  // consumer page usage
  return {0x30, static_cast<std::uint8_t>(usage & 0xFF), static_cast<std::uint8_t>(usage >> 8)};
}
constexpr KeyFunction kEmpty{0x20, 0x00, 0x00};  // a position without a key
constexpr KeyFunction kFn{0xA0, 0x02, 0x02};     // the Fn key, handled by the keyboard itself

void PutKeys(Bytes& bank, std::span<const KeyFunction> keys) {
  for (std::size_t i = 0; i < keys.size(); ++i) {
    bank[3 * i] = keys[i].type;
    bank[3 * i + 1] = keys[i].b1;
    bank[3 * i + 2] = keys[i].b2;
  }
}

// ---------------------------------------------------------------------------------------------
// Keyboard key profile: the factory assignment, one entry per key of the keyboard picture
// (entry n belongs to key button kb_key_<n>); every key sends its own key. Entries 126.. and
// the bytes after 3 x 126 are zero.
constexpr KeyFunction kKeyboardKeys[] = {
    // 0..15: Esc, F1..F12, Print Screen, Scroll Lock, Pause
    Key(0x29),
    Key(0x3A),
    Key(0x3B),
    Key(0x3C),
    Key(0x3D),
    Key(0x3E),
    Key(0x3F),
    Key(0x40),
    Key(0x41),
    Key(0x42),
    Key(0x43),
    Key(0x44),
    Key(0x45),
    Key(0x46),
    Key(0x47),
    Key(0x48),
    // 16..19: volume down, media player, play/pause, volume up; 20: none
    Media(0x00EA),
    Media(0x0183),
    Media(0x00CD),
    Media(0x00E9),
    kEmpty,
    // 21..41: ` 1..9 0 - = Backspace Insert Home PageUp NumLock keypad / * -
    Key(0x35),
    Key(0x1E),
    Key(0x1F),
    Key(0x20),
    Key(0x21),
    Key(0x22),
    Key(0x23),
    Key(0x24),
    Key(0x25),
    Key(0x26),
    Key(0x27),
    Key(0x2D),
    Key(0x2E),
    Key(0x2A),
    Key(0x49),
    Key(0x4A),
    Key(0x4B),
    Key(0x53),
    Key(0x54),
    Key(0x55),
    Key(0x56),
    // 42..61: Tab Q W E R T Y U I O P [ ] \ Delete End PageDown keypad 7 8 9; 62: none
    Key(0x2B),
    Key(0x14),
    Key(0x1A),
    Key(0x08),
    Key(0x15),
    Key(0x17),
    Key(0x1C),
    Key(0x18),
    Key(0x0C),
    Key(0x12),
    Key(0x13),
    Key(0x2F),
    Key(0x30),
    Key(0x31),
    Key(0x4C),
    Key(0x4D),
    Key(0x4E),
    Key(0x5F),
    Key(0x60),
    Key(0x61),
    kEmpty,
    // 63..78: CapsLock A S D F G H J K L ; ' Enter keypad 4 5 6; 79..83: none
    Key(0x39),
    Key(0x04),
    Key(0x16),
    Key(0x07),
    Key(0x09),
    Key(0x0A),
    Key(0x0B),
    Key(0x0D),
    Key(0x0E),
    Key(0x0F),
    Key(0x33),
    Key(0x34),
    Key(0x28),
    Key(0x5C),
    Key(0x5D),
    Key(0x5E),
    kEmpty,
    kEmpty,
    kEmpty,
    kEmpty,
    kEmpty,
    // 84..99: LShift Z X C V B N M , . / RShift Up keypad 1 2 3
    Modifier(0x02),
    Key(0x1D),
    Key(0x1B),
    Key(0x06),
    Key(0x19),
    Key(0x05),
    Key(0x11),
    Key(0x10),
    Key(0x36),
    Key(0x37),
    Key(0x38),
    Modifier(0x20),
    Key(0x52),
    Key(0x59),
    Key(0x5A),
    Key(0x5B),
    // 100..104: none, none, the extra key beside LShift (non-US \), none, none
    kEmpty,
    kEmpty,
    Key(0x64),
    kEmpty,
    kEmpty,
    // 105..119: LCtrl LWin LAlt Space RAlt Fn Menu RCtrl Left Down Right keypad 0 . Enter +
    Modifier(0x01),
    Modifier(0x08),
    Modifier(0x04),
    Key(0x2C),
    Modifier(0x40),
    kFn,
    Key(0x65),
    Modifier(0x10),
    Key(0x50),
    Key(0x51),
    Key(0x4F),
    Key(0x62),
    Key(0x63),
    Key(0x58),
    Key(0x57),
    // 120..124: none; 125: RWin
    kEmpty,
    kEmpty,
    kEmpty,
    kEmpty,
    kEmpty,
    Modifier(0x80),
};
static_assert(std::size(kKeyboardKeys) == 126, "one entry per key button kb_key_0 .. kb_key_125");

Bytes KeyboardKeyProfile() {
  Bytes bank(korva::profile::kKeyBankPayloadSize, 0x00);
  PutKeys(bank, kKeyboardKeys);
  return bank;
}

// ---------------------------------------------------------------------------------------------
// Keyboard light profile:
//   0..63   record slot 0: byte 0 profile number 0, bytes 1..8 lighting, the rest 0
//   64      custom colour set 0
//   65..67  paint colour for the custom sets: white
//   68..    five custom colour sets of 126 LEDs: all off
constexpr std::array<std::uint8_t, 3> kPaintColour{0xFF, 0xFF, 0xFF};

Bytes KeyboardLightProfile() {
  Bytes payload(korva::profile::kKeyboardLightPayloadSize, 0x00);
  PutLighting(payload, kDefaultLighting);
  payload[64] = 0;
  std::copy(kPaintColour.begin(), kPaintColour.end(), payload.begin() + 65);
  return payload;
}

// ---------------------------------------------------------------------------------------------
// Mouse light profile: the 64-byte MouseProfileRecord.
// Sensitivity stages are slider steps: counts per inch = 200 + step x 100 below step 49. The
// six stages, 400 / 800 / 1600 / 2400 / 3200 / 4000, lie inside the range of every supported
// sensor (the smallest, 0x3050, reaches 4000).
constexpr std::array<std::uint8_t, 6> kMouseStages{2, 6, 14, 22, 30, 38};
constexpr std::uint8_t kMouseCurrentStage = 2;                            // stage 3: 1600
constexpr std::array<std::uint8_t, 3> kMouseIndicator{0xFF, 0x00, 0x00};  // sensitivity indicator: red
constexpr std::uint8_t kMouseReportRate =
    3;  // item 3 of the report-rate list (125, 250, 500, 1000 per second)
constexpr std::uint8_t kMouseLiftHeight = 1;  // the lower lift-off distance
constexpr std::uint8_t kPointerSpeed = 10;    // the desktop's middle pointer speed (1..20)
constexpr std::uint8_t kWheelLines = 3;       // lines per wheel notch

Bytes MouseLightProfile() {
  Bytes record(korva::profile::kMouseLightPayloadSize, 0x00);
  PutLighting(record, kDefaultLighting);
  std::copy(kMouseIndicator.begin(), kMouseIndicator.end(), record.begin() + 11);
  record[14] = kMouseReportRate;
  // Stages 1..4 at bytes 15..18, the current stage at 19, stages 5 and 6 at 20 and 21.
  std::copy(kMouseStages.begin(), kMouseStages.begin() + 4, record.begin() + 15);
  record[19] = kMouseCurrentStage;
  record[20] = kMouseStages[4];
  record[21] = kMouseStages[5];
  record[22] = kMouseLiftHeight;
  record[23] = kPointerSpeed;
  record[24] = kWheelLines;
  return record;
}

// ---------------------------------------------------------------------------------------------
// Mouse key profile: the mouse's built-in default button table (left, middle, right, forward,
// back, sensitivity cycle; the remaining bytes 0x05), with button 6 given the sensitivity-down
// function its picture shows.
constexpr std::array<KeyFunction, 7> kMouseButtons{{
    {0x10, 0x01, 0x00},  // button 0: left click
    {0x10, 0x04, 0x00},  // button 1: middle click
    {0x10, 0x02, 0x00},  // button 2: right click
    {0x10, 0x10, 0x00},  // button 3: forward (button 5)
    {0x10, 0x08, 0x00},  // button 4: back (button 4)
    {0x13, 0x03, 0x00},  // button 5: sensitivity cycle
    {0x13, 0x02, 0x00},  // button 6: sensitivity down
}};
constexpr std::uint8_t kMouseBankFiller = 0x05;

Bytes MouseKeyProfile() {
  Bytes bank(korva::profile::kKeyBankPayloadSize, kMouseBankFiller);
  PutKeys(bank, kMouseButtons);
  return bank;
}

// ---------------------------------------------------------------------------------------------
// Mousepad light profile: the 64-byte MousepadProfileRecord, profile 0 with the default lighting.
Bytes MousepadLightProfile() {
  Bytes record(korva::profile::kMousepadLightPayloadSize, 0x00);
  PutLighting(record, kDefaultLighting);
  return record;
}

struct DefaultFile {
  const char* name;
  DeviceTag tag;
  Bytes (*payload)();
};

constexpr std::array<DefaultFile, 5> kDefaultFiles{{
    {"kbdengdefault.led", DeviceTag::kKeyboard, KeyboardLightProfile},
    {"kbkeydefault.pro", DeviceTag::kKeyboard, KeyboardKeyProfile},
    {"msdengdefault.led", DeviceTag::kMouse, MouseLightProfile},
    {"mskeydefault.pro", DeviceTag::kMouse, MouseKeyProfile},
    {"mpdengdefault.led", DeviceTag::kMousepad, MousepadLightProfile},
}};

// ---------------------------------------------------------------------------------------------
// Cursor macros: four recoil patterns of 30 shots, each a macro file of 6 steps per shot in the
// step text form "delay low,delay high,kind,code,down,label" (delays in units of 10 ms):
//   6b      left button pressed: the shot
//   6b + 1  left button released after 20 ms
//   6b + 2  a fixed 1-pixel pull down that starts the shot's correction
//   6b + 3  the time to the next shot (the pattern's fire interval); the page edits its delay
//   6b + 4  the shot's horizontal correction (the page edits it)
//   6b + 5  the shot's vertical correction (the page edits it)
// The corrections follow the usual climb of an automatic weapon: a strong pull down over the
// first shots that eases to a steady one, with a sideways sway that grows later in the burst.
struct CursorPattern {
  int interval;     // units of 10 ms between shots
  int pullStart;    // pixels down on the first shot
  int pullSteady;   // pixels down once the climb has settled
  int settleShot;   // the shot from which the pull is steady
  int swayShot;     // the shot from which the sideways sway starts
  int swayPixels;   // its amplitude
};

constexpr std::array<CursorPattern, 4> kCursorPatterns{{
    {9, 6, 3, 10, 12, 2},   // a fast rifle
    {10, 8, 4, 8, 10, 3},   // a heavy rifle
    {7, 4, 2, 12, 15, 1},   // a submachine gun
    {12, 10, 5, 6, 8, 4},   // a light machine gun
}};
constexpr int kCursorShots = 30;

std::string CursorStep(int delay, int kind, int code, int down, const char* label) {
  char line[96];
  std::snprintf(line, sizeof line, "%d,%d,%d,%d,%d,%s", delay & 0xFF, delay >> 8, kind, code, down, label);
  return line;
}

std::string CursorMacroText(const CursorPattern& p) {
  korva::profile::IniFile file;
  file.SetInt("MACROACTIONCOUNT", "count", kCursorShots * 6);
  int step = 0;
  const auto put = [&](const std::string& line) {
    file.SetString("MACROACTION", std::to_string(step++), line);
  };
  for (int shot = 0; shot < kCursorShots; ++shot) {
    // Down: from pullStart to pullSteady in even steps, then steady.
    const int climb = shot < p.settleShot ? p.pullStart - (p.pullStart - p.pullSteady) * shot / p.settleShot
                                          : p.pullSteady;
    // Sideways: right, right, left, left, ... from swayShot on.
    const int sway = shot < p.swayShot ? 0 : p.swayPixels;
    const bool left = shot >= p.swayShot && ((shot - p.swayShot) / 2) % 2 == 1;
    put(CursorStep(0, 0x81, 0x01, 1, "mouse_key_left"));
    put(CursorStep(2, 0x01, 0x01, 0, "mouse_key_left"));
    put(CursorStep(0, 0x05, 1, 0, "mouse_move_to_down_text"));
    put(CursorStep(p.interval - 2, 0x05, 0, 0, "mouse_move_to_down_text"));
    put(left ? CursorStep(0, 0x84, sway, 1, "mouse_move_to_left_text")
             : CursorStep(0, 0x04, sway, 0, "mouse_move_to_right_text"));
    put(CursorStep(0, 0x05, climb, 0, "mouse_move_to_down_text"));
  }
  return file.ToText();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder(argv[1]);
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    std::fprintf(stderr, "Cannot create %s: %s\n", folder.c_str(), ec.message().c_str());
    return 1;
  }
  for (const DefaultFile& file : kDefaultFiles) {
    const korva::Result<void> written =
        korva::profile::WriteProfileFile(folder / file.name, file.tag, file.payload());
    if (!written) {
      std::fprintf(stderr, "%s\n", written.error().ToString().c_str());
      return 1;
    }
  }
  for (std::size_t k = 0; k < kCursorPatterns.size(); ++k) {
    const std::filesystem::path path = folder / ("name_" + std::to_string(k + 1) + ".cur");
    const korva::Result<void> written = korva::WriteFileAtomically(path, std::string_view(CursorMacroText(kCursorPatterns[k])));
    if (!written) {
      std::fprintf(stderr, "%s\n", written.error().ToString().c_str());
      return 1;
    }
  }
  return 0;
}
