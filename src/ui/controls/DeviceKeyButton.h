#pragma once
// CDeviceKeyButtonUI: a key or LED of a device picture. It is a Button (clicks, text, selection,
// state images) that also shows the key's light for the lighting preview:
//
//   the state image; then, while the light is on, the light image multiplied by the tint colour
//   and drawn with the alpha as opacity; then, while the key-set overlay is not hidden, the
//   key-set image as it is.
//
// The tint, alpha and light switch are the Button's (Control::SetChangerColor, SetChangerAlpha,
// SetLightOn); they only record a change, and the preview's repaint pass paints the key. A key
// repaints many times a second while its light moves and nothing else: what lies under the light
// (background, state image) and over it (key-set overlay, the button's frame and text) is painted
// once into two layers and drawn from them until something it is made of changes. A key
// whose skin names no light image lights its own rounded shape, brightest in the middle.
//
// A bright light would swallow a light legend: under such a light a key with a legend has its
// frame and legend drawn over a halo of the key's own background colour (the window's shadow
// colour for a key without one), made from the upper layer the first time it is needed.
//
// Attributes of its own (names without regard to case): "lightimage", "keysetimage" (skin
// images, looked up when painted; one that cannot be loaded is dropped), "gmnametextcolor"
// (accepted and ignored; older skins carry it). Every other attribute is the Button's.

#include <QPixmap>
#include <memory>

#include "ui/ControlFactory.h"
#include "ui/SkinWidgets_p.h"

namespace korva::ui {

namespace controls {
class LightTintCache;
}

class CDeviceKeyButtonUI : public detail::SkinButton, public ISkinAttributes {
 public:
  // `lights` is shared by all keys (the same tints come back on every key).
  explicit CDeviceKeyButtonUI(std::shared_ptr<controls::LightTintCache> lights, QWidget* parent = nullptr);
  ~CDeviceKeyButtonUI() override;
  static QString GetClass() { return QStringLiteral("DeviceKeyButton"); }

  bool SetSkinAttribute(const QString& name, const QString& value, QString* error) override;

  QString LightImage() const { return lightImage_; }
  QString KeySetImage() const { return keySetImage_; }
  // The key-set overlay is drawn only while it is not hidden; it is hidden at start.
  bool IsKeySetHidden() const { return keySetHidden_; }
  void SetKeySetHidden(bool hidden);
  // How many times the layers under and over the light were painted.
  int LayerPaints() const { return layerPaints_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  // Everything the two layers are made of; they are painted again when it differs.
  struct LayerKey {
    QSize size;
    qreal ratio = 0;
    int state = 0;  // enabled, down, checked, under the mouse, focus
    QString text;
    int styleGeneration = 0;  // font, palette, style, style class
    qint64 statusImage = 0;
    qint64 fore = 0;
    qint64 keySet = 0;
    qint64 background = 0;
    QRgb bkColor = 0;
    QRgb borderColor = 0;
    QRgb textColor = 0;
    int borderSize = 0;
    int borderRound = 0;
    bool operator==(const LayerKey&) const = default;
  };
  LayerKey CurrentLayerKey() const;
  void PaintLayers();
  void PaintLight(QPainter& painter) const;
  // Whether the light is bright enough to need the halo behind the legend.
  bool LightHidesLegend() const;
  void PaintKeySet(QPainter& painter) const;
  // The skin image of `file`, looked up once after each change of the attribute; a file that
  // cannot be loaded is forgotten.
  const QPixmap& Resolved(QString& file, QPixmap& pixmap, bool& resolved) const;

  std::shared_ptr<controls::LightTintCache> lights_;
  mutable QString lightImage_;
  mutable QString keySetImage_;
  mutable QPixmap lightPixmap_;
  mutable QPixmap keySetPixmap_;
  mutable bool lightResolved_ = true;
  mutable bool keySetResolved_ = true;
  bool keySetHidden_ = true;
  LayerKey layerKey_;
  // Counts the changes of font, palette, style and style class, which arrive as events: comparing
  // a font and a palette on every paint of a moving light costs more than the light itself.
  int styleGeneration_ = 0;
  QPixmap under_;
  QPixmap over_;
  QPixmap halo_;  // over_'s frame and legend widened by a pixel, in one dark colour; null until needed
  int layerPaints_ = 0;
};

}  // namespace korva::ui
