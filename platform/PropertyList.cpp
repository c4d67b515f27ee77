#include "platform/PropertyList.h"

#include <QHash>
#include <QStringDecoder>
#include <plist/plist.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <memory>

// ---------------------------------------------------------------------------------
// PlistValue

PlistValue::PlistValue(const QString &string) : m_type(Type::String), m_string(string) {
  if (m_string.isNull())
    m_string = QStringLiteral("");   // a string value is never the null QString
}
PlistValue::PlistValue(const char *utf8) : PlistValue(QString::fromUtf8(utf8)) {}
PlistValue::PlistValue(int value) : m_type(Type::Integer), m_int(value) {}
PlistValue::PlistValue(qint64 value) : m_type(Type::Integer), m_int(value) {}
PlistValue::PlistValue(double value) : m_type(Type::Real), m_real(value) {}
PlistValue::PlistValue(bool value) : m_type(Type::Bool), m_int(value ? 1 : 0) {}
PlistValue::PlistValue(const QByteArray &data) : m_type(Type::Data), m_data(data) {}
PlistValue::PlistValue(const QDateTime &date) : m_type(Type::Date), m_date(date.toUTC()) {}

PlistValue PlistValue::fromUnsigned(quint64 value) {
  PlistValue v{qint64(value)};
  v.m_unsigned = value > quint64(INT64_MAX);
  return v;
}

PlistValue PlistValue::uid(quint64 value) {
  PlistValue v;
  v.m_type = Type::Uid;
  v.m_int = qint64(value);
  return v;
}

PlistValue PlistValue::array(std::vector<PlistValue> items) {
  PlistValue v;
  v.m_type = Type::Array;
  v.m_items = std::move(items);
  return v;
}

PlistValue PlistValue::dict() {
  PlistValue v;
  v.m_type = Type::Dict;
  return v;
}

QString PlistValue::toString() const { return isString() ? m_string : QString(); }

qint64 PlistValue::toInt(bool *ok) const {
  const bool fits = isInteger() && !m_unsigned;
  if (ok)
    *ok = fits;
  if (isInteger() && m_unsigned)
    return INT64_MAX;
  return fits ? m_int : 0;
}

quint64 PlistValue::toUnsigned(bool *ok) const {
  const bool fits = isInteger() && (m_unsigned || m_int >= 0);
  if (ok)
    *ok = fits;
  return fits ? quint64(m_int) : 0;
}

double PlistValue::toReal() const { return isReal() ? m_real : 0.0; }
bool PlistValue::toBool() const { return isBool() && m_int != 0; }
QByteArray PlistValue::toData() const { return isData() ? m_data : QByteArray(); }
QDateTime PlistValue::toDate() const { return isDate() ? m_date : QDateTime(); }
quint64 PlistValue::toUid() const { return isUid() ? quint64(m_int) : 0; }

const PlistValue &PlistValue::at(qsizetype index) const {
  static const PlistValue none;
  return index >= 0 && index < size() ? m_items[size_t(index)] : none;
}

bool PlistValue::contains(const QString &key) const { return isDict() && m_keys.contains(key); }

const PlistValue &PlistValue::value(const QString &key) const {
  static const PlistValue none;
  if (!isDict())
    return none;
  const qsizetype i = m_keys.indexOf(key);
  return i < 0 ? none : m_items[size_t(i)];
}

void PlistValue::insert(const QString &key, PlistValue value) {
  if (!isDict())
    return;
  const qsizetype i = m_keys.indexOf(key);
  if (i >= 0) {
    m_items[size_t(i)] = std::move(value);
    return;
  }
  m_keys.append(key);
  m_items.push_back(std::move(value));
}

void PlistValue::append(PlistValue value) {
  if (isArray())
    m_items.push_back(std::move(value));
}

bool PlistValue::operator==(const PlistValue &o) const {
  if (m_type != o.m_type)
    return false;
  switch (m_type) {
  case Type::Invalid: return true;
  case Type::Integer: return m_int == o.m_int && m_unsigned == o.m_unsigned;
  case Type::Bool:
  case Type::Uid: return m_int == o.m_int;
  case Type::Real: return m_real == o.m_real || (std::isnan(m_real) && std::isnan(o.m_real));
  case Type::String: return m_string == o.m_string;
  case Type::Data: return m_data == o.m_data;
  case Type::Date: return m_date == o.m_date;
  case Type::Array:
  case Type::Dict: return m_keys == o.m_keys && m_items == o.m_items;
  }
  return false;
}

// Filling a parsed dict without the linear duplicate check of insert(), which would
// make a dict of n keys cost n²: `index` maps the keys so far to their places. A key
// that occurs again keeps its first place and takes the last value, as insert() does.
struct PlistAccess {
  static void setEntry(PlistValue &dict, QHash<QString, size_t> &index, QString key, PlistValue value) {
    if (auto it = index.constFind(key); it != index.cend()) {
      dict.m_items[*it] = std::move(value);
      return;
    }
    index.insert(key, dict.m_items.size());
    dict.m_keys.append(std::move(key));
    dict.m_items.push_back(std::move(value));
  }
};

