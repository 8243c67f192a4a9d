// The mousepad transfers and its light profile payload against the simulated pad: the exact
// requests of the read, reload, switch, flush and reset, and what a failing pad leaves behind.

#include "mousepad/MousepadTransfer.h"

#include <gtest/gtest.h>

#include <numeric>

#include "device/CommandReport.h"
#include "device/KnownDevices.h"
#include "mousepad/MousepadProfiles.h"
#include "tests/sim/SimAttached.h"

namespace korva::mousepad {
namespace {

using korva::test::Request;
using korva::test::Sent;

class SimMousepad : public korva::test::SimAttachedDevice {
 public:
  SimMousepad() : SimAttachedDevice(sim::SimDeviceKind::kMousepad, device::kMousepadIdentity) {}
};

std::vector<Sent> FullReadSequence() {
  std::vector<Sent> expected{Request(0x01, 0, 0), Request(0x03, 0x21, 0)};
  for (std::uint16_t n = 0; n < 5; ++n) expected.push_back(Request(0x05, 56, static_cast<std::uint16_t>(n * 64)));
  expected.push_back(Request(0x05, 1, 0));
  expected.push_back(Request(0x02, 0, 0));
  return expected;
}

// A record whose every byte tells where it came from: profile n, byte i -> n * 50 + i.
std::array<std::uint8_t, 64> NumberedRecord(int n) {
  std::array<std::uint8_t, 64> record{};
  for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<std::uint8_t>(n * 50 + static_cast<int>(i));
  return record;
}

MousepadImage MarkedImage() {
  MousepadImage image;
  image.info.fill(0xA1);
  for (auto& record : image.records) record.bytes.fill(0xB2);
  image.active.bytes.fill(0x04);
  image.active.bytes[0] = 3;
  return image;
}

class MousepadTransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pad.opened);
    for (int n = 1; n < 5; ++n) pad.firmware().SetRecord(n, NumberedRecord(n));
    pad.firmware().SetActiveProfile(2);
    pad.ClearRequests();
  }

  SimMousepad pad;
};

TEST_F(MousepadTransferTest, FullReadTakesTheFiveRecordsAndTheActiveProfile) {
  MousepadImage image;
  ASSERT_TRUE(ReadMousepadAll(pad.device, image).changed);
  EXPECT_EQ(pad.Requests(), FullReadSequence());
  EXPECT_FALSE(pad.firmware().TransferOpen());
  EXPECT_EQ(image.active.ActiveProfile(), 2);
  const auto record2 = NumberedRecord(2);
  EXPECT_TRUE(std::equal(image.active.bytes.begin() + 1, image.active.bytes.end(), record2.begin() + 1));
  EXPECT_TRUE(std::equal(record2.begin() + 1, record2.begin() + 56, image.records[2].bytes.begin() + 1));
  EXPECT_EQ(image.records[2].bytes[60], 0) << "bytes 56..63 never travel";
}

TEST_F(MousepadTransferTest, AReadThatBreaksOffLeavesTheImageAndClosesTheBracket) {
  for (int atRequest : {2, 4, 8}) {
    SCOPED_TRACE(atRequest);
    pad.ClearRequests();
    pad.FaultAtRequest(atRequest, [this] { pad.bus.AnswerStatus(pad.id, 0xFF, 1); });
    const MousepadImage before = MarkedImage();
    MousepadImage image = before;
    const MousepadTransferResult result = ReadMousepadAll(pad.device, image);
    EXPECT_EQ(result.result, device::kResultRefusedFF);
    EXPECT_EQ(image, before);
    const std::vector<Sent> sent = pad.Requests();
    ASSERT_EQ(sent.size(), static_cast<std::size_t>(atRequest) + 1);
    EXPECT_EQ(sent.back(), Request(0x02, 0, 0));
  }
}

TEST_F(MousepadTransferTest, AnActiveNumberOutsideTheFiveKeepsThePreviousOne) {
  pad.firmware().SetActiveProfile(2);
  MousepadImage image;
  image.active.bytes[0] = 1;
  // The pad's answer to the one-byte read (the seventh request) names profile 9.
  pad.FaultAtRequest(8, [this] { pad.firmware().SetRecord(0, std::array<std::uint8_t, 1>{9}); });
  ASSERT_TRUE(ReadMousepadAll(pad.device, image).changed);
  EXPECT_EQ(image.active.ActiveProfile(), 1);
}

