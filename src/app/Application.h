#pragma once
// Application: the running program -- single instance, skin, device backend (the USB bus or the
// simulated devices), audio library, device session, main window and suspend watcher -- put together in the order
// start-up needs and taken apart in the reverse order (the main window, whose threads use all the
// rest, goes first).

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/CommandLine.h"
#include "app/MessageBox.h"
#include "profile/DataFolders.h"

namespace korva::device {
class HidBackend;
}
namespace korva::headset {
class AudioLibrary;
}
namespace korva::platform {
class SingleInstance;
class SuspendWatcher;
}  // namespace korva::platform
namespace korva::session {
class DeviceSession;
}
namespace korva::sim {
class SimBus;
class SimulatedHeadsetChip;
}  // namespace korva::sim
namespace korva::ui {
class Skin;
}

namespace korva::app {

class CMainWnd;
class CtlForwarding;
class PageWiring;
class SimulatorPanel;

struct AppOptions {
  CommandLine commandLine;
  QString runtimeDir;                           // single-instance lock and socket; empty: $XDG_RUNTIME_DIR
  bool watchSuspend = true;                     // follow logind's suspend and resume
  std::optional<QDBusConnection> suspendBus;    // logind's bus; nullopt: the system bus
  std::optional<profile::DataFolders> folders;  // nullopt: from the environment
  std::filesystem::path programFolder = profile::ProgramFolder();  // holds skin/, data/, the updaters
  MessageBoxFn messageBox;                                         // empty: ShowMessageBox
  std::optional<bool> trayAvailable;                               // nullopt: ask the desktop
  bool startWatchers = true;  // the device watchers and synchronisation readers
};

class Application : public QObject {
  Q_OBJECT

 public:
  enum class StartResult {
    kRunning,         // the main window runs: enter the event loop
    kSecondInstance,  // another start runs and was woken up: end with 0, without a window
    kFailed,          // see the error text: end with 1
  };

  explicit Application(AppOptions options, QObject* parent = nullptr);
  ~Application() override;

  StartResult Start(QString* error);

  CMainWnd* MainWindow() const { return window_.get(); }
  // With --simulate: the simulated bus (keyboard, mouse, mousepad plugged) and headset chip.
  sim::SimBus* SimulatedBus() const { return simBus_; }
  sim::SimulatedHeadsetChip* SimulatedHeadset() const { return headsetChip_.get(); }
  // With --simulate and without --no-sim-panel: the "Simulated devices" window.
  SimulatorPanel* SimulatedDevicesPanel() const { return simPanel_.get(); }
  // --screenshot: false when the picture could not be written.
  bool ScreenshotOk() const { return screenshotOk_; }

 signals:
  // The main window has shut down: end the event loop.
  void finished();

 private:
  void TakeScreenshot();

  AppOptions options_;
  std::unique_ptr<platform::SingleInstance> instance_;
  std::unique_ptr<ui::Skin> skin_;
  std::unique_ptr<device::HidBackend> backend_;
  sim::SimBus* simBus_ = nullptr;  // backend_ when simulating
  std::shared_ptr<sim::SimulatedHeadsetChip> headsetChip_;
  std::unique_ptr<headset::AudioLibrary> audio_;
  std::unique_ptr<session::DeviceSession> session_;  // the devices: outlive the window and its threads
  std::unique_ptr<platform::SuspendWatcher> suspend_;
  std::unique_ptr<SimulatorPanel> simPanel_;  // uses the bus and the chip: goes before them
  std::unique_ptr<PageWiring> pages_;         // the router and the pages: outlive the window's notifications
  std::unique_ptr<CMainWnd> window_;          // destroyed first but for the forwarding
  std::unique_ptr<CtlForwarding> forwarding_;  // korvactl's requests on the window's session
  bool screenshotOk_ = true;
};

}  // namespace korva::app
