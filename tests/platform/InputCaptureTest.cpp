// The input hooks on our own window: the messages of each mode, the keys taken from the widgets
// (and the three lock keys that are not), mouse buttons, and the occasions that remove the hooks.
// Events go either through the window, as the platform delivers them (QTest on the QWindow: the
// window, then the focus widget, then its parents), or straight to a widget.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <iomanip>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/InputCapture.h"
#include "platform/LowLevelInput.h"

namespace korva::platform {
namespace {

struct Message {
  WindowMessage message;
  std::int64_t wParam;
  std::int64_t lParam;
  bool sent;  // sent (handled before the event went on), not posted
  friend bool operator==(const Message&, const Message&) = default;
};

void PrintTo(const Message& m, std::ostream* os) {
  *os << std::hex << "{0x" << static_cast<int>(m.message) << ", wParam 0x" << m.wParam << ", lParam 0x"
      << m.lParam << (m.sent ? ", sent}" : ", posted}");
}

Message KeyMessage(WindowMessage message, std::int64_t wParam, std::uint16_t vk, std::uint8_t flags = 0) {
  return {message, wParam, PackKeyboardRecord({vk, flags}), true};
}

Message ButtonMessage(WindowMessage message, std::int64_t wParam, std::int64_t lParam = 0) {
  return {message, wParam, lParam, false};
}

// The key events a widget receives once the application's filters have let them through.
class KeyWitness : public QObject {
 public:
  explicit KeyWitness(QObject& watched) { watched.installEventFilter(this); }
  std::vector<int> pressed, released;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) pressed.push_back(static_cast<QKeyEvent*>(event)->key());
    if (event->type() == QEvent::KeyRelease) released.push_back(static_cast<QKeyEvent*>(event)->key());
    return false;
  }
};

void SendKey(QWidget& to, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = {},
             quint32 scanCode = 0, quint32 keysym = 0, bool autoRepeat = false, const QString& text = {}) {
  QKeyEvent event(type, key, modifiers, scanCode, keysym, 0, text, autoRepeat);
  QApplication::sendEvent(&to, &event);
}

// The main window with an edit (which has the focus) and a button.
class InputCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* layout = new QVBoxLayout(window_.get());
    edit_ = new QLineEdit(window_.get());
    button_ = new QPushButton("button", window_.get());
    layout->addWidget(edit_);
    layout->addWidget(button_);
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    edit_->setFocus();
  }

  QWindow* Window() const { return window_->windowHandle(); }

  std::vector<Message> messages_;
  std::function<void()> onSend_;  // what the client does while it handles a key message
  std::unique_ptr<QWidget> window_ = std::make_unique<QWidget>();
  QLineEdit* edit_ = nullptr;
  QPushButton* button_ = nullptr;
  CDeviceHook hook_{*window_, HookMessages{[this](WindowMessage m, std::int64_t w, std::int64_t l) {
                                             messages_.push_back({m, w, l, true});
                                             if (onSend_) onSend_();
                                           },
                                           [this](WindowMessage m, std::int64_t w, std::int64_t l) {
                                             messages_.push_back({m, w, l, false});
                                           }}};
};

// --- the messages of each mode ------------------------------------------------------------------

struct ModeCase {
  std::string name;
  int mode;
  std::optional<WindowMessage> keyMessage;
  std::optional<WindowMessage> buttonMessage;
};

void PrintTo(const ModeCase& c, std::ostream* os) {
  *os << c.name;
}

class HookModes : public InputCaptureTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(HookModes, SendKeysAndPostButtonsAsTheModeSays) {
  const ModeCase& c = GetParam();
  ASSERT_EQ(hook_.InstallHooks(c.mode, true, true), 1);
  EXPECT_EQ(hook_.Mode(), c.mode);

  QTest::keyClick(edit_, Qt::Key_A);
  QTest::mouseClick(button_, Qt::LeftButton);

  std::vector<Message> expected;
  if (c.keyMessage) {
    expected.push_back(KeyMessage(*c.keyMessage, kWmKeyDown, 0x41));
    expected.push_back(KeyMessage(*c.keyMessage, kWmKeyUp, 0x41, kLlkhfUp));
  }
  if (c.buttonMessage) {
    expected.push_back(ButtonMessage(*c.buttonMessage, kWmLButtonDown));
    expected.push_back(ButtonMessage(*c.buttonMessage, kWmLButtonUp));
  }
  EXPECT_EQ(messages_, expected);
  EXPECT_EQ(edit_->text(), "") << "the key is taken whatever the mode";
}

