#include "app/MainWnd.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QUrl>
#include <thread>

#include "app/AppConfig.h"
#include "app/PreviewRepaint.h"
#include "app/TrayIcon.h"
#include "app/Updater.h"
#include "app/WindowMenu.h"
#include "common/Log.h"
#include "device/CommandReport.h"
#include "device/DeviceWatchers.h"
#include "device/KnownDevices.h"
#include "device/SyncReaders.h"
#include "device/TabPreference.h"
#include "mouse/MouseProfiles.h"
#include "mouse/MouseTransfer.h"
#include "platform/SingleInstance.h"
#include "platform/SuspendWatcher.h"
#include "profile/IniFile.h"
#include "ui/PageTable.h"
#include "ui/Skin.h"

namespace korva::app {

namespace {

struct KeyButtonFamily {
  const char* prefix;
  int count;
};
// In entry order.
constexpr KeyButtonFamily kKeyButtonFamilies[] = {
    {"ms_dkey_", 20}, {"mp_dkey_", 15}, {"kb_dkey_", 126}, {"head_dkey_", 13}};

constexpr const char* kPalettes[] = {"Pallet", "ms_deng_Color_Pallet", "mp_deng_Color_Pallet",
                                     "kb_deng_Color_Pallet", "hs_deng_Color_Pallet"};

// The key-button entry WM_KEYBTN_COLOR and WM_KEYBTN_ALPHA address: 20 + wParam.
constexpr qint64 kKeyButtonMessageBase = 20;

bool Is(const QString& name, const char* expected) {
  return name.compare(QLatin1String(expected), Qt::CaseInsensitive) == 0;
}

std::size_t Index(DevicePage page) {
  return static_cast<std::size_t>(page);
}

std::optional<DevicePage> PageOf(device::DeviceKind kind) {
  switch (kind) {
    case device::DeviceKind::kKeyboard:
      return DevicePage::kKeyboard;
    case device::DeviceKind::kMouse:
      return DevicePage::kMouse;
    case device::DeviceKind::kMousepad:
      return DevicePage::kMousepad;
    case device::DeviceKind::kHeadset:
      return DevicePage::kHeadset;
    case device::DeviceKind::kOther:
      break;
  }
  return std::nullopt;
}

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString KeyButtonName(int entry) {
  if (entry < 0) return {};
  for (const KeyButtonFamily& family : kKeyButtonFamilies) {
    if (entry < family.count) return QString::fromLatin1(family.prefix) + QString::number(entry);
    entry -= family.count;
  }
  return {};
}

CMainWnd::CMainWnd(ui::Skin& skin, device::HidBackend& backend, headset::AudioLibrary& audio,
                   MainWndOptions options)
    : ui::SkinWindow(skin),
      options_(std::move(options)),
      audio_(audio),
      keyboard_(backend),
      mouse_(backend),
      mousepad_(backend),
      headset_(backend),
      mouseLightStore_(profile::StoreKind::kMouseLight, options_.folders,
                       profile::DefaultFilesFolder(options_.programFolder)),
      mouseKeyStore_(profile::StoreKind::kMouseKey, options_.folders,
                     profile::DefaultFilesFolder(options_.programFolder)),
      mouseModel_(&mouseLightStore_),
      messenger_([this](WindowMessage message, qint64 wParam, qint64 lParam) {
        return OnMessage(message, wParam, lParam);
      }),
      timers_([this](int id) { OnTimer(id); }),
      watcherStart_{device::DeviceSet{keyboard_, mouse_, mousepad_, headset_}, watcherHost_, audio_,
                    options_.folders, options_.watcherPaces} {
  setWindowTitle(QString::fromLatin1(kWindowTitle));
  AddNotifier(this);
}

CMainWnd::~CMainWnd() {
  Shutdown();
  RemoveNotifier(this);
}

std::optional<ui::SkinError> CMainWnd::Create() {
  if (auto error = Build(QString::fromLatin1(kMainWindowSkin), this)) return error;
  InitWindow();
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  return std::nullopt;
}

// --- hooks -------------------------------------------------------------------------------------

void CMainWnd::SetPageHooks(DevicePage page, DevicePageHooks hooks) {
  pageHooks_[Index(page)] = std::move(hooks);
}

void CMainWnd::SetWorkerEntry(WorkerSlot slot, WorkerEntry entry) {
  workers_.SetEntry(slot, std::move(entry));
}

void CMainWnd::SetNotifyRouter(std::function<void(const ui::Notification&)> router) {
  router_ = std::move(router);
}

void CMainWnd::SetMessageHandler(WindowMessage message, std::function<qint64(qint64, qint64)> handler) {
  messageHandlers_[message] = std::move(handler);
}

void CMainWnd::SetPreviewTick(std::function<void()> tick) {
  previewTick_ = std::move(tick);
  if (windowInitDone_ && !shutDown_) RunPreviewPhaseTimer(timers_, static_cast<bool>(previewTick_));
}

void CMainWnd::SetSkinPickerOpener(std::function<void(const ui::Control&)> opener) {
  skinPickerOpener_ = std::move(opener);
}

void CMainWnd::SetClickReaction(std::function<void()> reaction) {
  clickReaction_ = std::move(reaction);
}

void CMainWnd::CallHook(DevicePage page, std::function<void()> DevicePageHooks::*hook) {
  const std::function<void()>& fn = pageHooks_[Index(page)].*hook;
  if (fn) fn();
}

// --- state ---------------------------------------------------------------------------------------

device::HidDevice& CMainWnd::Device(DevicePage page) {
  switch (page) {
    case DevicePage::kKeyboard:
      return keyboard_;
    case DevicePage::kMouse:
      return mouse_;
    case DevicePage::kMousepad:
      return mousepad_;
    case DevicePage::kHeadset:
      break;
  }
  return headset_;
}

bool CMainWnd::AnyDeviceConnected() const {
  return mouse_.connected || mousepad_.connected || keyboard_.connected || headset_.connected;
}

void CMainWnd::SetSystemAwake(bool awake) {
  systemAwake_.store(awake);
  Trace(awake ? "system resumed" : "system suspending");
}

void CMainWnd::SetDeferredWrite(DevicePage page) {
  if (page == DevicePage::kKeyboard) keyboardDeferredWrite_ = true;
  if (page == DevicePage::kMousepad) mousepadDeferredWrite_ = true;
}

bool CMainWnd::DeferredWritePending(DevicePage page) const {
  switch (page) {
    case DevicePage::kKeyboard:
      return keyboardDeferredWrite_;
    case DevicePage::kMouse:
      return mouseModel_.pendingWrite();
    case DevicePage::kMousepad:
      return mousepadDeferredWrite_;
    case DevicePage::kHeadset:
      break;
  }
  return false;
}

ui::Control CMainWnd::KeyButton(int entry) const {
  if (entry < 0 || entry >= kKeyButtonCount) return {};
  return keyButtons_[static_cast<std::size_t>(entry)];
}

void CMainWnd::SetTimer(int id, int periodMs) {
  if (messenger_.OnUiThread())
    timers_.Set(id, periodMs);
  else
    messenger_.PostTask([this, id, periodMs] { timers_.Set(id, periodMs); });
}

void CMainWnd::KillTimer(int id) {
  if (messenger_.OnUiThread())
    timers_.Kill(id);
  else
    messenger_.PostTask([this, id] { timers_.Kill(id); });
}

// --- creation ------------------------------------------------------------------------------------

QWidget* CMainWnd::CreateControl(const QString& elementClass) {
  if (auto file = ui::PageFileForClass(elementClass)) return BuildPage(*file);
  if (Is(elementClass, "CircleProgress") || Is(elementClass, "DeviceKeyButton"))
    return GetSkin().Factory().Create(elementClass);
  return nullptr;
}

void CMainWnd::InitWindow() {
  Trace("InitWindow");
  if (auto error = GetSkin().LoadLanguage(QString::fromLatin1(kChineseLanguageFile)))
    Trace("language: " + error->ToString().toStdString());

  closeButton_ = FindControl(QStringLiteral("closebtn"));
  maxButton_ = FindControl(QStringLiteral("maxbtn"));
  restoreButton_ = FindControl(QStringLiteral("restorebtn"));
  minButton_ = FindControl(QStringLiteral("minbtn"));
  skinButton_ = FindControl(QStringLiteral("skinbtn"));

  for (int entry = 0; entry < kKeyButtonCount; ++entry)
    keyButtons_[static_cast<std::size_t>(entry)] = FindControl(KeyButtonName(entry));

  for (const char* palette : kPalettes)
    FindControl(QString::fromLatin1(palette)).SetSelectColor(kPaletteStartColour);

  // The vendor's audio software installer has no counterpart here: the audio library layer
  // needs nothing installed.
  BindAudioLibrary();

  trayAvailable_ = options_.trayAvailable.value_or(TrayIcon::Available());
  tray_ = std::make_unique<TrayIcon>(GetSkin());
  connect(tray_.get(), &TrayIcon::leftClicked, this, &CMainWnd::OnTrayLeftClick);
  connect(tray_.get(), &TrayIcon::menuCommand, this, &CMainWnd::MenuCommand);
  if (trayAvailable_) tray_->Show();
  WindowMenu::Install(*this);
}

void CMainWnd::BindAudioLibrary() {
  if (!options_.audioLoader) {
    Trace("no audio backend: the headset is not watched");
    return;
  }
  if (audio_.Bind(options_.audioLoader) == headset::kAudioBindOk) return;
  const QString caption = QString::fromLatin1(headset::kBindFailureCaption);
  const QString text = QString::fromStdString(audio_.BindFailureMessage());
  if (options_.errorBox)
    options_.errorBox(caption, text);
  else
    QMessageBox::critical(nullptr, caption, text);
}

void CMainWnd::OnWindowInit() {
  if (windowInitDone_ || shutDown_) return;
  windowInitDone_ = true;

  ApplyStoredBackground();
  for (DevicePage page :
       {DevicePage::kKeyboard, DevicePage::kMouse, DevicePage::kMousepad, DevicePage::kHeadset})
    CallHook(page, &DevicePageHooks::initPage);

  // The keyboard has no pattern: its watcher knows both models.
  for (auto [device, identity] :
       {std::pair{&mouse_, device::kMouseIdentity}, std::pair{&mousepad_, device::kMousepadIdentity},
        std::pair{&headset_, device::kHeadsetIdentity}}) {
    device->identity = identity;
    device->connected = false;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  HideMainWindow();

  StartWorkers();

  RunPreviewPhaseTimer(timers_, static_cast<bool>(previewTick_));
  timers_.Set(kTimerDeferredWrites, 100);
  timers_.Set(kTimerRepaint, 100);
  timers_.Set(kTimerKeyboardRead, 500);
  timers_.Set(kTimerMousepadRead, 500);
  emit initialised();
}

void CMainWnd::StartWorkers() {
  if (options_.startWatchers) {
    using Thread = void (*)(const device::WatcherStart&, const StopEvent&);
    const std::pair<WorkerSlot, Thread> watchers[] = {
        {WorkerSlot::kKeyboardWatcher, &device::KeyboardWatcherThread},
        {WorkerSlot::kMouseWatcher, &device::MouseWatcherThread},
        {WorkerSlot::kMousepadWatcher, &device::MousepadWatcherThread},
        {WorkerSlot::kHeadsetWatcher, &device::HeadsetWatcherThread},
        {WorkerSlot::kMouseSyncReader, &device::MouseSyncReaderThread},
        {WorkerSlot::kKeyboardSyncReader, &device::KeyboardSyncReaderThread},
    };
    for (const auto& [slot, thread] : watchers)
      if (!workers_.HasEntry(slot))
        workers_.SetEntry(slot, [this, thread](const StopEvent& stop) { thread(watcherStart_, stop); });
  }
  workers_.Start();
}

void CMainWnd::ApplyStoredBackground() {
  const std::filesystem::path ini = options_.folders.GetBaseFolder() / kMainIniFile;
  if (profile::ReadIniInt(ini, kSkinImageSection, "FLAGS", 0) != 1) return;
  const std::string image = profile::ReadIniString(ini, kSkinImageSection, "IMAGE", "0");
  SetRootBackground(false, 0, QString::fromStdString(image));
}

void CMainWnd::SetRootBackground(bool colourMode, quint32 colour, const QString& image) {
  ui::Control root = FindControl(QStringLiteral("root"));
  if (colourMode) {
    root.SetBkColor(colour);
    root.SetBkImage(QString());
  } else {
    root.SetBkColor(0);
    if (!root.SetBkImage(image)) Trace("background image cannot be loaded: " + image.toStdString());
  }
}

// --- notifications -------------------------------------------------------------------------------

void CMainWnd::Notify(const ui::Notification& msg) {
  Trace(msg.type.toStdString() + " " + msg.name.toStdString());
  if (msg.type == QLatin1String(ui::notify::kWindowInit)) {
    OnWindowInit();
    return;
  }
  if (msg.type == QLatin1String(ui::notify::kClick) && OnWindowButton(msg.name)) return;
  if (router_) router_(msg);
}

bool CMainWnd::OnWindowButton(const QString& name) {
  if (Is(name, "closebtn")) {
    close();
    return true;
  }
  if (Is(name, "minbtn")) {
    showMinimized();
    return true;
  }
  if (Is(name, "maxbtn")) {
    showMaximized();
    return true;
  }
  if (Is(name, "restorebtn")) {
    showNormal();
    return true;
  }
  if (Is(name, "skinbtn") && skinPickerOpener_) skinPickerOpener_(skinButton_);
  return false;
}

// --- device arrival and removal ------------------------------------------------------------------

void CMainWnd::ReadOnArrival(const device::Arrival& arrival) {
  const std::optional<DevicePage> page = PageOf(arrival.kind);
  if (!page) return;
  if (const auto& hook = pageHooks_[Index(*page)].readOnArrival) {
    hook(arrival);
    return;
  }
  if (*page != DevicePage::kMouse) return;
  // A fresh image, never the UI thread's: the stored light profile first, then the mouse read
  // over it; the selected profiles are rewritten from a complete read only.
  mouse::MouseImage fresh;
  mouse::LoadMouseLightProfile(fresh, mouseLightStore_,
                               arrival.profileDengSelect.value_or(mouseLightStore_.SelectedIndex()));
  const mouse::MouseReadAndSave read =
      mouse::ReadMouseAllAndSave(mouse_, fresh, mouseLightStore_, mouseKeyStore_);
  if (!read.read.ok()) return;
  std::lock_guard lock(arrivalMutex_);
  arrivedMouseImage_ = fresh;
}

void CMainWnd::ApplyArrival(const device::Arrival& arrival) {
  const std::optional<DevicePage> page = PageOf(arrival.kind);
  if (!page || shutDown_) return;
  if (*page == DevicePage::kKeyboard && arrival.keyboardModel >= 0) SetKeyboardModel(arrival.keyboardModel);

  if (const auto& hook = pageHooks_[Index(*page)].applyArrival) {
    hook(arrival);
  } else if (*page == DevicePage::kMouse) {
    std::optional<mouse::MouseImage> fresh;
    {
      std::lock_guard lock(arrivalMutex_);
      fresh.swap(arrivedMouseImage_);
    }
    if (fresh) mouseModel_.TakeImage(*fresh);
  }

  switch (*page) {
    case DevicePage::kKeyboard:
      SelectStoredProfile("kb_deng_profile_combo", arrival.profileDengSelect);
      SelectStoredProfile("kb_key_profile_combo", arrival.profileSelect);
      break;
    case DevicePage::kMouse:
      SelectStoredProfile("ms_deng_profile_combo", arrival.profileDengSelect);
      SelectStoredProfile("ms_key_profile_combo", arrival.profileSelect);
      break;
    case DevicePage::kMousepad:
      SelectStoredProfile("mp_deng_profile_combo", arrival.profileDengSelect);
      break;
    case DevicePage::kHeadset:
      SelectStoredProfile("head_device_profile_combo", arrival.profileSelect);
      break;
  }
  CallHook(*page, &DevicePageHooks::refresh);
  if (*page == DevicePage::kMousepad) {
    if (QWidget* tab = FindControl(QStringLiteral("mp_tab")).Widget()) tab->update();
  }
  if (*page != DevicePage::kHeadset) timers_.Set(kTimerRepaintOnce, 100);
}

void CMainWnd::SelectStoredProfile(const char* combo, const std::optional<int>& index) {
  // As a user's choice would: the profile routing loads the selected profile.
  if (index) FindControl(QString::fromLatin1(combo)).SelectItem(*index, ui::SendNotify::Yes);
}

void CMainWnd::ShowDeviceTab(device::DeviceKind kind) {
  const std::optional<DevicePage> page = PageOf(kind);
  if (!page || shutDown_) return;
  FindControl(Latin1(device::TabName(kind))).SetVisible(true);
  SelectDeviceTab(kind);
  if (*page != DevicePage::kHeadset) SetCurrentDevicePage(static_cast<int>(*page));
}

void CMainWnd::SelectDeviceTab(device::DeviceKind kind) {
  const std::optional<DevicePage> page = PageOf(kind);
  if (!page) return;
  FindControl(Latin1(device::TabName(kind))).Select(true, ui::SendNotify::Yes);
  if (router_) return;
  FindControl(QStringLiteral("tab_switch")).SelectItem(static_cast<int>(*page));
  if (*page != DevicePage::kHeadset) SetCurrentDevicePage(static_cast<int>(*page));
}

device::DeviceKind CMainWnd::SelectedDeviceTab() const {
  for (device::DeviceKind kind : {device::DeviceKind::kKeyboard, device::DeviceKind::kMouse,
                                  device::DeviceKind::kMousepad, device::DeviceKind::kHeadset})
    if (FindControl(Latin1(device::TabName(kind))).IsSelected()) return kind;
  return device::DeviceKind::kOther;
}

void CMainWnd::OnDeviceRemoved(device::DeviceKind kind) {
  if (!PageOf(kind) || shutDown_) return;
  FindControl(Latin1(device::TabName(kind))).SetVisible(false);
  const device::TabChoice choice =
      device::ChooseTabAfterRemoval(kind, watcherStart_.devices.Connected(), SelectedDeviceTab());
  switch (choice.action) {
    case device::TabChoice::Action::kKeepSelection:
      break;
    case device::TabChoice::Action::kSelectTab:
      SelectDeviceTab(choice.tab);
      break;
    case device::TabChoice::Action::kHideWindow:
      HideMainWindow();
      break;
  }
}

void CMainWnd::SetSameModeVisible(device::DeviceKind kind, bool visible) {
  FindControl(Latin1(device::SameModeCheckName(kind))).SetVisible(visible);
}

void CMainWnd::TriggerClickReaction() {
  if (clickReaction_) clickReaction_();
}

// --- visibility ----------------------------------------------------------------------------------

void CMainWnd::HideMainWindow() {
  if (shutDown_) return;
  if (trayAvailable_)
    hide();
  else
    show();
}

void CMainWnd::RestoreAndRaise() {
  showNormal();
  raise();
  activateWindow();
}

void CMainWnd::WarnNoDevice(bool& boxOpen) {
  HideMainWindow();
  if (boxOpen) return;
  boxOpen = true;
  ShowBox(QStringLiteral("message_text_1"));
  boxOpen = false;
}

void CMainWnd::ShowOrWarn() {
  if (AnyDeviceConnected())
    RestoreAndRaise();
  else
    WarnNoDevice(wakeBoxOpen_);
}

void CMainWnd::OnTrayLeftClick() {
  if (!AnyDeviceConnected()) {
    WarnNoDevice(trayBoxOpen_);
    return;
  }
  RestoreAndRaise();
  update();
  timers_.Set(kTimerRepaintOnce, 10);
}

int CMainWnd::ShowBox(const QString& textOrId) {
  return options_.messageBox ? options_.messageBox(this, textOrId) : ShowMessageBox(this, textOrId);
}

// --- menus ---------------------------------------------------------------------------------------

void CMainWnd::MenuCommand(const QString& name, const QString& textId) {
  if (name == QLatin1String("lan")) {
    SwitchLanguage();
  } else if (name == QLatin1String("exit")) {
    close();
  } else if (name == QLatin1String("qianting") || name == QLatin1String("Menu_Import") ||
             name == QLatin1String("Menu_Export")) {
    // Items kept for older menus; they do nothing.
  } else {
    ShowBox(textId);
  }
}

bool CMainWnd::SwitchLanguage() {
  const char* file = languageIsEnglish_ ? kChineseLanguageFile : kEnglishLanguageFile;
  if (auto error = GetSkin().LoadLanguage(QString::fromLatin1(file))) {
    Trace("language: " + error->ToString().toStdString());
    return false;
  }
  languageIsEnglish_ = !languageIsEnglish_;
  if (tray_) tray_->Retranslate();
  update();
  return true;
}

SkinMenuResult CMainWnd::SkinMenuAction(const QString& name) {
  if (Is(name, "menu_website")) {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kMakerWebsite)));
    return SkinMenuResult::kKeepPicker;
  }
  if (Is(name, "menu_restore")) {
    Send(WindowMessage::WM_RESTORE_ALL);
    return SkinMenuResult::kKeepPicker;
  }
  if (!Is(name, "menu_update")) return SkinMenuResult::kNotAMenuItem;

