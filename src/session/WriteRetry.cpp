#include "session/WriteRetry.h"

#include "device/CommandReport.h"

namespace korva::session {

bool WriteRetry::Due() {
  if (ticksToWait_ > 0) {
    --ticksToWait_;
    return false;
  }
  return true;
}

WriteRetry::Verdict WriteRetry::After(int result, bool connected) {
  if (result == device::kResultOk || !connected) {
    Reset();
    return Verdict::kDone;
  }
  if (++failures_ >= kMaxFailures) {
    Reset();
    return Verdict::kGiveUp;
  }
  // The next tick after 2, 4, 8 ticks of 100 ms.
  ticksToWait_ = (1 << failures_) - 1;
  return Verdict::kRetry;
}

void WriteRetry::Reset() {
  failures_ = 0;
  ticksToWait_ = 0;
}

}  // namespace korva::session
