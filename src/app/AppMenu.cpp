#include "app/AppMenu.h"

#include <QAction>
#include <QMenu>

#include "app/AppConfig.h"
#include "autostart/AutostartEntry.h"
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
  if (QAction* autostart = menu->findChild<QAction*>(QString::fromLatin1(kAutostartItem), Qt::FindDirectChildrenOnly)) {
    autostart->setCheckable(true);
    QMenu* shown = menu.get();
    auto refresh = [autostart] {
      autostart->setChecked(autostart::IsEnabled(AutostartEntryPath().toStdString()));
    };
    refresh();
    QObject::connect(shown, &QMenu::aboutToShow, autostart, refresh);
  }
  return menu;
}

QString AutostartEntryPath() {
  return QString::fromStdString((autostart::AutostartFolder() / autostart::kEntryFileName).string());
}

bool ToggleAutostart(const QString& entry, const QString& executable, QString* error) {
  const std::filesystem::path path = entry.toStdString();
  const Result<void> done = autostart::IsEnabled(path) ? autostart::Disable(path)
                                                       : autostart::Enable(path, executable.toStdString(), {});
  if (!done && error) *error = QString::fromStdString(done.error().ToString());
  return done.ok();
}

}  // namespace korva::app
