#include "app/SimulatorPanel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <functional>
#include <stdexcept>

#include "AppTestSupport.h"
#include "app/Application.h"
#include "app/MainWnd.h"
#include "device/SyncReaders.h"
#include "sim/SimBus.h"
#include "sim/SimFirmware.h"
#include "sim/headset/SimulatedHeadsetChip.h"

namespace korva::app {
namespace {

using test::WaitFor;

constexpr std::size_t kCurrentStageByte = 19;

// The panel on a bus of its own, with the devices the demo starts with.
class SimulatorPanelTest : public ::testing::Test {
 protected:
  SimulatorPanelTest()
      : ids{bus.Plug(sim::SimDeviceKind::kKeyboard), bus.Plug(sim::SimDeviceKind::kMouse),
            bus.Plug(sim::SimDeviceKind::kMousepad)} {
    bus.SetRequestLogLimit(0);
    chip.SetPresent(true);
    panel = std::make_unique<SimulatorPanel>(bus, chip, ids);
  }

  template <typename Widget>
  Widget& Find(const char* name) {
    auto* widget = panel->findChild<Widget*>(QLatin1String(name));
    if (!widget) throw std::runtime_error(std::string("no control ") + name);
    return *widget;
  }
  QString Status(const char* name) { return Find<QLabel>(name).text(); }

  // The consumer collection of device `id`, opened as the synchronisation reader opens it.
  std::unique_ptr<device::HidConnection> OpenConsumer(int id) {
    for (const device::HidInterfaceInfo& info : bus.Collections(id))
      if (info.usagePage == sim::kConsumerUsagePage && info.usage == sim::kConsumerUsage)
        return bus.Open(info, {true, false, true, true});
    return nullptr;
  }
  // The next consumer usage the device sends other than the release (0); -1 when none comes.
  static int NextUsage(device::HidConnection& consumer) {
    std::array<std::uint8_t, sim::kReportSize> report{};
    std::size_t read = 0;
    while (consumer.Read(report, 2000, read) == device::HidIoStatus::kOk) {
      if (read < 3 || report[0] != sim::kConsumerReportId) continue;
      const int usage = report[1] | (report[2] << 8);
      if (usage != 0) return usage;
    }
    return -1;
  }

