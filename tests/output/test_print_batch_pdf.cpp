// A bound batch printed to PDF through the printing view (its cards are made on worker
// threads, hence the suite's name): the bound texts are in the file as text, the bound
// QR codes are vector modules, not pictures, that the readers still decode after
// poppler rasterises the pages at 150 and 300 dpi, and each card is cut at its own edge.

#include "tests/mainwindow/main_window_fixture.h"
#include "tests/output/print_fixture.h"

#include "output/Printing_View.h"

#include "barcode/BarcodeProduction.h"
#include "core/QLNBarcode.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"
#include "dataseries/BatchCardSource.h"
#include "dataseries/model/SeriesStore.h"
#include "tests/common/decoder_support.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace printtest;

namespace {

class PrintedBatchWorkers : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    controller = startSession();
    ASSERT_NE(controller, nullptr);
  }
  QLNWindowController *controller = nullptr;
};

// Page `page` (from 1) of `pdf` rasterised at `dpi`.
QImage pageAt(const QString &pdf, int page, int dpi) {
  const QString prefix = pdf + QStringLiteral(".%1.%2").arg(page).arg(dpi);
  runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                                       QString::number(page), QStringLiteral("-l"), QString::number(page),
                                       QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, prefix});
  return QImage(prefix + QStringLiteral(".png"));
}

TEST_F(PrintedBatchWorkers, BoundTextsAreTextAndBoundQrCodesAreVectorsThatStillDecode) {
  const QStringList names = {QStringLiteral("Avery Quill"), QStringLiteral("Brook Zephyr"),
                             QStringLiteral("Clay Juniper")};
  const QStringList codes = {QStringLiteral("https://amends.example/card/0001"),
                             QStringLiteral("https://amends.example/card/0002"),
                             QStringLiteral("https://amends.example/card/0003")};
  ASSERT_TRUE(SeriesStore::write(QStringLiteral("Names"), names, SeriesStore::EmptyValues::KeepAsEmptyLines,
                                 SeriesStore::WriteMode::Replace));
  ASSERT_TRUE(SeriesStore::write(QStringLiteral("Codes"), codes, SeriesStore::EmptyValues::KeepAsEmptyLines,
                                 SeriesStore::WriteMode::Replace));
  auto name = std::make_shared<QLNText>();
  name->setBounds(QRectF(10, 10, 140, 30));
  replaceCharacters(*name->Text_contents(), QStringLiteral("design"));
  name->data_source_type = 1;
  name->batch_list_name = QStringLiteral("Names");
  auto qr = std::make_shared<QLNBarcode>();
  qr->linear_or_2d = 1;
  qr->barcode_font_index = int(barcodeSymbologyNames().indexOf(QStringLiteral("QR Code")));
  qr->setBounds(QRectF(160, 10, 90, 90));
  qr->data_source_type = 1;
  qr->batch_list_name = QStringLiteral("Codes");
  controller->SetDocumentCanvasSize(QSizeF(300, 150));
  session->document()->setList(QLNDocumentGraphicsKey, {name, qr});
  session->document()->setList(QLNDocumentGraphicsKey_back, {});
  controller->Check_Series_Or_Excel_Use_or_not();
  const auto run = controller->batchCardSource();
  ASSERT_EQ(run->cardCount(), 3);

  // One card to a sheet, three sheets.
  PrintLayout::Settings s;
  s.paper = QSizeF(400, 300);
  s.labelWidth = 300;
  s.labelHeight = 150;
  s.card = QSizeF(300, 150);
  s.rows = 1;
  s.cols = 1;
  s.total = 3;
  s.side = QStringLiteral("F");
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("cards.pdf"));
  BatchRunFailures failures;
  const QPageLayout paper(QPageSize(s.paper, QPageSize::Point, QString(), QPageSize::ExactMatch),
                          QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point);
  ASSERT_EQ(Printing_View(s, Printing_View::fromBatch(run)).printToPdf(file, paper, 1, &failures), QString());
  EXPECT_TRUE(failures.isEmpty()) << failures.message().toStdString();
  ASSERT_EQ(pdfPageCount(file), 3);

  QFile pdf(file);
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  const QByteArray bytes = pdf.readAll();
  EXPECT_FALSE(bytes.contains("/Subtype /Image")) << "a symbol went into the file as a picture";

  for (int page = 1; page <= 3; ++page) {
    QStringList words;
    for (const Word &word : pdfWords(file, page))
      words << word.text;
    // The card's name (the barcode adds its header and footer).
    EXPECT_TRUE(words.join(QLatin1Char(' ')).startsWith(names[page - 1])) << "page " << page << ": "
                                                                          << words.join(' ').toStdString();
    for (const QString &other : names) {
      if (other != names[page - 1]) {
        EXPECT_FALSE(words.contains(other.section(' ', 0, 0))) << "page " << page;
      }
    }
    for (int dpi : {150, 300}) {
      const DecodeResult decoded = decodeWithZXing(pageAt(file, page, dpi), QStringLiteral("QRCode"));
      ASSERT_TRUE(decoded.ran) << decoded.error.toStdString();
      EXPECT_EQ(decoded.texts, QStringList{codes[page - 1]}) << "page " << page << " at " << dpi << " dpi";
    }
  }
}

