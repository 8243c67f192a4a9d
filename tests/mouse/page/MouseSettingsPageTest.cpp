// The mouse sensitivity page built from the shipped skin inside a window, routed as the main window
// routes it, over the page model, a simulated mouse and a fake desktop.

#include "mouse/page/MouseSettingsPage.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <ostream>
#include <vector>

#include "SimMouse.h"
#include "lighting/LightingRecords.h"
#include "mouse/MouseProfiles.h"
#include "mouse/MouseTransfer.h"
#include "platform/FakeDesktopPointerSettings.h"
#include "ui/PageTable.h"
#include "ui/controls/StandardControls.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace korva::mouse {
namespace {

using test::MouseStores;
using test::Request;
using test::Sent;
using test::SimMouse;
using ui::Control;

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "korva_mouse_page_tests";
  static char* argv[] = {name, nullptr};
  // Kept for the whole run.
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
}

// The window: the sensitivity page beside the button page (whose function editor a profile switch
// hides), both built from their page files as the main window builds them.
class PageWindow : public ui::SkinWindow, public ui::IDialogBuilderCallback {
 public:
  using SkinWindow::SkinWindow;
  QWidget* CreateControl(const QString& cls) override {
    if (auto file = ui::PageFileForClass(cls)) return BuildPage(*file);
    return nullptr;
  }
};

// What the main window's Notify does: every notification to the routing.
class RoutingNotifier : public ui::INotifyUI {
 public:
  explicit RoutingNotifier(ui::NotifyRouter& router) : router_(router) {}
  void Notify(const ui::Notification& msg) override {
    if (msg.type == QLatin1String(ui::notify::kMouseEnter) ||
        msg.type == QLatin1String(ui::notify::kMouseLeave))
      return;
    handled.push_back(msg.name + QLatin1Char('/') + msg.type +
                      (router_.Dispatch(msg).handled ? "" : " unhandled"));
  }
  QStringList handled;

 private:
  ui::NotifyRouter& router_;
};

class MouseSettingsPageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    EnsureApplication();
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
    ASSERT_TRUE(mouse.opened);
    ASSERT_TRUE(stores.ready);
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("window.xml"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(
        R"(<Window size="1100,560"><HorizontalLayout><MS_DPI_UI/><MS_Key_UI/></HorizontalLayout></Window>)");
    out.close();
    window = std::make_unique<PageWindow>(*skin_);
    auto error = window->Build(file, window.get());
    ASSERT_FALSE(error) << error->ToString();
    router = std::make_unique<ui::NotifyRouter>(*window, records);
    notifier = std::make_unique<RoutingNotifier>(*router);
    window->AddNotifier(notifier.get());
    page = std::make_unique<MouseSettingsPage>(*window, model, mouse.device, desktop);
    ASSERT_TRUE(page->RegisterRoutes(*router));

    // The mouse as the arrival finds it.
    MouseImage fresh = model.image();
    ASSERT_TRUE(ReadMouseAll(mouse.device, fresh).ok());
    model.TakeImage(fresh);
    page->Refresh();
    mouse.ClearRequests();
  }

  void TearDown() override {
    if (window) window->RemoveNotifier(notifier.get());
  }

  Control Find(const QString& name) const { return window->FindControl(name); }
  Control Find(const char* name) const { return Find(QString::fromLatin1(name)); }
  static QString Stage(int k, const char* role) { return QStringLiteral("ms_DPI%1%2").arg(k).arg(role); }
  void Raise(const char* name, const char* type, qint64 wParam = 0) {
    window->SendNotify(Find(name), QString::fromLatin1(type), wParam);
  }
  // A user's click: the press and release the skin turns into "click".
  void Click(const QString& name) {
    QWidget* widget = Find(name).Widget();
    ASSERT_NE(widget, nullptr) << name.toStdString();
    QTest::mouseClick(widget, Qt::LeftButton);
  }
  std::vector<std::uint8_t> SavedLight() const {
    return stores.light->LoadProfile(stores.light->SelectedIndex()).payload;
  }
  MouseActiveSettings& Active() { return model.image().active; }

  static ui::Skin* skin_;
  SimMouse mouse;
  MouseStores stores;
  MousePageModel model{stores.light.get()};
  platform::FakeDesktopPointerSettings desktop;
  QTemporaryDir folder;
  lighting::LightingRecords records;
  std::unique_ptr<PageWindow> window;
  std::unique_ptr<ui::NotifyRouter> router;
  std::unique_ptr<RoutingNotifier> notifier;
  std::unique_ptr<MouseSettingsPage> page;  // last: goes first
};
ui::Skin* MouseSettingsPageTest::skin_ = nullptr;

