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
// whose skin names no light image lights its own rounded shape, brightest in the middle.
//
// Attributes of its own (names without regard to case): "lightimage", "keysetimage" (skin
// images, looked up when painted; one that cannot be loaded is dropped), "gmnametextcolor"
// (accepted and ignored; older skins carry it). Every other attribute is the Button's.

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

 protected:
  void PaintStatusImage(QPainter& painter) const override;

 private:
  void PaintLight(QPainter& painter) const;
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
};

}  // namespace korva::ui
