// Rendering on worker threads: each worker renders its own copy of a side while the
// canvas paints the live objects and the main thread edits them. Also run under
// ThreadSanitizer.

#include "tests/canvas/canvas_fixture.h"

#include "canvas/QLNRenderingView.h"
#include "canvas/RenderSide.h"

#include "core/QLNImage.h"
#include "core/QLNText.h"

#include <QImage>

#include <atomic>
#include <thread>
#include <vector>

namespace {

const QColor kRed(220, 0, 0);
const QColor kBlue(0, 0, 220);

std::shared_ptr<QLNText> text(const QRectF &bounds, const QString &value) {
  auto t = std::make_shared<QLNText>();
  t->Text_Value = value;
  t->_isDrawingFill = false;
  t->_isDrawingStroke = false;
  t->_bounds = bounds;
  return t;
}

std::shared_ptr<QLNImage> photo(const QRectF &bounds) {
  QImage pixels(120, 80, QImage::Format_ARGB32);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x) pixels.setPixelColor(x, y, QColor(x * 2, y * 3, 128));
  auto image = std::make_shared<QLNImage>();
  image->initWithPosition(bounds.center(), PointImage{pixels, bounds.size()}, QStringLiteral("photo.png"));
  return image;
}

bool sameImage(const PointImage &a, const QImage &b) { return !a.isNull() && a.pixels == b; }

}  // namespace

TEST_F(CanvasTest, RendererWorkerThreadsRenderCopiesWhileTheCanvasPaints) {
  document.insertGraphics(
      {text(QRectF(10, 10, 120, 40), QStringLiteral("We are sorry")), box(QRectF(30, 60, 60, 40), kRed),
       photo(QRectF(120, 50, 100, 70)), text(QRectF(140, 120, 90, 30), QStringLiteral("Truly")),
       box(QRectF(150, 10, 60, 30), kBlue)},
      {0, 1, 2, 3, 4});
  endTurn();
  showAndSettle(front);

  // Snapshots are taken on the GUI thread: one for the reference, one per worker.
  const CardSideSnapshot reference = QLNRenderingView::currentSideSnapshot(document.graphics());
  ASSERT_EQ(reference.graphics.size(), 5);
  // Text drawn straight onto pixels and text played back from outlines differ in their
  // antialiasing: each road has its own reference.
  const QImage expected = Render::renderSideImage(reference, 150).pixels;
  const QImage expectedRecorded = Render::recordSide(reference).toImage(150).pixels;
  ASSERT_FALSE(expected.isNull());
  ASSERT_FALSE(expectedRecorded.isNull());
  std::vector<CardSideSnapshot> snapshots;
  for (int i = 0; i < 2; ++i) snapshots.push_back(QLNRenderingView::currentSideSnapshot(document.graphics()));
  const QLNGraphicList liveList = document.graphics();

  std::atomic<int> mismatches{0};
  std::atomic<int> renders{0};
  std::atomic<int> running{3};
  std::vector<std::thread> workers;
  for (CardSideSnapshot &snapshot : snapshots)
    workers.emplace_back([&snapshot, &expected, &expectedRecorded, &mismatches, &renders, &running] {
      for (int i = 0; i < 6; ++i) {
        // Straight to pixels, and through a recording.
        if (!sameImage(Render::renderSideImage(snapshot, 150), expected)) mismatches.fetch_add(1);
        if (!sameImage(Render::recordSide(snapshot).toImage(150), expectedRecorded)) mismatches.fetch_add(1);
        renders.fetch_add(2);
      }
      running.fetch_sub(1);
    });
  // A worker that asks the class operation, which has the GUI thread take its snapshot.
  CardPicture fromWorker;
  workers.emplace_back([&liveList, &fromWorker, &running] {
    fromWorker = QLNRenderingView::image_From_Card_Graphics(liveList, false);
    running.fetch_sub(1);
  });

  // Meanwhile the live objects change and the canvas paints them.
  int step = 0;
  const QLNGraphicPtr moving = document.graphics().at(1);
  while (running.load() > 0) {
    moving->setBounds(QRectF(30 + step % 40, 60, 60, 40));
    moving->_fillColor = step % 2 ? kRed : kBlue;
    front.repaint();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ++step;
  }
  for (std::thread &worker : workers) worker.join();

  EXPECT_EQ(renders.load(), 24);
  EXPECT_EQ(mismatches.load(), 0);
  ASSERT_FALSE(fromWorker.isNull());
  EXPECT_EQ(fromWorker.size(), QSizeF(243, 154));
  EXPECT_GT(step, 0);
}
