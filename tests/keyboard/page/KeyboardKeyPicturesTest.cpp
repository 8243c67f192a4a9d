// The keyboard's two pictures in the shipped skin, in both languages: a key of the lighting page
// with its light off draws its legend where and as large as the same key of the key page, in the
// font the skin gives it (the lighting page draws its keys through a layer of its own, which must not
// fall back to the application's font and cut "PrtSc" off on a 22-pixel key).

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <cstdlib>
#include <QStringList>
#include <QTemporaryDir>

#include "keyboard/KeyTables.h"
#include "tests/ui/ShippedSkinWindow.h"

namespace korva::keyboard {
namespace {

// The box around a key's legend as drawn: its light pixels (the caps and frames are dark).
QRect LegendInk(QWidget* widget) {
  QImage image(widget->size(), QImage::Format_ARGB32);
  image.fill(Qt::black);
  widget->render(&image);
  QRect ink;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) > 100) ink |= QRect(x, y, 1, 1);
  return ink;
}

// Whether two boxes are the same but for a pixel of smoothing at an edge.
bool SameBox(const QRect& a, const QRect& b) {
  return std::abs(a.left() - b.left()) <= 1 && std::abs(a.right() - b.right()) <= 1 &&
         std::abs(a.top() - b.top()) <= 1 && std::abs(a.bottom() - b.bottom()) <= 1;
}

TEST(KeyboardKeyPictures, ALightingKeyWithItsLightOffLooksLikeTheSameKeyOfTheKeyPage) {
  korva::test::EnsureQtApplication();
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  for (const char* language : {"lan_en.xml", "lan_cn.xml"}) {
    SCOPED_TRACE(language);
    std::string error;
    std::unique_ptr<ui::Skin> skin = korva::test::OpenShippedSkin(QString::fromLatin1(language), error);
    ASSERT_TRUE(skin) << error;
    korva::test::ShippedPageWindow keys(*skin);
    korva::test::ShippedPageWindow lights(*skin);
    auto built = korva::test::BuildShippedPage(keys, QDir(folder.path()), "kb_Key_UI");
    ASSERT_FALSE(built) << *built;
    built = korva::test::BuildShippedPage(lights, QDir(folder.path()), "kb_Deng_UI");
    ASSERT_FALSE(built) << *built;
    keys.show();
    lights.show();

    QStringList differing;
    int compared = 0;
    for (std::size_t n = 0; n < kKeyPictureCount; ++n) {
      QWidget* key = keys.FindControl(QStringLiteral("kb_key_%1").arg(n)).Widget();
      QWidget* lit = lights.FindControl(QStringLiteral("kb_dkey_%1").arg(n)).Widget();
      if (!key || !lit || key->isHidden() || lit->isHidden()) continue;
      ++compared;
      const QRect keyInk = LegendInk(key);
      const QRect litInk = LegendInk(lit);
      if (!SameBox(keyInk, litInk))
        differing.append(QStringLiteral("%1 (%2x%3 at %4,%5 against %6x%7 at %8,%9)")
                             .arg(lit->objectName())
                             .arg(litInk.width()).arg(litInk.height()).arg(litInk.x()).arg(litInk.y())
                             .arg(keyInk.width()).arg(keyInk.height()).arg(keyInk.x()).arg(keyInk.y()));
    }
    EXPECT_GT(compared, 100);
    EXPECT_TRUE(differing.isEmpty()) << "legends drawn otherwise:\n" << differing.join('\n').toStdString();
  }
}

}  // namespace
}  // namespace korva::keyboard