namespace {

// ---------------------------------------------------------------------------------
// Text that every reader can decode

constexpr char16_t kReplacement = 0xFFFD;

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Each surrogate that is not half of a pair becomes U+FFFD, one unit for one, so
// lengths in UTF-16 units (the runs of an attributed text) stay as they were. Other
// readers refuse or drop lone surrogates (plistlib's strict UTF-16 decoding, libplist).
QString withoutLoneSurrogates(QString s) {
  const qsizetype n = s.size();
  qsizetype i = 0;
  while (i < n) {
    const char16_t c = s.at(i).unicode();
    if (isHighSurrogate(c) && i + 1 < n && isLowSurrogate(s.at(i + 1).unicode())) {
      i += 2;
      continue;
    }
    if (isHighSurrogate(c) || isLowSurrogate(c))
      s[i] = QChar(kReplacement);
    ++i;
  }
  return s;
}

// UTF-8 text as it stands: QString::fromUtf8 drops a byte-order mark at the start, which
// in a property list is the first character of the string, not a mark.
QString utf8Text(const char *bytes, qsizetype size) {
  QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
  return decoder.decode(QByteArrayView(bytes, size));
}

// The text the XML form carries: XML 1.0 holds no U+0000, no other C0 control
// character but tab, line feed and carriage return, no U+FFFE or U+FFFF and no lone
// surrogate, not even as a character reference (plistlib refuses them, libplist takes
// some). Each such unit becomes U+FFFD, one for one. The XML writer writes this text
// and the XML reader cleans what it reads the same way, so what is read always writes
// and reads back equal.
QString xmlText(const QString &string) {
  QString s = withoutLoneSurrogates(string);
  for (qsizetype i = 0; i < s.size(); ++i) {
    const char16_t c = s.at(i).unicode();
    if ((c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D) || c == 0xFFFE || c == 0xFFFF)
      s[i] = QChar(kReplacement);
  }
  return s;
}

// The entries of a dictionary as a writer writes them: each key as `keyOf` gives it;
// keys that become equal that way (lone surrogates replaced, text cleaned for XML) are
// written once, at the first place, with the last value.
template <typename Key, typename KeyOf>
std::vector<std::pair<Key, const PlistValue *>> mergedEntries(const PlistValue &dict, KeyOf keyOf) {
  std::vector<std::pair<Key, const PlistValue *>> entries;
  QHash<Key, size_t> seen;
  for (qsizetype i = 0; i < dict.size(); ++i) {
    Key key = keyOf(dict.keys()[i]);
    const PlistValue *item = &dict.items()[size_t(i)];
    if (auto it = seen.constFind(key); it != seen.cend()) {
      entries[*it].second = item;
      continue;
    }
    seen.insert(key, entries.size());
    entries.emplace_back(std::move(key), item);
  }
  return entries;
}

// ---------------------------------------------------------------------------------
// libplist helpers (libplist reads the XML form)

struct PlistFree {
  void operator()(void *node) const { plist_free(node); }
};
using Node = std::unique_ptr<void, PlistFree>;

// libplist reads numbers with strtod, which follows the C locale; the application
// runs under the user's locale (a German locale reads "0.25" as 0). Every call into
// libplist runs under the "C" locale of this thread.
class CLocaleScope {
public:
  CLocaleScope() : m_c(newlocale(LC_ALL_MASK, "C", locale_t(nullptr))) {
    if (m_c)
      m_previous = uselocale(m_c);
  }
  ~CLocaleScope() {
    if (m_c) {
      uselocale(m_previous);
      freelocale(m_c);
    }
  }
  CLocaleScope(const CLocaleScope &) = delete;
  CLocaleScope &operator=(const CLocaleScope &) = delete;

private:
  locale_t m_c;
  locale_t m_previous = locale_t(nullptr);
};

Node parseXmlSnippet(const QByteArray &xml) {
  plist_t node = nullptr;
  plist_from_xml(xml.constData(), uint32_t(xml.size()), &node);
  return Node(node);
}

// An integer above INT64_MAX. libplist marks such a node internally as a 16-byte
// integer only when it reads it; there is no constructor for it, so it is made by
// reading a line of XML.
Node makeUnsignedNode(quint64 value) {
  return parseXmlSnippet("<plist><integer>" + QByteArray::number(value) + "</integer></plist>");
}

// A node whose top bit is set is either a negative 64-bit integer or an unsigned one
// above INT64_MAX; libplist tells them apart only by comparing with such a node.
bool isUnsignedNode(plist_t node, quint64 value) {
  if (value <= quint64(INT64_MAX))
    return false;
  Node probe = makeUnsignedNode(value);
  return probe && plist_compare_node_value(node, probe.get());
}

// Seconds between 1970-01-01 and 2001-01-01, the epoch of property list dates.
constexpr qint64 kPlistEpochMs = 978307200000LL;

// The range of dates both forms carry: the years 1 to 9999.
bool dateInRange(const QDateTime &date) {
  return date.isValid() && date.toUTC().date().year() >= 1 && date.toUTC().date().year() <= 9999;
}

// A date of `seconds` since 2001-01-01 UTC, to the millisecond; invalid outside the
// years 1 to 9999.
QDateTime dateFromSeconds(double seconds) {
  if (!std::isfinite(seconds) || std::fabs(seconds) > 1e12)   // far beyond the years 1 to 9999
    return {};
  const QDateTime date =
      QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000) + kPlistEpochMs, Qt::UTC);
  return dateInRange(date) ? date : QDateTime();
}

// libplist keeps a date as a double of seconds since 2001 but hands it over only as
// 32-bit whole seconds, cut toward zero (a date in the second before 2001 loses its
// sign), and microseconds, cut as well (a millisecond can come back one less). The
// exact double is taken from the node's own binary form instead, which for a lone
// date is the header, the marker 0x33 and the 8-byte double.
QDateTime dateFromNode(plist_t node) {
  Node copy(plist_copy(node));
  char *binary = nullptr;
  uint32_t length = 0;
  plist_to_bin(copy.get(), &binary, &length);
  const QByteArray bytes(binary, binary ? qsizetype(length) : 0);
  plist_to_bin_free(binary);
  if (bytes.size() < 8 + 9 + 32 || uchar(bytes[8]) != 0x33)
    return {};
  quint64 bits = 0;
  for (int i = 0; i < 8; ++i)
    bits = (bits << 8) | uchar(bytes[9 + i]);
  double seconds = 0;
  std::memcpy(&seconds, &bits, sizeof seconds);
  return dateFromSeconds(seconds);
}

