// Draws the skin's images (background, icons, device pictures) into a folder:
//   korva_skin_images <skin folder>
// The images are committed with the skin; run this again only when their look changes.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

const QColor kAccent(0x19, 0xC3, 0xF0);      // the skin's cyan
const QColor kAccentDeep(0x01, 0x99, 0xCB);  // default palette colour of the pages
const QColor kIcon(0xC9, 0xD3, 0xE0);

QString g_folder;

bool Save(const QString& file, const QImage& image) {
  const QString path = QDir(g_folder).filePath(file);
  QDir().mkpath(QFileInfo(path).path());
  if (!image.save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

QImage Canvas(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

bool Draw(const QString& file, int w, int h, const std::function<void(QPainter&)>& paint) {
  QImage image = Canvas(w, h);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
  }
  return Save(file, image);
}

void PaintBackground(QPainter& p, int w, int h) {
  QLinearGradient base(0, 0, w, h);
  base.setColorAt(0.0, QColor(0x14, 0x18, 0x21));
  base.setColorAt(0.55, QColor(0x0D, 0x10, 0x16));
  base.setColorAt(1.0, QColor(0x0A, 0x0C, 0x11));
  p.fillRect(0, 0, w, h, base);
  // Thin diagonal lines, brighter to the top right.
  for (int x = -h; x < w; x += 14) {
    QLinearGradient fade(0, h, w, 0);
    fade.setColorAt(0, QColor(255, 255, 255, 0));
    fade.setColorAt(1, QColor(255, 255, 255, 9));
    p.setPen(QPen(QBrush(fade), 1));
    p.drawLine(x, h, x + h, 0);
  }
  // Two soft glows in the skin's colour.
  QRadialGradient glow(w * 0.85, h * 0.1, w * 0.55);
  glow.setColorAt(0, QColor(kAccent.red(), kAccent.green(), kAccent.blue(), 46));
  glow.setColorAt(1, QColor(kAccent.red(), kAccent.green(), kAccent.blue(), 0));
  p.fillRect(0, 0, w, h, glow);
  QRadialGradient glow2(w * 0.05, h * 1.0, w * 0.45);
  glow2.setColorAt(0, QColor(0x7B, 0x3F, 0xF2, 30));
  glow2.setColorAt(1, QColor(0x7B, 0x3F, 0xF2, 0));
  p.fillRect(0, 0, w, h, glow2);
}

QPen IconPen(const QColor& c = kIcon, double width = 1.6) {
  return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// ---- the mouse picture and its button regions --------------------------------------------------

constexpr int kMouseW = 170;
constexpr int kMouseH = 270;

QPainterPath MouseBody() {
  QPainterPath body;
  body.moveTo(85, 8);
  body.cubicTo(140, 8, 160, 60, 160, 120);
  body.cubicTo(160, 200, 140, 262, 85, 262);
  body.cubicTo(30, 262, 10, 200, 10, 120);
  body.cubicTo(10, 60, 30, 8, 85, 8);
  return body;
}

QPainterPath MouseRegion(const QString& key) {
  QPainterPath body = MouseBody();
  QPainterPath r;
  if (key == QLatin1String("left")) {
    r.addRect(0, 0, 82, 110);
    return body.intersected(r);
  }
  if (key == QLatin1String("right")) {
    r.addRect(88, 0, 90, 110);
    return body.intersected(r);
  }
  if (key == QLatin1String("wheel")) {
    r.addRoundedRect(76, 34, 18, 40, 8, 8);
    return r;
  }
  if (key == QLatin1String("dpi_add")) {
    r.addRoundedRect(77, 84, 16, 11, 4, 4);
    return r;
  }
  if (key == QLatin1String("dpi_sub")) {
    r.addRoundedRect(77, 98, 16, 11, 4, 4);
    return r;
  }
  if (key == QLatin1String("forward")) {
    r.addRoundedRect(6, 124, 12, 30, 5, 5);
    return r;
  }
  // back
  r.addRoundedRect(6, 158, 12, 30, 5, 5);
  return r;
}

void PaintMouse(QPainter& p) {
  const QPainterPath body = MouseBody();
  QLinearGradient shell(0, 0, kMouseW, kMouseH);
  shell.setColorAt(0, QColor(0x3A, 0x40, 0x4D));
  shell.setColorAt(0.5, QColor(0x22, 0x26, 0x2F));
  shell.setColorAt(1, QColor(0x15, 0x18, 0x1E));
  p.fillPath(body, shell);
  p.setPen(QPen(QColor(0x55, 0x5D, 0x6C), 1.5));
  p.drawPath(body);
  // Split between the buttons, and the palm rest's lighting strip.
  p.setPen(QPen(QColor(0x0B, 0x0D, 0x11), 2));
  p.drawLine(QPointF(85, 10), QPointF(85, 112));
  p.drawLine(QPointF(14, 112), QPointF(156, 112));
  QPainterPath strip;
  strip.moveTo(40, 205);
  strip.cubicTo(60, 232, 110, 232, 130, 205);
  p.setPen(QPen(kAccent, 4, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(strip);
  QColor halo = kAccent;
  halo.setAlpha(60);
  p.setPen(QPen(halo, 12, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(strip);
  // Logo: a small K-shaped chevron.
  p.setPen(QPen(QColor(0xC9, 0xD3, 0xE0, 180), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(QPointF(75, 150), QPointF(75, 176));
  p.drawPolyline(QList<QPointF>{{95, 150}, {78, 163}, {95, 176}});
  for (const char* key : {"wheel", "dpi_add", "dpi_sub", "forward", "back"}) {
    const QPainterPath r = MouseRegion(QString::fromLatin1(key));
    p.fillPath(r, QColor(0x0E, 0x10, 0x14));
    p.setPen(QPen(QColor(0x5A, 0x62, 0x70), 1));
    p.drawPath(r);
  }
  // Wheel ribs.
  p.setPen(QPen(QColor(0x4A, 0x52, 0x60), 1.2));
  for (int y = 40; y < 72; y += 5) p.drawLine(QPointF(79, y), QPointF(91, y));
}

bool MouseKeyImages() {
  bool ok = true;
  for (const char* key : {"left", "right", "wheel", "forward", "back", "dpi_add", "dpi_sub"}) {
    const QPainterPath region = MouseRegion(QString::fromLatin1(key));
    // Normal: a faint outline; down (hovered or chosen): filled with the skin's colour.
    ok &= Draw(QStringLiteral("ms/key_%1_normal.png").arg(QLatin1String(key)), kMouseW, kMouseH,
               [&](QPainter& p) {
                 p.setPen(QPen(QColor(255, 255, 255, 28), 1));
                 p.drawPath(region);
               });
    ok &= Draw(QStringLiteral("ms/key_%1_down.png").arg(QLatin1String(key)), kMouseW, kMouseH,
               [&](QPainter& p) {
                 QColor fill = kAccent;
                 fill.setAlpha(90);
                 p.fillPath(region, fill);
                 p.setPen(QPen(kAccent, 2));
                 p.drawPath(region);
               });
  }
  return ok;
}

// ---- other device pictures ----------------------------------------------------------------------

void PaintMousepad(QPainter& p, int w, int h) {
  const QRectF pad(8, 8, w - 16, h - 16);
  QLinearGradient surface(pad.topLeft(), pad.bottomRight());
  surface.setColorAt(0, QColor(0x24, 0x28, 0x31));
  surface.setColorAt(1, QColor(0x12, 0x14, 0x19));
  QPainterPath path;
  path.addRoundedRect(pad, 14, 14);
  QColor halo = kAccent;
  halo.setAlpha(70);
  p.setPen(QPen(halo, 10));
  p.drawPath(path);
  p.fillPath(path, surface);
  p.setPen(QPen(kAccent, 3));
  p.drawPath(path);
  // Fine texture of the cloth.
  p.setPen(QPen(QColor(255, 255, 255, 7), 1));
  for (int x = 16; x < w - 16; x += 6) p.drawLine(x, 16, x, h - 16);
  p.setPen(QPen(QColor(0xC9, 0xD3, 0xE0, 120), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(QPointF(w - 60, h - 46), QPointF(w - 60, h - 26));
  p.drawPolyline(QList<QPointF>{
      {double(w - 44), double(h - 46)}, {double(w - 57), double(h - 36)}, {double(w - 44), double(h - 26)}});
}

void PaintHeadset(QPainter& p, int w, int h) {
  const double cx = w / 2.0;
  QPainterPath band;
  band.moveTo(cx - 78, 150);
  band.cubicTo(cx - 80, 20, cx + 80, 20, cx + 78, 150);
  p.setPen(QPen(QColor(0x2C, 0x31, 0x3B), 16, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(band);
  p.setPen(QPen(QColor(0x4A, 0x52, 0x60), 2, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(band);
  for (int side : {-1, 1}) {
    const QRectF cup(cx + side * 78 - 34, 120, 68, 100);
    QLinearGradient shell(cup.topLeft(), cup.bottomRight());
    shell.setColorAt(0, QColor(0x3A, 0x40, 0x4D));
    shell.setColorAt(1, QColor(0x15, 0x18, 0x1E));
    QPainterPath path;
    path.addRoundedRect(cup, 30, 34);
    p.fillPath(path, shell);
    p.setPen(QPen(QColor(0x55, 0x5D, 0x6C), 1.5));
    p.drawPath(path);
    QColor halo = kAccent;
    halo.setAlpha(70);
    p.setPen(QPen(halo, 9));
    p.drawEllipse(cup.center(), 18, 26);
    p.setPen(QPen(kAccent, 3));
    p.drawEllipse(cup.center(), 18, 26);
  }
  // Microphone boom.
  QPainterPath boom;
  boom.moveTo(cx - 100, 200);
  boom.cubicTo(cx - 110, 250, cx - 60, h - 20, cx - 10, h - 22);
  p.setPen(QPen(QColor(0x2C, 0x31, 0x3B), 6, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(boom);
  p.setBrush(QColor(0x3A, 0x40, 0x4D));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(cx - 6, h - 22), 9, 7);
}

// ---- icons --------------------------------------------------------------------------------------

bool Icons() {
  bool ok = true;
  ok &= Draw(QStringLiteral("common/btn_close.png"), 16, 16, [](QPainter& p) {
    p.setPen(IconPen());
    p.drawLine(QPointF(4, 4), QPointF(12, 12));
    p.drawLine(QPointF(12, 4), QPointF(4, 12));
  });
  ok &= Draw(QStringLiteral("common/btn_min.png"), 16, 16, [](QPainter& p) {
    p.setPen(IconPen());
    p.drawLine(QPointF(3.5, 8.5), QPointF(12.5, 8.5));
  });
  ok &= Draw(QStringLiteral("common/btn_max.png"), 16, 16, [](QPainter& p) {
    p.setPen(IconPen());
    p.drawRect(QRectF(3.5, 3.5, 9, 9));
  });
  ok &= Draw(QStringLiteral("common/btn_restore.png"), 16, 16, [](QPainter& p) {
    p.setPen(IconPen());
    p.drawRect(QRectF(3.5, 5.5, 7, 7));
    p.drawPolyline(QList<QPointF>{{5.5, 3.5}, {12.5, 3.5}, {12.5, 10.5}});
  });
  ok &= Draw(QStringLiteral("common/btn_skin.png"), 16, 16, [](QPainter& p) {
    // A T-shirt outline: the skin picker.
    p.setPen(IconPen());
    p.drawPolygon(QList<QPointF>{{5.5, 2.5},
                                 {2.5, 5},
                                 {4, 7.5},
                                 {5, 7},
                                 {5, 13.5},
                                 {11, 13.5},
                                 {11, 7},
                                 {12, 7.5},
                                 {13.5, 5},
                                 {10.5, 2.5},
                                 {9.5, 4},
                                 {6.5, 4}});
  });
  ok &= Draw(QStringLiteral("common/btn_menu.png"), 16, 16, [](QPainter& p) {
    // Three bars: the program's menu, offered in the title bar where there is no tray.
    p.setPen(IconPen());
    for (double y : {4.5, 8.5, 12.5}) p.drawLine(QPointF(3.5, y), QPointF(12.5, y));
  });
  ok &= Draw(QStringLiteral("common/logo.png"), 30, 30, [](QPainter& p) {
    QPainterPath hex;
    for (int i = 0; i < 6; ++i) {
      const double a = M_PI / 3 * i + M_PI / 6;
      const QPointF pt(15 + 13.5 * std::cos(a), 15 + 13.5 * std::sin(a));
      i == 0 ? hex.moveTo(pt) : hex.lineTo(pt);
    }
    hex.closeSubpath();
    QLinearGradient fill(0, 0, 30, 30);
    fill.setColorAt(0, kAccent);
    fill.setColorAt(1, QColor(0x7B, 0x3F, 0xF2));
    p.fillPath(hex, fill);
    p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(11, 8.5), QPointF(11, 21.5));
    p.drawPolyline(QList<QPointF>{{19.5, 8.5}, {12.5, 15}, {19.5, 21.5}});
  });
  // Device tab icons, 22 x 22.
  ok &= Draw(QStringLiteral("common/tab_kb.png"), 22, 22, [](QPainter& p) {
    p.setPen(IconPen());
    p.drawRoundedRect(QRectF(1.5, 5.5, 19, 11), 2, 2);
    for (int x = 4; x <= 16; x += 4) p.drawPoint(QPointF(x + 0.5, 9));
    p.drawLine(QPointF(6, 13), QPointF(16, 13));
  });
  ok &= Draw(QStringLiteral("common/tab_ms.png"), 22, 22, [](QPainter& p) {
    p.setPen(IconPen());
    p.drawRoundedRect(QRectF(5.5, 1.5, 11, 19), 5.5, 5.5);
    p.drawLine(QPointF(11, 4), QPointF(11, 8));
  });
  ok &= Draw(QStringLiteral("common/tab_mp.png"), 22, 22, [](QPainter& p) {
    p.setPen(IconPen());
    p.drawRoundedRect(QRectF(1.5, 4.5, 19, 13), 3, 3);
    p.setPen(IconPen(kAccent));
    p.drawLine(QPointF(4, 15), QPointF(18, 15));
  });
  ok &= Draw(QStringLiteral("common/tab_hs.png"), 22, 22, [](QPainter& p) {
    p.setPen(IconPen());
    QPainterPath band;
    band.moveTo(4, 13);
    band.cubicTo(4, 2, 18, 2, 18, 13);
    p.drawPath(band);
    p.drawRoundedRect(QRectF(2.5, 12.5, 4, 7), 1.5, 1.5);
    p.drawRoundedRect(QRectF(15.5, 12.5, 4, 7), 1.5, 1.5);
  });
  // Check box and combo arrows for the style sheet.
  ok &= Draw(QStringLiteral("common/check_off.png"), 16, 16, [](QPainter& p) {
    p.setPen(QPen(QColor(0x5A, 0x63, 0x72), 1.2));
    p.setBrush(QColor(0x12, 0x15, 0x1B));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 3, 3);
  });
  ok &= Draw(QStringLiteral("common/check_on.png"), 16, 16, [](QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kAccentDeep);
    p.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QList<QPointF>{{4.5, 8}, {7, 10.5}, {11.5, 5.5}});
  });
  ok &= Draw(QStringLiteral("common/arrow_down.png"), 10, 6, [](QPainter& p) {
    p.setPen(IconPen(kIcon, 1.5));
    p.drawPolyline(QList<QPointF>{{1, 1}, {5, 5}, {9, 1}});
  });
  ok &= Draw(QStringLiteral("common/arrow_up.png"), 10, 6, [](QPainter& p) {
    p.setPen(IconPen(kIcon, 1.5));
    p.drawPolyline(QList<QPointF>{{1, 5}, {5, 1}, {9, 5}});
  });
  ok &= Draw(QStringLiteral("common/skin_custom.png"), 96, 60, [](QPainter& p) {
    p.setPen(QPen(QColor(0x5A, 0x63, 0x72), 1.5, Qt::DashLine));
    p.drawRoundedRect(QRectF(1, 1, 94, 58), 6, 6);
    p.setPen(IconPen(kIcon, 2));
    p.drawLine(QPointF(48, 20), QPointF(48, 40));
    p.drawLine(QPointF(38, 30), QPointF(58, 30));
  });
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: korva_skin_images <skin folder>\n");
    return 2;
  }
  g_folder = QString::fromLocal8Bit(argv[1]);
  bool ok = Draw(QStringLiteral("common/background.png"), 800, 572,
                 [](QPainter& p) { PaintBackground(p, 800, 572); });
  ok &= Draw(QStringLiteral("common/skin_default.png"), 96, 60, [](QPainter& p) {
    p.scale(96.0 / 800, 60.0 / 572);
    PaintBackground(p, 800, 572);
  });
  ok &= Draw(QStringLiteral("ms/mouse.png"), kMouseW, kMouseH, PaintMouse);
  ok &= MouseKeyImages();
  ok &= Draw(QStringLiteral("mp/mousepad.png"), 300, 190, [](QPainter& p) { PaintMousepad(p, 300, 190); });
  ok &= Draw(QStringLiteral("hs/headset.png"), 260, 270, [](QPainter& p) { PaintHeadset(p, 260, 270); });
  ok &= Icons();
  return ok ? 0 : 1;
}
