#include "app/MessageBox.h"

#include <QMessageBox>
#include <QPushButton>

#include "app/AppConfig.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"

namespace korva::app {

int ShowMessageBox(QWidget* owner, const QString& textOrId) {
  const ui::SkinWindow* window = ui::SkinWindow::Of(owner);
  // A text id of the owner's language file, else `fallback`.
  auto text = [&](const char* id, const QString& fallback) {
    const QString textId = QString::fromLatin1(id);
    return window && window->GetSkin().IsTextId(textId) ? window->GetSkin().Text(textId) : fallback;
  };
  // Without a parent: the skin's style sheet is made for the skin's windows, not for this box.
  QMessageBox box;
  box.setWindowModality(Qt::ApplicationModal);
  box.setWindowTitle(text("msg_title_text", QString::fromLatin1(kWindowTitle)));
  box.setText(window ? window->GetSkin().Text(textOrId) : textOrId);
  QPushButton* confirm =
      box.addButton(text("msg_confirm_text", QStringLiteral("OK")), QMessageBox::AcceptRole);
  box.addButton(text("msg_cancel_text", QStringLiteral("Cancel")), QMessageBox::RejectRole);
  box.setDefaultButton(confirm);
  if (owner && owner->isVisible()) {
    box.adjustSize();
    box.move(owner->frameGeometry().center() - box.rect().center());
  }
  box.exec();
  return box.clickedButton() == confirm ? 1 : 0;
}

}  // namespace korva::app
