#pragma once
// LightingRecords: the lighting record of each device and of the synchronised lighting, shared
// between the UI thread (the pages and the same-mode copy write them) and the lighting threads
// (each pass takes a consistent copy).
//
// This store is the copy the lighting threads read. A device whose record is also part of its
// memory image (the keyboard's and the mouse's active settings hold it at bytes 1..8) puts each
// change it makes into the store with Set, and takes the store's record back into its image
// when another device's same-mode copy has replaced it (its page refresh hook, see LightingCopy.h).

#include <array>
#include <cstddef>
#include <mutex>
#include <optional>

#include "lighting/LightingSettings.h"

namespace korva::lighting {

// In the order of the main window's device objects.
enum class LightingDevice { kKeyboard = 0, kMouse = 1, kMousepad = 2, kHeadset = 3 };
inline constexpr std::size_t kLightingDeviceCount = 4;

// The slot of a device in arrays indexed by device (LightingCopyHooks, Snapshot::devices).
constexpr std::size_t IndexOf(LightingDevice device) {
  return static_cast<std::size_t>(device);
}
// The device of a number 0..3; nullopt for any other number.
std::optional<LightingDevice> LightingDeviceFromIndex(int index);
// "keyboard", "mouse", "mousepad", "headset" (for traces).
const char* LightingDeviceName(LightingDevice device);

class LightingRecords {
 public:
  struct Snapshot {
    std::array<LightingSettings, kLightingDeviceCount> devices{};
    LightingSettings synchronised{};
  };

  LightingSettings Get(LightingDevice device) const;
  void Set(LightingDevice device, const LightingSettings& record);
  LightingSettings GetSynchronised() const;
  void SetSynchronised(const LightingSettings& record);

  // Every record as of one moment.
  Snapshot Read() const;
  // Replaces every record at one moment (a lighting thread never sees half of the change).
  void Write(const Snapshot& records);

 private:
  mutable std::mutex mutex_;
  Snapshot records_;
};

}  // namespace korva::lighting
