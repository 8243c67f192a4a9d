// The program as main() starts it with --simulate, its data under $KORVA_HOME: the device pages
// answer their controls and the simulated devices, through the wiring Application puts in place.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <filesystem>

#include "AppTestSupport.h"
#include "app/Application.h"
#include "app/MainWnd.h"
#include "session/MouseController.h"
#include "mouse/MouseImage.h"
#include "mouse/MouseSettingsRules.h"
#include "sim/SimBus.h"
#include "profile/ProfileStore.h"
#include "session/KeyboardController.h"
#include "sim/SimFirmware.h"

namespace korva::app {
namespace {

using mouse::MouseActiveSettings;
using test::WaitFor;

class ApplicationWiringIntegrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(runtime.isValid() && home.isValid());
    // The data folder comes from the environment, as for a user.
    qputenv("KORVA_HOME", home.path().toUtf8());
    // No desktop backend: nothing here may change the desktop's pointer settings.
    qunsetenv("XDG_CURRENT_DESKTOP");
  }

  AppOptions Options() {
    AppOptions options;
    options.commandLine.simulate = true;
    options.commandLine.noSimPanel = true;
    options.runtimeDir = runtime.path();
    options.trayAvailable = true;
    options.watchSuspend = false;
    options.messageBox = [this](QWidget*, const QString& text) {
      boxes.append(text);
      return 1;
    };
    return options;
  }

  // The bus id of the simulated device of `kind`.
  static int DeviceOf(sim::SimBus& bus, sim::SimDeviceKind kind) {
    for (int id = 1; bus.IsPlugged(id); ++id)
      if (bus.Firmware(id).Kind() == kind) return id;
    return 0;
  }

  QTemporaryDir runtime;
  QTemporaryDir home;
  QStringList boxes;
};

TEST_F(ApplicationWiringIntegrationTest, TheSimulatedMouseReachesItsPageAndThePageReachesTheMouse) {
  Application app(Options());
  QString error;
  ASSERT_EQ(app.Start(&error), Application::StartResult::kRunning) << error.toStdString();
  CMainWnd& window = *app.MainWindow();
  sim::SimBus& bus = *app.SimulatedBus();
  const int mouse = DeviceOf(bus, sim::SimDeviceKind::kMouse);
  ASSERT_NE(mouse, 0);
  auto control = [&](const char* name) { return window.FindControl(QString::fromLatin1(name)); };
  auto stageOnMouse = [&](int k) {
    const sim::SimFirmware& firmware = bus.Firmware(mouse);
    return firmware.Record(
        firmware.ActiveProfile())[MouseActiveSettings::kStageOffsets[static_cast<std::size_t>(k - 1)]];
  };

  // Arrival: the page shows the mouse's first stage as the mouse holds it.
  ASSERT_TRUE(WaitFor(
      [&] {
        return control("ms_tab").IsVisible() &&
               window.Session().Mouse().Model().image().info.bytes != mouse::MouseDeviceInfo{}.bytes;
      },
      20000));
  EXPECT_EQ(control("ms_DPI1_slider").Value(), stageOnMouse(1));
  EXPECT_EQ(control("ms_DPI1_label_value").Text(),
            QString::fromStdString(mouse::StageCpiText(stageOnMouse(1))));
  const std::filesystem::path base = home.path().toStdString();
  EXPECT_TRUE(std::filesystem::is_regular_file(base / "ms" / "msProfile.ini"));

  // A stage moved on the page is on the mouse within timer 2's tick.
  const int value = stageOnMouse(2) == 30 ? 31 : 30;
  control("ms_DPI2_slider").SetValue(value, ui::SendNotify::Yes);
  EXPECT_EQ(control("ms_DPI2_label_value").Text(), QString::fromStdString(mouse::StageCpiText(value)));
  EXPECT_TRUE(WaitFor([&] { return stageOnMouse(2) == value; }, 1000));

  // The routing's message goes to the program's message box.
  ASSERT_TRUE(WaitFor([&] { return control("kb_tab").IsVisible(); }));
  qobject_cast<QAbstractButton*>(control("ms_tab").Widget())->click();
  control("ms_macro_tab_saveorcancel").SetVisible(true);
  qobject_cast<QAbstractButton*>(control("kb_tab").Widget())->click();
  EXPECT_TRUE(control("ms_tab").IsSelected());
  EXPECT_EQ(boxes, QStringList{QStringLiteral("message_text_3")});

  QSignalSpy finished(&app, &Application::finished);
  window.MenuCommand(QStringLiteral("exit"), QStringLiteral("menu_exit_text"));
  EXPECT_EQ(finished.count(), 1);
}

