#include "core/QLNLine.h"

#include "core/CardObjectArchive.h"

#include <QCoreApplication>

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
