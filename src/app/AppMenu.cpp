#include "app/AppMenu.h"

#include <QAction>
#include <QMenu>

#include "app/AppConfig.h"
#include "common/Log.h"
#include "ui/Skin.h"

namespace korva::app {

std::unique_ptr<QMenu> BuildAppMenu(const ui::Skin& skin, QWidget* parent) {
  ui::SkinError error;
  std::unique_ptr<QMenu> menu(skin.BuildMenu(QString::fromLatin1(kMenuSkin), parent, &error));
  if (!menu) {
    Trace("menu: " + error.ToString());
    menu = std::make_unique<QMenu>(parent);
  }
  if (!menu->findChild<QAction*>(QStringLiteral("exit"), Qt::FindDirectChildrenOnly)) {
    const QString exitText = QStringLiteral("menu_exit_text");
    QAction* exit = menu->addAction(skin.Text(exitText));
    exit->setObjectName(QStringLiteral("exit"));
    exit->setData(exitText);
  }
  return menu;
}

}  // namespace korva::app
