#include "app/LinkWiring.h"

#include "app/MainWnd.h"

namespace korva::app {

using profile::StoreKind;

namespace {
constexpr StoreKind kStores[] = {StoreKind::kKeyboardLight, StoreKind::kKeyboardKey, StoreKind::kMouseLight,
                                 StoreKind::kMouseKey, StoreKind::kMousepadLight};
}  // namespace

LinkWiring::LinkWiring(CMainWnd& window, session::ProfileLibrary& library, Panels panels,
                       std::chrono::milliseconds poll)
    : window_(window),
      library_(library),
      panels_(std::move(panels)),
      poll_(poll),
      provider_(platform::ChooseForegroundProvider()) {
  const std::pair<WorkerSlot, StoreKind> linkSlots[] = {
      {WorkerSlot::kKeyboardKeyLink, StoreKind::kKeyboardKey},
      {WorkerSlot::kMouseLightLink, StoreKind::kMouseLight},
      {WorkerSlot::kMouseKeyLink, StoreKind::kMouseKey},
      {WorkerSlot::kMousepadLightLink, StoreKind::kMousepadLight},
      {WorkerSlot::kKeyboardLightLink, StoreKind::kKeyboardLight},
  };
  BuildWatchers();
  for (const auto& [slot, store] : linkSlots) {
    // The watcher is looked up when the thread starts: a provider set for a test is in place then.
    window_.SetWorkerEntry(slot, [this, store = store](const StopEvent& stop) { Watcher(store).Run(stop); });
  }
}

void LinkWiring::BuildWatchers() {
  for (StoreKind store : kStores) {
    // The choice goes to the UI thread as a task: the selection runs there as a manual one would.
    auto show = [this, store](int index) {
      window_.PostTask([this, store, index] { panels_(store).ShowLinked(index); });
    };
    session::ApplicationLinkWatcher::Foreground foreground;
    if (provider_.probe) foreground = [this] { return Foreground(); };
    auto& watcher = watchers_[static_cast<std::size_t>(store)];
    // A replaced watcher hands on what the combo shows.
    const int shown = watcher ? watcher->ShownIndex() : -1;
    watcher = std::make_unique<session::ApplicationLinkWatcher>(library_.Store(store), std::move(foreground),
                                                                std::move(show), poll_);
    watcher->Shown(shown);
  }
}

void LinkWiring::UseProvider(platform::ForegroundProvider provider) {
  provider_ = std::move(provider);
  BuildWatchers();
  for (StoreKind store : kStores) panels_(store).SetSwitchingAvailable(SwitchingAvailable());
}

std::string LinkWiring::Foreground() {
  // The probe is fixed before the threads start and safe to call from several at once.
  return provider_.probe ? provider_.probe->ForegroundApplication() : std::string();
}

void LinkWiring::Shown(StoreKind store, int index) {
  Watcher(store).Shown(index);
}

void LinkWiring::LinksChanged(StoreKind store) {
  Watcher(store).LinksChanged();
}

session::ApplicationLinkWatcher& LinkWiring::Watcher(StoreKind store) {
  return *watchers_[static_cast<std::size_t>(store)];
}

}  // namespace korva::app
