// The mouse's and the mousepad's effects, frame by frame from a known state; expected values
// worked out by hand from the rules and the tables' own numbers.

#include <gtest/gtest.h>

#include <vector>

#include "lighting/effects/MouseEffects.h"
#include "lighting/effects/MousepadEffects.h"
#include "tests/lighting/effects/EffectsTestSupport.h"

namespace korva::lighting::effects {
namespace {

using std::chrono::milliseconds;

const FrameEntry kUntouched{1, 2, 3, 4};
const EffectClock::time_point kT0{std::chrono::seconds{100}};

class MouseEffects : public ::testing::Test {
 protected:
  void SetUp() override { frame.fill(kUntouched); }
  Pass Render(const RecordSpec& spec, bool clicked = false, EffectClock::time_point now = kT0) {
    return RenderMouse({Record(spec), clicked, now}, state, frame);
  }
  void ExpectColumn(std::size_t column, FrameEntry expected) {
    for (std::uint8_t led : kMouseColumnTable[column]) EXPECT_EQ(frame[led], expected) << "LED " << int{led};
  }

  MouseAnimation state;
  MouseFrame frame;
};

TEST_F(MouseEffects, WaveMulticolourScalesTheWheelByTheBrightness) {
  Render({.mode = 0, .level = 7, .multicolour = 1});  // p = 1, B = 150
  ExpectColumn(0, Entry(150, 1, 0, 150));             // W[1] = (255, 3, 0) scaled+1 by 150
  ExpectColumn(1, Entry(150, 15, 0, 150));            // W[8] = (255, 26, 0)
}

TEST_F(MouseEffects, WaveSingleColourTakesColourAndBrightnessOneGroupApart) {
  Render({.mode = 0});  // p = 1: column 0 colour at V[1] = 24, brightness at V[11] = 57
  ExpectColumn(0, Entry(19, 9, 4, 56));
  ExpectColumn(1, Entry(45, 22, 11, 98));  // colour at V[11] = 57, brightness at V[21] = 99
}

TEST_F(MouseEffects, ColourCycleBreathingAndStatic) {
  Render({.mode = 1, .level = 1, .direction = 0});  // W[191] = (255, 0, 0) scaled+1 by 60
  for (const FrameEntry& e : frame) EXPECT_EQ(e, Entry(60, 0, 0, 60));

  state.phase = 62;
  state.breathSet = 1;
  Render({.mode = 2, .multicolour = 1});  // p = 63, C[63] = 255: the palette colours whole
  ExpectColumn(0, Entry(0, 255, 255, 255));
  ExpectColumn(6, Entry(0, 70, 255, 255));

  const Pass pass = Render({.mode = 3, .level = 7, .speed = 14});
  for (const FrameEntry& e : frame) EXPECT_EQ(e, Entry(117, 58, 29, 150));
  EXPECT_EQ(pass.delay, milliseconds{50 + 31 + 140});
  EXPECT_EQ(Render({.mode = 3}).delay, milliseconds{53});
}

TEST_F(MouseEffects, BreathingMovesToTheNextPaletteSetWithEachBreath) {
  std::vector<int> sets;
  for (int breath = 0; breath < 4; ++breath) {
    for (int i = 0; i < 128; ++i) Render({.mode = 2, .multicolour = 1});
    sets.push_back(state.breathSet);
  }
  EXPECT_EQ(sets, (std::vector<int>{1, 2, 0, 1}));
}

TEST_F(MouseEffects, BarBouncesBetweenMinusOneAndEight) {
  std::vector<int> positions;
  for (int i = 0; i < 20; ++i) {
    StepBar(state.bar, 8);
    positions.push_back(state.bar.n);
  }
  EXPECT_EQ(positions, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 7, 6, 5, 4, 3, 2, 1, 0, -1, 0, 1, 2}));
}

TEST_F(MouseEffects, BarLightsTheColumnsBeforeOrAfterIt) {
  state.bar = {7, false};
  Render({.mode = 4, .direction = 0});  // n = 8: every column is before it
  for (std::size_t c = 0; c < kMouseColumns; ++c) ExpectColumn(c, Entry(200, 100, 50, 255));
  state.bar = {0, true};
  Render({.mode = 4, .direction = 1});  // n = -1: every column is after it
  for (std::size_t c = 0; c < kMouseColumns; ++c) ExpectColumn(c, Entry(200, 100, 50, 255));

  state.bar = {3, false};
  state.phase = 0;
  Render({.mode = 4, .direction = 0, .multicolour = 1});  // n = 4, p = 191
  ExpectColumn(1, Entry(255, 18, 0, 255));                // position 191 + 7 - 192 = 6
  ExpectColumn(3, Entry(255, 119, 0, 255));               // position 191 + 21 - 192 = 20
  ExpectColumn(4, Entry(0, 0, 0, 255));
  ExpectColumn(6, Entry(0, 0, 0, 255));
}

