// The keyboard's effects, frame by frame from a known state. Expected values come from the
// effect rules and the tables' own numbers (W, C, V, B), worked out by hand.

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "lighting/effects/KeyboardEffects.h"
#include "lighting/effects/SharedTables.h"
#include "tests/lighting/effects/EffectsTestSupport.h"

namespace korva::lighting::effects {
namespace {

using std::chrono::milliseconds;

const FrameEntry kUntouched{1, 2, 3, 4};

class KeyboardEffects : public ::testing::Test {
 protected:
  void SetUp() override {
    frame.fill(kUntouched);
    preview.fill(kUntouched);
    // Set s, LED i holds (s, i, 7): every custom colour says where it came from.
    for (std::size_t s = 0; s < kCustomColourSetCount; ++s) {
      for (std::size_t led = 0; led < kStreamLeds; ++led) {
        std::uint8_t* rgb = sets.data() + s * kCustomColourSetSize + 3 * led;
        rgb[0] = static_cast<std::uint8_t>(s);
        rgb[1] = static_cast<std::uint8_t>(led);
        rgb[2] = 7;
      }
    }
  }

  Pass Render(const RecordSpec& spec, std::uint8_t customSet = 0) {
    return RenderKeyboard({Record(spec), sets, customSet}, state, frame, preview);
  }
  void Select(std::uint8_t mode) {
    ResetKeyboardAnimation(state);
    SeedKeyboardMode(state, mode);
  }

