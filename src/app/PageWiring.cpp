#include "app/PageWiring.h"

#include "app/MainWnd.h"
#include "app/PointerSettingsTips.h"
#include "common/Log.h"
#include "keyboard/page/KeyboardKeyPage.h"
#include "mouse/page/MouseSettingsPage.h"
#include "platform/DesktopPointerSettings.h"
#include "platform/LowLevelInput.h"
#include "session/KeyboardController.h"
#include "session/MouseController.h"
#include "ui/routing/MsgWnd.h"

namespace korva::app {

PageWiring::PageWiring(CMainWnd& window, profile::DataFolders folders,
                       std::unique_ptr<platform::DesktopPointerSettings> desktop, MessageBoxFn messageBox,
                       profile::ProfileFileChooser chooseFile)
    : window_(window),
      windowAlive_(&window),
      folders_(std::move(folders)),
      router_(window, window.Session()),
      skinMenu_(window),
      background_(window),
      desktop_(std::move(desktop)) {
  if (!desktop_) desktop_ = platform::MakeDesktopPointerSettingsForSession();
  WireRouting(std::move(messageBox));
  WireSkinPicker();
  WireMouseSettings();
  WireKeyboardKeys();
  WireProfilePanels(std::move(chooseFile));
  ShowPointerSettingsTips(window_, *desktop_);
}

PageWiring::~PageWiring() {
  // Normally the window is gone or shut down by now. Should it still run, it is stopped first:
  // its threads, timers and messages must not reach the pages being taken apart.
  if (windowAlive_) {
    windowAlive_->Shutdown();
    windowAlive_->SetNotifyRouter({});
    windowAlive_->SetSkinPickerOpener({});
    windowAlive_->SetPageHooks(DeviceKind::kMouse, {});
    windowAlive_->SetPageHooks(DeviceKind::kKeyboard, {});
    windowAlive_->SetMessageHandler(WindowMessage::WM_HOOK_KEY_SINGLEKEY, {});
  }
  // The picker's menu is a member: a picker still open must not outlive it.
  delete picker_.data();
}

void PageWiring::WireRouting(MessageBoxFn messageBox) {
  ui::NotifyRouter::WindowHooks& hooks = router_.Hooks();
  hooks.showMessage = [this, box = std::move(messageBox)](const QString& textId) {
    return box ? box(&window_, textId) : ui::ShowMessageBox(window_, textId);
  };
  hooks.setCurrentDevicePage = [this](int page) { window_.SetCurrentDevicePage(page); };
  hooks.removeInputHooks = [this] {
    window_.DeviceHook().RemoveHooks();
    if (keyboardKeys_) keyboardKeys_->DisarmCapture();
  };

  // Same-mode copying writes the devices' images through the session; each device's page then
  // shows its new record and its light profile is saved from its image.
  session::DeviceSession& session = window_.Session();
  lighting::LightingCopyHooks& lighting = router_.LightingHooks();
  lighting.setAllSyncLighting = [&session] { session.SetAllSyncLighting(); };
  for (DeviceKind kind : kAllDeviceKinds) {
    lighting.saveProfile[IndexOf(kind)] = [&session, kind] { session.Controller(kind).SaveLightProfile(); };
  }
  lighting.refreshPage[IndexOf(DeviceKind::kMouse)] = [this] { mouseSettings_->Refresh(); };

  window_.SetNotifyRouter([this](const ui::Notification& msg) { router_.Dispatch(msg); });
}

void PageWiring::WireSkinPicker() {
  ui::GetSkinObserver().AddReceiver(&background_);
  window_.SetSkinPickerOpener([this](const ui::Control& skinButton) { OpenSkinPicker(skinButton); });
}

void PageWiring::WireMouseSettings() {
  session::DeviceSession& session = window_.Session();
  mouseSettings_ = std::make_unique<mouse::MouseSettingsPage>(window_, session.Mouse().Model(),
                                                              session.Device(DeviceKind::kMouse), *desktop_);
  if (!mouseSettings_->RegisterRoutes(router_))
    Trace("mouse settings page: the routing refused a control name");
  DevicePageHooks hooks;
  // The session reads, reloads and restores the mouse; the page shows the result.
  hooks.refresh = [this] { mouseSettings_->Refresh(); };
  hooks.restored = [this] { mouseSettings_->DefaultsRestored(); };
  window_.SetPageHooks(DeviceKind::kMouse, std::move(hooks));
}

void PageWiring::WireKeyboardKeys() {
  keyboard::KeyboardKeyPage::Hooks pageHooks;
  pageHooks.armCapture = [this] { window_.DeviceHook().ArmKeyCapture(platform::hook_mode::kKeyboardKeyCapture); };
  pageHooks.disarmCapture = [this] { window_.DeviceHook().RemoveHooks(); };
  pageHooks.progressShow = [this] { window_.Send(WindowMessage::WM_PROGRESS_SHOW); };
  pageHooks.progressDone = [this] { window_.Post(WindowMessage::WM_PROGRESS_DONE); };
  keyboardKeys_ = std::make_unique<keyboard::KeyboardKeyPage>(window_, window_.Session().Keyboard(),
                                                              std::move(pageHooks));
  if (!keyboardKeys_->RegisterRoutes(router_)) Trace("keyboard key page: the routing refused a control name");
  DevicePageHooks hooks;
  hooks.refresh = [this] { keyboardKeys_->Refresh(); };
  window_.SetPageHooks(DeviceKind::kKeyboard, std::move(hooks));
  window_.SetMessageHandler(WindowMessage::WM_HOOK_KEY_SINGLEKEY, [this](qint64 /*keyMessage*/, qint64 record) {
    const platform::KeyboardRecord key = platform::UnpackKeyboardRecord(record);
    keyboardKeys_->CaptureKey(key.vkCode, key.flags);
    return qint64{0};
  });
}

void PageWiring::WireProfilePanels(profile::ProfileFileChooser chooseFile) {
  profileLibrary_ = std::make_unique<session::ProfileLibrary>(window_.Session());
  using profile::StoreKind;
  for (StoreKind store : {StoreKind::kKeyboardLight, StoreKind::kKeyboardKey, StoreKind::kMouseLight,
                          StoreKind::kMouseKey, StoreKind::kMousepadLight}) {
    profile::ProfilePanel::Hooks hooks;
    hooks.showMessage = [this](const QString& textOrId) { return router_.Hooks().showMessage(textOrId); };
    hooks.chooseFile = chooseFile;
    hooks.applied = [this](const session::ProfileEffect& effect) { ProfileApplied(effect); };
    auto panel = std::make_unique<profile::ProfilePanel>(window_, *profileLibrary_, store, std::move(hooks));
    if (!panel->RegisterRoutes(router_)) Trace("profile panel: the routing refused a control name");
    panel->Initialise();
    profilePanels_[static_cast<std::size_t>(store)] = std::move(panel);
  }
}

void PageWiring::ProfileApplied(const session::ProfileEffect& effect) {
  switch (effect.device) {
    case DeviceKind::kKeyboard:
      keyboardKeys_->Refresh();
      break;
    case DeviceKind::kMouse:
      mouseSettings_->Refresh();
      if (effect.pointerSpeed) mouseSettings_->Desktop().ApplyPointerSpeed(*effect.pointerSpeed);
      if (effect.wheelLines) mouseSettings_->Desktop().ApplyWheelLines(*effect.wheelLines);
      break;
    case DeviceKind::kMousepad:  // its page shows the lighting record when it is built
    case DeviceKind::kHeadset:
      break;
  }
}

void PageWiring::OpenSkinPicker(const ui::Control& skinButton) {
  // One picker at a time: a second click on the button replaces the first picker (which also
  // closes by itself where the desktop moves the focus).
  if (picker_) picker_->close();
  picker_ = ui::CSkinFrame::Open(window_, skinButton,
                                 ui::SkinFrameContext{ui::MainIniPath(folders_), &skinMenu_, nullptr, {}});
}

}  // namespace korva::app
