// The design log file: its item layout as another property-list reader sees it, number
// forms under any locale, round trips of both card sides with every kind of card
// object, the lowest and highest value of every control that sets a saved number, the
// spreadsheet grid, the background-path rule, refusal of damaged files as
// a whole, and saving whole or not at all.

#include "designs/model/DesignLog.h"

#include "barcode/Barcode_Gen.h"
#include "core/CardObjectArchive.h"
#include "core/QLNBarcode.h"
#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"
#include "mainwindow/QLNWindowController.h"
#include "platform/PropertyList.h"
#include "tests/common/TestSupport.h"
#include "tests/core/special_files.h"
#include "tests/core/test_card_object_helpers.h"
#include "tests/designs/design_test_helpers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <QDoubleSpinBox>

#include <cfloat>
#include <clocale>
#include <cstdio>
#include <functional>

namespace {

const FontSpec DefaultFont(QStringLiteral("TimesNewRomanPS-ItalicMT"), 14.0);

// A new design: both sides at the reset values, the grid with its first column only.
DesignLogContents newDesign() {
  DesignLogContents d;
  resetCardPropertyForNewProject(d.front, DefaultFont, Qt::black);
  resetCardPropertyForNewProject(d.back, DefaultFont, Qt::black);
  d.gridColumnTitles = {QStringLiteral("File Name")};
  return d;
}

// Every one of the 28 stored settings away from its default; `n` varies the values.
void setEverySetting(Card_Property &p, int n) {
  p.setCard_border_chk(n % 2 == 0);
  p.setCard_bordr_clr(QColor(10 + n, 20, 30));
  p.setCard_bor_Stepper(3 + n);
  p.setCard_border_style(n ? QStringLiteral("DDD") : QStringLiteral("DA"));
  p.setCard_fill_chk(n % 2 == 1);
  p.setCard_fill_style(QStringLiteral("I"));
  p.setCard_fill_clr(QColor::fromRgbF(0.25f, 0.5f, 0.75f, 0.5f));
  p.setCard_fill_Grd_1_clr(QColor(70, 80, 90 + n));
  p.setCard_fill_Grd_2_clr(QColor(100, 110, 120, 40));
  p.setCard_grad_Stepper(-45 - n);
  p.setCard_hatch_style(QStringLiteral("Hatch_%1").arg(n));
  p.setCard_hatch_bk_clr(QColor(130, 140, 150));
  p.setCard_alpha_Stepper(55.5f + float(n));
  p.setCard_Side(QStringLiteral("1"));
  p.setCard_Side_Name(n ? QStringLiteral("B") : QStringLiteral("F"));
  p.setCard_Shape(QStringLiteral("RR"));
  p.setCard_Name(QString::fromUtf8("Entschuldigung \xE2\x80\x94 <sorry> & \"more\" %1").arg(n));
  p.setCard_Location(QPointF(12.5 + n, -7.25));
  p.setCard_Size(QSizeF(243.75, 153.5 + n));
  p.setCard_Preset(QStringLiteral("Vertical"));
  p.setCard_Category(QStringLiteral("Paper Card"));
  p.setCard_Sub_Category(QStringLiteral("A6"));
  p.setCard_Cat_index(4 + n);
  p.setCard_Create_Mode(QStringLiteral("L"));
  p.setCard_BG_Image_Path(QString::fromUtf8("/home/me/Bilder/Hintergrund \xC3\xA4 %1.png").arg(n));
  p.setCard_BG_Image_Layout(QStringLiteral("Tile"));
  p.setCard_Content_clr(QColor(1, 2, 3 + n));
  p.setCard_Content_font(FontSpec(QStringLiteral("Arial-BoldMT"), 18.5 + n));
}

QByteArray readFile(const QString &path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return {};
  return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

// The root array of a design log as read by Python's plistlib: strings as themselves,
// data items as the class of their keyed archive's root with the colour or font inside.
const char *DescribeScript = R"PY(
import json, plistlib, sys
with open(sys.argv[1], 'rb') as f:
    items = plistlib.load(f)
def describe(v):
    if isinstance(v, str):
        return {"t": "string", "v": v}
    if isinstance(v, bytes):
        a = plistlib.loads(v)
        objs = a["$objects"]
        ref = a["$top"]["root"].data
        if ref == 0:
            return {"t": "data", "archiver": a["$archiver"], "class": None}
        root = objs[ref]
        d = {"t": "data", "archiver": a["$archiver"], "version": a["$version"],
             "class": objs[root["$class"].data]["$classname"]}
        if d["class"] == "NSColor":
            d["space"] = root["NSColorSpace"]
            rgb = root["NSRGB"]   # inline bytes; a reference to a data entry in older archives
            d["rgb"] = (rgb if isinstance(rgb, bytes) else objs[rgb.data]).decode("latin-1")
        if d["class"] == "NSFont":
            d["name"] = objs[root["NSName"].data]
            d["size"] = root["NSSize"]
        return d
    if isinstance(v, list):
        return {"t": "array", "v": [describe(x) for x in v]}
    if isinstance(v, dict):
        return {"t": "dict", "v": [[k, describe(x)] for k, x in v.items()]}
    return {"t": type(v).__name__}
print(json.dumps({"root": type(items).__name__, "items": [describe(x) for x in items]}))
)PY";

QJsonArray describeWithPlistlib(const QString &path) {
  const QJsonObject out = QJsonDocument::fromJson(runPython(QString::fromLatin1(DescribeScript), {path})).object();
  EXPECT_EQ(out.value("root").toString(), "list");
  return out.value("items").toArray();
}

// What one item must be, as describeWithPlistlib gives it.
struct Expected {
  enum Kind { String, Color, Font } kind;
  QString text;        // the string, or the colour's "r g b a" text
  double size = 0;     // font size
};
Expected str(const QString &s) { return {Expected::String, s}; }
Expected color(const char *rgb) { return {Expected::Color, QString::fromLatin1(rgb)}; }
Expected font(const QString &name, double size) { return {Expected::Font, name, size}; }

void expectItem(const QJsonValue &item, const Expected &e, int index) {
  const QJsonObject o = item.toObject();
  SCOPED_TRACE(QStringLiteral("item %1").arg(index).toStdString());
  switch (e.kind) {
  case Expected::String:
    EXPECT_EQ(o.value("t").toString(), "string");
    EXPECT_EQ(o.value("v").toString(), e.text);
    break;
  case Expected::Color:
    EXPECT_EQ(o.value("t").toString(), "data");
    EXPECT_EQ(o.value("archiver").toString(), "NSKeyedArchiver");
    EXPECT_EQ(o.value("version").toInt(), 100000);
    EXPECT_EQ(o.value("class").toString(), "NSColor");
    EXPECT_EQ(o.value("space").toInt(), 1);
    EXPECT_EQ(o.value("rgb").toString(), e.text + QChar(0));
    break;
  case Expected::Font:
    EXPECT_EQ(o.value("t").toString(), "data");
    EXPECT_EQ(o.value("class").toString(), "NSFont");
    EXPECT_EQ(o.value("name").toString(), e.text);
    EXPECT_EQ(o.value("size").toDouble(), e.size);
    break;
  }
}

// The 28 items of a side at the reset values.
QList<Expected> resetSideItems() {
  return {str("Y"),        color("0 0 0 1"), str("1"),        str("S"),
          str("N"),        str("S"),         color("1 1 1 1"), color("1 1 1 1"),
          color("1 1 1 1"), str("0"),        str(""),          color("1 1 1 1"),
          str("100.00"),   str("2"),         str("F"),         str("R"),
          str("Untitled"), str("{0, 0}"),    str("{0, 0}"),    str("Horizontal"),
          str("PVC Card"), str("CR80-Credit Card Size"),       str("0"),
          str("W"),        str(""),          str("Stretch"),   color("0 0 0 1"),
          font("TimesNewRomanPS-ItalicMT", 14.0)};
}

// The root items of design log bytes, to build damaged files from.
std::vector<PlistValue> itemsOf(const QByteArray &bytes) {
  const std::optional<PlistValue> plist = parsePropertyList(bytes);
  EXPECT_TRUE(plist && plist->isArray());
  return plist ? plist->items() : std::vector<PlistValue>{};
}

QByteArray fileOf(std::vector<PlistValue> items) {
  return toXmlPropertyList(PlistValue::array(std::move(items)));
}

// One object of every kind, each with every archived field set; `tag` tells the sides apart.
QLNGraphicList everyKind(const QString &tag) {
  QLNGraphicList list;
  int n = 0;
  for (const QString &kind : cardObjectClassNames()) {
    QLNGraphicPtr g = cardtest::makeKind(kind);
    cardtest::fillEveryField(*g);
    g->_bounds.translate(10.0 * n, 5.0 * n);
    g->control_ID = QStringLiteral("%1-%2").arg(tag, kind);
    if (auto *line = dynamic_cast<QLNLine *>(g.get())) {
      line->_pointsRight = true;
      line->_pointsDown = n % 2 == 0;
    }
    list.append(g);
    ++n;
  }
  return list;
}

void expectSameObjects(const QLNGraphicList &a, const QLNGraphicList &b) {
  ASSERT_EQ(a.size(), b.size());
  for (qsizetype i = 0; i < a.size(); ++i) {
    SCOPED_TRACE(QStringLiteral("object %1 (%2)").arg(i).arg(a[i]->className()).toStdString());
    EXPECT_EQ(a[i]->className(), b[i]->className());
    cardtest::expectSameArchivedFields(*a[i], *b[i]);
    if (auto *la = dynamic_cast<QLNLine *>(a[i].get())) {
      auto *lb = dynamic_cast<QLNLine *>(b[i].get());
      ASSERT_NE(lb, nullptr);
      EXPECT_EQ(la->_pointsRight, lb->_pointsRight);
      EXPECT_EQ(la->_pointsDown, lb->_pointsDown);
    }
  }
}

// Switches C's LC_NUMERIC and Qt's default locale to German (decimal comma) for its
// life. The German locale is compiled into a temporary folder when the system lacks it.
class GermanNumbers {
public:
  GermanNumbers() {
    m_previousC = std::setlocale(LC_NUMERIC, nullptr);
    m_previousQt = QLocale();
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && m_dir.isValid()) {
      const QString target = m_dir.filePath("de_DE.UTF-8");
      const int code = QProcess::execute("localedef", {"-i", "de_DE", "-f", "UTF-8", target});
      if (QFileInfo(target).isDir()) {
        m_locpath.emplace("LOCPATH", m_dir.path());
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
      } else {
        m_why = QStringLiteral("localedef exited with %1").arg(code);
      }
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  }
  ~GermanNumbers() {
    std::setlocale(LC_NUMERIC, m_previousC.c_str());
    QLocale::setDefault(m_previousQt);
  }
  // Whether C's printf now writes a decimal comma.
  bool active() const {
    char text[32];
    std::snprintf(text, sizeof text, "%0.2f", 100.0);
    return QByteArray(text) == "100,00" && QLocale().toString(1.5) == "1,5";
  }
  QString why() const { return m_why; }

private:
  std::string m_previousC;
  QLocale m_previousQt;
  QTemporaryDir m_dir;
  std::optional<ScopedEnvironment> m_locpath;
  QString m_why;
};

// ---- Layout of the file ----------------------------------------------------------------

TEST(DesignLog, NewDesignIsSixtyThreeItemsWithTheResetDefaultsAsPlistlibReadsThem) {
  QTemporaryDir dir;
  const QString path = dir.filePath("New.dcard");
  QString error;
  ASSERT_TRUE(saveDesignLog(path, newDesign(), &error)) << error.toStdString();

  const QJsonArray items = describeWithPlistlib(path);
  ASSERT_EQ(items.size(), 63);
  expectItem(items[0], str("VRELMACGREETCARDMAGIC"), 0);
  const QList<Expected> side = resetSideItems();
  ASSERT_EQ(side.size(), DesignLogSideItemCount);
  for (int k = 1; k <= 28; ++k) {
    expectItem(items[k], side[k - 1], k);
    expectItem(items[28 + k], side[k - 1], 28 + k);
  }
  expectItem(items[57], str("N"), 57);
  expectItem(items[58], str(""), 58);
  EXPECT_EQ(items[59].toObject().value("t").toString(), "array");
  const QJsonArray titles = items[59].toObject().value("v").toArray();
  ASSERT_EQ(titles.size(), 1);
  expectItem(titles[0], str("File Name"), 59);
  EXPECT_EQ(items[60].toObject().value("t").toString(), "array");
  EXPECT_TRUE(items[60].toObject().value("v").toArray().isEmpty());
  expectItem(items[61], str("0"), 61);
  expectItem(items[62], str("0"), 62);

  // The file reads back as the same design, and writes again byte for byte.
  const std::optional<DesignLogContents> read = readDesignLogFile(path, &error);
  ASSERT_TRUE(read) << error.toStdString();
  expectSameSide(read->front, newDesign().front);
  expectSameSide(read->back, newDesign().back);
  EXPECT_EQ(writeDesignLog(*read), readFile(path));
}

TEST(DesignLog, NumbersAreTheSameBytesUnderACommaDecimalLocale) {
  DesignLogContents design = newDesign();
  setEverySetting(design.front, 0);
  design.frontObjects = everyKind("F");
  const QByteArray newBytes = writeDesignLog(newDesign());
  const QByteArray customBytes = writeDesignLog(design);
  ASSERT_FALSE(newBytes.isEmpty());
  ASSERT_TRUE(customBytes.contains("<string>55.50</string>"));
  ASSERT_TRUE(customBytes.contains("<string>{12.5, -7.25}</string>"));
  ASSERT_TRUE(customBytes.contains("<string>{243.75, 153.5}</string>"));

  GermanNumbers german;
  if (!german.active())
    GTEST_SKIP() << "no German locale could be made: " << german.why().toStdString();
  EXPECT_EQ(writeDesignLog(newDesign()), newBytes);
  EXPECT_TRUE(newBytes.contains("<string>100.00</string>"));
  EXPECT_EQ(writeDesignLog(design), customBytes);
  // Reading under the locale gives the same numbers.
  const std::optional<DesignLogContents> read = readDesignLog(customBytes);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->front.Card_alpha_Stepper(), 55.5f);
  EXPECT_EQ(read->front.Card_Location(), QPointF(12.5, -7.25));
  expectSameObjects(design.frontObjects, read->frontObjects);
}

