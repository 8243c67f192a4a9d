#include "ui/Control.h"

#include <QButtonGroup>
#include <QLayout>

#include "ui/Notify.h"
#include "ui/Skin.h"
#include "ui/SkinWidgets_p.h"
#include "ui/SkinWindow.h"

namespace korva::ui {

using namespace detail;

namespace {

template <class T>
T* As(QWidget* w) {
  return qobject_cast<T*>(w);
}

void Send(QWidget* w, const char* type, qint64 wParam = 0, qint64 lParam = 0) {
  if (SkinWindow* window = SkinWindow::Of(w))
    window->SendNotify(Control(w), QString::fromLatin1(type), wParam, lParam);
}

// Texts are looked up in the skin of the control's window; outside a window they stay literal.
const Skin* SkinOf(QWidget* w) {
  const SkinWindow* window = SkinWindow::Of(w);
  return window ? &window->GetSkin() : nullptr;
}

}  // namespace

Control::Control(QWidget* widget) : widget_(widget) {}

QString Control::Name() const {
  return widget_ ? widget_->objectName() : QString();
}

QString Control::Class() const {
  return widget_ ? widget_->property(kClassProperty).toString() : QString();
}

void Control::SetVisible(bool visible) {
  if (widget_) widget_->setVisible(visible);
}

bool Control::IsVisible() const {
  return widget_ && !widget_->isHidden();
}

void Control::SetEnabled(bool enabled) {
  if (widget_) widget_->setEnabled(enabled);
}

bool Control::IsEnabled() const {
  return widget_ && widget_->isEnabled();
}

void Control::SetText(const QString& textOrId, SendNotify notify) {
  if (!widget_) return;
  const Skin* skin = SkinOf(widget_);
  {
    const QSignalBlocker blocker(widget_);
    if (skin) {
      ShowText(*skin, widget_, textOrId);
    } else {
      widget_->setProperty(kTextProperty, textOrId);
      widget_->setProperty(kShownProperty, textOrId);
    }
  }
  if (notify == SendNotify::Yes && As<QLineEdit>(widget_)) Send(widget_, notify::kTextChanged);
}

QString Control::Text() const {
  if (!widget_) return {};
  if (auto* edit = As<QLineEdit>(widget_)) return edit->text();
  if (auto* combo = As<QComboBox>(widget_); combo && combo->currentIndex() >= 0) return combo->currentText();
  return widget_->property(kShownProperty).toString();
}

QString Control::TextId() const {
  if (!widget_) return {};
  if (auto* edit = As<QLineEdit>(widget_)) return edit->text();
  return widget_->property(kTextProperty).toString();
}

void Control::SetToolTip(const QString& textOrId) {
  if (!widget_) return;
  if (const Skin* skin = SkinOf(widget_)) {
    ShowToolTip(*skin, widget_, textOrId);
  } else {
    widget_->setProperty(kTipProperty, textOrId);
    widget_->setToolTip(textOrId);
  }
}

QString Control::ToolTip() const {
  return widget_ ? widget_->toolTip() : QString();
}

void Control::SetTextColor(quint32 argb) {
  if (const Skin* skin = widget_ ? SkinOf(widget_) : nullptr)
    ApplyAttribute(*skin, widget_, Class(), QStringLiteral("textcolor"),
                   argb ? QStringLiteral("#%1").arg(argb, 8, 16, QLatin1Char('0')) : QString(), nullptr);
}

quint32 Control::TextColor() const {
  const auto* skinned = dynamic_cast<const SkinnedBase*>(widget_.data());
  return skinned ? ToArgb(skinned->look.textColor) : 0u;
}

void Control::SetBkColor(quint32 argb) {
  if (auto* skinned = dynamic_cast<SkinnedBase*>(widget_.data())) {
    skinned->look.bkColor = FromArgb(argb);
    widget_->update();
  }
}

quint32 Control::BkColor() const {
  const auto* skinned = dynamic_cast<const SkinnedBase*>(widget_.data());
  return skinned ? ToArgb(skinned->look.bkColor) : 0u;
}

bool Control::SetBkImage(const QString& image) {
  return SetAttribute(QStringLiteral("bkimage"), image);
}

QString Control::BkImage() const {
  return Attribute(QStringLiteral("bkimage"));
}

bool Control::SetAttribute(const QString& name, const QString& value, QString* error) {
  if (!widget_) {
    if (error) *error = QStringLiteral("no control");
    return false;
  }
  const Skin* skin = SkinOf(widget_);
  if (!skin) {
    if (error) *error = QStringLiteral("the control belongs to no window");
    return false;
  }
  return ApplyAttribute(*skin, widget_, Class(), name, value, error);
}

QString Control::Attribute(const QString& name) const {
  return widget_ ? ReadAttribute(widget_, name) : QString();
}

void Control::SetUserData(const QString& data) {
  if (widget_) widget_->setProperty(kUserDataProperty, data);
}

QString Control::UserData() const {
  return widget_ ? widget_->property(kUserDataProperty).toString() : QString();
}

void Control::Select(bool selected, SendNotify notify) {
  auto* button = As<QAbstractButton>(widget_);
  if (!button || !button->isCheckable() || button->isChecked() == selected) return;
  {
    const QSignalBlocker blocker(button);
    QButtonGroup* group = button->group();
    // An exclusive group never lets its selected option go: open it for the moment.
    const bool reopen = !selected && group && group->exclusive();
    if (reopen) group->setExclusive(false);
    button->setChecked(selected);
    if (reopen) group->setExclusive(true);
  }
  if (notify == SendNotify::Yes) Send(button, notify::kSelectChanged, selected ? 1 : 0);
}

bool Control::IsSelected() const {
  auto* button = As<QAbstractButton>(widget_);
  return button && button->isChecked();
}

bool Control::SelectItem(int index, SendNotify notify) {
  if (auto* tab = As<QStackedWidget>(widget_)) {
    if (index < 0 || index >= tab->count()) return false;
    tab->setCurrentIndex(index);
    return true;
  }
  if (auto* combo = dynamic_cast<SkinCombo*>(widget_.data())) {
    if (index < -1 || index >= combo->count()) return false;
    const int old = combo->currentIndex();
    {
      const QSignalBlocker blocker(combo);
      combo->setCurrentIndex(index);
      combo->lastIndex = index;
    }
    if (notify == SendNotify::Yes && old != index) Send(combo, notify::kItemSelect, index, old);
    return true;
  }
  if (auto* list = dynamic_cast<SkinList*>(widget_.data())) {
    if (index < -1 || index >= list->count()) return false;
    const int old = list->currentRow();
    {
      const QSignalBlocker blocker(list);
      list->setCurrentRow(index);
      list->lastIndex = index;
    }
    if (notify == SendNotify::Yes && old != index) Send(list, notify::kItemSelect, index, old);
    return true;
  }
  return false;
}

int Control::CurSel() const {
  if (auto* tab = As<QStackedWidget>(widget_)) return tab->currentIndex();
  if (auto* combo = As<QComboBox>(widget_)) return combo->currentIndex();
  if (auto* list = As<QListWidget>(widget_)) return list->currentRow();
  return -1;
}

int Control::ItemCount() const {
  if (auto* tab = As<QStackedWidget>(widget_)) return tab->count();
  if (auto* combo = As<QComboBox>(widget_)) return combo->count();
  if (auto* list = As<QListWidget>(widget_)) return list->count();
  if (QLayout* layout = widget_ ? widget_->layout() : nullptr) {
    // A layout counts its controls, as the original containers do.
    int count = 0;
    for (int i = 0; i < layout->count(); ++i)
      if (layout->itemAt(i)->widget()) ++count;
    return count;
  }
  return 0;
}

int Control::AddItem(const QString& textOrId, const QString& userData) {
  if (!widget_) return -1;
  const Skin* skin = SkinOf(widget_);
  return skin ? detail::AddItem(*skin, widget_, textOrId, userData) : -1;
}

bool Control::SetItemName(int index, const QString& rowName) {
  auto* list = dynamic_cast<SkinList*>(widget_.data());
  if (!list || index < 0 || index >= list->count()) return false;
  list->item(index)->setData(detail::kItemNameRole, rowName);
  return true;
}

bool Control::RemoveItem(int index) {
  if (index < 0 || index >= ItemCount()) return false;
  if (auto* combo = dynamic_cast<SkinCombo*>(widget_.data())) {
    const QSignalBlocker blocker(combo);
    combo->removeItem(index);
    combo->lastIndex = combo->currentIndex();
    return true;
  }
  if (auto* list = dynamic_cast<SkinList*>(widget_.data())) {
    const QSignalBlocker blocker(list);
    delete list->takeItem(index);
    list->lastIndex = list->currentRow();
    return true;
  }
  return false;
}

void Control::RemoveAllItems() {
  if (auto* combo = dynamic_cast<SkinCombo*>(widget_.data())) {
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->lastIndex = -1;
  } else if (auto* list = dynamic_cast<SkinList*>(widget_.data())) {
    const QSignalBlocker blocker(list);
    list->clear();
    list->lastIndex = -1;
  }
}

QString Control::ItemText(int index) const {
  if (auto* combo = As<QComboBox>(widget_)) return combo->itemText(index);
  if (auto* list = As<QListWidget>(widget_); list && list->item(index)) return list->item(index)->text();
  return {};
}

QString Control::ItemUserData(int index) const {
  if (auto* combo = As<QComboBox>(widget_)) return combo->itemData(index, kItemDataRole).toString();
  if (auto* list = As<QListWidget>(widget_); list && list->item(index))
    return list->item(index)->data(kItemDataRole).toString();
  return {};
}

void Control::SetRange(int minimum, int maximum) {
  const QSignalBlocker blocker(widget_);
  if (auto* slider = As<QAbstractSlider>(widget_)) slider->setRange(minimum, maximum);
  if (auto* progress = As<QProgressBar>(widget_)) progress->setRange(minimum, maximum);
}

int Control::Minimum() const {
  if (auto* slider = As<QAbstractSlider>(widget_)) return slider->minimum();
  if (auto* progress = As<QProgressBar>(widget_)) return progress->minimum();
  return 0;
}

int Control::Maximum() const {
  if (auto* slider = As<QAbstractSlider>(widget_)) return slider->maximum();
  if (auto* progress = As<QProgressBar>(widget_)) return progress->maximum();
  return 0;
}

void Control::SetValue(int value, SendNotify notify) {
  if (auto* slider = As<QAbstractSlider>(widget_)) {
    {
      const QSignalBlocker blocker(slider);
      slider->setValue(value);
    }
    if (notify == SendNotify::Yes) Send(slider, notify::kValueChanged, slider->value());
  } else if (auto* progress = As<QProgressBar>(widget_)) {
    // QProgressBar ignores values outside its range instead of clamping them.
    progress->setValue(
        std::clamp(value, progress->minimum(), std::max(progress->minimum(), progress->maximum())));
  }
}

int Control::Value() const {
  if (auto* slider = As<QAbstractSlider>(widget_)) return slider->value();
  if (auto* progress = As<QProgressBar>(widget_)) return progress->value();
  return 0;
}

void Control::SetSelectColor(quint32 argb, SendNotify notify) {
  auto* palette = dynamic_cast<ColorPalette*>(widget_.data());
  if (!palette) return;
  palette->SetSelectedColor(QColor::fromRgba(argb | 0xFF000000u));
  if (notify == SendNotify::Yes) Send(palette, notify::kColorChanged, ToArgb(palette->SelectedColor()));
}

quint32 Control::SelectColor() const {
  const auto* palette = dynamic_cast<const ColorPalette*>(widget_.data());
  return palette ? ToArgb(palette->SelectedColor()) : 0u;
}

namespace {

// The light's setters only record the change (see SkinButton::lightChanged) and tell the window
// the first time; the repaint pass of the lighting preview paints it. Returns the window to tell,
// or nullptr.
SkinWindow* MarkLightChanged(SkinButton& button) {
  if (button.lightChanged) return nullptr;
  button.lightChanged = true;
  return SkinWindow::Of(&button);
}

}  // namespace

void Control::SetChangerColor(quint32 rgb) {
  auto* button = dynamic_cast<SkinButton*>(widget_.data());
  const QColor colour = QColor::fromRgb(rgb & 0x00FFFFFFu);
  if (!button || button->changerColor == colour) return;
  button->changerColor = colour;
  if (SkinWindow* window = MarkLightChanged(*button)) window->NoteLightChange(button);
}

quint32 Control::ChangerColor() const {
  const auto* button = dynamic_cast<const SkinButton*>(widget_.data());
  return button ? (button->changerColor.rgb() & 0x00FFFFFFu) : 0u;
}

void Control::SetChangerAlpha(int alpha) {
  auto* button = dynamic_cast<SkinButton*>(widget_.data());
  alpha = std::clamp(alpha, 0, 255);
  if (!button || button->changerAlpha == alpha) return;
  button->changerAlpha = alpha;
  if (SkinWindow* window = MarkLightChanged(*button)) window->NoteLightChange(button);
}

int Control::ChangerAlpha() const {
  const auto* button = dynamic_cast<const SkinButton*>(widget_.data());
  return button ? button->changerAlpha : 0;
}

void Control::SetLightOn(bool on) {
  auto* button = dynamic_cast<SkinButton*>(widget_.data());
  if (!button || button->lightOn == on) return;
  button->lightOn = on;
  if (SkinWindow* window = MarkLightChanged(*button)) window->NoteLightChange(button);
}

bool Control::IsLightOn() const {
  const auto* button = dynamic_cast<const SkinButton*>(widget_.data());
  return button && button->lightOn;
}

bool Control::TakeLightChange() {
  auto* button = dynamic_cast<SkinButton*>(widget_.data());
  if (!button || !button->lightChanged) return false;
  button->lightChanged = false;
  return true;
}

}  // namespace korva::ui
