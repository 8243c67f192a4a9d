#include "app/PageWiring.h"

#include "app/MainWnd.h"
#include "app/PointerSettingsTips.h"
#include "common/Log.h"
#include "mouse/MouseProfiles.h"
#include "mouse/page/MouseSettingsPage.h"
#include "platform/DesktopPointerSettings.h"
#include "profile/ProfileStore.h"
#include "ui/MsgWnd.h"

namespace korva::app {

PageWiring::PageWiring(CMainWnd& window, profile::DataFolders folders,
                       std::unique_ptr<platform::DesktopPointerSettings> desktop, MessageBoxFn messageBox)
    : window_(window),
      windowAlive_(&window),
      folders_(std::move(folders)),
      router_(window, lighting_),
      skinMenu_(window),
      background_(window),
      desktop_(std::move(desktop)) {
  if (!desktop_) desktop_ = platform::MakeDesktopPointerSettingsForSession();
  WireRouting(std::move(messageBox));
  WireSkinPicker();
  WireMouseSettings();
  ShowPointerSettingsTips(window_, *desktop_);
}

PageWiring::~PageWiring() {
  // Normally the window is gone or shut down by now. Should it still run, it is stopped first:
  // its threads, timers and messages must not reach the pages being taken apart.
  if (windowAlive_) {
    windowAlive_->Shutdown();
    windowAlive_->SetNotifyRouter({});
    windowAlive_->SetSkinPickerOpener({});
    windowAlive_->SetPageHooks(DevicePage::kMouse, {});
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

  lighting::LightingCopyHooks& lighting = router_.LightingHooks();
  lighting.setAllSyncLighting = [this] {
    for (device::HidDevice* device :
         {&window_.Keyboard(), &window_.Mouse(), &window_.Mousepad(), &window_.Headset()})
      device->syncLighting = true;
  };
  lighting.saveProfile[lighting::IndexOf(lighting::LightingDevice::kMouse)] = [this] {
    SaveMouseLightProfile();
  };

  window_.SetNotifyRouter([this](const ui::Notification& msg) { router_.Dispatch(msg); });
}

void PageWiring::WireSkinPicker() {
  ui::GetSkinObserver().AddReceiver(&background_);
  window_.SetSkinPickerOpener([this](const ui::Control& skinButton) { OpenSkinPicker(skinButton); });
}

void PageWiring::WireMouseSettings() {
  mouseSettings_ =
      std::make_unique<mouse::MouseSettingsPage>(window_, window_.MouseModel(), window_.Mouse(), *desktop_);
  if (!mouseSettings_->RegisterRoutes(router_))
    Trace("mouse settings page: the routing refused a control name");
  DevicePageHooks hooks;
  hooks.initPage = [this] { InitialiseMouseProfiles(); };
  // Only the refresh: the mouse's reads on arrival, WM_MS_RELOAD and WM_MS_PROFILE are the
  // window's own, and each ends with this refresh.
  hooks.refresh = [this] { mouseSettings_->Refresh(); };
  window_.SetPageHooks(DevicePage::kMouse, std::move(hooks));
}

void PageWiring::InitialiseMouseProfiles() {
  // The arrival read and every settings change save into the selected light and key profiles, so
  // each library needs its first profile before the mouse can arrive. "windowinit" runs this
  // before the watchers start, so nothing else uses "msProfile.ini" yet; the key library has no
  // store of the window's own to go through here, so a store of that library does it.
  profile::ProfileStore& lightStore = window_.MouseLightStore();
  profile::ProfileStore keyStore(profile::StoreKind::kMouseKey, folders_,
                                 lightStore.DefaultFilePath().parent_path());
  for (profile::ProfileStore* store : {&lightStore, &keyStore}) {
    const profile::ListResult listed = store->Initialise();
    if (!listed.result.ok()) Trace("mouse profile library not created: " + listed.result.detail);
  }
}

void PageWiring::OpenSkinPicker(const ui::Control& skinButton) {
  // One picker at a time: a second click on the button replaces the first picker (which also
  // closes by itself where the desktop moves the focus).
  if (picker_) picker_->close();
  picker_ = ui::CSkinFrame::Open(window_, skinButton,
                                 ui::SkinFrameContext{ui::MainIniPath(folders_), &skinMenu_, nullptr, {}});
}

void PageWiring::SaveMouseLightProfile() {
  const profile::StoreResult saved =
      mouse::SaveMouseLightProfile(window_.MouseModel().image(), window_.MouseLightStore());
  if (!saved.ok()) Trace("mouse light profile not saved: " + saved.detail);
}

}  // namespace korva::app
