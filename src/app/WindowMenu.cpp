#include "app/WindowMenu.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QTimer>

#include "app/AppMenu.h"
#include "app/MainWnd.h"
#include "app/TrayIcon.h"
#include "ui/SkinWindow.h"

namespace korva::app {

WindowMenu::WindowMenu(ui::SkinWindow& window, Command command, bool offered)
    : QObject(&window), window_(window), command_(std::move(command)), offered_(offered) {
  ui::Control button = window_.FindControl(QString::fromLatin1(kWindowMenuButton));
  button.SetVisible(offered_);
  // The button's own signal rather than the window's notification: the routing of the window's
  // clicks has no entry for it, and the connection ends by itself with either side.
  if (auto* widget = qobject_cast<QAbstractButton*>(button.Widget()); widget && offered_)
    connect(widget, &QAbstractButton::clicked, this, [this] { Popup(); });
}

WindowMenu* WindowMenu::Install(CMainWnd& window) {
  const bool trayShown = window.Tray() && window.Tray()->IsShown();
  return new WindowMenu(
      window, [&window](const QString& name, const QString& textId) { window.MenuCommand(name, textId); },
      !trayShown);
}

QMenu* WindowMenu::Popup() {
  if (!offered_) return nullptr;
  if (open_) open_->close();
  QMenu* menu = BuildAppMenu(window_.GetSkin(), &window_).release();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  connect(menu, &QMenu::triggered, this, [this](QAction* action) {
    QTimer::singleShot(0, this, [this, name = action->objectName(), textId = action->data().toString()] {
      if (command_) command_(name, textId);
    });
  });
  open_ = menu;
  const QWidget* button = window_.FindControl(QString::fromLatin1(kWindowMenuButton)).Widget();
  menu->popup(button ? button->mapToGlobal(QPoint(0, button->height())) : window_.mapToGlobal(QPoint()));
  return menu;
}

}  // namespace korva::app
