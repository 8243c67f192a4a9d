#include "ui/SkinWidgets_p.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainterPath>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStyle>

#include "ui/ControlFactory.h"
#include "ui/Notify.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"

namespace korva::ui::detail {

namespace {

bool ParseBool(const QString& text, bool& out) {
  if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || text == QLatin1String("1")) {
    out = true;
    return true;
  }
  if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || text == QLatin1String("0")) {
    out = false;
    return true;
  }
  return false;
}

bool ParseInt(const QString& text, int& out) {
  bool ok = false;
  const int v = text.trimmed().toInt(&ok);
  if (ok) out = v;
  return ok;
}

bool Fail(QString* error, const QString& message) {
  if (error) *error = message;
  return false;
}

QString BadValue(const QString& name, const QString& value) {
  return QStringLiteral("bad value '%1' for attribute '%2'").arg(value, name);
}

bool IsStateImage(const QString& name) {
  static const QStringList kNames = {QStringLiteral("normalimage"), QStringLiteral("hotimage"),
                                     QStringLiteral("pushedimage"), QStringLiteral("selectedimage"),
                                     QStringLiteral("disabledimage")};
  return kNames.contains(name);
}

// Loads an image attribute; "" clears it. False when a non-empty image cannot be loaded.
bool LoadImage(const Skin& skin, const QString& value, QPixmap& out) {
  if (value.isEmpty()) {
    out = QPixmap();
    return true;
  }
  out = skin.Image(value);
  return !out.isNull();
}

Qt::Alignment ParseHAlign(const QString& v, bool& ok) {
  ok = true;
  if (v == QLatin1String("left")) return Qt::AlignLeft;
  if (v == QLatin1String("center")) return Qt::AlignHCenter;
  if (v == QLatin1String("right")) return Qt::AlignRight;
  ok = false;
  return Qt::AlignLeft;
}

Qt::Alignment ParseVAlign(const QString& v, bool& ok) {
  ok = true;
  if (v == QLatin1String("top")) return Qt::AlignTop;
  if (v == QLatin1String("center")) return Qt::AlignVCenter;
  if (v == QLatin1String("bottom")) return Qt::AlignBottom;
  ok = false;
  return Qt::AlignVCenter;
}

void SetAlignment(QWidget* w, Qt::Alignment mask, Qt::Alignment value) {
  if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setAlignment((label->alignment() & ~mask) | value);
  } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    edit->setAlignment((edit->alignment() & ~mask) | value);
  }
}

void Translate(const Skin& skin, QWidget* w) {
  const QVariant text = w->property(kTextProperty);
  if (text.isValid() && !qobject_cast<QLineEdit*>(w)) ShowText(skin, w, text.toString());
  const QVariant tip = w->property(kTipProperty);
  if (tip.isValid()) ShowToolTip(skin, w, tip.toString());
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    const QVariant tipText = w->property(kTipTextProperty);
    if (tipText.isValid()) edit->setPlaceholderText(skin.Text(tipText.toString()));
  }
  if (auto* combo = qobject_cast<QComboBox*>(w)) {
    for (int i = 0; i < combo->count(); ++i)
      combo->setItemText(i, skin.Text(combo->itemData(i, kItemTextRole).toString()));
  }
  if (auto* list = qobject_cast<QListWidget*>(w)) {
    for (int i = 0; i < list->count(); ++i) {
      QListWidgetItem* item = list->item(i);
      item->setText(skin.Text(item->data(kItemTextRole).toString()));
    }
  }
}

}  // namespace

// ---- painting ----------------------------------------------------------------------------------

void SkinnedBase::PaintBackground(QWidget& self, QPainter& painter) const {
  const QRectF r = QRectF(self.rect())
                       .adjusted(look.borderSize / 2.0, look.borderSize / 2.0, -look.borderSize / 2.0,
                                 -look.borderSize / 2.0);
  painter.setRenderHint(QPainter::Antialiasing, look.borderRound > 0);
  QPainterPath path;
  path.addRoundedRect(r, look.borderRound, look.borderRound);
  if (look.bkColor.isValid() && look.bkColor.alpha() > 0) painter.fillPath(path, look.bkColor);
  if (!look.bkPixmap.isNull()) {
    painter.save();
    if (look.borderRound > 0) painter.setClipPath(path);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(self.rect(), look.bkPixmap);
    painter.restore();
  }
  if (look.borderSize > 0 && look.borderColor.isValid()) {
    painter.setPen(QPen(look.borderColor, look.borderSize));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
  }
}

