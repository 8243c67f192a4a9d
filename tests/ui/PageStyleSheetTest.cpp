// The skin's style sheet reaches what is shown, and reaches a page when the page is shown (not when
// it is only made current behind a hidden container).

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QVBoxLayout>

#include "UiTestSupport.h"
#include "ui/PageStyleSheet.h"

namespace korva::ui::test {
namespace {

const QColor kSheetColour(0x12, 0x34, 0x56);

// The end of the event loop's turn: what was queued then runs, and the posted paints after it.
void EndOfTurn() {
  QCoreApplication::sendPostedEvents();
}

// Whether `widget` was styled when it was first painted.
class FirstPaintLook : public QObject {
 public:
  explicit FirstPaintLook(QLabel* label) : label_(label) { label->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !painted) {
      painted = true;
      styled = label_->palette().color(QPalette::WindowText) == kSheetColour;
    }
    return false;
  }
  bool painted = false;
  bool styled = false;

 private:
  QLabel* label_;
};

bool Styled(QLabel* label) {
  label->ensurePolished();
  return label->palette().color(QPalette::WindowText) == kSheetColour;
}

// A top-level window: a heading outside any container and a container of two pages, the second
// page holding a container of its own.
struct Pages {
  Pages() {
    auto* layout = new QVBoxLayout(&window);
    heading = new QLabel(QStringLiteral("heading"));
    layout->addWidget(heading);
    outer = new QStackedWidget;
    layout->addWidget(outer);
    first = new QLabel(QStringLiteral("first"));
    outer->addWidget(first);
    auto* second = new QWidget;
    auto* secondLayout = new QVBoxLayout(second);
    secondLabel = new QLabel(QStringLiteral("second"));
    secondLayout->addWidget(secondLabel);
    inner = new QStackedWidget;
    secondLayout->addWidget(inner);
    innerFirst = new QLabel(QStringLiteral("inner first"));
    innerSecond = new QLabel(QStringLiteral("inner second"));
    inner->addWidget(innerFirst);
    inner->addWidget(innerSecond);
    outer->addWidget(second);
  }
  QWidget window;
  QLabel* heading;
  QStackedWidget* outer;
  QLabel* first;
  QLabel* secondLabel;
  QStackedWidget* inner;
  QLabel* innerFirst;
  QLabel* innerSecond;
};

const QString kSheet = QStringLiteral("QLabel { color: #123456; }");

class PageStyleSheet : public ::testing::Test {
 protected:
  void SetUp() override { EnsureApplication(); }
};

TEST_F(PageStyleSheet, OnlyWhatIsShownTakesTheSheet) {
  Pages pages;
  ApplyStyleSheetToShownPages(&pages.window, kSheet);
  EXPECT_TRUE(Styled(pages.heading)) << "outside the containers: at once";
  FirstPaintLook firstPaint(pages.first);
  pages.window.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return firstPaint.painted; }, 5000));
  EXPECT_TRUE(firstPaint.styled) << "the current page of a shown container, styled before its first paint";
  EXPECT_TRUE(Styled(pages.first));
  EXPECT_FALSE(Styled(pages.secondLabel));
  EXPECT_FALSE(Styled(pages.innerFirst));

  // Made current while the outer page holding it is hidden: nothing shown, nothing styled.
  pages.inner->setCurrentIndex(1);
  EndOfTurn();
  EXPECT_FALSE(Styled(pages.innerSecond));

  // Shown and hidden again within one turn: never painted, nothing styled.
  pages.outer->setCurrentIndex(1);
  pages.outer->setCurrentIndex(0);
  EndOfTurn();
  EXPECT_FALSE(Styled(pages.secondLabel));

  pages.outer->setCurrentIndex(1);
  EndOfTurn();
  EXPECT_TRUE(Styled(pages.secondLabel));
  EXPECT_TRUE(Styled(pages.innerSecond)) << "the inner container's current page is shown with it";
  EXPECT_FALSE(Styled(pages.innerFirst));
  EXPECT_TRUE(Styled(pages.first)) << "a page just hidden keeps its look";
}