// libplist tree of an XML property list → PlistValue. The checks before parsing bound
// the depth; the depth is checked here again so that nothing relies on libplist's own
// limits. Strings and keys are cleaned as xmlText() says (libplist takes raw control
// characters, character references to them, and bytes that are not UTF-8); keys that
// become equal keep the first place and the last value. A dict whose only key is
// "CF$UID" holding an integer below 2^32 is a UID, the form the XML writer gives UIDs.
std::optional<PlistValue> fromNode(plist_t node, int depth) {
  if (!node || depth > PlistLimits::maxDepth)
    return std::nullopt;
  switch (plist_get_node_type(node)) {
  case PLIST_BOOLEAN: {
    uint8_t b = 0;
    plist_get_bool_val(node, &b);
    return PlistValue(b != 0);
  }
  case PLIST_UINT: {
    uint64_t v = 0;
    plist_get_uint_val(node, &v);
    return isUnsignedNode(node, v) ? PlistValue::fromUnsigned(v) : PlistValue(qint64(v));
  }
  case PLIST_REAL: {
    double d = 0;
    plist_get_real_val(node, &d);
    return PlistValue(d);
  }
  case PLIST_STRING: {
    uint64_t length = 0;
    const char *text = plist_get_string_ptr(node, &length);
    return PlistValue(xmlText(utf8Text(text, text ? qsizetype(length) : 0)));
  }
  case PLIST_DATA: {
    uint64_t length = 0;
    const char *bytes = plist_get_data_ptr(node, &length);
    return PlistValue(QByteArray(bytes, bytes ? qsizetype(length) : 0));
  }
  case PLIST_DATE: return PlistValue(dateFromNode(node));
  case PLIST_UID: {
    uint64_t v = 0;
    plist_get_uid_val(node, &v);
    return PlistValue::uid(v);
  }
  case PLIST_ARRAY: {
    std::vector<PlistValue> items;
    items.reserve(plist_array_get_size(node));
    plist_array_iter it = nullptr;
    plist_array_new_iter(node, &it);
    for (;;) {
      plist_t child = nullptr;
      plist_array_next_item(node, it, &child);
      if (!child)
        break;
      std::optional<PlistValue> item = fromNode(child, depth + 1);
      if (!item) {
        free(it);
        return std::nullopt;
      }
      items.push_back(std::move(*item));
    }
    free(it);
    return PlistValue::array(std::move(items));
  }
  case PLIST_DICT: {
    PlistValue dict = PlistValue::dict();
    QHash<QString, size_t> index;
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(node, &it);
    for (;;) {
      char *key = nullptr;
      plist_t child = nullptr;
      plist_dict_next_item(node, it, &key, &child);
      if (!child) {
        free(key);
        break;
      }
      const QString name = xmlText(utf8Text(key, key ? qsizetype(std::strlen(key)) : 0));
      free(key);
      std::optional<PlistValue> item = fromNode(child, depth + 1);
      if (!item) {
        free(it);
        return std::nullopt;
      }
      PlistAccess::setEntry(dict, index, name, std::move(*item));
    }
    free(it);
    if (dict.size() == 1 && dict.keys().front() == u"CF$UID") {
      bool fits = false;
      const quint64 uid = dict.at(0).toUnsigned(&fits);
      if (fits && uid <= 0xFFFFFFFFULL)
        return PlistValue::uid(uid);
    }
    return dict;
  }
  default: return std::nullopt;
  }
}

// ---------------------------------------------------------------------------------
// The binary reader

// A binary property list: "bplist00", the objects, a table of their offsets, and a
// 32-byte trailer (offset size, reference size, object count, top object, table
// offset). First walks the object graph from the top object without building it:
// every object must lie between the header and the offset table, references must be
// in range and free of cycles, the depth must stay under the limit, and the number of
// values the parsed tree would hold (an object counts once per reference) too. Then
// builds the value. Strings are read whole, NUL characters included (libplist's
// reader cut ASCII strings at the first NUL and dropped lone surrogates).
class BinaryReader {
public:
  explicit BinaryReader(const QByteArray &bytes)
      : m_p(reinterpret_cast<const uchar *>(bytes.constData())), m_size(quint64(bytes.size())) {}

