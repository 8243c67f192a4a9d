#include "app/WindowTimers.h"

#include <QTimer>

namespace korva::app {

WindowTimers::WindowTimers(Handler onTimer, QObject* parent)
    : QObject(parent), onTimer_(std::move(onTimer)) {}

void WindowTimers::Set(int id, int periodMs) {
  QTimer*& timer = timers_[id];
  if (!timer) {
    timer = new QTimer(this);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, id] { onTimer_(id); });
  }
  timer->start(periodMs < 0 ? 0 : periodMs);
}

void WindowTimers::Kill(int id) {
  const auto it = timers_.find(id);
  if (it != timers_.end()) it->second->stop();
}

void WindowTimers::KillAll() {
  for (auto& [id, timer] : timers_) timer->stop();
}

bool WindowTimers::IsActive(int id) const {
  const auto it = timers_.find(id);
  return it != timers_.end() && it->second->isActive();
}

int WindowTimers::Interval(int id) const {
  return IsActive(id) ? timers_.at(id)->interval() : -1;
}

}  // namespace korva::app
