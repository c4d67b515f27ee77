#include "core/CardObjectArchive.h"

#include "core/QLNBarcode.h"
#include "core/QLNImage.h"
#include "core/QLNLine.h"
#include "core/QLNSignature.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"

#include "core/CardDrawing.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

std::optional<QColor> colorOrNone(const QColor &color) {
  return color.isValid() ? std::optional<QColor>(color) : std::nullopt;
}

QColor colorFrom(const std::optional<QColor> &color) { return color ? *color : QColor(); }

// Hands the object made by the unarchiver's factory over as a shared card object.
QLNGraphicPtr takeGraphic(std::unique_ptr<KeyedArchivable> object) {
  auto *graphic = dynamic_cast<QLNGraphic *>(object.get());
  if (!graphic)
    return nullptr;
  object.release();
  return QLNGraphicPtr(graphic);
}

}  // namespace

QStringList cardObjectClassNames() {
  return {QStringLiteral("QLNText"),       QStringLiteral("QLNImage"),
          QStringLiteral("QLNLine"),       QStringLiteral("Shape_Control"),
          QStringLiteral("QLNSignature"),  QStringLiteral("QLNBarcode")};
}

namespace {

std::unique_ptr<QLNGraphic> newZeroedGraphic(const QString &className) {
  const QLNGraphic::Zeroed zeroed;
  if (className == QLatin1String("QLNText"))
    return std::make_unique<QLNText>(zeroed);
  if (className == QLatin1String("QLNImage"))
    return std::make_unique<QLNImage>(zeroed);
  if (className == QLatin1String("QLNLine"))
    return std::make_unique<QLNLine>(zeroed);
  if (className == QLatin1String("Shape_Control"))
    return std::make_unique<Shape_Control>(zeroed);
  if (className == QLatin1String("QLNSignature"))
    return std::make_unique<QLNSignature>(zeroed);
  if (className == QLatin1String("QLNBarcode"))
    return std::make_unique<QLNBarcode>(zeroed);
  return nullptr;
}

}  // namespace

QLNGraphicPtr makeZeroedGraphic(const QString &className) {
  return QLNGraphicPtr(newZeroedGraphic(className));
}

std::optional<ArchivedFont> toArchivedFont(const std::optional<FontSpec> &font) {
  if (!font)
    return std::nullopt;
  return ArchivedFont{font->postScriptName(), font->pointSize()};
}

std::optional<FontSpec> toFontSpec(const std::optional<ArchivedFont> &font) {
  if (!font)
    return std::nullopt;
  return FontSpec(font->postScriptName, font->pointSize);
}

// ---- Bounds of decoded numbers ---------------------------------------------------------------

static_assert(DecodedLimits::MaxStrokeWidth == CardDrawing::MaxStrokeWidth);
static_assert(DecodedLimits::MaxVertexCount == Shape_Control::MaxPolygonVertices);
static_assert(DecodedLimits::MaxFontSize == FontSpec::MaxDrawnPointSize);

namespace DecodedLimits {

double finiteWithin(double value, double low, double high) {
  if (!std::isfinite(value))
    return 0.0;
  return std::clamp(value, low, high);
}

double withinOneTurn(double degrees) {
  if (!std::isfinite(degrees))
    return 0.0;
  if (std::fabs(degrees) <= FullTurn)
    return degrees;
  return std::fmod(degrees, FullTurn);
}

QSizeF pictureSizeWithin(const QSizeF &points, const QImage &pixels) {
  QSizeF size = points;
  const auto usable = [](double side) { return std::isfinite(side) && side >= 0.0; };
  if (!usable(size.width()) || !usable(size.height())) {
    const QSizeF own = PointImage::fromPixels(pixels).points;
    if (!usable(size.width()))
      size.setWidth(own.width());
    if (!usable(size.height()))
      size.setHeight(own.height());
  }
  return QSizeF(finiteWithin(size.width(), 0.0, MaxCoordinate), finiteWithin(size.height(), 0.0, MaxCoordinate));
}

std::optional<FontSpec> fontWithin(const std::optional<FontSpec> &font) {
  if (!font)
    return font;
  FontSpec held = *font;
  held.setPointSize(finiteWithin(held.pointSize(), 0.0, MaxFontSize));
  return held;
}

}  // namespace DecodedLimits

