#include "common/Bell.h"

namespace korva {

void Bell::Ring() const {
  {
    std::lock_guard lock(mutex_);
    ++rings_;
  }
  rang_.notify_all();
}

std::uint64_t Bell::Rings() const {
  std::lock_guard lock(mutex_);
  return rings_;
}

bool Bell::WaitPast(std::uint64_t seen, const StopEvent& stop, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  rang_.wait_for(lock, stop.Token(), timeout, [&] { return rings_ != seen; });
  return stop.IsSet();
}

}  // namespace korva