TEST(DesignLog, ResetValuesDifferFromANewRecordInBorderContentAndPicture) {
  Card_Property record;
  setEverySetting(record, 1);
  record.setCard_BG_Image(PointImage{cardtest::smallPicture(), QSizeF(4, 3)});
  const FontSpec panelFont(QStringLiteral("Georgia-Bold"), 11.0);
  resetCardPropertyForNewProject(record, panelFont, QColor(200, 10, 10));

  Card_Property expected;                    // the creation values ...
  expected.setCard_border_chk(true);         // ... with the border on
  expected.setCard_Content_clr(QColor(200, 10, 10));
  expected.setCard_Content_font(panelFont);
  expectSameSide(record, expected);
  EXPECT_TRUE(record.Card_BG_Image().isNull());
  EXPECT_FALSE(Card_Property().Card_border_chk());
}

// ---- Round trips ---------------------------------------------------------------------------

TEST(DesignLog, BothSidesWithEveryKindOfObjectComeBackWithEveryFieldOrderAndSide) {
  DesignLogContents design = newDesign();
  setEverySetting(design.front, 0);
  setEverySetting(design.back, 1);
  design.excelBindingUse = true;
  design.excelSourcePath = QStringLiteral("/home/me/guests.xlsx");
  design.frontObjects = everyKind("front");
  design.backObjects = everyKind("back");
  std::reverse(design.backObjects.begin(), design.backObjects.end());
  design.backObjects.append(cardtest::makeKind("QLNText"));   // creation defaults too

  QTemporaryDir dir;
  const QString path = dir.filePath("Sorry card.dcard");
  QString error;
  ASSERT_TRUE(saveDesignLog(path, design, &error)) << error.toStdString();
  const QByteArray saved = readFile(path);
  EXPECT_EQ(itemsOf(saved).size(), size_t(63 + 6 + 7));

  DesignLogContents target;
  ASSERT_TRUE(readDesignLogInto(path, target, &error)) << error.toStdString();
  expectSameSide(design.front, target.front);
  expectSameSide(design.back, target.back);
  EXPECT_TRUE(target.excelBindingUse);
  EXPECT_EQ(target.excelSourcePath, design.excelSourcePath);
  expectSameObjects(design.frontObjects, target.frontObjects);
  expectSameObjects(design.backObjects, target.backObjects);
  // Written again, every item but the object archives is the same bytes (a picture
  // inside an archive is encoded anew, with the same pixels).
  const std::vector<PlistValue> again = itemsOf(writeDesignLog(target));
  const std::vector<PlistValue> first = itemsOf(saved);
  ASSERT_EQ(again.size(), first.size());
  for (size_t i = 0; i <= 61; ++i)
    EXPECT_TRUE(again[i] == first[i]) << "item " << i;
  EXPECT_TRUE(again[68] == first[68]);
}

