#pragma once
// The program's menu, defined once in the skin's "menu.xml" (the language switch, exit, ...). The
// tray shows it, and the main window offers it from its title bar where the desktop has no tray.

#include <QString>
#include <memory>

class QMenu;
class QWidget;

namespace korva::ui {
class Skin;
}

namespace korva::app {

// A new menu from "menu.xml" with the texts of the current language. Each action's objectName is
// the item's name ("lan", "exit", ...) and its data() the item's text id. An "exit" item is
// appended when the file has none, and a file that cannot be read gives a menu with "exit" alone,
// so that the program can always be ended from the menu.
// The "autostart" item is a check item showing, each time the menu opens, whether the desktop
// starts the program (the autostart entry in `autostartEntry`).
std::unique_ptr<QMenu> BuildAppMenu(const ui::Skin& skin, QWidget* parent = nullptr);

inline constexpr char kAutostartItem[] = "autostart";
// The autostart entry of this user (autostart::AutostartFolder() + "korva.desktop").
QString AutostartEntryPath();
// The "autostart" item chosen: the entry written (starting this executable, which stays in the
// tray where there is one) or removed. False, with the reason in `error`, when that failed.
bool ToggleAutostart(const QString& entry, const QString& executable, QString* error);

}  // namespace korva::app
