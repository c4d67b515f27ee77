#include "platform/PropertyList.h"

#include <plist/plist.h>

#include <algorithm>
#include <climits>
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

// libplist hands dates over as 32-bit seconds since 2001 (1932 to 2069). Outside
// that range the node is read back through its XML form, which libplist prints from
// its full value (whole seconds).
QDateTime dateFromNode(plist_t node) {
  int32_t sec = 0, usec = 0;
  plist_get_date_val(node, &sec, &usec);
  if (sec != INT32_MIN && sec != INT32_MAX) {
    const qint64 ms = qint64(sec) * 1000 + usec / 1000 + kPlistEpochMs;
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
  }
  Node copy(plist_copy(node));
  char *xml = nullptr;
  uint32_t length = 0;
  plist_to_xml(copy.get(), &xml, &length);
  const QByteArray text(xml, xml ? qsizetype(length) : 0);
  plist_to_xml_free(xml);
  const qsizetype from = text.indexOf("<date>");
  const qsizetype to = text.indexOf("</date>");
  if (from < 0 || to < from)
    return {};
  QDateTime date = QDateTime::fromString(QString::fromLatin1(text.mid(from + 6, to - from - 6)),
                                         Qt::ISODate);
  date.setTimeSpec(Qt::UTC);
  return date;
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
  const QDate day = date.toUTC().date();
  if (day.year() < 1 || day.year() > 9999)
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

QByteArray toBinaryPropertyList(const PlistValue &value) {
  return writeWith(plist_to_bin, plist_to_bin_free, value);
}