// --- RefreshMouseUi -----------------------------------------------------------------------------

TEST_F(MouseSettingsPageTest, RefreshShowsTheMouseAsRead) {
  // The simulated mouse: sensor 0x3360, highest step 83, stages 6/14/30/55/71/83, current stage 1,
  // report rate 3, lift height 2, indicator white.
  EXPECT_EQ(Find("ms_report_fct_combo").CurSel(), 3);
  const std::array<const char*, 6> cpi = {"800", "1600", "3200", "6400", "9600", "12000"};
  for (int k = 1; k <= 6; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(Find(Stage(k, "_min")).Text(), QStringLiteral("100"));
    EXPECT_EQ(Find(Stage(k, "_max")).Text(), QStringLiteral("12000"));
    const Control slider = Find(Stage(k, "_slider"));
    EXPECT_EQ(slider.Minimum(), 0);
    EXPECT_EQ(slider.Maximum(), 83);
    EXPECT_EQ(slider.Value(), Active().Stage(k));
    EXPECT_EQ(Find(Stage(k, "_label_value")).Text(),
              QString::fromLatin1(cpi[static_cast<std::size_t>(k - 1)]));
    const quint32 colour = k == 2 ? 0xFFFF0000 : 0xFFFFFFFF;
    EXPECT_EQ(Find(Stage(k, "_label_rank")).TextColor(), colour);
    EXPECT_EQ(Find(Stage(k, "_label_value")).TextColor(), colour);
  }
  EXPECT_EQ(Find("ms_sensor_height_slider").Value(), 2);
  EXPECT_EQ(Find("ms_DPI_colordp_btn").BkColor(), 0xFFFFFFFFu);
  EXPECT_EQ(Find("ms_DPI_colordp_btn").BkImage(), QString());
  EXPECT_EQ(Find("Pallet").SelectColor(), 0xFFFFFFFFu);
  for (const char* edit : {"ms_DPI_edit_R", "ms_DPI_edit_G", "ms_DPI_edit_B"})
    EXPECT_EQ(Find(edit).Text(), QStringLiteral("255")) << edit;
  EXPECT_EQ(Find("ms_point_speed_slider").Minimum(), 0);
  EXPECT_EQ(Find("ms_point_speed_slider").Maximum(), 10);
  EXPECT_EQ(Find("ms_point_speed_slider").Value(), 5);
  EXPECT_EQ(Find("ms_gunlun_speed_edit").Text(), QStringLiteral("3"));
  EXPECT_TRUE(Find("ms_profile_0").IsSelected());
}

TEST_F(MouseSettingsPageTest, StageLabelsShowCountsPerInch) {
  struct Row {
    int step;
    const char* text;
  };
  // Steps of 100 up to 48, then steps of 200: 48 and 49 lie 200 apart.
  const Row rows[] = {{0, "200"}, {1, "300"}, {48, "5000"}, {49, "5200"}, {83, "12000"}};
  int k = 1;
  for (const Row& row : rows) {
    Active().SetStage(k, static_cast<std::uint8_t>(row.step));
    page->Refresh();
    EXPECT_EQ(Find(Stage(k, "_label_value")).Text(), QString::fromLatin1(row.text)) << "step " << row.step;
    EXPECT_EQ(Find(Stage(k, "_slider")).Value(), row.step);
    k = k % 6 + 1;
  }
}

