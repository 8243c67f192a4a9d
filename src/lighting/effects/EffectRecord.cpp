#include "lighting/effects/EffectRecord.h"

#include <algorithm>

#include "lighting/effects/SharedTables.h"

namespace korva::lighting::effects {

EffectRecord CheckRecord(const LightingSettings& record, std::uint8_t lastMode) {
  EffectRecord r;
  r.mode = std::min(record.mode, lastMode);
  r.speed = std::min(record.speed, kMaxLevel);
  r.direction = record.direction != 0 ? 1 : 0;
  r.multicolour = record.multicolour != 0;
  r.colour = {record.red, record.green, record.blue};
  r.brightness = kBrightness[std::min(record.brightness, kMaxLevel)];
  return r;
}

}  // namespace korva::lighting::effects
