// The simulated bus as the host sees it through the HidBackend seam: enumeration, nodes shared by
// collections, the exchange, consumer reports, fault injection, abort, unplug and threads.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <ostream>
#include <string>
#include <thread>

#include "sim/SimBus.h"
#include "sim/SimFirmware.h"
#include "tests/sim/SimTestFrames.h"

namespace korva::sim {
namespace {

using device::HidConnection;
using device::HidInterfaceInfo;
using device::HidIoStatus;
using device::HidOpenOptions;
using test::Frame;
using test::Request;

constexpr HidOpenOptions kReadWrite{true, true, true, false};
constexpr HidOpenOptions kReadOnly{true, false, true, false};
constexpr int kGenerousMs = 30000;  // a bound that only a broken wake-up reaches

struct Report {
  HidIoStatus status = HidIoStatus::kFailed;
  std::vector<std::uint8_t> bytes;
};

Report ReadOne(HidConnection& connection, int timeoutMs) {
  std::array<std::uint8_t, 64> buffer{};
  std::size_t read = 0;
  Report report;
  report.status = connection.Read(buffer, timeoutMs, read);
  report.bytes.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(read));
  return report;
}

HidIoStatus WriteFrame(HidConnection& connection, const Frame& frame) {
  std::size_t written = 0;
  const HidIoStatus status = connection.Write(frame, 1000, written);
  if (status == HidIoStatus::kOk) {
    EXPECT_EQ(written, frame.size());
  }
  return status;
}

class SimBusTest : public testing::Test {
 protected:
  // Plugs a device with no report interval, so that answers are readable at once.
  int PlugFast(SimDeviceKind kind) {
    const int id = bus.Plug(kind);
    bus.SetReportInterval(id, std::chrono::microseconds(0));
    return id;
  }

  HidInterfaceInfo CollectionOf(int id, std::uint16_t usagePage) {
    for (const auto& collection : bus.Collections(id)) {
      if (collection.usagePage == usagePage) return collection;
    }
    ADD_FAILURE() << "device " << id << " has no collection on page " << usagePage;
    return {};
  }

  std::unique_ptr<HidConnection> OpenVendor(int id, HidOpenOptions options = kReadWrite) {
    auto connection = bus.Open(CollectionOf(id, kVendorUsagePage), options);
    EXPECT_NE(connection, nullptr);
    return connection;
  }

  // A write that has to end by its own time-out. One that outlives it by far is aborted, so that a
  // time-out the connection ignores fails the test instead of hanging it.
  HidIoStatus WriteTimingOut(HidConnection& connection, const Frame& frame, int timeoutMs,
                             std::size_t& written) {
    auto writer = std::async(std::launch::async, [&] { return connection.Write(frame, timeoutMs, written); });
    if (writer.wait_for(std::chrono::milliseconds(kGenerousMs)) != std::future_status::ready) {
      ADD_FAILURE() << "the write outlived its time-out";
      connection.Abort();
    }
    return writer.get();
  }

  // Writes the request and returns the next report with the vendor report id (others are skipped).
  Report Exchange(HidConnection& connection, const Frame& request, int timeoutMs = kGenerousMs) {
    const HidIoStatus written = WriteFrame(connection, request);
    if (written != HidIoStatus::kOk) return {written, {}};
    for (;;) {
      Report report = ReadOne(connection, timeoutMs);
      if (report.status != HidIoStatus::kOk || report.bytes.at(0) == kVendorReportId) return report;
    }
  }

