#pragma once
// The mousepad's memory as the program keeps it: five device profile records, the active settings
// (bytes 0..20 of the record in use) and the information block. The pad keeps nothing but lighting:
//
//   byte 0       active profile number (0..4)
//   bytes 1..8   the pad's lighting record (mode, brightness, speed, direction, colour cycle, R, G, B)
//   bytes 9..20  carried unchanged: read from the pad, written back, kept in the light profiles
//
// A record is 64 bytes; the pad keeps bytes 0..55 (address n x 64), bytes 56..63 are always zero.
// A mousepad light profile holds one record.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "lighting/LightingSettings.h"

namespace korva::mousepad {

inline constexpr int kMousepadProfileCount = 5;
inline constexpr std::size_t kMousepadRecordSize = 64;
inline constexpr std::size_t kMousepadRecordTransferSize = 56;
inline constexpr std::size_t kMousepadRecordStride = 64;
inline constexpr std::size_t kMousepadInfoSize = 33;

// n when it names a device profile (0..4), else nullopt.
std::optional<int> ValidMousepadProfile(int number);

struct MousepadActiveSettings {
  static constexpr std::size_t kSize = 21;
  static constexpr std::size_t kActiveProfile = 0;
  static constexpr std::size_t kLighting = 1;  // bytes 1..8

  std::array<std::uint8_t, kSize> bytes{};

  std::uint8_t ActiveProfile() const { return bytes[kActiveProfile]; }
  lighting::LightingSettings Lighting() const;
  void SetLighting(const lighting::LightingSettings& record);
  friend bool operator==(const MousepadActiveSettings&, const MousepadActiveSettings&) = default;
};

struct MousepadProfileRecord {
  std::array<std::uint8_t, kMousepadRecordSize> bytes{};

  std::span<std::uint8_t, kMousepadRecordTransferSize> Transferred() {
    return std::span(bytes).first<kMousepadRecordTransferSize>();
  }
  // Bytes 0..20.
  MousepadActiveSettings Settings() const;
  void StoreSettings(const MousepadActiveSettings& settings);
  friend bool operator==(const MousepadProfileRecord&, const MousepadProfileRecord&) = default;
};

struct MousepadImage {
  std::array<MousepadProfileRecord, kMousepadProfileCount> records{};
  MousepadActiveSettings active;
  std::array<std::uint8_t, kMousepadInfoSize> info{};  // read and kept; no field is used
  friend bool operator==(const MousepadImage&, const MousepadImage&) = default;
};

// The lighting record of a stored mousepad record (bytes 1..8); a record too short for them gives
// an empty record.
lighting::LightingSettings MousepadLighting(std::span<const std::uint8_t> record);

}  // namespace korva::mousepad
