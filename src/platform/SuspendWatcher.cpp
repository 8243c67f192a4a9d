#include "platform/SuspendWatcher.h"

#include <QDBusError>

#include "common/Log.h"

namespace korva::platform {
namespace {

const QString kLogindService = QStringLiteral("org.freedesktop.login1");
const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
const QString kLogindInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString kPrepareForSleep = QStringLiteral("PrepareForSleep");

}  // namespace

SuspendWatcher::SuspendWatcher(Callback callback, QObject* parent)
    : QObject(parent), callback_(std::move(callback)) {}

bool SuspendWatcher::Start() {
  return Start(QDBusConnection::systemBus());
}

bool SuspendWatcher::Start(QDBusConnection bus) {
  if (!bus.isConnected()) {
    // Common (containers, sessions without a system bus) and said on every start: a trace, not
    // a line on stderr.
    Trace("No D-Bus system bus (" + bus.lastError().message().toStdString() +
          ") - suspend and resume will not be noticed");
    return false;
  }
  watching_ = bus.connect(kLogindService, kLogindPath, kLogindInterface, kPrepareForSleep, this,
                          SLOT(OnPrepareForSleep(bool)));
  if (!watching_) {
    Trace("Cannot subscribe to logind's PrepareForSleep: " + bus.lastError().message().toStdString() +
          " - suspend and resume will not be noticed");
  }
  return watching_;
}

void SuspendWatcher::OnPrepareForSleep(bool start) {
  if (callback_) callback_(start);
  if (start) {
    emit suspending();
  } else {
    emit resumed();
  }
}

}  // namespace korva::platform
