// The window host lays its widget over itself after every move, resize, show and hide.

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "ControlsTestSupport.h"
#include "ui/controls/WndHost.h"

namespace korva::ui::test {
namespace {

class WndHost : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(skin.Build(QStringLiteral(R"(<Wnd name="host" pos="10,20" size="50,40"/>)")));
    host = dynamic_cast<CWndUI*>(skin.C("host").Widget());
    ASSERT_TRUE(host);
    skin.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(skin.window.get()));
  }
  QWidget* Root() const { return skin.C("root").Widget(); }

  ControlsSkin skin;
  CWndUI* host = nullptr;
};

TEST_F(WndHost, AChildWidgetFollowsTheControl) {
  auto* label = new QLabel(Root());
  host->Attach(label);
  EXPECT_EQ(label->geometry(), QRect(10, 20, 50, 40));
  EXPECT_TRUE(label->isVisible());

  host->move(30, 5);
  EXPECT_EQ(label->geometry(), QRect(30, 5, 50, 40));
  host->setFixedSize(70, 15);
  EXPECT_EQ(label->geometry(), QRect(30, 5, 70, 15));

  skin.C("host").SetVisible(false);
  EXPECT_FALSE(label->isVisible());
  skin.C("host").SetVisible(true);
  EXPECT_TRUE(label->isVisible());

  // A widget hosted in another parent is placed in that parent's coordinates.
  auto* inner = new QWidget(Root());
  inner->setGeometry(5, 3, 100, 100);
  auto* deeper = new QLabel(inner);
  host->Attach(deeper);
  EXPECT_EQ(deeper->geometry(), QRect(25, 2, 70, 15));
}

TEST_F(WndHost, AWindowOfItsOwnIsPlacedOnTheScreen) {
  QWidget own;
  host->Attach(&own);
  EXPECT_EQ(own.geometry().topLeft(), host->mapToGlobal(QPoint(0, 0)));
  EXPECT_EQ(own.size(), QSize(50, 40));
  EXPECT_TRUE(own.isVisible());
  EXPECT_TRUE(own.testAttribute(Qt::WA_ShowWithoutActivating));
  skin.window->hide();
  EXPECT_FALSE(own.isVisible()) << "hidden with the window the control is on";
  EXPECT_EQ(host->Detach(), &own);
}

TEST_F(WndHost, AWidgetThatIsGoneOrDetachedIsLeftAlone) {
  auto* label = new QLabel(Root());
  host->Attach(label);
  delete label;
  EXPECT_EQ(host->Hosted(), nullptr);
  host->move(5, 5);  // nothing to place

  auto* kept = new QLabel(Root());
  host->Attach(kept);
  EXPECT_EQ(host->Detach(), kept);
  host->move(40, 40);
  skin.C("host").SetVisible(false);
  EXPECT_EQ(kept->pos(), QPoint(5, 5)) << "a detached widget is no longer the control's";
  EXPECT_TRUE(kept->isVisible());
}

}  // namespace
}  // namespace korva::ui::test
