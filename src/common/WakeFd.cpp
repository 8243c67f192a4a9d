#include "common/WakeFd.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <stop_token>
#include <vector>

namespace korva {

WakeFd::WakeFd() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

WakeFd::~WakeFd() {
  if (fd_ >= 0) ::close(fd_);
}

void WakeFd::Ring() const {
  if (fd_ < 0) return;
  const std::uint64_t one = 1;
  // A full counter (never in practice) is still readable, which is all a ring has to achieve.
  [[maybe_unused]] const ssize_t written = ::write(fd_, &one, sizeof one);
}

bool WakeFd::Drain() const {
  if (fd_ < 0) return false;
  std::uint64_t count = 0;
  return ::read(fd_, &count, sizeof count) == static_cast<ssize_t>(sizeof count) && count > 0;
}

bool WaitForFds(const StopEvent& stop, std::span<const int> fds, std::chrono::milliseconds timeout) {
  const WakeFd stopBell;
  const std::stop_callback onStop(stop.Token(), [&stopBell] { stopBell.Ring(); });
  if (stop.IsSet()) return true;
  std::vector<pollfd> polled;
  polled.reserve(fds.size() + 1);
  for (int fd : fds) {
    if (fd >= 0) polled.push_back(pollfd{fd, POLLIN, 0});
  }
  if (stopBell.Fd() >= 0) {
    polled.push_back(pollfd{stopBell.Fd(), POLLIN, 0});
  } else {
    // No doorbell for the stop event: never wait longer than the stop check allows.
    timeout = std::min(timeout, std::chrono::milliseconds{10});
  }
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    const int ready = ::poll(polled.data(), polled.size(), static_cast<int>(std::max<long long>(left.count(), 0)));
    if (ready >= 0 || errno != EINTR) break;
  }
  return stop.IsSet();
}

}  // namespace korva
