#include "platform/ForegroundProviders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <cmath>
#include <filesystem>

#include "tests/platform/PrivateBus.h"

namespace korva::platform {
namespace {

// Calls SetActiveWindow(pid) as a desktop helper does, from its own connection; the answer is
// dispatched by this thread's event loop, which runs while waiting.
bool CallSetActiveWindow(const QDBusConnection& helper, const QVariant& pid) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QString::fromLatin1(kForegroundService), QString::fromLatin1(kForegroundObject),
      QString::fromLatin1(kForegroundInterface), QStringLiteral("SetActiveWindow"));
  call << pid;
  QDBusPendingCall pending = helper.asyncCall(call, 10000);
  QElapsedTimer timer;
  timer.start();
  while (!pending.isFinished() && timer.elapsed() < 15000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return pending.isFinished() && !pending.isError();
}

TEST(DBusForegroundApplication, HelpersReportTheActiveWindowOverTheSessionBus) {
  PrivateBus bus;
  if (bus.Address().isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";
  const QDBusConnection program =
      QDBusConnection::connectToBus(bus.Address(), QStringLiteral("korva-program"));
  const QDBusConnection helper = QDBusConnection::connectToBus(bus.Address(), QStringLiteral("korva-helper"));
  ASSERT_TRUE(program.isConnected());
  ASSERT_TRUE(helper.isConnected());

  DBusForegroundApplication provider;
  ASSERT_TRUE(provider.Register(program));
  EXPECT_EQ(provider.ForegroundApplication(), "") << "nothing reported yet";

  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const auto pid = static_cast<uint>(getpid());
  const struct {
    const char* name;
    QVariant pid;
    std::string expected;
  } rows[] = {
      {"a window of this process", QVariant(pid), self},
      {"the desktop itself (pid 0)", QVariant(0u), ""},
      {"a process that does not exist", QVariant(0x7FFFFFF0u), ""},
      {"a window again", QVariant(pid), self},
      // Script engines (a KWin script) send their numbers as int32 or double.
      {"as int32", QVariant(static_cast<int>(pid)), self},
      {"negative int32", QVariant(-1), ""},
      {"as double", QVariant(static_cast<double>(pid)), self},
      {"a fraction", QVariant(pid + 0.5), ""},
      {"not a number", QVariant(std::nan("")), ""},
      {"as double again", QVariant(static_cast<double>(pid)), self},
  };
  for (const auto& row : rows) {
    ASSERT_TRUE(CallSetActiveWindow(helper, row.pid)) << row.name;
    EXPECT_EQ(provider.ForegroundApplication(), row.expected) << row.name;
  }

  // A second program on the same bus cannot take the name.
  DBusForegroundApplication second;
  const QDBusConnection other = QDBusConnection::connectToBus(bus.Address(), QStringLiteral("korva-second"));
  EXPECT_FALSE(second.Register(other));
  QDBusConnection::disconnectFromBus(QStringLiteral("korva-second"));
}

TEST(DBusForegroundApplication, NoBusNoProvider) {
  DBusForegroundApplication provider;
  EXPECT_FALSE(provider.Register(QDBusConnection(QStringLiteral("korva-no-such-connection"))));
}

}  // namespace
}  // namespace korva::platform
