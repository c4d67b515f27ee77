#include "platform/KeyedArchive.h"

#include "platform/PropertyList.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <QImageWriter>
#include <QLocale>
#include <QSet>
#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <exception>
#include <type_traits>

namespace {

const QString kNull = QStringLiteral("$null");
const QString kClass = QStringLiteral("$class");
const QString kObjects = QStringLiteral("NS.objects");
const QString kKeys = QStringLiteral("NS.keys");
constexpr qint64 kArchiveVersion = 100000;

// Geometry strings: "{x, y}", "{w, h}", "{{x, y}, {w, h}}".
QString number(double v) { return QString::number(v, 'g', QLocale::FloatingPointShortest); }
QString pointString(double a, double b) {
  return QStringLiteral("{%1, %2}").arg(number(a), number(b));
}
QString rectString(const QRectF &r) {
  return QStringLiteral("{%1, %2}").arg(pointString(r.x(), r.y()), pointString(r.width(), r.height()));
}

bool isGeometrySeparator(QChar c) { return c.isSpace() || c == u'{' || c == u'}' || c == u','; }

// The `count` numbers of a geometry string. Braces, commas and spaces only separate
// the numbers, as other writers place them freely; anything else makes it unreadable
// (nullopt). A number that is not finite ("nan", "inf", "-infinity", or one beyond
// the range of a double such as "1e999") reads as missing, 0, and sets *nonFinite;
// so does one too small for a double ("1e-999").
std::optional<std::vector<double>> parseNumbers(const QString &text, size_t count, bool *nonFinite = nullptr) {
  std::vector<double> out;
  bool anyNonFinite = false;
  qsizetype i = 0;
  while (i < text.size()) {
    if (isGeometrySeparator(text[i])) {
      ++i;
      continue;
    }
    qsizetype j = i;
    while (j < text.size() && !isGeometrySeparator(text[j]))
      ++j;
    if (out.size() == count)
      return std::nullopt;
    // std::from_chars reads the C form whatever the locale; it takes no '+' sign.
    QByteArray token = QStringView(text).sliced(i, j - i).toLatin1();
    if (token.startsWith('+') && token.size() > 1 && token[1] != '-')
      token.remove(0, 1);
    double v = 0;
    const char *end = token.constData() + token.size();
    const std::from_chars_result r = std::from_chars(token.constData(), end, v);
    if (r.ptr != end || (r.ec != std::errc() && r.ec != std::errc::result_out_of_range))
      return std::nullopt;
    // Out of range is beyond a double, or (as "1e-999") too small for one: 0 either way.
    if (r.ec == std::errc::result_out_of_range || !std::isfinite(v)) {
      anyNonFinite = true;
      v = 0;
    }
    out.push_back(v);
    i = j;
  }
  if (out.size() != count)
    return std::nullopt;
  if (nonFinite)
    *nonFinite = anyNonFinite;
  return out;
}

// Colour components: QColor keeps 16 bits per channel, so each is written in the
// fewest digits that read back to the same 16-bit value ("1", "0.5", "0.2").
QString componentText(quint16 stored) {
  const double value = stored / 65535.0;
  for (int precision = 1; precision < 9; ++precision) {
    const QString text = QString::number(value, 'g', precision);
    if (qRound(text.toDouble() * 65535.0) == stored)
      return text;
  }
  return QString::number(value, 'g', 9);
}

QByteArray componentData(const QColor &color) {
  const QRgba64 c = color.rgba64();
  const QString text = QStringList{componentText(c.red()), componentText(c.green()),
                                   componentText(c.blue()), componentText(c.alpha())}
                           .join(u' ');
  return text.toLatin1() + '\0';
}

quint16 to16(double v) { return quint16(qRound(std::clamp(v, 0.0, 1.0) * 65535.0)); }

// "NSAttributeInfo": (run length, attributes index) pairs as base-128 varints.
void appendVarint(QByteArray &out, quint64 v) {
  while (v >= 0x80) {
    out.append(char((v & 0x7F) | 0x80));
    v >>= 7;
  }
  out.append(char(v));
}

bool readVarint(const QByteArray &in, qsizetype &pos, quint64 &v) {
  v = 0;
  for (int shift = 0; shift < 64; shift += 7) {
    if (pos >= in.size())
      return false;
    const uchar b = uchar(in[pos++]);
    v |= quint64(b & 0x7F) << shift;
    if (!(b & 0x80))
      return true;
  }
  return false;
}

QString missingTiffSupport() {
  return QStringLiteral("Pictures cannot be read or written: TIFF support (the Qt image "
                        "formats plugin) is not installed.");
}

bool hasTiff(const QList<QByteArray> &formats) { return formats.contains("tiff"); }

// Cuts the runs to the string, in order of their start, and fills what no run covers
// with runs without attributes, so that the runs tile the string.
QList<TextRun> tiledRuns(const AttributedText &text) {
  QList<TextRun> sorted = text.runs;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const TextRun &a, const TextRun &b) { return a.start < b.start; });
  const qsizetype n = text.string.size();
  QList<TextRun> out;
  qsizetype pos = 0;
  auto gap = [&](qsizetype to) {
    if (to > pos) {
      TextRun plain;
      plain.start = pos;
      plain.length = to - pos;
      out.append(plain);
      pos = to;
    }
  };
  for (const TextRun &run : sorted) {
    const qsizetype start = std::clamp(run.start, pos, n);
    const qsizetype end = std::clamp(run.start + std::max<qsizetype>(run.length, 0), start, n);
    gap(start);
    if (end > start) {
      TextRun cut = run;
      cut.start = start;
      cut.length = end - start;
      out.append(cut);
      pos = end;
    }
  }
  gap(n);
  return out;
}

bool sameAttributes(const TextRun &a, const TextRun &b) {
  return a.font == b.font && a.color == b.color && a.kerning == b.kerning && a.alignment == b.alignment;
}

}  // namespace

// ---------------------------------------------------------------------------------
// Writing

struct KeyedArchiver::Private {
  std::vector<PlistValue> objects{PlistValue(kNull)};
  QHash<QString, quint64> classes;
  QHash<QString, quint64> strings;
  PlistValue *current = nullptr;                 // the object whose keys are written
  std::vector<const KeyedArchivable *> open;     // objects being written, outermost first
  QString error;

  void fail(const QString &message) {
    if (error.isEmpty())
      error = message;
  }

  quint64 add(PlistValue value) {
    objects.push_back(std::move(value));
    return objects.size() - 1;
  }

