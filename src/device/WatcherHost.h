#pragma once
// WatcherHost: what the device watchers and the synchronisation readers need from the main window.
//
// Threading contract. The watchers run the I/O of a device's arrival on their own thread, holding
// the device's lock (ReadDeviceOnArrival); everything that changes controls or the images the UI
// thread owns is handed to the UI thread with the Post calls, which only queue and return at once.
// A watcher never waits for the UI thread while it holds a device lock: the UI thread may itself be
// waiting for that lock in an exchange. The readers hold no lock; their Send waits for the UI thread.
// Posts from one watcher reach the UI thread in the order they were made.

#include <optional>

#include "common/StopEvent.h"
#include "common/WindowMessage.h"
#include "device/KnownDevices.h"

namespace korva::device {

// What a watcher found when its device arrived, and the stored profile selections the host gave it
// (from the device's profile index file: "kbProfile.ini", "msProfile.ini", "mpProfile.ini",
// "hsProfile.ini").
struct Arrival {
  DeviceKind kind = DeviceKind::kKeyboard;
  int keyboardModel = -1;  // keyboard: 0 for product 0x8901, 1 for 0x7680; -1 for the others
  // "PROFILEDENGSELECT"/"select" (light profile; keyboard, mouse, mousepad), when read.
  std::optional<int> profileDengSelect;
  // "PROFILESELECT"/"select" (key profile of keyboard and mouse; the headset's profile), when read.
  std::optional<int> profileSelect;

  bool operator==(const Arrival&) const = default;
};

// The two stored profile selections of a device.
enum class StoredSelection {
  kLight,  // "PROFILEDENGSELECT": the light profile (keyboard, mouse, mousepad)
  kKey,    // "PROFILESELECT": the key profile (keyboard, mouse); the headset's profile
};

class WatcherHost {
 public:
  virtual ~WatcherHost() = default;

  // --- on a watcher thread (a HID watcher holds its device's lock) ---

  // The stored selection `which` of the device's profile library (0 when none is stored). The
  // watcher asks at the moment its arrival order says the index file is read.
  virtual int ReadStoredSelection(DeviceKind kind, StoredSelection which) = 0;
  // The headset watcher's device query, with the headset's lock held: whether it is present now.
  virtual bool HeadsetPresent() = 0;
  // A descriptor that becomes readable when HeadsetPresent may answer otherwise (the next
  // HeadsetPresent clears it); -1 when there is none and the watcher must ask at its pace.
  virtual int HeadsetPresenceSignal() { return -1; }

  // The device's full read into a fresh image (keyboard, mouse, mousepad; never the headset). The
  // device's connected flag is already set, so the exchanges go out. For the mouse, first the light
  // profile `arrival.profileDengSelect` is loaded into the image, then the device is read over it.
  // For the keyboard, `arrival.keyboardModel` is the model just found. Must not wait for the UI thread.
  virtual void ReadDeviceOnArrival(const Arrival& arrival) = 0;

  // --- queued to the UI thread; each returns at once ---

  // Make the device's tab visible and select it; for the keyboard, mouse and mousepad also set the
  // current device page (0, 1, 2).
  virtual void PostShowTab(DeviceKind kind) = 0;
  // Finish an arrival: set KeyboardModel (keyboard), put the image that ReadDeviceOnArrival read
  // into effect, select the stored profiles in the profile combos ("kb_deng_profile_combo" and
  // "kb_key_profile_combo", "ms_deng_profile_combo" and "ms_key_profile_combo",
  // "mp_deng_profile_combo", "head_device_profile_combo"), refresh the device page (the mousepad
  // also marks "mp_tab" for update), then start timer 7 with 100 ms (not for the headset).
  virtual void PostArrival(const Arrival& arrival) = 0;
  // The device has gone (its connected flag is already clear): hide its tab and choose the tab to
  // show instead (session::ChooseTabAfterRemoval).
  virtual void PostRemoval(DeviceKind kind) = 0;
  // Show or hide the device's same-mode check box. Posted when the wanted
  // visibility changes while the device is connected, and after each arrival.
  virtual void PostSameModeVisible(DeviceKind kind, bool visible) = 0;
  // The wake-up message (WindowMessage::WakeMessage): show the window if a device is connected,
  // else warn.
  virtual void PostWake() = 0;

  // --- on a synchronisation reader's thread, no lock held ---

  // Delivers `message` (WM_KB_PROFILE, WM_KB_RELOAD, WM_MS_PROFILE, WM_MS_RELOAD) to the UI thread
  // and waits until it has been handled, i.e. the device has been re-read. Returns early once
  // `stop` is set, so that a reader never holds up a shutdown whose UI thread waits for it.
  virtual void Send(WindowMessage message, const StopEvent& stop) = 0;
  // The mouse's 0x0403 report: set both reaction triggers of the lighting preview (mouse and
  // mousepad). Must not block.
  virtual void TriggerClickReaction() = 0;
};

}  // namespace korva::device
