// Property lists: our XML and binary output read by Python's plistlib, plistlib's
// output read by us, and hostile input that must give an error, never a crash.

#include "platform/PropertyList.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

const QString kSorry = QStringLiteral("Entschuldigung – désolé 🙏");

QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
  return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

// One of every kind, keys in a deliberately unsorted order.
PlistValue sample(bool withUid) {
  PlistValue nested = PlistValue::dict();
  nested.insert("zeta", 1);
  nested.insert("alpha", PlistValue::array({PlistValue("x"), PlistValue(2.5)}));
  PlistValue d = PlistValue::dict();
  d.insert("text", kSorry);
  d.insert("empty", QString());
  d.insert("zero", 0);
  d.insert("negative", -5);
  d.insert("min", qint64(INT64_MIN));
  d.insert("max", qint64(INT64_MAX));
  d.insert("huge", PlistValue::fromUnsigned(18446744073709551615ULL));
  d.insert("tenth", 0.1);
  d.insert("whole", 1.0);
  d.insert("small", -1e-10);
  d.insert("big", 1e300);
  d.insert("yes", true);
  d.insert("no", false);
  d.insert("bytes", QByteArray("\x00\x01\xfe\xff", 4));
  d.insert("nobytes", QByteArray(""));
  d.insert("when", utc(2023, 3, 8, 20, 26, 40));
  d.insert("before", utc(1900, 1, 1, 0, 0, 0));
  d.insert("after", utc(2100, 1, 1, 12, 0, 0));
  d.insert("list", PlistValue::array());
  d.insert("map", PlistValue::dict());
  d.insert("nested", nested);
  if (withUid)
    d.insert("uid", PlistValue::uid(7));
  return d;
}

// The same values as Python sees them.
const char *kPythonSample = R"(
import datetime, plistlib
expected = {
  'text': 'Entschuldigung – désolé 🙏', 'empty': '', 'zero': 0, 'negative': -5,
  'min': -2**63, 'max': 2**63 - 1, 'huge': 2**64 - 1, 'tenth': 0.1, 'whole': 1.0,
  'small': -1e-10, 'big': 1e300, 'yes': True, 'no': False, 'bytes': b'\x00\x01\xfe\xff',
  'nobytes': b'', 'when': datetime.datetime(2023, 3, 8, 20, 26, 40),
  'before': datetime.datetime(1900, 1, 1), 'after': datetime.datetime(2100, 1, 1, 12),
  'list': [], 'map': {}, 'nested': {'zeta': 1, 'alpha': ['x', 2.5]},
}
)";

}  // namespace

TEST(PropertyList, PlistlibReadsWhatWeWrite) {
  const QString check = QString::fromUtf8(kPythonSample) + QStringLiteral(R"(
import sys
data = sys.stdin.buffer.read()
got = plistlib.loads(data)
if sys.argv[1] == 'binary':
    assert data.startswith(b'bplist00')
    assert got.pop('uid') == plistlib.UID(7)
else:
    assert data.startswith(b'<?xml')
for key in expected:
    assert got[key] == expected[key] and type(got[key]) is type(expected[key]), (key, got[key])
assert list(got) == list(expected), list(got)
assert list(got['nested']) == ['zeta', 'alpha']
print('ok')
)");
  const QByteArray xml = toXmlPropertyList(sample(false));
  const QByteArray binary = toBinaryPropertyList(sample(true));
  ASSERT_FALSE(xml.isEmpty());
  ASSERT_FALSE(binary.isEmpty());
  EXPECT_EQ(runPython(check, {"xml"}, xml).trimmed(), "ok");
  EXPECT_EQ(runPython(check, {"binary"}, binary).trimmed(), "ok");
}

TEST(PropertyList, WeReadWhatPlistlibWrites) {
  const QString write = QString::fromUtf8(kPythonSample) + QStringLiteral(R"(
import sys
if sys.argv[1] == 'binary':
    expected['uid'] = plistlib.UID(7)
    expected['when'] = datetime.datetime(2023, 3, 8, 20, 26, 40, 250000)
    sys.stdout.buffer.write(plistlib.dumps(expected, fmt=plistlib.FMT_BINARY, sort_keys=False))
else:
    sys.stdout.buffer.write(plistlib.dumps(expected, sort_keys=False))
)");
  for (const char *format : {"xml", "binary"}) {
    SCOPED_TRACE(format);
    const bool binary = QByteArray(format) == "binary";
    QString error;
    const std::optional<PlistValue> got = parsePropertyList(runPython(write, {format}), &error);
    ASSERT_TRUE(got) << error.toStdString();
    PlistValue expected = sample(binary);
    if (binary)
      expected.insert("when", utc(2023, 3, 8, 20, 26, 40, 250));   // binary dates keep fractions
    EXPECT_EQ(got->keys(), expected.keys());
    for (const QString &key : expected.keys())
      EXPECT_EQ(got->value(key), expected.value(key)) << key.toStdString();
    EXPECT_TRUE(got->value("huge").isUnsignedAboveInt64());
    EXPECT_EQ(got->value("min").toInt(), INT64_MIN);
    EXPECT_FALSE(got->value("empty").toString().isNull());
  }
}

TEST(PropertyList, RoundTripsThroughBothFormats) {
  for (bool binary : {false, true}) {
    SCOPED_TRACE(binary ? "binary" : "xml");
    const PlistValue value = sample(binary);
    const QByteArray bytes = binary ? toBinaryPropertyList(value) : toXmlPropertyList(value);
    const std::optional<PlistValue> back = parsePropertyList(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, value);
  }
  // A lone scalar is a property list too; binary dates keep milliseconds.
  const PlistValue date(utc(2024, 2, 29, 23, 59, 59, 125));
  EXPECT_EQ(parsePropertyList(toBinaryPropertyList(date)).value_or(PlistValue()), date);
}

