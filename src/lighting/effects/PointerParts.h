#pragma once
// The pieces the mouse's and the mousepad's effects share: the bouncing bar, the trigger ring
// that feeds the ring ripple, and the flash a mouse click sets off.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "lighting/effects/EffectRecord.h"
#include "lighting/effects/Frame.h"

namespace korva::lighting::effects {

using EffectClock = std::chrono::steady_clock;

// A counter that runs up by one per frame to `top`, back down to -1, and up again.
struct Bar {
  int n = 0;
  bool fallingBack = false;
};
void StepBar(Bar& bar, int top);
// Whether LED or column i of a bar at n is lit: the part before n (direction 0) or after it (1).
constexpr bool BarLit(int i, int n, std::uint8_t direction) {
  return direction == 0 ? i < n : i > n;
}

// The ring ripple. A byte of the trigger ring that is not 0 lights its position (intensity 255,
// and with multicolour the next seed colour); then the ring turns by one place, towards higher
// positions with direction 0 and lower ones with direction 1, so a lit byte travels round it.
struct RingView {
  std::span<std::uint8_t> ring;       // the whole ring; it turns as a whole
  std::span<std::uint8_t> intensity;  // one per position that lights an LED
  std::span<std::uint8_t> position;   // wheel position per position
};
void LightAndTurnRing(const RingView& ring, const EffectRecord& r, std::uint8_t& seed);
// The colour of ring position i: its wheel position with multicolour, else the record's colour.
Rgb RingColour(const RingView& ring, std::size_t i, const EffectRecord& r);

// The flash of a mouse click: the whole device lights for 100 ms, each flash 14 wheel steps on
// from the last.
struct ClickFlash {
  bool running = false;
  EffectClock::time_point start{};
  std::uint8_t position = 0;
};
// The flash's entry for this frame, or nothing when no flash runs. A click restarts the flash;
// the flash ends after the first frame that finds 100 ms gone.
std::optional<FrameEntry> StepFlash(ClickFlash& flash, bool clicked, EffectClock::time_point now,
                                    const EffectRecord& r);

// The frame of the click flash mode: lit while a flash runs, dark otherwise. True when it is lit.
template <std::size_t N>
bool RenderFlash(Frame<N>& frame, ClickFlash& flash, bool clicked, EffectClock::time_point now,
                 const EffectRecord& r) {
  const std::optional<FrameEntry> lit = StepFlash(flash, clicked, now, r);
  frame.fill(lit.value_or(FrameEntry{0, 0, 0, r.brightness}));
  return lit.has_value();
}

}  // namespace korva::lighting::effects