  SimBus bus;
};

TEST_F(SimBusTest, EnumerationShowsEachDevicesCollectionsOnItsNodes) {
  const int keyboard = bus.Plug(SimDeviceKind::kKeyboard);
  const int model1 = bus.Plug(SimDeviceKind::kKeyboardModel1);
  const int mouse = bus.Plug(SimDeviceKind::kMouse);
  const int pad = bus.Plug(SimDeviceKind::kMousepad);
  const int foreign = bus.Plug(SimDeviceKind::kForeign);
  std::vector<HidInterfaceInfo> all;
  ASSERT_TRUE(bus.Enumerate(all));
  EXPECT_EQ(all.size(), 3u + 2u + 3u + 1u + 1u);

  struct Row {
    int id;
    std::uint16_t productId;
    std::size_t collections;
    bool consumer;
  };
  for (const Row& row :
       {Row{keyboard, 0x8901, 3, true}, Row{model1, 0x7680, 2, false}, Row{mouse, 0x6721, 3, true},
        Row{pad, 0x6621, 1, false}, Row{foreign, 0x5011, 1, false}}) {
    const auto collections = bus.Collections(row.id);
    ASSERT_EQ(collections.size(), row.collections) << "device " << row.id;
    for (const auto& c : collections) {
      EXPECT_EQ(c.vendorId, 0x0C45);
      EXPECT_EQ(c.productId, row.productId);
      EXPECT_TRUE(bus.IsPresent(c.path));
    }
    const HidInterfaceInfo vendor = CollectionOf(row.id, kVendorUsagePage);
    EXPECT_EQ(vendor.usage, kVendorUsage);
    EXPECT_EQ(vendor.path, bus.VendorPath(row.id));
    if (row.consumer) {
      const HidInterfaceInfo consumer = CollectionOf(row.id, kConsumerUsagePage);
      EXPECT_EQ(consumer.usage, kConsumerUsage);
      EXPECT_EQ(consumer.path, vendor.path) << "vendor and consumer collections share one node";
      EXPECT_EQ(consumer.interfaceNumber, vendor.interfaceNumber);
    }
  }
  EXPECT_NE(bus.Collections(keyboard).front().path, bus.VendorPath(keyboard))
      << "boot interface is its own node";
}

TEST_F(SimBusTest, OpenChecksPathAndCollection) {
  const int mouse = PlugFast(SimDeviceKind::kMouse);
  HidInterfaceInfo wrong = CollectionOf(mouse, kVendorUsagePage);
  wrong.usagePage = 0x0001;
  wrong.usage = 0x0006;
  EXPECT_EQ(bus.Open(wrong, kReadWrite), nullptr);
  HidInterfaceInfo unknown = CollectionOf(mouse, kVendorUsagePage);
  unknown.path = "sim:hidraw999";
  EXPECT_EQ(bus.Open(unknown, kReadWrite), nullptr);
  HidInterfaceInfo byPath;
  byPath.path = bus.VendorPath(mouse);
  auto connection = bus.Open(byPath, kReadWrite);
  ASSERT_NE(connection, nullptr);
  EXPECT_EQ(connection->Info().usagePage, kVendorUsagePage)
      << "a path alone opens the node's first collection";
  auto consumer = bus.Open(CollectionOf(mouse, kConsumerUsagePage), kReadOnly);
  ASSERT_NE(consumer, nullptr);
  EXPECT_EQ(consumer->Info().usagePage, kConsumerUsagePage);
  EXPECT_EQ(consumer->Info().productId, 0x6721);
}

TEST_F(SimBusTest, ExchangeAnswersWithOneVendorReport) {
  const int keyboard = PlugFast(SimDeviceKind::kKeyboard);
  auto connection = OpenVendor(keyboard);
  const Report answer = Exchange(*connection, Request(0x03, 0x21, 0));
  ASSERT_EQ(answer.status, HidIoStatus::kOk);
  ASSERT_EQ(answer.bytes.size(), 64u);
  EXPECT_EQ(answer.bytes[3], 0x03);
  EXPECT_EQ(answer.bytes[7], 0x00);
  EXPECT_EQ(answer.bytes[8 + 5], 126);
  EXPECT_TRUE(test::AnswerChecksumValid(answer.bytes));
  EXPECT_EQ(ReadOne(*connection, 0).status, HidIoStatus::kTimeout) << "exactly one answer";
}

TEST_F(SimBusTest, WritesOnlyWhatTheNodeAccepts) {
  const int mouse = PlugFast(SimDeviceKind::kMouse);
  auto readOnly = OpenVendor(mouse, kReadOnly);
  EXPECT_EQ(WriteFrame(*readOnly, Request(0x01, 0, 0)), HidIoStatus::kFailed);
  auto connection = OpenVendor(mouse);
  Frame consumerOut = Request(0x01, 0, 0);
  consumerOut[0] = kConsumerReportId;  // the consumer collection has no output report
  EXPECT_EQ(WriteFrame(*connection, consumerOut), HidIoStatus::kFailed);
  std::vector<std::uint8_t> tooLong(65, 0x04);
  std::size_t written = 0;
  EXPECT_EQ(connection->Write(tooLong, 1000, written), HidIoStatus::kFailed);
  EXPECT_TRUE(bus.Requests(mouse).empty());
  // A short write is padded with zeros, as a device sees a short transfer.
  const Frame begin = Request(0x01, 0, 0);
  ASSERT_EQ(connection->Write(std::span<const std::uint8_t>(begin).first(8), 1000, written),
            HidIoStatus::kOk);
  EXPECT_EQ(written, 8u);
  ASSERT_EQ(bus.Requests(mouse).size(), 1u);
  EXPECT_EQ(bus.Requests(mouse)[0].bytes, begin);
}

TEST_F(SimBusTest, RequestLogKeepsBytesPathAndOrder) {
  const int keyboard = PlugFast(SimDeviceKind::kKeyboard);
  const int mouse = PlugFast(SimDeviceKind::kMouse);
  auto kb = OpenVendor(keyboard);
  auto ms = OpenVendor(mouse);
  const Frame first = Request(0x01, 0, 0);
  const Frame second = Request(0x05, 1, 0);
  const Frame third = Request(0x02, 0, 0);
  ASSERT_EQ(Exchange(*kb, first).status, HidIoStatus::kOk);
  ASSERT_EQ(Exchange(*ms, second).status, HidIoStatus::kOk);
  ASSERT_EQ(Exchange(*kb, third).status, HidIoStatus::kOk);
  const auto kbLog = bus.Requests(keyboard);
  const auto msLog = bus.Requests(mouse);
  ASSERT_EQ(kbLog.size(), 2u);
  ASSERT_EQ(msLog.size(), 1u);
  EXPECT_EQ(kbLog[0].bytes, first);
  EXPECT_EQ(kbLog[1].bytes, third);
  EXPECT_EQ(msLog[0].bytes, second);
  EXPECT_EQ(kbLog[0].deviceId, keyboard);
  EXPECT_EQ(kbLog[0].path, bus.VendorPath(keyboard));
  EXPECT_LT(kbLog[0].sequence, msLog[0].sequence);
  EXPECT_LT(msLog[0].sequence, kbLog[1].sequence);
  EXPECT_TRUE(bus.WaitForRequests(keyboard, 2, std::chrono::milliseconds(0)));
  EXPECT_FALSE(bus.WaitForRequests(keyboard, 3, std::chrono::milliseconds(1)));
  bus.ClearRequests(keyboard);
  EXPECT_TRUE(bus.Requests(keyboard).empty());
  EXPECT_EQ(bus.Requests(mouse).size(), 1u);

  bus.SetRequestLogLimit(2);
  for (int i = 0; i < 3; ++i)
    ASSERT_EQ(Exchange(*kb, Request(0x05, 1, static_cast<std::uint16_t>(i))).status, HidIoStatus::kOk);
  const auto limited = bus.Requests(keyboard);
  ASSERT_EQ(limited.size(), 2u);
  EXPECT_EQ(limited[1].bytes[5], 2) << "the newest requests are kept";
}

TEST_F(SimBusTest, WaitForRequestsWakesWhenARequestArrives) {
  const int pad = PlugFast(SimDeviceKind::kMousepad);
  auto connection = OpenVendor(pad);
  auto waiter = std::async(std::launch::async, [&] {
    return bus.WaitForRequests(pad, 1, std::chrono::milliseconds(kGenerousMs));
  });
  ASSERT_EQ(Exchange(*connection, Request(0x01, 0, 0)).status, HidIoStatus::kOk);
  EXPECT_TRUE(waiter.get());
}

TEST_F(SimBusTest, ConsumerReportReachesEveryConnectionOfTheSharedNode) {
  const int mouse = PlugFast(SimDeviceKind::kMouse);
  auto reader = bus.Open(CollectionOf(mouse, kConsumerUsagePage), kReadOnly);
  auto vendor = OpenVendor(mouse);
  ASSERT_NE(reader, nullptr);
  ASSERT_TRUE(bus.RaiseConsumerReport(mouse, 0x0403));
  for (HidConnection* connection : {reader.get(), vendor.get()}) {
    const Report press = ReadOne(*connection, kGenerousMs);
    ASSERT_EQ(press.status, HidIoStatus::kOk);
    EXPECT_EQ(press.bytes, (std::vector<std::uint8_t>{kConsumerReportId, 0x03, 0x04}));
    const Report release = ReadOne(*connection, kGenerousMs);
    EXPECT_EQ(release.bytes, (std::vector<std::uint8_t>{kConsumerReportId, 0x00, 0x00}));
  }
  // The answers to the command exchange reach the consumer reader too: hidraw shares the node.
  ASSERT_EQ(Exchange(*vendor, Request(0x01, 0, 0)).status, HidIoStatus::kOk);
  EXPECT_EQ(ReadOne(*reader, kGenerousMs).bytes.at(0), kVendorReportId);

  const int model1 = PlugFast(SimDeviceKind::kKeyboardModel1);
  const int pad = PlugFast(SimDeviceKind::kMousepad);
  EXPECT_FALSE(bus.RaiseConsumerReport(model1, 0x0401));
  EXPECT_FALSE(bus.RaiseConsumerReport(pad, 0x0401));
}

TEST_F(SimBusTest, ShortReadBufferTruncatesTheReport) {
  const int keyboard = PlugFast(SimDeviceKind::kKeyboard);
  auto reader = bus.Open(CollectionOf(keyboard, kConsumerUsagePage), kReadOnly);
  ASSERT_TRUE(bus.RaiseConsumerReport(keyboard, 0x0402));
  std::array<std::uint8_t, 2> small{};
  std::size_t read = 0;
  ASSERT_EQ(reader->Read(small, kGenerousMs, read), HidIoStatus::kOk);
  EXPECT_EQ(read, 2u);
  EXPECT_EQ(small[1], 0x02);
}

TEST_F(SimBusTest, ProfileButtonSwitchesAndAnnouncesIt) {
  const int mouse = PlugFast(SimDeviceKind::kMouse);
  auto reader = bus.Open(CollectionOf(mouse, kConsumerUsagePage), kReadOnly);
  ASSERT_TRUE(bus.PressProfileButton(mouse));
  EXPECT_EQ(bus.Firmware(mouse).ActiveProfile(), 1);
  EXPECT_EQ(ReadOne(*reader, kGenerousMs).bytes, (std::vector<std::uint8_t>{kConsumerReportId, 0x01, 0x04}));
  auto vendor = OpenVendor(mouse);
  EXPECT_EQ(Exchange(*vendor, Request(0x05, 1, 0)).bytes.at(8), 1) << "the host reads the new number";

  const std::uint8_t stage = bus.Firmware(mouse).Record(1)[19];
  ASSERT_EQ(ReadOne(*reader, kGenerousMs).bytes[1], 0x00);             // release of 0x0401
  ASSERT_EQ(ReadOne(*reader, kGenerousMs).bytes[0], kVendorReportId);  // the answer above
  ASSERT_TRUE(bus.PressStageButton(mouse));
  EXPECT_EQ(bus.Firmware(mouse).Record(1)[19], (stage + 1) % 6);
  EXPECT_EQ(ReadOne(*reader, kGenerousMs).bytes, (std::vector<std::uint8_t>{kConsumerReportId, 0x02, 0x04}));

  const int pad = PlugFast(SimDeviceKind::kMousepad);
  EXPECT_TRUE(bus.PressProfileButton(pad));
  EXPECT_EQ(bus.Firmware(pad).ActiveProfile(), 1);
  EXPECT_FALSE(bus.PressStageButton(pad));
  EXPECT_FALSE(bus.PressProfileButton(PlugFast(SimDeviceKind::kForeign)));
}

TEST_F(SimBusTest, RestoreDefaultsIsAnsweredAndThenAnnouncedAsASettingsChange) {
  const int mouse = PlugFast(SimDeviceKind::kMouse);
  auto reader = bus.Open(CollectionOf(mouse, kConsumerUsagePage), kReadOnly);
  auto vendor = OpenVendor(mouse);
  ASSERT_EQ(Exchange(*vendor, Request(0x06, 1, 0, {2})).status, HidIoStatus::kOk);
  ASSERT_EQ(ReadOne(*reader, kGenerousMs).bytes.at(0), kVendorReportId);
  ASSERT_EQ(Exchange(*vendor, Request(0x0D, 0, 0)).bytes.at(7), 0x00);
  EXPECT_EQ(bus.Firmware(mouse).ActiveProfile(), 0);
  EXPECT_EQ(ReadOne(*reader, kGenerousMs).bytes.at(0), kVendorReportId) << "the answer comes first";
  EXPECT_EQ(ReadOne(*reader, kGenerousMs).bytes, (std::vector<std::uint8_t>{kConsumerReportId, 0x02, 0x04}));
  EXPECT_EQ(ReadOne(*reader, kGenerousMs).bytes, (std::vector<std::uint8_t>{kConsumerReportId, 0x00, 0x00}));

  const int pad = PlugFast(SimDeviceKind::kMousepad);  // no consumer collection: only the answer
  auto padVendor = OpenVendor(pad);
  ASSERT_EQ(Exchange(*padVendor, Request(0x0D, 0, 0)).bytes.at(7), 0x00);
  EXPECT_EQ(ReadOne(*padVendor, 0).status, HidIoStatus::kTimeout);
}

TEST_F(SimBusTest, DroppedAnswersLeaveTheRequestActedOnButUnanswered) {
  const int mouse = PlugFast(SimDeviceKind::kMouse);
  auto connection = OpenVendor(mouse);
  bus.DropAnswers(mouse, 2);
  const Frame request = Request(0x06, 1, 0, {3});
  EXPECT_EQ(Exchange(*connection, request, 20).status, HidIoStatus::kTimeout);
  EXPECT_EQ(bus.Firmware(mouse).ActiveProfile(), 3) << "the answer was lost, not the request";
  EXPECT_EQ(Exchange(*connection, request, 20).status, HidIoStatus::kTimeout);
  const Report third = Exchange(*connection, request);
  ASSERT_EQ(third.status, HidIoStatus::kOk);
  EXPECT_EQ(third.bytes[7], 0x00);
  EXPECT_EQ(bus.Requests(mouse).size(), 3u);
}

TEST_F(SimBusTest, SilencedDeviceHearsButNeitherActsNorAnswersUntilReplugged) {
  const int mouse = PlugFast(SimDeviceKind::kMouse);
  auto connection = OpenVendor(mouse);
  bus.SilenceAfterRequests(mouse, 1);
  EXPECT_EQ(Exchange(*connection, Request(0x06, 1, 0, {1})).bytes[7], 0x00) << "served before the silence";
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Exchange(*connection, Request(0x06, 1, 0, {3}), 20).status, HidIoStatus::kTimeout);
  }
  EXPECT_EQ(bus.Requests(mouse).size(), 3u) << "the silent device still hears";
  EXPECT_EQ(bus.Firmware(mouse).ActiveProfile(), 1) << "and acts on nothing";
  EXPECT_TRUE(bus.IsPlugged(mouse));

  bus.Unplug(mouse);
  ASSERT_TRUE(bus.Replug(mouse));
  auto again = OpenVendor(mouse);
  EXPECT_EQ(Exchange(*again, Request(0x06, 1, 0, {2})).bytes[7], 0x00) << "a power cycle ends the hang";
  EXPECT_EQ(bus.Firmware(mouse).ActiveProfile(), 2);
}

