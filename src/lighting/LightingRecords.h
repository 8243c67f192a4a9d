#pragma once
// The lighting records of the four devices and of the synchronised lighting.
//
// LightingRecordStore is how same-mode copying and the lighting threads reach the records: every
// record as of one moment (Read), and every record replaced at one moment (Write), so that a
// lighting thread never sees half of a change. The device session is the store the program runs
// on: it reads each device's record from the device's image and writes it back there.
//
// LightingRecords is a plain store of the records behind a lock: the copy the session publishes to
// the lighting threads, and the store of tests that need no devices.

#include <array>
#include <mutex>

#include "common/DeviceKind.h"
#include "lighting/LightingSettings.h"

namespace korva::lighting {

struct LightingSnapshot {
  std::array<LightingSettings, kDeviceKindCount> devices{};  // indexed by IndexOf(DeviceKind)
  LightingSettings synchronised{};
};

class LightingRecordStore {
 public:
  virtual ~LightingRecordStore() = default;
  virtual LightingSnapshot Read() const = 0;
  virtual void Write(const LightingSnapshot& records) = 0;
};

class LightingRecords final : public LightingRecordStore {
 public:
  using Snapshot = LightingSnapshot;

  LightingSettings Get(DeviceKind device) const;
  void Set(DeviceKind device, const LightingSettings& record);
  LightingSettings GetSynchronised() const;
  void SetSynchronised(const LightingSettings& record);

  LightingSnapshot Read() const override;
  void Write(const LightingSnapshot& records) override;

 private:
  mutable std::mutex mutex_;
  LightingSnapshot records_;
};

}  // namespace korva::lighting
