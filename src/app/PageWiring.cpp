#include "app/PageWiring.h"

#include <QFileDialog>
#include <chrono>
#include <optional>
#include <span>
#include <vector>

#include "app/LightingWiring.h"
#include "app/LinkWiring.h"
#include "app/MainWnd.h"
#include "app/PointerSettingsTips.h"
#include "common/Log.h"
#include "headset/page/HeadsetLightPage.h"
#include "headset/page/HeadsetVoicePage.h"
#include "keyboard/page/KeyboardKeyPage.h"
#include "keyboard/page/KeyboardLightPage.h"
#include "macro/MacroFiles.h"
#include "macro/page/MacroPage.h"
#include "mouse/page/MouseButtonPage.h"
#include "mouse/page/MouseCursorPage.h"
#include "mouse/page/MouseSettingsPage.h"
#include "mouse/page/PointerLightPage.h"
#include "mouse/MouseTransfer.h"
#include "mousepad/page/MousepadPage.h"
#include "platform/DesktopPointerSettings.h"
#include "platform/LowLevelInput.h"
#include "session/KeyboardController.h"
#include "session/MouseController.h"
#include "session/MousepadController.h"
#include "ui/Skin.h"
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
  lighting_ = std::make_unique<LightingWiring>(window_);
  WireRouting(std::move(messageBox));
  WireSkinPicker();
  WireMouseSettings();
  WireKeyboardKeys();
  WireKeyboardLighting();
  WireMouseButtons();
  WireHeadsetVoice();
  WireMouseCursors();
  WireHeadsetLight();
  WireMacroPages();
  WirePointerLighting();
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
    windowAlive_->SetPageHooks(DeviceKind::kMousepad, {});
    windowAlive_->SetPageHooks(DeviceKind::kHeadset, {});
    windowAlive_->SetMessageHandler(WindowMessage::WM_HOOK_KEY_SINGLEKEY, {});
    windowAlive_->SetMessageHandler(WindowMessage::WM_HOOK_MOU_SINGLEKEY, {});
    for (WindowMessage message : {WindowMessage::WM_HOOK_KEY_SINGLEKEY, WindowMessage::WM_HOOK_KEY_MACRO,
                                  WindowMessage::WM_HOOK_KEY_MACRO_MOUSE, WindowMessage::WM_HOOK_MOU_MACRO,
                                  WindowMessage::WM_HOOK_MOU_MACRO_MOUSE})
      windowAlive_->SetMessageHandler(message, {});
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
    if (mouseButtons_) mouseButtons_->CloseEditor();
  };

  // Same-mode copying writes the devices' images through the session; each device's page then
  // shows its new record and its light profile is saved from its image.
  session::DeviceSession& session = window_.Session();
  lighting::LightingCopyHooks& lighting = router_.LightingHooks();
  // Joining rings the lighting bell, which wakes the synchronised thread.
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
  hooks.refresh = [this] {
    if (mouseButtons_) mouseButtons_->ImageReplaced();
    mouseSettings_->Refresh();
  };
  hooks.restored = [this] { mouseSettings_->DefaultsRestored(); };
  window_.SetPageHooks(DeviceKind::kMouse, std::move(hooks));
}

void PageWiring::WireKeyboardKeys() {
  keyboard::KeyboardKeyPage::Hooks pageHooks;
  pageHooks.armCapture = [this] { window_.DeviceHook().ArmKeyCapture(platform::hook_mode::kKeyboardKeyCapture); };
  pageHooks.disarmCapture = [this] { window_.DeviceHook().RemoveHooks(); };
  pageHooks.progressShow = [this] { window_.Send(WindowMessage::WM_PROGRESS_SHOW); };
  pageHooks.progressDone = [this] { window_.Post(WindowMessage::WM_PROGRESS_DONE); };
  pageHooks.showMessage = [this](std::string_view textId, std::optional<int> number) {
    ShowMessage(ui::Utf8(textId), number);
  };
  pageHooks.macroNames = MacroNames(DeviceKind::kKeyboard);
  keyboardKeys_ = std::make_unique<keyboard::KeyboardKeyPage>(window_, window_.Session().Keyboard(),
                                                              std::move(pageHooks));
  if (!keyboardKeys_->RegisterRoutes(router_)) Trace("keyboard key page: the routing refused a control name");
  DevicePageHooks hooks;
  hooks.refresh = [this] {
    if (keyboardLight_) keyboardLight_->Refresh();
    keyboardKeys_->Refresh();
    lighting_->KeyboardRecordChanged();
  };
  window_.SetPageHooks(DeviceKind::kKeyboard, std::move(hooks));
  window_.SetMessageHandler(WindowMessage::WM_HOOK_KEY_SINGLEKEY, [this](qint64 /*keyMessage*/, qint64 record) {
    const platform::KeyboardRecord key = platform::UnpackKeyboardRecord(record);
    keyboardKeys_->CaptureKey(key.vkCode, key.flags);
    return qint64{0};
  });
}

