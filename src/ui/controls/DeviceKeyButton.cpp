#include "ui/controls/DeviceKeyButton.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include "ui/PageStyleSheet.h"
#include "ui/SkinWindow.h"
#include "ui/controls/ControlSupport.h"
#include "ui/controls/LightTintCache.h"

namespace korva::ui {
namespace {

// Lights whose brightness (luma times alpha, 0..1) reaches this take a halo behind the legend.
constexpr double kBrightLight = 0.4;

// `layer`'s opaque parts moved one pixel each way, in `colour`.
QPixmap HaloOf(const QPixmap& layer, const QColor& colour) {
  QPixmap halo(layer.size());
  halo.setDevicePixelRatio(layer.devicePixelRatio());
  halo.fill(Qt::transparent);
  QPainter painter(&halo);
  for (const QPoint offset : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
    painter.drawPixmap(offset, layer);
  painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
  painter.fillRect(QRect(QPoint(0, 0), layer.deviceIndependentSize().toSize()), colour);
  return halo;
}

}  // namespace

CDeviceKeyButtonUI::CDeviceKeyButtonUI(std::shared_ptr<controls::LightTintCache> lights, QWidget* parent)
    : SkinButton(parent), lights_(std::move(lights)) {
  // The frame and legend come from the window's stand-in of the key's style class (PaintLayers).
  // Unstyled, the key would be filled with the application's window colour when painted as the
  // root of a grab: what lies around its shape is left as it is, as the sheet's clear ground does.
  setProperty(kStandInLookProperty, true);
  setAttribute(Qt::WA_NoSystemBackground);
}

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

void CDeviceKeyButtonUI::PaintKeySet(QPainter& painter) const {
  if (keySetHidden_) return;
  const QPixmap& overlay = Resolved(keySetImage_, keySetPixmap_, keySetResolved_);
  if (overlay.isNull()) return;
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(rect(), overlay);
}

CDeviceKeyButtonUI::LayerKey CDeviceKeyButtonUI::CurrentLayerKey() const {
  LayerKey key;
  key.size = size();
  key.ratio = devicePixelRatioF();
  key.state = (isEnabled() ? 1 : 0) | (isDown() ? 2 : 0) | (isChecked() ? 4 : 0) | (underMouse() ? 8 : 0) |
              (hasFocus() ? 16 : 0);
  key.text = text();
  key.styleGeneration = styleGeneration_;
  const QPixmap* status = StateImage();
  key.statusImage = status ? status->cacheKey() : 0;
  key.fore = forePixmap.cacheKey();
  key.keySet = keySetHidden_ ? 0 : Resolved(keySetImage_, keySetPixmap_, keySetResolved_).cacheKey() | 1;
  key.background = look.bkPixmap.Get().cacheKey();
  key.bkColor = look.bkColor.isValid() ? look.bkColor.rgba() : 0;
  key.borderColor = look.borderColor.isValid() ? look.borderColor.rgba() : 0;
  key.textColor = look.textColor.isValid() ? look.textColor.rgba() : 0;
  key.borderSize = look.borderSize;
  key.borderRound = look.borderRound;
  return key;
}

void CDeviceKeyButtonUI::PaintLayers() {
  ++layerPaints_;
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = (QSizeF(size()) * ratio).toSize();
  under_ = QPixmap(pixels);
  under_.setDevicePixelRatio(ratio);
  under_.fill(Qt::transparent);
  {
    QPainter painter(&under_);
    PaintBackground(*this, painter, rect());
    PaintStatusImage(painter);
  }
  over_ = QPixmap(pixels);
  over_.setDevicePixelRatio(ratio);
  over_.fill(Qt::transparent);
  QPainter painter(&over_);
  // A painter on a pixmap starts with the application's font; the text is the button's, in its font.
  painter.setFont(font());
  PaintKeySet(painter);
  PaintFore(painter);
  // The button's own paint (frame, text), as QPushButton paints it, in the look the sheet gives
  // a button of the key's style class: the key itself takes no sheet.
  QStyleOptionButton option;
  initStyleOption(&option);
  const QWidget* looks = this;
  if (SkinWindow* window = SkinWindow::Of(this))
    looks = window->ButtonStandIn(property(detail::kStyleProperty).toString());
  looks->style()->drawControl(QStyle::CE_PushButton, &option, &painter, looks);
  halo_ = QPixmap();  // made again from the new layer when a bright light asks for it
}

bool CDeviceKeyButtonUI::LightHidesLegend() const {
  if (!lightOn || changerAlpha <= 0 || text().isEmpty()) return false;
  const double luma =
      (0.299 * changerColor.red() + 0.587 * changerColor.green() + 0.114 * changerColor.blue()) / 255.0;
  return luma * changerAlpha / 255.0 >= kBrightLight;
}

bool CDeviceKeyButtonUI::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
      ++styleGeneration_;
      break;
    case QEvent::Enter:
    case QEvent::Leave:
      update();  // the stand-in's look under the pointer (the key itself is not styled)
      break;
    case QEvent::DynamicPropertyChange:
      if (static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName() == detail::kStyleProperty)
        ++styleGeneration_;
      break;
    default:
      break;
  }
  return SkinButton::event(event);
}

void CDeviceKeyButtonUI::paintEvent(QPaintEvent*) {
  const LayerKey key = CurrentLayerKey();
  if (!(key == layerKey_) || under_.isNull()) {
    PaintLayers();
    layerKey_ = key;
  }
  QPainter painter(this);
  painter.drawPixmap(0, 0, under_);
  if (lightOn) PaintLight(painter);
  if (LightHidesLegend()) {
    if (halo_.isNull()) {
      const QColor own = look.bkColor.isValid() && look.bkColor.alpha() > 0
                             ? look.bkColor
                             : palette().color(QPalette::Shadow);
      halo_ = HaloOf(over_, QColor(own.red(), own.green(), own.blue()));
    }
    painter.drawPixmap(0, 0, halo_);
  }
  painter.drawPixmap(0, 0, over_);
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
