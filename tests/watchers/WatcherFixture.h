#pragma once
// The four devices of the main window on a simulated bus (behind a recording backend), a simulated
// headset chip behind the audio library, data folders in a fresh temporary folder, a fake main
// window, and helpers to run the watcher and reader threads and stop them.

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
#include "headset/AudioLibrary.h"
#include "profile/DataFolders.h"
#include "profile/IniFile.h"
#include "sim/SimBus.h"
#include "sim/headset/SimulatedHeadsetChip.h"
#include "tests/profile/TempFolder.h"
#include "tests/watchers/FakeWatcherHost.h"
#include "tests/watchers/RecordingBackend.h"

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
    chip->SetPresent(false);
    audio.Bind(chip);
    // Paces for cycles run by hand: no settling pause, and a reader read waits long enough for any
    // report a test raises.
    start.paces.keyboardSettle = 1ms;
    start.paces.readerRead = 10s;
  }

  DeviceSet Devices() { return {keyboard, mouse, mousepad, headsetDevice}; }

  // Stores `value` as the selection, with a list long enough to hold it (a selection outside the
  // list reads as 0).
  void WriteSelect(profile::DeviceKind device, const std::string& file, const std::string& section,
                   int value) {
    const std::filesystem::path index = folders.GetDeviceFolder(device) / file;
    const std::string countSection =
        section.substr(0, section.size() - std::string("SELECT").size()) + "COUNT";
    ASSERT_TRUE(profile::WriteIniInt(index, countSection, "count", value + 1));
    ASSERT_TRUE(profile::WriteIniInt(index, section, "select", value));
  }

  sim::SimBus bus;
  RecordingBackend backend{bus};
  HidDevice keyboard{backend};
  HidDevice mouse{backend};
  HidDevice mousepad{backend};
  HidDevice headsetDevice{backend};
  std::shared_ptr<sim::SimulatedHeadsetChip> chip = std::make_shared<sim::SimulatedHeadsetChip>();
  headset::AudioLibrary audio;
  profile::testing::TempFolder home;
  profile::DataFolders folders{home.path()};
  FakeWatcherHost host{Devices()};
  WatcherStart start{Devices(), host, audio, folders};
  StopEvent stop;  // for cycles run by hand; never set
};

}  // namespace korva::device::test
