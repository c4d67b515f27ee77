// Barcode images as the designer and batch output make them: every symbology a reader
// here knows, drawn with caption, header and footer at two resolutions and read back;
// image sizes at given resolutions and units; the vector image as PDF; the refusals.

#include "barcode/BRCBarcodeOffscreenView.h"
#include "barcode/QREncoder.h"
#include "barcode/encoding/BRCCode128Barcode.h"
#include "test_barcode_images_support.h"
#include "tests/common/decoder_support.h"
#include "tests/common/TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Case {
  const char *symbology;
  QString value;
  QString zbarText;   // empty: zbar does not read it
  QString zxingText;  // empty: ZXingReader does not read it
};

const QList<Case> &linearCases() {
  static const QList<Case> cases = {
      {"Code 39", "CODE 39", "CODE 39", "CODE 39"},
      {"Extended Code 39", "EXT-39", "EXT-39", "EXT-39"},
      {"Code 128", "Amends 128", "Amends 128", "Amends 128"},
      {"Code 128 SET A", "SET A 1", "SET A 1", "SET A 1"},
      {"Code 128 SET B", "Set b", "Set b", "Set b"},
      {"Code 128 SET C", "123456", "123456", "123456"},
      {"Codabar", "A1234B", "A1234B", "1234"},
      {"Interleaved 2 of 5", "123456", "123456", "123456"},
      {"EAN-13", "590123412345", "5901234123457", "5901234123457"},
      {"EAN-8", "9638507", "96385074", "96385074"},
      {"UPCA", "03600029145", "0036000291452", "036000291452"},
      {"UPCE", "0654321", QString(), "06543217"},
  };
  return cases;
}

::testing::AssertionResult sameTexts(QStringList found, QStringList expected, const char *reader) {
  found.sort();
  expected.sort();
  if (found == expected)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << reader << " read [" << found.join('|').toStdString() << "], expected ["
                                       << expected.join('|').toStdString() << "]";
}

}  // namespace

TEST(BarcodeImages, EveryReadableLinearSymbologyDecodesAtTwoResolutions) {
  for (const double dpi : {300.0, 600.0}) {
    QList<QImage> zbarImages, zxingImages;
    QStringList zbarTexts, zxingTexts;
    for (const Case &c : linearCases()) {
      const QImage image = imageOf(settingsFor(c.symbology), c.value, dpi);
      ASSERT_FALSE(image.isNull()) << c.symbology;
      if (!c.zbarText.isEmpty()) {
        zbarImages << image;
        zbarTexts << c.zbarText;
      }
      if (!c.zxingText.isEmpty()) {
        zxingImages << image;
        zxingTexts << c.zxingText;
      }
    }
    const DecodeResult zbar = decodeWithZbar(stacked(zbarImages));
    ASSERT_TRUE(zbar.ran) << zbar.error.toStdString();
    EXPECT_TRUE(sameTexts(zbar.texts, zbarTexts, "zbarimg")) << "at " << dpi << " dpi";
    const DecodeResult zxing = decodeWithZXing(stacked(zxingImages));
    ASSERT_TRUE(zxing.ran) << zxing.error.toStdString();
    EXPECT_TRUE(sameTexts(zxing.texts, zxingTexts, "ZXingReader")) << "at " << dpi << " dpi";
  }
}

