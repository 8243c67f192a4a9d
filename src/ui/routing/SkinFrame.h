#pragma once
// The skin picker: a borderless pop-up under the main window's "skinbtn", built from
// "skin.xml". It holds the background choices ("skin_image" page, "skin_reset", "skin_Custom")
// and three menu items of the application ("menu_website", "menu_restore", "menu_update"), whose
// actions the main window carries out through ISkinFrameMenu. It closes as soon as it loses the
// focus, and deletes itself when closed.
//
// The background choice reaches the windows through the skin-changed observer (SkinChanged.h).
// Only the reset to the default background is remembered, in "main.ini" section "SKINIMAGE"
// (FLAGS "0", IMAGE the default image); a custom image lasts until the program ends.
// ApplyStoredSkinChoice applies the remembered choice when the main window starts.

#include <QString>
#include <filesystem>
#include <functional>

#include "ui/Notify.h"
#include "ui/SkinWindow.h"

class QEvent;

namespace korva::profile {
class DataFolders;
}

namespace korva::ui {

class ObserverImpl;

// The main window's side of the picker's menu items.
class ISkinFrameMenu {
 public:
  virtual ~ISkinFrameMenu() = default;
  // "menu_website": open the maker's web site.
  virtual void OpenWebsite() = 0;
  // "menu_restore": restore the defaults on all pages.
  virtual void RestoreAllDefaults() = 0;
  // "menu_update": start the updater of the device page in front. True when one was started;
  // the picker then closes (the headset page has no updater and leaves it open).
  virtual bool RunUpdater() = 0;
};

struct SkinFrameContext {
  std::filesystem::path mainIni;     // "main.ini" in the base data folder (MainIniPath)
  ISkinFrameMenu* menu = nullptr;    // nullptr: the menu items do nothing
  ObserverImpl* observer = nullptr;  // nullptr: GetSkinObserver()
  // Asks the user for a background image; "" when cancelled. Empty: a file dialog for PNG images.
  std::function<QString(QWidget* parent)> chooseImage;
};

class CSkinFrame : public SkinWindow, public INotifyUI {
  Q_OBJECT

 public:
  static constexpr char kClassName[] = "UISkinFrame";
  static constexpr char kSkin[] = "skin.xml";

  // Creates the picker and shows it at once under `skinButton` (a control of `mainWindow`),
  // right-aligned with the button. nullptr when the skin file cannot be read.
  static CSkinFrame* Open(SkinWindow& mainWindow, const Control& skinButton, SkinFrameContext context);

  void Notify(const Notification& msg) override;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  CSkinFrame(SkinWindow& mainWindow, SkinFrameContext context);
  void PlaceUnder(const Control& button);
  void ResetBackground();
  void ChooseCustomBackground();
  ObserverImpl& Observer() const;

  SkinFrameContext context_;
  bool wasActive_ = false;
  bool choosing_ = false;  // a file dialog is open: the focus it takes must not close the picker
};

// "main.ini" in the base data folder.
std::filesystem::path MainIniPath(const profile::DataFolders& folders);

// The skin choice remembered in "main.ini": when "SKINIMAGE"/"FLAGS" reads as 1, the image named
// by "IMAGE" becomes the background of the window's "root", with background colour 0. A missing
// or unreadable file, or any other FLAGS value, leaves the skin's own background. Called by the
// main window at "windowinit".
void ApplyStoredSkinChoice(SkinWindow& mainWindow, const std::filesystem::path& mainIni);

}  // namespace korva::ui
