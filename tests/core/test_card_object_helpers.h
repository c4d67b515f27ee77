#pragma once
// Helpers shared by the card object, document and pasteboard tests.

#include "core/CardObjectArchive.h"
#include "core/QLNBarcode.h"
#include "core/QLNGraphic.h"
#include "core/QLNImage.h"
#include "core/QLNLine.h"
#include "core/QLNSignature.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"

#include <gtest/gtest.h>

#include <QImage>

namespace cardtest {

// A new object (creation defaults) of the named kind.
inline QLNGraphicPtr makeKind(const QString &className) {
  if (className == QLatin1String("QLNText"))
    return std::make_shared<QLNText>();
  if (className == QLatin1String("QLNImage"))
    return std::make_shared<QLNImage>();
  if (className == QLatin1String("QLNLine"))
    return std::make_shared<QLNLine>();
  if (className == QLatin1String("Shape_Control"))
    return std::make_shared<Shape_Control>();
  if (className == QLatin1String("QLNSignature"))
    return std::make_shared<QLNSignature>();
  if (className == QLatin1String("QLNBarcode"))
    return std::make_shared<QLNBarcode>();
  return nullptr;
}

inline QImage smallPicture() {
  QImage image(4, 3, QImage::Format_ARGB32);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      image.setPixelColor(x, y, QColor(60 * x, 80 * y, 200, 255));
  return image;
}

// Gives every archived field a value different from its creation default and from zero.
inline void fillEveryField(QLNGraphic &g) {
  g._bounds = QRectF(10.25, -20.5, 130.75, 40.125);
  g._isDrawingFill = false;
  g._fillColor = QColor::fromRgbF(0.25f, 0.5f, 0.75f, 0.5f);
  g._isDrawingStroke = false;
  g._strokeColor = QColor::fromRgbF(0.1f, 0.2f, 0.3f, 1.0f);
  g._strokeWidth = 0.1;
  g._stroke_border_type = QStringLiteral("DDD");
  g._fill_type = QStringLiteral("G");
  g._fill_Grad_clr1 = QColor(255, 0, 0);
  g._fill_Grad_clr2 = QColor(0, 0, 255);
  g._fill_grad_angle = 33.3;
  g._fill_htch_clr = QColor(10, 20, 30);
  g._fill_hatch_type = QStringLiteral("pattern_7");
  g._isFlippedHorizontally = true;
  g._isFlippedVertically = true;
  g.invert_clr = true;
  g.gray_Scale = true;
  g.Sepia = true;
  g.img_trnsp_val = 55.5f;
  g.hue_val = 0.7f;
  g.sat_val = 1.5f;
  g.brt_val = -0.25f;
  g.con_val = 2.0f;
  g.srp_val = 0.3f;
  g.ev_val = 0.9f;
  g.blr_val = 4.0f;
  g.data_source_type = 2;
  g.rotate_image = 90.0f;
  g._file_path = QStringLiteral("/tmp/pictures/Ünïcode photo.png");
  g.sign_or_fingureprint = QStringLiteral("F");
  g.batch_list_name = QStringLiteral("Guests");
  g.batch_list_index = 3;
  g._line_ori = 2;
  g._line_cap_style = 1;
  g.cor_rad_val_val = 12.5f;
  g.alpha_val = 0.25f;
  g.alpha_val_stroke = 0.75f;
  g.text_ctrl_font = FontSpec(QStringLiteral("Arial-BoldMT"), 18.5);
  g.txt_clr = QColor(0, 128, 0);
  auto text = std::make_shared<QLNTextStorage>();
  text->string = QStringLiteral("Sorry, truly");
  TextRun first;
  first.start = 0;
  first.length = 6;
  first.font = ArchivedFont{QStringLiteral("Arial-BoldMT"), 18.5};
  first.color = QColor(255, 0, 0);
  first.kerning = 1.5;
  first.alignment = 2;
  TextRun second;
  second.start = 6;
  second.length = 6;
  second.font = ArchivedFont{QStringLiteral("TimesNewRomanPS-ItalicMT"), 14.0};
  second.color = QColor(0, 0, 0);
  text->runs = {first, second};
  g._Text_contents = text;
  g._shape_type = QStringLiteral("DS");
  // Shown at the bounds' size: a barcode object is always the size of its picture.
  g._barcode_image = PointImage{smallPicture(), g._bounds.size()};
  g.linear_or_2d = 1;
  g.barcode_font_index = 4;
  g.linear_font_val = QStringLiteral("987654");
  g.two_d_font_val = QStringLiteral("https://example.invalid/sorry");
  g.header_val = QStringLiteral("TOP");
  g.footer_val = QStringLiteral("BOTTOM");
  g.show_hide_hdr = 1;
  g.show_hide_ftr = 1;
  g.show_hide_val = 1;
  g.show_val_on_top = 1;
  g.align_hdr_index = 2;
  g.align_ftr_index = 0;
  g.linear_height_val = 0.9f;
  g.linear_width_val = 33.0f;
  g.qr_size_val = 80;
  g.qr_version_index = 5;
  g.qr_ec_index = 3;
  g.pdf_hgt_val = 30;
  g.pdf_wdt_val = 150;
  g.pdf_ec_val = 4;
  g.dm_module_val = 5;
  g.dm_format_index = 7;
  g.dm_encoding_index = 2;
  g.hdr_margin_val = 0.2f;
  g.ftr_margin_val = 0.3f;
  g.val_margin_val = 0.4f;
  g.TB_marging_val = 0.5f;
  g.LR_margin_val = 0.6f;
  g.value_font_val = FontSpec(QStringLiteral("CourierNewPSMT"), 9.0);
  g.header_font_val = FontSpec(QStringLiteral("Helvetica"), 11.0);
  g.footer_font_val = FontSpec(QStringLiteral("Georgia-Bold"), 12.0);
  g.barcode_hdr_clr_val = QColor(1, 2, 3);
  g.barcode_ftr_clr_val = QColor(4, 5, 6);
  g.barcode_val_clr_val = QColor(7, 8, 9);
  g.barcode_back_clr_val = QColor(250, 240, 230);
  g.barcode_clr_val = QColor(20, 10, 0);
  g.dpi_val_index = 3;
  g.dpi_custom_val = QStringLiteral("450");
  g.barcode_unit_val = 2;
  g.ctrl_is_locked = true;
  g.text_alignmnet = 2;
  g.text_transfrom_case = 3;
  g.text_kerning = 2.5f;
  g.print_object = 1;
  g.control_ID = QStringLiteral("PARTY_TITLE");
  g.excel_binding = true;
  g.excel_col_indx = 6;
  g.Text_Value = QStringLiteral("Sorry, truly");
  g.ctrl_is_visible = false;
  g.double_star_type = 4;
  g.polygon_type = 5;
}

inline QImage comparable(const QImage &image) { return image.convertToFormat(QImage::Format_ARGB32); }

// Every archived field of `b` equals that of `a` (the two narrowed doubles compared as
// the nearest 32-bit float).
inline void expectSameArchivedFields(const QLNGraphic &a, const QLNGraphic &b) {
  EXPECT_EQ(a._bounds, b._bounds);
  EXPECT_EQ(a._isDrawingFill, b._isDrawingFill);
  EXPECT_EQ(a._fillColor.rgba64(), b._fillColor.rgba64());
  EXPECT_EQ(a._fillColor.isValid(), b._fillColor.isValid());
  EXPECT_EQ(a._isDrawingStroke, b._isDrawingStroke);
  EXPECT_EQ(a._strokeColor.rgba64(), b._strokeColor.rgba64());
  EXPECT_EQ(b._strokeWidth, static_cast<double>(static_cast<float>(a._strokeWidth)));
  EXPECT_EQ(a._stroke_border_type, b._stroke_border_type);
  EXPECT_EQ(a._fill_type, b._fill_type);
  EXPECT_EQ(a._fill_Grad_clr1.rgba64(), b._fill_Grad_clr1.rgba64());
  EXPECT_EQ(a._fill_Grad_clr2.rgba64(), b._fill_Grad_clr2.rgba64());
  EXPECT_EQ(b._fill_grad_angle, static_cast<double>(static_cast<float>(a._fill_grad_angle)));
  EXPECT_EQ(a._fill_htch_clr.rgba64(), b._fill_htch_clr.rgba64());
  EXPECT_EQ(a._fill_hatch_type, b._fill_hatch_type);
  EXPECT_EQ(a._isFlippedHorizontally, b._isFlippedHorizontally);
  EXPECT_EQ(a._isFlippedVertically, b._isFlippedVertically);
  EXPECT_EQ(a.invert_clr, b.invert_clr);
  EXPECT_EQ(a.gray_Scale, b.gray_Scale);
  EXPECT_EQ(a.Sepia, b.Sepia);
  EXPECT_EQ(a.img_trnsp_val, b.img_trnsp_val);
  EXPECT_EQ(a.hue_val, b.hue_val);
  EXPECT_EQ(a.sat_val, b.sat_val);
  EXPECT_EQ(a.brt_val, b.brt_val);
  EXPECT_EQ(a.con_val, b.con_val);
  EXPECT_EQ(a.srp_val, b.srp_val);
  EXPECT_EQ(a.ev_val, b.ev_val);
  EXPECT_EQ(a.blr_val, b.blr_val);
  EXPECT_EQ(a.data_source_type, b.data_source_type);
  EXPECT_EQ(a.rotate_image, b.rotate_image);
  EXPECT_EQ(a._file_path, b._file_path);
  EXPECT_EQ(a.sign_or_fingureprint, b.sign_or_fingureprint);
  EXPECT_EQ(a.batch_list_name, b.batch_list_name);
  EXPECT_EQ(a.batch_list_index, b.batch_list_index);
  EXPECT_EQ(a._line_ori, b._line_ori);
  EXPECT_EQ(a._line_cap_style, b._line_cap_style);
  EXPECT_EQ(a.cor_rad_val_val, b.cor_rad_val_val);
  EXPECT_EQ(a.alpha_val, b.alpha_val);
  EXPECT_EQ(a.alpha_val_stroke, b.alpha_val_stroke);
  EXPECT_EQ(a.text_ctrl_font, b.text_ctrl_font);
  EXPECT_EQ(a.txt_clr.rgba64(), b.txt_clr.rgba64());
  ASSERT_EQ(bool(a._Text_contents), bool(b._Text_contents));
  if (a._Text_contents) {
    EXPECT_EQ(*a._Text_contents, *b._Text_contents);
  }
  EXPECT_EQ(a._shape_type, b._shape_type);
  EXPECT_EQ(a._barcode_image.isNull(), b._barcode_image.isNull());
  if (!a._barcode_image.isNull()) {
    EXPECT_EQ(comparable(a._barcode_image.pixels), comparable(b._barcode_image.pixels));
    EXPECT_EQ(a._barcode_image.points, b._barcode_image.points);
  }
  EXPECT_EQ(a.linear_or_2d, b.linear_or_2d);
  EXPECT_EQ(a.barcode_font_index, b.barcode_font_index);
  EXPECT_EQ(a.linear_font_val, b.linear_font_val);
  EXPECT_EQ(a.two_d_font_val, b.two_d_font_val);
  EXPECT_EQ(a.header_val, b.header_val);
  EXPECT_EQ(a.footer_val, b.footer_val);
  EXPECT_EQ(a.show_hide_hdr, b.show_hide_hdr);
  EXPECT_EQ(a.show_hide_ftr, b.show_hide_ftr);
  EXPECT_EQ(a.show_hide_val, b.show_hide_val);
  EXPECT_EQ(a.show_val_on_top, b.show_val_on_top);
  EXPECT_EQ(a.align_hdr_index, b.align_hdr_index);
  EXPECT_EQ(a.align_ftr_index, b.align_ftr_index);
  EXPECT_EQ(a.linear_height_val, b.linear_height_val);
  EXPECT_EQ(a.linear_width_val, b.linear_width_val);
  EXPECT_EQ(a.qr_size_val, b.qr_size_val);
  EXPECT_EQ(a.qr_version_index, b.qr_version_index);
  EXPECT_EQ(a.qr_ec_index, b.qr_ec_index);
  EXPECT_EQ(a.pdf_hgt_val, b.pdf_hgt_val);
  EXPECT_EQ(a.pdf_wdt_val, b.pdf_wdt_val);
  EXPECT_EQ(a.pdf_ec_val, b.pdf_ec_val);
  EXPECT_EQ(a.dm_module_val, b.dm_module_val);
  EXPECT_EQ(a.dm_format_index, b.dm_format_index);
  EXPECT_EQ(a.dm_encoding_index, b.dm_encoding_index);
  EXPECT_EQ(a.hdr_margin_val, b.hdr_margin_val);
  EXPECT_EQ(a.ftr_margin_val, b.ftr_margin_val);
  EXPECT_EQ(a.val_margin_val, b.val_margin_val);
  EXPECT_EQ(a.TB_marging_val, b.TB_marging_val);
  EXPECT_EQ(a.LR_margin_val, b.LR_margin_val);
  EXPECT_EQ(a.value_font_val, b.value_font_val);
  EXPECT_EQ(a.header_font_val, b.header_font_val);
  EXPECT_EQ(a.footer_font_val, b.footer_font_val);
  EXPECT_EQ(a.barcode_hdr_clr_val.rgba64(), b.barcode_hdr_clr_val.rgba64());
  EXPECT_EQ(a.barcode_ftr_clr_val.rgba64(), b.barcode_ftr_clr_val.rgba64());
  EXPECT_EQ(a.barcode_val_clr_val.rgba64(), b.barcode_val_clr_val.rgba64());
  EXPECT_EQ(a.barcode_back_clr_val.rgba64(), b.barcode_back_clr_val.rgba64());
  EXPECT_EQ(a.barcode_clr_val.rgba64(), b.barcode_clr_val.rgba64());
  EXPECT_EQ(a.dpi_val_index, b.dpi_val_index);
  EXPECT_EQ(a.dpi_custom_val, b.dpi_custom_val);
  EXPECT_EQ(a.barcode_unit_val, b.barcode_unit_val);
  EXPECT_EQ(a.ctrl_is_locked, b.ctrl_is_locked);
  EXPECT_EQ(a.text_alignmnet, b.text_alignmnet);
  EXPECT_EQ(a.text_transfrom_case, b.text_transfrom_case);
  EXPECT_EQ(a.text_kerning, b.text_kerning);
  EXPECT_EQ(a.print_object, b.print_object);
  EXPECT_EQ(a.control_ID, b.control_ID);
  EXPECT_EQ(a.excel_binding, b.excel_binding);
  EXPECT_EQ(a.excel_col_indx, b.excel_col_indx);
  EXPECT_EQ(a.Text_Value, b.Text_Value);
  EXPECT_EQ(a.ctrl_is_visible, b.ctrl_is_visible);
  EXPECT_EQ(a.double_star_type, b.double_star_type);
  EXPECT_EQ(a.polygon_type, b.polygon_type);
}

}  // namespace cardtest
