// Keyed archives: what plistlib finds in ours, round trips of every kind of value,
// archives written by another writer, and hostile archives that must give an error.

#include "platform/KeyedArchive.h"
#include "platform/PropertyList.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtEndian>
#include <limits>

namespace {

const QString kSorry = QStringLiteral("Entschuldigung – désolé 🙏");

// A card-like object with a key of every kind.
struct Sample final : KeyedArchivable {
  bool flag = false;
  qint32 count = 0;
  qint64 big = 0;
  float ratio = 0;
  double width = 0;
  QString text, empty, none;
  QByteArray data;
  QRectF bounds;
  QPointF origin;
  QSizeF size;
  std::optional<QColor> color, noColor;
  std::optional<ArchivedFont> font;
  std::optional<AttributedText> attributed;
  QImage image;
  QSizeF imagePoints;
  std::unique_ptr<Sample> child;
  QStringList names;

  QString archiveClassName() const override { return QStringLiteral("QLNText"); }
  QStringList archiveSuperclasses() const override { return {QStringLiteral("QLNGraphic")}; }

  void encodeWithCoder(KeyedArchiver &c) const override {
    c.encodeBool("flag", flag);
    c.encodeInt32("count", count);
    c.encodeInt64("big", big);
    c.encodeFloat("ratio", ratio);
    c.encodeDouble("width", width);
    c.encodeString("text", text);
    c.encodeString("empty", empty);
    c.encodeString("none", none);
    c.encodeData("data", data);
    c.encodeRect("bounds", bounds);
    c.encodePoint("origin", origin);
    c.encodeSize("size", size);
    c.encodeColor("color", color);
    c.encodeColor("noColor", noColor);
    c.encodeFont("font", font);
    c.encodeAttributedText("attributed", attributed);
    c.encodeImage("image", image, imagePoints);
    c.encodeObject("child", child.get());
    c.encodeStringList("names", names);
  }

  static std::unique_ptr<KeyedArchivable> read(KeyedUnarchiver &c) {
    auto s = std::make_unique<Sample>();
    s->flag = c.decodeBool("flag");
    s->count = c.decodeInt32("count");
    s->big = c.decodeInt64("big");
    s->ratio = c.decodeFloat("ratio");
    s->width = c.decodeDouble("width");
    s->text = c.decodeString("text");
    s->empty = c.decodeString("empty");
    s->none = c.decodeString("none");
    s->data = c.decodeData("data");
    s->bounds = c.decodeRect("bounds");
    s->origin = c.decodePoint("origin");
    s->size = c.decodeSize("size");
    s->color = c.decodeColor("color");
    s->noColor = c.decodeColor("noColor");
    s->font = c.decodeFont("font");
    s->attributed = c.decodeAttributedText("attributed");
    if (std::optional<ArchivedImage> picture = c.decodeImage("image")) {
      s->image = picture->image;
      s->imagePoints = picture->pointSize;
    }
    s->child.reset(dynamic_cast<Sample *>(c.decodeObject("child").release()));
    s->names = c.decodeStringList("names");
    return s;
  }
};

std::unique_ptr<Sample> decodeSample(const QByteArray &bytes, QString *error = nullptr) {
  KeyedUnarchiver coder(bytes);
  coder.registerClass("QLNText", &Sample::read);
  std::unique_ptr<KeyedArchivable> root = coder.decodeRootObject();
  if (error)
    *error = coder.error();
  EXPECT_EQ(root == nullptr, coder.failed());
  return std::unique_ptr<Sample>(dynamic_cast<Sample *>(root.release()));
}

QImage picture() {
  QImage image(3, 2, QImage::Format_ARGB32);
  image.setPixel(0, 0, qRgba(255, 0, 0, 255));
  image.setPixel(1, 0, qRgba(0, 128, 255, 255));
  image.setPixel(2, 0, qRgba(0, 0, 0, 0));
  image.setPixel(0, 1, qRgba(10, 20, 30, 255));
  image.setPixel(1, 1, qRgba(255, 255, 255, 255));
  image.setPixel(2, 1, qRgba(1, 2, 3, 255));
  return image;
}

// "Sorry, friend": the two words share one set of attributes, the comma and space
// between them have none.
AttributedText attributedSample() {
  TextRun word;
  word.font = ArchivedFont{"Helvetica-Bold", 18};
  word.color = QColor::fromRgbF(1, 0, 0);
  word.kerning = 1.5;
  word.alignment = 2;
  AttributedText text{"Sorry, friend", {}};
  word.start = 0;
  word.length = 5;
  text.runs.append(word);
  TextRun plain;
  plain.start = 5;
  plain.length = 2;
  text.runs.append(plain);
  word.start = 7;
  word.length = 6;
  text.runs.append(word);
  return text;
}

Sample fullSample() {
  Sample s;
  s.flag = true;
  s.count = -7;
  s.big = qint64(1) << 40;
  s.ratio = 0.1f;
  s.width = 0.1;
  s.text = kSorry;
  s.empty = QStringLiteral("");
  s.data = QByteArray("\0abc", 4);
  s.bounds = QRectF(1.5, -2, 100, 50.25);
  s.origin = QPointF(3, 4);
  s.size = QSizeF(243, 154);
  s.color = QColor::fromRgbF(1, 0.5, 0, 1);
  s.font = ArchivedFont{"TimesNewRomanPS-ItalicMT", 14};
  s.attributed = attributedSample();
  s.image = picture();
  s.imagePoints = QSizeF(1.5, 1);
  s.child = std::make_unique<Sample>();
  s.child->text = "inner";
  s.names = QStringList{"a", kSorry};
  return s;
}

}  // namespace

