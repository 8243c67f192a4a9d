#pragma once
// The device session over the simulated bus and headset chip, with a window that records what the
// session tells it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/HidLink.h"
#include "device/KnownDevices.h"
#include "headset/AudioLibrary.h"
#include "profile/DataFolders.h"
#include "session/DeviceSession.h"
#include "session/MouseController.h"
#include "session/SessionHost.h"
#include "sim/SimBus.h"
#include "sim/headset/SimulatedHeadsetChip.h"
#include "tests/profile/TempFolder.h"

namespace korva::session::test {

// The window, as the session sees it: posted work runs at once on the calling thread, and every
// report is recorded.
class RecordingHost final : public SessionHost {
 public:
  void PostToUi(std::function<void()> task) override { task(); }
  void PostMessage(WindowMessage message) override { messages.push_back(message); }
  void SendMessage(WindowMessage message, std::stop_token) override { messages.push_back(message); }
  void ShowDeviceTab(DeviceKind kind) override { Log("tab", kind); }
  void DeviceArrived(const device::Arrival& arrival) override { Log("arrived", arrival.kind); }
  void DeviceRemoved(DeviceKind kind) override { Log("removed", kind); }
  void ShowSameMode(DeviceKind kind, bool visible) override { Log(visible ? "same mode" : "no same mode", kind); }
  void DeviceChanged(DeviceKind kind) override { Log("changed", kind); }
  void ClickReaction() override { events.push_back("click"); }
  void ShowMessage(std::string_view textId) override { shown.emplace_back(textId); }

  std::vector<std::string> events;
  std::vector<std::string> shown;
  std::vector<WindowMessage> messages;

 private:
  void Log(const char* what, DeviceKind kind) { events.push_back(std::string(what) + " " + std::string(DeviceKindName(kind))); }
};

class SessionFixture : public testing::Test {
 protected:
  SessionFixture() {
    chip->SetPresent(false);
    audio.Bind(chip);
    SessionOptions options(folders);
    options.defaultsFolder = profile::DefaultFilesFolder(SourceFolder());
    session = std::make_unique<DeviceSession>(bus, audio, options);
    session->SetHost(&host);
    session->Initialise();
  }

  static std::filesystem::path SourceFolder() {
    const char* dir = std::getenv("KORVA_SOURCE_DIR");
    return dir ? std::filesystem::path(dir) : std::filesystem::current_path();
  }

  device::WatcherHost& Watchers() { return *session; }

  // Plugs a simulated device and opens it on the session's device, as its watcher does.
  int Attach(sim::SimDeviceKind simKind, DeviceKind kind) {
    const int id = bus.Plug(simKind);
    device::HidDevice& device = session->Device(kind);
    for (const device::HidInterfaceInfo& info : bus.Collections(id)) {
      if (info.usagePage != device::kVendorUsagePage || info.usage != device::kVendorUsage) continue;
      device.link.devicePath = info;
      device.link.options = {true, true, true, true};
      if (!device::OpenLink(device.link)) return -1;
      device.connected = true;
      return id;
    }
    return -1;
  }
  bool AttachMouse() {
    mouseId = Attach(sim::SimDeviceKind::kMouse, DeviceKind::kMouse);
    return mouseId >= 0;
  }

  // The mouse's light profile file as stored, its 64-byte record.
  std::vector<std::uint8_t> StoredLightRecord() {
    const profile::PayloadResult loaded =
        session->Mouse().LightStore().LoadProfile(session->Mouse().LightStore().SelectedIndex());
    return loaded.payload;
  }

  profile::testing::TempFolder home;
  profile::DataFolders folders{home.path()};
  sim::SimBus bus;
  std::shared_ptr<sim::SimulatedHeadsetChip> chip = std::make_shared<sim::SimulatedHeadsetChip>();
  headset::AudioLibrary audio;
  RecordingHost host;
  std::unique_ptr<DeviceSession> session;
  int mouseId = -1;
};

}  // namespace korva::session::test
