#pragma once
// CMainWnd: the main window "KORVA DRIVER" (800 x 572) with one tab per device. It owns what is the
// window's: the controls, the sixteen worker threads, the timers, the message set by which workers
// reach the UI thread, the tray icon and the menus. The devices, their images and profile libraries
// belong to the device session (session::DeviceSession), which the window watches as its
// SessionHost and asks to act on timers and messages.
//
// Life of the window:
//   Create()  builds the skin "XML_MAIN" with every page (CreateControl), then InitWindow: the
//             Chinese texts, the window buttons, the 174 key buttons, the palettes' colour, the
//             audio library binding, the tray icon.
//   show()    the first show raises "windowinit": stored background, pages, the session (identity
//             patterns, first-run profiles), hide (the tray and the wake-up show it again), the 16
//             threads, timers 3, 2, 10, 11, 12.
//   Shutdown() ("closebtn", the tray's "exit", closing the window, the end of the program):
//             removes the tray icon, closes the message set, hides the window, stops and joins
//             every thread, stops the timers, then emits shutDown() (main ends the event loop).
//
// Threads. Everything here belongs to the UI thread except what is marked "any thread":
// Post/Send/PostTask/SendTask, SetTimer/KillTimer, WindowLock and the SessionHost calls the
// session makes from its watcher threads. Worker threads change controls only through
// PostTask/SendTask (or a message).
//
// Mends of the start-up rules:
//  - Where the desktop has no system tray, the window is shown where it would be hidden
//    (windowinit, the removal of the last device, show-or-warn): a hidden window without a tray
//    icon could not be reached any more.
//  - Shutdown waits for every thread, never abandoning one after 10 s: a thread left running would
//    go on using the devices and the page state that are destroyed right after. Every wait of a
//    thread is interruptible by its stop request, so the wait ends within one polling cycle; a
//    stop slower than 10 s is logged.
//  - A message sent by a worker while the window shuts down returns at once (UiMessenger), so the
//    worker cannot block the shutdown that waits for it.
//  - WM_KEYBTN_COLOR and WM_KEYBTN_ALPHA with an entry outside the 174 key buttons are ignored.
//  - A language file that cannot be loaded leaves the language (and the language flag) unchanged.

#include <QPointer>
#include <array>
#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "app/DevicePageHooks.h"
#include "app/MessageBox.h"
#include "app/QtDialogTexts.h"
#include "app/UiMessenger.h"
#include "app/WindowMessage.h"
#include "app/WindowTimers.h"
#include "app/WorkerThreads.h"
#include "common/DeviceKind.h"
#include "headset/AudioLibrary.h"
#include "platform/InputCapture.h"
#include "profile/DataFolders.h"
#include "session/DeviceSession.h"
#include "session/SessionHost.h"
#include "ui/SkinWindow.h"

namespace korva::platform {
class SuspendWatcher;
class SingleInstance;
}  // namespace korva::platform

namespace korva::app {

class TrayIcon;

// The key-button controls of the lighting preview: entries 0-19 "ms_dkey_0".."ms_dkey_19",
// 20-34 "mp_dkey_0".."mp_dkey_14", 35-160 "kb_dkey_0".."kb_dkey_125", 161-173 "head_dkey_0".."head_dkey_12".
inline constexpr int kKeyButtonCount = 174;
// The skin name of key-button entry `entry` ("" outside 0..173).
QString KeyButtonName(int entry);

struct MainWndOptions {
  explicit MainWndOptions(profile::DataFolders dataFolders) : folders(std::move(dataFolders)) {}