TEST_F(MouseSettingsPageTest, SensorModelSetsTheRangeLabels) {
  struct Row {
    std::uint16_t sensor;
    const char* min;
    const char* max;
  };
  // An unknown sensor leaves the labels as the previous one set them.
  const Row rows[] = {{0x3310, "50", "5000"},
                      {0x3325, "200", "5000"},
                      {0x1234, "200", "5000"},
                      {0x3050, "250", "4000"},
                      {0x3360, "100", "12000"}};
  for (const Row& row : rows) {
    model.image().info.bytes[MouseDeviceInfo::kSensorModel] = static_cast<std::uint8_t>(row.sensor & 0xFF);
    model.image().info.bytes[MouseDeviceInfo::kSensorModel + 1] = static_cast<std::uint8_t>(row.sensor >> 8);
    page->Refresh();
    for (int k = 1; k <= 6; ++k) {
      EXPECT_EQ(Find(Stage(k, "_min")).Text(), QString::fromLatin1(row.min))
          << std::hex << row.sensor << " " << k;
      EXPECT_EQ(Find(Stage(k, "_max")).Text(), QString::fromLatin1(row.max))
          << std::hex << row.sensor << " " << k;
    }
  }
  // Whatever the sensor, the figures use the base 200 (a value of 0 shows "200", not "50").
  Active().SetStage(1, 0);
  model.image().info.bytes[MouseDeviceInfo::kSensorModel] = 0x10;
  model.image().info.bytes[MouseDeviceInfo::kSensorModel + 1] = 0x33;
  page->Refresh();
  EXPECT_EQ(Find(Stage(1, "_label_value")).Text(), QStringLiteral("200"));
  EXPECT_EQ(model.image().info.CpiBase(), 200);
}

TEST_F(MouseSettingsPageTest, CurrentStageIsPaintedRed) {
  constexpr quint32 kRed = 0xFFFF0000, kWhite = 0xFFFFFFFF, kUntouched = 0xFF123456;
  struct Row {
    std::uint8_t current;
    std::array<quint32, 6> colours;
  };
  // A current stage above 5 marks stage 1 and leaves stages 5 and 6 as they were.
  const Row rows[] = {
      {5, {kWhite, kWhite, kWhite, kWhite, kWhite, kRed}},
      {0, {kRed, kWhite, kWhite, kWhite, kWhite, kWhite}},
      {9, {kRed, kWhite, kWhite, kWhite, kUntouched, kUntouched}},
  };
  for (const Row& row : rows) {
    for (int k = 1; k <= 6; ++k) {
      Find(Stage(k, "_label_rank")).SetTextColor(kUntouched);
      Find(Stage(k, "_label_value")).SetTextColor(kUntouched);
    }
    Active().bytes[MouseActiveSettings::kCurrentStage] = row.current;
    page->Refresh();
    for (int k = 1; k <= 6; ++k) {
      const quint32 expected = row.colours[static_cast<std::size_t>(k - 1)];
      EXPECT_EQ(Find(Stage(k, "_label_rank")).TextColor(), expected)
          << "current " << int{row.current} << " stage " << k;
      EXPECT_EQ(Find(Stage(k, "_label_value")).TextColor(), expected)
          << "current " << int{row.current} << " stage " << k;
    }
  }
}

TEST_F(MouseSettingsPageTest, ReportRateBeyondTheItemsClearsTheCombo) {
  Active().bytes[MouseActiveSettings::kReportRate] = 9;
  page->Refresh();
  EXPECT_EQ(Find("ms_report_fct_combo").CurSel(), -1);
  Active().bytes[MouseActiveSettings::kReportRate] = 1;
  page->Refresh();
  EXPECT_EQ(Find("ms_report_fct_combo").CurSel(), 1);
}

TEST_F(MouseSettingsPageTest, RefreshRunsTheOtherPagesHooksAroundItsOwnControls) {
  std::vector<QString> seen;
  page->Hooks().lighting = [&] { seen.push_back("lighting " + Find(Stage(1, "_label_value")).Text()); };
  page->Hooks().buttonLabels = [&](int bank) {
    seen.push_back("buttons " + QString::number(bank) + " " + Find(Stage(1, "_label_value")).Text());
  };
  Active().SetStage(1, 48);
  Active().bytes[MouseActiveSettings::kActiveProfile] = 3;
  page->Refresh();
  EXPECT_EQ(seen, (std::vector<QString>{"lighting 800", "buttons 3 5000"}));
  EXPECT_TRUE(Find("ms_profile_3").IsSelected());
  EXPECT_FALSE(Find("ms_profile_0").IsSelected());
}

