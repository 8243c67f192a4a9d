#pragma once
// The tinted light of the device keys. The lighting preview gives up to 126 keys a new tint many
// times a second; a key's light is its light image multiplied by the tint, and the same few
// colours come back again and again (the effects walk a colour wheel or breathe one colour), so
// each (image, size, tint) is tinted once and kept. Painting a key is then one pixmap drawn with
// the key's alpha as opacity, with nothing allocated.
//
// The cache keeps at most a byte budget of pixels; when a new entry does not fit, the least
// recently used quarter of the budget is dropped. One cache is shared by all keys; UI thread only.

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QSize>

namespace korva::ui::controls {

// The light multiplied by the tint, channel by channel (the tint's alpha is ignored): a white
// light shows the tint itself; the light's own shading and transparency stay.
QImage TintImage(const QImage& light, QRgb tint);

// The light of a key whose skin names no light image: white, strongest in the middle, fading to
// a third at the edges, in the key's rounded shape, `size` pixels large.
QImage DefaultLightImage(QSize size);

class LightTintCache {
 public:
  static constexpr qsizetype kDefaultBudget = 4 * 1024 * 1024;
  explicit LightTintCache(qsizetype byteBudget = kDefaultBudget) : budget_(byteBudget) {}

  // `light` scaled to `size` (device pixels) and tinted; it stays good until the next call.
  // nullptr for a null light or an empty size.
  const QPixmap* Tinted(const QPixmap& light, QSize size, QRgb tint);
  // DefaultLightImage(size), made once per size.
  const QPixmap& DefaultLight(QSize size);

  qsizetype Bytes() const { return bytes_; }
  qsizetype Count() const { return tinted_.size(); }
  // How many times a tint had to be made (a miss): what the budget is weighed by.
  quint64 Made() const { return made_; }

 private:
  struct Key {
    qint64 light;
    int width;
    int height;
    QRgb tint;
    friend bool operator==(const Key&, const Key&) = default;
    friend size_t qHash(const Key& key, size_t seed) {
      return qHashMulti(seed, key.light, key.width, key.height, key.tint);
    }
  };
  struct Entry {
    QPixmap pixmap;
    quint64 lastUse = 0;
  };
  void MakeRoom(qsizetype bytes);

  QHash<Key, Entry> tinted_;
  QHash<quint64, QPixmap> defaults_;  // (width << 32) | height
  qsizetype budget_;
  qsizetype bytes_ = 0;
  quint64 clock_ = 0;
  quint64 made_ = 0;
};

}  // namespace korva::ui::controls