void SkinnedBase::SendHover(QWidget& self, bool entered) const {
  if (self.objectName().isEmpty()) return;
  if (SkinWindow* window = SkinWindow::Of(&self))
    window->SendNotify(Control(&self),
                       QString::fromLatin1(entered ? notify::kMouseEnter : notify::kMouseLeave));
}

SkinButton::SkinButton(QWidget* parent) : Skinned<QPushButton>(parent) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::TabFocus);
}

void SkinButton::PaintBelowContent(QWidget& self, QPainter& painter) const {
  PaintBackground(self, painter);
  // State image: disabled, pushed, selected, hot, normal; a missing state falls back to normal.
  const char* state = "normalimage";
  if (!isEnabled())
    state = "disabledimage";
  else if (isDown())
    state = "pushedimage";
  else if (isChecked())
    state = "selectedimage";
  else if (underMouse())
    state = "hotimage";
  QPixmap image = images.value(QString::fromLatin1(state));
  if (image.isNull()) image = images.value(QStringLiteral("normalimage"));
  if (!image.isNull()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), image);
  }
  if (lightOn && changerAlpha > 0) {
    // The light of a key: its colour laid over the key cap, strongest in the middle.
    QColor inner = changerColor;
    inner.setAlpha(changerAlpha);
    QColor outer = changerColor;
    outer.setAlpha(changerAlpha / 3);
    QRadialGradient glow(QRectF(rect()).center(), std::max(width(), height()) * 0.75);
    glow.setColorAt(0.0, inner);
    glow.setColorAt(1.0, outer);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 3, 3);
    painter.fillPath(path, glow);
  }
  if (!forePixmap.isNull()) {
    const QPoint at((width() - forePixmap.width()) / 2, (height() - forePixmap.height()) / 2);
    painter.drawPixmap(at, forePixmap);
  }
}

void SkinEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (SkinWindow* window = SkinWindow::Of(this))
    window->SendNotify(Control(this), QString::fromLatin1(notify::kKillFocus));
}

// ---- colour palette ----------------------------------------------------------------------------

ColorPalette::ColorPalette(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::CrossCursor);
  setMinimumSize(60, 40);
}

QRect ColorPalette::FieldRect() const {
  const int barHeight = std::max(8, height() / 8);
  return QRect(0, 0, width(), height() - barHeight - 6);
}

QRect ColorPalette::BarRect() const {
  const QRect field = FieldRect();
  return QRect(0, field.bottom() + 7, width(), height() - field.height() - 6);
}

void ColorPalette::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  field_ = QImage();  // drawn again at the new size
}

void ColorPalette::SetSelectedColor(const QColor& color) {
  if (!color.isValid()) return;
  int h = 0, s = 0, v = 0;
  color.getHsv(&h, &s, &v);
  if (h >= 0) hue_ = h;  // a grey keeps the hue the marker stands on
  saturation_ = s;
  value_ = v;
  color_ = color;
  color_.setAlpha(255);
  update();
}

void ColorPalette::UpdateColor() {
  color_ = QColor::fromHsv(hue_, saturation_, value_);
  update();
}

void ColorPalette::PickAt(QPoint pos) {
  if (drag_ == Drag::Field) {
    const QRect f = FieldRect();
    const int x = std::clamp(pos.x(), f.left(), f.right());
    const int y = std::clamp(pos.y(), f.top(), f.bottom());
    hue_ = f.width() > 1 ? (x - f.left()) * 359 / (f.width() - 1) : 0;
    saturation_ = f.height() > 1 ? 255 - (y - f.top()) * 255 / (f.height() - 1) : 255;
  } else if (drag_ == Drag::Bar) {
    const QRect b = BarRect();
    const int x = std::clamp(pos.x(), b.left(), b.right());
    value_ = b.width() > 1 ? (x - b.left()) * 255 / (b.width() - 1) : 255;
  }
  UpdateColor();
}

void ColorPalette::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  drag_ = BarRect().contains(event->position().toPoint()) ? Drag::Bar : Drag::Field;
  PickAt(event->position().toPoint());
}

void ColorPalette::mouseMoveEvent(QMouseEvent* event) {
  if (drag_ != Drag::None) PickAt(event->position().toPoint());
}

void ColorPalette::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || drag_ == Drag::None) return;
  PickAt(event->position().toPoint());
  drag_ = Drag::None;
  // Only the release reports: the colour handlers save the light profile each time.
  if (SkinWindow* window = SkinWindow::Of(this))
    window->SendNotify(Control(this), QString::fromLatin1(notify::kColorChanged), ToArgb(color_));
}

