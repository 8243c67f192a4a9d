#include "lighting/LightingRules.h"

#include <algorithm>

#include "lighting/LightingSettings.h"

namespace korva::lighting {

std::uint8_t SpeedByteOfSlider(int sliderValue) {
  return static_cast<std::uint8_t>(kSpeedSliderMax - std::clamp(sliderValue, 0, kSpeedSliderMax));
}

int SliderOfSpeedByte(std::uint8_t speed) {
  if (speed > kSpeedSliderMax) return 0;
  return kSpeedSliderMax - speed;
}

std::optional<int> CheckedMode(std::uint8_t mode, int modeCount) {
  if (mode >= modeCount) return std::nullopt;
  return mode;
}

int CheckedBrightness(std::uint8_t brightness) {
  return std::min<int>(brightness, LightingSettings::kMaxBrightness);
}

}  // namespace korva::lighting
