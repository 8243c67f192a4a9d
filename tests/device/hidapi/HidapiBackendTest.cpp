// The hidapi backend's own code on a stand-in hidapi and a sysfs folder of the test's: enumeration
// from the report descriptors, the connection's reads and writes, and -- through HidLink and the
// command exchange -- the drain of stale answers before each request, and the synchronisation
// reader's long reads.

#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "device/CommandExchange.h"
#include "device/HidDevice.h"
#include "device/KnownDevices.h"
#include "device/SyncReaders.h"
#include "device/WatcherStart.h"
#include "device/hidapi/HidapiBackend.h"
#include "tests/device/Descriptors.h"
#include "tests/device/FakeWatcherHost.h"
#include "tests/device/RowName.h"
#include "tests/device/hidapi/FakeHidapi.h"

namespace korva::device {
namespace {

using test::PrintTo;

using Bytes = std::vector<std::uint8_t>;
using test::FakeHidapi;

constexpr const char* kMousePath = "/dev/hidraw3";

std::filesystem::path MakeTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "korva-sysfs-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "no temporary folder";
  return pattern;
}

// A stand-in hidapi and a sysfs folder holding the descriptors the test writes.
class HidapiBackendTest : public testing::Test {
 protected:
  ~HidapiBackendTest() override {
    std::error_code ec;
    std::filesystem::remove_all(sysfs, ec);
  }

  void WriteDescriptor(const std::string& node, const Bytes& descriptor) {
    const std::filesystem::path folder = sysfs / node / "device";
    std::filesystem::create_directories(folder);
    std::ofstream out(folder / "report_descriptor", std::ios::binary);
    out.write(reinterpret_cast<const char*>(descriptor.data()),
              static_cast<std::streamsize>(descriptor.size()));
  }

  // The mouse's command interface as hidapi 0.13 lists it: an entry per collection item, so the
  // consumer collection, nested in the descriptors of real mice, can come twice.
  FakeHidapi::Node& AddMouse() {
    WriteDescriptor("hidraw3", test::kVendorAndConsumer);
    return hidapi.AddNode(kMousePath, 0x0C45, 0x6721, 1,
                          {{kVendorUsagePage, kVendorUsage},
                           {kConsumerUsagePage, kConsumerUsage},
                           {kConsumerUsagePage, kConsumerUsage}});
  }

  std::unique_ptr<HidConnection> OpenVendor(const std::string& path = kMousePath) {
    return backend.Open({path, 0, 0, kVendorUsagePage, kVendorUsage, -1}, {});
  }