// The keyboard's key page in the running program: the keys show the simulated keyboard's
// assignments; a key opened, given a function, relabelled, captured from the keyboard and saved
// reaches the keyboard's bank; and it is there again after the program starts anew.
TEST_F(ApplicationWiringIntegrationTest, TheKeyboardKeyPageShowsAndSavesTheSimulatedKeyboardsKeys) {
  constexpr int kPictureA = 64;  // kb_key_64 shows the A key
  constexpr std::size_t kEntryA = 64;
  auto control = [](CMainWnd& window, const QString& name) { return window.FindControl(name); };
  auto key = [&](CMainWnd& window, int n) { return control(window, QStringLiteral("kb_key_%1").arg(n)); };
  auto click = [](ui::Control c) { qobject_cast<QAbstractButton*>(c.Widget())->click(); };
  {
    Application app(Options());
    QString error;
    ASSERT_EQ(app.Start(&error), Application::StartResult::kRunning) << error.toStdString();
    CMainWnd& window = *app.MainWindow();
    sim::SimBus& bus = *app.SimulatedBus();
    const int keyboard = DeviceOf(bus, sim::SimDeviceKind::kKeyboard);
    ASSERT_NE(keyboard, 0);
    ASSERT_TRUE(WaitFor([&] { return window.Session().Keyboard().Image().KeyCount() > 0; }, 20000));
    ASSERT_TRUE(WaitFor([&] { return !key(window, kPictureA).ToolTip().isEmpty(); }));
    EXPECT_EQ(key(window, kPictureA).Text(), QStringLiteral("A"));
    EXPECT_EQ(key(window, kPictureA).ToolTip(), window.GetSkin().Text(QStringLiteral("keyboard_key_A")));
    EXPECT_EQ(key(window, 16).ToolTip(), window.GetSkin().Text(QStringLiteral("media_vol_sub")))
        << "a media key on its factory function is not marked as reassigned";

    // A: middle mouse button, chosen on the panel.
    click(key(window, kPictureA));
    EXPECT_TRUE(control(window, QStringLiteral("kb_tab_function")).IsVisible());
    control(window, QStringLiteral("kb_key_fct_combo")).SelectItem(2, ui::SendNotify::Yes);
    control(window, QStringLiteral("kb_key_fct_combo_11")).SelectItem(1, ui::SendNotify::Yes);
    EXPECT_EQ(key(window, kPictureA).Text(), window.GetSkin().Text(QStringLiteral("mouse_key_middle")));
    EXPECT_TRUE(key(window, kPictureA).ToolTip().contains(window.GetSkin().Text(QStringLiteral("Key_Set"))));

    // Esc: the key kind captures the next key typed in the window (here F5), which no edit receives.
    click(key(window, 0));
    control(window, QStringLiteral("kb_key_fct_combo")).SelectItem(1, ui::SendNotify::Yes);
    EXPECT_TRUE(window.DeviceHook().KeyboardHookInstalled());
    window.Send(WindowMessage::WM_HOOK_KEY_SINGLEKEY, 0x100, 0x74);  // key down, F5
    EXPECT_EQ(key(window, 0).Text(), window.GetSkin().Text(QStringLiteral("keyboard_key_F5")));

    click(control(window, QStringLiteral("kb_key_butt_prosave")));
    const auto bank = bus.Firmware(keyboard).Bank(bus.Firmware(keyboard).ActiveProfile());
    EXPECT_EQ(bank[3 * kEntryA], 0x10);
    EXPECT_EQ(bank[3 * kEntryA + 1], 0x04);
    EXPECT_EQ(bank[0], 0x20);
    EXPECT_EQ(bank[2], 0x3E) << "F5's usage";
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QLatin1Char(' ')).toStdString();

    // Unplugged and plugged again, the keyboard brings its keys back: the page shows them.
    bus.Unplug(keyboard);
    ASSERT_TRUE(WaitFor([&] { return !control(window, QStringLiteral("kb_tab")).IsVisible(); }, 20000));
    key(window, kPictureA).SetText(QString());
    ASSERT_TRUE(bus.Replug(keyboard));
    ASSERT_TRUE(WaitFor([&] { return !key(window, kPictureA).Text().isEmpty(); }, 20000));
    EXPECT_EQ(key(window, kPictureA).Text(), window.GetSkin().Text(QStringLiteral("mouse_key_middle")));
    window.MenuCommand(QStringLiteral("exit"), QStringLiteral("menu_exit_text"));
  }
  // The selected key profile on disk holds what was saved (the file follows the keyboard).
  profile::ProfileStore keys(profile::StoreKind::kKeyboardKey, profile::DataFolders(home.path().toStdString()),
                             profile::DefaultFilesFolder(profile::ProgramFolder()));
  const profile::PayloadResult stored = keys.LoadProfile(keys.SelectedIndex());
  ASSERT_TRUE(stored.result.ok()) << stored.result.error.ToString();
  EXPECT_EQ(stored.payload[3 * kEntryA], 0x10);
}