INSTANTIATE_TEST_SUITE_P(
    Modes, HookModes,
    ::testing::Values(ModeCase{"KeyboardKeyCapture", hook_mode::kKeyboardKeyCapture,
                               WindowMessage::WM_HOOK_KEY_SINGLEKEY, std::nullopt},
                      ModeCase{"KeyboardMacro", hook_mode::kKeyboardMacro, WindowMessage::WM_HOOK_KEY_MACRO,
                               WindowMessage::WM_HOOK_KEY_MACRO_MOUSE},
                      ModeCase{"MouseKeyCapture", hook_mode::kMouseKeyCapture,
                               WindowMessage::WM_HOOK_MOU_SINGLEKEY, std::nullopt},
                      ModeCase{"MouseMacro", hook_mode::kMouseMacro, WindowMessage::WM_HOOK_MOU_MACRO,
                               WindowMessage::WM_HOOK_MOU_MACRO_MOUSE},
                      ModeCase{"NoClient", 0x02, std::nullopt, std::nullopt}),
    [](const ::testing::TestParamInfo<ModeCase>& info) { return info.param.name; });

TEST_F(InputCaptureTest, ArmingKeyCaptureEndsTheRecording) {
  ASSERT_EQ(hook_.InstallHooks(hook_mode::kMouseMacro, true, true), 1);
  QTest::keyClick(edit_, Qt::Key_A);
  QTest::mouseClick(button_, Qt::LeftButton);
  ASSERT_EQ(messages_.size(), 4u);
  messages_.clear();

  ASSERT_TRUE(hook_.ArmKeyCapture(hook_mode::kMouseKeyCapture));
  EXPECT_TRUE(hook_.KeyboardHookInstalled());
  EXPECT_FALSE(hook_.MouseHookInstalled());
  QTest::keyClick(edit_, Qt::Key_B);
  QTest::mouseClick(button_, Qt::LeftButton);
  EXPECT_EQ(messages_,
            (std::vector{KeyMessage(WindowMessage::WM_HOOK_MOU_SINGLEKEY, kWmKeyDown, 0x42),
                         KeyMessage(WindowMessage::WM_HOOK_MOU_SINGLEKEY, kWmKeyUp, 0x42, kLlkhfUp)}));
}

TEST_F(InputCaptureTest, RecordingOnlyTheMouseLeavesTheKeysAlone) {
  ASSERT_EQ(hook_.InstallHooks(hook_mode::kKeyboardMacro, false, true), 1);
  QTest::keyClicks(edit_, "ab");
  QTest::mouseClick(button_, Qt::LeftButton);
  EXPECT_EQ(edit_->text(), "ab");
  EXPECT_EQ(messages_, (std::vector{ButtonMessage(WindowMessage::WM_HOOK_KEY_MACRO_MOUSE, kWmLButtonDown),
                                    ButtonMessage(WindowMessage::WM_HOOK_KEY_MACRO_MOUSE, kWmLButtonUp)}));
}

// --- the record of each key ---------------------------------------------------------------------

struct RecordCase {
  std::string name;
  QEvent::Type type;
  int key;
  Qt::KeyboardModifiers modifiers;
  quint32 scanCode, keysym;
  std::int64_t wParam;
  KeyboardRecord record;
  std::uint16_t lookupCode;  // the code the key tables are searched with
};

void PrintTo(const RecordCase& c, std::ostream* os) {
  *os << c.name;
}

class KeyRecords : public InputCaptureTest, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(KeyRecords, CarryTheWindowsCodeAndFlags) {
  const RecordCase& c = GetParam();
  ASSERT_TRUE(hook_.ArmKeyCapture(hook_mode::kKeyboardKeyCapture));
  SendKey(*edit_, c.type, c.key, c.modifiers, c.scanCode, c.keysym);

  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0],
            KeyMessage(WindowMessage::WM_HOOK_KEY_SINGLEKEY, c.wParam, c.record.vkCode, c.record.flags));
  EXPECT_EQ(LookupCode(UnpackKeyboardRecord(messages_[0].lParam)), c.lookupCode);
  EXPECT_EQ(IsKeyDownMessage(messages_[0].wParam), c.type == QEvent::KeyPress);
}