  const std::filesystem::path sysfs = MakeTempFolder();
  FakeHidapi hidapi;  // outlives the backend and every connection
  HidapiBackend backend{hidapi, sysfs.string()};
};

TEST_F(HidapiBackendTest, EnumerationListsEachNodesTopLevelCollectionsOnce) {
  AddMouse();
  // A node whose descriptor cannot be read keeps hidapi's own entries, duplicates removed.
  hidapi.AddNode("/dev/hidraw5", 0x046D, 0xC077, 0, {{0x0001, 0x0002}, {0x0001, 0x0001}, {0x0001, 0x0002}});
  std::vector<HidInterfaceInfo> found;
  ASSERT_TRUE(backend.Enumerate(found));
  struct Expected {
    const char* path;
    std::uint16_t productId;
    std::uint16_t usagePage;
    std::uint16_t usage;
    int interfaceNumber;
  };
  const std::vector<Expected> expected = {{kMousePath, 0x6721, kVendorUsagePage, kVendorUsage, 1},
                                          {kMousePath, 0x6721, kConsumerUsagePage, kConsumerUsage, 1},
                                          {"/dev/hidraw5", 0xC077, 0x0001, 0x0002, 0},
                                          {"/dev/hidraw5", 0xC077, 0x0001, 0x0001, 0}};
  ASSERT_EQ(found.size(), expected.size());
  for (std::size_t i = 0; i < found.size(); ++i) {
    SCOPED_TRACE("entry " + std::to_string(i));
    EXPECT_EQ(found[i].path, expected[i].path);
    EXPECT_EQ(found[i].productId, expected[i].productId);
    EXPECT_EQ(found[i].usagePage, expected[i].usagePage);
    EXPECT_EQ(found[i].usage, expected[i].usage);
    EXPECT_EQ(found[i].interfaceNumber, expected[i].interfaceNumber);
  }
  const auto lock = hidapi.Lock();
  EXPECT_EQ(hidapi.unfreedEnumerations, 0);
}

TEST_F(HidapiBackendTest, OpenLoadsTheDescriptorFromSysfsAndCloseReleasesTheHandle) {
  AddMouse();
  {
    const auto connection = OpenVendor();
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(connection->ReportDescriptor(), test::kVendorAndConsumer);
    EXPECT_EQ(connection->Info().productId, 0x6721);
    EXPECT_EQ(connection->Info().usagePage, kVendorUsagePage);
    const auto lock = hidapi.Lock();
    EXPECT_EQ(hidapi.openHandles, 1);
  }
  EXPECT_EQ(OpenVendor("/dev/hidraw9"), nullptr);
  const auto lock = hidapi.Lock();
  EXPECT_EQ(hidapi.openHandles, 0);
}

// --- one read or write on the connection ---

struct TransferRow {
  const char* name;
  Bytes descriptor;
  std::vector<Bytes> queued;  // what the stand-in's reads return
  int failReads;
  int timeoutMs;
  HidIoStatus status;
  Bytes read;                     // what Read hands back
  std::vector<int> readTimeouts;  // what hid_read_timeout was given
};

class HidapiRead : public HidapiBackendTest, public testing::WithParamInterface<TransferRow> {};

TEST_P(HidapiRead, HandsBackOneReport) {
  const TransferRow& row = GetParam();
  WriteDescriptor("hidraw3", row.descriptor);
  FakeHidapi::Node& node = hidapi.AddNode(kMousePath, 0x0C45, 0x6721, 1, {});
  {
    const auto lock = hidapi.Lock();
    node.inputs.assign(row.queued.begin(), row.queued.end());
    node.failReads = row.failReads;
  }
  const auto connection = backend.Open({kMousePath, 0, 0, 0, 0, -1}, {});
  ASSERT_NE(connection, nullptr);
  std::array<std::uint8_t, 64> buffer{};
  std::size_t n = 99;
  EXPECT_EQ(connection->Read(buffer, row.timeoutMs, n), row.status);
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n)), row.read);
  const auto lock = hidapi.Lock();
  EXPECT_EQ(node.readTimeouts, row.readTimeouts);
}

const Bytes kVendorReport = {0x04, 0x00, 0x00, 0x05, 0x01, 0x00, 0x00, 0x00, 0x03};

INSTANTIATE_TEST_SUITE_P(
    Rows, HidapiRead,
    testing::Values(
        // hid_read_timeout with 0 polls and takes what is queued: the drain before each request
        // depends on it.
        TransferRow{"ZeroMsTakesAQueuedReport",
                    test::kVendorAndConsumer,
                    {kVendorReport},
                    0,
                    0,
                    HidIoStatus::kOk,
                    kVendorReport,
                    {0}},
        TransferRow{
            "ZeroMsOnAnEmptyQueue", test::kVendorAndConsumer, {}, 0, 0, HidIoStatus::kTimeout, {}, {0}},
        // A wait is read in slices, so that an abort is seen within one.
        TransferRow{"WaitIsSliced",
                    test::kVendorAndConsumer,
                    {kVendorReport},
                    0,
                    300,
                    HidIoStatus::kOk,
                    kVendorReport,
                    {50}},
        TransferRow{
            "FailedRead", test::kVendorAndConsumer, {kVendorReport}, 1, 0, HidIoStatus::kFailed, {}, {0}},
        // hidraw leaves out the report id of a device without numbered reports: a 0 goes in front.
        TransferRow{"UnnumberedReportsGetId0",
                    test::kBootKeyboard,
                    {{0x02, 0x00, 0x04, 0, 0, 0, 0, 0}},
                    0,
                    0,
                    HidIoStatus::kOk,
                    {0x00, 0x02, 0x00, 0x04, 0, 0, 0, 0, 0},
                    {0}}),
    [](const testing::TestParamInfo<TransferRow>& info) { return std::string(info.param.name); });

