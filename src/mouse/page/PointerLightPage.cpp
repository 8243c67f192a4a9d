#include "mouse/page/PointerLightPage.h"

#include <algorithm>
#include <utility>

#include "ui/Notify.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::mouse {
namespace {

using lighting::LightingSettings;
using ui::Notification;

constexpr PointerLightNames kMouseNames{
    "ms_deng_combo_modeSelect2", "ms_deng_mode_switch", 2, "ms_deng_light_slider", "ms_deng_speed_slider",
    "ms_Deng_FXL_check", "ms_Deng_FXR_check", "ms_Deng_FXL_btn", "ms_Deng_FXR_btn", "ms_Deng_7color_check",
    "ms_Deng_color_btn_",
    {"ms_Deng_colordp_btn", "ms_deng_Color_Pallet", {"ms_Deng_edit_R", "ms_Deng_edit_G", "ms_Deng_edit_B"}},
    "ms_deng_fx_layout", "ms_deng_color_layout", "ms_deng_7colorselect_layout", "ms_deng_speed_layout",
    "ms_deng_same_mode"};

constexpr PointerLightNames kMousepadNames{
    "mp_deng_combo_modeSelect", nullptr, 0, "mp_deng_light_slider", "mp_deng_speed_slider",
    "mp_Deng_FXL_check", "mp_Deng_FXR_check", nullptr, nullptr, "mp_Deng_7color_check",
    "mp_Deng_color_btn_",
    {"mp_Deng_colordp_btn", "mp_deng_Color_Pallet", {"mp_Deng_edit_R", "mp_Deng_edit_G", "mp_Deng_edit_B"}},
    "mp_deng_fx_layout", "mp_deng_color_layout", "mp_deng_7colorselect_layout", "mp_deng_speed_layout",
    "mp_deng_same_mode"};

constexpr std::uint8_t kLeft = 1;
constexpr std::uint8_t kRight = 0;

}  // namespace

const PointerLightNames& PointerLightPage::MouseNames() { return kMouseNames; }
const PointerLightNames& PointerLightPage::MousepadNames() { return kMousepadNames; }

PointerLightPage::PointerLightPage(ui::SkinWindow& window, const PointerLightNames& names,
                                   const PointerLightRules& rules, PointerLightTarget target)
    : window_(window), names_(names), rules_(rules), target_(std::move(target)), colour_(window, names.colour) {}

ui::Control PointerLightPage::Find(const char* name) const { return window_.FindControl(ui::Latin1(name)); }

bool PointerLightPage::RegisterRoutes(ui::NotifyRouter& router) {
  const QString select = ui::Latin1(ui::notify::kSelectChanged);
  const QString valueChanged = ui::Latin1(ui::notify::kValueChanged);
  bool ok = router.Bind(ui::Latin1(ui::notify::kItemSelect), ui::Latin1(names_.modeCombo),
                        [this](const Notification& msg) { SelectMode(ui::NotificationValue(msg)); });
  ok &= router.Bind(valueChanged, ui::Latin1(names_.brightness),
                    [this](const Notification& msg) { SetBrightness(ui::NotificationValue(msg)); });
  ok &= router.Bind(valueChanged, ui::Latin1(names_.speed),
                    [this](const Notification& msg) { SetSpeed(ui::NotificationValue(msg)); });
  // A check box reports its own unchecking too: only the box that became checked picks a direction.
  ok &= router.Bind(select, ui::Latin1(names_.left), [this](const Notification& msg) {
    if (msg.sender.IsSelected()) SetDirection(true, true);
  });
  ok &= router.Bind(select, ui::Latin1(names_.right), [this](const Notification& msg) {
    if (msg.sender.IsSelected()) SetDirection(false, true);
  });
  if (names_.leftButton) {
    const QString click = ui::Latin1(ui::notify::kClick);
    ok &= router.Bind(click, ui::Latin1(names_.leftButton), [this](const Notification&) { SetDirection(true, false); });
    ok &= router.Bind(click, ui::Latin1(names_.rightButton), [this](const Notification&) { SetDirection(false, false); });
  }
  ok &= router.Bind(select, ui::Latin1(names_.colourCycle),
                    [this](const Notification& msg) { SetColourCycle(msg.sender.IsSelected()); });
  ok &= router.BindColour(ui::Latin1(names_.swatchFamily), [this](quint32 argb, bool store) { PickColour(argb, store); });
  ok &= colour_.BindEdits(router, [this](lighting::ColourComponent c, const QString& text) { TypeComponent(c, text); });
  return ok;
}

