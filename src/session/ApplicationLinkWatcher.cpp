#include "session/ApplicationLinkWatcher.h"

#include "common/Log.h"
#include "profile/ApplicationLink.h"

namespace korva::session {

ApplicationLinkWatcher::ApplicationLinkWatcher(profile::ProfileStore& store, Foreground foreground, Show show,
                                               std::chrono::milliseconds poll)
    : store_(store), foreground_(std::move(foreground)), show_(std::move(show)), poll_(poll) {}

int ApplicationLinkWatcher::Poll() {
  const std::string executable = foreground_ ? foreground_() : std::string();
  const int linked = profile::LinkedProfileOf(store_.Links(), executable);
  const int wanted = linked >= 0 ? linked : store_.SelectedIndex();
  // An empty list has nothing to show; a selection already on screen costs nothing.
  if (store_.Count() > 0 && wanted != shown_.load() && show_) show_(wanted);
  return wanted;
}

void ApplicationLinkWatcher::Run(const StopEvent& stop) {
  while (!stop.Wait(std::chrono::milliseconds(1))) {
    Poll();
    if (stop.Wait(poll_)) break;
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
