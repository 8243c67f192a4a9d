#include "platform/ForegroundProviders.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "common/Log.h"

namespace korva::platform {

DBusForegroundApplication::~DBusForegroundApplication() {
  if (busName_.isEmpty()) return;
  QDBusConnection bus(busName_);
  bus.unregisterObject(QString::fromLatin1(kForegroundObject));
  bus.unregisterService(QString::fromLatin1(kForegroundService));
}

bool DBusForegroundApplication::Register(const QDBusConnection& bus) {
  if (!bus.isConnected()) return false;
  QDBusConnection connection(bus);
  if (!connection.registerObject(QString::fromLatin1(kForegroundObject), this,
                                 QDBusConnection::ExportScriptableSlots))
    return false;
  if (!connection.registerService(QString::fromLatin1(kForegroundService))) {
    connection.unregisterObject(QString::fromLatin1(kForegroundObject));
    return false;
  }
  busName_ = connection.name();
  return true;
}

void DBusForegroundApplication::SetActiveWindow(uint pid) {
  std::string executable = pid == 0 ? std::string() : ExecutableOfProcess(static_cast<long>(pid));
  std::lock_guard lock(mutex_);
  executable_ = std::move(executable);
}

void DBusForegroundApplication::SetActiveWindow(int pid) {
  SetActiveWindow(pid > 0 ? static_cast<uint>(pid) : 0u);
}

void DBusForegroundApplication::SetActiveWindow(double pid) {
  const bool whole =
      std::isfinite(pid) && pid >= 1 && pid <= std::numeric_limits<int>::max() && std::trunc(pid) == pid;
  SetActiveWindow(whole ? static_cast<uint>(pid) : 0u);
}

std::string DBusForegroundApplication::ForegroundApplication() {
  std::lock_guard lock(mutex_);
  return executable_;
}

namespace {

bool X11Answers() {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) return false;
  // The probe answers "" on a display it cannot open; a connection test tells the two apart.
  return X11DisplayOpens(display);
}

ForegroundProvider DBusProvider() {
  auto dbus = std::make_unique<DBusForegroundApplication>();
  if (!dbus->Register(QDBusConnection::sessionBus())) return {};
  return {std::move(dbus), QStringLiteral("dbus")};
}

ForegroundProvider X11Provider() {
  if (!X11Answers()) return {};
  return {std::make_unique<X11ForegroundApplication>(), QStringLiteral("x11")};
}

ForegroundProvider Choose() {
  const QString forced = qEnvironmentVariable("KORVA_FOREGROUND").toLower();
  if (forced == QLatin1String("x11")) return X11Provider();
  if (forced == QLatin1String("dbus")) return DBusProvider();
  if (forced == QLatin1String("none")) return {};
  const bool wayland = qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
                       qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
  if (wayland) {
    if (ForegroundProvider dbus = DBusProvider(); dbus.probe) return dbus;
    return X11Provider();
  }
  if (ForegroundProvider x11 = X11Provider(); x11.probe) return x11;
  return DBusProvider();
}

}  // namespace

ForegroundProvider ChooseForegroundProvider() {
  ForegroundProvider provider = Choose();
  if (!provider.probe) provider.name = QStringLiteral("none");
  Trace("foreground application provider: " + provider.name.toStdString());
  return provider;
}

}  // namespace korva::platform
