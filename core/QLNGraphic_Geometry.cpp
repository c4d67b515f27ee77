// The geometry every card object shares: position and size, the area drawing may
// touch, the eight selection handles (drawing and hitting them), resizing by a handle
// with mirroring past the opposite edge, the square natural size, and the operations
// that measure, move and place groups of objects.
//
// Coordinates are points with y growing downwards: the minimum y of a rectangle is its
// top edge. Handle codes:
//     1 top left      2 top middle      3 top right
//     4 middle left                     5 middle right
//     6 bottom left   7 bottom middle   8 bottom right
// and 0 (QLNGraphicNoHandle) for none.

#include "core/QLNGraphic.h"

#include "core/Globals.h"
#include "core/MainWindowServices.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>

const double QLNGraphicHandleWidth = 6.0;
const double QLNGraphicHandleHalfWidth = 3.0;
const int QLNGraphicNoHandle = 0;


namespace {

QPointF handleLocation(const QRectF &r, int handle) {
  const double minX = r.x();
  const double midX = r.x() + r.width() * 0.5;
  const double maxX = r.x() + r.width();
  const double minY = r.y();
  const double midY = r.y() + r.height() * 0.5;
  const double maxY = r.y() + r.height();
  switch (handle) {
    case 1: return {minX, minY};
    case 2: return {midX, minY};
    case 3: return {maxX, minY};
    case 4: return {minX, midY};
    case 5: return {maxX, midY};
    case 6: return {minX, maxY};
    case 7: return {midX, maxY};
    case 8: return {maxX, maxY};
    default: return {};
  }
}

// Minimum edges inside, maximum edges outside. (QRectF::contains would include both.)
bool pointInRect(const QPointF &p, const QRectF &r) {
  return p.x() >= r.x() && p.x() < r.x() + r.width() && p.y() >= r.y() &&
         p.y() < r.y() + r.height();
}

// The union of rectangles, degenerate ones (a horizontal line has no height) included;
// the zero rectangle when there are none.
class RectUnion {
public:
  void add(const QRectF &r) {
    const QRectF n = r.normalized();
    if (m_empty) {
      m_left = n.left();
      m_top = n.top();
      m_right = n.right();
      m_bottom = n.bottom();
      m_empty = false;
      return;
    }
    m_left = std::min(m_left, n.left());
    m_top = std::min(m_top, n.top());
    m_right = std::max(m_right, n.right());
    m_bottom = std::max(m_bottom, n.bottom());
  }
  QRectF rect() const {
    if (m_empty)
      return QRectF(0.0, 0.0, 0.0, 0.0);
    return QRectF(m_left, m_top, m_right - m_left, m_bottom - m_top);
  }

private:
  bool m_empty = true;
  double m_left = 0.0, m_top = 0.0, m_right = 0.0, m_bottom = 0.0;
};

// The rectangle with its edges moved to whole device pixels, so a handle is drawn
// crisp at any zoom. Left as it is when the painter rotates or shears.
QRectF alignedToDevicePixels(const QPainter *painter, const QRectF &rect) {
  const QTransform toDevice = painter->deviceTransform();
  if (toDevice.type() > QTransform::TxScale)
    return rect;
  bool invertible = false;
  const QTransform fromDevice = toDevice.inverted(&invertible);
  if (!invertible)
    return rect;
  const QRectF device = toDevice.mapRect(rect);
  const double left = std::round(device.left());
  const double top = std::round(device.top());
  // Keep at least one pixel so a handle never disappears when zoomed far out.
  const double right = std::max(left + 1.0, std::round(device.right()));
  const double bottom = std::max(top + 1.0, std::round(device.bottom()));
  return fromDevice.mapRect(QRectF(QPointF(left, top), QPointF(right, bottom)));
}

// The handle colours: a dark drop shadow and a neutral grey square; red when locked.
const QColor HandleShadowColor(64, 64, 64);
const QColor HandleKnobColor(160, 160, 160);
const QColor LockedHandleColor(255, 0, 0);

// Largest offset randomPoint draws: well inside the integers a double holds exactly.
constexpr double MaximumRandomSpan = 9.0e15;

double randomCoordinate(double origin, double extent) {
  const double span = std::trunc(extent);
  if (!(span >= 1.0) || !std::isfinite(span))
    return origin;  // under one point (or not a number): no room to choose from
  const auto bound = static_cast<qint64>(std::min(span, MaximumRandomSpan));
  return origin + static_cast<double>(QRandomGenerator::global()->bounded(bound));
}

}  // namespace

// ---- Position and size ---------------------------------------------------------------

double QLNGraphic::xPosition() const { return bounds().x(); }
double QLNGraphic::yPosition() const { return bounds().y(); }
double QLNGraphic::width() const { return bounds().width(); }
double QLNGraphic::height() const { return bounds().height(); }