TEST(PropertyList, ReadsNumbersUnderACommaLocale) {
  // libplist reads reals with strtod; a German locale must not turn "0.25" into 0.
  QTemporaryDir dir;
  QProcess localedef;
  localedef.start("localedef", {"-i", "de_DE", "-f", "UTF-8", dir.filePath("de_DE.UTF-8")});
  if (!localedef.waitForFinished(60000) || localedef.exitCode() != 0)
    GTEST_SKIP() << "cannot build a German locale here";
  const QByteArray oldPath = qgetenv("LOCPATH");
  qputenv("LOCPATH", dir.path().toLocal8Bit());
  const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
  ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
  const std::optional<PlistValue> real = parsePropertyList("<plist><real>0.25</real></plist>");
  const QByteArray xml = toXmlPropertyList(PlistValue(0.5));
  std::setlocale(LC_NUMERIC, previous.c_str());
  if (oldPath.isNull())
    qunsetenv("LOCPATH");
  else
    qputenv("LOCPATH", oldPath);
  ASSERT_TRUE(real);
  EXPECT_EQ(real->toReal(), 0.25);
  EXPECT_TRUE(xml.contains("<real>0.5</real>")) << xml.toStdString();
}

TEST(PropertyList, RefusesWhatCannotBeWritten) {
  PlistValue d = PlistValue::dict();
  d.insert("fine", 1);
  d.insert("hole", PlistValue());
  EXPECT_TRUE(toBinaryPropertyList(d).isEmpty());
  EXPECT_TRUE(toXmlPropertyList(PlistValue()).isEmpty());
  EXPECT_TRUE(toXmlPropertyList(PlistValue(QDateTime())).isEmpty());
}

namespace {

// Bytes of a string literal, NULs included.
template <size_t N>
QByteArray raw(const char (&s)[N]) {
  return QByteArray(s, qsizetype(N - 1));
}

// A binary property list assembled by hand: `objects` are the encoded objects,
// references and offsets one byte wide.
QByteArray bplist(const QList<QByteArray> &objects, int top = 0) {
  QByteArray out = "bplist00";
  QByteArray offsets;
  for (const QByteArray &object : objects) {
    offsets.append(char(out.size()));
    out.append(object);
  }
  const int table = int(out.size());
  out.append(offsets);
  QByteArray trailer(32, '\0');
  trailer[6] = 1;                          // offset size
  trailer[7] = 1;                          // reference size
  trailer[15] = char(objects.size());      // object count
  trailer[23] = char(top);                 // top object
  trailer[31] = char(table);               // offset table
  return out + trailer;
}

void expectError(const QByteArray &bytes, const char *expected) {
  QString error;
  EXPECT_FALSE(parsePropertyList(bytes, &error));
  EXPECT_TRUE(error.contains(QLatin1String(expected))) << error.toStdString();
}

}  // namespace

TEST(PropertyList, HostileInputGivesErrors) {
  expectError({}, "empty");
  expectError("hello", "not a property list");
  expectError("bplist01xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", "unsupported version");
  expectError("<plist><array><string>a</string>", "not a property list");
  expectError(QByteArray(PlistLimits::maxBytes + 1, ' '), "larger than 256 MiB");

  // Sanity of the hand-made lists: an array of two small integers reads.
  const QByteArray good = bplist({raw("\xA2\x01\x02"), raw("\x10\x05"), raw("\x10\x06")});
  ASSERT_TRUE(parsePropertyList(good));
  EXPECT_EQ(parsePropertyList(good)->at(1).toInt(), 6);

  expectError(bplist({raw("\xA1\x00")}), "contains itself");                         // array holds itself
  expectError(bplist({raw("\xA1\x01"), raw("\xA1\x00")}), "contains itself");             // two arrays hold each other
  expectError(bplist({raw("\xA1\x05")}), "past the last object");                    // reference out of range
  expectError(bplist({raw("\xA1\x00")}, 3), "top object does not exist");
  expectError(bplist({raw("\x4F\x13\x00\x00\x00\x00\x06\x40\x00\x00")}), "runs past");  // data claims 100 MiB
  expectError(bplist({raw("\x5F\x10")}), "length is invalid");                       // count without its integer
  expectError(bplist({raw("\xF0")}), "unknown type");
  // Dict keys must be strings; a NUL in one is kept like any other character.
  expectError(bplist({raw("\xD1\x01\x02"), raw("\x10\x05"), raw("\x09")}), "key is not a string");
  const std::optional<PlistValue> nulKey = parsePropertyList(bplist({raw("\xD1\x01\x02"), raw("\x53" "a" "\x00" "b"), raw("\x09")}));
  ASSERT_TRUE(nulKey);
  EXPECT_EQ(nulKey->keys(), QStringList{QString::fromUtf8("a\0b", 3)});
  ASSERT_TRUE(parsePropertyList(bplist({raw("\xD1\x01\x02"), raw("\x53" "a" "\x01" "b"), raw("\x09")})));
  // Kinds and sizes no writer uses.
  expectError(bplist({raw("\x00")}), "unknown type");                                // null
  expectError(bplist({raw("\x21\x00\x01")}), "real has an invalid size");
  expectError(bplist({raw("\x31\x00\x00\x00\x00\x00\x00\x00\x00")}), "date has an invalid size");
  expectError(bplist({raw("\x84\x01\x00\x00\x00\x00")}), "UID is out of range");     // 2^32
  expectError(bplist({raw("\x14\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00")}),
              "outside the 64-bit range");                                          // 2^64
  const std::optional<PlistValue> minus = parsePropertyList(
      bplist({raw("\x14\xff\xff\xff\xff\xff\xff\xff\xff\x80\x00\x00\x00\x00\x00\x00\x00")}));
  ASSERT_TRUE(minus);
  EXPECT_EQ(minus->toInt(), INT64_MIN);                                              // 128-bit -2^63
  const std::optional<PlistValue> single = parsePropertyList(bplist({raw("\x22\x3f\xc0\x00\x00")}));
  ASSERT_TRUE(single);
  EXPECT_EQ(single->toReal(), 1.5);                                                 // 4-byte real
  // A key that occurs twice keeps its first place and its last value.
  const std::optional<PlistValue> twice = parsePropertyList(
      bplist({raw("\xD3\x01\x02\x01\x03\x04\x05"), raw("\x51" "a"), raw("\x51" "b"), raw("\x10\x01"),
              raw("\x10\x02"), raw("\x10\x03")}));
  ASSERT_TRUE(twice);
  EXPECT_EQ(twice->keys(), QStringList({"a", "b"}));
  EXPECT_EQ(twice->value("a").toInt(), 3);
  expectError(good.left(good.size() - 1), "damaged");                           // trailer cut
  QByteArray badOffset = good;
  badOffset[8 + 3 + 2 + 2] = char(0x7F);                                         // first offset past the table
  expectError(badOffset, "outside the file");

  // Every truncation of a real list either reads or fails; none crashes.
  const QByteArray full = toBinaryPropertyList(sample(true));
  for (qsizetype n = 0; n < full.size(); ++n)
    parsePropertyList(full.left(n));
}

