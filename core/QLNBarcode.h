#pragma once
// QLNBarcode: the card object that shows a barcode. The barcode designer renders the
// symbol into the record's _barcode_image together with its settings; this object only
// shows that picture, or the resource sample "barcode_sample.png" while there is none,
// at the picture's own size with its top-left corner at the bounds' origin.
//
// The bounds are always the size of the picture shown, so that the handles frame the
// barcode and the card is drawn alike on the canvas and in every output (both draw an
// object within its drawing bounds): a new picture brings its size along, a design
// read from a file takes the size its picture was always drawn at, and a resize keeps
// the size (a barcode's size is set in the designer, where its module width and
// height are chosen; stretching the finished picture would blur its bars).

#include "core/QLNGraphic.h"

#include <functional>

class QLNBarcode : public QLNGraphic {
public:
  QLNBarcode() = default;
  explicit QLNBarcode(Zeroed zeroed) : QLNGraphic(zeroed) {}

  QString className() const override { return QStringLiteral("QLNBarcode"); }

  // The picture drawn: _barcode_image, or the sample while there is none. Not archived.
  PointImage _contents;

  // Designer settings a barcode keeps besides those of the base record, archived under
  // their own names after the record's keys. A design written without them reads as a
  // new object: the value text not spread, the PDF417 shape left to the encoder's rows
  // with 3 columns.
  qint32 kerning_value_val = 0;  // 1: the value text spread over the barcode's width
  qint32 pdf_row_val = 0;        // PDF417 rows (0: as many as the data need), up to 90
  static constexpr qint32 DefaultPDF417Columns = 3;
  qint32 pdf_col_val = DefaultPDF417Columns;  // PDF417 columns (0: the encoder's choice), up to 30
  static constexpr qint32 MaxPDF417Rows = 90;
  static constexpr qint32 MaxPDF417Columns = 30;

  // _contents from _barcode_image, or loaded from the resource sample.
  void barcode_image_var_assign();
  // On a new object: takes its picture (barcode_image_var_assign) and centres the
  // object, at the picture's size, on `point`. The image argument is not used.
  void initWithPosition(const QPointF &point, const PointImage &contents);

  QLNGraphicPtr copyWithZone() const override;
  QLNGraphicPtr copyForRendering() const override;

  // Stores the picture and takes its size as the bounds' size (origin kept), announced
  // as a change of the drawing bounds (no undo step: the picture itself has none).
  void Set_Barcode_image(const PointImage &image) override;
  // The origin as given; the size stays the picture's while there is one with a size.
  void setBounds(const QRectF &bounds) override;
  // Handles do not resize a barcode with a picture: nothing changes, the handle stays.
  int resizeByMovingHandle(int handle, const QPointF &toPoint) override;
  // A barcode is always at its natural size while it has a picture.
  bool canMakeNaturalSize() const override;

  // Where the output keeps vectors (PDF, printers): the barcode is a drawing at `points`
  // (its size on the card, taken as the bounds' size like a picture's) instead of a
  // picture, so that none is made. The drawing fills the rectangle it is given. Not
  // archived, not copied; Set_Barcode_image makes the object a picture again.
  using VectorDrawing = std::function<void(QPainter &, const QRectF &)>;
  void setVectorPicture(const QSizeF &points, VectorDrawing drawing);

  bool isDrawingFill() const override { return false; }
  bool isDrawingStroke() const override { return false; }

  // Takes the current picture (barcode_image_var_assign), draws it, and asks for a
  // redraw. Nothing when hidden; with no picture (no stored one and no sample file)
  // nothing visible.
  void drawContentsInView(QPainter *painter, bool isBeingCreateOrEdited) override;

protected:
  // The copy shows the picture: the original's vector drawing stays the original's.
  QLNBarcode(const QLNBarcode &other);

  // A design read from a file: the bounds take the size the picture is drawn at (files
  // written before the bounds followed the picture may hold another size).
  void finishDecoding() override;
  // The kept settings above; a missing key keeps the new object's value, and a value
  // out of its range is held to it.
  void encodeKindFields(KeyedArchiver &coder) const override;
  void decodeKindFields(KeyedUnarchiver &coder) override;

private:
  // The picture to show: _barcode_image, or the sample (read when needed).
  PointImage pictureShown();
  // The size of the picture shown, or an empty size when there is no picture with a
  // usable size.
  QSizeF shownPictureSize();
  // The bounds take the shown size, announced as a change of the drawing bounds.
  void takeShownSize();
  // Whether there is a picture with a usable size, without loading the sample.
  bool hasSizedPicture() const;

  // The sample as last read, and the path it was read from: every paint of an object
  // without its own picture takes the sample, which is read from disk only when the
  // resource folder changed or the last read failed.
  PointImage m_sample;
  QString m_samplePath;
  VectorDrawing m_vectorDrawing;
  QSizeF m_vectorSize;
};
