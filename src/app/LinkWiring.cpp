#include "app/LinkWiring.h"

#include "app/MainWnd.h"

namespace korva::app {

using profile::StoreKind;

LinkWiring::LinkWiring(CMainWnd& window, session::ProfileLibrary& library, Panels panels,
                       std::chrono::milliseconds poll)
    : window_(window), panels_(std::move(panels)), provider_(platform::ChooseForegroundProvider()) {
  const std::pair<WorkerSlot, StoreKind> linkSlots[] = {
      {WorkerSlot::kKeyboardKeyLink, StoreKind::kKeyboardKey},
      {WorkerSlot::kMouseLightLink, StoreKind::kMouseLight},
      {WorkerSlot::kMouseKeyLink, StoreKind::kMouseKey},
      {WorkerSlot::kMousepadLightLink, StoreKind::kMousepadLight},
      {WorkerSlot::kKeyboardLightLink, StoreKind::kKeyboardLight},
  };
  for (const auto& [slot, store] : linkSlots) {
    // The choice goes to the UI thread as a task: the selection runs there as a manual one would.
    auto show = [this, store = store](int index) {
      window_.PostTask([this, store, index] { panels_(store).ShowLinked(index); });
    };
    auto watcher = std::make_unique<session::ApplicationLinkWatcher>(
        library.Store(store), [this] { return Foreground(); }, std::move(show), poll);
    window_.SetWorkerEntry(slot, [w = watcher.get()](const StopEvent& stop) { w->Run(stop); });
    watchers_[static_cast<std::size_t>(store)] = std::move(watcher);
  }
}

void LinkWiring::UseProvider(platform::ForegroundProvider provider) {
  provider_ = std::move(provider);
}

std::string LinkWiring::Foreground() {
  // The probe is fixed before the threads start and safe to call from several at once.
  return provider_.probe ? provider_.probe->ForegroundApplication() : std::string();
}

void LinkWiring::Shown(StoreKind store, int index) {
  watchers_[static_cast<std::size_t>(store)]->Shown(index);
}

session::ApplicationLinkWatcher& LinkWiring::Watcher(StoreKind store) {
  return *watchers_[static_cast<std::size_t>(store)];
}

}  // namespace korva::app