// --- settings edits ----------------------------------------------------------------------------

struct SettingsRow {
  const char* control;
  const char* type;
  int value;
  std::size_t byte;
  friend void PrintTo(const SettingsRow& row, std::ostream* out) { *out << row.control << " " << row.type; }
};

class SettingsNotificationTest : public MouseSettingsPageTest,
                                 public ::testing::WithParamInterface<SettingsRow> {};

TEST_P(SettingsNotificationTest, StoresTheByteSetsTheFlagSavesAndTheFlushWritesIt) {
  const SettingsRow& row = GetParam();
  ASSERT_FALSE(model.pendingWrite());
  ASSERT_NE(Active().bytes[row.byte], row.value);

  Raise(row.control, row.type, row.value);

  ASSERT_EQ(notifier->handled.size(), 1u);
  EXPECT_FALSE(notifier->handled.front().endsWith(QLatin1String("unhandled")))
      << notifier->handled.front().toStdString();
  EXPECT_EQ(Active().bytes[row.byte], row.value);
  EXPECT_TRUE(model.pendingWrite());
  EXPECT_TRUE(mouse.Requests().empty()) << "the page itself sends nothing";
  const std::vector<std::uint8_t> saved = SavedLight();
  ASSERT_EQ(saved.size(), kMouseRecordSize);
  EXPECT_EQ(saved[row.byte], row.value);

  // Timer 2.
  EXPECT_EQ(model.Flush(mouse.device), device::kResultOk);
  EXPECT_FALSE(model.pendingWrite());
  EXPECT_EQ(mouse.firmware().Record(0)[row.byte], row.value);
  EXPECT_EQ(mouse.Requests(), (std::vector<Sent>{Request(0x06, 56, 0)}));
}

INSTANTIATE_TEST_SUITE_P(Controls, SettingsNotificationTest,
                         ::testing::Values(SettingsRow{"ms_DPI1_slider", "valuechanged", 48, 15},
                                           SettingsRow{"ms_DPI2_slider", "valuechanged", 49, 16},
                                           SettingsRow{"ms_DPI3_slider", "valuechanged", 0, 17},
                                           SettingsRow{"ms_DPI4_slider", "valuechanged", 12, 18},
                                           SettingsRow{"ms_DPI5_slider", "valuechanged", 40, 20},
                                           SettingsRow{"ms_DPI6_slider", "valuechanged", 60, 21},
                                           SettingsRow{"ms_report_fct_combo", "itemselect", 1, 14},
                                           SettingsRow{"ms_sensor_height_slider", "valuechanged", 0, 22}),
                         [](const ::testing::TestParamInfo<SettingsRow>& info) {
                           return std::string(info.param.control);
                         });

TEST_F(MouseSettingsPageTest, MovingAStageSliderByTheUserUpdatesItsLabel) {
  Find("ms_DPI2_slider").SetValue(49, ui::SendNotify::Yes);
  EXPECT_EQ(Active().Stage(2), 49);
  EXPECT_EQ(Find("ms_DPI2_label_value").Text(), QStringLiteral("5200"));
}

TEST_F(MouseSettingsPageTest, DraggingAStageSliderChangesOnlyItsLabel) {
  const std::vector<std::uint8_t> before = SavedLight();
  const MouseActiveSettings active = Active();
  Raise("ms_DPI4_slider", "movevaluechanged", 48);
  EXPECT_EQ(Find("ms_DPI4_label_value").Text(), QStringLiteral("5000"));
  EXPECT_EQ(Active(), active);
  EXPECT_FALSE(model.pendingWrite());
  EXPECT_EQ(SavedLight(), before);
}

// --- indicator colour ----------------------------------------------------------------------------

