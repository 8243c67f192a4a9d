#include "mousepad/MousepadImage.h"

#include <algorithm>

namespace korva::mousepad {

using lighting::LightingSettings;

std::optional<int> ValidMousepadProfile(int number) {
  if (number < 0 || number >= kMousepadProfileCount) return std::nullopt;
  return number;
}

LightingSettings MousepadActiveSettings::Lighting() const { return MousepadLighting(bytes); }

void MousepadActiveSettings::SetLighting(const LightingSettings& record) {
  record.CopyTo(std::span(bytes).subspan<kLighting, LightingSettings::kSize>());
}

MousepadActiveSettings MousepadProfileRecord::Settings() const {
  MousepadActiveSettings settings;
  std::copy_n(bytes.begin(), MousepadActiveSettings::kSize, settings.bytes.begin());
  return settings;
}

void MousepadProfileRecord::StoreSettings(const MousepadActiveSettings& settings) {
  std::copy(settings.bytes.begin(), settings.bytes.end(), bytes.begin());
}

LightingSettings MousepadLighting(std::span<const std::uint8_t> record) {
  if (record.size() < MousepadActiveSettings::kLighting + LightingSettings::kSize) return {};
  return LightingSettings::FromBytes(record.subspan(MousepadActiveSettings::kLighting).first<LightingSettings::kSize>());
}

}  // namespace korva::mousepad
