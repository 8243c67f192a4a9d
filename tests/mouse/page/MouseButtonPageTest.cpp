// The mouse's button page built from the shipped skin, routed as the main window routes it, over the
// session's mouse controller and a simulated mouse.

#include "mouse/page/MouseButtonPage.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MousePageWindow.h"
#include "keyboard/page/KeyCapLegend.h"
#include "SimMouse.h"
#include "lighting/LightingRecords.h"
#include "mouse/MouseButtons.h"
#include "session/MouseController.h"
#include "ui/Skin.h"

namespace korva::mouse {
namespace {

using keyboard::KeyFunction;
using test::Request;
using test::Sent;
using test::SimMouse;
using ui::Control;
using ui::SendNotify;

constexpr KeyFunction kLeftClick{0x10, 0x01, 0x00};

class MouseButtonPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(mouse.opened);
    ASSERT_TRUE(data.isValid() && folder.isValid());
    controller.Initialise();
    ASSERT_TRUE(controller.ReadAll().changed);
    window = test::BuildMouseWindow(folder);
    router = std::make_unique<ui::NotifyRouter>(*window, records);
    notifier = std::make_unique<test::RoutingNotifier>(*router);
    window->AddNotifier(notifier.get());
    MouseButtonPage::Hooks hooks;
    hooks.armCapture = [this] { ++armed; };
    hooks.disarmCapture = [this] { ++disarmed; };
    hooks.progressShow = [this] { progress.push_back("show"); };
    hooks.progressDone = [this] { progress.push_back("done"); };
    hooks.showMessage = [this](std::string_view textId, std::optional<int>) {
      messages.append(QString::fromUtf8(textId.data(), static_cast<qsizetype>(textId.size())));
    };
    page = std::make_unique<MouseButtonPage>(*window, controller, std::move(hooks));
    ASSERT_TRUE(page->RegisterRoutes(*router));
    page->RefreshLabels();
    mouse.ClearRequests();
  }
  void TearDown() override {
    if (window) window->RemoveNotifier(notifier.get());
  }

  Control Find(const QString& name) const { return window->FindControl(name); }
  Control Find(const char* name) const { return Find(QString::fromLatin1(name)); }
  void Click(const QString& name) { test::ClickControl(*window, name); }
  void ClickButton(int i) { Click(QStringLiteral("ms_key_%1").arg(i)); }
  // A user's choice in a combo and typing in an edit: the control changes and notifies.
  void Choose(const QString& combo, int item) { Find(combo).SelectItem(item, SendNotify::Yes); }
  void Type(const QString& edit, const QString& text) {
    Find(edit).SetText(text);
    window->SendNotify(Find(edit), QString::fromLatin1(ui::notify::kTextChanged));
  }
  MouseImage& Image() { return controller.Model().image(); }
  KeyFunction Entry(int i) { return ActiveKeyBank(Image())->Entry(static_cast<std::size_t>(i)); }
  QString Text(const char* textId) const { return window->GetSkin().Text(QString::fromLatin1(textId)); }

  SimMouse mouse;
  QTemporaryDir data;
  QTemporaryDir folder;
  session::MouseController controller{mouse.device, profile::DataFolders(data.path().toStdString()),
                                      std::filesystem::path(KORVA_MOUSE_TEST_SOURCE_DIR) / "data"};
  lighting::LightingRecords records;
  std::unique_ptr<test::PageWindow> window;
  std::unique_ptr<ui::NotifyRouter> router;
  std::unique_ptr<test::RoutingNotifier> notifier;
  std::unique_ptr<MouseButtonPage> page;
  int armed = 0;
  int disarmed = 0;
  std::vector<std::string> progress;
  QStringList messages;
};

TEST_F(MouseButtonPageTest, LabelsFollowTheActiveBank) {
  EXPECT_EQ(Find("ms_key_0").Text(), Text("mouse_key_left"));
  EXPECT_EQ(Find("ms_key_0").ToolTip(), Text("mouse_key_left"));
  EXPECT_EQ(Find("ms_key_2").Text(), Text("mouse_key_right"));
  // Functions with no label leave the label; an unknown type is "close_text"; cursor macros by number.
  ActiveKeyBank(Image())->SetEntry(3, {0x15, 0x01, 0x02});
  ActiveKeyBank(Image())->SetEntry(4, {0x99, 0x00, 0x00});
  ActiveKeyBank(Image())->SetEntry(5, {0x72, 0x03, 0x00});
  const QString before = Find("ms_key_3").Text();
  page->RefreshLabels();
  EXPECT_EQ(Find("ms_key_3").Text(), before);
  EXPECT_EQ(Find("ms_key_4").Text(), Text("close_text"));
  EXPECT_EQ(Find("ms_key_5").Text(), Text("GUN_4"));
}

