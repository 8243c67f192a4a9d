#pragma once
// KeyboardController: the keyboard in the session (both models) -- its image, its light and key
// profile libraries ("kbProfile.ini"), the key-function editor's state, and the keyboard's arrival,
// reads, deferred settings write, upload and restore.
//
//   arrival (watcher thread) / WM_KB_RELOAD / timer 11: the full read into a copy; after a complete
//            read the selected key profile is saved from bank 0 (the profile files follow the
//            device). A keyboard with more keys than a bank holds is refused with "message_text_11".
//   WM_KB_PROFILE: the record at address 0 again; the light profile saved.
//   WM_KB_DEFAULTS: the factory key block again.
//   timer 2: the settings record while a change waits (WriteRetry).
//   lighting page: brightness and speed at once as single bytes; every edit saved into the
//            selected light profile.
//   upload (kb_key_butt_prosave): the macro library ("kbMacro.ini"), then the edited bank to the
//            keyboard, then the key profile saved; a library that does not fit stops it unsent; a
//            keyboard that does not take it is reported.
//   restore: the default light profile (then written by the deferred write) and the default key
//            profile (bank 0, written at once).

#include <optional>
#include <string_view>

#include "keyboard/KeyAssignment.h"
#include "keyboard/KeyboardImage.h"
#include "keyboard/KeyboardLighting.h"
#include "profile/DataFolders.h"
#include "profile/ProfileStore.h"
#include "session/DeferredWrite.h"
#include "session/DeviceController.h"

namespace korva::session {

class KeyboardController final : public DeviceController {
 public:
  KeyboardController(device::HidDevice& device, const profile::DataFolders& folders,
                     const std::filesystem::path& defaultsFolder);

  keyboard::KeyboardImage& Image() { return image_; }
  const keyboard::KeyboardImage& Image() const { return image_; }
  keyboard::KeyEditor& Editor() { return editor_; }
  profile::ProfileStore& LightStore() { return lightStore_; }
  profile::ProfileStore& KeyStore() { return keyStore_; }

  // A page changed the working settings: the deferred write sends them.
  void MarkDeferredWrite() { pending_ = true; }
  // An edit of the lighting page: a changed record waits for the deferred write, a saving edit is
  // kept in the selected light profile.
  void LightingEdited(const keyboard::KeyboardLightEdit& edit);
  // Brightness (offset 2) or speed (offset 3) of the active record to the keyboard at once, one
  // byte, while the lighting stream pauses. The result is not checked: the deferred write that
  // follows sends the whole record again.
  void WriteLightByte(std::uint8_t offset, std::uint8_t value);
  // The edited bank to the keyboard and the key profile saved.
  DeviceOutcome Upload();
  // WM_KB_DEFAULTS.
  DeviceOutcome ReadDefaults();
  // Saves the selected key profile from bank 0.
  void SaveKeyProfile();

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
    if (kind == profile::StoreKind::kKeyboardLight) return &lightStore_;
    return kind == profile::StoreKind::kKeyboardKey ? &keyStore_ : nullptr;
  }

  // The two halves of RestoreDefaults, one per profile library (its restore button).
  DeviceOutcome RestoreLight();
  DeviceOutcome RestoreKeys();

 private:
  // A read into `fresh` and what follows a complete one; the outcome's message for a refused keyboard.
  DeviceOutcome ReadInto(keyboard::KeyboardImage& fresh);
  void TakeImage(const keyboard::KeyboardImage& fresh);

  profile::ProfileStore lightStore_;
  profile::ProfileStore keyStore_;
  keyboard::KeyboardImage image_;
  keyboard::KeyEditor editor_;
  bool pending_ = false;
  WriteRetry retry_;
  struct Arrived {
    keyboard::KeyboardImage image;
    std::string_view message;
  };
  ArrivalBuffer<Arrived> arrived_;
};

}  // namespace korva::session
