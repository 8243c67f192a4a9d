#include "mousepad/MousepadProfiles.h"

#include <algorithm>

namespace korva::mousepad {

std::array<std::uint8_t, kMousepadRecordSize> StoreLightRecord(MousepadImage& image) {
  const int a = ValidMousepadProfile(image.active.ActiveProfile()).value_or(0);
  MousepadProfileRecord& slot = image.records[static_cast<std::size_t>(a)];
  slot.StoreSettings(image.active);
  std::fill(slot.bytes.begin() + kMousepadRecordTransferSize, slot.bytes.end(), std::uint8_t{0});
  return slot.bytes;
}

bool ApplyLightPayload(MousepadImage& image, std::span<const std::uint8_t> payload) {
  if (payload.size() != kMousepadRecordSize) return false;
  const std::uint8_t active = image.active.ActiveProfile();
  const int a = ValidMousepadProfile(active).value_or(0);
  MousepadProfileRecord& slot = image.records[static_cast<std::size_t>(a)];
  std::copy_n(payload.begin(), kMousepadRecordTransferSize, slot.bytes.begin());
  std::fill(slot.bytes.begin() + kMousepadRecordTransferSize, slot.bytes.end(), std::uint8_t{0});
  slot.bytes[MousepadActiveSettings::kActiveProfile] = static_cast<std::uint8_t>(a);
  image.active = slot.Settings();
  return true;
}

profile::StoreResult SaveMousepadLightProfile(MousepadImage& image, profile::ProfileStore& lightStore) {
  return lightStore.SaveProfile(StoreLightRecord(image));
}

}  // namespace korva::mousepad
