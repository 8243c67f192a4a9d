#include "device/DeviceWatchers.h"

#include <array>
#include <mutex>
#include <stop_token>
#include <string>
#include <string_view>

#include "common/Log.h"
#include "device/HidChangeWait.h"

namespace korva::device {
namespace {

DeviceKind KindOf(HidWatcherKind kind) {
  switch (kind) {
    case HidWatcherKind::kKeyboard:
      return DeviceKind::kKeyboard;
    case HidWatcherKind::kMouse:
      return DeviceKind::kMouse;
    case HidWatcherKind::kMousepad:
      break;
  }
  return DeviceKind::kMousepad;
}

HidDevice& DeviceOf(HidWatcherKind kind, const DeviceSet& devices) {
  switch (kind) {
    case HidWatcherKind::kKeyboard:
      return devices.keyboard;
    case HidWatcherKind::kMouse:
      return devices.mouse;
    case HidWatcherKind::kMousepad:
      break;
  }
  return devices.mousepad;
}

SearchRule RuleOf(HidWatcherKind kind, const HidDevice& device) {
  // The keyboard has no identity pattern: both models are recognised by fixed ids.
  return kind == HidWatcherKind::kKeyboard ? KeyboardWatcherRule() : PatternWatcherRule(device.identity);
}

std::string_view ExitTrace(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::kKeyboard:
      return "键盘设备侦测线程设定退出";
    case DeviceKind::kMouse:
      return "鼠标设备侦测线程设定退出";
    case DeviceKind::kMousepad:
      return "鼠标垫设备侦测线程设定退出";
    case DeviceKind::kHeadset:
      break;
  }
  return "耳机设备侦测线程设定退出";
}

// Posts the same-mode visibility when it differs from what was last posted.
void PostSameMode(WatcherHost& host, DeviceKind kind, bool wanted, std::optional<bool>& shown) {
  if (shown == wanted) return;
  host.PostSameModeVisible(kind, wanted);
  shown = wanted;
}

}  // namespace

HidWatcher::HidWatcher(HidWatcherKind kind, const WatcherStart& start)
    : kind_(KindOf(kind)),
      start_(start),
      device_(DeviceOf(kind, start.devices)),
      rule_(RuleOf(kind, device_)) {}

std::chrono::milliseconds HidWatcher::RunCycle(const StopEvent& stop) {
  std::lock_guard lock(device_.lock);
  if (device_.connected) {
    if (IsPresent(device_.link.Backend(), device_.link.devicePath.path)) {
      ShowSameMode();
    } else {
      Remove();
    }
  }
  if (!device_.connected) Search(stop);
  return device_.connected ? start_.paces.connected : start_.paces.absent;
}

void HidWatcher::Run(const StopEvent& stop) {
  // An exchange of this device that waits for an answer (the arrival read, under the lock this
  // thread holds) returns at once when the stop event is set.
  std::stop_callback abortTransfers(stop.Token(), [this] { CloseLink(device_.link); });
  // The stop test before each cycle and the pause after it are one wait: the same cadence with
  // half the wake-ups of an idle program. Where the backend can tell when collections come or go,
  // the watcher sleeps until then instead of looking at its pace: an absent device cannot come, nor
  // a present one go, without that sign; a present device's same-mode button follows the other
  // devices, hence the connection bell beside it.
  const std::unique_ptr<HidChangeSignal> changes = device_.link.Backend().WatchChanges();
  const std::shared_ptr<const WakeFd> connections = changes ? start_.connectionChanged.Subscribe() : nullptr;
  if (!stop.Wait(start_.paces.stopCheck)) {
    for (;;) {
      if (connections) connections->Drain();
      const std::chrono::milliseconds pause = RunCycle(stop) + start_.paces.stopCheck;
      // A failed enumeration is retried at the pace: no change may ever come to end that sleep.
      const bool stopped =
          !changes || enumerationFailing_
              ? stop.Wait(pause)
              : WaitForHidChange(*changes, stop, kHidIdleCheck, device_.connected ? connections.get() : nullptr);
      if (stopped) break;
    }
  }
  Trace(ExitTrace(kind_));
}

void HidWatcher::Search(const StopEvent& stop) {
  Find(stop);
  // However the first search ended, the headset watcher's first wake-up may follow it now.
  if (searched_) return;
  searched_ = true;
  start_.firstSearches.Done();
  start_.connectionChanged.Ring();
}

void HidWatcher::Find(const StopEvent& stop) {
  HidLink& link = device_.link;
  if (!EnumerateHidPaths(link)) {
    // Not fatal: the next cycle enumerates again, so the device kind stays watched.
    if (!enumerationFailing_) {
      Trace("HID enumeration failed; the " + std::string(DeviceKindName(kind_)) +
            " watcher retries every cycle until it succeeds");
    }
    enumerationFailing_ = true;
    return;
  }
  enumerationFailing_ = false;
  if (OpenFirstMatch(link, rule_)) Arrive(stop);
  // Only the first search may wake the window; a device that arrives later does not show it.
  if (firstPass_) {
    firstPass_ = false;
    if (device_.connected) start_.host.PostWake();
  }
  link.pathList.clear();
  link.pathCursor = 0;
}