namespace {

using namespace DecodedLimits;

float heldFloat(float value, double low, double high) {
  return static_cast<float>(finiteWithin(value, low, high));
}

float heldAdjustment(float value) { return heldFloat(value, -MaxAdjustment, MaxAdjustment); }
float heldOpacity(float value) { return heldFloat(value, 0.0, MaxOpacity); }
float heldBarcodeMeasure(float value) { return heldFloat(value, -MaxBarcodeMeasure, MaxBarcodeMeasure); }
qint32 heldBarcodeSize(qint32 value, qint32 largest) { return std::clamp(value, qint32(0), largest); }
qint32 heldVertexCount(qint32 value) { return value < 0 || value > MaxVertexCount ? 0 : value; }

QRectF heldRect(const QRectF &rect) {
  return QRectF(finiteWithin(rect.x(), -MaxCoordinate, MaxCoordinate),
                finiteWithin(rect.y(), -MaxCoordinate, MaxCoordinate),
                finiteWithin(rect.width(), -MaxCoordinate, MaxCoordinate),
                finiteWithin(rect.height(), -MaxCoordinate, MaxCoordinate));
}

PointImage heldPicture(const PointImage &picture) {
  if (picture.isNull())
    return picture;
  return PointImage{picture.pixels, pictureSizeWithin(picture.points, picture.pixels)};
}

}  // namespace

void holdDecodedNumbers(QLNGraphic &g) {
  g._bounds = heldRect(g._bounds);
  g._strokeWidth = finiteWithin(g._strokeWidth, -MaxStrokeWidth, MaxStrokeWidth);
  g._fill_grad_angle = withinOneTurn(g._fill_grad_angle);
  g.rotate_image = static_cast<float>(withinOneTurn(g.rotate_image));
  for (float *adjustment : {&g.hue_val, &g.sat_val, &g.brt_val, &g.con_val, &g.srp_val, &g.ev_val, &g.blr_val})
    *adjustment = heldAdjustment(*adjustment);
  for (float *opacity : {&g.img_trnsp_val, &g.alpha_val, &g.alpha_val_stroke})
    *opacity = heldOpacity(*opacity);
  g.cor_rad_val_val = heldFloat(g.cor_rad_val_val, 0.0, MaxCoordinate);
  g.text_kerning = heldFloat(g.text_kerning, -MaxKerning, MaxKerning);
  g.double_star_type = heldVertexCount(g.double_star_type);
  g.polygon_type = heldVertexCount(g.polygon_type);
  for (std::optional<FontSpec> *font : {&g.text_ctrl_font, &g.value_font_val, &g.header_font_val, &g.footer_font_val})
    *font = fontWithin(*font);
  if (g._Text_contents) {
    for (TextRun &run : g._Text_contents->runs) {
      if (run.font)
        run.font->pointSize = finiteWithin(run.font->pointSize, 0.0, MaxFontSize);
      if (run.kerning)
        run.kerning = finiteWithin(*run.kerning, -MaxKerning, MaxKerning);
    }
  }
  g._barcode_image = heldPicture(g._barcode_image);
  for (float *measure : {&g.linear_height_val, &g.linear_width_val, &g.hdr_margin_val, &g.ftr_margin_val,
                         &g.val_margin_val, &g.TB_marging_val, &g.LR_margin_val})
    *measure = heldBarcodeMeasure(*measure);
  g.qr_size_val = heldBarcodeSize(g.qr_size_val, MaxQRSize);
  g.pdf_hgt_val = heldBarcodeSize(g.pdf_hgt_val, MaxPDF417Side);
  g.pdf_wdt_val = heldBarcodeSize(g.pdf_wdt_val, MaxPDF417Side);
  g.dm_module_val = heldBarcodeSize(g.dm_module_val, MaxModuleSize);
}

// ---- The record ----------------------------------------------------------------------------

