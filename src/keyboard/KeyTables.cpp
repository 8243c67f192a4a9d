#include "keyboard/KeyTables.h"

#include <algorithm>

namespace korva::keyboard {
namespace {

using namespace key_type;

constexpr KeyDescriptor kMouseButtons[] = {
    {{kMouseButton, 0x01, 0x00}, "mouse_key_left"},    {{kMouseButton, 0x04, 0x00}, "mouse_key_middle"},
    {{kMouseButton, 0x02, 0x00}, "mouse_key_right"},   {{kMouseButton, 0x10, 0x00}, "mouse_key_forward"},
    {{kMouseButton, 0x08, 0x00}, "mouse_key_back"},
};
constexpr KeyDescriptor kTilts[] = {
    {{kTilt, 0xFF, 0xFF}, "mouse_key_left_Swing"},
    {{kTilt, 0xFF, 0x01}, "mouse_key_right_Swing"},
};
constexpr KeyDescriptor kWheels[] = {
    {{kWheel, 0x01, 0x01}, "mouse_key_up_Swing"},
    {{kWheel, 0xFF, 0xFF}, "mouse_key_down_Swing"},
};
constexpr KeyDescriptor kDpis[] = {
    {{kDpi, 0x01, 0x00}, "mouse_key_DPI_add"},
    {{kDpi, 0x02, 0x00}, "mouse_key_DPI_sub"},
    {{kDpi, 0x03, 0x00}, "mouse_key_DPI_loop"},
};

constexpr KeyDescriptor Consumer(std::uint16_t usage, std::string_view textId) {
  return {{kConsumer, static_cast<std::uint8_t>(usage & 0xFF), static_cast<std::uint8_t>(usage >> 8)}, textId};
}
constexpr KeyDescriptor kConsumers[] = {
    Consumer(0x0183, "media_text"),  Consumer(0x00CD, "media_play"),    Consumer(0x00B7, "media_stop"),
    Consumer(0x00B6, "media_prev"),  Consumer(0x00B5, "media_next"),    Consumer(0x00EA, "media_vol_sub"),
    Consumer(0x00E9, "media_vol_add"), Consumer(0x00E2, "media_mute"),  Consumer(0x0223, "web_text"),
    Consumer(0x0227, "web_refresh"), Consumer(0x0226, "wed_stop"),      Consumer(0x0224, "wed_back"),
    Consumer(0x0225, "wed_forward"), Consumer(0x022A, "wed_favorite"),  Consumer(0x0221, "web_search"),
    Consumer(0x0194, "media_mypc"),  Consumer(0x0192, "media_calc"),    Consumer(0x018A, "media_mail"),
};
constexpr KeyDescriptor kSystems[] = {
    {{kSystem, 0x01, 0x00}, "system_power"},
    {{kSystem, 0x02, 0x00}, "system_sleep"},
    {{kSystem, 0x04, 0x00}, "system_wake_up"},
};

constexpr KeyTableEntry Modifier(int vk, std::uint8_t bit, std::string_view textId) {
  return {vk, {kKey, bit, 0x00}, textId};
}
constexpr KeyTableEntry Key(int vk, std::uint8_t usage, std::string_view textId) {
  return {vk, {kKey, 0x00, usage}, textId};
}

constexpr KeyTableEntry kKeyTable[] = {
    // 0..7 modifiers
    Modifier(0xA2, 0x01, "keyboard_key_LCtrl"), Modifier(0xA0, 0x02, "keyboard_key_LShift"),
    Modifier(0xA4, 0x04, "keyboard_key_LAlt"), Modifier(0x5B, 0x08, "keyboard_key_LWin"),
    Modifier(0xA3, 0x10, "keyboard_key_RCtrl"), Modifier(0xA1, 0x20, "keyboard_key_RShift"),
    Modifier(0xA5, 0x40, "keyboard_key_RAlt"), Modifier(0x5C, 0x80, "keyboard_key_RWin"),
    // 8..33 A..Z
    Key(0x41, 0x04, "keyboard_key_A"), Key(0x42, 0x05, "keyboard_key_B"), Key(0x43, 0x06, "keyboard_key_C"),
    Key(0x44, 0x07, "keyboard_key_D"), Key(0x45, 0x08, "keyboard_key_E"), Key(0x46, 0x09, "keyboard_key_F"),
    Key(0x47, 0x0A, "keyboard_key_G"), Key(0x48, 0x0B, "keyboard_key_H"), Key(0x49, 0x0C, "keyboard_key_I"),
    Key(0x4A, 0x0D, "keyboard_key_J"), Key(0x4B, 0x0E, "keyboard_key_K"), Key(0x4C, 0x0F, "keyboard_key_L"),
    Key(0x4D, 0x10, "keyboard_key_M"), Key(0x4E, 0x11, "keyboard_key_N"), Key(0x4F, 0x12, "keyboard_key_O"),
    Key(0x50, 0x13, "keyboard_key_P"), Key(0x51, 0x14, "keyboard_key_Q"), Key(0x52, 0x15, "keyboard_key_R"),
    Key(0x53, 0x16, "keyboard_key_S"), Key(0x54, 0x17, "keyboard_key_T"), Key(0x55, 0x18, "keyboard_key_U"),
    Key(0x56, 0x19, "keyboard_key_V"), Key(0x57, 0x1A, "keyboard_key_W"), Key(0x58, 0x1B, "keyboard_key_X"),
    Key(0x59, 0x1C, "keyboard_key_Y"), Key(0x5A, 0x1D, "keyboard_key_Z"),
    // 34..43 1..9, 0
    Key(0x31, 0x1E, "keyboard_key_1"), Key(0x32, 0x1F, "keyboard_key_2"), Key(0x33, 0x20, "keyboard_key_3"),
    Key(0x34, 0x21, "keyboard_key_4"), Key(0x35, 0x22, "keyboard_key_5"), Key(0x36, 0x23, "keyboard_key_6"),
    Key(0x37, 0x24, "keyboard_key_7"), Key(0x38, 0x25, "keyboard_key_8"), Key(0x39, 0x26, "keyboard_key_9"),
    Key(0x30, 0x27, "keyboard_key_0"),
    // 44..48
    Key(0x0D, 0x28, "keyboard_key_Enter"), Key(0x1B, 0x29, "keyboard_key_Esc"),
    Key(0x08, 0x2A, "keyboard_key_BackSpace"), Key(0x09, 0x2B, "keyboard_key_Tab"),
    Key(0x20, 0x2C, "keyboard_key_Space"),
    // 49..53
    Key(0xBD, 0x2D, "keyboard_key_-"), Key(0xBB, 0x2E, "keyboard_key_="), Key(0xDB, 0x2F, "keyboard_key_["),
    Key(0xDD, 0x30, "keyboard_key_]"), Key(0xDC, 0x31, "keyboard_key_xiegang"),
    // 54..59
    Key(0xBA, 0x33, "keyboard_key_;"), Key(0xDE, 0x34, "keyboard_key_'"), Key(0xC0, 0x35, "keyboard_key_`"),
    Key(0xBC, 0x36, "keyboard_key_<"), Key(0xBE, 0x37, "keyboard_key_."), Key(0xBF, 0x38, "keyboard_key_/"),
    // 60
    Key(0x14, 0x39, "keyboard_key_Caplk"),
    // 61..72 F1..F12
    Key(0x70, 0x3A, "keyboard_key_F1"), Key(0x71, 0x3B, "keyboard_key_F2"), Key(0x72, 0x3C, "keyboard_key_F3"),
    Key(0x73, 0x3D, "keyboard_key_F4"), Key(0x74, 0x3E, "keyboard_key_F5"), Key(0x75, 0x3F, "keyboard_key_F6"),
    Key(0x76, 0x40, "keyboard_key_F7"), Key(0x77, 0x41, "keyboard_key_F8"), Key(0x78, 0x42, "keyboard_key_F9"),
    Key(0x79, 0x43, "keyboard_key_F10"), Key(0x7A, 0x44, "keyboard_key_F11"), Key(0x7B, 0x45, "keyboard_key_F12"),
    // 73..75
    Key(0x2C, 0x46, "keyboard_key_Print Scr"), Key(0x91, 0x47, "keyboard_key_Scroll Lock"),
    Key(0x13, 0x48, "keyboard_key_Pause"),
    // 76..81
    Key(0x2D, 0x49, "keyboard_key_Insert"), Key(0x24, 0x4A, "keyboard_key_Home"),
    Key(0x21, 0x4B, "keyboard_key_Page Up"), Key(0x2E, 0x4C, "keyboard_key_Delete"),
    Key(0x23, 0x4D, "keyboard_key_End"), Key(0x22, 0x4E, "keyboard_key_Page Down"),
    // 82..85
    Key(0x27, 0x4F, "keyboard_key_Right"), Key(0x25, 0x50, "keyboard_key_Left"),
    Key(0x28, 0x51, "keyboard_key_Down"), Key(0x26, 0x52, "keyboard_key_Up"),
    // 86..90
    Key(0x90, 0x53, "keyboard_key_Num Lock"), Key(0x6F, 0x54, "keyboard_key_Num /"),
    Key(0x6A, 0x55, "keyboard_key_Num *"), Key(0x6D, 0x56, "keyboard_key_Num -"),
    Key(0x6B, 0x57, "keyboard_key_Num +"),
    // 91
    Key(kVirtualKeyKeypadEnter, 0x58, "keyboard_key_Num Enter"),
    // 92..101 keypad 1..9, 0
    Key(0x61, 0x59, "keyboard_key_Num 1"), Key(0x62, 0x5A, "keyboard_key_Num 2"),
    Key(0x63, 0x5B, "keyboard_key_Num 3"), Key(0x64, 0x5C, "keyboard_key_Num 4"),
    Key(0x65, 0x5D, "keyboard_key_Num 5"), Key(0x66, 0x5E, "keyboard_key_Num 6"),
    Key(0x67, 0x5F, "keyboard_key_Num 7"), Key(0x68, 0x60, "keyboard_key_Num 8"),
    Key(0x69, 0x61, "keyboard_key_Num 9"), Key(0x60, 0x62, "keyboard_key_Num 0"),
    // 102, 103
    Key(0x6E, 0x63, "keyboard_key_Decimal"), Key(0x5D, 0x65, "keyboard_key_App"),
};
static_assert(std::size(kKeyTable) == kKeyTableSize);

// Positions by key table entry; the rest by their own function.
constexpr KeyFunction T(std::size_t entry) {
  return kKeyTable[entry].function;
}
constexpr KeyFunction kEmpty{kKey, 0x00, 0x00};

// Key table entries of the keys named below.
enum : std::size_t {
  kLCtrl = 0, kLShift = 1, kLAlt = 2, kLWin = 3, kRCtrl = 4, kRShift = 5, kRAlt = 6, kRWin = 7,
  kA = 8, kOne = 34, kZero = 43, kEnter = 44, kEsc = 45, kBackspace = 46, kTab = 47, kSpace = 48,
  kMinus = 49, kEquals = 50, kLBracket = 51, kRBracket = 52, kBackslash = 53, kSemicolon = 54, kQuote = 55,
  kGrave = 56, kComma = 57, kPeriod = 58, kSlash = 59, kCaps = 60, kF1 = 61, kPrint = 73, kScroll = 74,
  kPause = 75, kInsert = 76, kHome = 77, kPageUp = 78, kDelete = 79, kEnd = 80, kPageDown = 81, kRight = 82,
  kLeft = 83, kDown = 84, kUp = 85, kNumLock = 86, kNumSlash = 87, kNumStar = 88, kNumMinus = 89,
  kNumPlus = 90, kNumEnter = 91, kNum1 = 92, kNum0 = 101, kNumDot = 102, kApp = 103,
};
constexpr std::size_t Letter(char c) {
  return kA + static_cast<std::size_t>(c - 'A');
}
constexpr std::size_t Digit(int d) {  // 1..9
  return kOne + static_cast<std::size_t>(d - 1);
}
constexpr std::size_t NumDigit(int d) {  // keypad 1..9
  return kNum1 + static_cast<std::size_t>(d - 1);
}

constexpr std::array<KeyFunction, kKeyPictureCount> kPictures = {
    // 0..15
    T(kEsc), T(kF1), T(kF1 + 1), T(kF1 + 2), T(kF1 + 3), T(kF1 + 4), T(kF1 + 5), T(kF1 + 6), T(kF1 + 7),
    T(kF1 + 8), T(kF1 + 9), T(kF1 + 10), T(kF1 + 11), T(kPrint), T(kScroll), T(kPause),
    // 16..20: media keys, then an empty position
    KeyFunction{kConsumer, 0xEA, 0x00}, KeyFunction{kConsumer, 0x83, 0x01}, KeyFunction{kConsumer, 0xCD, 0x00},
    KeyFunction{kConsumer, 0xE9, 0x00}, kEmpty,
    // 21..41
    T(kGrave), T(Digit(1)), T(Digit(2)), T(Digit(3)), T(Digit(4)), T(Digit(5)), T(Digit(6)), T(Digit(7)),
    T(Digit(8)), T(Digit(9)), T(kZero), T(kMinus), T(kEquals), T(kBackspace), T(kInsert), T(kHome),
    T(kPageUp), T(kNumLock), T(kNumSlash), T(kNumStar), T(kNumMinus),
    // 42..62
    T(kTab), T(Letter('Q')), T(Letter('W')), T(Letter('E')), T(Letter('R')), T(Letter('T')), T(Letter('Y')),
    T(Letter('U')), T(Letter('I')), T(Letter('O')), T(Letter('P')), T(kLBracket), T(kRBracket),
    T(kBackslash), T(kDelete), T(kEnd), T(kPageDown), T(NumDigit(7)), T(NumDigit(8)), T(NumDigit(9)), kEmpty,
    // 63..83
    T(kCaps), T(Letter('A')), T(Letter('S')), T(Letter('D')), T(Letter('F')), T(Letter('G')), T(Letter('H')),
    T(Letter('J')), T(Letter('K')), T(Letter('L')), T(kSemicolon), T(kQuote), T(kEnter), T(NumDigit(4)),
    T(NumDigit(5)), T(NumDigit(6)), kEmpty, kEmpty, kEmpty, kEmpty, kEmpty,
    // 84..104
    T(kLShift), T(Letter('Z')), T(Letter('X')), T(Letter('C')), T(Letter('V')), T(Letter('B')),
    T(Letter('N')), T(Letter('M')), T(kComma), T(kPeriod), T(kSlash), T(kRShift), T(kUp), T(NumDigit(1)),
    T(NumDigit(2)), T(NumDigit(3)), kEmpty, kEmpty, KeyFunction{kKey, 0x00, 0x64}, kEmpty, kEmpty,
    // 105..125
    T(kLCtrl), T(kLWin), T(kLAlt), T(kSpace), T(kRAlt), KeyFunction{0xA0, 0x02, 0x02}, T(kApp), T(kRCtrl),
    T(kLeft), T(kDown), T(kRight), T(kNum0), T(kNumDot), T(kNumEnter), T(kNumPlus), kEmpty, kEmpty, kEmpty,
    kEmpty, kEmpty, T(kRWin),
};
// A short list would leave the last pictures zero without a word.
static_assert(kPictures[kKeyPictureCount - 1] == T(kRWin));

}  // namespace

std::span<const KeyDescriptor> MouseButtonDescriptors() { return kMouseButtons; }
std::span<const KeyDescriptor> TiltDescriptors() { return kTilts; }
std::span<const KeyDescriptor> WheelDescriptors() { return kWheels; }
std::span<const KeyDescriptor> DpiDescriptors() { return kDpis; }
std::span<const KeyDescriptor> ConsumerDescriptors() { return kConsumers; }
std::span<const KeyDescriptor> SystemDescriptors() { return kSystems; }

std::optional<int> FindDescriptor(std::span<const KeyDescriptor> list, std::uint8_t b1, std::uint8_t b2) {
  const auto it = std::ranges::find_if(
      list, [&](const KeyDescriptor& d) { return d.function.b1 == b1 && d.function.b2 == b2; });
  if (it == list.end()) return std::nullopt;
  return static_cast<int>(it - list.begin());
}

const KeyDescriptor* FindDescriptorByB1(std::span<const KeyDescriptor> list, std::uint8_t b1) {
  const auto it = std::ranges::find_if(list, [&](const KeyDescriptor& d) { return d.function.b1 == b1; });
  return it == list.end() ? nullptr : &*it;
}

std::span<const KeyTableEntry> KeyTable() {
  return kKeyTable;
}

int LookupCode(int virtualKey, std::uint32_t lowLevelFlags) {
  if (virtualKey == kVirtualKeyEnter && (lowLevelFlags == 0x01 || lowLevelFlags == 0x81))
    return kVirtualKeyKeypadEnter;
  return virtualKey;
}

const KeyTableEntry* FindByVirtualKey(int code) {
  const auto it = std::ranges::find(kKeyTable, code, &KeyTableEntry::virtualKey);
  return it == std::end(kKeyTable) ? nullptr : &*it;
}

const KeyTableEntry* FindByFunction(std::uint8_t b1, std::uint8_t b2) {
  const auto it = std::ranges::find_if(
      kKeyTable, [&](const KeyTableEntry& e) { return e.function.b1 == b1 && e.function.b2 == b2; });
  return it == std::end(kKeyTable) ? nullptr : &*it;
}

std::span<const KeyFunction, kKeyPictureCount> KeyPictureFunctions() {
  return kPictures;
}

}  // namespace korva::keyboard