void HidWatcher::Arrive(const StopEvent& stop) {
  WatcherHost& host = start_.host;
  Arrival arrival;
  arrival.kind = kind_;
  sameModeShown_.reset();
  switch (kind_) {
    case DeviceKind::kKeyboard:
      arrival.keyboardModel = device_.link.Attributes().productId == kKeyboardModel1ProductId ? 1 : 0;
      host.PostShowTab(kind_);
      if (stop.Wait(start_.paces.keyboardSettle)) {
        CloseLink(device_.link);
        return;
      }
      SetConnected(true);
      host.ReadDeviceOnArrival(arrival);
      arrival.profileDengSelect = host.ReadStoredSelection(kind_, StoredSelection::kLight);
      arrival.profileSelect = host.ReadStoredSelection(kind_, StoredSelection::kKey);
      host.PostArrival(arrival);
      break;
    case DeviceKind::kMouse:
      SetConnected(true);
      arrival.profileDengSelect = host.ReadStoredSelection(kind_, StoredSelection::kLight);
      host.ReadDeviceOnArrival(arrival);
      arrival.profileSelect = host.ReadStoredSelection(kind_, StoredSelection::kKey);
      host.PostArrival(arrival);
      host.PostShowTab(kind_);
      break;
    case DeviceKind::kMousepad:
      // The tab is shown once, after the page shows what the read found.
      SetConnected(true);
      host.ReadDeviceOnArrival(arrival);
      arrival.profileDengSelect = host.ReadStoredSelection(kind_, StoredSelection::kLight);
      host.PostArrival(arrival);
      host.PostShowTab(kind_);
      break;
    case DeviceKind::kHeadset:
      break;
  }
}

void HidWatcher::Remove() {
  SetConnected(false);
  device_.LeaveSynchronisedLighting();
  // The node is gone; release it now rather than at the next open.
  CloseLink(device_.link);
  sameModeShown_.reset();
  start_.host.PostRemoval(kind_);
}

void HidWatcher::SetConnected(bool connected) {
  device_.connected = connected;
  start_.connectionChanged.Ring();
}

void HidWatcher::ShowSameMode() {
  PostSameMode(start_.host, kind_, start_.devices.Connected().AnyOtherThan(kind_), sameModeShown_);
}

HeadsetWatcher::HeadsetWatcher(const WatcherStart& start) : start_(start), device_(start.devices.headset) {}

std::chrono::milliseconds HeadsetWatcher::RunCycle() {
  WatcherHost& host = start_.host;
  bool found = false;
  {
    std::lock_guard lock(device_.lock);
    found = host.HeadsetPresent();
  }
  if (device_.connected && found) {
    PostSameMode(host, DeviceKind::kHeadset, start_.devices.Connected().AnyOtherThan(DeviceKind::kHeadset),
                 sameModeShown_);
  } else if (device_.connected) {
    device_.connected = false;
    start_.connectionChanged.Ring();
    device_.LeaveSynchronisedLighting();
    sameModeShown_.reset();
    host.PostRemoval(DeviceKind::kHeadset);
  } else if (found) {
    device_.connected = true;
    start_.connectionChanged.Ring();
    device_.LeaveSynchronisedLighting();
    sameModeShown_.reset();
    host.PostShowTab(DeviceKind::kHeadset);
    Arrival arrival;
    arrival.kind = DeviceKind::kHeadset;
    arrival.profileSelect = host.ReadStoredSelection(DeviceKind::kHeadset, StoredSelection::kKey);
    host.PostArrival(arrival);
  }
  // The first wake-up, once the HID watchers have looked for their devices too (their first search
  // rings the connection bell, which wakes this watcher).
  if (firstPass_ && start_.firstSearches.AllDone()) {
    firstPass_ = false;
    host.PostWake();
  }
  return start_.paces.headset;
}

void HeadsetWatcher::Run(const StopEvent& stop) {
  // As the HID watchers: one wait per cycle.
  if (!stop.Wait(start_.paces.stopCheck)) {
    const int presence = start_.host.HeadsetPresenceSignal();
    if (presence < 0) {
      while (!stop.Wait(RunCycle() + start_.paces.stopCheck)) {
      }
    } else {
      // Nothing the cycle looks at changes without one of the two signals: sleep until one comes.
      // Each is cleared before the cycle looks, so a change during the cycle wakes the next wait.
      // The same-mode button follows the other devices, hence the connection bell.
      const std::shared_ptr<const WakeFd> connections = start_.connectionChanged.Subscribe();
      const std::array<int, 2> signals = {presence, connections->Fd()};
      do {
        connections->Drain();
        RunCycle();
      } while (!WaitForFds(stop, signals, kHeadsetIdleCheck));
    }
  }
  Trace(ExitTrace(DeviceKind::kHeadset));
}

void KeyboardWatcherThread(const WatcherStart& start, const StopEvent& stop) {
  HidWatcher(HidWatcherKind::kKeyboard, start).Run(stop);
}

void MouseWatcherThread(const WatcherStart& start, const StopEvent& stop) {
  HidWatcher(HidWatcherKind::kMouse, start).Run(stop);
}

void MousepadWatcherThread(const WatcherStart& start, const StopEvent& stop) {
  HidWatcher(HidWatcherKind::kMousepad, start).Run(stop);
}

void HeadsetWatcherThread(const WatcherStart& start, const StopEvent& stop) {
  HeadsetWatcher(start).Run(stop);
}

}  // namespace korva::device
