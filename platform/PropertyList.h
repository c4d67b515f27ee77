#pragma once
// Property lists: a value type (PlistValue) and its XML and binary file forms.
//
// Reading (both forms) and writing XML go through libplist; the binary form is
// written by our own writer, whose output depends on the value alone (libplist's
// binary writer shares equal data objects only when their node addresses happen to
// fall into the same bucket of its hash table, so its output changes with the heap).
// Everything read may be hostile, so parsePropertyList() checks the bytes before
// libplist sees them: the size, the nesting depth, the number of values the parsed
// tree would hold (a binary list can reference one object from many places, so a
// small file could otherwise expand into a huge tree), reference cycles, and that
// every binary object lies inside the file.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class PlistValue {
public:
  enum class Type { Invalid, Dict, Array, String, Integer, Real, Bool, Data, Date, Uid };

  PlistValue() = default;                       // Invalid: "no value"
  PlistValue(const QString &string);
  PlistValue(const char *utf8);                 // a string
  PlistValue(int value);
  PlistValue(qint64 value);
  PlistValue(double value);
  PlistValue(bool value);
  PlistValue(const QByteArray &data);
  PlistValue(const QDateTime &date);            // kept in UTC

  // An integer above INT64_MAX (the formats carry unsigned 64-bit integers too).
  static PlistValue fromUnsigned(quint64 value);
  static PlistValue uid(quint64 value);
  static PlistValue array(std::vector<PlistValue> items = {});
  static PlistValue dict();

  Type type() const { return m_type; }
  bool isValid() const { return m_type != Type::Invalid; }
  bool isDict() const { return m_type == Type::Dict; }
  bool isArray() const { return m_type == Type::Array; }
  bool isString() const { return m_type == Type::String; }
  bool isInteger() const { return m_type == Type::Integer; }
  bool isReal() const { return m_type == Type::Real; }
  bool isBool() const { return m_type == Type::Bool; }
  bool isData() const { return m_type == Type::Data; }
  bool isDate() const { return m_type == Type::Date; }
  bool isUid() const { return m_type == Type::Uid; }

  // Each accessor answers the value when it is of its own type, else the default
  // (null QString, 0, false, null QByteArray, invalid QDateTime).
  QString toString() const;
  // An integer above INT64_MAX answers INT64_MAX with *ok false.
  qint64 toInt(bool *ok = nullptr) const;
  // A negative integer answers 0 with *ok false.
  quint64 toUnsigned(bool *ok = nullptr) const;
  bool isUnsignedAboveInt64() const { return m_type == Type::Integer && m_unsigned; }
  double toReal() const;
  bool toBool() const;
  QByteArray toData() const;
  QDateTime toDate() const;
  quint64 toUid() const;

  // Arrays and dicts. A dict keeps its keys in insertion order; lookups answer the
  // first entry with the key.
  qsizetype size() const { return qsizetype(m_items.size()); }
  const std::vector<PlistValue> &items() const { return m_items; }     // array items, dict values
  const PlistValue &at(qsizetype index) const;                         // Invalid when out of range
  const QStringList &keys() const { return m_keys; }
  bool contains(const QString &key) const;
  const PlistValue &value(const QString &key) const;                   // Invalid when missing
  void insert(const QString &key, PlistValue value);                   // replaces an existing key
  void append(PlistValue value);

  bool operator==(const PlistValue &other) const;
  bool operator!=(const PlistValue &other) const { return !(*this == other); }

private:
  friend struct PlistAccess;
  Type m_type = Type::Invalid;
  bool m_unsigned = false;        // integer held in m_int as quint64 bits, above INT64_MAX
  qint64 m_int = 0;               // integer, bool, uid
  double m_real = 0;
  QString m_string;
  QByteArray m_data;
  QDateTime m_date;
  QStringList m_keys;             // dict keys, parallel to m_items
  std::vector<PlistValue> m_items;
};

// Limits on what parsePropertyList() accepts.
namespace PlistLimits {
constexpr qsizetype maxBytes = 256 * 1024 * 1024;
constexpr int maxDepth = 512;               // containers inside containers
constexpr qint64 maxValues = 1'000'000;     // values in the parsed tree, dict keys included
}

// Reads a property list in binary ("bplist00") or XML form. On failure answers
// nullopt and sets *error to a sentence saying why.
std::optional<PlistValue> parsePropertyList(const QByteArray &bytes, QString *error = nullptr);

// Writes the XML or the binary form. Dates in XML carry whole seconds (the format has
// no fractions); the binary form keeps the milliseconds QDateTime holds. A string (and
// a dict key) is cut at its first NUL character; a key that then occurs twice is
// written once, at its first place, with its last value. Answers an empty array when
// the value (or a value inside it) is Invalid, a date outside the years 1 to 9999, or
// nested deeper than PlistLimits::maxDepth; the binary form also refuses a UID above
// 2^32 - 1, which libplist could not read back.
//
// The binary form ("bplist00") is the same bytes for equal values: objects are
// numbered depth-first as met (a dict, its keys, then its values), equal scalars
// (strings and keys, numbers, booleans, dates, data, UIDs) are written once and
// shared, containers are never shared. Integers take 1, 2 or 4 bytes when
// non-negative and below 2^32, else 8 bytes signed, and 16 bytes above INT64_MAX;
// reals and dates 8-byte doubles (dates in seconds since 2001-01-01 UTC); strings are
// ASCII when every character is below 0x80, else UTF-16BE; references and offsets
// take the fewest of 1, 2, 4 or 8 bytes that hold the largest one.
QByteArray toXmlPropertyList(const PlistValue &value);
QByteArray toBinaryPropertyList(const PlistValue &value);
