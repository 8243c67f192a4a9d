#pragma once
// WorkerThreads: the sixteen worker threads of the main window, each with its own stop request.
//
// Slot = index of the thread's stop request and handle = start order:
//    0-2  keyboard, mouse, mousepad watchers          100 ms while connected, 1000 ms otherwise
//    3    headset watcher (through the audio library) 10 ms
//    4-5  mouse and keyboard synchronisation readers  blocking reads (a presence look every 5 s)
//    6-9  keyboard, mouse, mousepad and synchronised lighting threads
//   10-14 application links: keyboard key, mouse light, mouse key, mousepad light, keyboard light
//         profiles (2000 ms)
//   15    headset lighting thread
//
// Each thread gets its own StopEvent (a manual-reset event that stays set). Its waits must be
// interruptible by it -- StopEvent::Wait for pauses, and a std::stop_callback on StopEvent::Token()
// that aborts the transfer (CloseLink) for a blocking device read -- so that every thread ends
// within one polling cycle of the stop, and none is still running when the objects it uses
// (devices, messenger, page state) are destroyed.
//
// A slot without an entry runs IdleUntilStopped, so that starting and stopping behave the same
// whichever threads exist yet.

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <string_view>
#include <thread>

#include "common/StopEvent.h"

namespace korva::app {

enum class WorkerSlot : int {
  kKeyboardWatcher = 0,
  kMouseWatcher = 1,
  kMousepadWatcher = 2,
  kHeadsetWatcher = 3,
  kMouseSyncReader = 4,
  kKeyboardSyncReader = 5,
  kKeyboardLighting = 6,
  kMouseLighting = 7,
  kMousepadLighting = 8,
  kSyncLighting = 9,
  kKeyboardKeyLink = 10,
  kMouseLightLink = 11,
  kMouseKeyLink = 12,
  kMousepadLightLink = 13,
  kKeyboardLightLink = 14,
  kHeadsetLighting = 15,
};

inline constexpr int kWorkerCount = 16;
// The pause after thread 0 before the others start.
inline constexpr std::chrono::milliseconds kFirstWorkerPause{20};
// How long the stop may take before it is reported as slow.
inline constexpr std::chrono::milliseconds kStopBound{10000};

std::string_view WorkerSlotName(WorkerSlot slot);

using WorkerEntry = std::function<void(const StopEvent& stop)>;

struct StopReport {
  std::chrono::steady_clock::duration elapsed{};
  bool withinBound = true;  // every thread ended within kStopBound
};

class WorkerThreads {
 public:
  WorkerThreads() = default;
  ~WorkerThreads();  // Stop()
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;

  // Before Start; an empty entry means IdleUntilStopped.
  void SetEntry(WorkerSlot slot, WorkerEntry entry);
  bool HasEntry(WorkerSlot slot) const;
  // Starts the threads in slot order, pausing kFirstWorkerPause after slot 0. Once only: later
  // calls, and calls after Stop, do nothing.
  void Start();
  // Sets every stop event, then waits for all of them -- never leaving one behind, since
  // it may still use what its owner is about to destroy. A stop slower than kStopBound is logged.
  // Later calls return the first report.
  StopReport Stop();

  bool Started() const { return started_; }
  // Threads whose entry is running now (entered and not yet returned).
  int RunningCount() const { return running_.load(); }

  // The body of a slot without work: waits for its stop event.
  static void IdleUntilStopped(const StopEvent& stop);

 private:
  std::array<WorkerEntry, kWorkerCount> entries_;
  std::array<StopEvent, kWorkerCount> stops_;
  std::array<std::thread, kWorkerCount> threads_;
  std::atomic<int> running_{0};
  bool started_ = false;
  bool stopped_ = false;
  StopReport report_;
};

}  // namespace korva::app
