#pragma once
// Shape_Control: the card object of the eight drawn shapes (rectangle, ellipse, rounded
// rectangle, triangle, diamond, star, double star, polygon), chosen by the record's
// _shape_type. It adds no fields: it turns the shape code and the shape settings
// (cor_rad_val_val, double_star_type, polygon_type) into one outline that fits the
// bounds, paints it with the object's fill and border, and hit-tests points against it.
//
// Coordinates are points, y growing downwards; x, y, w, h below are the bounds. Every
// path is built anew from the current fields on each paint and each hit test, and
// fills by the non-zero winding rule: a star is solid, its inner pentagon included,
// and a polygon traced twice fills like one traced once. A path carries no line width
// in Qt: painting strokes it with strokeWidth().
//
// Shape codes (exact, case-sensitive):
//   "R"  the bounds               "C"  the inscribed ellipse
//   "RR" rounded rectangle, corner radius cor_rad_val_val (at most half the shorter side)
//   "T"  triangle, apex at the top centre, base on the bottom edge
//   "D"  diamond through the midpoints of the four edges
//   "S"  five-pointed star (star polygon of 5 vertices)
//   "DS" star polygon of 7, 9, 11, 13, 15 vertices for double_star_type 1..5; any other
//        type is the vertex count itself
//   "P"  polygon_type 1: the four-pointed outline; 2..5: star polygon of 10, 12, 14, 16
//        vertices (a pentagon ... octagon traced twice); any other type is the vertex
//        count itself, and a count of 8 is the four-pointed outline
//   anything else: an empty path, which paints nothing and is never hit.

#include "core/QLNGraphic.h"

class Shape_Control : public QLNGraphic {
public:
  Shape_Control() = default;
  explicit Shape_Control(Zeroed zeroed) : QLNGraphic(zeroed) {}

  QString className() const override { return QStringLiteral("Shape_Control"); }
  QLNGraphicPtr copyWithZone() const override;
  QLNGraphicPtr copyForRendering() const override;

  // Star polygons with more vertices than this (only a damaged file asks for them)
  // give an empty outline instead of a path of up to billions of points.
  static constexpr int MaxPolygonVertices = 1000;

  // The outline of the current shape code (table above).
  QPainterPath bezierPathForDrawing() const override;

  QPainterPath Rectangle_path() const;
  QPainterPath Circle_path() const;
  QPainterPath Rounded_Rectangle_path() const;
  // The triangle and the diamond are computed in 32-bit floating point.
  QPainterPath Triangle_path() const;
  QPainterPath Diamond_path() const;
  // Eight vertices: tips on the four corners, inner vertices on the centre lines a
  // quarter of the height or width in from the edges.
  QPainterPath Custom_Polygon() const;
  // The star polygon of `count` vertices on the ellipse inscribed in the bounds:
  // starting at the top centre, each vertex 4*pi/count further on (clockwise on
  // screen). A count of 0 or less (or above MaxPolygonVertices) gives an empty path.
  QPainterPath Polygon_With_Diffrent_Sides(int count) const;

  // The base drawing bounds, grown to everything the border touches: a mitred corner
  // reaches farther past its vertex the sharper it is (about 13 points for a star point
  // with an 8-point border), which half the border width does not cover.
  QRectF drawingBounds() const override;

  // Whether the outline contains the point (non-zero rule), whether or not fill and
  // border are on and whatever the border width.
  bool isContentsUnderPoint(const QPointF &point) const override;

  // Paints the outline with the object's fill and border (paintPath), then asks the
  // main window to refresh the canvas. A hidden object paints nothing and asks nothing.
  // The flag is not used by shapes.
  void drawContentsInView(QPainter *painter, bool isBeingCreateOrEdited) override;

  // The painting steps shapes and lines share: when graphic.isDrawingFill(), the fill
  // of its fill code ("G" gradient at fill_grad_angle, "H" hatch background colour and
  // the pattern image fill_hatch_type of the resource folder, anything else fillColor);
  // then when graphic.isDrawingStroke(), the border: strokeColor, strokeWidth, mitred
  // joins, the dash pattern of strokeBorderType and `cap`. The colours carry the
  // object's opacity (the record's colour getters apply it); the pattern image none.
  static void paintPath(QLNGraphic &graphic, QPainter *painter, const QPainterPath &path,
                        Qt::PenCapStyle cap = Qt::FlatCap);

protected:
  Shape_Control(const Shape_Control &) = default;
};
