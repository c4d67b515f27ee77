// CardPicture: a recording plays back what was drawn, at any resolution, keeps the
// painter's own clip, refuses sizes it cannot draw, and may be played by several
// threads at once.

#include "canvas/RenderPicture.h"

#include "tests/common/PixelHelpers.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <cmath>
#include <functional>
#include <thread>

namespace {

const QSizeF kCard(243, 154);

// A scene that uses what card objects use: gradient and solid fills, dashed and wide
// strokes, clipping inside save and restore, opacity, a picture, and justified text laid
// out by QTextLayout in a large pixel-sized font drawn scaled down (as text objects do).
void drawScene(QPainter &p) {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);

  QPainterPath card;
  card.addRoundedRect(QRectF(0, 0, 243, 154), 10, 10);
  QLinearGradient gradient(0, 0, 243, 154);
  gradient.setColorAt(0, QColor(250, 240, 200));
  gradient.setColorAt(1, QColor(200, 220, 250));
  p.fillPath(card, gradient);

  p.save();
  p.setClipRect(QRectF(20, 20, 60, 40), Qt::IntersectClip);
  p.setBrush(QColor(200, 30, 30));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QRectF(10, 10, 90, 70));  // clipped to the rectangle
  p.restore();

  QPen dashed(QColor(0, 0, 160), 3.0);
  dashed.setDashPattern({4, 2});
  p.setPen(dashed);
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(100, 15, 60, 40));

  p.save();
  p.setOpacity(0.5);
  p.fillRect(QRectF(170, 15, 50, 40), QColor(0, 150, 0));
  p.restore();

  QImage picture(40, 20, QImage::Format_ARGB32);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x)
      picture.setPixelColor(x, y, x < 20 ? QColor(255, 128, 0) : QColor(128, 0, 255));
  p.drawImage(QRectF(20, 70, 80, 40), picture);

  QFont font(QStringLiteral("Liberation Serif"));
  font.setPixelSize(14 * 16);
  font.setHintingPreference(QFont::PreferNoHinting);
  QTextLayout layout(QStringLiteral("We are sorry for the trouble we caused yesterday evening."), font);
  QTextOption option(Qt::AlignJustify);
  option.setWrapMode(QTextOption::WordWrap);
  layout.setTextOption(option);
  layout.beginLayout();
  double y = 0;
  while (true) {
    QTextLine line = layout.createLine();
    if (!line.isValid())
      break;
    line.setLineWidth(110 * 16);
    line.setPosition(QPointF(0, y));
    y += line.height();
  }
  layout.endLayout();
  p.save();
  p.translate(120, 70);
  p.scale(1.0 / 16, 1.0 / 16);
  p.setPen(Qt::black);
  layout.draw(&p, QPointF(0, 0));
  p.restore();
}

CardPicture recordScene() {
  CardPicture::Recorder recorder(kCard);
  {
    QPainter painter(recorder.device());
    drawScene(painter);
  }
  return recorder.finish();
}

QImage directAt(double dpi) {
  const QSize size = CardPicture::pixelSizeAt(kCard, dpi);
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.scale(dpi / 72.0, dpi / 72.0);
  drawScene(painter);
  return image;
}

// Pixels whose colour differs by more than `tolerance` in any channel, alpha included.
int differingPixels(const QImage &a, const QImage &b, const QRect &area, int tolerance) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor ca = a.pixelColor(x, y);
      const QColor cb = b.pixelColor(x, y);
      if (std::abs(ca.red() - cb.red()) > tolerance || std::abs(ca.green() - cb.green()) > tolerance ||
          std::abs(ca.blue() - cb.blue()) > tolerance || std::abs(ca.alpha() - cb.alpha()) > tolerance)
        ++n;
    }
  return n;
}

int inkPixels(const QImage &image, const QRect &area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      n += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
  return n;
}

QRect pixelsOf(const QRectF &points, double dpi) {
  const double s = dpi / 72.0;
  return QRectF(points.x() * s, points.y() * s, points.width() * s, points.height() * s).toAlignedRect();
}

}  // namespace

TEST(CardPicture, PlaysBackWhatWasDrawnAtEveryResolution) {
  const CardPicture picture = recordScene();
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.size(), kCard);
  EXPECT_FALSE(picture.isBitmap());

  const QRectF textArea(118, 68, 116, 80);
  for (double dpi : {72.0, 150.0, 300.0}) {
    SCOPED_TRACE(dpi);
    QString error;
    const PointImage played = picture.toImage(dpi, &error);
    ASSERT_FALSE(played.isNull()) << error.toStdString();
    EXPECT_EQ(played.points, kCard);
    const QImage direct = directAt(dpi);
    ASSERT_EQ(played.pixels.size(), direct.size());
    EXPECT_NEAR(played.pixels.dotsPerMeterX() * 0.0254, dpi, 0.05);

    // Everything but the text matches the direct drawing to the pixel (allowing for
    // rounding in antialiased edges).
    QImage playedNoText = played.pixels.convertToFormat(QImage::Format_ARGB32);
    QImage directNoText = direct.convertToFormat(QImage::Format_ARGB32);
    {
      const QRect hide = pixelsOf(textArea, dpi);
      QPainter a(&playedNoText), b(&directNoText);
      a.setCompositionMode(QPainter::CompositionMode_Source);
      b.setCompositionMode(QPainter::CompositionMode_Source);
      a.fillRect(hide, Qt::black);
      b.fillRect(hide, Qt::black);
    }
    EXPECT_LE(differingPixels(playedNoText, directNoText, playedNoText.rect(), 3), 0);

    // The text: outlines filled where the glyphs were, as much ink within a few percent,
    // placed the same (justified lines reach the right edge of the column).
    const QRect textPixels = pixelsOf(textArea, dpi);
    const int playedInk = inkPixels(played.pixels, textPixels);
    const int directInk = inkPixels(direct, textPixels);
    ASSERT_GT(directInk, 0);
    EXPECT_NEAR(double(playedInk) / directInk, 1.0, 0.08);
    EXPECT_LE(differingPixels(played.pixels, direct, textPixels, 96), textPixels.width() * textPixels.height() / 50);
  }
}

