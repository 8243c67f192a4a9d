#pragma once
// Tells whether the set of sound cards may have changed since the last look, so the headset query
// (asked every few milliseconds by the headset watcher) scans /proc/asound only after a card came
// or went instead of on every call. The sign is the device nodes folder (/dev/snd): its nodes are
// created after a card's /proc entry and removed when the card goes. While the folder does not
// exist (no sound card yet: udev creates it with the first card) its parent is watched for it.
// Without inotify every look says "changed", which is the scan on every call.
//
// Fd() is readable while a change waits to be seen, so the headset watcher can sleep in poll()
// until a card comes or goes instead of asking every few milliseconds.

#include <filesystem>

namespace korva::headset {

class SoundCardWatch {
 public:
  explicit SoundCardWatch(std::filesystem::path nodes = "/dev/snd");
  ~SoundCardWatch();
  SoundCardWatch(const SoundCardWatch&) = delete;
  SoundCardWatch& operator=(const SoundCardWatch&) = delete;

  // True the first time, after any change in the folder since the last call, and whenever the
  // folder cannot be watched. Never blocks.
  bool Changed();
  // The inotify descriptor (readable after a change until Changed() has seen it); -1 without inotify.
  int Fd() const { return inotify_; }

 private:
  // Watches the folder, or, while it does not exist, its parent for its creation.
  void Watch();
  // Reads every pending event; true when there was one. Drops the folder's watch when it went.
  bool DrainEvents();

  std::filesystem::path nodes_;
  int inotify_ = -1;
  int watch_ = -1;        // the folder
  int parentWatch_ = -1;  // its parent, while the folder cannot be watched
  bool first_ = true;
};

}  // namespace korva::headset