  void put(const QString &key, PlistValue value) {
    if (current)
      current->insert(key, std::move(value));
  }

  quint64 classUid(const QString &name, const QStringList &superclasses) {
    if (auto it = classes.constFind(name); it != classes.cend())
      return *it;
    std::vector<PlistValue> chain{PlistValue(name)};
    for (const QString &super : superclasses)
      chain.emplace_back(super);
    chain.emplace_back("NSObject");
    PlistValue cls = PlistValue::dict();
    cls.insert(QStringLiteral("$classname"), name);
    cls.insert(QStringLiteral("$classes"), PlistValue::array(std::move(chain)));
    const quint64 uid = add(std::move(cls));
    classes.insert(name, uid);
    return uid;
  }

  PlistValue newObject(const QString &name, const QStringList &superclasses = {}) {
    PlistValue object = PlistValue::dict();
    object.insert(kClass, PlistValue::uid(classUid(name, superclasses)));
    return object;
  }

  quint64 stringUid(const QString &s) {
    if (s.isNull())
      return 0;
    if (auto it = strings.constFind(s); it != strings.cend())
      return *it;
    const quint64 uid = add(PlistValue(s));
    strings.insert(s, uid);
    return uid;
  }

  quint64 dataUid(const QByteArray &data) { return data.isNull() ? 0 : add(PlistValue(data)); }

  static PlistValue uidArray(const std::vector<quint64> &uids) {
    std::vector<PlistValue> items;
    items.reserve(uids.size());
    for (quint64 uid : uids)
      items.push_back(PlistValue::uid(uid));
    return PlistValue::array(std::move(items));
  }

  quint64 arrayUid(const std::vector<quint64> &uids) {
    PlistValue array = newObject(QStringLiteral("NSArray"));
    array.insert(kObjects, uidArray(uids));
    return add(std::move(array));
  }

  quint64 dictionaryUid(const std::vector<quint64> &keys, const std::vector<quint64> &values) {
    PlistValue dict = newObject(QStringLiteral("NSDictionary"));
    dict.insert(kKeys, uidArray(keys));
    dict.insert(kObjects, uidArray(values));
    return add(std::move(dict));
  }

  quint64 colorUid(const std::optional<QColor> &color) {
    if (!color || !color->isValid())
      return 0;
    PlistValue object = newObject(QStringLiteral("NSColor"));
    object.insert(QStringLiteral("NSColorSpace"), 1);
    // A byte field: the data itself under the key, not a reference to a data entry.
    object.insert(QStringLiteral("NSRGB"), PlistValue(componentData(*color)));
    return add(std::move(object));
  }

  quint64 fontUid(const std::optional<ArchivedFont> &font) {
    if (!font)
      return 0;
    PlistValue object = newObject(QStringLiteral("NSFont"));
    object.insert(QStringLiteral("NSName"), PlistValue::uid(stringUid(font->postScriptName)));
    object.insert(QStringLiteral("NSSize"), font->pointSize);
    object.insert(QStringLiteral("NSfFlags"), 16);
    return add(std::move(object));
  }

  quint64 attributesUid(const TextRun &run) {
    std::vector<quint64> keys, values;
    auto entry = [&](const char *key, quint64 value) {
      keys.push_back(stringUid(QString::fromLatin1(key)));
      values.push_back(value);
    };
    if (run.color)
      entry("NSColor", colorUid(run.color));
    if (run.font)
      entry("NSFont", fontUid(run.font));
    if (run.kerning)
      entry("NSKern", add(PlistValue(*run.kerning)));
    if (run.alignment) {
      PlistValue style = newObject(QStringLiteral("NSParagraphStyle"));
      style.insert(QStringLiteral("NSAlignment"), *run.alignment);
      entry("NSParagraphStyle", add(std::move(style)));
    }
    return dictionaryUid(keys, values);
  }

  quint64 attributedUid(const std::optional<AttributedText> &text) {
    if (!text)
      return 0;
    PlistValue object = newObject(QStringLiteral("NSMutableAttributedString"),
                                  {QStringLiteral("NSAttributedString")});
    object.insert(QStringLiteral("NSString"), PlistValue::uid(stringUid(text->string.isNull() ? QStringLiteral("") : text->string)));
    const QList<TextRun> runs = tiledRuns(*text);
    if (runs.size() == 1) {
      object.insert(QStringLiteral("NSAttributes"), PlistValue::uid(attributesUid(runs.front())));
    } else if (runs.size() > 1) {
      // Runs with equal attributes share one dictionary.
      QList<TextRun> distinct;
      QByteArray info;
      for (const TextRun &run : runs) {
        qsizetype index = 0;
        while (index < distinct.size() && !sameAttributes(distinct[index], run))
          ++index;
        if (index == distinct.size())
          distinct.append(run);
        appendVarint(info, quint64(run.length));
        appendVarint(info, quint64(index));
      }
      std::vector<quint64> dicts;
      for (const TextRun &run : distinct)
        dicts.push_back(attributesUid(run));
      object.insert(QStringLiteral("NSAttributes"), PlistValue::uid(arrayUid(dicts)));
      object.insert(QStringLiteral("NSAttributeInfo"), PlistValue::uid(dataUid(info)));
    }
    return add(std::move(object));
  }

  quint64 imageUid(const QImage &image, QSizeF points) {
    if (image.isNull())
      return 0;
    if (!hasTiff(QImageWriter::supportedImageFormats())) {
      fail(missingTiffSupport());
      return 0;
    }
    QByteArray tiff;
    QBuffer buffer(&tiff);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    writer.setCompression(1);   // LZW
    // A picture read from a damaged file can carry a resolution TIFF cannot hold (zero,
    // negative); the archive keeps the picture's size in points beside it, so the
    // resolution is only a hint and such a one is written as 72 dpi.
    QImage picture = image;
    if (picture.dotsPerMeterX() <= 0 || picture.dotsPerMeterY() <= 0) {
      picture.setDotsPerMeterX(2835);
      picture.setDotsPerMeterY(2835);
    }
    if (!writer.write(picture)) {
      fail(QStringLiteral("The picture could not be written as TIFF: %1").arg(writer.errorString()));
      return 0;
    }
    if (points.isEmpty())
      points = QSizeF(image.size());
    PlistValue rep = newObject(QStringLiteral("NSBitmapImageRep"), {QStringLiteral("NSImageRep")});
    rep.insert(QStringLiteral("NSTIFFRepresentation"), PlistValue::uid(dataUid(tiff)));
    const quint64 repUid = add(std::move(rep));
    PlistValue object = newObject(QStringLiteral("NSImage"));
    object.insert(QStringLiteral("NSSize"),
                  PlistValue::uid(stringUid(pointString(points.width(), points.height()))));
    object.insert(QStringLiteral("NSReps"), PlistValue::uid(arrayUid({repUid})));
    return add(std::move(object));
  }

