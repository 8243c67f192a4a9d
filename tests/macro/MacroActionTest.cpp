// Steps in their text form, both ways, and the lines that are not steps.

#include "macro/MacroAction.h"

#include <gtest/gtest.h>

namespace korva::macro {
namespace {

struct LineCase {
  const char* name;
  const char* line;
  MacroAction step;
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << c.name; }

class StepLines : public testing::TestWithParam<LineCase> {};

TEST_P(StepLines, ReadAndWrittenAlike) {
  const LineCase& c = GetParam();
  EXPECT_EQ(FormatMacroAction(c.step), c.line);
  const std::optional<MacroAction> parsed = ParseMacroAction(c.line);
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(*parsed, c.step);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, StepLines,
    testing::Values(LineCase{"KeyPressWithoutDelay", "0,0,138,4,1,keyboard_key_A", {0, 0x8A, 0x04, 1, "keyboard_key_A"}},
                    LineCase{"LeftButtonPressThen50ms", "5,0,129,1,1,mouse_key_left", {5, 0x81, 0x01, 1, "mouse_key_left"}},
                    LineCase{"ModifierRelease", "0,0,9,2,0,keyboard_key_LShift", {0, 0x09, 0x02, 0, "keyboard_key_LShift"}},
                    LineCase{"MoveLeft", "5,0,132,20,1,mouse_move_to_left_text", {5, 0x84, 20, 1, "mouse_move_to_left_text"}},
                    LineCase{"DelayOfBothBytes", "44,1,10,4,0,keyboard_key_A", {300, 0x0A, 0x04, 0, "keyboard_key_A"}},
                    LineCase{"LongestDelay", "255,255,1,2,0,mouse_key_right", {65535, 0x01, 0x02, 0, "mouse_key_right"}},
                    LineCase{"EmptyLabel", "0,0,10,4,1,", {0, 0x0A, 0x04, 1, ""}}),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST(StepLines, ReadingTakesTheLabelAfterTheLastCommaAndTheNumbersBeforeIt) {
  struct Case {
    const char* line;
    MacroAction step;
  };
  const Case cases[] = {
      // Fields to the left of the five numbers are not part of the step.
      {"7,0,0,138,4,1,keyboard_key_A", {0, 0x8A, 0x04, 1, "keyboard_key_A"}},
      // Bytes keep their low 8 bits, down its low 16 bits; signs and spaces are read as numbers are.
      {"300,1,394,260,65537,x", {300 % 256 + 256, 394 % 256, 260 % 256, 1, "x"}},
      {"-1,0, 10 ,4,1,x", {255, 0x0A, 0x04, 1, "x"}},
      {"0,0,10,4,1,keyboard_key_A\r", {0, 0x0A, 0x04, 1, "keyboard_key_A"}},
  };
  for (const Case& c : cases) {
    const std::optional<MacroAction> parsed = ParseMacroAction(c.line);
    ASSERT_TRUE(parsed.has_value()) << c.line;
    EXPECT_EQ(*parsed, c.step) << c.line;
  }
}

TEST(StepLines, LinesThatAreNotSteps) {
  for (const char* line : {"", "keyboard_key_A", "0,0,138,4,keyboard_key_A", ",,,,,", "0,0,138,x,1,keyboard_key_A",
                           "0,0,138,4,1,key,A", "0,0,138,4,,keyboard_key_A", "a,0,1,2,3,label",
                           "0,0,1,99999999999999999999,1,label", ",0,1,2,3,label"}) {
    EXPECT_FALSE(ParseMacroAction(line).has_value()) << '"' << line << '"';
  }
}

TEST(StepDelays, RecordedMillisecondsBecomeUnitsCutAtTheLimit) {
  struct Case {
    std::uint64_t ms;
    std::uint16_t units;
  };
  for (const Case& c : {Case{1234, 123}, Case{3000, 300}, Case{9, 0}, Case{655349, 65534}, Case{655350, 65535},
                        Case{10'000'000, 65535}, Case{UINT64_MAX, 65535}}) {
    EXPECT_EQ(DelayUnitsFromMs(c.ms), c.units) << c.ms << " ms";
  }
  const MacroAction step{DelayUnitsFromMs(3000), 0x0A, 4, 0, "keyboard_key_A"};
  EXPECT_EQ(step.DelayLow(), 44);
  EXPECT_EQ(step.DelayHigh(), 1);
}

TEST(StepDelays, TypedNumbersAreHeldToTheirLimits) {
  EXPECT_EQ(ClampTyped(70000, kMaxDelayUnits), 65535u);
  EXPECT_EQ(ClampTyped(65535, kMaxDelayUnits), 65535u);
  EXPECT_EQ(ClampTyped(256, kMaxMoveDistance), 255u);
  EXPECT_EQ(ClampTyped(17, kMaxMoveDistance), 17u);
}

}  // namespace
}  // namespace korva::macro