// ---- Every value the windows can set ------------------------------------------------

// A saved number and the control of a window that sets it: the control's range, read
// from the real widget, and how the window stores a value of the control.
template <class Record>
struct ControlledNumber {
  const char *control;
  std::pair<double, double> range;
  std::function<void(Record &, double)> store;
  std::function<double(const Record &)> stored;
};

std::pair<double, double> rangeOf(const Stepper *s) { return {s->minimum(), s->maximum()}; }
std::pair<double, double> rangeOf(const ValueSlider *s) { return {s->doubleMinimum(), s->doubleMaximum()}; }
std::pair<double, double> rangeOf(const QDoubleSpinBox *s) { return {s->minimum(), s->maximum()}; }

// A card object field the window sets to the control's value divided by `scale`.
template <class T>
ControlledNumber<QLNGraphic> objectField(const char *control, std::pair<double, double> range, T QLNGraphic::*field,
                                        double scale = 1.0) {
  return {control, range, [field, scale](QLNGraphic &g, double v) { g.*field = T(v / scale); },
          [field](const QLNGraphic &g) { return double(g.*field); }};
}

#define CONTROL(window, name) #name, rangeOf(window.name)

TEST(DesignLog, TheLowestAndHighestValuesOfEveryControlComeBackAfterSavingAndReopening) {
  Barcode_Gen designer;
  DrawWindow panel;
  panel.build();
  const std::vector<ControlledNumber<QLNGraphic>> objectFields = {
      // The barcode designer.
      objectField(CONTROL(designer, HeightStepper), &QLNGraphic::linear_height_val),
      objectField(CONTROL(designer, widthStepper), &QLNGraphic::linear_width_val),
      objectField(CONTROL(designer, HeightStepper_2D), &QLNGraphic::qr_size_val),
      objectField(CONTROL(designer, pdf_HeightStepper_2D), &QLNGraphic::pdf_hgt_val),
      objectField(CONTROL(designer, Pdf_widthStepper_2D), &QLNGraphic::pdf_wdt_val),
      objectField(CONTROL(designer, pdf_ec_lvl_Stepper), &QLNGraphic::pdf_ec_val),
      objectField(CONTROL(designer, dm_moduleStepper_2D), &QLNGraphic::dm_module_val),
      objectField(CONTROL(designer, hdr_mar_Stepper), &QLNGraphic::hdr_margin_val),
      objectField(CONTROL(designer, ftr_mar_Stepper), &QLNGraphic::ftr_margin_val),
      objectField(CONTROL(designer, val_mar_Stepper), &QLNGraphic::val_margin_val),
      objectField(CONTROL(designer, TB_mar_Stepper), &QLNGraphic::TB_marging_val),
      objectField(CONTROL(designer, LR_mar_Stepper), &QLNGraphic::LR_margin_val),
      // The property panel's object tabs.
      objectField(CONTROL(panel, Line_Wdt_Stepper), &QLNGraphic::_strokeWidth),
      objectField(CONTROL(panel, Line_alpha_Stepper), &QLNGraphic::alpha_val_stroke, 100.0),
      objectField(CONTROL(panel, shape_bor_Stepper), &QLNGraphic::_strokeWidth),
      objectField(CONTROL(panel, shape_grad_Stepper), &QLNGraphic::_fill_grad_angle),
      objectField(CONTROL(panel, shape_alpha_Stepper), &QLNGraphic::alpha_val, 100.0),
      objectField(CONTROL(panel, shape_cor_radius_Stepper), &QLNGraphic::cor_rad_val_val),
      objectField(CONTROL(panel, double_star_Stepper), &QLNGraphic::double_star_type),
      objectField(CONTROL(panel, polygon_Stepper), &QLNGraphic::polygon_type),
      objectField(CONTROL(panel, Text_Kern_Stepper), &QLNGraphic::text_kerning),
      objectField(CONTROL(panel, Text_alpha_Stepper), &QLNGraphic::alpha_val, 100.0),
      objectField(CONTROL(panel, Text_bor_Stepper), &QLNGraphic::_strokeWidth),
      objectField(CONTROL(panel, Text_grad_Stepper), &QLNGraphic::_fill_grad_angle),
      objectField(CONTROL(panel, Image_bor_Stepper), &QLNGraphic::_strokeWidth),
      objectField(CONTROL(panel, Trsp_slidr), &QLNGraphic::img_trnsp_val),
      objectField(CONTROL(panel, Rotate_slidr), &QLNGraphic::rotate_image),
      objectField(CONTROL(panel, Hue_slidr), &QLNGraphic::hue_val),
      objectField(CONTROL(panel, Sat_slidr), &QLNGraphic::sat_val),
      objectField(CONTROL(panel, Brt_slidr), &QLNGraphic::brt_val),
      objectField(CONTROL(panel, Con_slidr), &QLNGraphic::con_val),
      objectField(CONTROL(panel, shrp_slidr), &QLNGraphic::srp_val),
      objectField(CONTROL(panel, ev_slidr), &QLNGraphic::ev_val),
      objectField(CONTROL(panel, blr_slidr), &QLNGraphic::blr_val),
      objectField(CONTROL(panel, Sign_bor_Stepper), &QLNGraphic::_strokeWidth),
  };
  // The card settings, on the panel's card tabs.
  const std::vector<ControlledNumber<Card_Property>> sideFields = {
      {CONTROL(panel, Card_bor_Stepper), [](Card_Property &p, double v) { p.setCard_bor_Stepper(int(v)); },
       [](const Card_Property &p) { return double(p.Card_bor_Stepper()); }},
      {CONTROL(panel, Card_grad_Stepper), [](Card_Property &p, double v) { p.setCard_grad_Stepper(int(v)); },
       [](const Card_Property &p) { return double(p.Card_grad_Stepper()); }},
      {CONTROL(panel, Card_alpha_Stepper), [](Card_Property &p, double v) { p.setCard_alpha_Stepper(float(v) / 100.0f); },
       [](const Card_Property &p) { return double(p.Card_alpha_Stepper()); }},
      {CONTROL(panel, width_Stepper),
       [](Card_Property &p, double v) {
         p.setCard_Size(QSizeF(QLNWindowController::MM_to_Points_Convert(float(v)), p.Card_Size().height()));
       },
       [](const Card_Property &p) { return p.Card_Size().width(); }},
      {CONTROL(panel, height_Stepper),
       [](Card_Property &p, double v) {
         p.setCard_Size(QSizeF(p.Card_Size().width(), QLNWindowController::MM_to_Points_Convert(float(v))));
       },
       [](const Card_Property &p) { return p.Card_Size().height(); }},
  };

  // The front holds every control's lowest value, the back its highest; one object per
  // control and end, as several controls set the same field.
  DesignLogContents design = newDesign();
  for (const ControlledNumber<Card_Property> &f : sideFields) {
    f.store(design.front, f.range.first);
    f.store(design.back, f.range.second);
  }
  for (const ControlledNumber<QLNGraphic> &f : objectFields) {
    for (const double value : {f.range.first, f.range.second}) {
      auto object = std::make_shared<QLNBarcode>();
      f.store(*object, value);
      design.frontObjects.append(object);
    }
  }
  QTemporaryDir dir;
  const QString path = dir.filePath("Limits.dcard");
  QString error;
  ASSERT_TRUE(saveDesignLog(path, design, &error)) << error.toStdString();
  DesignLogContents reopened;
  ASSERT_TRUE(readDesignLogInto(path, reopened, &error)) << error.toStdString();

  for (const ControlledNumber<Card_Property> &f : sideFields) {
    SCOPED_TRACE(f.control);
    EXPECT_EQ(f.stored(reopened.front), f.stored(design.front));
    EXPECT_EQ(f.stored(reopened.back), f.stored(design.back));
  }
  ASSERT_EQ(reopened.frontObjects.size(), design.frontObjects.size());
  for (size_t i = 0; i < objectFields.size(); ++i) {
    const ControlledNumber<QLNGraphic> &f = objectFields[i];
    SCOPED_TRACE(QStringLiteral("%1 from %2 to %3").arg(f.control).arg(f.range.first).arg(f.range.second).toStdString());
    EXPECT_EQ(f.stored(*reopened.frontObjects[qsizetype(2 * i)]), f.stored(*design.frontObjects[qsizetype(2 * i)]));
    EXPECT_EQ(f.stored(*reopened.frontObjects[qsizetype(2 * i + 1)]),
              f.stored(*design.frontObjects[qsizetype(2 * i + 1)]));
  }
}