  sim::SimBus bus;
  sim::SimulatedHeadsetChip chip;
  SimulatedDeviceIds ids;
  std::unique_ptr<SimulatorPanel> panel;
};

// Each "Plugged" box takes its device off the bus and puts the same device back (its memory kept,
// under new paths, as a re-plugged USB device), and the row follows.
TEST_F(SimulatorPanelTest, PluggedBoxesUnplugAndReplugTheirDevice) {
  struct Row {
    const char* box;
    int id;
    const char* status;
    const char* button;  // disabled while unplugged; nullptr: the row has none
  };
  const Row rows[] = {
      {"sim_kb_plugged", ids.keyboard, "sim_kb_status", "sim_kb_profile"},
      {"sim_ms_plugged", ids.mouse, "sim_ms_status", "sim_ms_stage"},
      {"sim_mp_plugged", ids.mousepad, "sim_mp_status", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.box);
    auto& box = Find<QCheckBox>(row.box);
    ASSERT_TRUE(box.isChecked());
    bus.Firmware(row.id).SetActiveProfile(3);
    const std::string path = bus.VendorPath(row.id);

    box.click();
    EXPECT_FALSE(bus.IsPlugged(row.id));
    EXPECT_FALSE(box.isChecked());
    EXPECT_TRUE(Status(row.status).contains(QLatin1String("unplugged")));
    if (row.button) {
      EXPECT_FALSE(Find<QPushButton>(row.button).isEnabled());
    }

    box.click();
    EXPECT_TRUE(bus.IsPlugged(row.id));
    EXPECT_TRUE(box.isChecked());
    EXPECT_NE(bus.VendorPath(row.id), path);
    EXPECT_EQ(bus.Firmware(row.id).ActiveProfile(), 3);
    EXPECT_TRUE(Status(row.status).contains(QLatin1String("on-device profile 4 of 5")));
    if (row.button) {
      EXPECT_TRUE(Find<QPushButton>(row.button).isEnabled());
    }
  }
  EXPECT_EQ(panel->KeyboardId(), ids.keyboard);
}

TEST_F(SimulatorPanelTest, HeadsetBoxSetsTheChipsPresence) {
  auto& box = Find<QCheckBox>("sim_hs_plugged");
  ASSERT_TRUE(box.isChecked());
  box.click();
  EXPECT_FALSE(chip.IsPresent());
  EXPECT_EQ(Status("sim_hs_status"), QStringLiteral("unplugged"));
  // Plugged again: the line shows the first and the last LED as the first controller holds them.
  const std::uint8_t colour[] = {0xF7, 0x10, 0x00};
  ASSERT_EQ(chip.WriteI2c(0x11, 0x20, colour, 1000, 0), headset::kAudioNoDevice) << "absent: not taken";
  box.click();
  EXPECT_TRUE(chip.IsPresent());
  ASSERT_EQ(chip.WriteI2c(0x11, 0x20, colour, 1000, 0), headset::kAudioOk);
  box.click();
  box.click();
  EXPECT_EQ(Status("sim_hs_status"), QStringLiteral("plugged, LEDs #F71000 \u2026 #F71000"));
}

// Every button is the user at the device: it changes the device as the device would and sends the
// consumer report the synchronisation readers listen for.
TEST_F(SimulatorPanelTest, ButtonsActOnTheDeviceAndSendItsReport) {
  struct Row {
    const char* button;
    bool mouse;  // else the keyboard
    int usage;
    int activeProfile;  // afterwards
    int stage;          // afterwards, record byte 19 of the active profile
  };
  const Row rows[] = {
      {"sim_ms_profile", true, device::kUsageProfileChanged, 1, 0},
      {"sim_ms_stage", true, device::kUsageSettingsChanged, 1, 1},
      {"sim_ms_settings", true, device::kUsageSettingsChanged, 1, 1},
      {"sim_ms_click", true, device::kUsageClick, 1, 1},
      {"sim_kb_profile", false, device::kUsageProfileChanged, 1, 0},
      {"sim_kb_settings", false, device::kUsageSettingsChanged, 1, 0},
  };
  ASSERT_EQ(bus.Firmware(ids.mouse).ActiveProfile(), 0);
  ASSERT_EQ(bus.Firmware(ids.keyboard).ActiveProfile(), 0);
  auto record = bus.Firmware(ids.mouse).Record(1);
  record[kCurrentStageByte] = 0;
  bus.Firmware(ids.mouse).SetRecord(1, record);
  auto mouse = OpenConsumer(ids.mouse);
  auto keyboard = OpenConsumer(ids.keyboard);
  ASSERT_TRUE(mouse && keyboard);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.button);
    const int id = row.mouse ? ids.mouse : ids.keyboard;
    Find<QPushButton>(row.button).click();
    EXPECT_EQ(NextUsage(row.mouse ? *mouse : *keyboard), row.usage);
    const sim::SimFirmware& firmware = bus.Firmware(id);
    EXPECT_EQ(firmware.ActiveProfile(), row.activeProfile);
    if (row.mouse) {
      EXPECT_EQ(firmware.Record(row.activeProfile)[kCurrentStageByte], row.stage);
      EXPECT_TRUE(Status("sim_ms_status")
                      .contains(QStringLiteral("on-device profile %1 of 5, stage %2 of 6")
                                    .arg(row.activeProfile + 1)
                                    .arg(row.stage + 1)));
    }
  }
}

