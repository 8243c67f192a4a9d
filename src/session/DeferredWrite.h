#pragma once
// One tick of timer 2 for one device: while a settings change waits, the device's write is sent
// when WriteRetry says it is due; a write the device took, or a device that is gone, ends the
// wait; a device that keeps refusing loses the change and the user hears of it once.

#include <functional>
#include <mutex>
#include <optional>
#include <string_view>

#include "device/HidDevice.h"
#include "session/DeviceController.h"
#include "session/WriteRetry.h"

namespace korva::session {

struct PendingWrite {
  std::function<bool()> pending;  // a change waits
  std::function<int()> write;     // sends it; a device result code
  std::function<void()> clear;    // the change no longer waits
};

DeviceOutcome FlushTick(WriteRetry& retry, const device::HidDevice& device, const PendingWrite& change,
                        std::string_view deviceName);

// An image read on a watcher thread, handed to the UI thread.
template <class Image>
class ArrivalBuffer {
 public:
  void Put(const Image& image) {
    std::lock_guard lock(mutex_);
    image_ = image;
  }
  std::optional<Image> Take() {
    std::lock_guard lock(mutex_);
    std::optional<Image> taken;
    taken.swap(image_);
    return taken;
  }

 private:
  std::mutex mutex_;
  std::optional<Image> image_;
};

}  // namespace korva::session
