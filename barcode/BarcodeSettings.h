#pragma once
// Everything the barcode renderers read of the designer, as a plain value: the designer
// fills one from its controls on the GUI thread (Barcode_Gen::settings()), and every
// renderer takes one, so a worker thread renders one barcode per data row from its own
// snapshot while the window is open, closed or being changed.
//
// Lengths keep the units of their controls: bar height and margins in the measurement
// unit `Measument_Unit_Is` (0 inch, 1 centimetre, 2 millimetre), the narrow bar width in
// mils, the QR size in pixels, the PDF417 frame in points.

#include "platform/Fonts.h"

#include <QColor>
#include <QString>

struct BarcodeSettings {
  // 0 linear symbology, 1 two-dimensional (liner_or_2D_font).
  int liner_or_2D_font = 0;
  // The title of the selected symbology (barcodeTypePopup).
  QString symbology = QStringLiteral("Code 39");

  // Check boxes: their states, and whether the value-text box is enabled.
  int captionState = 0;         // captionCheckbox: 1 hides the value text
  bool captionEnabled = true;
  int hideHeaderState = 0;      // hideHeaderCheckbox: 1 hides the header
  int hideFooterState = 0;      // hideFooterCheckbox
  int showinTopState = 0;       // showinTopCheckbox: the value text above the bars
  int kerningState = 0;         // kerning_value_Checkbox: 1 spreads a one-part caption
  QString align_hdr = QStringLiteral("Center");  // selected texts of the alignment lists
  QString align_ftr = QStringLiteral("Center");

  // Linear sizes.
  double barHeight = 1.0;       // HeightText, in the unit
  bool barHeightEnabled = true;
  double barWidthMils = 13.0;   // widthText, mils
  bool barWidthEnabled = true;

  // QR Code.
  int qrSize = 60;              // HeightText_2D, pixels
  int QR_Version_Val = 0;       // 0 "Auto", n "Vn"
  int QR_EC_Level_Val = 0;      // 0 L, 1 M, 2 Q, 3 H
  int QR_Enc_Mode_Val = 0;

  // PDF417.
  int pdfHeight = 60;           // pdf_HeightStepper_2D, points
  int pdfWidth = 180;           // Pdf_widthText_2D, points
  int pdfErrorLevel = 2;
  int PDF_Row = 0;
  int PDF_Col = 3;

  // DataMatrix.
  int dmModule = 3;             // dm_moduleStepper_2D, points per module
  QString dmFormat = QStringLiteral("Auto");    // "Auto" or "C<rows>X<columns>"
  QString dmEncoding = QStringLiteral("Auto");  // "Auto", "Ascii", "C40", "Text", "Base256"

  // Margins as typed, in the unit.
  double hdrMargin = 0.1;
  double ftrMargin = 0.1;
  double valMargin = 0.1;
  double tbMargin = 0.1;
  double lrMargin = 0.1;

  FontSpec value_font{QStringLiteral("Times New Roman"), 10.0};
  FontSpec header_font{QStringLiteral("Times New Roman"), 10.0};
  FontSpec footer_font{QStringLiteral("Times New Roman"), 10.0};

  QColor bar_hdr_clr = Qt::black;
  QColor bar_ftr_clr = Qt::black;
  QColor bar_val_clr = Qt::black;
  QColor bar_back_clr = Qt::white;
  QColor barcode_clr = Qt::black;

  int dpi = 600;                // USED_DPI_VALUE
  int unit = 1;                 // Measument_Unit_Is

  // The value-text switch (Get_Print_State without its side effect): 1 prints the value
  // text; a disabled check box prints none.
  int printState() const { return captionEnabled && captionState != 1 ? 1 : 0; }
  bool isTwoDimensional() const { return liner_or_2D_font != 0; }
};
