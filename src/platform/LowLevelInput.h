#pragma once
// The words in which the input capture reports key and mouse-button events: the Windows
// low-level hook vocabulary that the key-assignment panels and the macro recorders are written
// against. A keyboard message carries wParam = the key message identifier and lParam = the
// low-level keyboard record (virtual-key code and flags) packed into one integer; a mouse
// message carries wParam = the mouse message identifier.
//
// Header only and standard library only, so the Qt-free receivers (key tables, macro recording)
// can decode the messages without linking the capture.

#include <cstdint>

#include "keyboard/KeyTables.h"

namespace korva::platform {

// wParam of the keyboard messages. The "system" forms are used for Alt and for keys pressed with
// Alt, unless Ctrl is held too, as Windows reports them.
inline constexpr std::int64_t kWmKeyDown = 0x0100;
inline constexpr std::int64_t kWmKeyUp = 0x0101;
inline constexpr std::int64_t kWmSysKeyDown = 0x0104;
inline constexpr std::int64_t kWmSysKeyUp = 0x0105;

// wParam of the mouse messages: buttons only (pointer movement and the wheel are not reported).
inline constexpr std::int64_t kWmLButtonDown = 0x0201;
inline constexpr std::int64_t kWmLButtonUp = 0x0202;
inline constexpr std::int64_t kWmRButtonDown = 0x0204;
inline constexpr std::int64_t kWmRButtonUp = 0x0205;
inline constexpr std::int64_t kWmMButtonDown = 0x0207;
inline constexpr std::int64_t kWmMButtonUp = 0x0208;
inline constexpr std::int64_t kWmXButtonDown = 0x020B;
inline constexpr std::int64_t kWmXButtonUp = 0x020C;
// lParam of the X-button messages: the button in the high word, as in the low-level mouse
// record's mouseData (1 = back, 2 = forward). 0 for every other button.
inline constexpr std::int64_t kXButtonBack = 0x0001'0000;
inline constexpr std::int64_t kXButtonForward = 0x0002'0000;

// Flags of the low-level keyboard record. Only these two are ever set: the extended-key flag
// (right Ctrl and Alt, the Windows keys, the dedicated navigation keys, keypad / and Enter, Num
// Lock, Print Screen, the media keys) and the key-up flag.
inline constexpr std::uint8_t kLlkhfExtended = 0x01;
inline constexpr std::uint8_t kLlkhfUp = 0x80;

// Windows gives the keypad Enter the virtual-key code of Enter; key tables keep it apart under
// this code.
inline constexpr std::uint16_t kVkReturn = 0x0D;
inline constexpr std::uint16_t kVkKeypadEnter = 0x101;

struct KeyboardRecord {
  std::uint16_t vkCode = 0;
  std::uint8_t flags = 0;
  friend bool operator==(const KeyboardRecord&, const KeyboardRecord&) = default;
};

// lParam layout: bits 0-15 the virtual-key code, bits 16-23 the flags.
constexpr std::int64_t PackKeyboardRecord(KeyboardRecord record) {
  return static_cast<std::int64_t>(record.vkCode) | (static_cast<std::int64_t>(record.flags) << 16);
}

constexpr KeyboardRecord UnpackKeyboardRecord(std::int64_t lParam) {
  return {static_cast<std::uint16_t>(lParam & 0xFFFF), static_cast<std::uint8_t>((lParam >> 16) & 0xFF)};
}

// The code a key table is searched with (the keypad-Enter rule of the key table).
inline std::uint16_t LookupCode(KeyboardRecord record) {
  return static_cast<std::uint16_t>(keyboard::LookupCode(record.vkCode, record.flags));
}

// A key press (plain or with Alt); anything else is a release.
constexpr bool IsKeyDownMessage(std::int64_t wParam) {
  return wParam == kWmKeyDown || wParam == kWmSysKeyDown;
}

}  // namespace korva::platform