  const std::optional<QString> file = UpdaterFor(CurrentDevicePage(), KeyboardModel());
  if (!file) return SkinMenuResult::kKeepPicker;
  const QString folder = QString::fromStdString(options_.programFolder.string());
  auto text = [&](const char* id, const char* fallback) {
    const QString textId = QString::fromLatin1(id);
    return GetSkin().IsTextId(textId) ? GetSkin().Text(textId) : QString::fromLatin1(fallback);
  };
  switch (StartUpdater(folder, *file)) {
    case UpdaterStart::kStarted:
      break;
    case UpdaterStart::kMissing:
      ShowBox(text(kUpdaterMissingTextId, kUpdaterMissingFallback).arg(*file, folder));
      break;
    case UpdaterStart::kFailed:
      ShowBox(text(kUpdaterFailedTextId, kUpdaterFailedFallback).arg(*file));
      break;
  }
  return SkinMenuResult::kClosePicker;
}

// --- platform ------------------------------------------------------------------------------------

void CMainWnd::WatchSingleInstance(platform::SingleInstance& instance) {
  connect(&instance, &platform::SingleInstance::wakeRequested, this,
          [this] { Post(WindowMessage::WakeMessage); });
}

void CMainWnd::WatchSuspend(platform::SuspendWatcher& watcher) {
  connect(&watcher, &platform::SuspendWatcher::suspending, this, [this] { SetSystemAwake(false); });
  connect(&watcher, &platform::SuspendWatcher::resumed, this, [this] { SetSystemAwake(true); });
}

