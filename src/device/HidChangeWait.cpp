#include "device/HidChangeWait.h"

#include <array>

#include "common/WakeFd.h"

namespace korva::device {

bool WaitForHidChange(HidChangeSignal& signal, const StopEvent& stop, std::chrono::milliseconds idleCheck,
                      const WakeFd* also) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + idleCheck;
  const std::array<int, 2> fds = {signal.Fd(), also != nullptr ? also->Fd() : -1};
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left <= std::chrono::milliseconds::zero()) return stop.IsSet();
    if (WaitForFds(stop, fds, left)) return true;
    if (also != nullptr && also->Drain()) return false;
    if (signal.Take()) return false;
  }
}

}  // namespace korva::device
