#pragma once
// Barcode geometry: units, margins, the total height and width of a linear or a
// two-dimensional barcode with its texts, the measuring of caption, header and footer,
// and the bitmap helpers (resizing, PNG). Every function takes the settings value, so
// it runs on any thread.

#include "barcode/BarcodeSettings.h"
#include "barcode/encoding/BarcodeDesignerSettings.h"
#include "platform/Images.h"

#include <QSizeF>
#include <QString>

class BRCBarcode;

// A length typed in `unit` (0 inch and any unknown unit, 1 centimetre, 2 millimetre)
// in points, computed in double and kept as a float.
float unitToPoints(double length, int unit);

// The five margins in points, after the switches: the value margin is 0 while the
// value text is hidden, the header (footer) margin while the header (footer) is.
struct BarcodeMargins {
  float value_margin = 0.0f;
  float header_margin = 0.0f;
  float footer_margin = 0.0f;
  float LR_margin = 0.0f;
  float TB_margin = 0.0f;
};
BarcodeMargins resolvedMargins(const BarcodeSettings &settings);

// What the linear model reads of the designer: the three fonts and the margins in points.
BarcodeDesignerSettings modelSettings(const BarcodeSettings &settings);

// One line of text in `font`: 1.35 × the cap height, in inches; and the width of `text`
// laid out without kerning, in points.
float textLineHeightInches(const FontSpec &font);
float textWidthPoints(const FontSpec &font, const QString &text);

// Royal Mail and Japan Post: four-state bars that stand between their own bottom and top.
bool isFourStateBarcode(const BRCBarcode &barcode);
// The highest bar top of a barcode's bars, in points above the base line.
float highestBarTop(const BRCBarcode &barcode);

// Sets the barcode's height: the bar height (HeightText) with the printed texts, their
// margins and twice the top/bottom margin. A four-state barcode's bars have the height
// their standard gives (Japan Post: the bar height, held within its limits), and the
// texts are added around that.
void Set_Barcode_Height(const BarcodeSettings &settings, BRCBarcode &barcode);
// The total width: the widest of bars, printed header and printed footer, with the
// left/right margin on both sides and 15 points more when that margin is positive.
float Set_Linear_Barcode_Width(const BarcodeSettings &settings, const BRCBarcode &barcode);
// The height of the image of a linear barcode: its height, except for Japan Post, whose
// own height is that of the bars alone.
float linearFrameHeight(const BarcodeSettings &settings, const BRCBarcode &barcode);

// The designer's own fields while it builds a two-dimensional barcode.
struct TwoDTexts {
  QString content;
  QString header;
  QString footer;
  bool printsCaption = false;
  bool printsHeader = false;
  bool printsFooter = false;
  float caption_fontSize = 0.0f;
  float header_fontSize = 0.0f;
  float footer_fontSize = 0.0f;
  float captionHeight = 0.0f;  // inches
  float headerHeight = 0.0f;   // inches
  float footerHeight = 0.0f;   // inches
  float headerWidth = 0.0f;    // points
  float footerWidth = 0.0f;    // points
  float height = 0.0f;         // points, the whole image
  float width = 0.0f;
};
// The texts and their measures for a value, header and footer under the settings.
TwoDTexts twoDTexts(const BarcodeSettings &settings, const QString &value, const QString &header,
                    const QString &footer);
// The designer's height and width for a symbol image of `imageSize` points.
void Set_2d_Barcode_Height(const BarcodeSettings &settings, TwoDTexts &texts, const QSizeF &imageSize);
void Set_2d_Barcode_Width(const BarcodeSettings &settings, TwoDTexts &texts, const QSizeF &imageSize);

// A new image of `size` points, one pixel per point, the source drawn at its own pixel
// size from the top-left corner (cropped or with transparent room); null and "Invalid
// image" logged for a null image or an empty size.
PointImage Resize_Image(const PointImage &image, const QSizeF &size);
// Writes the image as PNG (whole or not at all), its resolution recorded; false on failure
// with the reason logged.
bool Save_Barcode_image(const PointImage &image, const QString &file_path_val);
