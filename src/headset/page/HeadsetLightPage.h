#pragma once
// HeadsetLightPage: the controller of the headset's lighting page ("Headset_deng.xml"): the effect
// mode, brightness, speed, direction, multicolour and the colour (swatches, palette, R/G/B edits).
// The same-mode button is the routing's own.
//
// The page edits a HeadsetLight and hands every changed record to the window through its hooks,
// which keep it in the selected headset profile ("LightInfo") and give it to the lighting threads;
// nothing here writes to the headset: the headset lighting thread takes the record with its next
// frame.
//
// Wiring, by the main window (UI thread):
//
//   HeadsetLightPage page(window, {.changed = ..., .modeSelected = ...});
//   page.RegisterRoutes(router);
//   page.Show(record);   // after a profile load, a restore or another device's same-mode copy
//
// Choices, on purpose:
//  - Whether a frame goes to the headset LED by LED follows the record's mode, read with the
//    frame, rather than a flag of its own: a profile loaded with another mode cannot leave the
//    wave's list write behind.
//  - Typing into a colour edit unchecks "hs_Deng_basecolor_check"; a swatch or palette pick leaves
//    it as it is.

#include <QString>
#include <cstdint>
#include <functional>

#include "headset/HeadsetLight.h"
#include "lighting/LightingSettings.h"
#include "lighting/page/ColourControls.h"
#include "ui/Control.h"

namespace korva::ui {
class NotifyRouter;
class SkinWindow;
}  // namespace korva::ui

namespace korva::headset {

class HeadsetLightPage {
 public:
  struct Hooks {
    // The record changed on the page: kept in the selected profile and given to the lighting.
    std::function<void(const lighting::LightingSettings& record)> changed;
    // A mode was selected: the headset leaves the synchronised lighting, its preview starts over.
    std::function<void(std::uint8_t mode, std::uint8_t direction)> modeSelected;
  };

  // `window` holds the page's controls and must outlive the page.
  HeadsetLightPage(ui::SkinWindow& window, Hooks hooks);
  HeadsetLightPage(const HeadsetLightPage&) = delete;
  HeadsetLightPage& operator=(const HeadsetLightPage&) = delete;

  // Binds every notification of the page. False when the routing refused a name.
  bool RegisterRoutes(ui::NotifyRouter& router);

  // Shows `record` on every control without a notification and without storing anything.
  void Show(const lighting::LightingSettings& record);
  const lighting::LightingSettings& Record() const { return light_.Record(); }

  // --- notification handlers ------------------------------------------------------------------
  void SelectMode(int index);
  void MoveBrightness(int position);
  void MoveSpeed(int position);
  void SelectDirection(bool left);
  void SwitchMulticolour(bool on);
  // A colour from a swatch or the palette; `store`: the user chose it (else only shown).
  void SetColour(quint32 argb, bool store);
  void TypeComponent(lighting::ColourComponent component, const QString& text);

 private:
  ui::Control Find(const char* name) const;
  void ShowSections(int mode);
  void ShowDirection(bool left);
  void Changed();

  ui::SkinWindow& window_;
  lighting::ColourControls colour_;
  HeadsetLight light_;
  Hooks hooks_;
};

}  // namespace korva::headset
