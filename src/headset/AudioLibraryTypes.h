#pragma once
// Records and result codes shared by AudioLibrary and the audio chip backends behind it.
// The two records keep the byte layouts the headset's audio chip library defines, so that a
// backend can hand them to a chip unchanged.

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace korva::headset {

// Result codes of every AudioLibrary operation (the project's small signed codes: 1 success,
// 0 nothing to talk to, negative refused).
inline constexpr int kAudioOk = 1;
inline constexpr int kAudioNoDevice = 0;      // library unbound, or the chip reports no headset
inline constexpr int kAudioFailed = -1;       // the chip refused or failed the operation
inline constexpr int kAudioBadArgument = -2;  // an argument out of range; nothing was sent

// Results of AudioLibrary::Bind.
inline constexpr int kAudioBindOk = 0;
inline constexpr int kAudioBindLoadFailed = 1;

// The headset the watcher looks for in the device query.
inline constexpr std::uint16_t kHeadsetVendorId = 0x0C76;
inline constexpr std::uint16_t kHeadsetProductId = 0x1630;

inline constexpr std::size_t kMaxPresentDevices = 128;

// Answer of the device query, 514 bytes, all fields in host byte order (little-endian):
//   offset   0, 2 bytes: count, number of valid entries (0..128)
//   offset   2, 256 bytes: vendor ids of entries 0..127, u16 each
//   offset 258, 256 bytes: product ids of entries 0..127, u16 each
// Entries at index >= count are zero.
struct PresentDeviceList {
  std::uint16_t count = 0;
  std::uint16_t vendorIds[kMaxPresentDevices] = {};
  std::uint16_t productIds[kMaxPresentDevices] = {};
};
static_assert(sizeof(PresentDeviceList) == 514);
static_assert(offsetof(PresentDeviceList, vendorIds) == 2);
static_assert(offsetof(PresentDeviceList, productIds) == 258);
static_assert(std::is_standard_layout_v<PresentDeviceList> &&
              std::is_trivially_copyable_v<PresentDeviceList>);

// Parameters of the virtual 7.1 surround, 68 bytes in host byte order:
//   offset  0, 4 bytes: reserved, always 0
//   offset  4, 32 bytes: distance of virtual speakers 0..7, IEEE 754 single precision
//   offset 36, 32 bytes: angle of virtual speakers 0..7, IEEE 754 single precision
struct Virtual71Parameters {
  std::uint32_t reserved = 0;
  float distances[8] = {};
  float angles[8] = {};
};
static_assert(sizeof(Virtual71Parameters) == 68);
static_assert(offsetof(Virtual71Parameters, distances) == 4);
static_assert(offsetof(Virtual71Parameters, angles) == 36);
static_assert(std::is_standard_layout_v<Virtual71Parameters> &&
              std::is_trivially_copyable_v<Virtual71Parameters>);

// The headset test of the watcher: at least one device, and the first entry is the headset.
// Only the first entry counts, as the chip lists the headset it is built into first.
inline bool ReportsHeadset(const PresentDeviceList& list) {
  return list.count >= 1 && list.vendorIds[0] == kHeadsetVendorId && list.productIds[0] == kHeadsetProductId;
}

// Value ranges the library accepts before anything reaches a chip.
inline constexpr int kMaxAudioLevel = 0xFFFF;    // volumes: USB audio controls are 16-bit
inline constexpr int kMaxSoundFieldMode = 0xFF;  // the mode is one chip register byte
inline constexpr int kMaxI2cAddress = 0x7F;      // 7-bit I2C device addresses
inline constexpr int kMaxI2cRegister = 0xFF;
inline constexpr std::size_t kMaxI2cWriteBytes = 256;  // one I2C transaction of the chip

}  // namespace korva::headset
