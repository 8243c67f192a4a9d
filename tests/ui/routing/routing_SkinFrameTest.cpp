#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "RoutingTestSupport.h"
#include "common/AtomicFile.h"
#include "profile/IniFile.h"
#include "ui/routing/SkinChanged.h"
#include "ui/routing/SkinFrame.h"

namespace korva::ui {
namespace {

class FakeMenu : public ISkinFrameMenu {
 public:
  void OpenWebsite() override { calls.append(QStringLiteral("website")); }
  void RestoreAllDefaults() override { calls.append(QStringLiteral("restore")); }
  bool RunUpdater() override {
    calls.append(QStringLiteral("update"));
    return updaterStarts;
  }
  QStringList calls;
  bool updaterStarts = true;
};

class SkinFrameTest : public testing::Test {
 protected:
  void SetUp() override {
    skin_ = test::OpenSourceSkin();
    ASSERT_TRUE(skin_);
    window_ = std::make_unique<test::MainWindow>(*skin_);
    ASSERT_TRUE(window_->built);
    window_->move(100, 80);
    window_->show();
    receiver_ = std::make_unique<RootBackgroundReceiver>(*window_);
    observer_.AddReceiver(receiver_.get());
  }

  SkinFrameContext Context() {
    SkinFrameContext context;
    context.mainIni = data_.MainIni();
    context.menu = &menu_;
    context.observer = &observer_;
    context.chooseImage = [this](QWidget*) { return chosen_; };
    return context;
  }
  CSkinFrame* Open() {
    return CSkinFrame::Open(*window_, window_->FindControl(QStringLiteral("skinbtn")), Context());
  }
  Control Root() const { return window_->FindControl(QStringLiteral("root")); }
  // A PNG that loads, in the test's data folder.
  QString WriteImage(const char* name) {
    const QString path = QString::fromStdString((data_.Path() / name).string());
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(Qt::red);
    EXPECT_TRUE(image.save(path, "PNG"));
    return path;
  }

