#pragma once
// The macro editor of the keyboard ("keyboard_macro.xml", prefix "kb") and of the mouse
// ("Mouse_macro.xml", prefix "ms"): the macro list <p>_MacroName_list with add, delete and rename
// (<p>_macro_edit_macroname), the step list <p>_Macro_list, recording (<p>_macro_btn_redio with its
// four event options and <p>_macro_check_time), the step editor <p>_tab_macro_edit, the mouse
// steps inserted by hand (<p>_MacroMouseEvent), reordering, save/cancel and import/export.
//
// Each row of the step list (named <p>_macro_action; a click on it opens the step in the editor)
// holds the step's text line as its user data (the step itself); its text only shows it: the label translated, ▼ for a press, ▲ for a release or the distance of a
// move, and the delay in milliseconds. Unsaved edits are the save/cancel bar
// <p>_macro_tab_saveorcancel being visible; while it is, the macro list is locked and opening,
// adding or deleting a macro is refused with "message_text_3" (the routing keeps the page in front).
//
// The library lives in files (macro/MacroFiles.h); the key page's macro combo <p>_key_fct_combo_23
// lists the same names. Deleting a macro renumbers the keys that play macros in the device's five
// key banks, which the page reaches through its hooks.
//
// UI thread only.

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "macro/MacroAction.h"
#include "macro/MacroFiles.h"
#include "macro/MacroRecorder.h"
#include "ui/Control.h"

namespace korva::ui {
class NotifyRouter;
class SkinWindow;
}  // namespace korva::ui

namespace korva::macro {

class MacroPage {
 public:
  // What the page asks of the window and the device around it.
  struct Hooks {
    // InstallHooks with the page's recording mode (4 keyboard page, 0x40 mouse page); false when
    // they could not be installed. removeHooks takes both out.
    std::function<bool(bool keyboard, bool mouse)> installHooks;
    std::function<void()> removeHooks;
    // The message box; 1 when the user confirmed.
    std::function<int(const QString& textId, std::optional<int> number)> showMessage;
    // The device's five key banks and its default block, for the renumbering after a delete.
    std::function<std::vector<std::span<std::uint8_t>>()> keyBanks;
    std::function<std::span<const std::uint8_t>()> defaultBlock;
    // The library's names changed (the key pages show macro names).
    std::function<void()> macrosChanged;
    // File dialogs: the chosen path, empty when cancelled.
    std::function<QString()> chooseImport;
    std::function<QString()> chooseExport;
    // Milliseconds of a monotonic clock (the recorder's delays).
    std::function<std::uint64_t()> now;
  };

  // `prefix` is "kb" or "ms"; `library` the device's macro library.
  MacroPage(ui::SkinWindow& window, QString prefix, MacroLibrary library, Hooks hooks);
  MacroPage(const MacroPage&) = delete;
  MacroPage& operator=(const MacroPage&) = delete;

  bool RegisterRoutes(ui::NotifyRouter& router);

  // --- handlers ---
  void InitMacroPage();
  void OpenMacro(int index);
  void AddMacro();
  void DeleteMacro();
  void RenameMacro();
  void ToggleRecording();
  // A key event of the recording hook: key message (key down, up, ...) and the key's record.
  void RecordKey(std::int64_t keyMessage, int virtualKey, std::uint32_t lowLevelFlags);
  // A mouse message of the recording hook.
  void RecordMouse(std::int64_t mouseMessage);
  void ShowInsertPopup(int button);
  void InsertMouseStep(int item);
  void ShowStep(int row);
  void EditKeyItem(int item);
  void EditMouseItem(int item);
  void EditDirection(int item);
  void EditDelay(const QString& edit);
  void EditDistance();
  void ClampDistanceEdit(const QString& edit);
  void Reorder(const QString& button);
  void SaveMacroEdits();
  void CancelMacroEdits();
  void ExportMacro();
  void ImportMacro();
  bool Unsaved() const;
  bool Recording() const { return recording_; }

 private:
  ui::Control Find(const char* stem) const;  // prefix + stem
  QString Name(const char* stem) const;
  int Message(std::string_view textId, std::optional<int> number = std::nullopt);

  std::vector<std::string> Names() const;
  int SelectedMacro() const;
  std::vector<MacroAction> Steps() const;
  std::optional<MacroAction> StepAt(int row) const;
  // The step list shows `steps`, row `selected` selected (-1: none).
  void ShowSteps(const std::vector<MacroAction>& steps, int selected);
  QString RowText(const MacroAction& step) const;
  void LoadSteps(const std::string& name);
  void FillMacroList(const std::vector<std::string>& names);
  void SetUnsaved(bool unsaved);
  void EnableEditing(bool enabled);
  void Take(const std::optional<RecordedEvent>& event);
  void ChangeSelected(const std::function<std::optional<MacroAction>(MacroAction)>& change);

  ui::SkinWindow& window_;
  const QString prefix_;
  const MacroLibrary library_;
  Hooks hooks_;
  MacroRecorder recorder_;
  bool recording_ = false;
};

}  // namespace korva::macro
