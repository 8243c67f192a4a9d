#include "app/Application.h"

#include <QDir>
#include <QTimer>

#include "app/CtlForwarding.h"
#include "app/MainWnd.h"
#include "app/PageWiring.h"
#include "app/SimulatorPanel.h"
#include "common/Log.h"
#include "device/hidapi/HidapiBackend.h"
#include "headset/AudioLibrary.h"
#include "headset/alsa/AudioLibraryAlsa.h"
#include "platform/DesktopPointerSettings.h"
#include "platform/SingleInstance.h"
#include "platform/SuspendWatcher.h"
#include "session/DeviceSession.h"
#include "sim/SimBus.h"
#include "sim/headset/SimulatedHeadsetChip.h"
#include "ui/routing/MsgWnd.h"
#include "ui/controls/StandardControls.h"
#include "ui/Skin.h"

namespace korva::app {

namespace {
// Time the watchers get to find the devices before the --screenshot picture is taken.
constexpr int kScreenshotDelayMs = 2500;
// Requests the simulated bus remembers per device: the latest few, for a debugger to look at; a
// keyboard frame alone is seven requests and the lights stream all day.
constexpr std::size_t kDemoRequestLog = 256;
}  // namespace

Application::Application(AppOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {}

Application::~Application() {
  forwarding_.reset();
  window_.reset();
}

Application::StartResult Application::Start(QString* error) {
  instance_ = std::make_unique<platform::SingleInstance>(options_.runtimeDir);
  if (instance_->Start() == platform::SingleInstance::Role::kSecond) return StartResult::kSecondInstance;

  const QString skinFolder =
      QDir(QString::fromStdString(options_.programFolder.string())).filePath(QStringLiteral("skin"));
  auto opened = ui::Skin::Open(skinFolder);
  if (!opened) {
    if (error) *error = QString::fromStdString(opened.error().ToString());
    return StartResult::kFailed;
  }
  skin_ = std::move(opened.value());
  ui::RegisterStandardControls(skin_->Factory());

  MainWndOptions windowOptions(options_.folders.value_or(profile::DataFolders::FromEnvironment()));
  windowOptions.programFolder = options_.programFolder;
  windowOptions.messageBox = options_.messageBox;
  if (!windowOptions.messageBox) {
    // Page wiring: the skinned message box (CMsgWnd) wherever the owner is one of our windows.
    windowOptions.messageBox = [](QWidget* owner, const QString& textOrId) {
      if (auto* window = qobject_cast<ui::SkinWindow*>(owner)) return ui::ShowMessageBox(*window, textOrId);
      return ShowMessageBox(owner, textOrId);
    };
  }
  const profile::DataFolders folders = windowOptions.folders;
  windowOptions.trayAvailable = options_.trayAvailable;
  windowOptions.startWatchers = options_.startWatchers;

  SimulatedDeviceIds simulated;
  if (options_.commandLine.simulate) {
    auto bus = std::make_unique<sim::SimBus>();
    // The lighting streams alone send hundreds of requests a second: keep only the newest few
    // thousand per device (what the simulator panel and the tests look at), not the bus's default.
    bus->SetRequestLogLimit(kDemoRequestLog);
    simulated = {bus->Plug(sim::SimDeviceKind::kKeyboard), bus->Plug(sim::SimDeviceKind::kMouse),
                 bus->Plug(sim::SimDeviceKind::kMousepad)};
    simBus_ = bus.get();
    backend_ = std::move(bus);
    headsetChip_ = std::make_shared<sim::SimulatedHeadsetChip>();
    headsetChip_->SetPresent(true);
    windowOptions.audioLoader = [chip = headsetChip_] { return headset::AudioChipLoad{chip, 0, {}}; };
  } else {
    backend_ = std::make_unique<device::HidapiBackend>();
    // The real headset: the USB sound card 0c76:1630 through ALSA.
    windowOptions.audioLoader = [] {
      return headset::AudioChipLoad{std::make_shared<headset::AlsaHeadsetChip>(), 0, {}};
    };
  }
  audio_ = std::make_unique<headset::AudioLibrary>();
  session::SessionOptions sessionOptions(folders);
  sessionOptions.defaultsFolder = profile::DefaultFilesFolder(options_.programFolder);
  session_ = std::make_unique<session::DeviceSession>(*backend_, *audio_, std::move(sessionOptions));

  window_ = std::make_unique<CMainWnd>(*skin_, *session_, std::move(windowOptions));
  window_->WatchSingleInstance(*instance_);
  if (options_.watchSuspend) {
    suspend_ = std::make_unique<platform::SuspendWatcher>(nullptr);
    window_->WatchSuspend(*suspend_);
    if (options_.suspendBus)
      suspend_->Start(*options_.suspendBus);
    else
      suspend_->Start();
  }

  if (auto buildError = window_->Create()) {
    if (error) *error = QString::fromStdString(buildError->ToString());
    window_.reset();
    return StartResult::kFailed;
  }
  if (options_.commandLine.language == StartLanguage::kEnglish && !window_->SwitchLanguage())
    qWarning("korva: the English texts cannot be loaded; the texts stay Chinese");
  // Page wiring (PageWiring.h): the notification routing, the skin picker and the device pages,
  // in place before "windowinit"; destroyed after the window (see pages_).
  pages_ = std::make_unique<PageWiring>(*window_, folders, platform::MakeDesktopPointerSettingsForSession(),
                                        options_.messageBox);
  forwarding_ = std::make_unique<CtlForwarding>(*instance_, *window_, *pages_, options_.commandLine.simulate);
  connect(window_.get(), &CMainWnd::shutDown, this, &Application::finished);
  if (!options_.commandLine.screenshot.isEmpty())
    connect(window_.get(), &CMainWnd::initialised, this,
            [this] { QTimer::singleShot(kScreenshotDelayMs, this, &Application::TakeScreenshot); });
  window_->show();
  if (simBus_ && !options_.commandLine.noSimPanel) {
    simPanel_ = std::make_unique<SimulatorPanel>(*simBus_, *headsetChip_, simulated);
    simPanel_->PlaceBeside(*window_);
    simPanel_->show();
  }
  return StartResult::kRunning;
}

void Application::TakeScreenshot() {
  if (!window_) return;
  const QString file = options_.commandLine.screenshot;
  screenshotOk_ = window_->grab().save(file);
  if (!screenshotOk_) qWarning("korva: cannot write the screenshot %s", qPrintable(file));
  window_->close();
}

}  // namespace korva::app
