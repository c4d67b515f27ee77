// The card settings record: creation defaults, copies, and its keyed archive (round
// trip, the layout another reader sees, decoding from zeroed fields, hostile bytes).

#include "core/Card_Property.h"

#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <limits>

namespace {

const QStringList ArchiveKeyOrder = {
    "Card_border_chk",     "Card_fill_chk",        "Card_bor_Stepper",     "Card_grad_Stepper",
    "Card_Cat_index",      "Card_alpha_Stepper",   "Card_bordr_clr",       "Card_fill_clr",
    "Card_fill_Grd_1_clr", "Card_fill_Grd_2_clr",  "Card_hatch_bk_clr",    "Card_border_style",
    "Card_fill_style",     "Card_hatch_style",     "Card_Side",            "Card_Side_Name",
    "Card_Shape",          "Card_Name",            "Card_Preset",          "Card_Category",
    "Card_Sub_Category",   "Card_Create_Mode",     "Card_BG_Image_Path",   "Card_BG_Image_Layout",
    "Card_BG_Image",       "Card_Location",        "Card_Size",            "Card_Content_clr",
    "Card_Content_font"};

QImage sampleImage() {
  QImage image(4, 3, QImage::Format_ARGB32);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      image.setPixel(x, y, qRgba(x * 60, y * 100, 200, 255));
  return image;
}

// A record with every field away from its creation default.
Card_Property customRecord() {
  Card_Property r;
  r.setCard_border_chk(true);
  r.setCard_fill_chk(true);
  r.setCard_bordr_clr(QColor(10, 20, 30));
  r.setCard_fill_clr(QColor(40, 50, 60, 128));
  r.setCard_fill_Grd_1_clr(QColor(70, 80, 90));
  r.setCard_fill_Grd_2_clr(QColor(100, 110, 120));
  r.setCard_hatch_bk_clr(QColor(130, 140, 150));
  r.setCard_bor_Stepper(7);
  r.setCard_grad_Stepper(-45);
  r.setCard_Cat_index(3);
  r.setCard_alpha_Stepper(0.25f);
  r.setCard_border_style("DDD");
  r.setCard_fill_style("I");
  r.setCard_hatch_style("Hatch_3");
  r.setCard_Side("1");
  r.setCard_Side_Name("B");
  r.setCard_Shape("RR");
  r.setCard_Name(QString::fromUtf8("Entschuldigung \xE2\x80\x94 sorry"));
  r.setCard_Preset("Vertical");
  r.setCard_Category("Paper Card");
  r.setCard_Sub_Category("A6");
  r.setCard_Create_Mode("L");
  r.setCard_BG_Image_Path("/tmp/bg.png");
  r.setCard_BG_Image_Layout("Tile");
  r.setCard_BG_Image(PointImage{sampleImage(), QSizeF(8, 6)});
  r.setCard_Location(QPointF(12.5, -7));
  r.setCard_Size(QSizeF(243, 154.25));
  r.setCard_Content_clr(QColor(200, 0, 0));
  r.setCard_Content_font(FontSpec("Arial-BoldMT", 22.5));
  return r;
}

// An archive whose root claims to be card settings but writes only a few keys.
class PartialRecord : public KeyedArchivable {
public:
  QString archiveClassName() const override { return Card_Property::ArchiveClassName; }
  void encodeWithCoder(KeyedArchiver &coder) const override {
    coder.encodeBool("Card_fill_chk", true);
    coder.encodeString("Card_Side", "1");
    coder.encodeString("Card_bor_Stepper", "12");  // a string where a number belongs
    coder.encodeInt32("Card_Name", 5);              // a number where a string belongs
  }
};

class OtherRoot : public KeyedArchivable {
public:
  QString archiveClassName() const override { return "QLNText"; }
  void encodeWithCoder(KeyedArchiver &coder) const override { coder.encodeString("Text_Value", "x"); }
};

}  // namespace

TEST(Card_Property, NewRecordHoldsTheCreationDefaults) {
  const Card_Property r;
  EXPECT_FALSE(r.Card_border_chk());
  EXPECT_FALSE(r.Card_fill_chk());
  EXPECT_EQ(r.Card_bor_Stepper(), 1);
  EXPECT_EQ(r.Card_alpha_Stepper(), 100.0f);
  EXPECT_EQ(r.Card_border_style(), "S");
  EXPECT_EQ(r.Card_fill_style(), "S");
  EXPECT_EQ(r.Card_Shape(), "R");
  EXPECT_EQ(r.Card_Name(), "Untitled");
  EXPECT_EQ(r.Card_Sub_Category(), "CR80-Credit Card Size");
  EXPECT_EQ(r.Card_Size(), QSizeF(0, 0));
  EXPECT_EQ(r.Card_bordr_clr(), QColor(Qt::black));
  EXPECT_EQ(r.Card_fill_clr(), QColor(Qt::white));
  EXPECT_EQ(r.Card_Content_font(), FontSpec("TimesNewRomanPS-ItalicMT", 14.0));
  // Empty, not absent: a decoded record tells the two apart.
  EXPECT_FALSE(r.Card_hatch_style().isNull());
  EXPECT_TRUE(r.Card_hatch_style().isEmpty());
  EXPECT_TRUE(r.Card_BG_Image().isNull());
}

