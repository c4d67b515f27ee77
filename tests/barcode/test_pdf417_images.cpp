// PDF417 symbols read back by ZXingReader (Debian's zbar is built without its PDF417
// decoder): the encoder's own bitmaps for texts of every kind, raw codewords, levels and
// fixed shapes; images as the designer and batch output make them, in frames of several
// aspect ratios; values too long for a symbol; the view's EPS rendered by Ghostscript.

#include "barcode/BarcodeProduction.h"
#include "barcode/PDF417View.h"
#include "test_barcode_images_support.h"
#include "tests/common/decoder_support.h"
#include "tests/common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

QString longValue() {
  QString text;
  for (int i = 0; text.size() < 600; ++i)
    text += QStringLiteral("Line %1: we are sorry, order #%2 is late. ").arg(i).arg(4700 + i);
  return text;
}

struct Pdf417Case {
  const char *what;
  QString value;
  int level;
  int rows;
  int columns;
  int width;   // frame, points
  int height;
};

// The encoder's bitmap as a printer would put it down: modules 3 pixels wide, rows three
// modules high, bars black, two modules of white around.
QImage symbolImage(const pdf417param &p) {
  const int module = 3;
  const int quiet = 2 * module;
  QImage image(p.bitColumns * module + 2 * quiet, p.codeRows * 3 * module + 2 * quiet, QImage::Format_Grayscale8);
  image.fill(255);
  const bool inverted = p.options & PDF417_INVERT_BITMAP;
  const int bytesPerRow = p.lenBits / p.codeRows;
  QPainter painter(&image);
  for (int y = 0; y < p.codeRows; ++y)
    for (int x = 0; x < p.bitColumns; ++x)
      if (((p.outBits[y * bytesPerRow + x / 8] >> (7 - x % 8)) & 1) != inverted)
        painter.fillRect(quiet + x * module, quiet + y * 3 * module, module, 3 * module, Qt::black);
  return image;
}

// Encodes and checks that ZXingReader reads exactly the bytes back, at the level the
// block states.
struct ReadCase {
  std::string what;
  QByteArray bytes;  // what the reader must find
  int options;
  int level;
  int columns;
  int rows;
  std::vector<int> raw;  // raw codewords in place of the text
  ReadCase(std::string what_, QByteArray bytes_, int options_ = 0, int level_ = 2, int columns_ = 0, int rows_ = 0,
           std::vector<int> raw_ = {})
      : what(std::move(what_)), bytes(std::move(bytes_)), options(options_), level(level_), columns(columns_),
        rows(rows_), raw(std::move(raw_)) {}
};

void expectReadBack(const ReadCase &c, pdf417param &p) {
  SCOPED_TRACE(c.what);
  pdf417init(&p);
  p.options = c.options;
  p.errorLevel = c.level;
  p.codeColumns = c.columns;
  p.codeRows = c.rows;
  if (c.raw.empty()) {
    p.text = c.bytes.constData();
    p.lenText = int(c.bytes.size());
  } else {
    p.options |= PDF417_USE_RAW_CODEWORDS;
    std::copy(c.raw.begin(), c.raw.end(), p.codewords);
    p.lenCodewords = int(c.raw.size());
  }
  paintCode(&p);
  ASSERT_EQ(p.error, PDF417_ERROR_SUCCESS);
  const QImage image = symbolImage(p);
  const DecodeResult bytes = decodeWithZXing(image, QStringLiteral("PDF417"), true);
  ASSERT_TRUE(bytes.ran) << bytes.error.toStdString();
  EXPECT_EQ(bytes.texts, QStringList{QString::fromLatin1(c.bytes)});
  const DecodeResult report = decodeWithZXing(image, QStringLiteral("PDF417"));
  EXPECT_EQ(report.ecLevels, QStringList{QString::number(p.errorLevel)});
}

}  // namespace

