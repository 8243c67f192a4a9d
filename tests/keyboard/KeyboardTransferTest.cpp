// The keyboard transfers against the simulated keyboard (both models), asserted on the requests
// it received: their order, what they change, and what a refusing keyboard leaves behind.

#include "keyboard/KeyboardTransfer.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/sim/SimAttached.h"

namespace korva::keyboard {
namespace {

using test::Request;
using test::Sent;

// The simulated keyboards have 126 keys: a block is 378 bytes, six chunks of 56 and one of 42.
constexpr std::size_t kSimKeys = 126;

void AddBlock(std::vector<Sent>& out, std::uint8_t code, std::uint16_t base, std::size_t size) {
  for (std::size_t offset = 0; offset < size; offset += 56) {
    out.push_back(Request(code, static_cast<std::uint8_t>(std::min<std::size_t>(56, size - offset)),
                          static_cast<std::uint16_t>(base + offset)));
  }
}

std::vector<Sent> FullRead() {
  std::vector<Sent> expected{Request(0x01, 0, 0), Request(0x03, 0x21, 0)};
  AddBlock(expected, 0x07, 0, 3 * kSimKeys);
  expected.push_back(Request(0x05, 56, 0));
  AddBlock(expected, 0x08, 0, 3 * kSimKeys);
  expected.push_back(Request(0x05, 1, 0));
  expected.push_back(Request(0x02, 0, 0));
  return expected;
}

class KeyboardTransferTest : public testing::TestWithParam<sim::SimDeviceKind> {
 protected:
  void SetUp() override { ASSERT_TRUE(keyboard.opened); }
  std::vector<Sent> Requests() const {
    std::vector<Sent> sent;
    for (const sim::SimRequest& request : keyboard.bus.Requests(keyboard.id)) sent.push_back(test::Decode(request));
    return sent;
  }

