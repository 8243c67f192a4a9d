#pragma once
// The keyboard's key page ("keyboard_key.xml"): the 126 key pictures kb_key_<n>, the function panel
// kb_tab_function with its kinds (kb_key_fct_combo) and their panels kb_tab_function_<i>, the
// restore button kb_key_butt_keydefalut and the save button kb_key_butt_prosave. Controls <->
// the keyboard image through the key-function editor (keyboard/KeyAssignment.h); the device work
// through the session's keyboard controller.
//
// Key capture: while the key kind is chosen the page asks for the key capture (ArmCapture); each
// captured key event arrives through CaptureKey. Choosing another kind, leaving the page and a
// re-read of the keyboard disarm it (DisarmCapture).
//
// UI thread only.

#include <QFont>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "keyboard/KeyAssignment.h"
#include "keyboard/page/KeyFunctionPanel.h"
#include "ui/Control.h"

namespace korva::ui {
class NotifyRouter;
class SkinWindow;
}  // namespace korva::ui
namespace korva::session {
class KeyboardController;
}

namespace korva::keyboard {

class KeyboardKeyPage {
 public:
  // What the page asks of the window around it.
  struct Hooks {
    std::function<void()> armCapture;     // capture the keys typed in the window
    std::function<void()> disarmCapture;  // stop capturing
    std::function<void()> progressShow;   // WM_PROGRESS_SHOW before an upload
    std::function<void()> progressDone;   // WM_PROGRESS_DONE after it
    MacroNames macroNames;                // the macro index's names (none: no macros)
    // A message of the upload (text id, its "%d" when it has one).
    std::function<void(std::string_view textId, std::optional<int> number)> showMessage;
  };

  KeyboardKeyPage(ui::SkinWindow& window, session::KeyboardController& keyboard, Hooks hooks);
  KeyboardKeyPage(const KeyboardKeyPage&) = delete;
  KeyboardKeyPage& operator=(const KeyboardKeyPage&) = delete;

  // Binds the page's notifications; false when the router refused a name.
  bool RegisterRoutes(ui::NotifyRouter& router);

  // RefreshKeyLabels: every key picture with its label, tooltip and look. After every read or load.
  void Refresh();

  // --- handlers (the router calls them) ---
  void EditKey(int picture);
  void RestoreKey();
  void Save();
  // One captured key event (WM_HOOK_KEY_SINGLEKEY): virtual-key code and low-level flags.
  void CaptureKey(int virtualKey, std::uint32_t lowLevelFlags);
  // A page change: the capture ends.
  void DisarmCapture();
  KeyFunctionPanel& Panel() { return panel_; }

 private:
  ui::Control Find(const QString& name) const;
  // Every key's legend, tooltip and colour from the keyboard's image.
  void ShowLabels();
  // Shows the label of a reassigned key (`shown`: translated), fitted to its cap.
  void ShowLegend(ui::Control& key, const KeyLabel& label, const QString& shown);

  ui::SkinWindow& window_;
  session::KeyboardController& keyboard_;
  Hooks hooks_;
  KeyFunctionPanel panel_;
  std::array<QString, kKeyPictureCount> legends_;  // the skin's legend of each key (text or text id)
  std::array<QFont, kKeyPictureCount> legendFonts_;  // and the font the skin gives it
  // The first key picture whose factory function has this label (text id).
  std::map<std::string, std::size_t, std::less<>> legendOfLabel_;
};

}  // namespace korva::keyboard
