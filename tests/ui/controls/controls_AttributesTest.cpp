// The attributes of the custom controls, from the skin file and through Control::SetAttribute:
// own names compare without regard to case, the rest goes to the base control, a value that does
// not read is refused with a message and changes nothing.

#include <gtest/gtest.h>

#include <functional>

#include "ControlsTestSupport.h"
#include "ui/controls/ChartView.h"
#include "ui/controls/CircleProgress.h"
#include "ui/controls/DeviceKeyButton.h"
#include "ui/controls/WndHost.h"

namespace korva::ui::test {
namespace {

constexpr char kBody[] = R"(
  <ChartView name="chart" View="histpgram" SHOWTEXT="false" PillarImageWidth="12" height="60"/>
  <CircleProgress name="circle" forecolor="#FF00FF00" min="0" max="10" value="4" size="40,40"/>
  <DeviceKeyButton name="key" size="20,20" LightImage="white.png" gmNameTextColor="#00FF00" text="Esc"/>
  <Wnd name="host" height="20"/>
)";

template <class W>
W* As(const Control& control) {
  return dynamic_cast<W*>(control.Widget());
}

class Attributes : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(skin.Build(QString::fromLatin1(kBody))); }
  ControlsSkin skin;
};

TEST_F(Attributes, TheSkinFileSetsThemWhateverTheCaseOfTheirNames) {
  auto* chart = As<CChartViewUI>(skin.C("chart"));
  ASSERT_TRUE(chart);
  EXPECT_EQ(chart->GetView(), CChartViewUI::View::kHistogram);
  EXPECT_FALSE(chart->ShowText());
  EXPECT_EQ(chart->PillarImageWidth(), 12);
  auto* circle = As<CCircleProgressUI>(skin.C("circle"));
  ASSERT_TRUE(circle);
  EXPECT_EQ(circle->ForeColor(), QColor(0, 255, 0));
  EXPECT_EQ(skin.C("circle").Value(), 4) << "min, max and value are the progress control's";
  auto* key = As<CDeviceKeyButtonUI>(skin.C("key"));
  ASSERT_TRUE(key);
  EXPECT_EQ(key->LightImage(), QStringLiteral("white.png"));
  EXPECT_EQ(skin.C("key").Text(), QStringLiteral("Esc"));
  EXPECT_TRUE(As<CWndUI>(skin.C("host")));
}

