// The device key's picture: the light image tinted and faded by the preview's values, the light
// switch, the key-set overlay, the shared cache of tints, and the Button behaviour the key pages
// rely on.

#include <gtest/gtest.h>

#include <QFont>
#include <QPalette>
#include <functional>
#include <utility>

#include "ControlsTestSupport.h"
#include "ui/ControlFactory.h"
#include "ui/controls/DeviceKeyButton.h"
#include "ui/controls/LightTintCache.h"

namespace korva::ui::test {
namespace {

using controls::LightTintCache;

constexpr char kBody[] = R"(
  <DeviceKeyButton name="lit" pos="0,0" size="20,20" lightimage="white.png" keysetimage="keyset.png"/>
  <DeviceKeyButton name="plain" pos="30,0" size="20,20"/>
  <DeviceKeyButton name="broken" pos="60,0" size="20,20" lightimage="nowhere.png"/>
  <DeviceKeyButton name="esc" pos="90,0" size="40,20" text="Esc"/>
  <DeviceKeyButton name="tab" pos="140,0" size="40,20" text="Tab" lightimage="white.png" bkcolor="#FF1A1E26" textcolor="#FFB8C2D0"/>
  <DeviceKeyButton name="cap" pos="190,0" size="40,20" text="W" style="keycap"/>
  <Button name="capbutton" pos="240,0" size="40,20" text="W" style="keycap"/>
)";

class DeviceKey : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(skin.skin);
    // A cache of the test's own, to see when a tint is made.
    skin.skin->Factory().Register(QStringLiteral("CDeviceKeyButtonUI"),
                                  [this] { return new CDeviceKeyButtonUI(lights); });
    ASSERT_TRUE(skin.Build(QString::fromLatin1(kBody)));
  }
  CDeviceKeyButtonUI* Key(const char* name) {
    return dynamic_cast<CDeviceKeyButtonUI*>(skin.C(name).Widget());
  }
  QRgb Pixel(const char* name, int x, int y) { return ControlsSkin::Render(skin.C(name)).pixel(x, y); }
  void Light(const char* name, quint32 rgb, int alpha, bool on = true) {
    Control key = skin.C(name);
    key.SetChangerColor(rgb);
    key.SetChangerAlpha(alpha);
    key.SetLightOn(on);
  }

  std::shared_ptr<LightTintCache> lights = std::make_shared<LightTintCache>();
  ControlsSkin skin;
};

