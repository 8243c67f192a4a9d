// The profile panels on the main window's skin, one table over the five stores: every operation of
// the panel through its controls and the routing, what it leaves in the list, the index and the
// files, what it puts into the devices' images, and the messages it shows.

#include "profile/page/ProfilePanel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QStringList>
#include <cstdlib>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/AtomicFile.h"
#include "headset/AudioLibrary.h"
#include "profile/IniFile.h"
#include "profile/ProfileFile.h"
#include "session/DeviceSession.h"
#include "session/KeyboardController.h"
#include "session/MouseController.h"
#include "sim/SimBus.h"
#include "tests/profile/TempFolder.h"
#include "ui/PageTable.h"
#include "ui/controls/StandardControls.h"
#include "tests/ui/ShippedSkinWindow.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::profile {
namespace {

std::filesystem::path SourceFolder() {
  const char* dir = std::getenv("KORVA_SOURCE_DIR");
  return dir ? std::filesystem::path(dir) : std::filesystem::current_path();
}

// The main window's skin with its pages, built as the main window builds it.
class MainSkinWindow : public ui::SkinWindow, public ui::IDialogBuilderCallback {
 public:
  using SkinWindow::SkinWindow;
  QWidget* CreateControl(const QString& cls) override {
    if (auto file = ui::PageFileForClass(cls)) return BuildPage(*file);
    if (cls == QLatin1String("CircleProgress") || cls == QLatin1String("DeviceKeyButton"))
      return GetSkin().Factory().Create(cls);
    return nullptr;
  }
};

// One store of the table: its controls' names and how its device's image shows byte 6 of a payload
// (the red of a light record, a byte of a key bank's third function).
struct StoreRow {
  const char* name;
  StoreKind store;
  const char* combo;
  const char* buttons;  // "<dev>_pro_<kind>_"
  const char* panel;    // "<dev>_<kind>_"
  std::function<std::uint8_t(session::DeviceSession&)> imageByte6;
};

const StoreRow kRows[] = {
    {"KeyboardLight", StoreKind::kKeyboardLight, "kb_deng_profile_combo", "kb_pro_deng_", "kb_deng_",
     [](session::DeviceSession& s) { return s.Keyboard().Image().active.bytes[6]; }},
    {"KeyboardKey", StoreKind::kKeyboardKey, "kb_key_profile_combo", "kb_pro_key_", "kb_key_",
     [](session::DeviceSession& s) { return s.Keyboard().Image().banks[0][6]; }},
    {"MouseLight", StoreKind::kMouseLight, "ms_deng_profile_combo", "ms_pro_deng_", "ms_deng_",
     [](session::DeviceSession& s) { return s.Mouse().Model().image().active.bytes[6]; }},
    {"MouseKey", StoreKind::kMouseKey, "ms_key_profile_combo", "ms_pro_key_", "ms_key_",
     [](session::DeviceSession& s) { return s.Mouse().Model().image().banks[0].bytes[6]; }},
    {"MousepadLight", StoreKind::kMousepadLight, "mp_deng_profile_combo", "mp_pro_deng_", "mp_deng_",
     [](session::DeviceSession& s) { return s.Controller(DeviceKind::kMousepad).Lighting().red; }},
};

void PrintTo(const StoreRow& row, std::ostream* os) {
  *os << row.name;
}

class ProfilePanelTest : public ::testing::TestWithParam<StoreRow> {
 protected:
  static void SetUpTestSuite() {
    korva::test::EnsureQtApplication();
    auto opened = ui::Skin::Open(ui::Skin::SourceSkinFolder());
    ASSERT_TRUE(opened) << opened.error().ToString();
    skin_ = opened.value().release();
    ui::RegisterStandardControls(skin_->Factory());
    auto error = skin_->LoadLanguage(QStringLiteral("lan_en.xml"));
    ASSERT_FALSE(error) << error->ToString();
  }
  static void TearDownTestSuite() {
    delete skin_;
    skin_ = nullptr;
  }

