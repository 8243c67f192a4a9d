#include "platform/SuspendWatcher.h"
#include "tests/platform/PrivateBus.h"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <vector>

namespace korva::platform {
namespace {

TEST(SuspendWatcher, WithoutABusItSaysSoAndReportsNothing) {
  std::vector<bool> calls;
  SuspendWatcher watcher([&](bool s) { calls.push_back(s); });
  EXPECT_FALSE(watcher.Start(QDBusConnection(QStringLiteral("korva-no-bus"))));
  EXPECT_FALSE(watcher.IsWatching());
  EXPECT_TRUE(calls.empty());
}

// A private bus on which this test plays logind: it owns "org.freedesktop.login1" and emits
// PrepareForSleep(true) then PrepareForSleep(false).

TEST(SuspendWatcher, ReportsSuspendThenResumeFromLogind) {
  PrivateBus bus;
  if (bus.Address().isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";

  QDBusConnection watcherBus = QDBusConnection::connectToBus(bus.Address(), QStringLiteral("korva-watcher"));
  QDBusConnection logindBus = QDBusConnection::connectToBus(bus.Address(), QStringLiteral("korva-logind"));
  ASSERT_TRUE(watcherBus.isConnected());
  ASSERT_TRUE(logindBus.isConnected());
  ASSERT_TRUE(logindBus.registerService(QStringLiteral("org.freedesktop.login1")));

  std::vector<bool> calls;
  SuspendWatcher watcher([&](bool s) { calls.push_back(s); });
  ASSERT_TRUE(watcher.Start(watcherBus));
  QSignalSpy suspended(&watcher, &SuspendWatcher::suspending);
  QSignalSpy resumed(&watcher, &SuspendWatcher::resumed);

  for (bool start : {true, false}) {
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                     QStringLiteral("org.freedesktop.login1.Manager"),
                                                     QStringLiteral("PrepareForSleep"));
    signal << start;
    ASSERT_TRUE(logindBus.send(signal));
  }
  ASSERT_TRUE(resumed.wait(10000));
  EXPECT_EQ(suspended.count(), 1);
  EXPECT_EQ(calls, (std::vector<bool>{true, false}));

  QDBusConnection::disconnectFromBus(QStringLiteral("korva-watcher"));
  QDBusConnection::disconnectFromBus(QStringLiteral("korva-logind"));
}

}  // namespace
}  // namespace korva::platform
