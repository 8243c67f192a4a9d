#include "mouse/MouseLightingRules.h"

#include <gtest/gtest.h>

namespace korva::mouse {
namespace {

TEST(MouseLightingRules, SectionsFollowTheMode) {
  struct Row { int mode; MouseLightSections want; };
  const Row rows[] = {
      {0, {true, true, true, true, true}},
      {1, {false, false, false, true, true}},
      {3, {false, true, false, false, true}},    // colour only, same-mode still offered
      {5, {true, true, true, true, false}},
      {6, {false, true, false, false, false}},   // colour only, no same-mode
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.mode);
    ASSERT_TRUE(SectionsForMode(r.mode).has_value());
    EXPECT_EQ(*SectionsForMode(r.mode), r.want);
  }
  EXPECT_FALSE(SectionsForMode(7).has_value());
  EXPECT_FALSE(SectionsForMode(-1).has_value());
}

TEST(MouseLightingRules, SpeedScaleIsReversedAndChecked) {
  EXPECT_EQ(SpeedByteOfSlider(0), 14);
  EXPECT_EQ(SpeedByteOfSlider(14), 0);
  EXPECT_EQ(SpeedByteOfSlider(20), 0);   // above the slider's end stores 0
  EXPECT_EQ(SpeedByteOfSlider(-3), 14);
  EXPECT_EQ(SliderOfSpeedByte(0), 14);
  EXPECT_EQ(SliderOfSpeedByte(14), 0);
  EXPECT_EQ(SliderOfSpeedByte(200), 0);  // a bad byte from a device picks no position past the end
}

TEST(MouseLightingRules, RecordValuesAreCheckedBeforeTheyIndex) {
  EXPECT_EQ(CheckedMode(6), 6);
  EXPECT_FALSE(CheckedMode(7).has_value());
  EXPECT_FALSE(CheckedMode(255).has_value());
  EXPECT_EQ(CheckedBrightness(9), 9);
  EXPECT_EQ(CheckedBrightness(255), 14);
}

TEST(PointerLightingRules, TheMousepadsColumnWaveOffersADirectionOnlyWhenChosen) {
  const PointerLightRules& pad = MousepadLightRules();
  EXPECT_EQ(*SectionsOnSelection(pad, 6), (MouseLightSections{true, false, false, true, false}));
  EXPECT_EQ(*SectionsOnDisplay(pad, 6), (MouseLightSections{false, false, false, true, false}));
  EXPECT_EQ(*SectionsOnSelection(pad, 8), (MouseLightSections{false, true, true, false, false}));
  for (int mode = 0; mode <= 5; ++mode) EXPECT_EQ(SectionsOnSelection(pad, mode), SectionsForMode(mode)) << mode;
  EXPECT_FALSE(SectionsOnSelection(pad, 9).has_value());
  EXPECT_FALSE(pad.writeModeAtOnce);
  EXPECT_TRUE(MouseLightRules().writeModeAtOnce);
}

TEST(PointerLightingRules, AStoredModeOutsideTheListShowsAsTheNearestMode) {
  struct Row { const PointerLightRules& rules; std::uint8_t stored; int shown; };
  const Row rows[] = {
      {MouseLightRules(), 6, 6}, {MouseLightRules(), 7, 6}, {MouseLightRules(), 255, 6},
      {MousepadLightRules(), 8, 8}, {MousepadLightRules(), 9, 8}, {MousepadLightRules(), 0, 0},
  };
  for (const Row& r : rows) EXPECT_EQ(ShownMode(r.rules, r.stored), r.shown) << int{r.stored};
}

}  // namespace
}  // namespace korva::mouse
