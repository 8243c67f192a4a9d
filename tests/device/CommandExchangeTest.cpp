// The command exchange against the simulated devices, whose firmware parses the frames on its own:
// the bytes on the wire (from the simulator's request log), chunking and bank addressing, retries,
// refusals, faults, stale answers and concurrent senders; and against a scripted connection, the
// time-outs the exchange gives each write and read.

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <future>
#include <numeric>
#include <stop_token>
#include <thread>
#include <vector>

#include "device/CommandExchange.h"
#include "device/KnownDevices.h"
#include "sim/SimBus.h"
#include "sim/SimFirmware.h"
#include "tests/device/Descriptors.h"
#include "tests/device/FakeHid.h"
#include "tests/device/RowName.h"

namespace korva::device {
namespace {

using test::PrintTo;

using namespace std::chrono_literals;
using sim::SimDeviceKind;
using Bytes = std::vector<std::uint8_t>;

Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
  return bytes;
}

std::uint16_t AddressOf(const sim::SimRequest& r) {
  return static_cast<std::uint16_t>(r.bytes[5] | (r.bytes[6] << 8));
}

// One simulated device with its vendor collection opened the way the watchers open it.
class ExchangeTest : public testing::Test {
 protected:
  void Connect(SimDeviceKind kind) {
    id = bus.Plug(kind);
    for (const HidInterfaceInfo& c : bus.Collections(id)) {
      if (c.usagePage == kVendorUsagePage && c.usage == kVendorUsage) device.link.devicePath = c;
    }
    device.link.options = {.wantRead = true, .wantWrite = true, .overlapped = true, .shareReadOnly = false};
    ASSERT_TRUE(OpenLink(device.link));
    device.connected = true;
  }
  void SetUp() override { Connect(SimDeviceKind::kMouse); }

  std::vector<sim::SimRequest> Requests() const { return bus.Requests(id); }

