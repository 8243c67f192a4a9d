#pragma once
// CDeviceHook: the input hooks of key capture (the key-assignment panels) and macro recording.
// It takes the key and mouse-button events of the main window (while it has the focus, as key
// events go) and turns each into a message to it; the mode says which client listens and so
// which message is sent:
//
//   mode  client                              key event sent as        mouse button posted as
//   1     key capture, keyboard page          WM_HOOK_KEY_SINGLEKEY    -
//   4     macro recorder, keyboard page       WM_HOOK_KEY_MACRO        WM_HOOK_KEY_MACRO_MOUSE
//   0x10  key capture, mouse page             WM_HOOK_MOU_SINGLEKEY    -
//   0x40  macro recorder, mouse page          WM_HOOK_MOU_MACRO        WM_HOOK_MOU_MACRO_MOUSE
//
// Key messages are sent (handled before the key event goes any further) with wParam = key down,
// key up, system key down or system key up and lParam = the packed low-level keyboard record
// (LowLevelInput.h). Mouse messages are posted with wParam = the button's mouse message.
//
// While the keyboard hook is installed every key is taken from the main window's widgets -- an
// edit with the focus does not receive the typed key, no shortcut fires, no input method composes
// text -- except Num Lock, Caps Lock and Scroll Lock, which go on to the widget as usual. Mouse
// buttons always go on. Our other windows (message boxes, the skin picker, popup lists) are
// neither captured nor robbed of their keys.
//
// Key events, Linux against Windows. A held key repeats on X11 as press/release pairs; a Windows
// hook sees only the repeated presses. The repeated presses are sent as key downs (the recorder
// drops a press of the key already down, key capture assigns the same key again) and the repeated
// releases are not sent at all, so a held key reads down, down, ..., up as the clients expect.
// A key that has no virtual-key code (see VirtualKeys.h) is not sent, but it is swallowed.
// Mouse double clicks are sent as the second button down they are.
//
// Mend of the hooks' reach. Hooks that take every key of the whole desktop, and a key capture
// that stays armed after an assignment, leave the user's keyboard dead in every other program for
// as long as a key panel is open. These hooks see only our main window, and they are removed --
// as by RemoveHooks -- when the application loses the focus, when the main window is hidden or
// minimised, and when it is destroyed; the client arms them again as it does after a page change
// (clicking the key again, starting the recording again). For the same reason they cannot be
// installed while the main window is hidden or minimised.
//
// UI thread only. The object installs an event filter on the application while a hook is in.

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>

#include "common/WindowMessage.h"

class QWidget;
class QKeyEvent;
class QMouseEvent;

namespace korva::platform {

// Where the hook's messages go: the main window's message handling.
struct HookMessages {
  using Deliver = std::function<void(WindowMessage message, std::int64_t wParam, std::int64_t lParam)>;
  Deliver send;  // handled before it returns (the window's Send, on its own thread)
  Deliver post;  // queued (the window's Post)
};

namespace hook_mode {
inline constexpr int kKeyboardKeyCapture = 0x01;
inline constexpr int kKeyboardMacro = 0x04;
inline constexpr int kMouseKeyCapture = 0x10;
inline constexpr int kMouseMacro = 0x40;
}  // namespace hook_mode

class CDeviceHook : public QObject {
  Q_OBJECT

 public:
  // `mainWindow` is the target window: the one watched for hiding and minimising.
  CDeviceHook(QWidget& mainWindow, HookMessages messages, QObject* parent = nullptr);
  ~CDeviceHook() override;  // RemoveHooks
  CDeviceHook(const CDeviceHook&) = delete;
  CDeviceHook& operator=(const CDeviceHook&) = delete;

  // Removes both hooks, then installs the keyboard hook and/or the mouse hook and sets the mode.
  // 1 on success; 0 when they cannot be installed (the main window is gone, hidden or
  // minimised), with both hooks removed and the mode unchanged.
  int InstallHooks(int mode, bool keyboard, bool mouse);
  // Key capture (mode 1 or 0x10): both hooks removed, the keyboard hook installed; the mode is set
  // only when that succeeded.
  bool ArmKeyCapture(int mode);
  // Both hooks out. The mode stays as it was.
  void RemoveHooks();

  bool KeyboardHookInstalled() const { return keyboardHook_; }
  bool MouseHookInstalled() const { return mouseHook_; }
  int Mode() const { return mode_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Identity of an event already handled at one stop of its way through our widgets (see the
  // .cpp); later stops of the same event must not report it again.
  struct SeenKey {
    const void* event = nullptr;
    int type = 0, key = 0;
    quint32 scanCode = 0, keysym = 0;
    quint64 timestamp = 0;
    bool autoRepeat = false;
    friend bool operator==(const SeenKey&, const SeenKey&) = default;
  };
  struct SeenButton {
    std::int64_t wParam = 0, lParam = 0;
    quint64 timestamp = 0;
    friend bool operator==(const SeenButton&, const SeenButton&) = default;
  };

  bool CanInstall() const;
  bool InMainWindow(QObject& receiver) const;
  void Install(bool keyboard, bool mouse);
  bool OnKey(QKeyEvent& event);
  void OnMouseButton(QMouseEvent& event);
  void InputMethodAcceptanceChanged();

  QPointer<QWidget> window_;
  HookMessages messages_;
  bool keyboardHook_ = false;
  bool mouseHook_ = false;
  int mode_ = 0;
  SeenKey lastKey_;
  SeenButton lastButton_;
  int sendDepth_ = 0;  // > 0 while a client handles a key message
};

}  // namespace korva::platform