TEST(BarcodeImages, TwoDimensionalSymbolsDecodeAtTwoResolutions) {
  // 60 characters: more than a version-1 symbol holds, so the automatic version must
  // grow (a capacity check against version 1 refused it).
  const QString qrText = QStringLiteral("Amends apology card 2026: https://example.org/sorry?card=4711&x=1");
  const QString dmText = QStringLiteral("Amends DataMatrix 0123456789");
  for (const double dpi : {150.0, 400.0}) {
    BarcodeSettings qr = settingsFor("QR Code");
    qr.dpi = int(dpi);
    qr.qrSize = 120;
    const QImage qrImage = imageOf(qr, qrText, dpi);
    ASSERT_FALSE(qrImage.isNull());
    const DecodeResult zxing = decodeWithZXing(qrImage, "QRCode");
    ASSERT_TRUE(zxing.ran) << zxing.error.toStdString();
    EXPECT_EQ(zxing.texts, QStringList{qrText}) << dpi;
    const DecodeResult zbar = decodeWithZbar(qrImage);
    EXPECT_EQ(zbar.texts, QStringList{qrText}) << dpi;

    BarcodeSettings dm = settingsFor("DataMatrix");
    dm.dpi = int(dpi);
    dm.dmModule = 4;
    const QImage dmImage = imageOf(dm, dmText, dpi);
    ASSERT_FALSE(dmImage.isNull());
    const DecodeResult dmtx = decodeWithDmtx(dmImage);
    ASSERT_TRUE(dmtx.ran) << dmtx.error.toStdString();
    EXPECT_EQ(dmtx.texts, QStringList{dmText}) << dpi;
  }
}

TEST(BarcodeImages, QrCapacityFollowsTheChosenVersionOrTheLargestForAuto) {
  EXPECT_EQ(QREncoder::capacity(0, 1, 0), 41);
  EXPECT_EQ(QREncoder::capacity(1, 1, 0), 25);
  EXPECT_EQ(QREncoder::capacity(2, 1, 0), 17);
  EXPECT_EQ(QREncoder::capacity(3, 1, 0), 10);
  EXPECT_EQ(QREncoder::capacity(0, 40, 3), 3057);
  EXPECT_EQ(QREncoder::capacity(1, 40, 3), 1852);
  EXPECT_EQ(QREncoder::capacity(2, 40, 3), 1273);
  EXPECT_EQ(QREncoder::capacity(3, 40, 3), 784);
  EXPECT_EQ(QREncoder::capacity(2, 10, 1), 213);

  const QByteArray seventeen = "abcdefghijklmnopq";
  EXPECT_TRUE(QREncoder::encodeCStringWithECLevel(0, 1, seventeen));
  EXPECT_FALSE(QREncoder::encodeCStringWithECLevel(0, 1, seventeen + "r"));
  EXPECT_TRUE(QREncoder::encodeCStringWithECLevel(0, 2, seventeen + "r"));
  const auto automatic = QREncoder::encodeCStringWithECLevel(0, 0, seventeen + "r");
  ASSERT_TRUE(automatic);
  EXPECT_EQ(automatic->dimension(), 25);
  // The largest symbol at level H and one byte more.
  EXPECT_TRUE(QREncoder::encodeCStringWithECLevel(3, 0, QByteArray(1273, 'x')));
  EXPECT_FALSE(QREncoder::encodeCStringWithECLevel(3, 0, QByteArray(1274, 'x')));
}

TEST(BarcodeImages, QrBitmapHasOnePixelPerModuleAtLeastAndATransparentQuietZone) {
  const auto grid = QREncoder::encodeWithECLevel(1, 1, QStringLiteral("HELLO"));
  ASSERT_TRUE(grid);
  ASSERT_EQ(grid->dimension(), 21);
  // A requested size below the module count: one pixel per module, no overrun.
  const PointImage small = QREncoder::renderDataMatrix(*grid, 10, 72.0);
  ASSERT_FALSE(small.isNull());
  EXPECT_EQ(small.pixels.size(), QSize(21, 21));
  EXPECT_EQ(small.points, QSizeF(21, 21));

  // 60 pixels: modules of 2, a margin of 9 on each side, transparent.
  const PointImage image = QREncoder::renderDataMatrix(*grid, 60, 72.0);
  ASSERT_EQ(image.pixels.size(), QSize(60, 60));
  EXPECT_EQ(qAlpha(image.pixels.pixel(8, 8)), 0);
  EXPECT_EQ(qAlpha(image.pixels.pixel(51, 51)), 0);
  EXPECT_EQ(image.pixels.pixelColor(9, 9), QColor(Qt::black));  // finder corner
  EXPECT_EQ(qAlpha(image.pixels.pixel(50, 50)), 255);
  // At 300 dpi the 60-point image has 250 pixels a side.
  EXPECT_EQ(QREncoder::renderDataMatrix(*grid, 60, 300.0).pixels.size(), QSize(250, 250));
}

