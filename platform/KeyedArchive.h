#pragma once
// Keyed archives: an object and what it holds, written as a binary property list in
// the platform's published keyed-archive layout, and read back with strict checks.
//
// The property list is a dict:
//   "$version"  = 100000
//   "$archiver" = "NSKeyedArchiver"
//   "$top"      = { "root": UID }
//   "$objects"  = [ "$null", ... ]
// A UID n refers to $objects[n]; UID 0 ("$null") is nil. An object is a dict whose
// "$class" is the UID of a class dict { "$classname": name, "$classes": [name,
// superclasses..., "NSObject"] }, written once per class name; its other keys hold
// booleans, integers, reals and byte fields (a colour's components) inline, and
// everything else as the UID of another entry. Strings and data objects are plain
// entries of $objects (equal strings share one entry). Strings are written whole,
// NUL characters included; a lone surrogate is written as U+FFFD.
//
// Forms of the values:
//   rect, point, size  UID → string "{{x, y}, {w, h}}", "{x, y}", "{w, h}"; numbers in
//                      their shortest exact form with a "." decimal point
//   bool, int, real    inline; a 32-bit float is written as a real holding its value
//   colour             NSColor: "NSColorSpace" 1 (calibrated RGB) and "NSRGB" data inline,
//                      ASCII "r g b a" and a NUL byte. Component data is read inline and
//                      as a UID of a data entry (archives written before kept it so), as
//                      is any data. Read also: space 2 (device RGB),
//                      3 and 4 ("NSWhite" data "w [a]"), 6 (a named colour: its "NSColor"
//                      fallback); a missing alpha is 1. In memory a QColor, which keeps 16
//                      bits per channel: writing a colour that was read gives the same text.
//   font               NSFont: "NSName" (UID → PostScript name), "NSSize" (real),
//                      "NSfFlags" (16).
//   attributed text    NSMutableAttributedString: "NSString" (UID → string); with one run
//                      "NSAttributes" (UID → attributes dictionary), with several runs
//                      "NSAttributes" (UID → NSArray of attributes dictionaries) and
//                      "NSAttributeInfo" (UID → data: per run its length in UTF-16 units
//                      and the index of its dictionary, each a varint of 7 bits per byte,
//                      low bits first, the high bit set on every byte but the last).
//                      An attributes dictionary is an NSDictionary with the keys "NSFont",
//                      "NSColor", "NSKern" (UID → real) and "NSParagraphStyle" (an
//                      NSParagraphStyle with "NSAlignment": 0 left, 1 right, 2 centre,
//                      3 justified, 4 natural).
//   image              NSImage: "NSSize" (UID → size string, points) and "NSReps" (UID →
//                      NSArray holding one NSBitmapImageRep whose "NSTIFFRepresentation" is
//                      UID → TIFF data).
//   object lists       NSArray: "NS.objects" = [UIDs]; NSDictionary: "NS.keys" = [UIDs
//                      of strings], "NS.objects" = [UIDs].
//
// Nil: a null QString or QByteArray, std::nullopt, a null QImage and a null object are
// written as UID 0 under their key (containsValueForKey() is true for them) and read
// back as null. An empty string or data is a real value and reads back empty, not null.
//
// Reading treats the bytes as hostile. Only the value classes above and the classes
// registered with the unarchiver are accepted; any other class is an error. Every UID
// is checked, an object that contains itself is an error, objects nest at most
// KeyedArchiveLimits::maxDepth deep, and sizes are capped (see KeyedArchiveLimits).
// A key that is missing, or holds a value of another kind than asked (a string asked
// for as a number, a font asked for as a colour), reads as missing: 0, false, null,
// nullopt; a missing rect, point or size reads as zeros. A real that is NaN or
// infinite reads as missing too (0, false, no kerning), and so does such a number in
// a rect, point or size string ("{{nan, 0}, {inf, 5}}" reads as {{0, 0}, {0, 5}}; a
// picture's size with one reads as missing, its pixel size). Integers and reals are
// read as one another (a real asked for as an integer is cut toward zero). A value that is
// damaged in itself (an NSColor without readable components, an NSFont whose name is
// not a string, a picture that does not decode) and a number that does not fit the
// type asked (an int32 above 2^31 - 1, a real beyond the range of a float) make the
// whole archive fail with error().

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace KeyedArchiveLimits {
constexpr int maxDepth = 64;                        // objects inside objects
constexpr qint64 maxObjectReads = 200'000;          // object entries read per archive
constexpr qint64 maxImagePixels = 100'000'000;      // one picture (Qt's own image
                                                    // allocation limit applies as well)
constexpr qint64 maxTotalPixels = 200'000'000;      // all pictures of one archive
constexpr double maxImagePoints = 100'000;          // NSSize of a picture, each side
constexpr double maxFontPoints = 10'000;            // NSSize of a font
}

// A font as files carry it; mapping the name to an installed font is done elsewhere.
struct ArchivedFont {
  QString postScriptName;
  double pointSize = 0;
  bool operator==(const ArchivedFont &) const = default;
};

// A stretch of an attributed text and its attributes; absent attributes are not set.
struct TextRun {
  qsizetype start = 0;               // UTF-16 units into AttributedText::string
  qsizetype length = 0;
  std::optional<ArchivedFont> font;
  std::optional<QColor> color;
  std::optional<double> kerning;     // points
  std::optional<int> alignment;      // paragraph alignment, codes as above
  bool operator==(const TextRun &) const = default;
};