  test::SimAttachedDevice keyboard{GetParam(), {}};
  KeyboardImage image;
};

TEST_P(KeyboardTransferTest, FullReadTakesEveryBlockInOrderAndMapsThePictures) {
  keyboard.bus.Firmware(keyboard.id).SetActiveProfile(0);
  const KeyboardTransferResult result = ReadKeyboardAll(keyboard.device, image);
  ASSERT_TRUE(result.ok());
  EXPECT_TRUE(result.changed);
  EXPECT_EQ(Requests(), FullRead());
  EXPECT_EQ(keyboard.device.blockSize, 3 * kSimKeys);
  const auto& firmware = keyboard.bus.Firmware(keyboard.id);
  EXPECT_EQ(image.KeyCount(), kSimKeys);
  EXPECT_TRUE(std::equal(image.defaultBlock.begin(), image.defaultBlock.begin() + 3 * kSimKeys,
                         firmware.DefaultBlock().begin()));
  EXPECT_TRUE(std::equal(image.banks[0].begin(), image.banks[0].begin() + 3 * kSimKeys, firmware.Bank(0).begin()));
  // p = 0: the working settings are the first 21 bytes read at address 0.
  EXPECT_TRUE(std::equal(image.active.bytes.begin(), image.active.bytes.end(), firmware.Record(0).begin()));
  EXPECT_EQ(image.keyButtonMap[0], 0) << "Esc";
  EXPECT_EQ(image.keyButtonMap[118], 118) << "keypad Enter";
  EXPECT_FALSE(firmware.TransferOpen());
}

TEST_P(KeyboardTransferTest, AKeyboardWithMoreKeysThanABankHoldsIsRefusedAndTheBracketClosed) {
  for (const auto& [keys, accepted] : {std::pair{170, true}, std::pair{171, false}}) {
    auto info = keyboard.bus.Firmware(keyboard.id).Info();
    info[5] = static_cast<std::uint8_t>(keys);
    keyboard.bus.Firmware(keyboard.id).SetInfo(info);
    KeyboardImage before;
    before.active.bytes.fill(0x77);
    image = before;
    keyboard.bus.ClearRequests(keyboard.id);

    const KeyboardTransferResult result = ReadKeyboardAll(keyboard.device, image);

    EXPECT_EQ(result.tooManyKeys, !accepted) << keys;
    EXPECT_FALSE(keyboard.bus.Firmware(keyboard.id).TransferOpen()) << keys;
    if (accepted) {
      EXPECT_EQ(keyboard.device.blockSize, 510);
    } else {
      EXPECT_EQ(image, before) << "nothing changes";
      EXPECT_EQ(Requests(), (std::vector<Sent>{Request(0x01, 0, 0), Request(0x03, 0x21, 0), Request(0x02, 0, 0)}));
    }
  }
}

TEST_P(KeyboardTransferTest, AKeyboardThatRefusesInTheMiddleOfTheReadChangesNothing) {
  for (int at : {2, 5, 12, 18}) {  // info, a default-block chunk, a bank chunk, the active number
    SCOPED_TRACE(at);
    KeyboardImage before;
    before.banks[0].fill(0x42);
    image = before;
    keyboard.bus.ClearRequests(keyboard.id);
    keyboard.backend.beforeWrite = [this, target = keyboard.backend.writes() + at](int write) {
      if (write == target) keyboard.bus.AnswerStatus(keyboard.id, 0xFF, 1);
    };
    const KeyboardTransferResult result = ReadKeyboardAll(keyboard.device, image);
    keyboard.backend.beforeWrite = nullptr;
    EXPECT_EQ(result.result, device::kResultRefusedFF);
    EXPECT_FALSE(result.changed);
    EXPECT_EQ(image, before);
    EXPECT_EQ(Requests().back(), Request(0x02, 0, 0)) << "the bracket is closed";
    EXPECT_EQ(Requests().size(), static_cast<std::size_t>(at) + 1) << "the read stops at the refusal";
  }
}

TEST_P(KeyboardTransferTest, ReloadTakesTheRecordAtAddressZeroAsProfileZero) {
  ASSERT_TRUE(ReadKeyboardAll(keyboard.device, image).ok());
  image.active.bytes[0] = 2;
  image.active.bytes[5] = 0x5C;  // an edit of the working settings
  auto record = keyboard.bus.Firmware(keyboard.id).Record(0);
  record[0] = 3;  // whatever the keyboard holds at address 0, the number becomes 0
  record[7] = 0x99;
  keyboard.bus.Firmware(keyboard.id).SetRecord(0, record);
  keyboard.bus.ClearRequests(keyboard.id);

  ASSERT_TRUE(ReloadKeyboardActive(keyboard.device, image).ok());

  EXPECT_EQ(Requests(), (std::vector<Sent>{Request(0x05, 1, 0), Request(0x05, 56, 0)}));
  EXPECT_EQ(image.active.bytes[0], 0);
  EXPECT_EQ(image.active.bytes[7], 0x99);
  EXPECT_EQ(image.records[2][5], 0x5C) << "the working settings went back into the slot of profile 2";
  EXPECT_EQ(image.records[0][0], 0);
}

TEST_P(KeyboardTransferTest, AReloadWhoseReadFailsAppliesNothing) {
  ASSERT_TRUE(ReadKeyboardAll(keyboard.device, image).ok());
  const KeyboardImage before = image;
  keyboard.bus.DropAnswers(keyboard.id, 1000);
  EXPECT_FALSE(ReloadKeyboardActive(keyboard.device, image).ok());
  EXPECT_EQ(image, before);
}

TEST_P(KeyboardTransferTest, UploadWritesTheWholeEditedBankInsideTheBracket) {
  ASSERT_TRUE(ReadKeyboardAll(keyboard.device, image).ok());
  image.active.bytes[0] = 3;
  image.banks[3].fill(0x31);
  keyboard.bus.ClearRequests(keyboard.id);

  EXPECT_EQ(UploadKeyboardBank(keyboard.device, image), device::kResultOk);

  std::vector<Sent> expected{Request(0x01, 0, 0)};
  AddBlock(expected, 0x09, 3 * 126, 3 * kSimKeys);
  expected.push_back(Request(0x02, 0, 0));
  EXPECT_EQ(Requests(), expected);
  const auto bank = keyboard.bus.Firmware(keyboard.id).Bank(3);
  EXPECT_TRUE(std::all_of(bank.begin(), bank.begin() + 3 * kSimKeys, [](std::uint8_t b) { return b == 0x31; }));

  image.active.bytes[0] = 7;
  keyboard.bus.ClearRequests(keyboard.id);
  EXPECT_EQ(UploadKeyboardBank(keyboard.device, image), device::kResultBadBank) << "no bank is named";
  EXPECT_TRUE(Requests().empty());
}

TEST_P(KeyboardTransferTest, SettingsWritesGoToTheActiveProfilesRecord) {
  ASSERT_TRUE(ReadKeyboardAll(keyboard.device, image).ok());
  image.active.bytes.fill(0x11);
  image.active.bytes[0] = 2;
  keyboard.bus.ClearRequests(keyboard.id);
  EXPECT_EQ(FlushKeyboardSettings(keyboard.device, image), device::kResultOk);
  EXPECT_EQ(WriteKeyboardSettingByte(keyboard.device, image, 3, 9), device::kResultOk);
  const std::vector<Sent> sent = Requests();
  ASSERT_EQ(sent, (std::vector<Sent>{Request(0x06, 56, 0), Request(0x06, 1, 2 * 64 + 3)}));
  EXPECT_TRUE(std::equal(image.active.bytes.begin(), image.active.bytes.end(), sent[0].payload.begin()));
  EXPECT_TRUE(std::all_of(sent[0].payload.begin() + 21, sent[0].payload.end(), [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(sent[1].payload[0], 9);
}

TEST_P(KeyboardTransferTest, AnActiveNumberThatNamesNoProfileIsTakenAsProfileZero) {
  keyboard.bus.Firmware(keyboard.id).SetActiveProfile(9);
  ASSERT_TRUE(ReadKeyboardAll(keyboard.device, image).ok());
  EXPECT_EQ(image.active.ActiveProfile(), 0);
  EXPECT_EQ(image.EditedBank(), 0);
}

INSTANTIATE_TEST_SUITE_P(BothModels, KeyboardTransferTest,
                         testing::Values(sim::SimDeviceKind::kKeyboard, sim::SimDeviceKind::kKeyboardModel1),
                         [](const testing::TestParamInfo<sim::SimDeviceKind>& info) {
                           return info.param == sim::SimDeviceKind::kKeyboard ? std::string("Model8901")
                                                                              : std::string("Model7680");
                         });

}  // namespace
}  // namespace korva::keyboard
