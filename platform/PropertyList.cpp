#include "platform/PropertyList.h"

#include <QHash>
#include <plist/plist.h>

#include <algorithm>
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
  case Type::Real: return m_real == o.m_real;
  case Type::String: return m_string == o.m_string;
  case Type::Data: return m_data == o.m_data;
  case Type::Date: return m_date == o.m_date;
  case Type::Array:
  case Type::Dict: return m_keys == o.m_keys && m_items == o.m_items;
  }
  return false;
}

// Filling a parsed dict without the duplicate check of insert(): libplist has already
// settled the keys, and a check per key would make a dict of n keys cost n².
struct PlistAccess {
  static void appendEntry(PlistValue &dict, QString key, PlistValue value) {
    dict.m_keys.append(std::move(key));
    dict.m_items.push_back(std::move(value));
  }
};

// ---------------------------------------------------------------------------------
// libplist helpers

namespace {

struct PlistFree {
  void operator()(void *node) const { plist_free(node); }
};
using Node = std::unique_ptr<void, PlistFree>;

// libplist reads and prints numbers with strtod and printf, which follow the C
// locale; the application runs under the user's locale (a German locale reads
// "0.25" as 0). Every call into libplist runs under the "C" locale of this thread.
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
// integer (so both formats write it unsigned) only when it reads it; there is no
// constructor for it, so it is made by reading a line of XML.
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
  if (!std::isfinite(seconds) || std::fabs(seconds) > 1e12)   // far beyond the years 1 to 9999
    return {};
  const QDateTime date =
      QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000) + kPlistEpochMs, Qt::UTC);
  return dateInRange(date) ? date : QDateTime();
}

Node dateNode(const QDateTime &date) {
  if (!date.isValid())
    return nullptr;
  const qint64 ms = date.toMSecsSinceEpoch() - kPlistEpochMs;
  qint64 sec = ms / 1000;
  qint64 rest = ms % 1000;
  if (rest < 0) {
    rest += 1000;
    --sec;
  }
  if (sec > INT32_MIN && sec < INT32_MAX)
    return Node(plist_new_date(int32_t(sec), int32_t(rest * 1000)));
  if (!dateInRange(date))
    return nullptr;
  const QByteArray iso = date.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")).toLatin1();
  return parseXmlSnippet("<plist><date>" + iso + "</date></plist>");
}

// libplist tree → PlistValue. The checks before parsing bound the depth; the depth
// is checked here again so that nothing relies on libplist's own limits.
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
    return PlistValue(QString::fromUtf8(text, text ? qsizetype(length) : 0));
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
      const QString name = QString::fromUtf8(key);
      free(key);
      std::optional<PlistValue> item = fromNode(child, depth + 1);
      if (!item) {
        free(it);
        return std::nullopt;
      }
      PlistAccess::appendEntry(dict, name, std::move(*item));
    }
    free(it);
    return dict;
  }
  default: return std::nullopt;
  }
}

// PlistValue → libplist tree; null when the value holds an Invalid or is too deep.
Node toNode(const PlistValue &value, int depth) {
  if (depth > PlistLimits::maxDepth)
    return nullptr;
  switch (value.type()) {
  case PlistValue::Type::Invalid: return nullptr;
  case PlistValue::Type::Bool: return Node(plist_new_bool(value.toBool() ? 1 : 0));
  case PlistValue::Type::Integer:
    if (value.isUnsignedAboveInt64())
      return makeUnsignedNode(value.toUnsigned());
    return Node(plist_new_uint(uint64_t(value.toInt())));
  case PlistValue::Type::Real: return Node(plist_new_real(value.toReal()));
  case PlistValue::Type::String: return Node(plist_new_string(value.toString().toUtf8().constData()));
  case PlistValue::Type::Data: {
    const QByteArray data = value.toData();
    return Node(plist_new_data(data.constData(), uint64_t(data.size())));
  }
  case PlistValue::Type::Date: return dateNode(value.toDate());
  case PlistValue::Type::Uid: return Node(plist_new_uid(value.toUid()));
  case PlistValue::Type::Array: {
    Node array(plist_new_array());
    for (const PlistValue &item : value.items()) {
      Node child = toNode(item, depth + 1);
      if (!child)
        return nullptr;
      plist_array_append_item(array.get(), child.release());
    }
    return array;
  }
  case PlistValue::Type::Dict: {
    Node dict(plist_new_dict());
    for (qsizetype i = 0; i < value.size(); ++i) {
      Node child = toNode(value.items()[size_t(i)], depth + 1);
      if (!child)
        return nullptr;
      plist_dict_set_item(dict.get(), value.keys()[i].toUtf8().constData(), child.release());
    }
    return dict;
  }
  }
  return nullptr;
}

// ---------------------------------------------------------------------------------
// Checks before libplist parses

