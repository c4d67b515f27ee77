#pragma once
// QLNBarcode: the card object that shows a barcode. The barcode designer renders the
// symbol into the record's _barcode_image together with its settings; this object only
// shows that picture, or the resource sample "barcode_sample.png" while there is none,
// at the picture's own size with its top-left corner at the bounds' origin (a resize
// moves the corner and the handles, not the drawn size).

#include "core/QLNGraphic.h"

class QLNBarcode : public QLNGraphic {
public:
  QLNBarcode() = default;
  explicit QLNBarcode(Zeroed zeroed) : QLNGraphic(zeroed) {}

  QString className() const override { return QStringLiteral("QLNBarcode"); }

  // The picture drawn: _barcode_image, or the sample while there is none. Not archived.
  PointImage _contents;

  // _contents from _barcode_image, or loaded from the resource sample.
  void barcode_image_var_assign();
  // On a new object: takes its picture (barcode_image_var_assign) and centres the
  // object, at the picture's size, on `point`. The image argument is not used.
  void initWithPosition(const QPointF &point, const PointImage &contents);

  QLNGraphicPtr copyWithZone() const override;

  bool isDrawingFill() const override { return false; }
  bool isDrawingStroke() const override { return false; }

  // Takes the current picture (barcode_image_var_assign), draws it, and asks for a
  // redraw. Nothing when hidden; with no picture (no stored one and no sample file)
  // nothing visible.
  void drawContentsInView(QPainter *painter, bool isBeingCreateOrEdited) override;

private:
  // The sample as last read, and the path it was read from: every paint of an object
  // without its own picture takes the sample, which is read from disk only when the
  // resource folder changed or the last read failed.
  PointImage m_sample;
  QString m_samplePath;
};
