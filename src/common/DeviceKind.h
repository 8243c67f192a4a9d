#pragma once
// The one name of the four KORVA devices, used by every layer: the device link, the profile
// library, the lighting, the pages and the window. The values are the order of the device tabs
// and the slots of every array indexed by device.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace korva {

enum class DeviceKind : int { kKeyboard = 0, kMouse = 1, kMousepad = 2, kHeadset = 3 };

inline constexpr std::size_t kDeviceKindCount = 4;
// In tab order.
inline constexpr std::array<DeviceKind, kDeviceKindCount> kAllDeviceKinds{
    DeviceKind::kKeyboard, DeviceKind::kMouse, DeviceKind::kMousepad, DeviceKind::kHeadset};

// The slot of a device in arrays indexed by device.
constexpr std::size_t IndexOf(DeviceKind kind) {
  return static_cast<std::size_t>(kind);
}

// The device of a number 0..3 (a tab or page number); nullopt for any other number.
constexpr std::optional<DeviceKind> DeviceKindFromIndex(int index) {
  if (index < 0 || index >= static_cast<int>(kDeviceKindCount)) return std::nullopt;
  return static_cast<DeviceKind>(index);
}

// "keyboard", "mouse", "mousepad", "headset" (traces and tools).
constexpr std::string_view DeviceKindName(DeviceKind kind) {
  constexpr std::array<std::string_view, kDeviceKindCount> kNames{"keyboard", "mouse", "mousepad",
                                                                  "headset"};
  return kNames[IndexOf(kind)];
}

}  // namespace korva