TEST(KeyedArchive, PlistlibFindsTheConventionalLayout) {
  const QByteArray bytes = KeyedArchiver::archiveRootObject(fullSample());
  ASSERT_FALSE(bytes.isEmpty());
  const QString check = QStringLiteral(R"(
import plistlib, struct, sys
a = plistlib.loads(sys.stdin.buffer.read())
assert a['$archiver'] == 'NSKeyedArchiver' and a['$version'] == 100000
objs = a['$objects']
assert objs[0] == '$null'
def o(uid):
    assert isinstance(uid, plistlib.UID), uid
    return objs[uid.data]
def cls(obj):
    return o(obj['$class'])
root = o(a['$top']['root'])
assert cls(root) == {'$classname': 'QLNText', '$classes': ['QLNText', 'QLNGraphic', 'NSObject']}
assert list(root)[:7] == ['$class', 'flag', 'count', 'big', 'ratio', 'width', 'text']
assert root['flag'] is True and root['count'] == -7 and root['big'] == 2**40
assert root['ratio'] == struct.unpack('<f', struct.pack('<f', 0.1))[0] != 0.1
assert root['width'] == 0.1
assert o(root['text']) == 'Entschuldigung – désolé 🙏' and o(root['empty']) == ''
assert root['none'] == plistlib.UID(0) and root['noColor'] == plistlib.UID(0)
assert o(root['data']) == b'\x00abc'
assert o(root['bounds']) == '{{1.5, -2}, {100, 50.25}}'
assert o(root['origin']) == '{3, 4}' and o(root['size']) == '{243, 154}'
c = o(root['color'])
assert cls(c) == {'$classname': 'NSColor', '$classes': ['NSColor', 'NSObject']}
# a byte field: the data inline, not a UID of a data entry
assert c['NSColorSpace'] == 1 and type(c['NSRGB']) is bytes and c['NSRGB'] == b'1 0.5 0 1\x00'
f = o(root['font'])
assert cls(f)['$classname'] == 'NSFont'
assert o(f['NSName']) == 'TimesNewRomanPS-ItalicMT' and f['NSSize'] == 14.0 and f['NSfFlags'] == 16
t = o(root['attributed'])
assert cls(t)['$classes'] == ['NSMutableAttributedString', 'NSAttributedString', 'NSObject']
assert o(t['NSString']) == 'Sorry, friend'
assert o(t['NSAttributeInfo']) == bytes([5, 0, 2, 1, 6, 0])
dicts = [o(u) for u in o(t['NSAttributes'])['NS.objects']]
assert [cls(d)['$classname'] for d in dicts] == ['NSDictionary', 'NSDictionary']
word = {o(k): o(v) for k, v in zip(dicts[0]['NS.keys'], dicts[0]['NS.objects'])}
assert sorted(word) == ['NSColor', 'NSFont', 'NSKern', 'NSParagraphStyle']
assert o(word['NSFont']['NSName']) == 'Helvetica-Bold' and word['NSFont']['NSSize'] == 18
assert word['NSColor']['NSRGB'] == b'1 0 0 1\x00' and word['NSKern'] == 1.5
assert word['NSParagraphStyle']['NSAlignment'] == 2
assert dicts[1]['NS.keys'] == []
img = o(root['image'])
assert cls(img)['$classname'] == 'NSImage' and o(img['NSSize']) == '{1.5, 1}'
rep = o(o(img['NSReps'])['NS.objects'][0])
assert cls(rep)['$classes'] == ['NSBitmapImageRep', 'NSImageRep', 'NSObject']
assert o(rep['NSTIFFRepresentation'])[:4] in (b'II*\x00', b'MM\x00*')
child = o(root['child'])
assert cls(child)['$classname'] == 'QLNText' and o(child['text']) == 'inner'
assert [o(u) for u in o(root['names'])['NS.objects']] == ['a', 'Entschuldigung – désolé 🙏']
# one class description per class, one entry per distinct string
names = [x['$classname'] for x in objs if isinstance(x, dict) and '$classname' in x]
assert len(names) == len(set(names)), names
strings = [x for x in objs if isinstance(x, str)]
assert len(strings) == len(set(strings)), strings
print('ok')
)");
  EXPECT_EQ(runPython(check, {}, bytes).trimmed(), "ok");
}

TEST(KeyedArchive, EveryKindOfValueSurvivesARoundTrip) {
  const Sample original = fullSample();
  QString error;
  const std::unique_ptr<Sample> back = decodeSample(KeyedArchiver::archiveRootObject(original), &error);
  ASSERT_TRUE(back) << error.toStdString();
  EXPECT_TRUE(back->flag);
  EXPECT_EQ(back->count, -7);
  EXPECT_EQ(back->big, qint64(1) << 40);
  EXPECT_EQ(back->ratio, 0.1f);
  EXPECT_EQ(double(back->ratio), 0.10000000149011612);   // the float, widened
  EXPECT_EQ(back->width, 0.1);
  EXPECT_EQ(back->text, kSorry);
  EXPECT_TRUE(back->empty.isEmpty());
  EXPECT_FALSE(back->empty.isNull());
  EXPECT_TRUE(back->none.isNull());
  EXPECT_EQ(back->data, original.data);
  EXPECT_EQ(back->bounds, original.bounds);
  EXPECT_EQ(back->origin, original.origin);
  EXPECT_EQ(back->size, original.size);
  EXPECT_EQ(back->color, original.color);
  EXPECT_FALSE(back->noColor);
  EXPECT_EQ(back->font, original.font);
  EXPECT_EQ(back->attributed, original.attributed);
  EXPECT_EQ(back->image.convertToFormat(QImage::Format_ARGB32), original.image);
  EXPECT_EQ(back->imagePoints, QSizeF(1.5, 1));
  ASSERT_TRUE(back->child);
  EXPECT_EQ(back->child->text, "inner");
  EXPECT_FALSE(back->child->child);
  EXPECT_EQ(back->names, original.names);

  // Colours keep 16 bits per channel, so a colour read and written again is the same.
  Sample odd;
  odd.color = QColor::fromRgbF(0.123456f, 1.0f / 3, 0.999f, 0.2f);
  const std::unique_ptr<Sample> once = decodeSample(KeyedArchiver::archiveRootObject(odd));
  ASSERT_TRUE(once && once->color);
  EXPECT_EQ(once->color->rgba64(), odd.color->rgba64());
  const std::unique_ptr<Sample> twice = decodeSample(KeyedArchiver::archiveRootObject(*once));
  EXPECT_EQ(twice->color, once->color);

  // Runs that leave gaps or overlap are written as runs that tile the string.
  Sample runs;
  TextRun bold;
  bold.font = ArchivedFont{"Arial-BoldMT", 9};
  bold.start = 2;
  bold.length = 100;
  runs.attributed = AttributedText{"abcdef", {bold}};
  const std::unique_ptr<Sample> tiled = decodeSample(KeyedArchiver::archiveRootObject(runs));
  ASSERT_TRUE(tiled && tiled->attributed);
  ASSERT_EQ(tiled->attributed->runs.size(), 2);
  EXPECT_EQ(tiled->attributed->runs[0].length, 2);
  EXPECT_FALSE(tiled->attributed->runs[0].font);
  EXPECT_EQ(tiled->attributed->runs[1].start, 2);
  EXPECT_EQ(tiled->attributed->runs[1].length, 4);
  EXPECT_EQ(tiled->attributed->runs[1].font, bold.font);
}