constexpr auto kPress = QEvent::KeyPress;
constexpr auto kRelease = QEvent::KeyRelease;
constexpr Qt::KeyboardModifiers kNone{};

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyRecords,
    ::testing::Values(
        RecordCase{"KeypadEnterDown",
                   kPress,
                   Qt::Key_Enter,
                   Qt::KeypadModifier,
                   104,
                   0xFF8D,
                   kWmKeyDown,
                   {0x0D, kLlkhfExtended},
                   kVkKeypadEnter},
        RecordCase{"KeypadEnterUp",
                   kRelease,
                   Qt::Key_Enter,
                   Qt::KeypadModifier,
                   104,
                   0xFF8D,
                   kWmKeyUp,
                   {0x0D, kLlkhfExtended | kLlkhfUp},
                   kVkKeypadEnter},
        RecordCase{"MainEnterDown", kPress, Qt::Key_Return, kNone, 36, 0xFF0D, kWmKeyDown, {0x0D, 0}, 0x0D},
        RecordCase{
            "MainEnterUp", kRelease, Qt::Key_Return, kNone, 36, 0xFF0D, kWmKeyUp, {0x0D, kLlkhfUp}, 0x0D},
        RecordCase{
            "LeftShift", kPress, Qt::Key_Shift, Qt::ShiftModifier, 50, 0xFFE1, kWmKeyDown, {0xA0, 0}, 0xA0},
        RecordCase{
            "RightShift", kPress, Qt::Key_Shift, Qt::ShiftModifier, 62, 0xFFE2, kWmKeyDown, {0xA1, 0}, 0xA1},
        RecordCase{"RightCtrlUp",
                   kRelease,
                   Qt::Key_Control,
                   kNone,
                   105,
                   0xFFE4,
                   kWmKeyUp,
                   {0xA3, kLlkhfExtended | kLlkhfUp},
                   0xA3},
        RecordCase{"LeftAltIsASystemKey",
                   kPress,
                   Qt::Key_Alt,
                   Qt::AltModifier,
                   64,
                   0xFFE9,
                   kWmSysKeyDown,
                   {0xA4, 0},
                   0xA4},
        RecordCase{
            "LeftAltUp", kRelease, Qt::Key_Alt, kNone, 64, 0xFFE9, kWmSysKeyUp, {0xA4, kLlkhfUp}, 0xA4},
        RecordCase{"AltA", kPress, Qt::Key_A, Qt::AltModifier, 38, 0x61, kWmSysKeyDown, {0x41, 0}, 0x41},
        RecordCase{"CtrlAltA",
                   kPress,
                   Qt::Key_A,
                   Qt::AltModifier | Qt::ControlModifier,
                   38,
                   0x61,
                   kWmKeyDown,
                   {0x41, 0},
                   0x41},
        RecordCase{
            "ShiftOne", kPress, Qt::Key_Exclam, Qt::ShiftModifier, 10, 0x21, kWmKeyDown, {0x31, 0}, 0x31},
        RecordCase{"Keypad7", kPress, Qt::Key_7, Qt::KeypadModifier, 79, 0xFFB7, kWmKeyDown, {0x67, 0}, 0x67},
        RecordCase{
            "ArrowUp", kPress, Qt::Key_Up, kNone, 111, 0xFF52, kWmKeyDown, {0x26, kLlkhfExtended}, 0x26},
        RecordCase{"VolumeMute",
                   kPress,
                   Qt::Key_VolumeMute,
                   kNone,
                   121,
                   0x1008FF12,
                   kWmKeyDown,
                   {0xAD, kLlkhfExtended},
                   0xAD}),
    [](const ::testing::TestParamInfo<RecordCase>& info) { return info.param.name; });

