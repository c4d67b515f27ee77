// The keyed archive of card objects: what a reader of the published format finds in it,
// round trips of every field of every kind, archives with keys missing, the line's
// direction, and hostile archives.

#include "tests/common/TestSupport.h"
#include "tests/core/test_card_object_helpers.h"

#include "core/Globals.h"
#include "platform/KeyedArchive.h"
#include "platform/PropertyList.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRandomGenerator>

#include <cmath>
#include <limits>

using namespace cardtest;

namespace {

const QStringList Kinds = {QStringLiteral("QLNText"),      QStringLiteral("QLNImage"),
                           QStringLiteral("QLNLine"),      QStringLiteral("Shape_Control"),
                           QStringLiteral("QLNSignature"), QStringLiteral("QLNBarcode")};

// The record's keys in the order the archive holds them.
const QStringList FixedKeys = {
    "_bounds", "ctrl_is_locked", "_isDrawingFill", "_fillColor", "_isDrawingStroke", "_strokeColor",
    "_strokeWidth", "_stroke_border_type", "_fill_type", "_fill_Grad_clr1", "_fill_Grad_clr2",
    "_fill_grad_angle", "_fill_htch_clr", "_fill_hatch_type", "_isFlippedHorizontally",
    "_isFlippedVertically", "invert_clr", "gray_Scale", "Sepia", "img_trnsp_val", "hue_val", "sat_val",
    "brt_val", "con_val", "srp_val", "ev_val", "blr_val", "data_source_type", "rotate_image",
    "_file_path", "sign_or_fingureprint", "batch_list_name", "batch_list_index", "_line_ori",
    "_line_cap_style", "alpha_val", "alpha_val_stroke", "text_ctrl_font", "txt_clr", "_Text_contents",
    "_shape_type", "cor_rad_val_val", "_barcode_image", "linear_or_2d", "barcode_font_index",
    "linear_font_val", "two_d_font_val", "header_val", "footer_val", "show_hide_hdr", "show_hide_ftr",
    "show_hide_val", "show_val_on_top", "align_hdr_index", "align_ftr_index", "linear_height_val",
    "linear_width_val", "qr_size_val", "qr_version_index", "qr_ec_index", "pdf_hgt_val", "pdf_wdt_val",
    "pdf_ec_val", "dm_module_val", "dm_format_index", "dm_encoding_index", "hdr_margin_val",
    "ftr_margin_val", "val_margin_val", "TB_marging_val", "LR_margin_val", "value_font_val",
    "header_font_val", "footer_font_val", "barcode_hdr_clr_val", "barcode_ftr_clr_val",
    "barcode_val_clr_val", "barcode_back_clr_val", "barcode_clr_val", "dpi_val_index", "dpi_custom_val",
    "barcode_unit_val", "text_alignmnet", "text_transfrom_case", "text_kerning", "print_object",
    "control_ID", "excel_binding", "excel_col_indx", "Text_Value", "ctrl_is_visible",
    "double_star_type", "polygon_type"};

// Reads an archive with Python's plistlib and answers the root object: its class, its
// keys in file order and its values with references resolved.
const char *const PlistlibSummary = R"PY(
import sys, plistlib, json
a = plistlib.loads(sys.stdin.buffer.read())
objs = a['$objects']
def res(v, depth=0):
    if isinstance(v, plistlib.UID):
        o = objs[v.data]
        if o == '$null':
            return None
        if isinstance(o, dict):
            out = {'$classname': objs[o['$class'].data]['$classname'] if '$class' in o else None}
            if depth < 3:
                for k, x in o.items():
                    if k != '$class':
                        out[k] = res(x, depth + 1)
            return out
        return res(o, depth)
    if isinstance(v, bytes):
        return v.decode('latin-1')
    if isinstance(v, list):
        return [res(x, depth + 1) for x in v]
    return v
root = objs[a['$top']['root'].data]
cls = objs[root['$class'].data]
print(json.dumps({'archiver': a['$archiver'], 'version': a['$version'],
                  'classname': cls['$classname'], 'classes': cls['$classes'],
                  'keys': list(root.keys()),
                  'values': {k: res(v) for k, v in root.items() if k != '$class'}}))
)PY";

