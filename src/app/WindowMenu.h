#pragma once
// WindowMenu: the program's menu (AppMenu, "menu.xml") offered from the main window's own title
// bar, by the button "menubtn". Where the desktop has no system tray the window stays shown, and
// the language switch and the other menu items would otherwise be out of reach; where there is a
// tray the button stays hidden and the tray's menu is the only one.
//
// The chosen item goes to the window's menu command (CMainWnd::MenuCommand) after the menu has
// closed: a command may open a modal box or end the program, which must not happen inside the
// menu's own mouse handling.
//
// UI thread only.

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

namespace korva::ui {
class SkinWindow;
}

namespace korva::app {

class CMainWnd;

inline constexpr char kWindowMenuButton[] = "menubtn";

class WindowMenu final : public QObject {
  Q_OBJECT

 public:
  using Command = std::function<void(const QString& name, const QString& textId)>;

  // A child of `window`, which holds the button "menubtn" (the skin keeps it hidden). The button is
  // shown, and opens the menu, while `offered` holds.
  WindowMenu(ui::SkinWindow& window, Command command, bool offered);

  // The window menu of the main window: offered when the window shows no tray icon. It lives as
  // long as the window.
  static WindowMenu* Install(CMainWnd& window);

  bool IsOffered() const { return offered_; }
  // Opens the menu under the button with the texts of the current language and returns it (it
  // deletes itself when it closes); nullptr while the menu is not offered.
  QMenu* Popup();
  QMenu* OpenMenu() const { return open_; }

 private:
  ui::SkinWindow& window_;
  Command command_;
  bool offered_;
  QPointer<QMenu> open_;
};

}  // namespace korva::app
