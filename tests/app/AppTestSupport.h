#pragma once
// What the shell tests share: a main window on the simulated bus in a temporary data folder, with
// a message box that records instead of waiting for a click.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/MainWnd.h"
#include "device/HidDevice.h"
#include "headset/AudioLibrary.h"
#include "session/DeviceSession.h"
#include "sim/SimBus.h"
#include "ui/Skin.h"

namespace korva::app::test {

// Opens the command collection of simulated device `id` on `device` and marks it connected, as a
// watcher's arrival does.
bool Attach(sim::SimBus& bus, device::HidDevice& device, int id);

// Processes events until `done` holds; false after `timeoutMs`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 10000);

class ShellFixture {
 public:
  ShellFixture();
  ~ShellFixture();

  // The options of the window and of the device session MakeWindow builds; change them before.
  MainWndOptions& Options() { return *options_; }
  session::SessionOptions& SessionOptions() { return *sessionOptions_; }
  // Builds the window (Create); ASSERTs inside gtest are not possible here, so check Window().
  CMainWnd& MakeWindow();
  // MakeWindow, show, and wait for "windowinit". False when it did not come.
  bool StartWindow();
  CMainWnd& Window() { return *window_; }
  session::DeviceSession& Session() { return *session_; }

  std::filesystem::path Home() const { return home_.path().toStdString(); }
  QStringList boxes;            // every message box shown, text or id as given
  std::function<void()> onBox;  // runs inside the (modal) box

  sim::SimBus bus;
  headset::AudioLibrary audio;
  std::unique_ptr<ui::Skin> skin;

 private:
  QTemporaryDir home_;
  std::unique_ptr<MainWndOptions> options_;
  std::unique_ptr<session::SessionOptions> sessionOptions_;
  std::unique_ptr<session::DeviceSession> session_;
  std::unique_ptr<CMainWnd> window_;
};

}  // namespace korva::app::test
