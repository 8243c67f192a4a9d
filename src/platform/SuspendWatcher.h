#pragma once
// Suspend and resume of the machine, from logind's PrepareForSleep(bool) signal on the system
// bus: true just before the machine sleeps, false when it has woken up. The lighting streams
// stop while it sleeps. Without a system bus (containers, some test machines) the watcher says
// so in the log and reports nothing; the program runs on as if the machine never slept.

#include <QDBusConnection>
#include <QObject>
#include <functional>

namespace korva::platform {

class SuspendWatcher : public QObject {
  Q_OBJECT

 public:
  // Called on the thread of the watcher's event loop: true = suspending, false = resumed.
  using Callback = std::function<void(bool suspending)>;

  explicit SuspendWatcher(Callback callback, QObject* parent = nullptr);

  // Subscribes on the system bus. False when there is none (logged, not an error).
  bool Start();
  // Subscribes on `bus` (tests use a private bus); the sender must own "org.freedesktop.login1".
  bool Start(QDBusConnection bus);
  bool IsWatching() const { return watching_; }

 signals:
  void suspending();
  void resumed();

 private slots:
  void OnPrepareForSleep(bool start);

 private:
  Callback callback_;
  bool watching_ = false;
};

}  // namespace korva::platform