  std::optional<PlistValue> read(QString *error) {
    QString why = run();
    std::optional<PlistValue> value;
    if (why.isEmpty())
      value = decode(m_top, why);
    if (!value && error)
      *error = why;
    return value;
  }

private:
  QString run() {
    if (m_size < 8 + 32)
      return damaged("it is too short");
    const uchar *t = m_p + m_size - 32;
    m_offsetSize = t[6];
    m_refSize = t[7];
    m_count = readBE(t + 8, 8);
    const quint64 top = readBE(t + 16, 8);
    m_table = readBE(t + 24, 8);
    if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8)
      return damaged("its trailer is invalid");
    if (m_table < 8 || m_table > m_size - 32 || m_count == 0
        || m_count > (m_size - 32 - m_table) / m_offsetSize)
      return damaged("its offset table does not fit in the file");
    if (quint64(PlistLimits::maxValues) < m_count)
      return tooMany();
    if (top >= m_count)
      return damaged("its top object does not exist");
    m_top = top;
    m_state.assign(m_count, 0);
    m_height.assign(m_count, 0);
    m_values.assign(m_count, 0);
    return walk(top);
  }

  struct Frame {
    quint64 object;
    quint64 refs;        // offset of the reference list
    quint64 children;    // number of references
    quint64 next = 0;    // next reference to follow
  };

  static QString damaged(const char *why) {
    return QStringLiteral("The binary property list is damaged: %1.").arg(QLatin1String(why));
  }
  static QString tooMany() {
    return QStringLiteral("The property list holds more than %1 values.").arg(PlistLimits::maxValues);
  }
  static QString tooDeep() {
    return QStringLiteral("The property list is nested deeper than %1 levels.").arg(PlistLimits::maxDepth);
  }

  static quint64 readBE(const uchar *p, int n) {
    quint64 v = 0;
    for (int i = 0; i < n; ++i)
      v = (v << 8) | p[i];
    return v;
  }

  // True when [from, from + length) lies in the object area.
  bool inObjects(quint64 from, quint64 length) const {
    return from >= 8 && from <= m_table && length <= m_table - from;
  }

  // The count of a string, data or container: the low nibble, or 0xF followed by an
  // integer object. Sets `start` to the first byte after the count.
  bool readCount(quint64 at, quint64 &count, quint64 &start) const {
    const uchar low = m_p[at] & 0x0F;
    if (low != 0x0F) {
      count = low;
      start = at + 1;
      return true;
    }
    if (!inObjects(at + 1, 1) || (m_p[at + 1] & 0xF0) != 0x10)
      return false;
    const int n = 1 << (m_p[at + 1] & 0x0F);
    if (n > 8 || !inObjects(at + 2, quint64(n)))
      return false;
    count = readBE(m_p + at + 2, n);
    start = at + 2 + quint64(n);
    return true;
  }

  // Dict keys must be strings.
  bool isKey(quint64 object) const {
    if (object >= m_count)
      return false;
    const quint64 at = offsetOf(object);
    quint64 count = 0, start = 0;
    if (!inObjects(at, 1) || !readCount(at, count, start))
      return false;
    const uchar type = m_p[at] >> 4;
    const quint64 unit = type == 0x6 ? 2 : 1;
    return (type == 0x5 || type == 0x6) && count <= m_table / unit && inObjects(start, count * unit);
  }

  quint64 offsetOf(quint64 object) const { return readBE(m_p + m_table + object * m_offsetSize, m_offsetSize); }

  // Checks the object and, for a container, fills `frame` with its references.
  // Answers an error text or an empty string.
  QString inspect(quint64 object, Frame &frame) const {
    const quint64 at = offsetOf(object);
    if (!inObjects(at, 1))
      return damaged("an object lies outside the file");
    const uchar marker = m_p[at];
    const uchar low = marker & 0x0F;
    frame = Frame{object, 0, 0};
    quint64 count = 0, start = 0, length = 0;
    switch (marker >> 4) {
    case 0x0: length = 1; start = at; break;
    case 0x1:
    case 0x2:
      if (low > 4)
        return damaged("a number has an invalid size");
      start = at + 1;
      length = quint64(1) << low;
      break;
    case 0x3: start = at + 1; length = 8; break;
    case 0x8: start = at + 1; length = quint64(low) + 1; break;
    case 0x4:
    case 0x5:
    case 0x6:
    case 0x7:
      if (!readCount(at, count, start))
        return damaged("a length is invalid");
      if ((marker >> 4) == 0x6 && count > m_table / 2)
        return damaged("a string is longer than the file");
      length = (marker >> 4) == 0x6 ? count * 2 : count;
      break;
    case 0xA:
    case 0xB:
    case 0xC:
    case 0xD: {
      if (!readCount(at, count, start))
        return damaged("a length is invalid");
      const quint64 refs = (marker >> 4) == 0xD ? 2 : 1;
      if (count > m_table / m_refSize / refs)
        return damaged("a container is longer than the file");
      frame.refs = start;
      frame.children = count * refs;
      length = frame.children * m_refSize;
      if (!inObjects(start, length))
        break;
      for (quint64 i = 0; refs == 2 && i < count; ++i)
        if (!isKey(readBE(m_p + start + i * m_refSize, m_refSize)))
          return damaged("a dictionary key is not a string");
      break;
    }
    default: return damaged("an object has an unknown type");
    }
    if (!inObjects(start, length))
      return damaged("an object runs past the end of the objects");
    return {};
  }

  QString walk(quint64 top) {
    std::vector<Frame> stack;
    Frame first;
    if (QString e = inspect(top, first); !e.isEmpty())
      return e;
    m_state[top] = 1;
    stack.push_back(first);
    while (!stack.empty()) {
      Frame &f = stack.back();
      if (f.next < f.children) {
        const quint64 child = readBE(m_p + f.refs + f.next * m_refSize, m_refSize);
        ++f.next;
        if (child >= m_count)
          return damaged("a reference points past the last object");
        if (m_state[child] == 1)
          return damaged("an object contains itself");
        if (m_state[child] == 2)
          continue;
        if (stack.size() > size_t(PlistLimits::maxDepth))
          return tooDeep();
        Frame next;
        if (QString e = inspect(child, next); !e.isEmpty())
          return e;
        m_state[child] = 1;
        stack.push_back(next);
        continue;
      }
      // All children done: the height and the expanded number of values.
      quint32 height = 0;
      quint64 values = 1;
      for (quint64 i = 0; i < f.children; ++i) {
        const quint64 child = readBE(m_p + f.refs + i * m_refSize, m_refSize);
        height = std::max(height, m_height[child]);
        values += m_values[child];
        if (values > quint64(PlistLimits::maxValues))
          return tooMany();
      }
      if (height > quint32(PlistLimits::maxDepth))
        return tooDeep();
      m_height[f.object] = height + 1;
      m_values[f.object] = quint32(values);
      m_state[f.object] = 2;
      stack.pop_back();
    }
    return {};
  }

  // The value of `object`, which run() has checked with everything it refers to:
  // offsets, lengths, references, cycles, the depth (so the recursion is bounded) and
  // the number of values. Strings and data met again are shared, not copied.
  std::optional<PlistValue> decode(quint64 object, QString &error) {
    const quint64 at = offsetOf(object);
    const uchar marker = m_p[at];
    const uchar low = marker & 0x0F;
    quint64 count = 0, start = 0;
    switch (marker >> 4) {
    case 0x0:
      if (low == 0x8 || low == 0x9)
        return PlistValue(low == 0x9);
      break;   // null and fill bytes carry no value
    case 0x1: {
      // 1, 2 and 4 bytes are unsigned, 8 bytes signed, 16 bytes a signed 128-bit
      // number, which holds a 64-bit one or an unsigned one above INT64_MAX.
      if (low <= 3)
        return PlistValue(qint64(readBE(m_p + at + 1, 1 << low)));
      const quint64 high = readBE(m_p + at + 1, 8);
      const quint64 bits = readBE(m_p + at + 9, 8);
      if (high == 0)
        return PlistValue::fromUnsigned(bits);
      if (high == ~quint64(0) && (bits >> 63) != 0)
        return PlistValue(qint64(bits));
      error = damaged("an integer is outside the 64-bit range");
      return std::nullopt;
    }
    case 0x2:
      if (low == 2) {
        const quint32 bits = quint32(readBE(m_p + at + 1, 4));
        float f = 0;
        static_assert(sizeof f == sizeof bits);
        std::memcpy(&f, &bits, sizeof f);
        return PlistValue(double(f));
      }
      if (low == 3)
        return PlistValue(readDouble(at + 1));
      error = damaged("a real has an invalid size");
      return std::nullopt;
    case 0x3:
      if (low == 3)
        return PlistValue(dateFromSeconds(readDouble(at + 1)));
      error = damaged("a date has an invalid size");
      return std::nullopt;
    case 0x4:
    case 0x5:
    case 0x6: {
      if (auto it = m_shared.constFind(object); it != m_shared.cend())
        return *it;
      readCount(at, count, start);
      const char *bytes = reinterpret_cast<const char *>(m_p + start);
      PlistValue value;
      if ((marker >> 4) == 0x4) {
        value = PlistValue(QByteArray(bytes, qsizetype(count)));
      } else if ((marker >> 4) == 0x5) {
        // ASCII; other bytes are taken as UTF-8, as libplist's reader did.
        value = PlistValue(utf8Text(bytes, qsizetype(count)));
      } else {
        QString text(qsizetype(count), Qt::Uninitialized);
        for (quint64 i = 0; i < count; ++i)
          text[qsizetype(i)] = QChar(char16_t(readBE(m_p + start + 2 * i, 2)));
        value = PlistValue(withoutLoneSurrogates(std::move(text)));
      }
      m_shared.insert(object, value);
      return value;
    }
    case 0x8: {
      // libplist could not read a UID above 2^32 - 1, nor does the writer write one.
      const int width = low + 1;
      const quint64 uid = width <= 8 ? readBE(m_p + at + 1, width) : ~quint64(0);
      if (uid > 0xFFFFFFFFULL) {
        error = damaged("a UID is out of range");
        return std::nullopt;
      }
      return PlistValue::uid(uid);
    }
    case 0xA:
    case 0xB:   // ordered and unordered sets read as arrays
    case 0xC: {
      readCount(at, count, start);
      std::vector<PlistValue> items;
      items.reserve(size_t(count));
      for (quint64 i = 0; i < count; ++i) {
        std::optional<PlistValue> item = decode(readBE(m_p + start + i * m_refSize, m_refSize), error);
        if (!item)
          return std::nullopt;
        items.push_back(std::move(*item));
      }
      return PlistValue::array(std::move(items));
    }
    case 0xD: {
      readCount(at, count, start);
      PlistValue dict = PlistValue::dict();
      QHash<QString, size_t> index;
      for (quint64 i = 0; i < count; ++i) {
        std::optional<PlistValue> key = decode(readBE(m_p + start + i * m_refSize, m_refSize), error);
        std::optional<PlistValue> item =
            key ? decode(readBE(m_p + start + (count + i) * m_refSize, m_refSize), error) : std::nullopt;
        if (!item)
          return std::nullopt;
        PlistAccess::setEntry(dict, index, key->toString(), std::move(*item));
      }
      return dict;
    }
    default: break;
    }
    error = damaged("an object has an unknown type");
    return std::nullopt;
  }

  double readDouble(quint64 at) const {
    const quint64 bits = readBE(m_p + at, 8);
    double v = 0;
    static_assert(sizeof v == sizeof bits);
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }

  const uchar *m_p;
  quint64 m_size;
  int m_offsetSize = 0;
  int m_refSize = 0;
  quint64 m_count = 0;
  quint64 m_table = 0;
  quint64 m_top = 0;
  std::vector<uchar> m_state;      // 0 not seen, 1 on the current path, 2 done
  std::vector<quint32> m_height;
  std::vector<quint32> m_values;
  QHash<quint64, PlistValue> m_shared;   // strings and data read so far, by object
};

