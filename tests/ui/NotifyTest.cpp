// Notifications: user actions raise them with the sender's name and parameters; changes made by
// the program raise none unless asked to.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QEnterEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include "UiTestSupport.h"

namespace korva::ui::test {
namespace {

constexpr char kSkin[] = R"(<Window size="400,300">
  <VerticalLayout name="root">
    <Button name="ok_btn" text="hello_text" height="24"/>
    <HorizontalLayout height="24">
      <Option name="opt_a" group="tabs" selected="true" text="A"/>
      <Option name="opt_b" group="tabs" text="B"/>
    </HorizontalLayout>
    <CheckBox name="some_check" text="check" height="24"/>
    <Combo name="the_combo" height="24"><Item text="item_a"/><Item text="b"/><Item text="c"/></Combo>
    <Slider name="the_slider" min="0" max="10" value="5" height="24"/>
    <Edit name="the_edit" height="24"/>
    <List name="the_list" height="80"><Item text="one" name="row_name"/><Item text="two"/></List>
    <ColorPalette name="Pallet" height="60"/>
  </VerticalLayout>
</Window>)";

class Notifications : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    files.Write(QStringLiteral("test.xml"), QString::fromUtf8(kSkin));
    skin = files.Open();
    window = std::make_unique<SkinWindow>(*skin);
    auto error = window->Build(QStringLiteral("XML_TEST"));
    ASSERT_FALSE(error) << error->ToString();
    window->AddNotifier(&recorder);
    window->show();
    // "windowinit" arrives once after the first show.
    QTRY_COMPARE(recorder.Types(), QStringList{QStringLiteral("windowinit")});
    EXPECT_EQ(recorder.received[0].name, QStringLiteral("root"));
    recorder.received.clear();
  }
  template <class T>
  T* W(const char* name) {
    auto* w = qobject_cast<T*>(window->FindControl(QString::fromLatin1(name)).Widget());
    EXPECT_TRUE(w) << name;
    return w;
  }
  Control C(const char* name) { return window->FindControl(QString::fromLatin1(name)); }

  TempSkin files;
  std::unique_ptr<Skin> skin;
  std::unique_ptr<SkinWindow> window;
  Recorder recorder;
};

TEST_F(Notifications, ButtonClick) {
  QTest::mouseClick(W<QPushButton>("ok_btn"), Qt::LeftButton);
  ASSERT_EQ(recorder.Types(), QStringList{QStringLiteral("click")});
  EXPECT_EQ(recorder.received[0].name, QStringLiteral("ok_btn"));
}

TEST_F(Notifications, OptionOfAGroupReportsOnlyWhenItBecomesSelected) {
  QTest::mouseClick(W<QPushButton>("opt_b"), Qt::LeftButton);
  ASSERT_EQ(recorder.Types(), (QStringList{QStringLiteral("click"), QStringLiteral("selectchanged")}));
  EXPECT_EQ(recorder.received[1].name, QStringLiteral("opt_b"));
  EXPECT_EQ(recorder.received[1].wParam, 1);
  EXPECT_FALSE(C("opt_a").IsSelected());
  recorder.received.clear();
  // Clicking the selected option again changes nothing.
  QTest::mouseClick(W<QPushButton>("opt_b"), Qt::LeftButton);
  EXPECT_EQ(recorder.Types(), QStringList{QStringLiteral("click")});
}

TEST_F(Notifications, CheckBoxReportsBothWays) {
  auto* check = W<QCheckBox>("some_check");
  const QPoint indicator(8, check->height() / 2);
  QTest::mouseClick(check, Qt::LeftButton, {}, indicator);
  QTest::mouseClick(check, Qt::LeftButton, {}, indicator);
  ASSERT_EQ(recorder.Types(), (QStringList{QStringLiteral("click"), QStringLiteral("selectchanged"),
                                           QStringLiteral("click"), QStringLiteral("selectchanged")}));
  EXPECT_EQ(recorder.received[1].wParam, 1);
  EXPECT_EQ(recorder.received[3].wParam, 0);
}

