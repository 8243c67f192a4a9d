#pragma once
// ConnectionBell: rung by the device watchers whenever their device comes or goes, so the threads that
// have nothing to do while devices are absent can sleep until one comes instead of looking every
// few milliseconds: the lighting threads (WaitPast) and the headset watcher, which sleeps in
// poll() beside the sound cards' signal (Fd).

#include <chrono>
#include <cstdint>

#include "common/Bell.h"
#include "common/StopEvent.h"
#include "common/WakeFd.h"

namespace korva::device {

class ConnectionBell {
 public:
  // Any thread.
  void Ring() const {
    bell_.Ring();
    fd_.Ring();
  }
  std::uint64_t Rings() const { return bell_.Rings(); }
  bool WaitPast(std::uint64_t seen, const StopEvent& stop, std::chrono::milliseconds timeout) const {
    return bell_.WaitPast(seen, stop, timeout);
  }

  // For one poll() waiter (the headset watcher): readable after a ring until DrainFd.
  int Fd() const { return fd_.Fd(); }
  void DrainFd() const { fd_.Drain(); }

 private:
  Bell bell_;
  WakeFd fd_;
};

}  // namespace korva::device