TEST_F(SimBusTest, AnswerStatusRefusesTheNextRequestsWithoutActing) {
  for (std::uint8_t status : {std::uint8_t{0xFF}, std::uint8_t{0xFE}}) {
    const int mouse = PlugFast(SimDeviceKind::kMouse);
    auto connection = OpenVendor(mouse);
    bus.AnswerStatus(mouse, status, 2);
    for (int i = 0; i < 2; ++i) {
      const Report refused = Exchange(*connection, Request(0x06, 1, 0, {2}));
      ASSERT_EQ(refused.status, HidIoStatus::kOk);
      EXPECT_EQ(refused.bytes[7], status);
      EXPECT_TRUE(test::AnswerChecksumValid(refused.bytes));
    }
    EXPECT_EQ(bus.Firmware(mouse).ActiveProfile(), 0);
    EXPECT_EQ(Exchange(*connection, Request(0x06, 1, 0, {2})).bytes[7], 0x00);
    EXPECT_EQ(bus.Firmware(mouse).ActiveProfile(), 2);
  }
}

TEST_F(SimBusTest, FailedWritesSendNothing) {
  const int keyboard = PlugFast(SimDeviceKind::kKeyboard);
  auto connection = OpenVendor(keyboard);
  bus.FailWrites(keyboard, 1);
  EXPECT_EQ(WriteFrame(*connection, Request(0x01, 0, 0)), HidIoStatus::kFailed);
  EXPECT_TRUE(bus.Requests(keyboard).empty());
  EXPECT_FALSE(bus.Firmware(keyboard).TransferOpen());
  EXPECT_EQ(ReadOne(*connection, 0).status, HidIoStatus::kTimeout);
  EXPECT_EQ(Exchange(*connection, Request(0x01, 0, 0)).status, HidIoStatus::kOk);
  EXPECT_TRUE(bus.Firmware(keyboard).TransferOpen());
}

