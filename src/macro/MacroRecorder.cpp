#include "macro/MacroRecorder.h"

namespace korva::macro {
namespace {

struct ButtonMessage {
  int message;
  bool press;
  std::uint8_t code;
  std::string_view label;
};

constexpr ButtonMessage kButtonMessages[] = {
    {mouse_message::kLeftDown, true, 0x01, "mouse_key_left"},     {mouse_message::kLeftUp, false, 0x01, "mouse_key_left"},
    {mouse_message::kRightDown, true, 0x02, "mouse_key_right"},   {mouse_message::kRightUp, false, 0x02, "mouse_key_right"},
    {mouse_message::kMiddleDown, true, 0x04, "mouse_key_middle"}, {mouse_message::kMiddleUp, false, 0x04, "mouse_key_middle"},
};

std::uint8_t WithPress(std::uint8_t kind, bool press) {
  return static_cast<std::uint8_t>(press ? kind | step_kind::kPressBit : kind);
}

}  // namespace

void MacroRecorder::Start(std::uint64_t nowMs, bool fixedDelay) {
  lastTick_ = nowMs;
  fixedDelay_ = fixedDelay;
  lastKey_ = 0;
  lastMouse_ = 0;
}

RecordedEvent MacroRecorder::Record(MacroAction step, std::uint64_t nowMs) {
  // A clock that went back counts as no time, not as a wrap to a huge pause.
  const std::uint64_t elapsed = nowMs >= lastTick_ ? nowMs - lastTick_ : 0;
  lastTick_ = nowMs;
  RecordedEvent event;
  event.previousDelay = fixedDelay_ ? kFixedDelayUnits : DelayUnitsFromMs(elapsed);
  step.delay = 0;
  event.step = std::move(step);
  return event;
}

std::optional<RecordedEvent> MacroRecorder::Key(int code, bool press, const RecordableKey* key, std::uint64_t nowMs) {
  if (press) {
    if (code == lastKey_) return std::nullopt;  // auto-repeat of the key held down
    lastKey_ = code;
  } else if (code == lastKey_) {
    lastKey_ = 0;
  }
  if (!key) return std::nullopt;
  MacroAction step;
  const bool modifier = key->usage == 0;
  step.kind = WithPress(modifier ? step_kind::kModifier : step_kind::kKey, press);
  step.code = modifier ? key->modifier : key->usage;
  step.down = press ? 1 : 0;
  step.label = std::string(key->textId);
  return Record(std::move(step), nowMs);
}

std::optional<RecordedEvent> MacroRecorder::Mouse(int message, std::uint64_t nowMs) {
  for (const ButtonMessage& button : kButtonMessages) {
    if (button.message != message) continue;
    if (message == lastMouse_) return std::nullopt;
    lastMouse_ = message;
    MacroAction step;
    step.kind = WithPress(step_kind::kMouseButton, button.press);
    step.code = button.code;
    step.down = button.press ? 1 : 0;
    step.label = std::string(button.label);
    return Record(std::move(step), nowMs);
  }
  return std::nullopt;
}

}  // namespace korva::macro
