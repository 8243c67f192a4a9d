#pragma once
// ApplicationLinkWatcher: the watcher thread of one profile store that follows the application in
// the foreground. Every poll (two seconds in the program) it asks for the foreground executable,
// reads the store's links and the hand-chosen `select`, and decides which profile the store's
// combo should show: the profile linked to that executable, else the hand-chosen one. When that
// differs from what the combo shows, the decision is handed to the UI thread (`show`), which
// selects it as a manual choice would -- file load, page update and device write all run there,
// never on this thread. `select` in the index is not changed by the watcher, so it always names
// the profile the user chose by hand.
//
// Qt-free. Run() is the thread body; Shown() is called by the UI thread whenever the combo's
// selection changes, so the watcher knows what is on screen without touching a control.

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "common/StopEvent.h"
#include "profile/ProfileStore.h"

namespace korva::session {

inline constexpr std::chrono::milliseconds kLinkPollInterval{2000};

class ApplicationLinkWatcher {
 public:
  // The full path of the foreground executable; empty when there is none or it cannot be read.
  using Foreground = std::function<std::string()>;
  // Hands "show profile `index`" to the UI thread (posted, never waited for).
  using Show = std::function<void(int index)>;

  // `store` must outlive the watcher.
  ApplicationLinkWatcher(profile::ProfileStore& store, Foreground foreground, Show show,
                         std::chrono::milliseconds poll = kLinkPollInterval);
  ApplicationLinkWatcher(const ApplicationLinkWatcher&) = delete;
  ApplicationLinkWatcher& operator=(const ApplicationLinkWatcher&) = delete;

  // Polls until `stop` is set; ends within a millisecond of it, however long the poll interval.
  void Run(const StopEvent& stop);
  // One poll: the profile the combo should show; it is handed over when the combo shows another.
  int Poll();
  // UI thread: the combo now shows `index` (-1: nothing).
  void Shown(int index) { shown_.store(index); }
  int ShownIndex() const { return shown_.load(); }

 private:
  profile::ProfileStore& store_;
  Foreground foreground_;
  Show show_;
  std::chrono::milliseconds poll_;
  std::atomic<int> shown_{-1};
};

// The trace a store's watcher leaves when it ends.
std::string_view LinkWatcherEndText(profile::StoreKind store);

}  // namespace korva::session
