#pragma once
// ConnectionBell: rung by the device watchers whenever their device comes or goes, so the threads that
// have nothing to do while devices are absent can sleep until one comes instead of looking every
// few milliseconds: the lighting threads (WaitPast) and the threads that sleep in poll() beside
// other signals (the headset watcher, the HID watchers of connected devices), each through a
// doorbell of its own (Subscribe).

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "common/Bell.h"
#include "common/StopEvent.h"
#include "common/WakeFd.h"

namespace korva::device {

class ConnectionBell {
 public:
  // Any thread.
  void Ring() const;
  std::uint64_t Rings() const { return bell_.Rings(); }
  bool WaitPast(std::uint64_t seen, const StopEvent& stop, std::chrono::milliseconds timeout) const {
    return bell_.WaitPast(seen, stop, timeout);
  }

  // A doorbell of the caller's own for poll(), rung with every ring while the caller holds it.
  std::shared_ptr<const WakeFd> Subscribe() const;
  // Rings `also` with every ring from now on, so that a thread sleeping on that bell for other
  // changes wakes for a device that came or went too. `also` must outlive this bell; asked twice for
  // one bell, it is rung once.
  void AlsoRing(const Bell& also) const;

 private:
  Bell bell_;
  mutable std::mutex mutex_;
  mutable std::vector<std::weak_ptr<const WakeFd>> doorbells_;  // under mutex_
  mutable std::vector<const Bell*> also_;                       // under mutex_
};

}  // namespace korva::device
