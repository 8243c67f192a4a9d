// The keyboard's macro page built from the shipped skin inside a window, routed as the main window
// routes it, over a macro library in a temporary folder and five key banks of its own.

#include "macro/page/MacroPage.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <array>
#include <memory>

#include "common/KeyFunction.h"
#include "macro/MacroEdits.h"
#include "tests/macro/MacroTestLibrary.h"
#include "ui/PageTable.h"
#include "ui/controls/StandardControls.h"
#include "tests/ui/ShippedSkinWindow.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::macro {
namespace {

using test_library::ReadText;
using test_library::TestLibrary;
using test_library::WriteText;
using ui::Control;
using ui::SendNotify;

class NoRecords final : public lighting::LightingRecordStore {
 public:
  lighting::LightingSnapshot Read() const override { return {}; }
  void Write(const lighting::LightingSnapshot&) override {}
};

using Bank = std::array<std::uint8_t, 512>;

class MacroPageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    korva::test::EnsureQtApplication();
    auto opened = ui::Skin::Open(ui::Skin::SourceSkinFolder());
    ASSERT_TRUE(opened) << opened.error().ToString();
    skin_ = opened.value().release();
    ui::RegisterStandardControls(skin_->Factory());
    ASSERT_FALSE(skin_->LoadLanguage(QStringLiteral("lan_en.xml")));
  }
  static void TearDownTestSuite() {
    delete skin_;
    skin_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("window.xml"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(R"(<Window size="900,560"><HorizontalLayout><kb_Macro_UI/><kb_Key_UI/></HorizontalLayout></Window>)");
    out.close();
    window = std::make_unique<korva::test::ShippedPageWindow>(*skin_);
    ASSERT_FALSE(window->Build(file, window.get()));
    router = std::make_unique<ui::NotifyRouter>(*window, records);
    notifier = std::make_unique<korva::test::RoutingNotifier>(*router);
    window->AddNotifier(notifier.get());
    for (std::size_t k = 0; k < 170; ++k) StoreEntry(defaults, k, {0x20, 0, static_cast<std::uint8_t>(k)});
    banks.fill(defaults);
  }
  void TearDown() override {
    if (window) window->RemoveNotifier(notifier.get());
  }

  // The page over the library as it is on disk now.
  void Open() {
    MacroPage::Hooks hooks;
    hooks.showMessage = [this](const QString& textId, std::optional<int> number) {
      messages.append(number ? textId + QStringLiteral(" %1").arg(*number) : textId);
      return answer;
    };
    hooks.keyBanks = [this] {
      std::vector<std::span<std::uint8_t>> spans;
      for (Bank& bank : banks) spans.emplace_back(bank);
      return spans;
    };
    hooks.defaultBlock = [this] { return std::span<const std::uint8_t>(defaults); };
    hooks.installHooks = [this](bool keys, bool buttons) {
      hooked = {keys, buttons};
      return true;
    };
    hooks.removeHooks = [this] { hooked.reset(); };
    hooks.chooseImport = [this] { return chosen; };
    hooks.chooseExport = [this] { return chosen; };
    hooks.now = [this] { return clock; };
    page = std::make_unique<MacroPage>(*window, QStringLiteral("kb"), lib.library, std::move(hooks));
    ASSERT_TRUE(page->RegisterRoutes(*router));
    page->InitMacroPage();
  }

  Control Find(const char* name) const { return window->FindControl(QString::fromLatin1(name)); }
  void ClickButton(const char* name) {
    ui::Notification msg;
    msg.type = QString::fromLatin1(ui::notify::kClick);
    msg.name = QString::fromLatin1(name);
    msg.sender = Find(name);
    router->Dispatch(msg);
  }
  // The user's click on step row `row`: the list's widget selects it and reports the click, which
  // reaches the routing under the row's name.
  void ClickRow(int row) {
    auto* list = qobject_cast<QListWidget*>(Find("kb_Macro_list").Widget());
    ASSERT_NE(list, nullptr);
    list->setCurrentRow(row);
    emit list->itemClicked(list->item(row));
  }
  QStringList Rows() const {
    QStringList rows;
    const Control list = Find("kb_Macro_list");
    for (int i = 0; i < list.ItemCount(); ++i) rows.append(list.ItemUserData(i));
    return rows;
  }

  static ui::Skin* skin_;
  QTemporaryDir folder;
  TestLibrary lib;
  NoRecords records;
  std::unique_ptr<korva::test::ShippedPageWindow> window;
  std::unique_ptr<ui::NotifyRouter> router;
  std::unique_ptr<korva::test::RoutingNotifier> notifier;
  std::unique_ptr<MacroPage> page;
  Bank defaults{};
  std::array<Bank, 5> banks{};
  QStringList messages;
  int answer = 1;  // the message box's answer: confirmed
  std::optional<std::pair<bool, bool>> hooked;
  QString chosen;
  std::uint64_t clock = 0;
};

