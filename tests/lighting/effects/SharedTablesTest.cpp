// The shared tables against the numbers that define them, the phase rule, the scaling rules and
// the keyboard's layout tables.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "lighting/effects/Decay.h"
#include "lighting/effects/KeyboardLayout.h"
#include "lighting/effects/Phase.h"
#include "lighting/effects/Ripple.h"
#include "lighting/effects/SharedTables.h"
#include "tests/lighting/effects/EffectsTestSupport.h"

namespace korva::lighting::effects {
namespace {

using std::chrono::milliseconds;

TEST(SharedTables, BrightnessLevels) {
  const std::array<std::uint8_t, 15> expected{0,   60,  75,  90,  105, 120, 135, 150,
                                              165, 180, 195, 210, 225, 240, 255};
  EXPECT_EQ(kBrightness, expected);
}

TEST(SharedTables, FrameDelays) {
  struct Row {
    const char* name;
    milliseconds actual;
    int expected;
  };
  const Row rows[] = {
      {"keyboard wave at speed 0", KeyboardDelay(0, 0), 2},
      {"keyboard colour cycle at speed 0", KeyboardDelay(1, 0), 9},
      {"breathing at speed 0", KeyboardDelay(2, 0), 9},
      {"rainbow at speed 0", KeyboardDelay(4, 0), 3},
      {"path wave at speed 0", KeyboardDelay(7, 0), 3},
      {"custom at speed 0", KeyboardDelay(8, 0), 9},
      {"click ripple at speed 0", KeyboardDelay(9, 0), 0},
      {"speed 1", KeyboardDelay(3, 1), 13},
      {"speed 7", KeyboardDelay(6, 7), 37},
      {"wave at speed 14", KeyboardDelay(0, 14), 65},
      {"breathing at speed 14", KeyboardDelay(2, 14), 63},
      {"breathing at speed 13", KeyboardDelay(2, 13), 61},
      {"click ripple at speed 1", KeyboardDelay(9, 1), 9},
      {"click ripple at speed 14", KeyboardDelay(9, 14), 61},
      {"mousepad at speed 0", MousepadDelay(0, 0), 9},
      {"mousepad sweep at speed 3", MousepadDelay(7, 3), 21},
      {"mousepad flash at speed 14", MousepadDelay(8, 14), 65},
      {"keyboard mode past the table reads its last row", KeyboardDelay(40, 1), 9},
      {"speed past the table reads its last column", KeyboardDelay(0, 99), 65},
      {"mousepad mode past the table", MousepadDelay(12, 99), 65},
  };
  for (const Row& row : rows) EXPECT_EQ(row.actual, milliseconds{row.expected}) << row.name;
}

TEST(SharedTables, ColourWheel) {
  struct Row {
    std::size_t index;
    Rgb expected;
  };
  const Row rows[] = {
      {0, {255, 1, 0}},   {1, {255, 3, 0}},     {31, {255, 255, 0}},  {32, {248, 255, 0}}, {50, {53, 255, 0}},
      {63, {0, 255, 0}},  {64, {0, 255, 1}},    {85, {0, 255, 129}},  {96, {0, 248, 255}}, {127, {0, 0, 255}},
      {128, {1, 0, 255}}, {159, {255, 0, 255}}, {160, {255, 0, 248}}, {177, {255, 0, 61}}, {191, {255, 0, 0}},
      {192, {255, 1, 0}}, {224, {248, 255, 0}}, {255, {0, 255, 0}},
  };
  for (const Row& row : rows) EXPECT_EQ(kWheel[row.index], row.expected) << "W[" << row.index << "]";
  EXPECT_EQ(WheelAt(192 + 5), kWheel[5]);
}

TEST(SharedTables, BreathingAndWaveCurves) {
  struct Row {
    const char* name;
    std::uint8_t actual;
    int expected;
  };
  const Row rows[] = {
      {"C[0]", kBreath[0], 0},
      {"C[10]", kBreath[10], 10},
      {"C[11]", kBreath[11], 12},
      {"C[27]", kBreath[27], 57},
      {"C[63]", kBreath[63], 255},
      {"C[64] mirrors C[63]", kBreath[64], 255},
      {"C[100] mirrors C[27]", kBreath[100], 57},
      {"C[127] mirrors C[0]", kBreath[127], 0},
      {"V[0] is C[16]", kWave[0], 22},
      {"V[11] is C[27]", kWave[11], 57},
      {"V[47] is C[63]", kWave[47], 255},
      {"V[48] mirrors V[47]", kWave[48], 255},
      {"V[95] mirrors V[0]", kWave[95], 22},
  };
  for (const Row& row : rows) EXPECT_EQ(row.actual, row.expected) << row.name;
}

TEST(PhaseRule, Steps) {
  struct Row {
    const char* name;
    std::uint8_t p, k, n, direction;
    PhaseWrap wrap;
    int expected;
  };
  const Row rows[] = {
      {"forwards", 0, 1, 192, 1, PhaseWrap::kRestart, 1},
      {"forwards to the end restarts at 0", 191, 1, 192, 1, PhaseWrap::kRestart, 0},
      {"backwards below 0 lands on n - k", 0, 1, 192, 0, PhaseWrap::kRestart, 191},
      {"backwards by 4 below 0", 0, 4, 128, 0, PhaseWrap::kRestart, 124},
      {"backwards", 10, 4, 128, 0, PhaseWrap::kRestart, 6},
      {"restart even with an overshoot", 190, 3, 192, 1, PhaseWrap::kRestart, 0},
      {"headset wave keeps the overshoot", 190, 3, 192, 1, PhaseWrap::kKeepOvershoot, 1},
      {"headset wave in the short range", 95, 3, 96, 1, PhaseWrap::kKeepOvershoot, 2},
      {"a phase left high by another mode, forwards", 150, 1, 96, 1, PhaseWrap::kRestart, 0},
      {"a phase left high by another mode, backwards", 150, 1, 96, 0, PhaseWrap::kRestart, 95},
      {"a phase left high, overshoot kept within range", 250, 3, 96, 1, PhaseWrap::kKeepOvershoot, 61},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(StepPhase(row.p, row.k, row.n, row.direction, row.wrap), row.expected) << row.name;
  }
}

TEST(Scaling, ScaledAndScaledPlus1) {
  EXPECT_EQ(Scaled(255, 255), 254);
  EXPECT_EQ(ScaledPlus1(255, 255), 255);
  EXPECT_EQ(ScaledPlus1(100, 0), 0);
  EXPECT_EQ(Scaled(60, 128), 30);
  EXPECT_EQ(ScaledPlus1(200, 60), 47);
  EXPECT_EQ(ScaledPlus1(Rgb{255, 3, 0}, 150), (Rgb{150, 1, 0}));
  EXPECT_EQ(PreviewTint({0x11, 0x22, 0x33, 0x44}), 0x223311U);
}

TEST(DecayRules, FadeSequences) {
  auto fade = [](std::uint8_t v, const DecayRule& rule, int frames) {
    std::vector<int> seen;
    for (int i = 0; i < frames; ++i) seen.push_back(v = Decay(v, rule));
    return seen;
  };
  EXPECT_EQ(fade(255, kKeyboardWaveDecay, 11), (std::vector<int>{215, 175, 135, 95, 65, 35, 25, 17, 9, 9, 9}))
      << "a ripple-wave key settles at 9";
  EXPECT_EQ(fade(255, kKeyboardFadeDecay, 16),
            (std::vector<int>{225, 195, 165, 135, 105, 85, 65, 45, 35, 25, 20, 15, 11, 7, 0, 0}))
      << "a show or click-ripple key fades out";
  EXPECT_EQ(fade(20, kMouseRingDecay, 4), (std::vector<int>{12, 8, 4, 0}));
  EXPECT_EQ(Decay(3, kMouseRingDecay), 0) << "a mouse ring intensity of 3 stops at 0";
  EXPECT_EQ(fade(255, kMousepadRingDecay, 4), (std::vector<int>{225, 195, 165, 135}));
  EXPECT_EQ(fade(18, kMousepadRingDecay, 4), (std::vector<int>{13, 12, 11, 10}));
  EXPECT_EQ(fade(1, kMousepadRingDecay, 2), (std::vector<int>{0, 0}));
}

TEST(KeyboardLayout, LedMap) {
  struct Row {
    int firstKey, lastKey, firstLed;  // firstLed 126: not streamed
  };
  const Row rows[] = {
      {0, 12, 0},      {13, 19, 14},    {20, 20, 126},   {21, 61, 21},    {62, 62, 126},   {63, 74, 63},
      {75, 75, 76},    {76, 78, 80},    {79, 83, 126},   {84, 84, 84},    {85, 94, 86},    {95, 95, 97},
      {96, 96, 99},    {97, 99, 101},   {100, 104, 126}, {105, 111, 105}, {112, 112, 113}, {113, 115, 119},
      {116, 117, 123}, {118, 118, 104}, {119, 119, 62},  {120, 125, 126},
  };
  for (const Row& row : rows) {
    for (int key = row.firstKey; key <= row.lastKey; ++key) {
      const int expected = row.firstLed == 126 ? 126 : row.firstLed + key - row.firstKey;
      EXPECT_EQ(kKeyboardLedMap[static_cast<std::size_t>(key)], expected) << "key " << key;
    }
  }
}

// The three key tables describe the same 108 keys: each streamed once, each on the path once,
// each in one place of the column table.
TEST(KeyboardLayout, TablesAgreeOnTheRealKeys) {
  std::set<int> streamed;
  std::set<int> leds;
  for (std::size_t key = 0; key < kKeyboardEntries; ++key) {
    if (kKeyboardLedMap[key] == kNotStreamed) continue;
    streamed.insert(static_cast<int>(key));
    EXPECT_TRUE(leds.insert(kKeyboardLedMap[key]).second) << "LED shared by key " << key;
  }
  std::multiset<int> onPath(kKeyPath.begin(), kKeyPath.begin() + kKeyPathKeys);
  std::multiset<int> inColumns;
  for (const auto& column : kKeyboardColumnTable) {
    for (std::uint8_t key : column) {
      if (key != kNoKey) inColumns.insert(key);
    }
  }
  EXPECT_EQ(streamed.size(), kKeyPathKeys);
  EXPECT_EQ(std::multiset<int>(streamed.begin(), streamed.end()), onPath);
  EXPECT_EQ(onPath, inColumns);
  EXPECT_TRUE(std::all_of(kKeyPath.begin() + kKeyPathKeys, kKeyPath.end(),
                          [](std::uint8_t k) { return k == kNoKey; }));
}

std::set<int> KeysUnder(const RippleMaps& maps) {
  std::set<int> keys;
  ForEachRippleKey(maps, [&](std::uint8_t key) { keys.insert(key); });
  return keys;
}

TEST(Ripple, SpreadsFromItsKeyInFourDirections) {
  RippleMaps maps{};
  ASSERT_TRUE(SeedRipple(maps, 52));  // column 11, row 2
  EXPECT_EQ(KeysUnder(maps), (std::set<int>{52}));
  StepRipple(maps);
  EXPECT_EQ(KeysUnder(maps), (std::set<int>{31, 51, 53, 73}));
  StepRipple(maps);
  // A diamond two steps out: row 2 two columns away, rows 1 and 3 one column away, rows 0 and 4
  // in the key's own column.
  EXPECT_EQ(KeysUnder(maps), (std::set<int>{50, 54, 30, 72, 32, 74, 8, 94}));
}

TEST(Ripple, ReachesTheLastColumnAndKeepsMovingThere) {
  RippleMaps maps{};
  ASSERT_TRUE(SeedRipple(maps, 61));  // column 21, row 2
  StepRipple(maps);
  EXPECT_EQ(KeysUnder(maps), (std::set<int>{60, 40, 78})) << "column 22 has no key in row 2";
  StepRipple(maps);
  EXPECT_EQ(KeysUnder(maps), (std::set<int>{59, 39, 77, 18, 99, 41, 119}));
}

TEST(Ripple, KeysOutsideTheColumnTableSeedNothing) {
  for (std::uint8_t key : {std::uint8_t{20}, std::uint8_t{120}, kNoKey, std::uint8_t{255}}) {
    RippleMaps maps{};
    EXPECT_FALSE(SeedRipple(maps, key)) << int{key};
    EXPECT_EQ(maps, RippleMaps{}) << int{key};
  }
}

}  // namespace
}  // namespace korva::lighting::effects