void PageWiring::WireKeyboardLighting() {
  session::DeviceSession& session = window_.Session();
  session::LightingThreads& threads = lighting_->Threads();
  keyboard::KeyboardLightPage::Hooks hooks;
  hooks.modeSelected = [&threads](std::uint8_t mode, std::uint8_t direction) {
    threads.ModeSelected(DeviceKind::kKeyboard, mode, direction);
  };
  hooks.modeShown = [&threads](std::uint8_t mode) { threads.KeyboardModeShown(mode); };
  hooks.recordChanged = [this, &session] {
    session.PublishLighting();
    lighting_->KeyboardRecordChanged();
  };
  hooks.customColoursChanged = [&threads](std::span<const std::uint8_t> sets, std::uint8_t set) {
    threads.SetKeyboardCustomColours(sets, set);
  };
  hooks.rippleAt = [&threads](std::uint8_t key) { threads.KeyboardKeyClicked(key); };
  keyboardLight_ = std::make_unique<keyboard::KeyboardLightPage>(window_, session.Keyboard(), std::move(hooks));
  if (!keyboardLight_->RegisterRoutes(router_)) Trace("keyboard lighting page: the routing refused a control name");
  // Another device's same-mode copy replaced the keyboard's record.
  router_.LightingHooks().refreshPage[IndexOf(DeviceKind::kKeyboard)] = [this, &session] {
    keyboardLight_->Refresh();
    session.PublishLighting();
    lighting_->KeyboardRecordChanged();
  };
}

void PageWiring::WireMouseButtons() {
  mouse::MouseButtonPage::Hooks pageHooks;
  pageHooks.armCapture = [this] { window_.DeviceHook().ArmKeyCapture(platform::hook_mode::kMouseKeyCapture); };
  pageHooks.disarmCapture = [this] { window_.DeviceHook().RemoveHooks(); };
  pageHooks.progressShow = [this] { window_.Send(WindowMessage::WM_PROGRESS_SHOW); };
  pageHooks.progressDone = [this] { window_.Post(WindowMessage::WM_PROGRESS_DONE); };
  pageHooks.showMessage = [this](std::string_view textId, std::optional<int> number) {
    ShowMessage(ui::Utf8(textId), number);
  };
  pageHooks.macroNames = MacroNames(DeviceKind::kMouse);
  mouseButtons_ = std::make_unique<mouse::MouseButtonPage>(window_, window_.Session().Mouse(), std::move(pageHooks));
  if (!mouseButtons_->RegisterRoutes(router_)) Trace("mouse button page: the routing refused a control name");
  // The mouse's refresh ends with the labels of the active bank; a re-read or a switch of the
  // device profile closes the editor, whose entry belonged to the bank that was replaced.
  mouse::MouseSettingsPage::RefreshHooks& refresh = mouseSettings_->Hooks();
  refresh.buttonLabels = [this](int /*bank*/) { mouseButtons_->RefreshLabels(); };
  refresh.closeButtonEditor = [this] { mouseButtons_->CloseEditor(); };
  window_.SetMessageHandler(WindowMessage::WM_HOOK_MOU_SINGLEKEY, [this](qint64 /*keyMessage*/, qint64 record) {
    const platform::KeyboardRecord key = platform::UnpackKeyboardRecord(record);
    mouseButtons_->CaptureKey(key.vkCode, key.flags);
    return qint64{0};
  });
}