  quint64 objectUid(KeyedArchiver &coder, const KeyedArchivable *object) {
    if (!object)
      return 0;
    if (std::find(open.begin(), open.end(), object) != open.end()) {
      fail(QStringLiteral("The object of class \"%1\" contains itself and cannot be archived.")
               .arg(object->archiveClassName()));
      return 0;
    }
    if (open.size() >= size_t(KeyedArchiveLimits::maxDepth)) {
      fail(QStringLiteral("Objects are nested deeper than %1 levels and cannot be archived.")
               .arg(KeyedArchiveLimits::maxDepth));
      return 0;
    }
    // The object's entry comes before the entries of what it holds.
    const quint64 uid = add(PlistValue());
    PlistValue dict = newObject(object->archiveClassName(), object->archiveSuperclasses());
    PlistValue *outer = current;
    current = &dict;
    open.push_back(object);
    object->encodeWithCoder(coder);
    open.pop_back();
    current = outer;
    objects[uid] = std::move(dict);
    return uid;
  }
};

KeyedArchiver::KeyedArchiver() : d(std::make_unique<Private>()) {}
KeyedArchiver::~KeyedArchiver() = default;

QByteArray KeyedArchiver::archiveRootObject(const KeyedArchivable &root, QString *error) {
  KeyedArchiver coder;
  return coder.finish(coder.d->objectUid(coder, &root), error);
}

QByteArray KeyedArchiver::archiveRootColor(const std::optional<QColor> &color, QString *error) {
  KeyedArchiver coder;
  return coder.finish(coder.d->colorUid(color), error);
}

QByteArray KeyedArchiver::archiveRootFont(const std::optional<ArchivedFont> &font, QString *error) {
  KeyedArchiver coder;
  return coder.finish(coder.d->fontUid(font), error);
}

QByteArray KeyedArchiver::finish(quint64 rootUid, QString *error) {
  QByteArray bytes;
  if (d->error.isEmpty()) {
    PlistValue top = PlistValue::dict();
    top.insert(QStringLiteral("root"), PlistValue::uid(rootUid));
    PlistValue archive = PlistValue::dict();
    archive.insert(QStringLiteral("$version"), kArchiveVersion);
    archive.insert(QStringLiteral("$archiver"), "NSKeyedArchiver");
    archive.insert(QStringLiteral("$top"), std::move(top));
    archive.insert(QStringLiteral("$objects"), PlistValue::array(std::move(d->objects)));
    bytes = toBinaryPropertyList(archive);
    if (bytes.isEmpty())
      d->fail(QStringLiteral("The archive could not be written."));
  }
  if (error)
    *error = d->error;
  return d->error.isEmpty() ? bytes : QByteArray();
}

void KeyedArchiver::encodeBool(const QString &key, bool value) { d->put(key, value); }
void KeyedArchiver::encodeInt32(const QString &key, qint32 value) { d->put(key, int(value)); }
void KeyedArchiver::encodeInt64(const QString &key, qint64 value) { d->put(key, value); }
void KeyedArchiver::encodeFloat(const QString &key, float value) { d->put(key, double(value)); }
void KeyedArchiver::encodeDouble(const QString &key, double value) { d->put(key, value); }

void KeyedArchiver::encodeString(const QString &key, const QString &value) {
  d->put(key, PlistValue::uid(d->stringUid(value)));
}

void KeyedArchiver::encodeData(const QString &key, const QByteArray &value) {
  d->put(key, PlistValue::uid(d->dataUid(value)));
}

void KeyedArchiver::encodeRect(const QString &key, const QRectF &value) {
  d->put(key, PlistValue::uid(d->stringUid(rectString(value))));
}

void KeyedArchiver::encodePoint(const QString &key, const QPointF &value) {
  d->put(key, PlistValue::uid(d->stringUid(pointString(value.x(), value.y()))));
}

void KeyedArchiver::encodeSize(const QString &key, const QSizeF &value) {
  d->put(key, PlistValue::uid(d->stringUid(pointString(value.width(), value.height()))));
}

void KeyedArchiver::encodeColor(const QString &key, const std::optional<QColor> &value) {
  d->put(key, PlistValue::uid(d->colorUid(value)));
}

void KeyedArchiver::encodeFont(const QString &key, const std::optional<ArchivedFont> &value) {
  d->put(key, PlistValue::uid(d->fontUid(value)));
}

void KeyedArchiver::encodeAttributedText(const QString &key, const std::optional<AttributedText> &value) {
  d->put(key, PlistValue::uid(d->attributedUid(value)));
}

void KeyedArchiver::encodeImage(const QString &key, const QImage &image, QSizeF points) {
  d->put(key, PlistValue::uid(d->imageUid(image, points)));
}

void KeyedArchiver::encodeObject(const QString &key, const KeyedArchivable *object) {
  d->put(key, PlistValue::uid(d->objectUid(*this, object)));
}

void KeyedArchiver::encodeArray(const QString &key, const QList<const KeyedArchivable *> &objects) {
  std::vector<quint64> uids;
  for (const KeyedArchivable *object : objects)
    uids.push_back(d->objectUid(*this, object));
  d->put(key, PlistValue::uid(d->arrayUid(uids)));
}

void KeyedArchiver::encodeStringList(const QString &key, const QStringList &strings) {
  std::vector<quint64> uids;
  for (const QString &s : strings)
    uids.push_back(d->stringUid(s));
  d->put(key, PlistValue::uid(d->arrayUid(uids)));
}

void KeyedArchiver::encodeDictionary(const QString &key,
                                     const QList<std::pair<QString, const KeyedArchivable *>> &entries) {
  std::vector<quint64> keys, values;
  for (const auto &[name, object] : entries) {
    keys.push_back(d->stringUid(name.isNull() ? QStringLiteral("") : name));
    values.push_back(d->objectUid(*this, object));
  }
  d->put(key, PlistValue::uid(d->dictionaryUid(keys, values)));
}

// ---------------------------------------------------------------------------------
// Reading