void QLNGraphic::encodeWithCoder(KeyedArchiver &coder) const {
  coder.encodeRect(QStringLiteral("_bounds"), _bounds);
  coder.encodeBool(QStringLiteral("ctrl_is_locked"), ctrl_is_locked);
  coder.encodeBool(QStringLiteral("_isDrawingFill"), _isDrawingFill);
  coder.encodeColor(QStringLiteral("_fillColor"), colorOrNone(_fillColor));
  coder.encodeBool(QStringLiteral("_isDrawingStroke"), _isDrawingStroke);
  coder.encodeColor(QStringLiteral("_strokeColor"), colorOrNone(_strokeColor));
  coder.encodeFloat(QStringLiteral("_strokeWidth"), static_cast<float>(_strokeWidth));
  coder.encodeString(QStringLiteral("_stroke_border_type"), _stroke_border_type);
  coder.encodeString(QStringLiteral("_fill_type"), _fill_type);
  coder.encodeColor(QStringLiteral("_fill_Grad_clr1"), colorOrNone(_fill_Grad_clr1));
  coder.encodeColor(QStringLiteral("_fill_Grad_clr2"), colorOrNone(_fill_Grad_clr2));
  coder.encodeFloat(QStringLiteral("_fill_grad_angle"), static_cast<float>(_fill_grad_angle));
  coder.encodeColor(QStringLiteral("_fill_htch_clr"), colorOrNone(_fill_htch_clr));
  coder.encodeString(QStringLiteral("_fill_hatch_type"), _fill_hatch_type);
  coder.encodeBool(QStringLiteral("_isFlippedHorizontally"), _isFlippedHorizontally);
  coder.encodeBool(QStringLiteral("_isFlippedVertically"), _isFlippedVertically);
  coder.encodeBool(QStringLiteral("invert_clr"), invert_clr);
  coder.encodeBool(QStringLiteral("gray_Scale"), gray_Scale);
  coder.encodeBool(QStringLiteral("Sepia"), Sepia);
  coder.encodeFloat(QStringLiteral("img_trnsp_val"), img_trnsp_val);
  coder.encodeFloat(QStringLiteral("hue_val"), hue_val);
  coder.encodeFloat(QStringLiteral("sat_val"), sat_val);
  coder.encodeFloat(QStringLiteral("brt_val"), brt_val);
  coder.encodeFloat(QStringLiteral("con_val"), con_val);
  coder.encodeFloat(QStringLiteral("srp_val"), srp_val);
  coder.encodeFloat(QStringLiteral("ev_val"), ev_val);
  coder.encodeFloat(QStringLiteral("blr_val"), blr_val);
  coder.encodeInt32(QStringLiteral("data_source_type"), data_source_type);
  coder.encodeFloat(QStringLiteral("rotate_image"), rotate_image);
  coder.encodeString(QStringLiteral("_file_path"), _file_path);
  coder.encodeString(QStringLiteral("sign_or_fingureprint"), sign_or_fingureprint);
  coder.encodeString(QStringLiteral("batch_list_name"), batch_list_name);
  coder.encodeInt32(QStringLiteral("batch_list_index"), batch_list_index);
  coder.encodeInt32(QStringLiteral("_line_ori"), _line_ori);
  coder.encodeInt32(QStringLiteral("_line_cap_style"), _line_cap_style);
  coder.encodeFloat(QStringLiteral("alpha_val"), alpha_val);
  coder.encodeFloat(QStringLiteral("alpha_val_stroke"), alpha_val_stroke);
  coder.encodeFont(QStringLiteral("text_ctrl_font"), toArchivedFont(text_ctrl_font));
  coder.encodeColor(QStringLiteral("txt_clr"), colorOrNone(txt_clr));
  coder.encodeAttributedText(QStringLiteral("_Text_contents"),
                             _Text_contents ? std::optional<AttributedText>(*_Text_contents)
                                            : std::nullopt);
  coder.encodeString(QStringLiteral("_shape_type"), _shape_type);
  coder.encodeFloat(QStringLiteral("cor_rad_val_val"), cor_rad_val_val);
  coder.encodeImage(QStringLiteral("_barcode_image"), _barcode_image.pixels, _barcode_image.points);
  coder.encodeInt32(QStringLiteral("linear_or_2d"), linear_or_2d);
  coder.encodeInt32(QStringLiteral("barcode_font_index"), barcode_font_index);
  coder.encodeString(QStringLiteral("linear_font_val"), linear_font_val);
  coder.encodeString(QStringLiteral("two_d_font_val"), two_d_font_val);
  coder.encodeString(QStringLiteral("header_val"), header_val);
  coder.encodeString(QStringLiteral("footer_val"), footer_val);
  coder.encodeInt32(QStringLiteral("show_hide_hdr"), show_hide_hdr);
  coder.encodeInt32(QStringLiteral("show_hide_ftr"), show_hide_ftr);
  coder.encodeInt32(QStringLiteral("show_hide_val"), show_hide_val);
  coder.encodeInt32(QStringLiteral("show_val_on_top"), show_val_on_top);
  coder.encodeInt32(QStringLiteral("align_hdr_index"), align_hdr_index);
  coder.encodeInt32(QStringLiteral("align_ftr_index"), align_ftr_index);
  coder.encodeFloat(QStringLiteral("linear_height_val"), linear_height_val);
  coder.encodeFloat(QStringLiteral("linear_width_val"), linear_width_val);
  coder.encodeInt32(QStringLiteral("qr_size_val"), qr_size_val);
  coder.encodeInt32(QStringLiteral("qr_version_index"), qr_version_index);
  coder.encodeInt32(QStringLiteral("qr_ec_index"), qr_ec_index);
  coder.encodeInt32(QStringLiteral("pdf_hgt_val"), pdf_hgt_val);
  coder.encodeInt32(QStringLiteral("pdf_wdt_val"), pdf_wdt_val);
  coder.encodeInt32(QStringLiteral("pdf_ec_val"), pdf_ec_val);
  coder.encodeInt32(QStringLiteral("dm_module_val"), dm_module_val);
  coder.encodeInt32(QStringLiteral("dm_format_index"), dm_format_index);
  coder.encodeInt32(QStringLiteral("dm_encoding_index"), dm_encoding_index);
  coder.encodeFloat(QStringLiteral("hdr_margin_val"), hdr_margin_val);
  coder.encodeFloat(QStringLiteral("ftr_margin_val"), ftr_margin_val);
  coder.encodeFloat(QStringLiteral("val_margin_val"), val_margin_val);
  coder.encodeFloat(QStringLiteral("TB_marging_val"), TB_marging_val);
  coder.encodeFloat(QStringLiteral("LR_margin_val"), LR_margin_val);
  coder.encodeFont(QStringLiteral("value_font_val"), toArchivedFont(value_font_val));
  coder.encodeFont(QStringLiteral("header_font_val"), toArchivedFont(header_font_val));
  coder.encodeFont(QStringLiteral("footer_font_val"), toArchivedFont(footer_font_val));
  coder.encodeColor(QStringLiteral("barcode_hdr_clr_val"), colorOrNone(barcode_hdr_clr_val));
  coder.encodeColor(QStringLiteral("barcode_ftr_clr_val"), colorOrNone(barcode_ftr_clr_val));
  coder.encodeColor(QStringLiteral("barcode_val_clr_val"), colorOrNone(barcode_val_clr_val));
  coder.encodeColor(QStringLiteral("barcode_back_clr_val"), colorOrNone(barcode_back_clr_val));
  coder.encodeColor(QStringLiteral("barcode_clr_val"), colorOrNone(barcode_clr_val));
  coder.encodeInt32(QStringLiteral("dpi_val_index"), dpi_val_index);
  coder.encodeString(QStringLiteral("dpi_custom_val"), dpi_custom_val);
  coder.encodeInt32(QStringLiteral("barcode_unit_val"), barcode_unit_val);
  coder.encodeInt32(QStringLiteral("text_alignmnet"), text_alignmnet);
  coder.encodeInt32(QStringLiteral("text_transfrom_case"), text_transfrom_case);
  coder.encodeFloat(QStringLiteral("text_kerning"), text_kerning);
  coder.encodeInt32(QStringLiteral("print_object"), print_object);
  coder.encodeString(QStringLiteral("control_ID"), control_ID);
  coder.encodeBool(QStringLiteral("excel_binding"), excel_binding);
  coder.encodeInt32(QStringLiteral("excel_col_indx"), excel_col_indx);
  if (excel_col_mark) {
    // Only an object off the design has one (the clipboard's copies): the column's
    // title, next to its number, which a reader that knows no title still takes.
    coder.encodeInt64(QStringLiteral("excel_col_rows"), qint64(excel_col_mark->rows));
    coder.encodeString(QStringLiteral("excel_col_title"), excel_col_mark->title);
    coder.encodeInt32(QStringLiteral("excel_col_occurrence"), excel_col_mark->occurrence);
    coder.encodeInt32(QStringLiteral("excel_col_count"), excel_col_mark->count);
    coder.encodeBool(QStringLiteral("excel_col_named"), excel_col_mark->named);
  }
  coder.encodeString(QStringLiteral("Text_Value"), Text_Value);
  coder.encodeBool(QStringLiteral("ctrl_is_visible"), ctrl_is_visible);
  coder.encodeInt32(QStringLiteral("double_star_type"), double_star_type);
  coder.encodeInt32(QStringLiteral("polygon_type"), polygon_type);
  encodeKindFields(coder);
}

