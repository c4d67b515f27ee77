#include "core/QLNLine.h"

#include "core/CardDrawing.h"
#include "core/CardObjectArchive.h"
#include "core/MainWindowServices.h"
#include "core/Shape_Control.h"

#include <QCoreApplication>
#include <QPainter>

#include <cmath>

const QString QLNLineBeginPointKey = QStringLiteral("beginPoint");
const QString QLNLineEndPointKey = QStringLiteral("endPoint");

namespace {
const QString PointsRightKey = QStringLiteral("_pointsRight");
const QString PointsDownKey = QStringLiteral("_pointsDown");
}

QLNGraphicPtr QLNLine::copyWithZone() const {
  auto copy = std::make_shared<QLNLine>();
  copyBaseFieldsTo(*copy);
  copy->_pointsRight = _pointsRight;
  copy->_pointsDown = _pointsDown;
  return copy;
}

QLNGraphicPtr QLNLine::copyForRendering() const {
  return detachedCopy(*this, QLNGraphicPtr(new QLNLine(*this)));
}

QPointF QLNLine::beginPoint() const {
  const QRectF r = _bounds;
  return QPointF(_pointsRight ? r.left() : r.left() + r.width(),
                 _pointsDown ? r.top() : r.top() + r.height());
}

QPointF QLNLine::endPoint() const {
  const QRectF r = _bounds;
  return QPointF(_pointsRight ? r.left() + r.width() : r.left(),
                 _pointsDown ? r.top() + r.height() : r.top());
}

QRectF QLNLine::boundsWithBeginPoint(const QPointF &begin, const QPointF &end, bool *pointsRight,
                                     bool *down) {
  if (pointsRight)
    *pointsRight = end.x() > begin.x();
  if (down)
    *down = end.y() > begin.y();
  return QRectF(std::min(begin.x(), end.x()), std::min(begin.y(), end.y()),
                std::fabs(end.x() - begin.x()), std::fabs(end.y() - begin.y()));
}

void QLNLine::setEndPoints(const QPointF &begin, const QPointF &end) {
  // The flags change before the bounds are stored; the announcement of "bounds" starts
  // first, so observers of the end points get their values from before the change.
  changeValueForKey(QLNGraphicBoundsKey, [&] {
    const QRectF bounds = boundsWithBeginPoint(begin, end, &_pointsRight, &_pointsDown);
    setBounds(bounds);
  });
}

void QLNLine::setBeginPoint(const QPointF &point) { setEndPoints(point, endPoint()); }

void QLNLine::setEndPoint(const QPointF &point) { setEndPoints(beginPoint(), point); }

PlistValue QLNLine::properties() {
  const PlistValue base = QLNGraphic::properties();
  PlistValue dict = PlistValue::dict();
  for (qsizetype i = 0; i < base.size(); ++i)
    if (base.keys().at(i) != QLNGraphicBoundsKey)
      dict.insert(base.keys().at(i), base.items().at(i));
  dict.insert(QLNLineBeginPointKey, PlistValue(pointToString(beginPoint())));
  dict.insert(QLNLineEndPointKey, PlistValue(pointToString(endPoint())));
  return dict;
}

void QLNLine::initWithProperties(const PlistValue &properties) {
  QLNGraphic::initWithProperties(properties);
  const PlistValue &begin = properties.value(QLNLineBeginPointKey);
  const PlistValue &end = properties.value(QLNLineEndPointKey);
  const QPointF beginPoint = begin.isString() ? pointFromString(begin.toString()) : QPointF();
  const QPointF endPoint = end.isString() ? pointFromString(end.toString()) : QPointF();
  _bounds = boundsWithBeginPoint(beginPoint, endPoint, &_pointsRight, &_pointsDown);
}

QPainterPath QLNLine::bezierPathForDrawing() const {
  QPainterPath path;
  path.moveTo(beginPoint());
  path.lineTo(endPoint());
  return path;
}

Qt::PenCapStyle QLNLine::penCapStyle() const {
  switch (Get_Line_Cap_Style()) {
    case 1: return Qt::RoundCap;
    case 2: return Qt::SquareCap;
    default: return Qt::FlatCap;
  }
}

QRectF QLNLine::drawingBounds() const {
  return drawingBoundsReaching(CardDrawing::borderExtent(bezierPathForDrawing(), strokeWidth(), penCapStyle()));
}

