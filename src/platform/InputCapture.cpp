#include "platform/InputCapture.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <optional>

#include "platform/LowLevelInput.h"
#include "platform/VirtualKeys.h"

// One event, several stops. The filter sits on the application, so it sees a key or mouse event
// at every object it is delivered to: the window first (a real event comes from the platform to
// the QWindow), then the widget with the focus or under the pointer, then each parent while the
// event is not accepted. An event sent straight to a widget (tests, the program's own sends)
// starts at the widget. So the first stop reports the event, and the later ones are known by the
// same identity: a key event travels as one object; a mouse event is copied at each stop but
// keeps its timestamp. A swallowed key never gets past its first stop.

namespace korva::platform {
namespace {

struct ModeMessages {
  int mode;
  WindowMessage key;
  std::optional<WindowMessage> mouseButton;
};

constexpr ModeMessages kModeMessages[] = {
    {hook_mode::kKeyboardKeyCapture, WindowMessage::WM_HOOK_KEY_SINGLEKEY, std::nullopt},
    {hook_mode::kKeyboardMacro, WindowMessage::WM_HOOK_KEY_MACRO, WindowMessage::WM_HOOK_KEY_MACRO_MOUSE},
    {hook_mode::kMouseKeyCapture, WindowMessage::WM_HOOK_MOU_SINGLEKEY, std::nullopt},
    {hook_mode::kMouseMacro, WindowMessage::WM_HOOK_MOU_MACRO, WindowMessage::WM_HOOK_MOU_MACRO_MOUSE},
};

const ModeMessages* MessagesOf(int mode) {
  const auto row = std::ranges::find(kModeMessages, mode, &ModeMessages::mode);
  return row == std::end(kModeMessages) ? nullptr : row;
}

std::optional<VirtualKey> VirtualKeyOf(const QKeyEvent& event) {
  return TranslateKey({event.key(), event.modifiers().testFlag(Qt::KeypadModifier), event.nativeVirtualKey(),
                       event.nativeScanCode()});
}

// The "system" forms for Alt and for keys pressed with Alt, unless Ctrl is held too.
std::int64_t KeyMessageId(const QKeyEvent& event, std::uint16_t vk) {
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  const bool alt = vk == kVkLeftAlt || vk == kVkRightAlt || modifiers.testFlag(Qt::AltModifier);
  const bool system = alt && !modifiers.testFlag(Qt::ControlModifier);
  if (event.type() == QEvent::KeyRelease) return system ? kWmSysKeyUp : kWmKeyUp;
  return system ? kWmSysKeyDown : kWmKeyDown;
}

struct ButtonMessage {
  std::int64_t wParam;
  std::int64_t lParam;
};

std::optional<ButtonMessage> ButtonMessageOf(const QMouseEvent& event) {
  const bool down = event.type() != QEvent::MouseButtonRelease;  // a double click is a press
  switch (event.button()) {
    case Qt::LeftButton:
      return ButtonMessage{down ? kWmLButtonDown : kWmLButtonUp, 0};
    case Qt::RightButton:
      return ButtonMessage{down ? kWmRButtonDown : kWmRButtonUp, 0};
    case Qt::MiddleButton:
      return ButtonMessage{down ? kWmMButtonDown : kWmMButtonUp, 0};
    case Qt::BackButton:
      return ButtonMessage{down ? kWmXButtonDown : kWmXButtonUp, kXButtonBack};
    case Qt::ForwardButton:
      return ButtonMessage{down ? kWmXButtonDown : kWmXButtonUp, kXButtonForward};
    default:
      return std::nullopt;  // the further extra buttons have no Windows message
  }
}

}  // namespace

CDeviceHook::CDeviceHook(QWidget& mainWindow, HookMessages messages, QObject* parent)
    : QObject(parent), window_(&mainWindow), messages_(std::move(messages)) {
  if (qGuiApp) {
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
      if (state != Qt::ApplicationActive) RemoveHooks();
    });
  }
  connect(&mainWindow, &QObject::destroyed, this, [this] { RemoveHooks(); });
}

CDeviceHook::~CDeviceHook() {
  RemoveHooks();
}

int CDeviceHook::InstallHooks(int mode, bool keyboard, bool mouse) {
  RemoveHooks();
  if ((keyboard || mouse) && !CanInstall()) return 0;
  Install(keyboard, mouse);
  mode_ = mode;
  return 1;
}

bool CDeviceHook::ArmKeyCapture(int mode) {
  RemoveHooks();
  if (!CanInstall()) return false;
  Install(true, false);
  mode_ = mode;
  return true;
}

