#pragma once
// WakeFd: a doorbell a thread can wait for with poll() beside other file descriptors (an eventfd).
// Ring it from any thread; the waiter drains it before it looks at what changed, so a ring that
// comes after the look wakes the next wait.
//
// WaitForFds: one wait of a worker thread for "any of these descriptors is readable, or my stop
// event was set, or the time-out passed".

#include <chrono>
#include <span>

#include "common/StopEvent.h"

namespace korva {

class WakeFd {
 public:
  WakeFd();
  ~WakeFd();
  WakeFd(const WakeFd&) = delete;
  WakeFd& operator=(const WakeFd&) = delete;

  // -1 when the system gave no eventfd (then rings are lost and waiters fall back to their time-out).
  int Fd() const { return fd_; }
  void Ring() const;
  // Clears the bell; true when it had rung since the last Drain.
  bool Drain() const;

 private:
  int fd_ = -1;
};

// Waits until one of `fds` is readable, `stop` is set or `timeout` has passed; negative entries are
// skipped. True when `stop` is set. Reads nothing: each caller drains its own descriptors.
bool WaitForFds(const StopEvent& stop, std::span<const int> fds, std::chrono::milliseconds timeout);

}  // namespace korva