TEST(PDF417Images, TheEncodersSymbolsReadBackAsTheirBytesInTheShapeTheyState) {
  const QByteArray six("\x80\x01\xfe\x1b\x9f\x00", 6);
  std::vector<ReadCase> cases{
      {"seven digits stay text", "1234567"},
      {"twelve digits alone are numeric", "123456789012"},
      {"six bytes that are no text", six},
      {"seven bytes that are no text", six + "\xc3"},
      {"Hello", "Hello"},
      {"mixed and punctuation sub-modes", "abc,def;ghi"},
      {"question mark, ampersand, tab, CR LF", "Why? Tom & Jerry\tsorry\r\nagain"},
      {"one column of twelve rows", "!>e"},
      {"a fixed 1 x 12 rectangle", "!>e", PDF417_USE_ERROR_LEVEL | PDF417_FIXED_RECTANGLE, 2, 1, 12},
      {"a fixed rectangle with room to spare", "Fixed rectangle", PDF417_FIXED_RECTANGLE, 2, 4, 10},
      {"fixed rows", "Fixed rows of an apology", PDF417_FIXED_ROWS, 2, 0, 7},
      {"fixed columns, inverted", "Fixed columns", PDF417_FIXED_COLUMNS | PDF417_INVERT_BITMAP, 2, 6},
      {"raw codewords", "Hello!", PDF417_FIXED_COLUMNS, 2, 3, 0, {6, 237, 131, 344, 901, '!'}},
      {"raw codewords, numeric", "Sorry 2026", PDF417_USE_ERROR_LEVEL, 4, 2, 0,
       // "Sorry " in text (S, lower latch, o r r y space, a final shift), then 902 and the
       // number 12026 (a leading 1 and the digits) in base 900: 13, 326.
       {8, 18 * 30 + 27, 14 * 30 + 17, 17 * 30 + 24, 26 * 30 + 29, 902, 13, 326}},
  };
  for (int level = 0; level <= 8; ++level)
    cases.push_back({"level " + std::to_string(level), "We are sorry for the delay.", PDF417_USE_ERROR_LEVEL, level});
  for (const ReadCase &c : cases) {
    pdf417param p;
    expectReadBack(c, p);
    if (c.what == "one column of twelve rows" || c.what == "a fixed 1 x 12 rectangle") {
      EXPECT_EQ(p.codeColumns, 1);
      EXPECT_EQ(p.codeRows, 12);
    }
    if (c.rows) {
      EXPECT_EQ(p.codeRows, c.rows);
    }
    if (c.columns) {
      EXPECT_EQ(p.codeColumns, c.columns);
    }
    pdf417free(&p);
  }
}

TEST(PDF417Images, RandomTextsReadBackAsTheSameBytes) {
  std::mt19937 random(15438);
  const QByteArray alphabet("ABCxyz019 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~\t\r\n");
  for (int i = 0; i < 24; ++i) {
    QByteArray text;
    const int length = 1 + int(random() % 90);
    for (int k = 0; k < length; ++k)
      text += i % 3 == 2 ? char(random() % 256) : alphabet[int(random() % alphabet.size())];
    ReadCase c("random text " + std::to_string(i) + ": " + text.toPercentEncoding().toStdString(), text,
               int(random() % 2) * PDF417_FIXED_COLUMNS, int(random() % 9), 1 + int(random() % 8));
    pdf417param p;
    expectReadBack(c, p);
    pdf417free(&p);
  }
}

