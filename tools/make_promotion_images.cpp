// Draws the pictures of the promotion window's three products into the shipped
// resources: Promotion_S.png (stationery: a letter over its envelope), Promotion_R.png
// (reminders: a calendar page with a ringing bell) and Promotion_B.png (badges: a name
// badge with a photo and a barcode).
//
//   amends_make_promotion_images <project>/resources

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace {

constexpr int Side = 256;
const QColor Ink(0x2b, 0x4a, 0x7a);
const QColor Accent(0xd9, 0x5b, 0x5b);
const QColor Paper(0xfb, 0xf8, 0xf0);

void stationery(QPainter &p) {
  // The envelope, open, with the letter standing out of it.
  p.setPen(QPen(Ink, 5));
  p.setBrush(Paper);
  p.drawRoundedRect(QRectF(52, 30, 152, 150), 6, 6);
  p.setPen(QPen(Ink.lighter(150), 4));
  for (int y = 62; y <= 140; y += 20)
    p.drawLine(QPointF(74, y), QPointF(y == 140 ? 140 : 182, y));
  p.setPen(QPen(Ink, 5));
  p.setBrush(QColor(0xe8, 0xd9, 0xb5));
  QPainterPath envelope;
  envelope.addRect(QRectF(32, 120, 192, 110));
  p.drawPath(envelope);
  p.drawLine(QPointF(32, 120), QPointF(128, 185));
  p.drawLine(QPointF(224, 120), QPointF(128, 185));
  // A small heart seals it.
  QPainterPath heart;
  heart.moveTo(128, 200);
  heart.cubicTo(100, 180, 112, 160, 128, 172);
  heart.cubicTo(144, 160, 156, 180, 128, 200);
  p.setPen(Qt::NoPen);
  p.setBrush(Accent);
  p.drawPath(heart);
}

void reminders(QPainter &p) {
  p.setPen(QPen(Ink, 5));
  p.setBrush(Paper);
  p.drawRoundedRect(QRectF(36, 48, 168, 172), 10, 10);
  p.setBrush(Accent);
  p.drawRoundedRect(QRectF(36, 48, 168, 44), 10, 10);
  p.setBrush(Ink);
  for (int x : {76, 164})
    p.drawRoundedRect(QRectF(x - 6, 32, 12, 32), 5, 5);
  // The days, one of them circled.
  p.setPen(Qt::NoPen);
  p.setBrush(Ink.lighter(160));
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 5; ++col)
      p.drawRect(QRectF(54 + col * 28, 112 + row * 32, 16, 16));
  p.setPen(QPen(Accent, 5));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(118, 152), 17, 17);
  // The bell.
  p.setPen(QPen(Ink, 4));
  p.setBrush(QColor(0xf2, 0xc1, 0x4e));
  QPainterPath bell;
  bell.moveTo(186, 176);
  bell.cubicTo(186, 150, 200, 138, 214, 138);
  bell.cubicTo(228, 138, 242, 150, 242, 176);
  bell.lineTo(248, 190);
  bell.lineTo(180, 190);
  bell.closeSubpath();
  p.drawPath(bell);
  p.drawEllipse(QPointF(214, 196), 7, 7);
}

void badges(QPainter &p) {
  p.setPen(QPen(Ink, 5));
  p.setBrush(Paper);
  p.drawRoundedRect(QRectF(40, 40, 176, 192), 14, 14);
  p.setBrush(Ink);
  p.drawRoundedRect(QRectF(108, 26, 40, 24), 6, 6);
  // The photo: a head and shoulders.
  p.setBrush(QColor(0xc9, 0xd6, 0xea));
  p.drawRect(QRectF(62, 66, 64, 76));
  p.setPen(Qt::NoPen);
  p.setBrush(Ink);
  p.drawEllipse(QPointF(94, 92), 14, 14);
  p.drawChord(QRectF(70, 110, 48, 60), 0, 180 * 16);
  // The name lines and the barcode.
  p.setBrush(Ink.lighter(160));
  p.drawRect(QRectF(138, 74, 60, 10));
  p.drawRect(QRectF(138, 96, 44, 10));
  p.setBrush(Qt::black);
  const int widths[] = {3, 1, 2, 1, 1, 3, 2, 1, 3, 1, 2, 2, 1, 3, 1, 1, 2, 3, 1, 2, 1, 3, 2, 1};
  double x = 64;
  bool bar = true;
  for (int w : widths) {
    if (bar)
      p.drawRect(QRectF(x, 160, w * 2.5, 52));
    x += w * 2.5 + 2;
    bar = !bar;
  }
}

bool draw(const QString &path, const std::function<void(QPainter &)> &picture) {
  QImage image(Side, Side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  picture(painter);
  painter.end();
  return image.save(path, "PNG");
}

}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (app.arguments().size() != 2) {
    std::fprintf(stderr, "usage: amends_make_promotion_images <resources folder>\n");
    return 1;
  }
  const QDir folder(app.arguments().at(1));
  const std::pair<const char *, std::function<void(QPainter &)>> pictures[] = {
      {"Promotion_S.png", stationery}, {"Promotion_R.png", reminders}, {"Promotion_B.png", badges}};
  for (const auto &[name, picture] : pictures) {
    if (!draw(folder.filePath(QLatin1String(name)), picture)) {
      std::fprintf(stderr, "amends_make_promotion_images: %s cannot be written\n", name);
      return 1;
    }
  }
  return 0;
}
