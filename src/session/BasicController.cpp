#include "session/BasicController.h"

#include <algorithm>
#include <vector>

#include "common/Log.h"
#include "profile/IniFile.h"
#include "session/SessionTexts.h"

namespace korva::session {
namespace {

// The headset's profiles are JSON files with an index of their own.
constexpr const char* kHeadsetIndexFile = "hsProfile.ini";
constexpr const char* kHeadsetSelectSection = "PROFILESELECT";

}  // namespace

BasicController::BasicController(DeviceKind kind, device::HidDevice& device, const profile::DataFolders& folders,
                                 const std::filesystem::path& defaultsFolder)
    : DeviceController(kind, device), folders_(folders) {
  if (kind == DeviceKind::kMousepad) lightStore_.emplace(profile::StoreKind::kMousepadLight, folders, defaultsFolder);
}

void BasicController::Initialise() {
  if (!lightStore_) return;
  if (const profile::ListResult listed = lightStore_->Initialise(); !listed.result)
    Trace("mousepad profile library not created: " + listed.result.error.ToString());
}

DeviceOutcome BasicController::RestoreDefaults() {
  if (!lightStore_) return {};
  const profile::PayloadResult read = lightStore_->ReadDefaultPayload();
  if (!read.result.ok() || read.payload.size() < kMousepadRecordTransferSize) {
    if (!read.result.ok()) Trace("mousepad default light profile: " + read.result.error.ToString());
    const std::string_view text = read.result.TextId();
    return {false, text.empty() ? kTextFileInvalid : text};
  }
  // The pad keeps 56 bytes of each record; the rest of a restored record is zero.
  std::vector<std::uint8_t> record(profile::kMousepadLightPayloadSize, 0);
  std::copy_n(read.payload.begin(), kMousepadRecordTransferSize, record.begin());
  SetLighting(MousepadLighting(record));
  if (const profile::StoreResult saved = lightStore_->SaveProfile(record); !saved)
    Trace("mousepad light profile not saved: " + saved.error.ToString());
  return {true};
}

int BasicController::StoredSelection(device::StoredSelection which) const {
  if (Kind() == DeviceKind::kHeadset) {
    return profile::ReadIniInt(folders_.GetDeviceFolder(DeviceKind::kHeadset) / kHeadsetIndexFile,
                               kHeadsetSelectSection, profile::kSelectKey, 0);
  }
  return which == device::StoredSelection::kLight && lightStore_ ? lightStore_->SelectedIndex() : 0;
}

lighting::LightingSettings MousepadLighting(std::span<const std::uint8_t> record) {
  if (record.size() < 1 + lighting::LightingSettings::kSize) return {};
  return lighting::LightingSettings::FromBytes(
      std::span<const std::uint8_t, lighting::LightingSettings::kSize>(record.data() + 1, lighting::LightingSettings::kSize));
}

}  // namespace korva::session
