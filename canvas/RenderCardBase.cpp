#include "canvas/RenderCardBase.h"

#include "core/CardDrawing.h"
#include "core/Card_Property.h"
#include "core/Utilities.h"

#include "platform/Images.h"

#include <QPainter>
#include <QPolygonF>
#include <QTransform>

#include <cmath>
#include <exception>

namespace CardBase {

namespace {

// `outline` with its curves replaced by straight segments, as fine as the device the
// painter draws on needs (the flattening is done in device space and mapped back).
QPainterPath flattened(const QPainterPath &outline, const QPainter &painter) {
  QTransform toDevice = painter.combinedTransform();
  bool invertible = false;
  QTransform fromDevice = toDevice.inverted(&invertible);
  if (!invertible) {
    toDevice = QTransform();
    fromDevice = QTransform();
  }
  QPainterPath flat;
  const QList<QPolygonF> polygons = outline.toSubpathPolygons(toDevice);
  for (const QPolygonF &devicePolygon : polygons) {
    QPolygonF polygon = fromDevice.map(devicePolygon);
    // The outlines are closed figures: drop the repeated start point and close the
    // subpath, so the last corner is joined like the others.
    if (polygon.size() > 2 && polygon.first() == polygon.last())
      polygon.removeLast();
    flat.addPolygon(polygon);
    flat.closeSubpath();
  }
  return flat;
}

void drawFill(QPainter &painter, const QPainterPath &outline, const Card_Property &side,
              const QString &resourcePath, const QRectF &pictureBounds) {
  const QString style = side.Card_fill_style();
  // A colour missing from a damaged design draws nothing rather than black.
  if (style == QLatin1String("G")) {
    if (!side.Card_fill_Grd_1_clr().isValid() || !side.Card_fill_Grd_2_clr().isValid())
      return;
    CardDrawing::fillGradient(&painter, outline, side.Card_fill_Grd_1_clr(), side.Card_fill_Grd_2_clr(),
                              side.Card_grad_Stepper());
  } else if (style == QLatin1String("H")) {
    const QColor background =
        side.Card_hatch_bk_clr().isValid() ? side.Card_hatch_bk_clr() : QColor(Qt::transparent);
    CardDrawing::fillHatch(&painter, outline, background, resourcePath, side.Card_hatch_style());
  } else if (style == QLatin1String("I")) {
    const PointImage picture = side.Card_BG_Image();
    if (picture.isNull())
      return;
    const double opacity = sideOpacity(side.Card_alpha_Stepper());
    if (side.Card_BG_Image_Layout() == QLatin1String("Tile")) {
      CardDrawing::fillPattern(&painter, outline, picture, opacity);
    } else {
      painter.save();
      painter.setOpacity(painter.opacity() * opacity);
      painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
      painter.drawImage(pictureBounds, picture.pixels, QRectF(picture.pixels.rect()));
      painter.restore();
    }
  } else if (side.Card_fill_clr().isValid()) {
    CardDrawing::fillSolid(&painter, outline, side.Card_fill_clr());
  }
}

}  // namespace

QPainterPath cardOutline(const QRectF &rect, int cardShape) {
  QPainterPath outline;
  switch (cardShape) {
  case 1: {
    // A radius larger than half a side would make the corners overlap.
    const double radius =
        std::max(0.0, std::min({RoundedCornerRadius, rect.width() / 2.0, rect.height() / 2.0}));
    outline.addRoundedRect(rect, radius, radius);
    break;
  }
  case 2:
    outline.addEllipse(rect);
    break;
  default:
    outline.addRect(rect);
    break;
  }
  return outline;
}

double sideOpacity(float cardAlpha) {
  if (std::isnan(cardAlpha))
    return 1.0;
  return std::clamp(double(cardAlpha), 0.0, 1.0);
}

void drawCardBase(QPainter &painter, const QRectF &rect, const Card_Property &side, int cardShape,
                  const QString &resourcePath, const QRectF &pictureBounds) {
  painter.save();
  try {
    const QPainterPath outline = cardOutline(rect, cardShape);
    CardDrawing::fillSolid(&painter, outline, Qt::white);

    if (side.Card_fill_chk())
      drawFill(painter, outline, side, resourcePath, pictureBounds.isEmpty() ? rect : pictureBounds);

    if (side.Card_border_chk() && side.Card_bordr_clr().isValid())
      CardDrawing::strokeBorder(&painter, flattened(outline, painter), side.Card_bordr_clr(),
                                side.Card_bor_Stepper(), side.Card_border_style(), Qt::FlatCap);
  } catch (const std::exception &e) {
    Show_NSLog_Message(QStringLiteral("Card_Base_Drawing: %1").arg(QString::fromLocal8Bit(e.what())));
  } catch (...) {
    Show_NSLog_Message(QStringLiteral("Card_Base_Drawing: the card base could not be drawn"));
  }
  painter.restore();
}

bool setBackgroundImage(Card_Property &side, const QString &path, QString *error) {
  if (path.isEmpty())
    return false;
  QString why;
  const PointImage picture = PointImage::load(path, &why);
  side.setCard_fill_chk(true);
  side.setCard_fill_style(QStringLiteral("I"));
  side.setCard_BG_Image_Path(path);
  side.setCard_BG_Image(picture);
  if (picture.isNull()) {
    if (error)
      *error = why;
    return false;
  }
  return true;
}

}  // namespace CardBase
