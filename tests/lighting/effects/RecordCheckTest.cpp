// Records out of range (from a device, a profile file or a page) and records at brightness level 0,
// across every device's renderer.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "lighting/effects/EffectRecord.h"
#include "lighting/effects/HeadsetEffects.h"
#include "lighting/effects/KeyboardEffects.h"
#include "lighting/effects/MouseEffects.h"
#include "lighting/effects/MousepadEffects.h"
#include "lighting/effects/StreamPacking.h"
#include "lighting/effects/SyncEffects.h"
#include "tests/lighting/effects/EffectsTestSupport.h"

namespace korva::lighting::effects {
namespace {

using std::chrono::milliseconds;

const FrameEntry kUntouched{1, 2, 3, 4};

enum class Device { kKeyboard, kMouse, kMousepad, kHeadset, kSync };

struct Outcome {
  Pass pass;
  FrameEntry first;  // entry 0 of the device's frame (the keyboard's click preview in its mode 9)
};

// Set s, LED i of the custom colours holds (s, i, 7).
std::array<std::uint8_t, kCustomColourSetCount * kCustomColourSetSize> CustomSets() {
  std::array<std::uint8_t, kCustomColourSetCount * kCustomColourSetSize> sets{};
  for (std::size_t s = 0; s < kCustomColourSetCount; ++s) {
    for (std::size_t led = 0; led < kStreamLeds; ++led) {
      sets[s * kCustomColourSetSize + 3 * led] = static_cast<std::uint8_t>(s);
      sets[s * kCustomColourSetSize + 3 * led + 1] = static_cast<std::uint8_t>(led);
      sets[s * kCustomColourSetSize + 3 * led + 2] = 7;
    }
  }
  return sets;
}

Outcome RenderOnce(Device device, const LightingSettings& record, std::uint8_t customSet = 0) {
  switch (device) {
    case Device::kKeyboard: {
      static const auto sets = CustomSets();
      KeyboardAnimation state;
      KeyboardFrame frame;
      KeyboardFrame preview;
      frame.fill(kUntouched);
      preview.fill(kUntouched);
      const Pass pass = RenderKeyboard({record, sets, customSet}, state, frame, preview);
      return {pass, frame[0]};
    }
    case Device::kMouse: {
      MouseAnimation state;
      MouseFrame frame;
      frame.fill(kUntouched);
      return {RenderMouse({record, false, {}}, state, frame), frame[0]};
    }
    case Device::kMousepad: {
      MousepadAnimation state;
      MousepadFrame frame;
      frame.fill(kUntouched);
      return {RenderMousepad({record, false, {}}, state, frame), frame[0]};
    }
    case Device::kHeadset: {
      HeadsetAnimation state;
      HeadsetFrame frame;
      frame.fill(kUntouched);
      return {RenderHeadset(record, state, frame), frame[0]};
    }
    case Device::kSync: {
      SyncAnimation state;
      HeadsetFrame frame;
      frame.fill(kUntouched);
      return {RenderSynchronised(record, state, {nullptr, nullptr, nullptr, &frame}), frame[0]};
    }
  }
  return {};
}

TEST(RecordCheck, OutOfRangeValuesTakeTheNearestValidOne) {
  struct Row {
    const char* name;
    Device device;
    RecordSpec record;
    std::uint8_t customSet;
    int delayMs;
    Rendered rendered;
    FrameEntry first;
  };
  const FrameEntry black150{0, 0, 0, 150};
  const Row rows[] = {
      {"keyboard mode 200 is the click ripple",
       Device::kKeyboard,
       {.mode = 200},
       0,
       0,
       Rendered::kPreviewOnly,
       kUntouched},
      {"keyboard level 99 is level 14",
       Device::kKeyboard,
       {.mode = 3, .level = 99},
       0,
       9,
       Rendered::kFrame,
       {200, 100, 50, 255}},
      {"headset level 15 is level 14, not the table's dark 16th entry",
       Device::kHeadset,
       {.mode = 3, .level = 15},
       0,
       9,
       Rendered::kFrame,
       {200, 100, 50, 255}},
      {"keyboard speed 99 is speed 14",
       Device::kKeyboard,
       {.mode = 0, .speed = 99},
       0,
       65,
       Rendered::kFrame,
       {200, 100, 50, 151}},  // key 0 is in column 2: V[31] = 152
      {"keyboard direction 7 runs forwards",
       Device::kKeyboard,
       {.mode = 1, .direction = 7},
       0,
       29,
       Rendered::kFrame,
       {255, 3, 0, 255}},
      {"keyboard custom set 9 is set 4",
       Device::kKeyboard,
       {.mode = 8, .level = 7},
       9,
       9,
       Rendered::kFrame,
       {4, 0, 7, 150}},
      {"mouse mode 50 is the click flash",
       Device::kMouse,
       {.mode = 50, .level = 7},
       0,
       53,
       Rendered::kFrame,
       black150},
      {"mouse speed 200 is speed 14",
       Device::kMouse,
       {.mode = 3, .speed = 200},
       0,
       221,
       Rendered::kFrame,
       {200, 100, 50, 255}},
      {"mousepad mode 9 is its click flash",
       Device::kMousepad,
       {.mode = 9, .level = 7},
       0,
       9,
       Rendered::kFrame,
       black150},
      {"mousepad mode and speed 255",
       Device::kMousepad,
       {.mode = 255, .level = 7, .speed = 255},
       0,
       65,
       Rendered::kFrame,
       black150},
      {"headset mode 4 is static",
       Device::kHeadset,
       {.mode = 4},
       0,
       9,
       Rendered::kFrame,
       {200, 100, 50, 255}},
      {"headset speed 99 is speed 14",
       Device::kHeadset,
       {.mode = 2, .speed = 99},
       0,
       73,
       Rendered::kFrame,
       {200, 100, 50, 3}},
      {"synchronised speed 99 is speed 14",
       Device::kSync,
       {.mode = 3, .speed = 99},
       0,
       56,
       Rendered::kFrame,
       {200, 100, 50, 255}},
      {"synchronised mode 9 renders nothing",
       Device::kSync,
       {.mode = 9},
       0,
       0,
       Rendered::kNothing,
       kUntouched},
  };
  for (const Row& row : rows) {
    const Outcome out = RenderOnce(row.device, Record(row.record), row.customSet);
    EXPECT_EQ(out.pass.delay, milliseconds{row.delayMs}) << row.name;
    EXPECT_EQ(out.pass.rendered, row.rendered) << row.name;
    EXPECT_EQ(out.first, row.first) << row.name;
  }
}

TEST(RecordCheck, CheckedRecordFields) {
  const EffectRecord r = CheckRecord({12, 0, 3, 1, 5, 7, 8, 9}, kHeadsetLastMode);
  EXPECT_EQ(r.mode, 3);
  EXPECT_EQ(r.brightness, 0);
  EXPECT_EQ(r.speed, 3);
  EXPECT_EQ(r.direction, 1);
  EXPECT_TRUE(r.multicolour);
  EXPECT_EQ(r.colour, (Rgb{7, 8, 9}));
}

// Level 0 lights nothing, whatever the mode, colour or animation state: every stream byte is 0
// for many passes of every mode of every device.
template <std::size_t N>
bool AllZero(const std::array<std::uint8_t, N>& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

constexpr int kPasses = 80;
const EffectClock::time_point kT0{std::chrono::seconds{5}};

TEST(LevelZero, BlackInEveryModeOfEveryDevice) {
  static const auto sets = [] {
    std::array<std::uint8_t, kCustomColourSetCount * kCustomColourSetSize> s;
    s.fill(255);
    return s;
  }();
  for (std::uint8_t multicolour : {0, 1}) {
    for (std::uint8_t mode = 0; mode <= kKeyboardLastMode; ++mode) {
      KeyboardAnimation state;
      ResetKeyboardAnimation(state);
      SeedKeyboardMode(state, mode);
      ClickKeyboardKey(state, mode, 52);
      KeyboardFrame frame{};
      KeyboardFrame preview{};
      const LightingSettings record =
          Record({.mode = mode, .level = 0, .multicolour = multicolour, .colour = {255, 255, 255}});
      for (int i = 0; i < kPasses; ++i) {
        TickKeyboardClock(state);
        RenderKeyboard({record, sets, 0}, state, frame, preview);
        ASSERT_TRUE(AllZero(PackKeyboardStream(frame))) << "keyboard mode " << int{mode} << " pass " << i;
        ASSERT_TRUE(AllZero(PackKeyboardStream(preview))) << "keyboard preview, mode " << int{mode};
      }
    }
    for (std::uint8_t mode = 0; mode <= kMouseLastMode; ++mode) {
      MouseAnimation state;
      StartMouseRing(state, 0);
      MouseFrame frame{};
      const LightingSettings record =
          Record({.mode = mode, .level = 0, .multicolour = multicolour, .colour = {255, 255, 255}});
      for (int i = 0; i < kPasses; ++i) {
        RenderMouse({record, i % 5 == 0, kT0 + std::chrono::milliseconds{10 * i}}, state, frame);
        ASSERT_TRUE(AllZero(PackMouseStream(frame))) << "mouse mode " << int{mode} << " pass " << i;
      }
    }
    for (std::uint8_t mode = 0; mode <= kMousepadLastMode; ++mode) {
      MousepadAnimation state;
      ResetMousepadAnimation(state);
      MousepadFrame frame{};
      const LightingSettings record =
          Record({.mode = mode, .level = 0, .multicolour = multicolour, .colour = {255, 255, 255}});
      for (int i = 0; i < kPasses; ++i) {
        RenderMousepad({record, i % 5 == 0, kT0 + std::chrono::milliseconds{10 * i}}, state, frame);
        ASSERT_TRUE(AllZero(PackMousepadStream(frame))) << "mousepad mode " << int{mode} << " pass " << i;
      }
    }
    for (std::uint8_t mode = 0; mode <= kHeadsetLastMode; ++mode) {
      HeadsetAnimation state;
      HeadsetFrame frame{};
      const LightingSettings record =
          Record({.mode = mode, .level = 0, .multicolour = multicolour, .colour = {255, 255, 255}});
      for (int i = 0; i < kPasses; ++i) {
        RenderHeadset(record, state, frame);
        const auto pairs = PackHeadsetPairList(frame);
        for (std::size_t v = 1; v < pairs.size(); v += 2)
          ASSERT_EQ(pairs[v], 0) << "headset mode " << int{mode};
        for (const HeadsetRegisterByte& b : PackHeadsetSingleColour(frame)) ASSERT_EQ(b.value, 0);
      }
    }
    for (std::uint8_t mode = 0; mode <= kSyncLastMode; ++mode) {
      SyncAnimation state;
      KeyboardFrame keyboard{};
      MouseFrame mouse{};
      MousepadFrame mousepad{};
      const LightingSettings record =
          Record({.mode = mode, .level = 0, .multicolour = multicolour, .colour = {255, 255, 255}});
      for (int i = 0; i < kPasses; ++i) {
        RenderSynchronised(record, state, {&keyboard, &mouse, &mousepad, nullptr});
        ASSERT_TRUE(AllZero(PackKeyboardStream(keyboard)) && AllZero(PackMouseStream(mouse)) &&
                    AllZero(PackMousepadStream(mousepad)))
            << "synchronised mode " << int{mode};
      }
    }
  }
}

}  // namespace
}  // namespace korva::lighting::effects
