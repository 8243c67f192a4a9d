#pragma once
// Where the chart view draws: the pie with its legend rows, and the pillars of the histogram.
// Pure functions of the control's rectangle and the item values, so the rules are tested without
// painting. Values below 0 count as 0 in both views; a chart whose values add up to 0 (or whose
// pillar width is 0) has nothing to draw.

#include <QRect>
#include <span>
#include <vector>

namespace korva::ui::controls {

inline constexpr int kLegendWidth = 100;  // beside the pie, with show text
inline constexpr int kLegendRowStep = 22;
inline constexpr int kLegendSquare = 18;
inline constexpr int kLegendTextOffset = 23;   // label's left edge from the square's
inline constexpr int kHistogramTextBand = 25;  // below the pillars, with show text

struct PieLayout {
  QRect pie;            // the pie's bounding square (d x d)
  int legendTop = 0;    // top of the first legend row
  int legendLeft = 0;   // left edge of the legend squares
  int legendRight = 0;  // right end of the label column (exclusive)
};
PieLayout LayOutPie(const QRect& area, bool showText, int itemCount);

// The rectangle of legend row `row`: the colour square, and the label cell right of it.
QRect LegendSquare(const PieLayout& layout, int row);
QRect LegendLabel(const PieLayout& layout, int row);

struct Slice {
  double start = 0;  // degrees, clockwise from three o'clock
  double sweep = 0;
};
// One slice per value, each value / total x 360 after the previous one; empty when the total is 0.
std::vector<Slice> PieSlices(std::span<const double> values);

struct HistogramLayout {
  int chartBottom = 0;         // pillars stand on this line (exclusive bottom)
  int chartHeight = 0;         // height of the tallest pillar
  int gap = 0;                 // between pillars, and before the first
  std::vector<QRect> pillars;  // one per value; empty when the pillar width is 0 or below
};
HistogramLayout LayOutHistogram(const QRect& area, std::span<const double> values, int pillarWidth,
                                bool showText);
// The label cell of a pillar: below it, widened by the gap on both sides.
QRect PillarLabel(const HistogramLayout& layout, const QRect& pillar);

}  // namespace korva::ui::controls