namespace {

// The classes the unarchiver reads itself.
const QSet<QString> &valueClasses() {
  static const QSet<QString> names{
      QStringLiteral("NSColor"),          QStringLiteral("NSFont"),
      QStringLiteral("NSAttributedString"), QStringLiteral("NSMutableAttributedString"),
      QStringLiteral("NSDictionary"),     QStringLiteral("NSMutableDictionary"),
      QStringLiteral("NSArray"),          QStringLiteral("NSMutableArray"),
      QStringLiteral("NSImage"),          QStringLiteral("NSBitmapImageRep"),
      QStringLiteral("NSParagraphStyle"), QStringLiteral("NSMutableParagraphStyle"),
      QStringLiteral("NSString"),         QStringLiteral("NSMutableString"),
      QStringLiteral("NSData"),           QStringLiteral("NSMutableData")};
  return names;
}

constexpr quint64 kInline = ~quint64(0);   // "not reached through a UID"

}  // namespace

struct KeyedUnarchiver::Private {
  KeyedUnarchiver *q = nullptr;
  PlistValue archive;
  const std::vector<PlistValue> *objects = nullptr;
  quint64 root = 0;
  QHash<QString, Factory> factories;
  QString error;

  struct Frame {
    const PlistValue *object;
    QString className;
  };
  std::vector<Frame> frames;        // objects whose factories are running, innermost last
  std::vector<char> open;           // per entry: being read now (a second visit is a cycle)
  int depth = 0;
  qint64 reads = 0;
  qint64 pixels = 0;
  QHash<quint64, std::optional<QColor>> colors;
  QHash<quint64, std::optional<ArchivedFont>> fonts;
  QHash<quint64, std::optional<ArchivedImage>> images;

  bool ok() const { return error.isEmpty(); }

  void fail(const QString &message) {
    if (error.isEmpty())
      error = message;
  }

  void damaged(const QString &what) { fail(QStringLiteral("The archive is damaged: %1.").arg(what)); }

  // Marks an entry as being read for the life of the scope: checks cycles, depth and
  // the number of entries read. Entries are opened with it only in readEntryOf().
  class Enter {
  public:
    Enter(Private &p, quint64 uid) : m_p(p), m_uid(uid) {
      if (!p.ok())
        return;
      if (p.open[uid]) {
        p.damaged(QStringLiteral("an object contains itself"));
        return;
      }
      if (p.depth >= KeyedArchiveLimits::maxDepth) {
        p.fail(QStringLiteral("The archive nests objects deeper than %1 levels.")
                   .arg(KeyedArchiveLimits::maxDepth));
        return;
      }
      if (++p.reads > KeyedArchiveLimits::maxObjectReads) {
        p.fail(QStringLiteral("The archive refers to objects more than %1 times.")
                   .arg(KeyedArchiveLimits::maxObjectReads));
        return;
      }
      m_entered = true;
      ++p.depth;
      p.open[uid] = 1;
    }
    ~Enter() {
      if (m_entered) {
        --m_p.depth;
        m_p.open[m_uid] = 0;
      }
    }
    Enter(const Enter &) = delete;
    Enter &operator=(const Enter &) = delete;
    explicit operator bool() const { return m_entered; }

  private:
    Private &m_p;
    quint64 m_uid;
    bool m_entered = false;
  };

  void load(const QByteArray &bytes) {
    QString why;
    std::optional<PlistValue> plist = parsePropertyList(bytes, &why);
    if (!plist)
      return fail(QStringLiteral("The archive cannot be read. %1").arg(why));
    archive = std::move(*plist);
    if (!archive.isDict() || archive.value(QStringLiteral("$archiver")).toString() != u"NSKeyedArchiver")
      return fail(QStringLiteral("The data is not a keyed archive."));
    const PlistValue &version = archive.value(QStringLiteral("$version"));
    if (version.toInt() != kArchiveVersion)
      return fail(QStringLiteral("The keyed archive has an unsupported version."));
    const PlistValue &list = archive.value(QStringLiteral("$objects"));
    if (!list.isArray() || list.size() == 0 || list.at(0).toString() != kNull)
      return damaged(QStringLiteral("its object list is missing or invalid"));
    objects = &list.items();
    open.assign(objects->size(), 0);
    const PlistValue &rootRef = archive.value(QStringLiteral("$top")).value(QStringLiteral("root"));
    if (!rootRef.isUid())
      return damaged(QStringLiteral("it names no root object"));
    root = rootRef.toUid();
    if (root >= objects->size())   // 0 is a nil root, which only value archives have
      return damaged(QStringLiteral("its root object does not exist"));
  }

  // The value of `key` in the object being read, or null.
  const PlistValue *field(const QString &key) const {
    if (frames.empty() || !ok())
      return nullptr;
    const PlistValue &v = frames.back().object->value(key);
    return v.isValid() ? &v : nullptr;
  }

  // What a value stands for: the entry a UID refers to (null for nil), or the value
  // itself. Sets *uid to the UID, or kInline.
  const PlistValue *resolve(const PlistValue *v, quint64 *uid = nullptr) {
    if (uid)
      *uid = kInline;
    if (!v || !v->isValid() || !ok())
      return nullptr;
    if (!v->isUid())
      return v;
    const quint64 n = v->toUid();
    if (n >= objects->size()) {
      damaged(QStringLiteral("a reference points past the end of its object list"));
      return nullptr;
    }
    if (n == 0)
      return nullptr;
    if (uid)
      *uid = n;
    return &(*objects)[size_t(n)];
  }

  // The class name of an object entry; empty with an error when its class is damaged.
  QString classOf(const PlistValue &entry) {
    const PlistValue *cls = entry.value(kClass).isUid() ? resolve(&entry.value(kClass)) : nullptr;
    if (!cls || !cls->isDict()) {
      damaged(QStringLiteral("an object has no valid class"));
      return {};
    }
    const QString name = cls->value(QStringLiteral("$classname")).toString();
    const PlistValue &chain = cls->value(QStringLiteral("$classes"));
    bool chainOk = !chain.isValid() || chain.isArray();
    for (const PlistValue &item : chain.items())
      chainOk = chainOk && item.isString();
    if (name.isEmpty() || !chainOk) {
      damaged(QStringLiteral("a class description is invalid"));
      return {};
    }
    return name;
  }

  // True when `name` is one of `wanted`. A class we know of another kind reads as
  // missing; a class we do not know is an error.
  bool isKind(const QString &name, std::initializer_list<const char *> wanted) {
    if (name.isEmpty())
      return false;
    for (const char *w : wanted)
      if (name == QLatin1String(w))
        return true;
    if (!valueClasses().contains(name) && !factories.contains(name))
      fail(QStringLiteral("The archive holds an object of the unexpected class \"%1\".").arg(name));
    return false;
  }

