#pragma once
// The mouse's seven lighting effects, rendered into its 20-entry frame once per pass of the mouse
// lighting thread:
//   0 wave by columns   1 colour cycle   2 breathing   3 static   4 bar   5 ring ripple   6 click flash
// The mouse's 20 LEDs stand in 7 columns of 3 (LED 9 twice, in column 2).

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "lighting/LightingSettings.h"
#include "lighting/effects/Frame.h"
#include "lighting/effects/Pass.h"
#include "lighting/effects/PointerParts.h"

namespace korva::lighting::effects {

inline constexpr std::uint8_t kMouseLastMode = 6;
inline constexpr std::size_t kMouseColumns = 7;
inline constexpr std::array<std::array<std::uint8_t, 3>, kMouseColumns> kMouseColumnTable{{
    {0, 7, 19},
    {1, 8, 18},
    {2, 9, 9},
    {3, 10, 14},
    {4, 11, 15},
    {5, 12, 16},
    {6, 13, 17},
}};

// The breathing colours with multicolour: one set per breath, a colour per column.
inline constexpr std::size_t kMouseBreathSets = 3;
inline constexpr std::array<std::array<Rgb, kMouseColumns>, kMouseBreathSets> kMouseBreathPalette{{
    {{{255, 255, 0}, {200, 255, 0}, {170, 255, 0}, {140, 255, 0}, {110, 255, 0}, {80, 255, 0}, {70, 255, 0}}},
    {{{0, 255, 255}, {0, 200, 255}, {0, 170, 255}, {0, 140, 255}, {0, 110, 255}, {0, 80, 255}, {0, 70, 255}}},
    {{{245, 0, 255}, {245, 0, 200}, {245, 0, 170}, {245, 0, 140}, {245, 0, 110}, {245, 0, 80}, {245, 0, 70}}},
}};

inline constexpr std::size_t kMouseRingSize = 23;
inline constexpr std::size_t kMouseRingPositions = 14;  // positions 0..13 light; 0..6 are the columns
inline constexpr std::size_t kMouseRingLeftStart = 7;   // where the ring starts for direction 1

struct MouseAnimation {
  std::uint8_t phase = 0;
  std::uint8_t breathSet = 0;  // 0..2, the palette set of the current breath
  Bar bar;
  std::array<std::uint8_t, kMouseRingSize> ring{};
  std::array<std::uint8_t, kMouseRingPositions> intensity{};
  std::array<std::uint8_t, kMouseRingPositions> position{};
  // Adds 11 for every lit ring position; a lit position takes it as its wheel position.
  std::uint8_t seed = 0;
  ClickFlash flash;
};

struct MouseInput {
  LightingSettings record;
  bool clicked = false;  // the click flag the mouse's reader sets (see Pass::clickTaken)
  EffectClock::time_point now{};
};

// The wait of one pass at `speed` (0..14): 50 ms, then 2 x speed + 3 ms, then 10 x speed ms.
std::chrono::milliseconds MouseDelay(std::uint8_t speed);

Pass RenderMouse(const MouseInput& input, MouseAnimation& state, MouseFrame& frame);

// On a mode or direction change: phase, ring, intensities and ring colours back to 0.
void ResetMouseAnimation(MouseAnimation& state);
// Starts the ring: position 7 for direction 1, position 0 for direction 0.
void StartMouseRing(MouseAnimation& state, std::uint8_t direction);

}  // namespace korva::lighting::effects