TEST(KeyedArchive, ReadsArchivesOfAnotherWriter) {
  // Written the way other keyed archivers do it: a mutable string object, device RGB
  // without alpha, grey, a named colour with its fallback, integers where reals are
  // asked and the reverse, a loosely spaced rect, one attributes dictionary for the
  // whole text, and a paragraph style without alignment.
  const QString write = QStringLiteral(R"(
import plistlib, sys
from plistlib import UID
objs = ['$null',
  {'$class': UID(2), 'flag': 1, 'count': 12.9, 'width': 3, 'ratio': 2, 'text': UID(3),
   'color': UID(4), 'font': UID(6), 'bounds': UID(9), 'noColor': UID(12),
   'attributed': UID(14), 'names': UID(21), 'child': UID(0)},
  {'$classname': 'QLNText', '$classes': ['QLNText', 'QLNGraphic', 'NSObject']},
  {'$class': UID(8), 'NS.string': 'mutable ✓'},
  {'$class': UID(5), 'NSColorSpace': 2, 'NSRGB': b'0.25 0.5 0.75\x00'},
  {'$classname': 'NSColor', '$classes': ['NSColor', 'NSObject']},
  {'$class': UID(7), 'NSName': UID(11), 'NSSize': 12, 'NSfFlags': 16},
  {'$classname': 'NSFont', '$classes': ['NSFont', 'NSObject']},
  {'$classname': 'NSMutableString', '$classes': ['NSMutableString', 'NSString', 'NSObject']},
  ' { {10 , 20} , {30,40.5} } ',
  {'$class': UID(5), 'NSColorSpace': 3, 'NSWhite': b'0.5 0.25\x00'},
  'Helvetica-Bold',
  {'$class': UID(5), 'NSColorSpace': 6, 'NSCatalogName': UID(13), 'NSColor': UID(10)},
  'System',
  {'$class': UID(15), 'NSString': UID(3), 'NSAttributes': UID(16)},
  {'$classname': 'NSAttributedString', '$classes': ['NSAttributedString', 'NSObject']},
  {'$class': UID(17), 'NS.keys': [UID(18), UID(19), UID(20), UID(22)],
   'NS.objects': [UID(6), UID(4), UID(23), UID(24)]},
  {'$classname': 'NSMutableDictionary', '$classes': ['NSMutableDictionary', 'NSDictionary', 'NSObject']},
  'NSFont', 'NSColor', 'NSKern',
  {'$class': UID(25), 'NS.objects': [UID(11), UID(13)]},
  'NSParagraphStyle', 2.0,
  {'$class': UID(26), 'NSTabStops': UID(0)},
  {'$classname': 'NSMutableArray', '$classes': ['NSMutableArray', 'NSArray', 'NSObject']},
  {'$classname': 'NSMutableParagraphStyle', '$classes': ['NSMutableParagraphStyle', 'NSParagraphStyle', 'NSObject']},
]
archive = {'$version': 100000, '$archiver': 'NSKeyedArchiver', '$top': {'root': UID(1)}, '$objects': objs}
sys.stdout.buffer.write(plistlib.dumps(archive, fmt=plistlib.FMT_BINARY))
)");
  QString error;
  const std::unique_ptr<Sample> s = decodeSample(runPython(write), &error);
  ASSERT_TRUE(s) << error.toStdString();
  EXPECT_TRUE(s->flag);
  EXPECT_EQ(s->count, 12);
  EXPECT_EQ(s->width, 3.0);
  EXPECT_EQ(s->ratio, 2.0f);
  EXPECT_EQ(s->text, QStringLiteral("mutable ✓"));
  EXPECT_EQ(s->color, QColor::fromRgbF(0.25, 0.5, 0.75, 1));
  EXPECT_EQ(s->font, (ArchivedFont{"Helvetica-Bold", 12}));
  EXPECT_EQ(s->bounds, QRectF(10, 20, 30, 40.5));
  EXPECT_EQ(s->noColor, QColor::fromRgbF(0.5, 0.5, 0.5, 0.25));   // the named colour's grey
  ASSERT_TRUE(s->attributed);
  EXPECT_EQ(s->attributed->string, s->text);
  ASSERT_EQ(s->attributed->runs.size(), 1);
  const TextRun &run = s->attributed->runs.front();
  EXPECT_EQ(run.start, 0);
  EXPECT_EQ(run.length, s->text.size());
  EXPECT_EQ(run.font, s->font);
  EXPECT_EQ(run.color, s->color);
  EXPECT_EQ(run.kerning, 2.0);
  EXPECT_EQ(run.alignment, 4);
  EXPECT_EQ(s->names, QStringList({"Helvetica-Bold", "System"}));
  // Keys the archive lacks read as zero, false and null.
  EXPECT_EQ(s->big, 0);
  EXPECT_TRUE(s->data.isNull());
  EXPECT_TRUE(s->empty.isNull());
  EXPECT_FALSE(s->font->postScriptName.isEmpty());
  EXPECT_TRUE(s->image.isNull());
  EXPECT_FALSE(s->child);
}

namespace {

// An object whose keys a test writes and reads through functions.
struct Probe final : KeyedArchivable {
  std::function<void(KeyedArchiver &)> write;
  QString archiveClassName() const override { return QStringLiteral("Probe"); }
  void encodeWithCoder(KeyedArchiver &c) const override { write(c); }
};

// Archives a Probe, reads it back with `read` as its factory, answers the error.
QString probe(const std::function<void(KeyedArchiver &)> &write,
              const std::function<void(KeyedUnarchiver &)> &read) {
  Probe p;
  p.write = write;
  QString error;
  const QByteArray bytes = KeyedArchiver::archiveRootObject(p, &error);
  EXPECT_TRUE(error.isEmpty()) << error.toStdString();
  KeyedUnarchiver coder(bytes);
  coder.registerClass("Probe", [&](KeyedUnarchiver &c) {
    read(c);
    return std::make_unique<Probe>();
  });
  const bool decoded = coder.decodeRootObject() != nullptr;
  EXPECT_EQ(decoded, coder.error().isEmpty());
  return coder.error();
}

}  // namespace