TEST(BarcodeImages, ImageSizesFollowResolutionUnitAndTexts) {
  BarcodeSettings s = settingsFor("Code 128");
  s.unit = 1;
  s.barHeight = 2.0;  // 56.69 points
  s.tbMargin = 0;
  s.lrMargin = 0;
  s.hideHeaderState = 1;
  s.hideFooterState = 1;
  s.captionState = 1;
  BarcodeBuild build = Generate_Barcode_Variable(s, "ABC", "H", "F");
  ASSERT_TRUE(build.linear);
  EXPECT_NEAR(build.linear->height(), 2 * 0.393701 * 72, 1e-3);
  s.unit = 2;
  s.barHeight = 20.0;
  build = Generate_Barcode_Variable(s, "ABC", "H", "F");
  EXPECT_NEAR(build.linear->height(), 2 * 0.393701 * 72, 1e-3);
  const float width = build.linear->width();
  EXPECT_FLOAT_EQ(width, float(build.linear->completeBarcode().size()) * 13.0f / 1000.0f * 72.0f);

  const CardPicture picture = imageOfBuild(s, build);
  ASSERT_FALSE(picture.isNull());
  EXPECT_NEAR(picture.size().width(), width, 1e-3);
  for (const double dpi : {72.0, 300.0, 600.0}) {
    const PointImage image = picture.toImage(dpi);
    EXPECT_EQ(image.pixels.width(), int(std::ceil(dpi * picture.size().width() / 72.0 - 1e-6))) << dpi;
    EXPECT_EQ(image.pixels.height(), int(std::ceil(dpi * picture.size().height() / 72.0 - 1e-6))) << dpi;
  }

  // A header wider than the bars widens the image: header width, margins of 0.1 inch
  // on both sides and 15 points.
  s.unit = 0;
  s.lrMargin = 0.1;
  s.hideHeaderState = 0;
  const QString wide = QStringLiteral("A HEADER MUCH WIDER THAN THREE CHARACTERS OF CODE 128");
  build = Generate_Barcode_Variable(s, "ABC", wide, "F");
  const float headerWidth = textWidthPoints(s.header_font, wide);
  EXPECT_GT(headerWidth, float(build.linear->completeBarcode().size()) * 0.936f);
  EXPECT_NEAR(build.linear->width(), headerWidth + 14.4f + 15.0f, 1e-3);
  // Hidden, the header adds neither width nor margin.
  s.hideHeaderState = 1;
  build = Generate_Barcode_Variable(s, "ABC", wide, "F");
  EXPECT_NEAR(build.linear->width(), float(build.linear->completeBarcode().size()) * 0.936f + 14.4f + 15.0f, 1e-3);

  // A two-dimensional image is as large as the designer's width and height.
  BarcodeSettings dm = settingsFor("DataMatrix");
  dm.dmModule = 3;
  dm.lrMargin = 0;
  dm.tbMargin = 0;
  dm.hideHeaderState = 1;
  dm.hideFooterState = 1;
  BarcodeBuild symbol = Generate_Barcode_Variable(dm, "123456", "", "");
  ASSERT_FALSE(symbol.image_2d.isNull());
  EXPECT_EQ(symbol.image_2d.points, QSizeF(30, 30));
  EXPECT_EQ(imageOfBuild(dm, symbol).size(), QSizeF(30, 30));
}

