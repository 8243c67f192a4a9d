#include "app/Application.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "AppTestSupport.h"
#include "ChildProcess.h"
#include "app/MainWnd.h"
#include "sim/SimBus.h"

namespace korva::app {
namespace {

using test::WaitFor;

// Each test runs the program in its own runtime folder (single-instance lock and socket) and data
// folder, on the simulated devices.
class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(runtime.isValid() && home.isValid()); }

  AppOptions Options() {
    AppOptions options;
    options.commandLine.simulate = true;
    options.runtimeDir = runtime.path();
    options.folders = profile::DataFolders(home.filePath(QStringLiteral("KORVA")).toStdString());
    options.trayAvailable = true;
    options.messageBox = [this](QWidget*, const QString& text) {
      boxes.append(text);
      return 1;
    };
    options.watchSuspend = false;  // only the suspend test talks to a bus
    return options;
  }

  // Starts `app` and waits for its "windowinit".
  static bool StartAndInit(Application& app) {
    QString error;
    if (app.Start(&error) != Application::StartResult::kRunning) {
      ADD_FAILURE() << error.toStdString();
      return false;
    }
    QSignalSpy initialised(app.MainWindow(), &CMainWnd::initialised);
    return initialised.wait(10000);
  }

  QTemporaryDir runtime;
  QTemporaryDir home;
  QStringList boxes;
};

// --simulate: the watchers find the simulated keyboard, mouse, mousepad and headset, every device
// tab shows, and the window comes up.
TEST_F(ApplicationTest, SimulateShowsEveryDeviceTab) {
  Application app(Options());
  ASSERT_TRUE(StartAndInit(app));
  ASSERT_NE(app.SimulatedBus(), nullptr);
  ASSERT_NE(app.SimulatedHeadset(), nullptr);
  CMainWnd& window = *app.MainWindow();
  EXPECT_TRUE(window.Session().Audio().IsBound());
  auto tabsShown = [&] {
    for (const char* tab : {"kb_tab", "ms_tab", "mp_tab", "hs_tab"})
      if (!window.FindControl(QString::fromLatin1(tab)).IsVisible()) return false;
    return true;
  };
  ASSERT_TRUE(WaitFor(tabsShown, 20000));
  ASSERT_TRUE(WaitFor([&] { return window.isVisible(); }));
  EXPECT_TRUE(window.Session().Device(DeviceKind::kKeyboard).connected && window.Session().Device(DeviceKind::kMouse).connected && window.Session().Device(DeviceKind::kMousepad).connected &&
              window.Session().Device(DeviceKind::kHeadset).connected);

  QSignalSpy finished(&app, &Application::finished);
  app.MainWindow()->MenuCommand(QStringLiteral("exit"), QStringLiteral("menu_exit_text"));
  EXPECT_EQ(finished.count(), 1);
  EXPECT_EQ(app.MainWindow()->Workers().RunningCount(), 0);
}

// A second start wakes the first and ends without a window; the first shows its window when a
// device is connected and says that none is otherwise.
// On the USB bus the headset is reached through its ALSA sound card: the audio library is bound,
// and with no such card there is no headset.
TEST_F(ApplicationTest, HardwareModeBindsTheRealHeadsetsAudioBackend) {
  AppOptions options = Options();
  options.commandLine.simulate = false;
  options.startWatchers = false;
  Application app(std::move(options));
  ASSERT_TRUE(StartAndInit(app));
  EXPECT_EQ(app.SimulatedBus(), nullptr);
  session::DeviceSession& session = app.MainWindow()->Session();
  EXPECT_TRUE(session.Audio().IsBound());
  app.MainWindow()->Shutdown();
}

