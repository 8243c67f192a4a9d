#pragma once
// WindowTimers: numbered window timers. A timer started with Set fires every `periodMs` until
// Kill; Set on a running timer restarts it with the new period. Timers belong to the UI thread:
// Set and Kill must be called there (CMainWnd::SetTimer hands calls from other threads over).
//
// The main window's timers:
//   1  1000 ms, once (stops itself)  hide "setting_progress" after an upload
//   2   100 ms, for the lifetime      deferred settings writes: keyboard, mouse, mousepad (1000 ms
//        while nothing is pending and nothing happened that could make a write pending)
//   3    10 ms, while there are       phase counters of the lighting preview (RunPreviewPhaseTimer)
//        counters to advance
//   7  (100 ms by the watchers, 10 ms by the tray), once: repaint the window
//  10   100 ms, then every 50 ms      the preview keys whose light changed; stops after a pass in
//        while frames come             which no frame came, until the next frame arrives
//  11   500 ms, once                  full read of the keyboard and refresh of its lighting page
//  12   500 ms, once                  full read of the mousepad and refresh of its page

#include <QObject>
#include <functional>
#include <map>

class QTimer;

namespace korva::app {

inline constexpr int kDeferredWritesPeriodMs = 100;
inline constexpr int kDeferredWritesIdleMs = 1000;

enum TimerId : int {
  kTimerProgress = 1,
  kTimerDeferredWrites = 2,
  kTimerPreviewPhase = 3,
  kTimerRepaintOnce = 7,
  kTimerRepaint = 10,
  kTimerKeyboardRead = 11,
  kTimerMousepadRead = 12,
};

class WindowTimers : public QObject {
  Q_OBJECT

 public:
  // Periods from here on are kept within 5 % rather than exactly, so that timers share wake-ups.
  static constexpr int kCoarsePeriodMs = 50;

  using Handler = std::function<void(int id)>;
  explicit WindowTimers(Handler onTimer, QObject* parent = nullptr);

  void Set(int id, int periodMs);
  void Kill(int id);
  void KillAll();
  bool IsActive(int id) const;
  int Interval(int id) const;  // -1 when the timer does not run

 private:
  Handler onTimer_;
  std::map<int, QTimer*> timers_;
};

// Timer 3 wakes the UI thread a hundred times a second. It runs only while a preview tick is
// installed: without one there are no phase counters, so nothing can animate and nothing is to be
// advanced, and the resident program stays asleep.
void RunPreviewPhaseTimer(WindowTimers& timers, bool tickInstalled);

}  // namespace korva::app