// --- timers and messages -------------------------------------------------------------------------

void CMainWnd::OnTimer(int id) {
  switch (id) {
    case kTimerProgress:
      timers_.Kill(kTimerProgress);
      FindControl(QStringLiteral("setting_progress")).SetVisible(false);
      break;
    case kTimerDeferredWrites:
      WriteDeferredSettings();
      break;
    case kTimerPreviewPhase:
      if (previewTick_) previewTick_();
      break;
    case kTimerRepaintOnce:
      timers_.Kill(kTimerRepaintOnce);
      update();
      break;
    case kTimerRepaint:
      timers_.Set(kTimerRepaint, 50);
      RepaintChangedPreviewKeys(*this);
      Trace("jiemian shuaxin ");
      break;
    case kTimerKeyboardRead:
      timers_.Kill(kTimerKeyboardRead);
      CallHook(DevicePage::kKeyboard, &DevicePageHooks::readAll);
      break;
    case kTimerMousepadRead:
      timers_.Kill(kTimerMousepadRead);
      CallHook(DevicePage::kMousepad, &DevicePageHooks::readAll);
      break;
    default:
      break;
  }
}

void CMainWnd::WriteDeferredSettings() {
  auto flush = [this](DevicePage page, bool& pending) {
    if (!pending) return;
    const auto& write = pageHooks_[Index(page)].writeSettings;
    device::HidDevice& device = Device(page);
    // Kept when the device is there but did not take the record, so the next tick retries.
    if (!write || write(device) == device::kResultOk || !device.connected) pending = false;
  };
  flush(DevicePage::kKeyboard, keyboardDeferredWrite_);
  mouseModel_.Flush(mouse_);
  flush(DevicePage::kMousepad, mousepadDeferredWrite_);
}

