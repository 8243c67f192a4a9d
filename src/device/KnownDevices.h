#pragma once
// The USB ids and HID collections of the KORVA devices, and which device a collection belongs to.

#include <cstdint>
#include <optional>
#include <string_view>

#include "common/DeviceKind.h"
#include "device/HidBackend.h"
#include "device/HidDevice.h"

namespace korva::device {

inline constexpr std::uint16_t kKorvaVendorId = 0x0C45;
inline constexpr std::uint16_t kKeyboardModel0ProductId = 0x8901;
inline constexpr std::uint16_t kKeyboardModel1ProductId = 0x7680;
inline constexpr std::uint16_t kMouseProductId = 0x6721;
inline constexpr std::uint16_t kMousepadProductId = 0x6621;
inline constexpr std::uint16_t kHeadsetVendorId = 0x0C76;
inline constexpr std::uint16_t kHeadsetProductId = 0x1630;

// The collection that carries the command frames.
inline constexpr std::uint16_t kVendorUsagePage = 0xFF1C;
inline constexpr std::uint16_t kVendorUsage = 0x0092;
// The consumer-control collection on which the keyboard and the mouse report changes made on the device.
inline constexpr std::uint16_t kConsumerUsagePage = 0x000C;
inline constexpr std::uint16_t kConsumerUsage = 0x0001;

// The identity patterns the main window gives its devices at start-up. The keyboard has none:
// its watcher recognises both models by fixed constants.
inline constexpr HidIdentity kMouseIdentity{kKorvaVendorId, kMouseProductId, kVendorUsage, kVendorUsagePage};
inline constexpr HidIdentity kMousepadIdentity{kKorvaVendorId, kMousepadProductId, kVendorUsage,
                                               kVendorUsagePage};
inline constexpr HidIdentity kHeadsetIdentity{kHeadsetVendorId, kHeadsetProductId, kVendorUsage,
                                              kVendorUsagePage};

using korva::DeviceKind;
using korva::DeviceKindName;

enum class CollectionRole {
  kCommands,       // the vendor collection of the command frames
  kDeviceReports,  // the consumer collection of the keyboard's or mouse's own reports
  kOther,          // any other collection of a KORVA device
  kForeign,        // not a KORVA device
};

struct CollectionClass {
  std::optional<DeviceKind> kind;  // nullopt: not a KORVA device
  CollectionRole role = CollectionRole::kForeign;
  int keyboardModel = -1;  // 0 for 0x8901, 1 for 0x7680, else -1
};

CollectionClass ClassifyCollection(const HidInterfaceInfo& info);
std::string_view CollectionRoleName(CollectionRole role);

}  // namespace korva::device
