#include "canvas/RenderSide.h"

#include "canvas/RenderCardBase.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

#include <cmath>
#include <exception>

namespace Render {

namespace {

QString reasonOf(const std::exception &e) { return QString::fromUtf8(e.what()); }

void prepare(QPainter &painter) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
}

bool usableCanvas(const CardSideSnapshot &side, QString *error) {
  const QSizeF size = side.canvasSize;
  if (std::isfinite(size.width()) && std::isfinite(size.height()) && size.width() > 0 && size.height() > 0)
    return true;
  if (error)
    *error = QStringLiteral("There is no card canvas to render.");
  return false;
}

}  // namespace

QLNGraphicList copyGraphicsForRendering(const QLNGraphicList &graphics, QString *error) {
  QLNGraphicList copies;
  copies.reserve(graphics.size());
  QStringList problems;
  for (const QLNGraphicPtr &graphic : graphics) {
    if (!graphic)
      continue;
    try {
      copies.append(graphic->copyForRendering());
    } catch (const std::exception &e) {
      problems.append(QStringLiteral("A %1 could not be copied for drawing: %2").arg(graphic->className(), reasonOf(e)));
    }
  }
  if (error)
    *error = problems.join(QLatin1Char('\n'));
  return copies;
}

QString drawSide(QPainter &painter, const CardSideSnapshot &side) {
  const QRectF canvas = side.bounds();
  painter.save();
  try {
    if (side.settings)
      CardBase::drawCardBase(painter, canvas, *side.settings, side.cardShape, side.resourcePath, canvas);
    else
      side.recordedBase.draw(painter);
  } catch (const std::exception &e) {
    painter.restore();
    return reasonOf(e);
  } catch (...) {
    painter.restore();
    return QStringLiteral("The card base could not be drawn.");
  }
  painter.restore();

  for (qsizetype index = side.graphics.size() - 1; index >= 0; --index) {
    const QLNGraphicPtr &graphic = side.graphics.at(index);
    if (!graphic || graphic->print_object != 0)
      continue;
    painter.save();
    try {
      // Within its drawing bounds, as the canvas draws it: the card shows what the
      // canvas shows.
      painter.setClipRect(graphic->drawingBounds(), Qt::IntersectClip);
      graphic->drawContentsInView(&painter, false);
    } catch (const std::exception &e) {
      painter.restore();
      return reasonOf(e);
    } catch (...) {
      painter.restore();
      return QStringLiteral("A %1 could not be drawn.").arg(graphic->className());
    }
    painter.restore();
  }
  return QString();
}

CardPicture recordSide(const CardSideSnapshot &side, QString *drawingError, QString *error) {
  if (!usableCanvas(side, error))
    return CardPicture();
  CardPicture::Recorder recorder(side.canvasSize);
  QString failure;
  {
    QPainter painter(recorder.device());
    prepare(painter);
    failure = drawSide(painter, side);
  }
  if (drawingError)
    *drawingError = failure;
  return recorder.finish();
}

PointImage renderSideImage(const CardSideSnapshot &side, double dpi, QString *drawingError, QString *error) {
  if (!usableCanvas(side, error))
    return PointImage();
  const QSize pixels = CardPicture::pixelSizeAt(side.canvasSize, dpi);
  if (pixels.isEmpty()) {
    if (error)
      *error = QStringLiteral("A card of %1 by %2 points at %3 dpi is too large or empty.")
                   .arg(side.canvasSize.width())
                   .arg(side.canvasSize.height())
                   .arg(dpi);
    return PointImage();
  }
  QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) {
    if (error)
      *error = QStringLiteral("There is not enough memory for an image of %1 by %2 pixels.")
                   .arg(pixels.width())
                   .arg(pixels.height());
    return PointImage();
  }
  image.fill(Qt::transparent);
  const int dotsPerMeter = int(std::lround(dpi / 0.0254));
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  QString failure;
  {
    QPainter painter(&image);
    prepare(painter);
    painter.scale(dpi / 72.0, dpi / 72.0);
    failure = drawSide(painter, side);
  }
  if (drawingError)
    *drawingError = failure;
  return PointImage{image, side.canvasSize};
}

QByteArray tiffDataOfObjects(const QLNGraphicList &graphics, const QRectF &rect, QString *drawingError,
                             QString *error) {
  const auto fail = [&](const QString &why) {
    if (error)
      *error = why;
    return QByteArray();
  };
  const QSize pixels = CardPicture::pixelSizeAt(rect.size(), 72.0);
  if (pixels.isEmpty() || !std::isfinite(rect.x()) || !std::isfinite(rect.y()))
    return fail(QStringLiteral("The objects cover no area that can be drawn."));
  QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull())
    return fail(QStringLiteral("There is not enough memory for an image of %1 by %2 pixels.")
                    .arg(pixels.width())
                    .arg(pixels.height()));
  image.fill(Qt::transparent);
  const int dotsPerMeter = int(std::lround(72.0 / 0.0254));
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  QStringList failures;
  {
    QPainter painter(&image);
    prepare(painter);
    painter.translate(-rect.x(), -rect.y());
    for (qsizetype index = graphics.size() - 1; index >= 0; --index) {
      const QLNGraphicPtr &graphic = graphics.at(index);
      if (!graphic)
        continue;
      painter.save();
      try {
        painter.setClipRect(graphic->drawingBounds(), Qt::IntersectClip);
        graphic->drawContentsInView(&painter, false);
      } catch (const std::exception &e) {
        failures.append(reasonOf(e));
      } catch (...) {
        failures.append(QStringLiteral("A %1 could not be drawn.").arg(graphic->className()));
      }
      painter.restore();
    }
  }
  if (drawingError)
    *drawingError = failures.join(QLatin1Char('\n'));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "tiff");
  if (!writer.write(image))
    return fail(QStringLiteral("The TIFF data could not be written: %1").arg(writer.errorString()));
  return bytes;
}

}  // namespace Render
