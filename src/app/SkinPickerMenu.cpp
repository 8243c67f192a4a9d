#include "app/SkinPickerMenu.h"

#include "app/MainWnd.h"

namespace korva::app {

void SkinPickerMenu::OpenWebsite() {
  window_.SkinMenuAction(QStringLiteral("menu_website"));
}

void SkinPickerMenu::RestoreAllDefaults() {
  window_.SkinMenuAction(QStringLiteral("menu_restore"));
}

bool SkinPickerMenu::RunUpdater() {
  return window_.SkinMenuAction(QStringLiteral("menu_update")) == SkinMenuResult::kClosePicker;
}

}  // namespace korva::app
