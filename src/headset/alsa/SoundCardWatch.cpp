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

bool SoundCardWatch::Watch() {
  if (inotify_ < 0) return false;
  watch_ = inotify_add_watch(inotify_, nodes_.c_str(),
                             IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF);
  return watch_ >= 0;
}

bool SoundCardWatch::Changed() {
  if (first_) {
    first_ = false;
    return true;
  }
  // A folder that could not be watched (no sound card yet: udev creates it with the first card)
  // is tried again each time, and meanwhile every look counts as a change.
  if (watch_ < 0) {
    Watch();
    return true;
  }
  bool changed = false;
  alignas(inotify_event) std::array<char, 4096> buffer{};
  for (;;) {
    const ssize_t got = ::read(inotify_, buffer.data(), buffer.size());
    if (got <= 0) break;  // EAGAIN: nothing (more) happened
    changed = true;
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
      // The folder itself went (or the watch was dropped): watch it again when it is back.
      if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) watch_ = -1;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  return changed;
}

}  // namespace korva::headset
