#pragma once
// MouseSettingsPage: the controller of the mouse sensitivity page ("Mouse_DPI.xml"): sensitivity
// stages, report rate, lift height, indicator colour, the desktop's pointer speed and wheel lines,
// the on-device profile buttons and the factory reset.
//
// The page only copies values between the controls and the MousePageModel, which holds the image,
// the pending-write flag and every rule; it never builds a frame. Settings edits set the model's
// pending-write flag and the main window's timer 2 writes them (MousePageModel::Flush). The device
// operations of the page (profile switch, factory reset) go through the model at once. The
// desktop settings go to the desktop on the page's DesktopSettingsWorker.
//
// Wiring, by the main window (all on the UI thread):
//
//   MouseSettingsPage page(window, window.MouseModel(), window.Mouse(), desktopSettings);
//   page.Hooks().lighting = [&] { mouseLightingPage.Refresh(); };
//   page.Hooks().buttonLabels = [&](int bank) { mouseButtonsPage.RefreshButtonLabels(bank); };
//   page.RegisterRoutes(router);
//   window.SetPageHooks(DevicePage::kMouse, {.refresh = [&] { page.Refresh(); }});
//
// and, when the light profile library has loaded a mouse light profile, page.LightProfileLoaded.
//
// Mends, on purpose:
//  - The desktop settings are applied in the order they were made (one worker, not one thread per
//    change), so the desktop always ends with the last value; the worker is joined on destruction.
//  - A device-profile button that did not switch the mouse (a failed switch, the mouse absent)
//    shows the mouse's active profile again instead of the one clicked.
//  - A report-rate byte beyond the combo's items clears the combo instead of leaving the previous
//    rate shown as if it were the mouse's.
//  - Refresh also selects the device-profile button of the active profile and shows the pointer
//    speed and wheel lines, so the page never shows values the model does not hold.

#include <QString>
#include <cstdint>
#include <functional>
#include <span>

#include "device/HidDevice.h"
#include "lighting/page/ColourControls.h"
#include "mouse/MousePageModel.h"
#include "mouse/MouseSettingsRules.h"
#include "mouse/page/DesktopSettingsWorker.h"
#include "platform/DesktopPointerSettings.h"
#include "ui/Control.h"

namespace korva::ui {
class NotifyRouter;
class SkinWindow;
}  // namespace korva::ui

namespace korva::mouse {

class MouseSettingsPage {
 public:
  // The parts of the mouse's refresh that other pages own. Empty hooks are skipped.
  struct RefreshHooks {
    std::function<void()> lighting;              // the lighting controls, shown first
    std::function<void(int bank)> buttonLabels;  // the button labels of the active bank, shown last
    std::function<void()> closeButtonEditor;     // a device-profile switch closes the button editor
  };

  // `window` holds the page's controls (found by name); `model` the mouse's page state (its light
  // store receives the profile saves); `mouse` is the mouse's device; `desktop` the desktop's
  // pointer settings. All must outlive the page.
  MouseSettingsPage(ui::SkinWindow& window, MousePageModel& model, device::HidDevice& mouse,
                    platform::DesktopPointerSettings& desktop);
  ~MouseSettingsPage();  // waits for the desktop settings still being applied
  MouseSettingsPage(const MouseSettingsPage&) = delete;
  MouseSettingsPage& operator=(const MouseSettingsPage&) = delete;

  RefreshHooks& Hooks() { return hooks_; }

  // Binds every notification of the page to its handler. Returns false when the router refused a
  // name (one the routing does not give to this page); the other names are still bound. The page
  // must outlive the router's use of these bindings.
  bool RegisterRoutes(ui::NotifyRouter& router);

  // RefreshMouseUi: the lighting hook, then the report rate, the sensor range labels, the stage
  // sliders and labels with the current-stage colouring, the lift height, the indicator colour,
  // the pointer speed, the wheel lines and the device-profile button, then the button-label hook.
  void Refresh();

  // --- notification handlers (the router calls them; each runs on the UI thread) -------------
  // "valuechanged" on ms_DPI<k>_slider (k = 1..6): stored, label, pending flag, light profile saved.
  void SetStage(int k, int value);
  // "movevaluechanged" on ms_DPI<k>_slider: the label only.
  void DragStage(int k, int value);
  // "itemselect" on ms_report_fct_combo.
  void SelectReportRate(int index);
  // "valuechanged" on ms_sensor_height_slider.
  void SetLiftHeight(int value);
  // "valuechanged" on ms_point_speed_slider: the desktop's pointer speed (nothing goes to the mouse).
  void SetPointerSpeed(int sliderValue);
  // A swatch ms_DPI_color_btn_<n> (its preset colour) or "colorchanged" of Pallet: stored and shown.
  void PickIndicatorColour(quint32 argb);
  // Shows a colour on ms_DPI_colordp_btn, the three edits and Pallet without storing it.
  void ShowIndicatorColour(quint32 argb);
  // "textchanged" on ms_DPI_edit_R/G/B with the edit's text; no light profile save on this path.
  void TypeIndicatorComponent(ColourComponent component, const QString& text);
  // ms_gunlun_speed_up_btn (up) / ms_gunlun_speed_down_btn with the number in ms_gunlun_speed_edit.
  void ClickWheelLines(bool up);
  // ms_profile_<n>: makes device profile n active; then ms_tab_function is hidden and the page
  // refreshed. A click on the active profile sends only the one-byte read.
  void SwitchDeviceProfile(int n);
  // ms_one_profile_default: pointer speed 10 (slider 5) and wheel lines 3 to the desktop, then the
  // mouse's restore-defaults request.
  void FactoryReset();

  // The light profile library loaded a mouse light profile: it becomes the model's state, the page
  // refreshes and only the wheel lines go to the desktop. False (nothing changed) for a payload
  // that is not a light profile.
  bool LightProfileLoaded(std::span<const std::uint8_t> payload);
  // The mouse's default profiles were restored: the page shows them and the desktop gets the
  // pointer speed and wheel lines they leave.
  void DefaultsRestored();

  // The desktop settings worker (its Busy flag; WaitForDone at shutdown and in tests).
  DesktopSettingsWorker& Desktop() { return desktop_; }

 private:
  ui::Control Find(const QString& name) const;
  void ShowStageLabel(int k, const std::string& text);
  void ShowDesktopSettings();
  void ShowDesktopSettings(int pointerSpeed, int wheelLines);
  void ShowDeviceProfile();
  // Starts the desktop changes an edit asks for, and traces a failed profile save.
  void Follow(const MouseEditEffect& effect);

  ui::SkinWindow& window_;
  MousePageModel& model_;
  device::HidDevice& mouse_;
  lighting::ColourControls indicator_;  // ms_DPI_colordp_btn, Pallet, ms_DPI_edit_R/G/B
  RefreshHooks hooks_;
  DesktopSettingsWorker desktop_;
};

}  // namespace korva::mouse
