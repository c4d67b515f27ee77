// How a barcode image is laid out, found by its pixels: header above the bars, the value
// text below them (or above with the value-on-top switch), the footer at the bottom,
// alignments, colours, centred bars, and four-state postal bars between their own
// bottoms and tops.

#include "barcode/BRCBarcodeOffscreenView.h"
#include "barcode/encoding/BRCPostalBarcodes.h"
#include "test_barcode_images_support.h"

#include <gtest/gtest.h>

#include <set>

namespace {

enum class Ink { Header, Footer, Caption, Bar };

bool is(Ink ink, QRgb p) {
  const int r = qRed(p), g = qGreen(p), b = qBlue(p);
  switch (ink) {
  case Ink::Header:
    return r > 160 && g < 90 && b < 90;
  case Ink::Footer:
    return b > 160 && r < 90 && g < 90;
  case Ink::Caption:
    return g > 110 && r < 90 && b < 90;
  case Ink::Bar:
    return r < 60 && g < 60 && b < 60;
  }
  return false;
}

// The rows and columns that hold ink of a kind: first and last row, first and last column.
struct Extent {
  int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
  bool empty() const { return bottom < 0; }
  double centreX() const { return (left + right) / 2.0; }
};

Extent extentOf(const QImage &image, Ink ink) {
  Extent e;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (is(ink, image.pixel(x, y))) {
        e.top = std::min(e.top, y);
        e.bottom = std::max(e.bottom, y);
        e.left = std::min(e.left, x);
        e.right = std::max(e.right, x);
      }
  return e;
}

BarcodeSettings coloured(const QString &symbology) {
  BarcodeSettings s = settingsFor(symbology);
  s.bar_hdr_clr = QColor(220, 0, 0);
  s.bar_ftr_clr = QColor(0, 0, 220);
  s.bar_val_clr = QColor(0, 160, 0);
  s.barcode_clr = Qt::black;
  s.bar_back_clr = Qt::white;
  s.value_font = FontSpec(QStringLiteral("DejaVu Sans-Bold"), 12.0);
  s.header_font = FontSpec(QStringLiteral("DejaVu Sans-Bold"), 12.0);
  s.footer_font = FontSpec(QStringLiteral("DejaVu Sans-Bold"), 12.0);
  return s;
}

}  // namespace

TEST(BarcodeDrawing, HeaderBarsCaptionAndFooterStandInOrder) {
  BarcodeSettings s = coloured("Code 128");
  const QImage below = imageOf(s, "DRAWN 128", 300);
  ASSERT_FALSE(below.isNull());
  const Extent header = extentOf(below, Ink::Header), bars = extentOf(below, Ink::Bar),
               caption = extentOf(below, Ink::Caption), footer = extentOf(below, Ink::Footer);
  ASSERT_FALSE(header.empty() || bars.empty() || caption.empty() || footer.empty());
  EXPECT_LT(header.bottom, bars.top);
  EXPECT_LT(bars.bottom, caption.top);
  EXPECT_LT(caption.bottom, footer.top);
  // The top/bottom margin (0.1 cm = 2.83 points, 11.8 pixels) keeps the texts off the edges.
  EXPECT_GE(header.top, 10);
  EXPECT_LE(footer.bottom, below.height() - 11);
  // Bar height 1 cm = 28.35 points = 118 pixels at 300 dpi.
  EXPECT_NEAR(bars.bottom - bars.top + 1, 118, 2);

  s.showinTopState = 1;
  const QImage above = imageOf(s, "DRAWN 128", 300);
  const Extent header2 = extentOf(above, Ink::Header), bars2 = extentOf(above, Ink::Bar),
               caption2 = extentOf(above, Ink::Caption), footer2 = extentOf(above, Ink::Footer);
  EXPECT_LT(header2.bottom, caption2.top);
  EXPECT_LT(caption2.bottom, bars2.top);
  EXPECT_LT(bars2.bottom, footer2.top);
  EXPECT_EQ(above.size(), below.size());

  // Hidden texts are not drawn and take no room.
  s.showinTopState = 0;
  s.hideHeaderState = 1;
  s.captionState = 1;
  const QImage bare = imageOf(s, "DRAWN 128", 300);
  EXPECT_TRUE(extentOf(bare, Ink::Header).empty());
  EXPECT_TRUE(extentOf(bare, Ink::Caption).empty());
  EXPECT_FALSE(extentOf(bare, Ink::Footer).empty());
  EXPECT_LT(bare.height(), below.height());
}