TEST(PDF417Images, ValuesLevelsShapesAndFramesReadBack) {
  const Pdf417Case cases[] = {
      {"ASCII text", QStringLiteral("Sorry for the delay, Amends #42!"), 2, 0, 3, 180, 60},
      {"digits only, shape from the aspect ratio", QStringLiteral("12345678901234567890123"), 0, 0, 0, 120, 120},
      {"UTF-8 text", QStringLiteral("Entschuldigung f\u00fcr die Versp\u00e4tung \u2014 \u5bf9\u4e0d\u8d77"), 5, 0, 4,
       260, 90},
      {"a long value at level 8", longValue(), 8, 0, 0, 320, 320},
      {"fixed rows", QStringLiteral("Fixed rows: apology card 17"), 2, 12, 0, 260, 60},
      {"fixed rows and columns in a tall frame", QStringLiteral("Tall frame"), 2, 20, 2, 90, 220},
      {"a wide, flat frame", QStringLiteral("WIDE FRAME 2026"), 2, 3, 8, 420, 40},
  };
  for (const Pdf417Case &c : cases) {
    SCOPED_TRACE(c.what);
    BarcodeSettings s = settingsFor(QStringLiteral("PDF417"));
    s.dpi = 300;
    s.pdfErrorLevel = c.level;
    s.PDF_Row = c.rows;
    s.PDF_Col = c.columns;
    s.pdfWidth = c.width;
    s.pdfHeight = c.height;
    pdf417View view;
    const PointImage symbol = Draw_PDF_417_Barcode(s, c.value, &view);
    ASSERT_FALSE(symbol.isNull());
    EXPECT_EQ(symbol.points, QSizeF(c.width, c.height));
    const pdf417param &p = view.parameters();
    if (c.rows) {
      EXPECT_EQ(p.codeRows, c.rows);
    }
    if (c.columns) {
      EXPECT_EQ(p.codeColumns, c.columns);
    }
    EXPECT_GE(p.errorLevel, std::min(c.level, 8));

    // The image with header and footer, as a batch card carries it.
    const QImage image = stacked({imageOf(s, c.value, s.dpi)});
    const DecodeResult zxing = decodeWithZXing(image, QStringLiteral("PDF417"));
    ASSERT_TRUE(zxing.ran) << zxing.error.toStdString();
    EXPECT_EQ(zxing.texts, QStringList{c.value});
    EXPECT_EQ(zxing.ecLevels, QStringList{QString::number(p.errorLevel)});
  }
}

// The level is logged when it changes: the designer's view drawing the same object
// again logs nothing more, batch cards (each drawn by a view of its own) log nothing,
// and a new level is logged once.
TEST(PDF417Images, TheErrorLevelIsLoggedOnlyWhenItChanges) {
  BarcodeSettings s = settingsFor(QStringLiteral("PDF417"));
  s.dpi = 150;
  s.pdfWidth = 180;
  s.pdfHeight = 60;
  s.pdfErrorLevel = 5;
  pdf417View designer;
  ScopedLogCapture log;
  const auto levelLines = [&log] { return log.lines().filter(QStringLiteral("ErrorLevel set to")); };
  for (int i = 0; i < 3; ++i)
    ASSERT_FALSE(Draw_PDF_417_Barcode(s, QStringLiteral("We are sorry"), &designer).isNull());
  EXPECT_EQ(levelLines(), QStringList{QStringLiteral("ErrorLevel set to 5")});
  for (int card = 1; card <= 3; ++card)
    ASSERT_FALSE(Get_Image_From_Val(s, QStringLiteral("Card %1").arg(card), "H", "F").isNull());
  EXPECT_EQ(levelLines().size(), 1);
  s.pdfErrorLevel = 6;
  for (int i = 0; i < 2; ++i)
    ASSERT_FALSE(Draw_PDF_417_Barcode(s, QStringLiteral("We are sorry"), &designer).isNull());
  EXPECT_EQ(levelLines(), (QStringList{QStringLiteral("ErrorLevel set to 5"), QStringLiteral("ErrorLevel set to 6")}));
  EXPECT_EQ(designer.getErrorLevel(), 6);
}