TEST_F(MouseEffects, RingRippleTravelsRoundTheColumns) {
  ResetMouseAnimation(state);
  StartMouseRing(state, 0);
  Render({.mode = 5, .direction = 0});
  ExpectColumn(0, Entry(168, 84, 42, 214));  // 255 - 40 = 215
  ExpectColumn(1, Entry(0, 0, 0, 0));
  Render({.mode = 5, .direction = 0});
  ExpectColumn(1, Entry(168, 84, 42, 214));
  ExpectColumn(0, Entry(137, 68, 34, 174));  // 215 - 40 = 175

  ResetMouseAnimation(state);
  StartMouseRing(state, 1);  // starts at position 7, beyond the columns, and runs down
  Render({.mode = 5, .direction = 1});
  ExpectColumn(6, Entry(0, 0, 0, 0));
  Render({.mode = 5, .direction = 1});
  ExpectColumn(6, Entry(168, 84, 42, 214));
}

TEST_F(MouseEffects, RingRippleMulticolourTakesTheSeed) {
  ResetMouseAnimation(state);
  StartMouseRing(state, 0);
  Render({.mode = 5, .direction = 0, .multicolour = 1});
  EXPECT_EQ(state.seed, 11);
  // W[11] = (255, 44, 0) scaled+1 by 215
  ExpectColumn(0, Entry(215, 37, 0, 214));
}

TEST_F(MouseEffects, ClickFlashLastsAHundredMilliseconds) {
  const RecordSpec spec{.mode = 6, .level = 7, .multicolour = 1};
  Pass pass = Render(spec, false, kT0);
  for (const FrameEntry& e : frame) EXPECT_EQ(e, Entry(0, 0, 0, 150));
  EXPECT_FALSE(pass.clickTaken);

  pass = Render(spec, true, kT0);
  EXPECT_TRUE(pass.clickTaken);
  for (const FrameEntry& e : frame) EXPECT_EQ(e, Entry(255, 65, 0, 150)) << "W[14]";
  Render(spec, false, kT0 + milliseconds{99});
  EXPECT_EQ(frame[0], Entry(255, 65, 0, 150));
  Render(spec, false, kT0 + milliseconds{100});
  EXPECT_EQ(frame[0], Entry(255, 65, 0, 150)) << "the frame that finds 100 ms gone still flashes";
  Render(spec, false, kT0 + milliseconds{110});
  EXPECT_EQ(frame[0], Entry(0, 0, 0, 150));
}

TEST_F(MouseEffects, ClickDuringAFlashRestartsItFourteenStepsOn) {
  const RecordSpec spec{.mode = 6, .multicolour = 1};
  Render(spec, true, kT0);
  Render(spec, true, kT0 + milliseconds{80});
  EXPECT_EQ(frame[0], Entry(255, 213, 0, 255)) << "W[28]";
  Render(spec, false, kT0 + milliseconds{150});
  EXPECT_EQ(frame[0], Entry(255, 213, 0, 255)) << "restarted at 80 ms";
  state.flash.position = 182;
  Render(spec, true, kT0 + milliseconds{200});
  EXPECT_EQ(state.flash.position, 0) << "196 is past 191";
}

TEST_F(MouseEffects, OtherModesLeaveTheClickForTheFlash) {
  for (std::uint8_t mode = 0; mode < kMouseLastMode; ++mode) {
    EXPECT_FALSE(Render({.mode = mode}, true).clickTaken) << "mode " << int{mode};
  }
}

class MousepadEffects : public ::testing::Test {
 protected:
  void SetUp() override { frame.fill(kUntouched); }
  Pass Render(const RecordSpec& spec, bool clicked = false, EffectClock::time_point now = kT0) {
    return RenderMousepad({Record(spec), clicked, now}, state, frame);
  }
  void ExpectColumn(std::size_t column, FrameEntry expected) {
    for (std::uint8_t led : kMousepadColumnTable[column]) {
      if (led != kNoPadLed) {
        EXPECT_EQ(frame[led], expected) << "column " << column << " LED " << int{led};
      }
    }
  }

  MousepadAnimation state;
  MousepadFrame frame;
};

TEST_F(MousepadEffects, WavePerLed) {
  Render({.mode = 0, .multicolour = 1});  // p = 1
  EXPECT_EQ(frame[0], Entry(255, 3, 0, 255));
  EXPECT_EQ(frame[1], Entry(255, 26, 0, 255));    // W[8]
  EXPECT_EQ(frame[14], Entry(0, 206, 255, 255));  // W[99]
  state.phase = 0;
  Render({.mode = 0});
  EXPECT_EQ(frame[0], Entry(19, 9, 4, 56));
  EXPECT_EQ(frame[1], Entry(45, 22, 11, 98));
}

TEST_F(MousepadEffects, BreathingShowsTheWheelFiftyOn) {
  state.phase = 127;
  Render({.mode = 2, .multicolour = 1});  // p = 0
  EXPECT_EQ(frame[0], Entry(53, 255, 0, 0)) << "W[50], C[0] = 0";
  state.phase = 126;
  Render({.mode = 2, .multicolour = 1});  // p = 127
  EXPECT_EQ(frame[0], Entry(255, 0, 61, 0)) << "W[177]";
  state.phase = 62;
  Render({.mode = 2, .level = 7});  // p = 63; the colour is not scaled
  EXPECT_EQ(frame[0], Entry(200, 100, 50, 149));
}

