#pragma once
// CChartViewUI: a pie (with a legend) or a histogram of labelled values.
//
// Attributes of its own (names without regard to case):
//   view="pie" | "histpgram" (the skins spell it so; any other value keeps the view),
//   shadowimage, pillarimage (skin images), shadowimageheight, pillarimagewidth (decimal
//   integers; anything else is a bad value), showhtml, showtext (true exactly for "true").
// The text is drawn in the control's font and text colour (the common "font" and "textcolor").
//
// Items are added by the program; the skin cannot add any.

#include <QString>
#include <vector>

#include "ui/ControlFactory.h"
#include "ui/SkinWidgets_p.h"

namespace korva::ui {

class CChartViewUI : public detail::SkinBox, public ISkinAttributes {
 public:
  enum class View { kPie = 0, kHistogram = 1 };
  struct Item {
    QString label;
    double value = 0;
  };

  using SkinBox::SkinBox;
  static QString GetClass() { return QStringLiteral("ChartView"); }

  bool SetSkinAttribute(const QString& name, const QString& value, QString* error) override;

  void AddItem(const QString& label, double value);
  void RemoveAllItems();
  const std::vector<Item>& Items() const { return items_; }

  View GetView() const { return view_; }
  void SetView(View view);
  QString ShadowImage() const { return shadowImage_; }
  int ShadowImageHeight() const { return shadowHeight_; }
  QString PillarImage() const { return pillarImage_; }
  int PillarImageWidth() const { return pillarWidth_; }
  bool ShowHtml() const { return showHtml_; }
  bool ShowText() const { return showText_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintPie(QPainter& painter);
  void PaintHistogram(QPainter& painter);
  void DrawLabel(QPainter& painter, const QRect& cell, const QString& label, Qt::Alignment align) const;
  std::vector<double> Values() const;

  std::vector<Item> items_;
  View view_ = View::kPie;
  QString shadowImage_;
  int shadowHeight_ = 0;
  QString pillarImage_;
  int pillarWidth_ = 0;
  bool showHtml_ = false;
  bool showText_ = true;
};

}  // namespace korva::ui
