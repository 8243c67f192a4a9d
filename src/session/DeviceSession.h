#pragma once
// DeviceSession: the devices the program runs on, without Qt. It owns, per device kind, the
// HidDevice and a DeviceController (image, profile libraries, deferred write, arrival/removal/
// reload/restore work); it is the watchers' host and the lighting records' store.
//
//   window (app/)  --SessionHost-->  [ DeviceSession ]  --controllers-->  images, transfers, stores
//                                          |                                   |
//                                 watchers, readers (threads 0-5)          device link
//
// Threads. The watcher and reader threads call the WatcherHost side: the arrival read runs on the
// watcher thread under the device lock, into a fresh image of the controller's own; everything
// else is handed to the UI thread through SessionHost::PostToUi / SendMessage. The UI thread owns
// the images and calls every other member. The lighting threads read the published copy of the
// lighting records (PublishedLighting), never the images.

#include <array>
#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>

#include "common/Bell.h"
#include "common/DeviceKind.h"
#include "device/HidDevice.h"
#include "device/WatcherHost.h"
#include "device/WatcherStart.h"
#include "lighting/LightingRecords.h"
#include "profile/DataFolders.h"
#include "session/DeviceController.h"
#include "session/SessionHost.h"

namespace korva::headset {
class AudioLibrary;
}

namespace korva::session {

class KeyboardController;
class MouseController;
class MousepadController;

struct SessionOptions {
  explicit SessionOptions(profile::DataFolders dataFolders) : folders(std::move(dataFolders)) {}

  profile::DataFolders folders;
  std::filesystem::path defaultsFolder;  // the shipped default profiles (profile::DefaultFilesFolder)
  device::WatcherPaces paces{};
};

// What "Restore all defaults" did.
struct RestoreReport {
  int restored = 0;                // devices restored
  std::string_view message = {};   // the text id to show: the first failure, or "restored"
};

class DeviceSession final : public device::WatcherHost, public lighting::LightingRecordStore {
 public:
  // `backend` serves the four HidDevice objects; `audio` is the headset's audio library. Both must
  // outlive the session.
  DeviceSession(device::HidBackend& backend, headset::AudioLibrary& audio, SessionOptions options);
  ~DeviceSession() override;
  DeviceSession(const DeviceSession&) = delete;
  DeviceSession& operator=(const DeviceSession&) = delete;

  // The window the session reports to; set before the watchers start, cleared (nullptr) after they
  // have stopped.
  void SetHost(SessionHost* host) { host_ = host; }

  device::HidDevice& Device(DeviceKind kind) { return *devices_[IndexOf(kind)]; }
  DeviceController& Controller(DeviceKind kind) { return *controllers_[IndexOf(kind)]; }
  MouseController& Mouse() { return *mouse_; }
  KeyboardController& Keyboard() { return *keyboard_; }
  MousepadController& Mousepad() { return *mousepad_; }
  headset::AudioLibrary& Audio() { return audio_; }
  const profile::DataFolders& Folders() const { return options_.folders; }
  const std::filesystem::path& DefaultsFolder() const { return options_.defaultsFolder; }

  // Any thread.
  device::ConnectedDevices Connected() const { return watcherStart_.devices.Connected(); }
  bool AnyConnected() const { return Connected().Any(); }
  // 0 for the keyboard 0x8901, 1 for 0x7680 (as the last keyboard arrival found it).
  int KeyboardModel() const { return keyboardModel_.load(); }
  void SetKeyboardModel(int model) { keyboardModel_.store(model); }
  // 1 while the system runs, 0 from suspend to resume; the lighting streams send only while 1.
  bool SystemAwake() const { return systemAwake_.load(); }
  void SetSystemAwake(bool awake);

  // "windowinit", before the threads start: identity patterns, connected flags cleared, first-run
  // profile libraries.
  void Initialise();
  // What the watcher and reader threads are started with (slots 0-5).
  const device::WatcherStart& WatcherStartBlock() const { return watcherStart_; }