  // The one opening of every object entry a decoder reads. `v` must refer (by UID) to an
  // object entry whose class `accept` takes; its earlier result comes from `cache` when
  // one is given; otherwise the entry is marked open (Enter: an object that contains
  // itself, too deep a nesting and too many reads fail the archive) while `read` reads it.
  // A result is kept in `cache` only while the archive reads well, and nothing is
  // returned once it does not.
  template <typename T, typename Accept, typename Read, typename Cache = std::nullptr_t>
  std::optional<T> readEntryOf(const PlistValue *v, Accept &&accept, Read &&read, Cache cache = nullptr) {
    quint64 uid = kInline;
    const PlistValue *e = resolve(v, &uid);
    if (!e || !e->isDict() || uid == kInline || !accept(classOf(*e)))
      return std::nullopt;
    if constexpr (!std::is_null_pointer_v<Cache>)
      if (auto it = cache->constFind(uid); it != cache->cend())
        return *it;
    Enter in(*this, uid);
    if (!in)
      return std::nullopt;
    std::optional<T> result = read(*e);
    if (!ok())
      return std::nullopt;
    if constexpr (!std::is_null_pointer_v<Cache>)
      cache->insert(uid, result);
    return result;
  }

  // The same for an entry of one of the classes `wanted` (another class we know of reads
  // as missing, one we do not know fails the archive).
  template <typename T, typename Read, typename Cache = std::nullptr_t>
  std::optional<T> readEntry(const PlistValue *v, std::initializer_list<const char *> wanted, Read &&read,
                             Cache cache = nullptr) {
    return readEntryOf<T>(v, [&](const QString &name) { return isKind(name, wanted); },
                          std::forward<Read>(read), cache);
  }

  // Numbers are inline; a UID of a number entry is read as well. A real that is NaN or
  // infinite reads as missing, whatever kind of number is asked for.
  const PlistValue *numberOf(const PlistValue *v) {
    const PlistValue *e = resolve(v);
    if (e && e->isReal() && !std::isfinite(e->toReal()))
      return nullptr;
    return e && (e->isInteger() || e->isReal() || e->isBool()) ? e : nullptr;
  }

  std::optional<double> realOf(const PlistValue *v) {
    const PlistValue *n = numberOf(v);
    if (!n)
      return std::nullopt;
    if (n->isReal())
      return n->toReal();
    if (n->isBool())
      return n->toBool() ? 1.0 : 0.0;
    return n->isUnsignedAboveInt64() ? double(n->toUnsigned()) : double(n->toInt());
  }

  std::optional<qint64> integerOf(const QString &key) {
    const PlistValue *n = numberOf(field(key));
    if (!n)
      return std::nullopt;
    if (n->isBool())
      return n->toBool() ? 1 : 0;
    if (n->isInteger() && !n->isUnsignedAboveInt64())
      return n->toInt();
    const double r = n->isReal() ? n->toReal() : double(n->toUnsigned());
    if (!std::isfinite(r) || r >= 9223372036854775808.0 || r < -9223372036854775808.0) {
      fail(QStringLiteral("The archive value \"%1\" does not fit a 64-bit integer.").arg(key));
      return std::nullopt;
    }
    return qint64(r);
  }

  // A string or data value: stored plainly, or (as other writers do) wrapped in an
  // object of one of `classes` under `innerKey`. The plain value, or null.
  const PlistValue *plainValueOf(const PlistValue *v, PlistValue::Type type,
                                 std::initializer_list<const char *> classes, const QString &innerKey,
                                 const char *damage) {
    const PlistValue *e = resolve(v);
    if (!e || e->type() == type)
      return e;
    return readEntry<const PlistValue *>(v, classes, [&](const PlistValue &wrapper) -> std::optional<const PlistValue *> {
             const PlistValue &inner = wrapper.value(innerKey);
             if (inner.type() != type) {
               damaged(QLatin1String(damage));
               return std::nullopt;
             }
             return &inner;
           }).value_or(nullptr);
  }

  std::optional<QString> stringOf(const PlistValue *v) {
    const PlistValue *s = plainValueOf(v, PlistValue::Type::String, {"NSString", "NSMutableString"},
                                       QStringLiteral("NS.string"), "a string object holds no string");
    return s ? std::optional<QString>(s->toString()) : std::nullopt;
  }

  std::optional<QByteArray> dataOf(const PlistValue *v) {
    const PlistValue *d = plainValueOf(v, PlistValue::Type::Data, {"NSData", "NSMutableData"},
                                       QStringLiteral("NS.data"), "a data object holds no data");
    return d ? std::optional<QByteArray>(d->toData()) : std::nullopt;
  }

  // The numbers of a colour's component data, alpha added when missing.
  // The data is read inline (the published form, which the writer uses) and as a
  // reference to a data entry (the form the writer used before).
  std::optional<std::vector<double>> components(const PlistValue &color, const char *key, int count) {
    const std::optional<QByteArray> data = dataOf(&color.value(QString::fromLatin1(key)));
    if (!ok())
      return std::nullopt;
    if (!data || data->size() > 1024) {
      damaged(QStringLiteral("a colour has no readable components"));
      return std::nullopt;
    }
    QByteArray text = *data;
    if (const qsizetype nul = text.indexOf('\0'); nul >= 0)
      text.truncate(nul);
    const QList<QByteArray> parts = text.simplified().split(' ');
    std::vector<double> out;
    for (const QByteArray &part : parts) {
      bool numberOk = false;
      const double v = part.toDouble(&numberOk);
      if (!numberOk || std::isnan(v))
        break;
      out.push_back(std::clamp(v, 0.0, 1.0));
    }
    if (out.size() != size_t(parts.size()) || (out.size() != size_t(count) && out.size() != size_t(count) + 1)) {
      damaged(QStringLiteral("a colour has no readable components"));
      return std::nullopt;
    }
    if (out.size() == size_t(count))
      out.push_back(1.0);
    return out;
  }

  std::optional<QColor> colorOf(const PlistValue *v) {
    return readEntry<QColor>(v, {"NSColor"}, [&](const PlistValue &e) { return colorFrom(e); }, &colors);
  }

