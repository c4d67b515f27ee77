// How fast a batch prints to a PDF file, as the print window runs it: the same 1,000
// cards as the export benchmark (a design with a background photo, two texts bound to
// series and a QR Code bound to a series; 3.5 by 2 inch cards), ten to an A4 sheet (2
// columns x 5 rows, 100 sheets), front side. It runs the real program's main window
// offscreen with its own resource folder, takes the run's snapshot from the binding
// and prints it through the printing view, which makes each sheet's cards as vector
// pictures on its worker threads and draws them into the PDF. It prints the wall time,
// cards per second and the size of the file. Peak memory: run it under /usr/bin/time -v.
//
//     QT_QPA_PLATFORM=offscreen amends_bench_print [cards] [output.pdf] [photo]
//
// The photo, when given, replaces the made one (a JPEG of any size).

#include "output/Printing_View.h"
#include "output/model/PrintLayout.h"

#include "dataseries/BatchCardSource.h"
#include "dataseries/model/SeriesStore.h"

#include "bench/BatchBenchDesign.h"

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
  if (!benchdesign::makeBatchDesign(session, controller, scratch, cards,
                                   argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString()))
    return 1;

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
