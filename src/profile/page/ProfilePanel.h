#pragma once
// ProfilePanel: one profile library on its device page -- the store's combo, its name edit with the
// rename button, its add, delete, copy, import, export and restore buttons and its link row. One
// class for all five stores; the names of the controls follow from the store:
//
//   <dev>_<kind>_profile_combo            the list ("itemselect": Select)
//   <dev>_pro_<kind>_add_btn / _sub_btn / _copy_btn / _import_btn / _export_btn
//   <dev>_<kind>_profile_name_edit        the selected name; with _edit_save_btn: Rename
//   <dev>_<kind>_profile_restore_btn      Restore
//   <dev>_<kind>_profile_link_check / _link_edit / _link_name_hor   the link of the selected profile
//                                        (checking it links, unchecking it unlinks)
//   <dev>_<kind>_profile_link_btn         Unlink
//   <dev>_<kind>_profile_link_none        the line that says the desktop cannot tell the application
//                                        in front (shown while no provider follows it)
//   <dev>_tab_function                    the key page's function editor, closed by a key profile
//
// with <dev> "kb", "ms", "mp" and <kind> "deng" (light) or "key". Failures go to the message box
// with the library's text ids; the device work is the session's ProfileLibrary.
//
// Mends, on purpose:
//  - Import puts the imported profile into effect directly instead of moving the selection away
//    and back.
//  - A profile file that could not be written is reported ("message_text_profile_write_failed");
//    the previous file stays.
//  - Delete, copy, import, export and rename need a selected profile; without one they do nothing.
//  - A profile the application link shows (ShowLinked) is put into effect without changing the
//    hand-chosen `select`, and later saves go into that profile, not into the hand-chosen one.
//
// UI thread only.

#include <QString>
#include <filesystem>
#include <functional>
#include <optional>

#include "profile/ProfileStore.h"
#include "profile/page/ProfileFileDialog.h"
#include "session/ProfileLibrary.h"
#include "ui/Control.h"

namespace korva::ui {
class NotifyRouter;
class SkinWindow;
}  // namespace korva::ui

namespace korva::profile {

// A profile file the library could not write.
inline constexpr char kTextProfileWriteFailed[] = "message_text_profile_write_failed";
// The title of the dialog that chooses the program to link.
inline constexpr char kTextLinkDialogTitle[] = "profile_link_dialog_title";
// The chosen file to link is not an executable program.
inline constexpr char kTextNotExecutable[] = "message_text_link_not_executable";
// No way to follow the application in the foreground on this desktop: the short line the panel
// shows, and the explanation in its tooltip.
inline constexpr char kTextNoForegroundLine[] = "profile_link_none_text";
inline constexpr char kTextNoForegroundProvider[] = "profile_link_no_provider";
// Height of a combo item.
inline constexpr int kProfileItemHeight = 25;

class ProfilePanel {
 public:
  struct Hooks {
    // Shows a message box with a text id or a finished text; 1 when the user confirmed.
    std::function<int(const QString& textOrId)> showMessage;
    // Import and export paths; empty: the Qt file dialogs over the window.
    ProfileFileChooser chooseFile;
    // A profile was put into effect: the device's pages show it, the desktop takes its settings.
    std::function<void(const session::ProfileEffect& effect)> applied;
    // The executable to link; nullopt when cancelled. Empty: a Qt file dialog over the window.
    std::function<std::optional<std::filesystem::path>()> chooseExecutable;
    // The combo now shows this index (the application-link watcher keeps track of it).
    std::function<void(int index)> shown;
    // A link of the store was made or removed (the application-link watcher looks again).
    std::function<void()> linksChanged;
  };

  // `window` holds the controls, `library` the stores; both must outlive the panel.
  ProfilePanel(ui::SkinWindow& window, session::ProfileLibrary& library, StoreKind store, Hooks hooks);
  ProfilePanel(const ProfilePanel&) = delete;
  ProfilePanel& operator=(const ProfilePanel&) = delete;

  StoreKind Store() const { return store_; }

  // Binds the panel's notifications; false when the router refused a name.
  bool RegisterRoutes(ui::NotifyRouter& router);

  // InitialiseStore (page creation): the first profile on a first run, the combo filled and the
  // stored selection shown (0 when it lies outside the list), without loading it.
  void Initialise();

  // --- handlers ---
  void Select(int index);
  void Add();
  void Delete();
  void Copy();
  void Rename();
  void Import();
  void Export();
  void Restore();
  // LinkProfile / UnlinkProfile of the selected profile.
  void Link();
  void Unlink();
  // The application link's choice: profile `index` shown and put into effect while `select` keeps
  // the hand-chosen profile (the hand-chosen index itself is selected as by hand).
  void ShowLinked(int index);
  // Whether the foreground application can be followed; when not, a line under the link row says
  // so (linking still works: the links wait for a provider).
  void SetSwitchingAvailable(bool available);

 private:
  ui::Control Find(const char* role) const;
  ui::Control Button(const char* role) const;
  // The combo filled from the library, `selected` shown (no notification).
  void Fill(const std::vector<std::string>& names, int selected);
  void ShowName(int index);
  void ShowLink(int index);
  void CloseFunctionEditor();
  // The link controls of an unlinked profile, and its index entries when `write`.
  void ClearLink(int index, bool write);
  void Shown(int index);
  void LinksChanged();
  // A new profile at `index` (add, copy, delete): listed again, selected and put into effect.
  void SelectNew(const IndexResult& result);
  int Selected() const;
  // Shows the message of a failed library call; false when it failed.
  bool Report(const StoreResult& result);
  void Applied(const session::ProfileEffect& effect);
  int Message(const QString& textOrId);

  ui::SkinWindow& window_;
  session::ProfileLibrary& library_;
  StoreKind store_;
  QString prefix_;        // "<dev>_<kind>_"
  QString buttonPrefix_;  // "<dev>_pro_<kind>_"
  QString device_;        // "<dev>"
  Hooks hooks_;
};

}  // namespace korva::profile
