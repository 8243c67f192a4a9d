#include "macro/MacroStepEdits.h"

#include <array>

namespace korva::macro {
namespace {

using namespace step_kind;

constexpr std::uint8_t kPress = kPressBit;

constexpr std::array<MouseListItem, kMouseListSize> kMouseList = {{
    {kPress | kMouseButton, 0x01, "mouse_key_left"},
    {kMouseButton, 0x01, "mouse_key_left"},
    {kPress | kMouseButton, 0x02, "mouse_key_right"},
    {kMouseButton, 0x02, "mouse_key_right"},
    {kPress | kMouseButton, 0x04, "mouse_key_middle"},
    {kMouseButton, 0x04, "mouse_key_middle"},
    {kPress | kMouseButton, 0x10, "mouse_key_forward"},
    {kMouseButton, 0x10, "mouse_key_forward"},
    {kPress | kMouseButton, 0x08, "mouse_key_back"},
    {kMouseButton, 0x08, "mouse_key_back"},
    {kPress | kMoveHorizontal, 0, "mouse_move_to_left_text"},
    {kMoveHorizontal, 0, "mouse_move_to_right_text"},
    {kPress | kMoveVertical, 0, "mouse_move_to_up_text"},
    {kMoveVertical, 0, "mouse_move_to_down_text"},
}};

bool ValidItem(int item) {
  return item >= 0 && item < kMouseListSize;
}

std::uint16_t DownOf(std::uint8_t kind) {
  return (kind & kPressBit) ? 1 : 0;
}

}  // namespace

std::span<const MouseListItem> MouseList() {
  return kMouseList;
}

std::optional<int> MouseListItemOf(const MacroAction& step) {
  for (int item = 0; item < kMouseListSize; ++item) {
    const MouseListItem& entry = kMouseList[static_cast<std::size_t>(item)];
    if (entry.kind != step.kind) continue;
    if (item >= kFirstMoveItem || entry.code == step.code) return item;
  }
  return std::nullopt;
}

std::optional<MacroAction> InsertedMouseStep(int item, std::uint32_t distance) {
  if (!ValidItem(item)) return std::nullopt;
  const MouseListItem& entry = kMouseList[static_cast<std::size_t>(item)];
  MacroAction step;
  step.delay = kInsertedDelayUnits;
  step.kind = entry.kind;
  step.code = item >= kFirstMoveItem ? static_cast<std::uint8_t>(distance & 0xFF) : entry.code;
  step.down = DownOf(entry.kind);
  step.label = std::string(entry.label);
  return step;
}

MacroAction WithKey(MacroAction step, const RecordableKey& key) {
  const bool modifier = key.usage == 0;
  const std::uint8_t kind = modifier ? kModifier : step_kind::kKey;
  step.kind = static_cast<std::uint8_t>(step.down != 0 ? kind | kPressBit : kind);
  step.code = modifier ? key.modifier : key.usage;
  step.label = std::string(key.textId);
  return step;
}

std::optional<MacroAction> WithMouseItem(MacroAction step, int item) {
  if (!ValidItem(item)) return std::nullopt;
  const MouseListItem& entry = kMouseList[static_cast<std::size_t>(item)];
  const bool wasMove = step.IsMove();
  step.kind = entry.kind;
  step.code = item >= kFirstMoveItem ? (wasMove ? step.code : std::uint8_t{0}) : entry.code;
  step.down = DownOf(entry.kind);
  step.label = std::string(entry.label);
  return step;
}

MacroAction WithDirection(MacroAction step, bool down) {
  step.down = down ? 1 : 0;
  step.kind = static_cast<std::uint8_t>(down ? step.kind | kPressBit : step.kind & kKindMask);
  return step;
}

}  // namespace korva::macro
