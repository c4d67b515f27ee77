#pragma once
// Scripting the document: the names of the element lists a script sees on the front
// side, the specifiers a script names objects with, the range error of the insertions
// and removals by kind, and the conversion of colours to and from the RGB colour
// descriptor of scripts. The document's scripting operations themselves are members of
// QLNDocument (core/QLNDocument.h), defined in core/DocumentScripting.cpp.

#include <QByteArray>
#include <QColor>
#include <QString>

#include <memory>
#include <optional>
#include <stdexcept>

// Scripting element keys of the document.
extern const QString QLNDocumentRectanglesRoundKey;  // "rectangles_round"
extern const QString QLNDocumentRectanglesKey;       // "rectangles"
extern const QString QLNDocumentCirclesKey;          // "circles"
extern const QString QLNDocumentLinesKey;            // "lines"
extern const QString QLNDocumentTextAreasKey;        // "textAreas"
extern const QString QLNDocumentImagesKey;           // "images"

// A scripted insertion or removal named an object of a kind that is not in the front
// list. what() is the message, for example "Could not find the given rectangle in the
// graphics.".
class QLNScriptingRangeError : public std::out_of_range {
public:
  explicit QLNScriptingRangeError(const QString &message)
      : std::out_of_range(message.toStdString()), m_message(message) {}
  QString message() const { return m_message; }

private:
  QString m_message;
};

// How a script names objects of the document: by index in the list of a key, every
// object of a key, a range between two other specifiers, or the object just before or
// after another one.
struct QLNScriptSpecifier {
  enum class Form { Index, Every, Range, Relative };
  enum class Position { Before, After };

  Form form = Form::Index;
  QString key;
  int index = 0;                                    // Index: 0 the first, -1 the last
  std::shared_ptr<const QLNScriptSpecifier> start;  // Range: may be absent
  std::shared_ptr<const QLNScriptSpecifier> end;    // Range: may be absent
  Position position = Position::After;              // Relative
  std::shared_ptr<const QLNScriptSpecifier> base;   // Relative

  static QLNScriptSpecifier indexed(const QString &key, int index);
  static QLNScriptSpecifier every(const QString &key);
  static QLNScriptSpecifier range(const QString &key, std::optional<QLNScriptSpecifier> start,
                                  std::optional<QLNScriptSpecifier> end);
  static QLNScriptSpecifier relative(const QString &key, Position position, const QLNScriptSpecifier &base);
};

// A script value: its type as a four-character code and its bytes.
struct QLNScriptingDescriptor {
  quint32 descriptorType = 0;
  QByteArray data;

  // This value as `type`: itself when it already has that type; none otherwise.
  std::optional<QLNScriptingDescriptor> coerceToDescriptorType(quint32 type) const;
};

// The four-character code of `code` ("cRGB"), first character in the high byte.
constexpr quint32 fourCharCode(const char (&code)[5]) {
  return (quint32(quint8(code[0])) << 24) | (quint32(quint8(code[1])) << 16) | (quint32(quint8(code[2])) << 8) |
         quint32(quint8(code[3]));
}

// The type of an RGB colour: three unsigned 16-bit numbers, red, green and blue, in the
// machine's byte order.
constexpr quint32 QLNTypeRGBColor = fourCharCode("cRGB");

namespace QLNScripting {

// The colour of a descriptor that is, or turns into, an RGB colour of exactly 6 bytes:
// each number divided by 65535, alpha 1. None for anything else.
std::optional<QColor> scriptingRGBColorWithDescriptor(const QLNScriptingDescriptor &descriptor);
// The RGB colour descriptor of `color`: red, green and blue of its RGB form, each times
// 65535 and cut to a whole number. Alpha is dropped.
QLNScriptingDescriptor scriptingRGBColorDescriptor(const QColor &color);

}  // namespace QLNScripting
