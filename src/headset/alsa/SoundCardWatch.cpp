#include "headset/alsa/SoundCardWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace korva::headset {

SoundCardWatch::SoundCardWatch(std::filesystem::path nodes) : nodes_(std::move(nodes)) {
  inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  Watch();
}

SoundCardWatch::~SoundCardWatch() {
  if (inotify_ >= 0) ::close(inotify_);
}

void SoundCardWatch::Watch() {
  if (inotify_ < 0) return;
  watch_ = inotify_add_watch(inotify_, nodes_.c_str(),
                             IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF);
  if (watch_ >= 0) {
    if (parentWatch_ >= 0) inotify_rm_watch(inotify_, parentWatch_);
    parentWatch_ = -1;
  } else if (parentWatch_ < 0) {
    parentWatch_ = inotify_add_watch(inotify_, nodes_.parent_path().c_str(), IN_CREATE | IN_MOVED_TO);
  }
}

bool SoundCardWatch::DrainEvents() {
  bool any = false;
  alignas(inotify_event) std::array<char, 4096> buffer{};
  for (;;) {
    const ssize_t got = ::read(inotify_, buffer.data(), buffer.size());
    if (got <= 0) break;  // EAGAIN: nothing (more) happened
    any = true;
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
      // The folder itself went (or its watch was dropped): watch it again, or its parent for it.
      if (event->wd == watch_ && (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED))) watch_ = -1;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  return any;
}

bool SoundCardWatch::Changed() {
  if (inotify_ < 0) return true;
  const bool events = DrainEvents();
  if (first_) {
    first_ = false;
    return true;
  }
  if (watch_ < 0) {
    // Unwatched folder: look again for it after any event of the parent (it may have been created).
    Watch();
    // Dropping the parent's watch queues an event of its own; whatever else came meanwhile is
    // covered by the scan this answer asks for.
    if (watch_ >= 0) DrainEvents();
    return events || (watch_ < 0 && parentWatch_ < 0);
  }
  return events;
}

}  // namespace korva::headset
