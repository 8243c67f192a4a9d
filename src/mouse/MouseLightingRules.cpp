#include "mouse/MouseLightingRules.h"

#include <algorithm>
#include <array>
#include <span>

#include "lighting/LightingRules.h"

namespace korva::mouse {
namespace {

//                                                 dir    colour cycle  speed  same
constexpr std::array<MouseLightSections, kMouseLightModeCount> kMouseTable{{
    {true, true, true, true, true},
    {false, false, false, true, true},
    {false, true, true, true, true},
    {false, true, false, false, true},
    {true, true, true, true, false},
    {true, true, true, true, false},
    {false, true, false, false, false},
}};

// The mousepad's modes 0..5 use the mouse's sections; its column wave (6) offers a direction when
// chosen, which its display does not show again.
constexpr std::array<MouseLightSections, kMousepadLightModeCount> kMousepadSelectionTable{{
    kMouseTable[0], kMouseTable[1], kMouseTable[2], kMouseTable[3], kMouseTable[4], kMouseTable[5],
    {true, false, false, true, false},
    {false, true, true, true, false},
    {false, true, true, false, false},
}};
constexpr std::array<MouseLightSections, kMousepadLightModeCount> kMousepadDisplayTable{{
    kMouseTable[0], kMouseTable[1], kMouseTable[2], kMouseTable[3], kMouseTable[4], kMouseTable[5],
    {false, false, false, true, false},
    kMousepadSelectionTable[7],
    kMousepadSelectionTable[8],
}};

std::optional<MouseLightSections> Row(std::span<const MouseLightSections> table, int mode) {
  if (mode < 0 || static_cast<std::size_t>(mode) >= table.size()) return std::nullopt;
  return table[static_cast<std::size_t>(mode)];
}

}  // namespace

const PointerLightRules& MouseLightRules() {
  static const PointerLightRules rules{kMouseLightModeCount, kMouseTable, kMouseTable, true};
  return rules;
}

const PointerLightRules& MousepadLightRules() {
  static const PointerLightRules rules{kMousepadLightModeCount, kMousepadSelectionTable, kMousepadDisplayTable,
                                       false};
  return rules;
}

std::optional<MouseLightSections> SectionsOnSelection(const PointerLightRules& rules, int mode) {
  return Row(rules.onSelection, mode);
}

std::optional<MouseLightSections> SectionsOnDisplay(const PointerLightRules& rules, int mode) {
  return Row(rules.onDisplay, mode);
}

std::optional<MouseLightSections> SectionsForMode(int mode) { return Row(kMouseTable, mode); }

int ShownMode(const PointerLightRules& rules, std::uint8_t mode) {
  return std::min<int>(mode, std::max(0, rules.modeCount - 1));
}

std::uint8_t SpeedByteOfSlider(int sliderValue) {
  return lighting::SpeedByteOfSlider(sliderValue);
}

int SliderOfSpeedByte(std::uint8_t speed) {
  return lighting::SliderOfSpeedByte(speed);
}

std::optional<int> CheckedMode(std::uint8_t mode) {
  return lighting::CheckedMode(mode, kMouseLightModeCount);
}

int CheckedBrightness(std::uint8_t brightness) {
  return lighting::CheckedBrightness(brightness);
}

}  // namespace korva::mouse