TEST(KeyedArchive, WrongKindsReadAsMissingAndNumbersConvert) {
  const QString error = probe(
      [](KeyedArchiver &c) {
        c.encodeString("s", "hello");
        c.encodeInt32("n", 5);
        c.encodeDouble("r", 7.9);
        c.encodeColor("c", QColor(Qt::red));
        c.encodeFont("f", ArchivedFont{"Arial", 3});
        c.encodeData("d", "xyz");
      },
      [](KeyedUnarchiver &c) {
        EXPECT_EQ(c.currentClassName(), "Probe");
        EXPECT_EQ(c.decodeInt32("s"), 0);
        EXPECT_FALSE(c.decodeBool("s"));
        EXPECT_TRUE(c.decodeString("n").isNull());
        EXPECT_TRUE(c.decodeString("d").isNull());
        EXPECT_TRUE(c.decodeData("s").isNull());
        EXPECT_FALSE(c.decodeColor("f"));
        EXPECT_FALSE(c.decodeFont("c"));
        EXPECT_FALSE(c.decodeImage("c"));
        EXPECT_FALSE(c.decodeAttributedText("s"));
        EXPECT_FALSE(c.decodeObject("c"));
        EXPECT_TRUE(c.decodeArray("c").empty());
        EXPECT_EQ(c.decodeRect("s"), QRectF());
        EXPECT_FALSE(c.containsValueForKey("missing"));
        EXPECT_FALSE(c.decodeBool("missing"));
        EXPECT_TRUE(c.containsValueForKey("s"));
        // Integers and reals are read as one another.
        EXPECT_EQ(c.decodeDouble("n"), 5.0);
        EXPECT_EQ(c.decodeFloat("n"), 5.0f);
        EXPECT_EQ(c.decodeInt32("r"), 7);
        EXPECT_EQ(c.decodeInt64("r"), 7);
        EXPECT_TRUE(c.decodeBool("n"));
        EXPECT_EQ(c.decodeColor("c"), QColor(Qt::red));
      });
  EXPECT_TRUE(error.isEmpty()) << error.toStdString();

  // Numbers that do not fit the type asked fail the archive.
  EXPECT_EQ(probe([](KeyedArchiver &c) { c.encodeInt64("wide", qint64(1) << 40); },
                  [](KeyedUnarchiver &c) { c.decodeInt32("wide"); }),
            "The archive value \"wide\" does not fit a 32-bit integer.");
  EXPECT_EQ(probe([](KeyedArchiver &c) { c.encodeDouble("huge", 1e300); },
                  [](KeyedUnarchiver &c) { c.decodeFloat("huge"); }),
            "The archive value \"huge\" does not fit a 32-bit float.");
  EXPECT_EQ(probe([](KeyedArchiver &c) { c.encodeDouble("huge", 1e300); },
                  [](KeyedUnarchiver &c) { c.decodeInt64("huge"); }),
            "The archive value \"huge\" does not fit a 64-bit integer.");
  // A factory can refuse what it reads; the first error is kept.
  EXPECT_EQ(probe([](KeyedArchiver &) {},
                  [](KeyedUnarchiver &c) {
                    c.fail("first");
                    c.fail("second");
                  }),
            "first");
}

TEST(KeyedArchive, ColoursAndFontsCanBeTheRootOfAnArchive) {
  const QColor half = QColor::fromRgbF(1.0f, 0.5f, 0.0f, 0.25f);
  KeyedUnarchiver colour(KeyedArchiver::archiveRootColor(half));
  EXPECT_EQ(colour.decodeRootColor(), half);
  EXPECT_FALSE(colour.failed());

  const ArchivedFont font{"TimesNewRomanPS-ItalicMT", 14.0};
  KeyedUnarchiver fontCoder(KeyedArchiver::archiveRootFont(font));
  const std::optional<ArchivedFont> back = fontCoder.decodeRootFont();
  ASSERT_TRUE(back);
  EXPECT_EQ(back->postScriptName, "TimesNewRomanPS-ItalicMT");
  EXPECT_EQ(back->pointSize, 14.0);

  // An absent value is a nil root; no object can be read from it.
  KeyedUnarchiver nil(KeyedArchiver::archiveRootColor(std::nullopt));
  EXPECT_FALSE(nil.decodeRootColor());
  EXPECT_FALSE(nil.failed());
  EXPECT_FALSE(nil.decodeRootObject());
  EXPECT_TRUE(nil.failed());

  // A font where a colour is expected is an error, not a missing colour.
  KeyedUnarchiver wrong(KeyedArchiver::archiveRootFont(font));
  EXPECT_FALSE(wrong.decodeRootColor());
  EXPECT_EQ(wrong.error(), "The archive holds no colour.");
}

TEST(KeyedArchive, APictureWithADamagedResolutionIsStillArchived) {
  // A picture read from a damaged file may carry a negative resolution, which TIFF
  // cannot hold; it is written at 72 dpi (its size in points travels beside it).
  Sample sample;
  sample.image = QImage(4, 3, QImage::Format_ARGB32);
  sample.image.fill(Qt::red);
  sample.image.setDotsPerMeterY(-2835);
  QString error;
  const QByteArray bytes = KeyedArchiver::archiveRootObject(sample, &error);
  EXPECT_FALSE(bytes.isEmpty()) << error.toStdString();
}

TEST(KeyedArchive, RefusesToWriteAnObjectInsideItself) {
  Sample loop;
  Sample *self = &loop;
  loop.child.reset(self);
  QString error;
  EXPECT_TRUE(KeyedArchiver::archiveRootObject(loop, &error).isEmpty());
  (void)loop.child.release();
  EXPECT_EQ(error, "The object of class \"QLNText\" contains itself and cannot be archived.");
}

namespace {

// A parsed archive that a test damages entry by entry.
struct Damage {
  PlistValue archive;

  explicit Damage(const QByteArray &bytes) : archive(*parsePropertyList(bytes)) {}

  std::vector<PlistValue> objects() const { return archive.value("$objects").items(); }

  // The index of the first entry that is an object of class `name`, or of the class
  // description itself when `description` is set.
  qsizetype find(const QString &name, bool description = false) const {
    const std::vector<PlistValue> all = objects();
    for (size_t i = 0; i < all.size(); ++i) {
      const PlistValue &cls = all[i].value("$class").isUid() ? all[all[i].value("$class").toUid()] : all[i];
      if (cls.value("$classname").toString() == name && (description == !all[i].contains("$class")))
        return qsizetype(i);
    }
    ADD_FAILURE() << "no " << name.toStdString();
    return 0;
  }

  qsizetype root() const { return qsizetype(archive.value("$top").value("root").toUid()); }

  Damage &set(qsizetype index, const PlistValue &value) {
    std::vector<PlistValue> all = objects();
    all[size_t(index)] = value;
    archive.insert("$objects", PlistValue::array(std::move(all)));
    return *this;
  }

  Damage &setKey(qsizetype index, const QString &key, const PlistValue &value) {
    PlistValue entry = objects()[size_t(index)];
    entry.insert(key, value);
    return set(index, entry);
  }

  qsizetype add(const PlistValue &value) {
    std::vector<PlistValue> all = objects();
    all.push_back(value);
    archive.insert("$objects", PlistValue::array(std::move(all)));
    return qsizetype(objects().size() - 1);
  }