// A binary property list: "bplist00", the objects, a table of their offsets, and a
// 32-byte trailer (offset size, reference size, object count, top object, table
// offset). Walks the object graph from the top object without building it: every
// object must lie between the header and the offset table, references must be in
// range and free of cycles, the depth must stay under the limit, and the number of
// values the parsed tree would hold (an object counts once per reference) too.
class BinaryCheck {
public:
  explicit BinaryCheck(const QByteArray &bytes)
      : m_p(reinterpret_cast<const uchar *>(bytes.constData())), m_size(quint64(bytes.size())) {}

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
    m_state.assign(m_count, 0);
    m_height.assign(m_count, 0);
    m_values.assign(m_count, 0);
    return walk(top);
  }

private:
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

  // Dict keys must be strings without NUL characters (libplist aborts on those).
  bool isKey(quint64 object) const {
    if (object >= m_count)
      return false;
    const quint64 at = readBE(m_p + m_table + object * m_offsetSize, m_offsetSize);
    quint64 count = 0, start = 0;
    if (!inObjects(at, 1) || !readCount(at, count, start))
      return false;
    const uchar type = m_p[at] >> 4;
    const quint64 unit = type == 0x6 ? 2 : 1;
    if ((type != 0x5 && type != 0x6) || count > m_table / unit || !inObjects(start, count * unit))
      return false;
    for (quint64 i = 0; i < count; ++i)
      if (m_p[start + i * unit] == 0 && (unit == 1 || m_p[start + i * unit + 1] == 0))
        return false;
    return true;
  }

  // Checks the object and, for a container, fills `frame` with its references.
  // Answers an error text or an empty string.
  QString inspect(quint64 object, Frame &frame) const {
    const quint64 at = readBE(m_p + m_table + object * m_offsetSize, m_offsetSize);
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

  const uchar *m_p;
  quint64 m_size;
  int m_offsetSize = 0;
  int m_refSize = 0;
  quint64 m_count = 0;
  quint64 m_table = 0;
  std::vector<uchar> m_state;      // 0 not seen, 1 on the current path, 2 done
  std::vector<quint32> m_height;
  std::vector<quint32> m_values;
};

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

QByteArray writeWith(void (*write)(plist_t, char **, uint32_t *), void (*release)(char *),
                     const PlistValue &value) {
  CLocaleScope cLocale;
  Node root = toNode(value, 0);
  if (!root)
    return {};
  char *buffer = nullptr;
  uint32_t length = 0;
  write(root.get(), &buffer, &length);
  QByteArray out(buffer, buffer ? qsizetype(length) : 0);
  release(buffer);
  return out;
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

// Both forms cut a string at its first NUL character (libplist keeps strings as C
// strings, and dict keys with NULs are refused when read).
QString cutAtNul(const QString &s) {
  const qsizetype nul = s.indexOf(QChar(u'\0'));
  return nul < 0 ? s : s.left(nul);
}

// ASCII strings as one byte per character, others as UTF-16BE counted in UTF-16
// units. A lone surrogate is replaced as in the XML form (which goes through UTF-8),
// so that every reader can decode the text.
QByteArray encodeString(const QString &string) {
  QString s = cutAtNul(string);
  const bool ascii = std::all_of(s.cbegin(), s.cend(), [](QChar c) { return c.unicode() < 0x80; });
  QByteArray out;
  if (ascii) {
    appendMarker(out, 0x5, quint64(s.size()));
    out.append(s.toLatin1());
    return out;
  }
  if (!QStringView(s).isValidUtf16())
    s = QString::fromUtf8(s.toUtf8());
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
      // A key that occurs twice (after the cut at NUL, or in a dict read from a file
      // that repeated it) is written once, at its first place, with its last value.
      QStringList keys;
      QHash<QString, size_t> seen;
      for (qsizetype i = 0; i < value.size(); ++i) {
        const QString key = cutAtNul(value.keys()[i]);
        const PlistValue *item = &value.items()[size_t(i)];
        if (auto it = seen.constFind(key); it != seen.cend()) {
          items[*it] = item;
          continue;
        }
        seen.insert(key, items.size());
        keys.append(key);
        items.push_back(item);
      }
      for (const QString &key : keys)
        refs.push_back(addScalar(encodeString(key)));
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
  const QString check = binary ? BinaryCheck(bytes).run() : checkXml(bytes);
  if (!check.isEmpty())
    return fail(check);

  CLocaleScope cLocale;
  plist_t raw = nullptr;
  if (binary)
    plist_from_bin(bytes.constData(), uint32_t(bytes.size()), &raw);
  else
    plist_from_xml(bytes.constData(), uint32_t(bytes.size()), &raw);
  Node root(raw);
  if (!root)
    return fail(binary ? QStringLiteral("The binary property list is damaged.")
                       : QStringLiteral("The data is not a property list."));
  std::optional<PlistValue> value = fromNode(root.get(), 0);
  if (!value)
    return fail(QStringLiteral("The property list holds a value of an unknown kind."));
  return value;
}

QByteArray toXmlPropertyList(const PlistValue &value) {
  return writeWith(plist_to_xml, plist_to_xml_free, value);
}

QByteArray toBinaryPropertyList(const PlistValue &value) { return BinaryWriter().write(value); }
