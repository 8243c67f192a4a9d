#include "ui/routing/PageSwitch.h"

#include <array>

#include "ui/SkinWindow.h"
#include "ui/routing/RouteData_p.h"

namespace korva::ui {

using namespace routing_data;

namespace {

Control Find(SkinWindow& window, std::string_view name) {
  return window.FindControl(Text(name));
}

Control FindOf(SkinWindow& window, std::string_view device, const char* suffix) {
  return window.FindControl(Text(device) + QLatin1String(suffix));
}

void ShowProfilePanel(SkinWindow& window, std::string_view device, ProfilePanel panel) {
  if (panel == ProfilePanel::kUnchanged) return;
  Control selectTab = FindOf(window, device, "_profile_select_tab");
  Control functionTab = FindOf(window, device, "_profile_fun_spead_tab");
  Control spreadButton = FindOf(window, device, "_profile_fun_spread_btn");
  Control keyEdit = FindOf(window, device, "_key_profile_edit");
  Control lightEdit = FindOf(window, device, "_deng_profile_edit");
  const std::array<Control*, 5> all = {&spreadButton, &selectTab, &functionTab, &keyEdit, &lightEdit};

  if (panel == ProfilePanel::kDisabled) {
    for (Control* c : all) c->SetEnabled(false);
    functionTab.SetVisible(false);
    return;
  }
  const bool light = panel == ProfilePanel::kLightProfiles;
  const int page = light ? 0 : 1;
  selectTab.SelectItem(page);
  selectTab.SetVisible(true);
  functionTab.SelectItem(page);
  functionTab.SetVisible(false);
  spreadButton.SetVisible(true);
  keyEdit.SetVisible(!light);
  lightEdit.SetVisible(light);
  for (Control* c : all) c->SetEnabled(true);
}

}  // namespace

bool RefuseToLeaveUnsavedMacro(SkinWindow& window, const QString& option) {
  for (const EditorGuardRow& guard : kEditorGuards) {
    if (!Find(window, guard.saveBar).IsVisible()) continue;
    if (option == Lower(guard.subPageOption) || option == Lower(guard.deviceOption)) continue;
    Find(window, guard.subPageOption).Select(true);
    Find(window, guard.deviceOption).Select(true);
    return true;
  }
  return false;
}

bool ShowPageOf(SkinWindow& window, const QString& option,
                const std::function<void(int)>& setCurrentDevicePage) {
  if (const DevicePageRow* row = FindRow(kDevicePages, &DevicePageRow::option, option)) {
    window.FindControl(QStringLiteral("tab_switch")).SelectItem(row->page);
    if (row->devicePage >= 0 && setCurrentDevicePage) setCurrentDevicePage(row->devicePage);
    return true;
  }
  const SubPageRow* row = FindRow(kSubPages, &SubPageRow::option, option);
  if (!row) return false;
  Control tab = Find(window, row->tabLayout);
  if (!row->functionPanel.empty() && tab.CurSel() != row->page) {
    Control functionPanel = Find(window, row->functionPanel);
    functionPanel.SetVisible(false);
    functionPanel.SetEnabled(false);
  }
  tab.SelectItem(row->page);
  ShowProfilePanel(window, row->device, row->panel);
  return true;
}

}  // namespace korva::ui
