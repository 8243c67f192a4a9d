#include "lighting/effects/HeadsetEffects.h"

#include "lighting/effects/EffectRecord.h"
#include "lighting/effects/Phase.h"
#include "lighting/effects/SharedTables.h"
#include "lighting/effects/Waves.h"

namespace korva::lighting::effects {
namespace {

constexpr std::uint8_t kBreathStep = 4;
constexpr std::uint8_t kBreathColourStep = 16;
constexpr std::uint8_t kBreathLastColour = 192;
constexpr std::chrono::milliseconds kBreathExtraWait{10};

}  // namespace

Pass RenderHeadset(const LightingSettings& record, HeadsetAnimation& state, HeadsetFrame& frame) {
  const EffectRecord r = CheckRecord(record, kHeadsetLastMode);
  Pass pass{KeyboardDelay(r.mode, r.speed), Rendered::kFrame};
  switch (r.mode) {
    case 0:
      ScaledWave(r, state.wavePhase, kHeadsetEntries, kHeadsetWave,
                 [&](std::size_t i, FrameEntry e) { frame[i] = e; });
      break;
    case 1:
      Advance(state.cyclePhase, 1, kWheelCycle, r.direction);
      frame.fill(MakeEntry(kWheel[state.cyclePhase], r.brightness));
      break;
    case 2: {
      pass.delay += kBreathExtraWait;
      if (Advance(state.breathPhase, kBreathStep, kBreathLength, r.direction)) {
        const int next = state.breathColour + kBreathColourStep;
        state.breathColour = next > kBreathLastColour ? 0 : static_cast<std::uint8_t>(next);
      }
      const Rgb colour = r.multicolour ? kWheel[state.breathColour] : r.colour;
      frame.fill(MakeEntry(colour, Scaled(r.brightness, kBreath[state.breathPhase])));
      break;
    }
    default:
      frame.fill(MakeEntry(r.colour, r.brightness));
      pass.still = true;
      break;
  }
  return pass;
}

}  // namespace korva::lighting::effects
