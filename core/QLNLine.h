#pragma once
// QLNLine: the straight-line card object. Its end points follow from the bounds and two
// direction flags saying on which corner of the bounds each end point sits. It is
// painted with the shapes' painting steps (Shape_Control::paintPath), stroke only: its
// border colour, width, dash pattern, mitred joins and its cap style (_line_cap_style:
// 0 butt, 1 round, 2 square). It has two handles, 1 on the begin point and 2 on the end
// point.
//
// The direction flags travel in the card object archive as the booleans "_pointsRight"
// and "_pointsDown" after the record's own keys, so a restored line keeps its direction;
// an archive without them gives both flags false.

#include "core/QLNGraphic.h"

extern const QString QLNLineBeginPointKey;   // "beginPoint"
extern const QString QLNLineEndPointKey;     // "endPoint"

class QLNLine : public QLNGraphic {
public:
  QLNLine() = default;
  explicit QLNLine(Zeroed zeroed) : QLNGraphic(zeroed) {}

  QString className() const override { return QStringLiteral("QLNLine"); }

  bool _pointsRight = false;   // the end point lies right of the begin point
  bool _pointsDown = false;    // the end point lies below the begin point

  QLNGraphicPtr copyWithZone() const override;
  QLNGraphicPtr copyForRendering() const override;

  // End points from the bounds and the flags (both flags false: from the bottom-right
  // corner to the top-left one).
  QPointF beginPoint() const;
  QPointF endPoint() const;
  // Move one end point, keeping the other; bounds and flags are set anew.
  void setBeginPoint(const QPointF &point);
  void setEndPoint(const QPointF &point);
  // The bounds of a line between two points; the flags are written when asked for.
  static QRectF boundsWithBeginPoint(const QPointF &begin, const QPointF &end, bool *pointsRight,
                                     bool *down);

  // The base dictionary without "bounds", with "beginPoint" and "endPoint" as point text.
  PlistValue properties() override;
  void initWithProperties(const PlistValue &properties) override;

  // From the begin point to the end point.
  QPainterPath bezierPathForDrawing() const override;
  // The cap of _line_cap_style (any other value: butt).
  Qt::PenCapStyle penCapStyle() const;
  // The base drawing bounds, grown to everything the stroke touches: the corners of a
  // square cap on a slanting line lie farther out than half the line width.
  QRectF drawingBounds() const override;
  // Strokes the line (whatever the record's fill and stroke flags hold), then asks the
  // main window to refresh the canvas; a hidden line paints nothing and asks nothing.
  void drawContentsInView(QPainter *painter, bool isBeingCreateOrEdited) override;
  // The handles of the begin point and the end point, in that order.
  void drawHandlesInView(QPainter *painter, bool lock_hai) override;
  // 1 on the begin point's handle (tested first), 2 on the end point's, else 0.
  int handleUnderPoint(const QPointF &point) const override;
  // Handle 1 moves the begin point and handle 2 the end point; other handles change
  // nothing. The handle is returned unchanged: dragging one end past the other never
  // swaps the handles.
  int resizeByMovingHandle(int handle, const QPointF &toPoint) override;
  // While a new line is dragged out its end point follows the pointer.
  int creationSizingHandle() const override { return 2; }

  // A point hits the line when it lies within the tolerance t = strokeWidth / 2 + 2
  // points of it: inside the bounds grown by t on every side (so horizontal and
  // vertical lines, whose bounds have no height or width, can be hit), and no further
  // than t from the line through both end points, measured vertically for lines at
  // most 45 degrees steep and horizontally for steeper ones.
  bool isContentsUnderPoint(const QPointF &point) const override;

  bool isDrawingFill() const override { return false; }
  bool isDrawingStroke() const override { return true; }
  bool canSetDrawingFill() const override { return false; }
  bool canSetDrawingStroke() const override { return false; }
  bool canMakeNaturalSize() const override { return false; }
  // A line's colour is its border colour.
  void setColor(const QColor &color) override;

  // The base keys without "bounds", with the two end points.
  QSet<QString> keysForValuesToObserveForUndo() const override;
  std::optional<QString> presentablePropertyNameForKey(const QString &key) const override;
  QSet<QString> keyPathsForValuesAffectingValueForKey(const QString &key) const override;
  QVariant valueForKey(const QString &key) const override;
  bool setValue(const QVariant &value, const QString &key) override;

protected:
  void encodeKindFields(KeyedArchiver &coder) const override;
  void decodeKindFields(KeyedUnarchiver &coder) override;

private:
  void setEndPoints(const QPointF &begin, const QPointF &end);

protected:
  QLNLine(const QLNLine &) = default;
};