// The model choice takes effect at the next plug: the other model is a device of its own (without
// the consumer collection on 0x7680, so its buttons are off), and the first keyboard comes back
// with its memory.
TEST_F(SimulatorPanelTest, KeyboardModelChoiceSwapsTheKeyboardAtTheNextPlug) {
  auto& box = Find<QCheckBox>("sim_kb_plugged");
  auto& model = Find<QComboBox>("sim_kb_model");
  bus.Firmware(ids.keyboard).SetActiveProfile(2);

  model.setCurrentIndex(1);
  EXPECT_EQ(panel->KeyboardId(), ids.keyboard);  // not before the next plug
  box.click();
  box.click();
  const int second = panel->KeyboardId();
  ASSERT_NE(second, ids.keyboard);
  EXPECT_EQ(bus.Firmware(second).Kind(), sim::SimDeviceKind::kKeyboardModel1);
  EXPECT_TRUE(bus.IsPlugged(second));
  EXPECT_FALSE(bus.IsPlugged(ids.keyboard));
  EXPECT_FALSE(Find<QPushButton>("sim_kb_profile").isEnabled());
  EXPECT_FALSE(Find<QPushButton>("sim_kb_settings").isEnabled());
  EXPECT_TRUE(Status("sim_kb_status").startsWith(QLatin1String("0x7680 plugged")));

  // Switching back while plugged swaps at once on the next plug, never leaving two keyboards in.
  model.setCurrentIndex(0);
  box.click();
  box.click();
  EXPECT_EQ(panel->KeyboardId(), ids.keyboard);
  EXPECT_TRUE(bus.IsPlugged(ids.keyboard));
  EXPECT_FALSE(bus.IsPlugged(second));
  EXPECT_EQ(bus.Firmware(ids.keyboard).ActiveProfile(), 2);
  EXPECT_TRUE(Find<QPushButton>("sim_kb_profile").isEnabled());
}

// Changes made elsewhere (a test, fault injection) show within a refresh while the panel is on
// screen.
TEST_F(SimulatorPanelTest, FollowsChangesMadeBehindItsBack) {
  panel->show();
  ASSERT_TRUE(panel->IsFollowing());
  bus.Unplug(ids.mousepad);
  chip.SetPresent(false);
  EXPECT_TRUE(WaitFor([&] {
    return !Find<QCheckBox>("sim_mp_plugged").isChecked() && !Find<QCheckBox>("sim_hs_plugged").isChecked();
  }));
  bus.PressProfileButton(ids.mouse);
  EXPECT_TRUE(WaitFor([&] { return Status("sim_ms_status").contains(QLatin1String("profile 2 of 5")); }));
}

