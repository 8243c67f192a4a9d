#pragma once
// The kinds of simulated device and the identities and report layout they share.

#include <cstddef>
#include <cstdint>

namespace korva::sim {

enum class SimDeviceKind {
  kKeyboard,        // product 0x8901, keyboard model 0
  kKeyboardModel1,  // product 0x7680, keyboard model 1 (no consumer collection)
  kMouse,           // product 0x6721
  kMousepad,        // product 0x6621
  kForeign,         // product 0x5011: same vendor, another product; refuses every request
};

inline constexpr std::uint16_t kSimVendorId = 0x0C45;
inline constexpr std::uint16_t kVendorUsagePage = 0xFF1C;
inline constexpr std::uint16_t kVendorUsage = 0x0092;
inline constexpr std::uint16_t kConsumerUsagePage = 0x000C;
inline constexpr std::uint16_t kConsumerUsage = 0x0001;

inline constexpr std::uint8_t kVendorReportId = 0x04;
inline constexpr std::uint8_t kConsumerReportId = 0x03;
inline constexpr std::size_t kReportSize = 64;  // vendor reports: report id + 63 bytes

constexpr std::uint16_t ProductIdOf(SimDeviceKind kind) {
  switch (kind) {
    case SimDeviceKind::kKeyboard:
      return 0x8901;
    case SimDeviceKind::kKeyboardModel1:
      return 0x7680;
    case SimDeviceKind::kMouse:
      return 0x6721;
    case SimDeviceKind::kMousepad:
      return 0x6621;
    case SimDeviceKind::kForeign:
      return 0x5011;
  }
  return 0;
}

// Whether the device has the consumer collection whose reports announce changes made at the device.
constexpr bool HasConsumerCollection(SimDeviceKind kind) {
  return kind == SimDeviceKind::kKeyboard || kind == SimDeviceKind::kMouse;
}

}  // namespace korva::sim
