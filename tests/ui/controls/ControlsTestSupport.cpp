#include "ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <cstdlib>

#include "ui/controls/StandardControls.h"

namespace korva::ui::test {

namespace {

void SaveImage(const TempSkin& files, const char* name, void (*draw)(QImage&)) {
  QImage image(4, 4, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  draw(image);
  ASSERT_TRUE(image.save(files.Folder() + QLatin1Char('/') + QLatin1String(name)));
}

}  // namespace

ControlsSkin::ControlsSkin() {
  EnsureApplication();
  files.Write(QStringLiteral("res.xml"), QStringLiteral(R"(<Resources>
  <File id="XML_TEST" path="test.xml"/>
  <Font family="DejaVu Sans" size="12"/>
  <Style path="style.qss"/>
</Resources>)"));
  files.Write(
      QStringLiteral("style.qss"),
      QStringLiteral("QPushButton { background: transparent; border: none; padding: 0; }\n"
                     "QPushButton[skinclass=\"keycap\"] { border: 2px solid #FF0000; color: #00FF00; }\n"
                     "QPushButton[skinclass=\"keycap\"]:hover { border-color: #0000FF; }"));
  SaveImage(files, "white.png", [](QImage& i) { i.fill(Qt::white); });
  SaveImage(files, "keyset.png", [](QImage& i) {
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 2; ++x) i.setPixel(x, y, qRgb(0, 0, 255));
  });
  SaveImage(files, "shadow.png", [](QImage& i) { i.fill(Qt::green); });
  SaveImage(files, "pillar.png", [](QImage& i) { i.fill(Qt::red); });
  skin = files.Open();
  if (skin) RegisterStandardControls(skin->Factory());
}

bool ControlsSkin::Build(const QString& body) {
  if (!skin) return false;
  files.Write(
      QStringLiteral("test.xml"),
      QStringLiteral(R"(<Window size="320,240"><VerticalLayout name="root">%1</VerticalLayout></Window>)")
          .arg(body));
  window = std::make_unique<SkinWindow>(*skin);
  const auto error = window->Build(QStringLiteral("XML_TEST"));
  EXPECT_FALSE(error) << error->ToString();
  return !error;
}

QImage ControlsSkin::Render(const Control& control) {
  QWidget* widget = control.Widget();
  QImage image(widget->size(), QImage::Format_ARGB32);
  image.fill(Qt::black);
  widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  return image;
}

::testing::AssertionResult Near(QRgb actual, QRgb expected, int tolerance) {
  const bool near = std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
                    std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
                    std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
  if (near) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "pixel #" << std::hex << (actual & 0xFFFFFFu) << " is not near #" << (expected & 0xFFFFFFu);
}

}  // namespace korva::ui::test
