// The tab the main window selects after a removal, as a table over the removed device, the devices
// still connected and the tab selected.

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "session/TabPreference.h"

namespace korva::session {
namespace {

using enum DeviceKind;
using Action = TabChoice::Action;

ConnectedDevices Only(std::initializer_list<DeviceKind> kinds) {
  ConnectedDevices c;
  for (DeviceKind k : kinds) {
    c.keyboard |= k == kKeyboard;
    c.mouse |= k == kMouse;
    c.mousepad |= k == kMousepad;
    c.headset |= k == kHeadset;
  }
  return c;
}

struct Row {
  std::string name;
  DeviceKind removed;
  ConnectedDevices connected;
  std::optional<DeviceKind> selected;
  TabChoice expected;
};
void PrintTo(const Row& row, std::ostream* os) {
  *os << row.name;
}

class ChooseTabTest : public testing::TestWithParam<Row> {};

TEST_P(ChooseTabTest, FollowsThePreferenceOrder) {
  const Row& row = GetParam();
  EXPECT_EQ(ChooseTabAfterRemoval(row.removed, row.connected, row.selected), row.expected);
}

const TabChoice kHide{Action::kHideWindow};
const TabChoice kKeep{Action::kKeepSelection};
TabChoice Select(DeviceKind k) {
  return {Action::kSelectTab, k};
}

INSTANTIATE_TEST_SUITE_P(
    Table, ChooseTabTest,
    testing::Values(
        // keyboard: ms_tab, mp_tab, hs_tab
        Row{"keyboard_all_left_mouse_first", kKeyboard, Only({kMouse, kMousepad, kHeadset}), kKeyboard,
            Select(kMouse)},
        Row{"keyboard_mousepad_second", kKeyboard, Only({kMousepad, kHeadset}), kKeyboard, Select(kMousepad)},
        Row{"keyboard_headset_third", kKeyboard, Only({kHeadset}), kKeyboard, Select(kHeadset)},
        Row{"keyboard_nothing_left", kKeyboard, Only({}), kKeyboard, kHide},
        // mouse: kb_tab, mp_tab, hs_tab; the selected tab does not matter for a HID device
        Row{"mouse_keyboard_first", kMouse, Only({kKeyboard, kMousepad, kHeadset}), kHeadset,
            Select(kKeyboard)},
        Row{"mouse_mousepad_second", kMouse, Only({kMousepad, kHeadset}), kMouse, Select(kMousepad)},
        Row{"mouse_headset_third", kMouse, Only({kHeadset}), kMouse, Select(kHeadset)},
        Row{"mouse_nothing_left", kMouse, Only({}), kMouse, kHide},
        // mousepad: kb_tab, ms_tab, hs_tab
        Row{"mousepad_keyboard_first", kMousepad, Only({kKeyboard, kMouse}), kMousepad, Select(kKeyboard)},
        Row{"mousepad_mouse_second", kMousepad, Only({kMouse, kHeadset}), kMousepad, Select(kMouse)},
        Row{"mousepad_headset_third", kMousepad, Only({kHeadset}), kMousepad, Select(kHeadset)},
        // headset: only when hs_tab was selected; then ms_tab, mp_tab, kb_tab
        Row{"headset_selected_mouse_first", kHeadset, Only({kKeyboard, kMouse, kMousepad}), kHeadset,
            Select(kMouse)},
        Row{"headset_selected_mousepad_second", kHeadset, Only({kKeyboard, kMousepad}), kHeadset,
            Select(kMousepad)},
        Row{"headset_selected_keyboard_third", kHeadset, Only({kKeyboard}), kHeadset, Select(kKeyboard)},
        Row{"headset_not_selected_keeps_selection", kHeadset, Only({kKeyboard, kMouse}), kMouse, kKeep},
        Row{"headset_selected_nothing_left", kHeadset, Only({}), kHeadset, kHide},
        // the window never stays up with nothing connected, even when another tab was in front
        Row{"headset_not_selected_nothing_left", kHeadset, Only({}), kKeyboard, kHide},
        // a flag of the removed device still set (read before its watcher cleared it) is ignored
        Row{"removed_device_still_flagged", kMouse, Only({kMouse}), kMouse, kHide},
        Row{"headset_no_tab_selected_keeps_selection", kHeadset, Only({kMouse}), std::nullopt, kKeep}),
    [](const testing::TestParamInfo<Row>& info) { return info.param.name; });

}  // namespace
}  // namespace korva::session
