#pragma once
// MacroAction: one step of a macro -- a key or mouse-button press or release, or a pointer move --
// followed by a delay before the next step.
//
//   field  width  meaning
//   delay  16     time after the step, in units of 10 ms (0..65535); low byte, then high byte
//   kind   8      bits 0..6 the step kind (below); bit 7: press for keys and buttons, negative
//                 direction (left, up) for moves
//   code   8      key usage, modifier bit, button bit or move distance
//   down   16     1 press, 0 release; kept in the text form only, the device never receives it
//   label  text   text id shown for the step ("keyboard_key_A", "mouse_key_left", ...)
//
//   kind  step                   code
//   0x01  mouse button           0x01 left, 0x02 right, 0x04 middle, 0x10 forward, 0x08 back
//   0x04  horizontal move        distance 0..255 (bit 7 of kind: left)
//   0x05  vertical move          distance 0..255 (bit 7 of kind: up)
//   0x09  modifier key           modifier bit 0x01 .. 0x80
//   0x0A  key                    HID keyboard usage
// Kinds below 9 are mouse steps, 9 and above keyboard steps.
//
// Text form, one line per step, as the macro files hold it: "%d,%d,%d,%d,%d,%s" -- delay low,
// delay high, kind, code, down, label. "0,0,138,4,1,keyboard_key_A" presses A with no delay yet;
// "5,0,129,1,1,mouse_key_left" presses the left button and waits 50 ms.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korva::macro {

namespace step_kind {
inline constexpr std::uint8_t kMouseButton = 0x01;
inline constexpr std::uint8_t kMoveHorizontal = 0x04;
inline constexpr std::uint8_t kMoveVertical = 0x05;
inline constexpr std::uint8_t kModifier = 0x09;
inline constexpr std::uint8_t kKey = 0x0A;
// Bit 7 of the kind byte: press (keys, buttons) or negative direction (moves).
inline constexpr std::uint8_t kPressBit = 0x80;
inline constexpr std::uint8_t kKindMask = 0x7F;
// Kinds from here on are keyboard steps.
inline constexpr std::uint8_t kFirstKeyboardKind = 0x09;
}  // namespace step_kind

// Limits of one step.
inline constexpr std::uint32_t kMaxDelayUnits = 65535;  // 655.35 s
inline constexpr std::uint32_t kDelayUnitMs = 10;
inline constexpr std::uint32_t kMaxMoveDistance = 255;

struct MacroAction {
  std::uint16_t delay = 0;
  std::uint8_t kind = 0;
  std::uint8_t code = 0;
  std::uint16_t down = 0;
  std::string label;

  std::uint8_t Kind() const { return kind & step_kind::kKindMask; }
  bool IsMouseStep() const { return Kind() < step_kind::kFirstKeyboardKind; }
  bool IsMove() const { return Kind() == step_kind::kMoveHorizontal || Kind() == step_kind::kMoveVertical; }
  std::uint8_t DelayLow() const { return static_cast<std::uint8_t>(delay & 0xFF); }
  std::uint8_t DelayHigh() const { return static_cast<std::uint8_t>(delay >> 8); }

  friend bool operator==(const MacroAction&, const MacroAction&) = default;
};

// The step's text line (without a line break).
std::string FormatMacroAction(const MacroAction& action);

// The step of a text line; nullopt when the line is not a step. The label is everything after the
// last comma; the five numbers are the fields before it, read from right to left. A line with fewer
// than five commas, or a field that is not a decimal integer, is not a step. Delay bytes, kind and
// code keep the low 8 bits of their numbers, down the low 16 bits.
std::optional<MacroAction> ParseMacroAction(std::string_view line);

// A delay in milliseconds as units of 10 ms, cut at 65535 units.
std::uint16_t DelayUnitsFromMs(std::uint64_t milliseconds);
// A typed number (delay units or move distance) held to its limit.
std::uint32_t ClampTyped(std::uint64_t value, std::uint32_t limit);

}  // namespace korva::macro