TEST_F(MousepadEffects, BarRunsAlongTheLeds) {
  Pass pass = Render({.mode = 4, .speed = 2, .direction = 0, .multicolour = 1});  // n = 1
  EXPECT_EQ(frame[0], Entry(255, 1, 0, 255)) << "W[0]";
  EXPECT_EQ(frame[1], Entry(0, 0, 0, 255));
  EXPECT_EQ(pass.delay, milliseconds{17 + 20 + 100});
  state.bar = {0, false};
  Render({.mode = 4, .direction = 1, .multicolour = 1});  // n = 1
  EXPECT_EQ(frame[1], Entry(0, 0, 0, 255));
  EXPECT_EQ(frame[2], Entry(220, 255, 0, 255)) << "W[34]";
  EXPECT_EQ(frame[14], Entry(85, 255, 0, 255)) << "W[238] = W[46]";
  state.bar = {14, false};
  Render({.mode = 4, .direction = 0});  // n = 15: all lit
  for (const FrameEntry& e : frame) EXPECT_EQ(e, Entry(200, 100, 50, 255));
}

TEST_F(MousepadEffects, RingRippleFeedsEachLedFromItsPosition) {
  ResetMousepadAnimation(state);
  Pass pass = Render({.mode = 5, .direction = 0});
  EXPECT_EQ(frame[0], Entry(200, 100, 50, 224)) << "255 - 30 = 225; the colour itself is not scaled";
  EXPECT_EQ(frame[1], Entry(200, 100, 50, 0));
  EXPECT_EQ(pass.delay, milliseconds{9 + 50});
  Render({.mode = 5, .direction = 0});
  EXPECT_EQ(frame[1], Entry(200, 100, 50, 224));
  EXPECT_EQ(frame[0], Entry(200, 100, 50, 194));
  for (int i = 2; i < 15; ++i) Render({.mode = 5, .direction = 0});
  EXPECT_EQ(frame[14], Entry(200, 100, 50, 224)) << "the last position";
  Render({.mode = 5, .direction = 0});
  EXPECT_EQ(frame[0], Entry(200, 100, 50, 224)) << "round again";
}

TEST_F(MousepadEffects, ColumnWaveLightsWholeEdges) {
  Render({.mode = 6, .multicolour = 0});  // always from the wheel; p = 1
  ExpectColumn(0, Entry(255, 3, 0, 255));
  ExpectColumn(1, Entry(255, 26, 0, 255));
  ExpectColumn(6, Entry(114, 255, 0, 255));  // W[43]
}

TEST_F(MousepadEffects, SweepOutAndBack) {
  const RecordSpec spec{.mode = 7};
  Pass pass = Render(spec);  // pattern 0x1F80: only bit 7, column 0
  EXPECT_EQ(pass.rendered, Rendered::kFrame);
  EXPECT_EQ(pass.delay, milliseconds{9 + 50});
  ExpectColumn(0, Entry(200, 100, 50, 255));
  for (std::size_t c = 1; c < kMousepadColumns; ++c) ExpectColumn(c, Entry(0, 0, 0, 0));

  std::vector<int> pauses;
  for (int passNumber = 2; passNumber <= 31; ++passNumber) {
    pass = Render(spec);
    if (pass.rendered == Rendered::kNothing) {
      pauses.push_back(passNumber);
      EXPECT_EQ(pass.delay, milliseconds{9 + 50 + 1000});
    }
    if (passNumber == 24) {  // eight frames back: pattern 0xFC00, columns 0..5
      ExpectColumn(5, Entry(200, 100, 50, 255));
      ExpectColumn(6, Entry(0, 0, 0, 0));
    }
  }
  EXPECT_EQ(pauses, (std::vector<int>{15, 31}));
  EXPECT_TRUE(state.sweep.forward);
  EXPECT_EQ(state.sweep.pattern, 0x3F00);
}

TEST_F(MousepadEffects, SweepMulticolourSpreadsTwentyPerLitColumn) {
  Render({.mode = 7, .multicolour = 1});
  Render({.mode = 7, .multicolour = 1});    // pattern 0x0FC0: columns 0 and 1, p = 190
  ExpectColumn(0, Entry(255, 0, 2, 255));   // W[190]
  ExpectColumn(1, Entry(255, 99, 0, 255));  // W[18]
}

TEST_F(MousepadEffects, ClickFlashHasItsOwnState) {
  const Pass pass = Render({.mode = 8, .multicolour = 1}, true);
  EXPECT_TRUE(pass.clickTaken);
  for (const FrameEntry& e : frame) EXPECT_EQ(e, Entry(255, 65, 0, 255));
  EXPECT_FALSE(Render({.mode = 3}, true).clickTaken);
}

}  // namespace
}  // namespace korva::lighting::effects