// ---------------------------------------------------------------------------------
// The check before libplist reads an XML property list

// An XML property list: counts the nesting of <array> and <dict> and the number of
// elements, skipping comments, CDATA, processing instructions and the DOCTYPE.
QString checkXml(const QByteArray &bytes) {
  int depth = 0;
  qint64 elements = 0;
  qsizetype i = 0;
  const qsizetype n = bytes.size();
  auto skipPast = [&](const char *end) {
    const qsizetype at = bytes.indexOf(end, i);
    i = at < 0 ? n : at + qsizetype(std::strlen(end));
  };
  while ((i = bytes.indexOf('<', i)) >= 0) {
    const QByteArrayView rest = QByteArrayView(bytes).sliced(i);
    if (rest.startsWith("<!--")) {
      skipPast("-->");
    } else if (rest.startsWith("<![CDATA[")) {
      skipPast("]]>");
    } else if (i + 1 < n && (bytes[i + 1] == '?' || bytes[i + 1] == '!')) {
      skipPast(">");
    } else {
      const bool closing = i + 1 < n && bytes[i + 1] == '/';
      const qsizetype nameStart = i + (closing ? 2 : 1);
      qsizetype end = bytes.indexOf('>', nameStart);
      if (end < 0)
        break;
      const QByteArrayView tag = QByteArrayView(bytes).sliced(nameStart, end - nameStart).trimmed();
      const bool selfClosing = tag.endsWith('/');
      const bool container = tag.startsWith("array") || tag.startsWith("dict");
      if (closing) {
        if (container)
          --depth;
      } else {
        if (++elements > PlistLimits::maxValues)
          return QStringLiteral("The property list holds more than %1 values.").arg(PlistLimits::maxValues);
        if (container && !selfClosing && ++depth > PlistLimits::maxDepth)
          return QStringLiteral("The property list is nested deeper than %1 levels.").arg(PlistLimits::maxDepth);
      }
      i = end + 1;
    }
  }
  return {};
}

