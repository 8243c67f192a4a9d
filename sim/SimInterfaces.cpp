#include "sim/SimInterfaces.h"

namespace korva::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Vendor collection: report id 4 with 63 bytes in and 63 bytes out.
const Bytes kVendorDescriptor = {
    0x06, 0x1C, 0xFF,  // Usage Page (0xFF1C)
    0x09, 0x92,        // Usage (0x92)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x04,        //   Report ID (4)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x3F,        //   Report Count (63)
    0x09, 0x01,        //   Usage (1)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x09, 0x02,        //   Usage (2)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
};

// Consumer collection: report id 3 with one 16-bit usage from an array of usages 0..0x0FFF.
const Bytes kConsumerDescriptor = {
    0x05, 0x0C,        // Usage Page (Consumer)
    0x09, 0x01,        // Usage (Consumer Control)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x03,        //   Report ID (3)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x0F,  //   Logical Maximum (0x0FFF)
    0x19, 0x00,        //   Usage Minimum (0)
    0x2A, 0xFF, 0x0F,  //   Usage Maximum (0x0FFF)
    0x75, 0x10,        //   Report Size (16)
    0x95, 0x01,        //   Report Count (1)
    0x81, 0x00,        //   Input (Data, Array, Absolute)
    0xC0,              // End Collection
};

// The boot keyboard of the USB HID specification (Appendix B.1): modifiers, reserved byte, six keys;
// five LED outputs.
const Bytes kBootKeyboardDescriptor = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01, 0x75,
    0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01, 0x95, 0x05, 0x75, 0x01, 0x05, 0x08,
    0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0x95, 0x06, 0x75, 0x08, 0x15,
    0x00, 0x26, 0xFF, 0x00, 0x05, 0x07, 0x19, 0x00, 0x2A, 0xFF, 0x00, 0x81, 0x00, 0xC0,
};

// A boot mouse (Appendix B.2) with a wheel: five buttons, X, Y, wheel.
const Bytes kBootMouseDescriptor = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09, 0x19,
    0x01, 0x29, 0x05, 0x15, 0x00, 0x25, 0x01, 0x95, 0x05, 0x75, 0x01, 0x81, 0x02,
    0x95, 0x01, 0x75, 0x03, 0x81, 0x01, 0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x09,
    0x38, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x03, 0x81, 0x06, 0xC0, 0xC0,
};

SimInterface Boot(std::uint16_t usage, const Bytes& descriptor) {
  return {0, {{0x0001, usage}}, false, false, descriptor};
}

SimInterface Vendor(int number, bool withConsumer) {
  SimInterface node{number, {{kVendorUsagePage, kVendorUsage}}, true, withConsumer, kVendorDescriptor};
  if (withConsumer) {
    node.collections.push_back({kConsumerUsagePage, kConsumerUsage});
    node.descriptor.insert(node.descriptor.end(), kConsumerDescriptor.begin(), kConsumerDescriptor.end());
  }
  return node;
}

}  // namespace

std::vector<SimInterface> InterfacesOf(SimDeviceKind kind) {
  switch (kind) {
    case SimDeviceKind::kKeyboard:
    case SimDeviceKind::kKeyboardModel1:
      return {Boot(0x0006, kBootKeyboardDescriptor), Vendor(1, HasConsumerCollection(kind))};
    case SimDeviceKind::kMouse:
      return {Boot(0x0002, kBootMouseDescriptor), Vendor(1, true)};
    case SimDeviceKind::kMousepad:
    case SimDeviceKind::kForeign:
      return {Vendor(0, false)};
  }
  return {};
}

}  // namespace korva::sim
