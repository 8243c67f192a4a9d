#include "device/hidapi/HidrawNodeWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <string_view>

namespace korva::device {

HidrawNodeWatch::HidrawNodeWatch(const std::string& folder) {
  fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ < 0) return;
  constexpr std::uint32_t kMask = IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_FROM | IN_MOVED_TO;
  if (inotify_add_watch(fd_, folder.c_str(), kMask) < 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

HidrawNodeWatch::~HidrawNodeWatch() {
  if (fd_ >= 0) ::close(fd_);
}

bool HidrawNodeWatch::Take() {
  bool hidraw = false;
  alignas(inotify_event) std::array<char, 4096> buffer{};
  for (;;) {
    const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
    if (got <= 0) break;  // EAGAIN: nothing (more) happened
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
      if (event->len > 0 && std::string_view(event->name).starts_with("hidraw")) hidraw = true;
      // The folder itself went or was unwatched: nothing will ever come again; let the waiter look.
      if (event->mask & IN_IGNORED) hidraw = true;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  return hidraw;
}

}  // namespace korva::device
