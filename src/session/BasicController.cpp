#include "session/BasicController.h"

#include "profile/IniFile.h"

namespace korva::session {
namespace {

// The headset's profiles are JSON files with an index of their own.
constexpr const char* kHeadsetIndexFile = "hsProfile.ini";
constexpr const char* kHeadsetSelectSection = "PROFILESELECT";

}  // namespace

BasicController::BasicController(DeviceKind kind, device::HidDevice& device, const profile::DataFolders& folders)
    : DeviceController(kind, device), folders_(folders) {}

int BasicController::StoredSelection(device::StoredSelection /*which*/) const {
  return profile::ReadIniInt(folders_.GetDeviceFolder(Kind()) / kHeadsetIndexFile, kHeadsetSelectSection,
                             profile::kSelectKey, 0);
}

}  // namespace korva::session
