#include "keyboard/page/KeyboardKeyPage.h"

#include <algorithm>
#include <climits>

#include "common/Log.h"
#include "session/KeyboardController.h"
#include "ui/Notify.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::keyboard {
namespace {

using ui::Control;
using ui::Notification;

constexpr char kKeyFamily[] = "kb_key_";
constexpr char kFunctionPanel[] = "kb_tab_function";
constexpr char kKindCombo[] = "kb_key_fct_combo";
constexpr char kRestoreButton[] = "kb_key_butt_keydefalut";
constexpr char kSaveButton[] = "kb_key_butt_prosave";
constexpr int kKeyEdit = 21;
constexpr int kPlaybackCombo = 24;
constexpr int kPlaybackWithCount = 4;
constexpr int kCountPanel = 26;  // kb_tab_function_26: the macro count, shown with playback item 4
// Panel combos that assign on "itemselect" (24 also shows or hides the count).
constexpr int kAssigningCombos[] = {11, 12, 13, 14, 21, 22, 23};
constexpr int kNumberEdits[] = {11, 12, 15, 16, 17, 18, 19, 20, 25};
// The look of a reassigned key (the keycap colour of a key that does what the keyboard's factory
// table says is kept in the key's user data).
constexpr quint32 kReassignedKeyColour = 0xFF6B3D10;

QString Latin1(const char* text) {
  return QString::fromLatin1(text);
}
QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
QString Combo(int n) {
  return QStringLiteral("kb_key_fct_combo_%1").arg(n);
}
QString Edit(int n) {
  return QStringLiteral("kb_key_fct_edit_%1").arg(n);
}
QString KindPanel(int i) {
  return QStringLiteral("kb_tab_function_%1").arg(i);
}
int Value(const Notification& msg) {
  return static_cast<int>(std::clamp<qint64>(msg.wParam, INT_MIN, INT_MAX));
}

}  // namespace

// The function panel as the editor reads it.
class KeyboardKeyPage::Panel final : public PanelSource {
 public:
  explicit Panel(const KeyboardKeyPage& page) : page_(page) {}
  int ComboItem(int combo) const override { return page_.Find(Combo(combo)).CurSel(); }
  std::string EditText(int edit) const override { return page_.Find(Edit(edit)).Text().toStdString(); }

 private:
  const KeyboardKeyPage& page_;
};

KeyboardKeyPage::KeyboardKeyPage(ui::SkinWindow& window, session::KeyboardController& keyboard, Hooks hooks)
    : window_(window), keyboard_(keyboard), hooks_(std::move(hooks)) {
  // Each key remembers its factory look and legend, which a key back on its factory function gets
  // again: the skin's short legends ("Num", "PgUp") fit a key cap where the full names do not.
  for (std::size_t n = 0; n < kKeyPictureCount; ++n) {
    Control key = Find(Latin1(kKeyFamily) + QString::number(n));
    if (key.UserData().isEmpty()) key.SetUserData(QString::number(key.BkColor()));
    legends_[n] = key.TextId().isEmpty() ? key.Text() : key.TextId();
  }
}

Control KeyboardKeyPage::Find(const QString& name) const {
  return window_.FindControl(name);
}

bool KeyboardKeyPage::RegisterRoutes(ui::NotifyRouter& router) {
  const QString click = Latin1(ui::notify::kClick);
  const QString itemSelect = Latin1(ui::notify::kItemSelect);
  const QString textChanged = Latin1(ui::notify::kTextChanged);
  bool ok = router.BindFamily(click, Latin1(kKeyFamily), [this](int n, const Notification&) { EditKey(n); });
  ok &= router.Bind(itemSelect, Latin1(kKindCombo), [this](const Notification& msg) { ChooseKind(Value(msg)); });
  for (int combo : kAssigningCombos)
    ok &= router.Bind(itemSelect, Combo(combo), [this](const Notification&) { AssignFromPanel(); });
  ok &= router.Bind(itemSelect, Combo(kPlaybackCombo),
                    [this](const Notification& msg) { PlaybackChosen(Value(msg)); });
  for (int edit : kNumberEdits)
    ok &= router.Bind(textChanged, Edit(edit), [this, edit](const Notification&) { EditChanged(edit); });
  ok &= router.Bind(click, Latin1(kRestoreButton), [this](const Notification&) { RestoreKey(); });
  ok &= router.Bind(click, Latin1(kSaveButton), [this](const Notification&) { Save(); });
  return ok;
}

