// Draws the images the program ships in resources/: the "no image" placeholder, the
// banner and window patterns, the signature and fingerprint samples, the hatch pattern
// tiles of "Fill_Style_Image" and the card backgrounds of "Background". (The barcode
// sample is the barcode designer's own picture: amends_make_barcode_sample draws it.)
//
// Every picture is drawn here from shapes, gradients and text; nothing is taken from
// elsewhere. Random choices use fixed seeds, so a run draws the same pictures again.
//
// Usage: amends_make_resources <resources folder>

#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

constexpr double Pi = 3.14159265358979323846;

QString gOut;

// An image of `w` x `h` pixels that states `dpi` dots per inch (so that the program
// sizes it in points), filled with `fill`.
QImage canvas(int w, int h, double dpi, const QColor &fill = Qt::transparent) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(fill);
  const int dpm = int(std::lround(dpi / 0.0254));
  image.setDotsPerMeterX(dpm);
  image.setDotsPerMeterY(dpm);
  return image;
}

bool save(const QImage &image, const QString &relative, int quality = -1) {
  const QString path = QDir(gOut).filePath(relative);
  QDir().mkpath(QFileInfo(path).absolutePath());
  const bool jpeg = relative.endsWith(QLatin1String(".jpg"));
  const QImage out = jpeg ? image.convertToFormat(QImage::Format_RGB32) : image.convertToFormat(QImage::Format_ARGB32);
  if (!out.save(path, jpeg ? "JPEG" : "PNG", quality)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%-40s %5d x %-5d %7lld bytes\n", qPrintable(relative), image.width(), image.height(),
              QFileInfo(path).size());
  return true;
}

QColor mix(const QColor &a, const QColor &b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                          float(a.blueF() + (b.blueF() - a.blueF()) * t), float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor withAlpha(QColor c, double alpha) {
  c.setAlphaF(float(alpha));
  return c;
}

// A heart of width `size` centred on `centre`.
QPainterPath heart(const QPointF &centre, double size) {
  const double s = size / 2.0;
  QPainterPath p;
  p.moveTo(centre + QPointF(0, s * 0.95));
  p.cubicTo(centre + QPointF(-s * 1.25, s * 0.05), centre + QPointF(-s * 0.95, -s * 1.05),
            centre + QPointF(0, -s * 0.45));
  p.cubicTo(centre + QPointF(s * 0.95, -s * 1.05), centre + QPointF(s * 1.25, s * 0.05),
            centre + QPointF(0, s * 0.95));
  p.closeSubpath();
  return p;
}

// A leaf or petal: a pointed oval of `length` along `angle` degrees.
QPainterPath petal(const QPointF &centre, double length, double width, double angle) {
  QPainterPath p;
  p.moveTo(-length / 2, 0);
  p.quadTo(0, -width, length / 2, 0);
  p.quadTo(0, width, -length / 2, 0);
  QTransform t;
  t.translate(centre.x(), centre.y());
  t.rotate(angle);
  return t.map(p);
}

// Calls `draw` at the offsets that make a tile of `w` x `h` seamless.
void wrapped(double w, double h, const std::function<void(const QPointF &)> &draw) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      draw(QPointF(dx * w, dy * h));
}

