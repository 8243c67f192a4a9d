#include "app/PreviewRepaint.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <array>
#include <map>
#include <memory>
#include <stdexcept>

#include "AppTestSupport.h"
#include "app/MainWnd.h"
#include "app/WindowTimers.h"
#include "tests/ui/ShippedSkinWindow.h"
#include "ui/PageTable.h"
#include "ui/controls/StandardControls.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"

namespace korva::app {
namespace {

using korva::test::BringToFront;
using test::WaitFor;

// The main window's skin with every page, without the rest of the main window (no "windowinit",
// no threads, no timers): the passes below are the only ones.
class PreviewWindow : public ui::SkinWindow, public ui::IDialogBuilderCallback {
 public:
  using ui::SkinWindow::SkinWindow;
  QWidget* CreateControl(const QString& elementClass) override {
    if (auto file = ui::PageFileForClass(elementClass)) return BuildPage(*file);
    return GetSkin().Factory().Create(elementClass);
  }
};

// Counts the paint events of every widget. Installed on the application, so it sees them before
// any other filter (the ThreadSanitizer test main swallows paint events).
class PaintCounter : public QObject {
 public:
  PaintCounter() { qApp->installEventFilter(this); }
  ~PaintCounter() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++counts[watched];
    return false;
  }
  int Of(const ui::Control& control) const {
    const auto it = counts.find(control.Widget());
    return it == counts.end() ? 0 : it->second;
  }
  std::map<QObject*, int> counts;
};

class PreviewRepaintTest : public ::testing::Test {
 public:  // the rows of the tables reach the keys
  PreviewRepaintTest() {
    auto opened = ui::Skin::Open(ui::Skin::SourceSkinFolder());
    if (!opened) throw std::runtime_error(opened.error().ToString());
    skin = std::move(opened.value());
    ui::RegisterStandardControls(skin->Factory());
    window = std::make_unique<PreviewWindow>(*skin);
    if (auto error = window->Build(QStringLiteral("XML_MAIN"), window.get()))
      throw std::runtime_error(error->ToString());
    for (int entry = 0; entry < kKeyButtonCount; ++entry)
      keys[static_cast<std::size_t>(entry)] = window->FindControl(KeyButtonName(entry));
    marker = window->FindControl(QStringLiteral("title_text"));
  }

  ui::Control Key(const char* name) const { return window->FindControl(QString::fromLatin1(name)); }

  bool ShowOnScreen() {
    window->showNormal();
    return QTest::qWaitForWindowExposed(window.get()) && WaitFor([&] { return WindowOnScreen(*window); });
  }

  // Runs one pass and waits until the window has painted what it asked for: the marker, repainted
  // with the pass, is painted in the same sweep as every key the pass marked dirty.
  int PassAndPaint() {
    const int repainted = RepaintChangedPreviewKeys(*window);
    const int markerBefore = paints.Of(marker);
    marker.Widget()->update();
    EXPECT_TRUE(WaitFor([&] { return paints.Of(marker) > markerBefore; }));
    return repainted;
  }

  // The paint events of every key since `before`.
  std::map<QString, int> KeyPaintsSince(const std::map<QObject*, int>& before) const {
    std::map<QString, int> painted;
    for (const ui::Control& key : keys) {
      const auto it = before.find(key.Widget());
      const int earlier = it == before.end() ? 0 : it->second;
      if (const int now = paints.Of(key); now > earlier) painted[key.Name()] = now - earlier;
    }
    return painted;
  }

