#pragma once
// The backend for devices on the USB bus: hidapi over Linux hidraw (libhidapi-hidraw 0.13).
//
// What hidapi 0.13.1's hidraw backend reports: hid_enumerate lists one entry per Collection item
// of the node's report descriptor that follows a Usage -- nested (physical, logical) collections
// included; keeping only the top-level ones came in a later release -- all with the same
// /dev/hidrawN path and interface number, each with the usage page and usage of its collection. One
// node serves every collection of a USB interface, and a read on it returns every input report of
// the interface, whichever collection the caller had in mind. hidapi 0.13 has no call for the
// report descriptor, so we read it from sysfs and list the node's top-level collections from our
// own parse, falling back to hidapi's entries (duplicates removed) when that fails.
//
// Limits of hidraw: the node is always opened for reading and writing (the open options cannot
// narrow it); a write returns when the kernel has passed the report on, so its time-out is the
// kernel's own, not ours.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/HidBackend.h"

namespace korva::device {

class HidapiBackend final : public HidBackend {
 public:
  HidapiBackend();
  ~HidapiBackend() override;
  HidapiBackend(const HidapiBackend&) = delete;
  HidapiBackend& operator=(const HidapiBackend&) = delete;

  bool Enumerate(std::vector<HidInterfaceInfo>& out) override;
  // True while the hidraw node exists.
  bool IsPresent(const std::string& path) override;
  std::unique_ptr<HidConnection> Open(const HidInterfaceInfo& collection,
                                      const HidOpenOptions& options) override;

 private:
  bool initialised_ = false;
};

// The report descriptor of a hidraw node ("/dev/hidrawN") from
// /sys/class/hidraw/hidrawN/device/report_descriptor; empty when it cannot be read.
std::vector<std::uint8_t> ReadHidrawReportDescriptor(const std::string& devicePath);

}  // namespace korva::device
