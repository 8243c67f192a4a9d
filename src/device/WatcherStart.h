#pragma once
// What the device watchers and the synchronisation readers are started with: the four devices, their
// host (the device session) and the paces.

#include <atomic>
#include <chrono>

#include "device/ConnectedDevices.h"
#include "device/ConnectionBell.h"
#include "device/HidDevice.h"
#include "device/KnownDevices.h"
#include "device/WatcherHost.h"

namespace korva::device {

// The session's four device objects. The mouse's and mousepad's identity patterns are set before
// the threads start; the headset's link is never opened (its presence comes from the audio library).
struct DeviceSet {
  HidDevice& keyboard;
  HidDevice& mouse;
  HidDevice& mousepad;
  HidDevice& headset;

  ConnectedDevices Connected() const;
};

struct WatcherPaces {
  std::chrono::milliseconds stopCheck{1};         // the stop test before each cycle
  std::chrono::milliseconds connected{100};       // HID watcher pause while its device is connected
  std::chrono::milliseconds absent{1000};         // ... and while it is not
  std::chrono::milliseconds headset{10};          // headset watcher pause
  std::chrono::milliseconds keyboardSettle{100};  // between showing "kb_tab" and reading the keyboard
  // The longest wait of one consumer report read. A read ends at once when a report comes, the device
  // goes (the read fails) or the stop is set (it aborts the read), so this only bounds how long a
  // reader trusts a quiet device before it tests the device's presence itself.
  std::chrono::milliseconds readerRead{5000};
  // After an answer to a command on the reader's node, how long the reader lets the node's reports
  // gather before taking them all. The node keeps kHidReportBuffer reports per reader and the link
  // answers at most one request per two report intervals (2 ms), so 50 ms stays far inside it.
  std::chrono::milliseconds readerBusyPause{50};
  std::chrono::milliseconds readerSearch{1000};   // pause between two searches of a reader
};

// The HID watchers' first searches: the headset watcher's first wake-up waits for them, so a start
// with a device plugged in does not warn "no device" while that device is being found.
class FirstSearches {
 public:
  static constexpr int kHidWatchers = 3;
  explicit FirstSearches(int watchers = kHidWatchers) : left_(watchers) {}
  // One HID watcher's first search ended (found or not). Once per watcher.
  void Done() const { left_.fetch_sub(1); }
  bool AllDone() const { return left_.load() <= 0; }

 private:
  mutable std::atomic<int> left_;
};

struct WatcherStart {
  DeviceSet devices;
  WatcherHost& host;
  WatcherPaces paces{};
  // Rung by the HID watchers when their device comes or goes, and after their first search.
  ConnectionBell connectionChanged{};
  FirstSearches firstSearches{};
};

}  // namespace korva::device
