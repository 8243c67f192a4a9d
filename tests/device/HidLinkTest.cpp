// HidLink over a scripted backend: enumeration, opening and the capabilities it loads, transfers,
// and closing from another thread while a transfer waits.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "device/HidLink.h"
#include "device/KnownDevices.h"
#include "sim/SimBus.h"
#include "tests/device/Descriptors.h"
#include "tests/device/FakeHid.h"
#include "tests/device/RowName.h"

namespace korva::device {
namespace {

using test::PrintTo;

using namespace std::chrono_literals;
using test::FakeBackend;

HidInterfaceInfo Collection(std::string path, std::uint16_t page, std::uint16_t usage) {
  return {std::move(path), 0x0C45, 0x6721, page, usage, 1};
}

class HidLinkTest : public testing::Test {
 protected:
  HidLinkTest() {
    backend.collections = {Collection("fake:0", 0xFF1C, 0x0092), Collection("fake:0", 0x000C, 0x0001)};
    backend.descriptor = test::kVendorAndConsumer;
  }
  bool Open(std::uint16_t page, std::uint16_t usage, std::string path = "fake:0") {
    link.devicePath = Collection(std::move(path), page, usage);
    link.options = {.wantRead = true, .wantWrite = true, .overlapped = true, .shareReadOnly = false};
    return OpenLink(link);
  }

