#include "platform/VirtualKeys.h"

#include <QtCore/qnamespace.h>

#include <algorithm>
#include <span>
#include <string_view>

namespace korva::platform {
namespace {

// Scan codes of X11 and Wayland are XKB keycodes: the Linux input code plus 8.
constexpr std::uint32_t kXkbKeycodeOffset = 8;

struct CodeRow {
  std::uint32_t from;  // a Qt key, a keysym or an XKB keycode, by table
  std::uint16_t vk;
  bool extended = false;
};

std::optional<VirtualKey> Find(std::span<const CodeRow> table, std::uint32_t from) {
  const auto row = std::ranges::find(table, from, &CodeRow::from);
  if (row == table.end()) return std::nullopt;
  return VirtualKey{row->vk, row->extended};
}

// The tables are laid out as grids, a keyboard row or a key pair to a line.
// clang-format off
// --- rule 1: modifiers ---------------------------------------------------------------------------

constexpr CodeRow kModifierScanCodes[] = {
    {37, 0xA2},        {105, 0xA3, true},  // left, right Ctrl
    {50, 0xA0},        {62, 0xA1},         // left, right Shift
    {64, kVkLeftAlt},  {108, kVkRightAlt, true},
    {133, 0x5B, true}, {134, 0x5C, true},  // left, right Windows (Super)
};

constexpr CodeRow kModifierKeysyms[] = {
    {0xFFE1, 0xA0},        {0xFFE2, 0xA1},                    // Shift_L, Shift_R
    {0xFFE3, 0xA2},        {0xFFE4, 0xA3, true},              // Control_L, Control_R
    {0xFFE7, kVkLeftAlt},  {0xFFE8, kVkRightAlt, true},       // Meta_L, Meta_R: Alt with Shift
    {0xFFE9, kVkLeftAlt},  {0xFFEA, kVkRightAlt, true},       // Alt_L, Alt_R
    {0xFE03, kVkRightAlt, true},                              // ISO_Level3_Shift (AltGr)
    {0xFFEB, 0x5B, true},  {0xFFEC, 0x5C, true},              // Super_L, Super_R
    {0xFFED, 0x5B, true},  {0xFFEE, 0x5C, true},              // Hyper_L, Hyper_R
};

// Neither scan code nor keysym known: the left key of the pair, unless the key says its side.
constexpr CodeRow kModifierQtKeys[] = {
    {Qt::Key_Shift, 0xA0},  {Qt::Key_Control, 0xA2},
    {Qt::Key_Alt, kVkLeftAlt},  {Qt::Key_AltGr, kVkRightAlt, true},
    {Qt::Key_Meta, 0x5B, true},  {Qt::Key_Super_L, 0x5B, true},  {Qt::Key_Super_R, 0x5C, true},
    {Qt::Key_Hyper_L, 0x5B, true},  {Qt::Key_Hyper_R, 0x5C, true},
};

// --- rule 2: keypad ------------------------------------------------------------------------------

constexpr CodeRow kKeypadKeys[] = {
    {Qt::Key_0, 0x60}, {Qt::Key_1, 0x61}, {Qt::Key_2, 0x62}, {Qt::Key_3, 0x63}, {Qt::Key_4, 0x64},
    {Qt::Key_5, 0x65}, {Qt::Key_6, 0x66}, {Qt::Key_7, 0x67}, {Qt::Key_8, 0x68}, {Qt::Key_9, 0x69},
    {Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B}, {Qt::Key_Minus, 0x6D},
    {Qt::Key_Period, 0x6E}, {Qt::Key_Comma, 0x6E},  // the decimal key, whichever sign the locale puts on it
    {Qt::Key_Slash, 0x6F, true},
    {Qt::Key_Enter, 0x0D, true}, {Qt::Key_Return, 0x0D, true},
    // Num Lock off: the navigation codes, not extended.
    {Qt::Key_Insert, 0x2D}, {Qt::Key_Delete, 0x2E}, {Qt::Key_End, 0x23}, {Qt::Key_Down, 0x28},
    {Qt::Key_PageDown, 0x22}, {Qt::Key_Left, 0x25}, {Qt::Key_Clear, 0x0C}, {Qt::Key_Right, 0x27},
    {Qt::Key_Home, 0x24}, {Qt::Key_Up, 0x26}, {Qt::Key_PageUp, 0x21},
};

// --- rules 4, 6: the typing block by place --------------------------------------------------------

// Linux input codes of the digit and letter rows, left to right; the codes of digits and
// letters are their upper-case ASCII values.
struct PlaceRow {
  std::uint32_t firstCode;
  std::string_view keys;
};
constexpr PlaceRow kDigitRow{2, "1234567890"};
constexpr PlaceRow kLetterRows[] = {{16, "QWERTYUIOP"}, {30, "ASDFGHJKL"}, {44, "ZXCVBNM"}};

// Punctuation keys by Linux input code, named by their US keys.
constexpr CodeRow kPunctuationPlaces[] = {
    {12, 0xBD}, {13, 0xBB},              // - =
    {26, 0xDB}, {27, 0xDD}, {43, 0xDC},  // [ ] backslash
    {39, 0xBA}, {40, 0xDE}, {41, 0xC0},  // ; ' `
    {51, 0xBC}, {52, 0xBE}, {53, 0xBF},  // , . /
    {86, 0xE2},                          // the extra key beside left Shift on ISO keyboards
};

// --- rule 5: every other key by Qt's key code -----------------------------------------------------

constexpr CodeRow kQtKeys[] = {
    {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09}, {Qt::Key_Backtab, 0x09},  // Backtab: Shift+Tab
    {Qt::Key_Return, 0x0D}, {Qt::Key_Enter, 0x0D, true}, {Qt::Key_Escape, 0x1B}, {Qt::Key_Space, 0x20},
    {Qt::Key_Clear, 0x0C}, {Qt::Key_Pause, 0x13}, {Qt::Key_Cancel, 0x03, true},  // Cancel: Ctrl+Pause (Break)
    {Qt::Key_CapsLock, kVkCapsLock}, {Qt::Key_NumLock, kVkNumLock, true}, {Qt::Key_ScrollLock, kVkScrollLock},
    {Qt::Key_PageUp, 0x21, true}, {Qt::Key_PageDown, 0x22, true}, {Qt::Key_End, 0x23, true},
    {Qt::Key_Home, 0x24, true}, {Qt::Key_Left, 0x25, true}, {Qt::Key_Up, 0x26, true},
    {Qt::Key_Right, 0x27, true}, {Qt::Key_Down, 0x28, true},
    {Qt::Key_Print, 0x2C, true}, {Qt::Key_SysReq, 0x2C, true},  // SysReq: Alt+Print Screen
    {Qt::Key_Insert, 0x2D, true}, {Qt::Key_Delete, 0x2E, true},
    {Qt::Key_Menu, 0x5D, true}, {Qt::Key_Sleep, 0x5F, true},
    {Qt::Key_0, 0x30}, {Qt::Key_1, 0x31}, {Qt::Key_2, 0x32}, {Qt::Key_3, 0x33}, {Qt::Key_4, 0x34},
    {Qt::Key_5, 0x35}, {Qt::Key_6, 0x36}, {Qt::Key_7, 0x37}, {Qt::Key_8, 0x38}, {Qt::Key_9, 0x39},
    {Qt::Key_Semicolon, 0xBA}, {Qt::Key_Equal, 0xBB}, {Qt::Key_Comma, 0xBC}, {Qt::Key_Minus, 0xBD},
    {Qt::Key_Period, 0xBE}, {Qt::Key_Slash, 0xBF}, {Qt::Key_QuoteLeft, 0xC0}, {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC}, {Qt::Key_BracketRight, 0xDD}, {Qt::Key_Apostrophe, 0xDE},
    // Browser, media and launch keys.
    {Qt::Key_Back, 0xA6, true}, {Qt::Key_Forward, 0xA7, true}, {Qt::Key_Refresh, 0xA8, true},
    {Qt::Key_Stop, 0xA9, true}, {Qt::Key_Search, 0xAA, true}, {Qt::Key_Favorites, 0xAB, true},
    {Qt::Key_HomePage, 0xAC, true}, {Qt::Key_VolumeMute, 0xAD, true}, {Qt::Key_VolumeDown, 0xAE, true},
    {Qt::Key_VolumeUp, 0xAF, true}, {Qt::Key_MediaNext, 0xB0, true}, {Qt::Key_MediaPrevious, 0xB1, true},
    {Qt::Key_MediaStop, 0xB2, true}, {Qt::Key_MediaPlay, 0xB3, true}, {Qt::Key_MediaPause, 0xB3, true},
    {Qt::Key_MediaTogglePlayPause, 0xB3, true}, {Qt::Key_LaunchMail, 0xB4, true},
    {Qt::Key_LaunchMedia, 0xB5, true}, {Qt::Key_Launch0, 0xB6, true}, {Qt::Key_Calculator, 0xB7, true},
};

// --- rule 7: shifted US punctuation, for events without a scan code ------------------------------

constexpr CodeRow kShiftedUsSymbols[] = {
    {Qt::Key_Exclam, 0x31},     {Qt::Key_At, 0x32},         {Qt::Key_NumberSign, 0x33},
    {Qt::Key_Dollar, 0x34},     {Qt::Key_Percent, 0x35},    {Qt::Key_AsciiCircum, 0x36},
    {Qt::Key_Ampersand, 0x37},  {Qt::Key_Asterisk, 0x38},   {Qt::Key_ParenLeft, 0x39},
    {Qt::Key_ParenRight, 0x30}, {Qt::Key_Underscore, 0xBD}, {Qt::Key_Plus, 0xBB},
    {Qt::Key_BraceLeft, 0xDB},  {Qt::Key_BraceRight, 0xDD}, {Qt::Key_Bar, 0xDC},
    {Qt::Key_Colon, 0xBA},      {Qt::Key_QuoteDbl, 0xDE},   {Qt::Key_AsciiTilde, 0xC0},
    {Qt::Key_Less, 0xBC},       {Qt::Key_Greater, 0xBE},    {Qt::Key_Question, 0xBF},
};

// clang-format on

std::optional<VirtualKey> FromRow(const PlaceRow& row, std::uint32_t code) {
  if (code < row.firstCode || code - row.firstCode >= row.keys.size()) return std::nullopt;
  return VirtualKey{static_cast<std::uint16_t>(row.keys[code - row.firstCode])};
}

std::optional<VirtualKey> DigitByPlace(std::uint32_t scanCode) {
  if (scanCode < kXkbKeycodeOffset) return std::nullopt;
  return FromRow(kDigitRow, scanCode - kXkbKeycodeOffset);
}

std::optional<VirtualKey> TypingKeyByPlace(std::uint32_t scanCode) {
  if (scanCode < kXkbKeycodeOffset) return std::nullopt;
  const std::uint32_t code = scanCode - kXkbKeycodeOffset;
  for (const PlaceRow& row : kLetterRows) {
    if (auto vk = FromRow(row, code)) return vk;
  }
  return Find(kPunctuationPlaces, code);
}

constexpr std::uint16_t kVkF1 = 0x70;  // F1..F24 are 0x70..0x87

bool IsModifier(int qtKey) {
  return Find(kModifierQtKeys, static_cast<std::uint32_t>(qtKey)).has_value();
}

}  // namespace

std::optional<VirtualKey> TranslateKey(const KeyInput& key) {
  const auto qtKey = static_cast<std::uint32_t>(key.qtKey);
  if (IsModifier(key.qtKey)) {  // rule 1
    if (auto vk = Find(kModifierScanCodes, key.scanCode)) return vk;
    if (auto vk = Find(kModifierKeysyms, key.keysym)) return vk;
    return Find(kModifierQtKeys, qtKey);
  }
  if (key.keypad) {  // rule 2
    if (auto vk = Find(kKeypadKeys, qtKey)) return vk;
  }
  if (key.qtKey >= Qt::Key_A && key.qtKey <= Qt::Key_Z) {  // rule 3
    return VirtualKey{static_cast<std::uint16_t>(key.qtKey)};
  }
  if (auto vk = DigitByPlace(key.scanCode)) return vk;        // rule 4
  if (key.qtKey >= Qt::Key_F1 && key.qtKey <= Qt::Key_F24) {  // rule 5
    return VirtualKey{static_cast<std::uint16_t>(kVkF1 + (key.qtKey - Qt::Key_F1))};
  }
  if (auto vk = Find(kQtKeys, qtKey)) return vk;
  if (auto vk = TypingKeyByPlace(key.scanCode)) return vk;       // rule 6
  if (key.scanCode == 0) return Find(kShiftedUsSymbols, qtKey);  // rule 7
  return std::nullopt;
}

}  // namespace korva::platform
