#pragma once
// StopEvent: the stop signal of one worker thread. The main window sets it at shutdown; the thread
// tests it between steps, pauses only through Wait (so a set event ends any pause at once), and ties
// its blocking I/O to it with a std::stop_callback on Token() that aborts the transfer.
//
// It behaves as a manual-reset event that is never reset: once set it stays set. A thread does not
// reset its event when it starts, because a shutdown that comes before the thread's first step
// would then be lost and the thread would run past the main window's bounded wait.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>

namespace korva {

class StopEvent {
 public:
  StopEvent() = default;
  StopEvent(const StopEvent&) = delete;
  StopEvent& operator=(const StopEvent&) = delete;

  // Sets the event: wakes every Wait and runs the callbacks registered on Token() (on this thread).
  void Set() { source_.request_stop(); }
  bool IsSet() const { return source_.stop_requested(); }

  // Waits until the event is set or `timeout` has passed. True when the event is set.
  bool Wait(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return wakeUp_.wait_for(lock, source_.get_token(), timeout, [] { return false; }) ||
           source_.stop_requested();
  }

  // For std::stop_callback: code that blocks outside Wait (a report read) registers the abort of
  // that wait here.
  std::stop_token Token() const { return source_.get_token(); }

 private:
  std::stop_source source_;
  mutable std::mutex mutex_;
  mutable std::condition_variable_any wakeUp_;
};

}  // namespace korva
