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
// hidraw always opens the node for reading and writing: the open options cannot narrow it.
//
// The hidapi calls go through HidapiCalls and the sysfs folder is a constructor argument, so that
// a test can run this code on a stand-in hidapi and a descriptor file of its own.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/HidBackend.h"

namespace korva::device {

class HidapiCalls;

// One folder per hidraw node, each with device/report_descriptor.
inline constexpr const char* kHidrawSysfsRoot = "/sys/class/hidraw";

class HidapiBackend final : public HidBackend {
 public:
  // libhidapi itself, descriptors from kHidrawSysfsRoot.
  HidapiBackend();
  // `calls` must outlive the backend and every connection it opens; `nodeFolder` holds the
  // hidraw nodes whose coming and going WatchChanges signals.
  HidapiBackend(HidapiCalls& calls, std::string sysfsRoot, std::string nodeFolder = "/dev");
  ~HidapiBackend() override;
  HidapiBackend(const HidapiBackend&) = delete;
  HidapiBackend& operator=(const HidapiBackend&) = delete;

  bool Enumerate(std::vector<HidInterfaceInfo>& out) override;
  // An inotify watch on the node folder; nullptr when it cannot be watched.
  std::unique_ptr<HidChangeSignal> WatchChanges() override;
  // True while the hidraw node exists.
  bool IsPresent(const std::string& path) override;
  std::unique_ptr<HidConnection> Open(const HidInterfaceInfo& collection,
                                      const HidOpenOptions& options) override;

 private:
  HidapiCalls& calls_;
  const std::string sysfsRoot_;
  const std::string nodeFolder_;
  const bool initialised_;
};

// The report descriptor of a hidraw node ("/dev/hidrawN") from
// <sysfsRoot>/hidrawN/device/report_descriptor; empty when it cannot be read.
std::vector<std::uint8_t> ReadHidrawReportDescriptor(const std::string& devicePath,
                                                     const std::string& sysfsRoot = kHidrawSysfsRoot);

}  // namespace korva::device
