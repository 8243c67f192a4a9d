#pragma once
// DeviceController: one device kind as the session drives it -- its HidDevice, its image (the one
// source of truth for its settings and its lighting record), its profile libraries, its deferred
// write and its arrival, reload and restore work.
//
// Threads: ReadOnArrival and StoredSelection run on the device's watcher thread (a HID watcher
// holds the device's lock); every other call runs on the UI thread, which owns the image.

#include <optional>
#include <string_view>

#include "common/DeviceKind.h"
#include "device/HidDevice.h"
#include "device/WatcherHost.h"
#include "lighting/LightingSettings.h"
#include "profile/ProfileStore.h"

namespace korva::session {

class SessionHost;

// What a UI-thread operation did, for the session to pass on to the window.
struct DeviceOutcome {
  bool changed = false;           // the image changed: the device's pages show it again
  std::string_view message = {};  // a text id to show; empty for none
  std::optional<int> number = {};  // the message's "%d", when it has one
};

class DeviceController {
 public:
  DeviceController(DeviceKind kind, device::HidDevice& device) : kind_(kind), device_(device) {}
  virtual ~DeviceController() = default;
  DeviceController(const DeviceController&) = delete;
  DeviceController& operator=(const DeviceController&) = delete;

  DeviceKind Kind() const { return kind_; }
  device::HidDevice& Device() { return device_; }
  const device::HidDevice& Device() const { return device_; }

  // "windowinit", before the watchers start: the profile libraries get their first profiles.
  virtual void Initialise() {}

  // --- watcher thread ---
  // The stored selection of the device's profile library (0 when none is stored).
  virtual int StoredSelection(device::StoredSelection which) const = 0;
  // The full read of an arrival into a fresh image, kept for ApplyArrival. Touches nothing the UI
  // thread owns and never waits for it.
  virtual void ReadOnArrival(const device::Arrival& /*arrival*/) {}

  // --- UI thread ---
  // Puts the image ReadOnArrival read into effect; its message when the read refused the device.
  virtual DeviceOutcome ApplyArrival(const device::Arrival& /*arrival*/) { return {}; }
  // The device's own full-reload report, or the read after start-up: the whole device again.
  virtual DeviceOutcome ReadAll() { return {}; }
  // The device's own profile-changed report: its active profile again.
  virtual DeviceOutcome ReloadProfile() { return {}; }
  // Timer 2: writes the settings record when a change waits.
  virtual DeviceOutcome FlushDeferredWrite() { return {}; }
  virtual bool DeferredWritePending() const { return false; }
  // "Restore all defaults": the device's default profiles, as each profile library restores them.
  virtual DeviceOutcome RestoreDefaults() { return {}; }

  // The device's lighting record, read from and written to its image.
  virtual lighting::LightingSettings Lighting() const = 0;
  virtual void SetLighting(const lighting::LightingSettings& record) = 0;
  // Saves the selected light profile from the image.
  virtual void SaveLightProfile() {}
  // The device's profile library of that kind; nullptr when the device has none of it.
  virtual profile::ProfileStore* ProfileStoreOf(profile::StoreKind /*kind*/) { return nullptr; }

 private:
  const DeviceKind kind_;
  device::HidDevice& device_;
};

}  // namespace korva::session
