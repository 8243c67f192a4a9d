// The circle progress painted: background ellipse, foreground pie from six o'clock clockwise,
// white inner disc.

#include <gtest/gtest.h>

#include "ControlsTestSupport.h"

namespace korva::ui::test {
namespace {

constexpr QRgb kBack = qRgb(0, 0, 255);
constexpr QRgb kFore = qRgb(0, 255, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);

TEST(CircleProgress, PaintsThePartReachedAsARing) {
  ControlsSkin skin;
  ASSERT_TRUE(skin.Build(QStringLiteral(
      R"(<CircleProgress name="circle" pos="0,0" size="60,60" bkcolor="#FF0000FF" forecolor="#FF00FF00"/>)")));
  Control circle = skin.C("circle");
  // Ring points (25 pixels from the middle, inside the 10-pixel ring) by the hour of a clock.
  const QPoint nine(5, 30), three(55, 30), halfPastOne(48, 12), halfPastTen(12, 12), halfPastFour(48, 48);
  struct Row {
    const char* name;
    int minimum, maximum, value;
    std::vector<std::pair<QPoint, QRgb>> pixels;
  };
  const Row rows[] = {
      {"half: six o'clock round to twelve",
       0,
       100,
       50,
       {{nine, kFore}, {three, kBack}, {halfPastTen, kFore}}},
      {"three quarters", 0, 100, 75, {{halfPastTen, kFore}, {halfPastOne, kFore}, {halfPastFour, kBack}}},
      {"half of a range from 50", 50, 100, 75, {{nine, kFore}, {three, kBack}}},
      {"nothing reached", 0, 100, 0, {{nine, kBack}, {three, kBack}}},
      {"an empty range", 0, 0, 0, {{nine, kBack}, {three, kBack}, {halfPastFour, kBack}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    circle.SetRange(row.minimum, row.maximum);
    circle.SetValue(row.value);
    const QImage shot = ControlsSkin::Render(circle);
    for (const auto& [at, colour] : row.pixels)
      EXPECT_TRUE(Near(shot.pixel(at), colour)) << at.x() << "," << at.y();
    EXPECT_TRUE(Near(shot.pixel(30, 30), kWhite)) << "the inner disc";
    EXPECT_TRUE(Near(shot.pixel(0, 0), qRgb(0, 0, 0))) << "outside the circle nothing is painted";
  }
}

}  // namespace
}  // namespace korva::ui::test