TEST_F(MouseSettingsPageTest, PresetSwatchAndPaletteStoreAndShowTheColour) {
  struct Row {
    const char* control;
    const char* type;
    qint64 wParam;
    quint32 colour;
  };
  const Row rows[] = {
      {"ms_DPI_color_btn_7", "click", 0, 0xFFFE5400},  // preset 7
      {"ms_DPI_color_btn_21", "click", 0, 0xFF000000},
      {"Pallet", "colorchanged", 0xFF102030, 0xFF102030},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.control);
    Find("ms_DPI_colordp_btn").SetBkImage(QStringLiteral("common/check_on.png"));
    Raise(row.control, row.type, row.wParam);
    const auto r = static_cast<std::uint8_t>(row.colour >> 16),
               g = static_cast<std::uint8_t>(row.colour >> 8), b = static_cast<std::uint8_t>(row.colour);
    EXPECT_EQ(Active().bytes[MouseActiveSettings::kIndicatorRed], r);
    EXPECT_EQ(Active().bytes[MouseActiveSettings::kIndicatorGreen], g);
    EXPECT_EQ(Active().bytes[MouseActiveSettings::kIndicatorBlue], b);
    EXPECT_EQ(Find("ms_DPI_colordp_btn").BkColor(), row.colour);
    EXPECT_EQ(Find("ms_DPI_colordp_btn").BkImage(), QString());
    EXPECT_EQ(Find("ms_DPI_edit_R").Text(), QString::number(r));
    EXPECT_EQ(Find("ms_DPI_edit_G").Text(), QString::number(g));
    EXPECT_EQ(Find("ms_DPI_edit_B").Text(), QString::number(b));
    EXPECT_TRUE(model.pendingWrite());
    const std::vector<std::uint8_t> saved = SavedLight();
    ASSERT_EQ(saved.size(), kMouseRecordSize);
    EXPECT_EQ(saved[MouseActiveSettings::kIndicatorRed], r);
    EXPECT_EQ(saved[MouseActiveSettings::kIndicatorBlue], b);
  }
}

TEST_F(MouseSettingsPageTest, TypedComponentIsStoredAndShownWithoutAProfileSave) {
  page->PickIndicatorColour(0xFF102030);
  const std::vector<std::uint8_t> saved = SavedLight();
  model.Flush(mouse.device);
  ASSERT_FALSE(model.pendingWrite());

  struct Row {
    const char* edit;
    const char* typed;
    const char* shown;  // the edit afterwards
    quint32 colour;
  };
  // Each row keeps the components the rows before it typed.
  const Row rows[] = {
      {"ms_DPI_edit_R", "300", "255", 0xFFFF2030},  // above 255: rewritten
      {"ms_DPI_edit_G", "7", "7", 0xFFFF0730},
      {"ms_DPI_edit_B", "", "", 0xFFFF0730},  // emptied while typing: nothing taken
      {"ms_DPI_edit_B", "128", "128", 0xFFFF0780},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.edit) + " " + row.typed);
    Find(row.edit).SetText(QString::fromLatin1(row.typed), ui::SendNotify::Yes);
    EXPECT_EQ(Find(row.edit).Text(), QString::fromLatin1(row.shown));
    EXPECT_EQ(Active().IndicatorColour(), row.colour);
    EXPECT_EQ(Find("ms_DPI_colordp_btn").BkColor(), row.colour);
    EXPECT_EQ(Find("Pallet").SelectColor(), row.colour);
  }
  EXPECT_TRUE(model.pendingWrite());
  EXPECT_EQ(SavedLight(), saved) << "typing does not save the light profile";
  EXPECT_EQ(model.Flush(mouse.device), device::kResultOk);
  const auto record = mouse.firmware().Record(0);
  EXPECT_EQ(record[11], 0xFF);
  EXPECT_EQ(record[12], 0x07);
  EXPECT_EQ(record[13], 0x80);
}

// --- desktop settings ----------------------------------------------------------------------------