TEST(Card_Property, CopyHoldsEveryFieldAndChangesNothingOfItsSource) {
  const Card_Property source = customRecord();
  std::unique_ptr<Card_Property> copy = source.copyWithZone();
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->Card_Name(), source.Card_Name());
  EXPECT_EQ(copy->Card_Sub_Category(), source.Card_Sub_Category());
  EXPECT_EQ(copy->Card_alpha_Stepper(), 0.25f);
  EXPECT_EQ(copy->Card_Size(), QSizeF(243, 154.25));
  EXPECT_EQ(copy->Card_Content_font(), source.Card_Content_font());
  EXPECT_EQ(copy->Card_BG_Image().pixels, source.Card_BG_Image().pixels);

  copy->setCard_fill_clr(Qt::green);
  copy->setCard_bordr_clr(Qt::blue);
  copy->setCard_Name("Changed");
  QImage picture = copy->Card_BG_Image().pixels;
  picture.setPixel(0, 0, qRgba(1, 2, 3, 255));
  copy->setCard_BG_Image(PointImage{picture, QSizeF(8, 6)});

  EXPECT_EQ(source.Card_fill_clr(), QColor(40, 50, 60, 128));
  EXPECT_EQ(source.Card_bordr_clr(), QColor(10, 20, 30));
  EXPECT_EQ(source.Card_Name(), customRecord().Card_Name());
  EXPECT_EQ(source.Card_BG_Image().pixels.pixel(0, 0), sampleImage().pixel(0, 0));
}

TEST(Card_Property, ArchiveRoundTripGivesBackAllFields) {
  const Card_Property source = customRecord();
  QString error;
  const QByteArray bytes = source.archivedData(&error);
  ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();

  std::unique_ptr<Card_Property> r = Card_Property::fromArchivedData(bytes, &error);
  ASSERT_TRUE(r) << error.toStdString();
  EXPECT_TRUE(r->Card_border_chk());
  EXPECT_TRUE(r->Card_fill_chk());
  EXPECT_EQ(r->Card_bordr_clr(), QColor(10, 20, 30));
  EXPECT_EQ(r->Card_fill_clr(), QColor(40, 50, 60, 128));
  EXPECT_EQ(r->Card_fill_Grd_1_clr(), QColor(70, 80, 90));
  EXPECT_EQ(r->Card_fill_Grd_2_clr(), QColor(100, 110, 120));
  EXPECT_EQ(r->Card_hatch_bk_clr(), QColor(130, 140, 150));
  EXPECT_EQ(r->Card_bor_Stepper(), 7);
  EXPECT_EQ(r->Card_grad_Stepper(), -45);
  EXPECT_EQ(r->Card_Cat_index(), 3);
  EXPECT_EQ(r->Card_alpha_Stepper(), 0.25f);
  EXPECT_EQ(r->Card_border_style(), "DDD");
  EXPECT_EQ(r->Card_fill_style(), "I");
  EXPECT_EQ(r->Card_hatch_style(), "Hatch_3");
  EXPECT_EQ(r->Card_Side(), "1");
  EXPECT_EQ(r->Card_Side_Name(), "B");
  EXPECT_EQ(r->Card_Shape(), "RR");
  EXPECT_EQ(r->Card_Name(), source.Card_Name());
  EXPECT_EQ(r->Card_Preset(), "Vertical");
  EXPECT_EQ(r->Card_Category(), "Paper Card");
  EXPECT_EQ(r->Card_Sub_Category(), "A6");
  EXPECT_EQ(r->Card_Create_Mode(), "L");
  EXPECT_EQ(r->Card_BG_Image_Path(), "/tmp/bg.png");
  EXPECT_EQ(r->Card_BG_Image_Layout(), "Tile");
  EXPECT_EQ(r->Card_Location(), QPointF(12.5, -7));
  EXPECT_EQ(r->Card_Size(), QSizeF(243, 154.25));
  EXPECT_EQ(r->Card_Content_clr(), QColor(200, 0, 0));
  EXPECT_EQ(r->Card_Content_font(), FontSpec("Arial-BoldMT", 22.5));

  const PointImage image = r->Card_BG_Image();
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.points, QSizeF(8, 6));
  const QImage expected = sampleImage();
  ASSERT_EQ(image.pixels.size(), expected.size());
  const QImage got = image.pixels.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < expected.height(); ++y)
    for (int x = 0; x < expected.width(); ++x)
      EXPECT_EQ(got.pixel(x, y), expected.pixel(x, y)) << x << "," << y;

  // A new record survives as well, its empty strings staying empty rather than absent.
  r = Card_Property::fromArchivedData(Card_Property().archivedData());
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Card_Name(), "Untitled");
  EXPECT_EQ(r->Card_alpha_Stepper(), 100.0f);
  EXPECT_FALSE(r->Card_hatch_style().isNull());
  EXPECT_TRUE(r->Card_BG_Image().isNull());
  EXPECT_EQ(r->Card_Content_font(), Card_Property::defaultContentFont());
}

