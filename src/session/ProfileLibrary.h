#pragma once
// ProfileLibrary: the five profile libraries of the devices (keyboard light and key, mouse light
// and key, mousepad light) as the profile panels use them, and what putting a profile into effect
// does to each device:
//
//   keyboard light  the payload becomes the keyboard's settings record, custom colour sets and
//                   paint colour; the deferred write then sends the record
//   keyboard key    the payload becomes bank 0 and goes to the keyboard at once (command 9, bank 0)
//   mouse light     the payload becomes record slot 0, the active settings, the pointer speed and
//                   the wheel lines; the wheel lines go to the desktop; the deferred write sends
//                   the settings
//   mouse key       the payload becomes bank 0 and goes to the mouse at once (command 9, bank 0)
//   mousepad light  the record becomes the mousepad's active settings (bytes 9..20 included); the
//                   deferred write sends them
//
// The libraries themselves (index, files) are the controllers' ProfileStore objects; this class
// owns nothing. Qt-free; UI thread only, like the images it changes.

#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

#include "common/DeviceKind.h"
#include "profile/ProfileStore.h"

namespace korva::session {

class DeviceSession;

// What a profile put into effect did, for the page to show.
struct ProfileEffect {
  DeviceKind device = DeviceKind::kKeyboard;
  profile::StoreResult result;      // Select, Import: the file work; not ok: nothing was put into effect
  bool applied = false;             // the device's image changed: its pages show it again
  std::optional<int> pointerSpeed;  // the desktop's pointer speed to set (1..20)
  std::optional<int> wheelLines;    // the desktop's wheel lines to set (1..10)
  std::string_view message = {};    // Restore: a text id to show; empty: none
};

class ProfileLibrary {
 public:
  // `session` must outlive the library.
  explicit ProfileLibrary(DeviceSession& session) : session_(session) {}

  // The store of `kind`, owned by its device's controller.
  profile::ProfileStore& Store(profile::StoreKind kind);

  // "itemselect" on the store's combo: select := index, the profile loaded and put into effect. A
  // profile that cannot be loaded is only traced (the application link selects profiles too, and
  // must not raise boxes); the previous state stays.
  ProfileEffect Select(profile::StoreKind kind, int index);
  // The application link shows profile `index` while `select` keeps the hand-chosen profile; put
  // into effect as Select does. Later saves go into this profile until the next Select.
  ProfileEffect ShowLinked(profile::StoreKind kind, int index);
  // The store's default profile, into effect and saved into the selected profile.
  ProfileEffect Restore(profile::StoreKind kind);
  // Replaces the content of profile `index` with the profile file `source`, then selects it again
  // so that it is put into effect. The result says why a file could not be imported or applied.
  ProfileEffect Import(profile::StoreKind kind, int index, const std::filesystem::path& source);

 private:
  // The payload of a profile of `kind` into the device's image; false (nothing changed) for a
  // payload of another size.
  bool Apply(profile::StoreKind kind, std::span<const std::uint8_t> payload, ProfileEffect& effect);
  // A loaded profile into effect, or the reason it was not.
  ProfileEffect Put(profile::StoreKind kind, int index, profile::PayloadResult loaded);

  DeviceSession& session_;
};

}  // namespace korva::session