// A panel off screen wakes nothing; shown again it catches up at once.
TEST_F(SimulatorPanelTest, FollowsOnlyWhileOnScreen) {
  EXPECT_FALSE(panel->IsFollowing()) << "not shown yet";
  panel->show();
  EXPECT_TRUE(panel->IsFollowing());

  struct Row {
    const char* name;
    std::function<void(QWidget&)> takeOffScreen;
  };
  const Row rows[] = {
      {"hidden", [](QWidget& w) { w.hide(); }},
      {"minimised", [](QWidget& w) { w.showMinimized(); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    row.takeOffScreen(*panel);
    EXPECT_FALSE(panel->IsFollowing());
    const bool plugged = bus.IsPlugged(ids.mousepad);
    if (plugged)
      bus.Unplug(ids.mousepad);
    else
      bus.Replug(ids.mousepad);
    QCoreApplication::processEvents();
    EXPECT_EQ(Find<QCheckBox>("sim_mp_plugged").isChecked(), plugged) << "nothing refreshed off screen";

    panel->showNormal();
    EXPECT_TRUE(panel->IsFollowing());
    EXPECT_EQ(Find<QCheckBox>("sim_mp_plugged").isChecked(), !plugged) << "caught up when shown";
  }
}

// Beside the main window, on its screen: right of it when there is room, else left of it, and
// never off the screen.
TEST_F(SimulatorPanelTest, PlacesItselfBesideTheWindowOnTheScreen) {
  QWidget window;
  QScreen* screen = window.screen();
  ASSERT_NE(screen, nullptr);
  const QRect area = screen->availableGeometry();
  panel->adjustSize();
  const int width = panel->frameGeometry().width();
  ASSERT_LT(width + 40, area.width()) << "the screen is too small for this test";
  struct Row {
    const char* name;
    QRect window;
    bool right;  // the panel lies right of the window (else left of it)
  };
  const Row rows[] = {
      {"room on the right", QRect(area.left(), area.top(), 10, 100), true},
      {"window at the right edge", QRect(area.right() - 9, area.top() + 10, 10, 100), false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    window.setGeometry(row.window);
    panel->PlaceBeside(window);
    const QRect placed = panel->frameGeometry();
    EXPECT_TRUE(area.contains(placed)) << placed.x() << "," << placed.y();
    EXPECT_FALSE(placed.intersects(window.frameGeometry()));
    EXPECT_EQ(placed.left() > window.frameGeometry().right(), row.right);
  }
}

// The program shows the panel only on simulated devices, and not when asked to leave it out; the
// panel's "Plugged" box takes the mouse away from the program's watchers and brings it back.
class SimulatorPanelAppTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(runtime.isValid() && home.isValid()); }
  AppOptions Options(bool simulate, bool noPanel) {
    AppOptions options;
    options.commandLine.simulate = simulate;
    options.commandLine.noSimPanel = noPanel;
    options.runtimeDir = runtime.path();
    options.folders = profile::DataFolders(home.filePath(QStringLiteral("KORVA")).toStdString());
    options.trayAvailable = true;
    options.messageBox = [](QWidget*, const QString&) { return 1; };
    options.watchSuspend = false;
    return options;
  }
  QTemporaryDir runtime;
  QTemporaryDir home;
};

TEST_F(SimulatorPanelAppTest, ThePanelComesOnlyWithSimulatedDevices) {
  struct Row {
    const char* name;
    bool simulate;
    bool noPanel;
    bool panel;
  };
  const Row rows[] = {
      {"--simulate", true, false, true},
      {"--simulate --no-sim-panel", true, true, false},
      {"the USB bus", false, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AppOptions options = Options(row.simulate, row.noPanel);
    options.startWatchers = false;  // no device traffic: only the windows matter here
    Application app(std::move(options));
    QString error;
    ASSERT_EQ(app.Start(&error), Application::StartResult::kRunning) << error.toStdString();
    SimulatorPanel* panel = app.SimulatedDevicesPanel();
    ASSERT_EQ(panel != nullptr, row.panel);
    if (!panel) continue;
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->isWindow());
    EXPECT_EQ(panel->windowTitle(), QString::fromUtf8(SimulatorPanel::kTitle));
    // Its own window: hiding the main window leaves it on screen.
    app.MainWindow()->hide();
    EXPECT_TRUE(panel->isVisible());
  }
}

TEST_F(SimulatorPanelAppTest, UnpluggingTheMouseInThePanelHidesItsTabUntilItIsBack) {
  Application app(Options(true, false));
  QString error;
  ASSERT_EQ(app.Start(&error), Application::StartResult::kRunning) << error.toStdString();
  CMainWnd& window = *app.MainWindow();
  SimulatorPanel& panel = *app.SimulatedDevicesPanel();
  const auto tabShown = [&] { return window.FindControl(QStringLiteral("ms_tab")).IsVisible(); };
  ASSERT_TRUE(WaitFor(tabShown, 20000));
  auto* mouse = panel.findChild<QCheckBox*>(QStringLiteral("sim_ms_plugged"));
  ASSERT_NE(mouse, nullptr);

  mouse->click();
  EXPECT_TRUE(WaitFor([&] { return !tabShown() && !window.Session().Device(DeviceKind::kMouse).connected; }, 20000));
  mouse->click();
  EXPECT_TRUE(WaitFor([&] { return tabShown() && window.Session().Device(DeviceKind::kMouse).connected; }, 20000));
}

}  // namespace
}  // namespace korva::app
