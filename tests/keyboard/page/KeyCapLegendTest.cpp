// Fitting a reassigned key's legend to its cap: a smaller font first, then two lines (at a word,
// next to an ideograph, else hyphenated), and cutting the text short only when nothing else fits.
// Measured in the skin's own fonts.

#include "keyboard/page/KeyCapLegend.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QStringList>

#include "tests/ui/ShippedSkinWindow.h"

namespace korva::keyboard {
namespace {

// The face of the skin's smallest key caps (22 x 22; the legend may reach over the one-pixel frame).
constexpr QSize kSmallCap{22, 22};

// Every line of `legend` fits `room` in the legend's font, which is no smaller than readable.
void ExpectFits(const KeyCapLegend& legend, QSize room) {
  const QFontMetrics metrics(legend.font);
  const QStringList lines = legend.text.split(QLatin1Char('\n'));
  ASSERT_LE(lines.size(), 2) << legend.text.toStdString();
  for (const QString& line : lines)
    EXPECT_LE(metrics.horizontalAdvance(line), room.width()) << '"' << line.toStdString() << "\" is cut off";
  const int height = metrics.height() + (lines.size() - 1) * metrics.lineSpacing();
  EXPECT_LE(height, room.height()) << legend.text.toStdString();
  EXPECT_GE(legend.font.pixelSize(), kSmallestLegendPixels);
}

struct LegendRow {
  const char* name;
  const char* text;
  int pixels;          // the key's own font size
  QSize room;
  int lines;           // lines of the legend
  bool smaller;        // in a smaller font than the key's own
  bool shortened;      // cut short with "…"
  const char* joined;  // the legend's lines joined with a space (unless shortened)
};

constexpr LegendRow kLegendRows[] = {
    {"FitsAsItIs", "F1", 9, kSmallCap, 1, false, false, "F1"},
    {"EmptyStaysEmpty", "", 9, kSmallCap, 1, false, false, ""},
    {"ShortWordInASmallerFont", "PrtSc", 12, kSmallCap, 1, true, false, "PrtSc"},
    {"BrokenAfterASlash", "Play/Pause", 9, kSmallCap, 2, true, false, "Play/ Pause"},
    {"BrokenAtASpace", "Scroll Lock", 9, kSmallCap, 2, true, false, "Scroll Lock"},
    {"ChineseBrokenBetweenCharacters", "媒体播放器", 9, kSmallCap, 2, true, false, nullptr},
    {"LongWordHyphenated", "Calculator", 9, kSmallCap, 2, true, false, nullptr},
    {"WideCapKeepsOneLine", "Play/Pause", 9, QSize(60, 20), 1, false, false, "Play/Pause"},
    {"LongNameCutShortOnTheSecondLine", "Fire all weapons at once", 9, kSmallCap, 2, true, true, nullptr},
    {"FlatCapCutShortOnOneLine", "Fire all weapons at once", 9, QSize(22, 16), 1, true, true, nullptr},
};

class KeyCapLegendTest : public ::testing::TestWithParam<LegendRow> {};

TEST_P(KeyCapLegendTest, FitsTheCapAsLargeAndWholeAsItCan) {
  const ui::Skin* skin = korva::test::SharedShippedSkin();
  ASSERT_NE(skin, nullptr);
  const LegendRow& row = GetParam();
  QFont font = skin->Font();
  font.setPixelSize(row.pixels);
  const QString text = QString::fromUtf8(row.text);

  const KeyCapLegend legend = FitKeyCapLegend(text, font, row.room);

  ExpectFits(legend, row.room);
  EXPECT_EQ(legend.text.split(QLatin1Char('\n')).size(), row.lines) << legend.text.toStdString();
  EXPECT_EQ(legend.font.pixelSize() < row.pixels, row.smaller) << legend.font.pixelSize();
  EXPECT_EQ(legend.font.family(), font.family());
  EXPECT_EQ(legend.shortened, row.shortened);
  EXPECT_EQ(legend.text.contains(QChar(0x2026)), row.shortened) << legend.text.toStdString();
  if (row.shortened) {
    // What is shown is the name's beginning.
    QString shown = legend.text;
    shown.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QChar(0x2026));
    EXPECT_TRUE(text.startsWith(shown.trimmed())) << shown.toStdString();
  } else if (row.joined) {
    EXPECT_EQ(QString(legend.text).replace(QLatin1Char('\n'), QLatin1Char(' ')), QString::fromUtf8(row.joined));
  } else {
    EXPECT_EQ(QString(legend.text).remove(QStringLiteral("-\n")).remove(QLatin1Char('\n')), text);
  }
}

INSTANTIATE_TEST_SUITE_P(Legends, KeyCapLegendTest, ::testing::ValuesIn(kLegendRows),
                         [](const ::testing::TestParamInfo<LegendRow>& info) { return info.param.name; });

}  // namespace
}  // namespace korva::keyboard
