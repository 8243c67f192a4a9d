#include "app/WindowTimers.h"

#include <QTimer>

namespace korva::app {

WindowTimers::WindowTimers(Handler onTimer, QObject* parent)
    : QObject(parent), onTimer_(std::move(onTimer)) {}

void WindowTimers::Set(int id, int periodMs) {
  QTimer*& timer = timers_[id];
  if (!timer) {
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, id] { onTimer_(id); });
  }
  // The slower timers (the deferred writes at 100 ms, the repaint pass at 50 ms, ...) may fire a
  // few milliseconds early or late (within 5 %), so that they wake the UI thread together instead
  // of one after the other; the fast ones keep their exact period.
  timer->setTimerType(periodMs >= kCoarsePeriodMs ? Qt::CoarseTimer : Qt::PreciseTimer);
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

void RunPreviewPhaseTimer(WindowTimers& timers, bool tickInstalled) {
  constexpr int kPreviewPhaseMs = 10;
  if (!tickInstalled)
    timers.Kill(kTimerPreviewPhase);
  else if (timers.Interval(kTimerPreviewPhase) != kPreviewPhaseMs)
    timers.Set(kTimerPreviewPhase, kPreviewPhaseMs);
}

}  // namespace korva::app