  QByteArray bytes() const { return toBinaryPropertyList(archive); }
};

// A TIFF header that claims a picture of width × height pixels (and holds none).
QByteArray claimedTiff(quint32 width, quint32 height) {
  QByteArray tiff("II*\0\x08\0\0\0", 8);
  auto entry = [&](quint16 tag, quint16 type, quint32 value) {
    char e[12];
    qToLittleEndian(tag, e);
    qToLittleEndian(type, e + 2);
    qToLittleEndian(quint32(1), e + 4);
    if (type == 3)
      qToLittleEndian(quint32(quint16(value)), e + 8);
    else
      qToLittleEndian(value, e + 8);
    tiff.append(e, 12);
  };
  char count[2];
  qToLittleEndian(quint16(9), count);
  tiff.append(count, 2);
  entry(256, 4, width);
  entry(257, 4, height);
  entry(258, 3, 8);
  entry(259, 3, 1);
  entry(262, 3, 1);
  entry(273, 4, 0);
  entry(277, 3, 1);
  entry(278, 4, height);
  entry(279, 4, 1);
  tiff.append(QByteArray(4, '\0'));
  return tiff;
}

}  // namespace

TEST(KeyedArchive, HostileArchivesGiveErrors) {
  const QByteArray good = KeyedArchiver::archiveRootObject(fullSample());
  ASSERT_TRUE(decodeSample(good));
  const Damage base(good);
  const qsizetype root = base.root();
  const qsizetype color = base.find("NSColor");
  const qsizetype font = base.find("NSFont");
  const qsizetype image = base.find("NSImage");
  const qsizetype rep = base.find("NSBitmapImageRep");
  const qsizetype text = base.find("NSMutableAttributedString");
  const qsizetype child = qsizetype(base.objects()[size_t(root)].value("child").toUid());
  const qsizetype aString = qsizetype(base.objects()[size_t(root)].value("text").toUid());

  PlistValue notArchive = PlistValue::dict();
  notArchive.insert("$archiver", "SomethingElse");

  // A data object whose length claims 100 MiB: the TIFF of a noisy picture, long
  // enough for a four-byte length, with that length raised.
  Sample noisy;
  noisy.image = QImage(300, 300, QImage::Format_RGB32);
  QRandomGenerator random(7);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 300; ++x)
      noisy.image.setPixel(x, y, random.generate());
  QByteArray claim = KeyedArchiver::archiveRootObject(noisy);
  const qsizetype tiffAt = claim.indexOf(QByteArray("II*\0", 4));
  ASSERT_GT(tiffAt, 6);
  ASSERT_EQ(claim.mid(tiffAt - 6, 2), QByteArray("\x4F\x12"));
  claim.replace(tiffAt - 4, 4, QByteArray("\x06\x40\x00\x00", 4));

  const struct {
    const char *what;
    QByteArray bytes;
    const char *error;
  } cases[] = {
      {"truncated", good.left(good.size() / 2), "The archive cannot be read."},
      {"not a dict", toBinaryPropertyList(PlistValue::array()), "The data is not a keyed archive."},
      {"other archiver", toBinaryPropertyList(notArchive), "The data is not a keyed archive."},
      {"version", {}, "The keyed archive has an unsupported version."},
      {"$top a string", {}, "it names no root object"},
      {"root not a UID", {}, "it names no root object"},
      {"root out of range", {}, "its root object does not exist"},
      {"$objects a dict", {}, "its object list is missing or invalid"},
      {"$objects[0] not $null", Damage(good).set(0, "nothing").bytes(), "its object list is missing or invalid"},
      {"UID out of range", Damage(good).setKey(root, "text", PlistValue::uid(99999)).bytes(),
       "a reference points past the end of its object list"},
      {"cycle", Damage(good).setKey(child, "child", PlistValue::uid(quint64(root))).bytes(),
       "an object contains itself"},
      {"unexpected root class", Damage(good).setKey(base.find("QLNText", true), "$classname", "NSTask").bytes(),
       "unexpected class \"NSTask\""},
      {"unexpected colour class", Damage(good).setKey(base.find("NSColor", true), "$classname", "Evil").bytes(),
       "unexpected class \"Evil\""},
      {"$class a string", Damage(good).setKey(root, "$class", "QLNText").bytes(), "an object has no valid class"},
      {"$class of a string", Damage(good).setKey(root, "$class", PlistValue::uid(quint64(aString))).bytes(),
       "an object has no valid class"},
      {"$classes a string", Damage(good).setKey(base.find("QLNText", true), "$classes", "QLNText").bytes(),
       "a class description is invalid"},
      {"NSRGB a string", Damage(good).setKey(color, "NSRGB", PlistValue::uid(quint64(aString))).bytes(),
       "a colour has no readable components"},
      {"NSRGB garbage", Damage(good).setKey(color, "NSRGB", QByteArray("red green blue")).bytes(),
       "a colour has no readable components"},
      {"no colour space", Damage(good).setKey(color, "NSColorSpace", "RGB").bytes(), "a colour has no colour space"},
      {"NSName an integer", Damage(good).setKey(font, "NSName", 5).bytes(), "a font has no name"},
      {"font of 1e9 points", Damage(good).setKey(font, "NSSize", 1e9).bytes(), "a font has no valid size"},
      {"picture of 1e9 points", {}, "a picture has an invalid size"},
      {"TIFF claims 100000 x 100000", {}, "too large (100000 × 100000 pixels)"},
      {"TIFF garbage", Damage(good).setKey(rep, "NSTIFFRepresentation", QByteArray("II*\0garbage", 11)).bytes(),
       "a picture is not a readable TIFF image"},
      {"data claims 100 MiB", claim, "The archive cannot be read."},
      {"runs past the string", Damage(good).setKey(text, "NSAttributeInfo", QByteArray("\x64\x00", 2)).bytes(),
       "the runs of an attributed text do not fit its string"},
      {"run index out of range", Damage(good).setKey(text, "NSAttributeInfo", QByteArray("\x05\x09", 2)).bytes(),
       "the runs of an attributed text do not fit its string"},
      {"attributes an integer", Damage(good).setKey(text, "NSAttributes", 3).bytes(),
       "the attributes of a text are not a dictionary"},
      {"root a colour", {}, "where an object of the program was expected"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    QByteArray bytes = c.bytes;
    const QString what = QString::fromLatin1(c.what);
    Damage d(good);
    if (what == "version") {
      d.archive.insert("$version", 5);
      bytes = d.bytes();
    } else if (what == "$top a string") {
      d.archive.insert("$top", "root");
      bytes = d.bytes();
    } else if (what == "root not a UID") {
      PlistValue top = PlistValue::dict();
      top.insert("root", 1);
      d.archive.insert("$top", top);
      bytes = d.bytes();
    } else if (what == "root out of range" || what == "root a colour") {
      PlistValue top = PlistValue::dict();
      top.insert("root", PlistValue::uid(what == "root a colour" ? quint64(color) : 5000));
      d.archive.insert("$top", top);
      bytes = d.bytes();
    } else if (what == "$objects a dict") {
      d.archive.insert("$objects", PlistValue::dict());
      bytes = d.bytes();
    } else if (what == "picture of 1e9 points") {
      bytes = d.setKey(image, "NSSize", PlistValue::uid(quint64(d.add("{1e9, 1e9}")))).bytes();
    } else if (what == "TIFF claims 100000 x 100000") {
      bytes = d.setKey(rep, "NSTIFFRepresentation", PlistValue::uid(quint64(d.add(claimedTiff(100000, 100000))))).bytes();
    }
    ASSERT_FALSE(bytes.isEmpty());
    QString error;
    EXPECT_FALSE(decodeSample(bytes, &error));
    EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error.toStdString();
  }
}