// The first installed family of `families` (Qt falls back along the list).
QFont font(const QStringList &families, double pixelSize, bool bold = false, bool italic = false) {
  QFont f;
  f.setFamilies(families);
  f.setPixelSize(int(std::lround(pixelSize)));
  f.setBold(bold);
  f.setItalic(italic);
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

// ---- Placeholders ----------------------------------------------------------------------

// "no.png": the picture of an image object whose file is missing. 80 x 80 points.
bool makeNoImage() {
  QImage img = canvas(160, 160, 144);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF box(6, 6, 148, 148);
  QLinearGradient bg(box.topLeft(), box.bottomRight());
  bg.setColorAt(0, QColor(0xF6, 0xF3, 0xFA));
  bg.setColorAt(1, QColor(0xEC, 0xE8, 0xF3));
  p.setBrush(bg);
  QPen dashed(QColor(0xB9, 0xB2, 0xCC), 2.5, Qt::DashLine, Qt::RoundCap);
  dashed.setDashPattern({4, 3});
  p.setPen(dashed);
  p.drawRoundedRect(box, 18, 18);

  // A framed landscape: two hills and a sun.
  const QRectF frame(38, 34, 84, 62);
  p.setPen(QPen(QColor(0xA8, 0xA0, 0xBF), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor(0xFF, 0xFF, 0xFF, 200));
  p.drawRoundedRect(frame, 8, 8);
  p.save();
  QPainterPath clip;
  clip.addRoundedRect(frame.adjusted(2, 2, -2, -2), 6, 6);
  p.setClipPath(clip);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xF5, 0xC6, 0xB8));
  p.drawEllipse(QPointF(100, 54), 8, 8);
  QPainterPath hills;
  hills.moveTo(frame.left(), frame.bottom());
  hills.lineTo(frame.left() + 26, frame.top() + 28);
  hills.lineTo(frame.left() + 44, frame.top() + 44);
  hills.lineTo(frame.left() + 60, frame.top() + 32);
  hills.lineTo(frame.right(), frame.bottom());
  hills.closeSubpath();
  p.setBrush(QColor(0xC9, 0xC2, 0xDC));
  p.drawPath(hills);
  p.restore();

  p.setPen(QColor(0x8C, 0x85, 0xA3));
  p.setFont(font({"DejaVu Sans", "Liberation Sans"}, 17, true));
  p.drawText(QRectF(0, 104, 160, 30), Qt::AlignCenter, QStringLiteral("No Image"));
  p.end();
  return save(img, QStringLiteral("no.png"));
}

