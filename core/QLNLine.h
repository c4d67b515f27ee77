#pragma once
// QLNLine: the straight-line card object. Its end points follow from the bounds and two
// direction flags saying on which corner of the bounds each end point sits. Its drawing,
// handles and hit testing are in the renderer's and geometry files.
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
};
