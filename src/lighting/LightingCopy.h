#pragma once
// Same-mode copying: one device's lighting record becomes the record of every other device and
// of the synchronised lighting, and all four devices join the synchronised lighting.
//
// The pages and the device objects this touches belong to the main window; they are reached
// through hooks that each page fills in when it is built. A hook left empty is skipped.

#include <array>
#include <functional>

#include "lighting/LightingRecords.h"

namespace korva::lighting {

struct LightingCopyHooks {
  // Shows the device's new record on its lighting page. Indexed by IndexOf(DeviceKind).
  std::array<std::function<void()>, kDeviceKindCount> refreshPage;
  // Saves the device's current light profile. Indexed by IndexOf(DeviceKind).
  std::array<std::function<void()>, kDeviceKindCount> saveProfile;
  // Sets the sync-lighting flags of all four device objects, so that the synchronised lighting
  // thread drives every device with the copied effect.
  std::function<void()> setAllSyncLighting;
};

// Copies the source's record into the three other devices and the synchronised record, then
// refreshes the other devices' pages (order mouse, mousepad, keyboard, headset), saves their
// light profiles (order keyboard, mouse, mousepad, headset) and sets the sync-lighting flags.
// A source that is no device traces "同步失败" (synchronisation failed), changes nothing and
// returns false.
bool CopyLightingToAll(LightingRecordStore& records, DeviceKind source, const LightingCopyHooks& hooks);

}  // namespace korva::lighting
