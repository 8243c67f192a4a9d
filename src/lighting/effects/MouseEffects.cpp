#include "lighting/effects/MouseEffects.h"

#include <algorithm>

#include "lighting/effects/Decay.h"
#include "lighting/effects/EffectRecord.h"
#include "lighting/effects/Phase.h"
#include "lighting/effects/SharedTables.h"
#include "lighting/effects/Waves.h"

namespace korva::lighting::effects {
namespace {

constexpr int kBarTop = 8;

void SetColumn(MouseFrame& frame, std::size_t column, FrameEntry entry) {
  for (std::uint8_t led : kMouseColumnTable[column]) frame[led] = entry;
}

void Breathing(const EffectRecord& r, MouseAnimation& s, MouseFrame& frame) {
  if (Advance(s.phase, 1, kBreathLength, r.direction)) {
    s.breathSet = static_cast<std::uint8_t>(s.breathSet + 1U >= kMouseBreathSets ? 0 : s.breathSet + 1);
  }
  const auto& palette = kMouseBreathPalette[std::min<std::size_t>(s.breathSet, kMouseBreathSets - 1)];
  for (std::size_t c = 0; c < kMouseColumns; ++c) {
    const Rgb colour = r.multicolour ? palette[c] : r.colour;
    SetColumn(frame, c,
              MakeEntry(ScaledPlus1(ScaledPlus1(colour, kBreath[s.phase]), r.brightness), r.brightness));
  }
}

void BarEffect(const EffectRecord& r, MouseAnimation& s, MouseFrame& frame) {
  StepBar(s.bar, kBarTop);
  Advance(s.phase, 1, kWheelCycle, r.direction);
  for (std::size_t c = 0; c < kMouseColumns; ++c) {
    if (!BarLit(static_cast<int>(c), s.bar.n, r.direction)) {
      SetColumn(frame, c, {0, 0, 0, r.brightness});
      continue;
    }
    const Rgb colour = r.multicolour ? WheelAt(s.phase + 7 * c) : r.colour;
    SetColumn(frame, c, MakeEntry(ScaledPlus1(colour, r.brightness), r.brightness));
  }
}

void Ring(const EffectRecord& r, MouseAnimation& s, MouseFrame& frame) {
  const RingView ring{s.ring, s.intensity, s.position};
  LightAndTurnRing(ring, r, s.seed);
  for (std::size_t c = 0; c < kMouseColumns; ++c) {
    s.intensity[c] = Decay(s.intensity[c], kMouseRingDecay);
    const Rgb colour = ScaledPlus1(ScaledPlus1(RingColour(ring, c, r), s.intensity[c]), r.brightness);
    SetColumn(frame, c, MakeEntry(colour, Scaled(r.brightness, s.intensity[c])));
  }
}

}  // namespace

std::chrono::milliseconds MouseDelay(std::uint8_t speed) {
  return std::chrono::milliseconds{50 + (2 * speed + 3) + 10 * speed};
}

Pass RenderMouse(const MouseInput& input, MouseAnimation& state, MouseFrame& frame) {
  const EffectRecord r = CheckRecord(input.record, kMouseLastMode);
  Pass pass{MouseDelay(r.speed), Rendered::kFrame};
  switch (r.mode) {
    case 0:
      ScaledWave(r, state.phase, kMouseColumns, kPointerWave,
                 [&](std::size_t c, FrameEntry e) { SetColumn(frame, c, e); });
      break;
    case 1:
      Advance(state.phase, 1, kWheelCycle, r.direction);
      frame.fill(MakeEntry(ScaledPlus1(kWheel[state.phase], r.brightness), r.brightness));
      break;
    case 2:
      Breathing(r, state, frame);
      break;
    case 3:
      frame.fill(MakeEntry(ScaledPlus1(r.colour, r.brightness), r.brightness));
      pass.still = true;
      break;
    case 4:
      BarEffect(r, state, frame);
      break;
    case 5:
      Ring(r, state, frame);
      break;
    default:
      // Dark until the next click: nothing to render again until one comes.
      pass.still = !RenderFlash(frame, state.flash, input.clicked, input.now, r);
      pass.clickTaken = input.clicked;
      break;
  }
  return pass;
}

void ResetMouseAnimation(MouseAnimation& state) {
  state.phase = 0;
  state.ring.fill(0);
  state.intensity.fill(0);
  state.position.fill(0);
}

void StartMouseRing(MouseAnimation& state, std::uint8_t direction) {
  state.ring[direction != 0 ? kMouseRingLeftStart : 0] = 1;
}

}  // namespace korva::lighting::effects