QJsonObject plistlibSummary(const QByteArray &archive) {
  return QJsonDocument::fromJson(runPython(QString::fromLatin1(PlistlibSummary), {}, archive)).object();
}

QByteArray archived(const QLNGraphic &g) {
  QString error;
  const QByteArray data = archiveGraphic(g, &error);
  EXPECT_FALSE(data.isEmpty()) << error.toStdString();
  return data;
}

QLNGraphicPtr restored(const QByteArray &data) {
  QString error;
  QLNGraphicPtr g = unarchiveGraphic(data, &error);
  EXPECT_TRUE(g) << error.toStdString();
  return g;
}

// An archive of a card object class that writes only the keys it is given.
class PartialRecord : public KeyedArchivable {
public:
  QString name;
  std::function<void(KeyedArchiver &)> write;
  QString archiveClassName() const override { return name; }
  QStringList archiveSuperclasses() const override { return {QStringLiteral("QLNGraphic")}; }
  void encodeWithCoder(KeyedArchiver &coder) const override { write(coder); }
};

QByteArray partialArchive(const QString &className, std::function<void(KeyedArchiver &)> write) {
  PartialRecord record;
  record.name = className;
  record.write = std::move(write);
  return KeyedArchiver::archiveRootObject(record);
}

}  // namespace

TEST(CardObjectArchive, PlistlibFindsTheFixedKeysAndCreationDefaultsOfEveryKind) {
  const QString savedResourcePath = Resource_Path;
  Resource_Path = QStringLiteral("/opt/amends/Resources");
  for (const QString &kind : Kinds) {
    SCOPED_TRACE(kind.toStdString());
    const QJsonObject summary = plistlibSummary(archived(*makeKind(kind)));
    ASSERT_FALSE(summary.isEmpty());
    EXPECT_EQ(summary["archiver"].toString(), "NSKeyedArchiver");
    EXPECT_EQ(summary["version"].toInt(), 100000);
    EXPECT_EQ(summary["classname"].toString(), kind);
    EXPECT_EQ(summary["classes"].toArray().at(0).toString(), kind);
    EXPECT_EQ(summary["classes"].toArray().at(1).toString(), "QLNGraphic");

    QStringList keys;
    for (const QJsonValue &key : summary["keys"].toArray())
      keys << key.toString();
    EXPECT_TRUE(keys.removeOne(QStringLiteral("$class")));
    QStringList expected = FixedKeys;
    if (kind == QLatin1String("QLNLine"))
      expected << "_pointsRight" << "_pointsDown";
    if (kind == QLatin1String("QLNBarcode"))
      expected << "kerning_value_val" << "pdf_row_val" << "pdf_col_val";
    EXPECT_EQ(keys, expected);

    const QJsonObject v = summary["values"].toObject();
    EXPECT_EQ(v["_bounds"].toString(), "{{0, 0}, {0, 0}}");
    EXPECT_EQ(v["_isDrawingFill"].toBool(), true);
    EXPECT_EQ(v["_isDrawingStroke"].toBool(), true);
    EXPECT_EQ(v["_strokeWidth"].toDouble(), 1.0);
    EXPECT_EQ(v["_stroke_border_type"].toString(), "S");
    EXPECT_EQ(v["_fill_type"].toString(), "S");
    EXPECT_EQ(v["_fill_hatch_type"].toString(), "");
    EXPECT_EQ(v["_fillColor"].toObject()["$classname"].toString(), "NSColor");
    EXPECT_TRUE(v["_fillColor"].toObject()["NSRGB"].toString().startsWith("1 1 1"));
    EXPECT_TRUE(v["_strokeColor"].toObject()["NSRGB"].toString().startsWith("0 0 0"));
    EXPECT_EQ(v["img_trnsp_val"].toDouble(), 100.0);
    EXPECT_EQ(v["sat_val"].toDouble(), 1.0);
    EXPECT_EQ(v["con_val"].toDouble(), 1.0);
    EXPECT_EQ(v["_file_path"].toString(), "/opt/amends/Resources/no.png");
    EXPECT_EQ(v["sign_or_fingureprint"].toString(), "S");
    EXPECT_EQ(v["cor_rad_val_val"].toDouble(), 10.0);
    EXPECT_EQ(v["alpha_val"].toDouble(), 100.0);
    EXPECT_EQ(v["alpha_val_stroke"].toDouble(), 100.0);
    EXPECT_EQ(v["text_ctrl_font"].toObject()["$classname"].toString(), "NSFont");
    EXPECT_EQ(v["text_ctrl_font"].toObject()["NSName"].toString(), "TimesNewRomanPS-ItalicMT");
    EXPECT_EQ(v["text_ctrl_font"].toObject()["NSSize"].toDouble(), 14.0);
    EXPECT_TRUE(v["_Text_contents"].isNull());
    EXPECT_EQ(v["_shape_type"].toString(), "R");
    EXPECT_TRUE(v["_barcode_image"].isNull());
    EXPECT_EQ(v["linear_font_val"].toString(), "0123");
    EXPECT_EQ(v["two_d_font_val"].toString(), "0123");
    EXPECT_EQ(v["header_val"].toString(), "HEADER");
    EXPECT_EQ(v["footer_val"].toString(), "FOOTER");
    EXPECT_EQ(v["align_hdr_index"].toInt(), 1);
    EXPECT_EQ(v["linear_height_val"].toDouble(), double(0.6f));
    EXPECT_EQ(v["qr_size_val"].toInt(), 60);
    EXPECT_EQ(v["pdf_wdt_val"].toInt(), 100);
    EXPECT_EQ(v["hdr_margin_val"].toDouble(), double(0.1f));
    EXPECT_EQ(v["value_font_val"].toObject()["NSName"].toString(), "Times New Roman");
    EXPECT_EQ(v["value_font_val"].toObject()["NSSize"].toDouble(), 10.0);
    EXPECT_TRUE(v["barcode_back_clr_val"].toObject()["NSRGB"].toString().startsWith("1 1 1"));
    EXPECT_EQ(v["dpi_custom_val"].toString(), "0");
    EXPECT_EQ(v["barcode_unit_val"].toInt(), 1);
    EXPECT_EQ(v["print_object"].toInt(), 0);
    EXPECT_EQ(v["control_ID"].toString(), "");
    EXPECT_EQ(v["Text_Value"].toString(), "Text here");
    EXPECT_EQ(v["ctrl_is_visible"].toBool(), true);
    EXPECT_EQ(v["double_star_type"].toInt(), 1);
    EXPECT_EQ(v["polygon_type"].toInt(), 1);
    if (kind == QLatin1String("QLNLine")) {
      EXPECT_EQ(v["_pointsRight"].toBool(true), false);
      EXPECT_EQ(v["_pointsDown"].toBool(true), false);
    }
  }
  Resource_Path = savedResourcePath;
}

