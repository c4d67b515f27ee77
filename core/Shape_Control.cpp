#include "core/Shape_Control.h"

#include "core/CardDrawing.h"
#include "core/Globals.h"
#include "core/MainWindowServices.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Every outline fills by the non-zero rule (QPainterPath starts with odd-even).
QPainterPath newPath() {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  return path;
}

// The vertex count of a double star: types 1..5 are the stars of 7 to 15 points;
// other values are the count itself.
int doubleStarVertexCount(int type) {
  switch (type) {
    case 1: return 7;
    case 2: return 9;
    case 3: return 11;
    case 4: return 13;
    case 5: return 15;
    default: return type;
  }
}

// The vertex count of a polygon: types 2..5 are the pentagon to octagon traced twice;
// other values are the count itself (1 is handled before).
int polygonVertexCount(int type) {
  switch (type) {
    case 2: return 10;
    case 3: return 12;
    case 4: return 14;
    case 5: return 16;
    default: return type;
  }
}

}  // namespace

QLNGraphicPtr Shape_Control::copyWithZone() const {
  auto copy = std::make_shared<Shape_Control>();
  copyBaseFieldsTo(*copy);
  return copy;
}

QLNGraphicPtr Shape_Control::copyForRendering() const {
  return detachedCopy(*this, QLNGraphicPtr(new Shape_Control(*this)));
}

// ---- Outlines ------------------------------------------------------------------------

QPainterPath Shape_Control::bezierPathForDrawing() const {
  const QString shape = Get_shape_type();
  if (shape == QLatin1String("R"))
    return Rectangle_path();
  if (shape == QLatin1String("C"))
    return Circle_path();
  if (shape == QLatin1String("RR"))
    return Rounded_Rectangle_path();
  if (shape == QLatin1String("T"))
    return Triangle_path();
  if (shape == QLatin1String("D"))
    return Diamond_path();
  if (shape == QLatin1String("S"))
    return Polygon_With_Diffrent_Sides(5);
  if (shape == QLatin1String("DS"))
    return Polygon_With_Diffrent_Sides(doubleStarVertexCount(double_star_type));
  if (shape == QLatin1String("P")) {
    if (polygon_type == 1)
      return Custom_Polygon();
    const int count = polygonVertexCount(polygon_type);
    if (count == 8)
      return Custom_Polygon();
    return Polygon_With_Diffrent_Sides(count);
  }
  return newPath();
}

QPainterPath Shape_Control::Rectangle_path() const {
  QPainterPath path = newPath();
  path.addRect(bounds());
  return path;
}

QPainterPath Shape_Control::Circle_path() const {
  QPainterPath path = newPath();
  path.addEllipse(bounds());
  return path;
}

QPainterPath Shape_Control::Rounded_Rectangle_path() const {
  QPainterPath path = newPath();
  // Corners stay round: the radius is held to half the shorter side (Qt would hold
  // each axis to half its own side and draw oval corners). A radius of 0 or less
  // draws square corners; a radius that is not a number is no radius. The stored
  // radius stays as the user set it.
  const QRectF box = bounds();
  double radius = cor_rad_val_val;
  if (!std::isfinite(radius))
    radius = 0.0;
  const double halfShorter = std::min(std::abs(box.width()), std::abs(box.height())) / 2.0;
  if (std::isfinite(halfShorter))
    radius = std::min(radius, halfShorter);
  path.addRoundedRect(box, radius, radius, Qt::AbsoluteSize);
  return path;
}

QPainterPath Shape_Control::Triangle_path() const {
  const QRectF b = bounds();
  const float x = static_cast<float>(b.x());
  const float y = static_cast<float>(b.y());
  const float w = static_cast<float>(b.width());
  const float h = static_cast<float>(b.height());
  QPainterPath path = newPath();
  path.moveTo(x, y + h);
  path.lineTo(x + w / 2.0f, y);
  path.lineTo(x + w, y + h);
  path.closeSubpath();
  return path;
}

