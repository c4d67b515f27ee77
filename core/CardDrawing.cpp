#include "core/CardDrawing.h"

#include "core/Utilities.h"

#include <QBrush>
#include <QFileInfo>
#include <QFile>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPathStroker>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace CardDrawing {

namespace {

// Corners are mitred as long as the mitre is at most 10 line widths long (corners down
// to about 11.5 degrees, so star points stay sharp) and bevelled beyond. Qt's SVG mitre
// join measures its limit that way; its plain mitre join would cut the point off at a
// distance instead.
constexpr double MiterLimit = 10.0;

const QStringList PatternExtensions = {QStringLiteral("png"), QStringLiteral("jpg"),
                                       QStringLiteral("jpeg"), QStringLiteral("tiff"),
                                       QStringLiteral("tif"), QStringLiteral("gif"),
                                       QStringLiteral("bmp")};

bool usable(const QPainter *painter) { return painter && painter->isActive(); }

}  // namespace

QList<qreal> dashPatternForBorderType(const QString &borderType) {
  if (borderType == QLatin1String("DA"))
    return {8, 2};
  if (borderType == QLatin1String("DO"))
    return {4, 6};
  if (borderType == QLatin1String("DD"))
    return {24, 10, 6, 10};
  if (borderType == QLatin1String("DDD"))
    return {24, 8, 8, 8, 8, 8};
  return {};
}

QPen borderPen(const QColor &color, double width, const QString &borderType, Qt::PenCapStyle cap) {
  if (!(width > 0.0))
    width = 0.0;
  width = std::min(width, MaxStrokeWidth);
  QPen pen(QBrush(color), width, Qt::SolidLine, cap, Qt::SvgMiterJoin);
  pen.setMiterLimit(MiterLimit);
  const QList<qreal> dashes = dashPatternForBorderType(borderType);
  if (!dashes.isEmpty()) {
    // Qt measures dashes in pen widths; a width-0 pen is one unit wide.
    const double unit = width > 0.0 ? width : 1.0;
    QList<qreal> scaled;
    scaled.reserve(dashes.size());
    for (qreal length : dashes)
      scaled.append(length / unit);
    pen.setDashPattern(scaled);
    pen.setDashOffset(0.0);
  }
  return pen;
}

void strokeBorder(QPainter *painter, const QPainterPath &path, const QColor &color, double width,
                  const QString &borderType, Qt::PenCapStyle cap) {
  if (!usable(painter) || !(width >= 0.0))
    return;
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, true);
  painter->setBrush(Qt::NoBrush);
  painter->setPen(borderPen(color, width, borderType, cap));
  painter->drawPath(path);
  painter->restore();
}

QRectF borderExtent(const QPainterPath &path, double width, Qt::PenCapStyle cap) {
  if (path.isEmpty() || !(width >= 0.0))
    return QRectF();
  QPainterPathStroker stroker(borderPen(Qt::black, width, QString(), cap));
  // A width-0 line is one device pixel wide: at most a point on any device we draw on.
  if (!(width > 0.0))
    stroker.setWidth(1.0);
  return stroker.createStroke(path).boundingRect();
}

void fillSolid(QPainter *painter, const QPainterPath &path, const QColor &color) {
  if (!usable(painter))
    return;
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, true);
  painter->fillPath(path, QBrush(color));
  painter->restore();
}

QLinearGradient gradientAcross(const QRectF &rect, const QColor &from, const QColor &to,
                               double angleDegrees) {
  if (!std::isfinite(angleDegrees))
    angleDegrees = 0.0;
  const double radians = std::fmod(angleDegrees, 360.0) * M_PI / 180.0;
  const double dx = std::cos(radians);
  const double dy = std::sin(radians);
  const QRectF r = rect.normalized();
  // The extent of the rectangle along the direction: the two farthest corners.
  const double half = (std::fabs(r.width() * dx) + std::fabs(r.height() * dy)) / 2.0;
  const QPointF centre = r.center();
  QLinearGradient gradient(centre - QPointF(dx * half, dy * half), centre + QPointF(dx * half, dy * half));
  gradient.setColorAt(0.0, from);
  gradient.setColorAt(1.0, to);
  gradient.setSpread(QGradient::PadSpread);
  return gradient;
}

void fillGradient(QPainter *painter, const QPainterPath &path, const QColor &from, const QColor &to,
                  double angleDegrees) {
  if (!usable(painter))
    return;
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, true);
  painter->fillPath(path, QBrush(gradientAcross(path.boundingRect(), from, to, angleDegrees)));
  painter->restore();
}

QString patternImagePath(const QString &resourcePath, const QString &name) {
  if (resourcePath.isEmpty() || !isSafeFileName(name))
    return QString();
  const QString folder = joinPath(resourcePath, QStringLiteral("Fill_Style_Image"));
  for (const QString &extension : PatternExtensions) {
    const QString path = joinPath(folder, name + u'.' + extension);
    const QFileInfo info(path);
    // A regular file only: a folder or a named pipe of that name is not a picture (and
    // reading a pipe could wait for ever).
    if (info.exists() && info.isFile())
      return path;
  }
  return QString();
}

PointImage loadPatternImage(const QString &resourcePath, const QString &name) {
  const QString path = patternImagePath(resourcePath, name);
  if (path.isEmpty())
    return {};
  {
    // The size the file announces, read through a check that it is still a regular file.
    QFile file;
    if (!openRegularFile(file, path))
      return {};
    QImageReader reader(&file);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > MaxPatternPixels)
      return {};
  }
  PointImage image = PointImage::load(path);
  if (image.isNull() || qint64(image.pixels.width()) * image.pixels.height() > MaxPatternPixels)
    return {};
  return image;
}

void fillPattern(QPainter *painter, const QPainterPath &path, const PointImage &pattern,
                 double opacity) {
  if (!usable(painter) || pattern.isNull())
    return;
  if (!(opacity > 0.0))
    return;
  opacity = std::min(opacity, 1.0);
  const QImage &pixels = pattern.pixels;
  // One tile is as large as the picture is in points; a picture whose stated size is
  // unusable is one point per pixel.
  QSizeF points = pattern.points;
  if (!(points.width() >= 0.01 && points.height() >= 0.01 && std::isfinite(points.width()) &&
        std::isfinite(points.height())))
    points = QSizeF(pixels.width(), pixels.height());
  QBrush brush(pixels);
  brush.setTransform(QTransform::fromScale(points.width() / pixels.width(),
                                           points.height() / pixels.height()));
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, true);
  painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter->setOpacity(painter->opacity() * opacity);
  painter->setBrushOrigin(0.0, 0.0);
  painter->fillPath(path, brush);
  painter->restore();
}

void fillHatch(QPainter *painter, const QPainterPath &path, const QColor &background,
               const QString &resourcePath, const QString &patternName) {
  if (!usable(painter))
    return;
  fillSolid(painter, path, background);
  fillPattern(painter, path, loadPatternImage(resourcePath, patternName));
}

}  // namespace CardDrawing