#undef CONTROL

TEST(DesignLog, ImageObjectsComeBackWithTheirPathAndGetTheirPictureOnLoading) {
  QTemporaryDir dir;
  const QString picture = dir.filePath("photo.png");
  ASSERT_TRUE(cardtest::smallPicture().save(picture));
  DesignLogContents design = newDesign();
  auto image = std::make_shared<QLNImage>();
  image->setFilePath(picture);
  ASSERT_FALSE(image->_contents.isNull());
  auto gone = std::make_shared<QLNImage>();
  gone->Set_Control_File_path(dir.filePath("deleted.png"));
  design.backObjects = {image, gone};

  std::optional<DesignLogContents> read = readDesignLog(writeDesignLog(design));
  ASSERT_TRUE(read);
  ASSERT_EQ(read->backObjects.size(), 2);
  auto *first = static_cast<QLNImage *>(read->backObjects[0].get());
  auto *second = static_cast<QLNImage *>(read->backObjects[1].get());
  EXPECT_TRUE(first->_contents.isNull());   // the file holds no picture
  loadDesignLogPictures(*read);
  EXPECT_EQ(first->FilePath(), picture);
  EXPECT_EQ(first->_contents.pixels.size(), QSize(4, 3));
  EXPECT_EQ(second->FilePath(), dir.filePath("deleted.png"));
  EXPECT_TRUE(second->_contents.isNull());
}