// Each part holds the rules that can reach its widgets, whatever their state later: a part of
// labels has no button rules, a combo keeps the rules of the list it pops up.
TEST_F(PageStyleSheet, APartHoldsTheRulesThatCanReachItsWidgets) {
  const QString sheet = QStringLiteral(
      "/* look */ QWidget { color: #123456; } QLabel[skinclass=\"dim\"] { color: #7F8A9A; }\n"
      "QPushButton, QCheckBox { padding: 0; } QPushButton:hover { border: none; }\n"
      "QComboBox QAbstractItemView { background: #10131A; } QToolTip { color: #D6DCE6; }");
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* labels = new QWidget;
  (new QVBoxLayout(labels))->addWidget(new QLabel(QStringLiteral("a")));
  auto* buttons = new QWidget;
  (new QVBoxLayout(buttons))->addWidget(new QPushButton(QStringLiteral("b")));
  auto* combo = new QComboBox;
  layout->addWidget(labels);
  layout->addWidget(buttons);
  layout->addWidget(combo);
  layout->addWidget(new QStackedWidget);  // so the window itself holds no sheet
  ApplyStyleSheetToShownPages(&window, sheet);

  EXPECT_EQ(labels->styleSheet(),
            QStringLiteral(" QWidget { color: #123456; } QLabel[skinclass=\"dim\"] { color: #7F8A9A; }"
                           " QToolTip { color: #D6DCE6; }"));
  EXPECT_TRUE(buttons->styleSheet().contains(QLatin1String("QPushButton, QCheckBox")));
  EXPECT_TRUE(buttons->styleSheet().contains(QLatin1String("QPushButton:hover")));
  EXPECT_FALSE(buttons->styleSheet().contains(QLatin1String("QAbstractItemView")));
  EXPECT_TRUE(combo->styleSheet().contains(QLatin1String("QComboBox QAbstractItemView")));
  EXPECT_TRUE(window.styleSheet().isEmpty());
}

// A widget that paints the sheet's look through a stand-in takes no sheet, wherever it sits; the
// labels beside it still do.
TEST_F(PageStyleSheet, WidgetsLookingThroughAStandInTakeNoSheet) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* panel = new QWidget;
  auto* panelLayout = new QVBoxLayout(panel);
  auto* beside = new QLabel(QStringLiteral("beside"));
  auto* key = new QLabel(QStringLiteral("key"));
  key->setProperty(kStandInLookProperty, true);
  auto* row = new QWidget;
  auto* nested = new QLabel(QStringLiteral("nested key"), row);
  nested->setProperty(kStandInLookProperty, true);
  auto* nestedBeside = new QLabel(QStringLiteral("nested beside"), row);
  (new QVBoxLayout(row))->addWidget(nestedBeside);
  panelLayout->addWidget(beside);
  panelLayout->addWidget(key);
  panelLayout->addWidget(row);
  layout->addWidget(panel);
  auto* plain = new QLabel(QStringLiteral("plain"));
  layout->addWidget(plain);
  window.show();
  ApplyStyleSheetToShownPages(&window, kSheet);

  EXPECT_FALSE(Styled(key));
  EXPECT_FALSE(Styled(nested));
  EXPECT_TRUE(Styled(beside));
  EXPECT_TRUE(Styled(nestedBeside));
  EXPECT_TRUE(Styled(plain));
}

// Through a window built from a skin: its hidden page waits for its show, and a file chooser opened
// on the window looks like the window although the window itself holds no sheet.
TEST_F(PageStyleSheet, ASkinWindowStylesItsShownPagesAndTheDialogsItOpens) {
  TempSkin files;
  files.Write(QStringLiteral("res.xml"), QStringLiteral(R"(<Resources>
  <File id="XML_TEST" path="test.xml"/>
  <Font family="DejaVu Sans" size="12"/>
  <Style path="style.qss"/>
</Resources>)"));
  files.Write(QStringLiteral("style.qss"), kSheet);
  files.Write(QStringLiteral("test.xml"), QStringLiteral(R"(<Window size="300,200">
  <VerticalLayout name="root">
    <Label name="heading" text="hello_text"/>
    <TabLayout name="pages">
      <VerticalLayout><Label name="first" text="hello_text"/></VerticalLayout>
      <VerticalLayout><Label name="second" text="hello_text"/></VerticalLayout>
    </TabLayout>
  </VerticalLayout>
</Window>)"));
  auto skin = files.Open();
  ASSERT_TRUE(skin);
  SkinWindow window(*skin);
  auto error = window.Build(QStringLiteral("XML_TEST"));
  ASSERT_FALSE(error) << error->ToString();
  window.show();
  EndOfTurn();
  const auto label = [&](const char* name) {
    return qobject_cast<QLabel*>(window.FindControl(QString::fromLatin1(name)).Widget());
  };
  EXPECT_TRUE(Styled(label("heading")));
  EXPECT_TRUE(Styled(label("first")));
  EXPECT_FALSE(Styled(label("second")));
  window.FindControl(QStringLiteral("pages")).SelectItem(1);
  EndOfTurn();
  EXPECT_TRUE(Styled(label("second")));

  QFileDialog dialog(&window);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.show();
  const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
  ASSERT_FALSE(labels.isEmpty());
  for (QLabel* text : labels) EXPECT_TRUE(Styled(text)) << text->objectName().toStdString();
}

}  // namespace
}  // namespace korva::ui::test
