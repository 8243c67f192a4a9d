#pragma once
// The page files behind the page-container element classes of the main window's skin. The main
// window's CreateControl answers with SkinWindow::BuildPage(PageFileForClass(cls)) for these
// classes. The custom control classes are registered by ui/controls/StandardControls.h.

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

namespace korva::ui {

// "kb_Key_UI" -> "keyboard_key.xml", ... (class names compare without regard to case);
// nullopt for any other class.
std::optional<QString> PageFileForClass(QStringView elementClass);
// Every page file of the table, in table order.
QList<QString> AllPageFiles();

}  // namespace korva::ui