  std::optional<QColor> colorFrom(const PlistValue &e) {
    const PlistValue *space = numberOf(&e.value(QStringLiteral("NSColorSpace")));
    switch (space && space->isInteger() ? space->toInt() : 0) {
    case 1:
    case 2:
      if (auto c = components(e, "NSRGB", 3))
        return QColor::fromRgba64(to16((*c)[0]), to16((*c)[1]), to16((*c)[2]), to16((*c)[3]));
      break;
    case 3:
    case 4:
      if (auto c = components(e, "NSWhite", 1))
        return QColor::fromRgba64(to16((*c)[0]), to16((*c)[0]), to16((*c)[0]), to16((*c)[1]));
      break;
    case 6:   // a named colour: read the colour it carries for other readers
      return colorOf(&e.value(QStringLiteral("NSColor")));
    case 0: damaged(QStringLiteral("a colour has no colour space")); break;
    default: break;   // pattern and other colour spaces are not carried
    }
    return std::nullopt;
  }

  std::optional<ArchivedFont> fontOf(const PlistValue *v) {
    return readEntry<ArchivedFont>(v, {"NSFont"}, [&](const PlistValue &e) { return fontFrom(e); }, &fonts);
  }

  std::optional<ArchivedFont> fontFrom(const PlistValue &e) {
    const std::optional<QString> name = stringOf(&e.value(QStringLiteral("NSName")));
    const std::optional<double> size = realOf(&e.value(QStringLiteral("NSSize")));
    if (!ok())
      return std::nullopt;
    if (!name || name->isEmpty()) {
      damaged(QStringLiteral("a font has no name"));
      return std::nullopt;
    }
    if (!size || !(*size >= 0 && *size <= KeyedArchiveLimits::maxFontPoints)) {
      damaged(QStringLiteral("a font has no valid size"));
      return std::nullopt;
    }
    return ArchivedFont{*name, *size};
  }

  std::optional<int> alignmentOf(const PlistValue *v) {
    return readEntry<int>(v, {"NSParagraphStyle", "NSMutableParagraphStyle"},
                          [&](const PlistValue &e) -> std::optional<int> {
                            const PlistValue *a = numberOf(&e.value(QStringLiteral("NSAlignment")));
                            if (!a)
                              return 4;   // no alignment written: natural
                            if (!a->isInteger() || a->toInt() < 0 || a->toInt() > 4) {
                              damaged(QStringLiteral("a paragraph style has an invalid alignment"));
                              return std::nullopt;
                            }
                            return int(a->toInt());
                          });
  }

  // The keys and values of an NSDictionary entry (read inside its opening).
  std::vector<std::pair<QString, const PlistValue *>> entriesOf(const PlistValue &dict) {
    const PlistValue &keys = dict.value(kKeys);
    const PlistValue &values = dict.value(kObjects);
    std::vector<std::pair<QString, const PlistValue *>> out;
    if (!keys.isValid() && !values.isValid())
      return out;
    if (!keys.isArray() || !values.isArray() || keys.size() != values.size()) {
      damaged(QStringLiteral("a dictionary has unequal keys and values"));
      return {};
    }
    for (qsizetype i = 0; i < keys.size() && ok(); ++i) {
      const std::optional<QString> key = stringOf(&keys.at(i));
      if (!key) {
        damaged(QStringLiteral("a dictionary key is not a string"));
        return {};
      }
      out.emplace_back(*key, &values.at(i));
    }
    return out;
  }

  // The items of an NSArray entry (read inside its opening).
  const std::vector<PlistValue> *itemsOf(const PlistValue &array) {
    const PlistValue &items = array.value(kObjects);
    if (!items.isArray()) {
      damaged(QStringLiteral("an array has no items"));
      return nullptr;
    }
    return &items.items();
  }

  // One attributes dictionary of an attributed text.
  std::optional<TextRun> attributesOf(const PlistValue *v) {
    std::optional<TextRun> run =
        readEntry<TextRun>(v, {"NSDictionary", "NSMutableDictionary"}, [&](const PlistValue &e) { return runFrom(e); });
    if (!run)   // nothing is read without an error only when it is no dictionary
      damaged(QStringLiteral("the attributes of a text are not a dictionary"));
    return run;
  }

  std::optional<TextRun> runFrom(const PlistValue &e) {
    TextRun run;
    for (const auto &[key, value] : entriesOf(e)) {
      if (key == u"NSFont")
        run.font = fontOf(value);
      else if (key == u"NSColor")
        run.color = colorOf(value);
      else if (key == u"NSKern")
        run.kerning = realOf(value);
      else if (key == u"NSParagraphStyle")
        run.alignment = alignmentOf(value);
    }
    return ok() ? std::optional<TextRun>(run) : std::nullopt;
  }

  std::optional<AttributedText> attributedOf(const PlistValue *v) {
    return readEntry<AttributedText>(v, {"NSMutableAttributedString", "NSAttributedString"},
                                     [&](const PlistValue &e) { return attributedFrom(e); });
  }

  std::optional<AttributedText> attributedFrom(const PlistValue &e) {
    AttributedText text;
    const std::optional<QString> string = stringOf(&e.value(QStringLiteral("NSString")));
    if (!string) {
      damaged(QStringLiteral("an attributed text has no string"));
      return std::nullopt;
    }
    text.string = *string;
    const PlistValue *attributes = &e.value(QStringLiteral("NSAttributes"));
    bool listed = false;
    std::optional<AttributedText> runs =
        readEntry<AttributedText>(attributes, {"NSArray", "NSMutableArray"}, [&](const PlistValue &list) {
          listed = true;
          return runsFrom(e, list, std::move(text));
        });
    if (!ok() || listed)
      return runs;
    // One dictionary for the whole string, or no attributes at all.
    if (!resolve(attributes) || text.string.isEmpty())
      return ok() ? std::optional<AttributedText>(text) : std::nullopt;
    std::optional<TextRun> run = attributesOf(attributes);
    if (!run)
      return std::nullopt;
    run->length = text.string.size();
    text.runs.append(*run);
    return text;
  }

  // The runs of an attributed text `e` whose attributes are the dictionaries of `list`.
  std::optional<AttributedText> runsFrom(const PlistValue &e, const PlistValue &list, AttributedText text) {
    const std::vector<PlistValue> *dicts = itemsOf(list);
    const std::optional<QByteArray> info = dataOf(&e.value(QStringLiteral("NSAttributeInfo")));
    if (!dicts || !info) {
      damaged(QStringLiteral("an attributed text has no run list"));
      return std::nullopt;
    }
    std::vector<std::optional<TextRun>> read(dicts->size());
    qsizetype at = 0;
    quint64 pos = 0;
    while (at < info->size() && ok()) {
      quint64 length = 0, index = 0;
      if (!readVarint(*info, at, length) || !readVarint(*info, at, index) || index >= dicts->size()
          || length > quint64(text.string.size()) - pos) {
        damaged(QStringLiteral("the runs of an attributed text do not fit its string"));
        return std::nullopt;
      }
      if (!read[index])
        read[index] = attributesOf(&(*dicts)[size_t(index)]);
      if (!read[index])
        return std::nullopt;
      if (length > 0) {
        TextRun run = *read[index];
        run.start = qsizetype(pos);
        run.length = qsizetype(length);
        text.runs.append(run);
      }
      pos += length;
    }
    return ok() ? std::optional<AttributedText>(text) : std::nullopt;
  }