TEST_F(SimBusTest, FailedOpensAndEnumerations) {
  const int pad = PlugFast(SimDeviceKind::kMousepad);
  const HidInterfaceInfo vendor = CollectionOf(pad, kVendorUsagePage);
  bus.FailOpens(pad, 1);
  EXPECT_EQ(bus.Open(vendor, kReadWrite), nullptr);
  EXPECT_NE(bus.Open(vendor, kReadWrite), nullptr);
  bus.FailEnumerations(1);
  std::vector<HidInterfaceInfo> all{vendor};
  EXPECT_FALSE(bus.Enumerate(all));
  EXPECT_TRUE(all.empty());
  EXPECT_TRUE(bus.Enumerate(all));
  EXPECT_EQ(all.size(), 1u);
}

TEST_F(SimBusTest, UnplugInTheMiddleOfATransfer) {
  const int mouse = PlugFast(SimDeviceKind::kMouse);
  auto connection = OpenVendor(mouse);
  const std::string path = bus.VendorPath(mouse);
  bus.UnplugAfterRequests(mouse, 2);
  EXPECT_EQ(Exchange(*connection, Request(0x01, 0, 0)).status, HidIoStatus::kOk);
  EXPECT_EQ(Exchange(*connection, Request(0x06, 1, 0, {4})).status, HidIoStatus::kFailed);
  EXPECT_EQ(bus.Requests(mouse).size(), 2u) << "the second request arrived before the device vanished";
  EXPECT_EQ(bus.Firmware(mouse).ActiveProfile(), 0) << "and was not acted on";
  EXPECT_FALSE(bus.IsPlugged(mouse));
  EXPECT_FALSE(bus.IsPresent(path));
  EXPECT_EQ(WriteFrame(*connection, Request(0x01, 0, 0)), HidIoStatus::kFailed);
}

