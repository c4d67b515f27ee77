// Draws the pictures of the image library that ships in resources/LibraryImage: one
// folder per category, each with a few pictures of hearts, flowers and simple shapes.
//
// Every picture is drawn here from paths and gradients; nothing is taken from
// elsewhere. The pictures state 144 dots per inch, so a 320-pixel picture is placed at
// 160 points. Random choices use fixed seeds, so a run draws the same pictures again.
//
// Usage: amends_make_library_images <project>/resources/LibraryImage

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>
#include <cstdio>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr int Side = 320;
constexpr double Dpi = 144.0;

QString gOut;

QImage canvas(const QColor &fill = Qt::transparent) {
  QImage image(Side, Side, QImage::Format_ARGB32_Premultiplied);
  image.fill(fill);
  const int dpm = int(std::lround(Dpi / 0.0254));
  image.setDotsPerMeterX(dpm);
  image.setDotsPerMeterY(dpm);
  return image;
}

bool save(const QImage &image, const QString &relative) {
  const QString path = QDir(gOut).filePath(relative);
  QDir().mkpath(QFileInfo(path).absolutePath());
  const bool jpeg = relative.endsWith(QLatin1String(".jpg"));
  const QImage out = image.convertToFormat(jpeg ? QImage::Format_RGB32 : QImage::Format_ARGB32);
  if (!out.save(path, jpeg ? "JPEG" : "PNG", jpeg ? 88 : -1)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%-36s %7lld bytes\n", qPrintable(relative), QFileInfo(path).size());
  return true;
}

QPainterPath heart(const QPointF &c, double size) {
  const double s = size / 2.0;
  QPainterPath p;
  p.moveTo(c + QPointF(0, s * 0.95));
  p.cubicTo(c + QPointF(-s * 1.25, s * 0.05), c + QPointF(-s * 0.95, -s * 1.05), c + QPointF(0, -s * 0.45));
  p.cubicTo(c + QPointF(s * 0.95, -s * 1.05), c + QPointF(s * 1.25, s * 0.05), c + QPointF(0, s * 0.95));
  p.closeSubpath();
  return p;
}

void fillHeart(QPainter &p, const QPointF &c, double size, const QColor &light, const QColor &dark) {
  QRadialGradient g(c + QPointF(-size * 0.18, -size * 0.22), size * 0.75);
  g.setColorAt(0, light);
  g.setColorAt(1, dark);
  p.setPen(QPen(dark.darker(130), size / 60));
  p.setBrush(g);
  p.drawPath(heart(c, size));
  // A shine.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 110));
  p.drawEllipse(QRectF(c.x() - size * 0.32, c.y() - size * 0.3, size * 0.16, size * 0.1));
}

QPainterPath star(const QPointF &c, double outer, double inner, int points) {
  QPainterPath p;
  for (int i = 0; i < points * 2; ++i) {
    const double r = i % 2 ? inner : outer;
    const double a = -Pi / 2 + i * Pi / points;
    const QPointF at = c + QPointF(r * std::cos(a), r * std::sin(a));
    i ? p.lineTo(at) : p.moveTo(at);
  }
  p.closeSubpath();
  return p;
}

// A flower: `petals` petals of `colour` around a golden centre.
void flower(QPainter &p, const QPointF &c, double radius, int petals, const QColor &colour) {
  p.save();
  p.translate(c);
  p.setPen(QPen(colour.darker(140), radius / 40));
  for (int i = 0; i < petals; ++i) {
    p.save();
    p.rotate(360.0 * i / petals);
    QLinearGradient g(0, 0, 0, -radius);
    g.setColorAt(0, colour.lighter(130));
    g.setColorAt(1, colour);
    p.setBrush(g);
    p.drawEllipse(QRectF(-radius * 0.22, -radius, radius * 0.44, radius * 0.7));
    p.restore();
  }
  QRadialGradient centre(QPointF(-radius * 0.06, -radius * 0.06), radius * 0.3);
  centre.setColorAt(0, QColor(255, 226, 92));
  centre.setColorAt(1, QColor(214, 150, 20));
  p.setBrush(centre);
  p.setPen(QPen(QColor(170, 110, 10), radius / 50));
  p.drawEllipse(QPointF(0, 0), radius * 0.26, radius * 0.26);
  p.restore();
}

void stem(QPainter &p, const QPointF &from, const QPointF &to, double width) {
  QPainterPath s;
  s.moveTo(from);
  s.cubicTo(from + QPointF(width * 3, (to.y() - from.y()) * 0.4), to + QPointF(-width * 3, -(to.y() - from.y()) * 0.3), to);
  p.setPen(QPen(QColor(70, 140, 60), width, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(s);
}

void leaf(QPainter &p, const QPointF &at, double length, double angle) {
  p.save();
  p.translate(at);
  p.rotate(angle);
  QPainterPath l;
  l.moveTo(0, 0);
  l.quadTo(length * 0.5, -length * 0.35, length, 0);
  l.quadTo(length * 0.5, length * 0.35, 0, 0);
  p.setPen(QPen(QColor(50, 110, 45), 1.5));
  p.setBrush(QColor(96, 170, 80));
  p.drawPath(l);
  p.restore();
}

QImage sky(const QColor &top, const QColor &bottom) {
  QImage image = canvas(Qt::white);
  QPainter p(&image);
  QLinearGradient g(0, 0, 0, Side);
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  p.fillRect(image.rect(), g);
  return image;
}

// ---- hearts ----

bool redHeart() {
  QImage image = canvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  fillHeart(p, QPointF(160, 170), 250, QColor(255, 120, 130), QColor(190, 20, 40));
  return save(image, QStringLiteral("hearts/Red Heart.png"));
}

bool heartTrio() {
  QImage image = canvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  fillHeart(p, QPointF(95, 200), 130, QColor(255, 190, 210), QColor(220, 80, 140));
  fillHeart(p, QPointF(225, 200), 130, QColor(255, 200, 160), QColor(230, 100, 60));
  fillHeart(p, QPointF(160, 120), 160, QColor(255, 130, 140), QColor(200, 30, 50));
  return save(image, QStringLiteral("hearts/heart_trio.png"));
}

bool heartBalloon() {
  QImage image = sky(QColor(150, 200, 245), QColor(235, 245, 255));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QRandomGenerator random(7);
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 5; ++i) {  // clouds
    const QPointF c(random.bounded(Side), 40 + random.bounded(Side / 2));
    p.setBrush(QColor(255, 255, 255, 170));
    for (int k = 0; k < 4; ++k)
      p.drawEllipse(c + QPointF(k * 16 - 24, (k % 2) * -8), 22.0, 16.0);
  }
  QPainterPath string;
  string.moveTo(160, 225);
  string.cubicTo(140, 260, 185, 285, 160, 318);
  p.setPen(QPen(QColor(90, 90, 90), 2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(string);
  fillHeart(p, QPointF(160, 140), 190, QColor(255, 110, 120), QColor(185, 15, 35));
  return save(image, QStringLiteral("hearts/heart_balloon.jpg"));
}

// ---- flowers ----

bool daisy() {
  QImage image = canvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  stem(p, QPointF(160, 175), QPointF(160, 315), 9);
  leaf(p, QPointF(162, 260), 70, -30);
  leaf(p, QPointF(158, 285), 60, 200);
  flower(p, QPointF(160, 130), 115, 14, QColor(250, 250, 252));
  return save(image, QStringLiteral("flowers/daisy.png"));
}

bool tulip() {
  QImage image = canvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  stem(p, QPointF(160, 170), QPointF(160, 315), 10);
  leaf(p, QPointF(160, 290), 95, -55);
  QPainterPath cup;
  cup.moveTo(95, 70);
  cup.lineTo(125, 110);
  cup.lineTo(160, 55);
  cup.lineTo(195, 110);
  cup.lineTo(225, 70);
  cup.cubicTo(240, 150, 210, 190, 160, 190);
  cup.cubicTo(110, 190, 80, 150, 95, 70);
  QLinearGradient g(0, 55, 0, 190);
  g.setColorAt(0, QColor(255, 120, 150));
  g.setColorAt(1, QColor(200, 30, 80));
  p.setPen(QPen(QColor(150, 20, 60), 3));
  p.setBrush(g);
  p.drawPath(cup);
  return save(image, QStringLiteral("flowers/Tulip.png"));
}

bool bunch() {
  QImage image = sky(QColor(255, 248, 230), QColor(250, 225, 200));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF tie(160, 290);
  const QPointF heads[] = {{90, 120}, {160, 90}, {230, 120}, {120, 175}, {200, 175}};
  const QColor colours[] = {QColor(240, 120, 170), QColor(255, 200, 70), QColor(150, 120, 230),
                            QColor(250, 150, 90), QColor(235, 90, 110)};
  for (const QPointF &h : heads)
    stem(p, h, tie, 6);
  for (int i = 0; i < 5; ++i)
    flower(p, heads[i], 48, 8 + i % 3, colours[i]);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(120, 170, 230));
  p.drawEllipse(tie, 16.0, 10.0);
  return save(image, QStringLiteral("flowers/flower_bunch.jpg"));
}

// ---- simple shapes ----

bool goldStar() {
  QImage image = canvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient g(QPointF(140, 140), 170);
  g.setColorAt(0, QColor(255, 240, 140));
  g.setColorAt(1, QColor(225, 160, 20));
  p.setPen(QPen(QColor(180, 120, 10), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(g);
  p.drawPath(star(QPointF(160, 168), 150, 62, 5));
  return save(image, QStringLiteral("simple shapes/gold_star.png"));
}

bool circles() {
  QImage image = canvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor colours[] = {QColor(90, 160, 230, 200), QColor(240, 110, 120, 200), QColor(120, 200, 120, 200)};
  const QPointF centres[] = {{120, 130}, {200, 130}, {160, 200}};
  p.setPen(QPen(Qt::white, 3));
  for (int i = 0; i < 3; ++i) {
    p.setBrush(colours[i]);
    p.drawEllipse(centres[i], 85.0, 85.0);
  }
  return save(image, QStringLiteral("simple shapes/Circles.png"));
}

bool rainbow() {
  QImage image = sky(QColor(120, 185, 240), QColor(225, 240, 255));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor bands[] = {QColor(230, 60, 60), QColor(245, 150, 40), QColor(250, 220, 60),
                          QColor(90, 190, 90), QColor(70, 130, 220), QColor(130, 80, 190)};
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 6; ++i) {
    const double r = 140 - i * 16;
    p.setPen(QPen(bands[i], 16, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(160 - r, 250 - r, 2 * r, 2 * r), 0, 180 * 16);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  for (const QPointF &c : {QPointF(40, 250), QPointF(280, 250)})
    for (int k = 0; k < 4; ++k)
      p.drawEllipse(c + QPointF(k * 14 - 21, (k % 2) * -10), 24.0, 18.0);
  return save(image, QStringLiteral("simple shapes/rainbow.jpg"));
}

}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <resources/LibraryImage folder>\n", argv[0]);
    return 2;
  }
  gOut = QString::fromLocal8Bit(argv[1]);
  bool ok = QDir().mkpath(gOut);
  ok &= redHeart();
  ok &= heartTrio();
  ok &= heartBalloon();
  ok &= daisy();
  ok &= tulip();
  ok &= bunch();
  ok &= goldStar();
  ok &= circles();
  ok &= rainbow();
  return ok ? 0 : 1;
}
