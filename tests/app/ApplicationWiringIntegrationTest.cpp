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

}  // namespace
}  // namespace korva::app
