#include "mouse/page/MouseSettingsPage.h"

#include <algorithm>
#include <array>
#include <climits>
#include <string>

#include "common/Log.h"
#include "ui/Notify.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::mouse {
namespace {

using ui::Control;
using ui::Notification;

// The page's controls, as the skin names them.
constexpr char kReportRateCombo[] = "ms_report_fct_combo";
constexpr char kLiftHeightSlider[] = "ms_sensor_height_slider";
constexpr char kPointerSpeedSlider[] = "ms_point_speed_slider";
constexpr char kWheelLinesEdit[] = "ms_gunlun_speed_edit";
constexpr char kWheelUpButton[] = "ms_gunlun_speed_up_btn";
constexpr char kWheelDownButton[] = "ms_gunlun_speed_down_btn";
constexpr char kFactoryResetButton[] = "ms_one_profile_default";
constexpr char kIndicatorSwatchFamily[] = "ms_DPI_color_btn_";
constexpr char kDeviceProfileFamily[] = "ms_profile_";

constexpr lighting::ColourControlNames kIndicatorControls = {
    "ms_DPI_colordp_btn", "Pallet", {"ms_DPI_edit_R", "ms_DPI_edit_G", "ms_DPI_edit_B"}};

// "ms_DPI<k>" followed by the role: "_slider", "_label_value", "_label_rank", "_min", "_max".
QString StageControl(int k, const char* role) {
  return QStringLiteral("ms_DPI%1%2").arg(k).arg(QLatin1String(role));
}

}  // namespace

MouseSettingsPage::MouseSettingsPage(ui::SkinWindow& window, MousePageModel& model, device::HidDevice& mouse,
                                     platform::DesktopPointerSettings& desktop)
    : window_(window), model_(model), mouse_(mouse), indicator_(window, kIndicatorControls), desktop_(desktop) {}

// The worker's destructor lets the queued desktop settings run before it joins its thread.
MouseSettingsPage::~MouseSettingsPage() = default;

Control MouseSettingsPage::Find(const QString& name) const {
  return window_.FindControl(name);
}

bool MouseSettingsPage::RegisterRoutes(ui::NotifyRouter& router) {
  const QString valueChanged = ui::Latin1(ui::notify::kValueChanged);
  const QString dragged = ui::Latin1(ui::notify::kMoveValueChanged);
  const QString click = ui::Latin1(ui::notify::kClick);
  bool ok = true;
  for (int k = 1; k <= kMouseStageCount; ++k) {
    const QString slider = StageControl(k, "_slider");
    ok &= router.Bind(valueChanged, slider, [this, k](const Notification& msg) { SetStage(k, ui::NotificationValue(msg)); });
    ok &= router.Bind(dragged, slider, [this, k](const Notification& msg) { DragStage(k, ui::NotificationValue(msg)); });
  }
  ok &= router.Bind(ui::Latin1(ui::notify::kItemSelect), ui::Latin1(kReportRateCombo),
                    [this](const Notification& msg) { SelectReportRate(ui::NotificationValue(msg)); });
  // The lift height and the pointer speed are taken when the slider is released: a drag would
  // otherwise save the light profile (and run the desktop's tool) at every step.
  ok &= router.Bind(valueChanged, ui::Latin1(kLiftHeightSlider),
                    [this](const Notification& msg) { SetLiftHeight(ui::NotificationValue(msg)); });
  ok &= router.Bind(valueChanged, ui::Latin1(kPointerSpeedSlider),
                    [this](const Notification& msg) { SetPointerSpeed(ui::NotificationValue(msg)); });
  ok &= router.BindColour(ui::Latin1(kIndicatorSwatchFamily), [this](quint32 argb, bool store) {
    store ? PickIndicatorColour(argb) : ShowIndicatorColour(argb);
  });
  ok &= indicator_.BindEdits(
      router, [this](ColourComponent component, const QString& text) { TypeIndicatorComponent(component, text); });
  ok &= router.Bind(click, ui::Latin1(kWheelUpButton), [this](const Notification&) { ClickWheelLines(true); });
  ok &= router.Bind(click, ui::Latin1(kWheelDownButton), [this](const Notification&) { ClickWheelLines(false); });
  ok &= router.Bind(click, ui::Latin1(kFactoryResetButton), [this](const Notification&) { FactoryReset(); });
  ok &= router.BindFamily(click, ui::Latin1(kDeviceProfileFamily),
                          [this](int n, const Notification&) { SwitchDeviceProfile(n); });
  return ok;
}

void MouseSettingsPage::Refresh() {
  if (hooks_.lighting) hooks_.lighting();
  const MousePageView view = model_.Refresh();

  Control rate = Find(ui::Latin1(kReportRateCombo));
  if (!rate.SelectItem(view.reportRate)) rate.SelectItem(-1);

  if (view.rangeLabels) {
    for (int k = 1; k <= kMouseStageCount; ++k) {
      Find(StageControl(k, "_min")).SetText(ui::Utf8(view.rangeLabels->min));
      Find(StageControl(k, "_max")).SetText(ui::Utf8(view.rangeLabels->max));
    }
  }
  for (int k = 1; k <= kMouseStageCount; ++k) {
    const MouseStageView& stage = view.stages[static_cast<std::size_t>(k - 1)];
    Control slider = Find(StageControl(k, "_slider"));
    slider.SetRange(0, view.stageSliderMax);
    slider.SetValue(stage.value);
    ShowStageLabel(k, stage.cpiText);
  }
  for (int k = 1; k <= kMouseStageCount; ++k) {
    const std::optional<std::uint32_t>& colour = view.stages[static_cast<std::size_t>(k - 1)].labelColour;
    if (!colour) continue;
    Find(StageControl(k, "_label_rank")).SetTextColor(*colour);
    Find(StageControl(k, "_label_value")).SetTextColor(*colour);
  }

  Find(ui::Latin1(kLiftHeightSlider)).SetValue(view.liftHeight);
  ShowIndicatorColour(view.indicatorColour);
  ShowDesktopSettings();
  ShowDeviceProfile();
  if (hooks_.buttonLabels) hooks_.buttonLabels(view.activeProfile);
}

