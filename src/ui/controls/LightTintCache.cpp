#include "ui/controls/LightTintCache.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <vector>

namespace korva::ui::controls {

namespace {

qsizetype BytesOf(const QPixmap& pixmap) {
  return static_cast<qsizetype>(pixmap.width()) * pixmap.height() * 4;
}

}  // namespace

QImage TintImage(const QImage& light, QRgb tint) {
  // Premultiplied channels multiply as they are: (c x a) x t = (c x t) x a.
  QImage out = light.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const unsigned red = qRed(tint), green = qGreen(tint), blue = qBlue(tint);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      const QRgb p = line[x];
      line[x] = qRgba(static_cast<int>(qRed(p) * red / 255), static_cast<int>(qGreen(p) * green / 255),
                      static_cast<int>(qBlue(p) * blue / 255), qAlpha(p));
    }
  }
  return out;
}

QImage DefaultLightImage(QSize size) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  if (size.isEmpty()) return image;
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area = QRectF(QPointF(0, 0), QSizeF(size));
  QRadialGradient glow(area.center(), std::max(size.width(), size.height()) * 0.75);
  glow.setColorAt(0.0, QColor(255, 255, 255, 255));
  glow.setColorAt(1.0, QColor(255, 255, 255, 85));
  QPainterPath shape;
  shape.addRoundedRect(area.adjusted(1, 1, -1, -1), 3, 3);
  painter.fillPath(shape, glow);
  return image;
}

const QPixmap& LightTintCache::DefaultLight(QSize size) {
  const quint64 key =
      (static_cast<quint64>(static_cast<quint32>(size.width())) << 32) | static_cast<quint32>(size.height());
  auto it = defaults_.find(key);
  if (it == defaults_.end()) it = defaults_.insert(key, QPixmap::fromImage(DefaultLightImage(size)));
  return *it;
}

const QPixmap* LightTintCache::Tinted(const QPixmap& light, QSize size, QRgb tint) {
  if (light.isNull() || size.isEmpty()) return nullptr;
  const Key key{light.cacheKey(), size.width(), size.height(), tint & 0x00FFFFFFu};
  auto it = tinted_.find(key);
  if (it != tinted_.end()) {
    it->lastUse = ++clock_;
    return &it->pixmap;
  }
  const QImage scaled = light.size() == size
                            ? light.toImage()
                            : light.toImage().scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  QPixmap pixmap = QPixmap::fromImage(TintImage(scaled, tint));
  const qsizetype bytes = BytesOf(pixmap);
  MakeRoom(bytes);
  bytes_ += bytes;
  ++made_;
  it = tinted_.insert(key, Entry{std::move(pixmap), ++clock_});
  return &it->pixmap;
}

void LightTintCache::MakeRoom(qsizetype bytes) {
  if (bytes_ + bytes <= budget_ || tinted_.isEmpty()) return;
  // Drop the least recently used entries until a quarter of the budget is free, so a full cache
  // does not sort itself again on every new tint.
  std::vector<std::pair<quint64, qsizetype>> byAge;  // last use, bytes
  byAge.reserve(static_cast<std::size_t>(tinted_.size()));
  for (const Entry& entry : std::as_const(tinted_)) byAge.emplace_back(entry.lastUse, BytesOf(entry.pixmap));
  std::sort(byAge.begin(), byAge.end());
  const qsizetype target = std::max<qsizetype>(0, budget_ * 3 / 4 - bytes);
  qsizetype kept = bytes_;
  quint64 oldestKept = 0;
  for (const auto& [use, size] : byAge) {
    if (kept <= target) break;
    kept -= size;
    oldestKept = use + 1;
  }
  tinted_.removeIf([&](const auto& entry) {
    if (entry.value().lastUse >= oldestKept) return false;
    bytes_ -= BytesOf(entry.value().pixmap);
    return true;
  });
}

}  // namespace korva::ui::controls
