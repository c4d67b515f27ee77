// PDF417 images as the designer and batch output make them, read back by ZXingReader
// (Debian's zbar is built without its PDF417 decoder): texts of every kind, error
// levels, fixed rows and columns, frames of several aspect ratios; values too long for
// a symbol; the view's EPS rendered by Ghostscript.

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

}  // namespace

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