void MouseSettingsPage::ShowStageLabel(int k, const std::string& text) {
  Find(StageControl(k, "_label_value")).SetText(ui::Utf8(text));
}

void MouseSettingsPage::ShowDesktopSettings() {
  ShowDesktopSettings(model_.image().pointerSpeed, model_.image().wheelLines);
}

void MouseSettingsPage::ShowDesktopSettings(int pointerSpeed, int wheelLines) {
  Control speed = Find(ui::Latin1(kPointerSpeedSlider));
  speed.SetRange(kPointerSpeedSliderMin, kPointerSpeedSliderMax);
  speed.SetValue(SliderOfPointerSpeed(pointerSpeed));
  Find(ui::Latin1(kWheelLinesEdit)).SetText(QString::number(wheelLines));
}

void MouseSettingsPage::ShowDeviceProfile() {
  // An Option of the group: selecting it clears the others.
  Find(ui::Latin1(kDeviceProfileFamily) + QString::number(model_.image().active.ActiveProfile())).Select(true);
}

void MouseSettingsPage::Follow(const MouseEditEffect& effect) {
  if (effect.applyPointerSpeed) desktop_.ApplyPointerSpeed(*effect.applyPointerSpeed);
  if (effect.applyWheelLines) desktop_.ApplyWheelLines(*effect.applyWheelLines);
  // A failed save leaves the previous file; the page and the mouse keep the change.
  if (effect.saved && !effect.saved->ok()) {
    Trace("mouse light profile not saved: " + effect.saved->error.ToString());
  }
}

void MouseSettingsPage::SetStage(int k, int value) {
  const MouseEditEffect effect = model_.SetStage(k, value);
  if (!effect.applied) return;
  ShowStageLabel(k, StageCpiText(model_.image().active.Stage(k)));
  Follow(effect);
}

void MouseSettingsPage::DragStage(int k, int value) {
  if (k < 1 || k > kMouseStageCount) return;
  ShowStageLabel(k, MousePageModel::StageLabelWhileDragging(value));
}

void MouseSettingsPage::SelectReportRate(int index) {
  Follow(model_.SelectReportRate(index));
}

void MouseSettingsPage::SetLiftHeight(int value) {
  Follow(model_.SetLiftHeight(value));
}

void MouseSettingsPage::SetPointerSpeed(int sliderValue) {
  Follow(model_.MovePointerSpeed(sliderValue));
}

void MouseSettingsPage::PickIndicatorColour(quint32 argb) {
  const MouseEditEffect effect = model_.PickIndicatorColour(argb);
  if (effect.showColour) ShowIndicatorColour(*effect.showColour);
  Follow(effect);
}

void MouseSettingsPage::ShowIndicatorColour(quint32 argb) {
  indicator_.Show(argb);
}

void MouseSettingsPage::TypeIndicatorComponent(ColourComponent component, const QString& text) {
  const MouseEditEffect effect = model_.TypeIndicatorComponent(component, text.toStdString());
  if (!effect.applied) return;
  if (effect.rewriteText) {
    indicator_.RewriteEdit(component, *effect.rewriteText);
  }
  // Only the swatch and the palette: the edits keep what the user is typing.
  if (effect.showColour) indicator_.ShowSwatch(*effect.showColour);
  Follow(effect);
}

void MouseSettingsPage::ClickWheelLines(bool up) {
  Control edit = Find(ui::Latin1(kWheelLinesEdit));
  const MouseEditEffect effect = model_.ClickWheelLines(edit.Text().toStdString(), up);
  if (effect.rewriteText) edit.SetText(ui::Utf8(*effect.rewriteText));
  Follow(effect);
}

void MouseSettingsPage::SwitchDeviceProfile(int n) {
  const MouseTransferResult result = model_.SwitchProfile(mouse_, n);
  if (!result.changed) {
    // The option group has already moved to the button clicked; show the profile in use.
    ShowDeviceProfile();
    return;
  }
  if (hooks_.closeButtonEditor) hooks_.closeButtonEditor();
  Refresh();
}

void MouseSettingsPage::FactoryReset() {
  // The desktop first (slider 5 with pointer speed 10, edit "3" with wheel lines 3), then the
  // mouse's request; the model keeps its stored pointer speed and wheel lines.
  const MouseEditEffect effect = MousePageModel::FactoryResetDesktop();
  ShowDesktopSettings(*effect.applyPointerSpeed, *effect.applyWheelLines);
  Follow(effect);
  const int deviceResult = FactoryResetMouse(mouse_);
  if (deviceResult != device::kResultOk)
    Trace("mouse restore-defaults request: " + std::to_string(deviceResult));
}

bool MouseSettingsPage::LightProfileLoaded(std::span<const std::uint8_t> payload) {
  const MouseEditEffect effect = model_.ApplyLightProfile(payload);
  if (!effect.applied) return false;
  Refresh();
  Follow(effect);
  return true;
}

void MouseSettingsPage::DefaultsRestored() {
  Refresh();
  MouseEditEffect effect;
  effect.applyPointerSpeed = model_.image().pointerSpeed;
  effect.applyWheelLines = model_.image().wheelLines;
  Follow(effect);
}

}  // namespace korva::mouse
