#pragma once
// MouseController: the mouse in the session -- its light and key profile libraries ("msProfile.ini"),
// its page model (the image and the pending-write flag the pages edit), and the mouse's arrival,
// reload, deferred write and restore.
//
//   arrival (watcher thread): the stored light profile into a fresh image, the full read over it,
//            then -- only after a complete read -- both selected profiles saved from it; the UI
//            thread takes the image over in ApplyArrival.
//   WM_MS_RELOAD: the full read into a copy, both profiles saved after a complete read (the device's
//            state replaces the stored profiles); a failed read changes neither image nor files.
//   WM_MS_PROFILE: the active profile read again; the light profile saved when it changed.
//   timer 2: the active settings written while a change waits, retried with growing pauses
//            (WriteRetry) and dropped with a message when the mouse keeps refusing.
//   restore: the default light profile (56 bytes into record slot 0 and the active settings, saved,
//            written by the next flush; the desktop then gets pointer speed 10 and wheel lines 1,
//            which the saved profile does not keep until its next save), then the default key
//            profile (bank 0, saved, written to the mouse with command 9).
//   key save: the cursor macros (a refused block is reported, the save goes on), the macros (a
//            refused library stops the save), the active key bank to the mouse (begin, command 9, end), then the key profile saved;
//            a bank the mouse refused is reported.

#include <mutex>
#include <optional>

#include "keyboard/KeyAssignment.h"
#include "mouse/CursorMacros.h"
#include "mouse/MouseImage.h"
#include "mouse/MousePageModel.h"
#include "profile/DataFolders.h"
#include "profile/ProfileStore.h"
#include "session/DeferredWrite.h"
#include "session/DeviceController.h"
#include "session/WriteRetry.h"

namespace korva::session {

// The desktop settings a restored light profile leaves (the mouse page applies them).
inline constexpr int kRestoredPointerSpeed = 10;
inline constexpr int kRestoredWheelLines = 1;

class MouseController final : public DeviceController {
 public:
  MouseController(device::HidDevice& device, const profile::DataFolders& folders,
                  const std::filesystem::path& defaultsFolder);

  mouse::MousePageModel& Model() { return model_; }
  const mouse::MousePageModel& Model() const { return model_; }
  profile::ProfileStore& LightStore() { return lightStore_; }
  profile::ProfileStore& KeyStore() { return keyStore_; }
  // The button page's function editor (the mouse's kinds, over the active key bank).
  keyboard::KeyEditor& ButtonEditor() { return buttonEditor_; }
  // SaveMouseKeys: the cursor macros, the macros, then the active bank to the mouse, the key
  // profile saved.
  DeviceOutcome SaveKeys();
  // The cursor macros in the data folder (set up by Initialise).
  mouse::CursorMacros& Cursors() { return cursors_; }
  const mouse::CursorMacros& Cursors() const { return cursors_; }
  // DownloadCursorMacros: the cursor macro block to the mouse; a refused block is reported.
  DeviceOutcome DownloadCursorMacros();

  void Initialise() override;
  int StoredSelection(device::StoredSelection which) const override;
  void ReadOnArrival(const device::Arrival& arrival) override;
  DeviceOutcome ApplyArrival(const device::Arrival& arrival) override;
  DeviceOutcome ReadAll() override;
  DeviceOutcome ReloadProfile() override;
  DeviceOutcome FlushDeferredWrite() override;
  bool DeferredWritePending() const override { return model_.pendingWrite(); }
  DeviceOutcome RestoreDefaults() override;
  lighting::LightingSettings Lighting() const override;
  void SetLighting(const lighting::LightingSettings& record) override;
  void SaveLightProfile() override;
  profile::ProfileStore* ProfileStoreOf(profile::StoreKind kind) override {
    if (kind == profile::StoreKind::kMouseLight) return &lightStore_;
    return kind == profile::StoreKind::kMouseKey ? &keyStore_ : nullptr;
  }

  // The two halves of RestoreDefaults, one per profile library (its restore button).
  DeviceOutcome RestoreLight();
  DeviceOutcome RestoreKeys();

 private:

  profile::ProfileStore lightStore_;
  profile::ProfileStore keyStore_;
  mouse::MousePageModel model_;
  mouse::CursorMacros cursors_;
  keyboard::KeyEditor buttonEditor_{keyboard::MouseEditor()};
  WriteRetry retry_;
  ArrivalBuffer<mouse::MouseImage> arrived_;  // read on arrival, taken over by ApplyArrival
};

}  // namespace korva::session