TEST_F(SimBusTest, StrayReportsArriveAheadOfTheAnswer) {
  const int keyboard = PlugFast(SimDeviceKind::kKeyboard);
  auto connection = OpenVendor(keyboard);
  const std::vector<std::uint8_t> stray = {kConsumerReportId, 0x02, 0x04};
  ASSERT_TRUE(bus.InjectBeforeNextAnswer(keyboard, stray));
  EXPECT_EQ(ReadOne(*connection, 0).status, HidIoStatus::kTimeout) << "nothing before the request";
  ASSERT_EQ(WriteFrame(*connection, Request(0x05, 1, 0)), HidIoStatus::kOk);
  EXPECT_EQ(ReadOne(*connection, kGenerousMs).bytes, stray);
  const Report answer = ReadOne(*connection, kGenerousMs);
  EXPECT_EQ(answer.bytes.at(0), kVendorReportId);
  EXPECT_EQ(answer.bytes.at(3), 0x05);

  ASSERT_TRUE(bus.InjectInputReport(keyboard, stray));
  EXPECT_EQ(ReadOne(*connection, kGenerousMs).bytes, stray);
}

TEST_F(SimBusTest, EachConnectionQueuesAtMost64Reports) {
  const int pad = PlugFast(SimDeviceKind::kMousepad);
  auto connection = OpenVendor(pad);
  for (int i = 0; i < 70; ++i) {
    ASSERT_TRUE(
        bus.InjectInputReport(pad, std::vector<std::uint8_t>{kVendorReportId, static_cast<std::uint8_t>(i)}));
  }
  for (int i = 0; i < 64; ++i) {
    const Report report = ReadOne(*connection, 0);
    ASSERT_EQ(report.status, HidIoStatus::kOk);
    EXPECT_EQ(report.bytes[1], i) << "the oldest are kept, the overflow dropped";
  }
  EXPECT_EQ(ReadOne(*connection, 0).status, HidIoStatus::kTimeout);
}

