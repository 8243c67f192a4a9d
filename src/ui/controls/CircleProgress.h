#pragma once
// CCircleProgressUI: a progress control drawn as a ring. The background colour fills the whole
// ellipse; the foreground colour fills a pie from the bottom (90 degrees, clockwise) whose sweep is
// the part of the range reached; a white disc inset by 10 pixels leaves the ring. With
// showtext="true" the percentage is written in the middle.
//
// Attributes of its own (names without regard to case): "forecolor" (a skin colour), "showtext".
// min, max, value, bkcolor, textcolor and the rest are the Progress control's.

#include "ui/ControlFactory.h"
#include "ui/SkinWidgets_p.h"

namespace korva::ui {

namespace controls {
// Degrees of the foreground pie: (value - minimum) / (maximum - minimum) x 360, the value held to
// the range, cut to whole degrees; 0 for an empty range (maximum <= minimum).
int CircleSweepDegrees(int value, int minimum, int maximum);
// Width of the ring between the outer ellipse and the white inner disc.
inline constexpr int kCircleRingInset = 10;
}  // namespace controls

class CCircleProgressUI : public detail::SkinProgress, public ISkinAttributes {
 public:
  explicit CCircleProgressUI(QWidget* parent = nullptr);
  static QString GetClass() { return QStringLiteral("CircleProgress"); }

  bool SetSkinAttribute(const QString& name, const QString& value, QString* error) override;

  QColor ForeColor() const { return foreColor_; }
  void SetForeColor(const QColor& colour);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor foreColor_;  // invalid: no foreground pie
};

}  // namespace korva::ui
