#include "mouse/MouseImage.h"

#include <algorithm>

namespace korva::mouse {
namespace {

std::optional<std::size_t> StageOffset(int k) {
  if (k < 1 || k > kMouseStageCount) return std::nullopt;
  return MouseActiveSettings::kStageOffsets[static_cast<std::size_t>(k - 1)];
}

std::uint16_t Word(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

constexpr std::array<KeyFunction, 6> kBuiltInButtons = {{
    {0x10, 0x01, 0x00},  // left
    {0x10, 0x04, 0x00},  // middle
    {0x10, 0x02, 0x00},  // right
    {0x10, 0x10, 0x00},  // forward (button 5)
    {0x10, 0x08, 0x00},  // back (button 4)
    {0x13, 0x03, 0x00},  // sensitivity function 3
}};
constexpr std::uint8_t kBuiltInFiller = 0x05;

}  // namespace

std::optional<int> ValidProfileNumber(int number) {
  if (number < 0 || number >= kMouseProfileCount) return std::nullopt;
  return number;
}

std::uint8_t MouseActiveSettings::Stage(int k) const {
  const std::optional<std::size_t> at = StageOffset(k);
  return at ? bytes[*at] : std::uint8_t{0};
}

bool MouseActiveSettings::SetStage(int k, std::uint8_t value) {
  const std::optional<std::size_t> at = StageOffset(k);
  if (!at) return false;
  bytes[*at] = value;
  return true;
}

std::uint32_t MouseActiveSettings::IndicatorColour() const {
  return 0xFF000000u | (std::uint32_t{bytes[kIndicatorRed]} << 16) |
         (std::uint32_t{bytes[kIndicatorGreen]} << 8) | std::uint32_t{bytes[kIndicatorBlue]};
}

void MouseActiveSettings::SetIndicatorColour(std::uint32_t argb) {
  bytes[kIndicatorRed] = static_cast<std::uint8_t>((argb >> 16) & 0xFF);
  bytes[kIndicatorGreen] = static_cast<std::uint8_t>((argb >> 8) & 0xFF);
  bytes[kIndicatorBlue] = static_cast<std::uint8_t>(argb & 0xFF);
}

MouseActiveSettings MouseProfileRecord::Settings() const {
  MouseActiveSettings settings;
  std::copy_n(bytes.begin(), MouseActiveSettings::kSize, settings.bytes.begin());
  return settings;
}

void MouseProfileRecord::StoreSettings(const MouseActiveSettings& settings) {
  std::copy(settings.bytes.begin(), settings.bytes.end(), bytes.begin());
}

KeyFunction MouseKeyBank::Entry(std::size_t i) const {
  return keyboard::EntryAt(bytes, i);
}

bool MouseKeyBank::SetEntry(std::size_t i, const KeyFunction& function) {
  return keyboard::StoreEntry(bytes, i, function);
}

MouseKeyBank BuiltInDefaultButtons() {
  MouseKeyBank block;
  block.bytes.fill(kBuiltInFiller);
  for (std::size_t i = 0; i < kBuiltInButtons.size(); ++i) block.SetEntry(i, kBuiltInButtons[i]);
  return block;
}

std::uint16_t MouseDeviceInfo::SensorModel() const {
  return Word(bytes, kSensorModel);
}

std::uint16_t MouseDeviceInfo::CpiBase() const {
  return Word(bytes, kCpiBase);
}

void MouseDeviceInfo::SetCpiBase(std::uint16_t base) {
  bytes[kCpiBase] = static_cast<std::uint8_t>(base & 0xFF);
  bytes[kCpiBase + 1] = static_cast<std::uint8_t>(base >> 8);
}

}  // namespace korva::mouse
