#include "ui/controls/ChartView.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>
#include <array>

#include "ui/controls/ChartGeometry.h"
#include "ui/controls/ControlSupport.h"

namespace korva::ui {

namespace {

// Slice and legend colours, item i taking entry i mod 18.
constexpr std::array<QRgb, 18> kPalette = {0xFF3F96F5, 0xFFFF5A01, 0xFF6AF4C0, 0xFFF5EA6A, 0xFFFC7B97,
                                           0xFFA2F53F, 0xFF9D90FC, 0xFFD290FC, 0xFF7FB0CB, 0xFFF4C471,
                                           0xFFA2C285, 0xFFBD1717, 0xFFBD17B3, 0xFF6117BD, 0xFF172BBD,
                                           0xFF12884C, 0xFF887912, 0xFF882612};

QColor SliceColour(std::size_t item) {
  return QColor::fromRgba(kPalette[item % kPalette.size()]);
}

// Qt counts angles anticlockwise in sixteenths of a degree; the chart's run clockwise.
int QtAngle(double degrees) {
  return static_cast<int>(-degrees * 16.0);
}

}  // namespace

bool CChartViewUI::SetSkinAttribute(const QString& name, const QString& value, QString* error) {
  using controls::IsAttribute;
  if (IsAttribute(name, "view")) {
    if (value == QLatin1String("pie"))
      SetView(View::kPie);
    else if (value == QLatin1String("histpgram"))
      SetView(View::kHistogram);
    return true;
  }
  if (IsAttribute(name, "shadowimage") || IsAttribute(name, "pillarimage")) {
    (IsAttribute(name, "shadowimage") ? shadowImage_ : pillarImage_) = value;
    update();
    return true;
  }
  if (IsAttribute(name, "shadowimageheight") || IsAttribute(name, "pillarimagewidth")) {
    const auto number = controls::ParseDecimal(value);
    if (!number) return controls::RefuseValue(name, value, error);
    (IsAttribute(name, "shadowimageheight") ? shadowHeight_ : pillarWidth_) = *number;
    update();
    return true;
  }
  if (IsAttribute(name, "showhtml") || IsAttribute(name, "showtext")) {
    (IsAttribute(name, "showhtml") ? showHtml_ : showText_) = controls::IsTrue(value);
    update();
    return true;
  }
  return false;
}

void CChartViewUI::AddItem(const QString& label, double value) {
  items_.push_back({label, value});
  update();
}

void CChartViewUI::RemoveAllItems() {
  items_.clear();
  update();
}

void CChartViewUI::SetView(View view) {
  view_ = view;
  update();
}

std::vector<double> CChartViewUI::Values() const {
  std::vector<double> values;
  values.reserve(items_.size());
  for (const Item& item : items_) values.push_back(item.value);
  return values;
}

void CChartViewUI::paintEvent(QPaintEvent* event) {
  SkinBox::paintEvent(event);
  QPainter painter(this);
  if (view_ == View::kPie)
    PaintPie(painter);
  else
    PaintHistogram(painter);
}

void CChartViewUI::PaintPie(QPainter& painter) {
  if (items_.empty()) return;
  const std::vector<controls::Slice> slices = controls::PieSlices(Values());
  const controls::PieLayout layout = controls::LayOutPie(rect(), showText_, static_cast<int>(items_.size()));
  const QRect& pie = layout.pie;
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor::fromRgba(0x1E1E1E1E));
  painter.drawEllipse(pie.adjusted(-4, -4, 4, 4));
  painter.setBrush(QColor::fromRgba(0x64646464));
  painter.drawEllipse(pie.adjusted(-1, -1, 1, 1));
  for (std::size_t i = 0; i < slices.size(); ++i) {
    painter.setBrush(SliceColour(i));
    painter.drawPie(pie, QtAngle(slices[i].start), QtAngle(slices[i].sweep));
  }
  if (!showText_) return;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const int row = static_cast<int>(i);
    painter.fillRect(controls::LegendSquare(layout, row), SliceColour(i));
    DrawLabel(painter, controls::LegendLabel(layout, row), items_[i].label, Qt::AlignLeft | Qt::AlignVCenter);
  }
}

void CChartViewUI::PaintHistogram(QPainter& painter) {
  const std::vector<double> values = Values();
  const controls::HistogramLayout layout = controls::LayOutHistogram(rect(), values, pillarWidth_, showText_);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  // An image that cannot be drawn is forgotten, so a bad name costs one look-up, not one per paint.
  if (!shadowImage_.isEmpty()) {
    const QPixmap shadow = controls::SkinImage(*this, shadowImage_);
    if (shadow.isNull())
      shadowImage_.clear();
    else if (shadowHeight_ > 0)
      painter.drawPixmap(QRect(0, layout.chartBottom - shadowHeight_, width(), shadowHeight_), shadow);
  }
  if (items_.empty()) return;
  QPixmap pillar = controls::SkinImage(*this, pillarImage_);
  if (pillar.isNull()) pillarImage_.clear();
  for (std::size_t i = 0; i < layout.pillars.size(); ++i) {
    const QRect& bar = layout.pillars[i];
    if (!pillar.isNull() && bar.height() > 0) painter.drawPixmap(bar, pillar);
    if (showText_) DrawLabel(painter, controls::PillarLabel(layout, bar), items_[i].label, Qt::AlignCenter);
  }
}

void CChartViewUI::DrawLabel(QPainter& painter, const QRect& cell, const QString& label,
                             Qt::Alignment align) const {
  const QColor colour = look.textColor.isValid() ? look.textColor : palette().color(QPalette::WindowText);
  if (!showHtml_) {
    painter.setPen(colour);
    painter.setFont(font());
    painter.drawText(cell, static_cast<int>(align) | Qt::TextSingleLine, label);
    return;
  }
  QTextDocument document;
  document.setDefaultFont(font());
  document.setDocumentMargin(0);
  document.setHtml(label);
  const QSizeF size = document.size();
  const double left =
      (align & Qt::AlignHCenter) ? cell.left() + (cell.width() - size.width()) / 2 : cell.left();
  painter.save();
  painter.translate(left, cell.top() + (cell.height() - size.height()) / 2);
  painter.setClipRect(QRectF(0, 0, cell.right() + 1 - left, size.height()));
  QAbstractTextDocumentLayout::PaintContext context;
  context.palette.setColor(QPalette::Text, colour);
  document.documentLayout()->draw(&painter, context);
  painter.restore();
}

}  // namespace korva::ui