void PageWiring::WireHeadsetVoice() {
  session::DeviceSession& session = window_.Session();
  headset::HeadsetVoicePage::Hooks pageHooks;
  pageHooks.showMessage = [this](const QString& textId) { return router_.Hooks().showMessage(textId); };
  // The lighting threads take the headset's record from the session.
  pageHooks.lightChanged = [this, &session](const lighting::LightingSettings& light) {
    session.Controller(DeviceKind::kHeadset).SetLighting(light);
    session.PublishLighting();
    if (headsetLight_) headsetLight_->Show(light);
  };
  headsetVoice_ = std::make_unique<headset::HeadsetVoicePage>(window_, session.Audio(), session.Folders(),
                                                              session.DefaultsFolder(), std::move(pageHooks));
  if (!headsetVoice_->RegisterRoutes(router_)) Trace("headset voice page: the routing refused a control name");
  // A same-mode copy into the headset is kept in its selected profile.
  router_.LightingHooks().saveProfile[IndexOf(DeviceKind::kHeadset)] = [this, &session] {
    headsetVoice_->LightingCopied(session.Controller(DeviceKind::kHeadset).Lighting());
  };
  DevicePageHooks hooks;
  hooks.initPage = [this] { headsetVoice_->InitPage(); };
  hooks.refresh = [this] { headsetVoice_->Refresh(); };
  window_.SetPageHooks(DeviceKind::kHeadset, std::move(hooks));
}

void PageWiring::WireHeadsetLight() {
  session::DeviceSession& session = window_.Session();
  headset::HeadsetLightPage::Hooks hooks;
  // A change is kept in the selected headset profile and taken by the lighting threads.
  hooks.changed = [this, &session](const lighting::LightingSettings& light) {
    session.Controller(DeviceKind::kHeadset).SetLighting(light);
    session.PublishLighting();
    headsetVoice_->LightingCopied(light);
  };
  hooks.modeSelected = [this, &session](std::uint8_t mode, std::uint8_t direction) {
    session.Device(DeviceKind::kHeadset).LeaveSynchronisedLighting();
    lighting_->Threads().ModeSelected(DeviceKind::kHeadset, mode, direction);
  };
  headsetLight_ = std::make_unique<headset::HeadsetLightPage>(window_, std::move(hooks));
  if (!headsetLight_->RegisterRoutes(router_)) Trace("headset lighting page: the routing refused a control name");
  headsetLight_->Show(session.Controller(DeviceKind::kHeadset).Lighting());
  // Another device's same-mode copy: the page shows the headset's new record.
  router_.LightingHooks().refreshPage[IndexOf(DeviceKind::kHeadset)] = [this, &session] {
    headsetLight_->Show(session.Controller(DeviceKind::kHeadset).Lighting());
  };
}

void PageWiring::WireMacroPages() {
  session::DeviceSession& session = window_.Session();
  struct Side {
    DeviceKind kind;
    const char* prefix;
    int mode;
    WindowMessage key, mouse;
    std::unique_ptr<macro::MacroPage>& page;
  };
  const Side sides[] = {
      {DeviceKind::kKeyboard, "kb", platform::hook_mode::kKeyboardMacro, WindowMessage::WM_HOOK_KEY_MACRO,
       WindowMessage::WM_HOOK_KEY_MACRO_MOUSE, keyboardMacros_},
      {DeviceKind::kMouse, "ms", platform::hook_mode::kMouseMacro, WindowMessage::WM_HOOK_MOU_MACRO,
       WindowMessage::WM_HOOK_MOU_MACRO_MOUSE, mouseMacros_},
  };
  for (const Side& side : sides) {
    macro::MacroPage::Hooks hooks;
    hooks.installHooks = [this, mode = side.mode](bool keys, bool buttons) {
      return window_.DeviceHook().InstallHooks(mode, keys, buttons) == 1;
    };
    hooks.removeHooks = [this] { window_.DeviceHook().RemoveHooks(); };
    hooks.showMessage = [this](const QString& textId, std::optional<int> number) { return ShowMessage(textId, number); };
    if (side.kind == DeviceKind::kKeyboard) {
      hooks.keyBanks = [&session] {
        std::vector<std::span<std::uint8_t>> banks;
        for (auto& bank : session.Keyboard().Image().banks) banks.emplace_back(bank);
        return banks;
      };
      hooks.defaultBlock = [&session] { return std::span<const std::uint8_t>(session.Keyboard().Image().defaultBlock); };
      hooks.macrosChanged = [this] { keyboardKeys_->Refresh(); };
    } else {
      hooks.keyBanks = [&session] {
        std::vector<std::span<std::uint8_t>> banks;
        for (auto& bank : session.Mouse().Model().image().banks) banks.emplace_back(bank.bytes);
        return banks;
      };
      hooks.defaultBlock = [&session] {
        return std::span<const std::uint8_t>(session.Mouse().Model().image().defaultButtons.bytes);
      };
      hooks.macrosChanged = [this] { mouseButtons_->RefreshLabels(); };
    }
    hooks.chooseImport = [this] { return ChooseMacroFile(false); };
    hooks.chooseExport = [this] { return ChooseMacroFile(true); };
    hooks.now = [] {
      return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            std::chrono::steady_clock::now().time_since_epoch())
                                            .count());
    };
    side.page = std::make_unique<macro::MacroPage>(
        window_, QString::fromLatin1(side.prefix),
        macro::MacroLibrary{session.Folders().GetDeviceFolder(side.kind), side.kind}, std::move(hooks));
    if (!side.page->RegisterRoutes(router_)) Trace(std::string(side.prefix) + " macro page: the routing refused a control name");
    macro::MacroPage* page = side.page.get();
    window_.SetMessageHandler(side.key, [page](qint64 keyMessage, qint64 record) {
      const platform::KeyboardRecord key = platform::UnpackKeyboardRecord(record);
      page->RecordKey(keyMessage, key.vkCode, key.flags);
      return qint64{0};
    });
    window_.SetMessageHandler(side.mouse, [page](qint64 mouseMessage, qint64) {
      page->RecordMouse(mouseMessage);
      return qint64{0};
    });
    page->InitMacroPage();
  }
}

