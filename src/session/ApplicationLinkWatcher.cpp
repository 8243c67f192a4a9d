#include "session/ApplicationLinkWatcher.h"

#include "common/Log.h"
#include "profile/ApplicationLink.h"

namespace korva::session {

ApplicationLinkWatcher::ApplicationLinkWatcher(profile::ProfileStore& store, Foreground foreground, Show show,
                                               std::chrono::milliseconds poll)
    : store_(store), foreground_(std::move(foreground)), show_(std::move(show)), poll_(poll) {}

LinkPoll ApplicationLinkWatcher::Poll() {
  {
    // A link made from here on is seen by this poll or wakes the next sleep.
    std::lock_guard lock(wakeMutex_);
    linksChanged_ = false;
  }
  const std::vector<profile::ProfileLink> links = store_.Links();
  LinkPoll poll;
  poll.linked = profile::AnyLinked(links);
  // Without a link no application can change the profile: the desktop is not even asked.
  const std::string executable = poll.linked && foreground_ ? foreground_() : std::string();
  const int linked = profile::LinkedProfileOf(links, executable);
  // An empty list has nothing to show; a selection already on screen costs nothing.
  if (links.empty()) return poll;
  poll.wanted = linked >= 0 ? linked : store_.SelectedIndex();
  if (poll.wanted != shown_.load() && show_) show_(poll.wanted);
  return poll;
}

void ApplicationLinkWatcher::LinksChanged() {
  {
    std::lock_guard lock(wakeMutex_);
    linksChanged_ = true;
  }
  wake_.notify_all();
}

bool ApplicationLinkWatcher::WaitForLinks(const StopEvent& stop) {
  std::unique_lock lock(wakeMutex_);
  wake_.wait(lock, stop.Token(), [this] { return linksChanged_; });
  return stop.IsSet();
}

void ApplicationLinkWatcher::Run(const StopEvent& stop) {
  while (!stop.Wait(std::chrono::milliseconds(1))) {
    const bool following = Poll().linked && foreground_;
    if (following ? stop.Wait(poll_) : WaitForLinks(stop)) break;
  }
  Trace(LinkWatcherEndText(store_.layout().kind));
}

std::string_view LinkWatcherEndText(profile::StoreKind store) {
  switch (store) {
    case profile::StoreKind::kKeyboardLight:
      return "键盘灯光进程侦测线程设定退出";
    case profile::StoreKind::kKeyboardKey:
      return "键盘按键进程侦测线程设定退出";
    case profile::StoreKind::kMouseLight:
      return "鼠标灯光进程侦测线程设定退出";
    case profile::StoreKind::kMouseKey:
      return "鼠标按键进程线程设定退出";
    case profile::StoreKind::kMousepadLight:
      break;
  }
  return "鼠标垫灯光进程侦测线程设定退出";
}

}  // namespace korva::session