  // --- UI thread ---
  // The device's image holds what was read from it: set when its arrival read is taken over (the
  // watcher marks the device connected before that read), cleared at its removal. Callers outside
  // the watchers (korvactl, or the read without watchers) set it after their own read.
  bool InEffect(DeviceKind kind) const { return inEffect_[IndexOf(kind)]; }
  void SetInEffect(DeviceKind kind, bool inEffect) { inEffect_[IndexOf(kind)] = inEffect; }
  // WM_KB_RELOAD, WM_MS_RELOAD, WM_MP_RELOAD, timers 11 and 12; then the device's pages refresh.
  void ReadAll(DeviceKind kind);
  // WM_KB_PROFILE, WM_MS_PROFILE, WM_MP_PROFILE; then the device's pages refresh.
  void ReloadProfile(DeviceKind kind);
  // Timer 2: keyboard, mouse, mousepad in this order.
  void FlushDeferredWrites();
  bool DeferredWritePending(DeviceKind kind) { return Controller(kind).DeferredWritePending(); }
  // WM_KB_DEFAULTS: the keyboard's factory key block again; its pages refresh.
  void ReadKeyboardDefaults();
  // kb_key_butt_prosave: the keyboard's edited bank to the keyboard.
  void UploadKeyboard();
  // WM_RESTORE_ALL: the default profiles of every connected device (keyboard light then key, mouse
  // light then key, mousepad light), each device's pages refreshed.
  RestoreReport RestoreAll();

  // --- lighting records (UI thread) ---
  // Every device's record from its image, and the synchronised record.
  lighting::LightingSnapshot Read() const override;
  // Every device's record into its image; the whole set then published to the lighting threads.
  void Write(const lighting::LightingSnapshot& records) override;
  // The records as last published: what the lighting threads read (any thread).
  const lighting::LightingRecords& PublishedLighting() const { return published_; }
  // After a page changed a record in an image: publish the records again.
  void PublishLighting() {
    published_.Write(Read());
    lightingChanges_.Ring();
  }
  // Rung whenever what the lighting threads render or stream from changes: the published records,
  // the awake flag, same-mode copying (the lighting threads ring it too, for clicks and mode
  // selections). A thread whose frame stands still sleeps on it.
  const Bell& LightingChanges() const { return lightingChanges_; }
  // Same-mode copying: the sync-lighting flags of all four devices.
  void SetAllSyncLighting();

 private:
  // device::WatcherHost (the watcher and reader threads call these through the base)
  int ReadStoredSelection(DeviceKind kind, device::StoredSelection which) override;
  bool HeadsetPresent() override;
  int HeadsetPresenceSignal() override;
  void ReadDeviceOnArrival(const device::Arrival& arrival) override;
  void PostShowTab(DeviceKind kind) override;
  void PostArrival(const device::Arrival& arrival) override;
  void PostRemoval(DeviceKind kind) override;
  void PostSameModeVisible(DeviceKind kind, bool visible) override;
  void PostWake() override;
  void Send(WindowMessage message, const StopEvent& stop) override;
  void TriggerClickReaction() override;

  void Post(std::function<void(SessionHost&)> call);
  void Report(DeviceKind kind, const DeviceOutcome& outcome);

  SessionOptions options_;
  headset::AudioLibrary& audio_;
  SessionHost* host_ = nullptr;
  // In the order keyboard, mouse, mousepad, headset.
  std::array<std::unique_ptr<device::HidDevice>, kDeviceKindCount> devices_;
  std::array<std::unique_ptr<DeviceController>, kDeviceKindCount> controllers_;
  std::array<bool, kDeviceKindCount> inEffect_{};  // UI thread
  MouseController* mouse_ = nullptr;
  KeyboardController* keyboard_ = nullptr;
  MousepadController* mousepad_ = nullptr;
  lighting::LightingSettings synchronised_{};
  lighting::LightingRecords published_;
  Bell lightingChanges_;
  std::atomic<int> keyboardModel_{0};
  std::atomic<bool> systemAwake_{true};
  device::WatcherStart watcherStart_;
};

}  // namespace korva::session
