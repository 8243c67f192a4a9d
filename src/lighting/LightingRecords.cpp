#include "lighting/LightingRecords.h"

namespace korva::lighting {

std::optional<LightingDevice> LightingDeviceFromIndex(int index) {
  if (index < 0 || index >= static_cast<int>(kLightingDeviceCount)) return std::nullopt;
  return static_cast<LightingDevice>(index);
}

const char* LightingDeviceName(LightingDevice device) {
  switch (device) {
    case LightingDevice::kKeyboard:
      return "keyboard";
    case LightingDevice::kMouse:
      return "mouse";
    case LightingDevice::kMousepad:
      return "mousepad";
    case LightingDevice::kHeadset:
      return "headset";
  }
  return "?";
}

namespace {

// A device value made from an unchecked number has no record: it reads as zero and stores nothing.
bool Known(LightingDevice device) {
  return IndexOf(device) < kLightingDeviceCount;
}

}  // namespace

LightingSettings LightingRecords::Get(LightingDevice device) const {
  if (!Known(device)) return {};
  std::lock_guard lock(mutex_);
  return records_.devices[IndexOf(device)];
}

void LightingRecords::Set(LightingDevice device, const LightingSettings& record) {
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

LightingRecords::Snapshot LightingRecords::Read() const {
  std::lock_guard lock(mutex_);
  return records_;
}

void LightingRecords::Write(const Snapshot& records) {
  std::lock_guard lock(mutex_);
  records_ = records;
}

}  // namespace korva::lighting
