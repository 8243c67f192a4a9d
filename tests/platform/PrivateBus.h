#pragma once
// A private session bus for one test: dbus-daemon started by the test, ended with it. Address()
// is empty when dbus-daemon is not installed (the test skips).

#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace korva::platform {

class PrivateBus {
 public:
  PrivateBus() {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) return;
    process_.start(
        daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    if (!process_.waitForStarted(10000)) return;
    while (!process_.canReadLine()) {
      if (!process_.waitForReadyRead(10000)) return;
    }
    address_ = QString::fromUtf8(process_.readLine()).trimmed();
  }
  ~PrivateBus() {
    process_.kill();
    process_.waitForFinished(5000);
  }
  QString Address() const { return address_; }

 private:
  QProcess process_;
  QString address_;
};

}  // namespace korva::platform
