#pragma once
// LinkWiring: the five application-link watchers in the main window's worker slots (keyboard key
// 10, mouse light 11, mouse key 12, mousepad light 13, keyboard light 14), the foreground provider
// they ask, and the hand-over of their choice to the profile panels on the UI thread.
//
// Construct after the window and before "windowinit"; it must outlive the window's threads
// (destroy it after CMainWnd::Shutdown).

#include <array>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/ForegroundProviders.h"
#include "profile/page/ProfilePanel.h"
#include "session/ApplicationLinkWatcher.h"
#include "session/ProfileLibrary.h"

namespace korva::app {

class CMainWnd;

class LinkWiring {
 public:
  using Panels = std::function<profile::ProfilePanel&(profile::StoreKind store)>;

  LinkWiring(CMainWnd& window, session::ProfileLibrary& library, Panels panels,
             std::chrono::milliseconds poll = session::kLinkPollInterval);
  LinkWiring(const LinkWiring&) = delete;
  LinkWiring& operator=(const LinkWiring&) = delete;

  // Replaces the provider chosen for the session (tests): after the panels are built, before the
  // threads start. The panels' link rows follow.
  void UseProvider(platform::ForegroundProvider provider);
  const QString& ProviderName() const { return provider_.name; }
  bool SwitchingAvailable() const { return provider_.probe != nullptr; }
  // The panel's combo shows `index` now.
  void Shown(profile::StoreKind store, int index);
  // A profile of the store was linked or unlinked: its watcher, asleep without links, looks again.
  void LinksChanged(profile::StoreKind store);
  session::ApplicationLinkWatcher& Watcher(profile::StoreKind store);

 private:
  // The five watchers over the provider in use (none polls without one).
  void BuildWatchers();
  std::string Foreground();

  CMainWnd& window_;
  session::ProfileLibrary& library_;
  Panels panels_;
  std::chrono::milliseconds poll_;
  platform::ForegroundProvider provider_;
  // Indexed by profile::StoreKind.
  std::array<std::unique_ptr<session::ApplicationLinkWatcher>, 5> watchers_;
};

}  // namespace korva::app