ui::Skin* MacroPageTest::skin_ = nullptr;

TEST_F(MacroPageTest, OpensTheLastMacroAndListsTheNamesForTheKeys) {
  lib.WriteIndex({"a", "b"});
  lib.WriteMacro("b", {"5,0,129,1,1,mouse_key_left", "0,0,1,1,0,mouse_key_left"});
  Open();
  EXPECT_EQ(Find("kb_MacroName_list").CurSel(), 1);
  EXPECT_EQ(Find("kb_macro_edit_macroname").Text(), QStringLiteral("b"));
  EXPECT_EQ(Rows(), (QStringList{"5,0,129,1,1,mouse_key_left", "0,0,1,1,0,mouse_key_left"}));
  EXPECT_EQ(Find("kb_key_fct_combo_23").ItemCount(), 2);
  EXPECT_EQ(Find("kb_macro_combo_keyselect").ItemCount(), 104);
  EXPECT_TRUE(Find("kb_macro_btn_redio").IsEnabled());
}

TEST_F(MacroPageTest, DeletingAMacroKeysPlayAsksTwiceAndRenumbersEveryBank) {
  lib.WriteIndex({"a", "b", "c"});
  lib.WriteMacro("b", {});
  Open();
  for (Bank& bank : banks) {
    StoreEntry(bank, 4, {0x70, 1, 0});
    StoreEntry(bank, 5, {0x71, 2, 3});
  }
  Find("kb_MacroName_list").SelectItem(1, SendNotify::Yes);

  answer = 0;  // "keys play it": not confirmed
  ClickButton("kb_macro_btn_name_sub");
  EXPECT_EQ(messages, QStringList{"message_text_2"});
  EXPECT_EQ(LoadMacroIndex(lib.library).value().size(), 3u);

  answer = 1;
  messages.clear();
  ClickButton("kb_macro_btn_name_sub");
  EXPECT_EQ(messages, (QStringList{"message_text_2", "message_text_4"}));
  EXPECT_EQ(LoadMacroIndex(lib.library).value(), (std::vector<std::string>{"a", "c"}));
  EXPECT_FALSE(std::filesystem::exists(lib.File("b")));
  for (const Bank& bank : banks) {
    EXPECT_EQ(EntryAt(bank, 4), EntryAt(defaults, 4));
    EXPECT_EQ(EntryAt(bank, 5), (KeyFunction{0x71, 1, 3}));
  }
  EXPECT_EQ(Find("kb_key_fct_combo_23").ItemCount(), 2);
}

TEST_F(MacroPageTest, UnsavedStepsLockTheLibraryUntilSavedOrCancelled) {
  lib.WriteIndex({"a"});
  Open();
  Find("kb_mouse_x_left_edit").SetText(QStringLiteral("20"));
  ClickButton("kb_macro_inset_moveleftkey_btn");
  EXPECT_EQ(Rows(), QStringList{"5,0,132,20,1,mouse_move_to_left_text"});
  EXPECT_TRUE(page->Unsaved());
  EXPECT_FALSE(Find("kb_MacroName_list").IsEnabled());

  ClickButton("kb_macro_btn_name_add");
  EXPECT_EQ(messages, QStringList{"message_text_3"});
  EXPECT_EQ(LoadMacroIndex(lib.library).value().size(), 1u);

  ClickButton("kb_macro_btn_cancel");
  EXPECT_FALSE(page->Unsaved());
  EXPECT_TRUE(Rows().isEmpty());
  ClickButton("kb_macro_inset_moveleftkey_btn");
  ClickButton("kb_macro_btn_save");
  EXPECT_EQ(LoadMacro(lib.library, "a").value().size(), 1u);
  EXPECT_TRUE(Find("kb_MacroName_list").IsEnabled());
}