void QLNGraphic::initWithCoder(KeyedUnarchiver &coder) {
  _bounds = coder.decodeRect(QStringLiteral("_bounds"));
  ctrl_is_locked = coder.decodeBool(QStringLiteral("ctrl_is_locked"));
  _isDrawingFill = coder.decodeBool(QStringLiteral("_isDrawingFill"));
  _fillColor = colorFrom(coder.decodeColor(QStringLiteral("_fillColor")));
  _isDrawingStroke = coder.decodeBool(QStringLiteral("_isDrawingStroke"));
  _strokeColor = colorFrom(coder.decodeColor(QStringLiteral("_strokeColor")));
  _strokeWidth = coder.decodeFloat(QStringLiteral("_strokeWidth"));
  _stroke_border_type = coder.decodeString(QStringLiteral("_stroke_border_type"));
  _fill_type = coder.decodeString(QStringLiteral("_fill_type"));
  _fill_Grad_clr1 = colorFrom(coder.decodeColor(QStringLiteral("_fill_Grad_clr1")));
  _fill_Grad_clr2 = colorFrom(coder.decodeColor(QStringLiteral("_fill_Grad_clr2")));
  _fill_grad_angle = coder.decodeFloat(QStringLiteral("_fill_grad_angle"));
  _fill_htch_clr = colorFrom(coder.decodeColor(QStringLiteral("_fill_htch_clr")));
  _fill_hatch_type = coder.decodeString(QStringLiteral("_fill_hatch_type"));
  _isFlippedHorizontally = coder.decodeBool(QStringLiteral("_isFlippedHorizontally"));
  _isFlippedVertically = coder.decodeBool(QStringLiteral("_isFlippedVertically"));
  invert_clr = coder.decodeBool(QStringLiteral("invert_clr"));
  gray_Scale = coder.decodeBool(QStringLiteral("gray_Scale"));
  Sepia = coder.decodeBool(QStringLiteral("Sepia"));
  img_trnsp_val = coder.decodeFloat(QStringLiteral("img_trnsp_val"));
  hue_val = coder.decodeFloat(QStringLiteral("hue_val"));
  sat_val = coder.decodeFloat(QStringLiteral("sat_val"));
  brt_val = coder.decodeFloat(QStringLiteral("brt_val"));
  con_val = coder.decodeFloat(QStringLiteral("con_val"));
  srp_val = coder.decodeFloat(QStringLiteral("srp_val"));
  ev_val = coder.decodeFloat(QStringLiteral("ev_val"));
  blr_val = coder.decodeFloat(QStringLiteral("blr_val"));
  data_source_type = coder.decodeInt32(QStringLiteral("data_source_type"));
  rotate_image = coder.decodeFloat(QStringLiteral("rotate_image"));
  _file_path = coder.decodeString(QStringLiteral("_file_path"));
  sign_or_fingureprint = coder.decodeString(QStringLiteral("sign_or_fingureprint"));
  batch_list_name = coder.decodeString(QStringLiteral("batch_list_name"));
  batch_list_index = coder.decodeInt32(QStringLiteral("batch_list_index"));
  _line_ori = coder.decodeInt32(QStringLiteral("_line_ori"));
  _line_cap_style = coder.decodeInt32(QStringLiteral("_line_cap_style"));
  alpha_val = coder.decodeFloat(QStringLiteral("alpha_val"));
  alpha_val_stroke = coder.decodeFloat(QStringLiteral("alpha_val_stroke"));
  text_ctrl_font = toFontSpec(coder.decodeFont(QStringLiteral("text_ctrl_font")));
  txt_clr = colorFrom(coder.decodeColor(QStringLiteral("txt_clr")));
  if (auto text = coder.decodeAttributedText(QStringLiteral("_Text_contents")))
    _Text_contents = std::make_shared<QLNTextStorage>(std::move(*text));
  else
    _Text_contents.reset();
  _shape_type = coder.decodeString(QStringLiteral("_shape_type"));
  cor_rad_val_val = coder.decodeFloat(QStringLiteral("cor_rad_val_val"));
  if (auto image = coder.decodeImage(QStringLiteral("_barcode_image")))
    _barcode_image = PointImage{image->image, image->pointSize};
  else
    _barcode_image = PointImage();
  linear_or_2d = coder.decodeInt32(QStringLiteral("linear_or_2d"));
  barcode_font_index = coder.decodeInt32(QStringLiteral("barcode_font_index"));
  linear_font_val = coder.decodeString(QStringLiteral("linear_font_val"));
  two_d_font_val = coder.decodeString(QStringLiteral("two_d_font_val"));
  header_val = coder.decodeString(QStringLiteral("header_val"));
  footer_val = coder.decodeString(QStringLiteral("footer_val"));
  show_hide_hdr = coder.decodeInt32(QStringLiteral("show_hide_hdr"));
  show_hide_ftr = coder.decodeInt32(QStringLiteral("show_hide_ftr"));
  show_hide_val = coder.decodeInt32(QStringLiteral("show_hide_val"));
  show_val_on_top = coder.decodeInt32(QStringLiteral("show_val_on_top"));
  align_hdr_index = coder.decodeInt32(QStringLiteral("align_hdr_index"));
  align_ftr_index = coder.decodeInt32(QStringLiteral("align_ftr_index"));
  linear_height_val = coder.decodeFloat(QStringLiteral("linear_height_val"));
  linear_width_val = coder.decodeFloat(QStringLiteral("linear_width_val"));
  qr_size_val = coder.decodeInt32(QStringLiteral("qr_size_val"));
  qr_version_index = coder.decodeInt32(QStringLiteral("qr_version_index"));
  qr_ec_index = coder.decodeInt32(QStringLiteral("qr_ec_index"));
  pdf_hgt_val = coder.decodeInt32(QStringLiteral("pdf_hgt_val"));
  pdf_wdt_val = coder.decodeInt32(QStringLiteral("pdf_wdt_val"));
  pdf_ec_val = coder.decodeInt32(QStringLiteral("pdf_ec_val"));
  dm_module_val = coder.decodeInt32(QStringLiteral("dm_module_val"));
  dm_format_index = coder.decodeInt32(QStringLiteral("dm_format_index"));
  dm_encoding_index = coder.decodeInt32(QStringLiteral("dm_encoding_index"));
  hdr_margin_val = coder.decodeFloat(QStringLiteral("hdr_margin_val"));
  ftr_margin_val = coder.decodeFloat(QStringLiteral("ftr_margin_val"));
  val_margin_val = coder.decodeFloat(QStringLiteral("val_margin_val"));
  TB_marging_val = coder.decodeFloat(QStringLiteral("TB_marging_val"));
  LR_margin_val = coder.decodeFloat(QStringLiteral("LR_margin_val"));
  value_font_val = toFontSpec(coder.decodeFont(QStringLiteral("value_font_val")));
  header_font_val = toFontSpec(coder.decodeFont(QStringLiteral("header_font_val")));
  footer_font_val = toFontSpec(coder.decodeFont(QStringLiteral("footer_font_val")));
  barcode_hdr_clr_val = colorFrom(coder.decodeColor(QStringLiteral("barcode_hdr_clr_val")));
  barcode_ftr_clr_val = colorFrom(coder.decodeColor(QStringLiteral("barcode_ftr_clr_val")));
  barcode_val_clr_val = colorFrom(coder.decodeColor(QStringLiteral("barcode_val_clr_val")));
  barcode_back_clr_val = colorFrom(coder.decodeColor(QStringLiteral("barcode_back_clr_val")));
  barcode_clr_val = colorFrom(coder.decodeColor(QStringLiteral("barcode_clr_val")));
  dpi_val_index = coder.decodeInt32(QStringLiteral("dpi_val_index"));
  dpi_custom_val = coder.decodeString(QStringLiteral("dpi_custom_val"));
  barcode_unit_val = coder.decodeInt32(QStringLiteral("barcode_unit_val"));
  text_alignmnet = coder.decodeInt32(QStringLiteral("text_alignmnet"));
  text_transfrom_case = coder.decodeInt32(QStringLiteral("text_transfrom_case"));
  text_kerning = coder.decodeFloat(QStringLiteral("text_kerning"));
  print_object = coder.decodeInt32(QStringLiteral("print_object"));
  control_ID = coder.decodeString(QStringLiteral("control_ID"));
  excel_binding = coder.decodeBool(QStringLiteral("excel_binding"));
  excel_col_indx = coder.decodeInt32(QStringLiteral("excel_col_indx"));
  excel_col_mark.reset();
  if (coder.containsValueForKey(QStringLiteral("excel_col_title"))) {
    SpreadsheetColumnMark mark;
    mark.rows = quint64(coder.decodeInt64(QStringLiteral("excel_col_rows")));
    mark.title = coder.decodeString(QStringLiteral("excel_col_title"));
    mark.occurrence = std::max(0, coder.decodeInt32(QStringLiteral("excel_col_occurrence")));
    // A copy made by a version that did not count them: the count is not known.
    mark.count = std::max(0, coder.decodeInt32(QStringLiteral("excel_col_count")));
    mark.named = coder.decodeBool(QStringLiteral("excel_col_named"));
    excel_col_mark = mark;
  }
  Text_Value = coder.decodeString(QStringLiteral("Text_Value"));
  ctrl_is_visible = coder.decodeBool(QStringLiteral("ctrl_is_visible"));
  double_star_type = coder.decodeInt32(QStringLiteral("double_star_type"));
  polygon_type = coder.decodeInt32(QStringLiteral("polygon_type"));
  decodeKindFields(coder);
  holdDecodedNumbers(*this);
  finishDecoding();
}