// "banner.png": a soft strip with hearts and a ribbon; it tiles in both directions.
bool makeBanner() {
  const int w = 480, h = 90;
  QImage img = canvas(w, h, 72);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // Pale at the top and bottom edges, blush in the middle, so stacked copies meet.
  for (int y = 0; y < h; ++y) {
    const double t = std::sin(Pi * (y + 0.5) / h);
    p.setPen(mix(QColor(0xFF, 0xF6, 0xF4), QColor(0xF9, 0xDC, 0xE3), t));
    p.drawLine(0, y, w, y);
  }
  // Two ribbons of one period that divides the width.
  for (int band = 0; band < 2; ++band) {
    QPainterPath ribbon;
    const double phase = band * Pi;
    for (int x = -2; x <= w + 2; x += 2) {
      const double y = h / 2.0 + 16 * std::sin(2 * Pi * x / 240.0 + phase);
      x == -2 ? ribbon.moveTo(x, y) : ribbon.lineTo(x, y);
    }
    p.setPen(QPen(band ? QColor(0xC8, 0xB6, 0xE2, 150) : QColor(0xF2, 0xA7, 0xB8, 170), 3.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(ribbon);
  }
  // Hearts where the ribbons cross, dots between.
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 4; ++i) {
    const double x = 120.0 * i;
    wrapped(w, h, [&](const QPointF &o) {
      p.setBrush(QColor(0xEE, 0x8F, 0xA6, 210));
      p.fillPath(heart(o + QPointF(x, h / 2.0), 18), p.brush());
      p.setBrush(QColor(0xB9, 0xA4, 0xDB, 190));
      p.drawEllipse(o + QPointF(x + 60, h / 2.0 - 22), 3.2, 3.2);
      p.drawEllipse(o + QPointF(x + 60, h / 2.0 + 22), 3.2, 3.2);
    });
  }
  p.end();
  return save(img, QStringLiteral("banner.png"));
}

// "pattern_1.jpg": the promotion window's pattern: scattered hearts and petals on rose.
bool makePromotionPattern() {
  const int s = 240;
  QImage img = canvas(s, s, 72, QColor(0xFD, 0xF0, 0xF2));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  QRandomGenerator rng(1203);
  const QColor colours[] = {QColor(0xF4, 0xB6, 0xC2, 150), QColor(0xF9, 0xD0, 0xA9, 150),
                            QColor(0xC9, 0xB8, 0xE8, 150), QColor(0xB8, 0xDF, 0xD0, 150)};
  // A jittered lattice keeps the shapes apart.
  for (int gy = 0; gy < 4; ++gy)
    for (int gx = 0; gx < 4; ++gx) {
      const QPointF c((gx + 0.5 + (gy % 2) * 0.5) * s / 4.0 + rng.bounded(16) - 8,
                      (gy + 0.5) * s / 4.0 + rng.bounded(16) - 8);
      const QColor colour = colours[(gx + gy * 3) % 4];
      const int kind = (gx + gy) % 3;
      const double angle = rng.bounded(360);
      wrapped(s, s, [&](const QPointF &o) {
        if (kind == 0) {
          p.fillPath(heart(o + c, 20), colour);
        } else if (kind == 1) {
          for (int k = 0; k < 5; ++k) {
            const double a = (angle + k * 72) * Pi / 180.0;
            p.fillPath(petal(o + c + QPointF(7 * std::cos(a), 7 * std::sin(a)), 13, 5, angle + k * 72), colour);
          }
          p.setBrush(QColor(0xFF, 0xF3, 0xC4, 220));
          p.drawEllipse(o + c, 3, 3);
        } else {
          p.setBrush(colour);
          p.drawEllipse(o + c, 4, 4);
          p.drawEllipse(o + c + QPointF(12, 9), 2.5, 2.5);
        }
      });
    }
  p.end();
  return save(img, QStringLiteral("pattern_1.jpg"), 90);
}

// "Wizard_pattern.jpg": the start window's background: the dialog colour with faint
// diagonal lines and small stars.
bool makeWizardPattern() {
  const int s = 256;
  QImage img = canvas(s, s, 72, QColor(241, 244, 250));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0xD9, 0xE0, 0xF0), 1.2));
  for (int k = -s; k <= 2 * s; k += 32)
    p.drawLine(QPointF(k, 0), QPointF(k + s, s));
  QRandomGenerator rng(77);
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 10; ++i) {
    const QPointF c(rng.bounded(s), rng.bounded(s));
    const double r = 3 + rng.bounded(4);
    const QColor colour = (i % 2) ? QColor(0xC9, 0xBE, 0xE6, 170) : QColor(0xF3, 0xC1, 0xCF, 170);
    wrapped(s, s, [&](const QPointF &o) {
      QPainterPath star;
      for (int k = 0; k < 10; ++k) {
        const double a = -Pi / 2 + k * Pi / 5;
        const double rr = (k % 2) ? r * 0.45 : r;
        const QPointF pt = o + c + QPointF(rr * std::cos(a), rr * std::sin(a));
        k ? star.lineTo(pt) : star.moveTo(pt);
      }
      star.closeSubpath();
      p.fillPath(star, colour);
    });
  }
  p.end();
  return save(img, QStringLiteral("Wizard_pattern.jpg"), 92);
}

// ---- Samples of new card objects ---------------------------------------------------------

