#pragma once
// Bell: a counter that waiters can sleep on. Whoever changes something a sleeping thread cares about
// rings it; the thread reads Rings() before it looks at that state and then waits past that count,
// so a ring that comes between its look and its wait is never lost.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "common/StopEvent.h"

namespace korva {

class Bell {
 public:
  // Any thread.
  void Ring() const;
  // How many times it rang.
  std::uint64_t Rings() const;
  // Waits until it rang after `seen` was read, `stop` is set or `timeout` passed. True when `stop`
  // is set.
  bool WaitPast(std::uint64_t seen, const StopEvent& stop, std::chrono::milliseconds timeout) const;

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable_any rang_;
  mutable std::uint64_t rings_ = 0;  // under mutex_
};

}  // namespace korva
