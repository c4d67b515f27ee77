#include "core/QLNGrid.h"

#include <QLineF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QTimer>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// The nearest multiple of `spacing`, halves rounding up.
double snapped(double c, double spacing) {
  return std::floor(c / spacing + 0.5) * spacing;
}

// Lines closer together than this many device pixels are not drawn: they would
// only fill the area with grey and cost one line per pixel or more.
constexpr double MinimumDeviceLineDistance = 2.0;
// However the painter is set up, never build more lines than this for one direction.
constexpr double MaximumLinesPerDirection = 100000.0;

// First and last index of the grid lines at multiples of `spacing` between `from` and
// `to`, both included; false when there are none or too many to draw.
bool lineRange(double from, double to, double spacing, std::int64_t &first, std::int64_t &last) {
  const double lo = std::ceil(from / spacing);
  const double hi = std::floor(to / spacing);
  if (!std::isfinite(lo) || !std::isfinite(hi) || hi < lo)
    return false;
  if (hi - lo >= MaximumLinesPerDirection || std::fabs(lo) > 9.0e15 || std::fabs(hi) > 9.0e15)
    return false;
  first = static_cast<std::int64_t>(lo);
  last = static_cast<std::int64_t>(hi);
  return true;
}

}  // namespace

QLNGrid::QLNGrid(QObject *parent) : QObject(parent), _color(Qt::lightGray) {}

QLNGrid::~QLNGrid() {
  cancelHidingTimer();
}

bool QLNGrid::isUsable() const {
  return _spacing > 0.0 && std::isfinite(_spacing);
}

QLNGrid::Derived QLNGrid::derived() const {
  return {isUsable(), canSetColor(), canSetSpacing()};
}

void QLNGrid::announceDerived(const Derived &before) {
  const Derived now = derived();
  if (now.usable != before.usable)
    emit usableChanged();
  if (now.canSetColor != before.canSetColor)
    emit canSetColorChanged();
  if (now.canSetSpacing != before.canSetSpacing)
    emit canSetSpacingChanged();
}

void QLNGrid::cancelHidingTimer() {
  if (!_hidingTimer)
    return;
  _hidingTimer->stop();
  // The timer may be the sender of the signal being handled: delete it later.
  _hidingTimer->deleteLater();
  _hidingTimer = nullptr;
}

void QLNGrid::setColor(const QColor &color) {
  if (color == _color)
    return;
  _color = color;
  emit colorChanged();
  emit anyChanged();
}

void QLNGrid::setSpacing(double spacing) {
  if (spacing == _spacing)
    return;
  const Derived before = derived();
  _spacing = spacing;
  if (isUsable() && !_isAlwaysShown) {
    // Show the grid for a moment; a further change restarts the moment.
    if (!_hidingTimer) {
      _hidingTimer = new QTimer(this);
      _hidingTimer->setSingleShot(true);
      _hidingTimer->setInterval(static_cast<int>(QLNGridTemporaryShowingTime * 1000.0));
      connect(_hidingTimer, &QTimer::timeout, this, &QLNGrid::stopShowingGridForTimer);
    }
    _hidingTimer->start();
  }
  emit spacingChanged();
  emit anyChanged();
  announceDerived(before);
}

void QLNGrid::stopShowingGridForTimer() {
  cancelHidingTimer();
  emit anyChanged();
}

void QLNGrid::setAlwaysShown(bool alwaysShown) {
  if (alwaysShown == _isAlwaysShown)
    return;
  const Derived before = derived();
  _isAlwaysShown = alwaysShown;
  emit alignWithGridEnabledChanged(alwaysShown);
  cancelHidingTimer();
  emit alwaysShownChanged();
  emit anyChanged();
  announceDerived(before);
}

void QLNGrid::setConstraining(bool constraining) {
  if (constraining == _isConstraining)
    return;
  const Derived before = derived();
  _isConstraining = constraining;
  emit constrainingChanged();
  emit anyChanged();
  announceDerived(before);
}

QPointF QLNGrid::constrainedPoint(QPointF point) const {
  if (!isUsable() || !_isConstraining)
    return point;
  return {snapped(point.x(), _spacing), snapped(point.y(), _spacing)};
}

QRectF QLNGrid::alignedRect(QRectF rect) const {
  if (!isUsable())
    return rect;
  const double left = snapped(rect.x(), _spacing);
  const double top = snapped(rect.y(), _spacing);
  const double right = snapped(rect.x() + rect.width(), _spacing);
  const double bottom = snapped(rect.y() + rect.height(), _spacing);
  return {left, top, right - left, bottom - top};
}

void QLNGrid::drawRect(QPainter *painter, QRectF dirty) const {
  if (!painter || !painter->isActive() || !isVisible())
    return;
  dirty = dirty.normalized();
  if (!std::isfinite(dirty.x()) || !std::isfinite(dirty.y()) || !std::isfinite(dirty.width()) ||
      !std::isfinite(dirty.height()))
    return;

  // Lines outside the device cannot be seen: keep to the part of the dirty area that
  // lies on it (when the device tells its size). The painter's combined transform
  // reaches the device's own coordinates, which are pixels on some devices and pixels
  // over the pixel ratio on others: the pixel size covers both. (The device transform
  // would not do: for a widget it also holds where the widget lies in its window.)
  if (const QPaintDevice *device = painter->device()) {
    const double ratio = std::max(1.0, device->devicePixelRatioF());
    bool invertible = false;
    const QTransform fromDevice = painter->combinedTransform().inverted(&invertible);
    if (invertible && device->width() > 0 && device->height() > 0)
      dirty = dirty.intersected(
          fromDevice.mapRect(QRectF(0, 0, device->width() * ratio, device->height() * ratio)));
  }
  if (dirty.isNull())
    return;

  // Distance between neighbouring lines on the device, for each direction.
  const QTransform toDevice = painter->deviceTransform();
  const double verticalDistance = _spacing * std::hypot(toDevice.m11(), toDevice.m12());
  const double horizontalDistance = _spacing * std::hypot(toDevice.m21(), toDevice.m22());

  QVector<QLineF> lines;
  std::int64_t first = 0;
  std::int64_t last = 0;
  if (verticalDistance >= MinimumDeviceLineDistance &&
      lineRange(dirty.left(), dirty.right(), _spacing, first, last)) {
    for (std::int64_t i = first; i <= last; ++i) {
      const double x = static_cast<double>(i) * _spacing;
      lines.append(QLineF(x, dirty.top(), x, dirty.bottom()));
    }
  }
  if (horizontalDistance >= MinimumDeviceLineDistance &&
      lineRange(dirty.top(), dirty.bottom(), _spacing, first, last)) {
    for (std::int64_t j = first; j <= last; ++j) {
      const double y = static_cast<double>(j) * _spacing;
      lines.append(QLineF(dirty.left(), y, dirty.right(), y));
    }
  }
  if (lines.isEmpty())
    return;

  painter->save();
  QPen pen(_color);
  pen.setWidth(0);  // cosmetic: the thinnest line the device draws
  painter->setPen(pen);
  painter->setBrush(Qt::NoBrush);
  painter->drawLines(lines);
  painter->restore();
}
