#pragma once
// The state behind the mouse settings page, without Qt: the mouse image, the pending-write flag and
// what each edit does to them. The Qt page copies control values in (the arguments of the edit
// calls) and out (MousePageView, MouseEditEffect) and starts the desktop-setting threads the effects
// ask for; it holds no mouse logic of its own.
//
// Every settings change stores into the active settings, sets the pending-write flag (the 100 ms
// flush then writes the mouse) and saves the selected light profile, except where noted. Edits that
// arrive with a value the controls cannot produce (a stage outside 1..6, a report-rate index outside
// 0..255, text without a number) change nothing and say so (applied = false).
//
// Threads: the UI thread owns the model. A full read runs elsewhere on a copy of image() and comes
// back through TakeImage.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "device/HidDevice.h"
#include "mouse/MouseImage.h"
#include "mouse/MouseSettingsRules.h"
#include "mouse/MouseTransfer.h"
#include "profile/ProfileStore.h"

namespace korva::mouse {

struct MouseStageView {
  std::uint8_t value = 0;                    // ms_DPI<k>_slider
  std::string cpiText;                       // ms_DPI<k>_label_value
  std::optional<std::uint32_t> labelColour;  // ms_DPI<k>_label_rank and _label_value; nullopt: unchanged
};

// What RefreshMouseUi shows of the settings (the lighting and button parts belong to their pages).
struct MousePageView {
  std::uint8_t reportRate = 0;                   // ms_report_fct_combo selected index
  std::optional<SensorRangeLabels> rangeLabels;  // ms_DPI<k>_min / _max; nullopt: unchanged
  int stageSliderMax = 0;                        // maximum of every ms_DPI<k>_slider (minimum 0)
  std::array<MouseStageView, kMouseStageCount> stages;
  std::uint8_t liftHeight = 0;                // ms_sensor_height_slider
  std::uint32_t indicatorColour = 0;          // ms_DPI_colordp_btn background and Pallet
  std::array<std::string, 3> indicatorTexts;  // ms_DPI_edit_R, _G, _B
  int pointerSpeedSlider = 0;                 // ms_point_speed_slider
  std::string wheelLinesText;                 // ms_gunlun_speed_edit
  std::uint8_t activeProfile = 0;             // the device profile in use
};

// What the page does after an edit, besides copying the new view.
struct MouseEditEffect {
  bool applied = false;                       // false: the input was refused, nothing changed
  std::optional<int> applyPointerSpeed;       // start ApplyPointerSpeed with this speed (1..20)
  std::optional<int> applyWheelLines;         // start ApplyWheelLines with these lines (1..10)
  std::optional<std::string> rewriteText;     // put this text back into the edit that was used
  std::optional<std::uint32_t> showColour;    // ms_DPI_colordp_btn (empty image) and Pallet
  std::optional<profile::StoreResult> saved;  // the light profile save, when one ran
};

class MousePageModel {
 public:
  // `lightStore`, when given, receives the light profile saves; it must outlive the model.
  explicit MousePageModel(profile::ProfileStore* lightStore = nullptr);

  const MouseImage& image() const { return image_; }
  // For the mouse's other pages (lighting, buttons), which edit their own fields of the same image.
  MouseImage& image() { return image_; }
  // The image a full read produced (watcher thread), taken over whole.
  void TakeImage(const MouseImage& fresh) { image_ = fresh; }

  bool pendingWrite() const { return pending_; }
  // A change the flush is to write (a restored profile); DropPendingWrite: the change is given up.
  void MarkPendingWrite() { pending_ = true; }
  void DropPendingWrite() { pending_ = false; }

  // RefreshMouseUi: keeps the counts-per-inch base 200 in the information block and returns what to show.
  MousePageView Refresh();

  // "valuechanged" on ms_DPI<k>_slider (k = 1..6); negative values as 0, above 255 as 255.
  MouseEditEffect SetStage(int k, int value);
  // "movevaluechanged" while dragging: only the label changes.
  static std::string StageLabelWhileDragging(int value) { return StageCpiText(value); }
  // "itemselect" on ms_report_fct_combo.
  MouseEditEffect SelectReportRate(int index);
  // "valuechanged" on ms_sensor_height_slider; negative values as 0, above 255 as 255.
  MouseEditEffect SetLiftHeight(int value);
  // A preset swatch ms_DPI_color_btn_<n> or "colorchanged" of Pallet.
  MouseEditEffect PickIndicatorColour(std::uint32_t argb);
  // "textchanged" on ms_DPI_edit_R/G/B: the component is stored and the flag set; the light profile
  // is not saved on this path.
  MouseEditEffect TypeIndicatorComponent(ColourComponent component, std::string_view text);
  // "valuechanged" on ms_point_speed_slider: the pointer speed is applied and saved; nothing goes to
  // the mouse, so the pending-write flag is left alone.
  MouseEditEffect MovePointerSpeed(int sliderValue);
  // ms_gunlun_speed_up_btn / ms_gunlun_speed_down_btn with the text of ms_gunlun_speed_edit.
  MouseEditEffect ClickWheelLines(std::string_view editText, bool up);
  // A light profile was selected and its payload loaded: it becomes slot 0, the active settings and
  // the desktop settings; only the wheel lines are applied to the desktop; the flush then sends the
  // settings. applied = false (nothing changed) for a payload that is not 64 bytes.
  MouseEditEffect ApplyLightProfile(std::span<const std::uint8_t> payload);

  // The device operations of the page.
  // WM_MS_PROFILE: re-read the active profile; the light profile is saved when it changed, and the
  // page then refreshes.
  MouseTransferResult ReloadActive(device::HidDevice& device);
  // Click on ms_profile_<n>. When the result says changed, the page hides ms_tab_function (the
  // button editor) and refreshes; a click on the profile already in use changes nothing.
  MouseTransferResult SwitchProfile(device::HidDevice& device, int n);
  // Timer 2.
  int Flush(device::HidDevice& device);
  // ms_one_profile_default, before the mouse's restore-defaults request (FactoryResetMouse): the
  // desktop gets pointer speed 10 (the slider shows 5) and wheel lines 3 (the edit shows "3"). The
  // stored pointer speed and wheel lines stay as they are: the next profile save keeps them, and
  // the page shows them again at its next refresh.
  static MouseEditEffect FactoryResetDesktop();

 private:
  // The common end of a settings change: pending flag and light profile save.
  MouseEditEffect SettingsChanged(MouseEditEffect effect);
  std::optional<profile::StoreResult> SaveLight();

  profile::ProfileStore* lightStore_;
  MouseImage image_;
  bool pending_ = false;
};

}  // namespace korva::mouse