void PageWiring::WirePointerLighting() {
  session::DeviceSession& session = window_.Session();
  // The two lighting sections edit their device's record in the session's image; the preview
  // takes it at once and a chosen mode restarts the device's animation outside the sync lighting.
  const auto target = [this, &session](DeviceKind kind) {
    mouse::PointerLightTarget t;
    t.read = [&session, kind] { return session.Controller(kind).Lighting(); };
    t.write = [&session, kind](const lighting::LightingSettings& record) { session.Controller(kind).SetLighting(record); };
    t.published = [&session] { session.PublishLighting(); };
    t.modeSelected = [this, &session, kind](std::uint8_t mode, std::uint8_t direction) {
      session.Device(kind).LeaveSynchronisedLighting();
      lighting_->Threads().ModeSelected(kind, mode, direction);
    };
    return t;
  };
  mouse::PointerLightTarget mouseTarget = target(DeviceKind::kMouse);
  mouseTarget.edited = [&session] {
    session.Mouse().Model().MarkPendingWrite();
    session.Mouse().SaveLightProfile();
  };
  mouseTarget.writeModeNow = [&session](std::uint8_t mode) {
    session::MouseController& mouse = session.Mouse();
    if (mouse.Device().connected) mouse::WriteMouseLightMode(mouse.Device(), mouse.Model().image(), mode);
  };
  mouseLighting_ = std::make_unique<mouse::PointerLightPage>(window_, mouse::PointerLightPage::MouseNames(),
                                                             mouse::MouseLightRules(), std::move(mouseTarget));
  if (!mouseLighting_->RegisterRoutes(router_)) Trace("mouse lighting page: the routing refused a control name");
  mouseSettings_->Hooks().lighting = [this] { mouseLighting_->Refresh(); };

  mouse::PointerLightTarget padTarget = target(DeviceKind::kMousepad);
  padTarget.edited = [&session] { session.Mousepad().LightingEdited(); };
  mousepadLighting_ = std::make_unique<mouse::PointerLightPage>(
      window_, mouse::PointerLightPage::MousepadNames(), mouse::MousepadLightRules(), std::move(padTarget));
  if (!mousepadLighting_->RegisterRoutes(router_)) Trace("mousepad lighting page: the routing refused a control name");
  const auto refreshPad = [this, &session] {
    session.PublishLighting();
    mousepadLighting_->Refresh();
    mousepadPage_->Refresh();
  };
  mousepad::MousepadPage::Hooks padHooks;
  padHooks.refresh = refreshPad;
  padHooks.reload = [this] { window_.Post(WindowMessage::WM_MP_RELOAD); };
  mousepadPage_ = std::make_unique<mousepad::MousepadPage>(window_, session.Mousepad(), std::move(padHooks));
  if (!mousepadPage_->RegisterRoutes(router_)) Trace("mousepad page: the routing refused a control name");
  router_.LightingHooks().refreshPage[IndexOf(DeviceKind::kMousepad)] = [this] { mousepadLighting_->Refresh(); };
  DevicePageHooks hooks;
  hooks.refresh = refreshPad;
  window_.SetPageHooks(DeviceKind::kMousepad, std::move(hooks));
}

