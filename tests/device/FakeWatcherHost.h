#pragma once
// A WatcherHost that plays the main window: it records every call in order, keeps a model of the
// tab strip (visible tabs, selected tab, window hidden) that it changes the way the main window
// must, and lets a test hold the readers' sends until it releases them. Tests wait for its events
// on a condition variable.

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <future>
#include <mutex>
#include <set>
#include <vector>

#include "common/StopEvent.h"
#include "common/WakeFd.h"
#include "common/WindowMessage.h"
#include "device/CommandExchange.h"
#include "device/WatcherHost.h"
#include "device/WatcherStart.h"
#include "session/TabPreference.h"

namespace korva::device::test {

using session::ChooseTabAfterRemoval;
using session::TabChoice;

// The device of an event that has none (the wake-up, the readers' sends, the click report).
inline constexpr std::optional<DeviceKind> kNoDevice = std::nullopt;

struct HostEvent {
  enum class Type { kRead, kShowTab, kArrival, kRemoval, kSameMode, kWake, kSendBegin, kSendEnd, kClick };
  Type type = Type::kWake;
  std::optional<DeviceKind> kind;
  Arrival arrival;                                     // kRead, kArrival
  bool visible = false;                                // kSameMode
  WindowMessage message = WindowMessage::WakeMessage;  // kSendBegin, kSendEnd
  TabChoice choice;                                    // kRemoval: what the window did
  // kRead: what the arrival read found.
  bool lockTakenByAnotherThread = false;
  bool connectedAtRead = false;
  int exchangeResult = 0;
};

class FakeWatcherHost final : public WatcherHost {
 public:
  using Type = HostEvent::Type;

  explicit FakeWatcherHost(DeviceSet devices) : devices_(devices) {}

