#pragma once
// PageWiring: joins the main window to what answers its notifications and messages --
//
//  - the notification routing (NotifyRouter): every notification that is not "windowinit" or a
//    window button goes to NotifyRouter::Dispatch. Its hooks: the routing's messages
//    ("message_text_3") in the message box, page switches set the window's CurrentDevicePage,
//    same-mode copying writes the devices' images through the device session, refreshes their
//    pages, saves their light profiles and sets the four sync-lighting flags;
//  - the skin picker: "skinbtn" opens CSkinFrame under the button; its menu items run the window's
//    menu actions (SkinPickerMenu); the background it broadcasts reaches the window's "root"
//    through a RootBackgroundReceiver registered with the process-wide skin observer;
//  - the keyboard's key page (KeyboardKeyPage) on the session's keyboard, with its refresh after
//    every read and the captured keys (WM_HOOK_KEY_SINGLEKEY);
//  - the keyboard's lighting page (KeyboardLightPage): refreshed after every read, light profile
//    and same-mode copy; its modes, custom colours and preview-key clicks reach the lighting threads;
//  - the lighting threads (LightingWiring) in their worker slots, their frames on the preview keys;
//  - the mouse's button page (MouseButtonPage) on the session's mouse: its labels after every
//    refresh of the mouse, its editor closed on a device-profile switch, the captured keys
//    (WM_HOOK_MOU_SINGLEKEY);
//  - the keyboard's and the mouse's macro pages (MacroPage) on their data folders, with the
//    recording hooks' messages (WM_HOOK_KEY_MACRO*, WM_HOOK_MOU_MACRO*) and the key banks a
//    deleted macro renumbers;
//  - the device pages built so far: the mouse sensitivity page (MouseSettingsPage) on the window's
//    session's mouse model, with its routes, its refresh whenever the session changed the mouse's
//    image, and what it does after "Restore all defaults";
//  - the headset's lighting page (HeadsetLightPage): its changes kept in the selected headset
//    profile and published to the lighting threads, a mode selection taking the headset out of the
//    synchronised lighting; it shows the record of every profile load, restore and same-mode copy;
//  - the five profile panels (ProfilePanel: keyboard light and key, mouse light and key, mousepad
//    light) over the session's ProfileLibrary, filled at page creation; a profile put into effect
//    refreshes its device's pages and gives the desktop the mouse's pointer settings; their
//    application-link watchers (LinkWiring) in worker slots 10-14;
//
// What the window does itself is not repeated here: it handles "windowinit" (including the skin
// choice remembered in "main.ini") and "closebtn", "minbtn", "maxbtn", "restorebtn" before any
// routing, and passes "skinbtn" on after opening the picker; so the router's windowInit and
// windowButton hooks stay empty. No input hooks exist yet, so a page switch has none to remove.
//
// Use: after CMainWnd::Create and before the window is first shown (the page hooks must be in
// place by "windowinit"). The wiring must outlive the window's use of it: destroy it after the
// window has shut down (CMainWnd::Shutdown joins the threads, stops the timers and closes the
// message set) -- for example by declaring it before the window's owner. A window that still runs
// when the wiring goes is shut down and unhooked first.
//
// UI thread only.

#include <QPointer>
#include <QString>
#include <functional>
#include <array>
#include <memory>
#include <optional>

#include "app/MessageBox.h"
#include "app/SkinPickerMenu.h"
#include "keyboard/KeyAssignment.h"
#include "profile/DataFolders.h"
#include "profile/page/ProfilePanel.h"
#include "session/ProfileLibrary.h"
#include "ui/routing/SkinChanged.h"
#include "ui/routing/SkinFrame.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::headset {
class HeadsetLightPage;
class HeadsetVoicePage;
}
namespace korva::keyboard {
class KeyboardKeyPage;
class KeyboardLightPage;
}
namespace korva::mouse {
class MouseButtonPage;
class MouseCursorPage;
class MouseSettingsPage;
class PointerLightPage;
}
namespace korva::mousepad {
class MousepadPage;
}
namespace korva::macro {
class MacroPage;
}
namespace korva::platform {
class DesktopPointerSettings;
}

namespace korva::app {

class CMainWnd;
class LightingWiring;
class LinkWiring;

class PageWiring {
 public:
  // `folders` holds "main.ini" (the picker's remembered background); `desktop` is the desktop's
  // pointer speed and wheel lines (MakeDesktopPointerSettingsForSession, a fake in tests);
  // `messageBox` shows the routing's and the pages' messages, empty: the skinned message box
  // (CMsgWnd); `chooseFile` the profile panels' import and export paths, empty: the Qt dialogs.
  PageWiring(CMainWnd& window, profile::DataFolders folders,
             std::unique_ptr<platform::DesktopPointerSettings> desktop, MessageBoxFn messageBox,
             profile::ProfileFileChooser chooseFile = {});
  ~PageWiring();
  PageWiring(const PageWiring&) = delete;
  PageWiring& operator=(const PageWiring&) = delete;

