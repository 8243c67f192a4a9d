#include "lighting/effects/SyncEffects.h"

#include "lighting/effects/EffectRecord.h"
#include "lighting/effects/KeyboardLayout.h"
#include "lighting/effects/MouseEffects.h"
#include "lighting/effects/Phase.h"
#include "lighting/effects/SharedTables.h"
#include "lighting/effects/Waves.h"

namespace korva::lighting::effects {
namespace {

void LightColumn(const SyncFrames& f, std::size_t c, FrameEntry e) {
  if (f.keyboard != nullptr) {
    for (std::uint8_t key : kKeyboardColumnTable[c]) {
      if (key != kNoKey) (*f.keyboard)[key] = e;
    }
  }
  if (f.mouse != nullptr && c < kMouseColumns) {
    for (std::uint8_t led : kMouseColumnTable[c]) (*f.mouse)[led] = e;
  }
  if (f.mousepad != nullptr && c < kMousepadEntries) (*f.mousepad)[c] = e;
  if (f.headset != nullptr && c < kHeadsetEntries) (*f.headset)[c] = e;
}

void FillAll(const SyncFrames& f, FrameEntry e) {
  if (f.keyboard != nullptr) f.keyboard->fill(e);
  if (f.mouse != nullptr) f.mouse->fill(e);
  if (f.mousepad != nullptr) f.mousepad->fill(e);
  if (f.headset != nullptr) f.headset->fill(e);
}

}  // namespace

Pass RenderSynchronised(const LightingSettings& record, SyncAnimation& state, const SyncFrames& frames) {
  const EffectRecord r = CheckRecord(record, kSyncLastMode);
  Pass pass{std::chrono::milliseconds{4 * r.speed}, Rendered::kFrame};
  // Not clamped like the other values: the synchronised lighting has no mode above 3 to show, and
  // leaves the frames alone for one.
  pass.still = SynchronisedStill(record);
  if (record.mode > kSyncLastMode) {
    pass.rendered = Rendered::kNothing;
    return pass;
  }
  switch (r.mode) {
    case 0:
      ColumnWave(r, state.phase, kSyncColumns,
                 [&](std::size_t c, FrameEntry e) { LightColumn(frames, c, e); });
      break;
    case 1:
      Advance(state.cyclePhase, 1, kWheelCycle, r.direction);
      FillAll(frames, MakeEntry(kWheel[state.cyclePhase], r.brightness));
      break;
    case 2: {
      Advance(state.phase, 1, kBreathLength, r.direction);
      const Rgb colour = r.multicolour ? kWheel[state.phase] : r.colour;
      FillAll(frames, MakeEntry(colour, Scaled(r.brightness, kBreath[state.phase])));
      break;
    }
    default:
      FillAll(frames, MakeEntry(r.colour, r.brightness));
      break;
  }
  return pass;
}

}  // namespace korva::lighting::effects
