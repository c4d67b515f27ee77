// How fast a batch prints to a PDF file, as the print window runs it: the same 1,000
// cards as the export benchmark (a design with a background photo, two texts bound to
// series and a QR Code bound to a series; 3.5 by 2 inch cards), ten to an A4 sheet (2
// columns x 5 rows, 100 sheets), front side. It runs the real program's main window
// offscreen with its own resource folder, takes the run's snapshot from the binding
// and prints it through the printing view, which makes each sheet's cards as vector
// pictures on its worker threads and draws them into the PDF. It prints the wall time,
// cards per second and the size of the file. Peak memory: run it under /usr/bin/time -v.
//
//     QT_QPA_PLATFORM=offscreen amends_bench_print [cards] [output.pdf]

#include "output/Printing_View.h"
#include "output/model/PrintLayout.h"

#include "dataseries/BatchCardSource.h"
#include "dataseries/model/SeriesStore.h"

#include "mainwindow/AppSession.h"
#include "mainwindow/QLNWindowController.h"

#include "barcode/BarcodeProduction.h"
#include "core/Globals.h"
#include "core/QLNBarcode.h"
#include "core/QLNDocument.h"
#include "core/QLNText.h"
#include "platform/ScriptedUi.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

std::shared_ptr<QLNText> boundText(const QRectF &bounds, const QString &series) {
  auto text = std::make_shared<QLNText>();
  text->setBounds(bounds);
  replaceCharacters(*text->Text_contents(), QStringLiteral("Dear guest"));
  text->data_source_type = 1;
  text->batch_list_name = series;
  return text;
}

}  // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                   : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  const int cards = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
  QTemporaryDir scratch;
  const QString output =
      argc > 2 ? QString::fromLocal8Bit(argv[2]) : scratch.filePath(QStringLiteral("cards.pdf"));
  qputenv("AMENDS_RESOURCE_DIR", scratch.filePath(QStringLiteral("Resources")).toLocal8Bit());

  // Every question answered, none waited for.
  ScriptedUi ui;
  ScriptedUi::setFailureHandler([](const QString &what) { std::fprintf(stderr, "ui: %s\n", qPrintable(what)); });
  UiServices::setInstance(&ui);

  AppSession session;
  if (!session.start()) {
    std::fprintf(stderr, "the main window did not start\n");
    return 1;
  }
  QLNWindowController *controller = session.controller();
  controller->SetDocumentCanvasSize(QSizeF(252, 144));  // 3.5 by 2 inches

  // The background photo: 2400 by 1600 pixels.
  QImage photo(2400, 1600, QImage::Format_RGB32);
  for (int y = 0; y < photo.height(); ++y) {
    QRgb *line = reinterpret_cast<QRgb *>(photo.scanLine(y));
    for (int x = 0; x < photo.width(); ++x)
      line[x] = qRgb((x * 7) & 255, (y * 5) & 255, ((x + y) * 3) & 255);
  }
  const QString photoPath = scratch.filePath(QStringLiteral("photo.jpg"));
  photo.save(photoPath, "JPG", 90);
  controller->set_Front_BG_Image(photoPath);

  // The series: names, messages and codes of every card.
  QStringList names, messages, codes;
  for (int i = 0; i < cards; ++i) {
    names << QStringLiteral("Guest number %1").arg(i + 1);
    messages << QStringLiteral("We are sorry about the evening of the %1th.").arg(i % 28 + 1);
    codes << QStringLiteral("https://amends.example/card/%1").arg(100000 + i);
  }
  for (const auto &[name, values] : {std::pair{QStringLiteral("Names"), names},
                                     std::pair{QStringLiteral("Messages"), messages},
                                     std::pair{QStringLiteral("Codes"), codes}})
    if (!SeriesStore::write(name, values, SeriesStore::EmptyValues::KeepAsEmptyLines,
                            SeriesStore::WriteMode::Replace)) {
      std::fprintf(stderr, "the series %s could not be written\n", qPrintable(name));
      return 1;
    }
  auto qr = std::make_shared<QLNBarcode>();
  qr->linear_or_2d = 1;
  qr->barcode_font_index = int(barcodeSymbologyNames().indexOf(QStringLiteral("QR Code")));
  qr->qr_size_val = 80;
  qr->setBounds(QRectF(162, 44, 80, 80));
  qr->data_source_type = 1;
  qr->batch_list_name = QStringLiteral("Codes");
  session.document()->setList(QLNDocumentGraphicsKey,
                              {boundText(QRectF(12, 12, 230, 28), QStringLiteral("Names")),
                               boundText(QRectF(12, 50, 140, 80), QStringLiteral("Messages")), qr});

  controller->Check_Series_Or_Excel_Use_or_not();
  if (Total_Batch_Excel_Card.load() != cards) {
    std::fprintf(stderr, "the binding counts %d cards\n", Total_Batch_Excel_Card.load());
    return 1;
  }

  // The print as the window starts it: front side, ten labels of the card's size to an
  // A4 sheet without margins, the block centred.
  const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
  PrintLayout::Settings settings;
  settings.paper = a4.fullRect(QPageLayout::Point).size();
  settings.rows = 5;
  settings.cols = 2;
  settings.labelWidth = 252;
  settings.labelHeight = 144;
  settings.card = QSizeF(252, 144);
  settings.position = 5;
  settings.side = QStringLiteral("F");
  settings.total = cards;

  QElapsedTimer clock;
  clock.start();
  const Printing_View view(settings, Printing_View::fromBatch(controller->batchCardSource()));
  BatchRunFailures failures;
  const QString problem = view.printToPdf(output, a4, 1, &failures);
  const double seconds = clock.nsecsElapsed() / 1e9;
  controller->Select_first_row_value_for_design(true);
  UiServices::setInstance(nullptr);
  if (!problem.isEmpty()) {
    std::fprintf(stderr, "the print failed: %s\n", qPrintable(problem));
    return 1;
  }
  std::printf("print to PDF: %d cards on %d sheets in %.2f s (%.1f cards/s); %lld bytes; %d failed cards\n", cards,
              view.numberOfPages(), seconds, cards / seconds, static_cast<long long>(QFileInfo(output).size()),
              failures.count());
  return failures.isEmpty() ? 0 : 1;
}
