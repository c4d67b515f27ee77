// How long the batch export takes, as the Export command runs it: 1,000 cards of a
// design with a background photo, two texts bound to series and a QR Code bound to a
// series (the series files are written first), front side only, exported at 300 dpi
// into "Amends Greeting Cards" (PNG data under the type's name). It runs the real
// program's main window offscreen with its own resource folder, starts the batch with
// Export_Batch_File and waits for the result window. It prints the wall time of the run,
// cards per second and the worker count, then the first 96 cards made on one
// and on 2, 4 ... workers (how the work scales), and where one card's time goes; and the
// PNG-encoding floor of the same files (see below) to set the export's time against. Peak
// memory: run it under /usr/bin/time -v.
//
//     QT_QPA_PLATFORM=offscreen amends_bench_export [cards] [output folder] [photo]
//
// The photo, when given, replaces the made one (a JPEG of any size).

#include "output/CardExport.h"

#include "dataseries/model/SeriesStore.h"

#include "bench/BatchBenchDesign.h"

#include "mainwindow/AppSession.h"
#include "mainwindow/DrawWindow.h"
#include "mainwindow/QLNWindowController.h"

#include "barcode/BarcodeProduction.h"
#include "core/Globals.h"
#include "core/QLNBarcode.h"
#include "core/QLNDocument.h"
#include "core/QLNText.h"
#include "platform/ScriptedUi.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                   : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  const int cards = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
  QTemporaryDir scratch;
  const QString output = argc > 2 ? QString::fromLocal8Bit(argv[2]) : scratch.filePath(QStringLiteral("out"));
  QDir().mkpath(output);
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

  // The export as the command starts it: front side, PNG, 300 dpi.
  controller->Check_Series_Or_Excel_Use_or_not();
  if (Total_Batch_Excel_Card.load() != cards) {
    std::fprintf(stderr, "the binding counts %d cards\n", Total_Batch_Excel_Card.load());
    return 1;
  }
  export_card_side = QStringLiteral("F");
  controller->ui->fileFormatPopup->setCurrentIndex(controller->ui->fileFormatPopup->findText(QStringLiteral("PNG")));
  controller->exportDpi = 300;
  ui.answerModal(ModalOK);  // the result window

  QElapsedTimer clock;
  clock.start();
  controller->Export_Batch_File(output);
  while (controller->isExportRunning())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);  // as the event loop waits
  const double seconds = clock.nsecsElapsed() / 1e9;
  const QString folder = CardExport::batchFolder(output);
  const int files = int(QDir(folder).entryList(QDir::Files).size());
  std::printf("batch export: %d cards at 300 dpi in %.2f s (%.1f cards/s) on %d workers; %d files; %s\n", cards,
              seconds, cards / seconds, std::max(1, std::min(QThread::idealThreadCount(), cards)), files,
              qPrintable(Export_File_Message.section(QLatin1Char('\n'), 0, 0)));

  // The PNG-encoding floor: the files just written, read back and encoded again by a plain
  // program's PNG writer (Qt's, default settings) and by ours, on as many threads as the
  // export had, each thread timing its encodings only; the floor is the busiest thread's
  // sum.
  {
    const QStringList names = QDir(folder).entryList(QDir::Files);
    const int workers = std::max(1, std::min(QThread::idealThreadCount(), cards));
    for (const bool plain : {true, false}) {
      std::atomic<int> next{0};
      std::vector<qint64> busy(size_t(workers), 0);
      std::vector<std::thread> threads;
      for (int w = 0; w < workers; ++w)
        threads.emplace_back([&, w] {
          for (int i = next++; i < names.size(); i = next++) {
            const QImage image(QDir(folder).filePath(names.at(i)));
            QElapsedTimer timer;
            timer.start();
            QByteArray bytes;
            if (plain) {
              QBuffer buffer(&bytes);
              buffer.open(QIODevice::WriteOnly);
              QImageWriter(&buffer, "png").write(image);
            } else {
              bytes = pngData(image, 300);
            }
            busy[size_t(w)] += timer.nsecsElapsed();
          }
        });
      for (std::thread &thread : threads)
        thread.join();
      const double floor = *std::max_element(busy.begin(), busy.end()) / 1e9;
      std::printf("PNG-encoding floor, %s, %d files on %d threads: %.2f s; the export took %.2f times that\n",
                  plain ? "Qt's PNG writer at its defaults" : "the program's own PNG writer", int(names.size()),
                  workers, floor, seconds / floor);
    }
  }

  // How the engine scales: the first 96 cards on 1, 2, 4 ... workers.
  controller->Check_Series_Or_Excel_Use_or_not();
  CardExport::Options options;
  options.side = QStringLiteral("F");
  options.extension = QStringLiteral("PNG");
  options.dpi = 300;
  const int sample = std::min(cards, 96);
  for (int workers = 1; workers <= std::max(1, QThread::idealThreadCount()); workers *= 2) {
    const QString folder = scratch.filePath(QStringLiteral("workers-%1").arg(workers));
    QDir().mkpath(folder);
    CardExport::BatchEngine engine(CardExport::sideMakerOf(controller->batchCardSource()), sample, folder, options,
                                   workers);
    clock.restart();
    engine.run();
    const double taken = clock.nsecsElapsed() / 1e9;
    std::printf("%d worker(s): %d cards in %.2f s (%.1f ms per card)\n", workers, sample, taken,
                taken * 1000 / sample);
  }

  // Where a card's time goes, on one thread: the card made from the binding (copies,
  // values, the QR Code, the recording), rasterised at 300 dpi, encoded as PNG.
  const std::shared_ptr<const BatchCardSource> run = controller->batchCardSource();
  qint64 make = 0, raster = 0, encode = 0;
  QElapsedTimer step;
  for (int card = 0; card < sample; ++card) {
    step.start();
    const CardPicture picture = run->Set_data_table_value_to_card(card, QStringLiteral("F"), false);
    make += step.nsecsElapsed();
    step.start();
    const PointImage image = picture.toImage(300);
    raster += step.nsecsElapsed();
    step.start();
    const QByteArray png = pngData(image.pixels, 300);
    encode += step.nsecsElapsed();
  }
  std::printf("per card: make %.1f ms, rasterise %.1f ms, encode %.1f ms\n", make / 1e6 / sample,
              raster / 1e6 / sample, encode / 1e6 / sample);
  controller->Select_first_row_value_for_design(false);
  UiServices::setInstance(nullptr);
  return files == cards ? 0 : 1;
}