TEST_F(Attributes, SetOnABuiltControl) {
  struct Row {
    const char* name;
    const char* control;
    const char* attribute;
    const char* value;
    const char* error;  // nullptr: accepted; else a part of the message
    std::function<void(ControlsSkin&)> check;
  };
  auto chart = [](ControlsSkin& s) { return As<CChartViewUI>(s.C("chart")); };
  auto circle = [](ControlsSkin& s) { return As<CCircleProgressUI>(s.C("circle")); };
  auto key = [](ControlsSkin& s) { return As<CDeviceKeyButtonUI>(s.C("key")); };
  using View = CChartViewUI::View;
  const Row rows[] = {
      {"view pie", "chart", "VIEW", "pie", nullptr,
       [&](ControlsSkin& s) { EXPECT_EQ(chart(s)->GetView(), View::kPie); }},
      {"view histogram (as the skins spell it)", "chart", "view", "histpgram", nullptr,
       [&](ControlsSkin& s) { EXPECT_EQ(chart(s)->GetView(), View::kHistogram); }},
      {"another view keeps the view", "chart", "view", "bar", nullptr,
       [&](ControlsSkin& s) { EXPECT_EQ(chart(s)->GetView(), View::kHistogram); }},
      {"the view word keeps its case", "chart", "view", "PIE", nullptr,
       [&](ControlsSkin& s) { EXPECT_EQ(chart(s)->GetView(), View::kHistogram); }},
      {"shadow image", "chart", "ShadowImage", "shadow.png", nullptr,
       [&](ControlsSkin& s) { EXPECT_EQ(chart(s)->ShadowImage(), QStringLiteral("shadow.png")); }},
      {"pillar image", "chart", "pillarimage", "pillar.png", nullptr,
       [&](ControlsSkin& s) { EXPECT_EQ(chart(s)->PillarImage(), QStringLiteral("pillar.png")); }},
      {"shadow height", "chart", "shadowimageheight", " 9 ", nullptr,
       [&](ControlsSkin& s) { EXPECT_EQ(chart(s)->ShadowImageHeight(), 9); }},
      {"a height that is no number", "chart", "shadowimageheight", "9px", "bad value '9px'",
       [&](ControlsSkin& s) { EXPECT_EQ(chart(s)->ShadowImageHeight(), 9); }},
      {"a width that is no number", "chart", "PILLARIMAGEWIDTH", "", "bad value ''",
       [&](ControlsSkin& s) { EXPECT_EQ(chart(s)->PillarImageWidth(), 12); }},
      {"show html", "chart", "showhtml", "true", nullptr,
       [&](ControlsSkin& s) { EXPECT_TRUE(chart(s)->ShowHtml()); }},
      {"show text is true only for \"true\"", "chart", "showtext", "TRUE", nullptr,
       [&](ControlsSkin& s) { EXPECT_FALSE(chart(s)->ShowText()); }},
      {"show text", "chart", "showtext", "true", nullptr,
       [&](ControlsSkin& s) { EXPECT_TRUE(chart(s)->ShowText()); }},
      {"the chart's base control takes the rest", "chart", "bkcolor", "#FF102030", nullptr,
       [](ControlsSkin& s) { EXPECT_EQ(s.C("chart").BkColor(), 0xFF102030u); }},
      {"the font is the base control's", "chart", "font", "9", nullptr,
       [](ControlsSkin& s) { EXPECT_EQ(s.C("chart").Widget()->font().pixelSize(), 9); }},
      {"a bad font is the base control's error", "chart", "font", "big", "bad value 'big'", nullptr},
      {"fore colour", "circle", "ForeColor", "#FFFF0000", nullptr,
       [&](ControlsSkin& s) { EXPECT_EQ(circle(s)->ForeColor(), QColor(255, 0, 0)); }},
      {"a fore colour that does not read", "circle", "forecolor", "red", "bad value 'red'",
       [&](ControlsSkin& s) { EXPECT_EQ(circle(s)->ForeColor(), QColor(255, 0, 0)); }},
      {"the circle's value is the progress control's", "circle", "value", "7", nullptr,
       [](ControlsSkin& s) { EXPECT_EQ(s.C("circle").Value(), 7); }},
      {"show the value", "circle", "showtext", "true", nullptr,
       [&](ControlsSkin& s) { EXPECT_TRUE(circle(s)->isTextVisible()); }},
      {"key-set image", "key", "KEYSETIMAGE", "keyset.png", nullptr,
       [&](ControlsSkin& s) { EXPECT_EQ(key(s)->KeySetImage(), QStringLiteral("keyset.png")); }},
      {"no light image", "key", "lightimage", "", nullptr,
       [&](ControlsSkin& s) { EXPECT_EQ(key(s)->LightImage(), QString()); }},
      {"gmnametextcolor is taken and changes nothing", "key", "GmNameTextColor", "#FF0000", nullptr,
       [](ControlsSkin& s) {
         EXPECT_EQ(s.C("key").TextColor(), 0u);
         EXPECT_EQ(s.C("key").Text(), QStringLiteral("Esc"));
       }},
      {"the key's other attributes are the button's", "key", "normalimage", "white.png", nullptr,
       [](ControlsSkin& s) {
         EXPECT_EQ(s.C("key").Attribute(QStringLiteral("normalimage")), QStringLiteral("white.png"));
       }},
      {"a button's bad image is the button's error", "key", "hotimage", "nowhere.png", "nowhere.png",
       nullptr},
      {"an attribute no one knows", "key", "lightimages", "white.png", "unknown attribute 'lightimages'",
       nullptr},
      {"the host has no chart attributes", "host", "view", "pie", "unknown attribute 'view'", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QString error;
    const bool ok =
        skin.C(row.control)
            .SetAttribute(QString::fromLatin1(row.attribute), QString::fromLatin1(row.value), &error);
    if (row.error) {
      EXPECT_FALSE(ok);
      EXPECT_TRUE(error.contains(QString::fromLatin1(row.error))) << error.toStdString();
    } else {
      EXPECT_TRUE(ok) << error.toStdString();
    }
    if (row.check) row.check(skin);
  }
}

TEST_F(Attributes, ABadValueInTheSkinFileFailsTheBuildAtItsLine) {
  ControlsSkin other;
  other.files.Write(QStringLiteral("test.xml"), QStringLiteral(R"(<Window size="100,100">
<VerticalLayout name="root">
  <ChartView pillarimagewidth="wide"/>
</VerticalLayout>
</Window>)"));
  other.window = std::make_unique<SkinWindow>(*other.skin);
  const auto error = other.window->Build(QStringLiteral("XML_TEST"));
  ASSERT_TRUE(error);
  EXPECT_EQ(error->line, 3u) << error->ToString();
  EXPECT_NE(error->ToString().find("wide"), std::string::npos) << error->ToString();
}

}  // namespace
}  // namespace korva::ui::test
