#include "session/BasicController.h"

#include "profile/IniFile.h"

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

int BasicController::StoredSelection(device::StoredSelection which) const {
  if (Kind() == DeviceKind::kHeadset) {
    return profile::ReadIniInt(folders_.GetDeviceFolder(DeviceKind::kHeadset) / kHeadsetIndexFile,
                               kHeadsetSelectSection, profile::kSelectKey, 0);
  }
  return which == device::StoredSelection::kLight && lightStore_ ? lightStore_->SelectedIndex() : 0;
}

}  // namespace korva::session