TEST_F(MousepadTransferTest, FlushWritesTheTwentyOneBytesAndZerosBytesNineToTwentyUnchanged) {
  MousepadImage image;
  ASSERT_TRUE(ReadMousepadAll(pad.device, image).changed);
  image.active.bytes[1] = 4;
  pad.ClearRequests();

  ASSERT_EQ(FlushMousepadSettings(pad.device, image.active), device::kResultOk);

  const std::vector<Sent> sent = pad.Requests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].code, 0x06);
  EXPECT_EQ(sent[0].length, 56);
  EXPECT_EQ(sent[0].address, 0);
  EXPECT_TRUE(std::equal(image.active.bytes.begin(), image.active.bytes.end(), sent[0].payload.begin()));
  EXPECT_TRUE(std::all_of(sent[0].payload.begin() + 21, sent[0].payload.begin() + 56, [](auto b) { return b == 0; }));
  // Bytes 9..20 reach the pad as they were read.
  const auto stored = pad.firmware().Record(2);
  const auto read = NumberedRecord(2);
  EXPECT_TRUE(std::equal(read.begin() + 9, read.begin() + 21, stored.begin() + 9));
  EXPECT_EQ(stored[1], 4);
}

TEST_F(MousepadTransferTest, SwitchStoresTheWorkingSettingsAndReadsTheNewProfile) {
  MousepadImage image;
  ASSERT_TRUE(ReadMousepadAll(pad.device, image).changed);
  image.active.bytes[2] = 11;  // an edit not flushed yet
  pad.ClearRequests();

  ASSERT_TRUE(SwitchMousepadProfile(pad.device, image, 4).changed);
  EXPECT_EQ(pad.Requests(), (std::vector<Sent>{Request(0x05, 1, 0), Request(0x06, 1, 0), Request(0x05, 56, 256)}));
  EXPECT_EQ(image.active.ActiveProfile(), 4);
  EXPECT_EQ(image.records[2].bytes[2], 11);
  EXPECT_EQ(image.active.bytes[5], NumberedRecord(4)[5]);

  pad.ClearRequests();
  EXPECT_FALSE(SwitchMousepadProfile(pad.device, image, 4).changed);
  EXPECT_EQ(pad.Requests(), (std::vector<Sent>{Request(0x05, 1, 0)})) << "the profile in use: only the read";
  pad.ClearRequests();
  EXPECT_FALSE(SwitchMousepadProfile(pad.device, image, 5).changed);
  EXPECT_TRUE(pad.Requests().empty()) << "no sixth profile";
}

TEST_F(MousepadTransferTest, ReloadTakesTheProfileThePadChangedTo) {
  MousepadImage image;
  ASSERT_TRUE(ReadMousepadAll(pad.device, image).changed);
  pad.firmware().SetActiveProfile(3);
  pad.ClearRequests();
  ASSERT_TRUE(ReloadMousepadActive(pad.device, image).changed);
  EXPECT_EQ(pad.Requests(), (std::vector<Sent>{Request(0x05, 1, 0), Request(0x05, 56, 192)}));
  EXPECT_EQ(image.active.ActiveProfile(), 3);
  EXPECT_EQ(image.active.bytes[7], NumberedRecord(3)[7]);
}

TEST_F(MousepadTransferTest, FactoryResetIsOneRestoreRequest) {
  FactoryResetMousepad(pad.device);
  EXPECT_EQ(pad.Requests(), (std::vector<Sent>{Request(0x0D, 0, 0)}));
  EXPECT_EQ(pad.firmware().RestoreCount(), 1);
}

TEST(MousepadProfiles, TheLightRecordKeepsBytesNineToTwentyAndTheProfileNumberStaysThePads) {
  MousepadImage image;
  image.active.bytes[0] = 2;
  std::iota(image.active.bytes.begin() + 1, image.active.bytes.end(), std::uint8_t{1});
  image.records[2].bytes.fill(0x33);
  const auto payload = StoreLightRecord(image);
  EXPECT_TRUE(std::equal(image.active.bytes.begin(), image.active.bytes.end(), payload.begin()));
  EXPECT_EQ(payload[40], 0x33) << "the rest of the record as the pad keeps it";
  EXPECT_EQ(payload[60], 0) << "bytes 56..63 are zero";

  MousepadImage other;
  other.active.bytes[0] = 4;
  std::vector<std::uint8_t> loaded(payload.begin(), payload.end());
  ASSERT_TRUE(ApplyLightPayload(other, loaded));
  EXPECT_EQ(other.active.ActiveProfile(), 4);
  EXPECT_TRUE(std::equal(payload.begin() + 1, payload.begin() + 21, other.active.bytes.begin() + 1));
  EXPECT_FALSE(ApplyLightPayload(other, std::vector<std::uint8_t>(63, 1)));
}

}  // namespace
}  // namespace korva::mousepad