  void SetUp() override {
    session::SessionOptions options(folders);
    options.defaultsFolder = DefaultFilesFolder(SourceFolder());
    session = std::make_unique<session::DeviceSession>(bus, audio, options);
    library = std::make_unique<session::ProfileLibrary>(*session);
    window = std::make_unique<MainSkinWindow>(*skin_);
    auto error = window->Build(QStringLiteral("XML_MAIN"), window.get());
    ASSERT_FALSE(error) << error->ToString();
    router = std::make_unique<ui::NotifyRouter>(*window, *session);
    notifier = std::make_unique<korva::test::RoutingNotifier>(*router);
    window->AddNotifier(notifier.get());

    ProfilePanel::Hooks hooks;
    hooks.showMessage = [this](const QString& text) {
      boxes.append(text);
      return answer;
    };
    hooks.chooseFile = [this](const ProfileFileRequest& request) {
      requests.push_back(request);
      return chosen;
    };
    hooks.applied = [this](const session::ProfileEffect& effect) { effects.push_back(effect); };
    hooks.chooseExecutable = [this] { return executable; };
    hooks.shown = [this](int index) { shownIndex = index; };
    hooks.linksChanged = [this] { ++linkChanges; };
    panel = std::make_unique<ProfilePanel>(*window, *library, Row().store, std::move(hooks));
    ASSERT_TRUE(panel->RegisterRoutes(*router));
    panel->Initialise();
  }

  void TearDown() override {
    if (window) window->RemoveNotifier(notifier.get());
  }

  const StoreRow& Row() const { return GetParam(); }
  ProfileStore& Store() { return library->Store(Row().store); }
  const StoreLayout& Layout() { return Store().layout(); }

  ui::Control Find(const QString& name) const { return window->FindControl(name); }
  ui::Control Combo() const { return Find(QString::fromLatin1(Row().combo)); }
  ui::Control NameEdit() const { return Find(QString::fromLatin1(Row().panel) + "profile_name_edit"); }
  // A click on one of the panel's buttons as the skin raises it.
  void Click(const QString& name) {
    ui::Control button = Find(name);
    ASSERT_TRUE(button.IsValid()) << name.toStdString();
    window->SendNotify(button, QStringLiteral("click"));
  }
  void ClickButton(const char* role) { Click(QString::fromLatin1(Row().buttons) + QLatin1String(role)); }
  void ClickPanel(const char* role) { Click(QString::fromLatin1(Row().panel) + QLatin1String(role)); }
  // A user's choice in the combo.
  void Choose(int index) { Combo().SelectItem(index, ui::SendNotify::Yes); }

  QStringList Items() const {
    QStringList items;
    for (int i = 0; i < Combo().ItemCount(); ++i) items.append(Combo().ItemText(i));
    return items;
  }
  std::filesystem::path File(const std::string& name) {
    return Store().IndexPath().parent_path() / (name + std::string(Layout().extension));
  }
  std::vector<std::uint8_t> Payload(const std::string& name) {
    return ReadProfileFile(File(name), Layout().tag, Layout().payloadSize).payload;
  }
  std::vector<std::uint8_t> DefaultPayload() { return Store().ReadDefaultPayload().payload; }
  // A payload the store takes whole: the default one with byte 6 changed.
  std::vector<std::uint8_t> Marked(std::uint8_t byte6) {
    std::vector<std::uint8_t> payload = DefaultPayload();
    payload[6] = byte6;
    return payload;
  }
  // The list as given, each profile holding the default payload, the panel showing it.
  void Seed(const std::vector<std::string>& names, int selected) {
    const IndexSections& s = Layout().sections;
    ASSERT_TRUE(UpdateIniFile(Store().IndexPath(), [&](IniFile& ini) {
      ini.SetInt(s.count, kCountKey, static_cast<int>(names.size()));
      for (std::size_t i = 0; i < names.size(); ++i) {
        ini.SetString(s.name, std::to_string(i), names[i]);
        ini.SetString(s.link, std::to_string(i), "0");
      }
      ini.SetInt(s.select, kSelectKey, selected);
    }));
    for (const std::string& name : names)
      ASSERT_TRUE(WriteProfileFile(File(name), Layout().tag, DefaultPayload()));
    panel->Initialise();
  }

