#pragma once
// The headset's four lighting effects, rendered into its 13-entry frame once per pass of the
// headset lighting thread: 0 wave, 1 colour cycle, 2 breathing, 3 static. Each effect keeps its
// own phase, so switching between them resumes where each left off.

#include <cstdint>

#include "lighting/LightingSettings.h"
#include "lighting/effects/Frame.h"
#include "lighting/effects/Pass.h"

namespace korva::lighting::effects {

inline constexpr std::uint8_t kHeadsetLastMode = 3;

struct HeadsetAnimation {
  std::uint8_t wavePhase = 0;
  std::uint8_t cyclePhase = 0;
  std::uint8_t breathPhase = 0;
  std::uint8_t breathColour = 0;  // wheel position of multicolour breathing: 0, 16, ..., 192, then 0
};

Pass RenderHeadset(const LightingSettings& record, HeadsetAnimation& state, HeadsetFrame& frame);

}  // namespace korva::lighting::effects