TEST(PropertyList, NestingAndExpansionAreCapped) {
  // XML nested far deeper than any real list (libplist alone would overflow its stack).
  const int deep = 200000;
  const QByteArray xml = "<plist>" + QByteArray("<array>").repeated(deep)
                         + QByteArray("</array>").repeated(deep) + "</plist>";
  expectError(xml, "nested deeper than 512");
  const QByteArray fine = "<plist>" + QByteArray("<array>").repeated(100)
                          + QByteArray("</array>").repeated(100) + "</plist>";
  EXPECT_TRUE(parsePropertyList(fine));

  // A binary chain of 600 arrays, each holding the next (references two bytes wide).
  QByteArray chain = "bplist00";
  QByteArray offsets;
  const int count = 600;
  for (int i = 0; i < count; ++i) {
    offsets.append(char(chain.size() >> 8)).append(char(chain.size() & 0xFF));
    if (i + 1 < count)
      chain.append("\xA1").append(char((i + 1) >> 8)).append(char((i + 1) & 0xFF));
    else
      chain.append("\xA0");
  }
  const int table = int(chain.size());
  chain.append(offsets);
  QByteArray trailer(32, '\0');
  trailer[6] = 2;
  trailer[7] = 2;
  trailer[14] = char(count >> 8);
  trailer[15] = char(count & 0xFF);
  trailer[30] = char(table >> 8);
  trailer[31] = char(table & 0xFF);
  expectError(chain + trailer, "nested deeper than 512");

  // 40 arrays each holding the next one twice: 2^40 values once expanded.
  QList<QByteArray> bomb;
  for (int i = 0; i < 40; ++i)
    bomb.append(QByteArray("\xA2") + char(i + 1) + char(i + 1));
  bomb.append("\x09");
  expectError(bplist(bomb), "more than 1000000 values");
}

TEST(PropertyList, RandomMutationsNeverCrash) {
  const QByteArray binary = toBinaryPropertyList(sample(true));
  const QByteArray xml = toXmlPropertyList(sample(false));
  QRandomGenerator random(20240229);
  int parsed = 0;
  for (int round = 0; round < 3000; ++round) {
    QByteArray bytes = round % 3 == 0 ? xml : binary;
    const int edits = 1 + int(random.bounded(6));
    for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
      const qsizetype at = qsizetype(random.bounded(quint32(bytes.size())));
      switch (random.bounded(4)) {
      case 0: bytes[at] = char(random.bounded(256)); break;
      case 1: bytes[at] = char(bytes[at] ^ (1 << random.bounded(8))); break;
      case 2: bytes.remove(at, 1 + qsizetype(random.bounded(8))); break;
      default: bytes.insert(at, char(random.bounded(256))); break;
      }
    }
    QString error;
    const std::optional<PlistValue> value = parsePropertyList(bytes, &error);
    if (value)
      ++parsed;
    else
      EXPECT_FALSE(error.isEmpty());
  }
  EXPECT_GT(parsed, 0);
}

// ---- The binary writer ---------------------------------------------------------------------

namespace {

// Big-endian unsigned number of `n` bytes at `at`.
quint64 readBE(const QByteArray &bytes, qsizetype at, int n) {
  quint64 v = 0;
  for (int i = 0; i < n; ++i)
    v = (v << 8) | uchar(bytes[at + i]);
  return v;
}

struct Trailer {
  int offsetSize = 0;
  int refSize = 0;
  quint64 objects = 0;
};

Trailer trailerOf(const QByteArray &bplist) {
  const qsizetype t = bplist.size() - 32;
  return {int(uchar(bplist[t + 6])), int(uchar(bplist[t + 7])), readBE(bplist, t + 8, 8)};
}

// Something shaped like a keyed archive of a card: many objects holding equal colour
// data, equal and distinct strings, UIDs, numbers and nested containers.
PlistValue archiveLike() {
  std::vector<PlistValue> objects{PlistValue("$null")};
  for (int i = 0; i < 40; ++i) {
    PlistValue object = PlistValue::dict();
    object.insert("$class", PlistValue::uid(quint64(1 + i % 3)));
    object.insert("NSRGB", QByteArray("0 0 0 1\0", 8));
    object.insert("NSWhite", QByteArray("1\0", 2));
    object.insert("NSName", i % 2 ? "Helvetica" : kSorry);
    object.insert("NSSize", 12.0 + i);
    object.insert("NSRect", PlistValue::array({PlistValue(i), PlistValue(i), PlistValue::dict()}));
    object.insert("NSDate", utc(2024, 1, 1, 0, 0, 0));
    objects.push_back(std::move(object));
  }
  PlistValue top = PlistValue::dict();
  top.insert("root", PlistValue::uid(1));
  PlistValue archive = PlistValue::dict();
  archive.insert("$version", 100000);
  archive.insert("$archiver", "NSKeyedArchiver");
  archive.insert("$top", top);
  archive.insert("$objects", PlistValue::array(std::move(objects)));
  return archive;
}

}  // namespace

TEST(PropertyList, BinaryOutputDependsOnlyOnTheValue) {
  // Equal values at different addresses must give the same file whatever the heap
  // looks like: allocate and free blocks of many sizes and read damaged lists between
  // writes, then build the value afresh and compare the bytes.
  const QByteArray expected = toBinaryPropertyList(archiveLike());
  ASSERT_TRUE(expected.startsWith("bplist00"));
  QRandomGenerator random(977);
  std::vector<std::unique_ptr<char[]>> kept(64);
  const QByteArray damaged = expected.left(expected.size() / 2);
  for (int round = 0; round < 300; ++round) {
    for (int i = 0; i < 32; ++i)
      kept[random.bounded(quint32(kept.size()))].reset(new char[1 + random.bounded(700)]);
    if (round % 3 == 0) {
      EXPECT_FALSE(parsePropertyList(damaged));
    }
    if (round % 5 == 0) {
      EXPECT_FALSE(parsePropertyList("<plist><array><data>AAAA</data>"));
    }
    const QByteArray again = toBinaryPropertyList(archiveLike());
    ASSERT_EQ(again, expected) << "round " << round;
  }
}

