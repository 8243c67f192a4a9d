#include "lighting/effects/PointerParts.h"

#include <algorithm>

#include "lighting/effects/SharedTables.h"

namespace korva::lighting::effects {
namespace {

constexpr auto kFlashLength = std::chrono::milliseconds{100};
constexpr std::uint8_t kFlashStep = 14;
constexpr std::uint8_t kFlashLastPosition = 191;
// How much brighter than the record's brightness a flash shows: it is shown at the record's own
// brightness, the one value that cannot overflow the byte at every level.
constexpr std::uint8_t kFlashFactor = 1;

}  // namespace

void StepBar(Bar& bar, int top) {
  if (!bar.fallingBack) {
    if (++bar.n >= top) bar.fallingBack = true;
  } else if (--bar.n <= -1) {
    bar.fallingBack = false;
  }
}

void LightAndTurnRing(const RingView& ring, const EffectRecord& r, std::uint8_t& seed) {
  for (std::size_t i = 0; i < ring.intensity.size(); ++i) {
    if (ring.ring[i] == 0) continue;
    ring.intensity[i] = 255;
    if (r.multicolour) {
      seed = static_cast<std::uint8_t>(seed + 11);
      ring.position[i] = seed;
    }
  }
  if (r.direction == 0) {
    std::rotate(ring.ring.rbegin(), ring.ring.rbegin() + 1, ring.ring.rend());
  } else {
    std::rotate(ring.ring.begin(), ring.ring.begin() + 1, ring.ring.end());
  }
}

Rgb RingColour(const RingView& ring, std::size_t i, const EffectRecord& r) {
  return r.multicolour ? WheelAt(ring.position[i]) : r.colour;
}

std::optional<FrameEntry> StepFlash(ClickFlash& flash, bool clicked, EffectClock::time_point now,
                                    const EffectRecord& r) {
  if (clicked) {
    flash.running = true;
    flash.start = now;
    flash.position = static_cast<std::uint8_t>(flash.position + kFlashStep);
    if (flash.position > kFlashLastPosition) flash.position = 0;
  }
  if (!flash.running) return std::nullopt;
  if (now - flash.start >= kFlashLength) flash.running = false;
  const Rgb colour = r.multicolour ? kWheel[flash.position] : r.colour;
  return MakeEntry(colour, static_cast<std::uint8_t>(r.brightness * kFlashFactor));
}

}  // namespace korva::lighting::effects
