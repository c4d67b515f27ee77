#pragma once
// Property lists: a value type (PlistValue) and its XML and binary file forms.
//
// Reading the XML form goes through libplist; the binary form is read by our own
// reader (libplist's cut ASCII strings at their first NUL), and both forms are written
// by our own writers, whose output depends on the value alone (libplist's binary
// writer shares equal data objects only when their node addresses happen to fall into
// the same bucket of its hash table, so its output changes with the heap; its XML
// writer computes with undefined behaviour on reals such as 1e300, NaN and the
// infinities, and on INT64_MIN). Everything read may be hostile, so
// parsePropertyList() checks the bytes first: the size, the nesting depth, the number
// of values the parsed tree would hold (a binary list can reference one object from
// many places, so a small file could otherwise expand into a huge tree), reference
// cycles, and that every binary object lies inside the file.
//
// Strings (values and dict keys) round-trip whole through the binary form, NUL
// characters included. The XML form cannot hold every character: XML 1.0 has no
// U+0000, no other C0 control character but tab, line feed and carriage return, no
// U+FFFE, U+FFFF or lone surrogate. The XML writer writes each such UTF-16 unit as
// U+FFFD, and the XML reader reads each that libplist lets through (raw, or as a
// character reference) as U+FFFD too, so what is read from XML writes and reads back
// equal. Both writers write a lone surrogate as U+FFFD and the binary reader reads
// one so (one unit for one: lengths in UTF-16 units stay). A key that thereby equals
// an earlier one keeps the earlier place and takes the later value.

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

  // Equal type and value, containers item by item, dict keys in the same order; a NaN
  // real equals a NaN real.
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
// nullopt and sets *error to a sentence saying why. A dict key that occurs twice keeps
// its first place and its last value. In XML, a dict whose only key is "CF$UID"
// holding an integer below 2^32 is read as a UID (the form the XML writer gives them).
std::optional<PlistValue> parsePropertyList(const QByteArray &bytes, QString *error = nullptr);

// Writes the XML or the binary form. Dates in XML carry whole seconds (the format has
// no fractions; the fraction is cut toward the past); the binary form keeps the
// milliseconds QDateTime holds. Answers an empty array when the value (or a value
// inside it) is Invalid, a date outside the years 1 to 9999, or nested deeper than
// PlistLimits::maxDepth, or a UID above 2^32 - 1 (which libplist could not read from
// the binary form, nor the XML reader tells from a dict). Strings are written as said
// above.
//
// The XML form has the layout libplist wrote: the XML declaration and DOCTYPE, a tab
// per level, dict keys in the value's order, empty containers as <array/> and <dict/>,
// data as base64 in lines of 68 characters. Reals are written in the shortest form
// that reads back to the same double ("0.1", "1", "1e+300", "-0"), NaN as "nan" and
// the infinities as "+infinity" and "-infinity" (plistlib and libplist read these
// words); integers over the whole signed 64-bit range and,
// when the value is above INT64_MAX, unsigned up to 2^64 - 1. In strings and keys &, <
// and > are escaped and a carriage return is written as "&#13;" (a parser turns a
// written one into a line feed). A UID is written as a dict with the key "CF$UID".
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
