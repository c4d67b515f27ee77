// A bound batch printed to PDF through the printing view (its cards are made on worker
// threads, hence the suite's name): the bound texts are in the file as text, and the
// bound QR codes are vector modules, not pictures, that the readers still decode after
// poppler rasterises the pages at 150 and 300 dpi.

#include "tests/mainwindow/main_window_fixture.h"
#include "tests/output/print_fixture.h"

#include "output/Printing_View.h"

#include "barcode/BarcodeProduction.h"
#include "core/QLNBarcode.h"
#include "core/QLNText.h"
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

}  // namespace