TEST(CardPicture, ContentIsTheSameAtLowAndHighResolution) {
  const CardPicture picture = recordScene();
  const PointImage low = picture.toImage(72.0);
  const PointImage high = picture.toImage(300.0);
  ASSERT_EQ(low.pixels.size(), QSize(243, 154));
  ASSERT_EQ(high.pixels.size(), QSize(1013, 642));
  using pixeltest::at;
  using pixeltest::near;
  // The clipped ellipse, the half-transparent green, both halves of the picture.
  for (const QPointF point : {QPointF(50, 40), QPointF(195, 35), QPointF(40, 90), QPointF(80, 90)}) {
    SCOPED_TRACE(point.x());
    EXPECT_TRUE(near(at(low.pixels, point.x(), point.y()), at(high.pixels, point.x(), point.y(), 300.0 / 72), 6));
  }
  // Outside the clip the ellipse is not drawn at either resolution.
  EXPECT_FALSE(near(at(low.pixels, 15, 45), QColor(200, 30, 30), 40));
  EXPECT_FALSE(near(at(high.pixels, 15, 45, 300.0 / 72), QColor(200, 30, 30), 40));
}

TEST(CardPicture, KeepsTheClipOfThePainterItPlaysInto) {
  // The recording replaces its own clip; the target's clip stays in force under it.
  CardPicture::Recorder recorder(QSizeF(100, 100));
  {
    QPainter p(recorder.device());
    p.setClipRect(QRectF(0, 0, 100, 100), Qt::ReplaceClip);
    p.fillRect(QRectF(0, 0, 100, 100), Qt::red);
    p.setClipping(false);
    p.fillRect(QRectF(0, 50, 100, 50), Qt::blue);
  }
  const CardPicture picture = recorder.finish();
  QImage target(100, 100, QImage::Format_ARGB32);
  target.fill(Qt::white);
  {
    QPainter p(&target);
    p.setClipRect(QRect(0, 0, 50, 100));
    picture.draw(p);
    EXPECT_TRUE(p.hasClipping()) << "the painter's state is the same afterwards";
  }
  EXPECT_EQ(target.pixelColor(25, 25), QColor(Qt::red));
  EXPECT_EQ(target.pixelColor(25, 75), QColor(Qt::blue));
  EXPECT_EQ(target.pixelColor(75, 25), QColor(Qt::white));
  EXPECT_EQ(target.pixelColor(75, 75), QColor(Qt::white));
}

TEST(CardPicture, RefusesWhatCannotBeDrawn) {
  QString error;
  EXPECT_TRUE(CardPicture().toImage(72, &error).isNull());
  EXPECT_FALSE(error.isEmpty());
  EXPECT_TRUE(CardPicture().pdfData(QString(), &error).isEmpty());

  const CardPicture picture = recordScene();
  for (double dpi : {0.0, -72.0, std::nan(""), double(INFINITY), 1e9}) {
    SCOPED_TRACE(dpi);
    error.clear();
    EXPECT_TRUE(picture.toImage(dpi, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
  }
  // The same rounding as Increase_DPI: up to the next whole pixel.
  EXPECT_EQ(CardPicture::pixelSizeAt(kCard, 300), QSize(1013, 642));
  EXPECT_EQ(CardPicture::pixelSizeAt(QSizeF(0, 154), 300), QSize(0, 0));
  EXPECT_EQ(CardPicture::pixelSizeAt(QSizeF(1e6, 1e6), 72), QSize(0, 0)) << "beyond Images::MaxPixels";
}

TEST(CardPicture, BitmapPicturePlaysAtItsPointSize) {
  QImage pixels(10, 5, QImage::Format_ARGB32);
  pixels.fill(QColor(10, 200, 30));
  const CardPicture picture = CardPicture::fromBitmap(PointImage{pixels, QSizeF(20, 10)});
  EXPECT_TRUE(picture.isBitmap());
  EXPECT_EQ(picture.size(), QSizeF(20, 10));
  const PointImage image = picture.toImage(144);
  EXPECT_EQ(image.pixels.size(), QSize(40, 20));
  EXPECT_EQ(image.pixels.pixelColor(20, 10), QColor(10, 200, 30));
}

TEST(CardPictureThreads, SeveralThreadsPlayOnePictureAtOnce) {
  const CardPicture picture = recordScene();
  const QImage reference = picture.toImage(150).pixels;
  QImage results[3];
  std::vector<std::thread> threads;
  for (QImage &result : results)
    threads.emplace_back([&picture, &result] {
      for (int i = 0; i < 3; ++i)
        result = picture.toImage(150).pixels;
    });
  for (std::thread &t : threads)
    t.join();
  for (const QImage &result : results)
    EXPECT_EQ(result, reference);
}
