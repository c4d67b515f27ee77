#include "platform/Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <cmath>

namespace {

const QString DefaultFamily = QStringLiteral("Liberation Serif");

// Comparison key of a family name: letters and digits only, lower case, without the
// foundry that Qt appends to duplicated families ("DejaVu Sans [foundry]").
QString familyKey(QString name) {
  const qsizetype bracket = name.indexOf(QLatin1String(" ["));
  if (bracket > 0)
    name.truncate(bracket);
  QString key;
  key.reserve(name.size());
  for (const QChar c : name) {
    if (c.isLetterOrNumber())
      key += c.toLower();
  }
  return key;
}

QString withoutEnding(const QString &text, QLatin1String ending) {
  return text.endsWith(ending) && text.size() > ending.size() ? text.left(text.size() - ending.size()) : text;
}

struct StandIn {
  const char *key;
  const char *family;
  QFont::StyleHint hint;
};

// Well-known families that documents name and that the installed metric stand-ins
// replace when the family itself is not installed.
const StandIn StandIns[] = {
    {"timesnewroman", "Liberation Serif", QFont::Serif},  {"times", "Liberation Serif", QFont::Serif},
    {"timesroman", "Liberation Serif", QFont::Serif},     {"tinos", "Liberation Serif", QFont::Serif},
    {"arial", "Liberation Sans", QFont::SansSerif},       {"helvetica", "Liberation Sans", QFont::SansSerif},
    {"helveticaneue", "Liberation Sans", QFont::SansSerif}, {"arimo", "Liberation Sans", QFont::SansSerif},
    {"lucidagrande", "Liberation Sans", QFont::SansSerif}, {"verdana", "Liberation Sans", QFont::SansSerif},
    {"tahoma", "Liberation Sans", QFont::SansSerif},      {"couriernew", "Liberation Mono", QFont::TypeWriter},
    {"courier", "Liberation Mono", QFont::TypeWriter},    {"cousine", "Liberation Mono", QFont::TypeWriter},
    {"menlo", "Liberation Mono", QFont::TypeWriter},      {"monaco", "Liberation Mono", QFont::TypeWriter},
};

// Weight and slant from the style part of a PostScript name ("BoldItalic", "Oblique",
// "SemiboldIt", "Roman").
void applyStyle(const QString &style, ResolvedFace &face) {
  const QString s = style.toLower();
  face.italic = s.contains(QLatin1String("italic")) || s.contains(QLatin1String("oblique"))
                || s.endsWith(QLatin1String("it"));
  if (s.contains(QLatin1String("black")) || s.contains(QLatin1String("heavy")))
    face.weight = QFont::Black;
  else if (s.contains(QLatin1String("extrabold")) || s.contains(QLatin1String("ultrabold")))
    face.weight = QFont::ExtraBold;
  else if (s.contains(QLatin1String("semibold")) || s.contains(QLatin1String("demibold")))
    face.weight = QFont::DemiBold;
  else if (s.contains(QLatin1String("bold")))
    face.weight = QFont::Bold;
  else if (s.contains(QLatin1String("medium")))
    face.weight = QFont::Medium;
  else if (s.contains(QLatin1String("extralight")) || s.contains(QLatin1String("ultralight")))
    face.weight = QFont::ExtraLight;
  else if (s.contains(QLatin1String("thin")) || s.contains(QLatin1String("hairline")))
    face.weight = QFont::Thin;
  else if (s.contains(QLatin1String("light")))
    face.weight = QFont::Light;
  else
    face.weight = QFont::Normal;
}

// Nearest of the nine named weights, so that 700 and 699 count as the same face.
int weightClass(int weight) {
  return std::clamp(int(std::lround(weight / 100.0)) * 100, 100, 900);
}

QString weightName(int weight) {
  switch (weightClass(weight)) {
  case 100: return QStringLiteral("Thin");
  case 200: return QStringLiteral("ExtraLight");
  case 300: return QStringLiteral("Light");
  case 500: return QStringLiteral("Medium");
  case 600: return QStringLiteral("SemiBold");
  case 700: return QStringLiteral("Bold");
  case 800: return QStringLiteral("ExtraBold");
  case 900: return QStringLiteral("Black");
  default: return QString();
  }
}

class FontResolver {
public:
  ResolvedFace resolve(const QString &name) {
    QMutexLocker lock(&m_mutex);
    const auto cached = m_cache.constFind(name);
    if (cached != m_cache.cend())
      return *cached;
    const ResolvedFace face = resolveUncached(name);
    // The installed families are only known with a GUI application; do not keep
    // answers given without one.
    if (m_familiesLoaded)
      m_cache.insert(name, face);
    return face;
  }

private:
  void loadFamilies() {
    if (m_familiesLoaded || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
      return;
    for (const QString &family : QFontDatabase::families())
      m_installed.insert(familyKey(family), family);
    m_familiesLoaded = true;
  }

  // The installed family whose key is `key`, or "".
  QString installed(const QString &key) const { return key.isEmpty() ? QString() : m_installed.value(key); }

  ResolvedFace installedFace(const QString &family) const {
    ResolvedFace face;
    face.family = family;
    face.hint = QFontDatabase::isFixedPitch(family) ? QFont::TypeWriter : QFont::AnyStyle;
    return face;
  }

  ResolvedFace resolveUncached(const QString &name) {
    loadFamilies();
    const QString raw = name.trimmed();

    ResolvedFace face;
    face.family = DefaultFamily;
    if (raw.isEmpty())
      return face;

    if (const QString family = installed(familyKey(withoutEnding(raw, QLatin1String("MT")))); !family.isEmpty())
      return installedFace(family);

    const qsizetype dash = raw.indexOf(QLatin1Char('-'));
    QString familyPart = dash < 0 ? raw : raw.left(dash);
    const QString stylePart = dash < 0 ? QString() : withoutEnding(raw.mid(dash + 1), QLatin1String("MT"));
    familyPart = withoutEnding(withoutEnding(familyPart, QLatin1String("MT")), QLatin1String("PS"));

    const QString key = familyKey(familyPart);
    if (const QString family = installed(key); !family.isEmpty()) {
      face = installedFace(family);
    } else {
      for (const StandIn &standIn : StandIns) {
        if (key == QLatin1String(standIn.key)) {
          face.family = QString::fromLatin1(standIn.family);
          face.hint = standIn.hint;
          break;
        }
      }
    }
    applyStyle(stylePart, face);
    return face;
  }

  QMutex m_mutex;
  bool m_familiesLoaded = false;
  QHash<QString, QString> m_installed;    // family key -> installed family
  QHash<QString, ResolvedFace> m_cache;   // PostScript name -> face
};

FontResolver &resolver() {
  static FontResolver instance;
  return instance;
}

double drawnPointSize(double size) {
  if (!std::isfinite(size) || size <= 0.0)
    return 12.0;
  return std::min(size, FontSpec::MaxDrawnPointSize);
}

double pointSizeOf(const QFont &font) {
  return font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
}

}  // namespace

ResolvedFace resolveFace(const QString &postScriptName) {
  return resolver().resolve(postScriptName);
}

QString resolvedFamily(const QString &postScriptName) {
  return resolveFace(postScriptName).family;
}

QString defaultFontFamily() {
  return DefaultFamily;
}

QString postScriptNameFor(const QFont &font) {
  QString family = font.family();
  if (family.isEmpty())
    family = QFontInfo(font).family();
  const qsizetype bracket = family.indexOf(QLatin1String(" ["));
  if (bracket > 0)
    family.truncate(bracket);
  family.remove(QLatin1Char(' '));

  QString style = weightName(font.weight());
  if (font.italic())
    style += QStringLiteral("Italic");
  return style.isEmpty() ? family : family + QLatin1Char('-') + style;
}

QFont FontSpec::toQFont() const {
  const ResolvedFace face = resolveFace(m_name);
  QFont font(face.family);
  font.setStyleHint(face.hint);
  font.setWeight(face.weight);
  font.setItalic(face.italic);
  font.setPointSizeF(drawnPointSize(m_size));
  return font;
}

FontSpec FontSpec::fromQFont(const QFont &font) {
  return FontSpec(postScriptNameFor(font), pointSizeOf(font));
}

FontSpec FontSpec::fromQFont(const QFont &font, const FontSpec &previous) {
  FontSpec chosen = fromQFont(font);
  if (previous.isNull())
    return chosen;
  const ResolvedFace was = resolveFace(previous.m_name);
  const QString family = font.family().isEmpty() ? QFontInfo(font).family() : font.family();
  if (familyKey(was.family) == familyKey(family) && weightClass(was.weight) == weightClass(font.weight())
      && was.italic == font.italic())
    chosen.m_name = previous.m_name;
  return chosen;
}