// ---- Whole archives --------------------------------------------------------------------------

QByteArray archiveGraphic(const QLNGraphic &graphic, QString *error) {
  return KeyedArchiver::archiveRootObject(graphic, error);
}

QLNGraphicPtr unarchiveGraphic(const QByteArray &archive, QString *error) {
  KeyedUnarchiver coder(archive);
  for (const QString &name : cardObjectClassNames()) {
    coder.registerClass(name, [name](KeyedUnarchiver &c) -> std::unique_ptr<KeyedArchivable> {
      std::unique_ptr<QLNGraphic> made = newZeroedGraphic(name);
      made->initWithCoder(c);
      return made;
    });
  }
  QLNGraphicPtr graphic = takeGraphic(coder.decodeRootObject());
  if (coder.failed() || !graphic) {
    if (error)
      *error = coder.failed() ? coder.error() : QStringLiteral("The archive holds no card object.");
    return nullptr;
  }
  return graphic;
}

// ---- Single values ---------------------------------------------------------------------------

namespace {

const QString PropertyValueClass = QStringLiteral("QLNPropertyValue");
const QString ValueKey = QStringLiteral("value");

// A box holding one value, so that a single colour, picture or text can be archived.
class PropertyValueBox : public KeyedArchivable {
public:
  std::function<void(KeyedArchiver &)> write;
  std::optional<QColor> color;
  std::optional<ArchivedImage> image;
  std::optional<AttributedText> text;