void CDeviceHook::RemoveHooks() {
  if (!keyboardHook_ && !mouseHook_) return;
  const bool hadKeyboard = keyboardHook_;
  keyboardHook_ = false;
  mouseHook_ = false;
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
  if (hadKeyboard) InputMethodAcceptanceChanged();
}

bool CDeviceHook::CanInstall() const {
  return window_ && window_->isVisible() && !window_->isMinimized() && QCoreApplication::instance();
}

void CDeviceHook::Install(bool keyboard, bool mouse) {
  keyboardHook_ = keyboard;
  mouseHook_ = mouse;
  // A client that re-arms while it handles a key (removing and installing again) must not have
  // that key reported again at its next stop; any other installation starts afresh.
  if (sendDepth_ == 0) {
    lastKey_ = {};
    lastButton_ = {};
  }
  if (keyboard || mouse) QCoreApplication::instance()->installEventFilter(this);
  if (keyboard) InputMethodAcceptanceChanged();
}

// An input method composes text from keys before they become key events, so while the keyboard
// hook is in the widgets say they take no input method (see eventFilter); this makes the input
// method ask again.
void CDeviceHook::InputMethodAcceptanceChanged() {
  if (qGuiApp) QGuiApplication::inputMethod()->update(Qt::ImEnabled);
}

bool CDeviceHook::eventFilter(QObject* watched, QEvent* event) {
  if (!window_) return false;
  switch (event->type()) {
    case QEvent::Hide:
      if (watched == window_) RemoveHooks();
      return false;
    case QEvent::WindowStateChange:
      if (watched == window_ && window_->isMinimized()) RemoveHooks();
      return false;
    default:
      break;
  }
  // Only the main window is captured: our other windows (message boxes, the skin picker, popup
  // lists) keep their keys and clicks, so a box that comes up during a capture can be answered.
  if (!InMainWindow(*watched)) return false;
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      return keyboardHook_ && OnKey(*static_cast<QKeyEvent*>(event));
    case QEvent::ShortcutOverride: {
      // Accepting the override keeps the shortcuts from taking the key before it gets here.
      if (!keyboardHook_) return false;
      const std::optional<VirtualKey> vk = VirtualKeyOf(*static_cast<QKeyEvent*>(event));
      if (vk && IsLockKey(vk->code)) return false;
      event->accept();
      return true;
    }
    case QEvent::InputMethod:
      return keyboardHook_;
    case QEvent::InputMethodQuery: {
      auto* query = static_cast<QInputMethodQueryEvent*>(event);
      if (!keyboardHook_ || query->queries() != Qt::ImEnabled) return false;
      query->setValue(Qt::ImEnabled, false);
      query->accept();
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      if (mouseHook_) OnMouseButton(*static_cast<QMouseEvent*>(event));
      return false;
    default:
      return false;
  }
}

// A widget inside the main window, or the main window's own QWindow (where the platform's events
// arrive first).
bool CDeviceHook::InMainWindow(QObject& receiver) const {
  if (receiver.isWidgetType()) return static_cast<QWidget&>(receiver).window() == window_;
  return receiver.isWindowType() && &receiver == window_->windowHandle();
}

bool CDeviceHook::OnKey(QKeyEvent& event) {
  const std::optional<VirtualKey> vk = VirtualKeyOf(event);
  const bool swallow = !(vk && IsLockKey(vk->code));
  const SeenKey seen{&event,
                     static_cast<int>(event.type()),
                     event.key(),
                     event.nativeScanCode(),
                     event.nativeVirtualKey(),
                     event.timestamp(),
                     event.isAutoRepeat()};
  if (seen == lastKey_) return swallow;
  lastKey_ = seen;
  if (swallow) event.accept();

  const bool release = event.type() == QEvent::KeyRelease;
  const ModeMessages* messages = MessagesOf(mode_);
  if (vk && messages && !(release && event.isAutoRepeat())) {
    const std::uint8_t flags = (vk->extended ? kLlkhfExtended : 0) | (release ? kLlkhfUp : 0);
    // The client may remove or install hooks while it handles the key: the answer for this key
    // was settled above.
    ++sendDepth_;
    messages_.send(messages->key, KeyMessageId(event, vk->code), PackKeyboardRecord({vk->code, flags}));
    --sendDepth_;
  }
  return swallow;
}

void CDeviceHook::OnMouseButton(QMouseEvent& event) {
  const std::optional<ButtonMessage> button = ButtonMessageOf(event);
  if (!button) return;
  const SeenButton seen{button->wParam, button->lParam, event.timestamp()};
  if (seen == lastButton_) return;
  lastButton_ = seen;
  const ModeMessages* messages = MessagesOf(mode_);
  if (messages && messages->mouseButton)
    messages_.post(*messages->mouseButton, button->wParam, button->lParam);
}

}  // namespace korva::platform