namespace {

// A chain object: "next" and "other" may refer to further links.
struct Link final : KeyedArchivable {
  std::unique_ptr<KeyedArchivable> next, other;
  QString archiveClassName() const override { return QStringLiteral("Link"); }
  void encodeWithCoder(KeyedArchiver &) const override {}
  static std::unique_ptr<KeyedArchivable> read(KeyedUnarchiver &c) {
    auto link = std::make_unique<Link>();
    link->next = c.decodeObject("next");
    link->other = c.decodeObject("other");
    return link;
  }
};

// An archive of `count` links; link i refers to link i + 1 under "next", and under
// "other" too when `twice` is set.
QByteArray chain(int count, bool twice) {
  std::vector<PlistValue> objects{PlistValue("$null")};
  PlistValue cls = PlistValue::dict();
  cls.insert("$classname", "Link");
  cls.insert("$classes", PlistValue::array({PlistValue("Link"), PlistValue("NSObject")}));
  objects.push_back(cls);
  for (int i = 0; i < count; ++i) {
    PlistValue link = PlistValue::dict();
    link.insert("$class", PlistValue::uid(1));
    if (i + 1 < count) {
      link.insert("next", PlistValue::uid(quint64(i) + 3));
      if (twice)
        link.insert("other", PlistValue::uid(quint64(i) + 3));
    }
    objects.push_back(link);
  }
  PlistValue top = PlistValue::dict();
  top.insert("root", PlistValue::uid(2));
  PlistValue archive = PlistValue::dict();
  archive.insert("$version", 100000);
  archive.insert("$archiver", "NSKeyedArchiver");
  archive.insert("$top", top);
  archive.insert("$objects", PlistValue::array(std::move(objects)));
  return toBinaryPropertyList(archive);
}

QString decodeChain(const QByteArray &bytes) {
  KeyedUnarchiver coder(bytes);
  coder.registerClass("Link", &Link::read);
  const bool decoded = coder.decodeRootObject() != nullptr;
  EXPECT_EQ(decoded, coder.error().isEmpty());
  return coder.error();
}

}  // namespace

TEST(KeyedArchive, NestingAndSharedReferencesAreCapped) {
  EXPECT_EQ(decodeChain(chain(60, false)), "");
  EXPECT_EQ(decodeChain(chain(100, false)), "The archive nests objects deeper than 64 levels.");
  // 40 links each referring to the next twice would be read 2^40 times.
  QElapsedTimer timer;
  timer.start();
  EXPECT_EQ(decodeChain(chain(40, true)), "The archive refers to objects more than 200000 times.");
  EXPECT_LT(timer.elapsed(), 30000);
}

TEST(KeyedArchive, RandomDamageNeverCrashes) {
  Sample small = fullSample();
  small.image = picture();
  const QByteArray good = KeyedArchiver::archiveRootObject(small);
  const std::vector<PlistValue> objects = Damage(good).objects();
  QRandomGenerator random(1234);
  QElapsedTimer timer;
  timer.start();
  int decoded = 0, rounds = 0;
  for (; rounds < damageRounds(4000) && timer.elapsed() < 60000; ++rounds) {
    QByteArray bytes;
    if (rounds % 2 == 0) {
      // Bytes flipped, removed or inserted anywhere.
      bytes = good;
      for (int e = 1 + int(random.bounded(4)); e > 0; --e) {
        const qsizetype at = qsizetype(random.bounded(quint32(bytes.size())));
        switch (random.bounded(3)) {
        case 0: bytes[at] = char(random.bounded(256)); break;
        case 1: bytes.remove(at, 1); break;
        default: bytes.insert(at, char(random.bounded(256))); break;
        }
      }
    } else {
      // A key of some entry given a random UID, number, string or data.
      Damage d(good);
      for (int e = 1 + int(random.bounded(3)); e > 0; --e) {
        const qsizetype index = qsizetype(random.bounded(quint32(objects.size())));
        const PlistValue &entry = objects[size_t(index)];
        if (!entry.isDict() || entry.size() == 0)
          continue;
        const QString key = entry.keys()[qsizetype(random.bounded(quint32(entry.size())))];
        const PlistValue values[] = {PlistValue::uid(random.bounded(quint32(objects.size() + 2))),
                                     PlistValue(int(random.bounded(10)) - 2), PlistValue("{1, 2}"),
                                     PlistValue(QByteArray("0 0 0")), PlistValue::array()};
        d.setKey(index, key, values[random.bounded(5)]);
      }
      bytes = d.bytes();
    }
    QString error;
    if (decodeSample(bytes, &error))
      ++decoded;
    else
      EXPECT_FALSE(error.isEmpty());
  }
  EXPECT_GT(rounds, 500);
  EXPECT_GT(decoded, 0);
}

// ---- Hostile numbers, byte fields, strings with NULs --------------------------------------

