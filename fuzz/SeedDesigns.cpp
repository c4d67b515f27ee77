#include "SeedDesigns.h"

#include "core/CardObjectArchive.h"
#include "core/Globals.h"
#include "core/QLNBarcode.h"
#include "core/QLNImage.h"
#include "core/QLNLine.h"
#include "core/QLNSignature.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"
#include "core/Utilities.h"
#include "platform/Paths.h"

#include <QDateTime>
#include <QTimeZone>

namespace fuzz::seeds {

namespace {

QString shipped(const QString &relative) { return joinPath(Paths::shippedResourcesFolder(), relative); }

// The values a shape, text or image object shares: placed, filled and bordered.
void place(QLNGraphic &g, const QRectF &bounds) {
  g.setBounds(bounds);
  g._isDrawingFill = true;
  g._fillColor = QColor(250, 200, 120);
  g._isDrawingStroke = true;
  g._strokeColor = QColor(40, 60, 160);
  g._strokeWidth = 2.5;
  g.alpha_val = 0.8f;
  g.alpha_val_stroke = 0.9f;
  g.ctrl_is_visible = true;
  g.control_ID = QStringLiteral("OBJ_%1").arg(g.className());
}

std::shared_ptr<Shape_Control> shape(const QString &type, const QString &fill, const QString &border,
                                     const QRectF &bounds) {
  auto s = std::make_shared<Shape_Control>();
  place(*s, bounds);
  s->_shape_type = type;
  s->_fill_type = fill;
  s->_stroke_border_type = border;
  s->_fill_Grad_clr1 = QColor(255, 0, 80);
  s->_fill_Grad_clr2 = QColor(0, 90, 255, 200);
  s->_fill_grad_angle = 33.5;
  s->_fill_htch_clr = QColor(230, 240, 250);
  s->_fill_hatch_type = QStringLiteral("Hearts");
  s->cor_rad_val_val = 7.5f;
  s->double_star_type = 3;
  s->polygon_type = 2;
  return s;
}

std::shared_ptr<QLNText> text() {
  auto t = std::make_shared<QLNText>();
  place(*t, QRectF(20, 12, 180, 48));
  t->Text_Value = QStringLiteral("We are truly sorry — désolé");
  auto storage = std::make_shared<QLNTextStorage>();
  storage->string = t->Text_Value;
  TextRun first;
  first.start = 0;
  first.length = 6;
  first.font = ArchivedFont{QStringLiteral("Arial-BoldMT"), 18.5};
  first.color = QColor(200, 0, 0);
  first.kerning = 1.25;
  first.alignment = 2;
  TextRun second;
  second.start = 6;
  second.length = storage->string.size() - 6;
  second.font = ArchivedFont{QStringLiteral("TimesNewRomanPS-ItalicMT"), 14.0};
  second.color = QColor(0, 0, 0, 180);
  second.alignment = 3;
  storage->runs = {first, second};
  t->_Text_contents = storage;
  t->text_ctrl_font = FontSpec(QStringLiteral("Helvetica-Oblique"), 16.0);
  t->txt_clr = QColor(20, 120, 40);
  t->text_alignmnet = 2;
  t->text_transfrom_case = 3;
  t->text_kerning = 0.75f;
  t->_stroke_border_type = QStringLiteral("DO");
  t->excel_binding = true;
  t->excel_col_indx = 2;
  t->batch_list_name = QStringLiteral("Guests");
  t->batch_list_index = 1;
  t->data_source_type = 1;
  return t;
}

std::shared_ptr<QLNImage> image(bool filtered) {
  auto i = std::make_shared<QLNImage>();
  place(*i, QRectF(130, 70, 60, 40));
  i->setFilePath(shipped(filtered ? QStringLiteral("no.png") : QStringLiteral("banner.png")));
  i->setBounds(QRectF(130, 70, 60, 40));
  i->_stroke_border_type = QStringLiteral("DA");
  if (filtered) {
    i->invert_clr = true;
    i->gray_Scale = true;
    i->Sepia = true;
    i->hue_val = 0.4f;
    i->sat_val = 1.4f;
    i->brt_val = -0.2f;
    i->con_val = 1.6f;
    i->srp_val = 0.3f;
    i->ev_val = 0.5f;
    i->blr_val = 2.0f;
    i->rotate_image = 30.0f;
    i->img_trnsp_val = 60.0f;
    i->_isFlippedHorizontally = true;
  } else {
    i->_isFlippedVertically = true;
  }
  return i;
}

std::shared_ptr<QLNLine> line(const QPointF &begin, const QPointF &end, int cap, const QString &border) {
  auto l = std::make_shared<QLNLine>();
  place(*l, QRectF(begin, end).normalized());
  l->setBeginPoint(begin);
  l->setEndPoint(end);
  l->_line_cap_style = cap;
  l->_line_ori = 1;
  l->_strokeWidth = 4.0;
  l->_stroke_border_type = border;
  return l;
}

std::shared_ptr<QLNSignature> signature(const QString &kind) {
  auto s = std::make_shared<QLNSignature>();
  place(*s, QRectF(150, 110, 70, 30));
  s->sign_or_fingureprint = kind;
  s->setFilePath(QStringLiteral("Default"));
  s->setBounds(QRectF(150, 110, 70, 30));
  return s;
}

std::shared_ptr<QLNBarcode> barcode() {
  auto b = std::make_shared<QLNBarcode>();
  place(*b, QRectF(10, 100, 90, 40));
  b->_barcode_image = smallPicture(16, 6);
  b->barcode_image_var_assign();
  b->linear_or_2d = 1;
  b->barcode_font_index = 3;
  b->linear_font_val = QStringLiteral("0123456789");
  b->two_d_font_val = QStringLiteral("SORRY-2024");
  b->header_val = QStringLiteral("Header");
  b->footer_val = QStringLiteral("Footer");
  b->show_hide_hdr = 1;
  b->show_hide_ftr = 1;
  b->show_hide_val = 1;
  b->show_val_on_top = 1;
  b->align_hdr_index = 2;
  b->align_ftr_index = 1;
  b->linear_height_val = 0.8f;
  b->linear_width_val = 20.0f;
  b->qr_size_val = 60;
  b->qr_version_index = 4;
  b->qr_ec_index = 2;
  b->pdf_hgt_val = 20;
  b->pdf_wdt_val = 120;
  b->pdf_ec_val = 3;
  b->dm_module_val = 4;
  b->dm_format_index = 6;
  b->dm_encoding_index = 1;
  b->hdr_margin_val = 0.1f;
  b->ftr_margin_val = 0.2f;
  b->val_margin_val = 0.3f;
  b->TB_marging_val = 0.4f;
  b->LR_margin_val = 0.5f;
  b->value_font_val = FontSpec(QStringLiteral("CourierNewPSMT"), 9.0);
  b->header_font_val = FontSpec(QStringLiteral("Arial-BoldMT"), 11.0);
  b->footer_font_val = FontSpec(QStringLiteral("DejaVuSans"), 8.5);
  b->barcode_hdr_clr_val = QColor(10, 20, 30);
  b->barcode_ftr_clr_val = QColor(40, 50, 60);
  b->barcode_val_clr_val = QColor(70, 80, 90);
  b->barcode_back_clr_val = QColor(250, 250, 240);
  b->barcode_clr_val = QColor(0, 0, 0);
  b->dpi_val_index = 2;
  b->dpi_custom_val = QStringLiteral("300");
  b->barcode_unit_val = 1;
  b->print_object = 1;
  return b;
}

Card_Property side(const QString &fill, const QString &border, const QString &shape) {
  Card_Property p;
  resetCardPropertyForNewProject(p, FontSpec(QStringLiteral("Georgia-Italic"), 13.0), QColor(60, 0, 90));
  p.setCard_border_chk(true);
  p.setCard_bor_Stepper(3);
  p.setCard_border_style(border);
  p.setCard_bordr_clr(QColor(120, 30, 30));
  p.setCard_fill_chk(true);
  p.setCard_fill_style(fill);
  p.setCard_fill_clr(QColor(255, 245, 230, 220));
  p.setCard_fill_Grd_1_clr(QColor(255, 220, 230));
  p.setCard_fill_Grd_2_clr(QColor(210, 230, 255));
  p.setCard_grad_Stepper(135);
  p.setCard_hatch_style(QStringLiteral("Dots"));
  p.setCard_hatch_bk_clr(QColor(250, 250, 210));
  p.setCard_alpha_Stepper(0.75f);
  p.setCard_Shape(shape);
  p.setCard_Name(QStringLiteral("Sorry card"));
  p.setCard_Location(QPointF(12.5, 20));
  p.setCard_Size(QSizeF(243, 154));
  p.setCard_Preset(QStringLiteral("Vertical"));
  p.setCard_Category(QStringLiteral("Greeting"));
  p.setCard_Sub_Category(QStringLiteral("A6"));
  p.setCard_Cat_index(2);
  p.setCard_Create_Mode(QStringLiteral("L"));
  return p;
}

}  // namespace

PointImage smallPicture(int width, int height) {
  QImage pixels(width, height, QImage::Format_ARGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels.setPixelColor(x, y, QColor(255 * x / width, 255 * y / height, 160, x + y == 0 ? 0 : 255));
  return PointImage{pixels, QSizeF(width * 1.5, height * 1.5)};
}

QLNGraphicList cardObjects() {
  QLNGraphicList list;
  list << shape(QStringLiteral("R"), QStringLiteral("S"), QStringLiteral("S"), QRectF(10, 10, 60, 30))
       << shape(QStringLiteral("C"), QStringLiteral("G"), QStringLiteral("DA"), QRectF(80, 10, 40, 40))
       << shape(QStringLiteral("RR"), QStringLiteral("H"), QStringLiteral("DO"), QRectF(130, 10, 50, 30))
       << shape(QStringLiteral("T"), QStringLiteral("G"), QStringLiteral("DD"), QRectF(190, 10, 40, 40))
       << shape(QStringLiteral("D"), QStringLiteral("S"), QStringLiteral("DDD"), QRectF(10, 60, 40, 40))
       << shape(QStringLiteral("S"), QStringLiteral("H"), QStringLiteral("S"), QRectF(60, 60, 40, 40))
       << shape(QStringLiteral("DS"), QStringLiteral("G"), QStringLiteral("DA"), QRectF(110, 60, 40, 40));
  auto polygon = shape(QStringLiteral("P"), QStringLiteral("S"), QStringLiteral("DO"), QRectF(160, 60, 40, 40));
  polygon->polygon_type = 1;
  list << polygon << text() << image(true) << image(false)
       << line(QPointF(10, 140), QPointF(120, 100), 1, QStringLiteral("DD"))
       << line(QPointF(200, 100), QPointF(150, 150), 2, QStringLiteral("S"))
       << signature(QStringLiteral("S")) << signature(QStringLiteral("F")) << barcode();
  // A locked object and a hidden one.
  list.at(0)->ctrl_is_locked = true;
  list.at(4)->ctrl_is_visible = false;
  return list;
}

std::vector<Card_Property> cardSides(bool withPictures) {
  std::vector<Card_Property> sides;
  sides.push_back(side(QStringLiteral("S"), QStringLiteral("S"), QStringLiteral("R")));
  sides.push_back(side(QStringLiteral("G"), QStringLiteral("DA"), QStringLiteral("RR")));
  sides.push_back(side(QStringLiteral("H"), QStringLiteral("DDD"), QStringLiteral("O")));
  for (const QString &layout : {QStringLiteral("Tile"), QStringLiteral("Stretch")}) {
    Card_Property p = side(QStringLiteral("I"), QStringLiteral("DO"), QStringLiteral("R"));
    p.setCard_BG_Image_Layout(layout);
    p.setCard_BG_Image_Path(shipped(QStringLiteral("Background/Mint_Leaves.jpg")));
    if (withPictures)
      p.setCard_BG_Image(smallPicture(20, 14));
    sides.push_back(p);
  }
  Card_Property back = side(QStringLiteral("S"), QStringLiteral("DD"), QStringLiteral("R"));
  back.setCard_Side_Name(QStringLiteral("B"));
  back.setCard_fill_chk(false);
  back.setCard_Content_font(std::nullopt);
  back.setCard_Content_clr(QColor());
  sides.push_back(back);
  return sides;
}

std::vector<std::pair<QString, DesignLogContents>> designs() {
  std::vector<std::pair<QString, DesignLogContents>> out;

  DesignLogContents empty;
  resetCardPropertyForNewProject(empty.front, Card_Property::defaultContentFont(), QColor(Qt::black));
  resetCardPropertyForNewProject(empty.back, Card_Property::defaultContentFont(), QColor(Qt::black));
  out.emplace_back(QStringLiteral("new_design"), empty);

  const std::vector<Card_Property> sides = cardSides(false);
  const QLNGraphicList objects = cardObjects();
  DesignLogContents full;
  full.front = sides.at(1);
  full.back = sides.at(2);
  full.back.setCard_Side_Name(QStringLiteral("B"));
  full.excelBindingUse = true;
  full.excelSourcePath = QStringLiteral("/home/someone/guests.xlsx");
  full.gridColumnTitles = {QStringLiteral("Extension"), QStringLiteral("Name"), QStringLiteral("Reason")};
  full.gridRows = {
      {{QStringLiteral("Extension"), QStringLiteral("1")}, {QStringLiteral("Column1"), QStringLiteral("Ann")},
       {QStringLiteral("Column2"), QStringLiteral("late again")}},
      {{QStringLiteral("Extension"), QStringLiteral("2")}, {QStringLiteral("Column1"), QStringLiteral("Bo")}}};
  full.frontObjects = objects.mid(0, 9);
  full.backObjects = objects.mid(9);
  out.emplace_back(QStringLiteral("full_design"), full);

  DesignLogContents pictures;
  pictures.front = sides.at(3);
  pictures.back = sides.at(4);
  pictures.frontObjects = {objects.at(9), objects.at(8)};
  out.emplace_back(QStringLiteral("picture_design"), pictures);
  return out;
}

std::vector<std::pair<QString, PlistValue>> propertyLists() {
  std::vector<std::pair<QString, PlistValue>> out;

  PlistValue every = PlistValue::dict();
  every.insert(QStringLiteral("string"), PlistValue(QStringLiteral("sorry")));
  every.insert(QStringLiteral("unicode"), PlistValue(QStringLiteral("désolé — 申し訳ない 🙇")));
  every.insert(QStringLiteral("empty"), PlistValue(QStringLiteral("")));
  every.insert(QStringLiteral("small"), PlistValue(7));
  every.insert(QStringLiteral("negative"), PlistValue(qint64(-123456789012)));
  every.insert(QStringLiteral("wide"), PlistValue(qint64(4'000'000'000)));
  every.insert(QStringLiteral("unsigned"), PlistValue::fromUnsigned(18'000'000'000'000'000'000ULL));
  every.insert(QStringLiteral("real"), PlistValue(3.14159265358979));
  every.insert(QStringLiteral("tiny"), PlistValue(-2.5e-300));
  every.insert(QStringLiteral("yes"), PlistValue(true));
  every.insert(QStringLiteral("no"), PlistValue(false));
  every.insert(QStringLiteral("data"), PlistValue(QByteArray("\x00\x01\xfe\xff" "bytes", 9)));
  every.insert(QStringLiteral("date"),
               PlistValue(QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7, 890), QTimeZone::utc())));
  every.insert(QStringLiteral("uid"), PlistValue::uid(42));
  PlistValue nested = PlistValue::array({PlistValue(1), PlistValue(QStringLiteral("two")),
                                         PlistValue::array({PlistValue(3.5)}), PlistValue::dict()});
  every.insert(QStringLiteral("array"), nested);
  PlistValue inner = PlistValue::dict();
  inner.insert(QStringLiteral("again"), PlistValue(QStringLiteral("sorry")));
  inner.insert(QStringLiteral("shared"), PlistValue(QByteArray("\x00\x01\xfe\xff" "bytes", 9)));
  every.insert(QStringLiteral("dict"), inner);
  out.emplace_back(QStringLiteral("every_type"), every);

  out.emplace_back(QStringLiteral("string_root"), PlistValue(QStringLiteral("only a string")));
  PlistValue deep = PlistValue(QStringLiteral("bottom"));
  for (int i = 0; i < 20; ++i)
    deep = PlistValue::array({deep});
  out.emplace_back(QStringLiteral("deep"), deep);
  // The card object archive form: keyed archives are binary property lists.
  const QLNGraphicList objects = cardObjects();
  if (auto archive = parsePropertyList(archiveGraphic(*objects.at(8))))
    out.emplace_back(QStringLiteral("text_object_archive"), *archive);
  return out;
}

}  // namespace fuzz::seeds