QPainterPath Shape_Control::Diamond_path() const {
  const QRectF b = bounds();
  const float x = static_cast<float>(b.x());
  const float y = static_cast<float>(b.y());
  const float w = static_cast<float>(b.width());
  const float h = static_cast<float>(b.height());
  QPainterPath path = newPath();
  path.moveTo(x, y + h / 2.0f);
  path.lineTo(x + w / 2.0f, y);
  path.lineTo(x + w, y + h / 2.0f);
  path.lineTo(x + w / 2.0f, y + h);
  path.closeSubpath();
  return path;
}

QPainterPath Shape_Control::Custom_Polygon() const {
  const QRectF b = bounds();
  const double x = b.x();
  const double y = b.y();
  const double w = b.width();
  const double h = b.height();
  QPainterPath path = newPath();
  path.moveTo(x, y);
  path.lineTo(x + w / 2.0, y + h / 4.0);
  path.lineTo(x + w, y);
  path.lineTo(x + 3.0 * w / 4.0, y + h / 2.0);
  path.lineTo(x + w, y + h);
  path.lineTo(x + w / 2.0, y + 3.0 * h / 4.0);
  path.lineTo(x, y + h);
  path.lineTo(x + w / 4.0, y + h / 2.0);
  path.closeSubpath();
  return path;
}

QPainterPath Shape_Control::Polygon_With_Diffrent_Sides(int count) const {
  QPainterPath path = newPath();
  if (count <= 0 || count > MaxPolygonVertices)
    return path;
  const QRectF b = bounds();
  const double cx = b.x() + b.width() / 2.0;
  const double cy = b.y() + b.height() / 2.0;
  const double rx = b.width() / 2.0;
  const double ry = b.height() / 2.0;
  // From the top centre; each step skips one vertex of the regular count-gon, so odd
  // counts give stars and even counts the half-count polygon traced twice.
  double angle = -M_PI / 2.0;
  const double step = 4.0 * M_PI / count;
  for (int i = 0; i < count; ++i) {
    const QPointF vertex(cx + rx * std::cos(angle), cy + ry * std::sin(angle));
    if (i == 0)
      path.moveTo(vertex);
    else
      path.lineTo(vertex);
    angle += step;
  }
  path.closeSubpath();
  return path;
}

// ---- Drawing bounds ---------------------------------------------------------------------

QRectF Shape_Control::drawingBounds() const {
  if (!isDrawingStroke())
    return QLNGraphic::drawingBounds().normalized();
  return drawingBoundsReaching(CardDrawing::borderExtent(bezierPathForDrawing(), strokeWidth()));
}

// ---- Hit testing -----------------------------------------------------------------------

bool Shape_Control::isContentsUnderPoint(const QPointF &point) const {
  return bezierPathForDrawing().contains(point);
}

// ---- Painting ----------------------------------------------------------------------------

void Shape_Control::paintPath(QLNGraphic &graphic, QPainter *painter, const QPainterPath &path,
                              Qt::PenCapStyle cap) {
  if (!painter || !painter->isActive() || path.isEmpty())
    return;
  if (graphic.isDrawingFill()) {
    const QString fill = graphic.fill_type();
    if (fill == QLatin1String("G")) {
      CardDrawing::fillGradient(painter, path, graphic.fill_Grad_clr1(), graphic.fill_Grad_clr2(),
                                graphic.fill_grad_angle());
    } else if (fill == QLatin1String("H")) {
      CardDrawing::fillHatch(painter, path, graphic.fill_hatch_bk_clr(), Resource_Path,
                             graphic.fill_hatch_type());
    } else {
      CardDrawing::fillSolid(painter, path, graphic.fillColor());
    }
  }
  if (graphic.isDrawingStroke()) {
    CardDrawing::strokeBorder(painter, path, graphic.strokeColor(), graphic.strokeWidth(),
                              graphic.strokeBorderType(), cap);
  }
}

void Shape_Control::drawContentsInView(QPainter *painter, bool isBeingCreateOrEdited) {
  if (!ctrl_is_visible)
    return;
  paintPath(*this, painter, bezierPathForDrawing());
  mainWindowServices().Refresh_Canvas();
}