TEST(BarcodeImages, VectorImageBecomesAPdfPageAndABitmap) {
  const BarcodeSettings s = settingsFor("Code 128");
  BarcodeBuild build = Generate_Barcode_Variable(s, "PDF 128", "HEADER", "FOOTER");
  ASSERT_TRUE(build.linear);
  const QByteArray pdf = pdfFromBarcode(build.linear.get(), s);
  ASSERT_TRUE(pdf.startsWith("%PDF"));
  QTemporaryDir dir;
  const QString path = dir.filePath("barcode.pdf");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(pdf);
  file.close();

  QProcess info;
  info.start("pdfinfo", {path});
  ASSERT_TRUE(info.waitForFinished(30000));
  const QString report = QString::fromUtf8(info.readAllStandardOutput());
  EXPECT_TRUE(report.contains(QRegularExpression("Pages:\\s+1\\b"))) << report.toStdString();
  const QRegularExpressionMatch size = QRegularExpression("Page size:\\s+([0-9.]+) x ([0-9.]+) pts").match(report);
  ASSERT_TRUE(size.hasMatch()) << report.toStdString();
  const CardPicture picture = imageFromBarcode(build.linear.get(), s);
  EXPECT_NEAR(size.captured(1).toDouble(), picture.size().width(), 1.0);
  EXPECT_NEAR(size.captured(2).toDouble(), picture.size().height(), 1.0);

  QProcess raster;
  raster.start("pdftoppm", {"-r", "300", "-png", "-singlefile", path, dir.filePath("page")});
  ASSERT_TRUE(raster.waitForFinished(30000));
  QImage page(dir.filePath("page.png"));
  ASSERT_FALSE(page.isNull());
  EXPECT_EQ(decodeWithZbar(stacked({page})).texts, QStringList{"PDF 128"});
  // The same picture as a bitmap reads the same.
  EXPECT_EQ(decodeWithZbar(stacked({onWhite(picture, 300)})).texts, QStringList{"PDF 128"});
}

TEST(BarcodeImages, RefusedValuesGiveNoImage) {
  // Empty value, non-ASCII linear value, content the symbology cannot hold.
  EXPECT_TRUE(Get_Image_From_Val(settingsFor("Code 128"), "", "H", "F").isNull());
  EXPECT_TRUE(Get_Image_From_Val(settingsFor("Code 128"), QStringLiteral("Caf\u00e9"), "H", "F").isNull());
  EXPECT_TRUE(Get_Image_From_Val(settingsFor("EAN-13"), "12AB", "H", "F").isNull());
  EXPECT_TRUE(Get_Image_From_Val(settingsFor("No Such Symbology"), "123", "H", "F").isNull());
  // A QR text beyond the chosen version, and beyond any version at the level.
  BarcodeSettings qr = settingsFor("QR Code");
  qr.QR_Version_Val = 1;
  EXPECT_TRUE(Get_Image_From_Val(qr, QString(18, 'a'), "", "").isNull());
  qr.QR_Version_Val = 0;
  qr.QR_EC_Level_Val = 3;
  EXPECT_TRUE(Get_Image_From_Val(qr, QString(1274, 'a'), "", "").isNull());
  // A DataMatrix value that does not fit the chosen size.
  BarcodeSettings dm = settingsFor("DataMatrix");
  dm.dmFormat = "C10X10";
  EXPECT_TRUE(Get_Image_From_Val(dm, QStringLiteral("far too long for ten by ten"), "", "").isNull());
  // An empty value after a two-dimensional one gives nothing, not the previous symbol.
  EXPECT_FALSE(Get_Image_From_Val(qr, "first row", "", "").isNull());
  EXPECT_TRUE(Get_Image_From_Val(qr, "", "", "").isNull());
}

