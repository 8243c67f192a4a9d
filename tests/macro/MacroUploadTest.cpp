// The macro download before the key bank, against the simulated keyboard and mouse, asserted on
// the requests they received and on the macro memory they keep.

#include "macro/MacroUpload.h"

#include <gtest/gtest.h>

#include "keyboard/KeyboardTransfer.h"
#include "macro/MacroBlock.h"
#include "tests/macro/MacroTestLibrary.h"
#include "tests/sim/SimAttached.h"

namespace korva::macro {
namespace {

using korva::test::Request;
using korva::test::Sent;
using test_library::TestLibrary;

constexpr std::size_t kSimKeys = 126;  // a bank moves 378 bytes: six chunks of 56 and one of 42

void AddChunks(std::vector<Sent>& out, std::uint8_t code, std::uint16_t base, std::size_t size) {
  for (std::size_t offset = 0; offset < size; offset += 56) {
    out.push_back(Request(code, static_cast<std::uint8_t>(std::min<std::size_t>(56, size - offset)),
                          static_cast<std::uint16_t>(base + offset)));
  }
}

std::vector<Sent> BankUpload() {
  std::vector<Sent> expected{Request(0x01, 0, 0)};
  AddChunks(expected, 0x09, 0, 3 * kSimKeys);
  expected.push_back(Request(0x02, 0, 0));
  return expected;
}

class KeyboardUpload : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(keyboard.opened);
    ASSERT_TRUE(keyboard::ReadKeyboardAll(keyboard.device, image).ok());
    keyboard.ClearRequests();
  }
  void WriteLibraryOfSteps(std::size_t first, std::size_t second) const {
    lib.WriteIndex({"a", "b"});
    lib.WriteMacro("a", std::vector<std::string>(first, "5,0,138,4,1,keyboard_key_A"));
    lib.WriteMacro("b", std::vector<std::string>(second, "0,0,10,4,0,keyboard_key_A"));
  }

  test::SimAttachedDevice keyboard{sim::SimDeviceKind::kKeyboard, {}};
  keyboard::KeyboardImage image;
  TestLibrary lib;
};

TEST_F(KeyboardUpload, TheMacroBlockGoesFirstInItsOwnBracketAndTheKeyboardKeepsIt) {
  WriteLibraryOfSteps(30, 2);  // S = 16 + 12 + 4 x 32 = 156: chunks of 56, 56, 44
  const keyboard::KeyboardUploadResult upload = keyboard::UploadKeyboard(keyboard.device, image, lib.library);
  EXPECT_EQ(upload.result, device::kResultOk);
  EXPECT_TRUE(upload.macros.sent);
  EXPECT_FALSE(upload.macros.stop);

  std::vector<Sent> expected{Request(0x01, 0, 0)};
  AddChunks(expected, 0x15, 0, 156);
  expected.push_back(Request(0x02, 0, 0));
  for (const Sent& sent : BankUpload()) expected.push_back(sent);
  EXPECT_EQ(keyboard.Requests(), expected);

  const MacroBlock block = BuildMacroBlock(lib.library, 4096);
  const std::vector<std::uint8_t> memory = keyboard.firmware().MacroMemory();
  ASSERT_GE(memory.size(), block.bytes.size());
  EXPECT_TRUE(std::equal(block.bytes.begin(), block.bytes.end(), memory.begin()));
}

TEST_F(KeyboardUpload, AnEmptyLibrarySendsOnlyTheBank) {
  EXPECT_EQ(keyboard::UploadKeyboard(keyboard.device, image, lib.library).result, device::kResultOk);
  EXPECT_EQ(keyboard.Requests(), BankUpload());
  lib.WriteIndex({});
  keyboard.ClearRequests();
  EXPECT_EQ(keyboard::UploadKeyboard(keyboard.device, image, lib.library).result, device::kResultOk);
  EXPECT_EQ(keyboard.Requests(), BankUpload());
}

TEST_F(KeyboardUpload, ALibraryOverCapacitySendsNothingAtAll) {
  image.info[keyboard::kKeyboardMacroUnits] = 4;  // 512 bytes
  WriteLibraryOfSteps(100, 23);                   // 520 bytes
  const std::vector<std::uint8_t> memoryBefore = keyboard.firmware().MacroMemory();
  const std::array<std::uint8_t, 512> bankBefore = keyboard.firmware().Bank(0);
  image.banks[0].fill(0x33);

  const keyboard::KeyboardUploadResult upload = keyboard::UploadKeyboard(keyboard.device, image, lib.library);
  EXPECT_TRUE(upload.macros.stop);
  EXPECT_FALSE(upload.macros.sent);
  EXPECT_EQ(upload.macros.textId, "message_text_16");
  EXPECT_EQ(upload.macros.textNumber, 3);
  EXPECT_TRUE(keyboard.Requests().empty());
  EXPECT_EQ(keyboard.firmware().MacroMemory(), memoryBefore);
  EXPECT_EQ(keyboard.firmware().Bank(0), bankBefore);
}

TEST_F(KeyboardUpload, ADamagedLibrarySendsNothingAndSaysSo) {
  test_library::WriteText(lib.Index(), "[MACROCOUNT]\ncount=4000000000\n");
  const keyboard::KeyboardUploadResult upload = keyboard::UploadKeyboard(keyboard.device, image, lib.library);
  EXPECT_TRUE(upload.macros.stop);
  EXPECT_EQ(upload.macros.textId, kTextMacroLibraryUnreadable);
  EXPECT_TRUE(keyboard.Requests().empty());
}

TEST(MouseMacroUpload, TheMouseKeepsTheBlockItIsSent) {
  test::SimAttachedDevice mouse{sim::SimDeviceKind::kMouse, {}};
  ASSERT_TRUE(mouse.opened);
  TestLibrary lib(DeviceKind::kMouse);
  lib.WriteIndex({"a"});
  lib.WriteMacro("a", {"5,0,129,1,1,mouse_key_left", "5,0,1,1,0,mouse_key_left"});
  const std::uint8_t units = mouse.firmware().Info()[6];
  const MacroUploadResult upload = UploadMacroLibrary(mouse.device, lib.library, units);
  ASSERT_TRUE(upload.sent);
  EXPECT_EQ(upload.result, device::kResultOk);
  const std::vector<std::uint8_t> expected = {0xAA, 0x55, 30, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 18, 0,
                                              2,    0,    0,  0, 5, 0, 0x81, 1, 5, 0, 0x01, 1};
  const std::vector<std::uint8_t> memory = mouse.firmware().MacroMemory();
  ASSERT_EQ(memory.size(), MacroCapacity(units));
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), memory.begin()));
  EXPECT_EQ(mouse.Requests(), (std::vector<Sent>{Request(0x01, 0, 0), Request(0x15, 30, 0), Request(0x02, 0, 0)}));
}

}  // namespace
}  // namespace korva::macro