void QLNLine::drawContentsInView(QPainter *painter, bool isBeingCreateOrEdited) {
  if (!ctrl_is_visible)
    return;
  Shape_Control::paintPath(*this, painter, bezierPathForDrawing(), penCapStyle());
  mainWindowServices().Refresh_Canvas();
}

void QLNLine::drawHandlesInView(QPainter *painter, bool lock_hai) {
  drawHandleInView(painter, beginPoint(), lock_hai);
  drawHandleInView(painter, endPoint(), lock_hai);
}

int QLNLine::handleUnderPoint(const QPointF &point) const {
  if (isHandleAtPoint(beginPoint(), point))
    return 1;
  if (isHandleAtPoint(endPoint(), point))
    return 2;
  return QLNGraphicNoHandle;
}

int QLNLine::resizeByMovingHandle(int handle, const QPointF &toPoint) {
  if (handle == 1)
    setBeginPoint(toPoint);
  else if (handle == 2)
    setEndPoint(toPoint);
  return handle;
}

bool QLNLine::isContentsUnderPoint(const QPointF &point) const {
  const double tolerance = strokeWidth() / 2.0 + 2.0;
  const QPointF b = beginPoint();
  const QPointF e = endPoint();
  const double px = point.x() - b.x();
  const double py = point.y() - b.y();

  // The extent of the line and its stroke: the bounds grown by the tolerance.
  const QRectF r = bounds().normalized();
  if (!(point.x() >= r.left() - tolerance && point.x() <= r.right() + tolerance &&
        point.y() >= r.top() - tolerance && point.y() <= r.bottom() + tolerance))
    return false;

  const double dx = e.x() - b.x();
  const double dy = e.y() - b.y();
  if (std::fabs(dy) <= std::fabs(dx)) {
    // At most 45 degrees: the vertical offset from the line (dx is not 0 here unless the
    // line is a single point, which the extent test above has already answered).
    if (dx == 0.0)
      return true;
    const double slope = dy / dx;
    return std::fabs(px * slope - py) <= tolerance;
  }
  // Steeper: the horizontal offset (dy is not 0 here).
  const double inverseSlope = dx / dy;
  return std::fabs(py * inverseSlope - px) <= tolerance;
}

void QLNLine::setColor(const QColor &color) { setValue(color, QLNGraphicStrokeColorKey); }

QSet<QString> QLNLine::keysForValuesToObserveForUndo() const {
  QSet<QString> keys = QLNGraphic::keysForValuesToObserveForUndo();
  keys.remove(QLNGraphicBoundsKey);
  keys.insert(QLNLineBeginPointKey);
  keys.insert(QLNLineEndPointKey);
  return keys;
}

std::optional<QString> QLNLine::presentablePropertyNameForKey(const QString &key) const {
  if (key == QLNLineBeginPointKey)
    return QCoreApplication::translate("UndoStrings", "Beginpoint");
  if (key == QLNLineEndPointKey)
    return QCoreApplication::translate("UndoStrings", "Endpoint");
  return QLNGraphic::presentablePropertyNameForKey(key);
}

QSet<QString> QLNLine::keyPathsForValuesAffectingValueForKey(const QString &key) const {
  if (key == QLNLineBeginPointKey || key == QLNLineEndPointKey)
    return {QLNGraphicBoundsKey};
  return QLNGraphic::keyPathsForValuesAffectingValueForKey(key);
}

QVariant QLNLine::valueForKey(const QString &key) const {
  if (key == QLNLineBeginPointKey)
    return beginPoint();
  if (key == QLNLineEndPointKey)
    return endPoint();
  return QLNGraphic::valueForKey(key);
}

bool QLNLine::setValue(const QVariant &value, const QString &key) {
  if (key == QLNLineBeginPointKey) {
    setBeginPoint(value.toPointF());
    return true;
  }
  if (key == QLNLineEndPointKey) {
    setEndPoint(value.toPointF());
    return true;
  }
  return QLNGraphic::setValue(value, key);
}

void QLNLine::encodeKindFields(KeyedArchiver &coder) const {
  coder.encodeBool(PointsRightKey, _pointsRight);
  coder.encodeBool(PointsDownKey, _pointsDown);
}

void QLNLine::decodeKindFields(KeyedUnarchiver &coder) {
  _pointsRight = coder.decodeBool(PointsRightKey);
  _pointsDown = coder.decodeBool(PointsDownKey);
}
