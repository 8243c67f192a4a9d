#include "device/ConnectionBell.h"

namespace korva::device {

void ConnectionBell::Ring() const {
  {
    std::lock_guard lock(mutex_);
    ++rings_;
  }
  rang_.notify_all();
  fd_.Ring();
}

std::uint64_t ConnectionBell::Rings() const {
  std::lock_guard lock(mutex_);
  return rings_;
}

bool ConnectionBell::WaitPast(std::uint64_t seen, const StopEvent& stop, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  rang_.wait_for(lock, stop.Token(), timeout, [&] { return rings_ != seen; });
  return stop.IsSet();
}

}  // namespace korva::device