void QLNGraphic::setXPosition(double x) {
  const QRectF b = bounds();
  setBounds(QRectF(x, b.y(), b.width(), b.height()));
}

void QLNGraphic::setYPosition(double y) {
  const QRectF b = bounds();
  setBounds(QRectF(b.x(), y, b.width(), b.height()));
}

void QLNGraphic::setWidth(double width) {
  const QRectF b = bounds();
  setBounds(QRectF(b.x(), b.y(), width, b.height()));
}

void QLNGraphic::setHeight(double height) {
  const QRectF b = bounds();
  setBounds(QRectF(b.x(), b.y(), b.width(), height));
}

void QLNGraphic::setBounds(const QRectF &bounds) {
  storeBoundsNotifying(bounds);
}

QRectF QLNGraphic::drawingBounds() const {
  double outset = QLNGraphicHandleHalfWidth;
  const double halfStroke = strokeWidth() / 2.0;
  if (isDrawingStroke() && halfStroke > outset)
    outset = halfStroke;
  const QRectF b = bounds();
  return QRectF(b.x() - outset, b.y() - outset, b.width() + 2.0 * outset + 1.0,
                b.height() + 2.0 * outset + 1.0);
}

QRectF QLNGraphic::drawingBoundsReaching(const QRectF &stroke) const {
  const QRectF base = QLNGraphic::drawingBounds().normalized();
  if (stroke.isNull() || !stroke.isValid())
    return base;
  // Below this a stroke counts as ending on the edge: the stroker's arithmetic leaves
  // a rectangle's outline a rounding error off the exact half width.
  constexpr double Tolerance = 1.0e-6;
  constexpr double EdgePixels = 1.0;
  const double left = stroke.left() < base.left() - Tolerance ? stroke.left() - EdgePixels : base.left();
  const double top = stroke.top() < base.top() - Tolerance ? stroke.top() - EdgePixels : base.top();
  const double right = stroke.right() > base.right() + Tolerance ? stroke.right() + EdgePixels : base.right();
  const double bottom = stroke.bottom() > base.bottom() + Tolerance ? stroke.bottom() + EdgePixels : base.bottom();
  return QRectF(left, top, right - left, bottom - top);
}

QPointF QLNGraphic::randomPoint(const QRectF &rect) const {
  return {randomCoordinate(rect.x(), rect.width()), randomCoordinate(rect.y(), rect.height())};
}

// ---- Drawing -------------------------------------------------------------------------

void QLNGraphic::drawContentsInView(QPainter *painter, bool isBeingCreateOrEdited) {
  // A plain card object has no contents of its own: every kind draws its own.
}

QPainterPath QLNGraphic::bezierPathForDrawing() const {
  throw std::logic_error("Neither -drawContentsInView: nor -bezierPathForDrawing has been overridden.");
}

void QLNGraphic::drawHandlesInView(QPainter *painter, bool lock_hai) {
  const QRectF b = bounds();
  for (int handle = 1; handle <= 8; ++handle)
    drawHandleInView(painter, handleLocation(b, handle), lock_hai);
}

void QLNGraphic::drawHandleInView(QPainter *painter, const QPointF &atPoint, bool lock_hai) {
  if (!painter || !painter->isActive())
    return;
  const QRectF square = alignedToDevicePixels(
      painter, QRectF(atPoint.x() - QLNGraphicHandleHalfWidth, atPoint.y() - QLNGraphicHandleHalfWidth,
                      QLNGraphicHandleWidth, QLNGraphicHandleWidth));
  painter->save();
  painter->setPen(Qt::NoPen);
  painter->fillRect(square.translated(1.0, 1.0), HandleShadowColor);
  painter->fillRect(square, lock_hai ? LockedHandleColor : HandleKnobColor);
  painter->restore();
}

// ---- Capabilities --------------------------------------------------------------------

bool QLNGraphic::canSetDrawingFill() const { return true; }
bool QLNGraphic::canSetDrawingStroke() const { return true; }

bool QLNGraphic::canMakeNaturalSize() const {
  const QRectF b = bounds();
  return b.width() != b.height();
}

void QLNGraphic::makeNaturalSize() {
  QRectF b = bounds();
  if (b.height() > b.width())
    b.setHeight(b.width());
  else if (b.width() > b.height())
    b.setWidth(b.height());
  else
    return;
  setBounds(b);
}

void QLNGraphic::flipHorizontally() {}
void QLNGraphic::flipVertically() {}

void QLNGraphic::setColor(const QColor &color) {
  if (!canSetDrawingFill())
    return;
  if (!isDrawingFill())
    setValue(QVariant(true), QLNGraphicIsDrawingFillKey);
  setValue(QVariant::fromValue(color), QLNGraphicFillColorKey);
}

int QLNGraphic::creationSizingHandle() const { return 8; }

// ---- Hit testing ---------------------------------------------------------------------

bool QLNGraphic::isContentsUnderPoint(const QPointF &point) const {
  return pointInRect(point, bounds());
}