  QString archiveClassName() const override { return PropertyValueClass; }
  void encodeWithCoder(KeyedArchiver &coder) const override {
    if (write)
      write(coder);
  }
};

QByteArray archivedBox(std::function<void(KeyedArchiver &)> write) {
  PropertyValueBox box;
  box.write = std::move(write);
  return KeyedArchiver::archiveRootObject(box);
}

std::unique_ptr<PropertyValueBox> unarchivedBox(const QByteArray &data,
                                                std::function<void(KeyedUnarchiver &, PropertyValueBox &)> read) {
  KeyedUnarchiver coder(data);
  coder.registerClass(PropertyValueClass, [read](KeyedUnarchiver &c) -> std::unique_ptr<KeyedArchivable> {
    auto box = std::make_unique<PropertyValueBox>();
    read(c, *box);
    return box;
  });
  std::unique_ptr<KeyedArchivable> root = coder.decodeRootObject();
  if (coder.failed() || !dynamic_cast<PropertyValueBox *>(root.get()))
    return nullptr;
  return std::unique_ptr<PropertyValueBox>(static_cast<PropertyValueBox *>(root.release()));
}

}  // namespace

QByteArray archivedColor(const QColor &color) {
  return archivedBox([color](KeyedArchiver &c) { c.encodeColor(ValueKey, colorOrNone(color)); });
}

