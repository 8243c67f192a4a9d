#pragma once
// BasicController: a device whose image and pages have not been built yet (mousepad, headset). It gives the watchers the stored selections of the device's profile index and keeps
// the device's lighting record, so same-mode copying and the lighting threads find one; it sends
// nothing to the device. Each device replaces it with a controller of its own as its image arrives.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "profile/DataFolders.h"
#include "profile/ProfileStore.h"
#include "session/DeviceController.h"

namespace korva::session {

// Bytes of a mousepad record the pad keeps (the rest of the 64-byte record is zero).
inline constexpr std::size_t kMousepadRecordTransferSize = 56;

// The lighting record of a mousepad record (a light profile's payload): bytes 1..8; a record too
// short for them gives an empty record.
lighting::LightingSettings MousepadLighting(std::span<const std::uint8_t> record);

class BasicController final : public DeviceController {
 public:
  BasicController(DeviceKind kind, device::HidDevice& device, const profile::DataFolders& folders,
                  const std::filesystem::path& defaultsFolder);

  // The mousepad's light profile library; nullptr for the headset.
  profile::ProfileStore* ProfileStoreOf(profile::StoreKind kind) override {
    return kind == profile::StoreKind::kMousepadLight && lightStore_ ? &*lightStore_ : nullptr;
  }

  void Initialise() override;
  int StoredSelection(device::StoredSelection which) const override;
  // The mousepad: the default light profile becomes the selected profile's content and the
  // lighting record; nothing goes to the pad, whose settings image comes with its page.
  DeviceOutcome RestoreDefaults() override;
  lighting::LightingSettings Lighting() const override { return lighting_; }
  void SetLighting(const lighting::LightingSettings& record) override { lighting_ = record; }

 private:
  profile::DataFolders folders_;
  std::optional<profile::ProfileStore> lightStore_;  // mousepad
  lighting::LightingSettings lighting_{};
};

}  // namespace korva::session