  static ui::Skin* skin_;
  testing::TempFolder home;
  DataFolders folders{home.path()};
  sim::SimBus bus;
  headset::AudioLibrary audio;
  std::unique_ptr<session::DeviceSession> session;
  std::unique_ptr<session::ProfileLibrary> library;
  std::unique_ptr<MainSkinWindow> window;
  std::unique_ptr<ui::NotifyRouter> router;
  std::unique_ptr<korva::test::RoutingNotifier> notifier;
  std::unique_ptr<ProfilePanel> panel;

  QStringList boxes;
  int answer = 1;
  std::optional<std::filesystem::path> chosen;
  std::vector<ProfileFileRequest> requests;
  std::vector<session::ProfileEffect> effects;
  std::optional<std::filesystem::path> executable;
  int shownIndex = -2;
  int linkChanges = 0;
};
ui::Skin* ProfilePanelTest::skin_ = nullptr;

// --- page creation and selection --------------------------------------------------------------

TEST_P(ProfilePanelTest, FirstRunListsOneProfileMadeFromTheDefaultFile) {
  EXPECT_EQ(Items(), QStringList{QStringLiteral("新配置文件1")});
  EXPECT_EQ(Combo().CurSel(), 0);
  EXPECT_EQ(Payload("新配置文件1"), DefaultPayload());
  EXPECT_EQ(ReadIniInt(Store().IndexPath(), Layout().sections.select, "select", -1), 0);
  EXPECT_TRUE(boxes.isEmpty());
}

TEST_P(ProfilePanelTest, TheComboShowsTheStoredListAndSelectionWithoutLoadingIt) {
  Seed({"alpha", "beta", "gamma"}, 2);
  EXPECT_EQ(Items(), (QStringList{"alpha", "beta", "gamma"}));
  EXPECT_EQ(Combo().ItemUserData(1), QStringLiteral("beta"));
  EXPECT_EQ(Combo().CurSel(), 2);
  EXPECT_EQ(NameEdit().Text(), QStringLiteral("gamma"));
  auto* box = qobject_cast<QComboBox*>(Combo().Widget());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->itemData(0, Qt::SizeHintRole).toSize().height(), kProfileItemHeight);
  EXPECT_TRUE(effects.empty());

  // A stored selection outside the list shows the first profile.
  Seed({"alpha", "beta"}, 7);
  EXPECT_EQ(Combo().CurSel(), 0);
}

TEST_P(ProfilePanelTest, ChoosingAProfileSelectsLoadsAndAppliesIt) {
  Seed({"alpha", "beta"}, 0);
  ASSERT_TRUE(WriteProfileFile(File("beta"), Layout().tag, Marked(0x5A)));
  // A key profile closes the key page's function editor, whose key it would no longer show.
  const bool keyStore = Layout().extension == ".pro";
  ui::Control editor = Find(QString::fromLatin1(Row().panel).left(3) + QStringLiteral("tab_function"));
  if (keyStore) {
    ASSERT_TRUE(editor.IsValid());
    editor.SetVisible(true);
  }

  Choose(1);
  EXPECT_EQ(NameEdit().Text(), QStringLiteral("beta"));
  EXPECT_EQ(Store().SelectedIndex(), 1);
  ASSERT_EQ(effects.size(), 1u);
  EXPECT_EQ(effects.front().device, Layout().device);
  EXPECT_EQ(Row().imageByte6(*session), 0x5A);
  if (keyStore) {
    EXPECT_FALSE(editor.IsVisible());
    EXPECT_FALSE(editor.IsEnabled());
  }
}

TEST_P(ProfilePanelTest, TheLinkRowShowsTheApplicationOfALinkedProfile) {
  Seed({"alpha", "beta"}, 0);
  ASSERT_TRUE(Store().WriteLink(1, {true, "/opt/games/arena/arena.bin"}).ok());
  const QString link = QString::fromLatin1(Row().panel) + QStringLiteral("profile_link_");
  Choose(1);
  EXPECT_TRUE(Find(link + "check").IsSelected());
  EXPECT_EQ(Find(link + "edit").Text(), QStringLiteral("arena.bin"));
  EXPECT_TRUE(Find(link + "name_hor").IsVisible());
  Choose(0);
  EXPECT_FALSE(Find(link + "check").IsSelected());
  EXPECT_FALSE(Find(link + "name_hor").IsVisible());
}

