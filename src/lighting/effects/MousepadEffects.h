#pragma once
// The mousepad's nine lighting effects, rendered into its 15-entry frame once per pass of the
// mousepad lighting thread:
//   0 wave   1 colour cycle   2 breathing   3 static   4 bar   5 ring ripple   6 column wave
//   7 sweep  8 click flash
// The 15 LEDs run round three edges of the pad: LEDs 0..4 down the left edge, 4..10 along the
// bottom, 10..14 up the right edge; its columns are those of the bottom row, the end columns
// holding a whole edge.

#include <array>
#include <cstddef>
#include <cstdint>

#include "lighting/LightingSettings.h"
#include "lighting/effects/Frame.h"
#include "lighting/effects/Pass.h"
#include "lighting/effects/PointerParts.h"

namespace korva::lighting::effects {

inline constexpr std::uint8_t kMousepadLastMode = 8;
inline constexpr std::size_t kMousepadColumns = 7;
inline constexpr std::size_t kMousepadRows = 5;
inline constexpr std::uint8_t kNoPadLed = 255;
// Rows 0..4 of each column (kNoPadLed where a column has no LED in a row).
inline constexpr std::array<std::array<std::uint8_t, kMousepadRows>, kMousepadColumns> kMousepadColumnTable{{
    {0, 1, 2, 3, 4},
    {kNoPadLed, kNoPadLed, kNoPadLed, kNoPadLed, 5},
    {kNoPadLed, kNoPadLed, kNoPadLed, kNoPadLed, 6},
    {kNoPadLed, kNoPadLed, kNoPadLed, kNoPadLed, 7},
    {kNoPadLed, kNoPadLed, kNoPadLed, kNoPadLed, 8},
    {kNoPadLed, kNoPadLed, kNoPadLed, kNoPadLed, 9},
    {14, 13, 12, 11, 10},
}};

// The sweep: a pattern of lit columns runs across the pad 15 times, then back.
struct Sweep {
  bool forward = true;
  std::uint16_t pattern = 0x3F00;
  std::uint8_t steps = 0;
};

struct MousepadAnimation {
  std::uint8_t phase = 0;
  Bar bar;
  std::array<std::uint8_t, kMousepadEntries> ring{};
  std::array<std::uint8_t, kMousepadEntries> intensity{};
  std::array<std::uint8_t, kMousepadEntries> position{};
  std::uint8_t seed = 0;  // as the mouse's
  ClickFlash flash;
  Sweep sweep;
};

struct MousepadInput {
  LightingSettings record;
  bool clicked = false;  // the mousepad's click flag, set by the mouse's reader (see Pass::clickTaken)
  EffectClock::time_point now{};
};

Pass RenderMousepad(const MousepadInput& input, MousepadAnimation& state, MousepadFrame& frame);

// On a mode change: phase, ring, intensities and ring colours back to 0, the ring started at
// position 0.
void ResetMousepadAnimation(MousepadAnimation& state);
// Starts the ring at position 0 (the page's refresh in the ring mode).
void StartMousepadRing(MousepadAnimation& state);

}  // namespace korva::lighting::effects
