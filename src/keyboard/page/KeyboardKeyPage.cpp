#include "keyboard/page/KeyboardKeyPage.h"

#include <QPushButton>
#include <algorithm>
#include <climits>

#include "common/Log.h"
#include "keyboard/KeyTables.h"
#include "keyboard/page/KeyCapLegend.h"
#include "session/KeyboardController.h"
#include "ui/Notify.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::keyboard {
namespace {

using ui::Control;
using ui::Latin1;
using ui::Notification;
using ui::Utf8;

constexpr char kKeyFamily[] = "kb_key_";
constexpr char kRestoreButton[] = "kb_key_butt_keydefalut";
constexpr char kSaveButton[] = "kb_key_butt_prosave";
// The look of a reassigned key (the keycap colour of a key that does what the keyboard's factory
// table says is kept in the key's user data).
constexpr quint32 kReassignedKeyColour = 0xFF6B3D10;

// The label a key picture's factory function gets (the text id of the key or media key it shows).
std::optional<std::string_view> FactoryLabelId(const KeyFunction& function) {
  if (function.type == key_type::kKey) {
    if (const KeyTableEntry* entry = FindByFunction(function.b1, function.b2)) return entry->textId;
  } else if (function.type == key_type::kConsumer) {
    const auto list = ConsumerDescriptors();
    if (const std::optional<int> item = FindDescriptor(list, function.b1, function.b2))
      return list[static_cast<std::size_t>(*item)].textId;
  }
  return std::nullopt;
}

}  // namespace

KeyboardKeyPage::KeyboardKeyPage(ui::SkinWindow& window, session::KeyboardController& keyboard, Hooks hooks)
    : window_(window),
      keyboard_(keyboard),
      hooks_(std::move(hooks)),
      panel_(window, QStringLiteral("kb"), keyboard.Editor(),
             {hooks_.armCapture, hooks_.disarmCapture,
              [this](const PanelSource& source) { return keyboard_.Editor().Assign(keyboard_.Image(), source); },
              [this] { Refresh(); }}) {
  // Each key remembers its factory look and legend, which a key back on its factory function gets
  // again: the skin's short legends ("Num", "PgUp") fit a key cap where the full names do not.
  for (std::size_t n = 0; n < kKeyPictureCount; ++n) {
    Control key = Find(Latin1(kKeyFamily) + QString::number(n));
    if (key.UserData().isEmpty()) key.SetUserData(QString::number(key.BkColor()));
    legends_[n] = key.TextId().isEmpty() ? key.Text() : key.TextId();
    if (key.Widget()) legendFonts_[n] = key.Widget()->font();
    if (const std::optional<std::string_view> id = FactoryLabelId(KeyPictureFunctions()[n]))
      legendOfLabel_.try_emplace(std::string(*id), n);
  }
  if (QWidget* first = Find(Latin1(kKeyFamily) + QString::number(0)).Widget())
    RefitOnStyleChange(*first, [this] { ShowLabels(); });
}

Control KeyboardKeyPage::Find(const QString& name) const {
  return window_.FindControl(name);
}

bool KeyboardKeyPage::RegisterRoutes(ui::NotifyRouter& router) {
  const QString click = Latin1(ui::notify::kClick);
  bool ok = router.BindFamily(click, Latin1(kKeyFamily), [this](int n, const Notification&) { EditKey(n); });
  ok &= panel_.RegisterRoutes(router);
  ok &= router.Bind(click, Latin1(kRestoreButton), [this](const Notification&) { RestoreKey(); });
  ok &= router.Bind(click, Latin1(kSaveButton), [this](const Notification&) { Save(); });
  return ok;
}

void KeyboardKeyPage::Refresh() {
  // A re-read replaces the bank the editor worked on.
  panel_.Disarm();
  ShowLabels();
}

void KeyboardKeyPage::ShowLabels() {
  for (const KeyLabel& label : KeyLabels(keyboard_.Image(), hooks_.macroNames)) {
    Control key = Find(Latin1(kKeyFamily) + QString::number(label.picture));
    const QString defaultName =
        label.defaultIsTextId ? window_.GetSkin().Text(Utf8(label.defaultName)) : Utf8(label.defaultName);
    const QString shown = label.labelIsTextId ? window_.GetSkin().Text(Utf8(label.label)) : Utf8(label.label);
    if (!label.reassigned) {
      if (key.Widget()) key.Widget()->setFont(legendFonts_[label.picture]);
      key.SetText(legends_[label.picture]);
      key.SetToolTip(defaultName);
      key.SetBkColor(key.UserData().toUInt());
      continue;
    }
    ShowLegend(key, label, shown);
    key.SetToolTip(defaultName + window_.GetSkin().Text(Utf8(kKeySetTextId)) + shown);
    key.SetBkColor(kReassignedKeyColour);
  }
}

void KeyboardKeyPage::ShowLegend(Control& key, const KeyLabel& label, const QString& shown) {
  auto* button = qobject_cast<QPushButton*>(key.Widget());
  if (!button) {
    key.SetText(shown);
    return;
  }
  const QFont& own = legendFonts_[label.picture];
  KeyCapLegend legend = FitLegendTo(*button, own, shown);
  if (legend.shortened && label.labelIsTextId) {
    // A name too long for the cap: the skin's own legend of that key ("Ent"), when it fits better.
    if (const auto it = legendOfLabel_.find(label.label); it != legendOfLabel_.end()) {
      KeyCapLegend skinLegend = FitLegendTo(*button, own, window_.GetSkin().Text(legends_[it->second]));
      if (!skinLegend.shortened) legend = std::move(skinLegend);
    }
  }
  keyboard::ShowLegend(key, legend);
}

void KeyboardKeyPage::EditKey(int picture) {
  if (picture < 0) return;
  const std::optional<PanelView> view =
      keyboard_.Editor().EditKey(keyboard_.Image(), static_cast<std::size_t>(picture), CountMacros(hooks_.macroNames));
  if (view) {
    panel_.Show(*view);
  } else {
    panel_.Show({});  // the panel opens even on a key without an entry
  }
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
  panel_.CaptureKey(virtualKey, lowLevelFlags);
}

void KeyboardKeyPage::DisarmCapture() {
  panel_.Disarm();
}


}  // namespace korva::keyboard
