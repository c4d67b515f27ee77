#pragma once
// The painter of one finished barcode with its texts. It is never shown: the image
// operations below make one per rendering, record its drawing and drop it.
//
// Barcode mode draws a linear barcode from its module string: background, bars, the
// value text (caption) with its left and right parts, header and footer. Image mode
// draws a finished two-dimensional symbol image centred under an optional header and
// above an optional footer.
//
// The geometry is worked out with the origin at the bottom-left corner and y growing
// upwards (lengths in points); drawRect turns every rectangle into the painter's
// top-left coordinates itself. Colours, fonts, margins, switches and alignments come
// from the settings value given at creation, so the view reads no window and can draw
// on any thread.

#include "barcode/BarcodeGeometry.h"
#include "barcode/BarcodeSettings.h"
#include "canvas/RenderPicture.h"
#include "platform/Images.h"

#include <QByteArray>
#include <QRectF>

class BRCBarcode;
class QPainter;

class BRCBarcodeOffscreenView {
public:
  // Barcode mode. The frame is as wide as the widest of the bars and of the printed
  // header and footer, and as high as the barcode (linearFrameHeight). The barcode is
  // not owned; it must outlive the view.
  static BRCBarcodeOffscreenView initWithBarcode(const BRCBarcode &barcode, const BarcodeSettings &settings);
  // Image mode. The frame is the designer's width and height of `texts`; the image is
  // drawn at its own point size, never scaled.
  static BRCBarcodeOffscreenView initWithBarcodeImage(const PointImage &image, const BarcodeSettings &settings,
                                                      const TwoDTexts &texts);

  const BRCBarcode *barcode() const { return m_barcode; }
  void setBarcode(const BRCBarcode *barcode) { m_barcode = barcode; }
  void setBarcode_Image_2D(const PointImage &image) { m_image_2d = image; }
  bool fromImageOrBarcode() const { return m_fromImageOrBarcode; }
  QRectF bounds() const { return m_bounds; }
  // The one page: the view's bounds.
  QRectF rectForPage(int) const { return m_bounds; }

  // Paints the whole view into `painter`, whose coordinates are points with the view's
  // top-left corner at the origin.
  void drawRect(QPainter &painter) const;

  // The drawing recorded as a picture of the view's bounds.
  CardPicture picture() const;
  // One PDF page of `rect` (the bounds) with the drawing; empty on failure.
  QByteArray dataWithPDFInsideRect(const QRectF &rect) const;

private:
  BRCBarcodeOffscreenView() = default;
  void drawBarcodeMode(QPainter &painter) const;
  void drawImageMode(QPainter &painter) const;
  void drawCaption(QPainter &painter, float h) const;
  // Header (true) or footer text in a rectangle as wide as the view whose bottom-left
  // corner (y up) is at `y`.
  void drawHeaderFooter(QPainter &painter, bool header, const QString &text, float y) const;

  const BRCBarcode *m_barcode = nullptr;
  bool m_fromImageOrBarcode = false;
  PointImage m_image_2d;
  BarcodeSettings m_settings;
  BarcodeMargins m_margins;
  TwoDTexts m_texts;
  QRectF m_bounds;
};

// The image of a linear barcode, or of a two-dimensional symbol image with its header
// and footer: a recorded vector picture of the view's bounds. Null for no barcode or no
// image (no view is made then) or when the drawing fails (logged).
CardPicture imageFromBarcode(const BRCBarcode *barcode, const BarcodeSettings &settings);
CardPicture imageFromBarcodeImage(const PointImage &image_2d, const BarcodeSettings &settings,
                                  const TwoDTexts &texts);
// PDF data of a linear barcode's view; empty when there is none.
QByteArray pdfFromBarcode(const BRCBarcode *barcode, const BarcodeSettings &settings);