bool QLNGraphic::isHandleAtPoint(const QPointF &handlePoint, const QPointF &underPoint) const {
  const QRectF square(handlePoint.x() - QLNGraphicHandleHalfWidth,
                      handlePoint.y() - QLNGraphicHandleHalfWidth, QLNGraphicHandleWidth,
                      QLNGraphicHandleWidth);
  return pointInRect(underPoint, square);
}

int QLNGraphic::handleUnderPoint(const QPointF &point) const {
  const QRectF b = bounds();
  for (int handle = 1; handle <= 8; ++handle) {
    if (isHandleAtPoint(handleLocation(b, handle), point))
      return handle;
  }
  return QLNGraphicNoHandle;
}

int QLNGraphic::resizeByMovingHandle(int handle, const QPointF &toPoint) {
  QRectF r = bounds();
  double x = r.x();
  double y = r.y();
  double w = r.width();
  double h = r.height();

  // Horizontal: the left handles move the left edge, the right handles the right one.
  if (handle == 1 || handle == 4 || handle == 6) {
    w = (x + w) - toPoint.x();
    x = toPoint.x();
  } else if (handle == 3 || handle == 5 || handle == 8) {
    w = toPoint.x() - x;
  }
  if (w < 0.0) {
    // Dragged past the opposite edge: continue with the mirrored handle.
    switch (handle) {
      case 1: handle = 3; break;
      case 3: handle = 1; break;
      case 4: handle = 5; break;
      case 5: handle = 4; break;
      case 6: handle = 8; break;
      case 8: handle = 6; break;
      default: break;
    }
    w = -w;
    x = x - w;
    flipHorizontally();
  }

  // Vertical, with the handle as mirrored above.
  if (handle == 1 || handle == 2 || handle == 3) {
    h = (y + h) - toPoint.y();
    y = toPoint.y();
  } else if (handle == 6 || handle == 7 || handle == 8) {
    h = toPoint.y() - y;
  }
  if (h < 0.0) {
    switch (handle) {
      case 1: handle = 6; break;
      case 6: handle = 1; break;
      case 2: handle = 7; break;
      case 7: handle = 2; break;
      case 3: handle = 8; break;
      case 8: handle = 3; break;
      default: break;
    }
    h = -h;
    y = y - h;
    flipVertically();
  }

  setBounds(QRectF(x, y, w, h));
  return handle;
}

// ---- Groups --------------------------------------------------------------------------

QRectF QLNGraphic::boundsOfGraphics(const QLNGraphicList &graphics) {
  RectUnion u;
  for (const QLNGraphicPtr &graphic : graphics) {
    if (graphic)
      u.add(graphic->bounds());
  }
  return u.rect();
}

QRectF QLNGraphic::drawingBoundsOfGraphics(const QLNGraphicList &graphics) {
  RectUnion u;
  bool any = false;
  for (const QLNGraphicPtr &graphic : graphics) {
    if (graphic) {
      u.add(graphic->drawingBounds());
      any = true;
    }
  }
  if (!any)
    return mainWindowServices().frontCanvasBounds();
  return u.rect();
}

void QLNGraphic::translateGraphics(const QLNGraphicList &graphics, double byX, double y) {
  for (const QLNGraphicPtr &graphic : graphics) {
    if (graphic && !graphic->ctrl_is_locked)
      graphic->setBounds(graphic->bounds().translated(byX, y));
  }
}

void QLNGraphic::Paste_Location_Of_Graphics(const QLNGraphicList &graphics, double byX, double y,
                                            const QString &card_side) {
  double x = byX;
  for (qsizetype i = 0; i < graphics.size(); ++i) {
    if (i > 0) {
      const QPointF next = mainWindowServices().Control_New_Point(card_side);
      x = next.x();
      y = next.y();
    }
    const QLNGraphicPtr &graphic = graphics.at(i);
    if (graphic && !graphic->ctrl_is_locked) {
      const QRectF b = graphic->bounds();
      graphic->setBounds(QRectF(x, y, b.width(), b.height()));
    }
  }
}

QCursor QLNGraphic::creationCursor() {
  // The cross of the resource folder, hot spot at its centre; the system's cross when
  // the folder has none. Made once.
  static const QCursor cursor = [] {
    if (!Resource_Path.isEmpty()) {
      const QDir folder(Resource_Path);
      for (const QString &name : {QStringLiteral("Cross.png"), QStringLiteral("Cross.tiff"),
                                  QStringLiteral("Cross.tif")}) {
        const QString path = folder.filePath(name);
        if (!QFileInfo::exists(path))
          continue;
        const QPixmap pixmap(path);
        if (!pixmap.isNull())
          return QCursor(pixmap, pixmap.width() / 2, pixmap.height() / 2);
      }
    }
    return QCursor(Qt::CrossCursor);
  }();
  return cursor;
}