TEST(KeyedArchive, NumbersThatAreNotFiniteReadAsMissing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const QString error = probe(
      [&](KeyedArchiver &c) {
        c.encodeDouble("nan", nan);
        c.encodeDouble("inf", inf);
        c.encodeDouble("-inf", -inf);
        c.encodeFloat("finf", std::numeric_limits<float>::infinity());
        c.encodeDouble("fine", 2.5);
        c.encodeString("rect", "{{nan, 1}, {inf, -inf}}");
        c.encodeString("rect2", "{{1e999, 2}, {3, -1E+400}}");
        c.encodeString("rect3", "{{NaN, +Infinity}, {+4, 1e-999}}");
        c.encodeString("point", "{-infinity, 7}");
        c.encodeString("size", "{INF, nan}");
        c.encodeString("garbage", "{nanny, 7}");
        c.encodeRect("fineRect", QRectF(1, 2, 3, 4));
      },
      [](KeyedUnarchiver &c) {
        for (const char *key : {"nan", "inf", "-inf", "finf"}) {
          SCOPED_TRACE(key);
          EXPECT_TRUE(c.containsValueForKey(key));
          EXPECT_EQ(c.decodeDouble(key), 0.0);
          EXPECT_EQ(c.decodeFloat(key), 0.0f);
          EXPECT_EQ(c.decodeInt32(key), 0);
          EXPECT_EQ(c.decodeInt64(key), 0);
          EXPECT_FALSE(c.decodeBool(key));
        }
        EXPECT_EQ(c.decodeDouble("fine"), 2.5);
        EXPECT_EQ(c.decodeRect("rect"), QRectF(0, 1, 0, 0));
        EXPECT_EQ(c.decodeRect("rect2"), QRectF(0, 2, 3, 0));
        EXPECT_EQ(c.decodeRect("rect3"), QRectF(0, 0, 4, 0));
        EXPECT_EQ(c.decodePoint("point"), QPointF(0, 7));
        EXPECT_EQ(c.decodeSize("size"), QSizeF(0, 0));
        EXPECT_EQ(c.decodePoint("garbage"), QPointF());   // unreadable: missing, as before
        EXPECT_EQ(c.decodeRect("fineRect"), QRectF(1, 2, 3, 4));
      });
  EXPECT_TRUE(error.isEmpty()) << error.toStdString();

  // Finite numbers too large for the type asked still fail the archive.
  EXPECT_EQ(probe([](KeyedArchiver &c) { c.encodeDouble("huge", -1e300); },
                  [](KeyedUnarchiver &c) { c.decodeFloat("huge"); }),
            "The archive value \"huge\" does not fit a 32-bit float.");

  // Inside values: a kerning that is not finite is no kerning; a picture whose size in
  // points is not finite takes its pixel size.
  Sample sample;
  TextRun run;
  run.kerning = nan;
  run.font = ArchivedFont{"Arial", 12};
  run.length = 5;
  sample.attributed = AttributedText{"Sorry", {run}};
  sample.image = picture();
  sample.imagePoints = QSizeF(1.5, 1);
  Damage damage(KeyedArchiver::archiveRootObject(sample));
  const qsizetype image = damage.find("NSImage");
  damage.setKey(image, "NSSize", PlistValue::uid(quint64(damage.add("{nan, inf}"))));
  QString why;
  const std::unique_ptr<Sample> back = decodeSample(damage.bytes(), &why);
  ASSERT_TRUE(back) << why.toStdString();
  ASSERT_TRUE(back->attributed);
  ASSERT_EQ(back->attributed->runs.size(), 1);
  EXPECT_FALSE(back->attributed->runs[0].kerning);
  EXPECT_EQ(back->attributed->runs[0].font, run.font);
  EXPECT_EQ(back->imagePoints, QSizeF(3, 2));
  EXPECT_FALSE(back->image.isNull());

  // A font size that is not finite is a font without a valid size, as before.
  Sample fonts;
  fonts.font = ArchivedFont{"Arial", 12};
  Damage badFont(KeyedArchiver::archiveRootObject(fonts));
  badFont.setKey(badFont.find("NSFont"), "NSSize", inf);
  EXPECT_FALSE(decodeSample(badFont.bytes(), &why));
  EXPECT_TRUE(why.contains("a font has no valid size")) << why.toStdString();
}