TEST_F(HidapiBackendTest, WritePassesTheReportAsItIsAndAbortEndsTransfers) {
  FakeHidapi::Node& node = AddMouse();
  const auto connection = OpenVendor();
  ASSERT_NE(connection, nullptr);
  std::size_t written = 0;
  EXPECT_EQ(connection->Write(kVendorReport, 1000, written), HidIoStatus::kOk);
  EXPECT_EQ(written, kVendorReport.size());

  connection->Abort();
  std::array<std::uint8_t, 64> buffer{};
  std::size_t n = 0;
  EXPECT_EQ(connection->Read(buffer, 300, n), HidIoStatus::kAborted);
  EXPECT_EQ(connection->Write(kVendorReport, 1000, written), HidIoStatus::kAborted);
  const auto lock = hidapi.Lock();
  EXPECT_EQ(node.writes, std::vector<Bytes>{kVendorReport});
  EXPECT_TRUE(node.readTimeouts.empty()) << "an aborted connection reads nothing";
}

// --- the command exchange over the hidapi backend ---

// The device's answer: the request echoed with status 0x00 and, from byte 8, the byte values
// address + i, so each answer tells which request it belongs to.
Bytes AnswerTo(const Bytes& request) {
  Bytes answer = request;
  answer[7] = 0x00;
  const int address = request[5] | (request[6] << 8);
  for (std::size_t i = 8; i < answer.size(); ++i) answer[i] = static_cast<std::uint8_t>(address + i - 8);
  return answer;
}

TEST_F(HidapiBackendTest, ReportsLeftFromEarlierRequestsAreDrainedBeforeEachRequest) {
  // What a late device left behind: the refusal of a request that was retried, then the answer to
  // the retry. Read as answers, they made the next exchange give -102 and every later one the data
  // of the request before it.
  FakeHidapi::Node& node = AddMouse();
  Bytes refusal = AnswerTo(Bytes(64, 0));
  refusal[0] = 0x04;
  refusal[7] = 0xFF;
  const CommandReport earlier = BuildRequest(CommandCode::kReadSettings, 56, 192);
  const Bytes late = AnswerTo(Bytes(earlier.bytes.begin(), earlier.bytes.end()));
  {
    const auto lock = hidapi.Lock();
    node.inputs = {refusal, late};
    node.responder = [](FakeHidapi::Node& n, const Bytes& request) { n.inputs.push_back(AnswerTo(request)); };
  }

  HidDevice device(backend);
  ASSERT_TRUE(EnumerateHidPaths(device.link));
  for (const HidInterfaceInfo& c : device.link.pathList) {
    if (c.usagePage == kVendorUsagePage && c.usage == kVendorUsage) device.link.devicePath = c;
  }
  ASSERT_TRUE(OpenLink(device.link));
  device.connected = true;

  for (const std::uint16_t address : {64, 128, 256}) {
    SCOPED_TRACE("address " + std::to_string(address));
    std::array<std::uint8_t, 56> out{};
    EXPECT_EQ(ReadSettings(device, address, out), kResultOk);
    EXPECT_EQ(out[0], static_cast<std::uint8_t>(address));
    EXPECT_EQ(out[55], static_cast<std::uint8_t>(address + 55));
  }
  const auto lock = hidapi.Lock();
  EXPECT_EQ(node.writes.size(), 3u);
  EXPECT_TRUE(node.inputs.empty());
}

// --- the synchronisation reader over the hidapi backend ---

// The reader waits for a consumer report for seconds at a time; hidapi cannot be woken, so the
// backend reads in slices that look for the stop. A mouse on a node of the test's own folder, so the
// reader's presence test sees it come and go.
class HidapiSyncReader : public HidapiBackendTest {
 protected:
  using Type = test::HostEvent::Type;

