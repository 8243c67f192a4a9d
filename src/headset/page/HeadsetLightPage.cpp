#include "headset/page/HeadsetLightPage.h"

#include <array>
#include <utility>

#include "ui/Notify.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::headset {
namespace {

using ui::Control;
using ui::Notification;
using ui::SendNotify;

// The page's controls, as the skin names them.
constexpr char kModeCombo[] = "hs_deng_combo_modeSelect";
constexpr char kBrightnessSlider[] = "hs_deng_light_slider";
constexpr char kSpeedSlider[] = "hs_deng_speed_slider";
constexpr char kLeftCheck[] = "hs_Deng_FXL_check";
constexpr char kRightCheck[] = "hs_Deng_FXR_check";
constexpr char kMulticolourCheck[] = "hs_Deng_7color_check";
constexpr char kBaseColourCheck[] = "hs_Deng_basecolor_check";
constexpr char kSwatchFamily[] = "hs_Deng_color_btn_";

constexpr lighting::ColourControlNames kColourControls = {
    "hs_Deng_colordp_btn", "hs_deng_Color_Pallet", {"hs_Deng_edit_R", "hs_Deng_edit_G", "hs_Deng_edit_B"}};

// The layouts a mode enables, in the order of HeadsetLightSections' members.
constexpr char kLightLayout[] = "hs_deng_light_layout";
constexpr char kSpeedLayout[] = "hs_deng_speed_layout";
constexpr char kMulticolourLayout[] = "hs_deng_7colorselect_layout";
constexpr char kColourLayout[] = "hs_deng_color_layout";
constexpr char kDirectionLayout[] = "hs_deng_fx_layout";

}  // namespace

HeadsetLightPage::HeadsetLightPage(ui::SkinWindow& window, Hooks hooks)
    : window_(window), colour_(window, kColourControls), hooks_(std::move(hooks)) {}

Control HeadsetLightPage::Find(const char* name) const {
  return window_.FindControl(ui::Latin1(name));
}

bool HeadsetLightPage::RegisterRoutes(ui::NotifyRouter& router) {
  const QString valueChanged = ui::Latin1(ui::notify::kValueChanged);
  const QString selectChanged = ui::Latin1(ui::notify::kSelectChanged);
  bool ok = true;
  ok &= router.Bind(ui::Latin1(ui::notify::kItemSelect), ui::Latin1(kModeCombo),
                    [this](const Notification& msg) { SelectMode(ui::NotificationValue(msg)); });
  ok &= router.Bind(valueChanged, ui::Latin1(kBrightnessSlider),
                    [this](const Notification& msg) { MoveBrightness(ui::NotificationValue(msg)); });
  ok &= router.Bind(valueChanged, ui::Latin1(kSpeedSlider),
                    [this](const Notification& msg) { MoveSpeed(ui::NotificationValue(msg)); });
  ok &= router.Bind(selectChanged, ui::Latin1(kLeftCheck), [this](const Notification&) { SelectDirection(true); });
  ok &= router.Bind(selectChanged, ui::Latin1(kRightCheck), [this](const Notification&) { SelectDirection(false); });
  ok &= router.Bind(selectChanged, ui::Latin1(kMulticolourCheck),
                    [this](const Notification& msg) { SwitchMulticolour(msg.sender.IsSelected()); });
  ok &= router.BindColour(ui::Latin1(kSwatchFamily), [this](quint32 argb, bool store) { SetColour(argb, store); });
  ok &= colour_.BindEdits(router, [this](lighting::ColourComponent component, const QString& text) {
    TypeComponent(component, text);
  });
  return ok;
}

void HeadsetLightPage::Show(const lighting::LightingSettings& record) {
  light_.Replace(record);
  const HeadsetLightView view = ViewOfHeadsetLight(record);
  Find(kModeCombo).SelectItem(view.mode.value_or(-1));
  if (view.mode) ShowSections(*view.mode);
  Find(kBrightnessSlider).SetValue(view.brightness);
  Find(kSpeedSlider).SetValue(view.speedSlider);
  SetColour(view.colour, false);
  Find(kMulticolourCheck).Select(view.multicolour);
  ShowDirection(view.left);
}

void HeadsetLightPage::ShowSections(int mode) {
  const std::optional<HeadsetLightSections> sections = SectionsForHeadsetMode(mode);
  if (!sections) return;
  const std::array<std::pair<const char*, bool>, 5> layouts = {{{kLightLayout, sections->light},
                                                               {kSpeedLayout, sections->speed},
                                                               {kMulticolourLayout, sections->multicolour},
                                                               {kColourLayout, sections->colour},
                                                               {kDirectionLayout, sections->direction}}};
  for (const auto& [name, enabled] : layouts) Find(name).SetEnabled(enabled);
}

void HeadsetLightPage::ShowDirection(bool left) {
  Find(kLeftCheck).Select(left);
  Find(kRightCheck).Select(!left);
}

void HeadsetLightPage::Changed() {
  if (hooks_.changed) hooks_.changed(light_.Record());
}

void HeadsetLightPage::SelectMode(int index) {
  if (!light_.SelectMode(index)) return;
  ShowSections(index);
  if (hooks_.modeSelected) hooks_.modeSelected(light_.Record().mode, light_.Record().direction);
  Changed();
}

void HeadsetLightPage::MoveBrightness(int position) {
  light_.SetBrightness(position);
  Changed();
}

void HeadsetLightPage::MoveSpeed(int position) {
  light_.SetSpeedSlider(position);
  Changed();
}

void HeadsetLightPage::SelectDirection(bool left) {
  // The pair acts as one choice: a click on the selected box keeps it selected.
  ShowDirection(left);
  light_.SetDirection(left);
  Changed();
}

void HeadsetLightPage::SwitchMulticolour(bool on) {
  light_.SetMulticolour(on);
  Changed();
}

void HeadsetLightPage::SetColour(quint32 argb, bool store) {
  colour_.Show(argb);
  if (!store) return;
  Find(kMulticolourCheck).Select(false);
  light_.StoreColour(argb);
  Changed();
}

void HeadsetLightPage::TypeComponent(lighting::ColourComponent component, const QString& text) {
  const std::optional<TypedColour> typed = light_.TypeComponent(component, text.toStdString(), colour_.Displayed());
  if (!typed) return;
  if (typed->rewrite) colour_.RewriteEdit(component, *typed->rewrite);
  colour_.ShowSwatch(typed->colour);
  Find(kBaseColourCheck).Select(false);
  Find(kMulticolourCheck).Select(false);
  Changed();
}

}  // namespace korva::headset