  ui::NotifyRouter& Router() { return router_; }
  mouse::MouseSettingsPage& MouseSettings() { return *mouseSettings_; }
  keyboard::KeyboardKeyPage& KeyboardKeys() { return *keyboardKeys_; }
  keyboard::KeyboardLightPage& KeyboardLighting() { return *keyboardLight_; }
  mouse::MouseButtonPage& MouseButtons() { return *mouseButtons_; }
  LightingWiring& Lighting() { return *lighting_; }
  headset::HeadsetVoicePage& HeadsetVoice() { return *headsetVoice_; }
  headset::HeadsetLightPage& HeadsetLight() { return *headsetLight_; }
  macro::MacroPage& KeyboardMacros() { return *keyboardMacros_; }
  macro::MacroPage& MouseMacros() { return *mouseMacros_; }
  mouse::MouseCursorPage& MouseCursors() { return *mouseCursors_; }
  // The file dialogs of the macro and cursor macro pages' import (save = false) and export (save = true); the
  // chosen path, empty when cancelled. Default: the Qt file dialogs.
  using MacroFileChooser = std::function<QString(bool save)>;
  void SetMacroFileChooser(MacroFileChooser chooser) { macroFileChooser_ = std::move(chooser); }
  profile::ProfilePanel& ProfilePanelOf(profile::StoreKind store) {
    return *profilePanels_[static_cast<std::size_t>(store)];
  }
  // The application-link watchers and their foreground provider.
  LinkWiring& Links() { return *links_; }
  // The skin picker while it is open, else nullptr.
  ui::CSkinFrame* SkinPicker() const { return picker_; }
  // A profile was put into effect: the device's pages show it, the desktop takes its pointer settings.
  void ProfileApplied(const session::ProfileEffect& effect);

 private:
  void WireRouting(MessageBoxFn messageBox);
  void WireSkinPicker();
  void WireMouseSettings();
  void WireKeyboardKeys();
  void WireKeyboardLighting();
  void WireMouseButtons();
  void WireHeadsetVoice();
  void WireHeadsetLight();
  void WireMacroPages();
  void WireMouseCursors();
  void WirePointerLighting();
  // `extension` without its dot: "mac" for macros, "cur" for cursor macros.
  QString ChooseMacroFile(bool save, const QString& extension = QStringLiteral("mac"));
  // The routing's message box; every "%d" of the text becomes `number` when there is one.
  int ShowMessage(const QString& textId, std::optional<int> number);
  // The names of a device's macro library, read from its index when asked.
  keyboard::MacroNames MacroNames(DeviceKind kind) const;
  void WireProfilePanels(profile::ProfileFileChooser chooseFile);
  void OpenSkinPicker(const ui::Control& skinButton);

  CMainWnd& window_;
  QPointer<CMainWnd> windowAlive_;  // null once the window is destroyed
  profile::DataFolders folders_;
  ui::NotifyRouter router_;
  SkinPickerMenu skinMenu_;
  ui::RootBackgroundReceiver background_;
  QPointer<ui::CSkinFrame> picker_;
  std::unique_ptr<platform::DesktopPointerSettings> desktop_;
  std::unique_ptr<LightingWiring> lighting_;
  // After desktop_: the page's desktop worker is joined before the settings it calls go.
  std::unique_ptr<mouse::MouseSettingsPage> mouseSettings_;
  std::unique_ptr<keyboard::KeyboardKeyPage> keyboardKeys_;
  std::unique_ptr<keyboard::KeyboardLightPage> keyboardLight_;
  std::unique_ptr<mouse::MouseButtonPage> mouseButtons_;
  std::unique_ptr<mouse::PointerLightPage> mouseLighting_;
  std::unique_ptr<mouse::PointerLightPage> mousepadLighting_;
  std::unique_ptr<mousepad::MousepadPage> mousepadPage_;
  std::unique_ptr<headset::HeadsetVoicePage> headsetVoice_;
  std::unique_ptr<headset::HeadsetLightPage> headsetLight_;
  MacroFileChooser macroFileChooser_;
  std::unique_ptr<macro::MacroPage> keyboardMacros_;
  std::unique_ptr<macro::MacroPage> mouseMacros_;
  std::unique_ptr<mouse::MouseCursorPage> mouseCursors_;
  std::unique_ptr<session::ProfileLibrary> profileLibrary_;
  // Indexed by profile::StoreKind.
  std::array<std::unique_ptr<profile::ProfilePanel>, 5> profilePanels_;
  std::unique_ptr<LinkWiring> links_;
};

}  // namespace korva::app