std::optional<QColor> unarchivedColor(const QByteArray &data) {
  auto box = unarchivedBox(data, [](KeyedUnarchiver &c, PropertyValueBox &b) { b.color = c.decodeColor(ValueKey); });
  return box ? box->color : std::nullopt;
}

QByteArray archivedImage(const PointImage &image) {
  return archivedBox([image](KeyedArchiver &c) { c.encodeImage(ValueKey, image.pixels, image.points); });
}

std::optional<PointImage> unarchivedImage(const QByteArray &data) {
  auto box = unarchivedBox(data, [](KeyedUnarchiver &c, PropertyValueBox &b) { b.image = c.decodeImage(ValueKey); });
  if (!box || !box->image)
    return std::nullopt;
  return PointImage{box->image->image, box->image->pointSize};
}

QByteArray archivedText(const AttributedText &text) {
  return archivedBox([text](KeyedArchiver &c) { c.encodeAttributedText(ValueKey, text); });
}

std::optional<AttributedText> unarchivedText(const QByteArray &data) {
  auto box = unarchivedBox(data, [](KeyedUnarchiver &c, PropertyValueBox &b) { b.text = c.decodeAttributedText(ValueKey); });
  return box ? box->text : std::nullopt;
}

// ---- Rectangles and points as text -----------------------------------------------------------

