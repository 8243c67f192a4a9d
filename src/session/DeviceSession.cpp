#include "session/DeviceSession.h"

#include <mutex>

#include "common/Log.h"
#include "device/KnownDevices.h"
#include "headset/AudioLibrary.h"
#include "session/BasicController.h"
#include "session/KeyboardController.h"
#include "session/MouseController.h"
#include "session/MousepadController.h"
#include "session/SessionTexts.h"

namespace korva::session {
namespace {

std::array<std::unique_ptr<device::HidDevice>, kDeviceKindCount> MakeDevices(device::HidBackend& backend) {
  std::array<std::unique_ptr<device::HidDevice>, kDeviceKindCount> devices;
  for (auto& device : devices) device = std::make_unique<device::HidDevice>(backend);
  return devices;
}

// The devices restored by "Restore all defaults", in this order.
constexpr std::array kRestoreOrder = {DeviceKind::kKeyboard, DeviceKind::kMouse, DeviceKind::kMousepad};

}  // namespace

DeviceSession::DeviceSession(device::HidBackend& backend, headset::AudioLibrary& audio, SessionOptions options)
    : options_(std::move(options)),
      audio_(audio),
      devices_(MakeDevices(backend)),
      watcherStart_{device::DeviceSet{*devices_[0], *devices_[1], *devices_[2], *devices_[3]}, *this,
                    options_.paces} {
  for (DeviceKind kind : kAllDeviceKinds) {
    device::HidDevice& device = Device(kind);
    device.lightingBell = &lightingChanges_;
    if (kind == DeviceKind::kMouse) {
      auto mouse = std::make_unique<MouseController>(device, options_.folders, options_.defaultsFolder);
      mouse_ = mouse.get();
      controllers_[IndexOf(kind)] = std::move(mouse);
    } else if (kind == DeviceKind::kKeyboard) {
      auto keyboard = std::make_unique<KeyboardController>(device, options_.folders, options_.defaultsFolder);
      keyboard_ = keyboard.get();
      controllers_[IndexOf(kind)] = std::move(keyboard);
    } else if (kind == DeviceKind::kMousepad) {
      auto mousepad = std::make_unique<MousepadController>(device, options_.folders, options_.defaultsFolder);
      mousepad_ = mousepad.get();
      controllers_[IndexOf(kind)] = std::move(mousepad);
    } else {
      controllers_[IndexOf(kind)] = std::make_unique<BasicController>(kind, device, options_.folders);
    }
  }
}

DeviceSession::~DeviceSession() = default;

void DeviceSession::SetSystemAwake(bool awake) {
  systemAwake_.store(awake);
  lightingChanges_.Ring();
  Trace(awake ? "system resumed" : "system suspending");
}

void DeviceSession::Initialise() {
  // The keyboard has no pattern: its watcher knows both models.
  Device(DeviceKind::kMouse).identity = device::kMouseIdentity;
  Device(DeviceKind::kMousepad).identity = device::kMousepadIdentity;
  Device(DeviceKind::kHeadset).identity = device::kHeadsetIdentity;
  for (DeviceKind kind : kAllDeviceKinds) {
    if (kind != DeviceKind::kKeyboard) Device(kind).connected = false;
  }
  for (auto& controller : controllers_) controller->Initialise();
  PublishLighting();
}

// --- UI thread -------------------------------------------------------------------------------

void DeviceSession::Report(DeviceKind kind, const DeviceOutcome& outcome) {
  if (!host_) return;
  if (outcome.changed) host_->DeviceChanged(kind);
  if (!outcome.message.empty()) host_->ShowMessage(outcome.message);
}

void DeviceSession::ReadAll(DeviceKind kind) {
  const DeviceOutcome read = Controller(kind).ReadAll();
  PublishLighting();
  // The page shows the device again whatever the read found, as after an arrival.
  Report(kind, {true, read.message});
}

void DeviceSession::ReadKeyboardDefaults() {
  Report(DeviceKind::kKeyboard, Keyboard().ReadDefaults());
}

void DeviceSession::UploadKeyboard() {
  Report(DeviceKind::kKeyboard, Keyboard().Upload());
}

void DeviceSession::ReloadProfile(DeviceKind kind) {
  Controller(kind).ReloadProfile();
  PublishLighting();
  Report(kind, {true});
}

void DeviceSession::FlushDeferredWrites() {
  for (DeviceKind kind : {DeviceKind::kKeyboard, DeviceKind::kMouse, DeviceKind::kMousepad})
    Report(kind, Controller(kind).FlushDeferredWrite());
}

RestoreReport DeviceSession::RestoreAll() {
  RestoreReport report;
  for (DeviceKind kind : kRestoreOrder) {
    if (!Device(kind).connected) continue;
    const DeviceOutcome outcome = Controller(kind).RestoreDefaults();
    if (outcome.changed) {
      ++report.restored;
      if (host_) host_->DeviceChanged(kind);
    }
    if (report.message.empty()) report.message = outcome.message;
  }
  PublishLighting();
  if (report.message.empty()) report.message = report.restored > 0 ? kTextRestored : kTextNoDevice;
  return report;
}

lighting::LightingSnapshot DeviceSession::Read() const {
  lighting::LightingSnapshot records;
  for (DeviceKind kind : kAllDeviceKinds) records.devices[IndexOf(kind)] = controllers_[IndexOf(kind)]->Lighting();
  records.synchronised = synchronised_;
  return records;
}

void DeviceSession::Write(const lighting::LightingSnapshot& records) {
  for (DeviceKind kind : kAllDeviceKinds) controllers_[IndexOf(kind)]->SetLighting(records.devices[IndexOf(kind)]);
  synchronised_ = records.synchronised;
  published_.Write(records);
  lightingChanges_.Ring();
}

void DeviceSession::SetAllSyncLighting() {
  for (DeviceKind kind : kAllDeviceKinds) Device(kind).syncLighting = true;
  lightingChanges_.Ring();
}

// --- watcher and reader threads --------------------------------------------------------------

void DeviceSession::Post(std::function<void(SessionHost&)> call) {
  if (!host_) return;
  host_->PostToUi([this, call = std::move(call)] {
    if (host_) call(*host_);
  });
}

int DeviceSession::ReadStoredSelection(DeviceKind kind, device::StoredSelection which) {
  return Controller(kind).StoredSelection(which);
}

bool DeviceSession::HeadsetPresent() {
  headset::PresentDeviceList list{};
  audio_.Search_Present_Device(list);
  return headset::ReportsHeadset(list);
}

int DeviceSession::HeadsetPresenceSignal() {
  return audio_.PresenceSignal();
}

void DeviceSession::ReadDeviceOnArrival(const device::Arrival& arrival) {
  Controller(arrival.kind).ReadOnArrival(arrival);
}

void DeviceSession::PostShowTab(DeviceKind kind) {
  Post([kind](SessionHost& host) { host.ShowDeviceTab(kind); });
}

void DeviceSession::PostArrival(const device::Arrival& arrival) {
  Post([this, arrival](SessionHost& host) {
    if (arrival.kind == DeviceKind::kKeyboard && arrival.keyboardModel >= 0)
      keyboardModel_.store(arrival.keyboardModel);
    const DeviceOutcome applied = Controller(arrival.kind).ApplyArrival(arrival);
    PublishLighting();
    host.DeviceArrived(arrival);
    inEffect_[IndexOf(arrival.kind)] = applied.message.empty();
    if (!applied.message.empty()) host.ShowMessage(applied.message);
  });
}

void DeviceSession::PostRemoval(DeviceKind kind) {
  Post([this, kind](SessionHost& host) {
    inEffect_[IndexOf(kind)] = false;
    host.DeviceRemoved(kind);
  });
}

void DeviceSession::PostSameModeVisible(DeviceKind kind, bool visible) {
  Post([kind, visible](SessionHost& host) { host.ShowSameMode(kind, visible); });
}

void DeviceSession::PostWake() {
  if (host_) host_->PostMessage(WindowMessage::WakeMessage);
}

void DeviceSession::Send(WindowMessage message, const StopEvent& stop) {
  if (host_) host_->SendMessage(message, stop.Token());
}

void DeviceSession::TriggerClickReaction() {
  Post([](SessionHost& host) { host.ClickReaction(); });
}

}  // namespace korva::session