TEST_F(ApplicationTest, SecondStartLeadsToShowOrWarnInTheFirst) {
  AppOptions options = Options();
  options.startWatchers = false;  // no device arrives by itself
  Application first(std::move(options));
  ASSERT_TRUE(StartAndInit(first));
  CMainWnd& window = *first.MainWindow();
  ASSERT_FALSE(window.isVisible());

  {
    Application second(Options());
    QString error;
    EXPECT_EQ(second.Start(&error), Application::StartResult::kSecondInstance);
    EXPECT_EQ(second.MainWindow(), nullptr);
  }
  ASSERT_TRUE(WaitFor([&] { return !boxes.isEmpty(); }));
  EXPECT_EQ(boxes, QStringList{"message_text_1"});
  EXPECT_FALSE(window.isVisible());

  window.Session().Device(DeviceKind::kMouse).connected = true;
  {
    Application second(Options());
    QString error;
    EXPECT_EQ(second.Start(&error), Application::StartResult::kSecondInstance);
  }
  ASSERT_TRUE(WaitFor([&] { return window.isVisible(); }));
  EXPECT_EQ(boxes.size(), 1);
  window.Session().Device(DeviceKind::kMouse).connected = false;
}

// A private bus on which the test plays logind.
class PrivateBus {
 public:
  PrivateBus() {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    std::string address;
    if (daemon.isEmpty() ||
        !process_.Start(daemon.toStdString(), {"--session", "--nofork", "--print-address"}) ||
        !process_.ReadLine(address, 10000))
      return;
    address_ = QString::fromStdString(address).trimmed();
  }
  QString Address() const { return address_; }

 private:
  test::ChildProcess process_;  // killed with the bus
  QString address_;
};

// logind on a private bus, through the program's own suspend watcher.
TEST_F(ApplicationTest, SuspendClearsTheAwakeFlagAndResumeSetsItAgain) {
#if defined(__SANITIZE_THREAD__)
  // QtDBus hands its connection between Qt's threads with synchronisation ThreadSanitizer cannot
  // see (Qt is not instrumented); the flag's own wiring is tested without a bus in MainWndTest.
  GTEST_SKIP() << "QtDBus's threads are opaque to ThreadSanitizer";
#endif
  PrivateBus bus;
  if (bus.Address().isEmpty()) GTEST_SKIP() << "dbus-daemon is not available";
  const QString watcherName = QStringLiteral("korva-app-watcher");
  const QString logindName = QStringLiteral("korva-app-logind");
  QDBusConnection logind = QDBusConnection::connectToBus(bus.Address(), logindName);
  ASSERT_TRUE(logind.isConnected());
  ASSERT_TRUE(logind.registerService(QStringLiteral("org.freedesktop.login1")));

  {
    AppOptions options = Options();
    options.watchSuspend = true;
    options.suspendBus = QDBusConnection::connectToBus(bus.Address(), watcherName);
    Application app(std::move(options));
    ASSERT_TRUE(StartAndInit(app));
    CMainWnd& window = *app.MainWindow();
    EXPECT_TRUE(window.Session().SystemAwake());

    for (bool suspending : {true, false}) {
      QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                       QStringLiteral("org.freedesktop.login1.Manager"),
                                                       QStringLiteral("PrepareForSleep"));
      signal << suspending;
      ASSERT_TRUE(logind.send(signal));
      ASSERT_TRUE(WaitFor([&] { return window.Session().SystemAwake() == !suspending; })) << suspending;
    }
  }
  QDBusConnection::disconnectFromBus(watcherName);
  QDBusConnection::disconnectFromBus(logindName);
}

TEST_F(ApplicationTest, AMissingSkinFolderFailsWithAClearError) {
  AppOptions options = Options();
  options.programFolder = home.filePath(QStringLiteral("nowhere")).toStdString();
  Application app(std::move(options));
  QString error;
  EXPECT_EQ(app.Start(&error), Application::StartResult::kFailed);
  EXPECT_TRUE(error.contains(QLatin1String("res.xml"))) << error.toStdString();
  EXPECT_EQ(app.MainWindow(), nullptr);
}

}  // namespace
}  // namespace korva::app
