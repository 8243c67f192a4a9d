#pragma once
// Which of the four devices are connected, as of one look at their connected flags.

#include "common/DeviceKind.h"

namespace korva::device {

struct ConnectedDevices {
  bool keyboard = false;
  bool mouse = false;
  bool mousepad = false;
  bool headset = false;

  bool Has(DeviceKind kind) const;
  bool Any() const { return keyboard || mouse || mousepad || headset; }
  // Whether a device other than `kind` is connected.
  bool AnyOtherThan(DeviceKind kind) const;
};

}  // namespace korva::device
