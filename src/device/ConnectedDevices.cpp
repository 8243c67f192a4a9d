#include "device/ConnectedDevices.h"

namespace korva::device {

bool ConnectedDevices::Has(DeviceKind kind) const {
  switch (kind) {
    case DeviceKind::kKeyboard:
      return keyboard;
    case DeviceKind::kMouse:
      return mouse;
    case DeviceKind::kMousepad:
      return mousepad;
    case DeviceKind::kHeadset:
      return headset;
  }
  return false;
}

bool ConnectedDevices::AnyOtherThan(DeviceKind kind) const {
  for (DeviceKind other : kAllDeviceKinds) {
    if (other != kind && Has(other)) return true;
  }
  return false;
}

}  // namespace korva::device
