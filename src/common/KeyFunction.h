#pragma once
// KeyFunction: what one key of the keyboard or one button of the mouse sends when it is pressed --
// three bytes {type, b1, b2}, the unit of every key bank and default block (entry k at byte 3 x k).
//
//   type  meaning                    b1                                   b2
//   0x00  "default" in the editor    -                                    -
//   0x10  mouse button               button bit (1 left, 2 right, 4 middle, 8 back, 0x10 forward)
//   0x11  horizontal tilt            high nibble, low nibble              bit 7 right, bits 0..6 amount
//   0x12  vertical wheel             high nibble, low nibble              bit 7 down, bits 0..6 amount
//   0x13  DPI function               1 up, 2 down, 3 cycle                0
//   0x14  fire key                   0..255                               0..255
//   0x20  keyboard key               modifier bits (0x01 LCtrl .. 0x80 RWin)   HID keyboard-page usage
//   0x30  multimedia                 consumer usage, low byte             consumer usage, high byte
//   0x40  system control             1 power, 2 sleep, 4 wake up          0
//   0x70  macro                      macro number                         playback option 0..3
//   0x71  macro with count           macro number                         count
//   0x72  cursor macro (mouse only)
// Any other type read from a device (0xA0 at the Fn position, 0x15, 0x21, 0x50, ...) is kept as it is.
//
// The keyboard, the mouse and the macro library (a deleted macro renumbers the keys that play
// macros) share this vocabulary, so it lives below all three.

#include <cstddef>
#include <cstdint>
#include <span>

namespace korva {

struct KeyFunction {
  std::uint8_t type = 0;
  std::uint8_t b1 = 0;
  std::uint8_t b2 = 0;

  friend bool operator==(const KeyFunction&, const KeyFunction&) = default;
};

namespace key_type {
inline constexpr std::uint8_t kDefault = 0x00;
inline constexpr std::uint8_t kMouseButton = 0x10;
inline constexpr std::uint8_t kTilt = 0x11;
inline constexpr std::uint8_t kWheel = 0x12;
inline constexpr std::uint8_t kDpi = 0x13;
inline constexpr std::uint8_t kFire = 0x14;
inline constexpr std::uint8_t kKey = 0x20;
inline constexpr std::uint8_t kConsumer = 0x30;
inline constexpr std::uint8_t kSystem = 0x40;
inline constexpr std::uint8_t kMacro = 0x70;
inline constexpr std::uint8_t kMacroCount = 0x71;
inline constexpr std::uint8_t kCursorMacro = 0x72;
}  // namespace key_type

inline constexpr std::size_t kKeyFunctionSize = 3;

// Entry `index` of a bank or block of 3-byte entries; {} past its end.
inline KeyFunction EntryAt(std::span<const std::uint8_t> bytes, std::size_t index) {
  const std::size_t at = index * kKeyFunctionSize;
  if (at + kKeyFunctionSize > bytes.size()) return {};
  return {bytes[at], bytes[at + 1], bytes[at + 2]};
}

// Stores `function` as entry `index`; false (nothing stored) past the end.
inline bool StoreEntry(std::span<std::uint8_t> bytes, std::size_t index, const KeyFunction& function) {
  const std::size_t at = index * kKeyFunctionSize;
  if (at + kKeyFunctionSize > bytes.size()) return false;
  bytes[at] = function.type;
  bytes[at + 1] = function.b1;
  bytes[at + 2] = function.b2;
  return true;
}

}  // namespace korva
