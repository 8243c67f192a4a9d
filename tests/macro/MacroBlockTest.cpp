// The device macro block: its bytes for a small library, and the libraries that do not fit.

#include "macro/MacroBlock.h"

#include <gtest/gtest.h>

#include "tests/macro/MacroTestLibrary.h"

namespace korva::macro {
namespace {

using test_library::TestLibrary;

MacroLines Steps(std::size_t count) {
  return MacroLines(count, MacroAction{1, 0x8A, 0x04, 1, "keyboard_key_A"});
}

TEST(MacroBlock, ASmallLibraryPacksToTheseBytes) {
  TestLibrary lib;
  lib.WriteIndex({"a", "b"});
  lib.WriteMacro("a", {"5,0,129,1,1,mouse_key_left", "44,1,1,1,0,mouse_key_left", "0,0,138,4,1,keyboard_key_A"});
  lib.WriteMacro("b", {"2,1,10,4,0,keyboard_key_A"});

  const MacroBlock block = BuildMacroBlock(lib.library, 512);
  ASSERT_EQ(block.status, MacroBlockStatus::kBuilt) << block.error.ToString();
  // S = 16 + 6 x 2 + 4 x 4 = 44; record 0 at 16 + 2 x 2 = 20, record 1 at 20 + 4 + 3 x 4 = 36.
  const std::vector<std::uint8_t> expected = {
      0xAA, 0x55, 44, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // magic, S, n, reserved
      20, 0, 36, 0,                                          // record offsets
      3, 0, 0, 0,                                            // record 0: 3 steps
      5, 0, 0x81, 0x01,                                      //   left press, 50 ms
      44, 1, 0x01, 0x01,                                     //   left release, 3000 ms
      0, 0, 0x8A, 0x04,                                      //   A press
      1, 0, 0, 0,                                            // record 1: 1 step
      2, 1, 0x0A, 0x04,                                      //   A release, 2580 ms
  };
  EXPECT_EQ(block.bytes, expected);
  EXPECT_EQ(block.size, expected.size());
}

TEST(MacroBlock, OneMacroOfThreeStepsTakes34Bytes) {
  const MacroLines one = Steps(3);
  const MacroBlock block = BuildMacroBlock(std::span(&one, 1), 4 * 128);
  ASSERT_EQ(block.status, MacroBlockStatus::kBuilt);
  ASSERT_EQ(block.bytes.size(), 34u);
  EXPECT_EQ(block.bytes[2], 34);
  EXPECT_EQ(block.bytes[16], 18) << "the only record follows the offset table";
  EXPECT_EQ(block.bytes[18], 3);
  EXPECT_EQ(block.bytes[19], 0);
}

TEST(MacroBlock, ACountedLineThatIsNotAStepTakesFourZeroBytes) {
  TestLibrary lib;
  lib.WriteIndex({"a"});
  lib.WriteMacro("a", {"garbage", "1,0,10,4,0,keyboard_key_A"});
  const MacroBlock block = BuildMacroBlock(lib.library, 512);
  ASSERT_EQ(block.status, MacroBlockStatus::kBuilt);
  const std::vector<std::uint8_t> record(block.bytes.begin() + 18, block.bytes.end());
  EXPECT_EQ(record, (std::vector<std::uint8_t>{2, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0x0A, 0x04}));
}

TEST(MacroBlock, AnEmptyLibraryBuildsNothing) {
  TestLibrary lib;
  EXPECT_EQ(BuildMacroBlock(lib.library, 512).status, MacroBlockStatus::kEmpty);
  lib.WriteIndex({});
  EXPECT_EQ(BuildMacroBlock(lib.library, 512).status, MacroBlockStatus::kEmpty);
}

TEST(MacroBlock, ALibraryOverCapacityNamesTheStepsThatWouldHaveToGo) {
  struct Case {
    const char* name;
    std::vector<std::size_t> steps;
    std::size_t capacity;
    std::size_t size;
    std::size_t over;
  };
  const Case cases[] = {
      {"520 bytes into 512", {100, 23}, 512, 520, 3},
      {"one byte too many is a step", {2}, 29, 30, 1},
      {"no memory at all", {0}, 0, 22, 6},
      // Larger than the 16-bit size field, in a memory that claims to hold it.
      {"beyond the size field", {8154, 8154, 100}, 1 << 20, 65666, 33},
  };
  for (const Case& c : cases) {
    std::vector<MacroLines> macros;
    for (const std::size_t m : c.steps) macros.push_back(MacroLines(m));
    const MacroBlock block = BuildMacroBlock(macros, c.capacity);
    EXPECT_EQ(block.status, MacroBlockStatus::kOverCapacity) << c.name;
    EXPECT_EQ(block.size, c.size) << c.name;
    EXPECT_EQ(block.stepsOver, c.over) << c.name;
    EXPECT_TRUE(block.bytes.empty()) << c.name;
  }
  // Exactly full fits.
  const MacroLines fits = Steps(2);
  EXPECT_EQ(BuildMacroBlock(std::span(&fits, 1), 30).status, MacroBlockStatus::kBuilt);
}

TEST(MacroBlock, ALibraryWithABrokenFileIsNotPacked) {
  TestLibrary lib;
  lib.WriteIndex({"a"});
  test_library::WriteText(lib.File("a"), "[MACROACTIONCOUNT]\ncount=100000\n");
  const MacroBlock block = BuildMacroBlock(lib.library, 32640);
  EXPECT_EQ(block.status, MacroBlockStatus::kUnreadable);
  EXPECT_NE(block.error.ToString().find("a.mac"), std::string::npos) << block.error.ToString();
  test_library::WriteText(lib.Index(), "[MACROCOUNT]\ncount=70000\n");
  EXPECT_EQ(BuildMacroBlock(lib.library, 32640).status, MacroBlockStatus::kUnreadable);
}

}  // namespace
}  // namespace korva::macro