TEST(Card_Property, ArchiveLayoutAsAnotherReaderSeesIt) {
  const QByteArray bytes = customRecord().archivedData();
  ASSERT_FALSE(bytes.isEmpty());
  const QByteArray json = runPython(R"(
import sys, plistlib, json
p = plistlib.loads(sys.stdin.buffer.read())
assert p['$archiver'] == 'NSKeyedArchiver' and p['$version'] == 100000
objs = p['$objects']
root = objs[p['$top']['root'].data]
out = {'class': objs[root['$class'].data]['$classname'], 'order': [], 'values': {}}
for k, v in root.items():
    if k == '$class':
        continue
    out['order'].append(k)
    if isinstance(v, plistlib.UID):
        o = objs[v.data]
        if isinstance(o, str):
            out['values'][k] = ['string', o]
        else:
            out['values'][k] = ['object', objs[o['$class'].data]['$classname']]
    elif isinstance(v, bool):
        out['values'][k] = ['bool', v]
    elif isinstance(v, int):
        out['values'][k] = ['int', v]
    else:
        out['values'][k] = ['real', v]
print(json.dumps(out))
)",
                                    {}, bytes);
  const QJsonObject out = QJsonDocument::fromJson(json).object();
  EXPECT_EQ(out["class"].toString(), "Card_Property");
  QStringList order;
  for (const QJsonValue &key : out["order"].toArray())
    order << key.toString();
  EXPECT_EQ(order, ArchiveKeyOrder);

  const QJsonObject v = out["values"].toObject();
  auto entry = [&](const char *key) { return v[key].toArray(); };
  EXPECT_EQ(entry("Card_border_chk"), QJsonArray({"bool", true}));
  EXPECT_EQ(entry("Card_bor_Stepper"), QJsonArray({"int", 7}));
  EXPECT_EQ(entry("Card_grad_Stepper"), QJsonArray({"int", -45}));
  EXPECT_EQ(entry("Card_alpha_Stepper"), QJsonArray({"real", 0.25}));
  EXPECT_EQ(entry("Card_bordr_clr"), QJsonArray({"object", "NSColor"}));
  EXPECT_EQ(entry("Card_Shape"), QJsonArray({"string", "RR"}));
  EXPECT_EQ(entry("Card_BG_Image"), QJsonArray({"object", "NSImage"}));
  EXPECT_EQ(entry("Card_Location"), QJsonArray({"string", "{12.5, -7}"}));
  EXPECT_EQ(entry("Card_Size"), QJsonArray({"string", "{243, 154.25}"}));
  EXPECT_EQ(entry("Card_Content_font"), QJsonArray({"object", "NSFont"}));
}

TEST(Card_Property, DecodingStartsFromZeroedFieldsNotDefaults) {
  const QByteArray bytes = KeyedArchiver::archiveRootObject(PartialRecord());
  ASSERT_FALSE(bytes.isEmpty());
  QString error;
  std::unique_ptr<Card_Property> r = Card_Property::fromArchivedData(bytes, &error);
  ASSERT_TRUE(r) << error.toStdString();

  EXPECT_TRUE(r->Card_fill_chk());
  EXPECT_EQ(r->Card_Side(), "1");
  // Missing keys, and keys holding the wrong kind of value, read as absent or zero.
  EXPECT_TRUE(r->Card_Name().isNull());
  EXPECT_EQ(r->Card_bor_Stepper(), 0);
  EXPECT_FALSE(r->Card_border_chk());
  EXPECT_EQ(r->Card_alpha_Stepper(), 0.0f);
  EXPECT_TRUE(r->Card_border_style().isNull());
  EXPECT_TRUE(r->Card_BG_Image_Layout().isNull());
  EXPECT_FALSE(r->Card_bordr_clr().isValid());
  EXPECT_FALSE(r->Card_fill_clr().isValid());
  EXPECT_FALSE(r->Card_Content_clr().isValid());
  EXPECT_FALSE(r->Card_Content_font().has_value());
  EXPECT_TRUE(r->Card_BG_Image().isNull());
  EXPECT_EQ(r->Card_Location(), QPointF(0, 0));
  EXPECT_EQ(r->Card_Size(), QSizeF(0, 0));

  // Absent values written by a zeroed record come back absent.
  const Card_Property zeroed{Card_Property::Zeroed{}};
  r = Card_Property::fromArchivedData(zeroed.archivedData(), &error);
  ASSERT_TRUE(r) << error.toStdString();
  EXPECT_TRUE(r->Card_Name().isNull());
  EXPECT_FALSE(r->Card_hatch_bk_clr().isValid());
  EXPECT_FALSE(r->Card_Content_font().has_value());
  EXPECT_EQ(r->Card_Size(), QSizeF(0, 0));
}

