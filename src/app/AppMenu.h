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
std::unique_ptr<QMenu> BuildAppMenu(const ui::Skin& skin, QWidget* parent = nullptr);

}  // namespace korva::app
