#include "device/TabPreference.h"

namespace korva::device {

bool ConnectedDevices::Has(DeviceKind kind) const {
  switch (kind) {
    case DeviceKind::kKeyboard:
      return keyboard;
    case DeviceKind::kMouse:
      return mouse;
    case DeviceKind::kMousepad:
      return mousepad;
    case DeviceKind::kHeadset:
      return headset;
    case DeviceKind::kOther:
      break;
  }
  return false;
}

bool ConnectedDevices::AnyOtherThan(DeviceKind kind) const {
  for (DeviceKind other :
       {DeviceKind::kKeyboard, DeviceKind::kMouse, DeviceKind::kMousepad, DeviceKind::kHeadset}) {
    if (other != kind && Has(other)) return true;
  }
  return false;
}

std::array<DeviceKind, 3> TabPreference(DeviceKind removed) {
  using enum DeviceKind;
  switch (removed) {
    case kKeyboard:
      return {kMouse, kMousepad, kHeadset};
    case kMouse:
      return {kKeyboard, kMousepad, kHeadset};
    case kMousepad:
      return {kKeyboard, kMouse, kHeadset};
    case kHeadset:
    case kOther:
      break;
  }
  return {kMouse, kMousepad, kKeyboard};
}

TabChoice ChooseTabAfterRemoval(DeviceKind removed, const ConnectedDevices& connected,
                                DeviceKind selectedTab) {
  if (!connected.AnyOtherThan(removed)) return {TabChoice::Action::kHideWindow, DeviceKind::kOther};
  // The headset's tab may be gone while another tab is in front; that one stays.
  if (removed == DeviceKind::kHeadset && selectedTab != DeviceKind::kHeadset) return {};
  for (DeviceKind tab : TabPreference(removed)) {
    if (connected.Has(tab)) return {TabChoice::Action::kSelectTab, tab};
  }
  return {TabChoice::Action::kHideWindow, DeviceKind::kOther};
}

std::string_view TabName(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::kKeyboard:
      return "kb_tab";
    case DeviceKind::kMouse:
      return "ms_tab";
    case DeviceKind::kMousepad:
      return "mp_tab";
    case DeviceKind::kHeadset:
      return "hs_tab";
    case DeviceKind::kOther:
      break;
  }
  return "";
}

std::string_view SameModeCheckName(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::kKeyboard:
      return "kb_deng_same_mode";
    case DeviceKind::kMouse:
      return "ms_deng_same_mode";
    case DeviceKind::kMousepad:
      return "mp_deng_same_mode";
    case DeviceKind::kHeadset:
      return "hs_deng_same_mode";
    case DeviceKind::kOther:
      break;
  }
  return "";
}

}  // namespace korva::device