  profile::DataFolders folders;                                    // "main.ini"
  std::filesystem::path programFolder = profile::ProgramFolder();  // the updaters, the default files
  // Binds the audio library in InitWindow; empty: no audio backend, so no headset.
  headset::AudioChipLoader audioLoader;
  // The message box; empty: ShowMessageBox.
  MessageBoxFn messageBox;
  // The system message box of a failed audio library binding (caption, text); empty: QMessageBox.
  std::function<void(const QString& caption, const QString& text)> errorBox;
  // Whether the desktop has a system tray; nullopt: ask the desktop.
  std::optional<bool> trayAvailable;
  // Whether "windowinit" starts the device watchers and synchronisation readers (threads 0-5) in
  // the slots that have no entry of their own. Tests of other parts turn them off.
  bool startWatchers = true;
};

enum class SkinMenuResult {
  kNotAMenuItem,  // not one of "menu_website", "menu_restore", "menu_update"
  kKeepPicker,    // done; the picker stays open
  kClosePicker,   // done; the picker closes
};

class CMainWnd : public ui::SkinWindow,
                 public ui::INotifyUI,
                 public ui::IDialogBuilderCallback,
                 private session::SessionHost {
  Q_OBJECT

 public:
  // `session` holds the devices the window shows; it must outlive the window.
  CMainWnd(ui::Skin& skin, session::DeviceSession& session, MainWndOptions options);
  ~CMainWnd() override;  // Shutdown()

  // Builds the window and runs InitWindow, then centres it on the screen. Call once.
  std::optional<ui::SkinError> Create();

  // --- for the page, watcher, lighting and routing code -------------------------------------
  // Hooks and thread entries are set before "windowinit".
  void SetPageHooks(DeviceKind kind, DevicePageHooks hooks);
  // The device's pages show its image again, as after the session's report of a changed device.
  void RefreshDevicePages(DeviceKind kind) { DeviceChanged(kind); }
  void SetWorkerEntry(WorkerSlot slot, WorkerEntry entry);
  // The notification routing of every notification that is not "windowinit" or a window button.
  void SetNotifyRouter(std::function<void(const ui::Notification&)> router);
  // Handler of a message without a built-in action (the input-capture messages, WM_KB_DEFAULTS...).
  // Its result is what Send returns.
  void SetMessageHandler(WindowMessage message, std::function<qint64(qint64 wParam, qint64 lParam)> handler);
  // Timer 3: advances the phase counters of the lighting preview.
  void SetPreviewTick(std::function<void()> tick);
  // Timer 10's pass over the lighting preview: `pass` brings the frames that came to the keys and
  // says whether any came (the timer stops after a pass without one); `shown` learns when the
  // window is shown (true) or hidden or minimised (false).
  void SetPreviewPass(std::function<bool()> pass, std::function<void(bool shown)> shown);
  // A frame came for the preview: timer 10 runs (UI thread).
  void ArmPreviewRepaint();
  // "skinbtn": opens the skin picker under the button (the click is then routed as usual).
  void SetSkinPickerOpener(std::function<void(const ui::Control& skinButton)> opener);
  // The mouse's 0x0403 report: sets the click reaction triggers of the lighting preview (mouse
  // and mousepad). Runs on the UI thread.
  void SetClickReaction(std::function<void()> reaction);

  // Any thread.
  void Post(WindowMessage message, qint64 wParam = 0, qint64 lParam = 0) {
    messenger_.Post(message, wParam, lParam);
  }
  // Gives up (nullopt) when the window shuts down or `stop` is requested before the UI thread
  // began the message.
  std::optional<qint64> Send(WindowMessage message, qint64 wParam = 0, qint64 lParam = 0,
                             std::stop_token stop = {}) {
    return messenger_.Send(message, wParam, lParam, std::move(stop));
  }
  void PostTask(std::function<void()> task) { messenger_.PostTask(std::move(task)); }
  bool SendTask(std::function<void()> task) { return messenger_.SendTask(std::move(task)); }
  void SetTimer(int id, int periodMs);
  void KillTimer(int id);
  bool IsTimerActive(int id) const { return timers_.IsActive(id); }

  session::DeviceSession& Session() { return session_; }
  // The key and mouse-button capture of this window (its messages go to the window's Send/Post).
  platform::CDeviceHook& DeviceHook() { return deviceHook_; }
  bool AnyDeviceConnected() const { return session_.AnyConnected(); }

  // The main-window lock: serialises the UI changes a worker makes (any thread).
  std::recursive_mutex& WindowLock() { return windowLock_; }

  // Any thread. 0 keyboard, 1 mouse, 2 mousepad, 3 headset.
  int CurrentDevicePage() const { return currentDevicePage_.load(); }
  void SetCurrentDevicePage(int page) { currentDevicePage_.store(page); }
  bool LanguageIsEnglish() const { return languageIsEnglish_; }

  // Entry 0..173 (see kKeyButtonCount); invalid outside.
  ui::Control KeyButton(int entry) const;

  // Hides the main window -- or keeps it shown where there is no system tray. Also after the last
  // device has gone.
  void HideMainWindow();
  // The answer to the wake-up: show the window when a device is connected; otherwise hide it and
  // show "message_text_1" (not twice at once).
  void ShowOrWarn();
  // The tray's left click: the same, and the window is repainted 10 ms later.
  void OnTrayLeftClick();
  // A tray-menu item: "lan" switches the language, "exit" ends the program, "qianting",
  // "Menu_Import", "Menu_Export" do nothing, any other shows its text id in a message box.
  void MenuCommand(const QString& name, const QString& textId);
  // Chinese <-> English; false (nothing changed) when the other language file cannot be loaded.
  bool SwitchLanguage();
  // The skin picker's menu items (names without regard to case).
  SkinMenuResult SkinMenuAction(const QString& name);
  // The background of "root": a colour (colourMode) or an image (skin-relative or absolute path).
  void SetRootBackground(bool colourMode, quint32 colour, const QString& image);

  // Connects the answers to a second start and to suspend/resume.
  void WatchSingleInstance(platform::SingleInstance& instance);
  void WatchSuspend(platform::SuspendWatcher& watcher);

  // See the life of the window above. Idempotent; the window cannot be used afterwards.
  void Shutdown();
  bool IsShutDown() const { return shutDown_; }
  const WorkerThreads& Workers() const { return workers_; }
  StopReport LastStopReport() const { return stopReport_; }
  TrayIcon* Tray() const { return tray_.get(); }

  // --- skin and window callbacks ---
  QWidget* CreateControl(const QString& elementClass) override;
  void Notify(const ui::Notification& msg) override;

 signals:
  void initialised();  // "windowinit" has run
  void shutDown();     // Shutdown has run: end the event loop

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;
  // The window's exposure: a desktop may unmap or cover the window without hiding it.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Timer 2 runs at 100 ms while a deferred write waits and for a moment after anything that may
  // make one (a notification, a message, a task from a worker); otherwise it only looks once a
  // second, so an idle window does not wake ten times a second for nothing.
  void PaceDeferredWrites();
  void HurryDeferredWrites();

  // session::SessionHost
  void PostToUi(std::function<void()> task) override {
    messenger_.PostTask([this, task = std::move(task)] {
      task();
      HurryDeferredWrites();
    });
  }
  void PostMessage(WindowMessage message) override { messenger_.Post(message); }
  void SendMessage(WindowMessage message, std::stop_token stop) override;
  void ShowDeviceTab(DeviceKind kind) override;
  void DeviceArrived(const device::Arrival& arrival) override;
  void DeviceRemoved(DeviceKind kind) override;
  void ShowSameMode(DeviceKind kind, bool visible) override;
  void DeviceChanged(DeviceKind kind) override;
  void ClickReaction() override;
  void ShowMessage(std::string_view textId) override;

  void InitWindow();
  void OnWindowInit();
  void OnTimer(int id);
  qint64 OnMessage(WindowMessage message, qint64 wParam, qint64 lParam);
  bool OnWindowButton(const QString& name);
  void ApplyStoredBackground();
  void BindAudioLibrary();
  void RestoreAndRaise();
  void WarnNoDevice(bool& boxOpen);
  void RestoreAll();
  void CallHook(DeviceKind kind, std::function<void()> DevicePageHooks::*hook);
  void StartWorkers();
  // Selects the device's tab; the routing switches the page, or, while no routing is set, this does.
  void SelectDeviceTab(DeviceKind kind);
  std::optional<DeviceKind> SelectedDeviceTab() const;
  void SelectStoredProfile(const char* combo, const std::optional<int>& index);
  int ShowBox(const QString& textOrId);

  MainWndOptions options_;
  session::DeviceSession& session_;

  std::recursive_mutex windowLock_;
  std::array<ui::Control, kKeyButtonCount> keyButtons_;
  ui::Control closeButton_, maxButton_, restoreButton_, minButton_, skinButton_;

  std::atomic<int> currentDevicePage_{0};
  bool languageIsEnglish_ = false;
  QtDialogTexts qtDialogTexts_;  // Qt's own dialogs in the window's language
  bool trayAvailable_ = false;
  bool wakeBoxOpen_ = false;  // re-entry guards of the "message_text_1" boxes, one per path
  bool trayBoxOpen_ = false;
  bool windowInitDone_ = false;
  bool shutDown_ = false;
  bool exposureWatched_ = false;  // the event filter sits on the window handle
  bool exposedLast_ = true;       // the exposure the preview was last told

  std::array<DevicePageHooks, kDeviceKindCount> pageHooks_;
  std::function<void(const ui::Notification&)> router_;
  std::map<WindowMessage, std::function<qint64(qint64, qint64)>> messageHandlers_;
  std::function<void()> previewTick_;
  std::function<bool()> previewPass_;
  std::function<void(bool)> previewShown_;
  std::function<void(const ui::Control&)> skinPickerOpener_;
  std::function<void()> clickReaction_;

  UiMessenger messenger_;
  platform::CDeviceHook deviceHook_;
  WindowTimers timers_;
  std::unique_ptr<TrayIcon> tray_;
  StopReport stopReport_;
  // Last member: destroyed (its threads joined) before everything they use.
  WorkerThreads workers_;
};

}  // namespace korva::app
