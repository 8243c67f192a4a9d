#pragma once
// NotifyRouter: every notification of the main window, routed by type and then by the sender's
// name or name family to the handler of the area that owns the control (RouteTables.h).
//
// The main window gives each notification to Dispatch from its Notify:
//
//   void CMainWnd::Notify(const Notification& msg) { router_.Dispatch(msg); }
//
// The routing carries out itself what belongs to no device: page switching with the unsaved
// macro guard, the profile panel toggles, the colour presets of the swatches and the palettes,
// the mouse button pictures and same-mode copying. The main window's own parts arrive through
// Hooks(); device pages bind their handlers by name when they are built:
//
//   router.Bind(u"click", u"ms_key_butt_keysave", [this](const Notification&) { SaveKey(); });
//   router.BindFamily(u"click", u"ms_key_", [this](int i, const Notification&) { EditButton(i); });
//   router.BindColour(u"ms_Deng_color_btn_", [this](quint32 argb, bool store) { SetColour(argb, store); });
//   router.LightingHooks().refreshPage[IndexOf(DeviceKind::kMouse)] = [this] { RefreshLighting(); };
//
// Types and names are QStringViews: a QString, or a u"" literal.
//
// A notification whose control has no bound handler yet is passed on unchanged. Bind refuses
// (returns false) a name or prefix that the routing does not give to a device page for that
// notification type, so a misspelt name shows at start-up and not as a dead button.

#include <QHash>
#include <QString>
#include <QStringView>
#include <functional>

#include "lighting/LightingCopy.h"
#include "lighting/LightingRecords.h"
#include "ui/Notify.h"
#include "ui/routing/RouteTables.h"

namespace korva::ui {

class SkinWindow;

class NotifyRouter {
 public:
  using Handler = std::function<void(const Notification& msg)>;
  // Families: the number at the end of the sender's name.
  using IndexHandler = std::function<void(int index, const Notification& msg)>;
  // Colour swatches and palettes: the chosen colour 0xAARRGGBB, and whether the page stores it
  // (always true from here: a user's choice is stored).
  using ColourHandler = std::function<void(quint32 argb, bool store)>;

  // The main window's parts. Empty hooks are skipped.
  struct WindowHooks {
    std::function<void()> windowInit;  // "windowinit": the start-up sequence
    // "closebtn", "minbtn", "maxbtn", "restorebtn", "skinbtn" (given in lower case).
    std::function<void(const QString& button)> windowButton;
    // Shows a message box with a text id. Default: ShowMessageBox on the routed window.
    std::function<int(const QString& textId)> showMessage;
    // A page change: remove the input hooks if any are installed and clear the key capture.
    std::function<void()> removeInputHooks;
    // A device page came to the front: 0 keyboard, 1 mouse, 2 mousepad, 3 headset.
    std::function<void(int page)> setCurrentDevicePage;
  };

  struct Outcome {
    Route route;             // where the notification belongs (kind kNone: nobody)
    bool handled = false;    // a handler ran: the routing's own, a hook or a bound one
    bool passToBase = true;  // false for "closebtn", "minbtn", "maxbtn", "restorebtn"
  };

  // `window` is the main window whose controls the routing reads and changes; `records` the
  // lighting records same-mode copying works on. Both must outlive the router.
  NotifyRouter(SkinWindow& window, lighting::LightingRecordStore& records);

  WindowHooks& Hooks() { return hooks_; }
  // The page refreshes, profile saves and sync-lighting flags same-mode copying calls.
  lighting::LightingCopyHooks& LightingHooks() { return lightingHooks_; }

  // Binds (or replaces, or with an empty handler removes) the handler of a named control.
  bool Bind(QStringView type, QStringView name, Handler handler);
  // Binds the handler of a family ("ms_key_" for clicks, "hs_slien_check_" for selectchanged).
  bool BindFamily(QStringView type, QStringView prefix, IndexHandler handler);
  // Binds the colour handler of a swatch family; its palette sends its colour there too.
  bool BindColour(QStringView swatchFamily, ColourHandler handler);

  Outcome Dispatch(const Notification& msg);

 private:
  bool RunNamed(const Notification& msg, const Route& route);
  bool RunFamily(const Notification& msg, const Route& route);
  bool RunColour(const Route& route, quint32 argb);
  bool SwitchPage(const Route& route);
  bool TogglePanel(const Route& route);
  bool CopyLighting(const Route& route);
  bool ShowButtonPicture(const Notification& msg, const Route& route);
  int ShowMessage(const QString& textId);

  SkinWindow& window_;
  lighting::LightingRecordStore& records_;
  WindowHooks hooks_;
  lighting::LightingCopyHooks lightingHooks_;
  QHash<QString, Handler> named_;          // "<type>/<lower-case name>"
  QHash<QString, IndexHandler> families_;  // "<type>/<lower-case prefix>"
  QHash<QString, ColourHandler> colours_;  // lower-case swatch family
};

}  // namespace korva::ui
