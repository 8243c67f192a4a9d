#pragma once
// The synchronised lighting: one record drives the frames of every device that has joined it.
// Modes 0 wave (23 columns across the devices), 1 colour cycle, 2 breathing, 3 static; a mode above
// 3 renders nothing.

#include <cstdint>

#include "lighting/LightingSettings.h"
#include "lighting/effects/Frame.h"
#include "lighting/effects/Pass.h"

namespace korva::lighting::effects {

inline constexpr std::uint8_t kSyncLastMode = 3;
inline constexpr std::size_t kSyncColumns = 23;

struct SyncAnimation {
  std::uint8_t phase = 0;       // wave and breathing
  std::uint8_t cyclePhase = 0;  // colour cycle
};

// The frames of the devices in the synchronised lighting; null for a device that is not.
struct SyncFrames {
  KeyboardFrame* keyboard = nullptr;
  MouseFrame* mouse = nullptr;
  MousepadFrame* mousepad = nullptr;
  HeadsetFrame* headset = nullptr;
};

// Whether the synchronised record's frames stand still: static colours, or a mode above 3 that
// renders nothing.
constexpr bool SynchronisedStill(const LightingSettings& record) {
  return record.mode >= kSyncLastMode;
}

// Column c of the wave lights the keyboard's column c, mouse column c (c < 7), mousepad LED c
// (c < 15) and headset LED c (c < 13). The delay is 4 ms per speed step.
Pass RenderSynchronised(const LightingSettings& record, SyncAnimation& state, const SyncFrames& frames);

}  // namespace korva::lighting::effects