  std::optional<QImage> readTiff(const QByteArray &tiff) {
    if (!hasTiff(QImageReader::supportedImageFormats())) {
      fail(missingTiffSupport());
      return std::nullopt;
    }
    QBuffer buffer;
    buffer.setData(tiff);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "tiff");
    const QSize size = reader.canRead() ? reader.size() : QSize();
    if (size.isEmpty()) {
      damaged(QStringLiteral("a picture is not a readable TIFF image"));
      return std::nullopt;
    }
    const qint64 count = qint64(size.width()) * size.height();
    if (count > KeyedArchiveLimits::maxImagePixels || pixels + count > KeyedArchiveLimits::maxTotalPixels) {
      fail(QStringLiteral("A picture in the archive is too large (%1 × %2 pixels).")
               .arg(size.width())
               .arg(size.height()));
      return std::nullopt;
    }
    pixels += count;
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
      damaged(QStringLiteral("a picture could not be read (%1)").arg(reader.errorString()));
      return std::nullopt;
    }
    return image;
  }

  std::optional<ArchivedImage> imageOf(const PlistValue *v) {
    return readEntry<ArchivedImage>(v, {"NSImage"}, [&](const PlistValue &e) { return imageFrom(e); }, &images);
  }

  std::optional<ArchivedImage> imageFrom(const PlistValue &image) {
    const PlistValue *e = &image;
    // A size with a number that is not finite reads as missing: the pixel size.
    std::optional<QSizeF> points;
    if (e->contains(QStringLiteral("NSSize"))) {
      const std::optional<QString> text = stringOf(&e->value(QStringLiteral("NSSize")));
      bool nonFinite = false;
      const auto numbers = text ? parseNumbers(*text, 2, &nonFinite) : std::nullopt;
      const double limit = KeyedArchiveLimits::maxImagePoints;
      if (!numbers || (*numbers)[0] < 0 || (*numbers)[1] < 0 || (*numbers)[0] > limit || (*numbers)[1] > limit) {
        damaged(QStringLiteral("a picture has an invalid size"));
        return std::nullopt;
      }
      if (!nonFinite)
        points = QSizeF((*numbers)[0], (*numbers)[1]);
    }
    // The first bitmap representation of "NSReps" is the picture.
    const std::optional<QImage> picture =
        readEntry<QImage>(&e->value(QStringLiteral("NSReps")), {"NSArray", "NSMutableArray"},
                          [&](const PlistValue &reps) { return pictureOf(reps); });
    if (!ok())
      return std::nullopt;
    if (!picture) {
      damaged(QStringLiteral("a picture holds no image"));
      return std::nullopt;
    }
    return ArchivedImage{*picture, points.value_or(QSizeF(picture->size()))};
  }

  // The picture of the first bitmap representation in the list `reps`.
  std::optional<QImage> pictureOf(const PlistValue &reps) {
    const std::vector<PlistValue> *items = itemsOf(reps);
    std::optional<QImage> picture;
    for (size_t i = 0; items && i < items->size() && !picture && ok(); ++i)
      picture = readEntry<QImage>(&(*items)[i], {"NSBitmapImageRep"}, [&](const PlistValue &rep) -> std::optional<QImage> {
        const std::optional<QByteArray> tiff = dataOf(&rep.value(QStringLiteral("NSTIFFRepresentation")));
        if (!tiff) {
          damaged(QStringLiteral("a picture holds no TIFF data"));
          return std::nullopt;
        }
        return readTiff(*tiff);
      });
    return picture;
  }

  std::unique_ptr<KeyedArchivable> objectFrom(const PlistValue *v) {
    QString name;
    Factory factory;
    const auto registered = [&](const QString &className) {
      name = className;
      factory = factories.value(name);
      if (!factory)
        isKind(name, {});   // another kind reads as missing, an unknown class fails
      return bool(factory);
    };
    std::optional<std::unique_ptr<KeyedArchivable>> object = readEntryOf<std::unique_ptr<KeyedArchivable>>(
        v, registered, [&](const PlistValue &e) { return std::optional(objectMadeBy(factory, name, e)); });
    return object ? std::move(*object) : nullptr;
  }

  // The object that the factory of class `name` makes of the entry `e`.
  std::unique_ptr<KeyedArchivable> objectMadeBy(const Factory &factory, const QString &name, const PlistValue &e) {
    std::unique_ptr<KeyedArchivable> object;
    frames.push_back({&e, name});
    try {
      object = factory(*q);
    } catch (const std::exception &ex) {
      fail(QStringLiteral("The object of class \"%1\" could not be read: %2").arg(name, QString::fromLocal8Bit(ex.what())));
    } catch (...) {
      fail(QStringLiteral("The object of class \"%1\" could not be read.").arg(name));
    }
    frames.pop_back();
    if (ok() && !object)
      fail(QStringLiteral("The object of class \"%1\" could not be read.").arg(name));
    return object;
  }
};

KeyedUnarchiver::KeyedUnarchiver(const QByteArray &bytes) : d(std::make_unique<Private>()) {
  d->q = this;
  d->load(bytes);
}

KeyedUnarchiver::~KeyedUnarchiver() = default;

void KeyedUnarchiver::registerClass(const QString &className, Factory factory) {
  d->factories.insert(className, std::move(factory));
}

std::unique_ptr<KeyedArchivable> KeyedUnarchiver::decodeRootObject() {
  if (!d->ok())
    return nullptr;
  if (d->root == 0) {
    d->damaged(QStringLiteral("its root object does not exist"));
    return nullptr;
  }
  const PlistValue rootRef = PlistValue::uid(d->root);
  const PlistValue *entry = d->resolve(&rootRef);
  if (!entry || !entry->isDict()) {
    d->damaged(QStringLiteral("its root is not an object"));
    return nullptr;
  }
  const QString name = d->classOf(*entry);
  if (d->ok() && !d->factories.contains(name) && !d->isKind(name, {}) && d->ok())
    d->fail(QStringLiteral("The archive holds a \"%1\" where an object of the program was expected.").arg(name));
  return d->ok() ? d->objectFrom(&rootRef) : nullptr;
}

