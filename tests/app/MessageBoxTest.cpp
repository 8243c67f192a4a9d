#include "app/MessageBox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "AppTestSupport.h"

namespace korva::app {
namespace {

// Answers the box that is about to open with the button of `role`, and keeps what it showed.
struct Answer {
  QMessageBox::ButtonRole role;
  QString shownText;
};

int ShowAndAnswer(QWidget* owner, const QString& textOrId, Answer& answer) {
  QTimer::singleShot(0, [&answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    answer.shownText = box->text();
    for (QAbstractButton* button : box->buttons())
      if (box->buttonRole(button) == answer.role) button->click();
  });
  return ShowMessageBox(owner, textOrId);
}

TEST(MessageBox, ShowsTheTranslatedTextAndReturns1OnlyForConfirm) {
  test::ShellFixture shell;
  CMainWnd& window = shell.MakeWindow();
  const QString translated = shell.skin->Text(QStringLiteral("message_text_1"));
  ASSERT_NE(translated, QStringLiteral("message_text_1"));

  Answer confirm{QMessageBox::AcceptRole, {}};
  EXPECT_EQ(ShowAndAnswer(&window, QStringLiteral("message_text_1"), confirm), 1);
  EXPECT_EQ(confirm.shownText, translated);

  Answer cancel{QMessageBox::RejectRole, {}};
  EXPECT_EQ(ShowAndAnswer(&window, QStringLiteral("Literal text"), cancel), 0);
  EXPECT_EQ(cancel.shownText, QStringLiteral("Literal text"));

  Answer ownerless{QMessageBox::AcceptRole, {}};
  EXPECT_EQ(ShowAndAnswer(nullptr, QStringLiteral("message_text_1"), ownerless), 1);
  EXPECT_EQ(ownerless.shownText, QStringLiteral("message_text_1"));
}

}  // namespace
}  // namespace korva::app