TEST_F(MacroPageTest, TheStepEditorChangesTheSelectedStep) {
  lib.WriteIndex({"a"});
  lib.WriteMacro("a", {"0,0,138,4,1,keyboard_key_A", "5,0,132,20,1,mouse_move_to_left_text"});
  Open();
  ClickRow(0);
  EXPECT_EQ(Find("kb_tab_macro_edit").CurSel(), 1);
  EXPECT_EQ(Find("kb_macro_combo_upordown").CurSel(), 1);
  Find("kb_macro_combo_upordown").SelectItem(0, SendNotify::Yes);  // release
  EXPECT_EQ(Rows()[0], QStringLiteral("0,0,10,4,0,keyboard_key_A"));
  Find("kb_macro_combo_keyselect").SelectItem(1, SendNotify::Yes);  // LShift
  EXPECT_EQ(Rows()[0], QStringLiteral("0,0,9,2,0,keyboard_key_LShift"));

  ClickRow(1);
  EXPECT_EQ(Find("kb_tab_macro_edit").CurSel(), 2);
  EXPECT_EQ(Find("kb_macro_combo_mouselect").CurSel(), 10);
  EXPECT_EQ(Find("kb_macro_edit_mou_pointer_skewing").Text(), QStringLiteral("20"));
  Control delay = Find("kb__macro_edit_mou_action_delay");
  delay.SetText(QStringLiteral("70000"), SendNotify::Yes);
  EXPECT_EQ(delay.Text(), QStringLiteral("65535"));
  EXPECT_EQ(Rows()[1], QStringLiteral("255,255,132,20,1,mouse_move_to_left_text"));
}

TEST_F(MacroPageTest, RecordingTakesTheChosenEventsWithTheirDelays) {
  lib.WriteIndex({"a"});
  Open();
  Find("kb_macro_check_time").Select(false);
  Find("kb_macro_mouse_click").Select(true);
  clock = 1000;
  ClickButton("kb_macro_btn_redio");
  ASSERT_TRUE(hooked.has_value());
  EXPECT_EQ(*hooked, std::make_pair(true, true));
  EXPECT_FALSE(Find("kb_Macro_list").IsEnabled());
  clock = 1500;
  page->RecordKey(0x0100, 0x41, 0);
  clock = 2734;
  page->RecordKey(0x0101, 0x41, 0);
  clock = 2800;
  page->RecordMouse(0x0201);
  page->RecordMouse(0x020A);  // the wheel: never recorded
  ClickButton("kb_macro_btn_redio");
  EXPECT_FALSE(hooked.has_value());
  EXPECT_EQ(Rows(), (QStringList{"123,0,138,4,1,keyboard_key_A", "6,0,10,4,0,keyboard_key_A",
                                 "0,0,129,1,1,mouse_key_left"}));
  EXPECT_TRUE(page->Unsaved());
  EXPECT_FALSE(Find("kb_MacroName_list").IsEnabled()) << "locked until saved or cancelled";
}

TEST_F(MacroPageTest, TheFiftyFirstMacroAndAFileThatIsNotAMacroAreRefused) {
  std::vector<std::string> names;
  for (int i = 1; i <= 50; ++i) names.push_back("m" + std::to_string(i));
  lib.WriteIndex(names);
  lib.WriteMacro("m50", {"0,0,10,4,1,keyboard_key_A"});
  Open();
  ClickButton("kb_macro_btn_name_add");
  EXPECT_EQ(messages, QStringList{"message_text_17 50"});
  EXPECT_EQ(Find("kb_MacroName_list").ItemCount(), 50);

  messages.clear();
  const std::string before = ReadText(lib.File("m50"));
  chosen = QString::fromStdString((lib.folder.path() / "picture.mac").string());
  WriteText(lib.folder.path() / "picture.mac", "not a macro");
  ClickButton("kb_macro_btn_import");
  EXPECT_EQ(messages, QStringList{"message_text_macro_invalid"});
  EXPECT_EQ(ReadText(lib.File("m50")), before);
}

}  // namespace
}  // namespace korva::macro
