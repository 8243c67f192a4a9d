#include "device/WatcherStart.h"

namespace korva::device {

ConnectedDevices DeviceSet::Connected() const {
  return {keyboard.connected.load(), mouse.connected.load(), mousepad.connected.load(),
          headset.connected.load()};
}

}  // namespace korva::device