void ColorPalette::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRect f = FieldRect();
  if (field_.size() != f.size() && f.width() > 0 && f.height() > 0) {
    field_ = QImage(f.size(), QImage::Format_RGB32);
    for (int y = 0; y < f.height(); ++y) {
      const int s = f.height() > 1 ? 255 - y * 255 / (f.height() - 1) : 255;
      auto* line = reinterpret_cast<QRgb*>(field_.scanLine(y));
      for (int x = 0; x < f.width(); ++x) {
        const int h = f.width() > 1 ? x * 359 / (f.width() - 1) : 0;
        line[x] = QColor::fromHsv(h, s, 255).rgb();
      }
    }
  }
  QPainterPath fieldPath;
  fieldPath.addRoundedRect(QRectF(f), 4, 4);
  painter.save();
  painter.setClipPath(fieldPath);
  painter.drawImage(f.topLeft(), field_);
  painter.restore();

  const QRect b = BarRect();
  QLinearGradient bar(b.topLeft(), b.topRight());
  bar.setColorAt(0, Qt::black);
  bar.setColorAt(1, QColor::fromHsv(hue_, saturation_, 255));
  QPainterPath barPath;
  barPath.addRoundedRect(QRectF(b), 3, 3);
  painter.fillPath(barPath, bar);

  // Markers: a ring on the field, a notch on the bar.
  const QPointF fieldMark(f.left() + hue_ * (f.width() - 1) / 359.0,
                          f.top() + (255 - saturation_) * (f.height() - 1) / 255.0);
  painter.setPen(QPen(Qt::black, 3));
  painter.drawEllipse(fieldMark, 5, 5);
  painter.setPen(QPen(Qt::white, 1.5));
  painter.drawEllipse(fieldMark, 5, 5);
  const double barX = b.left() + value_ * (b.width() - 1) / 255.0;
  painter.setPen(QPen(Qt::white, 2));
  painter.setBrush(color_);
  painter.drawRoundedRect(QRectF(barX - 3, b.top() - 2, 6, b.height() + 4), 2, 2);
}

// ---- values ------------------------------------------------------------------------------------

bool ParseColor(const QString& text, QColor& out) {
  QString t = text.trimmed();
  if (t.startsWith(QLatin1Char('#')))
    t = t.mid(1);
  else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
    t = t.mid(2);
  else
    return false;
  if (t.size() != 6 && t.size() != 8) return false;
  bool ok = false;
  const quint32 v = t.toUInt(&ok, 16);
  if (!ok) return false;
  out = t.size() == 6 ? QColor::fromRgb(0xFF000000u | v) : QColor::fromRgba(v);
  return true;
}

quint32 ToArgb(const QColor& color) {
  return color.isValid() ? color.rgba() : 0u;
}

QColor FromArgb(quint32 argb) {
  return argb == 0 ? QColor() : QColor::fromRgba(argb);
}

// ---- attributes --------------------------------------------------------------------------------