// --- the operations ---------------------------------------------------------------------------

TEST_P(ProfilePanelTest, AddTakesTheLowestFreeNumberAndSelectsTheNewProfile) {
  // Names compare without regard to letter case.
  Seed({"新配置文件1", "x", "新配置文件3"}, 1);
  ASSERT_TRUE(Store().RenameProfile(1, "新配置文件2X").ok());
  ASSERT_TRUE(UpdateIniFile(Store().IndexPath(), [&](IniFile& ini) {
    ini.SetString(Layout().sections.name, "1", "新配置文件2x");
  }));
  ASSERT_TRUE(WriteProfileFile(File("新配置文件2x"), Layout().tag, DefaultPayload()));
  panel->Initialise();

  ClickButton("add_btn");
  EXPECT_TRUE(boxes.isEmpty()) << boxes.join("|").toStdString();
  EXPECT_EQ(Items(), (QStringList{"新配置文件1", "新配置文件2x", "新配置文件3", "新配置文件2"}));
  EXPECT_EQ(Combo().CurSel(), 3);
  EXPECT_EQ(Store().SelectedIndex(), 3);
  EXPECT_EQ(NameEdit().Text(), QStringLiteral("新配置文件2"));
  EXPECT_EQ(Payload("新配置文件2"), DefaultPayload());
  const IniFile index = IniFile::Load(Store().IndexPath());
  EXPECT_EQ(index.GetString(Layout().sections.link, "3", "missing"), "0");
  EXPECT_EQ(index.GetString(Layout().sections.process, "3", "missing"), "");
  EXPECT_EQ(effects.size(), 1u) << "the new profile is put into effect";
}

TEST_P(ProfilePanelTest, CopyRepeatsTheSuffixUntilTheNameIsFree) {
  Seed({"alpha", "alpha copy"}, 0);
  ASSERT_TRUE(WriteProfileFile(File("alpha"), Layout().tag, Marked(0x66)));
  ClickButton("copy_btn");
  EXPECT_EQ(Items(), (QStringList{"alpha", "alpha copy", "alpha copy copy"}));
  EXPECT_EQ(Combo().CurSel(), 2);
  EXPECT_EQ(Payload("alpha copy copy"), Marked(0x66));
  EXPECT_EQ(Row().imageByte6(*session), 0x66);
  // No link entry is left beyond the list for a later profile.
  EXPECT_FALSE(IniFile::Load(Store().IndexPath()).HasKey(Layout().sections.link, "3"));
}

TEST_P(ProfilePanelTest, DeleteAsksThenSelectsTheNewLastProfile) {
  Seed({"alpha", "beta", "gamma"}, 0);
  ASSERT_TRUE(Store().WriteLink(2, {true, "/opt/game/run"}).ok());
  Choose(1);
  effects.clear();

  answer = 0;  // cancelled
  ClickButton("sub_btn");
  EXPECT_EQ(boxes, QStringList{QStringLiteral("message_text_12")});
  EXPECT_EQ(Items().size(), 3);

  boxes.clear();
  answer = 1;
  ClickButton("sub_btn");
  EXPECT_EQ(boxes, QStringList{QStringLiteral("message_text_12")});
  EXPECT_EQ(Items(), (QStringList{"alpha", "gamma"}));
  EXPECT_EQ(Combo().CurSel(), 1);
  EXPECT_EQ(Store().SelectedIndex(), 1);
  EXPECT_FALSE(std::filesystem::exists(File("beta")));
  EXPECT_EQ(Store().ReadLink(1).executable, "/opt/game/run") << "the link moved down with its profile";
  EXPECT_EQ(effects.size(), 1u);

  // The last profile stays.
  boxes.clear();
  Seed({"alpha"}, 0);
  ClickButton("sub_btn");
  EXPECT_EQ(boxes, QStringList{QStringLiteral("message_text_11")});
  EXPECT_TRUE(std::filesystem::exists(File("alpha")));
}