TEST(BarcodeImages, DataMatrixEpsTextAndItsCommentLine) {
  BarcodeSettings dm = settingsFor("DataMatrix");
  QByteArray eps;
  const PointImage image = Draw_DataMatrix_Barcode(dm, "123456", 3, &eps);
  ASSERT_FALSE(image.isNull());
  const QList<QByteArray> lines = eps.split('\n');
  ASSERT_GE(lines.size(), 16);
  EXPECT_EQ(lines[0], "%!PS-Adobe-3.0 EPSF-3.0");
  EXPECT_EQ(lines[1], "%%Creator: ECC200 barcode generator");
  EXPECT_EQ(lines[2], "%%BarcodeData: 123456");
  EXPECT_EQ(lines[3], "%%BarcodeSize: 10x10");
  EXPECT_EQ(lines[8], "%%BoundingBox: 0 0 12 12");
  EXPECT_EQ(lines[11], "10 10 1[1 0 0 1 -1 -1]{<");
  // Ten rows of two bytes and a space each stand on one line.
  EXPECT_EQ(lines[12].size(), 50);
  EXPECT_TRUE(QRegularExpression("^([0-9A-F]{4} ){10}$").match(QString::fromLatin1(lines[12])).hasMatch());
  EXPECT_EQ(lines[13], "");
  EXPECT_EQ(lines[14], ">}image");
  // The bottom row of a symbol is solid (the finder's L): all bits set, inverted to 0,
  // the last byte padded with zero bits (inverted: ones).
  EXPECT_EQ(lines[12].left(4), "003F");
  EXPECT_EQ(image.points, QSizeF(30, 30));

  // A line break in the value cannot start a PostScript line of its own.
  QByteArray hostile;
  ASSERT_FALSE(Draw_DataMatrix_Barcode(dm, QStringLiteral("A\nshowpage\r%%EOF\u00e9"), 3, &hostile).isNull());
  const QList<QByteArray> hostileLines = hostile.split('\n');
  EXPECT_EQ(hostileLines[2], "%%BarcodeData: A?showpage?%%EOF??");
  EXPECT_FALSE(hostile.contains("\nshowpage"));
  EXPECT_EQ(hostileLines[3].left(15), "%%BarcodeSize: ");
}

TEST(BarcodeImages, ResizingCropsFromTheCornerAndPngKeepsTheResolution) {
  QImage pixels(40, 20, QImage::Format_ARGB32_Premultiplied);
  pixels.fill(Qt::red);
  pixels.setPixelColor(0, 0, Qt::blue);
  const PointImage image{pixels, QSizeF(40, 20)};
  const PointImage smaller = Resize_Image(image, QSizeF(10, 5));
  ASSERT_EQ(smaller.pixels.size(), QSize(10, 5));
  EXPECT_EQ(smaller.pixels.pixelColor(0, 0), QColor(Qt::blue));
  EXPECT_EQ(smaller.pixels.pixelColor(9, 4), QColor(Qt::red));
  const PointImage larger = Resize_Image(image, QSizeF(50, 30));
  ASSERT_EQ(larger.pixels.size(), QSize(50, 30));
  EXPECT_EQ(qAlpha(larger.pixels.pixel(45, 25)), 0);
  EXPECT_TRUE(Resize_Image(PointImage(), QSizeF(5, 5)).isNull());

  // A 72 x 36 point symbol image at 600 dpi, written and read back with its size.
  BarcodeSettings qr = settingsFor("QR Code");
  qr.qrSize = 72;
  qr.dpi = 600;
  const PointImage symbol = Draw_QR_Barcode(qr, "PNG");
  ASSERT_EQ(symbol.pixels.size(), QSize(600, 600));
  QTemporaryDir dir;
  const QString path = dir.filePath("qr.png");
  ASSERT_TRUE(Save_Barcode_image(symbol, path));
  const PointImage back = PointImage::load(path);
  EXPECT_EQ(back.pixels.size(), QSize(600, 600));
  EXPECT_NEAR(back.points.width(), 72.0, 0.1);
  EXPECT_EQ(decodeWithZXing(stacked({back.pixels}), "QRCode").texts, QStringList{"PNG"});
}