bool ApplyAttribute(const Skin& skin, QWidget* w, const QString& cls, const QString& name,
                    const QString& value, QString* error) {
  if (auto* custom = dynamic_cast<ISkinAttributes*>(w)) {
    QString customError;
    if (custom->SetSkinAttribute(name, value, &customError))
      return customError.isEmpty() ? true : Fail(error, customError);
  }
  auto* skinned = dynamic_cast<SkinnedBase*>(w);
  auto* button = dynamic_cast<SkinButton*>(w);
  bool flag = false;
  int number = 0;

  if (name == QLatin1String("text")) {
    ShowText(skin, w, value);
  } else if (name == QLatin1String("tooltip")) {
    ShowToolTip(skin, w, value);
  } else if (name == QLatin1String("visible")) {
    if (!ParseBool(value, flag)) return Fail(error, BadValue(name, value));
    // A widget without parent would become a window of its own when shown.
    if (!flag || w->parentWidget()) w->setVisible(flag);
  } else if (name == QLatin1String("enabled")) {
    if (!ParseBool(value, flag)) return Fail(error, BadValue(name, value));
    w->setEnabled(flag);
  } else if (name == QLatin1String("userdata")) {
    w->setProperty(kUserDataProperty, value);
  } else if (name == QLatin1String("style")) {
    w->setProperty(kStyleProperty, value);
    Repolish(w);
  } else if (name == QLatin1String("font")) {
    // "14" or "14,bold": pixel size and weight; the family is the window's.
    const QStringList parts = value.split(QLatin1Char(','));
    if (!ParseInt(parts.value(0), number) || number <= 0 || parts.size() > 2 ||
        (parts.size() == 2 && parts[1].trimmed() != QLatin1String("bold")))
      return Fail(error, BadValue(name, value));
    QFont font;
    font.setPixelSize(number);
    if (parts.size() == 2) font.setBold(true);
    w->setFont(font);
  } else if (name == QLatin1String("align") || name == QLatin1String("valign")) {
    bool ok = false;
    const bool horizontal = name == QLatin1String("align");
    const Qt::Alignment a = horizontal ? ParseHAlign(value, ok) : ParseVAlign(value, ok);
    if (!ok) return Fail(error, BadValue(name, value));
    SetAlignment(w, horizontal ? Qt::AlignHorizontal_Mask : Qt::AlignVertical_Mask, a);
  } else if (name == QLatin1String("wordwrap") && qobject_cast<QLabel*>(w)) {
    if (!ParseBool(value, flag)) return Fail(error, BadValue(name, value));
    qobject_cast<QLabel*>(w)->setWordWrap(flag);
  } else if (skinned && (name == QLatin1String("bkcolor") || name == QLatin1String("bordercolor") ||
                         name == QLatin1String("textcolor"))) {
    QColor c;
    if (!value.isEmpty() && value != QLatin1String("0") && !ParseColor(value, c))
      return Fail(error, BadValue(name, value));
    if (name == QLatin1String("bkcolor")) {
      skinned->look.bkColor = c;
    } else if (name == QLatin1String("bordercolor")) {
      skinned->look.borderColor = c;
    } else {
      skinned->look.textColor = c;
      // A style sheet of the widget's own wins over the window's rules for its text colour.
      w->setStyleSheet(c.isValid() ? QStringLiteral("color: rgba(%1, %2, %3, %4);")
                                         .arg(c.red())
                                         .arg(c.green())
                                         .arg(c.blue())
                                         .arg(c.alpha())
                                   : QString());
    }
    w->update();
  } else if (skinned && (name == QLatin1String("bordersize") || name == QLatin1String("borderround"))) {
    if (!ParseInt(value, number) || number < 0) return Fail(error, BadValue(name, value));
    (name == QLatin1String("bordersize") ? skinned->look.borderSize : skinned->look.borderRound) = number;
    w->update();
  } else if (skinned && name == QLatin1String("bkimage")) {
    skinned->look.bkImage = value;
    if (!LoadImage(skin, value, skinned->look.bkPixmap)) {
      skinned->look.bkImage.clear();
      w->update();
      return Fail(error, QStringLiteral("image '%1' cannot be loaded").arg(value));
    }
    w->update();
  } else if (button && (IsStateImage(name) || name == QLatin1String("foreimage"))) {
    QPixmap pixmap;
    if (!LoadImage(skin, value, pixmap))
      return Fail(error, QStringLiteral("image '%1' cannot be loaded").arg(value));
    if (name == QLatin1String("foreimage")) {
      button->foreImage = value;
      button->forePixmap = pixmap;
    } else {
      button->imageFiles.insert(name, value);
      button->images.insert(name, pixmap);
    }
    button->update();
  } else if (name == QLatin1String("icon") && qobject_cast<QAbstractButton*>(w)) {
    QPixmap pixmap;
    if (!LoadImage(skin, value, pixmap))
      return Fail(error, QStringLiteral("image '%1' cannot be loaded").arg(value));
    auto* b = qobject_cast<QAbstractButton*>(w);
    b->setIcon(QIcon(pixmap));
    b->setIconSize(pixmap.size());
  } else if (name == QLatin1String("selected") && qobject_cast<QAbstractButton*>(w)) {
    if (!ParseBool(value, flag)) return Fail(error, BadValue(name, value));
    auto* b = qobject_cast<QAbstractButton*>(w);
    const QSignalBlocker blocker(b);
    b->setChecked(flag);
  } else if ((name == QLatin1String("min") || name == QLatin1String("max") ||
              name == QLatin1String("value")) &&
             (qobject_cast<QAbstractSlider*>(w) || qobject_cast<QProgressBar*>(w))) {
    if (!ParseInt(value, number)) return Fail(error, BadValue(name, value));
    const QSignalBlocker blocker(w);
    if (auto* s = qobject_cast<QAbstractSlider*>(w)) {
      if (name == QLatin1String("min")) s->setMinimum(number);
      if (name == QLatin1String("max")) s->setMaximum(number);
      if (name == QLatin1String("value")) s->setValue(number);
    } else if (auto* p = qobject_cast<QProgressBar*>(w)) {
      if (name == QLatin1String("min")) p->setMinimum(number);
      if (name == QLatin1String("max")) p->setMaximum(number);
      if (name == QLatin1String("value")) p->setValue(number);
    }
  } else if (name == QLatin1String("vertical") && qobject_cast<QSlider*>(w)) {
    if (!ParseBool(value, flag)) return Fail(error, BadValue(name, value));
    qobject_cast<QSlider*>(w)->setOrientation(flag ? Qt::Vertical : Qt::Horizontal);
  } else if (auto* edit = qobject_cast<QLineEdit*>(w); edit && name == QLatin1String("readonly")) {
    if (!ParseBool(value, flag)) return Fail(error, BadValue(name, value));
    edit->setReadOnly(flag);
  } else if (edit && name == QLatin1String("maxchar")) {
    if (!ParseInt(value, number) || number <= 0) return Fail(error, BadValue(name, value));
    edit->setMaxLength(number);
  } else if (edit && name == QLatin1String("numberonly")) {
    if (!ParseBool(value, flag)) return Fail(error, BadValue(name, value));
    if (flag)
      edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    else
      edit->setValidator(nullptr);
  } else if (edit && name == QLatin1String("tiptext")) {
    edit->setProperty(kTipTextProperty, value);
    edit->setPlaceholderText(skin.Text(value));
  } else if (name == QLatin1String("selectedid") && qobject_cast<QStackedWidget*>(w)) {
    auto* tab = qobject_cast<QStackedWidget*>(w);
    if (!ParseInt(value, number)) return Fail(error, BadValue(name, value));
    // The pages may not be there yet: the builder selects again after the children.
    tab->setProperty("korvaSelectedId", number);
    if (number >= 0 && number < tab->count()) tab->setCurrentIndex(number);
  } else {
    return Fail(error, QStringLiteral("unknown attribute '%1' on <%2>").arg(name, cls));
  }
  return true;
}

