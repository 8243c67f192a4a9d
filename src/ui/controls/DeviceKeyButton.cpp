#include "ui/controls/DeviceKeyButton.h"

#include <QPainter>

#include "ui/controls/ControlSupport.h"
#include "ui/controls/LightTintCache.h"

namespace korva::ui {

CDeviceKeyButtonUI::CDeviceKeyButtonUI(std::shared_ptr<controls::LightTintCache> lights, QWidget* parent)
    : SkinButton(parent), lights_(std::move(lights)) {}

CDeviceKeyButtonUI::~CDeviceKeyButtonUI() = default;

bool CDeviceKeyButtonUI::SetSkinAttribute(const QString& name, const QString& value, QString*) {
  using controls::IsAttribute;
  if (IsAttribute(name, "lightimage") || IsAttribute(name, "keysetimage")) {
    const bool light = IsAttribute(name, "lightimage");
    (light ? lightImage_ : keySetImage_) = value;
    (light ? lightPixmap_ : keySetPixmap_) = QPixmap();
    (light ? lightResolved_ : keySetResolved_) = value.isEmpty();
    update();
    return true;
  }
  return IsAttribute(name, "gmnametextcolor");
}

void CDeviceKeyButtonUI::SetKeySetHidden(bool hidden) {
  if (keySetHidden_ == hidden) return;
  keySetHidden_ = hidden;
  update();
}

const QPixmap& CDeviceKeyButtonUI::Resolved(QString& file, QPixmap& pixmap, bool& resolved) const {
  if (!resolved) {
    pixmap = controls::SkinImage(*this, file);
    if (pixmap.isNull()) file.clear();
    resolved = true;
  }
  return pixmap;
}

void CDeviceKeyButtonUI::PaintStatusImage(QPainter& painter) const {
  SkinButton::PaintStatusImage(painter);
  if (lightOn) PaintLight(painter);
  if (!keySetHidden_) {
    const QPixmap& overlay = Resolved(keySetImage_, keySetPixmap_, keySetResolved_);
    if (!overlay.isNull()) {
      painter.setRenderHint(QPainter::SmoothPixmapTransform);
      painter.drawPixmap(rect(), overlay);
    }
  }
}

void CDeviceKeyButtonUI::PaintLight(QPainter& painter) const {
  if (changerAlpha <= 0 || !lights_) return;
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = (QSizeF(size()) * ratio).toSize();
  const QPixmap& image = Resolved(lightImage_, lightPixmap_, lightResolved_);
  const QPixmap& light = image.isNull() ? lights_->DefaultLight(pixels) : image;
  const QPixmap* tinted = lights_->Tinted(light, pixels, changerColor.rgb());
  if (!tinted) return;
  const qreal opacity = painter.opacity();
  painter.setOpacity(opacity * changerAlpha / 255.0);
  painter.drawPixmap(QRectF(rect()), *tinted, QRectF(tinted->rect()));
  painter.setOpacity(opacity);
}

}  // namespace korva::ui