// ---------------------------------------------------------------------------------
// The binary writer
//
// A binary property list (format "bplist00") is: the 8-byte header, the objects, a
// table of the objects' offsets and a 32-byte trailer. Each object starts with a
// marker byte whose high nibble is its type and whose low nibble is its size or
// count; a count of 15 or more is written as nibble 0xF followed by an integer object.
// Containers hold references, object numbers of a fixed width set in the trailer.
//
// The file depends on the value alone. The objects are numbered depth-first in the
// order they are met: a container, then (for a dict) all its keys, then its items.
// Scalars (strings, dict keys, numbers, booleans, dates, data, UIDs) with equal
// encodings are written once and referenced from every place they occur; containers
// are never shared, each is written where it occurs.

// The width of a reference, offset or count holding `v`: 1, 2, 4 or 8 bytes.
int widthFor(quint64 v) {
  if (v <= 0xFF)
    return 1;
  if (v <= 0xFFFF)
    return 2;
  if (v <= 0xFFFFFFFFULL)
    return 4;
  return 8;
}

int log2Width(int width) { return width == 1 ? 0 : width == 2 ? 1 : width == 4 ? 2 : 3; }

void appendBE(QByteArray &out, quint64 v, int width) {
  for (int shift = (width - 1) * 8; shift >= 0; shift -= 8)
    out.append(char((v >> shift) & 0xFF));
}

// An integer object: non-negative values below 2^32 in 1, 2 or 4 bytes (read as
// unsigned), everything else as 8 bytes two's complement.
void appendInteger(QByteArray &out, qint64 v) {
  const int width = v >= 0 && v <= qint64(0xFFFFFFFFLL) ? widthFor(quint64(v)) : 8;
  out.append(char(0x10 | log2Width(width)));
  appendBE(out, quint64(v), width);
}

// A marker with its count: in the low nibble, or 0xF and an integer object.
void appendMarker(QByteArray &out, uchar type, quint64 count) {
  if (count < 15) {
    out.append(char((type << 4) | uchar(count)));
    return;
  }
  out.append(char((type << 4) | 0x0F));
  const int width = widthFor(count);
  out.append(char(0x10 | log2Width(width)));
  appendBE(out, count, width);
}

void appendDouble(QByteArray &out, uchar marker, double v) {
  quint64 bits = 0;
  static_assert(sizeof bits == sizeof v);
  std::memcpy(&bits, &v, sizeof v);
  out.append(char(marker));
  appendBE(out, bits, 8);
}

// ASCII strings as one byte per character, others as UTF-16BE counted in UTF-16
// units; NUL characters are written like any other. A lone surrogate is replaced
// (see withoutLoneSurrogates()) so that every reader can decode the text.
QByteArray encodeString(const QString &string) {
  const QString s = withoutLoneSurrogates(string);
  const bool ascii = std::all_of(s.cbegin(), s.cend(), [](QChar c) { return c.unicode() < 0x80; });
  QByteArray out;
  if (ascii) {
    appendMarker(out, 0x5, quint64(s.size()));
    out.append(s.toLatin1());
    return out;
  }
  appendMarker(out, 0x6, quint64(s.size()));
  out.reserve(out.size() + s.size() * 2);
  for (QChar c : s)
    appendBE(out, c.unicode(), 2);
  return out;
}

