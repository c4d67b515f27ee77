// How fast the renderer turns card sides into PNG files, as batch output does: 1,000
// cards of one side holding a 1200 by 800 pixel photo, two texts and four shapes over a
// card base with a gradient fill and a dashed border, each rendered at 300 dpi from a
// copy of its own and written as a PNG file. It runs once on one thread and once on
// every core, prints cards per second for each, and for the one-thread run the average
// time of each step of a card:
//   copy    the side's objects copied for the render (as a worker gets them)
//   draw    the side drawn onto a 300-dpi image (Render::renderSideImage)
//   encode  PNG encoding with the resolution recorded (pngData)
//   write   the file written whole (QSaveFile)
// and, for comparison, drawing through a recorded picture (Render::recordSide, then
// CardPicture::toImage). Image objects draw what QLNImage draws at the time of the run.
//
//     amends_bench_render [cards] [output folder]

#include "BenchCards.h"

#include "canvas/RenderPicture.h"
#include "canvas/RenderSide.h"

#include "core/Card_Property.h"
#include "core/Globals.h"
#include "core/QLNImage.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"
#include "platform/Images.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

constexpr double Dpi = 300.0;

QLNGraphicList cardObjects() {
  QLNGraphicList objects;

  QImage pixels(1200, 800, QImage::Format_RGB32);
  for (int y = 0; y < pixels.height(); ++y) {
    QRgb *line = reinterpret_cast<QRgb *>(pixels.scanLine(y));
    for (int x = 0; x < pixels.width(); ++x)
      line[x] = qRgb((x * 7) & 255, (y * 5) & 255, ((x + y) * 3) & 255);
  }
  auto photo = std::make_shared<QLNImage>();
  // The picture is given; the path only names it (an image object without one draws nothing).
  photo->initWithPosition(QPointF(180, 50), PointImage{pixels, QSizeF(96, 64)}, QStringLiteral("photo.png"));
  objects.append(photo);

  const auto text = [](const QRectF &bounds, const QString &value, int alignment) {
    auto t = std::make_shared<QLNText>();
    t->Text_Value = value;
    t->text_alignmnet = alignment;
    t->_isDrawingFill = false;
    t->_isDrawingStroke = false;
    t->_bounds = bounds;
    return t;
  };
  objects.append(text(QRectF(12, 12, 110, 40), QStringLiteral("We are sorry"), 0));
  objects.append(text(QRectF(12, 90, 120, 55),
                      QStringLiteral("for the trouble we caused yesterday evening. It will not happen again."), 3));

  const QString shapes[] = {QStringLiteral("R"), QStringLiteral("C"), QStringLiteral("RR"), QStringLiteral("S")};
  for (int i = 0; i < 4; ++i) {
    auto shape = std::make_shared<Shape_Control>();
    shape->Set_Shape_Type(shapes[i]);
    shape->_bounds = QRectF(140 + i * 24, 100, 20, 20);
    shape->_fillColor = QColor(40 + i * 50, 120, 200 - i * 40);
    shape->_fill_type = i == 1 ? QStringLiteral("G") : QStringLiteral("S");
    shape->_fill_Grad_clr1 = QColor(255, 200, 0);
    shape->_fill_Grad_clr2 = QColor(200, 0, 100);
    shape->_strokeWidth = 1.5;
    shape->_stroke_border_type = i == 2 ? QStringLiteral("DO") : QStringLiteral("S");
    objects.append(shape);
  }
  return objects;
}

struct StepTimes {
  std::atomic<qint64> copy{0}, draw{0}, encode{0}, write{0};
};

// Renders cards 0 .. cards-1 on `threads` threads into `folder`; the seconds taken.
double run(const CardSideSnapshot &master, int cards, int threads, const QString &folder, StepTimes &times,
           std::atomic<int> &failures) {
  std::atomic<int> next{0};
  QElapsedTimer total;
  total.start();
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t)
    workers.emplace_back([&] {
      QElapsedTimer step;
      for (int card = next.fetch_add(1); card < cards; card = next.fetch_add(1)) {
        step.start();
        CardSideSnapshot side = master;
        side.graphics = Render::copyGraphicsForRendering(master.graphics);
        times.copy += step.nsecsElapsed();

        step.start();
        QString error;
        const PointImage image = Render::renderSideImage(side, Dpi, nullptr, &error);
        times.draw += step.nsecsElapsed();

        step.start();
        const QByteArray png = image.isNull() ? QByteArray() : pngData(image.pixels, Dpi);
        times.encode += step.nsecsElapsed();

        step.start();
        QSaveFile file(QDir(folder).filePath(QStringLiteral("Card_%1.png").arg(card + 1)));
        const bool written = !png.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(png) == png.size() &&
                             file.commit();
        times.write += step.nsecsElapsed();
        if (!written)
          failures.fetch_add(1);
      }
    });
  for (std::thread &worker : workers)
    worker.join();
  return total.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const int cards = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
  QTemporaryDir temporary;
  const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path();
  QDir().mkpath(folder);

  CardSideSnapshot master;
  master.side = 0;
  master.canvasSize = QSizeF(243, 154);
  master.settings = benchCardSide();
  master.cardShape = 1;
  master.resourcePath = Resource_Path;
  master.graphics = Render::copyGraphicsForRendering(cardObjects());

  const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
  std::printf("%d cards of 243 x 154 points at %.0f dpi (%d x %d pixels), PNG files in %s\n", cards, Dpi,
              CardPicture::pixelSizeAt(master.canvasSize, Dpi).width(),
              CardPicture::pixelSizeAt(master.canvasSize, Dpi).height(), qPrintable(folder));

  for (int threads : {1, cores}) {
    StepTimes times;
    std::atomic<int> failures{0};
    const double seconds = run(master, cards, threads, folder, times, failures);
    std::printf("%2d thread%s: %7.1f cards/s  (%.2f s)%s\n", threads, threads == 1 ? " " : "s", cards / seconds,
                seconds, failures.load() ? "  SOME FILES FAILED" : "");
    if (threads == 1) {
      const double n = cards * 1e6;  // nanoseconds per card in milliseconds
      std::printf("    per card: copy %.2f ms, draw %.2f ms, encode %.2f ms, write %.2f ms\n", times.copy / n,
                  times.draw / n, times.encode / n, times.write / n);
    }
    if (threads == cores)
      break;
  }

  // The recorded road: record once per card, then play the picture at 300 dpi.
  const int sample = std::min(cards, 200);
  qint64 recording = 0, playing = 0;
  for (int i = 0; i < sample; ++i) {
    CardSideSnapshot side = master;
    side.graphics = Render::copyGraphicsForRendering(master.graphics);
    QElapsedTimer step;
    step.start();
    const CardPicture picture = Render::recordSide(side);
    recording += step.nsecsElapsed();
    step.start();
    const PointImage image = picture.toImage(Dpi);
    playing += step.nsecsElapsed();
    if (image.isNull())
      std::printf("the recorded picture could not be drawn\n");
  }
  std::printf("    through a recorded picture, 1 thread: record %.2f ms + play %.2f ms per card\n",
              recording / (sample * 1e6), playing / (sample * 1e6));
  return 0;
}
