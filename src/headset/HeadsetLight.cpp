#include "headset/HeadsetLight.h"

#include <algorithm>
#include <array>

#include "headset/HeadsetProfileFormat.h"
#include "lighting/LightingRules.h"

namespace korva::headset {

std::optional<HeadsetLightSections> SectionsForHeadsetMode(int mode) {
  //                                                                 light  speed  7col   colour dir    wave
  static constexpr std::array<HeadsetLightSections, kHeadsetLightModeCount> kTable{{
      {true, true, true, true, true, true},
      {true, true, false, false, false, false},
      {true, true, true, true, false, false},
      {true, false, false, true, false, false},
  }};
  if (mode < 0 || mode >= kHeadsetLightModeCount) return std::nullopt;
  return kTable[static_cast<std::size_t>(mode)];
}

bool WritesWave(const lighting::LightingSettings& record) {
  return record.mode == kHeadsetWaveMode;
}

HeadsetLightView ViewOfHeadsetLight(const lighting::LightingSettings& record) {
  HeadsetLightView view;
  view.mode = lighting::CheckedMode(record.mode, kHeadsetLightModeCount);
  view.brightness = lighting::CheckedBrightness(record.brightness);
  view.speedSlider = lighting::SliderOfSpeedByte(record.speed);
  view.colour = lighting::OpaqueColour(record.red, record.green, record.blue);
  view.multicolour = record.multicolour != 0;
  view.left = record.direction == 1;
  return view;
}

bool HeadsetLight::SelectMode(int mode) {
  if (!SectionsForHeadsetMode(mode)) return false;
  record_.mode = static_cast<std::uint8_t>(mode);
  return true;
}

void HeadsetLight::SetBrightness(int position) {
  record_.brightness = static_cast<std::uint8_t>(std::clamp<int>(position, 0, lighting::LightingSettings::kMaxBrightness));
}

void HeadsetLight::SetSpeedSlider(int position) {
  record_.speed = lighting::SpeedByteOfSlider(position);
}

void HeadsetLight::SetDirection(bool left) {
  record_.direction = left ? 1 : 0;
}

void HeadsetLight::SetMulticolour(bool on) {
  record_.multicolour = on ? 1 : 0;
}

void HeadsetLight::StoreColour(std::uint32_t argb) {
  record_.red = static_cast<std::uint8_t>(argb >> 16);
  record_.green = static_cast<std::uint8_t>(argb >> 8);
  record_.blue = static_cast<std::uint8_t>(argb);
  record_.multicolour = 0;
}

std::optional<TypedColour> HeadsetLight::TypeComponent(lighting::ColourComponent component, std::string_view text,
                                                       std::uint32_t displayed) {
  const std::optional<lighting::TypedComponent> typed = lighting::ParseTypedComponent(text);
  if (!typed) return std::nullopt;
  const std::uint32_t colour = lighting::WithComponent(displayed, component, typed->value);
  switch (component) {
    case lighting::ColourComponent::kRed:
      record_.red = typed->value;
      break;
    case lighting::ColourComponent::kGreen:
      record_.green = typed->value;
      break;
    case lighting::ColourComponent::kBlue:
      record_.blue = typed->value;
      break;
  }
  record_.multicolour = 0;
  return TypedColour{colour, typed->rewrite};
}

}  // namespace korva::headset