// The mouse's button page in the running program: a button given another function (chosen on the
// panel) and saved reaches the mouse's bank, and after a re-plug the page shows it again.
TEST_F(ApplicationWiringIntegrationTest, TheMouseButtonPageSavesToTheSimulatedMouse) {
  auto control = [](CMainWnd& window, const QString& name) { return window.FindControl(name); };
  auto click = [](ui::Control c) { qobject_cast<QAbstractButton*>(c.Widget())->click(); };
  Application app(Options());
  QString error;
  ASSERT_EQ(app.Start(&error), Application::StartResult::kRunning) << error.toStdString();
  CMainWnd& window = *app.MainWindow();
  sim::SimBus& bus = *app.SimulatedBus();
  const int mouse = DeviceOf(bus, sim::SimDeviceKind::kMouse);
  ASSERT_NE(mouse, 0);
  const QString middle = window.GetSkin().Text(QStringLiteral("mouse_key_middle"));
  ASSERT_TRUE(WaitFor(
      [&] { return window.Session().Mouse().Model().image().info.bytes != mouse::MouseDeviceInfo{}.bytes; }, 20000));
  ASSERT_TRUE(WaitFor([&] { return !control(window, QStringLiteral("ms_key_3")).Text().isEmpty(); }));

  // Button 3 (forward): the middle button, chosen on the panel, saved.
  click(control(window, QStringLiteral("ms_key_3")));
  EXPECT_TRUE(control(window, QStringLiteral("ms_tab_function")).IsVisible());
  control(window, QStringLiteral("ms_key_fct_combo")).SelectItem(1, ui::SendNotify::Yes);
  control(window, QStringLiteral("ms_key_fct_combo_11")).SelectItem(1, ui::SendNotify::Yes);
  EXPECT_EQ(control(window, QStringLiteral("ms_key_3")).Text(), middle);
  click(control(window, QStringLiteral("ms_key_butt_prosave")));
  const auto bank = bus.Firmware(mouse).Bank(bus.Firmware(mouse).ActiveProfile());
  EXPECT_EQ(bank[9], 0x10);
  EXPECT_EQ(bank[10], 0x04);
  EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QLatin1Char(' ')).toStdString();

  // Unplugged and plugged again, the mouse brings the button back: the page shows it.
  bus.Unplug(mouse);
  ASSERT_TRUE(WaitFor([&] { return !control(window, QStringLiteral("ms_tab")).IsVisible(); }, 20000));
  control(window, QStringLiteral("ms_key_3")).SetText(QString());
  ASSERT_TRUE(bus.Replug(mouse));
  ASSERT_TRUE(WaitFor([&] { return !control(window, QStringLiteral("ms_key_3")).Text().isEmpty(); }, 20000));
  EXPECT_EQ(control(window, QStringLiteral("ms_key_3")).Text(), middle);
  window.MenuCommand(QStringLiteral("exit"), QStringLiteral("menu_exit_text"));
}

}  // namespace
}  // namespace korva::app