  std::unique_ptr<Skin> skin_;
  std::unique_ptr<test::MainWindow> window_;
  ObserverImpl observer_;
  std::unique_ptr<RootBackgroundReceiver> receiver_;
  test::TempDataFolder data_;
  FakeMenu menu_;
  QString chosen_;
};

TEST_F(SkinFrameTest, OpensUnderTheSkinButtonRightAligned) {
  CSkinFrame* frame = Open();
  ASSERT_TRUE(frame);
  const QWidget* button = window_->FindControl(QStringLiteral("skinbtn")).Widget();
  const QPoint bottomRight = button->mapToGlobal(QPoint(button->width(), button->height()));
  EXPECT_EQ(frame->x() + frame->width(), bottomRight.x());
  EXPECT_EQ(frame->y(), bottomRight.y());
  EXPECT_TRUE(frame->isVisible());
  EXPECT_TRUE(frame->windowFlags() & Qt::FramelessWindowHint);
  frame->close();
}

TEST_F(SkinFrameTest, ResetShowsTheDefaultBackgroundNowAndAfterARestart) {
  // Remembered before: a custom image with FLAGS 1 (as an older setting could have it).
  const QString custom = WriteImage("custom.png");
  ASSERT_TRUE(profile::WriteIniString(data_.MainIni(), "SKINIMAGE", "FLAGS", "1"));
  ASSERT_TRUE(profile::WriteIniString(data_.MainIni(), "SKINIMAGE", "IMAGE", custom.toStdString()));
  ApplyStoredSkinChoice(*window_, data_.MainIni());
  ASSERT_EQ(Root().BkImage(), custom);

  CSkinFrame* frame = Open();
  ASSERT_TRUE(frame);
  test::Click(frame->FindControl(QStringLiteral("skin_reset")));
  EXPECT_EQ(Root().BkImage(), QStringLiteral("common/background.png"));
  EXPECT_EQ(profile::ReadIniString(data_.MainIni(), "SKINIMAGE", "FLAGS", "?"), "0");
  EXPECT_EQ(profile::ReadIniString(data_.MainIni(), "SKINIMAGE", "IMAGE", "?"), "common/background.png");

  // Restart: a new main window reads the stored choice at start-up.
  observer_.RemoveReceiver(receiver_.get());
  window_.reset();
  test::MainWindow restarted(*skin_);
  ASSERT_TRUE(restarted.built);
  ApplyStoredSkinChoice(restarted, data_.MainIni());
  const Control root = restarted.FindControl(QStringLiteral("root"));
  EXPECT_EQ(root.BkImage(), QStringLiteral("common/background.png"));
  EXPECT_EQ(root.BkColor(), 0u);
}

TEST_F(SkinFrameTest, TheStoredChoiceAppliesOnlyWhenFlagsIsOne) {
  const QString custom = WriteImage("stored.png");
  struct Row {
    const char* label;
    const char* flags;  // nullptr: key missing
    bool applied;
  };
  for (const Row& row : {Row{"one", "1", true}, Row{"one with spaces", " 1 ", true}, Row{"zero", "0", false},
                         Row{"two", "2", false}, Row{"text", "abc", false}, Row{"missing", nullptr, false}}) {
    std::filesystem::remove(data_.MainIni());
    if (row.flags) {
      ASSERT_TRUE(profile::WriteIniString(data_.MainIni(), "SKINIMAGE", "FLAGS", row.flags));
    }
    ASSERT_TRUE(profile::WriteIniString(data_.MainIni(), "SKINIMAGE", "IMAGE", custom.toStdString()));
    Root().SetBkImage(QStringLiteral("common/background.png"));
    ApplyStoredSkinChoice(*window_, data_.MainIni());
    EXPECT_EQ(Root().BkImage(), row.applied ? custom : QStringLiteral("common/background.png")) << row.label;
  }
}

TEST_F(SkinFrameTest, AMissingOrDamagedMainIniLeavesTheSkinsBackground) {
  ApplyStoredSkinChoice(*window_, data_.MainIni());  // no file
  EXPECT_EQ(Root().BkImage(), QStringLiteral("common/background.png"));
  const std::uint8_t binary[] = {0x00, 0xFF, 0xFE, 0x01, '[', 0x00};
  ASSERT_TRUE(WriteFileAtomically(data_.MainIni(), binary));
  ApplyStoredSkinChoice(*window_, data_.MainIni());
  EXPECT_EQ(Root().BkImage(), QStringLiteral("common/background.png"));
}

TEST_F(SkinFrameTest, ACustomImageBecomesTheBackgroundForThisRunOnly) {
  chosen_ = WriteImage("mine.png");
  QPointer<CSkinFrame> frame = Open();
  ASSERT_TRUE(frame);
  test::Click(frame->FindControl(QStringLiteral("skin_Custom")));
  EXPECT_EQ(Root().BkImage(), chosen_);
  EXPECT_FALSE(std::filesystem::exists(data_.MainIni()));
  // The dialog took the focus: the picker is gone.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(frame.isNull());
}

TEST_F(SkinFrameTest, ACustomImageThatCannotBeLoadedLeavesNoBackgroundImage) {
  const QString broken = QString::fromStdString((data_.Path() / "broken.png").string());
  QFile file(broken);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("this is not a PNG");
  file.close();
  for (const QString& image : {broken, QString::fromStdString((data_.Path() / "missing.png").string())}) {
    Root().SetBkImage(QStringLiteral("common/background.png"));
    chosen_ = image;
    CSkinFrame* frame = Open();
    ASSERT_TRUE(frame);
    test::Click(frame->FindControl(QStringLiteral("skin_Custom")));
    EXPECT_TRUE(Root().BkImage().isEmpty()) << image.toStdString();
    EXPECT_EQ(Root().BkColor(), 0u);
  }
}

TEST_F(SkinFrameTest, CancellingTheImageChoiceChangesNothing) {
  Root().SetBkImage(QStringLiteral("common/logo.png"));
  chosen_.clear();
  CSkinFrame* frame = Open();
  ASSERT_TRUE(frame);
  test::Click(frame->FindControl(QStringLiteral("skin_Custom")));
  EXPECT_EQ(Root().BkImage(), QStringLiteral("common/logo.png"));
  EXPECT_FALSE(std::filesystem::exists(data_.MainIni()));
}

TEST_F(SkinFrameTest, TheImageDialogCancelledByTheUserChangesNothing) {
  Root().SetBkImage(QStringLiteral("common/logo.png"));
  SkinFrameContext context = Context();
  context.chooseImage = nullptr;  // the real dialog
  CSkinFrame* frame = CSkinFrame::Open(*window_, window_->FindControl(QStringLiteral("skinbtn")), context);
  ASSERT_TRUE(frame);
  bool sawDialog = false;
  QTimer::singleShot(0, qApp, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    sawDialog = true;
    EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("png"));
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    dialog->reject();
  });
  test::Click(frame->FindControl(QStringLiteral("skin_Custom")));
  EXPECT_TRUE(sawDialog);
  EXPECT_EQ(Root().BkImage(), QStringLiteral("common/logo.png"));
}

TEST_F(SkinFrameTest, MenuItemsGoToTheMainWindowAndAStartedUpdaterClosesThePicker) {
  QPointer<CSkinFrame> frame = Open();
  ASSERT_TRUE(frame);
  test::Click(frame->FindControl(QStringLiteral("menu_website")));
  test::Click(frame->FindControl(QStringLiteral("menu_restore")));
  menu_.updaterStarts = false;  // the headset page has no updater
  test::Click(frame->FindControl(QStringLiteral("menu_update")));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_FALSE(frame.isNull());
  EXPECT_TRUE(frame->isVisible());

  menu_.updaterStarts = true;
  test::Click(frame->FindControl(QStringLiteral("menu_update")));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(frame.isNull());
  EXPECT_EQ(menu_.calls, QStringList({"website", "restore", "update", "update"}));
}

TEST_F(SkinFrameTest, TheImageOptionShowsTheImagePage) {
  CSkinFrame* frame = Open();
  ASSERT_TRUE(frame);
  Control tab = frame->FindControl(QStringLiteral("skin_tab"));
  Control option = frame->FindControl(QStringLiteral("skin_image"));
  option.Select(false);
  test::Click(option);
  EXPECT_EQ(tab.CurSel(), 0);
  frame->close();
}

TEST_F(SkinFrameTest, ClickingElsewhereClosesThePicker) {
  QPointer<CSkinFrame> frame = Open();
  ASSERT_TRUE(frame);
  frame->activateWindow();
  if (!QTest::qWaitForWindowActive(frame.data())) GTEST_SKIP() << "this platform does not activate windows";
  QSignalSpy destroyed(frame.data(), &QObject::destroyed);
  window_->activateWindow();
  EXPECT_TRUE(destroyed.wait(5000));
}

}  // namespace
}  // namespace korva::ui
