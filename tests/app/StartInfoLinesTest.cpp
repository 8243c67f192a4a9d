// What a desktop without a system bus or a pointer settings backend lacks is said in the trace
// (KORVA_DEBUG), not on stderr at every start: a user starting the program from a terminal sees
// nothing unless something failed.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <cstdlib>

#include "platform/DesktopPointerSettings.h"
#include "platform/ExternalCommand.h"
#include "platform/SuspendWatcher.h"

namespace korva::app {
namespace {

TEST(StartInfoLines, AMissingBusOrPointerBackendPrintsNothing) {
  ASSERT_EQ(std::getenv("KORVA_DEBUG"), nullptr) << "the trace would print";
  const QDBusConnection noBus = QDBusConnection::connectToBus(
      QStringLiteral("unix:path=/nonexistent/korva-test-bus"), QStringLiteral("korva-no-bus"));
  ASSERT_FALSE(noBus.isConnected());

  ::testing::internal::CaptureStderr();
  platform::SuspendWatcher watcher(nullptr);
  const bool watching = watcher.Start(noBus);
  const auto desktop =
      platform::MakeDesktopPointerSettings("", std::make_shared<platform::ProcessCommandRunner>());
  const std::string printed = ::testing::internal::GetCapturedStderr();
  QDBusConnection::disconnectFromBus(QStringLiteral("korva-no-bus"));

  EXPECT_FALSE(watching);
  EXPECT_FALSE(desktop->OffersPointerSpeed());
  EXPECT_FALSE(desktop->OffersWheelScrollLines());
  EXPECT_EQ(printed, "");
}

}  // namespace
}  // namespace korva::app
