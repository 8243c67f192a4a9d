#include "ui/routing/NotifyRouter.h"

#include "common/Log.h"
#include "ui/routing/MsgWnd.h"
#include "ui/SkinWindow.h"
#include "ui/routing/PageSwitch.h"
#include "ui/routing/PresetColourTable.h"
#include "ui/routing/RouteData_p.h"

namespace korva::ui {

using namespace routing_data;

namespace {

QString Key(QStringView type, const QString& lowerName) {
  return type.toString() + QLatin1Char('/') + lowerName;
}

template <std::size_t N>
const FamilyRow* FindFamily(const std::array<FamilyRow, N>& rows, const QString& lowerPrefix,
                            FamilyKind kind) {
  const FamilyRow* row = FindRow(rows, &FamilyRow::prefix, lowerPrefix);
  return row && row->kind == kind ? row : nullptr;
}

const FamilyRow* FindIndexFamily(QStringView type, const QString& lowerPrefix) {
  if (type == QLatin1String(notify::kClick))
    return FindFamily(kClickFamilies, lowerPrefix, FamilyKind::kIndex);
  if (type == QLatin1String(notify::kSelectChanged))
    return FindFamily(kSelectFamilies, lowerPrefix, FamilyKind::kIndex);
  return nullptr;
}

bool IsDevicePageArea(RouteArea area) {
  return area != RouteArea::kNone && area != RouteArea::kWindow && area != RouteArea::kRouting;
}

}  // namespace

NotifyRouter::NotifyRouter(SkinWindow& window, lighting::LightingRecordStore& records)
    : window_(window), records_(records) {}

bool NotifyRouter::Bind(QStringView type, QStringView name, Handler handler) {
  const Route route = ResolveRoute(type, name);
  if (route.kind != RouteKind::kNamed || !IsDevicePageArea(route.area)) return false;
  const QString key = Key(type, route.key);
  if (handler)
    named_.insert(key, std::move(handler));
  else
    named_.remove(key);
  return true;
}

bool NotifyRouter::BindFamily(QStringView type, QStringView prefix, IndexHandler handler) {
  const QString lower = prefix.toString().toLower();
  if (!FindIndexFamily(type, lower)) return false;
  const QString key = Key(type, lower);
  if (handler)
    families_.insert(key, std::move(handler));
  else
    families_.remove(key);
  return true;
}

bool NotifyRouter::BindColour(QStringView swatchFamily, ColourHandler handler) {
  const QString lower = swatchFamily.toString().toLower();
  if (!FindFamily(kClickFamilies, lower, FamilyKind::kColour)) return false;
  if (handler)
    colours_.insert(lower, std::move(handler));
  else
    colours_.remove(lower);
  return true;
}

NotifyRouter::Outcome NotifyRouter::Dispatch(const Notification& msg) {
  Trace(msg.type.toStdString());
  Trace(msg.name.toStdString());
  Outcome out;
  out.route = ResolveRoute(msg.type, msg.name);
  const Route& route = out.route;
  switch (route.kind) {
    case RouteKind::kNone:
      break;
    case RouteKind::kWindowInit:
      out.handled = static_cast<bool>(hooks_.windowInit);
      if (hooks_.windowInit) hooks_.windowInit();
      break;
    case RouteKind::kWindowButton: {
      out.handled = static_cast<bool>(hooks_.windowButton);
      if (hooks_.windowButton) hooks_.windowButton(route.key);
      // The skin button opens the picker and is then routed as usual; no click name or family
      // takes it, so the routing ends here for it too.
      const WindowButtonRow* row = FindRow(kWindowButtons, &WindowButtonRow::name, route.key);
      out.passToBase = row && row->continuesRouting;
      break;
    }
    case RouteKind::kNamed:
      out.handled = RunNamed(msg, route);
      break;
    case RouteKind::kIndexFamily:
      out.handled = RunFamily(msg, route);
      break;
    case RouteKind::kColourFamily:
      // Swatch n takes preset colour n; a swatch numbered beyond the table has no colour.
      if (const auto colour = PresetColour(route.index))
        out.handled = RunColour(route, *colour);
      else
        Trace("no preset colour for " + msg.name.toStdString());
      break;
    case RouteKind::kPalette:
      out.handled = RunColour(route, static_cast<quint32>(msg.wParam));
      break;
    case RouteKind::kPageOption:
      out.handled = SwitchPage(route);
      break;
    case RouteKind::kPanelToggle:
      out.handled = TogglePanel(route);
      break;
    case RouteKind::kSameMode:
      out.handled = CopyLighting(route);
      break;
    case RouteKind::kButtonPicture:
      out.handled = ShowButtonPicture(msg, route);
      break;
  }
  return out;
}

bool NotifyRouter::RunNamed(const Notification& msg, const Route& route) {
  const auto it = named_.constFind(Key(msg.type, route.key));
  if (it == named_.constEnd()) return false;
  // A copy: the handler may rebind itself while it runs.
  const Handler handler = it.value();
  handler(msg);
  return true;
}

bool NotifyRouter::RunFamily(const Notification& msg, const Route& route) {
  if (const FamilyRow* row = FindIndexFamily(msg.type, route.key); row && !row->showFirst.empty()) {
    Control first = window_.FindControl(Text(row->showFirst));
    if (first && !first.IsVisible()) {
      first.SetVisible(true);
      first.SetEnabled(true);
    }
  }
  const auto it = families_.constFind(Key(msg.type, route.key));
  if (it == families_.constEnd()) return false;
  const IndexHandler handler = it.value();
  handler(route.index, msg);
  return true;
}

bool NotifyRouter::RunColour(const Route& route, quint32 argb) {
  const auto it = colours_.constFind(route.key);
  if (it == colours_.constEnd()) return false;
  const ColourHandler handler = it.value();
  handler(argb, true);
  return true;
}

bool NotifyRouter::SwitchPage(const Route& route) {
  if (RefuseToLeaveUnsavedMacro(window_, route.key)) {
    ShowMessage(Text(kUnsavedMacroText));
    return true;
  }
  if (hooks_.removeInputHooks) hooks_.removeInputHooks();
  return ShowPageOf(window_, route.key, hooks_.setCurrentDevicePage);
}

bool NotifyRouter::TogglePanel(const Route& route) {
  const PanelToggleRow* row = FindRow(kPanelToggles, &PanelToggleRow::button, route.key);
  if (!row) return false;
  Control panel = window_.FindControl(Text(row->panel));
  panel.SetVisible(!panel.IsVisible());
  return true;
}

bool NotifyRouter::CopyLighting(const Route& route) {
  const SameModeRow* row = FindRow(kSameModeBoxes, &SameModeRow::checkBox, route.key);
  if (!row) return false;
  lighting::CopyLightingToAll(records_, row->source, lightingHooks_);
  return true;
}

bool NotifyRouter::ShowButtonPicture(const Notification& msg, const Route& route) {
  const ButtonPictureRow* row = FindRow(kButtonPictures, &ButtonPictureRow::button, route.key);
  if (!row) return false;
  const bool hovered = msg.type == QLatin1String(notify::kMouseEnter);
  window_.FindControl(Text(row->button) + QStringLiteral("_0"))
      .SetBkImage(Text(hovered ? row->hovered : row->normal));
  return true;
}

int NotifyRouter::ShowMessage(const QString& textId) {
  return hooks_.showMessage ? hooks_.showMessage(textId) : ShowMessageBox(window_, textId);
}

}  // namespace korva::ui