TEST_F(InputCaptureTest, AHeldKeyReadsDownDownDownUp) {
  ASSERT_TRUE(hook_.ArmKeyCapture(hook_mode::kKeyboardMacro));
  // X11 repeats a held key as release/press pairs marked as repeats.
  SendKey(*edit_, kPress, Qt::Key_A, kNone, 38, 0x61, false);
  SendKey(*edit_, kRelease, Qt::Key_A, kNone, 38, 0x61, true);
  SendKey(*edit_, kPress, Qt::Key_A, kNone, 38, 0x61, true);
  SendKey(*edit_, kRelease, Qt::Key_A, kNone, 38, 0x61, true);
  SendKey(*edit_, kPress, Qt::Key_A, kNone, 38, 0x61, true);
  SendKey(*edit_, kRelease, Qt::Key_A, kNone, 38, 0x61, false);

  const Message down = KeyMessage(WindowMessage::WM_HOOK_KEY_MACRO, kWmKeyDown, 0x41);
  const Message up = KeyMessage(WindowMessage::WM_HOOK_KEY_MACRO, kWmKeyUp, 0x41, kLlkhfUp);
  EXPECT_EQ(messages_, (std::vector{down, down, down, up}));
}

// --- keys taken from the widgets ----------------------------------------------------------------

