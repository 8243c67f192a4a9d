#include "ui/controls/CircleProgress.h"

#include <QPainter>
#include <algorithm>

#include "ui/controls/ControlSupport.h"

namespace korva::ui {

namespace controls {

int CircleSweepDegrees(int value, int minimum, int maximum) {
  if (maximum <= minimum) return 0;
  const double reached = (static_cast<double>(std::clamp(value, minimum, maximum)) - minimum) /
                         (static_cast<double>(maximum) - minimum);
  return static_cast<int>(reached * 360.0);
}

}  // namespace controls

CCircleProgressUI::CCircleProgressUI(QWidget* parent) : SkinProgress(parent) {
  setTextVisible(false);
  setFormat(QStringLiteral("%p%"));
}

void CCircleProgressUI::SetForeColor(const QColor& colour) {
  foreColor_ = colour;
  update();
}

bool CCircleProgressUI::SetSkinAttribute(const QString& name, const QString& value, QString* error) {
  if (controls::IsAttribute(name, "forecolor")) {
    QColor colour;
    if (!value.isEmpty() && value != QLatin1String("0") && !detail::ParseColor(value, colour))
      return controls::RefuseValue(name, value, error);
    SetForeColor(colour);
    return true;
  }
  if (controls::IsAttribute(name, "showtext")) {
    setTextVisible(controls::IsTrue(value));
    return true;
  }
  return false;
}

void CCircleProgressUI::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  const QRect area = rect();
  if (look.bkColor.isValid()) {
    painter.setBrush(look.bkColor);
    painter.drawEllipse(area);
  }
  if (const QPixmap& image = look.bkPixmap.Get(); !image.isNull()) painter.drawPixmap(area, image);

  // Qt counts angles anticlockwise in sixteenths of a degree from three o'clock; the pie starts at
  // six o'clock and grows clockwise.
  const int sweep = controls::CircleSweepDegrees(value(), minimum(), maximum());
  if (foreColor_.isValid() && sweep > 0) {
    painter.setBrush(foreColor_);
    painter.drawPie(area, -90 * 16, -sweep * 16);
  }
  const QRect inner = area.adjusted(controls::kCircleRingInset, controls::kCircleRingInset,
                                    -controls::kCircleRingInset, -controls::kCircleRingInset);
  if (inner.isValid()) {
    painter.setBrush(QColor(0xFF, 0xFF, 0xFF));
    painter.drawEllipse(inner);
  }
  if (isTextVisible()) {
    painter.setPen(look.textColor.isValid() ? look.textColor : palette().color(QPalette::WindowText));
    painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, text());
  }
}

}  // namespace korva::ui
