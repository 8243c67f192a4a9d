#pragma once
// The four devices of the session on a simulated bus (behind a recording backend), a fake host
// (stored selections, headset presence, the window's tab strip), and helpers to run the watcher and
// reader threads and stop them.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/StopEvent.h"
#include "device/DeviceWatchers.h"
#include "device/HidDevice.h"
#include "device/KnownDevices.h"
#include "device/SyncReaders.h"
#include "device/WatcherStart.h"
#include "sim/SimBus.h"
#include "tests/device/FakeWatcherHost.h"
#include "tests/device/RecordingBackend.h"

namespace korva::device::test {

using namespace std::chrono_literals;

// The bound the main window gives its threads at shutdown.
inline constexpr std::chrono::seconds kShutdownBound{10};

using ThreadEntry = void (*)(const WatcherStart&, const StopEvent&);

// Worker threads, each with its own stop event, as the main window runs them.
class WorkerThreads {
 public:
  WorkerThreads() = default;
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;
  ~WorkerThreads() { StopAll(); }

  void Start(ThreadEntry entry, const WatcherStart& start) {
    stops_.push_back(std::make_unique<StopEvent>());
    const StopEvent* stop = stops_.back().get();
    threads_.emplace_back([entry, &start, stop] { entry(start, *stop); });
  }

  // Sets every stop event and waits for every thread. A thread that does not end within the
  // shutdown bound fails the test; the process cannot go on safely with it still running.
  void StopAll() {
    for (auto& stop : stops_) stop->Set();
    auto joined = std::async(std::launch::async, [this] {
      for (std::thread& t : threads_) {
        if (t.joinable()) t.join();
      }
    });
    if (joined.wait_for(kShutdownBound) != std::future_status::ready) {
      ADD_FAILURE() << "a worker thread did not end within " << kShutdownBound.count()
                    << " s of its stop event";
      std::abort();
    }
  }

 private:
  std::vector<std::unique_ptr<StopEvent>> stops_;
  std::vector<std::thread> threads_;
};

class WatcherFixture : public testing::Test {
 protected:
  WatcherFixture() {
    mouse.identity = kMouseIdentity;
    mousepad.identity = kMousepadIdentity;
    headsetDevice.identity = kHeadsetIdentity;
    // Paces for cycles run by hand: no settling pause, and a reader read waits long enough for any
    // report a test raises.
    start.paces.keyboardSettle = 1ms;
    start.paces.readerRead = 10s;
  }

  DeviceSet Devices() { return {keyboard, mouse, mousepad, headsetDevice}; }

  sim::SimBus bus;
  RecordingBackend backend{bus};
  HidDevice keyboard{backend};
  HidDevice mouse{backend};
  HidDevice mousepad{backend};
  HidDevice headsetDevice{backend};
  FakeWatcherHost host{Devices()};
  // Cycles run by hand: the headset watcher does not wait for HID watchers that are not running
  // (FirstSearchesTest covers that wait).
  WatcherStart start{Devices(), host, {}, {}, FirstSearches{0}};
  StopEvent stop;  // for cycles run by hand; never set
};

}  // namespace korva::device::test
