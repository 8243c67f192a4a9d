#pragma once
// Which device tab the main window shows after a device has gone, and the control names of the
// device tabs and of the same-mode check boxes.
//
// After a removal the main window selects the tab of the first device still connected, in an order
// that depends on the device removed; when no device is left it hides itself. The headset is the
// exception: its removal moves the selection only when its own tab was the one selected.

#include <array>
#include <string_view>

#include "device/KnownDevices.h"

namespace korva::device {

// Which of the four devices are connected.
struct ConnectedDevices {
  bool keyboard = false;
  bool mouse = false;
  bool mousepad = false;
  bool headset = false;

  bool Has(DeviceKind kind) const;
  bool Any() const { return keyboard || mouse || mousepad || headset; }
  // Whether a device other than `kind` is connected.
  bool AnyOtherThan(DeviceKind kind) const;
};

struct TabChoice {
  enum class Action {
    kKeepSelection,  // the selected tab stays selected
    kSelectTab,      // select `tab`
    kHideWindow,     // nothing is connected: hide the main window
  };
  Action action = Action::kKeepSelection;
  DeviceKind tab = DeviceKind::kOther;  // for kSelectTab

  bool operator==(const TabChoice&) const = default;
};

// The tabs tried, in order, after `removed` has gone.
//   keyboard: "ms_tab", "mp_tab", "hs_tab"      mouse:   "kb_tab", "mp_tab", "hs_tab"
//   mousepad: "kb_tab", "ms_tab", "hs_tab"      headset: "ms_tab", "mp_tab", "kb_tab"
std::array<DeviceKind, 3> TabPreference(DeviceKind removed);

// What to select once the tab of `removed` is hidden. `connected` are the devices connected now
// (without `removed`); `selectedTab` is the device whose tab is selected (kOther for none).
// Nothing connected hides the window, whichever device went: the window is never left showing
// no device at all.
TabChoice ChooseTabAfterRemoval(DeviceKind removed, const ConnectedDevices& connected,
                                DeviceKind selectedTab);

// "kb_tab", "ms_tab", "mp_tab", "hs_tab" ("" for kOther).
std::string_view TabName(DeviceKind kind);
// "kb_deng_same_mode", "ms_deng_same_mode", "mp_deng_same_mode", "hs_deng_same_mode".
std::string_view SameModeCheckName(DeviceKind kind);

}  // namespace korva::device