namespace {

QString number(double value) { return QString::number(value, 'g', QLocale::FloatingPointShortest); }

// The numbers of "{{x, y}, {w, h}}" or "{x, y}": braces and spaces are separators.
QList<double> numbersOf(const QString &text, int expected) {
  QString flat = text;
  flat.replace(QLatin1Char('{'), QLatin1Char(' ')).replace(QLatin1Char('}'), QLatin1Char(' '));
  const QStringList parts = flat.split(QLatin1Char(','));
  QList<double> numbers;
  if (parts.size() != expected)
    return QList<double>(expected, 0.0);
  for (const QString &part : parts) {
    bool ok = false;
    const double value = part.trimmed().toDouble(&ok);
    if (!ok)
      return QList<double>(expected, 0.0);
    numbers.append(value);
  }
  return numbers;
}

}  // namespace

QString rectToString(const QRectF &rect) {
  return QStringLiteral("{{%1, %2}, {%3, %4}}")
      .arg(number(rect.x()), number(rect.y()), number(rect.width()), number(rect.height()));
}

QRectF rectFromString(const QString &text) {
  const QList<double> n = numbersOf(text, 4);
  return QRectF(n[0], n[1], n[2], n[3]);
}

QString pointToString(const QPointF &point) {
  return QStringLiteral("{%1, %2}").arg(number(point.x()), number(point.y()));
}

QPointF pointFromString(const QString &text) {
  const QList<double> n = numbersOf(text, 2);
  return QPointF(n[0], n[1]);
}
