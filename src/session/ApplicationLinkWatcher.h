#pragma once
// ApplicationLinkWatcher: the watcher thread of one profile store that follows the application in
// the foreground. Every poll (two seconds in the program) it reads the store's links and the
// hand-chosen `select`, asks for the foreground executable, and decides which profile the store's
// combo should show: the profile linked to that executable, else the hand-chosen one. When that
// differs from what the combo shows, the decision is handed to the UI thread (`show`), which
// selects it as a manual choice would -- file load, page update and device write all run there,
// never on this thread. `select` in the index is not changed by the watcher, so it always names
// the profile the user chose by hand.
//
// A store without a linked profile (or a session without a foreground source) has nothing to
// follow: after the poll that finds so, the thread sleeps until a link is made (LinksChanged) or
// it is stopped, so a user without links pays no wake-ups at all.
//
// Qt-free. Run() is the thread body; Shown() is called by the UI thread whenever the combo's
// selection changes, so the watcher knows what is on screen without touching a control.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "common/StopEvent.h"
#include "profile/ProfileStore.h"

namespace korva::session {

inline constexpr std::chrono::milliseconds kLinkPollInterval{2000};

// What one poll found.
struct LinkPoll {
  int wanted = -1;      // the profile the combo should show (-1: the list is empty)
  bool linked = false;  // a profile of the store is linked to an application
};

class ApplicationLinkWatcher {
 public:
  // The full path of the foreground executable; empty when there is none or it cannot be read.
  // A null function: this session has no way to know it (the watcher never polls).
  using Foreground = std::function<std::string()>;
  // Hands "show profile `index`" to the UI thread (posted, never waited for).
  using Show = std::function<void(int index)>;

  // `store` must outlive the watcher.
  ApplicationLinkWatcher(profile::ProfileStore& store, Foreground foreground, Show show,
                         std::chrono::milliseconds poll = kLinkPollInterval);
  ApplicationLinkWatcher(const ApplicationLinkWatcher&) = delete;
  ApplicationLinkWatcher& operator=(const ApplicationLinkWatcher&) = delete;

  // Polls until `stop` is set; ends within a millisecond of it, however long the poll interval,
  // and whether it is polling or asleep for want of links.
  void Run(const StopEvent& stop);
  // One poll: the profile the combo should show; it is handed over when the combo shows another.
  LinkPoll Poll();
  // UI thread: the combo now shows `index` (-1: nothing).
  void Shown(int index) { shown_.store(index); }
  int ShownIndex() const { return shown_.load(); }
  // UI thread: the store's links were changed; a watcher asleep for want of links polls again.
  void LinksChanged();

 private:
  // Sleeps until LinksChanged or `stop`; true when stopped.
  bool WaitForLinks(const StopEvent& stop);

  profile::ProfileStore& store_;
  Foreground foreground_;
  Show show_;
  std::chrono::milliseconds poll_;
  std::atomic<int> shown_{-1};
  std::mutex wakeMutex_;
  std::condition_variable_any wake_;
  bool linksChanged_ = false;  // under wakeMutex_
};

// The trace a store's watcher leaves when it ends.
std::string_view LinkWatcherEndText(profile::StoreKind store);

}  // namespace korva::session