TEST(DesignLog, SpecialFilesAreRefusedPromptlyAsDesignsAndAsPictures) {
  using namespace specialfiles;
  QTemporaryDir dir;
  const QString fifo = dir.filePath("pipe.dcard");
  ASSERT_TRUE(makeFifo(fifo));
  const QString folder = dir.filePath("folder.dcard");
  ASSERT_TRUE(QDir().mkpath(folder));
  QStringList designPaths = {fifo, folder};
  if (haveDevZero())
    designPaths.append("/dev/zero");

  // As the design file itself: refused with a reason, the open design untouched.
  for (const QString &path : designPaths) {
    SCOPED_TRACE(path.toStdString());
    DesignLogContents target = newDesign();
    setEverySetting(target.front, 1);
    const QByteArray before = writeDesignLog(target);
    const auto read = withinDeadline(
        [&] {
          QString error;
          const bool ok = readDesignLogInto(path, target, &error);
          return std::make_pair(ok, error);
        },
        {fifo});
    ASSERT_TRUE(read.has_value()) << "reading did not return";
    EXPECT_FALSE(read->first);
    EXPECT_TRUE(read->second.startsWith(path + " cannot be read: it is a")) << read->second.toStdString();
    EXPECT_EQ(writeDesignLog(target), before);
  }

  // As the picture of an image object in a design: the object comes without a picture.
  const QString picturePipe = dir.filePath("photo.png");
  ASSERT_TRUE(makeFifo(picturePipe));
  DesignLogContents design = newDesign();
  QStringList picturePaths = {picturePipe, folder};
  if (haveDevZero())
    picturePaths.append("/dev/zero");
  for (const QString &path : picturePaths) {
    auto image = std::make_shared<QLNImage>();
    image->Set_Control_File_path(path);
    design.frontObjects.append(image);
  }
  std::optional<DesignLogContents> read = readDesignLog(writeDesignLog(design));
  ASSERT_TRUE(read);
  const auto loaded = withinDeadline(
      [&] {
        loadDesignLogPictures(*read);
        return true;
      },
      {picturePipe});
  ASSERT_TRUE(loaded.has_value()) << "loading the pictures did not return";
  ASSERT_EQ(read->frontObjects.size(), picturePaths.size());
  for (qsizetype i = 0; i < picturePaths.size(); ++i) {
    auto *image = static_cast<QLNImage *>(read->frontObjects[i].get());
    EXPECT_EQ(image->FilePath(), picturePaths[i]);
    EXPECT_TRUE(image->_contents.isNull()) << picturePaths[i].toStdString();
  }
}

