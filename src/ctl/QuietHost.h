#pragma once
// The session's host for a run without a window: posted work runs at once on the calling thread,
// and what a window would show is dropped (korvactl reports from the command's own result).

#include "session/SessionHost.h"

namespace korva::ctl {

class QuietHost final : public session::SessionHost {
 public:
  void PostToUi(std::function<void()> task) override { task(); }
  void PostMessage(WindowMessage) override {}
  void SendMessage(WindowMessage, std::stop_token) override {}
  void ShowDeviceTab(DeviceKind) override {}
  void DeviceArrived(const device::Arrival&) override {}
  void DeviceRemoved(DeviceKind) override {}
  void ShowSameMode(DeviceKind, bool) override {}
  void DeviceChanged(DeviceKind) override {}
  void ClickReaction() override {}
  void ShowMessage(std::string_view) override {}
};

}  // namespace korva::ctl