// A label longer than its button (a macro's name) is shown whole in a smaller font or on two
// lines, never cut off at the button's edge; the tooltip names it as it is.
TEST_F(MouseButtonPageTest, ALongLabelIsFittedToItsButtonAndTheTooltipNamesItWhole) {
  const QString name = QStringLiteral("Reload and switch to the sidearm");  // as long as a name may be
  MouseButtonPage::Hooks hooks;
  hooks.macroNames = [&name](int number) -> std::optional<std::string> {
    if (number == 0) return name.toStdString();
    return std::nullopt;
  };
  MouseButtonPage labelled(*window, controller, std::move(hooks));
  for (std::size_t i = 0; i < kMouseButtonCount; ++i) ActiveKeyBank(Image())->SetEntry(i, {0x70, 0x00, 0x00});
  labelled.RefreshLabels();

  for (std::size_t i = 0; i < kMouseButtonCount; ++i) {
    const QString control = QStringLiteral("ms_key_%1").arg(i);
    SCOPED_TRACE(control.toStdString());
    auto* button = qobject_cast<QPushButton*>(Find(control).Widget());
    ASSERT_NE(button, nullptr);
    const QSize room = keyboard::LegendRoom(*button);
    const QFontMetrics metrics(button->font());
    const QStringList lines = button->text().split(QLatin1Char('\n'));
    for (const QString& line : lines) EXPECT_LE(metrics.horizontalAdvance(line), room.width()) << line.toStdString();
    EXPECT_LE(metrics.height() + (lines.size() - 1) * metrics.lineSpacing(), room.height());
    EXPECT_EQ(lines.join(QLatin1Char(' ')), name) << "shown whole";
    EXPECT_EQ(button->toolTip(), name);
  }
  // A short label is shown in the skin's font again.
  for (std::size_t i = 0; i < kMouseButtonCount; ++i) ActiveKeyBank(Image())->SetEntry(i, kLeftClick);
  labelled.RefreshLabels();
  const QFont skinFont = Find("ms_key_0").Widget()->font();
  EXPECT_EQ(Find("ms_key_0").Text(), Text("mouse_key_left"));
  EXPECT_EQ(Find("ms_key_1").Widget()->font().pixelSize(), skinFont.pixelSize());
  EXPECT_EQ(skinFont.pixelSize(), 11);
}

// As in the main window, the page is one of a tab layout's: it takes the skin's style sheet (other
// padding, so less room) only when first shown. A label fitted while it was hidden is fitted again
// then: here a name that needs a smaller font in the shown page's room.
TEST_F(MouseButtonPageTest, ALabelFittedWhileItsPageWasHiddenIsFittedAgainWhenShown) {
  const QString name = QStringLiteral("Quick melee attack");
  MouseButtonPage::Hooks hooks;
  hooks.macroNames = [&name](int number) -> std::optional<std::string> {
    if (number == 0) return name.toStdString();
    return std::nullopt;
  };
  QTemporaryDir tabbedFolder;
  const std::unique_ptr<ui::SkinWindow> tabbed =
      test::BuildMouseWindow(tabbedFolder, "<TabLayout><MS_DPI_UI/><MS_Key_UI/></TabLayout>");
  auto* button = qobject_cast<QPushButton*>(tabbed->FindControl(QStringLiteral("ms_key_0")).Widget());
  ASSERT_NE(button, nullptr);
  const QFont own = button->font();
  MouseButtonPage labelled(*tabbed, controller, std::move(hooks));
  ActiveKeyBank(Image())->SetEntry(0, {0x70, 0x00, 0x00});
  labelled.RefreshLabels();
  const QSize hiddenRoom = keyboard::LegendRoom(*button);

  tabbed->show();
  korva::test::BringToFront(button);
  ASSERT_TRUE(button->isVisible());
  const QSize shownRoom = keyboard::LegendRoom(*button);
  ASSERT_LT(shownRoom.width(), hiddenRoom.width()) << "the sheet's padding takes room";
  const keyboard::KeyCapLegend fitted = keyboard::FitKeyCapLegend(name, own, shownRoom);
  ASSERT_NE(fitted.font.pixelSize(), keyboard::FitKeyCapLegend(name, own, hiddenRoom).font.pixelSize());
  EXPECT_EQ(button->text(), fitted.text);
  EXPECT_EQ(button->font().pixelSize(), fitted.font.pixelSize());
}

