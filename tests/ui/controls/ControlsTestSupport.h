#pragma once
// A skin folder with a few small images and a style sheet that paints no button bevel (as the
// shipped skin's key caps; the "keycap" class has a red frame, blue under the pointer, and a green
// legend), the custom controls registered, and one window built from a body.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <memory>

#include "UiTestSupport.h"
#include "ui/Control.h"

namespace korva::ui::test {

// Images written into the skin folder:
//   white.png   4 x 4 opaque white
//   keyset.png  4 x 4, left half opaque blue, right half transparent
//   shadow.png  4 x 4 opaque green
//   pillar.png  4 x 4 opaque red
class ControlsSkin {
 public:
  ControlsSkin();
  // Builds <Window size="320,240"><VerticalLayout name="root"> body </VerticalLayout></Window>;
  // false (with the error in the test output) when the build fails.
  bool Build(const QString& body);
  Control C(const char* name) const { return window->FindControl(QString::fromLatin1(name)); }
  // The control painted alone into an image of its own size (black below it).
  static QImage Render(const Control& control);

  TempSkin files;
  std::unique_ptr<Skin> skin;
  std::unique_ptr<SkinWindow> window;
};

// A pixel's colour is within `tolerance` of `expected` on every channel (antialiasing and the
// opacity's rounding move a channel by one or two).
::testing::AssertionResult Near(QRgb actual, QRgb expected, int tolerance = 2);

}  // namespace korva::ui::test
