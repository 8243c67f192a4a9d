#include "lighting/LightingRecords.h"

namespace korva::lighting {
namespace {

// A device value made from an unchecked number has no record: it reads as zero and stores nothing.
bool Known(DeviceKind device) {
  return IndexOf(device) < kDeviceKindCount;
}

}  // namespace

LightingSettings LightingRecords::Get(DeviceKind device) const {
  if (!Known(device)) return {};
  std::lock_guard lock(mutex_);
  return records_.devices[IndexOf(device)];
}

void LightingRecords::Set(DeviceKind device, const LightingSettings& record) {
  if (!Known(device)) return;
  std::lock_guard lock(mutex_);
  records_.devices[IndexOf(device)] = record;
}

LightingSettings LightingRecords::GetSynchronised() const {
  std::lock_guard lock(mutex_);
  return records_.synchronised;
}

void LightingRecords::SetSynchronised(const LightingSettings& record) {
  std::lock_guard lock(mutex_);
  records_.synchronised = record;
}

LightingSnapshot LightingRecords::Read() const {
  std::lock_guard lock(mutex_);
  return records_;
}

void LightingRecords::Write(const LightingSnapshot& records) {
  std::lock_guard lock(mutex_);
  records_ = records;
}

}  // namespace korva::lighting
