#include "mouse/page/MouseButtonPage.h"

#include <QPushButton>

#include "common/Log.h"
#include "keyboard/page/KeyCapLegend.h"
#include "mouse/MouseButtons.h"
#include "session/MouseController.h"
#include "ui/Notify.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"

namespace korva::mouse {
namespace {

using ui::Control;
using ui::Latin1;
using ui::Notification;
using ui::Utf8;

constexpr char kButtonFamily[] = "ms_key_";
constexpr char kRestoreButton[] = "ms_key_butt_keydefalut";
constexpr char kAssignButton[] = "ms_key_butt_keysave";
constexpr char kSaveButton[] = "ms_key_butt_prosave";
constexpr char kLastLeftClickText[] = "message_text_6";

QString ButtonName(std::size_t i) {
  return Latin1(kButtonFamily) + QString::number(i);
}

}  // namespace

MouseButtonPage::MouseButtonPage(ui::SkinWindow& window, session::MouseController& mouse, Hooks hooks)
    : window_(window),
      mouse_(mouse),
      hooks_(std::move(hooks)),
      panel_(window, QStringLiteral("ms"), mouse.ButtonEditor(),
             {hooks_.armCapture, hooks_.disarmCapture,
              [this](const keyboard::PanelSource& source) { return Assign(source); },
              [this] { RefreshLabels(); }}) {
  for (std::size_t i = 0; i < kMouseButtonCount; ++i)
    if (QWidget* label = Find(ButtonName(i)).Widget()) labelFonts_[i] = label->font();
  if (QWidget* first = Find(ButtonName(0)).Widget()) keyboard::RefitOnStyleChange(*first, [this] { RefreshLabels(); });
}

Control MouseButtonPage::Find(const QString& name) const {
  return window_.FindControl(name);
}

bool MouseButtonPage::RegisterRoutes(ui::NotifyRouter& router) {
  const QString click = Latin1(ui::notify::kClick);
  // The routing shows the buttons' hovered pictures itself.
  bool ok = router.BindFamily(click, Latin1(kButtonFamily), [this](int i, const Notification&) { EditButton(i); });
  ok &= panel_.RegisterRoutes(router);
  ok &= router.Bind(click, Latin1(kRestoreButton), [this](const Notification&) { RestoreButton(); });
  ok &= router.Bind(click, Latin1(kAssignButton), [this](const Notification&) { panel_.AssignFromPanel(); });
  ok &= router.Bind(click, Latin1(kSaveButton), [this](const Notification&) { Save(); });
  return ok;
}

void MouseButtonPage::RefreshLabels() {
  const MouseKeyBank* bank = ActiveKeyBank(mouse_.Model().image());
  if (bank == nullptr) return;
  const auto labels = ButtonLabels(*bank, hooks_.macroNames);
  for (std::size_t i = 0; i < kMouseButtonCount; ++i) {
    if (!labels[i]) continue;
    const QString text = labels[i]->isTextId ? window_.GetSkin().Text(Utf8(labels[i]->text)) : Utf8(labels[i]->text);
    Control button = Find(ButtonName(i));
    // A long label (a macro's name) is fitted to the button; the tooltip names it whole.
    if (auto* widget = qobject_cast<QPushButton*>(button.Widget()))
      keyboard::ShowLegend(button, keyboard::FitLegendTo(*widget, labelFonts_[i], text));
    else
      button.SetText(text);
    button.SetToolTip(text);
  }
}

void MouseButtonPage::ImageReplaced() {
  CloseEditor();
  mouse_.ButtonEditor().Reset();
}

void MouseButtonPage::CloseEditor() {
  panel_.Close();
}

void MouseButtonPage::EditButton(int button) {
  if (button < 0 || static_cast<std::size_t>(button) >= kMouseButtonCount) return;
  MouseImage& image = mouse_.Model().image();
  const MouseKeyBank* bank = ActiveKeyBank(image);
  if (bank == nullptr) return;
  const auto i = static_cast<std::size_t>(button);
  if (IsLastLeftClick(*bank, i)) {
    if (hooks_.showMessage) hooks_.showMessage(kLastLeftClickText, std::nullopt);
    CloseEditor();
    return;
  }
  const int macros = keyboard::CountMacros(hooks_.macroNames);
  panel_.Show(mouse_.ButtonEditor().EditEntry(bank->bytes, image.defaultButtons.bytes, i, macros));
}

bool MouseButtonPage::Assign(const keyboard::PanelSource& source) {
  MouseImage& image = mouse_.Model().image();
  MouseKeyBank* bank = ActiveKeyBank(image);
  if (bank == nullptr) return false;
  return mouse_.ButtonEditor().AssignEntry(bank->bytes, image.defaultButtons.bytes, source);
}

void MouseButtonPage::RestoreButton() {
  MouseImage& image = mouse_.Model().image();
  MouseKeyBank* bank = ActiveKeyBank(image);
  keyboard::KeyEditor& editor = mouse_.ButtonEditor();
  if (bank == nullptr || !editor.RestoreEntry(bank->bytes, image.defaultButtons.bytes)) return;
  const std::optional<std::size_t> button = editor.CurrentEntry();
  RefreshLabels();
  if (button) EditButton(static_cast<int>(*button));
}

void MouseButtonPage::Save() {
  if (hooks_.progressShow) hooks_.progressShow();
  const session::DeviceOutcome outcome = mouse_.SaveKeys();
  if (!outcome.message.empty() && hooks_.showMessage) hooks_.showMessage(outcome.message, outcome.number);
  if (hooks_.progressDone) hooks_.progressDone();
}


void MouseButtonPage::CaptureKey(int virtualKey, std::uint32_t lowLevelFlags) {
  panel_.CaptureKey(virtualKey, lowLevelFlags);
}


}  // namespace korva::mouse
