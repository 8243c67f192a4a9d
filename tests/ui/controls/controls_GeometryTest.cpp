// Where the circle progress and the chart view draw, computed without painting.

#include <gtest/gtest.h>

#include <vector>

#include "ui/controls/ChartGeometry.h"
#include "ui/controls/CircleProgress.h"

namespace korva::ui::controls {
namespace {

TEST(CircleSweep, IsThePartOfTheRangeReachedInWholeDegrees) {
  struct Row {
    const char* name;
    int value, minimum, maximum;
    int degrees;
  };
  const Row rows[] = {
      {"half of 0..100", 50, 0, 100, 180},
      {"start of the range", 0, 0, 100, 0},
      {"end of the range", 100, 0, 100, 360},
      {"a range not starting at 0 counts from its minimum", 75, 50, 100, 180},
      {"a range below 0", -50, -100, 0, 180},
      {"cut, not rounded (51.4)", 1, 0, 7, 51},
      {"an empty range draws nothing", 5, 5, 5, 0},
      {"a reversed range draws nothing", 3, 10, 0, 0},
      {"a value above the range is held to it", 150, 0, 100, 360},
      {"a value below the range is held to it", -5, 0, 100, 0},
  };
  for (const Row& row : rows)
    EXPECT_EQ(CircleSweepDegrees(row.value, row.minimum, row.maximum), row.degrees) << row.name;
}

TEST(PieSlices, FollowEachOtherEachTheItemsShareOfTheTotal) {
  struct Row {
    const char* name;
    std::vector<double> values;
    std::vector<std::pair<double, double>> slices;  // start, sweep
  };
  const Row rows[] = {
      {"shares of the total", {1, 1, 2}, {{0, 90}, {90, 90}, {180, 180}}},
      {"one item is the whole circle", {7.5}, {{0, 360}}},
      {"a total of 0 draws no slice", {0, 0}, {}},
      {"no items", {}, {}},
      {"a value below 0 counts as 0", {-1, 1}, {{0, 0}, {0, 360}}},
      {"only values below 0: a total of 0", {-2, -3}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<Slice> slices = PieSlices(row.values);
    ASSERT_EQ(slices.size(), row.slices.size());
    for (std::size_t i = 0; i < slices.size(); ++i) {
      EXPECT_DOUBLE_EQ(slices[i].start, row.slices[i].first) << i;
      EXPECT_DOUBLE_EQ(slices[i].sweep, row.slices[i].second) << i;
    }
  }
}

TEST(PieLayout, CentresThePieAndStacksTheLegendBesideIt) {
  // 300 x 200 with the legend: w = 300 - 100 - 10 = 190, h = 190, d = 190.
  const PieLayout withText = LayOutPie(QRect(0, 0, 300, 200), true, 3);
  EXPECT_EQ(withText.pie, QRect(5, 5, 190, 190));
  EXPECT_EQ(withText.legendTop, (190 - 3 * 22) / 2);
  EXPECT_EQ(LegendSquare(withText, 1), QRect(205, 62 + 22, 18, 18));
  EXPECT_EQ(LegendLabel(withText, 0), QRect(228, 62, 5 + 190 + 100 + 28 - 228, 18));

  // Without the legend the pie is centred across the whole width.
  const PieLayout noText = LayOutPie(QRect(10, 20, 300, 200), false, 3);
  EXPECT_EQ(noText.pie, QRect(10 + 5 + 50, 20 + 5, 190, 190));

  // More rows than fit start at the top margin, not above it.
  EXPECT_EQ(LayOutPie(QRect(0, 40, 300, 200), true, 20).legendTop, 45);
  // A control too small for a pie gets an empty one.
  EXPECT_TRUE(LayOutPie(QRect(0, 0, 8, 8), false, 1).pie.isEmpty());
}

TEST(HistogramLayout, PillarsStandOnTheTextBandScaledToTheLargestValue) {
  // 200 x 100, pillars 20 wide: gap = 2 x (200 / 20) = 20; chart height 100 - 25 = 75.
  const HistogramLayout layout =
      LayOutHistogram(QRect(0, 0, 200, 100), std::vector<double>{10, 5, 0}, 20, true);
  EXPECT_EQ(layout.gap, 20);
  EXPECT_EQ(layout.chartBottom, 75);
  ASSERT_EQ(layout.pillars.size(), 3u);
  EXPECT_EQ(layout.pillars[0], QRect(20, 0, 20, 75));
  EXPECT_EQ(layout.pillars[1], QRect(60, 75 - 37, 20, 37)) << "37.5 is cut to 37";
  EXPECT_EQ(layout.pillars[2], QRect(100, 75, 20, 0));
  EXPECT_EQ(PillarLabel(layout, layout.pillars[1]), QRect(40, 75, 60, 25));

  const HistogramLayout noText = LayOutHistogram(QRect(0, 0, 200, 100), std::vector<double>{4}, 20, false);
  EXPECT_EQ(noText.pillars.at(0), QRect(20, 0, 20, 100)) << "without text the pillars use the whole height";
}

TEST(HistogramLayout, ZeroesDivideNothing) {
  struct Row {
    const char* name;
    std::vector<double> values;
    int pillarWidth;
    std::size_t pillars;
  };
  const Row rows[] = {
      {"pillar width 0: nothing to draw", {1, 2}, 0, 0},
      {"pillar width below 0: nothing to draw", {1, 2}, -3, 0},
      {"no items", {}, 20, 0},
      {"largest value 0: flat pillars", {0, 0}, 20, 2},
      {"only values below 0: flat pillars", {-1, -4}, 20, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const HistogramLayout layout = LayOutHistogram(QRect(0, 0, 200, 100), row.values, row.pillarWidth, true);
    ASSERT_EQ(layout.pillars.size(), row.pillars);
    for (const QRect& pillar : layout.pillars) EXPECT_EQ(pillar.height(), 0);
  }
}

}  // namespace
}  // namespace korva::ui::controls