// "sign_sample.png": a handwritten signature in blue ink. 120 x 45 points.
bool makeSignature() {
  QImage img = canvas(240, 90, 144);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink(0x23, 0x2F, 0x6E);
  p.setPen(ink);
  p.setFont(font({"Z003", "URW Chancery L", "DejaVu Serif"}, 60, false, true));
  p.drawText(QRectF(4, 0, 232, 70), Qt::AlignCenter, QStringLiteral("J. Sorrell"));
  // The flourish under the name: one stroke, thinner at its ends.
  QPainterPath flourish;
  flourish.moveTo(22, 70);
  flourish.cubicTo(70, 60, 150, 84, 214, 64);
  flourish.cubicTo(226, 60, 230, 56, 222, 58);
  for (int i = 0; i < 3; ++i) {
    p.setPen(QPen(withAlpha(ink, 0.35 + 0.3 * i), 3.2 - i, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(flourish);
  }
  p.end();
  return save(img, QStringLiteral("sign_sample.png"));
}

// "fingerprints.png": a fingerprint in grey-blue ink on a clear ground. 60 x 75 points.
bool makeFingerprint() {
  // Drawn at 3 pixels per point; the ridge geometry below is in 2-pixel units.
  const double S = 1.5;
  const int w = 120, h = 150;
  QImage img = canvas(int(w * S), int(h * S), 216);
  const double cx = w / 2.0, cy = h * 0.46;
  QRandomGenerator rng(4242);
  // A few ridge breaks: spots where the ink thins out.
  struct Spot { double x, y, r; };
  std::vector<Spot> spots;
  for (int i = 0; i < 14; ++i)
    spots.push_back({double(rng.bounded(w)), double(rng.bounded(h)), 3.0 + rng.bounded(4)});
  const QColor ink(0x3A, 0x41, 0x5E);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const double px = (x + 0.5) / S, py = (y + 0.5) / S;
      // Fingertip outline: an egg, wider at the top, fading at its rim.
      const double ex = (px - cx) / (w * 0.46), ey = (py - h * 0.5) / (h * 0.47);
      const double egg = ex * ex * (py < h * 0.5 ? 1.0 : 1.2) + ey * ey;
      if (egg >= 1.0)
        continue;
      const double rim = std::clamp((1.0 - egg) / 0.18, 0.0, 1.0);
      // Ridges: rings around a short upright core (a loop), opening downwards into
      // nearly flat lines, with a gentle warp so no two rings are alike.
      const double wx = px + 2.2 * std::sin(py / 13.0) + 1.2 * std::sin(py / 5.0 + px / 17.0);
      const double wy = py + 1.8 * std::sin(px / 11.0);
      const double coreTop = cy - 9, coreBottom = cy + 5;
      const double qy = std::clamp(wy, coreTop, coreBottom);
      // Below the core the rings widen into flat arches.
      const double flat = std::clamp((wy - coreBottom) / 45.0, 0.0, 1.0);
      const double dx = (wx - cx) * (1.1 - 0.75 * flat * flat * (3 - 2 * flat)), dy = wy - qy;
      const double d = std::sqrt(dx * dx + dy * dy);
      const double ridge = 0.5 + 0.5 * std::cos(2 * Pi * d / 4.4);
      double a = std::clamp((ridge - 0.5) / 0.2, 0.0, 1.0);
      for (const Spot &s : spots) {
        const double q = std::hypot(px - s.x, py - s.y) / s.r;
        if (q < 1.0)
          a *= 0.2 + 0.8 * q * q;
      }
      a *= rim * 0.85;
      if (a > 0.0) {
        QColor c = ink;
        c.setAlphaF(float(a));
        img.setPixelColor(x, y, c);
      }
    }
  return save(img, QStringLiteral("fingerprints.png"));
}

// ---- Hatch patterns ------------------------------------------------------------------------

// A hatch tile: dark strokes on a clear ground, `px` pixels square at 144 dpi.
bool makeHatch(const QString &name, int px, const std::function<void(QPainter &, double)> &draw) {
  QImage img = canvas(px, px, 144);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0x4A, 0x4F, 0x63, 220), 1.6, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(QColor(0x4A, 0x4F, 0x63, 220));
  draw(p, px);
  p.end();
  return save(img, QStringLiteral("Fill_Style_Image/%1.png").arg(name));
}

bool makeHatches() {
  bool ok = true;
  const auto diagonal = [](QPainter &p, double s) {
    wrapped(s, s, [&](const QPointF &o) { p.drawLine(o + QPointF(0, s), o + QPointF(s, 0)); });
  };
  const auto backDiagonal = [](QPainter &p, double s) {
    wrapped(s, s, [&](const QPointF &o) { p.drawLine(o, o + QPointF(s, s)); });
  };
  const auto horizontal = [](QPainter &p, double s) { p.drawLine(QPointF(0, s / 2), QPointF(s, s / 2)); };
  const auto vertical = [](QPainter &p, double s) { p.drawLine(QPointF(s / 2, 0), QPointF(s / 2, s)); };
  ok &= makeHatch(QStringLiteral("Diagonal"), 16, diagonal);
  ok &= makeHatch(QStringLiteral("Back_Diagonal"), 16, backDiagonal);
  ok &= makeHatch(QStringLiteral("Horizontal"), 16, horizontal);
  ok &= makeHatch(QStringLiteral("Vertical"), 16, vertical);
  ok &= makeHatch(QStringLiteral("Cross_Hatch"), 16, [&](QPainter &p, double s) {
    horizontal(p, s);
    vertical(p, s);
  });
  ok &= makeHatch(QStringLiteral("Diagonal_Cross"), 16, [&](QPainter &p, double s) {
    diagonal(p, s);
    backDiagonal(p, s);
  });
  ok &= makeHatch(QStringLiteral("Dots"), 16, [](QPainter &p, double s) {
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(s / 4, s / 4), 2.0, 2.0);
    p.drawEllipse(QPointF(3 * s / 4, 3 * s / 4), 2.0, 2.0);
  });
  ok &= makeHatch(QStringLiteral("Hearts"), 32, [](QPainter &p, double s) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xD9, 0x5D, 0x7C, 200));
    p.drawPath(heart(QPointF(s / 4, s / 4), 9));
    p.drawPath(heart(QPointF(3 * s / 4, 3 * s / 4), 9));
  });
  return ok;
}

