#pragma once
// The USB interfaces of each simulated device: which collections share a node, and the HID report
// descriptor the node reports (layout in SimBus.h).

#include <cstdint>
#include <vector>

#include "sim/SimDeviceKind.h"

namespace korva::sim {

struct SimCollection {
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
};

struct SimInterface {
  int number = 0;
  std::vector<SimCollection> collections;
  bool vendor = false;    // carries the command protocol (report id 4)
  bool consumer = false;  // carries the consumer reports (report id 3)
  std::vector<std::uint8_t> descriptor;
};

std::vector<SimInterface> InterfacesOf(SimDeviceKind kind);

}  // namespace korva::sim