TEST(Card_Property, DamagedOrForeignArchivesGiveNoRecord) {
  QString error;
  EXPECT_FALSE(Card_Property::fromArchivedData(QByteArray("bplist00 not really"), &error));
  EXPECT_FALSE(error.isEmpty());

  error.clear();
  QByteArray bytes = customRecord().archivedData();
  EXPECT_FALSE(Card_Property::fromArchivedData(bytes.left(bytes.size() / 2), &error));
  EXPECT_FALSE(error.isEmpty());

  error.clear();
  EXPECT_FALSE(Card_Property::fromArchivedData(KeyedArchiver::archiveRootObject(OtherRoot()), &error));
  EXPECT_FALSE(error.isEmpty());
}

TEST(Card_Property, HostileNumbersDecodeFiniteAndHeldToTheirBounds) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double alpha;
    qint32 border;
    qint32 angle;
    QPointF location;
    QSizeF size;
    double fontSize;
    // What comes back.
    float heldAlpha;
    qint32 heldBorder;
    qint32 heldAngle;
    QPointF heldLocation;
    QSizeF heldSize;
    double heldFontSize;
  };
  const QList<Case> cases = {
      {3.0e38, 2000000000, 1000000007, QPointF(-1.0e300, 1.7e308), QSizeF(1.0e300, -1.7e308), 10000.0,
       100.0f, 1000, 1000000007 % 360, QPointF(-1.0e6, 1.0e6), QSizeF(1.0e6, -1.0e6), 1000.0},
      {-3.0e38, -2000000000, -725, QPointF(nan, inf), QSizeF(-inf, nan), 0.0,
       0.0f, -1000, -5, QPointF(0, 0), QSizeF(0, 0), 0.0},
      {inf, 7, 45, QPointF(12.5, -7), QSizeF(243, 154.25), 22.5,
       0.0f, 7, 45, QPointF(12.5, -7), QSizeF(243, 154.25), 22.5},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.alpha);
    // The archive is written with the project's encoder under the record's keys.
    class Hostile : public KeyedArchivable {
    public:
      explicit Hostile(const Case &c) : m_case(c) {}
      QString archiveClassName() const override { return Card_Property::ArchiveClassName; }
      void encodeWithCoder(KeyedArchiver &coder) const override {
        coder.encodeImage("Card_BG_Image", sampleImage(), QSizeF(8, 6));
        coder.encodeDouble("Card_alpha_Stepper", m_case.alpha);
        coder.encodeInt32("Card_bor_Stepper", m_case.border);
        coder.encodeInt32("Card_grad_Stepper", m_case.angle);
        coder.encodePoint("Card_Location", m_case.location);
        coder.encodeSize("Card_Size", m_case.size);
        coder.encodeFont("Card_Content_font", ArchivedFont{"Arial-BoldMT", m_case.fontSize});
      }

    private:
      Case m_case;
    };
    QString error;
    const QByteArray bytes = KeyedArchiver::archiveRootObject(Hostile(c), &error);
    ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();
    const std::unique_ptr<Card_Property> r = Card_Property::fromArchivedData(bytes, &error);
    ASSERT_TRUE(r) << error.toStdString();
    EXPECT_EQ(r->Card_alpha_Stepper(), c.heldAlpha);
    EXPECT_EQ(r->Card_bor_Stepper(), c.heldBorder);
    EXPECT_EQ(r->Card_grad_Stepper(), c.heldAngle);
    EXPECT_EQ(r->Card_Location(), c.heldLocation);
    EXPECT_EQ(r->Card_Size(), c.heldSize);
    ASSERT_TRUE(r->Card_Content_font().has_value());
    EXPECT_EQ(r->Card_Content_font()->pointSize(), c.heldFontSize);
    // The background picture keeps its own size.
    EXPECT_EQ(r->Card_BG_Image().points, QSizeF(8, 6));
  }
}