  KeyboardAnimation state;
  KeyboardFrame frame;
  KeyboardFrame preview;
  std::array<std::uint8_t, kCustomColourSetCount * kCustomColourSetSize> sets{};
};

TEST_F(KeyboardEffects, WaveMulticolourGivesEachColumnTheWheelSevenOn) {
  const RecordSpec spec{.mode = 0, .direction = 1, .multicolour = 1};
  Render(spec);  // p = 1
  EXPECT_EQ(frame[105], Entry(255, 3, 0, 255)) << "column 0: W[1]";
  for (int key : {21, 42, 63, 84, 106})
    EXPECT_EQ(frame[key], Entry(255, 26, 0, 255)) << "column 1: W[8], key " << key;
  for (int key : {19, 41, 119, 118})
    EXPECT_EQ(frame[key], Entry(200, 0, 255, 255)) << "column 22: W[155], key " << key;
  EXPECT_EQ(frame[20], kUntouched) << "a key outside the columns";
  Render(spec);  // p = 2
  EXPECT_EQ(frame[105], Entry(255, 5, 0, 255));

  state.phase = 189;
  Render(spec);  // p = 190: column 1 wraps to 190 + 7 - 192 = 5
  EXPECT_EQ(frame[105], Entry(255, 0, 2, 255)) << "W[190]";
  EXPECT_EQ(frame[21], Entry(255, 14, 0, 255)) << "W[5]";
}

TEST_F(KeyboardEffects, WaveSingleColourDimsColumnsAlongV) {
  Render({.mode = 0, .direction = 1});  // p = 1; column 0 at q = 11, column 1 at q = 21
  EXPECT_EQ(frame[105], Entry(200, 100, 50, 56)) << "255 scaled by V[11] = 57";
  EXPECT_EQ(frame[21], Entry(200, 100, 50, 98)) << "255 scaled by V[21] = 99";
  state.phase = 0;
  Render({.mode = 0, .direction = 0});  // p = 95; column 0 at q = 105 - 96 = 9
  EXPECT_EQ(state.phase, 95);
  EXPECT_EQ(frame[105], Entry(200, 100, 50, 48)) << "255 scaled by V[9] = 49";
}

TEST_F(KeyboardEffects, ColourCycleBreathingAndStatic) {
  Render({.mode = 1, .level = 7, .direction = 0});  // backwards from 0: W[191], B = 150
  for (const FrameEntry& e : frame) EXPECT_EQ(e, Entry(255, 0, 0, 150));

  state.phase = 62;
  Render({.mode = 2, .direction = 1, .multicolour = 1});  // p = 63: W[113], C[63] = 255
  for (const FrameEntry& e : frame) EXPECT_EQ(e, Entry(0, 61, 255, 254));
  Render({.mode = 2, .direction = 1, .multicolour = 0});  // p = 64: C[64] = 255, own colour
  EXPECT_EQ(frame[0], Entry(200, 100, 50, 254));

  const Pass pass = Render({.mode = 3, .level = 1, .speed = 5});
  for (const FrameEntry& e : frame) EXPECT_EQ(e, Entry(200, 100, 50, 60));
  EXPECT_EQ(pass.delay, milliseconds{29});
}

TEST_F(KeyboardEffects, RainbowStartsFromSpreadKeyPhases) {
  Select(4);
  EXPECT_EQ((std::vector<int>(state.keyPhase.begin(), state.keyPhase.begin() + 7)),
            (std::vector<int>{33, 66, 99, 132, 165, 6, 39}));
  EXPECT_EQ(state.keyPhase[63], 192) << "33 x 64 lands on 192 exactly, which is not above it";
  EXPECT_EQ(state.keyPhase[64], 33);
  const Pass pass = Render({.mode = 4, .level = 13});
  EXPECT_EQ(frame[0], Entry(220, 255, 0, 240)) << "W[34]";
  EXPECT_EQ(frame[5], Entry(255, 22, 0, 240)) << "W[7]";
  EXPECT_EQ(frame[63], Entry(255, 1, 0, 240)) << "192 + 1 restarts at W[0]";
  EXPECT_EQ(pass.delay, milliseconds{3 + 12});
}

TEST_F(KeyboardEffects, RippleWaveRollsOutOfColumnNine) {
  Select(5);
  const RecordSpec spec{.mode = 5, .colour = {10, 20, 30}};
  Render(spec);  // the seed sits in the carry bit: nothing lit yet
  for (int key : {109, 92, 50}) EXPECT_EQ(frame[key], Entry(10, 20, 30, 0)) << key;
  EXPECT_EQ(frame[20], kUntouched) << "keys off the path are left alone";
  Render(spec);  // row 5 of column 9 lit, one decay step
  EXPECT_EQ(frame[109], Entry(10, 20, 30, 214)) << "255 - 40 = 215";
  EXPECT_EQ(frame[92], Entry(10, 20, 30, 0));
  const Pass pass = Render(spec);  // one row up
  EXPECT_EQ(frame[92], Entry(10, 20, 30, 214));
  EXPECT_EQ(frame[109], Entry(10, 20, 30, 174)) << "215 - 40 = 175";
  EXPECT_EQ(pass.delay, milliseconds{9 + 40});
}

TEST_F(KeyboardEffects, ShowOpensWithTheStepsThenCircles) {
  Select(6);
  const RecordSpec spec{.mode = 6, .colour = {10, 20, 30}};
  Render(spec);
  EXPECT_EQ(frame[0], Entry(10, 20, 30, 224));
  EXPECT_EQ(frame[118], Entry(10, 20, 30, 224));
  EXPECT_EQ(frame[1], Entry(10, 20, 30, 0));
  Render(spec);
  EXPECT_EQ(frame[1], Entry(10, 20, 30, 224));
  EXPECT_EQ(frame[117], Entry(10, 20, 30, 224));
  EXPECT_EQ(frame[0], Entry(10, 20, 30, 194)) << "225 - 30 = 195";
  for (int i = 2; i < 20; ++i) Render(spec);
  EXPECT_EQ(state.showState, 1);
  EXPECT_EQ(state.phase, 0);
  Render(spec);  // the circle's first pair
  EXPECT_EQ(frame[30], Entry(10, 20, 30, 224));
  EXPECT_EQ(frame[94], Entry(10, 20, 30, 224));
}

TEST_F(KeyboardEffects, ShowMulticolourGivesEachLitKeyTheNextSeed) {
  Select(6);
  Render({.mode = 6, .multicolour = 1});
  EXPECT_EQ(state.seed, 22);
  EXPECT_EQ(frame[0], Entry(255, 44, 0, 224)) << "W[11]";
  EXPECT_EQ(frame[118], Entry(255, 140, 0, 224)) << "W[22]";
}

TEST_F(KeyboardEffects, ShowRunsThroughItsFiveStatesAndStartsOver) {
  Select(6);
  const RecordSpec spec{.mode = 6};
  std::vector<int> states{state.showState};
  for (int pass = 0; pass < 400 && states.size() < 6; ++pass) {
    Render(spec);
    if (state.showState != states.back()) states.push_back(state.showState);
  }
  EXPECT_EQ(states, (std::vector<int>{0, 1, 2, 3, 4, 0}));
}

TEST_F(KeyboardEffects, ShowStartsOverFromAPhaseLeftByAnotherMode) {
  state.phase = 150;  // e.g. a wave ran before and the mode changed without a reset
  Render({.mode = 6});
  EXPECT_EQ(frame[0], Entry(200, 100, 50, 224)) << "the opening's first step";
  EXPECT_EQ(state.phase, 1);
}

TEST_F(KeyboardEffects, PathWaveFollowsTheSnake) {
  Render({.mode = 7, .multicolour = 1});  // p = 1
  EXPECT_EQ(frame[16], Entry(255, 3, 0, 255)) << "first key: W[1]";
  EXPECT_EQ(frame[17], Entry(255, 18, 0, 255)) << "second: W[6]";
  EXPECT_EQ(frame[18], Entry(255, 44, 0, 255)) << "third: W[11]";
  EXPECT_EQ(frame[20], kUntouched);
  state.phase = 0;
  const Pass pass = Render({.mode = 7});  // single colour, q = 1 then 6
  EXPECT_EQ(frame[16], Entry(200, 100, 50, 23)) << "V[1] = 24";
  EXPECT_EQ(frame[17], Entry(200, 100, 50, 38)) << "V[6] = 39";
  EXPECT_EQ(pass.delay, milliseconds{3 + 1});
}

TEST_F(KeyboardEffects, CustomShowsTheSelectedSetThroughTheLedMap) {
  Render({.mode = 8, .level = 2}, 2);
  EXPECT_EQ(frame[0], Entry(2, 0, 7, 75));
  EXPECT_EQ(frame[119], Entry(2, 62, 7, 75)) << "key 119 is LED 62";
  EXPECT_EQ(frame[118], Entry(2, 104, 7, 75)) << "key 118 is LED 104";
  EXPECT_EQ(frame[20], kUntouched) << "a key without an LED";
}

TEST_F(KeyboardEffects, ClickRippleDrivesThePreviewOnly) {
  ClickKeyboardKey(state, kKeyboardClickMode, 52);
  const RecordSpec spec{.mode = 9, .colour = {10, 20, 30}};
  for (int i = 0; i < 3; ++i) TickKeyboardClock(state);  // speed 0: the ripple moves after 3 ticks
  const Pass pass = Render(spec);
  EXPECT_EQ(pass.rendered, Rendered::kPreviewOnly);
  EXPECT_EQ(pass.delay, milliseconds{0});
  EXPECT_EQ(preview[52], Entry(10, 20, 30, 224)) << "lit, then faded once: 225";
  EXPECT_EQ(preview[31], Entry(10, 20, 30, 0)) << "the ripple has stepped out, not yet lit there";
  EXPECT_EQ(preview[20], kUntouched) << "a key without an LED keeps its preview";
  for (const FrameEntry& e : frame) ASSERT_EQ(e, kUntouched) << "the frame is not changed in this mode";

  TickKeyboardClock(state);  // 20 ms flag again, ripple counter 1
  Render(spec);
  EXPECT_EQ(preview[52], Entry(10, 20, 30, 194));
  EXPECT_EQ(preview[31], Entry(10, 20, 30, 0));
  TickKeyboardClock(state);
  TickKeyboardClock(state);  // counter 3: the next ring lights
  Render(spec);
  for (int key : {31, 51, 53, 73}) EXPECT_EQ(preview[key], Entry(10, 20, 30, 224)) << key;
}

TEST_F(KeyboardEffects, ClickRipplePaceFollowsTheSpeed) {
  struct Row {
    std::uint8_t speed;
    int ticks;
  };
  for (const Row row : {Row{0, 3}, Row{14, 45}}) {
    KeyboardAnimation fresh;
    state = fresh;
    ClickKeyboardKey(state, kKeyboardClickMode, 52);
    for (int i = 0; i < row.ticks - 1; ++i) TickKeyboardClock(state);
    Render({.mode = 9, .speed = row.speed});
    EXPECT_EQ(state.intensity[52], 0) << "speed " << int{row.speed} << ": not yet";
    TickKeyboardClock(state);
    Render({.mode = 9, .speed = row.speed});
    EXPECT_GT(state.intensity[52], 0) << "speed " << int{row.speed} << ": after " << row.ticks << " ticks";
  }
}

TEST_F(KeyboardEffects, ClicksSeedOnlyInTheClickRippleMode) {
  for (std::uint8_t mode = 0; mode < kKeyboardClickMode; ++mode) {
    ClickKeyboardKey(state, mode, 52);
    EXPECT_EQ(state.ripples, RippleMaps{}) << "mode " << int{mode};
  }
  ClickKeyboardKey(state, kKeyboardClickMode, 52);
  EXPECT_NE(state.ripples, RippleMaps{});
}

TEST_F(KeyboardEffects, ResetClearsTheAnimationButNotTheSeed) {
  state.phase = 40;
  state.seed = 9;
  state.showState = 3;
  state.intensity[5] = 200;
  state.keyPhase[5] = 100;
  SeedRipple(state.ripples, 52);
  ResetKeyboardAnimation(state);
  EXPECT_EQ(state.phase, 0);
  EXPECT_EQ(state.showState, 0);
  EXPECT_EQ(state.intensity[5], 0);
  EXPECT_EQ(state.keyPhase[5], 0);
  EXPECT_EQ(state.ripples, RippleMaps{});
  EXPECT_EQ(state.seed, 9);
  NoteKeyboardFrameWritten(state);
  EXPECT_EQ(state.seed, 10);
}

}  // namespace
}  // namespace korva::lighting::effects
