// The headset's effects and the synchronised lighting, frame by frame from a known state;
// expected values worked out by hand from the rules and the tables' own numbers.

#include <gtest/gtest.h>

#include <vector>

#include "lighting/effects/HeadsetEffects.h"
#include "lighting/effects/KeyboardLayout.h"
#include "lighting/effects/MouseEffects.h"
#include "lighting/effects/SyncEffects.h"
#include "tests/lighting/effects/EffectsTestSupport.h"

namespace korva::lighting::effects {
namespace {

using std::chrono::milliseconds;

const FrameEntry kUntouched{1, 2, 3, 4};

class HeadsetEffects : public ::testing::Test {
 protected:
  void SetUp() override { frame.fill(kUntouched); }
  Pass Render(const RecordSpec& spec) { return RenderHeadset(Record(spec), state, frame); }

  HeadsetAnimation state;
  HeadsetFrame frame;
};

TEST_F(HeadsetEffects, WaveMulticolourStepsThreeAndSpreadsFourteen) {
  Render({.mode = 0, .multicolour = 1});  // p = 3
  EXPECT_EQ(frame[0], Entry(255, 7, 0, 255)) << "W[3]";
  EXPECT_EQ(frame[1], Entry(255, 89, 0, 255)) << "W[17]";
  EXPECT_EQ(frame[12], Entry(255, 0, 114, 255)) << "W[171]";
  state.wavePhase = 190;
  Render({.mode = 0, .multicolour = 1});  // 193 keeps its overshoot: p = 1
  EXPECT_EQ(state.wavePhase, 1);
  EXPECT_EQ(frame[0], Entry(255, 3, 0, 255));
  EXPECT_EQ(frame[1], Entry(255, 73, 0, 255)) << "W[15]";
}

TEST_F(HeadsetEffects, WaveSingleColour) {
  const Pass pass = Render({.mode = 0, .speed = 14});  // p = 3: LED 0 at V[3], LED 1 at V[13]
  EXPECT_EQ(frame[0], Entry(24, 12, 6, 64));
  EXPECT_EQ(frame[1], Entry(51, 25, 12, 108));
  EXPECT_EQ(pass.delay, milliseconds{65});
}

TEST_F(HeadsetEffects, ColourCycleBackwardsFromZeroShowsTheWheelsLastStep) {
  Render({.mode = 1, .direction = 0});
  for (const FrameEntry& e : frame) EXPECT_EQ(e, Entry(255, 0, 0, 255)) << "W[191]";
}

TEST_F(HeadsetEffects, BreathingMovesTheColourSixteenOnPerBreath) {
  const RecordSpec spec{.mode = 2, .multicolour = 1};
  Pass pass = Render(spec);
  EXPECT_EQ(frame[0], Entry(255, 1, 0, 3)) << "W[0] at C[4] = 4: 255 x 4 >> 8 = 3";
  std::vector<int> colours;
  for (int i = 1; i < 32 * 14; ++i) {
    pass = Render(spec);
    if (state.breathPhase == 0) colours.push_back(state.breathColour);
  }
  EXPECT_EQ(colours, (std::vector<int>{16, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 192, 0, 16}));
  EXPECT_EQ(frame[12], Entry(255, 81, 0, 0)) << "W[16] at C[0]";
  EXPECT_EQ(pass.delay, milliseconds{9 + 10});
  EXPECT_EQ(Render({.mode = 2, .speed = 14}).delay, milliseconds{63 + 10});
}

TEST_F(HeadsetEffects, Static) {
  Render({.mode = 3, .level = 4});
  for (const FrameEntry& e : frame) EXPECT_EQ(e, Entry(200, 100, 50, 105));
}

class SyncEffects : public ::testing::Test {
 protected:
  void SetUp() override {
    keyboard.fill(kUntouched);
    mouse.fill(kUntouched);
    mousepad.fill(kUntouched);
    headset.fill(kUntouched);
  }
  Pass Render(const RecordSpec& spec) {
    return RenderSynchronised(Record(spec), state, {&keyboard, &mouse, &mousepad, &headset});
  }

  SyncAnimation state;
  KeyboardFrame keyboard;
  MouseFrame mouse;
  MousepadFrame mousepad;
  HeadsetFrame headset;
};

TEST_F(SyncEffects, WaveRunsTwentyThreeColumnsAcrossTheDevices) {
  Render({.mode = 0, .multicolour = 1});                // p = 1, column c at W[1 + 7c]
  const FrameEntry column12 = Entry(0, 255, 129, 255);  // W[85]
  const FrameEntry column13 = Entry(0, 255, 213, 255);  // W[92]
  EXPECT_EQ(headset[12], column12) << "headset LED 12 from column 12";
  for (int key : {9, 32, 53, 74}) EXPECT_EQ(keyboard[key], column12) << key;
  EXPECT_EQ(keyboard[10], column13) << "columns 13..22 only reach the keyboard and the pad";
  EXPECT_EQ(mousepad[13], column13);
  EXPECT_EQ(keyboard[19], Entry(200, 0, 255, 255)) << "column 22: W[155]";
  for (std::uint8_t led : kMouseColumnTable[6])
    EXPECT_EQ(mouse[led], Entry(114, 255, 0, 255)) << "W[43], not scaled";
}

TEST_F(SyncEffects, WaveSingleColourStartsTenOn) {
  Render({.mode = 0});  // p = 1: column 0 at V[11], column 12 at V[35]
  EXPECT_EQ(headset[0], Entry(200, 100, 50, 56));
  EXPECT_EQ(headset[12], Entry(200, 100, 50, 175));
  EXPECT_EQ(keyboard[105], Entry(200, 100, 50, 56));
}

TEST_F(SyncEffects, OnlyTheJoinedDevicesChange) {
  RenderSynchronised(Record({.mode = 3}), state, {nullptr, nullptr, nullptr, &headset});
  EXPECT_EQ(headset[0], Entry(200, 100, 50, 255));
  EXPECT_EQ(keyboard[0], kUntouched);
  EXPECT_EQ(mouse[0], kUntouched);
  EXPECT_EQ(mousepad[0], kUntouched);
}

TEST_F(SyncEffects, CycleBreathingAndStaticFillEveryFrame) {
  Render({.mode = 1, .direction = 0});
  EXPECT_EQ(keyboard[125], Entry(255, 0, 0, 255));
  EXPECT_EQ(mouse[19], Entry(255, 0, 0, 255));
  state.phase = 62;
  Render({.mode = 2, .multicolour = 1});  // p = 63: W[63], C[63]
  EXPECT_EQ(mousepad[14], Entry(0, 255, 0, 254));
  EXPECT_EQ(state.cyclePhase, 191) << "the cycle keeps its own phase";
  const Pass pass = Render({.mode = 3, .level = 1, .speed = 5});
  EXPECT_EQ(headset[3], Entry(200, 100, 50, 60));
  EXPECT_EQ(pass.delay, milliseconds{20});
}

TEST_F(SyncEffects, ModeAboveThreeRendersNothing) {
  const Pass pass = Render({.mode = 4, .speed = 2});
  EXPECT_EQ(pass.rendered, Rendered::kNothing);
  EXPECT_EQ(pass.delay, milliseconds{8});
  EXPECT_EQ(keyboard[0], kUntouched);
  EXPECT_EQ(headset[0], kUntouched);
}

}  // namespace
}  // namespace korva::lighting::effects
