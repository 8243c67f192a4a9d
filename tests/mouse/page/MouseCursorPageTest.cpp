// The mouse's cursor macro page built from the shipped skin, routed as the main window routes it,
// over the session's mouse controller, its data folder and a simulated mouse.

#include "mouse/page/MouseCursorPage.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "MousePageWindow.h"
#include "SimMouse.h"
#include "common/AtomicFile.h"
#include "lighting/LightingRecords.h"
#include "mouse/CursorMacros.h"
#include "profile/IniFile.h"
#include "session/MouseController.h"

namespace korva::mouse {
namespace {

using test::SimMouse;
using ui::Control;
using ui::SendNotify;

std::vector<std::uint8_t> Bytes(const std::filesystem::path& path) {
  std::vector<std::uint8_t> bytes;
  ReadWholeFile(path, bytes);
  return bytes;
}

class MouseCursorPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(mouse.opened);
    ASSERT_TRUE(data.isValid() && folder.isValid());
    controller.Initialise();
    window = test::BuildMouseWindow(folder, "<MS_CURSOR_UI/>");
    router = std::make_unique<ui::NotifyRouter>(*window, records);
    notifier = std::make_unique<test::RoutingNotifier>(*router);
    window->AddNotifier(notifier.get());
    MouseCursorPage::Hooks hooks;
    hooks.showMessage = [this](std::string_view textId, std::optional<int>) {
      messages.append(QString::fromUtf8(textId.data(), static_cast<qsizetype>(textId.size())));
    };
    hooks.chooseImport = [this] { return chosen; };
    hooks.chooseExport = [this] { return chosen; };
    page = std::make_unique<MouseCursorPage>(*window, controller, std::move(hooks));
    ASSERT_TRUE(page->RegisterRoutes(*router));
    page->Refresh();
    mouse.ClearRequests();
  }
  void TearDown() override {
    if (window) window->RemoveNotifier(notifier.get());
  }

  Control Find(const QString& name) const { return window->FindControl(name); }
  void Click(const QString& name) { test::ClickControl(*window, name); }
  // The user ticks a check box: it changes and notifies.
  void Check(const QString& check) { Find(check).Select(true, SendNotify::Yes); }
  void Type(const QString& edit, const QString& text) {
    Find(edit).SetText(text);
    window->SendNotify(Find(edit), QString::fromLatin1(ui::notify::kTextChanged));
  }
  QString Shown(const char* name) const { return Find(QString::fromLatin1(name)).Text(); }
  QString Text(const char* textId) const { return window->GetSkin().Text(QString::fromLatin1(textId)); }
  std::filesystem::path GunFile(int gun) const { return controller.Cursors().GunFile(gun).value(); }
  std::string Step(int gun, int step) const {
    return profile::IniFile::Load(GunFile(gun)).GetString("MACROACTION", std::to_string(step), "");
  }

  SimMouse mouse;
  QTemporaryDir data;
  QTemporaryDir folder;
  session::MouseController controller{mouse.device, profile::DataFolders(data.path().toStdString()),
                                      std::filesystem::path(KORVA_MOUSE_TEST_SOURCE_DIR) / "data"};
  lighting::LightingRecords records;
  std::unique_ptr<test::PageWindow> window;
  std::unique_ptr<ui::NotifyRouter> router;
  std::unique_ptr<test::RoutingNotifier> notifier;
  std::unique_ptr<MouseCursorPage> page;
  QString chosen;
  QStringList messages;
};