// A scalar object's bytes; nullopt for a value that cannot be written (an Invalid,
// a date outside the years 1 to 9999, a UID above 2^32 - 1).
std::optional<QByteArray> encodeScalar(const PlistValue &value) {
  QByteArray out;
  switch (value.type()) {
  case PlistValue::Type::Bool: out.append(value.toBool() ? '\x09' : '\x08'); break;
  case PlistValue::Type::Integer:
    if (value.isUnsignedAboveInt64()) {
      // 16 bytes, read as a signed 128-bit number: the high half is zero.
      out.append('\x14');
      appendBE(out, 0, 8);
      appendBE(out, value.toUnsigned(), 8);
    } else {
      appendInteger(out, value.toInt());
    }
    break;
  case PlistValue::Type::Real: appendDouble(out, 0x23, value.toReal()); break;
  case PlistValue::Type::String: out = encodeString(value.toString()); break;
  case PlistValue::Type::Data: {
    const QByteArray data = value.toData();
    appendMarker(out, 0x4, quint64(data.size()));
    out.append(data);
    break;
  }
  case PlistValue::Type::Date: {
    const QDateTime date = value.toDate();
    if (!dateInRange(date))
      return std::nullopt;
    appendDouble(out, 0x33, double(date.toMSecsSinceEpoch() - kPlistEpochMs) / 1000.0);
    break;
  }
  case PlistValue::Type::Uid: {
    // 1, 2 or 4 bytes, the widths the format's writers use. libplist refuses to read
    // a UID above 2^32 - 1, so none is written.
    if (value.toUid() > 0xFFFFFFFFULL)
      return std::nullopt;
    const int width = widthFor(value.toUid());
    out.append(char(0x80 | (width - 1)));
    appendBE(out, value.toUid(), width);
    break;
  }
  case PlistValue::Type::Invalid:
  case PlistValue::Type::Array:
  case PlistValue::Type::Dict: return std::nullopt;
  }
  return out;
}

class BinaryWriter {
public:
  QByteArray write(const PlistValue &root) {
    quint64 top = 0;
    if (!add(root, 0, top))
      return {};
    const quint64 count = m_objects.size();
    const int refSize = widthFor(count - 1);
    QByteArray out("bplist00");
    std::vector<quint64> offsets;
    offsets.reserve(count);
    for (const Object &object : m_objects) {
      offsets.push_back(quint64(out.size()));
      if (object.type == 0) {
        out.append(object.scalar);
        continue;
      }
      appendMarker(out, object.type, object.type == 0xD ? object.refs.size() / 2 : object.refs.size());
      for (quint64 ref : object.refs)
        appendBE(out, ref, refSize);
    }
    const quint64 table = quint64(out.size());
    const int offsetSize = widthFor(offsets.back());
    for (quint64 offset : offsets)
      appendBE(out, offset, offsetSize);
    out.append(QByteArray(6, '\0'));
    out.append(char(offsetSize));
    out.append(char(refSize));
    appendBE(out, count, 8);
    appendBE(out, top, 8);
    appendBE(out, table, 8);
    return out;
  }

private:
  struct Object {
    uchar type = 0;               // 0xA array, 0xD dict (refs: keys, then values), 0 scalar
    QByteArray scalar;            // the encoded scalar
    std::vector<quint64> refs;
  };

  quint64 addScalar(QByteArray encoded) {
    if (auto it = m_scalars.constFind(encoded); it != m_scalars.cend())
      return *it;
    const quint64 index = m_objects.size();
    m_scalars.insert(encoded, index);
    m_objects.push_back(Object{0, std::move(encoded), {}});
    return index;
  }

  // Numbers `value` and what it holds; false when something cannot be written.
  bool add(const PlistValue &value, int depth, quint64 &index) {
    if (depth > PlistLimits::maxDepth)
      return false;
    if (!value.isArray() && !value.isDict()) {
      std::optional<QByteArray> encoded = encodeScalar(value);
      if (!encoded)
        return false;
      index = addScalar(std::move(*encoded));
      return true;
    }
    index = m_objects.size();
    m_objects.push_back(Object{uchar(value.isDict() ? 0xD : 0xA), {}, {}});
    std::vector<quint64> refs;
    std::vector<const PlistValue *> items;
    if (value.isArray()) {
      for (const PlistValue &item : value.items())
        items.push_back(&item);
    } else {
      for (const auto &[key, item] : mergedEntries<QString>(value, withoutLoneSurrogates)) {
        refs.push_back(addScalar(encodeString(key)));
        items.push_back(item);
      }
    }
    for (const PlistValue *item : items) {
      quint64 child = 0;
      if (!add(*item, depth + 1, child))
        return false;
      refs.push_back(child);
    }
    m_objects[size_t(index)].refs = std::move(refs);
    return true;
  }

  std::vector<Object> m_objects;
  QHash<QByteArray, quint64> m_scalars;    // encoded scalar → its object number
};

// ---------------------------------------------------------------------------------
// The XML writer
//
// Our own, like the binary writer: libplist's XML writer computes with undefined
// behaviour on some reals (1e300, NaN, infinities) and integers (INT64_MIN). The
// output depends on the value alone: the layout libplist wrote (a tab per level,
// dict keys in the value's order), reals in the shortest form that reads back
// bit-identical, integers over the full signed and unsigned 64-bit ranges.

// The text of a real: the shortest decimal that reads back to the same double
// (std::to_chars, which ignores the locale); NaN and the infinities as words that
// plistlib (float()) and libplist (strtod) both read.
QByteArray realText(double v) {
  if (std::isnan(v))
    return "nan";
  if (std::isinf(v))
    return v > 0 ? "+infinity" : "-infinity";
  char buffer[64];
  const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, v);
  return QByteArray(buffer, r.ptr - buffer);
}

template <typename Integer>
QByteArray integerText(Integer v) {
  char buffer[32];
  const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, v);
  return QByteArray(buffer, r.ptr - buffer);
}