keyboard::MacroNames PageWiring::MacroNames(DeviceKind kind) const {
  return [library = macro::MacroLibrary{window_.Session().Folders().GetDeviceFolder(kind), kind}](
             int number) -> std::optional<std::string> {
    const Result<std::vector<std::string>> names = macro::LoadMacroIndex(library);
    if (!names || number < 0 || static_cast<std::size_t>(number) >= names.value().size()) return std::nullopt;
    return names.value()[static_cast<std::size_t>(number)];
  };
}

int PageWiring::ShowMessage(const QString& textId, std::optional<int> number) {
  if (!number) return router_.Hooks().showMessage(textId);
  // The box takes a text or a text id; a text with a number is shown as the text it becomes.
  return router_.Hooks().showMessage(
      window_.GetSkin().Text(textId).replace(QLatin1String("%d"), QString::number(*number)));
}

void PageWiring::WireMouseCursors() {
  mouse::MouseCursorPage::Hooks pageHooks;
  pageHooks.showMessage = [this](std::string_view textId, std::optional<int> number) {
    ShowMessage(ui::Utf8(textId), number);
  };
  pageHooks.chooseImport = [this] { return ChooseMacroFile(false, QStringLiteral("cur")); };
  pageHooks.chooseExport = [this] { return ChooseMacroFile(true, QStringLiteral("cur")); };
  mouseCursors_ = std::make_unique<mouse::MouseCursorPage>(window_, window_.Session().Mouse(), std::move(pageHooks));
  if (!mouseCursors_->RegisterRoutes(router_)) Trace("mouse cursor page: the routing refused a control name");
  // The patterns are set up when the page is built (the session's start repeats it harmlessly).
  if (const Result<void> seeded = window_.Session().Mouse().Cursors().Initialise(); !seeded)
    Trace("mouse cursor page: cursor macros not set up: " + seeded.error().ToString());
  mouseCursors_->Refresh();
}

QString PageWiring::ChooseMacroFile(bool save, const QString& extension) {
  if (macroFileChooser_) return macroFileChooser_(save);
  const QString filter = QStringLiteral("(*.") + extension + QStringLiteral(")");
  if (!save) return QFileDialog::getOpenFileName(&window_, {}, {}, filter);
  // The save dialog asks before replacing a file; the name gets ".mac" when typed without it.
  QFileDialog dialog(&window_, {}, {}, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(extension);
  return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().front()
                                                                                  : QString();
}

void PageWiring::WireProfilePanels(profile::ProfileFileChooser chooseFile) {
  profileLibrary_ = std::make_unique<session::ProfileLibrary>(window_.Session());
  links_ = std::make_unique<LinkWiring>(window_, *profileLibrary_, [this](profile::StoreKind store) -> profile::ProfilePanel& {
    return ProfilePanelOf(store);
  });
  using profile::StoreKind;
  for (StoreKind store : {StoreKind::kKeyboardLight, StoreKind::kKeyboardKey, StoreKind::kMouseLight,
                          StoreKind::kMouseKey, StoreKind::kMousepadLight}) {
    profile::ProfilePanel::Hooks hooks;
    hooks.showMessage = [this](const QString& textOrId) { return router_.Hooks().showMessage(textOrId); };
    hooks.chooseFile = chooseFile;
    hooks.applied = [this](const session::ProfileEffect& effect) { ProfileApplied(effect); };
    hooks.shown = [this, store](int index) { links_->Shown(store, index); };
    hooks.linksChanged = [this, store] { links_->LinksChanged(store); };
    auto panel = std::make_unique<profile::ProfilePanel>(window_, *profileLibrary_, store, std::move(hooks));
    if (!panel->RegisterRoutes(router_)) Trace("profile panel: the routing refused a control name");
    panel->Initialise();
    panel->SetSwitchingAvailable(links_->SwitchingAvailable());
    profilePanels_[static_cast<std::size_t>(store)] = std::move(panel);
  }
}

void PageWiring::ProfileApplied(const session::ProfileEffect& effect) {
  // A light profile changes a lighting record: the lighting threads take the new set.
  window_.Session().PublishLighting();
  switch (effect.device) {
    case DeviceKind::kKeyboard:
      keyboardLight_->Refresh();
      keyboardKeys_->Refresh();
      lighting_->KeyboardRecordChanged();
      break;
    case DeviceKind::kMouse:
      mouseSettings_->Refresh();
      if (effect.pointerSpeed) mouseSettings_->Desktop().ApplyPointerSpeed(*effect.pointerSpeed);
      if (effect.wheelLines) mouseSettings_->Desktop().ApplyWheelLines(*effect.wheelLines);
      break;
    case DeviceKind::kMousepad:
      mousepadLighting_->Refresh();
      break;
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
