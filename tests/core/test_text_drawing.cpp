// The text object's drawing, measured by pixels with installed fonts: alignment,
// wrapping at the bounds, case transforms, kerning, fonts by PostScript name, the box
// fill and border, what is not painted (hidden, empty, being created) and the natural
// size of the stored text.

#include "core/QLNText.h"

#include "tests/common/PixelHelpers.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <cmath>
#include <memory>
#include <vector>

using namespace pixeltest;

namespace {

const QString SansFont = QStringLiteral("LiberationSans");

// The rectangle of the dark pixels within `area` (the whole image by default).
QRect inkArea(const QImage &image, QRect area = QRect()) {
  if (area.isNull())
    area = image.rect();
  int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (isInk(image.pixelColor(x, y))) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  if (right < 0)
    return QRect();
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

// The ink of each line of text: runs of rows holding ink, separated by empty rows.
std::vector<QRect> inkLines(const QImage &image) {
  std::vector<QRect> lines;
  int start = -1;
  auto rowHasInk = [&](int y) {
    for (int x = 0; x < image.width(); ++x)
      if (isInk(image.pixelColor(x, y)))
        return true;
    return false;
  };
  for (int y = 0; y <= image.height(); ++y) {
    const bool ink = y < image.height() && rowHasInk(y);
    if (ink && start < 0)
      start = y;
    if (!ink && start >= 0) {
      lines.push_back(inkArea(image, QRect(0, start, image.width(), y - start)));
      start = -1;
    }
  }
  return lines;
}

// Stores `text` as the object's text in one run of `font`.
void setStoredText(QLNText &object, const QString &text, const FontSpec &font) {
  QLNTextStoragePtr storage = object.Text_contents();
  storage->string = text;
  storage->runs.clear();
  TextRun run;
  run.start = 0;
  run.length = text.size();
  run.font = ArchivedFont{font.postScriptName(), font.pointSize()};
  run.color = QColor(Qt::black);
  storage->runs.append(run);
}

// A text object at (10, 10), 300 by 60 points, without fill and border, in black
// 20-point Liberation Sans.
std::shared_ptr<QLNText> textObject(const QString &text, QRectF bounds = QRectF(10, 10, 300, 60)) {
  auto object = std::make_shared<QLNText>();
  object->_bounds = bounds;
  object->_isDrawingFill = false;
  object->_isDrawingStroke = false;
  object->text_ctrl_font = FontSpec(SansFont, 20.0);
  object->txt_clr = QColor(Qt::black);
  setStoredText(*object, text, *object->text_ctrl_font);
  return object;
}

QImage painted(QLNText &object, bool creating = false, int w = 330, int h = 100) {
  QImage image = whiteImage(w, h);
  QPainter painter(&image);
  object.drawContentsInView(&painter, creating);
  painter.end();
  return image;
}

}  // namespace

// ---- Alignment and wrapping ----------------------------------------------------------------

TEST(TextDrawing, AlignmentPlacesTheTextInTheBounds) {
  auto text = textObject("Sorry");
  text->text_alignmnet = 0;
  const QRect left = inkArea(painted(*text));
  EXPECT_GE(left.left(), 10);
  EXPECT_LE(left.left(), 13);
  EXPECT_GE(left.top(), 10);
  EXPECT_LE(left.top(), 16) << "drawn from the top edge";

  text->text_alignmnet = 1;
  const QRect right = inkArea(painted(*text));
  EXPECT_LE(right.right(), 309);
  EXPECT_GE(right.right(), 306);
  EXPECT_NEAR(right.width(), left.width(), 1);

  text->text_alignmnet = 2;
  const QRect centre = inkArea(painted(*text));
  EXPECT_NEAR((centre.left() + centre.right() + 1) / 2.0, 160.0, 2.0);

  text->text_alignmnet = 4;   // natural: left for left-to-right text
  EXPECT_EQ(inkArea(painted(*text)), left);
}

TEST(TextDrawing, JustifiedTextFillsEveryLineButTheLast) {
  const QString words = "aaa bbb ccc ddd eee fff ggg hhh iii jjj kkk";
  auto text = textObject(words, QRectF(10, 10, 130, 80));
  text->text_alignmnet = 0;
  const std::vector<QRect> plain = inkLines(painted(*text));
  text->text_alignmnet = 3;
  const std::vector<QRect> justified = inkLines(painted(*text));
  ASSERT_GE(plain.size(), 3u);
  ASSERT_EQ(justified.size(), plain.size());
  EXPECT_LT(plain[0].right(), 130) << "left-aligned lines stop short of the edge";
  for (size_t i = 0; i + 1 < justified.size(); ++i) {
    EXPECT_EQ(justified[i].left(), plain[i].left());
    EXPECT_GE(justified[i].right(), 137) << "line " << i;
    EXPECT_LE(justified[i].right(), 140) << "line " << i;
  }
  EXPECT_EQ(justified.back(), plain.back()) << "the last line is not stretched";
}

TEST(TextDrawing, TextWrapsAtTheBoundsWidthAndStaysInside) {
  auto text = textObject("Sorry, truly sorry for everything", QRectF(10, 10, 300, 80));
  EXPECT_EQ(inkLines(painted(*text)).size(), 1u);

  text->_bounds = QRectF(10, 10, 90, 80);
  const std::vector<QRect> lines = inkLines(painted(*text));
  EXPECT_GE(lines.size(), 3u);
  for (const QRect &line : lines) {
    EXPECT_GE(line.left(), 10);
    EXPECT_LE(line.right(), 99);
  }

  // A word longer than the width is broken inside; line ends start new lines.
  auto word = textObject("Aaaaaaaaaaaaaaaaaaaa", QRectF(10, 10, 60, 80));
  const std::vector<QRect> pieces = inkLines(painted(*word));
  EXPECT_GE(pieces.size(), 3u);
  EXPECT_LE(inkArea(painted(*word)).right(), 69);
  EXPECT_EQ(inkLines(painted(*textObject("A\nB\r\nC"))).size(), 3u);

  // What does not fit below is cut off at the bottom edge.
  auto tall = textObject("one two three four five six", QRectF(10, 10, 60, 40));
  const QRect ink = inkArea(painted(*tall));
  EXPECT_LE(ink.bottom(), 49);
  EXPECT_GE(ink.bottom(), 40) << "the partly visible second line shows its top";
}

// ---- Case, kerning, fonts -----------------------------------------------------------------

TEST(TextDrawing, CaseTransformsChangeOnlyWhatIsDrawn) {
  struct Case {
    QString stored;
    int transform;
    QString drawnAs;
  };
  const Case cases[] = {
      {"Sorry", 1, "SORRY"},
      {"SoRRy", 2, "sorry"},
      {" hello wORLD ", 3, "Hello World"},
      {"Sorry", 0, "Sorry"},
      {"Sorry", 9, "Sorry"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.stored.toStdString() + " " + std::to_string(c.transform));
    auto transformed = textObject(c.stored);
    transformed->text_transfrom_case = c.transform;
    auto plain = textObject(c.drawnAs);
    const QImage image = painted(*transformed);
    EXPECT_FALSE(allWhite(image));
    EXPECT_EQ(image, painted(*plain));
    EXPECT_EQ(transformed->Text_contents()->string, c.stored) << "the stored text keeps its case";
  }
  EXPECT_NE(painted(*textObject("Sorry")), painted(*textObject("SORRY")));
}

TEST(TextDrawing, KerningAddsSpaceAfterEveryCharacter) {
  auto text = textObject("HHHHH");
  const int plain = inkArea(painted(*text)).width();
  text->text_kerning = 5.0f;
  EXPECT_NEAR(inkArea(painted(*text)).width() - plain, 4 * 5, 2);
  text->text_kerning = -2.0f;
  EXPECT_NEAR(inkArea(painted(*text)).width() - plain, 4 * -2, 2);
  text->text_kerning = 1.0e30f;   // a damaged file: drawn, without hanging
  painted(*text);
}

TEST(TextDrawing, FontsAreNamedByPostScriptNameAndSizedInPoints) {
  // A PostScript name draws with the family it resolves to, and keeps its name.
  auto times = textObject("Sorry");
  times->text_ctrl_font = FontSpec("TimesNewRomanPS-ItalicMT", 20.0);
  auto serif = textObject("Sorry");
  serif->text_ctrl_font = FontSpec("LiberationSerif-Italic", 20.0);
  EXPECT_EQ(painted(*times), painted(*serif));
  EXPECT_NE(painted(*times), painted(*textObject("Sorry")));
  EXPECT_EQ(times->text_ctrl_font->postScriptName(), "TimesNewRomanPS-ItalicMT");

  // One point is one unit of the painter: the capital H of 40-point Liberation Sans is
  // 0.688 of the size high (27.5 points), and half that at 20 points.
  auto big = textObject("H");
  big->text_ctrl_font = FontSpec(SansFont, 40.0);
  EXPECT_NEAR(inkArea(painted(*big)).height(), 27.5, 1.5);
  big->text_ctrl_font = FontSpec(SansFont, 20.0);
  EXPECT_NEAR(inkArea(painted(*big)).height(), 13.8, 1.5);
  // Zoomed in, the painter's scale applies.
  {
    QImage zoomed = whiteImage(660, 200);
    QPainter painter(&zoomed);
    painter.scale(2.0, 2.0);
    big->drawContentsInView(&painter, false);
    painter.end();
    EXPECT_NEAR(inkArea(zoomed).height(), 27.5, 2.0);
  }
  // Fractional sizes are kept.
  big->text_ctrl_font = FontSpec(SansFont, 60.0);
  const int sixty = inkArea(painted(*big, false, 330, 120)).height();
  big->text_ctrl_font = FontSpec(SansFont, 60.5);
  EXPECT_GE(inkArea(painted(*big, false, 330, 120)).height(), sixty);
}

TEST(TextDrawing, DrawsIntoPdfWithTheResolvedFont) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString path = folder.filePath("card.pdf");
  {
    QPdfWriter writer(path);
    writer.setResolution(72);   // one unit of the painter is one point
    writer.setPageSize(QPageSize(QSizeF(243, 154), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    auto text = textObject("Sorry");
    text->text_ctrl_font = FontSpec("TimesNewRomanPS-ItalicMT", 14.0);
    text->drawContentsInView(&painter, false);
  }
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray pdf = file.readAll();
  EXPECT_TRUE(pdf.startsWith("%PDF"));
  EXPECT_TRUE(pdf.contains("LiberationSerif-Italic")) << "the installed face is embedded";
}

// ---- Box, opacity and what is not painted ----------------------------------------------------

TEST(TextDrawing, BoxFillAndBorderCarryOpacityButTheTextDoesNot) {
  auto text = textObject("IIII");
  text->text_ctrl_font = FontSpec(SansFont, 40.0);
  text->_isDrawingFill = true;
  text->_fillColor = QColor(255, 0, 0);
  text->alpha_val = 0.5f;
  text->_isDrawingStroke = true;
  text->_strokeColor = QColor(0, 0, 255);
  text->_strokeWidth = 2.0;
  const QImage image = painted(*text);
  EXPECT_TRUE(near(at(image, 300, 60), QColor(255, 128, 128), 4)) << "half-opaque fill";
  EXPECT_TRUE(near(at(image, 9.5, 40), QColor(0, 0, 255), 4)) << "border on the edge";
  // The stems of the I's are drawn in opaque black.
  int darkest = 255;
  for (int x = 10; x < 100; ++x)
    darkest = std::min(darkest, qGray(image.pixel(x, 30)));
  EXPECT_LE(darkest, 5);

  // Hatch falls back to the plain fill colour on a text box; gradients are drawn.
  text->alpha_val = 1.0f;
  text->_fill_type = "H";
  text->_fill_htch_clr = QColor(0, 255, 0);
  text->_fill_hatch_type = "anything";
  EXPECT_TRUE(near(at(painted(*text), 300, 60), QColor(255, 0, 0), 2));
  text->_fill_type = "G";
  text->_fill_Grad_clr1 = QColor(0, 255, 0);
  text->_fill_Grad_clr2 = QColor(0, 0, 255);
  const QImage gradient = painted(*text);
  EXPECT_TRUE(near(at(gradient, 11, 65), QColor(0, 255, 0), 8));
  EXPECT_TRUE(near(at(gradient, 308, 65), QColor(0, 0, 255), 8));
}

TEST(TextDrawing, EmptyOrHiddenTextPaintsNothingAtAll) {
  RefreshCounter refresh;
  auto text = textObject(" \n\t \r\n ");
  text->_isDrawingFill = true;
  text->_fillColor = Qt::red;
  text->_isDrawingStroke = true;
  EXPECT_TRUE(allWhite(painted(*text)));
  EXPECT_EQ(refresh.count, 0);

  auto hidden = textObject("Sorry");
  hidden->_isDrawingFill = true;
  hidden->Set_Ctrl_Is_Visible(false);
  EXPECT_TRUE(allWhite(painted(*hidden)));
  EXPECT_EQ(refresh.count, 0);

  painted(*textObject("Sorry"));
  EXPECT_EQ(refresh.count, 1);
}

TEST(TextDrawing, WhileBeingCreatedOnlyAFrameOutsideTheBoundsShows) {
  RefreshCounter refresh;
  auto text = textObject("Sorry");
  text->_isDrawingFill = true;
  text->_fillColor = Qt::red;
  const QImage image = painted(*text, true);
  EXPECT_FALSE(isWhite(at(image, 9.5, 40))) << "left side of the frame";
  EXPECT_FALSE(isWhite(at(image, 150, 70.5))) << "bottom of the frame";
  EXPECT_TRUE(isWhite(at(image, 8.5, 40)));
  EXPECT_TRUE(isWhite(at(image, 10.5, 40)));
  EXPECT_TRUE(inkArea(image, QRect(11, 11, 298, 58)).isNull()) << "no text";
  EXPECT_TRUE(isWhite(at(image, 150, 40))) << "no fill";
  EXPECT_EQ(refresh.count, 1);
}

// ---- Natural size -------------------------------------------------------------------------------

TEST(TextDrawing, NaturalSizeFitsTheStoredText) {
  auto text = textObject("Sorry");
  text->text_alignmnet = 0;
  const QRect ink = inkArea(painted(*text));
  text->makeNaturalSize();
  const QRectF fitted = text->bounds();
  EXPECT_EQ(fitted.topLeft(), QPointF(10, 10));
  // The text's width with a 5-point margin at both ends; one line of 20-point type.
  EXPECT_NEAR(fitted.width(), ink.width() + 10.0, 3.0);
  EXPECT_NEAR(fitted.height(), 23.0, 1.5);
  // Drawn at that size the text still takes one line inside the box.
  const std::vector<QRect> lines = inkLines(painted(*text));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_LE(lines[0].right(), fitted.right());

  // Two paragraphs are twice as high; a text wraps at the bounds width.
  auto two = textObject("Sorry\nSorry");
  EXPECT_NEAR(two->naturalSize().height(), 2 * fitted.height(), 0.5);
  // As many lines as the text takes when drawn 90 points wide (the width less the margins).
  auto wrapped = textObject("Sorry, truly sorry for everything", QRectF(10, 10, 90, 300));
  const size_t drawnLines = inkLines(painted(*wrapped, false, 330, 320)).size();
  ASSERT_GE(drawnLines, 3u);
  wrapped->_bounds = QRectF(10, 10, 100, 20);
  const QSizeF size = wrapped->naturalSize();
  EXPECT_LE(size.width(), 100.0);
  EXPECT_NEAR(size.height(), drawnLines * fitted.height(), 1.5);
}

TEST(TextDrawing, NaturalSizeMeasuresTheStoredAttributesNotTheDrawingFont) {
  auto text = textObject("Sorry");
  const QSizeF drawnSize = text->naturalSize();
  // The storage in 40 points, the drawing font still 20.
  setStoredText(*text, "Sorry", FontSpec(SansFont, 40.0));
  const QSizeF storedSize = text->naturalSize();
  EXPECT_NEAR(storedSize.height(), 2 * drawnSize.height(), 1.0);
  EXPECT_NEAR(storedSize.width() - 10, 2 * (drawnSize.width() - 10), 1.0);
  // Kerning stored with the text counts as well.
  text->Text_contents()->runs[0].kerning = 10.0;
  EXPECT_NEAR(text->naturalSize().width() - storedSize.width(), 5 * 10.0, 1.0);
}

TEST(TextDrawing, LockedTextKeepsItsSize) {
  auto text = textObject("Sorry");
  text->ctrl_is_locked = true;
  text->makeNaturalSize();
  EXPECT_EQ(text->bounds(), QRectF(10, 10, 300, 60));
}

TEST(TextDrawing, DamagedValuesDrawWithoutFailing) {
  const double nan = std::nan("");
  const QRectF boxes[] = {QRectF(nan, 0, 100, 100), QRectF(0, 0, 1e300, 1e300), QRectF(0, 0, 0, 50),
                          QRectF(120, 80, -100, -60)};
  for (const QRectF &box : boxes) {
    auto text = textObject(QString("Sorry ").repeated(2000) + "\n\n\n", box);
    text->text_ctrl_font = FontSpec(SansFont, 1e9);
    text->text_kerning = -1e9f;
    text->_isDrawingFill = true;
    text->_isDrawingStroke = true;
    text->_strokeWidth = nan;
    painted(*text);
    text->naturalSize();
  }
  // No font or colour at all (an archive without them): drawn in a default font, black.
  auto bare = textObject("Sorry");
  bare->text_ctrl_font.reset();
  bare->txt_clr = QColor();
  EXPECT_FALSE(inkArea(painted(*bare)).isNull());
}
