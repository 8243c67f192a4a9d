#include "lighting/LightingCopy.h"

#include <string>

#include "common/Log.h"

namespace korva::lighting {

namespace {

// The same-mode rule fixes both orders, and they differ: pages refresh mouse first, profiles
// save keyboard first.
constexpr std::array kRefreshOrder = {DeviceKind::kMouse, DeviceKind::kMousepad,
                                      DeviceKind::kKeyboard, DeviceKind::kHeadset};
constexpr std::array kSaveOrder = {DeviceKind::kKeyboard, DeviceKind::kMouse,
                                   DeviceKind::kMousepad, DeviceKind::kHeadset};

void RunOthers(const std::array<DeviceKind, kDeviceKindCount>& order, DeviceKind source,
               const std::array<std::function<void()>, kDeviceKindCount>& hooks) {
  for (DeviceKind device : order) {
    const auto& hook = hooks[IndexOf(device)];
    if (device != source && hook) hook();
  }
}

}  // namespace

bool CopyLightingToAll(LightingRecordStore& records, DeviceKind source, const LightingCopyHooks& hooks) {
  if (!DeviceKindFromIndex(static_cast<int>(source))) {
    Trace("同步失败");
    return false;
  }
  // One write: the lighting threads never see some devices copied and others not.
  LightingSnapshot all = records.Read();
  const LightingSettings copied = all.devices[IndexOf(source)];
  all.devices.fill(copied);
  all.synchronised = copied;
  records.Write(all);
  Trace("same-mode copy from the " + std::string(DeviceKindName(source)));

  RunOthers(kRefreshOrder, source, hooks.refreshPage);
  RunOthers(kSaveOrder, source, hooks.saveProfile);
  if (hooks.setAllSyncLighting) hooks.setAllSyncLighting();
  return true;
}

}  // namespace korva::lighting