  // --- WatcherHost ---
  int ReadStoredSelection(DeviceKind kind, StoredSelection which) override {
    std::lock_guard lock(mutex_);
    const auto it = selections_.find({kind, which});
    return it == selections_.end() ? 0 : it->second;
  }
  bool HeadsetPresent() override {
    std::lock_guard lock(mutex_);
    ++presenceQueries_;
    // As a chip with a presence signal does: the query clears it.
    if (presenceSignal) presenceSignal->Drain();
    return headsetPresent_;
  }
  int HeadsetPresenceSignal() override { return presenceSignal ? presenceSignal->Fd() : -1; }
  void ReadDeviceOnArrival(const Arrival& arrival) override {
    HidDevice& device = DeviceOf(arrival.kind);
    HostEvent e = Make(Type::kRead, arrival.kind);
    e.arrival = arrival;
    // Another thread must find the lock taken: the watcher holds it for the whole arrival read.
    e.lockTakenByAnotherThread = !std::async(std::launch::async, [&device] {
                                    const bool got = device.lock.try_lock();
                                    if (got) device.lock.unlock();
                                    return got;
                                  }).get();
    e.connectedAtRead = device.connected;
    std::array<std::uint8_t, kInfoSize> info{};
    e.exchangeResult = ReadInfo(device, info);
    if (onRead) onRead(arrival);
    Record(e);
  }
  void PostShowTab(DeviceKind kind) override {
    {
      std::lock_guard lock(mutex_);
      visibleTabs_.insert(kind);
      selectedTab_ = kind;
    }
    Record(Make(Type::kShowTab, kind));
  }
  void PostArrival(const Arrival& arrival) override {
    HostEvent e = Make(Type::kArrival, arrival.kind);
    e.arrival = arrival;
    Record(e);
  }
  void PostRemoval(DeviceKind kind) override {
    TabChoice choice;
    {
      std::lock_guard lock(mutex_);
      visibleTabs_.erase(kind);
      choice = ChooseTabAfterRemoval(kind, devices_.Connected(), selectedTab_);
      if (choice.action == TabChoice::Action::kSelectTab) selectedTab_ = choice.tab;
      if (choice.action == TabChoice::Action::kHideWindow) windowHidden_ = true;
    }
    HostEvent e = Make(Type::kRemoval, kind);
    e.choice = choice;
    Record(e);
  }
  void PostSameModeVisible(DeviceKind kind, bool visible) override {
    HostEvent e = Make(Type::kSameMode, kind);
    e.visible = visible;
    Record(e);
  }
  void PostWake() override { Record(Make(Type::kWake)); }
  void Send(WindowMessage message, const StopEvent& stop) override {
    std::size_t ticket = 0;
    {
      std::lock_guard lock(mutex_);
      ticket = sendsBegun_++;
    }
    Record(Make(Type::kSendBegin, kNoDevice, message));
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, stop.Token(), [&] { return !holdSends_ || ticket < sendsReleased_; });
    }
    if (onSend) onSend(message);
    Record(Make(Type::kSendEnd, kNoDevice, message));
  }
  void TriggerClickReaction() override { Record(Make(Type::kClick)); }

  // --- test side ---
  // What the profile indexes hold; a selection not set reads 0, as a missing index does.
  void SetSelection(DeviceKind kind, StoredSelection which, int value) {
    std::lock_guard lock(mutex_);
    selections_[{kind, which}] = value;
  }
  void SetHeadsetPresent(bool present) {
    std::lock_guard lock(mutex_);
    headsetPresent_ = present;
  }
  int PresenceQueries() const {
    std::lock_guard lock(mutex_);
    return presenceQueries_;
  }
  const WakeFd* presenceSignal = nullptr;     // set before the threads start; none: -1
  std::function<void(const Arrival&)> onRead;  // set before the threads start
  std::function<void(WindowMessage)> onSend;   // runs before a send returns

  // While held, each Send waits until the test releases it (or its stop event is set).
  void HoldSends(bool hold) {
    std::lock_guard lock(mutex_);
    holdSends_ = hold;
    changed_.notify_all();
  }
  void ReleaseOneSend() {
    std::lock_guard lock(mutex_);
    ++sendsReleased_;
    changed_.notify_all();
  }

  std::vector<HostEvent> Events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }
  std::vector<HostEvent> EventsOf(Type type) const {
    std::vector<HostEvent> out;
    for (const HostEvent& e : Events()) {
      if (e.type == type) out.push_back(e);
    }
    return out;
  }
  void ClearEvents() {
    std::lock_guard lock(mutex_);
    events_.clear();
  }
  // Waits until at least `count` events of `type` were recorded.
  bool WaitFor(Type type, std::size_t count = 1,
               std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] {
      return static_cast<std::size_t>(std::ranges::count(events_, type, &HostEvent::type)) >= count;
    });
  }

  void SelectTab(DeviceKind kind) {
    std::lock_guard lock(mutex_);
    selectedTab_ = kind;
  }
  std::optional<DeviceKind> SelectedTab() const {
    std::lock_guard lock(mutex_);
    return selectedTab_;
  }
  bool TabVisible(DeviceKind kind) const {
    std::lock_guard lock(mutex_);
    return visibleTabs_.contains(kind);
  }
  bool WindowHidden() const {
    std::lock_guard lock(mutex_);
    return windowHidden_;
  }

 private:
  static HostEvent Make(Type type, std::optional<DeviceKind> kind = kNoDevice,
                        WindowMessage message = WindowMessage::WakeMessage) {
    HostEvent e;
    e.type = type;
    e.kind = kind;
    e.message = message;
    return e;
  }
  HidDevice& DeviceOf(DeviceKind kind) const {
    switch (kind) {
      case DeviceKind::kKeyboard:
        return devices_.keyboard;
      case DeviceKind::kMouse:
        return devices_.mouse;
      case DeviceKind::kMousepad:
        return devices_.mousepad;
      default:
        return devices_.headset;
    }
  }
  void Record(const HostEvent& e) {
    std::lock_guard lock(mutex_);
    events_.push_back(e);
    changed_.notify_all();
  }

  DeviceSet devices_;
  mutable std::mutex mutex_;
  mutable std::condition_variable_any changed_;
  std::vector<HostEvent> events_;
  std::set<DeviceKind> visibleTabs_;
  std::optional<DeviceKind> selectedTab_;
  std::map<std::pair<DeviceKind, StoredSelection>, int> selections_;
  bool headsetPresent_ = false;
  int presenceQueries_ = 0;
  bool windowHidden_ = false;
  bool holdSends_ = false;
  std::size_t sendsBegun_ = 0;
  std::size_t sendsReleased_ = 0;
};

}  // namespace korva::device::test
