#pragma once
// The keyboard's lighting page ("keyboard_deng.xml"): the effect mode (kb_deng_combo_modeSelect),
// brightness and speed sliders, direction (kb_Deng_FXL_check / kb_Deng_FXR_check), multicolour
// (kb_Deng_7color_check), the colour (swatches kb_Deng_color_btn_<n>, kb_deng_Color_Pallet,
// kb_Deng_edit_R/G/B, display kb_Deng_colordp_btn), and for the custom mode the custom colour sets
// (kb_deng_combo_curtom_count, kb_Deng_all_kill_check, kb_Deng_all_bright_check), the paint colour
// (kb_Deng_custom_colordp_btn) and the preview keys kb_dkey_<n> painted with it. Controls <->
// the keyboard image through the lighting rules (keyboard/KeyboardLighting.h); the device work
// through the session's keyboard controller.
//
// Every change of the record sets the deferred settings write; brightness and speed also go to
// the keyboard at once. Every change but a typed colour component is saved into the selected light
// profile at once (a typed one with the next saving change).
//
// UI thread only.

#include <QString>
#include <cstdint>
#include <functional>
#include <span>

#include "keyboard/KeyboardLighting.h"
#include "lighting/page/ColourControls.h"
#include "ui/Control.h"

namespace korva::ui {
class NotifyRouter;
class SkinWindow;
}  // namespace korva::ui
namespace korva::session {
class KeyboardController;
}

namespace korva::keyboard {

class KeyboardLightPage {
 public:
  // What the page asks of the lighting around it (the preview). Empty hooks are skipped.
  struct Hooks {
    // A mode was chosen: the preview's animation starts over (key phases or ripple seeded).
    std::function<void(std::uint8_t mode, std::uint8_t direction)> modeSelected;
    // The page showed a mode read or loaded: its key phases or ripple seeded, nothing reset.
    std::function<void(std::uint8_t mode)> modeShown;
    // The lighting record changed: the lighting threads take it.
    std::function<void()> recordChanged;
    // The custom colour sets or the selected set changed: the preview of mode 8 takes them.
    std::function<void(std::span<const std::uint8_t> sets, std::uint8_t set)> customColoursChanged;
    // A preview key clicked in the click-ripple mode.
    std::function<void(std::uint8_t key)> rippleAt;
  };

  KeyboardLightPage(ui::SkinWindow& window, session::KeyboardController& keyboard, Hooks hooks);
  KeyboardLightPage(const KeyboardLightPage&) = delete;
  KeyboardLightPage& operator=(const KeyboardLightPage&) = delete;

  // Binds the page's notifications; false when the router refused a name.
  bool RegisterRoutes(ui::NotifyRouter& router);

  // RefreshKeyboardLighting: the working settings on the page. After every read of the keyboard,
  // a light profile put into effect and another device's same-mode copy.
  void Refresh();

  // --- handlers (the router calls them) ---
  void SelectMode(int mode);
  void SetBrightness(int sliderValue);
  void SetSpeed(int sliderValue);
  void SetDirection(bool left);
  void SetMulticolour(bool on);
  // SetKeyboardLightColour: shows `argb`; when storing, the custom mode's paint colour or the record's colour.
  void SetColour(quint32 argb, bool store);
  void TypeComponent(lighting::ColourComponent component, const QString& text);
  void SelectCustomSet(int set);
  void PaintKey(int key);
  void ClearCustomSet();
  void FillCustomSet();

 private:
  ui::Control Find(const char* name) const;
  bool CustomModeShown() const;
  // Visibility and enabling of the sections for `mode`.
  void ShowSections(int mode);
  // Shows a colour without storing it, the palette's marker on it.
  void ShowColour(quint32 argb);
  const lighting::ColourControls& Colours() const { return CustomModeShown() ? paint_ : record_; }
  void Follow(const KeyboardLightEdit& edit);

  ui::SkinWindow& window_;
  session::KeyboardController& keyboard_;
  Hooks hooks_;
  lighting::ColourControls record_;  // kb_Deng_colordp_btn, the palette, the edits
  lighting::ColourControls paint_;   // kb_Deng_custom_colordp_btn, the palette, the edits
};

}  // namespace korva::keyboard