TEST_F(MouseSettingsPageTest, WheelLinesButtons) {
  struct Row {
    const char* text;
    bool up;
    const char* shown;
    int lines;
  };
  const Row rows[] = {
      {"0", true, "2", 2},  {"1", false, "1", 1},   {"10", true, "10", 10}, {"3", true, "4", 4},
      {"3", false, "2", 2}, {"15", false, "9", 9},  {"15", true, "10", 10}, {"-4", true, "2", 2},
      {"", true, "2", 2},   {"abc", false, "1", 1}, {"2", false, "1", 1},
  };
  std::vector<int> expected;
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.text) + (row.up ? " up" : " down"));
    Find("ms_gunlun_speed_edit").SetText(QString::fromLatin1(row.text));
    Click(QString::fromLatin1(row.up ? "ms_gunlun_speed_up_btn" : "ms_gunlun_speed_down_btn"));
    EXPECT_EQ(Find("ms_gunlun_speed_edit").Text(), QString::fromLatin1(row.shown));
    EXPECT_EQ(model.image().wheelLines, row.lines);
    const std::vector<std::uint8_t> saved = SavedLight();
    ASSERT_EQ(saved.size(), kMouseRecordSize);
    EXPECT_EQ(saved[MouseProfileRecord::kWheelLines], row.lines);
    expected.push_back(row.lines);
  }
  page->Desktop().WaitForDone();
  EXPECT_FALSE(page->Desktop().Busy());
  EXPECT_EQ(desktop.WheelLinesSet(), expected) << "every change reaches the desktop, in order";
  EXPECT_EQ(desktop.GetWheelScrollLines(), expected.back());
  EXPECT_TRUE(desktop.SpeedsSet().empty());
  EXPECT_FALSE(model.pendingWrite()) << "nothing goes to the mouse";
}

TEST_F(MouseSettingsPageTest, PointerSpeedSliderSetsTheDesktopSpeed) {
  struct Row {
    int slider;
    int speed;
  };
  const Row rows[] = {{7, 14}, {0, 1}, {10, 20}, {5, 10}};
  std::vector<int> expected;
  for (const Row& row : rows) {
    Find("ms_point_speed_slider").SetValue(row.slider, ui::SendNotify::Yes);
    EXPECT_EQ(model.image().pointerSpeed, row.speed) << row.slider;
    EXPECT_EQ(SavedLight().at(MouseProfileRecord::kPointerSpeed), row.speed) << row.slider;
    expected.push_back(row.speed);
  }
  page->Desktop().WaitForDone();
  EXPECT_EQ(desktop.SpeedsSet(), expected);
  EXPECT_TRUE(desktop.WheelLinesSet().empty());
  EXPECT_FALSE(model.pendingWrite());
  EXPECT_TRUE(mouse.Requests().empty());
}

TEST_F(MouseSettingsPageTest, LoadedLightProfileShowsItsSettingsAndAppliesOnlyTheWheelLines) {
  MouseImage other = model.image();
  other.active.SetStage(3, 48);
  other.pointerSpeed = 14;
  other.wheelLines = 6;
  const auto payload = StoreLightRecord(other);

  EXPECT_TRUE(page->LightProfileLoaded(payload));
  EXPECT_EQ(Find("ms_DPI3_label_value").Text(), QStringLiteral("5000"));
  EXPECT_EQ(Find("ms_point_speed_slider").Value(), 7);
  EXPECT_EQ(Find("ms_gunlun_speed_edit").Text(), QStringLiteral("6"));
  EXPECT_TRUE(model.pendingWrite());
  page->Desktop().WaitForDone();
  EXPECT_EQ(desktop.WheelLinesSet(), std::vector<int>{6});
  EXPECT_TRUE(desktop.SpeedsSet().empty());

  const std::vector<std::uint8_t> wrongSize(10, 0);
  EXPECT_FALSE(page->LightProfileLoaded(wrongSize));
  EXPECT_EQ(Find("ms_gunlun_speed_edit").Text(), QStringLiteral("6"));
}

// --- device operations ---------------------------------------------------------------------------

