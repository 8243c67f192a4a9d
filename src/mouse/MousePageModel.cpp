#include "mouse/MousePageModel.h"

#include <algorithm>

#include "mouse/MouseProfiles.h"

namespace korva::mouse {
namespace {

std::uint8_t SliderByte(int value) {
  return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

}  // namespace

MousePageModel::MousePageModel(profile::ProfileStore* lightStore) : lightStore_(lightStore) {}

std::optional<profile::StoreResult> MousePageModel::SaveLight() {
  if (lightStore_ == nullptr) return std::nullopt;
  return SaveMouseLightProfile(image_, *lightStore_);
}

MouseEditEffect MousePageModel::SettingsChanged(MouseEditEffect effect) {
  effect.applied = true;
  pending_ = true;
  effect.saved = SaveLight();
  return effect;
}

MousePageView MousePageModel::Refresh() {
  image_.info.SetCpiBase(kStageCpiBase);
  const MouseActiveSettings& active = image_.active;
  MousePageView view;
  view.reportRate = active.ReportRate();
  view.rangeLabels = SensorRangeLabelsFor(image_.info.SensorModel());
  view.stageSliderMax = image_.info.MaxStageStep();
  const auto colours = StageLabelColours(active.CurrentStage());
  for (int k = 1; k <= kMouseStageCount; ++k) {
    MouseStageView& stage = view.stages[static_cast<std::size_t>(k - 1)];
    stage.value = active.Stage(k);
    stage.cpiText = StageCpiText(stage.value);
    stage.labelColour = colours[static_cast<std::size_t>(k - 1)];
  }
  view.liftHeight = active.LiftHeight();
  view.indicatorColour = active.IndicatorColour();
  view.indicatorTexts = ComponentTexts(view.indicatorColour);
  view.pointerSpeedSlider = SliderOfPointerSpeed(image_.pointerSpeed);
  view.wheelLinesText = std::to_string(image_.wheelLines);
  view.activeProfile = active.ActiveProfile();
  return view;
}

MouseEditEffect MousePageModel::SetStage(int k, int value) {
  if (!image_.active.SetStage(k, SliderByte(value))) return {};
  return SettingsChanged({});
}

MouseEditEffect MousePageModel::SelectReportRate(int index) {
  if (index < 0 || index > 255) return {};
  image_.active.bytes[MouseActiveSettings::kReportRate] = static_cast<std::uint8_t>(index);
  return SettingsChanged({});
}

MouseEditEffect MousePageModel::SetLiftHeight(int value) {
  image_.active.bytes[MouseActiveSettings::kLiftHeight] = SliderByte(value);
  return SettingsChanged({});
}

MouseEditEffect MousePageModel::PickIndicatorColour(std::uint32_t argb) {
  image_.active.SetIndicatorColour(argb);
  MouseEditEffect effect;
  effect.showColour = argb;
  return SettingsChanged(effect);
}

MouseEditEffect MousePageModel::TypeIndicatorComponent(ColourComponent component, std::string_view text) {
  const std::optional<TypedComponent> typed = ParseTypedComponent(text);
  if (!typed) return {};
  const std::uint32_t colour = WithComponent(image_.active.IndicatorColour(), component, typed->value);
  image_.active.SetIndicatorColour(colour);
  pending_ = true;
  MouseEditEffect effect;
  effect.applied = true;
  effect.rewriteText = typed->rewrite;
  effect.showColour = colour;
  return effect;
}

MouseEditEffect MousePageModel::MovePointerSpeed(int sliderValue) {
  image_.pointerSpeed = PointerSpeedOfSlider(sliderValue);
  MouseEditEffect effect;
  effect.applied = true;
  effect.applyPointerSpeed = image_.pointerSpeed;
  effect.saved = SaveLight();
  return effect;
}

MouseEditEffect MousePageModel::ClickWheelLines(std::string_view editText, bool up) {
  const int w = LeadingNumber(editText);
  image_.wheelLines = up ? WheelLinesUp(w) : WheelLinesDown(w);
  MouseEditEffect effect;
  effect.applied = true;
  effect.rewriteText = std::to_string(image_.wheelLines);
  effect.applyWheelLines = image_.wheelLines;
  effect.saved = SaveLight();
  return effect;
}

MouseEditEffect MousePageModel::ApplyLightProfile(std::span<const std::uint8_t> payload) {
  if (!ApplyLightPayload(image_, payload)) return {};
  pending_ = true;
  MouseEditEffect effect;
  effect.applied = true;
  effect.applyWheelLines = image_.wheelLines;
  return effect;
}

MouseTransferResult MousePageModel::ReloadActive(device::HidDevice& device) {
  const MouseTransferResult result = ReloadMouseActive(device, image_);
  if (result.changed) SaveLight();
  return result;
}

MouseTransferResult MousePageModel::SwitchProfile(device::HidDevice& device, int n) {
  return SwitchDeviceProfile(device, image_, n);
}

int MousePageModel::Flush(device::HidDevice& device) {
  return FlushMouseSettings(device, image_.active, pending_);
}

MouseEditEffect MousePageModel::FactoryResetDesktop() {
  MouseEditEffect effect;
  effect.applied = true;
  effect.applyPointerSpeed = kDefaultPointerSpeed;
  effect.applyWheelLines = kDefaultWheelLines;
  effect.rewriteText = std::to_string(kDefaultWheelLines);
  return effect;
}


}  // namespace korva::mouse
