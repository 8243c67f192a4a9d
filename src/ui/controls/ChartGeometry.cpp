#include "ui/controls/ChartGeometry.h"

#include <algorithm>

namespace korva::ui::controls {

namespace {

double Counted(double value) {
  return value > 0 ? value : 0.0;
}

}  // namespace

PieLayout LayOutPie(const QRect& area, bool showText, int itemCount) {
  const int legend = showText ? kLegendWidth : 0;
  const int w = area.width() - legend - 10;
  const int h = area.height() - 10;
  const int d = std::max(0, std::min(w, h));
  PieLayout layout;
  layout.pie = QRect(area.left() + 5 + (w - d) / 2, area.top() + 5 + (h - d) / 2, d, d);
  layout.legendTop = std::max(area.top() + (h - kLegendRowStep * itemCount) / 2, area.top() + 5);
  layout.legendLeft = layout.pie.left() + d + 10;
  layout.legendRight = layout.pie.left() + d + legend + 28;
  return layout;
}

QRect LegendSquare(const PieLayout& layout, int row) {
  return QRect(layout.legendLeft, layout.legendTop + row * kLegendRowStep, kLegendSquare, kLegendSquare);
}

QRect LegendLabel(const PieLayout& layout, int row) {
  const int left = layout.legendLeft + kLegendTextOffset;
  return QRect(left, layout.legendTop + row * kLegendRowStep, std::max(0, layout.legendRight - left),
               kLegendSquare);
}

std::vector<Slice> PieSlices(std::span<const double> values) {
  double total = 0;
  for (double v : values) total += Counted(v);
  std::vector<Slice> slices;
  if (!(total > 0)) return slices;
  slices.reserve(values.size());
  double start = 0;
  for (double v : values) {
    const double sweep = Counted(v) / total * 360.0;
    slices.push_back({start, sweep});
    start += sweep;
  }
  return slices;
}

HistogramLayout LayOutHistogram(const QRect& area, std::span<const double> values, int pillarWidth,
                                bool showText) {
  HistogramLayout layout;
  const int band = showText ? kHistogramTextBand : 0;
  layout.chartBottom = area.top() + area.height() - band;
  layout.chartHeight = std::max(0, area.height() - band);
  if (pillarWidth <= 0 || values.empty()) return layout;
  layout.gap = 2 * (area.width() / pillarWidth);
  double maximum = 0;
  for (double v : values) maximum = std::max(maximum, Counted(v));
  layout.pillars.reserve(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    const int height = maximum > 0 ? static_cast<int>(Counted(values[i]) / maximum * layout.chartHeight) : 0;
    const int left = area.left() + layout.gap + static_cast<int>(i) * (pillarWidth + layout.gap);
    layout.pillars.emplace_back(left, layout.chartBottom - height, pillarWidth, height);
  }
  return layout;
}

QRect PillarLabel(const HistogramLayout& layout, const QRect& pillar) {
  return QRect(pillar.left() - layout.gap, layout.chartBottom, pillar.width() + 2 * layout.gap,
               kHistogramTextBand);
}

}  // namespace korva::ui::controls