// Each row: open a button, choose a kind, fill its panel as a user does; the stored function, the
// label, and what the panel shows when the button is opened again.
TEST_F(MouseButtonPageTest, EachKindStoresItsFunctionAndShowsItAgain) {
  struct Row {
    std::string name;
    int button;
    int kind;
    std::map<int, int> combos;       // panel combo -> item, chosen in this order
    std::map<int, QString> edits;    // panel edit -> typed text
    KeyFunction stored;
    const char* label;               // text id
    std::map<int, QString> shownEdits;  // what the edits show afterwards
  };
  const Row rows[] = {
      {"tilt right by 5", 3, 2, {{12, 1}}, {{15, "5"}}, {0x11, 0x00, 0x85}, "mouse_key_right_Swing", {{15, "5"}}},
      {"tilt amount above 127 is cut to 127", 3, 2, {{12, 1}}, {{15, "200"}}, {0x11, 0x00, 0xFF},
       "mouse_key_right_Swing", {{15, "127"}}},
      {"wheel down with nibbles", 4, 3, {{13, 1}}, {{16, "3"}, {18, "2"}, {19, "1"}}, {0x12, 0x21, 0x83},
       "mouse_key_down_Swing", {{16, "3"}, {18, "2"}, {19, "1"}}},
      {"middle button", 2, 1, {{11, 1}}, {}, {0x10, 0x04, 0x00}, "mouse_key_middle", {}},
      {"sensitivity down", 1, 4, {{14, 1}}, {}, {0x13, 0x02, 0x00}, "mouse_key_DPI_sub", {}},
      {"fire key", 4, 5, {}, {{11, "9"}, {12, "300"}}, {0x14, 9, 255}, "mouse_key_fire_key", {{12, "255"}}},
      {"system sleep", 3, 8, {{22, 1}}, {}, {0x40, 0x02, 0x00}, "system_sleep", {}},
      {"cursor macro 3", 5, 10, {{25, 2}}, {}, {0x72, 0x02, 0x00}, "GUN_3", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ClickButton(row.button);
    ASSERT_TRUE(Find("ms_tab_function").IsVisible());
    Choose(QStringLiteral("ms_key_fct_combo"), row.kind);
    EXPECT_TRUE(Find(QStringLiteral("ms_tab_function_%1").arg(row.kind)).IsVisible());
    for (const auto& [edit, text] : row.edits) Type(QStringLiteral("ms_key_fct_edit_%1").arg(edit), text);
    for (const auto& [combo, item] : row.combos) Choose(QStringLiteral("ms_key_fct_combo_%1").arg(combo), item);
    EXPECT_EQ(Entry(row.button), row.stored);
    EXPECT_EQ(Find(QStringLiteral("ms_key_%1").arg(row.button)).Text(), Text(row.label));
    for (const auto& [edit, text] : row.shownEdits)
      EXPECT_EQ(Find(QStringLiteral("ms_key_fct_edit_%1").arg(edit)).Text(), text) << edit;

    // Opened again (after another button), the panel shows the stored function.
    ClickButton(row.button == 1 ? 2 : 1);
    ClickButton(row.button);
    EXPECT_EQ(Find("ms_key_fct_combo").CurSel(), row.kind);
    for (const auto& [combo, item] : row.combos)
      EXPECT_EQ(Find(QStringLiteral("ms_key_fct_combo_%1").arg(combo)).CurSel(), item) << combo;
    for (const auto& [edit, text] : row.shownEdits)
      EXPECT_EQ(Find(QStringLiteral("ms_key_fct_edit_%1").arg(edit)).Text(), text) << edit;
  }
}

TEST_F(MouseButtonPageTest, AButtonOnItsFactoryFunctionOpensAsDefaultAndAnUnknownTypeLeavesTheKind) {
  ClickButton(2);
  EXPECT_EQ(Find("ms_key_fct_combo").CurSel(), 0);
  EXPECT_TRUE(Find("ms_tab_function_0").IsVisible());

  Choose(QStringLiteral("ms_key_fct_combo"), 7);
  ActiveKeyBank(Image())->SetEntry(4, {0x15, 0x01, 0x02});
  ClickButton(4);
  EXPECT_EQ(Find("ms_key_fct_combo").CurSel(), 7) << "a type the editor cannot produce leaves the combo";
  EXPECT_EQ(Entry(4), (KeyFunction{0x15, 0x01, 0x02}));
}

TEST_F(MouseButtonPageTest, TheLastLeftClickCannotBeGivenAway) {
  ClickButton(0);
  EXPECT_EQ(messages, QStringList{QStringLiteral("message_text_6")});
  EXPECT_FALSE(Find("ms_tab_function").IsVisible());

  // A left click kept past the seven buttons is no button: it does not count.
  ActiveKeyBank(Image())->SetEntry(8, kLeftClick);
  messages.clear();
  ClickButton(0);
  EXPECT_EQ(messages, QStringList{QStringLiteral("message_text_6")});

  // Button 3 takes the left click too: button 0 may now be edited.
  ClickButton(3);
  Choose(QStringLiteral("ms_key_fct_combo"), 1);
  Choose(QStringLiteral("ms_key_fct_combo_11"), 0);
  ASSERT_EQ(Entry(3), kLeftClick);
  messages.clear();
  ClickButton(0);
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_TRUE(Find("ms_tab_function").IsVisible());
}

TEST_F(MouseButtonPageTest, TheKeyKindCapturesKeysUntilAnotherKindIsChosen) {
  ClickButton(3);
  Choose(QStringLiteral("ms_key_fct_combo"), 6);
  EXPECT_EQ(armed, 1);
  EXPECT_EQ(Entry(3), Image().defaultButtons.Entry(3)) << "an empty key field stores nothing";

  struct Row {
    const char* name;
    int virtualKey;
    std::uint32_t flags;
    KeyFunction stored;
  } const rows[] = {
      {"keypad Enter", 0x0D, 0x01, {0x20, 0x00, 0x58}},
      {"main Enter", 0x0D, 0x00, {0x20, 0x00, 0x28}},
      {"A", 0x41, 0x00, {0x20, 0x00, 0x04}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    page->CaptureKey(row.virtualKey, row.flags);
    EXPECT_EQ(Entry(3), row.stored);
  }
  page->CaptureKey(0xFF, 0);  // no key of the key table: nothing changes
  EXPECT_EQ(Entry(3), (KeyFunction{0x20, 0x00, 0x04}));
  EXPECT_EQ(Find("ms_key_fct_edit_21").Text(), QStringLiteral("keyboard_key_A"));

  Choose(QStringLiteral("ms_key_fct_combo"), 1);
  EXPECT_EQ(disarmed, 1);
  page->CaptureKey(0x42, 0);
  EXPECT_NE(Entry(3), (KeyFunction{0x20, 0x00, 0x05})) << "the capture ended with the kind";
}

TEST_F(MouseButtonPageTest, RestorePutsTheFactoryFunctionBackAndReopensTheButton) {
  ClickButton(2);
  Choose(QStringLiteral("ms_key_fct_combo"), 8);
  Choose(QStringLiteral("ms_key_fct_combo_22"), 0);
  ASSERT_EQ(Entry(2).type, 0x40);
  Click(QStringLiteral("ms_key_butt_keydefalut"));
  EXPECT_EQ(Entry(2), Image().defaultButtons.Entry(2));
  EXPECT_EQ(Find("ms_key_2").Text(), Text("mouse_key_right"));
  EXPECT_EQ(Find("ms_key_fct_combo").CurSel(), 0);
}

TEST_F(MouseButtonPageTest, ASwitchOfTheImageClosesTheEditor) {
  ClickButton(3);
  Choose(QStringLiteral("ms_key_fct_combo"), 6);
  page->ImageReplaced();
  EXPECT_FALSE(Find("ms_tab_function").IsVisible());
  EXPECT_EQ(disarmed, 1);
  EXPECT_FALSE(controller.ButtonEditor().CurrentEntry());
}

TEST_F(MouseButtonPageTest, SaveSendsTheCursorMacrosThenTheActiveBankInABracketAndKeepsTheKeyProfile) {
  // Active profile 2: its bank travels (device address 2 x 126).
  mouse.firmware().SetActiveProfile(2);
  ASSERT_TRUE(controller.ReadAll().changed);
  ClickButton(4);
  Choose(QStringLiteral("ms_key_fct_combo"), 1);
  Choose(QStringLiteral("ms_key_fct_combo_11"), 1);
  mouse.ClearRequests();

  Click(QStringLiteral("ms_key_butt_prosave"));

  // The cursor macros go first, in their own bracket: the four shipped patterns, 2920 bytes.
  std::vector<Sent> expected{Request(0x01, 0, 0)};
  for (std::uint16_t offset = 0; offset < 2920; offset += 56)
    expected.push_back(Request(0x17, static_cast<std::uint8_t>(offset + 56 < 2920 ? 56 : 2920 - offset), offset));
  expected.push_back(Request(0x02, 0, 0));
  expected.push_back(Request(0x01, 0, 0));
  for (std::uint16_t offset = 0; offset < 512; offset += 56)
    expected.push_back(Request(0x09, static_cast<std::uint8_t>(offset + 56 < 512 ? 56 : 512 - offset),
                               static_cast<std::uint16_t>(2 * 126 + offset)));
  expected.push_back(Request(0x02, 0, 0));
  EXPECT_EQ(mouse.Requests(), expected);
  EXPECT_EQ(mouse.firmware().Bank(2), Image().banks[2].bytes);
  EXPECT_EQ(mouse.firmware().Bank(2)[12], 0x10);
  EXPECT_EQ(mouse.firmware().Bank(2)[13], 0x04);
  EXPECT_EQ(progress, (std::vector<std::string>{"show", "done"}));
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MouseButtonPageTest, ASaveTheMouseRefusesIsReportedAndTheProgressEnds) {
  ClickButton(4);
  Choose(QStringLiteral("ms_key_fct_combo"), 1);
  Choose(QStringLiteral("ms_key_fct_combo_11"), 1);
  mouse.bus.AnswerStatus(mouse.id, 0xFF, 100);
  Click(QStringLiteral("ms_key_butt_prosave"));
  EXPECT_EQ(messages, QStringList{QStringLiteral("message_text_upload_failed")});
  EXPECT_EQ(progress, (std::vector<std::string>{"show", "done"}));
  EXPECT_FALSE(mouse.firmware().TransferOpen()) << "the bracket is closed";
}

TEST_F(MouseButtonPageTest, HoveringAButtonShowsItsPicture) {
  window->SendNotify(Find("ms_key_5"), QString::fromLatin1(ui::notify::kMouseEnter));
  EXPECT_EQ(Find("ms_key_5_0").BkImage(), QStringLiteral("file='ms/key_dpi_add_down.png'"));
  window->SendNotify(Find("ms_key_5"), QString::fromLatin1(ui::notify::kMouseLeave));
  EXPECT_EQ(Find("ms_key_5_0").BkImage(), QStringLiteral("file='ms/key_dpi_add_normal.png'"));
}

TEST_F(MouseButtonPageTest, AnActiveNumberThatNamesNoBankEditsNothing) {
  Image().active.bytes[MouseActiveSettings::kActiveProfile] = 7;
  ClickButton(3);
  EXPECT_FALSE(Find("ms_tab_function").IsVisible());
  mouse.ClearRequests();
  Click(QStringLiteral("ms_key_butt_prosave"));
  // The cursor macros go (they do not depend on a bank); no key bank does.
  const std::vector<Sent> sent = mouse.Requests();
  EXPECT_TRUE(std::none_of(sent.begin(), sent.end(), [](const Sent& s) { return s.code == 0x09; }));
  EXPECT_EQ(messages, QStringList{QStringLiteral("message_text_upload_failed")});
}

}  // namespace
}  // namespace korva::mouse
