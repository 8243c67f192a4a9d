#include "app/TrayIcon.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

#include "app/AppConfig.h"
#include "app/AppMenu.h"
#include "ui/Skin.h"

namespace korva::app {

TrayIcon::TrayIcon(ui::Skin& skin, QObject* parent)
    : QObject(parent), skin_(skin), icon_(std::make_unique<QSystemTrayIcon>()) {
  icon_->setIcon(QIcon(skin_.Image(QString::fromLatin1(kTrayIconImage))));
  icon_->setToolTip(QString::fromLatin1(kWindowTitle));
  connect(icon_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger) emit leftClicked();
  });
  BuildMenu();
}

TrayIcon::~TrayIcon() {
  // The menu goes before the icon that shows it.
  icon_->setContextMenu(nullptr);
  menu_.reset();
}

bool TrayIcon::Available() {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::Show() {
  icon_->show();
}

bool TrayIcon::IsShown() const {
  return icon_->isVisible();
}

void TrayIcon::Remove() {
  icon_->hide();
}

void TrayIcon::Retranslate() {
  BuildMenu();
}

void TrayIcon::BuildMenu() {
  std::unique_ptr<QMenu> menu = BuildAppMenu(skin_);
  connect(menu.get(), &QMenu::triggered, this,
          [this](QAction* action) { emit menuCommand(action->objectName(), action->data().toString()); });
  icon_->setContextMenu(menu.get());
  menu_ = std::move(menu);
}

}  // namespace korva::app
