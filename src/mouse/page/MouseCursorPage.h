#pragma once
// The cursor macro section of the mouse page ("Mouse_cursor.xml"): the four patterns ms_gun_op_0..3,
// their 30 shots ms_bullet_op_0..29 (the number of the one shown in bullet_select_index, stepped
// with bullet_selected_prev / bullet_selected_next), the shot's editor cursor_edit_layout (delay
// ms_cursor_delay_eidt in ms, moves ms_cursor_x_eidt / ms_cursor_y_eidt with their direction checks
// ms_cursor_x_check (left) and ms_cursor_y_check (up)), and reset, import, export and save.
//
// Every edit is written to the pattern's file at once (mouse/CursorMacros.h); the mouse gets the
// patterns with the save button, after an import, and with the button page's key save.
//
// UI thread only.

#include <QString>
#include <functional>
#include <optional>
#include <string_view>

#include "ui/Control.h"

namespace korva::ui {
class NotifyRouter;
class SkinWindow;
}  // namespace korva::ui
namespace korva::session {
class MouseController;
}

namespace korva::mouse {

class MouseCursorPage {
 public:
  struct Hooks {
    // The message box: a text id, and the number of its "%d" when it has one.
    std::function<void(std::string_view textId, std::optional<int> number)> showMessage;
    // File dialogs for ".cur" files: the chosen path, empty when cancelled.
    std::function<QString()> chooseImport;
    std::function<QString()> chooseExport;
  };

  MouseCursorPage(ui::SkinWindow& window, session::MouseController& mouse, Hooks hooks);
  MouseCursorPage(const MouseCursorPage&) = delete;
  MouseCursorPage& operator=(const MouseCursorPage&) = delete;

  bool RegisterRoutes(ui::NotifyRouter& router);

  // Shows the selected pattern from its first shot (the page is built, the files changed).
  void Refresh();

  // --- handlers (the router calls them) ---
  void SelectGun(int gun);
  void SelectBullet(int bullet);
  // A click on a shot option: on the shot already shown it closes the editor.
  void ClickBullet(int bullet);
  void StepBullet(int step);  // -1 previous, +1 next
  void EditChanged(const QString& edit);
  void CheckChanged(const QString& check);
  void ResetGun();
  void ImportGun();
  void ExportGun();
  void Download();

  int Gun() const { return gun_; }
  std::optional<int> Bullet() const { return bullet_; }

 private:
  ui::Control Find(const QString& name) const;
  void ShowBullet(int bullet);
  void StoreBullet();
  void SetCheckText(const QString& check);
  void Report(std::string_view textId, std::optional<int> number = std::nullopt);
  int SelectedGunOption() const;

  ui::SkinWindow& window_;
  session::MouseController& mouse_;
  Hooks hooks_;
  int gun_ = 0;
  std::optional<int> bullet_;  // the shot in the editor; none while the editor is closed
};

}  // namespace korva::mouse