TEST_F(DeviceKey, TheLightImageIsTintedAndFadedByTheAlpha) {
  struct Row {
    const char* name;
    quint32 tint;
    int alpha;
    bool on;
    QRgb expected;  // the middle of the key, over black
  };
  const Row rows[] = {
      {"full alpha shows the tint on a white light", 0x00FF8000, 255, true, qRgb(255, 128, 0)},
      {"half alpha shows half of it", 0x00FF8000, 128, true, qRgb(128, 64, 0)},
      {"another colour", 0x000020C0, 255, true, qRgb(0, 32, 192)},
      {"alpha 0 shows no light", 0x00FF8000, 0, true, qRgb(0, 0, 0)},
      {"the light switched off shows no light", 0x00FF8000, 255, false, qRgb(0, 0, 0)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Light("lit", row.tint, row.alpha, row.on);
    EXPECT_TRUE(Near(Pixel("lit", 15, 10), row.expected));
  }
}

TEST_F(DeviceKey, TheKeySetOverlayIsDrawnUntintedOnlyWhileNotHidden) {
  Light("lit", 0x00FF0000, 255);
  ASSERT_TRUE(Key("lit")->IsKeySetHidden()) << "hidden at start";
  EXPECT_TRUE(Near(Pixel("lit", 3, 10), qRgb(255, 0, 0))) << "hidden: the light shows";

  Key("lit")->SetKeySetHidden(false);
  EXPECT_TRUE(Near(Pixel("lit", 3, 10), qRgb(0, 0, 255))) << "the overlay is above the light, untinted";
  EXPECT_TRUE(Near(Pixel("lit", 16, 10), qRgb(255, 0, 0))) << "its transparent part shows the light";

  skin.C("lit").SetLightOn(false);
  EXPECT_TRUE(Near(Pixel("lit", 3, 10), qRgb(0, 0, 255))) << "the overlay does not follow the light switch";
  EXPECT_TRUE(Near(Pixel("lit", 16, 10), qRgb(0, 0, 0)));
}

// A moving light repaints only the light: the key's frame and text are painted once and kept, and
// painted again when something they are made of changes (here the text).
TEST_F(DeviceKey, TheKeyUnderAndOverTheLightIsPaintedOnceForAMovingLight) {
  Light("esc", 0x00FF0000, 255);
  const QImage first = ControlsSkin::Render(skin.C("esc"));
  const int paints = Key("esc")->LayerPaints();
  for (quint32 tint : {0x0000FF00u, 0x000000FFu, 0x00FFFF00u}) {
    Light("esc", tint, 200);
    ControlsSkin::Render(skin.C("esc"));
  }
  EXPECT_EQ(Key("esc")->LayerPaints(), paints);
  Light("esc", 0x00FF0000, 255);
  EXPECT_EQ(ControlsSkin::Render(skin.C("esc")), first) << "the same light looks as it did";

  skin.C("esc").SetText(QStringLiteral("Tab"));
  const QImage renamed = ControlsSkin::Render(skin.C("esc"));
  EXPECT_GT(Key("esc")->LayerPaints(), paints);
  EXPECT_NE(renamed, first) << "the new text shows";

  // A new style class (the sheet draws another frame) is a change of what the layers are made of.
  const int renamedPaints = Key("esc")->LayerPaints();
  skin.C("esc").Widget()->setProperty("skinclass", QStringLiteral("another"));
  ControlsSkin::Render(skin.C("esc"));
  EXPECT_GT(Key("esc")->LayerPaints(), renamedPaints);

  // So are a new font and a new palette (the legend's size and colour).
  QWidget* key = skin.C("esc").Widget();
  const std::pair<const char*, std::function<void()>> changes[] = {
      {"font", [key] { key->setFont(QFont(key->font().family(), key->font().pointSize() + 4)); }},
      {"palette",
       [key] {
         QPalette palette = key->palette();
         palette.setColor(QPalette::ButtonText, Qt::yellow);
         key->setPalette(palette);
       }},
  };
  for (const auto& [what, change] : changes) {
    const int before = Key("esc")->LayerPaints();
    change();
    ControlsSkin::Render(skin.C("esc"));
    EXPECT_GT(Key("esc")->LayerPaints(), before) << what;
  }
}

// A key takes no sheet of its own (a hundred keys would cost a megabyte of Qt's sheet caches) and
// still looks as the sheet paints a button of its style class, and follows its rule for the
// pointer.
TEST_F(DeviceKey, AKeyLooksAsTheSheetPaintsAButtonOfItsClass) {
  QWidget* key = skin.C("cap").Widget();
  QWidget* button = skin.C("capbutton").Widget();
  skin.window->show();
  EXPECT_FALSE(key->testAttribute(Qt::WA_StyleSheet));
  ASSERT_TRUE(button->testAttribute(Qt::WA_StyleSheet));
  const QImage away = ControlsSkin::Render(skin.C("cap"));
  EXPECT_EQ(away, ControlsSkin::Render(skin.C("capbutton")));
  EXPECT_TRUE(Near(away.pixel(0, 10), qRgb(255, 0, 0))) << "the class's frame";
  EXPECT_TRUE(Near(away.pixel(5, 10), qRgb(0, 0, 0))) << "its transparent ground";
  key->setAttribute(Qt::WA_UnderMouse, true);
  EXPECT_TRUE(Near(ControlsSkin::Render(skin.C("cap")).pixel(0, 10), qRgb(0, 0, 255)))
      << "the frame under the pointer";
}

TEST_F(DeviceKey, WithoutALightImageTheKeyGlowsInItsOwnShape) {
  for (const char* name : {"plain", "broken"}) {
    SCOPED_TRACE(name);
    Light(name, 0x0000FF00, 255);
    const QImage shot = ControlsSkin::Render(skin.C(name));
    EXPECT_TRUE(Near(shot.pixel(10, 10), qRgb(0, 255, 0), 8)) << "brightest in the middle";
    EXPECT_GT(qGreen(shot.pixel(10, 10)), qGreen(shot.pixel(2, 10)) + 40) << "fading towards the edge";
    EXPECT_EQ(qGreen(shot.pixel(0, 0)), 0) << "the corner is outside the rounded shape";
  }
  EXPECT_EQ(Key("broken")->LightImage(), QString()) << "an image that cannot be loaded is dropped";
}

// A light grey legend on a yellow light: the legend is drawn over a halo of the key's dark
// background colour, so dark pixels outline it.
TEST_F(DeviceKey, ALegendStaysReadableUnderABrightLight) {
  const auto darkPixels = [this] {
    const QImage shot = ControlsSkin::Render(skin.C("tab"));
    int dark = 0;
    for (int y = 3; y < shot.height() - 3; ++y)
      for (int x = 3; x < shot.width() - 3; ++x) dark += qGray(shot.pixel(x, y)) < 80 ? 1 : 0;
    return dark;
  };
  Light("tab", 0x00FFFF00, 255);
  EXPECT_GT(darkPixels(), 10) << "the legend is outlined";
}

TEST_F(DeviceKey, EachTintIsMadeOnceAndSharedByTheKeys) {
  Light("lit", 0x00102030, 200);
  Pixel("lit", 10, 10);
  const quint64 first = lights->Made();
  EXPECT_GE(first, 1u);

  // Another alpha, the same tint again, and another key with the same image size and tint.
  skin.C("lit").SetChangerAlpha(90);
  Pixel("lit", 10, 10);
  Pixel("lit", 10, 10);
  EXPECT_EQ(lights->Made(), first) << "the alpha is the opacity, not a new tint";

  Light("plain", 0x00102030, 200);
  Pixel("plain", 10, 10);
  const quint64 second = lights->Made();
  EXPECT_EQ(second, first + 1) << "another light image is another tint";
  Light("broken", 0x00102030, 200);
  Pixel("broken", 10, 10);
  EXPECT_EQ(lights->Made(), second) << "keys of one size without light image share the default light's tint";

  skin.C("lit").SetChangerColor(0x00405060);
  Pixel("lit", 10, 10);
  skin.C("lit").SetChangerColor(0x00102030);
  Pixel("lit", 10, 10);
  EXPECT_EQ(lights->Made(), second + 1) << "a colour that comes back is taken from the cache";
}

TEST_F(DeviceKey, KeepsTheButtonBehaviourOfTheKeyPages) {
  Recorder recorder;
  skin.window->AddNotifier(&recorder);
  auto* esc = Key("esc");
  ASSERT_TRUE(esc);
  esc->click();
  ASSERT_EQ(recorder.received.size(), 1u);
  EXPECT_EQ(recorder.received[0].type, QStringLiteral("click"));
  EXPECT_EQ(recorder.received[0].name, QStringLiteral("esc"));

  Control key = skin.C("esc");
  EXPECT_EQ(key.Class(), QStringLiteral("DeviceKeyButton"));
  EXPECT_EQ(key.Text(), QStringLiteral("Esc"));
  key.SetText(QStringLiteral("hello_text"));
  EXPECT_EQ(key.Text(), QStringLiteral("Hello"));
  key.SetEnabled(false);
  esc->click();
  EXPECT_EQ(recorder.received.size(), 1u) << "a disabled key is not clicked";
  skin.window->RemoveNotifier(&recorder);
}

TEST(LightTintCache, TintMultipliesEachChannelAndKeepsTheLightsAlpha) {
  QImage light(2, 1, QImage::Format_ARGB32);
  light.setPixel(0, 0, qRgba(255, 255, 255, 255));
  light.setPixel(1, 0, qRgba(128, 255, 0, 255));
  const QImage tinted = controls::TintImage(light, qRgb(200, 100, 50)).convertToFormat(QImage::Format_ARGB32);
  EXPECT_EQ(tinted.pixel(0, 0), qRgba(200, 100, 50, 255));
  EXPECT_EQ(tinted.pixel(1, 0), qRgba(100, 100, 0, 255));

  QImage half(1, 1, QImage::Format_ARGB32);
  half.setPixel(0, 0, qRgba(255, 255, 255, 128));
  const QRgb faded =
      controls::TintImage(half, qRgb(255, 0, 0)).convertToFormat(QImage::Format_ARGB32).pixel(0, 0);
  EXPECT_EQ(qAlpha(faded), 128);
  EXPECT_TRUE(Near(faded, qRgb(255, 0, 0), 1)) << "a half-transparent light keeps its colour";
}

TEST(LightTintCache, KeepsWithinItsBudgetDroppingTheLeastRecentlyUsed) {
  test::EnsureApplication();
  QImage white(4, 4, QImage::Format_ARGB32);
  white.fill(Qt::white);
  const QPixmap light = QPixmap::fromImage(white);
  const QSize size(4, 4);  // 64 bytes a tint
  LightTintCache cache(200);
  for (QRgb tint : {1u, 2u, 3u}) cache.Tinted(light, size, tint);
  ASSERT_EQ(cache.Made(), 3u);
  cache.Tinted(light, size, 1u);  // used again: the newest now
  cache.Tinted(light, size, 4u);  // does not fit: the oldest go
  EXPECT_LE(cache.Bytes(), 200);
  EXPECT_EQ(cache.Bytes(), cache.Count() * 64);
  const quint64 made = cache.Made();
  cache.Tinted(light, size, 4u);
  cache.Tinted(light, size, 1u);
  EXPECT_EQ(cache.Made(), made) << "the two most recently used stay";
  cache.Tinted(light, size, 2u);
  EXPECT_EQ(cache.Made(), made + 1) << "the least recently used was dropped";
  EXPECT_EQ(cache.Tinted(QPixmap(), size, 1u), nullptr);
  EXPECT_EQ(cache.Tinted(light, QSize(0, 4), 1u), nullptr);
}

}  // namespace
}  // namespace korva::ui::test