TEST(KeyedArchive, ColourComponentsAreWrittenInlineAndOldArchivesStillOpen) {
  Sample sample;
  sample.color = QColor::fromRgbF(1, 0.5, 0, 1);
  sample.attributed = attributedSample();
  const QByteArray bytes = KeyedArchiver::archiveRootObject(sample);
  const QByteArray rootColor = KeyedArchiver::archiveRootColor(QColor::fromRgbF(0.25, 0.5, 0.75, 0.5));
  const QString check = QStringLiteral(R"(
import plistlib, sys
a = plistlib.loads(sys.stdin.buffer.read())
objs = a['$objects']
colours = [x for x in objs if isinstance(x, dict) and 'NSColorSpace' in x]
assert colours, objs
for c in colours:
    assert type(c['NSRGB']) is bytes, c
# no data entry is left over for the colours: only the run list of the text, if any
assert [x for x in objs if isinstance(x, bytes)] == [bytes.fromhex(x) for x in sys.argv[1:]], objs
assert colours[0]['NSRGB'].endswith(b'\0')
print(colours[0]['NSRGB'][:-1].decode('ascii'))
)");
  EXPECT_EQ(runPython(check, {"050002010600"}, bytes).trimmed(), "1 0.5 0 1");
  EXPECT_EQ(runPython(check, {}, rootColor).trimmed(), "0.25 0.5 0.75 0.5");

  // The old form, the components as a UID of a data entry, reads as the same colour,
  // whether written by another writer or by ours before.
  const std::unique_ptr<Sample> now = decodeSample(bytes);
  ASSERT_TRUE(now && now->color);
  Damage old(bytes);
  for (qsizetype i = 0; i < qsizetype(old.objects().size()); ++i) {
    const PlistValue entry = old.objects()[size_t(i)];
    if (entry.value("NSRGB").isData())
      old.setKey(i, "NSRGB", PlistValue::uid(quint64(old.add(entry.value("NSRGB")))));
  }
  ASSERT_NE(old.bytes(), bytes);
  QString error;
  const std::unique_ptr<Sample> before = decodeSample(old.bytes(), &error);
  ASSERT_TRUE(before) << error.toStdString();
  EXPECT_EQ(before->color, now->color);
  EXPECT_EQ(before->color, sample.color);
  EXPECT_EQ(before->attributed, now->attributed);
  // Saved again, it is in the new form.
  EXPECT_EQ(KeyedArchiver::archiveRootObject(*before), bytes);

  Damage oldRoot(rootColor);
  const qsizetype colour = oldRoot.find("NSColor");
  oldRoot.setKey(colour, "NSRGB",
                 PlistValue::uid(quint64(oldRoot.add(oldRoot.objects()[size_t(colour)].value("NSRGB")))));
  KeyedUnarchiver coder(oldRoot.bytes());
  EXPECT_EQ(coder.decodeRootColor(), QColor::fromRgbF(0.25, 0.5, 0.75, 0.5));
  EXPECT_FALSE(coder.failed()) << coder.error().toStdString();

  // Grey components inline, and wrapped in a data object, read too.
  const QByteArray grey = runPython(QStringLiteral(R"(
import plistlib, sys
from plistlib import UID
objs = ['$null',
  {'$class': UID(2), 'color': UID(3), 'noColor': UID(4)},
  {'$classname': 'QLNText', '$classes': ['QLNText', 'NSObject']},
  {'$class': UID(5), 'NSColorSpace': 3, 'NSWhite': b'0.5\x00'},
  {'$class': UID(5), 'NSColorSpace': 1, 'NSRGB': UID(6)},
  {'$classname': 'NSColor', '$classes': ['NSColor', 'NSObject']},
  {'$class': UID(7), 'NS.data': b'0 1 0 1\x00'},
  {'$classname': 'NSMutableData', '$classes': ['NSMutableData', 'NSData', 'NSObject']},
]
archive = {'$version': 100000, '$archiver': 'NSKeyedArchiver', '$top': {'root': UID(1)}, '$objects': objs}
sys.stdout.buffer.write(plistlib.dumps(archive, fmt=plistlib.FMT_BINARY))
)"));
  const std::unique_ptr<Sample> greys = decodeSample(grey, &error);
  ASSERT_TRUE(greys) << error.toStdString();
  EXPECT_EQ(greys->color, QColor::fromRgbF(0.5, 0.5, 0.5, 1));
  EXPECT_EQ(greys->noColor, QColor::fromRgbF(0, 1, 0, 1));
}

namespace {

// Encodes `text`, decodes it, and answers what came back.
std::optional<AttributedText> throughArchive(const AttributedText &text, QByteArray *bytes = nullptr) {
  Sample sample;
  sample.attributed = text;
  sample.text = text.string;
  QString error;
  const QByteArray archive = KeyedArchiver::archiveRootObject(sample, &error);
  EXPECT_FALSE(archive.isEmpty()) << error.toStdString();
  if (bytes)
    *bytes = archive;
  const std::unique_ptr<Sample> back = decodeSample(archive, &error);
  EXPECT_TRUE(back) << error.toStdString();
  if (!back)
    return std::nullopt;
  EXPECT_EQ(back->text, back->attributed ? back->attributed->string : QString());
  return back->attributed;
}

}  // namespace

TEST(KeyedArchive, TextWithNulsAndOddCharactersSurvivesEverySave) {
  const QString nul(QChar(u'\0'));
  TextRun bold;
  bold.font = ArchivedFont{"Helvetica-Bold", 18};
  bold.color = QColor(Qt::red);
  struct Case {
    const char *what;
    QString string;
    QString clean = {};   // what it reads back as, when not the same
  };
  QString controls;
  for (char16_t c = 1; c < 0x20; ++c)
    controls += QChar(c);
  const Case cases[] = {
      {"NUL in ASCII", u"Sorry"_qs + nul + u"friend"_qs},
      {"NUL in UTF-16", u"Désolé"_qs + nul + u" 🙏"_qs + nul},
      {"only NULs", nul + nul + nul},
      {"control characters", controls + u"\x7f"_qs},
      {"lone surrogates", QString(QChar(0xD800)) + u"ab"_qs + QChar(0xDC00) + nul + u"🙏"_qs,
       QString(QChar(0xFFFD)) + u"ab"_qs + QChar(0xFFFD) + nul + u"🙏"_qs},
      {"non-characters", QString(QChar(0xFFFE)) + QChar(0xFFFF) + nul},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    AttributedText text{c.string, {}};
    bold.start = 1;
    bold.length = c.string.size() - 2;   // runs counting the whole string, NULs included
    text.runs.append(bold);
    QByteArray first, second, third;
    const std::optional<AttributedText> once = throughArchive(text, &first);
    ASSERT_TRUE(once);
    ASSERT_EQ(once->string.size(), c.string.size());
    ASSERT_EQ(once->runs.size(), 3);
    EXPECT_EQ(once->runs[1].start, 1);
    EXPECT_EQ(once->runs[1].length, c.string.size() - 2);
    // Whole, NULs included; a lone surrogate is one U+FFFD.
    EXPECT_EQ(once->string, c.clean.isNull() ? c.string : c.clean);
    // What decodes encodes and decodes again, to the same value and the same bytes.
    const std::optional<AttributedText> twice = throughArchive(*once, &second);
    ASSERT_TRUE(twice);
    EXPECT_EQ(*twice, *once);
    const std::optional<AttributedText> thrice = throughArchive(*twice, &third);
    ASSERT_TRUE(thrice);
    EXPECT_EQ(*thrice, *twice);
    EXPECT_EQ(third, second);
    if (c.clean.isNull()) {
      EXPECT_EQ(second, first);
    }
  }

  // plistlib finds the whole string in the archive.
  Sample sample;
  sample.text = u"Sorry"_qs + nul + u"friend"_qs;
  EXPECT_EQ(runPython(QStringLiteral(R"(
import plistlib, sys
a = plistlib.loads(sys.stdin.buffer.read())
objs = a['$objects']
assert objs[objs[a['$top']['root'].data]['text'].data] == 'Sorry\0friend'
print('ok')
)"), {}, KeyedArchiver::archiveRootObject(sample)).trimmed(), "ok");
}

TEST(KeyedArchive, WhateverTextDecodesEncodesAndDecodesAgain) {
  // Random UTF-16 units, NULs, control characters and lone surrogates among them, and
  // random runs: the first decode may replace lone surrogates, after that nothing moves.
  QRandomGenerator random(4711);
  const char16_t pool[] = {0, 1, 0x1F, u'a', u' ', 0x7F, 0xE9, 0x2013, 0xD83D, 0xDE4F, 0xD800, 0xDFFF, 0xFFFE, 0xFFFF, 0xFFFD};
  for (int round = 0; round < 200; ++round) {
    SCOPED_TRACE(round);
    QString string;
    for (int i = int(random.bounded(40)); i > 0; --i)
      string += QChar(pool[random.bounded(quint32(std::size(pool)))]);
    AttributedText text{string, {}};
    for (int i = int(random.bounded(4)); i > 0; --i) {
      TextRun run;
      run.start = qsizetype(random.bounded(quint32(string.size() + 1)));
      run.length = qsizetype(random.bounded(quint32(string.size() + 1)));
      run.font = ArchivedFont{i % 2 ? "Arial" : "Helvetica", double(8 + i)};
      if (i == 2)
        run.kerning = 0.5;
      text.runs.append(run);
    }
    const std::optional<AttributedText> once = throughArchive(text);
    ASSERT_TRUE(once);
    EXPECT_EQ(once->string.size(), string.size());
    QByteArray second, third;
    const std::optional<AttributedText> twice = throughArchive(*once, &second);
    ASSERT_TRUE(twice);
    EXPECT_EQ(*twice, *once);
    const std::optional<AttributedText> thrice = throughArchive(*twice, &third);
    ASSERT_TRUE(thrice);
    EXPECT_EQ(*thrice, *twice);
    EXPECT_EQ(third, second);
  }
}
