#include "ui/SkinWidgets_p.h"

#include <algorithm>

#include <QEnterEvent>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolTip>

#include "ui/Notify.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"

namespace korva::ui::detail {

namespace {

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

// ---- the combo's cut text ------------------------------------------------------------------------

bool SkinCombo::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QRect room =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    const QString text = currentText();
    if (!text.isEmpty() && fontMetrics().horizontalAdvance(text) > room.width()) {
      QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text, this);
    } else {
      QToolTip::hideText();
    }
    event->accept();
    return true;
  }
  return Skinned<QComboBox>::event(event);
}

// ---- painting ----------------------------------------------------------------------------------

namespace {

// Whether `area` lies wholly inside a widget's shape of `size`, clear of its border and of its
// round corners: every pixel of it is fully covered by the background colour and by no border.
bool InsideShape(const QSize& size, const QRect& area, int borderSize, int borderRound) {
  const QRect clear = QRect(QPoint(0, 0), size).adjusted(borderSize, borderSize, -borderSize, -borderSize);
  if (borderRound <= 0) return clear.contains(area);
  const int corner = borderRound + 1;
  return clear.adjusted(0, corner, 0, -corner).contains(area) ||
         clear.adjusted(corner, 0, -corner, 0).contains(area);
}

// Fills `area` a band of rows at a time. Qt hands a large fill to its worker threads, which wakes
// two threads for every pass of a running preview; in bands of a few rows the fill stays on this
// thread, and the pieces a pass repaints are small enough for that to cost less.
void FillInBands(QPainter& painter, const QRect& area, const QColor& colour) {
  constexpr int kBandRows = 16;
  for (int y = area.top(); y <= area.bottom(); y += kBandRows)
    painter.fillRect(QRect(area.left(), y, area.width(), std::min(kBandRows, area.bottom() + 1 - y)), colour);
}

}  // namespace

void SkinnedBase::PaintBackground(QWidget& self, QPainter& painter, const QRect& exposed) const {
  const QRect area = exposed & self.rect();
  if (area.isEmpty()) return;
  const QPixmap& image = look.bkPixmap.Get();
  const bool fill = look.bkColor.isValid() && look.bkColor.alpha() > 0;
  // A preview key repainted inside a large panel exposes a small piece of it many times a
  // second: there the colour and an unscaled picture are copied for that piece alone, which gives
  // the pixels the whole shape would give, without rasterising the shape (which Qt spreads over
  // worker threads when the shape is large, whatever the clip).
  const bool unscaled = image.isNull() || image.deviceIndependentSize().toSize() == self.size();
  if (unscaled && InsideShape(self.size(), area, look.borderSize, look.borderRound)) {
    if (fill) FillInBands(painter, area, look.bkColor);
    if (!image.isNull()) {
      const qreal ratio = image.devicePixelRatio();
      painter.drawPixmap(
          QRectF(area), image,
          QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
    }
    return;
  }
  const QRectF r = QRectF(self.rect())
                       .adjusted(look.borderSize / 2.0, look.borderSize / 2.0, -look.borderSize / 2.0,
                                 -look.borderSize / 2.0);
  painter.setRenderHint(QPainter::Antialiasing, look.borderRound > 0);
  QPainterPath path;
  path.addRoundedRect(r, look.borderRound, look.borderRound);
  if (fill) painter.fillPath(path, look.bkColor);
  if (!image.isNull()) {
    painter.save();
    if (look.borderRound > 0) painter.setClipPath(path);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(self.rect(), image);
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

void SkinButton::PaintBelowContent(QWidget& self, QPainter& painter, const QRect& exposed) const {
  PaintBackground(self, painter, exposed);
  PaintStatusImage(painter);
  PaintFore(painter);
}

void SkinButton::PaintFore(QPainter& painter) const {
  if (forePixmap.isNull()) return;
  const QPoint at((width() - forePixmap.width()) / 2, (height() - forePixmap.height()) / 2);
  painter.drawPixmap(at, forePixmap);
}

void SkinButton::PaintStatusImage(QPainter& painter) const {
  if (const QPixmap* image = StateImage()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), *image);
  }
}

const QPixmap* SkinButton::StateImage() const {
  // QStringLiteral keys: the preview repaints the keys many times a second, without allocating.
  QString state = QStringLiteral("normalimage");
  if (!isEnabled())
    state = QStringLiteral("disabledimage");
  else if (isDown())
    state = QStringLiteral("pushedimage");
  else if (isChecked())
    state = QStringLiteral("selectedimage");
  else if (underMouse())
    state = QStringLiteral("hotimage");
  auto image = images.constFind(state);
  if (image == images.constEnd() || image->isNull()) image = images.constFind(QStringLiteral("normalimage"));
  return image != images.constEnd() && !image->isNull() ? &*image : nullptr;
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