TEST_F(SimBusTest, RequestAndAnswerEachTakeAReportInterval) {
  const int mouse = bus.Plug(SimDeviceKind::kMouse);
  auto connection = OpenVendor(mouse);
  bus.SetReportInterval(mouse, std::chrono::seconds(3600));
  const Frame request = Request(0x01, 0, 0);
  std::size_t written = 99;
  EXPECT_EQ(WriteTimingOut(*connection, request, 5, written), HidIoStatus::kTimeout)
      << "the request waits for its interval";
  EXPECT_EQ(written, 0u);
  EXPECT_TRUE(bus.Requests(mouse).empty()) << "a request that never went out never reached the device";
  ASSERT_TRUE(bus.InjectInputReport(mouse, request));
  EXPECT_EQ(ReadOne(*connection, 0).status, HidIoStatus::kTimeout)
      << "an input report waits for its interval";
  EXPECT_EQ(ReadOne(*connection, 5).status, HidIoStatus::kTimeout);

  const int fast = PlugFast(SimDeviceKind::kMouse);
  auto other = OpenVendor(fast);
  EXPECT_EQ(other->Write(request, 0, written), HidIoStatus::kOk)
      << "with no interval the request goes out at once";
  EXPECT_EQ(ReadOne(*other, 0).status, HidIoStatus::kOk) << "and the answer is there at once";
}

TEST_F(SimBusTest, StalledDeviceTakesNoRequestWithinTheWriteTimeOut) {
  const int mouse = PlugFast(SimDeviceKind::kMouse);
  auto connection = OpenVendor(mouse);
  bus.StallWrites(mouse, true);
  std::size_t written = 99;
  EXPECT_EQ(WriteTimingOut(*connection, Request(0x01, 0, 0), 5, written), HidIoStatus::kTimeout);
  EXPECT_EQ(written, 0u);
  EXPECT_TRUE(bus.Requests(mouse).empty());
  EXPECT_EQ(ReadOne(*connection, 0).status, HidIoStatus::kTimeout) << "nothing to answer";
  bus.StallWrites(mouse, false);
  EXPECT_EQ(Exchange(*connection, Request(0x01, 0, 0)).status, HidIoStatus::kOk);
  EXPECT_EQ(bus.Requests(mouse).size(), 1u);
}

struct StallEnd {
  std::string name;
  std::function<void(SimBus&, int, HidConnection&)> end;
  HidIoStatus status;
  std::size_t requestsLogged;
};

void PrintTo(const StallEnd& row, std::ostream* os) {
  *os << row.name;
}

class StalledWrite : public SimBusTest, public testing::WithParamInterface<StallEnd> {};

TEST_P(StalledWrite, WaitsUntilTheStallEnds) {
  const StallEnd& row = GetParam();
  const int mouse = PlugFast(SimDeviceKind::kMouse);
  auto connection = OpenVendor(mouse);
  bus.StallWrites(mouse, true);
  auto writer = std::async(std::launch::async, [&] {
    std::size_t written = 0;
    return connection->Write(Request(0x01, 0, 0), kGenerousMs, written);
  });
  ASSERT_TRUE(bus.WaitForStalledWrite(mouse, std::chrono::milliseconds(kGenerousMs)));
  row.end(bus, mouse, *connection);
  EXPECT_EQ(writer.get(), row.status);
  EXPECT_EQ(bus.Requests(mouse).size(), row.requestsLogged);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StalledWrite,
    testing::Values(StallEnd{"Released", [](SimBus& b, int id, HidConnection&) { b.StallWrites(id, false); },
                             HidIoStatus::kOk, 1},
                    StallEnd{"Aborted", [](SimBus&, int, HidConnection& c) { c.Abort(); },
                             HidIoStatus::kAborted, 0},
                    StallEnd{"Unplugged", [](SimBus& b, int id, HidConnection&) { b.Unplug(id); },
                             HidIoStatus::kFailed, 0}),
    [](const testing::TestParamInfo<StallEnd>& info) { return info.param.name; });

