#include "app/WorkerThreads.h"

#include <pthread.h>

#include <QtGlobal>
#include <string>

#include "common/Log.h"

namespace korva::app {

std::string_view WorkerSlotName(WorkerSlot slot) {
  static constexpr std::array<std::string_view, kWorkerCount> kNames = {
      "keyboard watcher",
      "mouse watcher",
      "mousepad watcher",
      "headset watcher",
      "mouse sync reader",
      "keyboard sync reader",
      "keyboard lighting",
      "mouse lighting",
      "mousepad lighting",
      "synchronised lighting",
      "keyboard key-profile link",
      "mouse light-profile link",
      "mouse key-profile link",
      "mousepad light-profile link",
      "keyboard light-profile link",
      "headset lighting",
  };
  const int index = static_cast<int>(slot);
  return index >= 0 && index < kWorkerCount ? kNames[static_cast<std::size_t>(index)] : "unknown";
}

void WorkerThreads::IdleUntilStopped(const StopEvent& stop) {
  while (!stop.Wait(std::chrono::hours(1))) {
  }
}

WorkerThreads::~WorkerThreads() {
  Stop();
}

void WorkerThreads::SetEntry(WorkerSlot slot, WorkerEntry entry) {
  const int index = static_cast<int>(slot);
  if (started_ || index < 0 || index >= kWorkerCount) return;
  entries_[static_cast<std::size_t>(index)] = std::move(entry);
}

bool WorkerThreads::HasEntry(WorkerSlot slot) const {
  const int index = static_cast<int>(slot);
  return index >= 0 && index < kWorkerCount && entries_[static_cast<std::size_t>(index)] != nullptr;
}

void WorkerThreads::Start() {
  if (started_ || stopped_) return;
  started_ = true;
  for (std::size_t i = 0; i < threads_.size(); ++i) {
    WorkerEntry entry = entries_[i] ? entries_[i] : WorkerEntry(&WorkerThreads::IdleUntilStopped);
    threads_[i] = std::thread([this, entry = std::move(entry), &stop = stops_[i]] {
      ++running_;
      entry(stop);
      --running_;
    });
    // The slot's name on the thread (at most 15 characters), for top -H, perf and /proc.
    const std::string name(WorkerSlotName(static_cast<WorkerSlot>(i)).substr(0, 15));
    pthread_setname_np(threads_[i].native_handle(), name.c_str());
    if (i == 0) std::this_thread::sleep_for(kFirstWorkerPause);
  }
}

StopReport WorkerThreads::Stop() {
  if (stopped_) return report_;
  stopped_ = true;
  const auto begin = std::chrono::steady_clock::now();
  for (StopEvent& stop : stops_) stop.Set();
  for (auto& thread : threads_)
    if (thread.joinable()) thread.join();
  report_.elapsed = std::chrono::steady_clock::now() - begin;
  report_.withinBound = report_.elapsed <= kStopBound;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(report_.elapsed).count();
  if (!report_.withinBound)
    qWarning("korva: the worker threads took %lld ms to stop (bound %lld ms)", static_cast<long long>(ms),
             static_cast<long long>(kStopBound.count()));
  else
    Trace("all worker threads ended after " + std::to_string(ms) + " ms");
  return report_;
}

}  // namespace korva::app
