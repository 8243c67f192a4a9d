#pragma once
// PointerLightPage: the lighting section of a pointer device's page -- the mouse's ("Mouse_deng.xml",
// prefix ms_) and the mousepad's ("MousePad_deng.xml", prefix mp_): effect mode, brightness, speed,
// direction, colour cycle, colour swatches, palette and R/G/B edits. The two devices differ only in
// their mode list and section tables and in how a chosen mode reaches the device
// (PointerLightRules); everything else is one class.
//
// The page edits the device's lighting record through a PointerLightTarget the main window fills
// from the device session, so it holds no image of its own:
//
//   PointerLightPage page(window, PointerLightPage::MouseNames(), mouse::MouseLightRules(), target);
//   page.RegisterRoutes(router);
//   mouseSettingsPage.Hooks().lighting = [&] { page.Refresh(); };
//
// Every edit ends with target.edited (the pending-write flag and the light profile save) and
// target.published (the preview takes the record at once). Values read from a device or a profile
// are checked before they pick a combo item or a slider position: a mode outside the list shows
// as the nearest mode, a brightness or speed outside 0..14 as the nearest level.

#include <QString>
#include <cstdint>
#include <functional>

#include "lighting/LightingSettings.h"
#include "lighting/page/ColourControls.h"
#include "mouse/MouseLightingRules.h"
#include "ui/Control.h"

namespace korva::ui {
class NotifyRouter;
class SkinWindow;
}  // namespace korva::ui

namespace korva::mouse {

// Where a pointer lighting section keeps its record, and what follows an edit.
struct PointerLightTarget {
  std::function<lighting::LightingSettings()> read;                // the device's record
  std::function<void(const lighting::LightingSettings&)> write;  // into the device's image
  std::function<void()> edited;     // pending-write flag set, light profile saved
  std::function<void()> published;  // the preview takes the new record
  // A mode the user chose: the synchronised lighting is left and the preview starts over.
  std::function<void(std::uint8_t mode, std::uint8_t direction)> modeSelected;
  // Sends a chosen mode to the device at once (the mouse); empty where the flush carries it.
  std::function<void(std::uint8_t mode)> writeModeNow;
};

struct PointerLightNames {
  const char* modeCombo;       // the combo of effect modes
  const char* modeSwitch;      // the page switch holding the combo, or nullptr
  int modeSwitchPage;          // the page of modeSwitch the combo is on
  const char* brightness;
  const char* speed;
  const char* left;            // direction check boxes
  const char* right;
  const char* leftButton;      // direction buttons, or nullptr
  const char* rightButton;
  const char* colourCycle;
  const char* swatchFamily;    // "<p>_Deng_color_btn_" (its palette routes there too)
  lighting::ColourControlNames colour;
  // Section layouts.
  const char* directionLayout;
  const char* colourLayout;
  const char* colourCycleLayout;
  const char* speedLayout;
  const char* sameMode;
};

class PointerLightPage {
 public:
  static const PointerLightNames& MouseNames();
  static const PointerLightNames& MousepadNames();

  // `window` holds the controls and must outlive the page.
  PointerLightPage(ui::SkinWindow& window, const PointerLightNames& names, const PointerLightRules& rules,
                   PointerLightTarget target);

  // False when the router refused a name; the others are still bound.
  bool RegisterRoutes(ui::NotifyRouter& router);

  // Shows the device's record: mode (and the sections it shows), brightness, speed, colour,
  // colour cycle and direction. Stores nothing.
  void Refresh();

  // --- notification handlers ---
  void SelectMode(int k);
  void SetBrightness(int value);
  void SetSpeed(int sliderValue);
  // A direction check box was checked (`left`), or a direction button clicked.
  void SetDirection(bool left, bool restartPreview);
  void SetColourCycle(bool on);
  // A swatch or the palette (store: the user's choice), or a colour only shown.
  void PickColour(quint32 argb, bool store);
  void TypeComponent(lighting::ColourComponent component, const QString& text);

 private:
  ui::Control Find(const char* name) const;
  void ShowSections(const std::optional<MouseLightSections>& sections);
  void ShowDirection(bool left);
  // Stores `record`, then the pending flag, the profile save and the preview.
  void Store(const lighting::LightingSettings& record);
  // A colour the user chose: bytes 6..8, the colour cycle off.
  void StoreColour(quint32 argb);

  ui::SkinWindow& window_;
  const PointerLightNames& names_;
  const PointerLightRules& rules_;
  PointerLightTarget target_;
  lighting::ColourControls colour_;
};

}  // namespace korva::mouse