TEST(BarcodeDrawing, HeaderAndFooterAlignmentsAndCentredBars) {
  BarcodeSettings s = coloured("Code 39");
  const QString value = QStringLiteral("A LONG CODE 39 VALUE");
  const auto header = [&](const QString &align) {
    s.align_hdr = align;
    s.align_ftr = align;
    const QImage image = imageOf(s, value, 200, "HDR", "FTR");
    return std::pair{image, extentOf(image, Ink::Header)};
  };
  const auto [left, leftHeader] = header("Left");
  const auto [right, rightHeader] = header("Right");
  const auto [centre, centreHeader] = header("Center");
  const auto [other, otherHeader] = header("Justified");
  const int width = left.width();
  EXPECT_LT(leftHeader.left, width / 10);
  EXPECT_GT(rightHeader.right, width * 9 / 10);
  EXPECT_NEAR(centreHeader.centreX(), width / 2.0, width / 50.0);
  // Any other text leaves the default alignment, the left.
  EXPECT_EQ(otherHeader.left, leftHeader.left);
  EXPECT_NEAR(extentOf(right, Ink::Footer).right, rightHeader.right, 4);

  // The bars stand in the middle of the image.
  const Extent bars = extentOf(centre, Ink::Bar);
  EXPECT_NEAR(bars.left, width - 1 - bars.right, 3);
}

TEST(BarcodeDrawing, ColoursOfBackgroundAndBars) {
  BarcodeSettings s = coloured("Code 128");
  s.bar_back_clr = QColor(255, 255, 180);
  s.barcode_clr = QColor(0, 0, 120);
  const QImage image = imageOf(s, "COLOUR", 150);
  EXPECT_EQ(image.pixelColor(1, 1), s.bar_back_clr);
  int barPixels = 0;
  for (int x = 0; x < image.width(); ++x)
    barPixels += image.pixelColor(x, image.height() / 2) == s.barcode_clr ? 1 : 0;
  EXPECT_GT(barPixels, 20);
}

TEST(BarcodeDrawing, FourStateBarsStandBetweenTheirOwnBottomsAndTops) {
  for (const char *name : {"Royal Mail Barcode (RM4SCC / CBC)", "Japan Post Barcode"}) {
    BarcodeSettings s = coloured(name);
    s.barHeight = 3.0;  // centimetres: far above the Japan Post limit
    const QString value = QString::fromLatin1(name).startsWith("Royal") ? "SN34RD1A" : "1060032";
    BarcodeBuild build = Generate_Barcode_Variable(s, value, "HEADER", "FOOTER");
    ASSERT_TRUE(build.linear) << name;
    const QImage image = onWhite(imageOfBuild(s, build), 600);
    const Extent bars = extentOf(image, Ink::Bar);
    ASSERT_FALSE(bars.empty()) << name;
    std::set<int> tops, bottoms;
    int columns = 0;
    for (int x = bars.left; x <= bars.right; ++x) {
      int top = -1, bottom = -1;
      for (int y = 0; y < image.height(); ++y)
        if (is(Ink::Bar, image.pixel(x, y))) {
          if (top < 0)
            top = y;
          bottom = y;
        }
      if (top < 0)
        continue;
      ++columns;
      tops.insert(top);
      bottoms.insert(bottom);
    }
    EXPECT_GT(columns, 20) << name;
    // Ascenders and full bars reach higher than trackers and descenders; descenders and
    // full bars reach lower than trackers and ascenders.
    EXPECT_EQ(tops.size(), 2u) << name;
    EXPECT_EQ(bottoms.size(), 2u) << name;
    if (tops.size() == 2 && bottoms.size() == 2) {
      const double fullBarPoints = (*bottoms.rbegin() - *tops.begin() + 1) * 72.0 / 600.0;
      EXPECT_NEAR(fullBarPoints, highestBarTop(*build.linear), 0.5) << name;
    }
    // The height limit of the symbol applies to the bars, not to the image: the image
    // holds the bars and the texts, and the bars are no taller than the limit allows.
    const float texts = build.linear->captionHeight() * 72 + build.linear->headerHeight() * 72 +
                        build.linear->footerHeight() * 72;
    const QSizeF size = imageOfBuild(s, build).size();
    EXPECT_GT(size.height(), highestBarTop(*build.linear) + texts) << name;
    EXPECT_LT(highestBarTop(*build.linear), 16.0f) << name;
  }
}

