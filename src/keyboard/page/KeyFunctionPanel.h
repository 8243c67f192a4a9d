#pragma once
// The function panel of a key page, shared by the keyboard's key page and the mouse's button page:
// "<prefix>_tab_function" with the kind combo "<prefix>_key_fct_combo", one panel per kind
// "<prefix>_tab_function_<i>" (and 26, the macro count), the panel combos "<prefix>_key_fct_combo_<n>"
// and edits "<prefix>_key_fct_edit_<n>". Controls <-> the key-function editor; the page around it
// says what an assignment stores into and what happens after it.
//
// Key capture: while the key kind is chosen the panel asks for the key capture; each captured key
// event arrives through CaptureKey. Choosing another kind, Close and Disarm end it.
//
// UI thread only.

#include <QString>
#include <cstdint>
#include <functional>

#include "keyboard/KeyAssignment.h"
#include "ui/Control.h"

namespace korva::ui {
class NotifyRouter;
class SkinWindow;
}  // namespace korva::ui

namespace korva::keyboard {

class KeyFunctionPanel {
 public:
  struct Hooks {
    std::function<void()> armCapture;     // capture the keys typed in the window
    std::function<void()> disarmCapture;  // stop capturing
    // Composes and stores the function (KeyEditor::Assign...); true when something was stored.
    std::function<bool(const PanelSource& panel)> assign;
    std::function<void()> assigned;  // after something was stored: the labels follow
  };

  // `prefix` is "kb" or "ms".
  KeyFunctionPanel(ui::SkinWindow& window, QString prefix, KeyEditor& editor, Hooks hooks);
  KeyFunctionPanel(const KeyFunctionPanel&) = delete;
  KeyFunctionPanel& operator=(const KeyFunctionPanel&) = delete;

  // Binds the kind combo, the panel combos and the number edits.
  bool RegisterRoutes(ui::NotifyRouter& router);

  // Opens the panel (visible, enabled) and fills it with what the editor found for the entry.
  void Show(const PanelView& view);
  // Hides the panel and ends the capture.
  void Close();
  bool IsOpen() const;

  // --- handlers (the router calls them) ---
  void ChooseKind(int item);
  void AssignFromPanel();
  void EditChanged(int edit);
  void PlaybackChosen(int item);
  // One captured key event: virtual-key code and low-level flags.
  void CaptureKey(int virtualKey, std::uint32_t lowLevelFlags);
  void Disarm();

 private:
  class Source;

  ui::Control Find(const QString& name) const;
  QString Combo(int n) const;
  QString Edit(int n) const;
  QString KindPanel(int i) const;
  void ShowKindPanel(int item);
  void Arm(bool armed);

  ui::SkinWindow& window_;
  QString prefix_;
  KeyEditor& editor_;
  Hooks hooks_;
  bool captureArmed_ = false;
};

}  // namespace korva::keyboard