  std::unique_ptr<ui::Skin> skin;
  std::unique_ptr<PreviewWindow> window;
  std::array<ui::Control, kKeyButtonCount> keys;
  ui::Control marker;
  PaintCounter paints;
};

TEST_F(PreviewRepaintTest, RepaintsOnlyTheChangedKeysOnTheVisiblePage) {
  BringToFront(Key("ms_dkey_0").Widget());
  ASSERT_TRUE(ShowOnScreen());
  ASSERT_TRUE(Key("ms_dkey_0").Widget()->isVisible());
  ASSERT_FALSE(Key("kb_dkey_0").Widget()->isVisible()) << "the keyboard page is not the one in front";
  PassAndPaint();  // whatever the start left

  struct Row {
    const char* name;
    std::function<void(PreviewRepaintTest&)> change;
    int expectedPasses;                     // keys the pass asks to repaint
    std::map<QString, int> expectedPaints;  // key -> paint events
  };
  const Row rows[] = {
      {"a new tint on a key in front: painted once",
       [](PreviewRepaintTest& t) { t.Key("ms_dkey_3").SetChangerColor(0x00FF0000); },
       1,
       {{"ms_dkey_3", 1}}},
      {"many changes of one key between two passes: painted once",
       [](PreviewRepaintTest& t) {
         for (quint32 c = 1; c <= 10; ++c) t.Key("ms_dkey_4").SetChangerColor(c);
         t.Key("ms_dkey_4").SetChangerAlpha(90);
       },
       1,
       {{"ms_dkey_4", 1}}},
      {"a new alpha and a light switched off: both painted",
       [](PreviewRepaintTest& t) {
         t.Key("ms_dkey_5").SetChangerAlpha(120);
         t.Key("ms_dkey_6").SetLightOn(false);
       },
       2,
       {{"ms_dkey_5", 1}, {"ms_dkey_6", 1}}},
      {"the same tint, alpha and light again: nothing painted",
       [](PreviewRepaintTest& t) {
         t.Key("ms_dkey_3").SetChangerColor(0x00FF0000);
         t.Key("ms_dkey_5").SetChangerAlpha(120);
         t.Key("ms_dkey_6").SetLightOn(false);
       },
       0,
       {}},
      {"no change at all: nothing painted", [](PreviewRepaintTest&) {}, 0, {}},
      {"keys of the pages behind: nothing painted",
       [](PreviewRepaintTest& t) {
         t.Key("kb_dkey_7").SetChangerColor(0x0000FF00);
         t.Key("mp_dkey_2").SetChangerAlpha(10);
         t.Key("head_dkey_12").SetLightOn(false);
       },
       0,
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::map<QObject*, int> before = paints.counts;
    row.change(*this);
    EXPECT_EQ(PassAndPaint(), row.expectedPasses);
    EXPECT_EQ(KeyPaintsSince(before), row.expectedPaints);
  }
}

TEST_F(PreviewRepaintTest, AWindowOffScreenPaintsNothingAndCatchesUpWhenShownAgain) {
  BringToFront(Key("kb_dkey_1").Widget());
  ASSERT_TRUE(ShowOnScreen());
  ASSERT_TRUE(Key("kb_dkey_1").Widget()->isVisible());
  PassAndPaint();

  struct Row {
    const char* name;
    std::function<void(QWidget&)> takeOffScreen;
  };
  const Row rows[] = {
      {"hidden (the tray hides it)", [](QWidget& w) { w.hide(); }},
      {"minimised", [](QWidget& w) { w.showMinimized(); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    row.takeOffScreen(*window);
    ASSERT_FALSE(WindowOnScreen(*window));
    const std::map<QObject*, int> before = paints.counts;
    Key("kb_dkey_1").SetChangerColor(Key("kb_dkey_1").ChangerColor() ^ 0x00FFFFFFu);
    EXPECT_EQ(RepaintChangedPreviewKeys(*window), 0);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(KeyPaintsSince(before), (std::map<QString, int>{})) << "nothing is painted off screen";

    // Back on screen: the change waited for the first pass there.
    ASSERT_TRUE(ShowOnScreen());
    const std::map<QObject*, int> shown = paints.counts;
    EXPECT_EQ(PassAndPaint(), 1);
    EXPECT_EQ(KeyPaintsSince(shown).count(QStringLiteral("kb_dkey_1")), 1u);
  }
}

TEST_F(PreviewRepaintTest, AKeyChangedBehindIsPaintedWithItsPageWhenThePageComesToFront) {
  BringToFront(Key("ms_dkey_0").Widget());
  ASSERT_TRUE(ShowOnScreen());
  PassAndPaint();
  Key("kb_dkey_9").SetChangerColor(0x00123456);
  EXPECT_EQ(PassAndPaint(), 0);

  const ui::Control key = Key("kb_dkey_9");
  const int earlier = paints.Of(key);
  BringToFront(key.Widget());
  ASSERT_TRUE(WaitFor([&] { return paints.Of(key) > earlier; })) << "showing the page paints its keys";
  EXPECT_EQ(key.ChangerColor(), 0x00123456u);
  EXPECT_EQ(RepaintChangedPreviewKeys(*window), 0) << "the change was already taken";
}

// A wave over the keyboard changes nearly every key of a pass: they are repainted as one piece
// around them, and still each changed key exactly once.
TEST_F(PreviewRepaintTest, AWaveOverTheKeyboardPaintsEveryKeyOnce) {
  BringToFront(Key("kb_dkey_0").Widget());
  ASSERT_TRUE(ShowOnScreen());
  PassAndPaint();
  std::map<QString, int> expected;
  for (int entry = 0; entry < 126; ++entry) {
    const QString name = QStringLiteral("kb_dkey_%1").arg(entry);
    ui::Control key = window->FindControl(name);
    if (!key || !key.Widget()->isVisible()) continue;
    key.SetChangerColor(key.ChangerColor() ^ 0x00FFFFFFu);
    expected[name] = 1;
  }
  ASSERT_GT(expected.size(), 80u) << "the keyboard page shows its keys";
  const std::map<QObject*, int> before = paints.counts;
  EXPECT_EQ(PassAndPaint(), static_cast<int>(expected.size()));
  std::map<QString, int> painted;
  for (const auto& [name, count] : KeyPaintsSince(before))
    if (name.startsWith(QLatin1String("kb_dkey_"))) painted[name] = count;
  EXPECT_EQ(painted, expected);
}

// Timer 3 runs only while a preview tick has phase counters to advance: installed before or after
// "windowinit", and stopped again when the tick is taken away.
TEST(PreviewPhaseTimer, RunsOnlyWhileATickIsInstalled) {
  test::ShellFixture shell;
  int ticks = 0;
  shell.MakeWindow().SetPreviewTick([&] { ++ticks; });
  QSignalSpy initialised(&shell.Window(), &CMainWnd::initialised);
  shell.Window().show();
  ASSERT_TRUE(initialised.count() > 0 || initialised.wait(10000));
  CMainWnd& window = shell.Window();
  EXPECT_TRUE(window.IsTimerActive(kTimerPreviewPhase));
  ASSERT_TRUE(WaitFor([&] { return ticks >= 3; }));

  window.SetPreviewTick({});
  EXPECT_FALSE(window.IsTimerActive(kTimerPreviewPhase));
  const int stoppedAt = ticks;
  window.SetPreviewTick([&] { ++ticks; });
  EXPECT_TRUE(window.IsTimerActive(kTimerPreviewPhase));
  ASSERT_TRUE(WaitFor([&] { return ticks > stoppedAt; }));

  window.Shutdown();
  window.SetPreviewTick([&] { ++ticks; });
  EXPECT_FALSE(window.IsTimerActive(kTimerPreviewPhase)) << "a window that shut down starts no timer";
}

}  // namespace
}  // namespace korva::app