TEST(BarcodeDrawing, ImageModeCentresTheSymbolUnderItsHeader) {
  BarcodeSettings s = coloured("DataMatrix");
  s.dmModule = 4;
  s.dpi = 300;
  const QImage image = imageOf(s, "centred", 300, "A WIDE HEADER LINE FOR THE SYMBOL", "F");
  ASSERT_FALSE(image.isNull());
  const Extent symbol = extentOf(image, Ink::Bar);
  const Extent header = extentOf(image, Ink::Header);
  const Extent footer = extentOf(image, Ink::Footer);
  ASSERT_FALSE(symbol.empty() || header.empty() || footer.empty());
  EXPECT_LT(header.bottom, symbol.top);
  EXPECT_LT(symbol.bottom, footer.top);
  EXPECT_NEAR(symbol.centreX(), image.width() / 2.0, 6);
  EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::white));
}

TEST(BarcodeDrawing, SymbologiesNoReaderKnowsDrawTheirModuleStringBarForBar) {
  // Sampled at the middle of every module just above the base line, the picture gives
  // back the module string: runs, spaces and the position of every bar.
  const QList<std::pair<const char *, QString>> cases = {
      {"Industrial 2 of 5", "1234567890"}, {"Modified Plessey", "1234567890"}, {"Modified Plessey (Hex)", "12AF"},
      {"PostNet", "555551237"},           {"Planet", "01234567890"},         {"Code 39", "CODE 39"},
      {"EAN-13", "590123412345"}};
  for (const auto &[name, value] : cases) {
    BarcodeSettings s = coloured(name);
    BarcodeBuild build = Generate_Barcode_Variable(s, value, "H", "F");
    ASSERT_TRUE(build.linear) << name;
    const QString modules = build.linear->completeBarcode();
    const double dpi = 720.0;  // ten pixels a point
    const QImage image = onWhite(imageOfBuild(s, build), dpi);
    const double scale = dpi / 72.0;
    const double bw = build.linear->barWidth() * scale;
    const double x0 = (image.width() - modules.size() * bw) / 2.0;
    const Extent bars = extentOf(image, Ink::Bar);
    const int y = bars.bottom - 2;
    QString read;
    for (int i = 0; i < modules.size(); ++i)
      read += is(Ink::Bar, image.pixel(int(x0 + (i + 0.5) * bw), y)) ? QLatin1Char('1') : QLatin1Char('0');
    EXPECT_EQ(read, modules) << name;
  }
}

TEST(BarcodeDrawing, CaptionSpreadingAndSplitCaptions) {
  // With the spreading switch a one-part caption runs across the barcode's width.
  BarcodeSettings s = coloured("Code 128");
  s.captionState = 0;
  s.value_font = FontSpec(QStringLiteral("DejaVu Sans-Bold"), 8.0);
  const QString value = QStringLiteral("SPREAD THE VALUE TEXT");
  s.kerningState = 1;
  const QImage spread = imageOf(s, value, 200);
  s.kerningState = 0;
  const QImage plain = imageOf(s, value, 200);
  const Extent bars = extentOf(spread, Ink::Bar);
  const Extent wide = extentOf(spread, Ink::Caption);
  const Extent narrow = extentOf(plain, Ink::Caption);
  EXPECT_NEAR(wide.right - wide.left, bars.right - bars.left, (bars.right - bars.left) / 10.0);
  EXPECT_LT(narrow.right - narrow.left, (bars.right - bars.left) * 0.8);
  EXPECT_NEAR(narrow.centreX(), plain.width() / 2.0, 8);

  // EAN-13: the first digit stands left of the bars, the two halves under the bars.
  BarcodeSettings ean = coloured("EAN-13");
  ean.lrMargin = 0;
  ean.hideHeaderState = 1;
  ean.hideFooterState = 1;
  const QImage image = imageOf(ean, "590123412345", 300);
  const Extent eanBars = extentOf(image, Ink::Bar);
  const Extent caption = extentOf(image, Ink::Caption);
  ASSERT_FALSE(caption.empty());
  EXPECT_LT(caption.left, eanBars.left);
  EXPECT_GT(caption.right, eanBars.left + (eanBars.right - eanBars.left) / 2);
  EXPECT_GT(caption.top, eanBars.top);
}