TEST_P(ProfilePanelTest, RenameMovesTheFileAndRefusesTakenOrUnusableNames) {
  Seed({"alpha", "beta"}, 0);
  ASSERT_TRUE(WriteProfileFile(File("alpha"), Layout().tag, Marked(0x17)));

  struct Refusal {
    const char* name;
    const char* text;
  };
  const Refusal refusals[] = {{"", "message_text_14"},
                              {"ALPHA", "message_text_15"},  // its own name, in another case
                              {"Beta", "message_text_15"},
                              {"../escape", "message_text_name_refused"}};
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.name);
    boxes.clear();
    NameEdit().SetText(QString::fromUtf8(refusal.name));
    ClickPanel("profile_edit_save_btn");
    EXPECT_EQ(boxes, QStringList{QString::fromLatin1(refusal.text)});
    EXPECT_EQ(Items(), (QStringList{"alpha", "beta"}));
    EXPECT_EQ(Payload("alpha"), Marked(0x17));
  }
  EXPECT_FALSE(std::filesystem::exists(home.path() / "KORVA" / "escape.led"));

  // A new file that cannot be written: the message, and the list, the index and the old file stay.
  boxes.clear();
  std::filesystem::create_directories(File("blocked"));
  NameEdit().SetText(QStringLiteral("blocked"));
  ClickPanel("profile_edit_save_btn");
  EXPECT_EQ(boxes, QStringList{QString::fromLatin1(kTextProfileWriteFailed)});
  EXPECT_EQ(Store().Names(), (std::vector<std::string>{"alpha", "beta"}));
  EXPECT_EQ(Payload("alpha"), Marked(0x17));

  boxes.clear();
  NameEdit().SetText(QStringLiteral("Renamed"));
  ClickPanel("profile_edit_save_btn");
  EXPECT_TRUE(boxes.isEmpty()) << boxes.join("|").toStdString();
  EXPECT_EQ(Items(), (QStringList{"Renamed", "beta"}));
  EXPECT_EQ(Combo().ItemUserData(0), QStringLiteral("Renamed"));
  EXPECT_EQ(Combo().CurSel(), 0);
  EXPECT_EQ(NameEdit().Text(), QStringLiteral("Renamed"));
  EXPECT_EQ(Payload("Renamed"), Marked(0x17));
  EXPECT_FALSE(std::filesystem::exists(File("alpha")));
}

TEST_P(ProfilePanelTest, ImportReplacesTheSelectedProfileAndAppliesIt) {
  Seed({"alpha", "beta"}, 1);
  const std::filesystem::path source = home.path() / "shared.bin";
  ASSERT_TRUE(WriteProfileFile(source, Layout().tag, Marked(0x3C)));

  chosen = std::nullopt;  // cancelled: nothing happens
  ClickButton("import_btn");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests.front().dialog, ProfileFileDialog::kOpen);
  EXPECT_EQ(requests.front().defaultSuffix, QString::fromLatin1(Layout().extension.substr(1).data(), 3));
  EXPECT_EQ(requests.front().filter,
            QStringLiteral("(*%1)").arg(QString::fromLatin1(Layout().extension.data(), 4)));
  EXPECT_EQ(Payload("beta"), DefaultPayload());

  chosen = source;
  ClickButton("import_btn");
  EXPECT_TRUE(boxes.isEmpty()) << boxes.join("|").toStdString();
  EXPECT_EQ(Payload("beta"), Marked(0x3C));
  EXPECT_EQ(Payload("alpha"), DefaultPayload());
  EXPECT_EQ(Items(), (QStringList{"alpha", "beta"}));
  EXPECT_EQ(Combo().CurSel(), 1);
  ASSERT_EQ(effects.size(), 1u);
  EXPECT_EQ(Row().imageByte6(*session), 0x3C);

  // Not a profile file: the message, and the profile keeps its content.
  const std::filesystem::path damaged = home.path() / "damaged.bin";
  ASSERT_TRUE(korva::WriteFileAtomically(damaged, std::string_view("not a profile at all")));
  chosen = damaged;
  ClickButton("import_btn");
  EXPECT_EQ(boxes, QStringList{QStringLiteral("message_text_9")});
  EXPECT_EQ(Payload("beta"), Marked(0x3C));
}

