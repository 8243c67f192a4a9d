#include "keyboard/page/KeyFunctionPanel.h"

#include "keyboard/KeyFunction.h"
#include "ui/Notify.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::keyboard {
namespace {

using ui::Control;
using ui::Notification;

constexpr int kKeyEdit = 21;
constexpr int kPlaybackCombo = 24;
constexpr int kCursorMacroCombo = 25;
constexpr int kPlaybackWithCount = 4;
constexpr int kCountPanel = 26;  // the macro count, shown with playback item 4
// Panel combos that assign on "itemselect" (24 also shows or hides the count; 25 only where the
// device has cursor macros).
constexpr int kAssigningCombos[] = {11, 12, 13, 14, 21, 22, 23};
constexpr int kNumberEdits[] = {11, 12, 15, 16, 17, 18, 19, 20, 25};

}  // namespace

// The panel as the editor reads it.
class KeyFunctionPanel::Source final : public PanelSource {
 public:
  explicit Source(const KeyFunctionPanel& panel) : panel_(panel) {}
  int ComboItem(int combo) const override { return panel_.Find(panel_.Combo(combo)).CurSel(); }
  std::string EditText(int edit) const override { return panel_.Find(panel_.Edit(edit)).Text().toStdString(); }

 private:
  const KeyFunctionPanel& panel_;
};

KeyFunctionPanel::KeyFunctionPanel(ui::SkinWindow& window, QString prefix, KeyEditor& editor, Hooks hooks)
    : window_(window), prefix_(std::move(prefix)), editor_(editor), hooks_(std::move(hooks)) {}

Control KeyFunctionPanel::Find(const QString& name) const {
  return window_.FindControl(name);
}
QString KeyFunctionPanel::Combo(int n) const {
  return QStringLiteral("%1_key_fct_combo_%2").arg(prefix_).arg(n);
}
QString KeyFunctionPanel::Edit(int n) const {
  return QStringLiteral("%1_key_fct_edit_%2").arg(prefix_).arg(n);
}
QString KeyFunctionPanel::KindPanel(int i) const {
  return QStringLiteral("%1_tab_function_%2").arg(prefix_).arg(i);
}

bool KeyFunctionPanel::RegisterRoutes(ui::NotifyRouter& router) {
  const QString itemSelect = QString::fromLatin1(ui::notify::kItemSelect);
  const QString textChanged = QString::fromLatin1(ui::notify::kTextChanged);
  bool ok = router.Bind(itemSelect, prefix_ + QStringLiteral("_key_fct_combo"),
                        [this](const Notification& msg) { ChooseKind(ui::NotificationValue(msg)); });
  for (int combo : kAssigningCombos)
    ok &= router.Bind(itemSelect, Combo(combo), [this](const Notification&) { AssignFromPanel(); });
  if (editor_.KindOfType(key_type::kCursorMacro))
    ok &= router.Bind(itemSelect, Combo(kCursorMacroCombo), [this](const Notification&) { AssignFromPanel(); });
  ok &= router.Bind(itemSelect, Combo(kPlaybackCombo),
                    [this](const Notification& msg) { PlaybackChosen(ui::NotificationValue(msg)); });
  for (int edit : kNumberEdits)
    ok &= router.Bind(textChanged, Edit(edit), [this, edit](const Notification&) { EditChanged(edit); });
  return ok;
}

void KeyFunctionPanel::Show(const PanelView& view) {
  Control panel = Find(prefix_ + QStringLiteral("_tab_function"));
  if (!panel.IsVisible()) {
    panel.SetVisible(true);
    panel.SetEnabled(true);
  }
  // Filling the panel is not a user change: no notification, nothing stored.
  for (const PanelView::Fill& fill : view.combos) Find(Combo(fill.control)).SelectItem(fill.value);
  for (const PanelView::Fill& fill : view.edits) Find(Edit(fill.control)).SetText(QString::number(fill.value));
  if (view.keyTextId) Find(Edit(kKeyEdit)).SetText(ui::Utf8(*view.keyTextId));
  if (view.kindItem) {
    Find(prefix_ + QStringLiteral("_key_fct_combo")).SelectItem(*view.kindItem);
    ShowKindPanel(*view.kindItem);
    PlaybackChosen(Find(Combo(kPlaybackCombo)).CurSel());
  }
  Arm(view.armCapture);
}

void KeyFunctionPanel::Close() {
  Arm(false);
  Find(prefix_ + QStringLiteral("_tab_function")).SetVisible(false);
}

bool KeyFunctionPanel::IsOpen() const {
  return Find(prefix_ + QStringLiteral("_tab_function")).IsVisible();
}

void KeyFunctionPanel::ShowKindPanel(int item) {
  // An item outside the combo shows no panel.
  for (int i = 0; i < editor_.KindCount(); ++i) Find(KindPanel(i)).SetVisible(i == item);
}

void KeyFunctionPanel::ChooseKind(int item) {
  Arm(false);
  ShowKindPanel(item);
  Arm(editor_.ChooseKind(item));
  AssignFromPanel();
}

void KeyFunctionPanel::AssignFromPanel() {
  if (hooks_.assign && hooks_.assign(Source(*this)) && hooks_.assigned) hooks_.assigned();
}

void KeyFunctionPanel::EditChanged(int edit) {
  Control control = Find(Edit(edit));
  const EditNumber number = ReadEditNumber(edit, control.Text().toStdString());
  if (number.rewrite) control.SetText(QString::fromStdString(*number.rewrite));
  AssignFromPanel();
}

void KeyFunctionPanel::PlaybackChosen(int item) {
  Find(KindPanel(kCountPanel)).SetVisible(item == kPlaybackWithCount);
}

void KeyFunctionPanel::CaptureKey(int virtualKey, std::uint32_t lowLevelFlags) {
  if (!captureArmed_) return;
  const std::optional<std::string_view> textId = editor_.Capture(virtualKey, lowLevelFlags);
  if (!textId) return;
  Find(Edit(kKeyEdit)).SetText(ui::Utf8(*textId));
  AssignFromPanel();
}

void KeyFunctionPanel::Arm(bool armed) {
  // Arming again is not a no-op: the capture may have been taken away meanwhile (the window lost
  // the focus), and an entry opened again must capture again.
  if (!armed && !captureArmed_) return;
  captureArmed_ = armed;
  const auto& hook = armed ? hooks_.armCapture : hooks_.disarmCapture;
  if (hook) hook();
}

void KeyFunctionPanel::Disarm() {
  Arm(false);
}

}  // namespace korva::keyboard
