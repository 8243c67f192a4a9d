#include "lighting/effects/KeyboardEffects.h"

#include <algorithm>

#include "lighting/effects/Decay.h"
#include "lighting/effects/EffectRecord.h"
#include "lighting/effects/Phase.h"
#include "lighting/effects/SharedTables.h"
#include "lighting/effects/Waves.h"

namespace korva::lighting::effects {
namespace {

using std::chrono::milliseconds;

// Extra wait of each mode before it renders, on top of the frame delay.
constexpr std::array<std::uint8_t, kKeyboardLastMode + 1> kExtraWait{0, 20, 0, 0, 12, 40, 15, 1, 0, 0};

constexpr std::uint8_t kRippleWaveColumn = 9;
constexpr std::uint8_t kShowRippleKey = 52;
constexpr std::uint8_t kShowCircleEndKey = 72;    // the circle ends once this key has faded
constexpr std::uint8_t kShowRippleEdgeKey = 105;  // the show's ripple has reached the corner
constexpr std::uint8_t kShowCircleLastStep = 30;
constexpr std::uint8_t kKeyPhaseSpread = 33;

struct Context {
  const EffectRecord& r;
  KeyboardAnimation& s;
  KeyboardFrame& frame;
};

void SetColumn(KeyboardFrame& frame, std::size_t column, FrameEntry entry) {
  for (std::uint8_t key : kKeyboardColumnTable[column]) {
    if (key != kNoKey) frame[key] = entry;
  }
}

// A key lit by a ripple or the show: full intensity, and with multicolour the next seed colour.
void LightKey(const Context& c, std::uint8_t key) {
  if (key >= kKeyboardEntries) return;
  c.s.intensity[key] = 255;
  if (c.r.multicolour) {
    c.s.seed = static_cast<std::uint8_t>(c.s.seed + 11);
    c.s.keyPhase[key] = c.s.seed;
  }
}

void LightRipples(const Context& c) {
  ForEachRippleKey(c.s.ripples, [&](std::uint8_t key) { LightKey(c, key); });
}

Rgb KeyColour(const Context& c, std::uint8_t key) {
  return c.r.multicolour ? kWheel[c.s.keyPhase[key]] : c.r.colour;
}

// Fades the keys of the path and shows them with their intensity.
void RenderRipples(const Context& c, const DecayRule& decay) {
  for (std::uint8_t key : kKeyPath) {
    if (key == kNoKey) continue;
    c.s.intensity[key] = Decay(c.s.intensity[key], decay);
    c.frame[key] = MakeEntry(KeyColour(c, key), Scaled(c.r.brightness, c.s.intensity[key]));
  }
}

void Wave(const Context& c) {
  ColumnWave(c.r, c.s.phase, kKeyboardColumns,
             [&](std::size_t column, FrameEntry entry) { SetColumn(c.frame, column, entry); });
}

void ColourCycle(const Context& c) {
  Advance(c.s.phase, 1, kWheelCycle, c.r.direction);
  c.frame.fill(MakeEntry(kWheel[c.s.phase], c.r.brightness));
}

void Breathing(const Context& c) {
  Advance(c.s.phase, 1, kBreathLength, c.r.direction);
  const Rgb colour = c.r.multicolour ? kWheel[c.s.phase + 50] : c.r.colour;
  c.frame.fill(MakeEntry(colour, Scaled(c.r.brightness, kBreath[c.s.phase])));
}

void Rainbow(const Context& c) {
  for (std::size_t key = 0; key < kKeyboardEntries; ++key) {
    const int next = c.s.keyPhase[key] + 1;
    c.s.keyPhase[key] = next >= static_cast<int>(kWheelCycle) ? 0 : static_cast<std::uint8_t>(next);
    c.frame[key] = MakeEntry(kWheel[c.s.keyPhase[key]], c.r.brightness);
  }
}

void RippleWave(const Context& c) {
  // The ripple planted at column 9: when what is left of it there is only the top row's bit or
  // only the carry bit, that bit goes back into all four maps, so the wave keeps coming.
  RippleMaps& m = c.s.ripples;
  const unsigned x =
      m[0][kRippleWaveColumn] | m[1][kRippleWaveColumn] | m[2][kRippleWaveColumn] | m[3][kRippleWaveColumn];
  if (x == 0x01) {
    SetRippleBit(m, kRippleWaveColumn, 0);
  } else if (x == 0x40) {
    SetRippleBit(m, kRippleWaveColumn, 6);
  }
  LightRipples(c);
  StepRipple(m);
  RenderRipples(c, kKeyboardWaveDecay);
}

void Show(const Context& c) {
  KeyboardAnimation& s = c.s;
  switch (s.showState) {
    case 1:
      if (s.phase <= kShowCircleLastStep) {
        for (std::uint8_t key : kShowCircle[s.phase % kShowPairs]) LightKey(c, key);
        ++s.phase;
      } else if (s.intensity[kShowCircleEndKey] == 0) {
        s.showState = 2;
        s.phase = 0;
      }
      break;
    case 2:
      SeedRipple(s.ripples, kShowRippleKey);
      s.showState = 3;
      break;
    case 3:
      LightRipples(c);
      StepRipple(s.ripples);
      if (s.intensity[kShowRippleEdgeKey] != 0) s.showState = 4;
      break;
    case 4:
      if (s.intensity[kShowRippleEdgeKey] == 0) {
        s.showState = 0;
        s.phase = 0;
      }
      break;
    default:
      // The opening. The phase byte is shared with other modes, so one left past the opening's
      // steps (a mode changed without a reset) starts the opening over.
      s.showState = 0;
      if (s.phase >= kShowSteps) s.phase = 0;
      for (std::uint8_t key : kShowOpening[s.phase]) LightKey(c, key);
      if (++s.phase == kShowSteps) {
        s.showState = 1;
        s.phase = 0;
      }
      break;
  }
  RenderRipples(c, kKeyboardFadeDecay);
}

void PathWave(const Context& c) {
  const bool multi = c.r.multicolour;
  const std::size_t range = multi ? kWheelCycle : kWaveLength;
  Advance(c.s.phase, 1, static_cast<std::uint8_t>(range), c.r.direction);
  std::size_t q = c.s.phase;
  for (std::size_t i = 0; i < kKeyPathKeys; ++i) {
    const std::uint8_t key = kKeyPath[i];
    c.frame[key] = multi ? MakeEntry(kWheel[q], c.r.brightness)
                         : MakeEntry(c.r.colour, Scaled(c.r.brightness, kWave[q]));
    q = (q + 5) % range;
  }
}

void Custom(const Context& c, CustomColourSetsView sets, std::uint8_t setNumber) {
  const std::size_t set = std::min<std::size_t>(setNumber, kCustomColourSetCount - 1);
  const std::uint8_t* colours = sets.data() + set * kCustomColourSetSize;
  for (std::size_t key = 0; key < kKeyboardEntries; ++key) {
    const std::uint8_t led = kKeyboardLedMap[key];
    if (led == kNotStreamed) continue;
    const std::uint8_t* rgb = colours + 3 * led;
    c.frame[key] = MakeEntry({rgb[0], rgb[1], rgb[2]}, c.r.brightness);
  }
}

void ClickRipple(const Context& c, KeyboardFrame& preview) {
  KeyboardAnimation& s = c.s;
  if (s.rippleTicks > 3 * c.r.speed + 2) {
    s.rippleTicks = 0;
    LightRipples(c);
    StepRipple(s.ripples);
  }
  if (!s.tick20ms) return;
  s.tick20ms = false;
  for (std::uint8_t key = 0; key < kKeyboardEntries; ++key) {
    if (kKeyboardLedMap[key] == kNotStreamed) continue;
    s.intensity[key] = Decay(s.intensity[key], kKeyboardFadeDecay);
    preview[key] = MakeEntry(KeyColour(c, key), Scaled(c.r.brightness, s.intensity[key]));
  }
}

}  // namespace

Pass RenderKeyboard(const KeyboardInput& input, KeyboardAnimation& state, KeyboardFrame& frame,
                    KeyboardFrame& clickPreview) {
  const EffectRecord r = CheckRecord(input.record, kKeyboardLastMode);
  const Context c{r, state, frame};
  Pass pass{KeyboardDelay(r.mode, r.speed) + milliseconds{kExtraWait[r.mode]}, Rendered::kFrame};
  switch (r.mode) {
    case 0:
      Wave(c);
      break;
    case 1:
      ColourCycle(c);
      break;
    case 2:
      Breathing(c);
      break;
    case 3:
      frame.fill(MakeEntry(r.colour, r.brightness));
      pass.still = true;
      break;
    case 4:
      Rainbow(c);
      break;
    case 5:
      RippleWave(c);
      break;
    case 6:
      Show(c);
      break;
    case 7:
      PathWave(c);
      break;
    case kKeyboardCustomMode:
      Custom(c, input.customSets, input.customSet);
      pass.still = true;
      break;
    default:
      ClickRipple(c, clickPreview);
      pass.rendered = Rendered::kPreviewOnly;
      break;
  }
  return pass;
}

void ResetKeyboardAnimation(KeyboardAnimation& state) {
  state.phase = 0;
  state.showState = 0;
  state.intensity.fill(0);
  state.keyPhase.fill(0);
  state.ripples = {};
}

void SeedKeyboardMode(KeyboardAnimation& state, std::uint8_t mode) {
  if (mode == 4) {
    std::uint8_t p = 0;
    for (std::uint8_t& phase : state.keyPhase) {
      const int next = p + kKeyPhaseSpread;
      p = static_cast<std::uint8_t>(next > static_cast<int>(kWheelCycle) ? next - kWheelCycle : next);
      phase = p;
    }
  } else if (mode == 5) {
    SetRippleBit(state.ripples, kRippleWaveColumn, 6);
  }
}

void ClickKeyboardKey(KeyboardAnimation& state, std::uint8_t mode, std::uint8_t key) {
  if (mode == kKeyboardClickMode) SeedRipple(state.ripples, key);
}

void TickKeyboardClock(KeyboardAnimation& state) {
  if (state.rippleTicks < 255) ++state.rippleTicks;
  state.oddTick = !state.oddTick;
  if (!state.oddTick) state.tick20ms = true;
}

void NoteKeyboardFrameWritten(KeyboardAnimation& state) {
  ++state.seed;
}

}  // namespace korva::lighting::effects