TEST_P(ProfilePanelTest, ExportWritesTheSelectedProfileWithTheStoresTag) {
  Seed({"alpha", "beta"}, 0);
  ASSERT_TRUE(WriteProfileFile(File("alpha"), Layout().tag, Marked(0x71)));
  const std::filesystem::path target = home.path() / "exported";
  chosen = target;
  ClickButton("export_btn");
  EXPECT_TRUE(boxes.isEmpty()) << boxes.join("|").toStdString();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests.front().dialog, ProfileFileDialog::kSave);

  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(korva::ReadWholeFile(target, bytes));
  ASSERT_EQ(bytes.size(), 16 + Layout().payloadSize);
  EXPECT_EQ(bytes[0], 0xAA);
  EXPECT_EQ(bytes[1], 0x55);
  EXPECT_EQ(bytes[4], static_cast<std::uint8_t>(Layout().tag));
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 16, bytes.end()), Marked(0x71));
}

TEST_P(ProfilePanelTest, RestorePutsTheDefaultProfileIntoTheSelectedOne) {
  Seed({"alpha", "beta"}, 1);
  // The previous content, with the mouse's desktop settings in their places.
  std::vector<std::uint8_t> previous = Marked(0x29);
  if (Row().store == StoreKind::kMouseLight) {
    previous[23] = 14;  // pointer speed
    previous[24] = 6;   // wheel lines
  }
  ASSERT_TRUE(WriteProfileFile(File("beta"), Layout().tag, previous));
  Choose(0);
  Choose(1);
  effects.clear();

  ClickPanel("profile_restore_btn");
  EXPECT_TRUE(boxes.isEmpty()) << boxes.join("|").toStdString();
  ASSERT_EQ(effects.size(), 1u);
  const std::vector<std::uint8_t> defaults = DefaultPayload();
  const std::vector<std::uint8_t> restored = Payload("beta");
  ASSERT_EQ(restored.size(), defaults.size());
  switch (Row().store) {
    case StoreKind::kMouseLight:
      // The 56 bytes a record keeps; the saved desktop settings stay until the next save, while
      // the desktop gets pointer speed 10 and wheel lines 1.
      EXPECT_TRUE(std::equal(defaults.begin(), defaults.begin() + 23, restored.begin()));
      EXPECT_EQ(restored[23], 14);
      EXPECT_EQ(restored[24], 6);
      EXPECT_EQ(effects.front().pointerSpeed, 10);
      EXPECT_EQ(effects.front().wheelLines, 1);
      break;
    case StoreKind::kMousepadLight:
      EXPECT_TRUE(std::equal(defaults.begin(), defaults.begin() + 56, restored.begin()));
      EXPECT_TRUE(std::all_of(restored.begin() + 56, restored.end(), [](std::uint8_t b) { return b == 0; }));
      break;
    default:
      EXPECT_EQ(restored, defaults);
      break;
  }
  EXPECT_EQ(Row().imageByte6(*session), defaults[6]);
  EXPECT_EQ(Payload("alpha"), DefaultPayload()) << "only the selected profile";
}