// A request the device answers: its write returns once the answer can be read, and a reader of the
// node that sleeps without a time-out of its own is woken for the answer (the writer wakes it).
TEST_F(SimBusTest, AnAnsweredWriteReturnsWithItsAnswerReadableAndWakesTheNodesReaders) {
  const int mouse = bus.Plug(SimDeviceKind::kMouse);  // the 1 ms report interval
  auto vendor = OpenVendor(mouse);
  for (std::uint8_t command : {0x01, 0x05}) {
    ASSERT_EQ(WriteFrame(*vendor, Request(command, 1, 0)), HidIoStatus::kOk);
    const Report answer = ReadOne(*vendor, 0);
    ASSERT_EQ(answer.status, HidIoStatus::kOk) << "the answer is readable once the write has returned";
    EXPECT_EQ(answer.bytes.at(3), command);
  }

  const int fast = PlugFast(SimDeviceKind::kMouse);
  auto writer = OpenVendor(fast);
  auto consumer = bus.Open(CollectionOf(fast, kConsumerUsagePage), kReadOnly);
  ASSERT_NE(consumer, nullptr);
  std::promise<void> released;
  // Reads without an end: the consumer press and release, then the next report.
  auto listener = std::async(std::launch::async, [&] {
    ReadOne(*consumer, -1);
    ReadOne(*consumer, -1);
    released.set_value();
    return ReadOne(*consumer, -1);
  });
  ASSERT_TRUE(bus.RaiseConsumerReport(fast, 0x0403));
  released.get_future().wait();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let it fall asleep
  ASSERT_EQ(WriteFrame(*writer, Request(0x01, 0, 0)), HidIoStatus::kOk);
  if (listener.wait_for(std::chrono::milliseconds(kGenerousMs)) != std::future_status::ready) {
    ADD_FAILURE() << "the node's other reader was never woken for the answer";
    bus.Unplug(fast);
  }
  const Report heard = listener.get();
  ASSERT_EQ(heard.status, HidIoStatus::kOk);
  EXPECT_EQ(heard.bytes.at(0), kVendorReportId);
}

// While the writer waits for the answer to become readable, an abort or an unplug ends the wait: the
// request has reached the device, so the write counts; what ended it is left for the next read.
struct AnswerWaitEnd {
  std::string name;
  std::function<void(SimBus&, int, HidConnection&)> end;
  HidIoStatus nextRead;
};

void PrintTo(const AnswerWaitEnd& row, std::ostream* os) {
  *os << row.name;
}

class AnswerWait : public SimBusTest, public testing::WithParamInterface<AnswerWaitEnd> {};

TEST_P(AnswerWait, EndsEarlyWithTheRequestTaken) {
  const AnswerWaitEnd& row = GetParam();
  const int mouse = bus.Plug(SimDeviceKind::kMouse);
  auto connection = OpenVendor(mouse);
  bus.SetReportInterval(mouse, std::chrono::minutes(30));  // the answer would take an hour
  const Frame request = Request(0x01, 0, 0);
  std::size_t written = 0;
  auto writer = std::async(std::launch::async, [&] { return connection->Write(request, -1, written); });
  ASSERT_TRUE(bus.WaitForRequests(mouse, 1, std::chrono::milliseconds(kGenerousMs)));
  row.end(bus, mouse, *connection);
  if (writer.wait_for(std::chrono::milliseconds(kGenerousMs)) != std::future_status::ready) {
    ADD_FAILURE() << "the write outlived what should have ended it";
    bus.Unplug(mouse);
  }
  EXPECT_EQ(writer.get(), HidIoStatus::kOk);
  EXPECT_EQ(written, request.size());
  EXPECT_EQ(ReadOne(*connection, 0).status, row.nextRead);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AnswerWait,
    testing::Values(AnswerWaitEnd{"Aborted", [](SimBus&, int, HidConnection& c) { c.Abort(); },
                                  HidIoStatus::kAborted},
                    AnswerWaitEnd{"Unplugged", [](SimBus& b, int id, HidConnection&) { b.Unplug(id); },
                                  HidIoStatus::kFailed}),
    [](const testing::TestParamInfo<AnswerWaitEnd>& info) { return info.param.name; });

// No input report of these devices is longer than 64 bytes: a longer one is refused, nothing queued.
TEST_F(SimBusTest, InjectedReportsLongerThanAReportAreRefused) {
  const int keyboard = PlugFast(SimDeviceKind::kKeyboard);
  auto connection = OpenVendor(keyboard);
  const std::vector<std::uint8_t> tooLong(65, kVendorReportId);
  EXPECT_FALSE(bus.InjectInputReport(keyboard, tooLong));
  EXPECT_FALSE(bus.InjectBeforeNextAnswer(keyboard, tooLong));
  EXPECT_EQ(ReadOne(*connection, 0).status, HidIoStatus::kTimeout);
  ASSERT_EQ(WriteFrame(*connection, Request(0x05, 1, 0)), HidIoStatus::kOk);
  EXPECT_EQ(ReadOne(*connection, 0).bytes.at(3), 0x05) << "the answer comes first";
}

TEST_F(SimBusTest, AbortWakesAWaitingReadAndIsUsedUpByIt) {
  const int keyboard = PlugFast(SimDeviceKind::kKeyboard);
  auto connection = OpenVendor(keyboard);
  auto reader = std::async(std::launch::async, [&] { return ReadOne(*connection, kGenerousMs).status; });
  connection->Abort();
  EXPECT_EQ(reader.get(), HidIoStatus::kAborted);
  EXPECT_EQ(ReadOne(*connection, 0).status, HidIoStatus::kTimeout) << "the abort is used up";
  connection->Abort();
  EXPECT_EQ(WriteFrame(*connection, Request(0x01, 0, 0)), HidIoStatus::kAborted);
  EXPECT_TRUE(bus.Requests(keyboard).empty());
}

