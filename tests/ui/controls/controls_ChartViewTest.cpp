// The chart view painted: only the base control without items (and the shadow in histogram
// view), slices in the palette's colours, pillars from the pillar image, totals of 0.

#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "ui/controls/ChartView.h"

namespace korva::ui::test {
namespace {

constexpr QRgb kBack = qRgb(0x20, 0x20, 0x20);
constexpr QRgb kFirstSlice = 0xFF3F96F5;
constexpr QRgb kSecondSlice = 0xFFFF5A01;

class ChartView : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(skin.Build(QStringLiteral(
        R"(<ChartView name="chart" pos="0,0" size="200,100" bkcolor="#FF202020" showtext="false"/>)")));
    chart = dynamic_cast<CChartViewUI*>(skin.C("chart").Widget());
    ASSERT_TRUE(chart);
  }
  QImage Shot() const { return ControlsSkin::Render(skin.C("chart")); }
  // Every pixel of the rows [top, bottom) has the colour.
  static bool RowsAre(const QImage& shot, int top, int bottom, QRgb colour) {
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < shot.width(); ++x)
        if (!Near(shot.pixel(x, y), colour, 0)) return false;
    return true;
  }

  ControlsSkin skin;
  CChartViewUI* chart = nullptr;
};

TEST_F(ChartView, WithoutItemsOnlyTheBaseControlAndTheShadowArePainted) {
  EXPECT_TRUE(RowsAre(Shot(), 0, 100, kBack)) << "pie view";

  chart->SetView(CChartViewUI::View::kHistogram);
  ASSERT_TRUE(skin.C("chart").SetAttribute(QStringLiteral("pillarimage"), QStringLiteral("pillar.png")));
  ASSERT_TRUE(skin.C("chart").SetAttribute(QStringLiteral("pillarimagewidth"), QStringLiteral("20")));
  EXPECT_TRUE(RowsAre(Shot(), 0, 100, kBack)) << "histogram without shadow";

  ASSERT_TRUE(skin.C("chart").SetAttribute(QStringLiteral("shadowimage"), QStringLiteral("shadow.png")));
  ASSERT_TRUE(skin.C("chart").SetAttribute(QStringLiteral("shadowimageheight"), QStringLiteral("10")));
  const QImage shot = Shot();
  EXPECT_TRUE(RowsAre(shot, 0, 90, kBack));
  EXPECT_TRUE(RowsAre(shot, 90, 100, qRgb(0, 255, 0))) << "the shadow across the width at the bottom";
}

TEST_F(ChartView, PieSlicesFollowClockwiseFromThreeOClock) {
  // d = 90, centred: the pie spans x 55..145, y 5..95.
  chart->AddItem(QStringLiteral("a"), 1);
  chart->AddItem(QStringLiteral("b"), 3);
  const QImage shot = Shot();
  EXPECT_TRUE(Near(shot.pixel(120, 70), kFirstSlice)) << "a quarter: three to six o'clock";
  EXPECT_TRUE(Near(shot.pixel(80, 30), kSecondSlice));
  EXPECT_TRUE(Near(shot.pixel(120, 30), kSecondSlice));
  EXPECT_TRUE(Near(shot.pixel(10, 50), kBack)) << "beside the pie";
}

TEST_F(ChartView, ATotalOfZeroDrawsNoSlice) {
  chart->AddItem(QStringLiteral("a"), 0);
  chart->AddItem(QStringLiteral("b"), 0);
  const QImage shot = Shot();
  for (const QPoint at : {QPoint(120, 70), QPoint(80, 30)}) {
    EXPECT_FALSE(Near(shot.pixel(at), kFirstSlice, 40)) << at.x() << "," << at.y();
    EXPECT_FALSE(Near(shot.pixel(at), kSecondSlice, 40)) << at.x() << "," << at.y();
  }

  chart->SetView(CChartViewUI::View::kHistogram);
  ASSERT_TRUE(skin.C("chart").SetAttribute(QStringLiteral("pillarimage"), QStringLiteral("pillar.png")));
  ASSERT_TRUE(skin.C("chart").SetAttribute(QStringLiteral("pillarimagewidth"), QStringLiteral("20")));
  EXPECT_TRUE(RowsAre(Shot(), 0, 100, kBack)) << "flat pillars";
}

TEST_F(ChartView, PillarsAreDrawnWithThePillarImage) {
  chart->SetView(CChartViewUI::View::kHistogram);
  ASSERT_TRUE(skin.C("chart").SetAttribute(QStringLiteral("pillarimage"), QStringLiteral("pillar.png")));
  ASSERT_TRUE(skin.C("chart").SetAttribute(QStringLiteral("pillarimagewidth"), QStringLiteral("20")));
  chart->AddItem(QStringLiteral("a"), 4);
  chart->AddItem(QStringLiteral("b"), 2);
  // gap = 2 x (200 / 20) = 20: pillars at x 20..40 (full height) and 60..80 (half).
  const QImage shot = Shot();
  EXPECT_TRUE(Near(shot.pixel(30, 5), qRgb(255, 0, 0)));
  EXPECT_TRUE(Near(shot.pixel(70, 25), kBack)) << "above the half pillar";
  EXPECT_TRUE(Near(shot.pixel(70, 75), qRgb(255, 0, 0)));
  EXPECT_TRUE(Near(shot.pixel(50, 75), kBack)) << "between the pillars";
}

TEST_F(ChartView, AnImageThatCannotBeDrawnIsForgotten) {
  chart->SetView(CChartViewUI::View::kHistogram);
  chart->AddItem(QStringLiteral("a"), 1);
  ASSERT_TRUE(skin.C("chart").SetAttribute(QStringLiteral("shadowimage"), QStringLiteral("nowhere.png")));
  ASSERT_TRUE(skin.C("chart").SetAttribute(QStringLiteral("shadowimageheight"), QStringLiteral("10")));
  ASSERT_TRUE(skin.C("chart").SetAttribute(QStringLiteral("pillarimage"), QStringLiteral("missing.png")));
  EXPECT_TRUE(RowsAre(Shot(), 0, 100, kBack));
  EXPECT_EQ(chart->ShadowImage(), QString());
  EXPECT_EQ(chart->PillarImage(), QString());
}

TEST_F(ChartView, TheLegendAndLabelsArePaintedWithShowText) {
  ASSERT_TRUE(skin.C("chart").SetAttribute(QStringLiteral("showtext"), QStringLiteral("true")));
  ASSERT_TRUE(skin.C("chart").SetAttribute(QStringLiteral("textcolor"), QStringLiteral("#FFFFFFFF")));
  chart->AddItem(QStringLiteral("<b>W</b>"), 1);
  // 200 x 100 with the legend: w = 90, h = 90, d = 90; pie at (5, 5); first row at top 34.
  const QImage plain = Shot();
  EXPECT_TRUE(Near(plain.pixel(110, 40), kFirstSlice)) << "the legend square";
  ASSERT_TRUE(skin.C("chart").SetAttribute(QStringLiteral("showhtml"), QStringLiteral("true")));
  const QImage html = Shot();
  // The label cell is x 128..223 (cut by the control at 200), rows 34..52.
  auto lit = [](const QImage& shot) {
    int count = 0;
    for (int y = 34; y < 52; ++y)
      for (int x = 128; x < 200; ++x) count += qRed(shot.pixel(x, y)) > 0x80 ? 1 : 0;
    return count;
  };
  EXPECT_GT(lit(plain), 0) << "the label is written";
  EXPECT_GT(lit(plain), lit(html)) << "as html only the W is written, not the markup";
  EXPECT_GT(lit(html), 0);
}

}  // namespace
}  // namespace korva::ui::test
