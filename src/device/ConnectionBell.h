#pragma once
// ConnectionBell: rung by the device watchers whenever their device comes or goes, so the threads that
// have nothing to do while devices are absent can sleep until one comes instead of looking every
// few milliseconds: the lighting threads (WaitPast) and the headset watcher, which sleeps in
// poll() beside the sound cards' signal (Fd).

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "common/StopEvent.h"
#include "common/WakeFd.h"

namespace korva::device {

class ConnectionBell {
 public:
  // Any thread.
  void Ring() const;
  // How many times it rang; a waiter reads it before it looks at the devices.
  std::uint64_t Rings() const;
  // Waits until it rang after `seen` was read, `stop` is set or `timeout` passed. True when `stop`
  // is set.
  bool WaitPast(std::uint64_t seen, const StopEvent& stop, std::chrono::milliseconds timeout) const;

  // For one poll() waiter (the headset watcher): readable after a ring until DrainFd.
  int Fd() const { return fd_.Fd(); }
  void DrainFd() const { fd_.Drain(); }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable_any rang_;
  mutable std::uint64_t rings_ = 0;  // under mutex_
  WakeFd fd_;
};

}  // namespace korva::device
