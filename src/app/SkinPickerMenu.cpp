#include "app/SkinPickerMenu.h"

#include <QTimer>

#include "app/MainWnd.h"
#include "app/Updater.h"

namespace korva::app {

void SkinPickerMenu::OpenWebsite() {
  RunSoon("menu_website");
}

void SkinPickerMenu::RestoreAllDefaults() {
  RunSoon("menu_restore");
}

bool SkinPickerMenu::RunUpdater() {
  if (!UpdaterFor(window_.CurrentDevicePage(), window_.Session().KeyboardModel())) return false;
  RunSoon("menu_update");
  return true;
}

void SkinPickerMenu::RunSoon(const char* item) {
  QTimer::singleShot(0, &window_,
                     [window = &window_, name = QString::fromLatin1(item)] { window->SkinMenuAction(name); });
}

}  // namespace korva::app