// ---- Card backgrounds ------------------------------------------------------------------------

// Backgrounds are 729 x 462 pixels at 216 dpi: 243 x 154 points, the standard card.
constexpr int BgW = 729, BgH = 462;

QImage backgroundBase(const QColor &a, const QColor &b) {
  QImage img = canvas(BgW, BgH, 216);
  QPainter p(&img);
  QLinearGradient g(0, 0, BgW, BgH);
  g.setColorAt(0, a);
  g.setColorAt(1, b);
  p.fillRect(img.rect(), g);
  // A soft light in the middle keeps the card's text readable.
  QRadialGradient glow(BgW / 2.0, BgH / 2.0, BgW * 0.42);
  glow.setColorAt(0, QColor(255, 255, 255, 120));
  glow.setColorAt(1, QColor(255, 255, 255, 0));
  p.fillRect(img.rect(), glow);
  return img;
}

bool makeBlushPetals() {
  QImage img = backgroundBase(QColor(0xFD, 0xE7, 0xEA), QColor(0xF8, 0xD0, 0xDC));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QRandomGenerator rng(31);
  for (int i = 0; i < 46; ++i) {
    // Petals gather at the left and right edges, few in the middle.
    double x = rng.bounded(BgW);
    if (std::abs(x - BgW / 2.0) < BgW * 0.25 && rng.bounded(4) != 0)
      x = x < BgW / 2.0 ? rng.bounded(BgW / 5) : BgW - rng.bounded(BgW / 5);
    const QPointF c(x, rng.bounded(BgH));
    const double len = 18 + rng.bounded(22);
    const QColor colour = (i % 3 == 0) ? QColor(0xF2, 0x9C, 0xB3, 120) : QColor(0xFF, 0xFF, 0xFF, 150);
    p.fillPath(petal(c, len, len * 0.38, rng.bounded(360)), colour);
  }
  for (int i = 0; i < 7; ++i)
    p.fillPath(heart(QPointF(40 + rng.bounded(BgW - 80), 30 + rng.bounded(BgH - 60)), 14 + rng.bounded(10)),
               QColor(0xE8, 0x7C, 0x98, 90));
  p.end();
  return save(img, QStringLiteral("Background/Blush_Petals.jpg"), 86);
}

