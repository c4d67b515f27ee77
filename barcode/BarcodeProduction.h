#pragma once
// Barcode production from a settings value: the symbology dispatch, the linear barcode
// with its texts and geometry, the three two-dimensional symbols (QR Code, PDF417,
// DataMatrix with its EPS text) and the finished image of one value. Everything takes the settings as a value and touches no window, so batch
// output renders one image per data row on a worker thread from a snapshot.

#include "barcode/BarcodeGeometry.h"
#include "barcode/PDF417View.h"
#include "barcode/BarcodeSettings.h"
#include "barcode/encoding/BRCBarcode.h"
#include "barcode/encoding/DataMatrixEncoder.h"
#include "canvas/RenderPicture.h"
#include "platform/Images.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

// The symbology names of the designer's list, linear ones first, in list order.
const QStringList &barcodeSymbologyNames();
// "QR Code", "PDF417" and "DataMatrix" are two-dimensional, every other name linear.
bool isTwoDimensionalSymbology(const QString &name);

// A new linear barcode of the named symbology, initialised with the value and the
// caption switch; null for a name that is no linear symbology or a null value.
std::unique_ptr<BRCBarcode> makeLinearBarcode(const QString &symbology, const QString &value, bool printsCaption);

// What one build gives: the linear barcode, or the symbol image of a two-dimensional one
// with the designer's text fields and sizes.
struct BarcodeBuild {
  bool built = false;            // false: nothing was built (empty value)
  bool twoD = false;
  std::unique_ptr<BRCBarcode> linear;  // linear mode, valid content
  PointImage image_2d;           // two-dimensional mode, null when nothing was drawn
  TwoDTexts texts;               // two-dimensional mode: content, texts, height, width
  int Barcode_module_size = 1;
  QByteArray eps;                // DataMatrix: the EPS text of the symbol
  // True when there is something to show: a linear barcode or a symbol image.
  bool hasBarcode() const { return linear || !image_2d.isNull(); }
};

// Builds the barcode of `value` with `header` and `footer` under `settings`. An empty
// value builds nothing. A PDF417 symbol is drawn by `pdfView` when one is given (the
// designer's view, which keeps the symbol for its EPS), else by a view of its own.
BarcodeBuild Generate_Barcode_Variable(const BarcodeSettings &settings, const QString &value, const QString &header,
                                       const QString &footer, pdf417View *pdfView = nullptr);

// Whether a two-dimensional symbol of `value` is not drawn under `settings` only because
// its picture would be more pixels than a picture may have at the settings' resolution:
// the same symbol is drawn at one pixel a point. False for a linear symbology and at 72
// dots per inch or less, where every size the designer offers fits.
bool symbolTooLargeAt(const BarcodeSettings &settings, const QString &value);

// The finished image of a build: the linear barcode's picture, or the symbol image with
// header and footer in the designer's width and height (set here from the image). Null
// when the build has no barcode.
CardPicture imageOfBuild(const BarcodeSettings &settings, BarcodeBuild &build);

// The image of the barcode of one value (batch output): null for an empty value, invalid
// content or a symbol that cannot be drawn.
CardPicture Get_Image_From_Val(const BarcodeSettings &settings, const QString &value, const QString &header,
                               const QString &footer);

// QR Code: the symbol at the settings' level, version and size; null when refused.
PointImage Draw_QR_Barcode(const BarcodeSettings &settings, const QString &value);

// PDF417: the symbol of the settings' error level, rows and columns stretched over the
// settings' frame (width by height points) at their resolution; null when the encoder
// refuses the value (too long for a symbol), never an older symbol.
PointImage Draw_PDF_417_Barcode(const BarcodeSettings &settings, const QString &value, pdf417View *view = nullptr);

// DataMatrix: the size ("Auto" 0 by 0) and the mode letters the settings choose.
void dataMatrixFormat(const QString &format, int &width, int &height);
QByteArray dataMatrixModes(const QString &encoding, int length);
// The symbol image (one module per point plus a quiet module on each side, at `dpi`,
// then given a size of `moduleSize` points a module) and its EPS text; null, with the
// report written to the standard streams, when no symbol could be made.
PointImage Draw_DataMatrix_Barcode(const BarcodeSettings &settings, const QString &value, int moduleSize,
                                   QByteArray *eps = nullptr);
// The EPS text of a DataMatrix symbol. The value is written into its comment line as
// printable ASCII only (every other byte as "?"), so no value can end the comment.
QByteArray makeEPS_Data_Matrix(const QByteArray &value, int W, int H, const DataMatrixSymbol &symbol);
// The bitmap of a symbol with its one-module quiet zone at `dpi`, of (W + 2) by (H + 2)
// points.
PointImage dataMatrixBitmap(const DataMatrixSymbol &symbol, double dpi);
