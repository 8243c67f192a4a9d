#include "app/MessageBox.h"

#include <QMessageBox>
#include <QPushButton>

#include "ui/Skin.h"
#include "ui/SkinWindow.h"

namespace korva::app {

int ShowMessageBox(QWidget* owner, const QString& textOrId) {
  const ui::SkinWindow* window = ui::SkinWindow::Of(owner);
  auto text = [&](const QString& id) { return window ? window->GetSkin().Text(id) : id; };
  QMessageBox box(owner);
  box.setWindowTitle(text(QStringLiteral("msg_title_text")));
  box.setText(text(textOrId));
  QPushButton* confirm = box.addButton(text(QStringLiteral("msg_confirm_text")), QMessageBox::AcceptRole);
  box.addButton(text(QStringLiteral("msg_cancel_text")), QMessageBox::RejectRole);
  box.setDefaultButton(confirm);
  box.exec();
  return box.clickedButton() == confirm ? 1 : 0;
}

}  // namespace korva::app