TEST_F(SimBusTest, UnplugFailsConnectionsAndReplugKeepsTheMemory) {
  const int keyboard = PlugFast(SimDeviceKind::kKeyboard);
  auto connection = OpenVendor(keyboard);
  const HidInterfaceInfo old = CollectionOf(keyboard, kVendorUsagePage);
  ASSERT_EQ(Exchange(*connection, Request(0x06, 1, 0, {3})).status, HidIoStatus::kOk);
  auto reader = std::async(std::launch::async, [&] { return ReadOne(*connection, kGenerousMs).status; });
  bus.Unplug(keyboard);
  EXPECT_EQ(reader.get(), HidIoStatus::kFailed);
  EXPECT_EQ(WriteFrame(*connection, Request(0x01, 0, 0)), HidIoStatus::kFailed);
  EXPECT_EQ(bus.Open(old, kReadWrite), nullptr);
  std::vector<HidInterfaceInfo> all;
  ASSERT_TRUE(bus.Enumerate(all));
  EXPECT_TRUE(all.empty());
  EXPECT_FALSE(bus.RaiseConsumerReport(keyboard, 0x0401));

  ASSERT_TRUE(bus.Replug(keyboard));
  EXPECT_FALSE(bus.Replug(keyboard));
  EXPECT_NE(bus.VendorPath(keyboard), old.path) << "a re-plugged device gets new paths";
  EXPECT_EQ(ReadOne(*connection, 0).status, HidIoStatus::kFailed) << "old connections stay dead";
  auto fresh = OpenVendor(keyboard);
  EXPECT_EQ(Exchange(*fresh, Request(0x05, 1, 0)).bytes.at(8), 3) << "memory survives the unplug";
}

TEST_F(SimBusTest, ConnectionsMayOutliveTheBus) {
  std::unique_ptr<HidConnection> connection;
  {
    SimBus local;
    const int mouse = local.Plug(SimDeviceKind::kMouse);
    connection = local.Open(local.Collections(mouse).back(), kReadWrite);
    ASSERT_NE(connection, nullptr);
  }
  EXPECT_EQ(ReadOne(*connection, kGenerousMs).status, HidIoStatus::kFailed);
}

// Readers and writers on several devices while another thread plugs and unplugs them: every call ends
// with a status that fits what happened, and nothing races (run under ThreadSanitizer).
TEST_F(SimBusTest, PlugAndUnplugWhileOtherThreadsTransfer) {
  const int mouse = PlugFast(SimDeviceKind::kMouse);
  const int keyboard = PlugFast(SimDeviceKind::kKeyboard);
  bus.SetRequestLogLimit(256);
  std::atomic<bool> stop{false};
  std::atomic<int> answers{0};
  std::atomic<int> unexpected{0};

  auto worker = [&](int id, bool consumer) {
    while (!stop) {
      std::vector<HidInterfaceInfo> all;
      bus.Enumerate(all);
      HidInterfaceInfo wanted;
      for (const auto& c : bus.Collections(id)) {
        if (c.usagePage == (consumer ? kConsumerUsagePage : kVendorUsagePage)) wanted = c;
      }
      auto connection = bus.Open(wanted, consumer ? kReadOnly : kReadWrite);
      if (!connection) continue;  // unplugged between the two calls
      for (int i = 0; i < 20 && !stop; ++i) {
        if (!consumer) {
          std::size_t written = 0;
          const Frame request = Request(0x05, 56, static_cast<std::uint16_t>((i % 5) * 64));
          const HidIoStatus w = connection->Write(request, 1000, written);
          if (w == HidIoStatus::kFailed) break;
          if (w != HidIoStatus::kOk) ++unexpected;
        }
        const Report report = ReadOne(*connection, 50);
        if (report.status == HidIoStatus::kFailed) break;
        if (report.status == HidIoStatus::kOk) ++answers;
        if (report.status == HidIoStatus::kAborted) ++unexpected;
      }
    }
  };
  {
    // Each thread ends by itself once the last one sets `stop`; leaving the block joins them all.
    std::vector<std::jthread> threads;
    threads.emplace_back(worker, mouse, false);
    threads.emplace_back(worker, keyboard, false);
    threads.emplace_back(worker, mouse, true);
    threads.emplace_back([&] {
      // At least 200 rounds, and on until the workers have seen answers (bounded all the same).
      for (int round = 0; round < 200 || (answers < 50 && round < 1000000); ++round) {
        bus.RaiseConsumerReport(mouse, 0x0403);
        bus.PressProfileButton(keyboard);
        if (round % 3 == 0) {
          bus.Unplug(round % 2 ? mouse : keyboard);
          bus.Replug(round % 2 ? mouse : keyboard);
        }
        bus.Firmware(mouse).Record(round % 5);
        bus.Requests(keyboard);
        if (round % 50 == 0) bus.ClearRequests(mouse);
        std::this_thread::yield();
      }
      stop = true;
    });
  }
  EXPECT_EQ(unexpected.load(), 0);
  EXPECT_GT(answers.load(), 0);
}

}  // namespace
}  // namespace korva::sim
