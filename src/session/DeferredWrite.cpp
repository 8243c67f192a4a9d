#include "session/DeferredWrite.h"

#include <string>

#include "common/Log.h"
#include "session/SessionTexts.h"

namespace korva::session {

DeviceOutcome FlushTick(WriteRetry& retry, const device::HidDevice& device, const PendingWrite& change,
                        std::string_view deviceName) {
  if (!change.pending()) {
    retry.Reset();
    return {};
  }
  if (!retry.Due()) return {};
  const int result = change.write();
  switch (retry.After(result, device.connected)) {
    case WriteRetry::Verdict::kDone:
      change.clear();
      return {};
    case WriteRetry::Verdict::kRetry:
      return {};
    case WriteRetry::Verdict::kGiveUp:
      break;
  }
  Trace(std::string(deviceName) + ": the settings write failed " + std::to_string(WriteRetry::kMaxFailures) +
        " times (last result " + std::to_string(result) + "); the change is dropped");
  change.clear();
  return {false, kTextWriteDropped};
}

}  // namespace korva::session