TEST_F(MouseCursorPageTest, EditsAreClampedStoredAndShownAgain) {
  Click(QStringLiteral("ms_bullet_op_4"));
  ASSERT_EQ(page->Bullet(), 4);
  EXPECT_EQ(Shown("bullet_select_index"), QStringLiteral("5"));
  EXPECT_TRUE(Find(QStringLiteral("cursor_edit_layout")).IsEnabled());

  struct Case {
    const char* what;
    std::function<void()> act;
    int step;  // of shot 4
    std::string line;
    const char* edit;  // the edit's text afterwards ("" to skip)
    QString shown;
  };
  const std::string delayRest = Step(0, 27).substr(Step(0, 27).find(',', Step(0, 27).find(',') + 1));
  const Case cases[] = {
      {"delay 1234 ms", [&] { Type(QStringLiteral("ms_cursor_delay_eidt"), QStringLiteral("1234")); }, 27,
       "123" + std::string(",0") + delayRest, "ms_cursor_delay_eidt", QStringLiteral("1234")},
      {"delay above the limit",
       [&] { Type(QStringLiteral("ms_cursor_delay_eidt"), QStringLiteral("70000")); }, 27,
       "153,25" + delayRest, "ms_cursor_delay_eidt", QStringLiteral("65535")},
      {"distance 12 right", [&] { Type(QStringLiteral("ms_cursor_x_eidt"), QStringLiteral("12")); }, 28,
       "0,0,4,12,0,mouse_move_to_right_text", "ms_cursor_x_eidt", QStringLiteral("12")},
      {"left checked",
       [&] { Check(QStringLiteral("ms_cursor_x_check")); },
       28,
       "0,0,132,12,1,mouse_move_to_left_text",
       "",
       {}},
      {"distance above 255", [&] { Type(QStringLiteral("ms_cursor_y_eidt"), QStringLiteral("999")); }, 29,
       "0,0,5,255,0,mouse_move_to_down_text", "ms_cursor_y_eidt", QStringLiteral("255")},
      {"up checked",
       [&] { Check(QStringLiteral("ms_cursor_y_check")); },
       29,
       "0,0,133,255,1,mouse_move_to_up_text",
       "",
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.act();
    EXPECT_EQ(Step(0, c.step), c.line);
    if (*c.edit) {
      EXPECT_EQ(Shown(c.edit), c.shown);
    }
  }
  EXPECT_EQ(Shown("ms_cursor_x_check"), Text("mouse_move_to_left_text"));
  EXPECT_EQ(Shown("ms_cursor_y_check"), Text("mouse_move_to_up_text"));

  // 1234 ms is kept as 123 units: the shot shows 1230 ms when opened again.
  Type(QStringLiteral("ms_cursor_delay_eidt"), QStringLiteral("1234"));
  Click(QStringLiteral("ms_bullet_op_5"));
  EXPECT_NE(Shown("ms_cursor_y_check"), Text("mouse_move_to_up_text")) << "shot 6 pulls down";
  Click(QStringLiteral("ms_bullet_op_4"));
  EXPECT_EQ(Shown("ms_cursor_delay_eidt"), QStringLiteral("1230"));
  EXPECT_EQ(Shown("ms_cursor_x_eidt"), QStringLiteral("12"));
  EXPECT_TRUE(Find(QStringLiteral("ms_cursor_x_check")).IsSelected());
  EXPECT_EQ(Shown("ms_cursor_y_eidt"), QStringLiteral("255"));
  EXPECT_TRUE(mouse.Requests().empty()) << "edits stay on disk until saved";
}

TEST_F(MouseCursorPageTest, StepsStopAtTheEndsAndASecondClickClosesTheEditor) {
  Click(QStringLiteral("ms_bullet_op_29"));
  Click(QStringLiteral("bullet_selected_next"));
  EXPECT_EQ(page->Bullet(), 29);
  EXPECT_EQ(Shown("bullet_select_index"), QStringLiteral("30"));
  Click(QStringLiteral("bullet_selected_prev"));
  EXPECT_EQ(page->Bullet(), 28);
  EXPECT_TRUE(Find(QStringLiteral("ms_bullet_op_28")).IsSelected());
  Click(QStringLiteral("ms_bullet_op_0"));
  Click(QStringLiteral("bullet_selected_prev"));
  EXPECT_EQ(page->Bullet(), 0);

  const auto before = Bytes(GunFile(0));
  Click(QStringLiteral("ms_bullet_op_0"));
  EXPECT_FALSE(page->Bullet());
  EXPECT_FALSE(Find(QStringLiteral("ms_bullet_op_0")).IsSelected());
  EXPECT_FALSE(Find(QStringLiteral("cursor_edit_layout")).IsEnabled());
  Type(QStringLiteral("ms_cursor_delay_eidt"), QStringLiteral("50"));
  EXPECT_EQ(Bytes(GunFile(0)), before) << "no shot open: nothing stored";
  Click(QStringLiteral("bullet_selected_next"));
  EXPECT_FALSE(page->Bullet());

  Click(QStringLiteral("ms_bullet_op_3"));
  EXPECT_EQ(page->Bullet(), 3);
  EXPECT_TRUE(Find(QStringLiteral("cursor_edit_layout")).IsEnabled());
}

TEST_F(MouseCursorPageTest, APatternOpensAtItsFirstShotAndResetRestoresItsDefault) {
  Click(QStringLiteral("ms_bullet_op_7"));
  Click(QStringLiteral("ms_gun_op_3"));
  EXPECT_EQ(page->Gun(), 3);
  EXPECT_EQ(page->Bullet(), 0);
  EXPECT_TRUE(Find(QStringLiteral("ms_bullet_op_0")).IsSelected());
  const CursorBulletView view = controller.Cursors().ReadBullet(3, 0);
  EXPECT_EQ(Shown("ms_cursor_delay_eidt"), QString::number(view.delayMs));

  const auto gun0 = Bytes(GunFile(0));
  Type(QStringLiteral("ms_cursor_x_eidt"), QStringLiteral("77"));
  EXPECT_EQ(Step(3, 4), "0,0,4,77,0,mouse_move_to_right_text");
  EXPECT_EQ(Bytes(GunFile(0)), gun0) << "only the selected pattern changes";

  Click(QStringLiteral("ms_bullet_op_2"));
  Click(QStringLiteral("ms_bulletdate_reset_btn"));
  EXPECT_EQ(Bytes(GunFile(3)),
            Bytes(std::filesystem::path(KORVA_MOUSE_TEST_SOURCE_DIR) / "data" / "name_4.cur"));
  EXPECT_EQ(page->Bullet(), 0);
  EXPECT_EQ(Shown("ms_cursor_x_eidt"), QString::number(view.x ? view.x->distance : 0));
}

TEST_F(MouseCursorPageTest, ImportReplacesTheSelectedPatternAndDownloadsAndExportCopiesIt) {
  Click(QStringLiteral("ms_gun_op_1"));
  const auto gun1 = Bytes(GunFile(1));

  chosen.clear();  // cancelled
  Click(QStringLiteral("ms_bulletdate_import_btn"));
  Click(QStringLiteral("ms_bulletdate_export_btn"));
  EXPECT_EQ(Bytes(GunFile(1)), gun1);
  EXPECT_TRUE(mouse.Requests().empty());

  const QString wrong = folder.filePath(QStringLiteral("wrong.cur"));
  ASSERT_TRUE(WriteFileAtomically(wrong.toStdString(), std::string_view("just some text\n")));
  chosen = wrong;
  Click(QStringLiteral("ms_bulletdate_import_btn"));
  EXPECT_EQ(messages, QStringList{QString::fromLatin1(kTextCursorInvalid.data())});
  EXPECT_EQ(Bytes(GunFile(1)), gun1);
  EXPECT_EQ(page->Gun(), 1);
  EXPECT_TRUE(mouse.Requests().empty());

  // Export pattern 1, change it, import the export: the old pattern is back and downloaded.
  chosen = folder.filePath(QStringLiteral("saved.cur"));
  Click(QStringLiteral("ms_bulletdate_export_btn"));
  EXPECT_EQ(Bytes(chosen.toStdString()), gun1);
  Type(QStringLiteral("ms_cursor_delay_eidt"), QStringLiteral("990"));
  ASSERT_NE(Bytes(GunFile(1)), gun1);
  Click(QStringLiteral("ms_bulletdate_import_btn"));
  EXPECT_EQ(Bytes(GunFile(1)), gun1);
  EXPECT_EQ(page->Gun(), 0) << "the page shows the first pattern again";
  EXPECT_TRUE(Find(QStringLiteral("ms_gun_op_0")).IsSelected());
  const macro::MacroBlock block = controller.Cursors().BuildBlock();
  const std::vector<std::uint8_t> memory = mouse.firmware().CursorMacroMemory();
  ASSERT_EQ(block.status, macro::MacroBlockStatus::kBuilt);
  EXPECT_TRUE(std::equal(block.bytes.begin(), block.bytes.end(), memory.begin()));
  EXPECT_EQ(messages.size(), 1);
}

TEST_F(MouseCursorPageTest, SaveDownloadsAndATooLargeBlockIsReportedNotSent) {
  Type(QStringLiteral("ms_cursor_y_eidt"), QStringLiteral("33"));
  Click(QStringLiteral("ms_bulletdate_save_btn"));
  EXPECT_FALSE(mouse.Requests().empty());
  EXPECT_EQ(mouse.firmware().CursorMacroMemory()[16 + 8 + 4 + 4 * 5 + 3], 33) << "shot 0's vertical move";
  EXPECT_TRUE(messages.isEmpty());

  // A pattern of 400 counted steps: S = 16 + 24 + 4 x (3 x 180 + 400) = 3800.
  mouse.ClearRequests();
  ASSERT_TRUE(profile::UpdateIniFile(
      GunFile(2), [](profile::IniFile& f) { f.SetInt("MACROACTIONCOUNT", "count", 400); }));
  Click(QStringLiteral("ms_bulletdate_save_btn"));
  EXPECT_TRUE(mouse.Requests().empty());
  EXPECT_EQ(messages, QStringList{QString::fromLatin1(kTextCursorTooLarge.data())});
}

}  // namespace
}  // namespace korva::mouse
