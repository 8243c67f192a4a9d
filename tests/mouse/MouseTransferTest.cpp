// The mouse transfers against the simulated mouse: the exact requests, what lands in the image, and
// what a failing or misbehaving mouse leaves behind.

#include "mouse/MouseTransfer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "SimMouse.h"
#include "device/CommandReport.h"
#include "mouse/MouseImage.h"

namespace korva::mouse {
namespace {

using test::FullReadSequence;
using test::Request;
using test::Sent;
using test::SimMouse;

// An image that differs from anything the simulated mouse holds, so a change shows.
MouseImage MarkedImage() {
  MouseImage image;
  image.info.bytes.fill(0xA1);
  for (auto& record : image.records) record.bytes.fill(0xB2);
  for (auto& bank : image.banks) bank.bytes.fill(0xC3);
  image.active.bytes.fill(0x04);
  image.active.bytes[MouseActiveSettings::kActiveProfile] = 3;
  return image;
}

class MouseTransferTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(mouse.opened); }

  SimMouse mouse;
};

TEST_F(MouseTransferTest, FullReadSendsTheSixtyNineExchangesInOrderAndTakesTheMemory) {
  auto& firmware = mouse.firmware();
  firmware.SetActiveProfile(2);
  std::array<std::uint8_t, 64> record3{};
  for (std::size_t i = 0; i < record3.size(); ++i) record3[i] = static_cast<std::uint8_t>(i + 1);
  firmware.SetRecord(3, record3);
  std::array<std::uint8_t, 512> bank4{};
  for (std::size_t i = 0; i < bank4.size(); ++i) bank4[i] = static_cast<std::uint8_t>(i * 7);
  firmware.SetBank(4, bank4);

  MouseImage image;
  const MouseTransferResult result = ReadMouseAll(mouse.device, image);

  ASSERT_TRUE(result.ok());
  EXPECT_TRUE(result.changed);
  EXPECT_FALSE(result.activeIgnored);
  const std::vector<Sent> sent = mouse.Requests();
  EXPECT_EQ(sent.size(), 69u);
  EXPECT_EQ(sent, FullReadSequence());
  EXPECT_FALSE(firmware.TransferOpen());

  const auto info = firmware.Info();
  EXPECT_TRUE(std::equal(info.begin(), info.end(), image.info.bytes.begin()));
  const auto defaults = firmware.DefaultBlock();
  EXPECT_TRUE(std::equal(defaults.begin(), defaults.end(), image.defaultButtons.bytes.begin()));
  for (int n = 0; n < kMouseProfileCount; ++n) {
    const auto record = firmware.Record(n);
    const auto& slot = image.records[static_cast<std::size_t>(n)].bytes;
    EXPECT_TRUE(std::equal(record.begin(), record.begin() + 56, slot.begin())) << "record " << n;
    EXPECT_TRUE(std::all_of(slot.begin() + 56, slot.end(), [](std::uint8_t b) { return b == 0; }))
        << "bytes 56..63 of record " << n << " are never transferred";
    const auto bank = firmware.Bank(n);
    EXPECT_TRUE(std::equal(bank.begin(), bank.end(), image.banks[static_cast<std::size_t>(n)].bytes.begin()))
        << "bank " << n;
  }
  MouseActiveSettings expected = image.records[2].Settings();
  expected.bytes[0] = 2;
  EXPECT_EQ(image.active, expected);
}

// Where the fault lands, counted in requests from the start of the full read.
struct MidReadFault {
  const char* name;
  int atRequest;
  enum Kind { kRefusedFF, kRefusedFE, kNoAnswer, kUnplugged } kind;
  int expectedResult;

  friend void PrintTo(const MidReadFault& row, std::ostream* out) { *out << row.name; }
};

class MouseFullReadFaultTest : public MouseTransferTest,
                               public ::testing::WithParamInterface<MidReadFault> {};

