// Fonts named as design files name them, checked against the font Qt really uses.

#include "platform/Fonts.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include <cmath>

namespace {

struct Expected {
  const char *postScriptName;
  const char *family;
  bool bold;
  bool italic;
};

}  // namespace

TEST(Fonts, PostScriptNamesDrawWithTheInstalledStandIns) {
  const Expected cases[] = {
      {"TimesNewRomanPS-ItalicMT", "Liberation Serif", false, true},
      {"TimesNewRomanPS-BoldItalicMT", "Liberation Serif", true, true},
      {"TimesNewRomanPS-BoldMT", "Liberation Serif", true, false},
      {"TimesNewRomanPSMT", "Liberation Serif", false, false},
      {"Times-Roman", "Liberation Serif", false, false},
      {"ArialMT", "Liberation Sans", false, false},
      {"Arial-BoldMT", "Liberation Sans", true, false},
      {"Arial-ItalicMT", "Liberation Sans", false, true},
      {"Helvetica", "Liberation Sans", false, false},
      {"Helvetica-Bold", "Liberation Sans", true, false},
      {"Helvetica-BoldOblique", "Liberation Sans", true, true},
      {"CourierNewPSMT", "Liberation Mono", false, false},
      {"CourierNewPS-BoldItalicMT", "Liberation Mono", true, true},
      {"Courier-Oblique", "Liberation Mono", false, true},
      {"DejaVuSans", "DejaVu Sans", false, false},
      {"DejaVu Sans", "DejaVu Sans", false, false},
      {"DejaVuSans-Bold", "DejaVu Sans", true, false},
      {"DejaVuSerif-BoldItalic", "DejaVu Serif", true, true},
      {"LiberationSerif-Italic", "Liberation Serif", false, true},
      {"NoSuchFontAnywhere-Bold", "Liberation Serif", true, false},
      {"", "Liberation Serif", false, false},
  };
  for (const Expected &c : cases) {
    const QString name = QString::fromLatin1(c.postScriptName);
    SCOPED_TRACE(c.postScriptName);
    const FontSpec fontSpec(name, 14);
    const QFontInfo used(fontSpec.toQFont());
    EXPECT_EQ(used.family(), QString::fromLatin1(c.family));
    EXPECT_EQ(used.bold(), c.bold);
    EXPECT_EQ(used.italic(), c.italic);
    EXPECT_EQ(resolvedFamily(name), QString::fromLatin1(c.family));
    EXPECT_EQ(fontSpec.postScriptName(), name);  // drawing never replaces the name
  }
  EXPECT_EQ(defaultFontFamily(), QStringLiteral("Liberation Serif"));
}

TEST(Fonts, PointSizesStayFractionalAndDamagedSizesStillDraw) {
  const FontSpec fontSpec(QStringLiteral("TimesNewRomanPS-ItalicMT"), 14.5);
  EXPECT_DOUBLE_EQ(fontSpec.toQFont().pointSizeF(), 14.5);

  for (double damaged : {0.0, -3.0, std::nan("")}) {
    const FontSpec bad(QStringLiteral("ArialMT"), damaged);
    EXPECT_DOUBLE_EQ(bad.toQFont().pointSizeF(), 12.0);
  }
  const FontSpec huge(QStringLiteral("ArialMT"), 1e12);
  EXPECT_DOUBLE_EQ(huge.toQFont().pointSizeF(), FontSpec::MaxDrawnPointSize);
  EXPECT_DOUBLE_EQ(huge.pointSize(), 1e12);  // the FontSpec keeps what the file said
}

TEST(Fonts, PanelFontsGetANameThatResolvesToTheSameFace) {
  // Every face of the fonts the program ships with: family and style from the font
  // panel, through the PostScript-like name, back to what is really drawn.
  for (const QString &family : {QStringLiteral("Liberation Serif"), QStringLiteral("Liberation Sans"),
                               QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans"),
                               QStringLiteral("DejaVu Serif")}) {
    const QStringList styles = QFontDatabase::styles(family);
    ASSERT_FALSE(styles.isEmpty()) << family.toStdString();
    for (const QString &style : styles) {
      const QFont chosen = QFontDatabase::font(family, style, 13);
      const QFontInfo wanted(chosen);
      const FontSpec fontSpec = FontSpec::fromQFont(chosen);
      SCOPED_TRACE((family + QLatin1Char(' ') + style + QStringLiteral(" -> ") + fontSpec.postScriptName()).toStdString());
      const QFontInfo drawn(fontSpec.toQFont());
      EXPECT_EQ(drawn.family(), wanted.family());
      EXPECT_EQ(drawn.bold(), wanted.bold());
      EXPECT_EQ(drawn.italic(), wanted.italic());
      EXPECT_EQ(drawn.weight(), wanted.weight());
      EXPECT_DOUBLE_EQ(fontSpec.pointSize(), 13.0);
    }
  }
  QFont boldItalic(QStringLiteral("Liberation Serif"));
  boldItalic.setBold(true);
  boldItalic.setItalic(true);
  EXPECT_EQ(postScriptNameFor(boldItalic), QStringLiteral("LiberationSerif-BoldItalic"));
  EXPECT_EQ(postScriptNameFor(QFont(QStringLiteral("Liberation Sans"))), QStringLiteral("LiberationSans"));
}

TEST(Fonts, ThePanelKeepsTheOriginalNameWhileTheFaceIsUnchanged) {
  const FontSpec original(QStringLiteral("TimesNewRomanPS-ItalicMT"), 14);

  // Confirmed unchanged, or only resized: the name read from the file stays.
  QFont same = original.toQFont();
  EXPECT_EQ(FontSpec::fromQFont(same, original), original);
  same.setPointSizeF(20.5);
  EXPECT_EQ(FontSpec::fromQFont(same, original), FontSpec(QStringLiteral("TimesNewRomanPS-ItalicMT"), 20.5));
  // The same face picked again in the panel (a font built from the database).
  const QFont picked = QFontDatabase::font(QStringLiteral("Liberation Serif"), QStringLiteral("Italic"), 14);
  EXPECT_EQ(FontSpec::fromQFont(picked, original).postScriptName(), QStringLiteral("TimesNewRomanPS-ItalicMT"));

  // Another face: a new name.
  QFont bolder = original.toQFont();
  bolder.setBold(true);
  EXPECT_EQ(FontSpec::fromQFont(bolder, original).postScriptName(), QStringLiteral("LiberationSerif-BoldItalic"));
  EXPECT_EQ(FontSpec::fromQFont(QFont(QStringLiteral("DejaVu Sans"), 9), original),
            FontSpec(QStringLiteral("DejaVuSans"), 9));
}