void KeyboardKeyPage::Refresh() {
  // A re-read replaces the bank the editor worked on.
  Arm(false);
  for (const KeyLabel& label : KeyLabels(keyboard_.Image(), hooks_.macroNames)) {
    Control key = Find(Latin1(kKeyFamily) + QString::number(label.picture));
    const QString defaultName =
        label.defaultIsTextId ? window_.GetSkin().Text(Utf8(label.defaultName)) : Utf8(label.defaultName);
    const QString shown = label.labelIsTextId ? window_.GetSkin().Text(Utf8(label.label)) : Utf8(label.label);
    if (!label.reassigned) {
      key.SetText(legends_[label.picture]);
      key.SetToolTip(defaultName);
      key.SetBkColor(key.UserData().toUInt());
      continue;
    }
    key.SetText(shown);
    key.SetToolTip(defaultName + window_.GetSkin().Text(Utf8(kKeySetTextId)) + shown);
    key.SetBkColor(kReassignedKeyColour);
  }
}

void KeyboardKeyPage::EditKey(int picture) {
  if (picture < 0) return;
  Control panel = Find(Latin1(kFunctionPanel));
  if (!panel.IsVisible()) {
    panel.SetVisible(true);
    panel.SetEnabled(true);
  }
  const std::optional<PanelView> view =
      keyboard_.Editor().EditKey(keyboard_.Image(), static_cast<std::size_t>(picture), MacroCount());
  if (!view) return;
  // Filling the panel is not a user change: no notification, nothing stored.
  for (const PanelView::Fill& fill : view->combos) Find(Combo(fill.control)).SelectItem(fill.value);
  for (const PanelView::Fill& fill : view->edits) Find(Edit(fill.control)).SetText(QString::number(fill.value));
  if (view->keyTextId) Find(Edit(kKeyEdit)).SetText(Utf8(*view->keyTextId));
  if (view->kindItem) {
    Find(Latin1(kKindCombo)).SelectItem(*view->kindItem);
    ShowKindPanel(*view->kindItem);
    PlaybackChosen(Find(Combo(kPlaybackCombo)).CurSel());
  }
  Arm(view->armCapture);
}

void KeyboardKeyPage::ShowKindPanel(int item) {
  for (int i = 0; i < kKindCount; ++i) Find(KindPanel(i)).SetVisible(i == item);
}

void KeyboardKeyPage::ChooseKind(int item) {
  Arm(false);
  ShowKindPanel(item);
  Arm(keyboard_.Editor().ChooseKind(item));
  AssignFromPanel();
}

void KeyboardKeyPage::AssignFromPanel() {
  if (keyboard_.Editor().Assign(keyboard_.Image(), Panel(*this))) Refresh();
}

void KeyboardKeyPage::EditChanged(int edit) {
  Control control = Find(Edit(edit));
  const EditNumber number = ReadEditNumber(edit, control.Text().toStdString());
  if (number.rewrite) control.SetText(QString::fromStdString(*number.rewrite));
  AssignFromPanel();
}

void KeyboardKeyPage::PlaybackChosen(int item) {
  Find(KindPanel(kCountPanel)).SetVisible(item == kPlaybackWithCount);
}

void KeyboardKeyPage::RestoreKey() {
  const std::optional<std::size_t> picture = keyboard_.Editor().Restore(keyboard_.Image());
  if (!picture) return;
  EditKey(static_cast<int>(*picture));
  Refresh();
}

void KeyboardKeyPage::Save() {
  if (hooks_.progressShow) hooks_.progressShow();
  const session::DeviceOutcome outcome = keyboard_.Upload();
  if (hooks_.progressDone) hooks_.progressDone();
  if (!outcome.message.empty() && hooks_.showMessage) hooks_.showMessage(outcome.message, outcome.number);
}

void KeyboardKeyPage::CaptureKey(int virtualKey, std::uint32_t lowLevelFlags) {
  if (!captureArmed_) return;
  const std::optional<std::string_view> textId = keyboard_.Editor().Capture(virtualKey, lowLevelFlags);
  if (!textId) return;
  Find(Edit(kKeyEdit)).SetText(Utf8(*textId));
  AssignFromPanel();
}

void KeyboardKeyPage::Arm(bool armed) {
  // Arming again is not a no-op: the capture may have been taken away meanwhile (the window lost
  // the focus), and a key opened again must capture again.
  if (!armed && !captureArmed_) return;
  captureArmed_ = armed;
  const auto& hook = armed ? hooks_.armCapture : hooks_.disarmCapture;
  if (hook) hook();
}

void KeyboardKeyPage::DisarmCapture() {
  Arm(false);
}

int KeyboardKeyPage::MacroCount() const {
  int count = 0;
  if (hooks_.macroNames) {
    while (hooks_.macroNames(count)) ++count;
  }
  return count;
}

}  // namespace korva::keyboard
