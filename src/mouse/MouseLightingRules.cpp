#include "mouse/MouseLightingRules.h"

#include <algorithm>
#include <array>

#include "lighting/LightingSettings.h"

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

std::uint8_t SpeedByteOfSlider(int sliderValue) {
  const int v = std::clamp(sliderValue, 0, kMouseSpeedSliderMax + 1);
  return static_cast<std::uint8_t>(std::max(0, kMouseSpeedSliderMax - v));
}

int SliderOfSpeedByte(std::uint8_t speed) {
  if (speed > kMouseSpeedSliderMax) return 0;
  return kMouseSpeedSliderMax - speed;
}

std::optional<int> CheckedMode(std::uint8_t mode) {
  if (mode >= kMouseLightModeCount) return std::nullopt;
  return mode;
}

int CheckedBrightness(std::uint8_t brightness) {
  return std::min<int>(brightness, korva::lighting::LightingSettings::kMaxBrightness);
}

}  // namespace korva::mouse