TEST_F(InputCaptureTest, KeysDoNotReachTheEditWhileCaptureIsArmed) {
  ASSERT_TRUE(hook_.ArmKeyCapture(hook_mode::kKeyboardKeyCapture));
  KeyWitness witness(*edit_);
  QTest::keyClicks(edit_, "ab");
  QTest::keyClick(Window(), Qt::Key_C);
  QTest::keyClick(Window(), Qt::Key_Tab);

  EXPECT_EQ(edit_->text(), "");
  EXPECT_TRUE(witness.pressed.empty());
  EXPECT_TRUE(witness.released.empty());
  EXPECT_TRUE(edit_->hasFocus()) << "Tab moved the focus";
  EXPECT_EQ(messages_.size(), 8u) << "one message per key event, on either road";

  hook_.RemoveHooks();
  messages_.clear();
  QTest::keyClicks(edit_, "ab");
  QTest::keyClick(Window(), Qt::Key_C);
  EXPECT_EQ(edit_->text(), "abc");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(InputCaptureTest, AKeyWithoutCodeIsTakenButNotReported) {
  ASSERT_TRUE(hook_.ArmKeyCapture(hook_mode::kKeyboardKeyCapture));
  SendKey(*edit_, kPress, Qt::Key_Launch5, kNone, 200, 0x1008FF45, false, "x");
  EXPECT_EQ(edit_->text(), "");
  EXPECT_TRUE(messages_.empty());

  hook_.RemoveHooks();
  SendKey(*edit_, kPress, Qt::Key_Launch5, kNone, 200, 0x1008FF45, false, "x");
  EXPECT_EQ(edit_->text(), "x") << "the same event reaches the edit without the hook";
}

TEST_F(InputCaptureTest, LockKeysGoOnAndAreReportedOnce) {
  ASSERT_TRUE(hook_.ArmKeyCapture(hook_mode::kKeyboardKeyCapture));
  KeyWitness witness(*edit_);
  for (Qt::Key key : {Qt::Key_CapsLock, Qt::Key_NumLock, Qt::Key_ScrollLock}) QTest::keyClick(Window(), key);

  const std::vector<int> locks{Qt::Key_CapsLock, Qt::Key_NumLock, Qt::Key_ScrollLock};
  EXPECT_EQ(witness.pressed, locks);
  EXPECT_EQ(witness.released, locks);
  // The edit does not take these keys, so each also travels on to its parent: still one message.
  constexpr auto kCapture = WindowMessage::WM_HOOK_KEY_SINGLEKEY;
  EXPECT_EQ(
      messages_,
      (std::vector{KeyMessage(kCapture, kWmKeyDown, 0x14), KeyMessage(kCapture, kWmKeyUp, 0x14, kLlkhfUp),
                   KeyMessage(kCapture, kWmKeyDown, 0x90, kLlkhfExtended),
                   KeyMessage(kCapture, kWmKeyUp, 0x90, kLlkhfExtended | kLlkhfUp),
                   KeyMessage(kCapture, kWmKeyDown, 0x91), KeyMessage(kCapture, kWmKeyUp, 0x91, kLlkhfUp)}));
}

TEST_F(InputCaptureTest, ShortcutsDoNotFireWhileCaptureIsArmed) {
  QShortcut shortcut(QKeySequence(Qt::Key_F5), window_.get());
  QSignalSpy activated(&shortcut, &QShortcut::activated);
  ASSERT_TRUE(hook_.ArmKeyCapture(hook_mode::kKeyboardKeyCapture));
  QTest::keyClick(Window(), Qt::Key_F5);
  QTest::keyClick(edit_, Qt::Key_F5);
  EXPECT_EQ(activated.count(), 0);
  EXPECT_EQ(messages_.size(), 4u);

  hook_.RemoveHooks();
  QTest::keyClick(edit_, Qt::Key_F5);
  EXPECT_EQ(activated.count(), 1);
}

TEST_F(InputCaptureTest, NoInputMethodComposesWhileCaptureIsArmed) {
  const auto takesInputMethod = [this] {
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QApplication::sendEvent(edit_, &query);
    return query.value(Qt::ImEnabled).toBool();
  };
  const auto commit = [this] {
    QInputMethodEvent event;
    event.setCommitString("x");
    QApplication::sendEvent(edit_, &event);
  };
  ASSERT_TRUE(takesInputMethod());

  ASSERT_TRUE(hook_.ArmKeyCapture(hook_mode::kKeyboardKeyCapture));
  EXPECT_FALSE(takesInputMethod());
  commit();
  EXPECT_EQ(edit_->text(), "");

  hook_.RemoveHooks();
  EXPECT_TRUE(takesInputMethod());
  commit();
  EXPECT_EQ(edit_->text(), "x");
}

TEST_F(InputCaptureTest, AClientThatRearmsWhileHandlingAKeyGetsEachKeyOnce) {
  onSend_ = [this] { ASSERT_TRUE(hook_.ArmKeyCapture(hook_mode::kKeyboardKeyCapture)); };
  ASSERT_TRUE(hook_.ArmKeyCapture(hook_mode::kKeyboardKeyCapture));
  KeyWitness witness(*edit_);
  QTest::keyClick(Window(), Qt::Key_A);
  QTest::keyClick(Window(), Qt::Key_CapsLock);

  EXPECT_EQ(messages_.size(), 4u);
  EXPECT_EQ(edit_->text(), "");
  EXPECT_EQ(witness.pressed, std::vector<int>{Qt::Key_CapsLock});
  EXPECT_TRUE(hook_.KeyboardHookInstalled());
}

TEST_F(InputCaptureTest, OtherWindowsOfOursKeepTheirKeysAndClicks) {
  ASSERT_EQ(hook_.InstallHooks(hook_mode::kKeyboardMacro, true, true), 1);
  QWidget box;
  auto* answer = new QLineEdit(&box);
  (new QVBoxLayout(&box))->addWidget(answer);
  box.show();
  box.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
  answer->setFocus();

  QTest::keyClicks(answer, "ok");
  QTest::keyClick(box.windowHandle(), Qt::Key_Exclam, Qt::ShiftModifier);
  QTest::mouseClick(box.windowHandle(), Qt::LeftButton, {}, answer->geometry().center());
  EXPECT_EQ(answer->text(), "ok!");
  EXPECT_TRUE(messages_.empty());

  QTest::keyClick(edit_, Qt::Key_A);
  EXPECT_EQ(messages_.size(), 2u) << "the main window is still captured";
}

// --- mouse buttons ------------------------------------------------------------------------------

struct ButtonCase {
  std::string name;
  Qt::MouseButton button;
  std::optional<Message> down, up;
};

void PrintTo(const ButtonCase& c, std::ostream* os) {
  *os << c.name;
}

class MouseButtons : public InputCaptureTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(MouseButtons, ArePostedOncePerClick) {
  const ButtonCase& c = GetParam();
  ASSERT_EQ(hook_.InstallHooks(hook_mode::kMouseMacro, true, true), 1);
  // Through the window: the window, the button, and its parents while nobody takes the click.
  QTest::mouseClick(Window(), c.button, {}, button_->geometry().center());

  std::vector<Message> expected;
  if (c.down) expected = {*c.down, *c.up};
  EXPECT_EQ(messages_, expected);
}

constexpr auto kMouseMacroButton = WindowMessage::WM_HOOK_MOU_MACRO_MOUSE;

INSTANTIATE_TEST_SUITE_P(
    Buttons, MouseButtons,
    ::testing::Values(ButtonCase{"Left", Qt::LeftButton, ButtonMessage(kMouseMacroButton, kWmLButtonDown),
                                 ButtonMessage(kMouseMacroButton, kWmLButtonUp)},
                      ButtonCase{"Right", Qt::RightButton, ButtonMessage(kMouseMacroButton, kWmRButtonDown),
                                 ButtonMessage(kMouseMacroButton, kWmRButtonUp)},
                      ButtonCase{"Middle", Qt::MiddleButton, ButtonMessage(kMouseMacroButton, kWmMButtonDown),
                                 ButtonMessage(kMouseMacroButton, kWmMButtonUp)},
                      ButtonCase{"Back", Qt::BackButton,
                                 ButtonMessage(kMouseMacroButton, kWmXButtonDown, kXButtonBack),
                                 ButtonMessage(kMouseMacroButton, kWmXButtonUp, kXButtonBack)},
                      ButtonCase{"Forward", Qt::ForwardButton,
                                 ButtonMessage(kMouseMacroButton, kWmXButtonDown, kXButtonForward),
                                 ButtonMessage(kMouseMacroButton, kWmXButtonUp, kXButtonForward)},
                      ButtonCase{"ExtraButtonWithoutMessage", Qt::ExtraButton3, std::nullopt, std::nullopt}),
    [](const ::testing::TestParamInfo<ButtonCase>& info) { return info.param.name; });

TEST_F(InputCaptureTest, ADoubleClickIsTwoClicksAndTheButtonStillGetsThem) {
  QSignalSpy clicked(button_, &QPushButton::clicked);
  ASSERT_EQ(hook_.InstallHooks(hook_mode::kKeyboardMacro, true, true), 1);
  QTest::mouseDClick(Window(), Qt::LeftButton, {}, button_->geometry().center());

  const Message down = ButtonMessage(WindowMessage::WM_HOOK_KEY_MACRO_MOUSE, kWmLButtonDown);
  const Message up = ButtonMessage(WindowMessage::WM_HOOK_KEY_MACRO_MOUSE, kWmLButtonUp);
  EXPECT_EQ(messages_, (std::vector{down, up, down, up}));
  EXPECT_GE(clicked.count(), 1) << "mouse buttons always go on to the widgets";
}

// --- occasions that remove the hooks ------------------------------------------------------------

struct RemovalCase {
  std::string name;
  std::function<void(std::unique_ptr<QWidget>& window)> occasion;
  bool installRefusedAfterwards;
};

void PrintTo(const RemovalCase& c, std::ostream* os) {
  *os << c.name;
}

class HookRemoval : public InputCaptureTest, public ::testing::WithParamInterface<RemovalCase> {};

TEST_P(HookRemoval, RemovesBothHooksAndGivesTheKeysBack) {
  const RemovalCase& c = GetParam();
  ASSERT_EQ(hook_.InstallHooks(hook_mode::kKeyboardMacro, true, true), 1);
  c.occasion(window_);
  EXPECT_TRUE(
      QTest::qWaitFor([this] { return !hook_.KeyboardHookInstalled() && !hook_.MouseHookInstalled(); }));

  if (window_) {
    QTest::keyClicks(edit_, "ok");
    EXPECT_EQ(edit_->text(), "ok") << "the edit gets its keys again";
  }
  EXPECT_TRUE(messages_.empty());

  if (c.installRefusedAfterwards) {
    EXPECT_EQ(hook_.InstallHooks(hook_mode::kMouseMacro, true, true), 0);
    EXPECT_FALSE(hook_.ArmKeyCapture(hook_mode::kKeyboardKeyCapture));
    EXPECT_EQ(hook_.Mode(), hook_mode::kKeyboardMacro) << "a refused installation leaves the mode";
    EXPECT_FALSE(hook_.KeyboardHookInstalled() || hook_.MouseHookInstalled());
  } else {
    EXPECT_EQ(hook_.InstallHooks(hook_mode::kMouseMacro, true, true), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Occasions, HookRemoval,
    ::testing::Values(
        RemovalCase{"WindowHidden", [](auto& window) { window->hide(); }, true},
        RemovalCase{"WindowMinimised", [](auto& window) { window->showMinimized(); }, true},
        // The offscreen platform never leaves the active state by itself; this is the
        // signal the desktop's focus change raises.
        RemovalCase{"ApplicationInactive",
                    [](auto&) { emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive); }, false},
        RemovalCase{"WindowDestroyed", [](auto& window) { window.reset(); }, true}),
    [](const ::testing::TestParamInfo<RemovalCase>& info) { return info.param.name; });

}  // namespace
}  // namespace korva::platform
