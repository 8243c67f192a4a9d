#pragma once
// TrayIcon: the main window's icon in the desktop's system tray, tooltip "KORVA DRIVER", with the
// popup menu of "menu.xml" (BuildAppMenu). A left click and every menu command are handed to the
// main window.
//
// Where the desktop has no system tray the icon is never shown; the main window then stays
// visible so that the program can still be reached (see CMainWnd::HideMainWindow), and offers the
// same menu from its title bar (WindowMenu).

#include <QObject>
#include <QString>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace korva::ui {
class Skin;
}

namespace korva::app {

class TrayIcon : public QObject {
  Q_OBJECT

 public:
  explicit TrayIcon(ui::Skin& skin, QObject* parent = nullptr);
  ~TrayIcon() override;

  // Whether the desktop shows tray icons.
  static bool Available();

  // Shows the icon with its menu (BuildAppMenu: the program can always be ended from the tray).
  void Show();
  void Remove();
  bool IsShown() const;
  // Builds the menu again with the texts of the current language.
  void Retranslate();
  QMenu* Menu() const { return menu_.get(); }

 signals:
  void leftClicked();
  // `name` is the item's name ("lan", "exit", ...), `textId` its text id.
  void menuCommand(const QString& name, const QString& textId);

 private:
  void BuildMenu();

  ui::Skin& skin_;
  std::unique_ptr<QSystemTrayIcon> icon_;
  std::unique_ptr<QMenu> menu_;
};

}  // namespace korva::app
