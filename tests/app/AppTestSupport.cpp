#include "AppTestSupport.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <mutex>

#include "device/HidLink.h"
#include "device/KnownDevices.h"
#include "ui/controls/StandardControls.h"

namespace korva::app::test {

bool Attach(sim::SimBus& bus, device::HidDevice& device, int id) {
  for (const device::HidInterfaceInfo& info : bus.Collections(id)) {
    if (info.usagePage != device::kVendorUsagePage || info.usage != device::kVendorUsage) continue;
    std::lock_guard lock(device.lock);
    device.link.devicePath = info;
    device.link.options = {true, true, true, true};
    if (!device::OpenLink(device.link)) return false;
    device.connected = true;
    return true;
  }
  return false;
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  return QTest::qWaitFor(done, timeoutMs);
}

ShellFixture::ShellFixture() {
  auto opened = ui::Skin::Open(ui::Skin::SourceSkinFolder());
  if (opened) {
    skin = std::move(opened.value());
    ui::RegisterStandardControls(skin->Factory());
  }
  options_ = std::make_unique<MainWndOptions>(profile::DataFolders(Home() / "KORVA"));
  sessionOptions_ = std::make_unique<session::SessionOptions>(options_->folders);
  sessionOptions_->defaultsFolder = profile::DefaultFilesFolder(options_->programFolder);
  options_->trayAvailable = true;
  options_->startWatchers = false;  // the watcher tests turn them on
  options_->messageBox = [this](QWidget*, const QString& text) {
    boxes.append(text);
    if (onBox) onBox();
    return 1;
  };
  options_->errorBox = [this](const QString& caption, const QString& text) {
    boxes.append(caption + ": " + text);
  };
}

ShellFixture::~ShellFixture() {
  window_.reset();
  session_.reset();
}

CMainWnd& ShellFixture::MakeWindow() {
  session_ = std::make_unique<session::DeviceSession>(bus, audio, *sessionOptions_);
  window_ = std::make_unique<CMainWnd>(*skin, *session_, *options_);
  if (auto error = window_->Create()) ADD_FAILURE() << error->ToString();
  return *window_;
}

bool ShellFixture::StartWindow() {
  CMainWnd& window = MakeWindow();
  QSignalSpy initialised(&window, &CMainWnd::initialised);
  window.show();
  return initialised.count() > 0 || initialised.wait(10000);
}

}  // namespace korva::app::test