TEST(CardObjectArchive, EveryFieldOfEveryKindSurvivesTheRoundTrip) {
  for (const QString &kind : Kinds) {
    SCOPED_TRACE(kind.toStdString());
    QLNGraphicPtr original = makeKind(kind);
    fillEveryField(*original);
    QLNGraphicPtr back = restored(archived(*original));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->className(), kind);
    expectSameArchivedFields(*original, *back);
    // The two doubles come back as the nearest 32-bit float, not exactly.
    EXPECT_NE(back->_strokeWidth, 0.1);
    EXPECT_EQ(back->_strokeWidth, double(0.1f));
    EXPECT_EQ(back->_fill_grad_angle, double(33.3f));
    // The scripting container never travels.
    EXPECT_EQ(back->_scriptingContainer, nullptr);
  }
}

TEST(CardObjectArchive, KindFieldsOtherThanTheLineDirectionDoNotTravel) {
  auto image = std::make_shared<QLNImage>();
  image->_contents = PointImage{smallPicture(), QSizeF(4, 3)};
  auto imageBack = std::static_pointer_cast<QLNImage>(restored(archived(*image)));
  EXPECT_TRUE(imageBack->_contents.isNull());

  auto signature = std::make_shared<QLNSignature>();
  signature->_contents_img = PointImage{smallPicture(), QSizeF(4, 3)};
  signature->file_path = QStringLiteral("/somewhere/sign.png");
  auto signatureBack = std::static_pointer_cast<QLNSignature>(restored(archived(*signature)));
  EXPECT_TRUE(signatureBack->_contents_img.isNull());
  EXPECT_TRUE(signatureBack->file_path.isEmpty());

  auto barcode = std::make_shared<QLNBarcode>();
  barcode->_barcode_image = PointImage{smallPicture(), QSizeF(4, 3)};
  barcode->barcode_image_var_assign();
  auto barcodeBack = std::static_pointer_cast<QLNBarcode>(restored(archived(*barcode)));
  EXPECT_TRUE(barcodeBack->_contents.isNull());
  EXPECT_FALSE(barcodeBack->_barcode_image.isNull());
  barcodeBack->barcode_image_var_assign();
  EXPECT_EQ(comparable(barcodeBack->_contents.pixels), comparable(smallPicture()));
}

