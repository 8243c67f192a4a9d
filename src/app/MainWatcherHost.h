#pragma once
// MainWatcherHost: the main window as the device watchers and synchronisation readers see it
// (device::WatcherHost). The arrival read runs on the calling watcher thread; everything else is
// handed to the UI thread -- the Post calls queue and return at once, Send waits for the UI thread
// but gives up when the reader's stop event is set or the window shuts down.

#include "device/WatcherHost.h"

namespace korva::app {

class CMainWnd;

class MainWatcherHost final : public device::WatcherHost {
 public:
  explicit MainWatcherHost(CMainWnd& window) : window_(window) {}

  void ReadDeviceOnArrival(const device::Arrival& arrival) override;
  void PostShowTab(device::DeviceKind kind) override;
  void PostArrival(const device::Arrival& arrival) override;
  void PostRemoval(device::DeviceKind kind) override;
  void PostSameModeVisible(device::DeviceKind kind, bool visible) override;
  void PostWake() override;
  void Send(WindowMessage message, const StopEvent& stop) override;
  void TriggerClickReaction() override;

 private:
  CMainWnd& window_;
};

}  // namespace korva::app
