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
  switch (kind) {
    case DeviceKind::kKeyboard:
      lightStore_.emplace(profile::StoreKind::kKeyboardLight, folders, defaultsFolder);
      keyStore_.emplace(profile::StoreKind::kKeyboardKey, folders, defaultsFolder);
      break;
    case DeviceKind::kMousepad:
      lightStore_.emplace(profile::StoreKind::kMousepadLight, folders, defaultsFolder);
      break;
    case DeviceKind::kMouse:
    case DeviceKind::kHeadset:
      break;
  }
}

const profile::ProfileStore* BasicController::StoreOf(device::StoredSelection which) const {
  const auto& store = which == device::StoredSelection::kLight ? lightStore_ : keyStore_;
  return store ? &*store : nullptr;
}

int BasicController::StoredSelection(device::StoredSelection which) const {
  if (Kind() == DeviceKind::kHeadset) {
    return profile::ReadIniInt(folders_.GetDeviceFolder(DeviceKind::kHeadset) / kHeadsetIndexFile,
                               kHeadsetSelectSection, profile::kSelectKey, 0);
  }
  const profile::ProfileStore* store = StoreOf(which);
  return store ? store->SelectedIndex() : 0;
}

}  // namespace korva::session
