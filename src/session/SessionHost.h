#pragma once
// SessionHost: what the device session asks of the window it runs under.
//
// The session is Qt-free and owns no thread of its own; the watcher and reader threads it is
// started with reach the UI thread through the first three calls, which any thread may make. Every
// other call is made on the UI thread, and only after the session has changed what it owns (the
// images, the flags), so the window shows state that is already true.

#include <functional>
#include <stop_token>
#include <string_view>

#include "common/DeviceKind.h"
#include "common/WindowMessage.h"
#include "device/WatcherHost.h"

namespace korva::session {

class SessionHost {
 public:
  virtual ~SessionHost() = default;

  // --- any thread ---
  // Runs `task` on the UI thread later; returns at once. Tasks posted from one thread run in order.
  virtual void PostToUi(std::function<void()> task) = 0;
  // Posts `message` to the window's message handling; returns at once.
  virtual void PostMessage(WindowMessage message) = 0;
  // Delivers `message` to the window's message handling and waits until it was handled. Gives up
  // when `stop` is requested or the window shuts down first.
  virtual void SendMessage(WindowMessage message, std::stop_token stop) = 0;

  // --- UI thread ---
  // The device's tab is shown and selected.
  virtual void ShowDeviceTab(DeviceKind kind) = 0;
  // The device has arrived and its image is in effect: select the stored profiles in the
  // device's profile combos, show the page, repaint shortly.
  virtual void DeviceArrived(const device::Arrival& arrival) = 0;
  // The device has gone (its connected flag is clear): hide its tab and choose another.
  virtual void DeviceRemoved(DeviceKind kind) = 0;
  // Show or hide the device's same-mode check box.
  virtual void ShowSameMode(DeviceKind kind, bool visible) = 0;
  // The device's image changed (a read, a reload, a restore, another device's same-mode copy):
  // its pages show it again.
  virtual void DeviceChanged(DeviceKind kind) = 0;
  // The mouse's click report: the preview's click reactions (mouse and mousepad).
  virtual void ClickReaction() = 0;
  // A failure the user must hear about, as a text id of the language files.
  virtual void ShowMessage(std::string_view textId) = 0;
};

}  // namespace korva::session