TEST(PropertyList, BinaryLayoutIsExact) {
  // Integers in their smallest width, ASCII and UTF-16 strings, a two-byte UID, a count
  // of 11 in the marker; references and offsets one byte wide.
  const PlistValue numbers = PlistValue::array(
      {PlistValue(0), PlistValue(255), PlistValue(256), PlistValue(65536), PlistValue(qint64(1) << 32),
       PlistValue(-1), PlistValue::fromUnsigned(~quint64(0)), PlistValue("a"), PlistValue(u"é"_qs),
       PlistValue::uid(300), PlistValue(true)});
  EXPECT_EQ(toBinaryPropertyList(numbers).toHex(' '),
            QByteArray("62 70 6c 69 73 74 30 30 "                           // bplist00
                       "ab 01 02 03 04 05 06 07 08 09 0a 0b "               // array of 11
                       "10 00 10 ff 11 01 00 12 00 01 00 00 "               // 0, 255, 256, 65536
                       "13 00 00 00 01 00 00 00 00 "                        // 2^32
                       "13 ff ff ff ff ff ff ff ff "                        // -1
                       "14 00 00 00 00 00 00 00 00 ff ff ff ff ff ff ff ff " // 2^64 - 1
                       "51 61 61 00 e9 81 01 2c 09 "                        // "a", "é", UID 300, true
                       "08 14 16 18 1b 20 29 32 43 45 48 4b "               // offsets
                       "00 00 00 00 00 00 01 01 00 00 00 00 00 00 00 0c "   // sizes, 12 objects
                       "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 4c")); // top 0, table at 76

  // Depth-first order: the dict, its keys, its values. The equal strings are one
  // object (a key and a value alike); the two equal empty dicts stay two.
  PlistValue dict = PlistValue::dict();
  dict.insert("k", "k");
  dict.insert("list", PlistValue::array({PlistValue("k"), PlistValue::dict(), PlistValue::dict()}));
  EXPECT_EQ(toBinaryPropertyList(dict).toHex(' '),
            QByteArray("62 70 6c 69 73 74 30 30 "
                       "d2 01 02 01 03 51 6b 54 6c 69 73 74 a3 01 04 05 d0 d0 "
                       "08 0d 0f 14 18 19 "
                       "00 00 00 00 00 00 01 01 00 00 00 00 00 00 00 06 "
                       "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 1a"));
}

namespace {

// Every kind of value at its limits, and `many` distinct strings that set the width of
// references. Built alike here and in kPythonLimits.
PlistValue limits(int many) {
  PlistValue d = PlistValue::dict();
  std::vector<PlistValue> ints;
  for (qint64 v : {qint64(0), qint64(1), qint64(14), qint64(15), qint64(255), qint64(256), qint64(65535),
                   qint64(65536), qint64(0xFFFFFFFFLL), qint64(1) << 32, qint64(-1), qint64(INT32_MIN),
                   qint64(INT64_MIN), qint64(INT64_MAX)})
    ints.emplace_back(v);
  ints.push_back(PlistValue::fromUnsigned(quint64(INT64_MAX) + 1));
  ints.push_back(PlistValue::fromUnsigned(~quint64(0)));
  d.insert("ints", PlistValue::array(ints));
  d.insert("reals", PlistValue::array({PlistValue(0.0), PlistValue(0.1), PlistValue(-1e-300),
                                       PlistValue(1.7976931348623157e308), PlistValue(2.5)}));
  QString sixteenPrayers;
  for (int i = 0; i < 8; ++i)
    sixteenPrayers += u"🙏"_qs;   // 8 characters, 16 UTF-16 units
  d.insert("strings", PlistValue::array({PlistValue(""), PlistValue("a"), PlistValue(QString(15, u'x')),
                                         PlistValue(QString(16, u'y')), PlistValue(kSorry),
                                         PlistValue(QString(15, QChar(0xE9))), PlistValue(sixteenPrayers),
                                         PlistValue("\x7f"), PlistValue(QString(300, QChar(0x4E2D)))}));
  QByteArray all(256, '\0');
  for (int i = 0; i < 256; ++i)
    all[i] = char(i);
  d.insert("data", PlistValue::array({PlistValue(QByteArray("")), PlistValue(QByteArray(1, '\0')), PlistValue(all)}));
  d.insert("dates", PlistValue::array({PlistValue(utc(2001, 1, 1, 0, 0, 0)),
                                       PlistValue(utc(2000, 12, 31, 23, 59, 59, 250)),
                                       PlistValue(utc(1999, 12, 31, 23, 59, 59, 1)),
                                       PlistValue(utc(2024, 2, 29, 12, 0, 0, 999)),
                                       PlistValue(utc(1900, 1, 1, 0, 0, 0)),
                                       PlistValue(utc(2100, 1, 1, 12, 0, 0, 500)),
                                       PlistValue(utc(1, 1, 1, 0, 0, 0)),
                                       PlistValue(utc(9999, 12, 31, 23, 59, 59))}));
  std::vector<PlistValue> uids;
  for (quint64 v : {0ULL, 255ULL, 256ULL, 65535ULL, 65536ULL, 0xFFFFFFFFULL})
    uids.push_back(PlistValue::uid(v));
  d.insert("uids", PlistValue::array(uids));
  d.insert("bools", PlistValue::array({PlistValue(true), PlistValue(false)}));
  d.insert("empty", PlistValue::array({PlistValue::array(), PlistValue::dict()}));
  std::vector<PlistValue> items;
  for (int i = 0; i < many; ++i)
    items.emplace_back(QStringLiteral("item %1").arg(i));
  d.insert("many", PlistValue::array(std::move(items)));
  return d;
}

const char *kPythonLimits = R"(
import datetime, plistlib, sys
def limits(many):
    return {
        'ints': [0, 1, 14, 15, 255, 256, 65535, 65536, 2**32 - 1, 2**32, -1, -2**31, -2**63,
                 2**63 - 1, 2**63, 2**64 - 1],
        'reals': [0.0, 0.1, -1e-300, 1.7976931348623157e308, 2.5],
        'strings': ['', 'a', 'x' * 15, 'y' * 16, 'Entschuldigung – désolé 🙏', 'é' * 15, '🙏' * 8,
                    '\x7f', '中' * 300],
        'data': [b'', b'\x00', bytes(range(256))],
        'dates': [datetime.datetime(2001, 1, 1), datetime.datetime(2000, 12, 31, 23, 59, 59, 250000),
                  datetime.datetime(1999, 12, 31, 23, 59, 59, 1000),
                  datetime.datetime(2024, 2, 29, 12, 0, 0, 999000), datetime.datetime(1900, 1, 1),
                  datetime.datetime(2100, 1, 1, 12, 0, 0, 500000), datetime.datetime(1, 1, 1),
                  datetime.datetime(9999, 12, 31, 23, 59, 59)],
        'uids': [plistlib.UID(v) for v in (0, 255, 256, 65535, 65536, 2**32 - 1)],
        'bools': [True, False],
        'empty': [[], {}],
        'many': ['item %d' % i for i in range(many)],
    }
def close(a, b):
    # plistlib computes dates through a double of seconds: allow a microsecond.
    if isinstance(a, datetime.datetime):
        return type(b) is datetime.datetime and abs((a - b).total_seconds()) < 2e-6
    if isinstance(a, (list, tuple)):
        return type(b) is type(a) and len(a) == len(b) and all(close(x, y) for x, y in zip(a, b))
    if isinstance(a, dict):
        return type(b) is dict and list(a) == list(b) and all(close(a[k], b[k]) for k in a)
    return type(a) is type(b) and a == b
expected = limits(int(sys.argv[2]))
if sys.argv[1] == 'read':
    got = plistlib.loads(sys.stdin.buffer.read())
    for key in expected:
        assert close(expected[key], got[key]), (key, got[key] if key != 'many' else len(got[key]))
    assert list(got) == list(expected)
    print('ok')
else:
    sys.stdout.buffer.write(plistlib.dumps(expected, fmt=plistlib.FMT_BINARY, sort_keys=False))
)";

