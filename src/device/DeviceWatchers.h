#pragma once
// The device watchers: one thread per device kind polls for its device, opens and identifies it,
// runs its arrival work and notices its removal. The keyboard, mouse and mousepad are found among
// the HID collections; the headset through the audio library's device query.
//
// HID watcher, one cycle, with the device's lock held throughout (arrival work included):
//   - connected: presence test of the opened path. Present: the same-mode check box is shown
//     exactly when another device is connected. Absent: removal -- connected and sync-lighting
//     cleared, link closed, PostRemoval.
//   - not connected: enumerate, open the first collection that passes the identity test and run
//     the arrival work. A failed enumeration is retried on the next cycle.
//   - the first cycle that searched posts the wake-up message when it found the device.
// Pause: 100 ms while connected, 1000 ms otherwise.
//
// Arrival work, in order (R = host.ReadDeviceOnArrival on this thread, the rest posted):
//   keyboard: model from the product id; show "kb_tab"; 100 ms pause; connected; R; read both
//             selections of "kbProfile.ini"; PostArrival
//   mouse:    connected; read "PROFILEDENGSELECT" of "msProfile.ini"; R (loads that light profile,
//             then reads); read "PROFILESELECT"; PostArrival; show "ms_tab"
//   mousepad: connected; R; read "PROFILEDENGSELECT" of "mpProfile.ini"; PostArrival; show "mp_tab"
//
// Headset watcher, one cycle every 10 ms: the device query under the headset's lock; arrival
// (connected, sync-lighting cleared, show "hs_tab", read "PROFILESELECT" of "hsProfile.ini",
// PostArrival), removal (connected and sync-lighting cleared, PostRemoval), or the same-mode check
// box while it stays; the first cycle posts the wake-up message whatever it found.
//
// Every pause waits on the stop event, and setting the event closes the device's link, so that an
// exchange in progress (an arrival read of a device that stopped answering) ends at once; the
// watchers are stopped only at shutdown.

#include <chrono>
#include <optional>

#include "common/StopEvent.h"
#include "device/DeviceSearch.h"
#include "device/WatcherStart.h"

namespace korva::device {

enum class HidWatcherKind { kKeyboard, kMouse, kMousepad };

class HidWatcher {
 public:
  HidWatcher(HidWatcherKind kind, const WatcherStart& start);
  HidWatcher(const HidWatcher&) = delete;
  HidWatcher& operator=(const HidWatcher&) = delete;

  // One polling cycle; returns the pause before the next.
  std::chrono::milliseconds RunCycle(const StopEvent& stop);
  // Cycles until `stop` is set.
  void Run(const StopEvent& stop);

 private:
  // Looks for the device (Find) and, the first time, tells the headset watcher.
  void Search(const StopEvent& stop);
  void Find(const StopEvent& stop);
  void Arrive(const StopEvent& stop);
  void Remove();
  void ShowSameMode();
  // Sets the device's connected flag and rings the headset watcher's doorbell.
  void SetConnected(bool connected);

  const DeviceKind kind_;
  const WatcherStart& start_;
  HidDevice& device_;
  const SearchRule rule_;
  bool firstPass_ = true;
  bool searched_ = false;  // the first search ended
  bool enumerationFailing_ = false;
  std::optional<bool> sameModeShown_;
};

// The longest sleep of a headset watcher that waits for signals.
inline constexpr std::chrono::milliseconds kHeadsetIdleCheck{2000};

class HeadsetWatcher {
 public:
  explicit HeadsetWatcher(const WatcherStart& start);
  HeadsetWatcher(const HeadsetWatcher&) = delete;
  HeadsetWatcher& operator=(const HeadsetWatcher&) = delete;

  std::chrono::milliseconds RunCycle();
  // Cycles until `stop` is set: at the watcher's pace, or, when the host's audio library can signal
  // a change of the headset's presence, whenever that signal or another device's arrival or
  // removal comes (and at least every kHeadsetIdleCheck).
  void Run(const StopEvent& stop);

 private:
  const WatcherStart& start_;
  HidDevice& device_;
  bool firstPass_ = true;
  std::optional<bool> sameModeShown_;
};

// Thread entries (slots 0 to 3 of the main window's worker threads). Each returns when `stop` is set.
void KeyboardWatcherThread(const WatcherStart& start, const StopEvent& stop);
void MouseWatcherThread(const WatcherStart& start, const StopEvent& stop);
void MousepadWatcherThread(const WatcherStart& start, const StopEvent& stop);
void HeadsetWatcherThread(const WatcherStart& start, const StopEvent& stop);

}  // namespace korva::device