TEST(CardObjectArchive, ALineKeepsItsDirectionThroughTheArchive) {
  auto line = std::make_shared<QLNLine>();
  line->setBeginPoint(QPointF(10, 40));
  line->setEndPoint(QPointF(60, 20));
  ASSERT_EQ(line->beginPoint(), QPointF(10, 40));
  ASSERT_EQ(line->endPoint(), QPointF(60, 20));
  EXPECT_EQ(line->_bounds, QRectF(10, 20, 50, 20));

  auto back = std::static_pointer_cast<QLNLine>(restored(archived(*line)));
  EXPECT_EQ(back->beginPoint(), QPointF(10, 40));
  EXPECT_EQ(back->endPoint(), QPointF(60, 20));

  // An archive written without the flags (as older designs are) reads as both false:
  // the line runs from the bottom-right to the top-left corner of its bounds.
  const QByteArray legacy = partialArchive(QStringLiteral("QLNLine"), [](KeyedArchiver &c) {
    c.encodeRect(QStringLiteral("_bounds"), QRectF(10, 20, 50, 20));
    c.encodeBool(QStringLiteral("ctrl_is_visible"), true);
  });
  auto old = std::static_pointer_cast<QLNLine>(restored(legacy));
  ASSERT_TRUE(old);
  EXPECT_EQ(old->beginPoint(), QPointF(60, 40));
  EXPECT_EQ(old->endPoint(), QPointF(10, 20));
}

TEST(CardObjectArchive, MissingKeysDecodeToZeroValuesNotCreationDefaults) {
  const QByteArray partial = partialArchive(QStringLiteral("Shape_Control"), [](KeyedArchiver &c) {
    c.encodeRect(QStringLiteral("_bounds"), QRectF(1, 2, 3, 4));
    c.encodeString(QStringLiteral("_shape_type"), QStringLiteral("S"));
  });
  QLNGraphicPtr g = restored(partial);
  ASSERT_TRUE(g);
  EXPECT_EQ(g->className(), "Shape_Control");
  EXPECT_EQ(g->_bounds, QRectF(1, 2, 3, 4));
  EXPECT_EQ(g->_shape_type, "S");
  EXPECT_FALSE(g->ctrl_is_visible);      // a hidden object
  EXPECT_EQ(g->double_star_type, 0);     // variant 0
  EXPECT_EQ(g->polygon_type, 0);
  EXPECT_EQ(g->alpha_val, 0.0f);         // alpha 0
  EXPECT_EQ(g->_strokeWidth, 0.0);
  EXPECT_FALSE(g->_isDrawingFill);
  EXPECT_FALSE(g->_fillColor.isValid());
  EXPECT_FALSE(g->text_ctrl_font.has_value());
  EXPECT_FALSE(g->_Text_contents);
  EXPECT_TRUE(g->Text_Value.isNull());
  EXPECT_TRUE(g->_file_path.isNull());
  EXPECT_EQ(g->img_trnsp_val, 0.0f);
  EXPECT_EQ(g->qr_size_val, 0);
  // A missing colour stays missing through the opacity getter.
  EXPECT_FALSE(g->fillColor().isValid());
}

