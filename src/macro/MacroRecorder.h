#pragma once
// The macro recorder: key and mouse-button events, as the input hooks deliver them, become steps,
// and the time between two recorded events becomes the delay of the earlier step.
//
//   - A key pressed again while it is down (auto-repeat) is dropped; its release clears it.
//   - Keys outside the key table and mouse messages other than the left, right and middle
//     buttons' down and up are dropped.
//   - The same mouse message as the last one recorded is dropped.
//   - Each recorded event gives the previous step (when there is one) the time since the last
//     recorded event (since the start for the first), in units of 10 ms, cut at 65535 units; with
//     the fixed delay chosen, 5 units instead. The new step itself has delay 0.
//
// Qt-free; the page looks the key up (the key table lives with the keyboard) and shows the steps.

#include <cstdint>
#include <optional>
#include <string_view>

#include "macro/MacroAction.h"

namespace korva::macro {

// A key of the key table as the recorder needs it: modifier bit (b1) or HID usage (b2), text id.
struct RecordableKey {
  std::uint8_t modifier = 0;
  std::uint8_t usage = 0;
  std::string_view textId;
};

// The mouse messages the recorder takes.
namespace mouse_message {
inline constexpr int kLeftDown = 0x0201;
inline constexpr int kLeftUp = 0x0202;
inline constexpr int kRightDown = 0x0204;
inline constexpr int kRightUp = 0x0205;
inline constexpr int kMiddleDown = 0x0207;
inline constexpr int kMiddleUp = 0x0208;
}  // namespace mouse_message

inline constexpr std::uint16_t kFixedDelayUnits = 5;  // 50 ms

struct RecordedEvent {
  MacroAction step;                      // delay 0
  std::uint16_t previousDelay = 0;       // the delay of the step before it, when there is one
};

class MacroRecorder {
 public:
  // Recording starts at `nowMs` (any monotonic milliseconds).
  void Start(std::uint64_t nowMs, bool fixedDelay);

  // A key event with the code the key table knows it by (keypad Enter already told apart);
  // `key` is its table entry, nullptr when the table has none.
  std::optional<RecordedEvent> Key(int code, bool press, const RecordableKey* key, std::uint64_t nowMs);
  // A mouse message (0x0201 ...).
  std::optional<RecordedEvent> Mouse(int message, std::uint64_t nowMs);

 private:
  RecordedEvent Record(MacroAction step, std::uint64_t nowMs);

  std::uint64_t lastTick_ = 0;
  bool fixedDelay_ = false;
  int lastKey_ = 0;
  int lastMouse_ = 0;
};

}  // namespace korva::macro