  sim::SimBus bus;
  HidDevice device{bus};
  int id = 0;
};

// --- single frames ---

struct FrameRow {
  const char* name;
  std::function<int(HidDevice&)> run;
  std::uint8_t command;
  std::uint8_t length;
  std::uint16_t address;
  std::uint8_t checksumLow;
  std::uint8_t checksumHigh;
};

class SingleFrame : public ExchangeTest, public testing::WithParamInterface<FrameRow> {};

TEST_P(SingleFrame, SendsOneRequestWithItsFieldsAndChecksum) {
  const FrameRow& row = GetParam();
  EXPECT_EQ(row.run(device), kResultOk);
  const auto requests = Requests();
  ASSERT_EQ(requests.size(), 1u);
  const auto& b = requests[0].bytes;
  EXPECT_EQ(b[0], 0x04);
  EXPECT_EQ(b[1], row.checksumLow);
  EXPECT_EQ(b[2], row.checksumHigh);
  EXPECT_EQ(b[3], row.command);
  EXPECT_EQ(b[4], row.length);
  EXPECT_EQ(AddressOf(requests[0]), row.address);
  EXPECT_EQ(b[7], 0x00);
  EXPECT_FALSE(device.busy);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SingleFrame,
    testing::Values(
        FrameRow{"BeginTransfer", [](HidDevice& d) { return BeginTransfer(d); }, 0x01, 0, 0, 0x01, 0x00},
        FrameRow{"EndTransfer", [](HidDevice& d) { return EndTransfer(d); }, 0x02, 0, 0, 0x02, 0x00},
        FrameRow{"ReadInfo",
                 [](HidDevice& d) {
                   std::array<std::uint8_t, kInfoSize> info{};
                   return ReadInfo(d, info);
                 },
                 0x03, 0x21, 0, 0x24, 0x00},
        FrameRow{"ReadSettingsOneByte",
                 [](HidDevice& d) {
                   std::array<std::uint8_t, 1> active{};
                   return ReadSettings(d, 0, active);
                 },
                 0x05, 1, 0, 0x06, 0x00},
        // 0x06 + 2 + 0x42 (address 66) + 3 + 4 = 0x51.
        FrameRow{"WriteSettings",
                 [](HidDevice& d) {
                   return WriteSettings(d, 66, Bytes{3, 4});
                 },
                 0x06, 2, 66, 0x51, 0x00},
        FrameRow{"RestoreDefaults", [](HidDevice& d) { return RestoreDefaults(d); }, 0x0D, 0, 0, 0x0D, 0x00}),
    [](const testing::TestParamInfo<FrameRow>& info) { return std::string(info.param.name); });

TEST_F(ExchangeTest, ReadInfoCopiesAnswerBytes8To40) {
  const Bytes info = Pattern(kInfoSize, 0x30);
  bus.Firmware(id).SetInfo(info);
  std::array<std::uint8_t, kInfoSize> out{};
  ASSERT_EQ(ReadInfo(device, out), kResultOk);
  EXPECT_TRUE(std::equal(out.begin(), out.end(), info.begin()));
}

TEST_F(ExchangeTest, OneByteReadSettingsReturnsOnlyByte8) {
  bus.Firmware(id).SetActiveProfile(3);
  std::array<std::uint8_t, 2> out{0xEE, 0xEE};
  ASSERT_EQ(ReadSettings(device, 0, std::span(out).first(1)), kResultOk);
  EXPECT_EQ(out[0], 3);
  EXPECT_EQ(out[1], 0xEE);

  std::array<std::uint8_t, 56> record{};
  const Bytes seeded = Pattern(64, 0x11);
  bus.Firmware(id).SetRecord(2, seeded);
  ASSERT_EQ(ReadSettings(device, 2 * 64, record), kResultOk);
  EXPECT_TRUE(std::equal(record.begin(), record.end(), seeded.begin()));
}

TEST_F(ExchangeTest, WriteSettingsClearsSyncLightingEvenWhenNotSent) {
  device.syncLighting = true;
  ASSERT_EQ(WriteSettings(device, 64 + 2, Bytes{9}), kResultOk);
  EXPECT_FALSE(device.syncLighting);
  EXPECT_EQ(bus.Firmware(id).Record(1)[2], 9);

  device.syncLighting = true;
  device.connected = false;
  EXPECT_EQ(WriteSettings(device, 0, Bytes{1}), kResultNoAnswer);
  EXPECT_FALSE(device.syncLighting);
}

TEST_F(ExchangeTest, EndTransferClosesTheBracket) {
  ASSERT_EQ(BeginTransfer(device), kResultOk);
  EXPECT_TRUE(bus.Firmware(id).TransferOpen());
  ASSERT_EQ(EndTransfer(device), kResultOk);
  EXPECT_FALSE(bus.Firmware(id).TransferOpen());
}

// --- chunked transfers ---

struct ChunkRow {
  const char* name;
  std::size_t total;
  std::vector<std::size_t> lengths;
};

class Chunking : public ExchangeTest, public testing::WithParamInterface<ChunkRow> {};

TEST_P(Chunking, SplitsIntoChunksOf56AtTheirOffsets) {
  const ChunkRow& row = GetParam();
  const Bytes data = Pattern(row.total, 0x40);
  ASSERT_EQ(WriteMacroBlock(device, data), kResultOk);
  const auto requests = Requests();
  ASSERT_EQ(requests.size(), row.lengths.size());
  std::size_t offset = 0;
  for (std::size_t i = 0; i < requests.size(); ++i) {
    const auto& b = requests[i].bytes;
    SCOPED_TRACE("chunk " + std::to_string(i));
    EXPECT_EQ(b[3], 0x15);
    EXPECT_EQ(b[4], row.lengths[i]);
    EXPECT_EQ(AddressOf(requests[i]), offset);
    EXPECT_TRUE(std::equal(b.begin() + 8, b.begin() + 8 + static_cast<std::ptrdiff_t>(row.lengths[i]),
                           data.begin() + static_cast<std::ptrdiff_t>(offset)));
    EXPECT_TRUE(std::all_of(b.begin() + 8 + static_cast<std::ptrdiff_t>(row.lengths[i]), b.end(),
                            [](std::uint8_t v) { return v == 0; }));
    offset += row.lengths[i];
  }
  const auto memory = bus.Firmware(id).MacroMemory();
  EXPECT_TRUE(std::equal(data.begin(), data.end(), memory.begin()));
}

INSTANTIATE_TEST_SUITE_P(Rows, Chunking,
                         testing::Values(ChunkRow{"Empty", 0, {}}, ChunkRow{"Exactly56", 56, {56}},
                                         ChunkRow{"Just57", 57, {56, 1}},
                                         ChunkRow{"Bytes512", 512, {56, 56, 56, 56, 56, 56, 56, 56, 56, 8}}),
                         [](const testing::TestParamInfo<ChunkRow>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(ExchangeTest, ReadBankTwoUsesTheStrideAndStoresAtTheChunkOffsets) {
  const Bytes bank = Pattern(512, 0x21);
  bus.Firmware(id).SetBank(2, bank);
  Bytes out(512);
  ASSERT_EQ(ReadBank(device, 2, out), kResultOk);
  EXPECT_EQ(out, bank);
  const auto requests = Requests();
  ASSERT_EQ(requests.size(), 10u);
  for (std::size_t i = 0; i < requests.size(); ++i) {
    EXPECT_EQ(requests[i].bytes[3], 0x08);
    EXPECT_EQ(AddressOf(requests[i]), 252 + 56 * i) << "chunk " << i;  // 252, 308, ... 756
  }
  EXPECT_EQ(requests.back().bytes[4], 8);
}

TEST_F(ExchangeTest, WriteBankThenReadDefaultBlock) {
  const Bytes bank = Pattern(512, 0x77);
  ASSERT_EQ(WriteBank(device, 4, bank), kResultOk);
  const auto stored = bus.Firmware(id).Bank(4);
  EXPECT_TRUE(std::equal(bank.begin(), bank.end(), stored.begin()));
  EXPECT_EQ(AddressOf(Requests().front()), 4 * 126);

  const Bytes defaults = Pattern(512, 0x05);
  bus.Firmware(id).SetDefaultBlock(defaults);
  Bytes out(512);
  ASSERT_EQ(ReadDefaultBlock(device, out), kResultOk);
  EXPECT_EQ(out, defaults);
}

TEST_F(ExchangeTest, BlockCommandsMoveTheDeviceBlockSize) {
  device.blockSize = 378;  // as the keyboard read sets it
  Bytes out(512, 0xEE);
  ASSERT_EQ(ReadDefaultBlock(device, out), kResultOk);
  const auto requests = Requests();
  ASSERT_EQ(requests.size(), 7u);  // 6 x 56 + 42
  EXPECT_EQ(requests.back().bytes[4], 42);
  EXPECT_EQ(out[377], bus.Firmware(id).DefaultBlock()[377]);
  EXPECT_EQ(out[378], 0xEE);  // nothing past the block size is touched
}

TEST_F(ExchangeTest, ArgumentsOutOfRangeSendNothing) {
  Bytes block(512);
  Bytes small(100);
  std::array<std::uint8_t, 57> tooLong{};
  struct Row {
    const char* name;
    std::function<int()> run;
    int result;
  };
  const Row rows[] = {
      {"ReadBank5", [&] { return ReadBank(device, 5, block); }, kResultBadBank},
      {"WriteBank5", [&] { return WriteBank(device, 5, block); }, kResultBadBank},
      {"ReadBankNegative", [&] { return ReadBank(device, -1, block); }, kResultBadBank},
      {"ReadBankBufferTooSmall", [&] { return ReadBank(device, 0, small); }, kResultNoAnswer},
      {"WriteBankDataTooShort", [&] { return WriteBank(device, 0, small); }, kResultNoAnswer},
      {"ReadDefaultBlockBufferTooSmall", [&] { return ReadDefaultBlock(device, small); }, kResultNoAnswer},
      {"ReadSettingsOver56", [&] { return ReadSettings(device, 0, tooLong); }, kResultNoAnswer},
      {"WriteSettingsOver56", [&] { return WriteSettings(device, 0, tooLong); }, kResultNoAnswer},
      {"StreamPastAddressFFFF", [&] { return StreamLighting(device, Bytes(0x10000 + 57)); }, kResultNoAnswer},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.run(), row.result) << row.name;
    EXPECT_TRUE(Requests().empty()) << row.name;
    EXPECT_FALSE(device.busy) << row.name;
  }
}

// --- retries, refusals, faults ---

TEST_F(ExchangeTest, SilentDeviceIsWrittenFourTimesThenGivesZero) {
  bus.DropAnswers(id, 4);
  EXPECT_EQ(BeginTransfer(device), kResultNoAnswer);
  const auto requests = Requests();
  ASSERT_EQ(requests.size(), 4u);
  for (const auto& r : requests) EXPECT_EQ(r.bytes, requests[0].bytes);
  EXPECT_FALSE(device.busy);
}

TEST_F(ExchangeTest, AnswerToTheFourthAttemptCounts) {
  bus.DropAnswers(id, 3);
  std::array<std::uint8_t, kInfoSize> info{};
  EXPECT_EQ(ReadInfo(device, info), kResultOk);
  EXPECT_EQ(Requests().size(), 4u);
  EXPECT_EQ(info, bus.Firmware(id).Info());
}

struct RefusalRow {
  const char* name;
  std::uint8_t status;
  int result;
};

class Refusal : public ExchangeTest, public testing::WithParamInterface<RefusalRow> {};

TEST_P(Refusal, MapsTheStatusAndStopsTheChunkedTransfer) {
  const RefusalRow& row = GetParam();
  bus.AnswerStatus(id, row.status, 1);
  Bytes out(512);
  EXPECT_EQ(ReadBank(device, 1, out), row.result);
  EXPECT_EQ(Requests().size(), 1u);  // no retry, no further chunk
  EXPECT_FALSE(device.busy);
  bus.AnswerStatus(id, row.status, 1);
  EXPECT_EQ(BeginTransfer(device), row.result);
}

INSTANTIATE_TEST_SUITE_P(Rows, Refusal,
                         testing::Values(RefusalRow{"StatusFF", 0xFF, kResultRefusedFF},
                                         RefusalRow{"StatusFE", 0xFE, kResultRefusedFE}),
                         [](const testing::TestParamInfo<RefusalRow>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(ExchangeTest, RefusalHalfWayStopsTheTransferThere) {
  // With a block size the device does not have, the chunk at offset 504 reaches past byte 512 of
  // bank 1 and the device refuses it: the transfer ends there with the first nine chunks stored.
  device.blockSize = 600;
  const Bytes bank = Pattern(512, 0x33);
  bus.Firmware(id).SetBank(1, bank);
  Bytes out(600);
  EXPECT_EQ(ReadBank(device, 1, out), kResultRefusedFF);
  EXPECT_EQ(Requests().size(), 10u);
  EXPECT_TRUE(std::equal(bank.begin(), bank.begin() + 504, out.begin()));
}

TEST_F(ExchangeTest, MousepadRefusesBanksWithFE) {
  sim::SimBus padBus;
  HidDevice pad(padBus);
  const int padId = padBus.Plug(SimDeviceKind::kMousepad);
  pad.link.devicePath = padBus.Collections(padId).front();
  pad.link.options = {.wantRead = true, .wantWrite = true, .overlapped = true, .shareReadOnly = false};
  ASSERT_TRUE(OpenLink(pad.link));
  pad.connected = true;
  Bytes out(512);
  EXPECT_EQ(ReadBank(pad, 0, out), kResultRefusedFE);
  EXPECT_EQ(padBus.Requests(padId).size(), 1u);
}

TEST_F(ExchangeTest, RestoreDefaultsMakesOneAttemptAndIgnoresTheStatus) {
  bus.DropAnswers(id, 1);
  EXPECT_EQ(RestoreDefaults(device), kResultNoAnswer);
  EXPECT_EQ(Requests().size(), 1u);
  EXPECT_EQ(bus.Firmware(id).RestoreCount(), 1);  // acted on, only the answer was lost

  bus.AnswerStatus(id, 0xFF, 1);
  EXPECT_EQ(RestoreDefaults(device), kResultOk);
  device.busy = true;  // not its flag: left as it is
  EXPECT_EQ(RestoreDefaults(device), kResultOk);
  EXPECT_TRUE(device.busy);
}

TEST_F(ExchangeTest, NotConnectedSendsNothing) {
  device.connected = false;
  EXPECT_EQ(BeginTransfer(device), kResultNoAnswer);
  EXPECT_EQ(RestoreDefaults(device), kResultNoAnswer);
  Bytes out(512);
  EXPECT_EQ(ReadBank(device, 0, out), kResultNoAnswer);
  EXPECT_TRUE(Requests().empty());
  EXPECT_FALSE(device.busy);
}

TEST_F(ExchangeTest, WriteFailureIsMinusOneWithoutRetry) {
  bus.FailWrites(id, 1);
  EXPECT_EQ(BeginTransfer(device), kResultWriteFailed);
  EXPECT_TRUE(Requests().empty());
  bus.FailWrites(id, 1);
  EXPECT_EQ(RestoreDefaults(device), kResultWriteFailed);
  EXPECT_EQ(bus.Firmware(id).RestoreCount(), 0);
  EXPECT_EQ(BeginTransfer(device), kResultOk);  // the next one goes through again
}

TEST_F(ExchangeTest, DeviceUnpluggedMidTransfer) {
  bus.UnplugAfterRequests(id, 3);
  Bytes out(512);
  // The third chunk reaches the device, which vanishes; the retry's write then fails.
  EXPECT_EQ(ReadBank(device, 0, out), kResultWriteFailed);
  EXPECT_EQ(Requests().size(), 3u);
  EXPECT_FALSE(IsPresent(bus, device.link.devicePath.path));
  EXPECT_FALSE(device.busy);
}

TEST_F(ExchangeTest, CloseFromAnotherThreadEndsAWaitingExchange) {
  bus.DropAnswers(id, 1000);
  auto exchange = std::async(std::launch::async, [&] { return BeginTransfer(device); });
  ASSERT_TRUE(bus.WaitForRequests(id, 1, 10s));
  CloseLink(device.link);
  ASSERT_EQ(exchange.wait_for(10s), std::future_status::ready);
  // The aborted read ends the attempt; the retry finds the link closed. Left to time out, it would
  // have written 4 times and given 0.
  EXPECT_EQ(exchange.get(), kResultWriteFailed);
  EXPECT_EQ(Requests().size(), 1u);
}

// --- stray reports ---

struct StrayRow {
  const char* name;
  Bytes report;
};

class StrayReport : public ExchangeTest, public testing::WithParamInterface<StrayRow> {};

TEST_P(StrayReport, IsSkippedAndTheAnswerStillTaken) {
  bus.InjectBeforeNextAnswer(id, GetParam().report);
  const Bytes info = Pattern(kInfoSize, 0x90);
  bus.Firmware(id).SetInfo(info);
  std::array<std::uint8_t, kInfoSize> out{};
  ASSERT_EQ(ReadInfo(device, out), kResultOk);
  EXPECT_TRUE(std::equal(out.begin(), out.end(), info.begin()));
  EXPECT_EQ(Requests().size(), 1u);
}

Bytes Full(std::uint8_t id, std::uint8_t fill) {
  Bytes b(64, fill);
  b[0] = id;
  return b;
}

INSTANTIATE_TEST_SUITE_P(Rows, StrayReport,
                         testing::Values(StrayRow{"ConsumerReport", {0x03, 0x01, 0x04}},
                                         StrayRow{"OtherReportIdFull64", Full(0x05, 0xFF)},
                                         StrayRow{"ShortReportWithId4", {0x04, 0x00, 0x00, 0x01, 0x21}}),
                         [](const testing::TestParamInfo<StrayRow>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(ExchangeTest, ConsumerReportsOnTheSharedNodeDoNotDisturbExchanges) {
  // The user presses the profile button while the host reads: the consumer reports arrive on the
  // same node as the answers.
  ASSERT_TRUE(bus.RaiseConsumerReport(id, 0x0401));
  std::array<std::uint8_t, kInfoSize> info{};
  ASSERT_EQ(ReadInfo(device, info), kResultOk);
  EXPECT_EQ(info, bus.Firmware(id).Info());
}

TEST_F(ExchangeTest, LateAnswerOfAnEarlierExchangeIsNotTakenForTheNextOne) {
  // An answer that came after its exchange gave up is still queued when the next request goes out.
  bus.SetReportInterval(id, std::chrono::microseconds(0));
  Bytes late = Full(0x04, 0xEE);
  late[7] = 0x00;
  ASSERT_TRUE(bus.InjectInputReport(id, late));
  const Bytes info = Pattern(kInfoSize, 0x30);
  bus.Firmware(id).SetInfo(info);
  std::array<std::uint8_t, kInfoSize> out{};
  ASSERT_EQ(ReadInfo(device, out), kResultOk);
  EXPECT_TRUE(std::equal(out.begin(), out.end(), info.begin()));
}

// Whatever is still queued when a request goes out belongs to an earlier one; taken for the new
// request's answer it would shift every later exchange by one. Each row leaves such a report queued.
struct StaleRow {
  const char* name;
  std::function<int(HidDevice&)> run;
  std::uint8_t staleStatus;  // status byte of the report left queued
  int answersLost;           // requests of the run that the device acts on without answering
  int result;
};

class StaleAnswer : public ExchangeTest, public testing::WithParamInterface<StaleRow> {};

TEST_P(StaleAnswer, IsDrainedBeforeTheRequestGoesOut) {
  const StaleRow& row = GetParam();
  bus.SetReportInterval(id, std::chrono::microseconds(0));
  Bytes stale = Full(0x04, 0xEE);
  stale[7] = row.staleStatus;
  ASSERT_TRUE(bus.InjectInputReport(id, stale));
  bus.DropAnswers(id, row.answersLost);
  EXPECT_EQ(row.run(device), row.result);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StaleAnswer,
    testing::Values(
        // Taken, the refusal would give -102 for a request the device accepted.
        StaleRow{"RefusalBeforeAnExchange", [](HidDevice& d) { return BeginTransfer(d); }, 0xFF, 0,
                 kResultOk},
        // Restore defaults examines no status, only whether an answer came: taken, the stale report
        // would pass for the answer that was lost.
        StaleRow{"AnswerBeforeRestoreDefaults", [](HidDevice& d) { return RestoreDefaults(d); }, 0x00, 1,
                 kResultNoAnswer}),
    [](const testing::TestParamInfo<StaleRow>& info) { return std::string(info.param.name); });

// --- the write time-out ---

TEST_F(ExchangeTest, CloseEndsAWriteHeldByAStalledDevice) {
  bus.StallWrites(id, true);
  auto exchange = std::async(std::launch::async, [&] { return BeginTransfer(device); });
  ASSERT_TRUE(bus.WaitForStalledWrite(id, 10s));
  CloseLink(device.link);
  // Far below the write's own time-out: only the abort can have ended it.
  ASSERT_EQ(exchange.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(exchange.get(), kResultWriteFailed);
  EXPECT_TRUE(Requests().empty());
}

// --- the lighting stream and the busy flag ---

TEST_F(ExchangeTest, StreamDisabledSendsNothingAndSucceeds) {
  device.streamEnabled = false;
  EXPECT_EQ(StreamLighting(device, Pattern(60, 1)), kResultOk);
  EXPECT_TRUE(Requests().empty());

  device.streamEnabled = true;
  device.busy = true;  // the stream leaves the flag alone
  EXPECT_EQ(StreamLighting(device, Pattern(60, 1)), kResultOk);
  EXPECT_TRUE(device.busy);
  const auto requests = Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].bytes[3], 0x12);
  const auto frame = bus.Firmware(id).LightingFrame();
  ASSERT_GE(frame.size(), 60u);
  EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 60), Pattern(60, 1));
}

TEST_F(ExchangeTest, EachAnswerReachesItsOwnRequestWhileTheStreamRuns) {
  // The stream sends from its own thread as the preview does; a settings read from another thread
  // must still get its own answer (the lock spans each whole exchange).
  Bytes record = Pattern(64, 0x5A);
  bus.Firmware(id).SetRecord(1, record);
  // Stopped and joined on every way out, a failed ASSERT included.
  std::jthread stream([&](std::stop_token stop) {
    const Bytes frame = Pattern(60, 3);
    while (!stop.stop_requested()) StreamLighting(device, frame);
  });
  for (int i = 0; i < 40; ++i) {
    std::array<std::uint8_t, 56> out{};
    ASSERT_EQ(ReadSettings(device, 64, out), kResultOk);
    ASSERT_TRUE(std::equal(out.begin(), out.end(), record.begin())) << "read " << i;
  }
}

// --- through the backend seam: the time-outs each transfer is given ---

// The device's answer to `request`: the request echoed with status 0x00.
Bytes Answer(const Bytes& request) {
  Bytes answer = request;
  answer[7] = 0x00;
  return answer;
}

// A device on a scripted connection whose reads never wait (an empty queue times out at once).
class ScriptedExchangeTest : public testing::Test {
 protected:
  ScriptedExchangeTest() {
    backend.collections = {{"fake:0", 0x0C45, 0x6721, kVendorUsagePage, kVendorUsage, 1}};
    backend.descriptor = test::kVendorAndConsumer;
    backend.state->timeOutAtOnce = true;
  }
  void SetUp() override {
    device.link.devicePath = backend.collections[0];
    ASSERT_TRUE(OpenLink(device.link));
    device.connected = true;
  }

  test::FakeBackend backend;
  HidDevice device{backend};
};

struct WindowRow {
  const char* name;
  std::function<int(HidDevice&)> run;
  std::size_t answeredWrite;  // the write (1, 2, ...) whose request the device answers; 0: none
  int result;
  std::vector<int> writeTimeouts;
  std::vector<int> readTimeouts;  // the drain's non-blocking read, then one window per attempt
};

class AnswerWindow : public ScriptedExchangeTest, public testing::WithParamInterface<WindowRow> {};

TEST_P(AnswerWindow, Is300msPerAttemptWithFourAttemptsAtMost) {
  const WindowRow& row = GetParam();
  backend.state->responder = [&row](test::FakeState& s, const Bytes& request) {
    if (s.writes.size() == row.answeredWrite) s.inputs.push_back(Answer(request));
  };
  EXPECT_EQ(row.run(device), row.result);
  std::lock_guard lock(backend.state->mutex);
  EXPECT_EQ(backend.state->writeTimeouts, row.writeTimeouts);
  EXPECT_EQ(backend.state->readTimeouts, row.readTimeouts);
}

INSTANTIATE_TEST_SUITE_P(Rows, AnswerWindow,
                         testing::Values(WindowRow{"SilentDevice",
                                                   [](HidDevice& d) { return BeginTransfer(d); },
                                                   0,
                                                   kResultNoAnswer,
                                                   {1000, 1000, 1000, 1000},
                                                   {0, 300, 300, 300, 300}},
                                         WindowRow{"AnswerToTheThirdAttempt",
                                                   [](HidDevice& d) {
                                                     std::array<std::uint8_t, kInfoSize> info{};
                                                     return ReadInfo(d, info);
                                                   },
                                                   3,
                                                   kResultOk,
                                                   {1000, 1000, 1000},
                                                   {0, 300, 300, 300}},
                                         WindowRow{"AnswerToTheFirstAttempt",
                                                   [](HidDevice& d) { return WriteSettings(d, 0, Bytes{1}); },
                                                   1,
                                                   kResultOk,
                                                   {1000},
                                                   {0, 300}},
                                         WindowRow{"RestoreDefaultsSilent",
                                                   [](HidDevice& d) { return RestoreDefaults(d); },
                                                   0,
                                                   kResultNoAnswer,
                                                   {1000},
                                                   {0, 300}}),
                         [](const testing::TestParamInfo<WindowRow>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(ScriptedExchangeTest, BusyIsSetWhileTheRequestIsOnTheWire) {
  std::vector<bool> busyAtWrite;
  backend.state->responder = [&](test::FakeState& s, const Bytes& request) {
    busyAtWrite.push_back(device.busy);
    s.inputs.push_back(Answer(request));
  };
  EXPECT_EQ(BeginTransfer(device), kResultOk);
  EXPECT_EQ(StreamLighting(device, Bytes(10, 1)), kResultOk);
  EXPECT_EQ(busyAtWrite, (std::vector<bool>{true, false}));
  EXPECT_FALSE(device.busy);
}

}  // namespace
}  // namespace korva::device