TEST(CardObjectArchive, AValueOfAnotherKindReadsAsMissing) {
  const QByteArray odd = partialArchive(QStringLiteral("QLNText"), [](KeyedArchiver &c) {
    c.encodeString(QStringLiteral("_strokeWidth"), QStringLiteral("wide"));
    c.encodeInt32(QStringLiteral("Text_Value"), 7);
    c.encodeString(QStringLiteral("_fillColor"), QStringLiteral("white"));
    c.encodeBool(QStringLiteral("ctrl_is_visible"), true);
  });
  QLNGraphicPtr g = restored(odd);
  ASSERT_TRUE(g);
  EXPECT_EQ(g->_strokeWidth, 0.0);
  EXPECT_TRUE(g->Text_Value.isNull());
  EXPECT_FALSE(g->_fillColor.isValid());
  EXPECT_TRUE(g->ctrl_is_visible);
}

TEST(CardObjectArchive, ForeignClassesAndDamagedArchivesAreRefused) {
  // A class that is not one of the six card object kinds, also the base record itself.
  for (const QString &name : {QStringLiteral("NSTask"), QStringLiteral("QLNGraphic"),
                              QStringLiteral("QLNDocument")}) {
    QString error;
    const QByteArray foreign = partialArchive(name, [](KeyedArchiver &c) {
      c.encodeRect(QStringLiteral("_bounds"), QRectF(1, 2, 3, 4));
    });
    EXPECT_FALSE(unarchiveGraphic(foreign, &error)) << name.toStdString();
    EXPECT_FALSE(error.isEmpty());
  }
  QString error;
  EXPECT_FALSE(unarchiveGraphic(QByteArray(), &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(unarchiveGraphic(QByteArray("bplist00garbage"), &error));
  // A property list that is no archive.
  EXPECT_FALSE(unarchiveGraphic(toBinaryPropertyList(PlistValue::array()), &error));

  // A reference beyond the object table, and a colour without readable components.
  const QByteArray good = archived(*makeKind(QStringLiteral("QLNText")));
  std::optional<PlistValue> tree = parsePropertyList(good);
  ASSERT_TRUE(tree);
  PlistValue objects = tree->value(QStringLiteral("$objects"));
  const quint64 rootIndex = tree->value(QStringLiteral("$top")).value(QStringLiteral("root")).toUid();
  PlistValue root = objects.at(qsizetype(rootIndex));
  root.insert(QStringLiteral("_stroke_border_type"), PlistValue::uid(999999));
  std::vector<PlistValue> items = objects.items();
  items[rootIndex] = root;
  PlistValue damaged = *tree;
  damaged.insert(QStringLiteral("$objects"), PlistValue::array(items));
  EXPECT_FALSE(unarchiveGraphic(toBinaryPropertyList(damaged), &error));
}

TEST(CardObjectArchive, AnArchiveFileOfAnOlderDesignReads) {
  // Written in the published layout by another writer (Python's plistlib): a rounded
  // rectangle with a half-transparent red fill, no line flags, no barcode keys.
  QFile file(testDataPath(QStringLiteral("archives/legacy_shape.bplist")));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QLNGraphicPtr g = restored(file.readAll());
  ASSERT_TRUE(g);
  EXPECT_EQ(g->className(), "Shape_Control");
  EXPECT_EQ(g->_bounds, QRectF(20, 30, 120, 60));
  EXPECT_EQ(g->_shape_type, "RR");
  EXPECT_EQ(g->_fillColor, QColor::fromRgbF(1.0f, 0.0f, 0.0f, 1.0f));
  EXPECT_EQ(g->alpha_val, 0.5f);
  EXPECT_NEAR(g->fillColor().alphaF(), 0.5, 1e-4);
  EXPECT_EQ(g->_strokeWidth, 2.0);
  EXPECT_EQ(g->text_ctrl_font, FontSpec(QStringLiteral("Helvetica-Bold"), 12.0));
  EXPECT_TRUE(g->ctrl_is_visible);
  EXPECT_EQ(g->header_val, QString());   // keys the old file lacks read as missing
}

// Mutated archives, byte by byte and structurally, never crash the reader; whatever
// decodes is a card object of one of the six kinds.
TEST(CardObjectArchive, MutatedArchivesGiveErrorsNotCrashes) {
  std::vector<QByteArray> seeds;
  for (const QString &kind : Kinds) {
    QLNGraphicPtr g = makeKind(kind);
    fillEveryField(*g);
    seeds.push_back(archived(*g));
  }
  // The picture decoder reports every damaged TIFF; those reports are expected here.
  const QtMessageHandler previousHandler =
      qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
  QRandomGenerator random(20240611);
  QElapsedTimer timer;
  timer.start();
  int cases = 0, decoded = 0;
  for (; cases < damageRounds(3000) && timer.elapsed() < 60000; ++cases) {
    QByteArray data = seeds[random.bounded(int(seeds.size()))];
    switch (random.bounded(4)) {
    case 0:  // flip a few bytes
      for (int n = random.bounded(1, 6); n > 0; --n)
        data[random.bounded(int(data.size()))] = char(random.bounded(256));
      break;
    case 1:  // cut it short
      data.truncate(random.bounded(int(data.size())));
      break;
    case 2: {  // replace a value of the tree with one of another kind or a wild reference
      std::optional<PlistValue> tree = parsePropertyList(data);
      if (!tree)
        break;
      std::vector<PlistValue> objects = tree->value(QStringLiteral("$objects")).items();
      if (objects.empty())
        break;
      const size_t index = size_t(random.bounded(int(objects.size())));
      PlistValue &target = objects[index];
      const PlistValue replacements[] = {PlistValue::uid(random.bounded(int(objects.size()) + 3)),
                                         PlistValue::uid(index), PlistValue(QStringLiteral("x")),
                                         PlistValue(qint64(-1)), PlistValue(1e300),
                                         PlistValue::array({PlistValue::uid(index)}), PlistValue::dict(),
                                         PlistValue(QByteArray("1 1"))};
      const PlistValue &replacement = replacements[random.bounded(int(std::size(replacements)))];
      if (target.isDict() && target.size() > 0) {
        const QString key = target.keys().at(random.bounded(int(target.size())));
        target.insert(key, replacement);
      } else {
        target = replacement;
      }
      PlistValue mutated = *tree;
      mutated.insert(QStringLiteral("$objects"), PlistValue::array(objects));
      data = toBinaryPropertyList(mutated);
      break;
    }
    default:  // splice two archives
      data = data.left(random.bounded(int(data.size()))) +
             seeds[random.bounded(int(seeds.size()))].mid(random.bounded(100));
      break;
    }
    QString error;
    QLNGraphicPtr g = unarchiveGraphic(data, &error);
    if (g) {
      ++decoded;
      EXPECT_TRUE(cardObjectClassNames().contains(g->className()));
      // A decoded object can be archived again.
      EXPECT_FALSE(archiveGraphic(*g).isEmpty());
    } else {
      EXPECT_FALSE(error.isEmpty());
    }
  }
  qInstallMessageHandler(previousHandler);
  EXPECT_GE(cases, 500);
  EXPECT_GT(decoded, 0);
}

// ---- Hostile numbers ------------------------------------------------------------------------

namespace {

bool finiteRect(const QRectF &r) {
  return std::isfinite(r.left()) && std::isfinite(r.top()) && std::isfinite(r.right()) &&
         std::isfinite(r.bottom());
}

constexpr float HugeFloat = 3.0e38f;  // the largest a 32-bit float archive value may hold
constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// A card object archive whose numbers are far beyond any design (or not numbers at all).
QByteArray hostileArchive(const QString &kind, bool finite) {
  return partialArchive(kind, [finite](KeyedArchiver &c) {
    c.encodeRect(QStringLiteral("_bounds"), finite ? QRectF(-1.7e308, 1.7e308, 1.7e308, -1.0e300)
                                                   : QRectF(NaN, Infinity, -Infinity, NaN));
    c.encodeBool(QStringLiteral("_isDrawingStroke"), true);
    c.encodeBool(QStringLiteral("_isDrawingFill"), true);
    c.encodeColor(QStringLiteral("_strokeColor"), QColor(Qt::black));
    c.encodeColor(QStringLiteral("_fillColor"), QColor(Qt::red));
    c.encodeDouble(QStringLiteral("_strokeWidth"), finite ? double(HugeFloat) : Infinity);
    c.encodeDouble(QStringLiteral("_fill_grad_angle"), finite ? 725.0 : NaN);
    c.encodeDouble(QStringLiteral("rotate_image"), finite ? -HugeFloat : -Infinity);
    c.encodeDouble(QStringLiteral("alpha_val"), finite ? HugeFloat : NaN);
    c.encodeDouble(QStringLiteral("alpha_val_stroke"), finite ? -1.0 : Infinity);
    c.encodeDouble(QStringLiteral("img_trnsp_val"), finite ? HugeFloat : Infinity);
    c.encodeDouble(QStringLiteral("blr_val"), finite ? HugeFloat : NaN);
    c.encodeDouble(QStringLiteral("cor_rad_val_val"), finite ? HugeFloat : Infinity);
    c.encodeDouble(QStringLiteral("text_kerning"), finite ? -HugeFloat : NaN);
    c.encodeDouble(QStringLiteral("linear_height_val"), finite ? HugeFloat : Infinity);
    c.encodeDouble(QStringLiteral("TB_marging_val"), finite ? -HugeFloat : NaN);
    c.encodeInt32(QStringLiteral("qr_size_val"), finite ? 2000000000 : -5);
    c.encodeInt32(QStringLiteral("double_star_type"), finite ? 5000 : -1);
    c.encodeInt32(QStringLiteral("polygon_type"), finite ? 2000000000 : 999);
    c.encodeFont(QStringLiteral("text_ctrl_font"),
                 ArchivedFont{QStringLiteral("ArialMT"), finite ? 10000.0 : 0.0});
    AttributedText text;
    text.string = QStringLiteral("Sorry");
    TextRun run;
    run.length = 5;
    run.font = ArchivedFont{QStringLiteral("ArialMT"), finite ? 9000.0 : 12.0};
    run.kerning = finite ? 1.0e30 : NaN;
    text.runs = {run};
    c.encodeAttributedText(QStringLiteral("_Text_contents"), text);
    c.encodeString(QStringLiteral("_shape_type"), QStringLiteral("RR"));
    c.encodeString(QStringLiteral("Text_Value"), QStringLiteral("Sorry"));
    c.encodeBool(QStringLiteral("ctrl_is_visible"), true);
  });
}

// Every number of the record that drawing or geometry reads is finite and in its bounds.
void expectHeldNumbers(const QLNGraphic &g) {
  for (const double v : {g._bounds.x(), g._bounds.y(), g._bounds.width(), g._bounds.height()}) {
    EXPECT_TRUE(std::isfinite(v));
    EXPECT_LE(std::fabs(v), 1.0e6);
  }
  EXPECT_TRUE(std::isfinite(g._strokeWidth));
  EXPECT_LE(std::fabs(g._strokeWidth), 1000.0);
  EXPECT_LE(std::fabs(g._fill_grad_angle), 360.0);
  EXPECT_LE(std::fabs(g.rotate_image), 360.0f);
  for (const float opacity : {g.alpha_val, g.alpha_val_stroke, g.img_trnsp_val}) {
    EXPECT_GE(opacity, 0.0f);
    EXPECT_LE(opacity, 100.0f);
  }
  for (const float v : {g.blr_val, g.text_kerning, g.linear_height_val, g.TB_marging_val}) {
    EXPECT_TRUE(std::isfinite(v));
    EXPECT_LE(std::fabs(v), 1000.0f);
  }
  EXPECT_TRUE(g.cor_rad_val_val >= 0.0f && g.cor_rad_val_val <= 1.0e6f);
  EXPECT_TRUE(g.qr_size_val >= 0 && g.qr_size_val <= 5000);
  EXPECT_TRUE(g.double_star_type >= 0 && g.double_star_type <= 1000);
  EXPECT_TRUE(g.polygon_type >= 0 && g.polygon_type <= 1000);
  ASSERT_TRUE(g.text_ctrl_font.has_value());
  EXPECT_TRUE(g.text_ctrl_font->pointSize() >= 0.0 && g.text_ctrl_font->pointSize() <= 1000.0);
  ASSERT_TRUE(g._Text_contents);
  for (const TextRun &run : g._Text_contents->runs) {
    if (run.font) {
      EXPECT_TRUE(run.font->pointSize >= 0.0 && run.font->pointSize <= 1000.0);
    }
    if (run.kerning) {
      EXPECT_TRUE(std::isfinite(*run.kerning) && std::fabs(*run.kerning) <= 1000.0);
    }
  }
}

}  // namespace

TEST(CardObjectArchive, NumbersBeyondAnyDesignAreHeldToTheirBounds) {
  for (const QString &kind : Kinds) {
    SCOPED_TRACE(kind.toStdString());
    QLNGraphicPtr g = restored(hostileArchive(kind, true));
    ASSERT_TRUE(g);
    expectHeldNumbers(*g);
    // Held at the bound, not dropped: the sign and the direction stay.
    EXPECT_EQ(g->_bounds, QRectF(-1.0e6, 1.0e6, 1.0e6, -1.0e6));
    EXPECT_EQ(g->_strokeWidth, 1000.0);
    EXPECT_EQ(g->_fill_grad_angle, 5.0);
    EXPECT_EQ(g->alpha_val, 100.0f);
    EXPECT_EQ(g->alpha_val_stroke, 0.0f);
    EXPECT_EQ(g->img_trnsp_val, 100.0f);
    EXPECT_EQ(g->blr_val, 1000.0f);
    EXPECT_EQ(g->cor_rad_val_val, 1.0e6f);
    EXPECT_EQ(g->text_kerning, -1000.0f);
    EXPECT_EQ(g->linear_height_val, 1000.0f);
    EXPECT_EQ(g->TB_marging_val, -1000.0f);
    EXPECT_EQ(g->qr_size_val, 5000);
    // Counts past the largest outline drawn give none, as drawing them would.
    EXPECT_EQ(g->double_star_type, 0);
    EXPECT_EQ(g->polygon_type, 0);
    EXPECT_EQ(g->text_ctrl_font->pointSize(), 1000.0);
    EXPECT_EQ(g->_Text_contents->runs.at(0).font->pointSize, 1000.0);
    EXPECT_EQ(g->_Text_contents->runs.at(0).kerning, 1000.0);
  }
}

TEST(CardObjectArchive, NumbersThatAreNotFiniteDecodeAsZero) {
  for (const QString &kind : Kinds) {
    SCOPED_TRACE(kind.toStdString());
    QLNGraphicPtr g = restored(hostileArchive(kind, false));
    ASSERT_TRUE(g);
    expectHeldNumbers(*g);
    EXPECT_EQ(g->_bounds, QRectF());
    EXPECT_EQ(g->_strokeWidth, 0.0);
    EXPECT_EQ(g->_fill_grad_angle, 0.0);
    EXPECT_EQ(g->rotate_image, 0.0f);
    EXPECT_EQ(g->alpha_val, 0.0f);
    EXPECT_EQ(g->cor_rad_val_val, 0.0f);
    EXPECT_EQ(g->qr_size_val, 0);
    EXPECT_EQ(g->double_star_type, 0);
    EXPECT_EQ(g->polygon_type, 999);  // a count within bounds stays
  }
}

TEST(CardObjectArchive, ObjectsOfHostileArchivesMeasureHitTestAndDrawInFiniteTime) {
  for (const bool finite : {true, false}) {
    for (const QString &kind : Kinds) {
      SCOPED_TRACE(kind.toStdString() + (finite ? " huge" : " not finite"));
      QLNGraphicPtr g = restored(hostileArchive(kind, finite));
      ASSERT_TRUE(g);
      EXPECT_TRUE(finiteRect(g->drawingBounds()));
      EXPECT_TRUE(finiteRect(QLNGraphic::drawingBoundsOfGraphics({g})));
      if (kind == QLatin1String("Shape_Control") || kind == QLatin1String("QLNLine")) {
        EXPECT_TRUE(finiteRect(g->bezierPathForDrawing().boundingRect()));
      }
      for (const QPointF &p : {QPointF(0, 0), QPointF(5.0e5, 5.0e5), QPointF(-1.0e6, 1.0e6)}) {
        g->isContentsUnderPoint(p);
        const int handle = g->handleUnderPoint(p);
        EXPECT_TRUE(handle >= 0 && handle <= 8);
      }
      QImage canvas(64, 64, QImage::Format_ARGB32_Premultiplied);
      canvas.fill(Qt::white);
      QElapsedTimer timer;
      timer.start();
      {
        QPainter painter(&canvas);
        g->drawContentsInView(&painter, false);
      }
      EXPECT_LT(timer.elapsed(), 10000);
    }
  }
}
