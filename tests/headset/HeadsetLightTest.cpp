// The headset lighting record as the page edits it, and its frame as the LED controllers take it.

#include "headset/HeadsetLight.h"

#include <gtest/gtest.h>

#include <memory>

#include "headset/AudioLibrary.h"
#include "headset/HeadsetLightFrame.h"
#include "sim/headset/SimulatedHeadsetChip.h"

namespace korva::headset {
namespace {

namespace fx = lighting::effects;
using lighting::ColourComponent;
using lighting::LightingSettings;

TEST(HeadsetLightSections, EachModeEnablesItsSections) {
  struct Case {
    int mode;
    std::optional<HeadsetLightSections> sections;
  };
  //                  light  speed  7col   colour dir    wave
  const Case cases[] = {
      {0, HeadsetLightSections{true, true, true, true, true, true}},
      {1, HeadsetLightSections{true, true, false, false, false, false}},
      {2, HeadsetLightSections{true, true, true, true, false, false}},
      {3, HeadsetLightSections{true, false, false, true, false, false}},
      {4, std::nullopt},
      {-1, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(SectionsForHeadsetMode(c.mode), c.sections) << c.mode;
}

TEST(HeadsetLightView, ARecordFromAFileShowsWithinTheControlsRanges) {
  struct Case {
    LightingSettings record;
    HeadsetLightView view;
  };
  const Case cases[] = {
      {{2, 7, 3, 1, 1, 10, 20, 30}, {2, 7, 11, 0xFF0A141E, true, true}},
      {{0, 14, 0, 0, 0, 255, 255, 255}, {0, 14, 14, 0xFFFFFFFF, false, false}},
      // Out of range: no mode item, brightness at its end, a speed above 14 at slider 0, a
      // direction other than 1 is right.
      {{9, 200, 99, 7, 0, 0, 0, 0}, {std::nullopt, 14, 0, 0xFF000000, false, false}},
  };
  for (const Case& c : cases) EXPECT_EQ(ViewOfHeadsetLight(c.record), c.view);
}

TEST(HeadsetLight, SlidersAndChoicesSetTheirBytes) {
  HeadsetLight light;
  EXPECT_TRUE(light.SelectMode(2));
  EXPECT_FALSE(light.SelectMode(4));
  EXPECT_EQ(light.Record().mode, 2);
  light.SetBrightness(20);
  EXPECT_EQ(light.Record().brightness, 14);
  light.SetSpeedSlider(3);
  EXPECT_EQ(light.Record().speed, 11);
  light.SetSpeedSlider(-5);
  EXPECT_EQ(light.Record().speed, 14);
  light.SetDirection(true);
  light.SetDirection(true);
  EXPECT_EQ(light.Record().direction, 1);
  light.SetDirection(false);
  EXPECT_EQ(light.Record().direction, 0);
  light.SetMulticolour(true);
  light.StoreColour(0xFF102030);
  EXPECT_EQ(light.Record(), (LightingSettings{2, 14, 14, 0, 0, 0x10, 0x20, 0x30}));
}

TEST(HeadsetLight, ATypedComponentIsStoredWithinRangeAndEndsMulticolour) {
  struct Case {
    ColourComponent component;
    const char* text;
    std::uint32_t colour;
    std::optional<std::string> rewrite;
    LightingSettings record;
  };
  // Displayed colour 0xFF112233, record (0x11, 0x22, 0x33) with multicolour on.
  const Case cases[] = {
      {ColourComponent::kGreen, "300", 0xFF11FF33, "255", {0, 0, 0, 0, 0, 0x11, 255, 0x33}},
      {ColourComponent::kRed, "7", 0xFF072233, std::nullopt, {0, 0, 0, 0, 0, 7, 0x22, 0x33}},
      {ColourComponent::kBlue, "-1", 0xFF112200, "0", {0, 0, 0, 0, 0, 0x11, 0x22, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    HeadsetLight light;
    light.Replace({0, 0, 0, 0, 1, 0x11, 0x22, 0x33});
    const std::optional<TypedColour> typed = light.TypeComponent(c.component, c.text, 0xFF112233);
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->colour, c.colour);
    EXPECT_EQ(typed->rewrite, c.rewrite);
    EXPECT_EQ(light.Record(), c.record);
  }
  // An emptied edit stores nothing yet.
  HeadsetLight light;
  light.Replace({0, 0, 0, 0, 1, 0x11, 0x22, 0x33});
  EXPECT_FALSE(light.TypeComponent(ColourComponent::kRed, "", 0xFF112233));
  EXPECT_EQ(light.Record().multicolour, 1);
}

TEST(HeadsetLightFrame, ChannelsAreScaledByTheEntrysBrightnessAndLimited) {
  struct Case {
    std::uint8_t channel, brightness, written;
  };
  const Case cases[] = {{255, 255, 247}, {255, 248, 247}, {255, 247, 246}, {200, 128, 100}, {255, 0, 0}, {0, 255, 0}};
  for (const Case& c : cases) EXPECT_EQ(ScaledChannel(c.channel, c.brightness), c.written) << int{c.channel} << " " << int{c.brightness};
}

TEST(HeadsetLightFrame, TheWaveListPairsEachRegisterWithItsLedsChannel) {
  fx::HeadsetFrame frame{};
  for (std::size_t i = 0; i < frame.size(); ++i)
    frame[i] = {static_cast<std::uint8_t>(i * 10), static_cast<std::uint8_t>(i * 10 + 1), static_cast<std::uint8_t>(i * 10 + 2), 0};
  frame[12].brightness = 255;
  const std::array<std::uint8_t, kWaveListBytes> list = WaveRegisterList(frame);
  for (std::size_t i = 0; i < 13; ++i) {
    EXPECT_EQ(list[2 * i], 0x30 + i);
    EXPECT_EQ(list[26 + 2 * i], 0x40 + i);
    EXPECT_EQ(list[52 + 2 * i], 0x50 + i);
  }
  EXPECT_EQ(list[1], 0) << "brightness 0 writes 0";
  EXPECT_EQ(list[2 * 12 + 1], ScaledChannel(120, 255));
  EXPECT_EQ(list[26 + 2 * 12 + 1], ScaledChannel(121, 255));
  EXPECT_EQ(list[52 + 2 * 12 + 1], ScaledChannel(122, 255));
}

// Through the library onto the simulated chip: what the controllers' registers hold afterwards,
// and that a headset gone (or a chip refusing) stops the frame at its first write.
class HeadsetFrameOnChip : public testing::Test {
 protected:
  HeadsetFrameOnChip() { audio.Bind(chip); }
  std::shared_ptr<sim::SimulatedHeadsetChip> chip = std::make_shared<sim::SimulatedHeadsetChip>();
  AudioLibrary audio;
};

TEST_F(HeadsetFrameOnChip, BothControllersHoldTheFrame) {
  fx::HeadsetFrame frame{};
  frame.fill({255, 255, 255, 255});
  frame[5] = {0, 128, 0, 255};
  ASSERT_EQ(WriteHeadsetFrame(audio, frame, true), kAudioOk);
  for (int address : kLedControllers) {
    EXPECT_EQ(chip->I2cRegister(address, 0x30), 247);
    EXPECT_EQ(chip->I2cRegister(address, 0x35), 0);
    EXPECT_EQ(chip->I2cRegister(address, 0x45), 127);
    EXPECT_EQ(chip->I2cRegister(address, 0x20), 0) << "the wave leaves the colour registers";
    EXPECT_EQ(chip->LedColours(address)[5], (sim::SimulatedHeadsetChip::LedColour{0, 127, 0}));
    EXPECT_EQ(chip->LedColours(address)[12], (sim::SimulatedHeadsetChip::LedColour{247, 247, 247}));
  }
  ASSERT_EQ(WriteHeadsetFrame(audio, frame, false), kAudioOk);
  for (int address : kLedControllers) {
    EXPECT_EQ(chip->I2cRegister(address, 0x20), 247);
    EXPECT_EQ(chip->I2cRegister(address, 0x21), 247);
    EXPECT_EQ(chip->I2cRegister(address, 0x22), 247);
    // One colour for every LED: LED 0's.
    EXPECT_EQ(chip->LedColours(address)[5], (sim::SimulatedHeadsetChip::LedColour{247, 247, 247}));
  }
}

TEST_F(HeadsetFrameOnChip, AFrameStopsAtTheFirstWriteNotTaken) {
  fx::HeadsetFrame frame{};
  chip->SetPresent(false);
  chip->ClearLogs();
  EXPECT_EQ(WriteHeadsetFrame(audio, frame, false), kAudioNoDevice);
  EXPECT_EQ(chip->CallLog().size(), 1u);
  chip->SetPresent(true);
  chip->SetRefuseAll(true);
  chip->ClearLogs();
  EXPECT_EQ(WriteHeadsetFrame(audio, frame, true), kAudioFailed);
  EXPECT_EQ(chip->CallLog().size(), 1u);
  // Unbound: no backend is reached.
  audio.Release();
  EXPECT_EQ(WriteHeadsetFrame(audio, frame, true), kAudioNoDevice);
}

}  // namespace
}  // namespace korva::headset
