// A skinned widget's background (colour, round border, picture) painted for a piece of the widget
// alone, as the lighting preview repaints a key inside a large panel, gives the pixels that
// painting the whole widget gives there.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRegion>

#include "UiTestSupport.h"

namespace korva::ui::test {
namespace {

constexpr char kSkin[] = R"(<Window size="200,120">
  <VerticalLayout name="root" inset="10,10,10,10">
    <VerticalLayout name="panel" width="80" height="50" bkcolor="#B3121620" bkimage="shade.png"
                    borderround="8" bordercolor="#FF19C3F0" bordersize="1"/>
    <VerticalLayout name="square" width="80" height="50" bkcolor="#8000FF00" bordercolor="#FFFF0000"
                    bordersize="2"/>
    <Control/>
  </VerticalLayout>
</Window>)";

class SkinBackground : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    // A picture of the panel's own size whose every pixel differs: a piece taken from the wrong
    // place shows.
    QImage shade(80, 50, QImage::Format_ARGB32);
    for (int y = 0; y < shade.height(); ++y)
      for (int x = 0; x < shade.width(); ++x) shade.setPixel(x, y, qRgba(x * 3, y * 5, 200 - x, 60 + y * 3));
    ASSERT_TRUE(shade.save(files.Folder() + QStringLiteral("/shade.png")));
    files.Write(QStringLiteral("test.xml"), QString::fromUtf8(kSkin));
    skin = files.Open();
    window = std::make_unique<SkinWindow>(*skin);
    auto error = window->Build(QStringLiteral("XML_TEST"));
    ASSERT_FALSE(error) << error->ToString();
  }

  // The widget painted over an opaque ground, for `region` alone (empty: the whole widget).
  static QImage Painted(QWidget& widget, const QRegion& region) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0x30, 0x40, 0x50));
    widget.render(&image, region.boundingRect().topLeft(), region, QWidget::DrawChildren);
    return image;
  }

  TempSkin files;
  std::unique_ptr<Skin> skin;
  std::unique_ptr<SkinWindow> window;
};

TEST_F(SkinBackground, APieceIsPaintedAsTheWholeWidgetPaintsIt) {
  struct Case {
    const char* widget;
    QRect piece;
    const char* what;
  };
  const Case cases[] = {
      {"panel", QRect(20, 15, 30, 20), "inside, clear of border and corners"},
      {"panel", QRect(2, 12, 10, 26), "in the band beside the corners"},
      {"panel", QRect(0, 0, 12, 12), "over a round corner"},
      {"panel", QRect(40, 40, 40, 10), "over the border"},
      {"panel", QRect(0, 0, 80, 50), "the whole panel"},
      {"square", QRect(2, 2, 76, 46), "just inside a square border"},
      {"square", QRect(1, 1, 10, 10), "over a square border"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QWidget* widget = window->FindControl(QString::fromLatin1(c.widget)).Widget();
    ASSERT_NE(widget, nullptr);
    ASSERT_EQ(widget->size(), QSize(80, 50));
    const QImage whole = Painted(*widget, QRegion(widget->rect()));
    const QImage piece = Painted(*widget, QRegion(c.piece));
    int differing = 0;
    for (int y = c.piece.top(); y <= c.piece.bottom(); ++y)
      for (int x = c.piece.left(); x <= c.piece.right(); ++x) differing += piece.pixel(x, y) != whole.pixel(x, y);
    EXPECT_EQ(differing, 0);
    // Nothing beside the piece was painted.
    if (c.piece != widget->rect()) {
      const QPoint beside = c.piece.right() + 1 < widget->width() ? QPoint(c.piece.right() + 1, c.piece.top())
                                                                   : QPoint(c.piece.left() - 1, c.piece.top());
      EXPECT_EQ(piece.pixel(beside), qRgb(0x30, 0x40, 0x50));
    }
  }
}

}  // namespace
}  // namespace korva::ui::test
