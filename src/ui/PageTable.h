#pragma once
// The page files behind the page-container element classes of the main window's skin, and the
// custom control classes the skin files use. The main window's CreateControl answers with
// SkinWindow::BuildPage(PageFileForClass(cls)) for these classes.

#include <QString>
#include <QStringView>
#include <optional>

namespace korva::ui {

class ControlFactory;

// "kb_Key_UI" -> "keyboard_key.xml", ... (class names compare without regard to case);
// nullopt for any other class.
std::optional<QString> PageFileForClass(QStringView elementClass);
// Every page file of the table, in table order.
QList<QString> AllPageFiles();

// Registers "CCircleProgressUI", "CChartViewUI", "CWndUI" and "CDeviceKeyButtonUI" with the
// factory, in this order. The device key button is a Button that carries the light tint; the
// other three are plain stand-ins until their painting is written.
void RegisterStandardControls(ControlFactory& factory);

}  // namespace korva::ui
