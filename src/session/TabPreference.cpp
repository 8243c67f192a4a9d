#include "session/TabPreference.h"

namespace korva::session {

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
      break;
  }
  return {kMouse, kMousepad, kKeyboard};
}

TabChoice ChooseTabAfterRemoval(DeviceKind removed, const ConnectedDevices& connected,
                                std::optional<DeviceKind> selectedTab) {
  if (!connected.AnyOtherThan(removed)) return {TabChoice::Action::kHideWindow};
  // The headset's tab may be gone while another tab is in front; that one stays.
  if (removed == DeviceKind::kHeadset && selectedTab != DeviceKind::kHeadset) return {};
  for (DeviceKind tab : TabPreference(removed)) {
    if (connected.Has(tab)) return {TabChoice::Action::kSelectTab, tab};
  }
  return {TabChoice::Action::kHideWindow};
}

}  // namespace korva::session
