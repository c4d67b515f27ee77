#pragma once
// The barcode designer's settings that the linear barcode model reads while it lays a
// barcode out: the caption, header and footer fonts and the margins in points. The
// designer fills one of these and hands it to the barcode; the model keeps its own
// copy, so it never reaches a window and runs on any thread.

#include "platform/Fonts.h"

struct BarcodeDesignerSettings {
  FontSpec value_font;   // caption font
  FontSpec header_font;
  FontSpec footer_font;
  float value_margin = 0.0f;   // between bars and caption
  float header_margin = 0.0f;  // between header and bars
  float footer_margin = 0.0f;  // between bars and footer
  float TB_margin = 0.0f;      // above and below the whole barcode
};