  HidapiSyncReader() {
    std::filesystem::create_directories(nodePath.parent_path());
    std::ofstream{nodePath};
    WriteDescriptor("hidraw5", test::kVendorAndConsumer);
    node = &hidapi.AddNode(nodePath.string(), kKorvaVendorId, kMouseProductId, 1,
                           {{kVendorUsagePage, kVendorUsage}, {kConsumerUsagePage, kConsumerUsage}});
  }
  DeviceSet Devices() { return {keyboard, mouse, mousepad, headset}; }
  // Every slice a read was cut into, in milliseconds.
  std::vector<int> ReadSlices() {
    const auto lock = hidapi.Lock();
    return node->readTimeouts;
  }

  const std::filesystem::path nodePath = sysfs / "dev" / "hidraw5";
  FakeHidapi::Node* node = nullptr;
  HidDevice keyboard{backend};
  HidDevice mouse{backend};
  HidDevice mousepad{backend};
  HidDevice headset{backend};
  test::FakeWatcherHost host{Devices()};
  WatcherStart start{Devices(), host, {}, {}, FirstSearches{0}};
};

TEST_F(HidapiSyncReader, AReportReachesTheHostAndARemovalEndsTheListening) {
  SyncReader reader(ReaderKind::kMouse, start);
  ASSERT_TRUE(reader.Search());
  const StopEvent stop;
  hidapi.Push(*node, {0x03, 0x01, 0x04});
  ASSERT_TRUE(reader.ListenOnce(stop));
  EXPECT_EQ(host.EventsOf(Type::kSendBegin).size(), 1u);

  // Pulled out: the node goes and the waiting read fails.
  std::filesystem::remove(nodePath);
  hidapi.FailNextRead(*node);
  EXPECT_FALSE(reader.ListenOnce(stop));
  for (const int slice : ReadSlices()) EXPECT_LE(slice, 50);
}

TEST_F(HidapiSyncReader, TheStopEndsAReadThatWaitsForAQuietDevice) {
  StopEvent stop;
  auto thread = std::async(std::launch::async, [&] { MouseSyncReaderThread(start, stop); });
  hidapi.Push(*node, {0x03, 0x03, 0x04});  // a click: the reader is listening once it is seen
  ASSERT_TRUE(host.WaitFor(Type::kClick));
  stop.Set();
  if (thread.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    ADD_FAILURE() << "the reader did not end within the shutdown bound";
    std::abort();
  }
  const std::vector<int> slices = ReadSlices();
  ASSERT_FALSE(slices.empty());
  for (const int slice : slices) EXPECT_LE(slice, 50) << "a read longer than a slice would hold the stop";
}

// The backend's change signal watches the node folder: a hidraw node that comes, goes or gets its
// permissions from udev is a change; other nodes of the folder are not.
TEST(HidrawNodeWatchTest, SignalsTheComingAndGoingOfHidrawNodesOnly) {
  const std::filesystem::path nodes = MakeTempFolder();
  FakeHidapi hidapi;
  HidapiBackend backend{hidapi, MakeTempFolder().string(), nodes.string()};
  const std::unique_ptr<HidChangeSignal> signal = backend.WatchChanges();
  ASSERT_NE(signal, nullptr);
  const auto readable = [&] {
    pollfd polled{signal->Fd(), POLLIN, 0};
    return ::poll(&polled, 1, 0) == 1;
  };
  struct Step {
    const char* what;
    std::function<void()> act;
    bool change;
  };
  const Step steps[] = {
      {"a hidraw node comes", [&] { std::ofstream(nodes / "hidraw3"); }, true},
      {"another node comes", [&] { std::ofstream(nodes / "ttyS4"); }, false},
      {"udev sets its permissions",
       [&] { std::filesystem::permissions(nodes / "hidraw3", std::filesystem::perms::owner_read); }, true},
      {"the hidraw node goes", [&] { std::filesystem::remove(nodes / "hidraw3"); }, true},
  };
  for (const Step& step : steps) {
    step.act();
    EXPECT_TRUE(readable()) << step.what << ": the waiter wakes";
    EXPECT_EQ(signal->Take(), step.change) << step.what;
    EXPECT_FALSE(readable()) << step.what << ": taken";
  }
  EXPECT_EQ(HidapiBackend(hidapi, "", (nodes / "missing").string()).WatchChanges(), nullptr)
      << "a folder that cannot be watched gives no signal";
}

}  // namespace
}  // namespace korva::device
