#include "keyboard/page/KeyboardLightPage.h"

#include <array>
#include <utility>

#include "session/KeyboardController.h"
#include "ui/Notify.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::keyboard {
namespace {

using ui::Control;
using ui::Latin1;
using ui::Notification;

constexpr char kModeCombo[] = "kb_deng_combo_modeSelect";
constexpr char kBrightnessSlider[] = "kb_deng_light_slider";
constexpr char kSpeedSlider[] = "kb_deng_speed_slider";
constexpr char kLeftCheck[] = "kb_Deng_FXL_check";
constexpr char kRightCheck[] = "kb_Deng_FXR_check";
constexpr char kMulticolourCheck[] = "kb_Deng_7color_check";
constexpr char kSwatchFamily[] = "kb_Deng_color_btn_";
constexpr char kCustomSetCombo[] = "kb_deng_combo_curtom_count";
constexpr char kClearCheck[] = "kb_Deng_all_kill_check";
constexpr char kFillCheck[] = "kb_Deng_all_bright_check";
constexpr char kPreviewKeyFamily[] = "kb_dkey_";
constexpr char kPalette[] = "kb_deng_Color_Pallet";
constexpr std::array<const char*, 3> kEdits = {"kb_Deng_edit_R", "kb_Deng_edit_G", "kb_Deng_edit_B"};

// The layouts shown outside the custom mode, and those shown in it.
constexpr std::array<const char*, 3> kRecordLayouts = {"kb_deng_fx_layout", "kb_deng_7colorselect_layout",
                                                       "kb_deng_color_display_layout"};
constexpr std::array<const char*, 3> kCustomLayouts = {"kb_deng_custom_tool_layout", "kb_deng_custom_select_layout",
                                                       "kb_deng_custom_color_layout"};

}  // namespace

KeyboardLightPage::KeyboardLightPage(ui::SkinWindow& window, session::KeyboardController& keyboard, Hooks hooks)
    : window_(window),
      keyboard_(keyboard),
      hooks_(std::move(hooks)),
      record_(window, {"kb_Deng_colordp_btn", kPalette, kEdits}),
      paint_(window, {"kb_Deng_custom_colordp_btn", kPalette, kEdits}) {}

Control KeyboardLightPage::Find(const char* name) const {
  return window_.FindControl(Latin1(name));
}

bool KeyboardLightPage::RegisterRoutes(ui::NotifyRouter& router) {
  const QString select = Latin1(ui::notify::kSelectChanged);
  const QString itemSelect = Latin1(ui::notify::kItemSelect);
  const QString valueChanged = Latin1(ui::notify::kValueChanged);
  bool ok = true;
  ok &= router.Bind(itemSelect, Latin1(kModeCombo),
                    [this](const Notification& msg) { SelectMode(ui::NotificationValue(msg)); });
  ok &= router.Bind(valueChanged, Latin1(kBrightnessSlider),
                    [this](const Notification& msg) { SetBrightness(ui::NotificationValue(msg)); });
  ok &= router.Bind(valueChanged, Latin1(kSpeedSlider),
                    [this](const Notification& msg) { SetSpeed(ui::NotificationValue(msg)); });
  ok &= router.Bind(select, Latin1(kLeftCheck), [this](const Notification&) { SetDirection(true); });
  ok &= router.Bind(select, Latin1(kRightCheck), [this](const Notification&) { SetDirection(false); });
  ok &= router.Bind(select, Latin1(kMulticolourCheck),
                    [this](const Notification& msg) { SetMulticolour(msg.sender.IsSelected()); });
  ok &= router.BindColour(Latin1(kSwatchFamily), [this](quint32 argb, bool store) { SetColour(argb, store); });
  ok &= record_.BindEdits(router, [this](lighting::ColourComponent component, const QString& text) {
    TypeComponent(component, text);
  });
  ok &= router.Bind(itemSelect, Latin1(kCustomSetCombo),
                    [this](const Notification& msg) { SelectCustomSet(ui::NotificationValue(msg)); });
  ok &= router.BindFamily(Latin1(ui::notify::kClick), Latin1(kPreviewKeyFamily),
                          [this](int key, const Notification&) { PaintKey(key); });
  ok &= router.Bind(select, Latin1(kClearCheck), [this](const Notification&) { ClearCustomSet(); });
  ok &= router.Bind(select, Latin1(kFillCheck), [this](const Notification&) { FillCustomSet(); });
  return ok;
}

bool KeyboardLightPage::CustomModeShown() const {
  return Find(kModeCombo).CurSel() == kCustomColoursMode;
}

void KeyboardLightPage::ShowSections(int mode) {
  for (const char* name : kRecordLayouts) Find(name).SetVisible(true);
  for (const char* name : kCustomLayouts) Find(name).SetVisible(false);
  const std::optional<KeyboardLightSections> sections = SectionsForKeyboardMode(mode);
  if (!sections) return;
  Find("kb_deng_fx_layout").SetEnabled(sections->direction);
  Find("kb_deng_color_layout").SetEnabled(sections->colour);
  Find("kb_deng_7colorselect_layout").SetEnabled(sections->multicolour);
  if (sections->speed) Find("kb_deng_speed_layout").SetEnabled(*sections->speed);
  Find("kb_deng_same_mode").SetEnabled(sections->sameMode);
  if (!sections->customColours) return;
  for (const char* name : kRecordLayouts) Find(name).SetVisible(false);
  for (const char* name : kCustomLayouts) Find(name).SetVisible(true);
}

void KeyboardLightPage::ShowColour(quint32 argb) {
  Colours().Show(argb);
}

