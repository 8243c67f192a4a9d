#pragma once
// The button section of the mouse page ("Mouse_key.xml"): the seven button labels ms_key_<i> (the
// routing shows their hovered pictures on ms_key_<i>_0), the function panel ms_tab_function (the key-function editor with
// the mouse's kinds, shared with the keyboard's key page), the restore button ms_key_butt_keydefalut,
// the assign button ms_key_butt_keysave and the save button ms_key_butt_prosave.
//
// Assignments change only the image; the save sends the active bank to the mouse.
//
// UI thread only.

#include <QFont>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "keyboard/KeyAssignment.h"
#include "keyboard/page/KeyFunctionPanel.h"
#include "mouse/MouseImage.h"
#include "ui/Control.h"

namespace korva::ui {
class NotifyRouter;
class SkinWindow;
}  // namespace korva::ui
namespace korva::session {
class MouseController;
}

namespace korva::mouse {

class MouseButtonPage {
 public:
  struct Hooks {
    std::function<void()> armCapture;     // capture the keys typed in the window (mode 0x10)
    std::function<void()> disarmCapture;  // stop capturing
    std::function<void()> progressShow;   // WM_PROGRESS_SHOW before the save
    std::function<void()> progressDone;   // WM_PROGRESS_DONE after it, in every case
    // The message box: a text id, and the number of its "%d" when it has one.
    std::function<void(std::string_view textId, std::optional<int> number)> showMessage;
    keyboard::MacroNames macroNames;      // the mouse macro index's names (none: no macros)
  };

  MouseButtonPage(ui::SkinWindow& window, session::MouseController& mouse, Hooks hooks);
  MouseButtonPage(const MouseButtonPage&) = delete;
  MouseButtonPage& operator=(const MouseButtonPage&) = delete;

  bool RegisterRoutes(ui::NotifyRouter& router);

  // RefreshButtonLabels of the active bank (after every assignment).
  void RefreshLabels();
  // The mouse's image was replaced (a read, a reload, a restore): the editor closes and forgets
  // its entry (the labels follow with the mouse's refresh).
  void ImageReplaced();
  // The editor closes and the capture ends (a device-profile or key-profile switch, a page switch).
  void CloseEditor();

  // --- handlers (the router calls them) ---
  void EditButton(int button);
  void RestoreButton();
  void Save();
  // One captured key event (WM_HOOK_MOU_SINGLEKEY): virtual-key code and low-level flags.
  void CaptureKey(int virtualKey, std::uint32_t lowLevelFlags);
  keyboard::KeyFunctionPanel& Panel() { return panel_; }

 private:
  ui::Control Find(const QString& name) const;
  bool Assign(const keyboard::PanelSource& source);

  ui::SkinWindow& window_;
  session::MouseController& mouse_;
  Hooks hooks_;
  keyboard::KeyFunctionPanel panel_;
  // The font the skin gives each button label (long labels are shown smaller).
  std::array<QFont, kMouseButtonCount> labelFonts_;
};

}  // namespace korva::mouse