TEST(PDF417Images, AValueTooLongForASymbolGivesTheEncodersErrorAndNoImage) {
  BarcodeSettings s = settingsFor(QStringLiteral("PDF417"));
  pdf417View view(QSizeF(180, 60));
  view.setResolution(300);
  ASSERT_EQ(view.drawWithText(QStringLiteral("first")), pdf417View::ImageReady);
  // More than 5420 bytes, and fewer bytes that still pass 926 codewords.
  QString random;
  for (int i = 0; i < 1200; ++i)
    random += QChar(u"aZ!9~"[i * 7 % 5]);
  for (const QString &value : {QString(5421, QLatin1Char('A')), random}) {
    EXPECT_EQ(view.drawWithText(value), pdf417View::EncodingFailed);
    EXPECT_EQ(view.lastError(), PDF417_ERROR_TEXT_TOO_BIG);
    // The view keeps its last picture, but production never hands out an older symbol.
    EXPECT_FALSE(view.getImage().isNull());
    EXPECT_TRUE(Draw_PDF_417_Barcode(s, value, &view).isNull());
    EXPECT_TRUE(Get_Image_From_Val(s, value, "H", "F").isNull());
  }
  // The view shows the problem instead of a symbol; an empty text is a grey area.
  QImage shown(180, 60, QImage::Format_RGB32);
  shown.fill(Qt::black);
  {
    QPainter painter(&shown);
    view.drawRect(painter);
  }
  EXPECT_EQ(shown.pixel(2, 58), qRgb(255, 255, 255));
  pdf417View fresh(QSizeF(20, 20));
  EXPECT_EQ(fresh.getErrorLevel(), 2);
  EXPECT_EQ(fresh.drawWithText(QString()), pdf417View::NothingToShow);
  QImage grey(20, 20, QImage::Format_RGB32);
  {
    QPainter painter(&grey);
    fresh.drawRect(painter);
  }
  EXPECT_EQ(grey.pixel(10, 10), QColor(Qt::lightGray).rgb());
}

TEST(PDF417Images, TheViewsEpsRenderedByGhostscriptReadsBack) {
  const QString value = QStringLiteral("EPS of an apology, level 5");
  pdf417View view(QSizeF(240, 80));
  view.setErrorLevel(5);
  view.setColumns(4);
  ASSERT_EQ(view.drawWithText(value), pdf417View::ImageReady);
  const QByteArray eps = view.makeEPS();
  const QList<QByteArray> lines = eps.split('\n');
  ASSERT_GT(lines.size(), 8);
  EXPECT_EQ(lines[0], "%!PS-Adobe-3.0 EPSF-3.0");
  EXPECT_EQ(lines[1], "%%BoundingBox: 0 0 240 80");
  EXPECT_EQ(lines[2], "%%Title: pdf417View_EPS_image");
  EXPECT_EQ(lines[3], "%%Creator: pdf417View");
  EXPECT_TRUE(lines[4].startsWith("%%CreationDate: "));
  EXPECT_EQ(lines[5], "240.00 80.00 scale");
  const pdf417param &p = view.parameters();
  EXPECT_EQ(lines[6], QStringLiteral("%1 %2 1 [%1 0 0 -%2 0 %2]{<").arg(p.bitColumns).arg(p.codeRows).toLatin1());
  EXPECT_TRUE(eps.endsWith("\n>}image\n"));

  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString epsPath = dir.filePath(QStringLiteral("symbol.eps"));
  const QString pngPath = dir.filePath(QStringLiteral("symbol.png"));
  QFile file(epsPath);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(eps);
  file.close();
  QProcess gs;
  gs.start(QStringLiteral("gs"), {QStringLiteral("-q"), QStringLiteral("-dSAFER"), QStringLiteral("-dBATCH"),
                                  QStringLiteral("-dNOPAUSE"), QStringLiteral("-dEPSCrop"),
                                  QStringLiteral("-sDEVICE=png16m"), QStringLiteral("-r300"),
                                  QStringLiteral("-sOutputFile=") + pngPath, epsPath});
  ASSERT_TRUE(gs.waitForFinished(60000)) << "gs did not finish";
  ASSERT_EQ(gs.exitCode(), 0) << gs.readAllStandardError().toStdString();
  const QImage rendered(pngPath);
  ASSERT_FALSE(rendered.isNull());
  EXPECT_EQ(rendered.width(), 1000);  // 240 points at 300 dpi
  const DecodeResult zxing = decodeWithZXing(stacked({rendered}), QStringLiteral("PDF417"));
  ASSERT_TRUE(zxing.ran) << zxing.error.toStdString();
  EXPECT_EQ(zxing.texts, QStringList{value});
  EXPECT_EQ(zxing.ecLevels, QStringList{QString::number(p.errorLevel)});
}
