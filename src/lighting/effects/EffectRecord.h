#pragma once
// A lighting record as the renderers use it. The record comes from a device, a profile file or the
// page, so its bytes are checked here, once, before any of them indexes a table: a mode, level,
// speed or direction out of range takes the nearest valid value.

#include <cstdint>

#include "lighting/LightingSettings.h"
#include "lighting/effects/Frame.h"

namespace korva::lighting::effects {

struct EffectRecord {
  std::uint8_t mode = 0;       // 0..the device's last mode
  std::uint8_t speed = 0;      // 0..14
  std::uint8_t direction = 0;  // 0 or 1
  bool multicolour = false;
  Rgb colour;
  std::uint8_t brightness = 0;  // the brightness table's value for the record's level (B)
};

// lastMode is the highest mode the device has (keyboard 9, mouse 6, mousepad 8, headset and the
// synchronised lighting 3).
EffectRecord CheckRecord(const LightingSettings& record, std::uint8_t lastMode);

}  // namespace korva::lighting::effects
