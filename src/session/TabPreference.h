#pragma once
// Which device tab the main window shows after a device has gone.
//
// After a removal the main window selects the tab of the first device still connected, in an order
// that depends on the device removed; when no device is left it hides itself. The headset is the
// exception: its removal moves the selection only when its own tab was the one selected.

#include <array>
#include <optional>

#include "common/DeviceKind.h"
#include "device/ConnectedDevices.h"

namespace korva::session {

using device::ConnectedDevices;

struct TabChoice {
  enum class Action {
    kKeepSelection,  // the selected tab stays selected
    kSelectTab,      // select `tab`
    kHideWindow,     // nothing is connected: hide the main window
  };
  Action action = Action::kKeepSelection;
  DeviceKind tab = DeviceKind::kKeyboard;  // for kSelectTab only

  bool operator==(const TabChoice&) const = default;
};

// The tabs tried, in order, after `removed` has gone.
//   keyboard: "ms_tab", "mp_tab", "hs_tab"      mouse:   "kb_tab", "mp_tab", "hs_tab"
//   mousepad: "kb_tab", "ms_tab", "hs_tab"      headset: "ms_tab", "mp_tab", "kb_tab"
std::array<DeviceKind, 3> TabPreference(DeviceKind removed);

// What to select once the tab of `removed` is hidden. `connected` are the devices connected now
// (without `removed`); `selectedTab` is the device whose tab is selected (nullopt for none).
// Nothing connected hides the window, whichever device went: the window is never left showing
// no device at all.
TabChoice ChooseTabAfterRemoval(DeviceKind removed, const ConnectedDevices& connected,
                                std::optional<DeviceKind> selectedTab);

}  // namespace korva::session
