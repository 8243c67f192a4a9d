#include "lighting/LightingCopy.h"

#include <string>

#include "common/Log.h"

namespace korva::lighting {

namespace {

// The same-mode rule fixes both orders, and they differ: pages refresh mouse first, profiles
// save keyboard first.
constexpr std::array kRefreshOrder = {LightingDevice::kMouse, LightingDevice::kMousepad,
                                      LightingDevice::kKeyboard, LightingDevice::kHeadset};
constexpr std::array kSaveOrder = {LightingDevice::kKeyboard, LightingDevice::kMouse,
                                   LightingDevice::kMousepad, LightingDevice::kHeadset};

void RunOthers(const std::array<LightingDevice, kLightingDeviceCount>& order, LightingDevice source,
               const std::array<std::function<void()>, kLightingDeviceCount>& hooks) {
  for (LightingDevice device : order) {
    const auto& hook = hooks[IndexOf(device)];
    if (device != source && hook) hook();
  }
}

}  // namespace

bool CopyLightingToAll(LightingRecords& records, LightingDevice source, const LightingCopyHooks& hooks) {
  if (!LightingDeviceFromIndex(static_cast<int>(source))) {
    Trace("同步失败");
    return false;
  }
  // One write: the lighting threads never see some devices copied and others not.
  LightingRecords::Snapshot all = records.Read();
  const LightingSettings copied = all.devices[IndexOf(source)];
  all.devices.fill(copied);
  all.synchronised = copied;
  records.Write(all);
  Trace(std::string("same-mode copy from the ") + LightingDeviceName(source));

  RunOthers(kRefreshOrder, source, hooks.refreshPage);
  RunOthers(kSaveOrder, source, hooks.saveProfile);
  if (hooks.setAllSyncLighting) hooks.setAllSyncLighting();
  return true;
}

}  // namespace korva::lighting
