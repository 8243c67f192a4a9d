#include "app/MainWatcherHost.h"

#include "app/MainWnd.h"

namespace korva::app {

void MainWatcherHost::ReadDeviceOnArrival(const device::Arrival& arrival) {
  window_.ReadOnArrival(arrival);
}

void MainWatcherHost::PostShowTab(device::DeviceKind kind) {
  window_.PostTask([this, kind] { window_.ShowDeviceTab(kind); });
}

void MainWatcherHost::PostArrival(const device::Arrival& arrival) {
  window_.PostTask([this, arrival] { window_.ApplyArrival(arrival); });
}

void MainWatcherHost::PostRemoval(device::DeviceKind kind) {
  window_.PostTask([this, kind] { window_.OnDeviceRemoved(kind); });
}

void MainWatcherHost::PostSameModeVisible(device::DeviceKind kind, bool visible) {
  window_.PostTask([this, kind, visible] { window_.SetSameModeVisible(kind, visible); });
}

void MainWatcherHost::PostWake() {
  window_.Post(WindowMessage::WakeMessage);
}

void MainWatcherHost::Send(WindowMessage message, const StopEvent& stop) {
  window_.Send(message, 0, 0, stop.Token());
}

void MainWatcherHost::TriggerClickReaction() {
  window_.PostTask([this] { window_.TriggerClickReaction(); });
}

}  // namespace korva::app
