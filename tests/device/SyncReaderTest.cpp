// The synchronisation readers against the simulated keyboard and mouse: what each consumer usage
// asks for, the answers to command frames that share the node, the second keyboard model, removal,
// enumeration failures, and a send that waits while the main window re-reads the device.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <future>
#include <ostream>
#include <string>
#include <vector>

#include "device/CommandExchange.h"
#include "tests/device/WatcherFixture.h"

namespace korva::device::test {
namespace {

using Type = HostEvent::Type;
using sim::SimDeviceKind;

struct UsageRow {
  std::string name;
  ReaderKind reader;
  std::uint16_t usage;
  ReaderAction expected;
};
void PrintTo(const UsageRow& row, std::ostream* os) {
  *os << row.name;
}

ReaderAction Sends(WindowMessage m) {
  return {ReaderAction::Kind::kSend, m};
}
const ReaderAction kClick{ReaderAction::Kind::kClickReaction, WindowMessage::WakeMessage};
const ReaderAction kNothing{};

const std::vector<UsageRow> kUsageRows = {
    {"keyboard_profile", ReaderKind::kKeyboard, 0x0401, Sends(WindowMessage::WM_KB_PROFILE)},
    {"keyboard_settings", ReaderKind::kKeyboard, 0x0402, Sends(WindowMessage::WM_KB_RELOAD)},
    {"keyboard_click_is_nothing", ReaderKind::kKeyboard, 0x0403, kNothing},
    {"keyboard_release_is_nothing", ReaderKind::kKeyboard, 0x0000, kNothing},
    {"mouse_profile", ReaderKind::kMouse, 0x0401, Sends(WindowMessage::WM_MS_PROFILE)},
    {"mouse_settings", ReaderKind::kMouse, 0x0402, Sends(WindowMessage::WM_MS_RELOAD)},
    {"mouse_click", ReaderKind::kMouse, 0x0403, kClick},
    {"mouse_other_usage_is_nothing", ReaderKind::kMouse, 0x00E9, kNothing},
    {"mouse_release_is_nothing", ReaderKind::kMouse, 0x0000, kNothing},
};

class UsageTest : public WatcherFixture, public testing::WithParamInterface<UsageRow> {};

// Raised on the simulated device and read by the reader, one report at a time on this thread.
TEST_P(UsageTest, ReportFromTheDeviceGivesItsAction) {
  const UsageRow& row = GetParam();
  EXPECT_EQ(ActionForUsage(row.reader, row.usage), row.expected);

  const int id =
      bus.Plug(row.reader == ReaderKind::kKeyboard ? SimDeviceKind::kKeyboard : SimDeviceKind::kMouse);
  SyncReader reader(row.reader, start);
  ASSERT_TRUE(reader.Search());
  ASSERT_TRUE(bus.RaiseConsumerReport(id, row.usage));
  ASSERT_TRUE(reader.ListenOnce(stop));  // the press
  ASSERT_TRUE(reader.ListenOnce(stop));  // the release

  std::vector<HostEvent> events = host.Events();
  switch (row.expected.kind) {
    case ReaderAction::Kind::kSend:
      ASSERT_EQ(events.size(), 2u);
      EXPECT_EQ(events[0].type, Type::kSendBegin);
      EXPECT_EQ(events[0].message, row.expected.message);
      EXPECT_EQ(events[1].type, Type::kSendEnd);
      break;
    case ReaderAction::Kind::kClickReaction:
      ASSERT_EQ(events.size(), 1u);
      EXPECT_EQ(events[0].type, Type::kClick);
      break;
    case ReaderAction::Kind::kNone:
      EXPECT_TRUE(events.empty());
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, UsageTest, testing::ValuesIn(kUsageRows),
                         [](const testing::TestParamInfo<UsageRow>& info) { return info.param.name; });

// The consumer collection shares its hidraw node with the vendor collection: answers (report id 4)
// reach the reader too. Looked at as consumer reports, they would repeat the last usage, and a
// settings report whose release was lost would make every answer of the re-read ask for another.
TEST_F(WatcherFixture, ReaderIgnoresCommandAnswersOnTheSharedNode) {
  const int id = bus.Plug(SimDeviceKind::kMouse);
  SyncReader reader(ReaderKind::kMouse, start);
  ASSERT_TRUE(reader.Search());
  const std::array<std::uint8_t, 3> pressWithoutRelease{0x03, 0x02, 0x04};
  std::array<std::uint8_t, 64> answer{};
  answer[0] = 0x04;
  answer[1] = 0x02;
  answer[2] = 0x04;

  ASSERT_TRUE(bus.InjectInputReport(id, pressWithoutRelease));
  ASSERT_TRUE(reader.ListenOnce(stop));
  ASSERT_TRUE(bus.InjectInputReport(id, answer));
  ASSERT_TRUE(reader.ListenOnce(stop));
  ASSERT_TRUE(bus.InjectInputReport(id, answer));
  ASSERT_TRUE(reader.ListenOnce(stop));

  EXPECT_EQ(host.EventsOf(Type::kSendBegin).size(), 1u);
}

// While the device's own link streams (lighting frames), its answers come by the hundred a second
// on the reader's node: the reader wakes once for the batch waiting behind the first, and a report of
// its collection among them is acted on.
TEST_F(WatcherFixture, ReaderTakesAStreamOfAnswersInOneWakeUpAndActsOnAReportAmongThem) {
  const int id = bus.Plug(SimDeviceKind::kMouse);
  start.paces.readerBusyPause = 100ms;
  SyncReader reader(ReaderKind::kMouse, start);
  ASSERT_TRUE(reader.Search());
  std::array<std::uint8_t, 64> answer{};
  answer[0] = 0x04;
  // One report per millisecond: all of them are readable well within the pause.
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(bus.InjectInputReport(id, answer));
  ASSERT_TRUE(bus.RaiseConsumerReport(id, 0x0401));
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(bus.InjectInputReport(id, answer));

  ASSERT_TRUE(reader.ListenOnce(stop));

  EXPECT_EQ(host.EventsOf(Type::kSendBegin).size(), 1u);
}

TEST_F(WatcherFixture, NoReaderListensToTheSecondKeyboardModel) {
  bus.Plug(SimDeviceKind::kKeyboardModel1);
  SyncReader keyboardReader(ReaderKind::kKeyboard, start);
  EXPECT_FALSE(keyboardReader.Search());
  EXPECT_FALSE(SyncReader(ReaderKind::kMouse, start).Search());
  EXPECT_EQ(backend.CountOpens(sim::ProductIdOf(SimDeviceKind::kKeyboardModel1), true), 0);

  // The first model is listened to, on its consumer collection, without write access.
  bus.Plug(SimDeviceKind::kKeyboard);
  EXPECT_TRUE(keyboardReader.Search());
  const std::vector<OpenRecord> opens = backend.Opens();
  ASSERT_FALSE(opens.empty());
  EXPECT_EQ(opens.back().collection.usagePage, kConsumerUsagePage);
  EXPECT_FALSE(opens.back().options.wantWrite);
}

TEST_F(WatcherFixture, ReaderLeavesAVanishedDeviceAndFindsItAgain) {
  const int id = bus.Plug(SimDeviceKind::kMouse);
  SyncReader reader(ReaderKind::kMouse, start);
  ASSERT_TRUE(reader.Search());
  bus.Unplug(id);
  reader.Listen(stop);  // returns once the device has gone
  EXPECT_FALSE(reader.IsConnected());
  EXPECT_EQ(backend.CountHeld(kMouseProductId), 0);

  ASSERT_TRUE(bus.Replug(id));
  ASSERT_TRUE(reader.Search());
  ASSERT_TRUE(bus.RaiseConsumerReport(id, 0x0401));
  ASSERT_TRUE(reader.ListenOnce(stop));
  EXPECT_EQ(host.EventsOf(Type::kSendBegin).size(), 1u);
}

// A read that fails at once while the device is still there is not retried in a busy loop: the
// reader waits out the read time-out (here an hour) on its stop event before reading again.
TEST_F(WatcherFixture, ReaderDoesNotSpinOnAReadThatFailsAtOnce) {
  bus.Plug(SimDeviceKind::kMouse);
  start.paces.readerRead = 1h;
  SyncReader reader(ReaderKind::kMouse, start);
  ASSERT_TRUE(reader.Search());
  backend.FailReads();
  StopEvent listenStop;
  // A spinning reader reads again within microseconds; one that waits does not read again in
  // the 200 ms given here (a bound on an event that must not come, so a slow machine cannot fail it).
  auto stopper = std::async(std::launch::async, [&] {
    backend.WaitForFailedReads(1, 10s);
    backend.WaitForFailedReads(2, 200ms);
    listenStop.Set();
  });

  reader.Listen(listenStop);

  stopper.get();
  EXPECT_EQ(backend.FailedReads(), 1);
}

TEST_F(WatcherFixture, ReaderRetriesAFailedEnumeration) {
  bus.Plug(SimDeviceKind::kKeyboard);
  bus.FailEnumerations(1);
  SyncReader reader(ReaderKind::kKeyboard, start);
  EXPECT_FALSE(reader.Search());
  EXPECT_TRUE(reader.Search());
}

TEST_F(WatcherFixture, ReaderThreadRecoversFromEnumerationFailures) {
  const int id = bus.Plug(SimDeviceKind::kMouse);
  bus.FailEnumerations(3);
  start.paces.readerSearch = 5ms;
  start.paces.readerRead = 500ms;
  WorkerThreads threads;
  threads.Start(MouseSyncReaderThread, start);
  ASSERT_TRUE(backend.WaitForReaderOpen(kMouseProductId, 10s));
  ASSERT_TRUE(bus.RaiseConsumerReport(id, 0x0403));
  EXPECT_TRUE(host.WaitFor(Type::kClick));
}

// A settings report makes the reader send WM_MS_RELOAD and wait while the main window re-reads the
// mouse through the watcher's link -- whose answers the reader's node carries too. A report that
// comes meanwhile is handled after the send has returned.
TEST_F(WatcherFixture, MouseReaderWaitsUntilTheMainWindowHasReread) {
  const int id = bus.Plug(SimDeviceKind::kMouse);
  start.paces.readerRead = 500ms;
  std::vector<int> rereadResults;
  host.onSend = [&](WindowMessage message) {
    if (message != WindowMessage::WM_MS_RELOAD) return;
    std::array<std::uint8_t, kInfoSize> info{};
    for (int i = 0; i < 5; ++i) rereadResults.push_back(ReadInfo(mouse, info));
  };
  host.HoldSends(true);
  WorkerThreads threads;
  threads.Start(MouseWatcherThread, start);
  threads.Start(MouseSyncReaderThread, start);
  ASSERT_TRUE(host.WaitFor(Type::kArrival));
  ASSERT_TRUE(backend.WaitForReaderOpen(kMouseProductId, 10s));

  ASSERT_TRUE(bus.RaiseConsumerReport(id, 0x0402));
  ASSERT_TRUE(host.WaitFor(Type::kSendBegin));
  ASSERT_TRUE(bus.RaiseConsumerReport(id, 0x0401));
  EXPECT_TRUE(host.EventsOf(Type::kSendEnd).empty());
  host.ReleaseOneSend();
  host.ReleaseOneSend();
  ASSERT_TRUE(host.WaitFor(Type::kSendEnd, 2));
  ASSERT_TRUE(bus.RaiseConsumerReport(id, 0x0403));  // marks the end of what the reader received
  ASSERT_TRUE(host.WaitFor(Type::kClick));
  threads.StopAll();

  std::vector<std::pair<Type, WindowMessage>> sends;
  for (const HostEvent& e : host.Events()) {
    if (e.type == Type::kSendBegin || e.type == Type::kSendEnd) sends.emplace_back(e.type, e.message);
  }
  EXPECT_EQ(sends,
            (std::vector<std::pair<Type, WindowMessage>>{{Type::kSendBegin, WindowMessage::WM_MS_RELOAD},
                                                         {Type::kSendEnd, WindowMessage::WM_MS_RELOAD},
                                                         {Type::kSendBegin, WindowMessage::WM_MS_PROFILE},
                                                         {Type::kSendEnd, WindowMessage::WM_MS_PROFILE}}));
  EXPECT_EQ(rereadResults, std::vector<int>(5, kResultOk));
}

}  // namespace
}  // namespace korva::device::test
