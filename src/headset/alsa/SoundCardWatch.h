#pragma once
// Tells whether the set of sound cards may have changed since the last look, so the headset query
// (asked every few milliseconds by the headset watcher) scans /proc/asound only after a card came
// or went instead of on every call. The sign is the device nodes folder (/dev/snd): its nodes are
// created after a card's /proc entry and removed when the card goes. Without inotify, or without
// the folder, every look says "changed", which is the scan on every call.

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

 private:
  bool Watch();

  std::filesystem::path nodes_;
  int inotify_ = -1;
  int watch_ = -1;
  bool first_ = true;
};

}  // namespace korva::headset
