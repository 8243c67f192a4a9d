#include "mouse/MouseButtons.h"

namespace korva::mouse {
namespace {

constexpr keyboard::KeyFunction kLeftClick{keyboard::key_type::kMouseButton, 0x01, 0x00};

std::optional<std::size_t> ActiveSlot(const MouseImage& image) {
  const std::optional<int> n = ValidProfileNumber(image.active.ActiveProfile());
  if (!n) return std::nullopt;
  return static_cast<std::size_t>(*n);
}

}  // namespace

MouseKeyBank* ActiveKeyBank(MouseImage& image) {
  const std::optional<std::size_t> slot = ActiveSlot(image);
  return slot ? &image.banks[*slot] : nullptr;
}

const MouseKeyBank* ActiveKeyBank(const MouseImage& image) {
  const std::optional<std::size_t> slot = ActiveSlot(image);
  return slot ? &image.banks[*slot] : nullptr;
}

bool IsLastLeftClick(const MouseKeyBank& bank, std::size_t button) {
  if (button >= kMouseButtonCount || bank.Entry(button) != kLeftClick) return false;
  for (std::size_t other = 0; other < kMouseButtonCount; ++other) {
    if (other != button && bank.Entry(other) == kLeftClick) return false;
  }
  return true;
}

std::array<std::optional<keyboard::FunctionLabel>, kMouseButtonCount> ButtonLabels(
    const MouseKeyBank& bank, const keyboard::MacroNames& macroNames) {
  std::array<std::optional<keyboard::FunctionLabel>, kMouseButtonCount> labels;
  for (std::size_t i = 0; i < kMouseButtonCount; ++i)
    labels[i] = keyboard::LabelOfFunction(bank.Entry(i), macroNames, keyboard::MouseEditor());
  return labels;
}

}  // namespace korva::mouse
