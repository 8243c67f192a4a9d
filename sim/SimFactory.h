#pragma once
// The factory contents of each simulated device: what it holds when new and after restore-defaults.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/SimFirmware.h"

namespace korva::sim {

struct SimFactoryImage {
  std::array<std::uint8_t, kSimInfoSize> info{};
  std::array<std::uint8_t, kSimSettingsSize> settings{};  // byte 0 = active profile number
  bool hasBanks = false;                                  // key banks and default block
  std::array<std::uint8_t, kSimBankSize> defaultBlock{};  // every bank starts as a copy of it
  std::vector<std::uint8_t> macros;                       // capacity bytes; empty without macro memory
  std::vector<std::uint8_t> cursorMacros;                 // mouse only
  std::size_t ledCount = 0;                               // lighting frame = 3 bytes per LED
};

SimFactoryImage FactoryImage(SimDeviceKind kind);

}  // namespace korva::sim
