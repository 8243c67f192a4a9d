#pragma once
// MousepadController: the mousepad in the session -- its light profile library ("mpProfile.ini"),
// its image (records, active settings, information block), its pending-write flag, and the pad's
// arrival, reload, device-profile switch, deferred write and factory reset.
//
//   arrival (watcher thread): the full read into a fresh image; after a complete read the selected
//            light profile is saved from it and the UI thread takes it over in ApplyArrival.
//   WM_MP_RELOAD: the full read into a copy; a failed read changes neither the image nor the files.
//   WM_MP_PROFILE: the active profile read again; the light profile saved when it changed.
//   timer 2: the active settings written while a change waits, retried with growing pauses
//            (WriteRetry) and dropped with a message when the pad keeps refusing.
//   restore: the default light profile becomes the active record, is saved and goes out with the
//            next flush.

#include "mousepad/MousepadImage.h"
#include "profile/DataFolders.h"
#include "profile/ProfileStore.h"
#include "session/DeferredWrite.h"
#include "session/DeviceController.h"
#include "session/WriteRetry.h"

namespace korva::session {

class MousepadController final : public DeviceController {
 public:
  MousepadController(device::HidDevice& device, const profile::DataFolders& folders,
                     const std::filesystem::path& defaultsFolder);

  const mousepad::MousepadImage& Image() const { return image_; }
  profile::ProfileStore& LightStore() { return lightStore_; }

  // A lighting edit of the page: the flush writes it and the light profile keeps it.
  void LightingEdited();
  // "itemselect" on mp_deng_combo_profile: device profile n becomes the pad's; changed when the
  // image now holds another profile.
  DeviceOutcome SwitchProfile(int n);
  // mp_one_profile_default: the restore-defaults request; the caller reads the pad again a second later.
  void SendFactoryReset();
  // A loaded light profile: its record becomes the active settings (the flush sends them). False
  // for a payload that is not a mousepad record.
  bool ApplyLightProfile(std::span<const std::uint8_t> payload);

  void Initialise() override;
  int StoredSelection(device::StoredSelection which) const override;
  void ReadOnArrival(const device::Arrival& arrival) override;
  DeviceOutcome ApplyArrival(const device::Arrival& arrival) override;
  DeviceOutcome ReadAll() override;
  DeviceOutcome ReloadProfile() override;
  DeviceOutcome FlushDeferredWrite() override;
  bool DeferredWritePending() const override { return pending_; }
  DeviceOutcome RestoreDefaults() override;
  lighting::LightingSettings Lighting() const override { return image_.active.Lighting(); }
  void SetLighting(const lighting::LightingSettings& record) override { image_.active.SetLighting(record); }
  void SaveLightProfile() override;
  profile::ProfileStore* ProfileStoreOf(profile::StoreKind kind) override {
    return kind == profile::StoreKind::kMousepadLight ? &lightStore_ : nullptr;
  }

 private:
  profile::ProfileStore lightStore_;
  mousepad::MousepadImage image_;
  bool pending_ = false;
  WriteRetry retry_;
  ArrivalBuffer<mousepad::MousepadImage> arrived_;
};

}  // namespace korva::session
