#include "mouse/MouseProfiles.h"

#include <algorithm>
#include <string>

#include "common/Log.h"

namespace korva::mouse {
namespace {

// A stored desktop setting: 0 means the smallest value; what lies above the range is the largest.
int StoredSetting(std::uint8_t stored, int low, int high) {
  return std::clamp(static_cast<int>(stored), low, high);
}

}  // namespace

std::array<std::uint8_t, kMouseLightPayloadSize> StoreLightRecord(MouseImage& image) {
  MouseProfileRecord& slot = image.records[0];
  slot.StoreSettings(image.active);
  slot.bytes[MouseProfileRecord::kPointerSpeed] =
      static_cast<std::uint8_t>(std::clamp(image.pointerSpeed, kMinPointerSpeed, kMaxPointerSpeed));
  slot.bytes[MouseProfileRecord::kWheelLines] =
      static_cast<std::uint8_t>(std::clamp(image.wheelLines, kMinWheelLines, kMaxWheelLines));
  return slot.bytes;
}

bool ApplyLightPayload(MouseImage& image, std::span<const std::uint8_t> payload) {
  if (payload.size() != kMouseLightPayloadSize) return false;
  MouseProfileRecord record;
  std::copy(payload.begin(), payload.end(), record.bytes.begin());
  MouseActiveSettings settings = record.Settings();
  if (!ValidProfileNumber(settings.ActiveProfile())) {
    Trace("mouse: light profile names active profile " + std::to_string(settings.ActiveProfile()) +
          "; the current number " + std::to_string(image.active.ActiveProfile()) + " is kept");
    settings.bytes[MouseActiveSettings::kActiveProfile] = image.active.ActiveProfile();
  }
  image.records[0] = record;
  image.active = settings;
  image.pointerSpeed =
      StoredSetting(record.bytes[MouseProfileRecord::kPointerSpeed], kMinPointerSpeed, kMaxPointerSpeed);
  image.wheelLines =
      StoredSetting(record.bytes[MouseProfileRecord::kWheelLines], kMinWheelLines, kMaxWheelLines);
  return true;
}

bool ApplyKeyPayload(MouseImage& image, std::span<const std::uint8_t> payload) {
  if (payload.size() != kMouseKeyPayloadSize) return false;
  std::copy(payload.begin(), payload.end(), image.banks[0].bytes.begin());
  return true;
}

profile::StoreResult SaveMouseLightProfile(MouseImage& image, profile::ProfileStore& lightStore) {
  return lightStore.SaveProfile(StoreLightRecord(image));
}

profile::StoreResult SaveMouseKeyProfile(const MouseImage& image, profile::ProfileStore& keyStore) {
  return keyStore.SaveProfile(image.banks[0].bytes);
}

namespace {

template <typename Apply>
profile::StoreResult LoadInto(MouseImage& image, const profile::ProfileStore& store, int index, Apply apply) {
  profile::PayloadResult loaded = store.LoadProfile(index);
  if (!loaded.result) return std::move(loaded.result);
  if (!apply(image, loaded.payload)) {
    return {profile::StoreStatus::kFileInvalid,
            korva::Error::Plain("Profile " + std::to_string(index) + ": payload of " +
                                std::to_string(loaded.payload.size()) + " bytes")};
  }
  return {};
}

}  // namespace

profile::StoreResult LoadMouseLightProfile(MouseImage& image, const profile::ProfileStore& lightStore,
                                           int index) {
  return LoadInto(image, lightStore, index, ApplyLightPayload);
}

profile::StoreResult LoadMouseKeyProfile(MouseImage& image, const profile::ProfileStore& keyStore,
                                         int index) {
  return LoadInto(image, keyStore, index, ApplyKeyPayload);
}

MouseReadAndSave ReadMouseAllAndSave(device::HidDevice& device, MouseImage& image,
                                     profile::ProfileStore& lightStore, profile::ProfileStore& keyStore) {
  MouseReadAndSave outcome;
  outcome.read = ReadMouseAll(device, image);
  if (!outcome.read.ok()) return outcome;
  outcome.saved = true;
  outcome.light = SaveMouseLightProfile(image, lightStore);
  outcome.key = SaveMouseKeyProfile(image, keyStore);
  return outcome;
}

}  // namespace korva::mouse
