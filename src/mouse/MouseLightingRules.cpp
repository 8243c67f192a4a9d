#include "mouse/MouseLightingRules.h"

#include <array>

#include "lighting/LightingRules.h"

namespace korva::mouse {

std::optional<MouseLightSections> SectionsForMode(int mode) {
  //                                                  dir    colour cycle  speed  same
  static constexpr std::array<MouseLightSections, kMouseLightModeCount> kTable{{
      {true, true, true, true, true},
      {false, false, false, true, true},
      {false, true, true, true, true},
      {false, true, false, false, true},
      {true, true, true, true, false},
      {true, true, true, true, false},
      {false, true, false, false, false},
  }};
  if (mode < 0 || mode >= kMouseLightModeCount) return std::nullopt;
  return kTable[static_cast<std::size_t>(mode)];
}

std::uint8_t SpeedByteOfSlider(int sliderValue) { return lighting::SpeedByteOfSlider(sliderValue); }

int SliderOfSpeedByte(std::uint8_t speed) { return lighting::SliderOfSpeedByte(speed); }

std::optional<int> CheckedMode(std::uint8_t mode) { return lighting::CheckedMode(mode, kMouseLightModeCount); }

int CheckedBrightness(std::uint8_t brightness) { return lighting::CheckedBrightness(brightness); }

}  // namespace korva::mouse