TEST(DesignLog, ImportedRowsTableSurvivesReadAndWriteUnchanged) {
  DesignLogContents design = newDesign();
  design.gridColumnTitles = {QStringLiteral("File Name"), QStringLiteral("Name"),
                             QString::fromUtf8("Stra\xC3\x9F" "e"), QStringLiteral("")};
  design.gridRows = {
      {{"Extension", "png"}, {"Column1", "Ann"}, {"Column2", QString::fromUtf8("K\xC3\xB6nigsweg 1")}, {"Column3", ""}},
      {{"Column2", "<b>&amp;</b>"}, {"Extension", "jpg"}, {"Column1", "line one\nline two"}},
      {},
      {{"Column7", "  spaced  "}}};

  const QByteArray first = writeDesignLog(design);
  std::optional<DesignLogContents> read = readDesignLog(first);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->gridColumnTitles, design.gridColumnTitles);
  EXPECT_EQ(read->gridRows, design.gridRows);
  EXPECT_EQ(writeDesignLog(*read), first);

  // Another reader sees the titles and the rows, in their order.
  QTemporaryDir dir;
  writeFile(dir.filePath("grid.dcard"), first);
  const QJsonArray items = describeWithPlistlib(dir.filePath("grid.dcard"));
  ASSERT_EQ(items.size(), 63);
  const QJsonArray titles = items[59].toObject().value("v").toArray();
  ASSERT_EQ(titles.size(), 4);
  EXPECT_EQ(titles[2].toObject().value("v").toString(), QString::fromUtf8("Stra\xC3\x9F" "e"));
  const QJsonArray rows = items[60].toObject().value("v").toArray();
  ASSERT_EQ(rows.size(), 4);
  const QJsonArray second = rows[1].toObject().value("v").toArray();
  ASSERT_EQ(second.size(), 3);
  EXPECT_EQ(second[0].toArray()[0].toString(), "Column2");
  EXPECT_EQ(second[0].toArray()[1].toObject().value("v").toString(), "<b>&amp;</b>");
  EXPECT_EQ(second[2].toArray()[1].toObject().value("v").toString(), "line one\nline two");
}

TEST(DesignLog, BackgroundPathIsWrittenOnlyForAPictureFill) {
  DesignLogContents design = newDesign();
  const QString bg = QStringLiteral("/pictures/bg.png");
  for (const char *fill : {"S", "G", "H", "I"}) {
    SCOPED_TRACE(fill);
    design.front.setCard_fill_style(QString::fromLatin1(fill));
    design.front.setCard_BG_Image_Path(bg);
    design.back.setCard_fill_style(QStringLiteral("I"));
    design.back.setCard_BG_Image_Path(bg + "2");
    const std::vector<PlistValue> items = itemsOf(writeDesignLog(design));
    ASSERT_EQ(items.size(), size_t(63));
    const bool picture = QByteArray(fill) == "I";
    EXPECT_EQ(items[25].toString(), picture ? bg : QString(""));
    EXPECT_EQ(items[28 + 25].toString(), bg + "2");
    // Saving leaves the design in memory as it was; clearing the path is the caller's.
    EXPECT_EQ(design.front.Card_BG_Image_Path(), bg);
    Card_Property cleared = design.front;
    clearUnusedBackgroundPath(cleared);
    EXPECT_EQ(cleared.Card_BG_Image_Path(), picture ? bg : QString(""));
  }
}

// ---- Damaged files ---------------------------------------------------------------------------

