#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QTimer>

#include "RoutingTestSupport.h"
#include "ui/LanguageTable.h"
#include "ui/routing/MsgWnd.h"

namespace korva::ui {
namespace {

class MsgWndTest : public testing::Test {
 protected:
  void SetUp() override {
    skin_ = test::OpenSourceSkin();
    ASSERT_TRUE(skin_);
    owner_ = std::make_unique<test::MainWindow>(*skin_);
    ASSERT_TRUE(owner_->built);
    owner_->move(40, 30);
    owner_->show();
  }

  std::unique_ptr<Skin> skin_;
  std::unique_ptr<test::MainWindow> owner_;
};

TEST_F(MsgWndTest, OnlyTheConfirmButtonAnswersOne) {
  struct Row {
    const char* button;  // "" = closed by the window system
    int result;
  };
  for (const Row& row : {Row{"confirm_btn", 1}, Row{"cancel_btn", 0}, Row{"closebtn", 0}, Row{"", 0}}) {
    test::MessageBoxAnswer answer(QString::fromLatin1(row.button));
    EXPECT_EQ(ShowMessageBox(*owner_, QStringLiteral("message_text_12")), row.result) << row.button;
    EXPECT_TRUE(answer.Answered()) << row.button;
  }
}

TEST_F(MsgWndTest, ShowsTheTextOfTheIdInTheCurrentLanguage) {
  {
    test::MessageBoxAnswer answer(QStringLiteral("cancel_btn"));
    ShowMessageBox(*owner_, QStringLiteral("message_text_4"));
    EXPECT_EQ(answer.ShownText(), QStringLiteral("Delete this macro?"));
  }
  ASSERT_FALSE(skin_->LoadLanguage(QStringLiteral("lan_cn.xml")));
  {
    test::MessageBoxAnswer answer(QStringLiteral("cancel_btn"));
    ShowMessageBox(*owner_, QStringLiteral("message_text_4"));
    EXPECT_EQ(answer.ShownText(), QStringLiteral("确定要删除这个宏吗？"));
  }
}

TEST_F(MsgWndTest, FillsInTheNumberOfAMessageWithOne) {
  test::MessageBoxAnswer answer(QStringLiteral("confirm_btn"));
  ShowMessageBox(*owner_, QStringLiteral("message_text_16"), 7);
  EXPECT_EQ(
      answer.ShownText(),
      QStringLiteral("The macros do not fit in the device's macro memory. Remove 7 steps and try again."));
}

TEST_F(MsgWndTest, AnEmptyIdShowsNoText) {
  test::MessageBoxAnswer answer(QStringLiteral("confirm_btn"));
  EXPECT_EQ(ShowMessageBox(*owner_, QString()), 1);
  EXPECT_TRUE(answer.Answered());
  EXPECT_TRUE(answer.ShownText().isEmpty());
}

TEST_F(MsgWndTest, TheBoxBelongsToItsOwnerIsCentredOnItAndGoesAwayWhenAnswered) {
  QPointer<CMsgWnd> seen;
  QRect seenGeometry;
  QTimer::singleShot(0, qApp, [&] {
    seen = qobject_cast<CMsgWnd*>(QApplication::activeModalWidget());
    if (!seen) return;
    seenGeometry = seen->frameGeometry();
    EXPECT_EQ(seen->parentWidget(), owner_.get());
    EXPECT_TRUE(seen->isModal());
    test::Click(seen->FindControl(QStringLiteral("confirm_btn")));
  });
  ShowMessageBox(*owner_, QStringLiteral("message_text_1"));
  ASSERT_FALSE(seenGeometry.isNull());
  EXPECT_LE((seenGeometry.center() - owner_->frameGeometry().center()).manhattanLength(), 2);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(seen.isNull());
}

TEST_F(MsgWndTest, TheOwnerGoingAwayEndsTheBoxWithoutConfirming) {
  QTimer::singleShot(0, qApp, [&] { owner_.reset(); });
  EXPECT_EQ(ShowMessageBox(*owner_, QStringLiteral("message_text_2")), 0);
}

// Every message the program shows must read as a finished text in both languages.
TEST(MessageTextsTest, EveryMessageIdHasATextInBothLanguages) {
  QStringList ids;
  for (int n = 1; n <= 17; ++n)
    if (n != 10) ids.append(QStringLiteral("message_text_%1").arg(n));
  ids.append(QStringLiteral("message_text_name_refused"));
  for (const char* file : {"lan_cn.xml", "lan_en.xml"}) {
    LanguageTable table;
    const QString path = QDir(Skin::SourceSkinFolder()).filePath(QString::fromLatin1(file));
    const auto error = LanguageTable::Load(path, table);
    ASSERT_FALSE(error) << error->ToString();
    for (const QString& id : ids) {
      const QString* text = table.Find(id);
      ASSERT_TRUE(text) << file << ": " << id.toStdString();
      EXPECT_GE(text->size(), 4) << file << ": " << id.toStdString();
      EXPECT_FALSE(text->contains(QLatin1String("message_text"))) << file << ": " << id.toStdString();
      // The two texts with a number carry exactly one place for it.
      const bool numbered = id == QLatin1String("message_text_16") || id == QLatin1String("message_text_17");
      EXPECT_EQ(text->count(QLatin1String("%d")), numbered ? 1 : 0) << file << ": " << id.toStdString();
    }
  }
}

}  // namespace
}  // namespace korva::ui
