#pragma once
// SkinPickerMenu: the skin picker's three menu items ("menu_website", "menu_restore",
// "menu_update") carried out by the main window's own menu actions (CMainWnd::SkinMenuAction):
// the maker's web site, WM_RESTORE_ALL, and the updater of the device page in front.
//
// The actions run just after the picker's click has been handled, not inside it: an action may
// show a modal box, the box takes the focus, and the picker closes and deletes itself as soon as
// it loses the focus -- it must not be in the middle of its own click when that happens.

#include <QString>

#include "ui/routing/SkinFrame.h"

namespace korva::app {

class CMainWnd;

class SkinPickerMenu final : public ui::ISkinFrameMenu {
 public:
  // `window` must outlive the menu; an action still waiting when the window goes is dropped.
  explicit SkinPickerMenu(CMainWnd& window) : window_(window) {}

  void OpenWebsite() override;
  void RestoreAllDefaults() override;
  // True (the picker closes) when the page in front has an updater: it is then started, or the
  // user is told why it cannot be. The headset page has none: nothing happens, the picker stays.
  bool RunUpdater() override;

 private:
  void RunSoon(const char* item);

  CMainWnd& window_;
};

}  // namespace korva::app