TEST_F(Notifications, ComboItemSelectCarriesNewAndOldIndex) {
  auto* combo = W<QComboBox>("the_combo");
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Down);
  QTest::keyClick(combo, Qt::Key_Down);
  ASSERT_EQ(recorder.Types(), (QStringList{QStringLiteral("itemselect"), QStringLiteral("itemselect")}));
  EXPECT_EQ(recorder.received[0].wParam, 1);
  EXPECT_EQ(recorder.received[0].lParam, 0);
  EXPECT_EQ(recorder.received[1].wParam, 2);
  EXPECT_EQ(recorder.received[1].lParam, 1);
}

TEST_F(Notifications, SliderDragMovesThenReleases) {
  auto* slider = W<QSlider>("the_slider");
  slider->setFocus();
  QTest::keyClick(slider, Qt::Key_Right);  // a step by key: reported as a final value
  slider->setSliderDown(true);             // a drag: moves while down, the value on release
  slider->setSliderPosition(8);
  slider->setSliderPosition(9);
  slider->setSliderDown(false);
  ASSERT_EQ(recorder.Types(),
            (QStringList{QStringLiteral("valuechanged"), QStringLiteral("movevaluechanged"),
                         QStringLiteral("movevaluechanged"), QStringLiteral("valuechanged")}));
  EXPECT_EQ(recorder.received[0].wParam, 6);
  EXPECT_EQ(recorder.received[1].wParam, 8);
  EXPECT_EQ(recorder.received[3].wParam, 9);
  EXPECT_EQ(recorder.received[3].name, QStringLiteral("the_slider"));
}

TEST_F(Notifications, EditTypingReturnAndFocusLoss) {
  auto* edit = W<QLineEdit>("the_edit");
  edit->setFocus();
  QTest::keyClicks(edit, QStringLiteral("42"));
  QTest::keyClick(edit, Qt::Key_Return);
  W<QPushButton>("ok_btn")->setFocus();
  ASSERT_EQ(recorder.Types(), (QStringList{QStringLiteral("textchanged"), QStringLiteral("textchanged"),
                                           QStringLiteral("return"), QStringLiteral("killfocus")}));
  EXPECT_EQ(C("the_edit").Text(), QStringLiteral("42"));
}

TEST_F(Notifications, ListSelectAndItemClickNameTheRow) {
  auto* list = W<QListWidget>("the_list");
  const QRect first = list->visualItemRect(list->item(0));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
  ASSERT_EQ(recorder.Types(), (QStringList{QStringLiteral("itemselect"), QStringLiteral("itemclick")}));
  EXPECT_EQ(recorder.received[0].wParam, 0);
  EXPECT_EQ(recorder.received[0].lParam, -1);
  EXPECT_EQ(recorder.received[1].name, QStringLiteral("row_name"));
  recorder.received.clear();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
  ASSERT_EQ(recorder.Types(), (QStringList{QStringLiteral("itemselect"), QStringLiteral("itemclick")}));
  EXPECT_EQ(recorder.received[1].name, QStringLiteral("the_list"));
  EXPECT_EQ(recorder.received[1].wParam, 1);
}

