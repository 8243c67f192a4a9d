#include "device/HidDevice.h"

namespace korva::device {

HidDevice::~HidDevice() {
  connected = false;
  identity = HidIdentity{};
  CloseLink(link);
}

}  // namespace korva::device
