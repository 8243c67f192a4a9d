#include "device/tools/DevicesTool.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "device/CommandExchange.h"
#include "device/HidDevice.h"
#include "device/KnownDevices.h"
#include "device/hidapi/HidapiBackend.h"
#include "sim/SimBus.h"

namespace korva::device {
namespace {

constexpr std::string_view kUsage =
    "usage: korva-devices [--simulate]\n"
    "Lists the HID collections present and which KORVA device each belongs to.\n"
    "  --simulate  list the simulated devices instead, and read the device information of each\n"
    "              simulated vendor collection\n"
    "  --help      show this text\n";

std::string Hex4(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", value & 0xFFFFu);
  return text;
}

std::string Describe(const HidInterfaceInfo& info) {
  const CollectionClass c = ClassifyCollection(info);
  if (c.role == CollectionRole::kForeign) return std::string(CollectionRoleName(c.role));
  std::string text(DeviceKindName(*c.kind));  // every role but kForeign has a kind
  if (c.keyboardModel >= 0) text += " model " + std::to_string(c.keyboardModel);
  return text + ", " + std::string(CollectionRoleName(c.role));
}

void List(const std::vector<HidInterfaceInfo>& collections, std::ostream& out) {
  if (collections.empty()) {
    out << "No HID collections found.\n";
    return;
  }
  for (const HidInterfaceInfo& info : collections) {
    out << info.path << "  " << Hex4(info.vendorId) << ':' << Hex4(info.productId) << "  "
        << Hex4(info.usagePage) << ':' << Hex4(info.usage) << "  interface " << info.interfaceNumber << "  "
        << Describe(info) << '\n';
  }
}

// Opens the collection as the device watchers do and asks it for its 33 information bytes.
void PrintInfo(HidBackend& backend, const HidInterfaceInfo& info, std::ostream& out) {
  HidDevice device(backend);
  device.link.devicePath = info;
  device.link.options = {.wantRead = true, .wantWrite = true, .overlapped = true, .shareReadOnly = false};
  out << "  " << info.path << " information: ";
  if (!OpenLink(device.link)) {
    out << "cannot open\n";
    return;
  }
  device.connected = true;
  std::array<std::uint8_t, kInfoSize> bytes{};
  const int result = ReadInfo(device, bytes);
  if (result != kResultOk) {
    out << "ReadInfo failed (result " << result << ")\n";
  } else {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      char text[4];
      std::snprintf(text, sizeof text, "%02X", bytes[i]);
      out << (i == 0 ? "" : " ") << text;
    }
    out << '\n';
  }
  CloseLink(device.link);
}

int ListSimulated(std::ostream& out, std::ostream& err) {
  sim::SimBus bus;
  for (sim::SimDeviceKind kind :
       {sim::SimDeviceKind::kKeyboard, sim::SimDeviceKind::kKeyboardModel1, sim::SimDeviceKind::kMouse,
        sim::SimDeviceKind::kMousepad, sim::SimDeviceKind::kForeign}) {
    bus.Plug(kind);
  }
  std::vector<HidInterfaceInfo> collections;
  if (!bus.Enumerate(collections)) {
    err << "korva-devices: enumeration of the simulated devices failed\n";
    return 1;
  }
  List(collections, out);
  out << "Device information of the vendor collections:\n";
  for (const HidInterfaceInfo& info : collections) {
    if (info.usagePage == kVendorUsagePage && info.usage == kVendorUsage) PrintInfo(bus, info, out);
  }
  return 0;
}

int ListHardware(std::ostream& out, std::ostream& err) {
  HidapiBackend backend;
  std::vector<HidInterfaceInfo> collections;
  if (!backend.Enumerate(collections)) {
    err << "korva-devices: HID enumeration failed (hidapi could not start)\n";
    return 1;
  }
  List(collections, out);
  return 0;
}

}  // namespace

int RunDevicesTool(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
  bool simulate = false;
  for (std::string_view arg : args) {
    if (arg == "--simulate") {
      simulate = true;
    } else if (arg == "--help" || arg == "-h") {
      out << kUsage;
      return 0;
    } else {
      err << "korva-devices: unknown argument '" << arg << "'\n" << kUsage;
      return kToolUsageError;
    }
  }
  return simulate ? ListSimulated(out, err) : ListHardware(out, err);
}

}  // namespace korva::device
