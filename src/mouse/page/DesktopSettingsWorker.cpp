#include "mouse/page/DesktopSettingsWorker.h"

#include <string>

#include "common/Log.h"

namespace korva::mouse {
namespace {

const char* ResultName(platform::PointerSettingResult result) {
  switch (result) {
    case platform::PointerSettingResult::kApplied:
      return "applied";
    case platform::PointerSettingResult::kUnsupported:
      return "not supported by this desktop";
    case platform::PointerSettingResult::kOutOfRange:
      return "out of range";
    case platform::PointerSettingResult::kFailed:
      return "failed";
  }
  return "unknown";
}

void TraceUnless(platform::PointerSettingResult result, const char* what, int value) {
  // Desktop failures stay silent for the user (the page keeps its value); the trace says why.
  if (result != platform::PointerSettingResult::kApplied)
    Trace(std::string(what) + " " + std::to_string(value) + ": " + ResultName(result));
}

}  // namespace

DesktopSettingsWorker::DesktopSettingsWorker(platform::DesktopPointerSettings& settings)
    : settings_(settings) {
  pool_.setMaxThreadCount(1);
  // The thread stays for a while after a task, so a run of clicks does not start a thread each.
  pool_.setExpiryTimeout(5000);
}

DesktopSettingsWorker::~DesktopSettingsWorker() {
  WaitForDone();
}

template <class Task>
void DesktopSettingsWorker::Start(Task task) {
  ++pending_;
  pool_.start([this, task = std::move(task)] {
    task();
    --pending_;
  });
}

void DesktopSettingsWorker::ApplyPointerSpeed(int speed) {
  Start([this, speed] { TraceUnless(settings_.SetPointerSpeed(speed), "desktop pointer speed", speed); });
}

void DesktopSettingsWorker::ApplyWheelLines(int lines) {
  Start([this, lines] { TraceUnless(settings_.SetWheelScrollLines(lines), "desktop wheel lines", lines); });
}

void DesktopSettingsWorker::WaitForDone() {
  pool_.waitForDone();
}

}  // namespace korva::mouse
