#include "app/MainWnd.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QShowEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QUrl>
#include <QWindow>
#include <thread>

#include "app/AppConfig.h"
#include "app/AppMenu.h"
#include "app/PreviewRepaint.h"
#include "app/TrayIcon.h"
#include "app/Updater.h"
#include "app/WindowMenu.h"
#include "common/Log.h"
#include "device/DeviceWatchers.h"
#include "device/SyncReaders.h"
#include "platform/SingleInstance.h"
#include "platform/SuspendWatcher.h"
#include "profile/IniFile.h"
#include "session/TabPreference.h"
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

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The device tabs and the same-mode check boxes, indexed by IndexOf(DeviceKind).
constexpr std::array<const char*, kDeviceKindCount> kTabNames = {"kb_tab", "ms_tab", "mp_tab", "hs_tab"};
constexpr std::array<const char*, kDeviceKindCount> kSameModeNames = {
    "kb_deng_same_mode", "ms_deng_same_mode", "mp_deng_same_mode", "hs_deng_same_mode"};

QString TabName(DeviceKind kind) {
  return QString::fromLatin1(kTabNames[IndexOf(kind)]);
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

CMainWnd::CMainWnd(ui::Skin& skin, session::DeviceSession& session, MainWndOptions options)
    : ui::SkinWindow(skin),
      options_(std::move(options)),
      session_(session),
      messenger_([this](WindowMessage message, qint64 wParam, qint64 lParam) {
        const qint64 result = OnMessage(message, wParam, lParam);
        HurryDeferredWrites();
        return result;
      }),
      deviceHook_(*this, {[this](WindowMessage message, std::int64_t wParam, std::int64_t lParam) {
                            Send(message, wParam, lParam);
                          },
                          [this](WindowMessage message, std::int64_t wParam, std::int64_t lParam) {
                            Post(message, wParam, lParam);
                          }}),
      timers_([this](int id) { OnTimer(id); }) {
  setWindowTitle(QString::fromLatin1(kWindowTitle));
  AddNotifier(this);
  session_.SetHost(this);
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

void CMainWnd::SetPageHooks(DeviceKind kind, DevicePageHooks hooks) {
  pageHooks_[IndexOf(kind)] = std::move(hooks);
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

void CMainWnd::CallHook(DeviceKind kind, std::function<void()> DevicePageHooks::*hook) {
  const std::function<void()>& fn = pageHooks_[IndexOf(kind)].*hook;
  if (fn) fn();
}

// --- state ---------------------------------------------------------------------------------------

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
    Trace("language: " + error->ToString());
  if (!qtDialogTexts_.Use(true)) Trace("language: Qt's Chinese dialog texts are not installed");

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
  headset::AudioLibrary& audio = session_.Audio();
  if (audio.Bind(options_.audioLoader) == headset::kAudioBindOk) return;
  const QString caption = QString::fromLatin1(headset::kBindFailureCaption);
  const QString text = QString::fromStdString(audio.BindFailureMessage());
  if (options_.errorBox)
    options_.errorBox(caption, text);
  else
    QMessageBox::critical(nullptr, caption, text);
}

void CMainWnd::OnWindowInit() {
  if (windowInitDone_ || shutDown_) return;
  windowInitDone_ = true;

  ApplyStoredBackground();
  for (DeviceKind kind : kAllDeviceKinds) CallHook(kind, &DevicePageHooks::initPage);
  session_.Initialise();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  HideMainWindow();

  StartWorkers();

  RunPreviewPhaseTimer(timers_, static_cast<bool>(previewTick_));
  timers_.Set(kTimerDeferredWrites, kDeferredWritesPeriodMs);
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
        workers_.SetEntry(slot, [this, thread](const StopEvent& stop) { thread(session_.WatcherStartBlock(), stop); });
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
  HurryDeferredWrites();
  // What the user did may have shown other preview keys (the pointer passing over controls shows
  // none, and comes often).
  const bool hover = msg.type == QLatin1String(ui::notify::kMouseEnter) || msg.type == QLatin1String(ui::notify::kMouseLeave);
  if (!hover && previewShown_ && isVisible() && !isMinimized()) previewShown_(true);
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

// --- the session's reports ---------------------------------------------------------------------

void CMainWnd::SendMessage(WindowMessage message, std::stop_token stop) {
  messenger_.Send(message, 0, 0, std::move(stop));
}

void CMainWnd::DeviceArrived(const device::Arrival& arrival) {
  if (shutDown_) return;
  switch (arrival.kind) {
    case DeviceKind::kKeyboard:
      SelectStoredProfile("kb_deng_profile_combo", arrival.profileDengSelect);
      SelectStoredProfile("kb_key_profile_combo", arrival.profileSelect);
      break;
    case DeviceKind::kMouse:
      SelectStoredProfile("ms_deng_profile_combo", arrival.profileDengSelect);
      SelectStoredProfile("ms_key_profile_combo", arrival.profileSelect);
      break;
    case DeviceKind::kMousepad:
      SelectStoredProfile("mp_deng_profile_combo", arrival.profileDengSelect);
      break;
    case DeviceKind::kHeadset:
      SelectStoredProfile("head_device_profile_combo", arrival.profileSelect);
      break;
  }
  CallHook(arrival.kind, &DevicePageHooks::refresh);
  if (arrival.kind == DeviceKind::kMousepad) {
    if (QWidget* tab = FindControl(TabName(DeviceKind::kMousepad)).Widget()) tab->update();
  }
  if (arrival.kind != DeviceKind::kHeadset) timers_.Set(kTimerRepaintOnce, 100);
}

void CMainWnd::SelectStoredProfile(const char* combo, const std::optional<int>& index) {
  if (!index) return;
  // As a user's choice would: the profile routing loads the selected profile. The combo already
  // shows the stored selection from the page's creation, and the arrival read has replaced the
  // image, so the profile is put into effect even when the selection does not change.
  ui::Control control = FindControl(QString::fromLatin1(combo));
  if (control.CurSel() == *index && *index >= 0)
    SendNotify(control, QLatin1String(ui::notify::kItemSelect), *index, *index);
  else
    control.SelectItem(*index, ui::SendNotify::Yes);
}

void CMainWnd::ShowDeviceTab(DeviceKind kind) {
  if (shutDown_) return;
  FindControl(TabName(kind)).SetVisible(true);
  SelectDeviceTab(kind);
  if (kind != DeviceKind::kHeadset) SetCurrentDevicePage(static_cast<int>(kind));
}

void CMainWnd::SelectDeviceTab(DeviceKind kind) {
  FindControl(TabName(kind)).Select(true, ui::SendNotify::Yes);
  if (router_) return;
  FindControl(QStringLiteral("tab_switch")).SelectItem(static_cast<int>(kind));
  if (kind != DeviceKind::kHeadset) SetCurrentDevicePage(static_cast<int>(kind));
}

std::optional<DeviceKind> CMainWnd::SelectedDeviceTab() const {
  for (DeviceKind kind : kAllDeviceKinds)
    if (FindControl(TabName(kind)).IsSelected()) return kind;
  return std::nullopt;
}

void CMainWnd::DeviceRemoved(DeviceKind kind) {
  if (shutDown_) return;
  FindControl(TabName(kind)).SetVisible(false);
  const session::TabChoice choice =
      session::ChooseTabAfterRemoval(kind, session_.Connected(), SelectedDeviceTab());
  switch (choice.action) {
    case session::TabChoice::Action::kKeepSelection:
      break;
    case session::TabChoice::Action::kSelectTab:
      SelectDeviceTab(choice.tab);
      break;
    case session::TabChoice::Action::kHideWindow:
      HideMainWindow();
      break;
  }
}

void CMainWnd::ShowSameMode(DeviceKind kind, bool visible) {
  FindControl(QString::fromLatin1(kSameModeNames[IndexOf(kind)])).SetVisible(visible);
}

void CMainWnd::DeviceChanged(DeviceKind kind) {
  if (shutDown_) return;
  CallHook(kind, &DevicePageHooks::refresh);
}

void CMainWnd::ClickReaction() {
  if (clickReaction_) clickReaction_();
}

void CMainWnd::ShowMessage(std::string_view textId) {
  if (shutDown_) return;
  ShowBox(Latin1(textId));
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
  } else if (name == QLatin1String(kAutostartItem)) {
    QString error;
    if (!ToggleAutostart(AutostartEntryPath(), QCoreApplication::applicationFilePath(), &error))
      Trace("autostart: " + error.toStdString());
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
    Trace("language: " + error->ToString());
    return false;
  }
  languageIsEnglish_ = !languageIsEnglish_;
  qtDialogTexts_.Use(!languageIsEnglish_);
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

  const std::optional<QString> file = UpdaterFor(CurrentDevicePage(), session_.KeyboardModel());
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
  connect(&watcher, &platform::SuspendWatcher::suspending, this, [this] { session_.SetSystemAwake(false); });
  connect(&watcher, &platform::SuspendWatcher::resumed, this, [this] { session_.SetSystemAwake(true); });
}

// --- timers and messages -------------------------------------------------------------------------

void CMainWnd::OnTimer(int id) {
  switch (id) {
    case kTimerProgress:
      timers_.Kill(kTimerProgress);
      FindControl(QStringLiteral("setting_progress")).SetVisible(false);
      break;
    case kTimerDeferredWrites:
      session_.FlushDeferredWrites();
      PaceDeferredWrites();
      break;
    case kTimerPreviewPhase:
      if (previewTick_) previewTick_();
      break;
    case kTimerRepaintOnce:
      timers_.Kill(kTimerRepaintOnce);
      update();
      break;
    case kTimerRepaint: {
      const bool framesCame = previewPass_ && previewPass_();
      RepaintChangedPreviewKeys(*this);
      Trace("jiemian shuaxin ");
      if (framesCame)
        timers_.Set(kTimerRepaint, 50);
      else
        timers_.Kill(kTimerRepaint);
      break;
    }
    case kTimerKeyboardRead:
      timers_.Kill(kTimerKeyboardRead);
      session_.ReadAll(DeviceKind::kKeyboard);
      break;
    case kTimerMousepadRead:
      timers_.Kill(kTimerMousepadRead);
      session_.ReadAll(DeviceKind::kMousepad);
      break;
    default:
      break;
  }
}

void CMainWnd::SetPreviewPass(std::function<bool()> pass, std::function<void(bool shown)> shown) {
  previewPass_ = std::move(pass);
  previewShown_ = std::move(shown);
  if (previewShown_) previewShown_(isVisible() && !isMinimized());
}

void CMainWnd::ArmPreviewRepaint() {
  if (!windowInitDone_ || shutDown_ || timers_.IsActive(kTimerRepaint)) return;
  timers_.Set(kTimerRepaint, 50);
}

void CMainWnd::showEvent(QShowEvent* event) {
  ui::SkinWindow::showEvent(event);
  if (QWindow* handle = windowHandle(); handle && !exposureWatched_) {
    exposureWatched_ = true;
    handle->installEventFilter(this);
  }
  if (previewShown_) previewShown_(!isMinimized());
}

void CMainWnd::hideEvent(QHideEvent* event) {
  ui::SkinWindow::hideEvent(event);
  if (previewShown_) previewShown_(false);
}

bool CMainWnd::eventFilter(QObject* watched, QEvent* event) {
  // Only a change of exposure counts: a window partly covered and uncovered is exposed again and
  // again without any change for the preview.
  if (event->type() == QEvent::Expose && watched == windowHandle() && previewShown_) {
    const bool onScreen = WindowOnScreen(*this);
    if (onScreen != exposedLast_) {
      exposedLast_ = onScreen;
      previewShown_(onScreen);
    }
  }
  return ui::SkinWindow::eventFilter(watched, event);
}

void CMainWnd::changeEvent(QEvent* event) {
  ui::SkinWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && previewShown_) previewShown_(isVisible() && !isMinimized());
}

void CMainWnd::PaceDeferredWrites() {
  if (shutDown_ || !timers_.IsActive(kTimerDeferredWrites)) return;
  bool pending = false;
  for (DeviceKind kind : kAllDeviceKinds) pending |= session_.DeferredWritePending(kind);
  const int period = pending ? kDeferredWritesPeriodMs : kDeferredWritesIdleMs;
  if (timers_.Interval(kTimerDeferredWrites) != period) timers_.Set(kTimerDeferredWrites, period);
}

void CMainWnd::HurryDeferredWrites() {
  if (shutDown_ || !timers_.IsActive(kTimerDeferredWrites)) return;
  if (timers_.Interval(kTimerDeferredWrites) != kDeferredWritesPeriodMs)
    timers_.Set(kTimerDeferredWrites, kDeferredWritesPeriodMs);
}

void CMainWnd::RestoreAll() {
  const session::RestoreReport report = session_.RestoreAll();
  for (DeviceKind kind : kAllDeviceKinds)
    if (session_.Device(kind).connected) CallHook(kind, &DevicePageHooks::restored);
  ShowBox(Latin1(report.message));
}

qint64 CMainWnd::OnMessage(WindowMessage message, qint64 wParam, qint64 lParam) {
  Trace("message " + WindowMessageName(message).toStdString());
  switch (message) {
    case WindowMessage::WakeMessage:
      ShowOrWarn();
      return 0;
    case WindowMessage::WM_RESTORE_ALL:
      RestoreAll();
      return 0;
    case WindowMessage::WM_MS_RELOAD:
      session_.ReadAll(DeviceKind::kMouse);
      return 0;
    case WindowMessage::WM_MS_PROFILE:
      session_.ReloadProfile(DeviceKind::kMouse);
      return 0;
    case WindowMessage::WM_MP_RELOAD:
      session_.ReadAll(DeviceKind::kMousepad);
      return 0;
    case WindowMessage::WM_MP_PROFILE:
      session_.ReloadProfile(DeviceKind::kMousepad);
      return 0;
    case WindowMessage::WM_KB_RELOAD:
      session_.ReadAll(DeviceKind::kKeyboard);
      return 0;
    case WindowMessage::WM_KB_PROFILE:
      session_.ReloadProfile(DeviceKind::kKeyboard);
      return 0;
    case WindowMessage::WM_KB_DEFAULTS:
      session_.ReadKeyboardDefaults();
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
  deviceHook_.RemoveHooks();
  // First, so that a worker waiting in Send is released before the wait for the workers.
  messenger_.Close();
  shutDown_ = true;
  hide();
  timers_.KillAll();
  stopReport_ = workers_.Stop();
  // Every thread that could report has ended.
  session_.SetHost(nullptr);
  emit shutDown();
}

}  // namespace korva::app