QString ReadAttribute(const QWidget* w, const QString& name) {
  if (const auto* button = dynamic_cast<const SkinButton*>(w)) {
    if (IsStateImage(name)) return button->imageFiles.value(name);
    if (name == QLatin1String("foreimage")) return button->foreImage;
  }
  if (const auto* skinned = dynamic_cast<const SkinnedBase*>(w)) {
    if (name == QLatin1String("bkimage")) return skinned->look.bkImage;
  }
  if (name == QLatin1String("text")) return w->property(kTextProperty).toString();
  if (name == QLatin1String("tooltip")) return w->property(kTipProperty).toString();
  if (name == QLatin1String("userdata")) return w->property(kUserDataProperty).toString();
  if (name == QLatin1String("style")) return w->property(kStyleProperty).toString();
  return {};
}

// ---- texts -------------------------------------------------------------------------------------

void ShowText(const Skin& skin, QWidget* w, const QString& textOrId) {
  w->setProperty(kTextProperty, textOrId);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    w->setProperty(kShownProperty, textOrId);
    edit->setText(textOrId);  // typed text is never looked up
    return;
  }
  const QString shown = skin.Text(textOrId);
  w->setProperty(kShownProperty, shown);
  if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setTextFormat(Qt::PlainText);
    label->setText(shown);
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    // "&" has no mnemonic meaning in skin texts.
    button->setText(QString(shown).replace(QLatin1Char('&'), QLatin1String("&&")));
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    combo->setPlaceholderText(shown);
  }
}

void ShowToolTip(const Skin& skin, QWidget* w, const QString& textOrId) {
  w->setProperty(kTipProperty, textOrId);
  w->setToolTip(skin.Text(textOrId));
}

int AddItem(const Skin& skin, QWidget* w, const QString& textOrId, const QString& userData) {
  const QString shown = skin.Text(textOrId);
  if (auto* combo = qobject_cast<QComboBox*>(w)) {
    const QSignalBlocker blocker(combo);
    combo->addItem(shown);
    const int index = combo->count() - 1;
    combo->setItemData(index, textOrId, kItemTextRole);
    combo->setItemData(index, userData, kItemDataRole);
    return index;
  }
  if (auto* list = qobject_cast<QListWidget*>(w)) {
    const QSignalBlocker blocker(list);
    auto* item = new QListWidgetItem(shown, list);
    item->setData(kItemTextRole, textOrId);
    item->setData(kItemDataRole, userData);
    return list->count() - 1;
  }
  return -1;
}

void ReloadTexts(const Skin& skin, QWidget* root) {
  if (!root) return;
  Translate(skin, root);
  for (QWidget* child : root->findChildren<QWidget*>()) Translate(skin, child);
}

void Repolish(QWidget* w) {
  w->style()->unpolish(w);
  w->style()->polish(w);
  w->update();
}

}  // namespace korva::ui::detail
