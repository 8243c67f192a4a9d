#pragma once
// DesktopSettingsWorker: hands the desktop's pointer speed and wheel scroll lines to the desktop
// off the UI thread. A desktop backend may run a tool and wait for it (GNOME's gsettings, KDE's
// kwriteconfig), which must not freeze the page, so each change becomes a task for one worker
// thread that this object owns.
//
// The tasks run one at a time, in the order they were given: two quick clicks on the wheel-lines
// buttons must leave the desktop with the last value, which two independent one-shot threads could
// not promise. The destructor lets the queued tasks run, then joins the thread, so a task never
// outlives the settings object it calls.
//
// Threads: every member is called from the UI thread; the tasks run on the worker thread.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

#include "platform/DesktopPointerSettings.h"

namespace korva::mouse {

class DesktopSettingsWorker {
 public:
  // `settings` must outlive the worker.
  explicit DesktopSettingsWorker(platform::DesktopPointerSettings& settings);
  ~DesktopSettingsWorker();  // runs the queued tasks, then joins the thread
  DesktopSettingsWorker(const DesktopSettingsWorker&) = delete;
  DesktopSettingsWorker& operator=(const DesktopSettingsWorker&) = delete;

  // ApplyPointerSpeed: speed 1..20 (the desktop refuses anything else and the refusal is traced).
  void ApplyPointerSpeed(int speed);
  // ApplyWheelLines: lines 1..10.
  void ApplyWheelLines(int lines);

  // While a task is queued or running (the busy flags of the two settings, taken together).
  bool Busy() const;
  // Blocks until every task given so far has run (tests; the destructor does it too).
  void WaitForDone();

 private:
  void Start(std::function<void()> task);
  void Run(std::stop_token stop);

  platform::DesktopPointerSettings& settings_;
  mutable std::mutex mutex_;
  std::condition_variable_any wake_;  // a task was queued, or the worker is to stop
  std::condition_variable idle_;      // the queue ran empty
  std::deque<std::function<void()>> queue_;
  bool running_ = false;  // a task taken from the queue has not finished yet
  std::jthread thread_;   // last: starts after, and is joined before, what it uses
};

}  // namespace korva::mouse