  FakeBackend backend;
  HidLink link{backend};
};

TEST_F(HidLinkTest, EnumerationKeepsEveryPathInOrder) {
  // Past 8, 16 and 32 entries nothing is lost or reordered.
  backend.collections.clear();
  for (int i = 0; i < 40; ++i)
    backend.collections.push_back(Collection("fake:" + std::to_string(i), 0xFF1C, 0x92));
  link.pathCursor = 7;
  ASSERT_TRUE(EnumerateHidPaths(link));
  ASSERT_EQ(link.pathList.size(), 40u);
  for (int i = 0; i < 40; ++i)
    EXPECT_EQ(link.pathList[static_cast<std::size_t>(i)].path, "fake:" + std::to_string(i));
  EXPECT_EQ(link.pathCursor, 0u);

  backend.collections.clear();
  ASSERT_TRUE(EnumerateHidPaths(link));
  EXPECT_TRUE(link.pathList.empty());

  backend.collections.push_back(Collection("fake:x", 1, 2));
  backend.failEnumeration = true;
  EXPECT_FALSE(EnumerateHidPaths(link));
  EXPECT_TRUE(link.pathList.empty());
}

TEST_F(HidLinkTest, OpenLoadsTheCapabilitiesOfTheCollectionAskedFor) {
  ASSERT_TRUE(Open(0xFF1C, 0x0092));
  HidCapabilities caps = link.Capabilities();
  EXPECT_EQ(caps.usagePage, 0xFF1C);
  EXPECT_EQ(caps.usage, 0x0092);
  EXPECT_EQ(caps.inputReportByteLength, 64);
  EXPECT_EQ(caps.outputReportByteLength, 64);
  EXPECT_EQ(caps.featureReportByteLength, 0);
  EXPECT_EQ(caps.numberInputValueItems, 1);
  EXPECT_EQ(link.InputTable().report.size(), 64u);
  EXPECT_EQ(link.Attributes().vendorId, 0x0C45);
  EXPECT_EQ(link.Attributes().productId, 0x6721);

  // Opening again closes the first connection and loads the other collection of the same node.
  ASSERT_TRUE(Open(0x000C, 0x0001));
  caps = link.Capabilities();
  EXPECT_EQ(caps.usagePage, 0x000C);
  EXPECT_EQ(caps.inputReportByteLength, 3);
  EXPECT_EQ(caps.outputReportByteLength, 0);
  EXPECT_EQ(caps.numberInputButtonItems, 1);
  const ReportTable input = link.InputTable();
  ASSERT_EQ(input.items.size(), 1u);
  EXPECT_EQ(input.items[0].reportId, 3u);
}

struct FailedOpen {
  const char* name;
  std::string path;
  std::uint16_t page;
  std::uint16_t usage;
  std::vector<std::uint8_t> descriptor;
};

class HidLinkFailedOpen : public HidLinkTest, public testing::WithParamInterface<FailedOpen> {};

TEST_P(HidLinkFailedOpen, LeavesTheLinkClosed) {
  const FailedOpen& row = GetParam();
  ASSERT_TRUE(Open(0xFF1C, 0x0092));  // something open before, so a failed open must also close it
  backend.descriptor = row.descriptor;
  EXPECT_FALSE(Open(row.page, row.usage, row.path));
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(link.Capabilities().inputReportByteLength, 0);
  EXPECT_TRUE(link.InputTable().items.empty());
  std::vector<std::uint8_t> buffer(64);
  std::size_t n = 99;
  EXPECT_FALSE(ReadReport(link, buffer, 10, n));
  EXPECT_EQ(n, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HidLinkFailedOpen,
    testing::Values(FailedOpen{"PathGone", "fake:gone", 0xFF1C, 0x0092, test::kVendorAndConsumer},
                    FailedOpen{"CollectionNotInDescriptor", "fake:0", 0x0001, 0x0006,
                               test::kVendorAndConsumer},
                    FailedOpen{"NoDescriptor", "fake:0", 0xFF1C, 0x0092, {}},
                    FailedOpen{"DescriptorUnreadable", "fake:0", 0xFF1C, 0x0092, {0xA1, 0x01, 0x26}}),
    [](const testing::TestParamInfo<FailedOpen>& info) { return std::string(info.param.name); });

TEST_F(HidLinkTest, ReadAndWriteGoThroughTheConnection) {
  ASSERT_TRUE(Open(0xFF1C, 0x0092));
  std::vector<std::uint8_t> report(64, 0);
  report[0] = 0x04;
  std::size_t written = 0;
  ASSERT_TRUE(WriteReport(link, report, written));
  EXPECT_EQ(written, 64u);
  EXPECT_EQ(backend.state->writes.size(), 1u);

  backend.state->shortWriteBy = 1;
  EXPECT_FALSE(WriteReport(link, report, written));

  backend.state->Push({0x03, 0x01, 0x04});
  std::vector<std::uint8_t> buffer(64);
  std::size_t n = 0;
  ASSERT_TRUE(ReadReport(link, buffer, 1000, n));
  EXPECT_EQ(n, 3u);
  EXPECT_EQ(buffer[2], 0x04);
  EXPECT_FALSE(ReadReport(link, buffer, 20, n));  // nothing queued: time-out
  EXPECT_EQ(n, 0u);
  EXPECT_FALSE(link.ReadPending());
}

TEST_F(HidLinkTest, CloseFromAnotherThreadReturnsAWaitingReadAtOnce) {
  ASSERT_TRUE(Open(0x000C, 0x0001));
  auto reader = std::async(std::launch::async, [&] {
    std::vector<std::uint8_t> buffer(64);
    std::size_t n = 0;
    return ReadReport(link, buffer, 60'000, n);
  });
  ASSERT_TRUE(backend.state->WaitForWaitingRead(10s));
  EXPECT_TRUE(link.ReadPending());
  CloseLink(link);
  // Far below the read's own time-out: only the abort can have ended it.
  ASSERT_EQ(reader.wait_for(10s), std::future_status::ready);
  EXPECT_FALSE(reader.get());
  EXPECT_FALSE(link.IsOpen());
  EXPECT_FALSE(link.ReadPending());
  CloseLink(link);  // a second close changes nothing
  EXPECT_FALSE(link.IsOpen());
}

TEST_F(HidLinkTest, ConnectionOutlivesATransferStillInsideIt) {
  ASSERT_TRUE(Open(0x000C, 0x0001));
  backend.state->holdAbortedRead = true;
  auto reader = std::async(std::launch::async, [&] {
    std::vector<std::uint8_t> buffer(64);
    std::size_t n = 0;
    return ReadReport(link, buffer, 60'000, n);
  });
  ASSERT_TRUE(backend.state->WaitForWaitingRead(10s));
  CloseLink(link);
  {
    // The aborted read has not left the connection yet, so the connection must still exist.
    std::unique_lock lock(backend.state->mutex);
    EXPECT_EQ(backend.state->aborts, 1);
    EXPECT_EQ(backend.state->destroyed, 0);
  }
  backend.state->Release();
  EXPECT_FALSE(reader.get());
  std::lock_guard lock(backend.state->mutex);
  EXPECT_EQ(backend.state->destroyed, 1);
}

TEST(HidLinkSimulated, ConsumerReaderSeesTheUsagesOfTheMouse) {
  // What the mouse's synchronisation reader does: its own link on the consumer collection, reads
  // into the link's input table, unpacks, and looks at the first usage of the first item. The node
  // also carries the vendor collection's answers, which must leave the items alone.
  sim::SimBus bus;
  const int id = bus.Plug(sim::SimDeviceKind::kMouse);
  HidLink reader(bus);
  for (const HidInterfaceInfo& c : bus.Collections(id)) {
    if (c.usagePage == kConsumerUsagePage && c.usage == kConsumerUsage) reader.devicePath = c;
  }
  reader.options = {.wantRead = true, .wantWrite = false, .overlapped = true, .shareReadOnly = false};
  ASSERT_TRUE(OpenLink(reader));
  EXPECT_EQ(reader.Attributes().productId, kMouseProductId);
  EXPECT_EQ(reader.Capabilities().usagePage, kConsumerUsagePage);

  std::vector<std::uint8_t> stray(64, 0);
  stray[0] = 0x04;
  ASSERT_TRUE(bus.InjectInputReport(id, stray));
  ASSERT_TRUE(bus.RaiseConsumerReport(id, 0x0402));

  ReportTable table = reader.InputTable();
  ASSERT_EQ(table.report.size(), 3u);
  std::vector<std::uint8_t> buffer(64);  // room for the vendor reports the node also delivers
  std::vector<std::uint16_t> firstUsages;
  std::size_t n = 0;
  while (firstUsages.size() < 3 && ReadReport(reader, buffer, 5000, n)) {
    ASSERT_TRUE(UnpackInputReport(table.items, std::span(buffer).first(n)));
    firstUsages.push_back(table.items[0].isSet ? table.items[0].usageList[0] : 0xFFFF);
    table.items[0].isSet = false;
  }
  // The vendor report (not set), the 0x0402 press, its release.
  EXPECT_EQ(firstUsages, (std::vector<std::uint16_t>{0xFFFF, 0x0402, 0x0000}));
}

TEST_F(HidLinkTest, PresenceFollowsTheBackend) {
  EXPECT_TRUE(IsPresent(backend, "fake:0"));
  EXPECT_FALSE(IsPresent(backend, "fake:1"));
  EXPECT_FALSE(IsPresent(backend, ""));
}

}  // namespace
}  // namespace korva::device
