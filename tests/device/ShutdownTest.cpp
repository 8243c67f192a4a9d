// Setting the stop events ends every watcher and reader thread well within the main window's
// shutdown bound, whatever the thread is doing: pausing between cycles, waiting in a report read,
// waiting in a send to the main window, settling after "kb_tab" was shown, or reading a device
// that no longer answers. The paces are made an hour long, so a pause that did not wake on the
// stop event would hold the thread far past the bound.

#include <gtest/gtest.h>

#include <array>
#include <future>

#include "device/CommandExchange.h"
#include "tests/device/WatcherFixture.h"

namespace korva::device::test {
namespace {

using Type = HostEvent::Type;
using sim::SimDeviceKind;

class ShutdownTest : public WatcherFixture {
 protected:
  ShutdownTest() {
    start.paces.connected = 1h;
    start.paces.absent = 1h;
    start.paces.headset = 1h;
    start.paces.readerRead = 1h;
    start.paces.readerSearch = 1h;
  }
  void StartAll() {
    threads.Start(KeyboardWatcherThread, start);
    threads.Start(MouseWatcherThread, start);
    threads.Start(MousepadWatcherThread, start);
    threads.Start(HeadsetWatcherThread, start);
    threads.Start(MouseSyncReaderThread, start);
    threads.Start(KeyboardSyncReaderThread, start);
  }
  WorkerThreads threads;
};

TEST_F(ShutdownTest, EndsEveryThreadWhileReadersWaitInARead) {
  bus.Plug(SimDeviceKind::kKeyboard);
  bus.Plug(SimDeviceKind::kMouse);
  host.SetHeadsetPresent(true);
  StartAll();
  ASSERT_TRUE(host.WaitFor(Type::kArrival, 3));  // keyboard, mouse, headset
  ASSERT_TRUE(backend.WaitForReaderOpen(kMouseProductId, 10s));
  ASSERT_TRUE(backend.WaitForReaderOpen(kKeyboardModel0ProductId, 10s));

  threads.StopAll();

  // The readers let go of their collections.
  for (const OpenRecord& r : backend.Opens()) {
    if (!r.options.wantWrite) {
      EXPECT_TRUE(r.released) << r.collection.path;
    }
  }
}

TEST_F(ShutdownTest, EndsThreadsThatFindNothing) {
  StartAll();
  ASSERT_TRUE(host.WaitFor(Type::kWake));  // the headset watcher's first cycle has run
  threads.StopAll();
  EXPECT_TRUE(host.EventsOf(Type::kArrival).empty());
}

TEST_F(ShutdownTest, EndsAReaderWaitingInASend) {
  const int id = bus.Plug(SimDeviceKind::kMouse);
  host.HoldSends(true);  // the main window never answers
  threads.Start(MouseSyncReaderThread, start);
  ASSERT_TRUE(backend.WaitForReaderOpen(kMouseProductId, 10s));
  ASSERT_TRUE(bus.RaiseConsumerReport(id, 0x0402));
  ASSERT_TRUE(host.WaitFor(Type::kSendBegin));

  threads.StopAll();
}

TEST_F(ShutdownTest, EndsTheKeyboardWatcherWhileItSettlesAfterShowingItsTab) {
  start.paces.keyboardSettle = 1h;
  bus.Plug(SimDeviceKind::kKeyboard);
  threads.Start(KeyboardWatcherThread, start);
  ASSERT_TRUE(host.WaitFor(Type::kShowTab));

  threads.StopAll();

  EXPECT_FALSE(keyboard.connected);
  EXPECT_TRUE(host.EventsOf(Type::kRead).empty()) << "a stopped arrival reads nothing";
}

// The mouse stops answering while its arrival read runs: without the stop, each of the read's
// exchanges would wait out all its attempts.
TEST_F(ShutdownTest, EndsAWatcherWhoseArrivalReadWaitsForASilentDevice) {
  const int id = bus.Plug(SimDeviceKind::kMouse);
  std::promise<void> readStarted;
  host.onRead = [&](const Arrival&) {
    bus.DropAnswers(id, 1000);
    readStarted.set_value();
    std::array<std::uint8_t, kInfoSize> info{};
    for (int i = 0; i < 100; ++i) ReadInfo(mouse, info);
  };
  threads.Start(MouseWatcherThread, start);
  ASSERT_EQ(readStarted.get_future().wait_for(10s), std::future_status::ready);

  threads.StopAll();
}

}  // namespace
}  // namespace korva::device::test
