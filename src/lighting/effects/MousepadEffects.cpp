#include "lighting/effects/MousepadEffects.h"

#include "lighting/effects/Decay.h"
#include "lighting/effects/EffectRecord.h"
#include "lighting/effects/Phase.h"
#include "lighting/effects/SharedTables.h"
#include "lighting/effects/Waves.h"

namespace korva::lighting::effects {
namespace {

using std::chrono::milliseconds;

constexpr int kBarTop = 15;
constexpr std::uint8_t kBarWheelSpread = 17;
constexpr std::uint8_t kSweepRuns = 15;
constexpr std::uint16_t kSweepStart = 0x3F00;
constexpr std::uint16_t kSweepBackStart = 0xFC;
constexpr milliseconds kSweepPause{1000};
constexpr std::uint8_t kSweepColourSpread = 20;

void SetColumn(MousepadFrame& frame, std::size_t column, FrameEntry entry) {
  for (std::uint8_t led : kMousepadColumnTable[column]) {
    if (led != kNoPadLed) frame[led] = entry;
  }
}

milliseconds ExtraWait(const EffectRecord& r) {
  switch (r.mode) {
    case 4:
      return milliseconds{10 * r.speed + 100};
    case 5:
      return milliseconds{50};
    case 7:
      return milliseconds{5 * r.speed + 50};
    default:
      return milliseconds{0};
  }
}

void BarEffect(const EffectRecord& r, MousepadAnimation& s, MousepadFrame& frame) {
  StepBar(s.bar, kBarTop);
  for (std::size_t i = 0; i < kMousepadEntries; ++i) {
    if (!BarLit(static_cast<int>(i), s.bar.n, r.direction)) {
      frame[i] = {0, 0, 0, r.brightness};
      continue;
    }
    frame[i] = MakeEntry(r.multicolour ? kWheel[kBarWheelSpread * i] : r.colour, r.brightness);
  }
}

void Ring(const EffectRecord& r, MousepadAnimation& s, MousepadFrame& frame) {
  const RingView ring{s.ring, s.intensity, s.position};
  LightAndTurnRing(ring, r, s.seed);
  for (std::size_t i = 0; i < kMousepadEntries; ++i) {
    s.intensity[i] = Decay(s.intensity[i], kMousepadRingDecay);
    frame[i] = MakeEntry(RingColour(ring, i, r), Scaled(r.brightness, s.intensity[i]));
  }
}

// The sign-preserving shift the sweep's pattern makes on its way out: its top bit stays.
constexpr std::uint16_t ShiftOut(std::uint16_t pattern) {
  return static_cast<std::uint16_t>((pattern >> 1) | (pattern & 0x8000U));
}

// One sweep frame; false when this pass is the pause between runs and renders nothing.
bool SweepEffect(const EffectRecord& r, MousepadAnimation& s, MousepadFrame& frame) {
  Sweep& w = s.sweep;
  int firstBit = 0;  // the pattern bit of column 0; column c reads bit firstBit - c
  if (w.forward) {
    w.pattern = ShiftOut(w.pattern);
    if (++w.steps >= kSweepRuns) {
      w.forward = false;
      w.pattern = kSweepBackStart;
      return false;
    }
    firstBit = 7;
  } else {
    if (w.steps == 0) {
      w.forward = true;
      w.pattern = kSweepStart;
      return false;
    }
    firstBit = 15;
  }
  Advance(s.phase, 1, kWheelCycle, 0);
  std::size_t q = s.phase;
  for (std::size_t c = 0; c < kMousepadColumns; ++c) {
    if ((w.pattern >> (firstBit - static_cast<int>(c)) & 1U) == 0) {
      SetColumn(frame, c, {0, 0, 0, 0});
      continue;
    }
    const Rgb colour = r.multicolour ? kWheel[q] : r.colour;
    SetColumn(frame, c, MakeEntry(ScaledPlus1(colour, r.brightness), r.brightness));
    q = (q + kSweepColourSpread) % kWheelCycle;
  }
  if (!w.forward) {
    w.pattern = static_cast<std::uint16_t>(w.pattern << 1);
    --w.steps;
  }
  return true;
}

}  // namespace

Pass RenderMousepad(const MousepadInput& input, MousepadAnimation& state, MousepadFrame& frame) {
  const EffectRecord r = CheckRecord(input.record, kMousepadLastMode);
  Pass pass{MousepadDelay(r.mode, r.speed) + ExtraWait(r), Rendered::kFrame};
  switch (r.mode) {
    case 0:
      ScaledWave(r, state.phase, kMousepadEntries, kPointerWave,
                 [&](std::size_t i, FrameEntry e) { frame[i] = e; });
      break;
    case 1:
      Advance(state.phase, 1, kWheelCycle, r.direction);
      frame.fill(MakeEntry(ScaledPlus1(kWheel[state.phase], r.brightness), r.brightness));
      break;
    case 2: {
      Advance(state.phase, 1, kBreathLength, r.direction);
      const Rgb colour = r.multicolour ? kWheel[state.phase + 50] : r.colour;
      frame.fill(MakeEntry(colour, Scaled(r.brightness, kBreath[state.phase])));
      break;
    }
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
    case 6:
      Advance(state.phase, 1, kWheelCycle, r.direction);
      for (std::size_t c = 0; c < kMousepadColumns; ++c) {
        SetColumn(frame, c, MakeEntry(ScaledPlus1(WheelAt(state.phase + 7 * c), r.brightness), r.brightness));
      }
      break;
    case 7:
      if (!SweepEffect(r, state, frame)) {
        pass.delay += kSweepPause;
        pass.rendered = Rendered::kNothing;
      }
      break;
    default:
      // Dark until the next click: nothing to render again until one comes.
      pass.still = !RenderFlash(frame, state.flash, input.clicked, input.now, r);
      pass.clickTaken = input.clicked;
      break;
  }
  return pass;
}

void ResetMousepadAnimation(MousepadAnimation& state) {
  state.phase = 0;
  state.ring.fill(0);
  state.intensity.fill(0);
  state.position.fill(0);
  StartMousepadRing(state);
}

void StartMousepadRing(MousepadAnimation& state) {
  state.ring[0] = 1;
}

}  // namespace korva::lighting::effects
