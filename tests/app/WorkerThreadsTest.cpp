#include "app/WorkerThreads.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <latch>
#include <mutex>
#include <set>
#include <thread>

#include "device/HidDevice.h"
#include "device/HidLink.h"
#include "device/KnownDevices.h"
#include "sim/SimBus.h"

namespace korva::app {
namespace {

TEST(WorkerThreads, EverySlotRunsItsEntryOrIdlesAndStopEndsThemAll) {
  WorkerThreads workers;
  constexpr int kWorking = kWorkerCount / 2;  // even slots get work, odd slots idle
  std::latch entered(kWorking);
  std::mutex mutex;
  std::set<int> ran;
  for (int slot = 0; slot < kWorkerCount; slot += 2) {
    workers.SetEntry(static_cast<WorkerSlot>(slot), [&, slot](const StopEvent& stop) {
      {
        std::lock_guard lock(mutex);
        ran.insert(slot);
      }
      entered.count_down();
      WorkerThreads::IdleUntilStopped(stop);
    });
  }
  workers.Start();
  EXPECT_TRUE(workers.Started());
  entered.wait();
  while (workers.RunningCount() < kWorkerCount) std::this_thread::yield();
  {
    std::lock_guard lock(mutex);
    EXPECT_EQ(ran, (std::set<int>{0, 2, 4, 6, 8, 10, 12, 14}));
  }

  const StopReport report = workers.Stop();
  EXPECT_EQ(workers.RunningCount(), 0);
  EXPECT_TRUE(report.withinBound);
}

TEST(WorkerThreads, StartAndStopHappenOnceAndEntriesAreFixedOnceStarted) {
  WorkerThreads workers;
  std::atomic<int> runs{0};
  workers.SetEntry(WorkerSlot::kHeadsetWatcher, [&](const StopEvent& stop) {
    ++runs;
    WorkerThreads::IdleUntilStopped(stop);
  });
  workers.Start();
  workers.Start();
  workers.SetEntry(WorkerSlot::kHeadsetWatcher, [&](const StopEvent&) { runs += 100; });
  while (workers.RunningCount() < kWorkerCount) std::this_thread::yield();
  workers.Stop();
  workers.Stop();
  workers.Start();  // after Stop: nothing starts again
  EXPECT_EQ(workers.RunningCount(), 0);
  EXPECT_EQ(runs.load(), 1);
}

TEST(WorkerThreads, StopWithoutStartIsHarmless) {
  WorkerThreads workers;
  EXPECT_TRUE(workers.Stop().withinBound);
  EXPECT_FALSE(workers.Started());
}

// A thread blocked in a long device read ends as soon as it is asked to stop: its stop callback
// aborts the read, as the synchronisation readers do.
TEST(WorkerThreads, StopEndsAThreadBlockedInALongDeviceRead) {
  sim::SimBus bus;
  const int mouse = bus.Plug(sim::SimDeviceKind::kMouse);
  device::HidLink link(bus);
  for (const auto& info : bus.Collections(mouse))
    if (info.usagePage == device::kConsumerUsagePage && info.usage == device::kConsumerUsage)
      link.devicePath = info;
  link.options = {true, false, true, true};
  ASSERT_TRUE(device::OpenLink(link));

  WorkerThreads workers;
  std::atomic<bool> readReturned{false};
  std::atomic<bool> readSucceeded{true};
  workers.SetEntry(WorkerSlot::kMouseSyncReader, [&](const StopEvent& stop) {
    std::stop_callback abort(stop.Token(), [&] { device::CloseLink(link); });
    std::vector<std::uint8_t> buffer(64);
    std::size_t read = 0;
    readSucceeded = device::ReadReport(link, buffer, 3'600'000, read);
    readReturned = true;
  });
  workers.Start();
  while (!link.ReadPending()) std::this_thread::yield();

  const StopReport report = workers.Stop();
  EXPECT_TRUE(readReturned);
  EXPECT_FALSE(readSucceeded);
  EXPECT_EQ(workers.RunningCount(), 0);
  EXPECT_TRUE(report.withinBound);
}

}  // namespace
}  // namespace korva::app
