// Which frames stand still: the modes whose thread may write a frame once and sleep until something
// changes. A mode that claims it must render the very same frame pass after pass (a wrong claim
// would freeze an animation on the device); the animated ones must not claim it.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "lighting/effects/HeadsetEffects.h"
#include "lighting/effects/KeyboardEffects.h"
#include "lighting/effects/MouseEffects.h"
#include "lighting/effects/MousepadEffects.h"
#include "lighting/effects/SyncEffects.h"
#include "tests/lighting/effects/EffectsTestSupport.h"

namespace korva::lighting::effects {
namespace {

const EffectClock::time_point kT0{std::chrono::seconds{100}};

// One device's renderer over its own state, returning the pass and the frame it left.
using Renderer = std::function<Pass(const LightingSettings&, std::vector<FrameEntry>&)>;

template <class Frame>
std::vector<FrameEntry> Entries(const Frame& frame) {
  return {frame.begin(), frame.end()};
}

struct Device {
  std::string name;
  std::uint8_t lastMode;
  std::vector<std::uint8_t> stillModes;
  std::function<Renderer()> make;  // a renderer with fresh state
};

std::vector<Device> Devices() {
  static const std::array<std::uint8_t, kCustomColourSetCount * kCustomColourSetSize> sets{};
  return {
      {"keyboard", kKeyboardLastMode, {3, 8},
       [] {
         return Renderer([state = KeyboardAnimation{}, frame = KeyboardFrame{}, preview = KeyboardFrame{}](
                             const LightingSettings& r, std::vector<FrameEntry>& out) mutable {
           const Pass pass = RenderKeyboard({r, CustomColourSetsView(sets), 0}, state, frame, preview);
           NoteKeyboardFrameWritten(state);
           out = Entries(frame);
           return pass;
         });
       }},
      {"mouse", kMouseLastMode, {3, 6},
       [] {
         return Renderer([state = MouseAnimation{}, frame = MouseFrame{}](const LightingSettings& r,
                                                                           std::vector<FrameEntry>& out) mutable {
           const Pass pass = RenderMouse({r, false, kT0}, state, frame);
           out = Entries(frame);
           return pass;
         });
       }},
      {"mousepad", kMousepadLastMode, {3, 8},
       [] {
         return Renderer([state = MousepadAnimation{}, frame = MousepadFrame{}](
                             const LightingSettings& r, std::vector<FrameEntry>& out) mutable {
           const Pass pass = RenderMousepad({r, false, kT0}, state, frame);
           out = Entries(frame);
           return pass;
         });
       }},
      {"headset", kHeadsetLastMode, {3},
       [] {
         return Renderer([state = HeadsetAnimation{}, frame = HeadsetFrame{}](const LightingSettings& r,
                                                                               std::vector<FrameEntry>& out) mutable {
           const Pass pass = RenderHeadset(r, state, frame);
           out = Entries(frame);
           return pass;
         });
       }},
      {"synchronised", kSyncLastMode + 1, {3, 4},
       [] {
         return Renderer([state = SyncAnimation{}, frame = MouseFrame{}](const LightingSettings& r,
                                                                          std::vector<FrameEntry>& out) mutable {
           const Pass pass = RenderSynchronised(r, state, {nullptr, &frame, nullptr, nullptr});
           out = Entries(frame);
           return pass;
         });
       }},
  };
}

TEST(StillFrames, OnlyModesThatRenderTheSameFrameEveryPassStandStill) {
  for (const Device& device : Devices()) {
    for (std::uint8_t mode = 0; mode <= device.lastMode; ++mode) {
      SCOPED_TRACE(device.name + " mode " + std::to_string(mode));
      const bool expected = std::find(device.stillModes.begin(), device.stillModes.end(), mode) !=
                            device.stillModes.end();
      for (std::uint8_t multicolour : {0, 1}) {
        const LightingSettings record = Record({.mode = mode, .level = 9, .speed = 3, .multicolour = multicolour});
        Renderer render = device.make();
        std::vector<FrameEntry> first;
        std::vector<FrameEntry> later;
        EXPECT_EQ(render(record, first).still, expected);
        if (!expected) continue;
        for (int pass = 0; pass < 300; ++pass) {
          EXPECT_TRUE(render(record, later).still);
          ASSERT_EQ(later, first) << "pass " << pass << " differs from the still frame";
        }
      }
    }
  }
}

// A click flash stands still only while dark: every lit frame, the one that ends the flash
// included, is followed by another pass.
TEST(StillFrames, AClickFlashIsStillOnlyWhileDark) {
  const LightingSettings mouse = Record({.mode = kMouseLastMode});
  const LightingSettings pad = Record({.mode = kMousepadLastMode});
  MouseAnimation mouseState;
  MouseFrame mouseFrame;
  MousepadAnimation padState;
  MousepadFrame padFrame;
  struct Step {
    bool clicked;
    int ms;
    bool still;
  };
  const Step steps[] = {{false, 0, true}, {true, 0, false}, {false, 60, false}, {false, 100, false},
                        {false, 150, true}, {false, 400, true}};
  for (const Step& step : steps) {
    SCOPED_TRACE(std::to_string(step.ms) + " ms" + (step.clicked ? ", clicked" : ""));
    const EffectClock::time_point now = kT0 + std::chrono::milliseconds{step.ms};
    EXPECT_EQ(RenderMouse({mouse, step.clicked, now}, mouseState, mouseFrame).still, step.still);
    EXPECT_EQ(RenderMousepad({pad, step.clicked, now}, padState, padFrame).still, step.still);
  }
}

}  // namespace
}  // namespace korva::lighting::effects
