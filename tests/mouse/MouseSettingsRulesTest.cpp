// The arithmetic of the mouse settings page.

#include "mouse/MouseSettingsRules.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "mouse/MouseImage.h"

namespace korva::mouse {
namespace {

struct CpiRow {
  int step;
  const char* text;

  friend void PrintTo(const CpiRow& row, std::ostream* out) { *out << "step " << row.step; }
};

class StageCpiTest : public ::testing::TestWithParam<CpiRow> {};

TEST_P(StageCpiTest, ShowsTheCountsPerInchOfAStep) {
  EXPECT_EQ(StageCpiText(GetParam().step), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Steps, StageCpiTest,
                         ::testing::Values(CpiRow{0, "200"}, CpiRow{1, "300"}, CpiRow{48, "5000"},
                                           CpiRow{49, "5200"}, CpiRow{50, "5400"}, CpiRow{83, "12000"},
                                           CpiRow{255, "46400"}, CpiRow{-3, "200"}));

TEST(SensorRangeLabelsTest, NamesTheRangeOfTheKnownSensors) {
  struct Row {
    std::uint16_t model;
    const char* min;
    const char* max;
  };
  for (const Row& row : {Row{0x3325, "200", "5000"}, Row{0x3050, "250", "4000"}, Row{0x3360, "100", "12000"},
                         Row{0x3310, "50", "5000"}}) {
    const auto labels = SensorRangeLabelsFor(row.model);
    ASSERT_TRUE(labels.has_value()) << std::hex << row.model;
    EXPECT_EQ(labels->min, row.min) << std::hex << row.model;
    EXPECT_EQ(labels->max, row.max) << std::hex << row.model;
  }
  EXPECT_FALSE(SensorRangeLabelsFor(0x0000).has_value());
  EXPECT_FALSE(SensorRangeLabelsFor(0x3389).has_value());
}

TEST(SensorRangeLabelsTest, Sensor3310StillFiguresStageZeroFromTheBaseOf200) {
  const auto labels = SensorRangeLabelsFor(0x3310);
  ASSERT_TRUE(labels.has_value());
  EXPECT_EQ(labels->min, "50");
  EXPECT_EQ(labels->max, "5000");
  EXPECT_EQ(StageCpiText(0), "200");
}

constexpr std::uint32_t R = kCurrentStageColour;
constexpr std::uint32_t W = kOtherStageColour;
using Colours = std::array<std::optional<std::uint32_t>, kMouseStageCount>;

struct StageColourRow {
  const char* name;
  std::uint8_t current;
  Colours expected;

  friend void PrintTo(const StageColourRow& row, std::ostream* out) { *out << row.name; }
};

class StageColourTest : public ::testing::TestWithParam<StageColourRow> {};

TEST_P(StageColourTest, MarksTheCurrentStage) {
  EXPECT_EQ(StageLabelColours(GetParam().current), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StageColourTest,
    ::testing::Values(StageColourRow{"Stage1", 0, Colours{R, W, W, W, W, W}},
                      StageColourRow{"Stage4", 3, Colours{W, W, W, R, W, W}},
                      StageColourRow{"Stage6", 5, Colours{W, W, W, W, W, R}},
                      StageColourRow{"ByteSixMarksStage1AndLeavesFiveAndSix", 6,
                                     Colours{R, W, W, W, std::nullopt, std::nullopt}},
                      StageColourRow{"ByteNine", 9, Colours{R, W, W, W, std::nullopt, std::nullopt}},
                      StageColourRow{"Byte255", 255, Colours{R, W, W, W, std::nullopt, std::nullopt}}),
    [](const ::testing::TestParamInfo<StageColourRow>& info) { return std::string(info.param.name); });

TEST(StageOffsetsTest, SkipTheCurrentStageByte) {
  EXPECT_EQ(MouseActiveSettings::kStageOffsets, (std::array<std::size_t, 6>{15, 16, 17, 18, 20, 21}));
  MouseActiveSettings settings;
  for (int k = 1; k <= kMouseStageCount; ++k)
    EXPECT_TRUE(settings.SetStage(k, static_cast<std::uint8_t>(k * 10)));
  EXPECT_EQ(settings.bytes[15], 10);
  EXPECT_EQ(settings.bytes[18], 40);
  EXPECT_EQ(settings.bytes[19], 0) << "the current-stage byte is not a stage";
  EXPECT_EQ(settings.bytes[20], 50);
  EXPECT_EQ(settings.bytes[21], 60);
  EXPECT_FALSE(settings.SetStage(0, 1));
  EXPECT_FALSE(settings.SetStage(7, 1));
  EXPECT_EQ(settings.Stage(7), 0);
}

TEST(IndicatorColourTest, MapsBytesElevenToThirteenToAnOpaqueColour) {
  MouseActiveSettings settings;
  settings.SetIndicatorColour(0x12345678);
  EXPECT_EQ(settings.bytes[11], 0x34);
  EXPECT_EQ(settings.bytes[12], 0x56);
  EXPECT_EQ(settings.bytes[13], 0x78);
  EXPECT_EQ(settings.IndicatorColour(), 0xFF345678u);
}

struct WheelRow {
  const char* text;
  bool up;
  int expected;

  friend void PrintTo(const WheelRow& row, std::ostream* out) {
    *out << '"' << row.text << (row.up ? "\" up" : "\" down");
  }
};

class WheelLinesTest : public ::testing::TestWithParam<WheelRow> {};

TEST_P(WheelLinesTest, StepsWithinOneToTen) {
  const WheelRow& row = GetParam();
  const int w = LeadingNumber(row.text);
  EXPECT_EQ(row.up ? WheelLinesUp(w) : WheelLinesDown(w), row.expected)
      << '"' << row.text << '"' << (row.up ? " up" : " down");
}

INSTANTIATE_TEST_SUITE_P(Clicks, WheelLinesTest,
                         ::testing::Values(WheelRow{"0", true, 2}, WheelRow{"-5", true, 2},
                                           WheelRow{"", true, 2}, WheelRow{"3", true, 4},
                                           WheelRow{"9", true, 10}, WheelRow{"10", true, 10},
                                           WheelRow{"57", true, 10}, WheelRow{"99999999999", true, 10},
                                           WheelRow{"1", false, 1}, WheelRow{"0", false, 1},
                                           WheelRow{"-9", false, 1}, WheelRow{"2", false, 1},
                                           WheelRow{"10", false, 9}, WheelRow{"40", false, 9},
                                           WheelRow{"-99999999999", false, 1}));

TEST(LeadingNumberTest, ReadsTheNumberAtTheStartOfAnEdit) {
  EXPECT_EQ(LeadingNumber("42"), 42);
  EXPECT_EQ(LeadingNumber("  7 lines"), 7);
  EXPECT_EQ(LeadingNumber("x7"), 0);
  EXPECT_EQ(LeadingNumber("99999999999"), INT_MAX);
  EXPECT_EQ(LeadingNumber("-99999999999"), INT_MIN);
}

TEST(PointerSpeedTest, SliderAndSpeedAgreeOverTheWholeRange) {
  // Every slider position stands for a speed that shows as that same position.
  for (int v = kPointerSpeedSliderMin; v <= kPointerSpeedSliderMax; ++v) {
    const int speed = PointerSpeedOfSlider(v);
    EXPECT_GE(speed, kMinPointerSpeed);
    EXPECT_LE(speed, kMaxPointerSpeed);
    EXPECT_EQ(SliderOfPointerSpeed(speed), v) << "slider " << v;
  }
  // Both ends of the speed range and the desktop default are reachable.
  EXPECT_EQ(PointerSpeedOfSlider(kPointerSpeedSliderMin), 1);
  EXPECT_EQ(PointerSpeedOfSlider(kPointerSpeedSliderMax), 20);
  EXPECT_EQ(SliderOfPointerSpeed(kDefaultPointerSpeed), 5) << "the factory reset shows slider 5 for speed 10";
  EXPECT_EQ(PointerSpeedOfSlider(5), kDefaultPointerSpeed);
  // Every even speed survives a load and a save unchanged.
  for (int speed = 2; speed <= 20; speed += 2)
    EXPECT_EQ(PointerSpeedOfSlider(SliderOfPointerSpeed(speed)), speed);
}

TEST(PointerSpeedTest, ValuesOutsideTheRangesCountAsTheNearestEnd) {
  EXPECT_EQ(PointerSpeedOfSlider(-4), 1);
  EXPECT_EQ(PointerSpeedOfSlider(11), 20);
  EXPECT_EQ(SliderOfPointerSpeed(0), 0);
  EXPECT_EQ(SliderOfPointerSpeed(21), 10);
  EXPECT_EQ(SliderOfPointerSpeed(7), 3) << "an odd speed shows on the position below it";
}

TEST(DefaultButtonsTest, HoldTheBuiltInTableUntilTheFirstRead) {
  const MouseImage image;
  const std::array<KeyFunction, 6> expected = {{{0x10, 0x01, 0x00},
                                                {0x10, 0x04, 0x00},
                                                {0x10, 0x02, 0x00},
                                                {0x10, 0x10, 0x00},
                                                {0x10, 0x08, 0x00},
                                                {0x13, 0x03, 0x00}}};
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(image.defaultButtons.Entry(i), expected[i]) << i;
  EXPECT_TRUE(std::all_of(image.defaultButtons.bytes.begin() + 18, image.defaultButtons.bytes.end(),
                          [](std::uint8_t b) { return b == 0x05; }));
  EXPECT_EQ(image.banks[0].Entry(0), KeyFunction{});
  EXPECT_EQ(image.defaultButtons.Entry(MouseKeyBank::kEntryCount), KeyFunction{});
}

}  // namespace
}  // namespace korva::mouse