std::optional<QColor> KeyedUnarchiver::decodeRootColor() {
  if (!d->ok() || d->root == 0)
    return std::nullopt;
  const PlistValue rootRef = PlistValue::uid(d->root);
  std::optional<QColor> color = d->colorOf(&rootRef);
  if (!color && d->ok())
    d->fail(QStringLiteral("The archive holds no colour."));
  return color;
}

std::optional<ArchivedFont> KeyedUnarchiver::decodeRootFont() {
  if (!d->ok() || d->root == 0)
    return std::nullopt;
  const PlistValue rootRef = PlistValue::uid(d->root);
  std::optional<ArchivedFont> font = d->fontOf(&rootRef);
  if (!font && d->ok())
    d->fail(QStringLiteral("The archive holds no font."));
  return font;
}

QString KeyedUnarchiver::error() const { return d->error; }
bool KeyedUnarchiver::failed() const { return !d->ok(); }
void KeyedUnarchiver::fail(const QString &message) { d->fail(message); }

QString KeyedUnarchiver::currentClassName() const {
  return d->frames.empty() ? QString() : d->frames.back().className;
}

bool KeyedUnarchiver::containsValueForKey(const QString &key) const { return d->field(key) != nullptr; }

bool KeyedUnarchiver::decodeBool(const QString &key) {
  const std::optional<double> v = d->realOf(d->field(key));
  return v && *v != 0;
}

qint64 KeyedUnarchiver::decodeInt64(const QString &key) { return d->integerOf(key).value_or(0); }

qint32 KeyedUnarchiver::decodeInt32(const QString &key) {
  const std::optional<qint64> v = d->integerOf(key);
  if (v && (*v < INT32_MIN || *v > INT32_MAX)) {
    d->fail(QStringLiteral("The archive value \"%1\" does not fit a 32-bit integer.").arg(key));
    return 0;
  }
  return qint32(v.value_or(0));
}

float KeyedUnarchiver::decodeFloat(const QString &key) {
  const double v = d->realOf(d->field(key)).value_or(0);   // finite: see numberOf()
  if (std::fabs(v) > double(FLT_MAX)) {
    d->fail(QStringLiteral("The archive value \"%1\" does not fit a 32-bit float.").arg(key));
    return 0;
  }
  return float(v);
}

double KeyedUnarchiver::decodeDouble(const QString &key) { return d->realOf(d->field(key)).value_or(0); }

QString KeyedUnarchiver::decodeString(const QString &key) { return d->stringOf(d->field(key)).value_or(QString()); }

QByteArray KeyedUnarchiver::decodeData(const QString &key) { return d->dataOf(d->field(key)).value_or(QByteArray()); }

QRectF KeyedUnarchiver::decodeRect(const QString &key) {
  const std::optional<QString> text = d->stringOf(d->field(key));
  const auto n = text ? parseNumbers(*text, 4) : std::nullopt;
  return n ? QRectF((*n)[0], (*n)[1], (*n)[2], (*n)[3]) : QRectF();
}

QPointF KeyedUnarchiver::decodePoint(const QString &key) {
  const std::optional<QString> text = d->stringOf(d->field(key));
  const auto n = text ? parseNumbers(*text, 2) : std::nullopt;
  return n ? QPointF((*n)[0], (*n)[1]) : QPointF();
}

QSizeF KeyedUnarchiver::decodeSize(const QString &key) {
  const std::optional<QString> text = d->stringOf(d->field(key));
  const auto n = text ? parseNumbers(*text, 2) : std::nullopt;
  return n ? QSizeF((*n)[0], (*n)[1]) : QSizeF(0, 0);
}

std::optional<QColor> KeyedUnarchiver::decodeColor(const QString &key) { return d->colorOf(d->field(key)); }
std::optional<ArchivedFont> KeyedUnarchiver::decodeFont(const QString &key) { return d->fontOf(d->field(key)); }

std::optional<AttributedText> KeyedUnarchiver::decodeAttributedText(const QString &key) {
  return d->attributedOf(d->field(key));
}

std::optional<ArchivedImage> KeyedUnarchiver::decodeImage(const QString &key) { return d->imageOf(d->field(key)); }

std::unique_ptr<KeyedArchivable> KeyedUnarchiver::decodeObject(const QString &key) {
  return d->objectFrom(d->field(key));
}

std::vector<std::unique_ptr<KeyedArchivable>> KeyedUnarchiver::decodeArray(const QString &key) {
  using Objects = std::vector<std::unique_ptr<KeyedArchivable>>;
  std::optional<Objects> out =
      d->readEntry<Objects>(d->field(key), {"NSArray", "NSMutableArray"}, [&](const PlistValue &array) {
        Objects objects;
        const std::vector<PlistValue> *items = d->itemsOf(array);
        for (size_t i = 0; items && i < items->size() && d->ok(); ++i)
          if (std::unique_ptr<KeyedArchivable> object = d->objectFrom(&(*items)[i]))
            objects.push_back(std::move(object));
        return std::optional(std::move(objects));
      });
  return out ? std::move(*out) : Objects();
}

QStringList KeyedUnarchiver::decodeStringList(const QString &key) {
  return d->readEntry<QStringList>(d->field(key), {"NSArray", "NSMutableArray"}, [&](const PlistValue &array) {
            QStringList strings;
            const std::vector<PlistValue> *items = d->itemsOf(array);
            for (size_t i = 0; items && i < items->size() && d->ok(); ++i)
              if (std::optional<QString> s = d->stringOf(&(*items)[i]))
                strings.append(*s);
            return std::optional(strings);
          })
      .value_or(QStringList());
}

std::vector<std::pair<QString, std::unique_ptr<KeyedArchivable>>>
KeyedUnarchiver::decodeDictionary(const QString &key) {
  using Entries = std::vector<std::pair<QString, std::unique_ptr<KeyedArchivable>>>;
  std::optional<Entries> out =
      d->readEntry<Entries>(d->field(key), {"NSDictionary", "NSMutableDictionary"}, [&](const PlistValue &dict) {
        Entries entries;
        for (const auto &[name, value] : d->entriesOf(dict))
          if (std::unique_ptr<KeyedArchivable> object = d->objectFrom(value))
            entries.emplace_back(name, std::move(object));
        return std::optional(std::move(entries));
      });
  return out ? std::move(*out) : Entries();
}