void PointerLightPage::Refresh() {
  const LightingSettings record = target_.read();
  if (names_.modeSwitch) Find(names_.modeSwitch).SelectItem(names_.modeSwitchPage);
  const int mode = ShownMode(rules_, record.mode);
  Find(names_.modeCombo).SelectItem(mode);
  ShowSections(SectionsOnDisplay(rules_, mode));
  Find(names_.brightness).SetValue(CheckedBrightness(record.brightness));
  Find(names_.speed).SetValue(SliderOfSpeedByte(record.speed));
  colour_.Show(lighting::OpaqueColour(record.red, record.green, record.blue));
  Find(names_.colourCycle).Select(record.multicolour != 0);
  ShowDirection(record.direction != 0);
}

void PointerLightPage::ShowSections(const std::optional<MouseLightSections>& sections) {
  if (!sections) return;
  Find(names_.directionLayout).SetEnabled(sections->direction);
  Find(names_.colourLayout).SetEnabled(sections->colour);
  Find(names_.colourCycleLayout).SetEnabled(sections->colourCycle);
  Find(names_.speedLayout).SetEnabled(sections->speed);
  Find(names_.sameMode).SetEnabled(sections->sameMode);
}

void PointerLightPage::ShowDirection(bool left) {
  Find(names_.left).Select(left);
  Find(names_.right).Select(!left);
}

void PointerLightPage::Store(const LightingSettings& record) {
  target_.write(record);
  if (target_.edited) target_.edited();
  if (target_.published) target_.published();
}

void PointerLightPage::SelectMode(int k) {
  if (k < 0 || k >= rules_.modeCount) return;  // no item of the list
  LightingSettings record = target_.read();
  const auto mode = static_cast<std::uint8_t>(k);
  ShowSections(SectionsOnSelection(rules_, k));
  if (target_.modeSelected) target_.modeSelected(mode, record.direction);
  if (rules_.writeModeAtOnce && target_.writeModeNow) target_.writeModeNow(mode);
  record.mode = mode;
  Store(record);
}

void PointerLightPage::SetBrightness(int value) {
  LightingSettings record = target_.read();
  record.brightness = static_cast<std::uint8_t>(CheckedBrightness(static_cast<std::uint8_t>(std::clamp(value, 0, 255))));
  Store(record);
}

void PointerLightPage::SetSpeed(int sliderValue) {
  LightingSettings record = target_.read();
  record.speed = SpeedByteOfSlider(sliderValue);
  Store(record);
}

void PointerLightPage::SetDirection(bool left, bool restartPreview) {
  LightingSettings record = target_.read();
  record.direction = left ? kLeft : kRight;
  ShowDirection(left);
  if (restartPreview && target_.modeSelected) target_.modeSelected(record.mode, record.direction);
  Store(record);
}

void PointerLightPage::SetColourCycle(bool on) {
  LightingSettings record = target_.read();
  record.multicolour = on ? 1 : 0;
  Store(record);
}

void PointerLightPage::PickColour(quint32 argb, bool store) {
  colour_.Show(argb);
  if (store) StoreColour(argb);
}

void PointerLightPage::StoreColour(quint32 argb) {
  // A single colour ends the colour cycle.
  Find(names_.colourCycle).Select(false);
  LightingSettings record = target_.read();
  record.red = static_cast<std::uint8_t>(argb >> 16);
  record.green = static_cast<std::uint8_t>(argb >> 8);
  record.blue = static_cast<std::uint8_t>(argb);
  record.multicolour = 0;
  Store(record);
}

void PointerLightPage::TypeComponent(lighting::ColourComponent component, const QString& text) {
  const std::optional<lighting::TypedComponent> typed = lighting::ParseTypedComponent(text.toStdString());
  if (!typed) return;  // an emptied edit: nothing to store yet
  if (typed->rewrite) colour_.RewriteEdit(component, *typed->rewrite);
  const quint32 argb = lighting::WithComponent(colour_.Displayed(), component, typed->value);
  colour_.ShowSwatch(argb);
  StoreColour(argb);
}

}  // namespace korva::mouse