// Objects that reach past the card's edges, printed two by two with gaps of 10 mm: on
// paper, as on the canvas, each card ends at its edge. Nothing of an ellipse above the
// card, a barcode picture past its right edge, a bound text's box past its left edge or
// a back side's rectangle below it lands in the gaps or on a neighbouring card.
TEST_F(PrintedBatchWorkers, EveryCardIsCutAtItsOwnEdgeFrontAndBack) {
  ASSERT_TRUE(SeriesStore::write(QStringLiteral("Names"), {"Ann", "Bob", "Cy", "Dee"},
                                 SeriesStore::EmptyValues::KeepAsEmptyLines, SeriesStore::WriteMode::Replace));
  const QColor green(0, 160, 0), orange(255, 140, 0), blue(0, 0, 255), magenta(255, 0, 255);
  auto shape = [](const QString &kind, const QRectF &bounds, const QColor &fill) {
    auto object = std::make_shared<Shape_Control>();
    object->Set_Shape_Type(kind);
    object->_isDrawingStroke = false;
    object->_isDrawingFill = true;
    object->_fillColor = fill;
    object->_bounds = bounds;
    return object;
  };
  // Above the card.
  auto ellipse = shape(QStringLiteral("C"), QRectF(40, -50, 120, 90), green);
  // Past the right edge: an unbound barcode's picture, 60 points of it.
  auto barcode = std::make_shared<QLNBarcode>();
  QImage bars(220, 80, QImage::Format_RGB32);
  bars.fill(blue);
  barcode->setBounds(QRectF(150, 10, 110, 40));
  barcode->Set_Barcode_image(PointImage{bars, QSizeF(110, 40)});
  // Past the left edge: a bound text with its box filled.
  auto name = std::make_shared<QLNText>();
  name->setBounds(QRectF(-60, 60, 120, 30));
  replaceCharacters(*name->Text_contents(), QStringLiteral("design"));
  name->_isDrawingFill = true;
  name->_fillColor = orange;
  name->data_source_type = 1;
  name->batch_list_name = QStringLiteral("Names");
  // Below the back.
  auto below = shape(QStringLiteral("R"), QRectF(30, 50, 100, 90), magenta);
  controller->SetDocumentCanvasSize(QSizeF(200, 100));
  session->document()->setList(QLNDocumentGraphicsKey, {name, barcode, ellipse});
  session->document()->setList(QLNDocumentGraphicsKey_back, {below});
  controller->Check_Series_Or_Excel_Use_or_not();
  const auto run = controller->batchCardSource();
  ASSERT_EQ(run->cardCount(), 4);

  PrintLayout::Settings s;
  s.paper = QSizeF(600, 800);
  s.left = s.top = 40;
  s.labelWidth = 200;
  s.labelHeight = 100;
  s.card = QSizeF(200, 100);
  s.rows = 2;
  s.cols = 2;
  s.gapAcross = s.gapDown = PrintLayout::MM_to_Points_Convert(10);
  s.total = 4;
  const QPageLayout paper(QPageSize(s.paper, QPageSize::Point, QString(), QPageSize::ExactMatch),
                          QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point);
  // The four cards on the sheet.
  QList<QRectF> cards;
  for (int cell = 0; cell < 4; ++cell)
    cards << QRectF(40 + (cell % 2) * (200 + s.gapAcross), 40 + (cell / 2) * (100 + s.gapDown), 200, 100);
  // A colour's pixels in the gaps and margins, and in the part of each card (in the
  // card's points) that only a neighbour's overhang could reach. The card areas are a
  // pixel wider all round for the anti-aliased edge.
  struct Overhang {
    QColor colour;
    QRectF neighbourOnly;
  };
  const auto strayPixels = [&](const QImage &page, const Overhang &overhang) {
    int stray = colourCount(page, overhang.colour);
    for (const QRectF &card : cards) {
      stray -= colourCount(page, overhang.colour, card.toAlignedRect().adjusted(-1, -1, 1, 1));
      stray += colourCount(page, overhang.colour, overhang.neighbourOnly.translated(card.topLeft()).toAlignedRect());
    }
    return stray;
  };
  const QList<Overhang> front = {{green, QRectF(0, 50, 200, 50)},     // from the card below
                                 {blue, QRectF(0, 0, 140, 100)},      // from the card on the left
                                 {orange, QRectF(70, 0, 130, 100)}};  // from the card on the right
  const QList<Overhang> back = {{magenta, QRectF(0, 0, 200, 40)}};    // from the card above
  QTemporaryDir dir;
  for (const QString &side : {QStringLiteral("F"), QStringLiteral("B")}) {
    SCOPED_TRACE(side.toStdString());
    s.side = side;
    const QString file = dir.filePath(side + QStringLiteral(".pdf"));
    BatchRunFailures failures;
    ASSERT_EQ(Printing_View(s, Printing_View::fromBatch(run)).printToPdf(file, paper, 1, &failures), QString());
    EXPECT_TRUE(failures.isEmpty()) << failures.message().toStdString();
    const QImage page = pdfPage(file, 1);
    ASSERT_EQ(page.size(), QSize(600, 800));
    for (const Overhang &overhang : side == QLatin1String("F") ? front : back) {
      const std::string colour = overhang.colour.name().toStdString();
      for (const QRectF &card : cards)
        EXPECT_GT(colourCount(page, overhang.colour, card.toAlignedRect()), 0) << colour << " is on every card";
      EXPECT_EQ(strayPixels(page, overhang), 0) << colour << " past the card's edge";
    }
  }
}

}  // namespace
