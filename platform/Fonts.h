#pragma once
// Fonts as the program keeps them: by PostScript name and size in points, exactly as
// design files write them ("TimesNewRomanPS-ItalicMT", 14). Drawing resolves the name
// to an installed family, weight and slant; the name itself is never replaced, so a
// design saved again writes the name it was read with.
//
// Resolution, in order:
//  1. the whole name (without a trailing "MT") is an installed family ("DejaVu Sans",
//     "DejaVuSans"): that family, regular;
//  2. the name splits into family and style at its first "-" ("Arial-BoldMT"): the
//     style gives weight and slant (Bold, Italic, Oblique, BoldItalic, Light, ...;
//     "MT" and "PS" endings are ignored), the family part is looked up as an installed
//     family and then among the well-known families with metric stand-ins:
//     Times New Roman and Times -> Liberation Serif, Arial and Helvetica -> Liberation
//     Sans, Courier New and Courier -> Liberation Mono;
//  3. anything else uses the default family, Liberation Serif (the program's own text
//     default is Times New Roman), with the style the name gives.

#include <QFont>
#include <QString>

// What a PostScript name resolves to.
struct ResolvedFace {
  QString family;                       // installed family (or the default one)
  QFont::Weight weight = QFont::Normal;
  bool italic = false;
  QFont::StyleHint hint = QFont::Serif; // guides Qt's fallback if the family is missing
};

ResolvedFace resolveFace(const QString &postScriptName);
QString resolvedFamily(const QString &postScriptName);

// The family used for names that resolve to nothing installed.
QString defaultFontFamily();

// A PostScript-like name for a font chosen in the font panel: the family without
// spaces, then "-" and the style when it is not regular ("LiberationSerif-BoldItalic",
// "DejaVuSans-Light", "LiberationSans"). resolveFace gives the same face back.
QString postScriptNameFor(const QFont &font);

class FontSpec {
public:
  FontSpec() = default;
  FontSpec(const QString &postScriptName, double pointSize)
      : m_name(postScriptName), m_size(pointSize) {}

  const QString &postScriptName() const { return m_name; }
  double pointSize() const { return m_size; }
  void setPostScriptName(const QString &name) { m_name = name; }
  void setPointSize(double size) { m_size = size; }
  bool isNull() const { return m_name.isEmpty(); }

  // The font to draw with: the resolved family, weight and slant at the point size
  // (fractional sizes kept). A size that is not a number, not above 0 or above
  // MaxDrawnPointSize (a damaged file) is drawn at 12 points or at the maximum; the
  // FontSpec keeps the size it was given.
  QFont toQFont() const;

  // The FontSpec for a font chosen in the font panel: its PostScript-like name
  // (postScriptNameFor) and point size.
  static FontSpec fromQFont(const QFont &font);
  // The same, but when `font` is still the face that `previous` resolves to (only the
  // size changed, or the panel was confirmed unchanged), `previous`'s name is kept:
  // "TimesNewRomanPS-ItalicMT" stays that and does not become "LiberationSerif-Italic".
  static FontSpec fromQFont(const QFont &font, const FontSpec &previous);

  bool operator==(const FontSpec &other) const = default;

  static constexpr double MaxDrawnPointSize = 1000.0;

private:
  QString m_name;
  double m_size = 12.0;
};
