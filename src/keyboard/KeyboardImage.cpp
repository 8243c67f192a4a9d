#include "keyboard/KeyboardImage.h"

#include <algorithm>

namespace korva::keyboard {
namespace {

constexpr std::size_t kLightingOffset = 1;  // bytes 1..8 of the active settings
constexpr std::size_t kCustomSetOffset = 64;
constexpr std::size_t kPaintOffset = 65;
constexpr std::size_t kCustomSetsOffset = 68;

}  // namespace

lighting::LightingSettings KeyboardActiveSettings::Lighting() const {
  return lighting::LightingSettings::FromBytes(
      std::span<const std::uint8_t, lighting::LightingSettings::kSize>(bytes.data() + kLightingOffset,
                                                                       lighting::LightingSettings::kSize));
}

void KeyboardActiveSettings::SetLighting(const lighting::LightingSettings& record) {
  record.CopyTo(std::span<std::uint8_t, lighting::LightingSettings::kSize>(bytes.data() + kLightingOffset,
                                                                           lighting::LightingSettings::kSize));
}

std::optional<int> KeyboardImage::EditedBank() const {
  const int p = active.ActiveProfile();
  if (p >= kKeyboardProfileCount) return std::nullopt;
  return p;
}

KeyBank* KeyboardImage::ActiveBank() {
  const std::optional<int> p = EditedBank();
  return p ? &banks[static_cast<std::size_t>(*p)] : nullptr;
}

const KeyBank* KeyboardImage::ActiveBank() const {
  const std::optional<int> p = EditedBank();
  return p ? &banks[static_cast<std::size_t>(*p)] : nullptr;
}

std::array<std::uint8_t, kKeyPictureCount> KeyboardImage::EmptyKeyButtonMap() {
  std::array<std::uint8_t, kKeyPictureCount> map{};
  map.fill(kNoEntry);
  return map;
}

void BuildKeyButtonMap(KeyboardImage& image) {
  const std::size_t keys = std::min(image.KeyCount(), kMaxKeyCount);
  const auto pictures = KeyPictureFunctions();
  for (std::size_t n = 0; n < kKeyPictureCount; ++n) {
    for (std::size_t k = 0; k < keys; ++k) {
      if (EntryAt(image.defaultBlock, k) == pictures[n]) {
        image.keyButtonMap[n] = static_cast<std::uint8_t>(k);
        break;
      }
    }
  }
}

std::optional<std::size_t> PictureOfEntry(const KeyboardImage& image, std::size_t k) {
  if (k >= kNoEntry) return std::nullopt;
  const auto it = std::ranges::find(image.keyButtonMap, static_cast<std::uint8_t>(k));
  if (it == image.keyButtonMap.end()) return std::nullopt;
  return static_cast<std::size_t>(it - image.keyButtonMap.begin());
}

std::array<std::uint8_t, kKeyboardLightPayloadSize> StoreLightPayload(KeyboardImage& image) {
  std::copy(image.active.bytes.begin(), image.active.bytes.end(), image.records[0].begin());
  std::array<std::uint8_t, kKeyboardLightPayloadSize> payload{};
  std::copy(image.records[0].begin(), image.records[0].end(), payload.begin());
  payload[kCustomSetOffset] = image.customSet;
  std::copy(image.paintColour.begin(), image.paintColour.end(), payload.begin() + kPaintOffset);
  std::copy(image.customSets.begin(), image.customSets.end(), payload.begin() + kCustomSetsOffset);
  return payload;
}

bool ApplyLightPayload(KeyboardImage& image, std::span<const std::uint8_t> payload) {
  if (payload.size() != kKeyboardLightPayloadSize) return false;
  std::copy_n(payload.begin(), kKeyboardRecordSize, image.records[0].begin());
  std::copy_n(payload.begin(), KeyboardActiveSettings::kSize, image.active.bytes.begin());
  image.customSet = payload[kCustomSetOffset];
  std::copy_n(payload.begin() + kPaintOffset, image.paintColour.size(), image.paintColour.begin());
  std::copy_n(payload.begin() + kCustomSetsOffset, image.customSets.size(), image.customSets.begin());
  return true;
}

bool ApplyKeyPayload(KeyboardImage& image, std::span<const std::uint8_t> payload) {
  if (payload.size() != kKeyboardKeyPayloadSize) return false;
  std::copy(payload.begin(), payload.end(), image.banks[0].begin());
  return true;
}

}  // namespace korva::keyboard