TEST_F(Notifications, PaletteReportsTheColourOnRelease) {
  QWidget* palette = C("Pallet").Widget();
  QTest::mousePress(palette, Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_TRUE(recorder.received.empty()) << "nothing while the button is down";
  QTest::mouseRelease(palette, Qt::LeftButton, {}, QPoint(2, 2));
  ASSERT_EQ(recorder.Types(), QStringList{QStringLiteral("colorchanged")});
  const quint32 colour = static_cast<quint32>(recorder.received[0].wParam);
  EXPECT_EQ(colour, C("Pallet").SelectColor());
  EXPECT_EQ(colour >> 24, 0xFFu);
  EXPECT_GT((colour >> 16) & 0xFF, 0xF0u) << "top left of the field is full red";
}

TEST_F(Notifications, HoverOnNamedControls) {
  recorder.hover = true;
  QWidget* button = C("ok_btn").Widget();
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QCoreApplication::sendEvent(button, &enter);
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(button, &leave);
  ASSERT_EQ(recorder.Types(), (QStringList{QStringLiteral("msenter"), QStringLiteral("msleave")}));
  EXPECT_EQ(recorder.received[0].name, QStringLiteral("ok_btn"));
}

// Every change the program makes: silent by default, one notification of the user's kind with
// SendNotify::Yes.
struct ProgramChange {
  const char* name;
  std::function<void(SkinWindow&, SendNotify)> change;
  const char* type;  // raised with SendNotify::Yes
  qint64 wParam;
};

Control Find(SkinWindow& w, const char* name) {
  return w.FindControl(QString::fromLatin1(name));
}

const ProgramChange kChanges[] = {
    {"SetValue", [](SkinWindow& w, SendNotify n) { Find(w, "the_slider").SetValue(7, n); }, "valuechanged",
     7},
    {"SelectItemCombo", [](SkinWindow& w, SendNotify n) { Find(w, "the_combo").SelectItem(2, n); },
     "itemselect", 2},
    {"SelectItemList", [](SkinWindow& w, SendNotify n) { Find(w, "the_list").SelectItem(1, n); },
     "itemselect", 1},
    {"SelectOption", [](SkinWindow& w, SendNotify n) { Find(w, "opt_b").Select(true, n); }, "selectchanged",
     1},
    {"SelectCheck", [](SkinWindow& w, SendNotify n) { Find(w, "some_check").Select(true, n); },
     "selectchanged", 1},
    {"SetTextEdit", [](SkinWindow& w, SendNotify n) { Find(w, "the_edit").SetText(QStringLiteral("9"), n); },
     "textchanged", 0},
    {"SetSelectColor", [](SkinWindow& w, SendNotify n) { Find(w, "Pallet").SetSelectColor(0xFF0199CB, n); },
     "colorchanged", 0xFF0199CB},
};

class ProgramChanges : public Notifications, public ::testing::WithParamInterface<ProgramChange> {};

TEST_P(ProgramChanges, AreSilentUnlessAsked) {
  const ProgramChange& row = GetParam();
  row.change(*window, SendNotify::No);
  EXPECT_TRUE(recorder.received.empty()) << recorder.Types().join(QLatin1Char(',')).toStdString();
  // Undo, still silently, then change again asking for the notification.
  C("the_slider").SetValue(5);
  C("the_combo").SelectItem(0);
  C("the_list").SelectItem(-1);
  C("opt_a").Select(true);
  C("some_check").Select(false);
  C("Pallet").SetSelectColor(0xFFFFFFFF);
  ASSERT_TRUE(recorder.received.empty());
  row.change(*window, SendNotify::Yes);
  ASSERT_EQ(recorder.Types(), QStringList{QString::fromLatin1(row.type)});
  EXPECT_EQ(recorder.received[0].wParam, row.wParam);
}

INSTANTIATE_TEST_SUITE_P(Control, ProgramChanges, ::testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Notifications, NotifierRemovingItselfDuringDeliveryIsSafe) {
  struct OneShot : INotifyUI {
    SkinWindow* window = nullptr;
    int calls = 0;
    void Notify(const Notification&) override {
      ++calls;
      window->RemoveNotifier(this);
    }
  } oneShot;
  oneShot.window = window.get();
  window->AddNotifier(&oneShot);
  QTest::mouseClick(W<QPushButton>("ok_btn"), Qt::LeftButton);
  QTest::mouseClick(W<QPushButton>("ok_btn"), Qt::LeftButton);
  EXPECT_EQ(oneShot.calls, 1);
  EXPECT_EQ(recorder.Types(), (QStringList{QStringLiteral("click"), QStringLiteral("click")}));
}

}  // namespace
}  // namespace korva::ui::test