// Each damaged file is refused by readDesignLogInto, which leaves its target alone.
void expectRefused(const QByteArray &bytes, const char *what) {
  SCOPED_TRACE(what);
  QTemporaryDir dir;
  const QString path = dir.filePath("damaged.dcard");
  writeFile(path, bytes);
  DesignLogContents target = newDesign();
  setEverySetting(target.front, 1);
  target.frontObjects = everyKind("kept");
  target.gridRows = {{{"Extension", "kept"}}};
  const QByteArray before = writeDesignLog(target);
  QString error;
  EXPECT_FALSE(readDesignLogInto(path, target, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(writeDesignLog(target), before);
  EXPECT_FALSE(readDesignLog(bytes));
}

TEST(DesignLog, DamagedFilesAreRefusedWholeAndChangeNothing) {
  DesignLogContents design = newDesign();
  design.frontObjects = everyKind("F");   // six objects: items 62 ... 67
  design.backObjects = {cardtest::makeKind("Shape_Control")};
  const QByteArray good = writeDesignLog(design);
  const std::vector<PlistValue> items = itemsOf(good);
  ASSERT_EQ(items.size(), size_t(63 + 7));
  ASSERT_TRUE(readDesignLog(good));

  auto changed = [&](qsizetype index, PlistValue value) {
    std::vector<PlistValue> copy = items;
    copy[size_t(index)] = std::move(value);
    return fileOf(copy);
  };
  auto firstItems = [&](size_t count) {
    return fileOf(std::vector<PlistValue>(items.begin(), items.begin() + count));
  };

  expectRefused(changed(0, PlistValue("VRELMACGREETCARDMAGIc")), "wrong mark");
  expectRefused(changed(0, PlistValue(QByteArray("VRELMACGREETCARDMAGIC"))), "mark as data");
  expectRefused("Dear friend,\nI am sorry.\n", "plain text");
  expectRefused(QByteArray(), "empty file");
  expectRefused(good.left(good.size() / 2), "truncated XML");
  expectRefused(firstItems(1), "the mark alone");
  expectRefused(firstItems(31), "ends after item 30");
  expectRefused(firstItems(61), "ends before the front count");
  expectRefused(firstItems(65), "ends inside the front objects");
  expectRefused(changed(62 + 4, PlistValue(QByteArray("\x01garbage\xff not an archive"))),
                "fifth archive garbage");
  expectRefused(changed(62 + 4, PlistValue(archivedColor(Qt::red))), "fifth archive not a card object");
  expectRefused(changed(62 + 4, PlistValue("QLNText")), "fifth archive a string");
  expectRefused(changed(61, PlistValue("9")), "front count larger than the items");
  expectRefused(changed(68, PlistValue("2")), "back count larger than the items");
  expectRefused(changed(68, PlistValue("-1")), "negative back count");
  expectRefused(changed(61, PlistValue("5")), "front count one short");
  {
    // Items after the last back object are ignored, but not in place of missing ones.
    std::vector<PlistValue> copy(items.begin(), items.end() - 1);
    copy.emplace_back("trailing");
    expectRefused(fileOf(copy), "the last back object replaced by another item");
  }
  expectRefused(changed(3, PlistValue(1)), "integer where a string belongs");
  expectRefused(changed(2, PlistValue("black")), "string where a colour belongs");
  expectRefused(changed(2, items[28]), "font where a colour belongs");
  expectRefused(changed(28, items[2]), "colour where a font belongs");
  expectRefused(changed(2, PlistValue(QByteArray("bplist00 nothing"))), "colour not an archive");
  expectRefused(changed(18, PlistValue("{nan, 0}")), "location not finite");
  expectRefused(changed(59, PlistValue("File Name")), "titles not an array");
  expectRefused(changed(59, PlistValue::array({PlistValue("A"), PlistValue(2)})), "title not a string");
  {
    PlistValue row = PlistValue::dict();
    row.insert("Extension", PlistValue(3));
    expectRefused(changed(60, PlistValue::array({row})), "cell not a string");
    expectRefused(changed(60, PlistValue::array({PlistValue("row")})), "row not a dictionary");
  }
  {
    PlistValue dict = PlistValue::dict();
    dict.insert("0", PlistValue(DesignLogFileMark));
    expectRefused(toXmlPropertyList(dict), "root not an array");
  }
  expectRefused(toBinaryPropertyList(PlistValue::array(items)).left(200), "truncated binary list");
}

TEST(DesignLog, ItemsAfterTheLastBackObjectAreIgnored) {
  // A file of another version may carry more items after the back objects.
  DesignLogContents design = newDesign();
  setEverySetting(design.front, 0);
  setEverySetting(design.back, 1);
  design.frontObjects = everyKind("front");
  design.backObjects = {cardtest::makeKind("Shape_Control"), cardtest::makeKind("QLNText")};
  design.gridColumnTitles = {QStringLiteral("File Name"), QStringLiteral("Name")};
  design.gridRows = {{{QStringLiteral("Extension"), QStringLiteral("png")}, {QStringLiteral("Column1"), QStringLiteral("Ann")}}};
  const std::vector<PlistValue> items = itemsOf(writeDesignLog(design));
  ASSERT_EQ(items.size(), size_t(63 + 6 + 2));

  PlistValue extraDict = PlistValue::dict();
  extraDict.insert("version", PlistValue(2));
  const QList<std::vector<PlistValue>> extras = {
      {PlistValue("trailing")},
      {PlistValue(QByteArray("\x01not an archive")), PlistValue(3), PlistValue::array({PlistValue("x")}), extraDict},
      // Items that look like another count with its objects.
      {PlistValue("1"), items[62]},
  };
  for (const std::vector<PlistValue> &extra : extras) {
    SCOPED_TRACE(extra.size());
    std::vector<PlistValue> longer = items;
    longer.insert(longer.end(), extra.begin(), extra.end());
    QTemporaryDir dir;
    const QString path = dir.filePath("newer.dcard");
    writeFile(path, fileOf(longer));

    DesignLogContents target = newDesign();
    QString error = QStringLiteral("not cleared");
    ASSERT_TRUE(readDesignLogInto(path, target, &error)) << error.toStdString();
    EXPECT_TRUE(error.isEmpty());
    expectSameSide(design.front, target.front);
    expectSameSide(design.back, target.back);
    EXPECT_EQ(target.gridColumnTitles, design.gridColumnTitles);
    EXPECT_EQ(target.gridRows, design.gridRows);
    expectSameObjects(design.frontObjects, target.frontObjects);
    expectSameObjects(design.backObjects, target.backObjects);
    // Saved again, the file is this version's own, without the extra items.
    EXPECT_EQ(itemsOf(writeDesignLog(target)).size(), items.size());
  }

  // Every other check still holds: a file that ends early is refused, extra items or not.
  for (const size_t count : {size_t(61), size_t(64), items.size() - 1}) {
    SCOPED_TRACE(count);
    expectRefused(fileOf(std::vector<PlistValue>(items.begin(), items.begin() + count)), "cut short");
  }
  {
    // The back count claims more objects than follow, the trailing item among them.
    std::vector<PlistValue> copy = items;
    copy[size_t(62 + 6)] = PlistValue("3");
    copy.emplace_back(QByteArray("\x01garbage"));
    expectRefused(fileOf(copy), "a back object that is not an archive");
  }
}

TEST(DesignLog, LenientNumbersReadTheLeadingDecimalNumber) {
  const std::vector<PlistValue> items = itemsOf(writeDesignLog(newDesign()));
  auto with = [&](std::initializer_list<std::pair<int, const char *>> values) {
    std::vector<PlistValue> copy = items;
    for (const auto &[index, text] : values)
      copy[size_t(index)] = PlistValue(text);
    std::optional<DesignLogContents> read = readDesignLog(fileOf(copy));
    EXPECT_TRUE(read);
    return read ? read->front : Card_Property();
  };
  Card_Property p = with({{3, "  12px"}, {10, "-30.9"}, {13, " 55.5%"}, {23, "abc"}, {1, "y"}, {5, "YES"}});
  EXPECT_EQ(p.Card_bor_Stepper(), 12);
  EXPECT_EQ(p.Card_grad_Stepper(), -30);
  EXPECT_EQ(p.Card_alpha_Stepper(), 55.5f);
  EXPECT_EQ(p.Card_Cat_index(), 0);
  EXPECT_FALSE(p.Card_border_chk());
  EXPECT_FALSE(p.Card_fill_chk());
  // Numbers are read within 32 bits and the range of a float, then held within the
  // bounds of decoded side settings: border 1000 points, angles within one turn (the
  // same direction), opacity 100, positions and sizes 1e6 points.
  p = with({{3, "99999999999999"}, {10, "-99999999999999"}, {13, "1e999"}, {18, "{3,4}"}, {19, "garbage"}});
  EXPECT_EQ(p.Card_bor_Stepper(), 1000);
  EXPECT_EQ(p.Card_grad_Stepper(), (-2147483647 - 1) % 360);
  EXPECT_EQ(p.Card_alpha_Stepper(), 100.0f);
  EXPECT_EQ(p.Card_Location(), QPointF(3, 4));
  EXPECT_EQ(p.Card_Size(), QSizeF(0, 0));
  p = with({{3, "-5000"}, {10, "765"}, {13, "-0.5"}, {18, "{1e300, -1.7e308}"}, {19, "{-1e7, 2e6}"}});
  EXPECT_EQ(p.Card_bor_Stepper(), -1000);
  EXPECT_EQ(p.Card_grad_Stepper(), 45);
  EXPECT_EQ(p.Card_alpha_Stepper(), 0.0f);
  EXPECT_EQ(p.Card_Location(), QPointF(1.0e6, -1.0e6));
  EXPECT_EQ(p.Card_Size(), QSizeF(-1.0e6, 1.0e6));
  p = with({{13, ".5e1x"}, {61, " 0 objects"}});
  EXPECT_EQ(p.Card_alpha_Stepper(), 5.0f);
}

// ---- Saving whole or not at all ------------------------------------------------------------------

TEST(DesignLog, ASaveThatCannotBeWrittenLeavesTheOldFileByteIdentical) {
  QTemporaryDir dir;
  QString error;

  // A folder that cannot exist: the path runs through a regular file.
  writeFile(dir.filePath("plain.txt"), "not a folder");
  EXPECT_FALSE(saveDesignLog(dir.filePath("plain.txt/design.dcard"), newDesign(), &error));
  EXPECT_FALSE(error.isEmpty());

  const QString path = dir.filePath("design.dcard");
  ASSERT_TRUE(saveDesignLog(path, newDesign(), &error)) << error.toStdString();
  const QByteArray old = readFile(path);

  // A design that would not open again is not written.
  DesignLogContents unreadable = newDesign();
  unreadable.front.setCard_Content_font(FontSpec(QString(), 12.0));
  EXPECT_FALSE(saveDesignLog(path, unreadable, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(readFile(path), old);

  // The disk refuses the bytes part way: a file size limit below the new design.
  DesignLogContents large = newDesign();
  auto barcode = cardtest::makeKind("QLNBarcode");
  QImage noise(256, 256, QImage::Format_ARGB32);
  for (int y = 0; y < noise.height(); ++y)
    for (int x = 0; x < noise.width(); ++x)
      noise.setPixel(x, y, qRgba((x * 7919 + y * 104729) % 251, (x * y) % 253, (x ^ y) & 0xFF, 255));
  barcode->Set_Barcode_image(PointImage{noise, QSizeF(256, 256)});
  large.frontObjects = {barcode};
  ASSERT_GT(writeDesignLog(large).size(), old.size() + 65536);
  {
    FileSizeLimit limit(rlim_t(old.size() + 4096));
    ASSERT_TRUE(limit.ok());
    EXPECT_FALSE(saveDesignLog(path, large, &error));
  }
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(readFile(path), old);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"design.dcard", "plain.txt"}));

  // Without the limit the same save goes through.
  ASSERT_TRUE(saveDesignLog(path, large, &error)) << error.toStdString();
  EXPECT_EQ(readFile(path), writeDesignLog(large));
}

}  // namespace