// Character data: the text xmlText() allows, with &, < and > escaped, and carriage
// returns as references (a parser turns a written one into a line feed).
QByteArray escapedText(const QString &text) {
  const QByteArray utf8 = xmlText(text).toUtf8();
  QByteArray out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    switch (c) {
    case '&': out.append("&amp;"); break;
    case '<': out.append("&lt;"); break;
    case '>': out.append("&gt;"); break;
    case '\r': out.append("&#13;"); break;
    default: out.append(c); break;
    }
  }
  return out;
}

class XmlWriter {
public:
  QByteArray write(const PlistValue &root) {
    m_out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
            "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
            "<plist version=\"1.0\">\n";
    if (!add(root, 0))
      return {};
    m_out.append("</plist>\n");
    return m_out;
  }

private:
  void line(int depth, const QByteArray &text) {
    m_out.append(QByteArray(depth, '\t'));
    m_out.append(text);
    m_out.append('\n');
  }

  void element(int depth, const char *tag, const QByteArray &text) {
    line(depth, '<' + QByteArray(tag) + '>' + text + "</" + QByteArray(tag) + '>');
  }

  bool add(const PlistValue &value, int depth) {
    if (depth > PlistLimits::maxDepth)
      return false;
    switch (value.type()) {
    case PlistValue::Type::Invalid: return false;
    case PlistValue::Type::Bool: line(depth, value.toBool() ? "<true/>" : "<false/>"); return true;
    case PlistValue::Type::Integer:
      element(depth, "integer",
              value.isUnsignedAboveInt64() ? integerText(value.toUnsigned()) : integerText(value.toInt()));
      return true;
    case PlistValue::Type::Real: element(depth, "real", realText(value.toReal())); return true;
    case PlistValue::Type::String: element(depth, "string", escapedText(value.toString())); return true;
    case PlistValue::Type::Data: {
      // Base64 in lines of 68 characters, each on a line of its own.
      const QByteArray base64 = value.toData().toBase64();
      line(depth, "<data>");
      for (qsizetype at = 0; at < base64.size(); at += 68)
        line(depth, base64.mid(at, 68));
      line(depth, "</data>");
      return true;
    }
    case PlistValue::Type::Date: {
      // Whole seconds, the fraction cut toward the past.
      const QDateTime date = value.toDate();
      if (!dateInRange(date))
        return false;
      const qint64 ms = date.toMSecsSinceEpoch();
      const QDateTime second =
          QDateTime::fromMSecsSinceEpoch(ms - (((ms % 1000) + 1000) % 1000), Qt::UTC);
      const QDate d = second.date();
      const QTime t = second.time();
      element(depth, "date",
              QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02dZ", d.year(), d.month(), d.day(), t.hour(),
                                t.minute(), t.second())
                  .toLatin1());
      return true;
    }
    case PlistValue::Type::Uid:
      if (value.toUid() > 0xFFFFFFFFULL)   // as the binary form: read back as a UID only below 2^32
        return false;
      line(depth, "<dict>");
      element(depth + 1, "key", "CF$UID");
      element(depth + 1, "integer", integerText(value.toUid()));
      line(depth, "</dict>");
      return true;
    case PlistValue::Type::Array:
      if (value.size() == 0) {
        line(depth, "<array/>");
        return true;
      }
      line(depth, "<array>");
      for (const PlistValue &item : value.items())
        if (!add(item, depth + 1))
          return false;
      line(depth, "</array>");
      return true;
    case PlistValue::Type::Dict: {
      // Keys are written as xmlText() allows.
      const auto entries = mergedEntries<QByteArray>(value, escapedText);
      if (entries.empty()) {
        line(depth, "<dict/>");
        return true;
      }
      line(depth, "<dict>");
      for (const auto &[key, item] : entries) {
        element(depth + 1, "key", key);
        if (!add(*item, depth + 1))
          return false;
      }
      line(depth, "</dict>");
      return true;
    }
    }
    return false;
  }

  QByteArray m_out;
};

}  // namespace

std::optional<PlistValue> parsePropertyList(const QByteArray &bytes, QString *error) {
  auto fail = [error](const QString &why) -> std::optional<PlistValue> {
    if (error)
      *error = why;
    return std::nullopt;
  };
  if (bytes.size() > PlistLimits::maxBytes)
    return fail(QStringLiteral("The property list is larger than %1 MiB.")
                    .arg(PlistLimits::maxBytes / (1024 * 1024)));
  if (bytes.isEmpty())
    return fail(QStringLiteral("The property list is empty."));
  const bool binary = bytes.startsWith("bplist");
  if (binary && !bytes.startsWith("bplist00"))
    return fail(QStringLiteral("The binary property list has an unsupported version."));
  if (binary) {
    QString why;
    std::optional<PlistValue> value = BinaryReader(bytes).read(&why);
    return value ? value : fail(why);
  }
  const QString check = checkXml(bytes);
  if (!check.isEmpty())
    return fail(check);

  CLocaleScope cLocale;
  plist_t raw = nullptr;
  plist_from_xml(bytes.constData(), uint32_t(bytes.size()), &raw);
  Node root(raw);
  if (!root)
    return fail(QStringLiteral("The data is not a property list."));
  std::optional<PlistValue> value = fromNode(root.get(), 0);
  if (!value)
    return fail(QStringLiteral("The property list holds a value of an unknown kind."));
  return value;
}

QByteArray toXmlPropertyList(const PlistValue &value) { return XmlWriter().write(value); }

QByteArray toBinaryPropertyList(const PlistValue &value) { return BinaryWriter().write(value); }
