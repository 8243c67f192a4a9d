#pragma once
// HidrawNodeWatch: the hidraw backend's change signal. The kernel creates "/dev/hidrawN" when a HID
// device comes and removes it when it goes; udev then gives the node its owner and permissions (an
// attribute change), after which it can be opened. An inotify watch on the folder sees all three.
// Other nodes of the folder wake the waiter too, but Take tells them apart.

#include <string>

#include "device/HidBackend.h"

namespace korva::device {

class HidrawNodeWatch final : public HidChangeSignal {
 public:
  // nullptr-like: check Valid() — a folder that cannot be watched gives no signal.
  explicit HidrawNodeWatch(const std::string& folder);
  ~HidrawNodeWatch() override;
  HidrawNodeWatch(const HidrawNodeWatch&) = delete;
  HidrawNodeWatch& operator=(const HidrawNodeWatch&) = delete;

  bool Valid() const { return fd_ >= 0; }
  int Fd() const override { return fd_; }
  // True when a "hidraw*" node came, went or changed its attributes since the last Take.
  bool Take() override;

 private:
  int fd_ = -1;
};

}  // namespace korva::device
