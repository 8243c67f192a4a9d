#pragma once
// DesktopSettingsWorker: hands the desktop's pointer speed and wheel scroll lines to the desktop
// off the UI thread. A desktop backend may run a tool and wait for it (GNOME's gsettings, KDE's
// kwriteconfig), which must not freeze the page, so each change becomes a task on one worker
// thread that this object owns.
//
// The tasks run one at a time, in the order they were given: two quick clicks on the wheel-lines
// buttons must leave the desktop with the last value, which two independent one-shot threads could
// not promise. The destructor waits for the tasks still queued, so a task never outlives the
// settings object it calls.
//
// Threads: every member is called from the UI thread; the tasks run on the worker thread.

#include <QThreadPool>
#include <atomic>

#include "platform/DesktopPointerSettings.h"

namespace korva::mouse {

class DesktopSettingsWorker {
 public:
  // `settings` must outlive the worker.
  explicit DesktopSettingsWorker(platform::DesktopPointerSettings& settings);
  ~DesktopSettingsWorker();  // waits for the queued tasks
  DesktopSettingsWorker(const DesktopSettingsWorker&) = delete;
  DesktopSettingsWorker& operator=(const DesktopSettingsWorker&) = delete;

  // ApplyPointerSpeed: speed 1..20 (the desktop refuses anything else and the refusal is traced).
  void ApplyPointerSpeed(int speed);
  // ApplyWheelLines: lines 1..10.
  void ApplyWheelLines(int lines);

  // While a task is queued or running (the busy flags of the two settings, taken together).
  bool Busy() const { return pending_.load() > 0; }
  // Blocks until every task given so far has run (shutdown, tests).
  void WaitForDone();

 private:
  template <class Task>
  void Start(Task task);

  platform::DesktopPointerSettings& settings_;
  std::atomic<int> pending_{0};
  QThreadPool pool_;  // one thread: the tasks keep their order
};

}  // namespace korva::mouse
