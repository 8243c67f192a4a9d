#pragma once
// The waves several devices share. A wave runs over groups of LEDs (a keyboard column, a mouse
// column, one mousepad or headset LED). With multicolour each group shows the colour wheel a fixed
// spread further on; with a single colour each group breathes along the wave curve V, ten steps
// after the group before it.

#include <cstddef>
#include <cstdint>

#include "lighting/effects/EffectRecord.h"
#include "lighting/effects/Frame.h"
#include "lighting/effects/Phase.h"
#include "lighting/effects/SharedTables.h"

namespace korva::lighting::effects {

inline constexpr std::size_t kWaveGroupSpacing = 10;  // V steps between neighbouring groups

// The keyboard's and the synchronised wave: the wheel at full colour, or the single colour dimmed
// along V (group 0 already ten steps on). setGroup(group, entry) lights one group.
template <typename SetGroup>
void ColumnWave(const EffectRecord& r, std::uint8_t& phase, std::size_t groups, SetGroup&& setGroup) {
  if (r.multicolour) {
    Advance(phase, 1, kWheelCycle, r.direction);
    for (std::size_t g = 0; g < groups; ++g) setGroup(g, MakeEntry(WheelAt(phase + 7 * g), r.brightness));
    return;
  }
  Advance(phase, 1, kWaveLength, r.direction);
  std::size_t q = phase;
  for (std::size_t g = 0; g < groups; ++g) {
    q = (q + kWaveGroupSpacing) % kWaveLength;
    setGroup(g, MakeEntry(r.colour, Scaled(r.brightness, kWave[q])));
  }
}

struct ScaledWaveShape {
  std::uint8_t step;    // phase step per frame
  std::uint8_t spread;  // wheel positions between groups (multicolour)
  PhaseWrap wrap;
};
inline constexpr ScaledWaveShape kPointerWave{1, 7, PhaseWrap::kRestart};  // mouse, mousepad
inline constexpr ScaledWaveShape kHeadsetWave{3, 14, PhaseWrap::kKeepOvershoot};

// The mouse's, the mousepad's and the headset's wave: colours scaled by the brightness before they
// are stored. With a single colour, group g's colour follows V at its own phase and its brightness
// V one group further on.
template <typename SetGroup>
void ScaledWave(const EffectRecord& r, std::uint8_t& phase, std::size_t groups, ScaledWaveShape shape,
                SetGroup&& setGroup) {
  if (r.multicolour) {
    Advance(phase, shape.step, kWheelCycle, r.direction, shape.wrap);
    for (std::size_t g = 0; g < groups; ++g) {
      setGroup(g, MakeEntry(ScaledPlus1(WheelAt(phase + shape.spread * g), r.brightness), r.brightness));
    }
    return;
  }
  Advance(phase, shape.step, kWaveLength, r.direction, shape.wrap);
  const Rgb lit = ScaledPlus1(r.colour, r.brightness);
  std::size_t q = phase;
  for (std::size_t g = 0; g < groups; ++g) {
    const Rgb colour = ScaledPlus1(lit, kWave[q]);
    q = (q + kWaveGroupSpacing) % kWaveLength;
    setGroup(g, MakeEntry(colour, Scaled(r.brightness, kWave[q])));
  }
}

}  // namespace korva::lighting::effects
