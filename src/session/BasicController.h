#pragma once
// BasicController: the headset in the session. It gives the watcher the stored selection of the
// headset's profile index and keeps its lighting record, so same-mode copying and the lighting
// threads find one; it sends nothing (the headset's pages talk to its audio library).

#include "profile/DataFolders.h"
#include "session/DeviceController.h"

namespace korva::session {

class BasicController final : public DeviceController {
 public:
  BasicController(DeviceKind kind, device::HidDevice& device, const profile::DataFolders& folders);

  int StoredSelection(device::StoredSelection which) const override;
  lighting::LightingSettings Lighting() const override { return lighting_; }
  void SetLighting(const lighting::LightingSettings& record) override { lighting_ = record; }

 private:
  profile::DataFolders folders_;
  lighting::LightingSettings lighting_{};
};

}  // namespace korva::session