// The fewest of 1, 2, 4 or 8 bytes that hold `v`.
int widthOf(quint64 v) {
  return v <= 0xFF ? 1 : v <= 0xFFFF ? 2 : v <= 0xFFFFFFFFULL ? 4 : 8;
}

}  // namespace

TEST(PropertyList, PlistlibAndWeReadEachOthersBinaryAtEveryWidth) {
  // 65 fixed objects plus `many` strings: one-, two- and four-byte references.
  for (const auto &[many, refSize] : {std::pair{10, 1}, std::pair{300, 2}, std::pair{70000, 4}}) {
    SCOPED_TRACE(many);
    const PlistValue value = limits(many);
    const QByteArray ours = toBinaryPropertyList(value);
    ASSERT_FALSE(ours.isEmpty());
    const Trailer trailer = trailerOf(ours);
    EXPECT_EQ(trailer.refSize, refSize);
    EXPECT_EQ(trailer.refSize, widthOf(trailer.objects - 1));
    const quint64 table = readBE(ours, ours.size() - 8, 8);
    const quint64 lastOffset = readBE(ours, qsizetype(table + (trailer.objects - 1) * quint64(trailer.offsetSize)),
                                      trailer.offsetSize);
    EXPECT_EQ(trailer.offsetSize, widthOf(lastOffset));
    EXPECT_EQ(runPython(QString::fromUtf8(kPythonLimits), {"read", QString::number(many)}, ours).trimmed(), "ok");

    const std::optional<PlistValue> back = parsePropertyList(ours);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, value);

    QString error;
    const std::optional<PlistValue> theirs =
        parsePropertyList(runPython(QString::fromUtf8(kPythonLimits), {"write", QString::number(many)}), &error);
    ASSERT_TRUE(theirs) << error.toStdString();
    EXPECT_EQ(theirs->keys(), value.keys());
    for (const QString &key : value.keys())
      EXPECT_EQ(theirs->value(key), value.value(key)) << key.toStdString();
  }
}

