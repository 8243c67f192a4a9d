#pragma once
// SkinPickerMenu: the skin picker's three menu items ("menu_website", "menu_restore",
// "menu_update") carried out by the main window's own menu actions (CMainWnd::SkinMenuAction):
// the maker's web site, WM_RESTORE_ALL, and the updater of the device page in front.

#include "ui/SkinFrame.h"

namespace korva::app {

class CMainWnd;

class SkinPickerMenu final : public ui::ISkinFrameMenu {
 public:
  // `window` must outlive the menu.
  explicit SkinPickerMenu(CMainWnd& window) : window_(window) {}

  void OpenWebsite() override;
  void RestoreAllDefaults() override;
  // True when the picker is to close: an updater was started, or the user was told why none
  // could be (the box has been answered). The headset page has no updater: the picker stays.
  bool RunUpdater() override;

 private:
  CMainWnd& window_;
};

}  // namespace korva::app