// Runs are written in order of their start; parts of the string that no run covers
// are written without attributes, and runs are cut to the string.
struct AttributedText {
  QString string;
  QList<TextRun> runs;
  bool operator==(const AttributedText &) const = default;
};

struct ArchivedImage {
  QImage image;
  QSizeF pointSize;                  // size on the card, points
};

class KeyedArchiver;
class KeyedUnarchiver;

// An object that can be archived. Reading is done by a factory registered with the
// unarchiver, which makes the object and reads its keys.
class KeyedArchivable {
public:
  virtual ~KeyedArchivable() = default;
  virtual QString archiveClassName() const = 0;
  // The classes between archiveClassName() and "NSObject", nearest first.
  virtual QStringList archiveSuperclasses() const { return {}; }
  virtual void encodeWithCoder(KeyedArchiver &coder) const = 0;
};

class KeyedArchiver {
public:
  // The archive of `root`, or an empty array with *error set (an object that contains
  // itself, objects nested too deep, a picture that cannot be written as TIFF).
  static QByteArray archiveRootObject(const KeyedArchivable &root, QString *error = nullptr);
  // Archives whose root is a value of its own: a colour (NSColor) or a font (NSFont).
  // An absent value gives an archive whose root is nil.
  static QByteArray archiveRootColor(const std::optional<QColor> &color, QString *error = nullptr);
  static QByteArray archiveRootFont(const std::optional<ArchivedFont> &font, QString *error = nullptr);

  // Called from encodeWithCoder(): each writes one key of the object being archived.
  // Keys keep the order in which they are written; a key written twice keeps the last.
  void encodeBool(const QString &key, bool value);
  void encodeInt32(const QString &key, qint32 value);
  void encodeInt64(const QString &key, qint64 value);
  void encodeFloat(const QString &key, float value);
  void encodeDouble(const QString &key, double value);
  void encodeString(const QString &key, const QString &value);
  void encodeData(const QString &key, const QByteArray &value);
  void encodeRect(const QString &key, const QRectF &value);
  void encodePoint(const QString &key, const QPointF &value);
  void encodeSize(const QString &key, const QSizeF &value);
  void encodeColor(const QString &key, const std::optional<QColor> &value);
  void encodeFont(const QString &key, const std::optional<ArchivedFont> &value);
  void encodeAttributedText(const QString &key, const std::optional<AttributedText> &value);
  // An empty `points` takes the pixel size (72 pixels per inch).
  void encodeImage(const QString &key, const QImage &image, QSizeF points = {});
  void encodeObject(const QString &key, const KeyedArchivable *object);
  void encodeArray(const QString &key, const QList<const KeyedArchivable *> &objects);
  void encodeStringList(const QString &key, const QStringList &strings);
  void encodeDictionary(const QString &key,
                        const QList<std::pair<QString, const KeyedArchivable *>> &entries);

  ~KeyedArchiver();

private:
  // The archive around the objects written so far, with `rootUid` as its root.
  QByteArray finish(quint64 rootUid, QString *error);

  KeyedArchiver();
  struct Private;
  std::unique_ptr<Private> d;
};

class KeyedUnarchiver {
public:
  using Factory = std::function<std::unique_ptr<KeyedArchivable>(KeyedUnarchiver &)>;

  // Parses the bytes at once; a damaged archive shows in error().
  explicit KeyedUnarchiver(const QByteArray &bytes);
  ~KeyedUnarchiver();

  // Allows the class `className`: objects of it are made by `factory`, which reads
  // their keys with the decode functions below.
  void registerClass(const QString &className, Factory factory);

  // The root object, or null with error() set.
  std::unique_ptr<KeyedArchivable> decodeRootObject();
  // The root of an archive made by archiveRootColor / archiveRootFont: nullopt for a
  // nil root; a root of another kind sets error().
  std::optional<QColor> decodeRootColor();
  std::optional<ArchivedFont> decodeRootFont();

  QString error() const;
  bool failed() const;
  // A factory reports a problem with the object it reads; the first error is kept.
  void fail(const QString &message);
  // The class name of the object whose factory is running.
  QString currentClassName() const;

  // Called from a factory: each reads one key of the object being decoded.
  bool containsValueForKey(const QString &key) const;
  bool decodeBool(const QString &key);
  qint32 decodeInt32(const QString &key);
  qint64 decodeInt64(const QString &key);
  float decodeFloat(const QString &key);
  double decodeDouble(const QString &key);
  QString decodeString(const QString &key);
  QByteArray decodeData(const QString &key);
  QRectF decodeRect(const QString &key);
  QPointF decodePoint(const QString &key);
  QSizeF decodeSize(const QString &key);
  std::optional<QColor> decodeColor(const QString &key);
  std::optional<ArchivedFont> decodeFont(const QString &key);
  std::optional<AttributedText> decodeAttributedText(const QString &key);
  std::optional<ArchivedImage> decodeImage(const QString &key);
  std::unique_ptr<KeyedArchivable> decodeObject(const QString &key);
  // Nil elements and elements of another kind than asked are left out.
  std::vector<std::unique_ptr<KeyedArchivable>> decodeArray(const QString &key);
  QStringList decodeStringList(const QString &key);
  std::vector<std::pair<QString, std::unique_ptr<KeyedArchivable>>> decodeDictionary(const QString &key);

private:
  struct Private;
  std::unique_ptr<Private> d;
};
