// The keyboard lighting rules: the sections of each mode, the checking of stored values before
// they are shown, the colour edits and the custom colour sets of mode 8.

#include "keyboard/KeyboardLighting.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "lighting/effects/KeyboardLayout.h"

namespace korva::keyboard {
namespace {

using lighting::ColourComponent;

std::array<std::uint8_t, 3> EntryOf(const KeyboardImage& image, std::size_t set, std::size_t led) {
  const std::size_t at = set * kCustomSetSize + led * 3;
  return {image.customSets[at], image.customSets[at + 1], image.customSets[at + 2]};
}

TEST(KeyboardLightingTest, EachModeUsesItsSections) {
  struct Case {
    int mode;
    std::optional<KeyboardLightSections> sections;
  };
  const Case cases[] = {
      {0, KeyboardLightSections{true, true, true, true, true, false}},
      {1, KeyboardLightSections{false, false, false, true, true, false}},
      {3, KeyboardLightSections{false, true, false, false, true, false}},
      {4, KeyboardLightSections{false, false, false, true, false, false}},
      {8, KeyboardLightSections{false, true, true, false, false, true}},
      {9, KeyboardLightSections{false, true, true, std::nullopt, false, false}},
      {10, std::nullopt},
      {-1, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(SectionsForKeyboardMode(c.mode), c.sections) << "mode " << c.mode;
}

TEST(KeyboardLightingTest, TheSpeedSliderIsReversedAndValuesOutsideItsRangeAreBounded) {
  struct Case {
    int slider;
    std::uint8_t stored;
  };
  for (const Case& c : {Case{0, 14}, Case{7, 7}, Case{14, 0}, Case{15, 0}, Case{200, 0}, Case{-3, 14}}) {
    KeyboardImage image;
    const KeyboardLightEdit edit = SetLightSpeed(image, c.slider);
    EXPECT_EQ(image.active.bytes[kSpeedByte], c.stored) << "slider " << c.slider;
    EXPECT_TRUE(edit.record && edit.save);
  }
}

TEST(KeyboardLightingTest, StoredValuesOutsideTheirRangesShowAsTheNearestValidOnes) {
  KeyboardImage image;
  auto& b = image.active.bytes;
  b[kModeByte] = 200;
  b[kBrightnessByte] = 99;
  b[kSpeedByte] = 40;
  b[kDirectionByte] = 7;
  image.customSet = 9;
  const KeyboardLightView view = ViewOfLighting(image);
  EXPECT_EQ(view.mode, 9);
  EXPECT_EQ(view.brightness, 14);
  EXPECT_EQ(view.speedSlider, 0) << "the slider position of speed 14";
  EXPECT_TRUE(view.left);
  EXPECT_EQ(view.customSet, 4);
  EXPECT_EQ(b[kModeByte], 200) << "showing changes nothing stored";

  // A set number above 4 never reaches past the sets: painting uses the last set.
  image.active.bytes[kModeByte] = kCustomColoursMode;
  image.paintColour = {1, 2, 3};
  PaintCustomKey(image, 0);
  EXPECT_EQ(EntryOf(image, 4, 0), (std::array<std::uint8_t, 3>{1, 2, 3}));
}

TEST(KeyboardLightingTest, TheViewShowsThePaintColourInTheCustomModeAndTheRecordsColourElse) {
  KeyboardImage image;
  image.paintColour = {0x10, 0x20, 0x30};
  image.active.bytes[kRedByte] = 0xA0;
  image.active.bytes[kRedByte + 1] = 0xB0;
  image.active.bytes[kRedByte + 2] = 0xC0;
  image.active.bytes[kModeByte] = 2;
  EXPECT_EQ(ViewOfLighting(image).colour, 0xFFA0B0C0u);
  image.active.bytes[kModeByte] = kCustomColoursMode;
  EXPECT_EQ(ViewOfLighting(image).colour, 0xFF102030u);
}

TEST(KeyboardLightingTest, AColourInTheCustomModeIsThePaintColourAndLeavesTheRecordAlone) {
  KeyboardImage image;
  image.active.bytes[kMulticolourByte] = 1;
  image.active.bytes[kRedByte] = 9;
  const auto before = image.active;

  const KeyboardLightEdit custom = StoreLightColour(image, true, 0xFF112233u);
  EXPECT_EQ(image.paintColour, (std::array<std::uint8_t, 3>{0x11, 0x22, 0x33}));
  EXPECT_EQ(image.active, before) << "bytes 5..8 unchanged";
  EXPECT_FALSE(custom.record) << "no deferred write";
  EXPECT_TRUE(custom.save);

  const KeyboardLightEdit other = StoreLightColour(image, false, 0xFF445566u);
  EXPECT_EQ(image.active.bytes[kMulticolourByte], 0) << "a chosen colour ends the multicolour";
  EXPECT_EQ(image.active.bytes[kRedByte], 0x44);
  EXPECT_EQ(image.active.bytes[kRedByte + 1], 0x55);
  EXPECT_EQ(image.active.bytes[kRedByte + 2], 0x66);
  EXPECT_TRUE(other.record && other.save);
}

TEST(KeyboardLightingTest, ATypedComponentChangesTheRecordButWaitsForTheNextSavingChange) {
  KeyboardImage image;
  image.active.bytes[kMulticolourByte] = 1;
  const KeyboardLightEdit typed = StoreLightComponent(image, false, ColourComponent::kGreen, 255);
  EXPECT_EQ(image.active.bytes[kRedByte + 1], 255);
  EXPECT_EQ(image.active.bytes[kMulticolourByte], 0);
  EXPECT_TRUE(typed.record);
  EXPECT_FALSE(typed.save);

  const KeyboardLightEdit paint = StoreLightComponent(image, true, ColourComponent::kBlue, 7);
  EXPECT_EQ(image.paintColour[2], 7);
  EXPECT_FALSE(paint.record);
  EXPECT_TRUE(paint.save);
}

TEST(KeyboardLightingTest, ClearThenFillPaintsTheWholeSetAndASecondFillChangesNothing) {
  KeyboardImage image;
  image.customSets.fill(0x5A);
  SelectCustomSet(image, 2);
  ClearCustomSet(image);
  image.paintColour = {10, 20, 30};
  FillCustomSet(image);
  for (std::size_t led = 0; led < kKeyPictureCount; ++led)
    ASSERT_EQ(EntryOf(image, 2, led), (std::array<std::uint8_t, 3>{10, 20, 30})) << "entry " << led;
  EXPECT_EQ(EntryOf(image, 1, 0), (std::array<std::uint8_t, 3>{0x5A, 0x5A, 0x5A})) << "other sets untouched";

  const auto filled = image.customSets;
  image.paintColour = {200, 0, 0};
  const KeyboardLightEdit again = FillCustomSet(image);
  EXPECT_EQ(image.customSets, filled);
  EXPECT_TRUE(again.save && again.customColours);
}

TEST(KeyboardLightingTest, PaintingAKeyChangesTheEntryOfItsLedInTheSelectedSetOnly) {
  namespace fx = lighting::effects;
  KeyboardImage image;
  image.paintColour = {1, 2, 3};
  SelectCustomSet(image, 1);
  const std::size_t streamed = 75;  // a key whose LED is not at its own number
  ASSERT_NE(fx::kKeyboardLedMap[streamed], fx::kNotStreamed);
  KeyboardImage expected = image;
  const std::size_t led = fx::kKeyboardLedMap[streamed];
  std::copy_n(image.paintColour.begin(), 3, expected.customSets.begin() + kCustomSetSize + led * 3);
  EXPECT_TRUE(PaintCustomKey(image, streamed).save);
  EXPECT_EQ(image, expected);

  // A key without an LED, and numbers outside the keys, change nothing.
  for (std::size_t key : {std::size_t{20}, std::size_t{126}, std::size_t{1000}}) {
    const KeyboardLightEdit edit = PaintCustomKey(image, key);
    EXPECT_FALSE(edit.save || edit.record || edit.customColours) << "key " << key;
    EXPECT_EQ(image, expected) << "key " << key;
  }
}

TEST(KeyboardLightingTest, TheLightPayloadKeepsTheRecordTheCustomSetsAndTheCarriedBytes) {
  KeyboardImage image;
  for (std::size_t i = 0; i < image.active.bytes.size(); ++i) image.active.bytes[i] = static_cast<std::uint8_t>(i + 1);
  image.active.bytes[0] = 0;
  SelectCustomSet(image, 3);
  image.paintColour = {7, 8, 9};
  FillCustomSet(image);
  const auto payload = StoreLightPayload(image);

  KeyboardImage loaded;
  ASSERT_TRUE(ApplyLightPayload(loaded, payload));
  EXPECT_EQ(loaded.active, image.active) << "bytes 9..20 come back unchanged";
  EXPECT_EQ(loaded.customSet, 3);
  EXPECT_EQ(loaded.paintColour, image.paintColour);
  EXPECT_EQ(loaded.customSets, image.customSets);
}

}  // namespace
}  // namespace korva::keyboard