TEST_P(ProfilePanelTest, LinkAndUnlinkThroughTheLinkRow) {
  Seed({"a", "b", "c"}, 0);
  const QString p = QString::fromLatin1(Row().panel) + QStringLiteral("profile_link_");
  const IndexSections& s = Layout().sections;
  auto flag = [&](int i) { return ReadIniString(Store().IndexPath(), s.link, std::to_string(i), "?"); };
  auto path = [&](int i) { return ReadIniString(Store().IndexPath(), s.process, std::to_string(i), "?"); };
  auto check = [&](bool on) { Find(p + "check").Select(on, ui::SendNotify::Yes); };

  // Linked: the name after the last "/" shows in its row.
  executable = "/usr/games/racer";
  check(true);
  EXPECT_EQ(linkChanges, 1) << "the watcher is told";
  EXPECT_EQ(flag(0), "1");
  EXPECT_EQ(path(0), "/usr/games/racer");
  EXPECT_EQ(Find(p + "edit").Text(), QStringLiteral("racer"));
  EXPECT_TRUE(Find(p + "check").IsSelected());
  EXPECT_TRUE(Find(p + "name_hor").IsVisible());

  // The same program for another profile of the store: refused, nothing changes.
  Choose(1);
  EXPECT_FALSE(Find(p + "check").IsSelected());
  executable = "/USR/games/racer";
  check(true);
  EXPECT_EQ(boxes, QStringList{QStringLiteral("message_text_13")});
  EXPECT_FALSE(Find(p + "check").IsSelected());
  EXPECT_EQ(flag(1), "0");
  EXPECT_EQ(linkChanges, 1) << "a refusal changes no link";

  // Cancelled dialog: unlinked, "0" and a single space.
  executable.reset();
  check(true);
  EXPECT_FALSE(Find(p + "check").IsSelected());
  EXPECT_EQ(flag(1), "0");
  EXPECT_EQ(path(1), "");  // reads trim the single space

  // The unlink button on the linked profile.
  Choose(0);
  EXPECT_TRUE(Find(p + "check").IsSelected());
  ClickPanel("profile_link_btn");
  EXPECT_EQ(flag(0), "0");
  EXPECT_EQ(Find(p + "edit").Text(), QStringLiteral(" "));
  EXPECT_FALSE(Find(p + "name_hor").IsVisible());
  EXPECT_EQ(boxes.size(), 1);
}

TEST_P(ProfilePanelTest, WithoutAForegroundProviderALineSaysSoAndLinkingStillWorks) {
  Seed({"a", "b"}, 0);
  const QString p = QString::fromLatin1(Row().panel) + QStringLiteral("profile_link_");
  ui::Control line = Find(p + "none");
  ASSERT_TRUE(line.IsValid());
  EXPECT_FALSE(line.IsVisible()) << "hidden until the program knows";

  panel->SetSwitchingAvailable(false);
  EXPECT_TRUE(line.IsVisible());
  EXPECT_EQ(line.Text(), skin_->Text(QString::fromLatin1(kTextNoForegroundLine)));
  EXPECT_FALSE(line.Text().isEmpty());
  EXPECT_NE(line.Text(), QString::fromLatin1(kTextNoForegroundLine)) << "shown translated, not as its id";
  EXPECT_EQ(line.ToolTip(), skin_->Text(QString::fromLatin1(kTextNoForegroundProvider)));

  executable = "/usr/games/racer";
  Find(p + "check").Select(true, ui::SendNotify::Yes);
  EXPECT_EQ(Store().ReadLink(0).executable, "/usr/games/racer");
  EXPECT_TRUE(Find(p + "name_hor").IsVisible());
  EXPECT_TRUE(line.IsVisible());

  panel->SetSwitchingAvailable(true);
  EXPECT_FALSE(line.IsVisible());
}

TEST_P(ProfilePanelTest, TheLinkedProfileShowsWhileTheHandChosenOneStaysSelected) {
  Seed({"a", "b"}, 0);
  ASSERT_TRUE(WriteProfileFile(File("b"), Layout().tag, Marked(0x2B)));
  EXPECT_EQ(shownIndex, 0);
  effects.clear();
  panel->ShowLinked(1);
  EXPECT_EQ(Combo().CurSel(), 1);
  EXPECT_EQ(shownIndex, 1);
  EXPECT_EQ(NameEdit().Text(), QStringLiteral("b"));
  EXPECT_EQ(Store().SelectedIndex(), 0);
  ASSERT_EQ(effects.size(), 1u);
  EXPECT_EQ(Row().imageByte6(*session), 0x2B);

  // The hand-chosen profile again, as a selection by hand.
  panel->ShowLinked(0);
  EXPECT_EQ(Combo().CurSel(), 0);
  EXPECT_EQ(shownIndex, 0);
  EXPECT_EQ(Row().imageByte6(*session), DefaultPayload()[6]);
  EXPECT_EQ(Store().SavedIndex(), 0);
  // Out of the list: nothing.
  panel->ShowLinked(7);
  EXPECT_EQ(Combo().CurSel(), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryStore, ProfilePanelTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<StoreRow>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace korva::profile