TEST(PropertyList, DistinctContainersAreNeverMerged) {
  // Thousands of small dicts and arrays, equal and unequal neighbours mixed: each
  // comes back as written, from our reader and from plistlib.
  std::vector<PlistValue> items;
  for (int i = 0; i < 3000; ++i) {
    PlistValue d = PlistValue::dict();
    d.insert("n", i / 2);                                  // pairs of equal dicts
    d.insert("bytes", QByteArray(1, char(i % 5)));
    items.push_back(d);
    items.push_back(PlistValue::array({PlistValue(i % 7), PlistValue(QByteArray(1, char(i % 3)))}));
  }
  const PlistValue value = PlistValue::array(items);
  const QByteArray bytes = toBinaryPropertyList(value);
  // Every container is an object of its own; the scalars are shared: two keys, the
  // numbers 0 to 1499 and five data values (the arrays' numbers and data are among them).
  EXPECT_EQ(trailerOf(bytes).objects, quint64(1 + 6000 + 2 + 1500 + 5));
  const std::optional<PlistValue> back = parsePropertyList(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, value);
  EXPECT_EQ(runPython(QStringLiteral(R"(
import plistlib, sys
got = plistlib.loads(sys.stdin.buffer.read())
want = []
for i in range(3000):
    want.append({'n': i // 2, 'bytes': bytes([i % 5])})
    want.append([i % 7, bytes([i % 3])])
assert got == want
print('ok')
)"), {}, bytes).trimmed(),
            "ok");
}

TEST(PropertyList, BinaryWriterRefusesWhatItCannotWrite) {
  // A UID libplist could not read back, a date out of range and nesting too deep give
  // nothing rather than a file we cannot open.
  EXPECT_TRUE(toBinaryPropertyList(PlistValue::uid(quint64(1) << 32)).isEmpty());
  EXPECT_FALSE(toBinaryPropertyList(PlistValue::uid(0xFFFFFFFFULL)).isEmpty());
  EXPECT_TRUE(toXmlPropertyList(PlistValue::uid(quint64(1) << 32)).isEmpty());
  EXPECT_TRUE(toBinaryPropertyList(PlistValue(QDateTime(QDate(10000, 1, 1), QTime(0, 0), Qt::UTC))).isEmpty());
  EXPECT_TRUE(toBinaryPropertyList(PlistValue::array({PlistValue(1), PlistValue(QDateTime())})).isEmpty());
  PlistValue deep = PlistValue::array();
  for (int i = 0; i < PlistLimits::maxDepth; ++i)
    deep = PlistValue::array({deep});
  EXPECT_FALSE(toBinaryPropertyList(deep).isEmpty());
  EXPECT_TRUE(toBinaryPropertyList(PlistValue::array({deep})).isEmpty());
  EXPECT_FALSE(toXmlPropertyList(deep).isEmpty());
  EXPECT_TRUE(toXmlPropertyList(PlistValue::array({deep})).isEmpty());
}

// ---- Strings with NULs, control characters and lone surrogates --------------------------

namespace {

QString withNul(const char *before, const char *after) {
  return QString::fromUtf8(before) + QChar(u'\0') + QString::fromUtf8(after);
}

// Strings no text file would hold: NULs (ASCII and UTF-16 forms), every C0 control
// character, DEL, U+FFFE and U+FFFF, a supplementary character, an emptiness.
std::vector<QString> oddStrings() {
  QString controls;
  for (char16_t c = 0; c < 0x20; ++c)
    controls += QChar(c);
  return {withNul("", ""), withNul("Sorry", "friend"), withNul("a", "") + QChar(u'\0'),
          withNul("Entschuldigung – ", " désolé 🙏"), controls + QStringLiteral("\x7f end"),
          QString(QChar(0xFFFE)) + QChar(0xFFFF) + u"🙏"_qs, QStringLiteral("")};
}

}  // namespace

TEST(PropertyList, StringsRoundTripWholeThroughTheBinaryForm) {
  // As values, as dict keys, and shared between both places.
  PlistValue dict = PlistValue::dict();
  std::vector<PlistValue> list;
  for (const QString &s : oddStrings()) {
    dict.insert(s, s);
    list.emplace_back(s);
  }
  dict.insert("list", PlistValue::array(list));
  const QByteArray bytes = toBinaryPropertyList(dict);
  const std::optional<PlistValue> back = parsePropertyList(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, dict);
  EXPECT_EQ(back->value(withNul("Sorry", "friend")).toString(), withNul("Sorry", "friend"));
  EXPECT_EQ(back->value(withNul("Sorry", "friend")).toString().size(), 12);
  EXPECT_EQ(toBinaryPropertyList(*back), bytes);

  // plistlib finds the same strings, and we read plistlib's ASCII string with a NUL
  // whole (libplist's reader cut it at the NUL).
  EXPECT_EQ(runPython(QStringLiteral(R"(
import plistlib, sys
got = plistlib.loads(sys.stdin.buffer.read())
controls = ''.join(chr(c) for c in range(32))
odd = ['\0', 'Sorry\0friend', 'a\0\0', 'Entschuldigung – \0 désolé 🙏', controls + '\x7f end',
       '\ufffe\uffff🙏', '']
assert list(got) == odd + ['list'], list(got)
assert all(got[s] == s for s in odd) and got['list'] == odd
print('ok')
)"), {}, bytes).trimmed(), "ok");
  const std::optional<PlistValue> theirs = parsePropertyList(runPython(QStringLiteral(R"(
import plistlib, sys
sys.stdout.buffer.write(plistlib.dumps({'a\0b': ['Sorry\0friend', 'x\0é']}, fmt=plistlib.FMT_BINARY))
)")));
  ASSERT_TRUE(theirs);
  const PlistValue &items = theirs->value(withNul("a", "b"));
  EXPECT_EQ(items.at(0).toString(), withNul("Sorry", "friend"));
  EXPECT_EQ(items.at(1).toString(), withNul("x", "é"));
}

TEST(PropertyList, LoneSurrogatesBecomeReplacementCharactersOneForOne) {
  // A lone high, a lone low, a pair the wrong way round, one at each end.
  const QString odd = QString(QChar(0xD800)) + u"a"_qs + QChar(0xDC00) + u"b"_qs + QChar(0xDC01) + QChar(0xD801)
                      + u"🙏"_qs + QChar(0xDBFF);
  QString clean = odd;
  for (qsizetype i : {0, 2, 4, 5, 8})
    clean[i] = QChar(0xFFFD);
  ASSERT_TRUE(QStringView(clean).isValidUtf16());
  PlistValue dict = PlistValue::dict();
  dict.insert(odd, odd);
  PlistValue expected = PlistValue::dict();
  expected.insert(clean, clean);
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "xml");
    const QByteArray bytes = binary ? toBinaryPropertyList(dict) : toXmlPropertyList(dict);
    EXPECT_EQ(parsePropertyList(bytes).value_or(PlistValue()), expected);
    EXPECT_EQ(runPython(QStringLiteral(R"(
import plistlib, sys
got = plistlib.loads(sys.stdin.buffer.read())
s = '\ufffda\ufffdb\ufffd\ufffd🙏\ufffd'
assert got == {s: s}, got
print('ok')
)"), {}, bytes).trimmed(), "ok");
  }
  // Lone surrogates in a file written by another writer read the same way.
  QByteArray file = "bplist00" + QByteArray::fromHex("63d8000061dc00");   // UTF-16BE D800 'a' DC00
  const qsizetype table = file.size();
  file.append(char(8));
  QByteArray trailer(32, '\0');
  trailer[6] = 1;
  trailer[7] = 1;
  trailer[15] = 1;
  trailer[31] = char(table);
  const std::optional<PlistValue> read = parsePropertyList(file + trailer);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->toString(), QString(QChar(0xFFFD)) + u"a"_qs + QChar(0xFFFD));
}

TEST(PropertyList, TheXmlFormCleansWhatXmlCannotHoldOnceAndForAll) {
  // XML 1.0 holds no NUL and no C0 control character but tab, line feed and carriage
  // return: the writer writes U+FFFD for each, which plistlib and we read; tab, line
  // feed and carriage return (written as a reference) come back exactly.
  PlistValue dict = PlistValue::dict();
  for (const QString &s : oddStrings())
    dict.insert(s, s);
  dict.insert("lines", QStringLiteral("one\r\ntwo\rthree\nfour\tfive & <six> ]]> \"seven\" 'eight'"));
  const QByteArray xml = toXmlPropertyList(dict);
  ASSERT_FALSE(xml.isEmpty());
  EXPECT_TRUE(xml.contains("<string>one&#13;\ntwo&#13;three\nfour\tfive &amp; &lt;six&gt; ]]&gt; \"seven\" 'eight'</string>"))
      << xml.toStdString();
  const std::optional<PlistValue> back = parsePropertyList(xml);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->value("lines"), dict.value("lines"));
  PlistValue expected = PlistValue::dict();
  auto clean = [](QString s) {
    for (QChar &c : s)
      if ((c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c.unicode() >= 0xFFFE)
        c = QChar(0xFFFD);
    return s;
  };
  for (const QString &s : oddStrings())
    expected.insert(clean(s), clean(s));
  expected.insert("lines", dict.value("lines"));
  EXPECT_EQ(*back, expected);
  // What was read writes the same file again and reads back equal.
  EXPECT_EQ(toXmlPropertyList(*back), xml);
  EXPECT_EQ(runPython(QStringLiteral(R"(
import plistlib, sys
got = plistlib.loads(sys.stdin.buffer.read())
assert got['lines'] == 'one\r\ntwo\rthree\nfour\tfive & <six> ]]> "seven" \'eight\'', repr(got['lines'])
assert got['Sorry\ufffdfriend'] == 'Sorry\ufffdfriend'
assert got['\ufffd' * 9 + '\t\n\ufffd\ufffd\r' + '\ufffd' * 18 + '\x7f end'] is not None
print('ok')
)"), {}, xml).trimmed(), "ok");

  // A hostile file: control characters raw, as references and in CDATA, a reference to
  // a surrogate and to U+FFFE, bytes that are not UTF-8. Each reads as U+FFFD, once:
  // what was read writes and reads back equal.
  const QByteArray hostile = "<plist><dict><key>k&#1;</key><string>a&#1;b\x02" "c&#xD800;d&#xFFFE;e\xff"
                             "f<![CDATA[\x03]]></string><key>k\x01</key><integer>2</integer></dict></plist>";
  const std::optional<PlistValue> read = parsePropertyList(hostile);
  ASSERT_TRUE(read);
  ASSERT_EQ(read->keys(), QStringList{QStringLiteral("k\uFFFD")});   // both keys clean to one
  EXPECT_EQ(read->value(u"k\uFFFD"_qs).toInt(), 2);                    // first place, last value
  const PlistValue again = parsePropertyList(toXmlPropertyList(*read)).value_or(PlistValue());
  EXPECT_EQ(again, *read);
  EXPECT_EQ(toBinaryPropertyList(again), toBinaryPropertyList(*read));
}

TEST(PropertyList, WhateverStringIsReadWritesAndReadsBackEqual) {
  // Random UTF-16 units as values and keys: the first write may clean them, after
  // that each form gives the same value and the same bytes.
  QRandomGenerator random(1123);
  const char16_t pool[] = {0, 1, 9, 10, 13, 0x1F, u'&', u'<', u'>', u']', u'a', 0x7F, 0xE9,
                           0xD83D, 0xDE4F, 0xD800, 0xDFFF, 0xFFFE, 0xFFFF, 0xFFFD};
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    PlistValue dict = PlistValue::dict();
    for (int k = 0; k < 3; ++k) {
      QString s;
      for (int i = int(random.bounded(12)); i > 0; --i)
        s += QChar(pool[random.bounded(quint32(std::size(pool)))]);
      dict.insert(s, s);
    }
    for (bool binary : {true, false}) {
      SCOPED_TRACE(binary ? "binary" : "xml");
      auto write = [binary](const PlistValue &v) { return binary ? toBinaryPropertyList(v) : toXmlPropertyList(v); };
      const std::optional<PlistValue> once = parsePropertyList(write(dict));
      ASSERT_TRUE(once);
      const QByteArray bytes = write(*once);
      const std::optional<PlistValue> twice = parsePropertyList(bytes);
      ASSERT_TRUE(twice);
      EXPECT_EQ(*twice, *once);
      EXPECT_EQ(write(*twice), bytes);
      if (binary && once->size() == dict.size()) {
        // Only lone surrogates change in the binary form, one unit for one (keys that
        // become equal are merged).
        for (qsizetype i = 0; i < dict.size(); ++i)
          EXPECT_EQ(once->at(i).toString().size(), dict.at(i).toString().size());
      }
    }
  }
}

// ---- Numbers in the XML form --------------------------------------------------------------

namespace {

// Settings as a file may hold them: reals and integers at and past their limits.
PlistValue settingsLike() {
  PlistValue d = PlistValue::dict();
  d.insert("SendEmailPORT", "587");
  d.insert("huge", 1e300);
  d.insert("nan", std::numeric_limits<double>::quiet_NaN());
  d.insert("inf", std::numeric_limits<double>::infinity());
  d.insert("-inf", -std::numeric_limits<double>::infinity());
  d.insert("min", qint64(INT64_MIN));
  d.insert("max", qint64(INT64_MAX));
  d.insert("umax", PlistValue::fromUnsigned(~quint64(0)));
  d.insert("above", PlistValue::fromUnsigned(quint64(INT64_MAX) + 1));
  d.insert("-1", -1);
  d.insert("largest", std::numeric_limits<double>::max());
  d.insert("smallest", std::numeric_limits<double>::denorm_min());
  d.insert("normal", std::numeric_limits<double>::min());
  d.insert("-zero", -0.0);
  d.insert("tenth", 0.1);
  d.insert("third", 1.0 / 3);
  d.insert("sum", 0.1 + 0.2);
  d.insert("whole", 1.0);
  d.insert("big whole", 123456789012345678.0);
  d.insert("tiny", -1e-300);
  d.insert("when", utc(2024, 2, 29, 23, 59, 59));
  d.insert("bytes", QByteArray(100, '\xA5'));
  d.insert("uid", PlistValue::uid(7));
  return d;
}

quint64 bitsOf(double v) {
  quint64 bits = 0;
  std::memcpy(&bits, &v, sizeof v);
  return bits;
}

// Equal, reals bit for bit (NaN as any NaN).
void expectExactlyEqual(const PlistValue &got, const PlistValue &want) {
  ASSERT_EQ(got.keys(), want.keys());
  for (const QString &key : want.keys()) {
    SCOPED_TRACE(key.toStdString());
    const PlistValue &g = got.value(key);
    const PlistValue &w = want.value(key);
    EXPECT_EQ(g, w);
    if (w.isReal() && !std::isnan(w.toReal())) {
      EXPECT_EQ(bitsOf(g.toReal()), bitsOf(w.toReal()));
    }
    if (w.isInteger()) {
      EXPECT_EQ(g.isUnsignedAboveInt64(), w.isUnsignedAboveInt64());
    }
  }
}

}  // namespace

TEST(PropertyList, XmlCarriesRealsAndIntegersAtTheirLimitsExactly) {
  const PlistValue settings = settingsLike();
  const QByteArray xml = toXmlPropertyList(settings);
  ASSERT_FALSE(xml.isEmpty());
  for (const char *text : {"<real>1e+300</real>", "<real>nan</real>", "<real>+infinity</real>",
                           "<real>-infinity</real>", "<integer>-9223372036854775808</integer>",
                           "<integer>9223372036854775807</integer>", "<integer>18446744073709551615</integer>",
                           "<real>-0</real>", "<real>0.1</real>", "<real>1</real>", "<real>5e-324</real>",
                           "<real>1.7976931348623157e+308</real>", "<date>2024-02-29T23:59:59Z</date>",
                           "\t<dict>\n\t\t<key>CF$UID</key>\n\t\t<integer>7</integer>\n\t</dict>\n"})
    EXPECT_TRUE(xml.contains(text)) << text;
  EXPECT_EQ(toXmlPropertyList(settingsLike()), xml);   // the same bytes for equal values

  // Our reader: every value back, reals bit-identical, the UID a UID again.
  const std::optional<PlistValue> back = parsePropertyList(xml);
  ASSERT_TRUE(back);
  expectExactlyEqual(*back, settings);
  EXPECT_EQ(toXmlPropertyList(*back), xml);

  // plistlib: the same values (the UID is a CF$UID dict to it, as XML has no UIDs).
  EXPECT_EQ(runPython(QStringLiteral(R"(
import datetime, math, plistlib, struct, sys
got = plistlib.loads(sys.stdin.buffer.read())
def bits(x):
    return struct.pack('>d', x)
want = {'SendEmailPORT': '587', 'huge': 1e300, 'inf': math.inf, '-inf': -math.inf,
        'min': -2**63, 'max': 2**63 - 1, 'umax': 2**64 - 1, 'above': 2**63, '-1': -1,
        'largest': 1.7976931348623157e308, 'smallest': 5e-324, 'normal': 2.2250738585072014e-308,
        '-zero': -0.0, 'tenth': 0.1, 'third': 1 / 3, 'sum': 0.1 + 0.2, 'whole': 1.0,
        'big whole': 123456789012345678.0, 'tiny': -1e-300,
        'when': datetime.datetime(2024, 2, 29, 23, 59, 59), 'bytes': b'\xa5' * 100,
        'uid': {'CF$UID': 7}}
assert math.isnan(got.pop('nan'))
assert list(got) == list(want), list(got)
for k, v in want.items():
    assert type(got[k]) is type(v) and got[k] == v, (k, got[k])
    if isinstance(v, float):
        assert bits(got[k]) == bits(v), k
print('ok')
)"), {}, xml).trimmed(), "ok");

  // And what plistlib writes for them ("nan", "inf", "-inf") reads back as well.
  QString error;
  const std::optional<PlistValue> theirs = parsePropertyList(runPython(QStringLiteral(R"(
import math, plistlib, sys
d = {'huge': 1e300, 'nan': math.nan, 'inf': math.inf, '-inf': -math.inf, 'min': -2**63,
     'max': 2**63 - 1, 'umax': 2**64 - 1, '-zero': -0.0, 'smallest': 5e-324}
sys.stdout.buffer.write(plistlib.dumps(d, sort_keys=False))
)")), &error);
  ASSERT_TRUE(theirs) << error.toStdString();
  PlistValue want = PlistValue::dict();
  for (const char *key : {"huge", "nan", "inf", "-inf", "min", "max", "umax", "-zero", "smallest"})
    want.insert(key, settings.value(key));
  expectExactlyEqual(*theirs, want);
}

TEST(PropertyList, XmlDatesCarryWholeSecondsOverAllYears) {
  // The fraction is cut toward the past, also before 1970 and 2001.
  const std::pair<QDateTime, const char *> dates[] = {
      {utc(1, 1, 1, 0, 0, 0), "0001-01-01T00:00:00Z"},
      {utc(9999, 12, 31, 23, 59, 59, 999), "9999-12-31T23:59:59Z"},
      {utc(1900, 1, 1, 0, 0, 0), "1900-01-01T00:00:00Z"},
      {utc(1969, 12, 31, 23, 59, 59, 750), "1969-12-31T23:59:59Z"},
      {utc(2000, 12, 31, 23, 59, 59, 250), "2000-12-31T23:59:59Z"},
      {utc(2024, 2, 29, 12, 0, 0, 999), "2024-02-29T12:00:00Z"},
  };
  for (const auto &[date, text] : dates) {
    SCOPED_TRACE(text);
    const QByteArray xml = toXmlPropertyList(PlistValue(date));
    EXPECT_TRUE(xml.contains("<date>" + QByteArray(text) + "</date>")) << xml.toStdString();
    const QDateTime second = date.addMSecs(-date.time().msec());
    EXPECT_EQ(parsePropertyList(xml).value_or(PlistValue()).toDate(), second);
  }
}

// A byte-order mark at the start of a string or key is text like any other: it must come
// back through the XML form, which some readers strip at the start of a text.
TEST(PropertyList, ALeadingByteOrderMarkSurvivesTheXmlForm) {
  const QString marked = QString(QChar(0xFEFF)) + QStringLiteral("sorry");
  PlistValue dict = PlistValue::dict();
  dict.insert(marked, marked);
  dict.insert("middle", QStringLiteral("so") + QChar(0xFEFF) + QStringLiteral("rry"));
  const QByteArray xml = toXmlPropertyList(dict);
  const std::optional<PlistValue> back = parsePropertyList(xml);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, dict);
  EXPECT_EQ(runPython(QStringLiteral(R"(
import plistlib, sys
got = plistlib.loads(sys.stdin.buffer.read())
assert got['\ufeffsorry'] == '\ufeffsorry', repr(got)
print('ok')
)"), {}, xml).trimmed(), "ok");
}