TEST_P(MouseFullReadFaultTest, LeavesTheImageAsItWasAndClosesTheBracket) {
  const MidReadFault& fault = GetParam();
  mouse.FaultAtRequest(fault.atRequest, [this, &fault] {
    switch (fault.kind) {
      case MidReadFault::kRefusedFF:
        mouse.bus.AnswerStatus(mouse.id, 0xFF, 1);
        break;
      case MidReadFault::kRefusedFE:
        mouse.bus.AnswerStatus(mouse.id, 0xFE, 1);
        break;
      case MidReadFault::kNoAnswer:
        mouse.bus.DropAnswers(mouse.id, device::kExchangeAttempts);
        break;
      case MidReadFault::kUnplugged:
        mouse.bus.Unplug(mouse.id);
        break;
    }
  });
  const MouseImage before = MarkedImage();
  MouseImage image = before;

  const MouseTransferResult result = ReadMouseAll(mouse.device, image);

  EXPECT_EQ(result.result, fault.expectedResult);
  EXPECT_FALSE(result.changed);
  EXPECT_EQ(image, before);
  // Nothing is asked after the failed request except the end of the bracket.
  const std::vector<Sent> sent = mouse.Requests();
  const std::vector<Sent> all = FullReadSequence();
  const auto upTo = static_cast<std::size_t>(fault.atRequest);
  // The requests before the fault (and the failing one, unless the mouse vanished before it).
  const std::size_t reached = fault.kind == MidReadFault::kUnplugged ? upTo - 1 : upTo;
  ASSERT_GE(sent.size(), reached);
  EXPECT_TRUE(std::equal(sent.begin(), sent.begin() + static_cast<std::ptrdiff_t>(reached), all.begin()));
  if (fault.kind == MidReadFault::kUnplugged) {
    EXPECT_EQ(sent.size(), reached) << "a vanished mouse receives nothing more";
  } else {
    const std::size_t repeats = fault.kind == MidReadFault::kNoAnswer ? device::kExchangeAttempts - 1 : 0;
    ASSERT_EQ(sent.size(), upTo + repeats + 1);
    EXPECT_EQ(sent.back(), Request(0x02, 0, 0));
    EXPECT_FALSE(mouse.firmware().TransferOpen());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, MouseFullReadFaultTest,
    ::testing::Values(
        MidReadFault{"InfoRefused", 2, MidReadFault::kRefusedFF, device::kResultRefusedFF},
        MidReadFault{"BankChunkRefused", 30, MidReadFault::kRefusedFF, device::kResultRefusedFF},
        MidReadFault{"RecordRefusedFE", 24, MidReadFault::kRefusedFE, device::kResultRefusedFE},
        MidReadFault{"ActiveNumberRefused", 68, MidReadFault::kRefusedFF, device::kResultRefusedFF},
        MidReadFault{"BankChunkUnanswered", 40, MidReadFault::kNoAnswer, device::kResultNoAnswer},
        MidReadFault{"UnpluggedMidBank", 50, MidReadFault::kUnplugged, device::kResultWriteFailed}),
    [](const ::testing::TestParamInfo<MidReadFault>& info) { return std::string(info.param.name); });

TEST_F(MouseTransferTest, FullReadOfANotConnectedMouseSendsNothingAndChangesNothing) {
  mouse.device.connected = false;
  const MouseImage before = MarkedImage();
  MouseImage image = before;
  EXPECT_EQ(ReadMouseAll(mouse.device, image).result, device::kResultNoAnswer);
  EXPECT_EQ(image, before);
  EXPECT_TRUE(mouse.Requests().empty());
}

TEST_F(MouseTransferTest, FullReadIgnoresAnActiveNumberOutsideTheProfiles) {
  mouse.firmware().SetActiveProfile(7);
  MouseImage image = MarkedImage();  // profile 3 active

  const MouseTransferResult result = ReadMouseAll(mouse.device, image);

  ASSERT_TRUE(result.ok());
  EXPECT_TRUE(result.activeIgnored);
  EXPECT_EQ(image.active.ActiveProfile(), 3) << "the previous number is kept";
  MouseActiveSettings expected = image.records[3].Settings();
  expected.bytes[0] = 3;
  EXPECT_EQ(image.active, expected) << "the settings come from the fresh record of that profile";
  const auto bank = mouse.firmware().Bank(1);
  EXPECT_TRUE(std::equal(bank.begin(), bank.end(), image.banks[1].bytes.begin()));
}

TEST_F(MouseTransferTest, ReloadReadsTheNewActiveRecordAndKeepsTheWorkingSettings) {
  MouseImage image;
  ASSERT_TRUE(ReadMouseAll(mouse.device, image).ok());
  image.active.SetStage(2, 42);                         // an edit not yet flushed
  ASSERT_TRUE(mouse.bus.PressProfileButton(mouse.id));  // the mouse moves to profile 1
  mouse.ClearRequests();

  const MouseTransferResult result = ReloadMouseActive(mouse.device, image);

  ASSERT_TRUE(result.ok());
  EXPECT_TRUE(result.changed);
  EXPECT_EQ(mouse.Requests(), (std::vector<Sent>{Request(0x05, 1, 0), Request(0x05, 56, 64)}));
  EXPECT_EQ(image.records[0].Settings().Stage(2), 42) << "the working copy went back to its slot";
  EXPECT_EQ(image.active.ActiveProfile(), 1);
  EXPECT_EQ(image.records[1].bytes[0], 1);
  const auto record = mouse.firmware().Record(1);
  EXPECT_TRUE(std::equal(record.begin() + 1, record.begin() + 23, image.active.bytes.begin() + 1));
}

TEST_F(MouseTransferTest, ReloadIgnoresAnActiveNumberOutsideTheProfiles) {
  const MouseImage before = MarkedImage();
  MouseImage image = before;
  mouse.firmware().SetActiveProfile(9);

  const MouseTransferResult result = ReloadMouseActive(mouse.device, image);

  EXPECT_TRUE(result.ok());
  EXPECT_TRUE(result.activeIgnored);
  EXPECT_FALSE(result.changed);
  EXPECT_EQ(image, before);
  EXPECT_EQ(mouse.Requests(), (std::vector<Sent>{Request(0x05, 1, 0)}));
}

TEST_F(MouseTransferTest, SwitchWritesTheNumberAndReadsTheNewRecord) {
  MouseImage image;
  ASSERT_TRUE(ReadMouseAll(mouse.device, image).ok());
  image.active.SetStage(1, 9);
  const MouseActiveSettings working = image.active;
  mouse.ClearRequests();

  const MouseTransferResult result = SwitchDeviceProfile(mouse.device, image, 2);

  ASSERT_TRUE(result.ok());
  EXPECT_TRUE(result.changed);
  const std::vector<Sent> sent = mouse.Requests();
  ASSERT_EQ(sent, (std::vector<Sent>{Request(0x05, 1, 0), Request(0x06, 1, 0), Request(0x05, 56, 128)}));
  EXPECT_EQ(sent[1].payload[0], 2);
  EXPECT_EQ(mouse.firmware().ActiveProfile(), 2);
  EXPECT_EQ(image.records[0].Settings(), working);
  EXPECT_EQ(image.active.ActiveProfile(), 2);
  const auto record = mouse.firmware().Record(2);
  EXPECT_TRUE(std::equal(record.begin() + 1, record.begin() + 23, image.active.bytes.begin() + 1));
}

TEST_F(MouseTransferTest, SwitchToTheActiveProfileSendsOnlyTheOneByteRead) {
  mouse.firmware().SetActiveProfile(3);
  const MouseImage before = MarkedImage();
  MouseImage image = before;

  const MouseTransferResult result = SwitchDeviceProfile(mouse.device, image, 3);

  EXPECT_TRUE(result.ok());
  EXPECT_FALSE(result.changed);
  EXPECT_EQ(image, before);
  EXPECT_EQ(mouse.Requests(), (std::vector<Sent>{Request(0x05, 1, 0)}));
}

TEST_F(MouseTransferTest, SwitchToANumberOutsideTheProfilesSendsNothing) {
  MouseImage image = MarkedImage();
  for (int n : {-1, 5, 255}) {
    EXPECT_FALSE(SwitchDeviceProfile(mouse.device, image, n).changed) << n;
  }
  EXPECT_TRUE(mouse.Requests().empty());
}

TEST_F(MouseTransferTest, SwitchFromAnActiveNumberOutsideTheProfilesStoresIntoNoSlot) {
  mouse.firmware().SetActiveProfile(200);
  const MouseImage before = MarkedImage();
  MouseImage image = before;

  const MouseTransferResult result = SwitchDeviceProfile(mouse.device, image, 1);

  ASSERT_TRUE(result.ok());
  EXPECT_TRUE(result.activeIgnored);
  EXPECT_EQ(mouse.Requests(),
            (std::vector<Sent>{Request(0x05, 1, 0), Request(0x06, 1, 0), Request(0x05, 56, 64)}));
  for (std::size_t n : {0u, 2u, 3u, 4u}) EXPECT_EQ(image.records[n], before.records[n]) << "slot " << n;
  EXPECT_EQ(image.active.ActiveProfile(), 1);
}

TEST_F(MouseTransferTest, SwitchWhoseWriteIsRefusedChangesNothing) {
  mouse.FaultAtRequest(2, [this] { mouse.bus.AnswerStatus(mouse.id, 0xFF, 1); });
  const MouseImage before = MarkedImage();
  MouseImage image = before;

  EXPECT_EQ(SwitchDeviceProfile(mouse.device, image, 1).result, device::kResultRefusedFF);
  EXPECT_EQ(image, before);
  EXPECT_EQ(mouse.Requests().size(), 2u);
}

// Once the mouse took the switch it uses the new profile: the image follows it even when the
// record read fails, so that the next flush does not write the old number back.
TEST_F(MouseTransferTest, SwitchWhoseRecordReadFailsStillMakesTheNewProfileActive) {
  mouse.FaultAtRequest(3, [this] { mouse.bus.AnswerStatus(mouse.id, 0xFF, 1); });
  const MouseImage before = MarkedImage();
  MouseImage image = before;

  const MouseTransferResult result = SwitchDeviceProfile(mouse.device, image, 2);

  EXPECT_EQ(result.result, device::kResultRefusedFF);
  EXPECT_TRUE(result.changed);
  EXPECT_EQ(mouse.firmware().ActiveProfile(), 2);
  EXPECT_EQ(image.active.ActiveProfile(), 2);
  EXPECT_EQ(image.records[2], before.records[2]) << "slot 2 keeps what the last full read found";
  EXPECT_TRUE(std::equal(image.active.bytes.begin() + 1, image.active.bytes.end(),
                         before.records[2].bytes.begin() + 1));
}

TEST_F(MouseTransferTest, FlushSendsTheActiveSettingsPaddedToFiftySixBytes) {
  MouseActiveSettings active;
  for (std::size_t i = 0; i < active.bytes.size(); ++i) active.bytes[i] = static_cast<std::uint8_t>(0x30 + i);
  active.bytes[0] = 1;
  bool pending = true;

  EXPECT_EQ(FlushMouseSettings(mouse.device, active, pending), device::kResultOk);

  EXPECT_FALSE(pending);
  const std::vector<Sent> sent = mouse.Requests();
  ASSERT_EQ(sent, (std::vector<Sent>{Request(0x06, 56, 0)}));
  EXPECT_TRUE(std::equal(active.bytes.begin(), active.bytes.end(), sent[0].payload.begin()));
  EXPECT_TRUE(std::all_of(sent[0].payload.begin() + 23, sent[0].payload.end(),
                          [](std::uint8_t b) { return b == 0; }));
  // Nothing pending: nothing sent.
  EXPECT_EQ(FlushMouseSettings(mouse.device, active, pending), device::kResultOk);
  EXPECT_EQ(mouse.Requests().size(), 1u);
}

TEST_F(MouseTransferTest, FlushThatFailsWhileConnectedIsRetriedOnTheNextTick) {
  MouseActiveSettings active;
  active.SetStage(4, 33);
  bool pending = true;
  mouse.bus.AnswerStatus(mouse.id, 0xFF, 1);

  EXPECT_EQ(FlushMouseSettings(mouse.device, active, pending), device::kResultRefusedFF);
  EXPECT_TRUE(pending);
  EXPECT_NE(mouse.firmware().Record(0)[18], 33);

  EXPECT_EQ(FlushMouseSettings(mouse.device, active, pending), device::kResultOk);
  EXPECT_FALSE(pending);
  EXPECT_EQ(mouse.firmware().Record(0)[18], 33);
}

TEST_F(MouseTransferTest, FlushToAMouseThatIsNotConnectedDropsThePendingWrite) {
  mouse.device.connected = false;
  bool pending = true;
  EXPECT_EQ(FlushMouseSettings(mouse.device, MouseActiveSettings{}, pending), device::kResultNoAnswer);
  EXPECT_FALSE(pending);
  EXPECT_TRUE(mouse.Requests().empty());
}

TEST_F(MouseTransferTest, FactoryResetSendsOneRestoreDefaultsRequest) {
  mouse.firmware().SetActiveProfile(4);
  EXPECT_EQ(FactoryResetMouse(mouse.device), device::kResultOk);
  EXPECT_EQ(mouse.Requests(), (std::vector<Sent>{Request(0x0D, 0, 0)}));
  EXPECT_EQ(mouse.firmware().RestoreCount(), 1);
  EXPECT_EQ(mouse.firmware().ActiveProfile(), 0);
}

TEST_F(MouseTransferTest, FactoryResetIsNotRepeatedWhenUnanswered) {
  mouse.bus.DropAnswers(mouse.id, device::kExchangeAttempts);
  EXPECT_EQ(FactoryResetMouse(mouse.device), device::kResultNoAnswer);
  EXPECT_EQ(mouse.Requests().size(), 1u);
}

}  // namespace
}  // namespace korva::mouse
