// Property lists: our XML and binary output read by Python's plistlib, plistlib's
// output read by us, and hostile input that must give an error, never a crash.

#include "platform/PropertyList.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <clocale>

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
  // Dict keys must be strings without NULs (libplist would abort the program).
  expectError(bplist({raw("\xD1\x01\x02"), raw("\x53" "a" "\x00" "b"), raw("\x09")}), "key is not a string");
  expectError(bplist({raw("\xD1\x01\x02"), raw("\x10\x05"), raw("\x09")}), "key is not a string");
  ASSERT_TRUE(parsePropertyList(bplist({raw("\xD1\x01\x02"), raw("\x53" "a" "\x01" "b"), raw("\x09")})));
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
