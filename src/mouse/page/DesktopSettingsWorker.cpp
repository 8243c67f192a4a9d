#include "mouse/page/DesktopSettingsWorker.h"

#include <string>
#include <utility>

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
    : settings_(settings), thread_([this](std::stop_token stop) { Run(std::move(stop)); }) {}

DesktopSettingsWorker::~DesktopSettingsWorker() {
  thread_.request_stop();
  thread_.join();
}

void DesktopSettingsWorker::Start(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(task));
  }
  wake_.notify_one();
}

void DesktopSettingsWorker::Run(std::stop_token stop) {
  std::unique_lock lock(mutex_);
  for (;;) {
    // Returns at once once a stop is requested; the queue is still emptied before the thread ends.
    wake_.wait(lock, stop, [this] { return !queue_.empty(); });
    if (queue_.empty()) return;
    std::function<void()> task = std::move(queue_.front());
    queue_.pop_front();
    running_ = true;
    lock.unlock();
    task();
    lock.lock();
    running_ = false;
    if (queue_.empty()) idle_.notify_all();
  }
}

void DesktopSettingsWorker::ApplyPointerSpeed(int speed) {
  Start([this, speed] { TraceUnless(settings_.SetPointerSpeed(speed), "desktop pointer speed", speed); });
}

void DesktopSettingsWorker::ApplyWheelLines(int lines) {
  Start([this, lines] { TraceUnless(settings_.SetWheelScrollLines(lines), "desktop wheel lines", lines); });
}

bool DesktopSettingsWorker::Busy() const {
  std::lock_guard lock(mutex_);
  return running_ || !queue_.empty();
}

void DesktopSettingsWorker::WaitForDone() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return !running_ && queue_.empty(); });
}

}  // namespace korva::mouse