bool makeSkyClouds() {
  QImage img = backgroundBase(QColor(0xDD, 0xEE, 0xFB), QColor(0xC3, 0xDD, 0xF4));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  QRandomGenerator rng(58);
  const QPointF clouds[] = {{110, 90}, {600, 70}, {170, 380}, {560, 360}, {380, 40}};
  for (const QPointF &c : clouds) {
    for (int k = 0; k < 7; ++k) {
      const QPointF puff = c + QPointF(rng.bounded(120) - 60, rng.bounded(30) - 15);
      const double r = 26 + rng.bounded(22);
      QRadialGradient g(puff, r);
      g.setColorAt(0, QColor(255, 255, 255, 200));
      g.setColorAt(0.7, QColor(255, 255, 255, 140));
      g.setColorAt(1, QColor(255, 255, 255, 0));
      p.setBrush(g);
      p.drawEllipse(puff, r, r);
    }
  }
  // A few birds, drawn as two arcs each.
  p.setPen(QPen(QColor(0x7E, 0x9C, 0xC2, 170), 2.2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  for (const QPointF &b : {QPointF(470, 140), QPointF(500, 120), QPointF(520, 150)}) {
    QPainterPath bird;
    bird.moveTo(b + QPointF(-10, 0));
    bird.quadTo(b + QPointF(-5, -6), b);
    bird.quadTo(b + QPointF(5, -6), b + QPointF(10, 0));
    p.drawPath(bird);
  }
  p.end();
  return save(img, QStringLiteral("Background/Sky_Clouds.jpg"), 86);
}

bool makeMintLeaves() {
  QImage img = backgroundBase(QColor(0xE6, 0xF6, 0xEE), QColor(0xCB, 0xEB, 0xDC));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // Sprigs in two corners: a curved stem with leaves along it.
  const auto sprig = [&](const QPointF &from, const QPointF &ctrl, const QPointF &to, double size) {
    QPainterPath stem;
    stem.moveTo(from);
    stem.quadTo(ctrl, to);
    p.setPen(QPen(QColor(0x7F, 0xB8, 0x9A, 200), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stem);
    p.setPen(Qt::NoPen);
    for (int i = 1; i <= 7; ++i) {
      const double t = i / 8.0;
      const QPointF at = stem.pointAtPercent(t);
      const double angle = stem.angleAtPercent(t);
      for (int side = -1; side <= 1; side += 2) {
        const double a = -angle + side * 50;
        const double len = size * (1.1 - 0.5 * t);
        const QPointF c = at + QPointF(std::cos(a * Pi / 180) * len / 2, std::sin(a * Pi / 180) * len / 2);
        p.fillPath(petal(c, len, len * 0.3, a), (i + side) % 3 ? QColor(0x8F, 0xCF, 0xAA, 150)
                                                                : QColor(0x6D, 0xB5, 0x8E, 150));
      }
    }
  };
  sprig(QPointF(-10, 470), QPointF(60, 330), QPointF(190, 300), 58);
  sprig(QPointF(740, -10), QPointF(660, 120), QPointF(540, 150), 52);
  sprig(QPointF(740, 470), QPointF(700, 400), QPointF(620, 390), 34);
  p.end();
  return save(img, QStringLiteral("Background/Mint_Leaves.jpg"), 86);
}

bool makeLavenderWaves() {
  QImage img = backgroundBase(QColor(0xEE, 0xE8, 0xF8), QColor(0xDD, 0xD2, 0xF0));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  const QColor colours[] = {QColor(0xC7, 0xB6, 0xEA, 90), QColor(0xF3, 0xC4, 0xD8, 80), QColor(0xB5, 0xA2, 0xE0, 70)};
  for (int band = 0; band < 3; ++band) {
    QPainterPath wave;
    const double base = BgH - 40 - band * 34;
    wave.moveTo(0, BgH);
    for (int x = 0; x <= BgW; x += 4)
      wave.lineTo(x, base + 18 * std::sin(2 * Pi * x / (380.0 - band * 60) + band * 1.3));
    wave.lineTo(BgW, BgH);
    wave.closeSubpath();
    p.fillPath(wave, colours[band]);
    // The same band mirrored along the top.
    p.fillPath(QTransform(1, 0, 0, -1, 0, BgH).map(wave), withAlpha(colours[band], 0.18));
  }
  p.end();
  return save(img, QStringLiteral("Background/Lavender_Waves.jpg"), 86);
}

}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
    return 2;
  }
  gOut = QString::fromLocal8Bit(argv[1]);
  bool ok = QDir().mkpath(gOut);
  ok &= makeNoImage();
  ok &= makeBanner();
  ok &= makePromotionPattern();
  ok &= makeWizardPattern();
  ok &= makeSignature();
  ok &= makeFingerprint();
  ok &= makeHatches();
  ok &= makeBlushPetals();
  ok &= makeSkyClouds();
  ok &= makeMintLeaves();
  ok &= makeLavenderWaves();
  return ok ? 0 : 1;
}