void CMainWnd::ReadMouseAll() {
  if (const auto& hook = pageHooks_[Index(DevicePage::kMouse)].readAll) {
    hook();
    return;
  }
  // Into a copy: a read that fails part-way leaves the page's image as it was.
  mouse::MouseImage fresh = mouseModel_.image();
  if (mouse::ReadMouseAll(mouse_, fresh).changed) mouseModel_.TakeImage(fresh);
  CallHook(DevicePage::kMouse, &DevicePageHooks::refresh);
}

void CMainWnd::ReloadMouseProfile() {
  if (const auto& hook = pageHooks_[Index(DevicePage::kMouse)].reloadProfile) {
    hook();
    return;
  }
  mouseModel_.ReloadActive(mouse_);
  CallHook(DevicePage::kMouse, &DevicePageHooks::refresh);
}

qint64 CMainWnd::OnMessage(WindowMessage message, qint64 wParam, qint64 lParam) {
  Trace("message " + WindowMessageName(message).toStdString());
  switch (message) {
    case WindowMessage::WakeMessage:
      ShowOrWarn();
      return 0;
    case WindowMessage::WM_RESTORE_ALL:
      for (DevicePage page : {DevicePage::kKeyboard, DevicePage::kMouse, DevicePage::kMousepad})
        CallHook(page, &DevicePageHooks::restoreDefaults);
      return 0;
    case WindowMessage::WM_MS_RELOAD:
      ReadMouseAll();
      return 0;
    case WindowMessage::WM_MS_PROFILE:
      ReloadMouseProfile();
      return 0;
    case WindowMessage::WM_MP_RELOAD:
      CallHook(DevicePage::kMousepad, &DevicePageHooks::readAll);
      return 0;
    case WindowMessage::WM_MP_PROFILE:
      CallHook(DevicePage::kMousepad, &DevicePageHooks::reloadProfile);
      return 0;
    case WindowMessage::WM_KB_RELOAD:
      CallHook(DevicePage::kKeyboard, &DevicePageHooks::readAll);
      return 0;
    case WindowMessage::WM_KB_PROFILE:
      CallHook(DevicePage::kKeyboard, &DevicePageHooks::reloadProfile);
      return 0;
    case WindowMessage::WM_KEYBTN_COLOR:
    case WindowMessage::WM_KEYBTN_ALPHA: {
      if (wParam < 0 || wParam >= kKeyButtonCount - kKeyButtonMessageBase) return 0;
      ui::Control button = KeyButton(static_cast<int>(kKeyButtonMessageBase + wParam));
      if (message == WindowMessage::WM_KEYBTN_COLOR)
        button.SetChangerColor(static_cast<quint32>(lParam) & 0x00FFFFFFu);
      else
        button.SetChangerAlpha(static_cast<int>(std::clamp<qint64>(lParam, 0, 255)));
      return 0;
    }
    case WindowMessage::WM_PROGRESS_SHOW: {
      ui::Control progress = FindControl(QStringLiteral("setting_progress"));
      progress.SetVisible(true);
      // The upload that follows keeps the UI thread busy: paint the notice now.
      if (progress.Widget() && isVisible()) progress.Widget()->repaint();
      return 0;
    }
    case WindowMessage::WM_PROGRESS_DONE:
      timers_.Set(kTimerProgress, 1000);
      return 0;
    default:
      break;
  }
  const auto it = messageHandlers_.find(message);
  return it != messageHandlers_.end() && it->second ? it->second(wParam, lParam) : 0;
}

// --- shutdown ------------------------------------------------------------------------------------

void CMainWnd::closeEvent(QCloseEvent* event) {
  Shutdown();
  event->accept();
}

void CMainWnd::Shutdown() {
  if (shutDown_) return;
  Trace("shutting down");
  if (tray_) tray_->Remove();
  // First, so that a worker waiting in Send is released before the wait for the workers.
  messenger_.Close();
  shutDown_ = true;
  hide();
  timers_.KillAll();
  stopReport_ = workers_.Stop();
  emit shutDown();
}

}  // namespace korva::app
