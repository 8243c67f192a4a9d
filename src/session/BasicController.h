#pragma once
// BasicController: a device whose image and pages have not been built yet (mousepad, headset). It gives the watchers the stored selections of the device's profile index and keeps
// the device's lighting record, so same-mode copying and the lighting threads find one; it sends
// nothing to the device. Each device replaces it with a controller of its own as its image arrives.

#include <optional>

#include "profile/DataFolders.h"
#include "profile/ProfileStore.h"
#include "session/DeviceController.h"

namespace korva::session {

class BasicController final : public DeviceController {
 public:
  BasicController(DeviceKind kind, device::HidDevice& device, const profile::DataFolders& folders,
                  const std::filesystem::path& defaultsFolder);

  int StoredSelection(device::StoredSelection which) const override;
  lighting::LightingSettings Lighting() const override { return lighting_; }
  void SetLighting(const lighting::LightingSettings& record) override { lighting_ = record; }

 private:
  profile::DataFolders folders_;
  std::optional<profile::ProfileStore> lightStore_;  // mousepad
  lighting::LightingSettings lighting_{};
};

}  // namespace korva::session