TEST_F(MouseSettingsPageTest, ClickOnTheActiveProfileSendsOnlyTheOneByteRead) {
  Find("ms_tab_function").SetVisible(true);
  const MouseImage before = model.image();
  Click(QStringLiteral("ms_profile_0"));
  EXPECT_EQ(mouse.Requests(), (std::vector<Sent>{Request(0x05, 1, 0)}));
  EXPECT_EQ(model.image(), before);
  EXPECT_TRUE(Find("ms_tab_function").IsVisible());
  EXPECT_TRUE(Find("ms_profile_0").IsSelected());
}

TEST_F(MouseSettingsPageTest, ClickOnAnotherProfileSwitchesHidesTheEditorAndRefreshes) {
  auto record = mouse.firmware().Record(2);
  record[17] = 49;  // stage 3
  record[19] = 4;   // current stage 5
  mouse.firmware().SetRecord(2, record);
  Find("ms_tab_function").SetVisible(true);
  int labelledBank = -1;
  page->Hooks().buttonLabels = [&](int bank) { labelledBank = bank; };

  Click(QStringLiteral("ms_profile_2"));

  EXPECT_EQ(mouse.Requests(),
            (std::vector<Sent>{Request(0x05, 1, 0), Request(0x06, 1, 0), Request(0x05, 56, 128)}));
  EXPECT_EQ(mouse.firmware().ActiveProfile(), 2);
  EXPECT_EQ(Active().ActiveProfile(), 2);
  EXPECT_FALSE(Find("ms_tab_function").IsVisible());
  EXPECT_EQ(Find("ms_DPI3_label_value").Text(), QStringLiteral("5200"));
  EXPECT_EQ(Find("ms_DPI5_label_value").TextColor(), 0xFFFF0000u);
  EXPECT_TRUE(Find("ms_profile_2").IsSelected());
  EXPECT_EQ(labelledBank, 2);
}

TEST_F(MouseSettingsPageTest, FailedSwitchShowsTheProfileInUseAgain) {
  mouse.device.connected = false;
  Click(QStringLiteral("ms_profile_3"));
  EXPECT_TRUE(mouse.Requests().empty());
  EXPECT_EQ(Active().ActiveProfile(), 0);
  EXPECT_TRUE(Find("ms_profile_0").IsSelected());
  EXPECT_FALSE(Find("ms_profile_3").IsSelected());
}

TEST_F(MouseSettingsPageTest, FactoryResetRestoresTheDesktopDefaultsAndAsksTheMouseOnce) {
  Find("ms_point_speed_slider").SetValue(2, ui::SendNotify::Yes);
  Find("ms_gunlun_speed_edit").SetText(QStringLiteral("7"));
  page->Desktop().WaitForDone();
  mouse.ClearRequests();
  const int restoresBefore = mouse.firmware().RestoreCount();
  const int storedSpeed = model.image().pointerSpeed;
  const int storedLines = model.image().wheelLines;

  Click(QStringLiteral("ms_one_profile_default"));

  EXPECT_EQ(model.image().pointerSpeed, storedSpeed) << "the stored values are not the reset's";
  EXPECT_EQ(model.image().wheelLines, storedLines);
  EXPECT_EQ(Find("ms_point_speed_slider").Value(), 5);
  EXPECT_EQ(Find("ms_gunlun_speed_edit").Text(), QStringLiteral("3"));
  page->Desktop().WaitForDone();
  EXPECT_EQ(desktop.SpeedsSet(), (std::vector<int>{4, 10}));
  EXPECT_EQ(desktop.WheelLinesSet(), std::vector<int>{3});
  EXPECT_EQ(mouse.Requests(), (std::vector<Sent>{Request(0x0D, 0, 0)}));
  EXPECT_EQ(mouse.firmware().RestoreCount(), restoresBefore + 1);
}

TEST_F(MouseSettingsPageTest, DestroyingThePageWaitsForTheDesktop) {
  for (int i = 0; i < 20; ++i) page->ClickWheelLines(i % 2 == 0);
  page.reset();
  EXPECT_EQ(desktop.WheelLinesSet().size(), 20u);
}

}  // namespace
}  // namespace korva::mouse

// fontconfig keeps its font caches until the process ends; they are not ours to free.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