void KeyboardLightPage::Follow(const KeyboardLightEdit& edit) {
  keyboard_.LightingEdited(edit);
  if (edit.record && hooks_.recordChanged) hooks_.recordChanged();
  if (edit.customColours && hooks_.customColoursChanged) {
    const KeyboardImage& image = keyboard_.Image();
    hooks_.customColoursChanged(image.customSets, static_cast<std::uint8_t>(CheckedCustomSet(image.customSet)));
  }
}

void KeyboardLightPage::Refresh() {
  const KeyboardImage& image = keyboard_.Image();
  const KeyboardLightView view = ViewOfLighting(image);
  Find(kModeCombo).SelectItem(view.mode);
  const int shown = Find(kModeCombo).CurSel();
  ShowSections(shown);
  if (hooks_.modeShown && shown >= 0) hooks_.modeShown(static_cast<std::uint8_t>(shown));
  Find(kBrightnessSlider).SetValue(view.brightness);
  Find(kSpeedSlider).SetValue(view.speedSlider);
  ShowColour(view.colour);
  Find(kMulticolourCheck).Select(view.multicolour);
  Find(kLeftCheck).Select(view.left);
  Find(kRightCheck).Select(!view.left);
  Find(kCustomSetCombo).SelectItem(view.customSet);
  if (hooks_.customColoursChanged)
    hooks_.customColoursChanged(image.customSets, static_cast<std::uint8_t>(view.customSet));
}

void KeyboardLightPage::SelectMode(int mode) {
  if (!SectionsForKeyboardMode(mode)) return;
  KeyboardImage& image = keyboard_.Image();
  // A mode of its own: the keyboard leaves the synchronised lighting.
  keyboard_.Device().LeaveSynchronisedLighting();
  if (hooks_.modeSelected)
    hooks_.modeSelected(static_cast<std::uint8_t>(mode), image.active.bytes[kDirectionByte]);
  ShowSections(mode);
  const auto& b = image.active.bytes;
  ShowColour(mode == kCustomColoursMode
                 ? lighting::OpaqueColour(image.paintColour[0], image.paintColour[1], image.paintColour[2])
                 : lighting::OpaqueColour(b[kRedByte], b[kRedByte + 1], b[kRedByte + 2]));
  Follow(SetLightMode(image, mode));
}

void KeyboardLightPage::SetBrightness(int sliderValue) {
  const KeyboardLightEdit edit = SetLightBrightness(keyboard_.Image(), sliderValue);
  keyboard_.WriteLightByte(kBrightnessByte, keyboard_.Image().active.bytes[kBrightnessByte]);
  Follow(edit);
}

void KeyboardLightPage::SetSpeed(int sliderValue) {
  const KeyboardLightEdit edit = SetLightSpeed(keyboard_.Image(), sliderValue);
  keyboard_.WriteLightByte(kSpeedByte, keyboard_.Image().active.bytes[kSpeedByte]);
  Follow(edit);
}

void KeyboardLightPage::SetDirection(bool left) {
  Find(kLeftCheck).Select(left);
  Find(kRightCheck).Select(!left);
  Follow(SetLightDirection(keyboard_.Image(), left));
}

void KeyboardLightPage::SetMulticolour(bool on) {
  Follow(SetLightMulticolour(keyboard_.Image(), on));
}

void KeyboardLightPage::SetColour(quint32 argb, bool store) {
  ShowColour(argb);
  if (!store) return;
  const bool custom = CustomModeShown();
  if (!custom) Find(kMulticolourCheck).Select(false);
  Follow(StoreLightColour(keyboard_.Image(), custom, argb));
}

void KeyboardLightPage::TypeComponent(lighting::ColourComponent component, const QString& text) {
  const std::optional<lighting::TypedComponent> typed = lighting::ParseTypedComponent(text.toStdString());
  if (!typed) return;  // an emptied edit: nothing yet
  const lighting::ColourControls& colours = Colours();
  if (typed->rewrite) colours.RewriteEdit(component, *typed->rewrite);
  // Only the display and the palette: the edits keep what the user is typing.
  colours.ShowSwatch(lighting::WithComponent(colours.Displayed(), component, typed->value));
  const bool custom = CustomModeShown();
  if (!custom) Find(kMulticolourCheck).Select(false);
  Follow(StoreLightComponent(keyboard_.Image(), custom, component, typed->value));
}

void KeyboardLightPage::SelectCustomSet(int set) {
  if (set < 0) return;
  Follow(keyboard::SelectCustomSet(keyboard_.Image(), set));
}

void KeyboardLightPage::PaintKey(int key) {
  if (key < 0 || key >= static_cast<int>(kKeyPictureCount)) return;
  switch (keyboard_.Image().active.bytes[kModeByte]) {
    case kCustomColoursMode:
      Follow(PaintCustomKey(keyboard_.Image(), static_cast<std::size_t>(key)));
      break;
    case kClickRippleMode:
      if (hooks_.rippleAt) hooks_.rippleAt(static_cast<std::uint8_t>(key));
      break;
    default:
      break;
  }
}

void KeyboardLightPage::ClearCustomSet() {
  Find(kClearCheck).Select(true);
  Find(kFillCheck).Select(false);
  Follow(keyboard::ClearCustomSet(keyboard_.Image()));
}

void KeyboardLightPage::FillCustomSet() {
  Find(kFillCheck).Select(true);
  Find(kClearCheck).Select(false);
  Follow(keyboard::FillCustomSet(keyboard_.Image()));
}

}  // namespace korva::keyboard
