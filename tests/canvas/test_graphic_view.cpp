// The editing canvas: what it draws and in which order, which areas it redraws when the
// list, an object or the selection changes, that a change costs a bounded number of
// paints and an unchanged canvas none, its bindings, the selection's sizing buttons,
// and the current object of the property panel.

#include "tests/canvas/canvas_fixture.h"

#include "canvas/QLNZoomingScrollView.h"

#include "core/QLNText.h"
#include "tests/common/PixelHelpers.h"

#include <QImage>
#include <QPixmap>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <thread>

namespace {

const QColor kRed(220, 0, 0);
const QColor kGreen(0, 160, 0);
const QColor kBlue(0, 0, 220);

// Whether the region covers every pixel of the rectangle (QRegion::contains answers
// whether they overlap).
bool covers(const QRegion &region, const QRect &rect) { return (QRegion(rect) - region).isEmpty(); }

QImage grabbed(QWidget &widget) { return widget.grab().toImage(); }

// The widget pixels of a rectangle in points at `zoom`.
QRect pixelsOf(const QRectF &points, double zoom) {
  return QRectF(points.x() * zoom, points.y() * zoom, points.width() * zoom, points.height() * zoom).toAlignedRect();
}

}  // namespace

// ---- Drawing ----------------------------------------------------------------------------

TEST_F(CanvasTest, IndexZeroIsPaintedInFrontAndSelectedObjectsGetHandles) {
  // Three overlapping boxes: 0 red, 1 green, 2 blue, each further right and down.
  document.insertGraphics({box(QRectF(60, 40, 60, 50), kRed), box(QRectF(40, 20, 60, 50), kGreen),
                           box(QRectF(20, 10, 60, 50), kBlue)},
                          {0, 1, 2});
  front.setZoomFactor(2.0);
  const QImage image = grabbed(front);
  ASSERT_EQ(image.size(), QSize(486, 308));
  using pixeltest::at;
  using pixeltest::near;
  EXPECT_TRUE(near(at(image, 70, 50, 2.0), kRed));    // all three overlap: 0 in front
  EXPECT_TRUE(near(at(image, 50, 30, 2.0), kGreen));  // 1 and 2 overlap: 1 in front
  EXPECT_TRUE(near(at(image, 25, 15, 2.0), kBlue));
  EXPECT_TRUE(near(at(image, 200, 140, 2.0), kCardBase));
  EXPECT_TRUE(near(at(image, 40.5, 20.5, 2.0), kGreen)) << "no handles while nothing is selected";

  // Selected, object 1 shows grey handles; locked, red ones. Its top-left handle lies
  // over object 2 and under nothing of object 0.
  front.changeSelectionIndexes({1});
  QImage selected = grabbed(front);
  EXPECT_TRUE(near(at(selected, 40.5, 20.5, 2.0), QColor(160, 160, 160), 4));
  document.graphics().at(1)->ctrl_is_locked = true;
  selected = grabbed(front);
  EXPECT_TRUE(near(at(selected, 40.5, 20.5, 2.0), QColor(255, 0, 0), 4));

  // Hidden handles are not drawn.
  front.setHidingHandles(true);
  EXPECT_TRUE(near(at(grabbed(front), 40.5, 20.5, 2.0), kGreen));
}

TEST_F(CanvasTest, EmptySideDrawsCardBaseAndShowsTheCardInThePanel) {
  const QImage image = grabbed(front);
  EXPECT_TRUE(pixeltest::near(image.pixelColor(120, 80), kCardBase));
  ASSERT_FALSE(host.shown.empty());
  EXPECT_EQ(host.shown.back(), nullptr);

  host.shown.clear();
  document.insertGraphics({box(QRectF(10, 10, 20, 20), kRed)}, {0});
  grabbed(front);
  EXPECT_TRUE(host.shown.empty()) << "a side with objects leaves the panel alone";
}

TEST_F(CanvasTest, MarqueeIsFramedAndItsAreaRedrawnWhenItChanges) {
  front.setZoomFactor(2.0);
  showAndSettle(front);
  const size_t first = front.regions.size();
  front.setMarqueeSelectionBounds(QRectF(30, 30, 80, 40));
  ASSERT_TRUE(spinUntil([&] { return front.regions.size() > first; }));
  EXPECT_TRUE(covers(front.paintedSince(first), pixelsOf(QRectF(30, 30, 80, 40), 2.0)));
  EXPECT_FALSE(front.paintedSince(first).intersects(pixelsOf(QRectF(150, 100, 40, 40), 2.0)));

  const QImage image = grabbed(front);
  EXPECT_TRUE(pixeltest::near(pixeltest::at(image, 30.5, 50, 2.0), QColor(160, 160, 160), 4));
  EXPECT_TRUE(pixeltest::near(pixeltest::at(image, 70, 50, 2.0), kCardBase));
  front.setMarqueeSelectionBounds(QRectF(0, 0, 0, 0));
  EXPECT_TRUE(pixeltest::near(pixeltest::at(grabbed(front), 30.5, 50, 2.0), kCardBase));
}

TEST_F(CanvasTest, PartialRedrawFitsTheCardBaseToTheWholeCanvas) {
  // A partial redraw that passed its own rectangle would draw the card's outline and
  // border around that rectangle in the middle of the card.
  document.insertGraphics({box(QRectF(20, 20, 30, 30), kRed), box(QRectF(150, 80, 30, 30), kGreen)}, {0, 1});
  showAndSettle(front);
  host.baseRects.clear();
  const size_t first = front.regions.size();
  front.changeSelectionIndexes({1});
  ASSERT_TRUE(spinUntil([&] { return front.regions.size() > first; }));
  ASSERT_FALSE(covers(front.paintedSince(first), front.rect())) << "the redraw is partial";
  ASSERT_FALSE(host.baseRects.empty());
  for (const QRectF &rect : host.baseRects)
    EXPECT_EQ(rect, front.bounds());
}

TEST_F(CanvasTest, TheGridCoversTheWholeCardWhereverTheCanvasSitsInItsWindow) {
  // As in the main window: the canvas in its zooming scroll view, which lies right of
  // and below other controls of the window.
  QLNGrid grid;
  grid.setColor(kBlue);
  grid.setAlwaysShown(true);
  QWidget window;
  window.resize(900, 700);
  auto *scrollView = new QLNZoomingScrollView(&window);
  scrollView->setGeometry(180, 120, 640, 540);
  auto *canvas = new QLNGraphicView;
  canvas->setGrid(&grid);
  canvas->setCanvasSize(QSizeF(340, 340));  // 120 mm
  scrollView->setDocumentView(canvas);
  window.show();

  // Grid pixels (blue over the yellowish card) in the 20 by 20 pixels inside a corner.
  const auto gridPixelsAt = [](const QImage &image, const QPoint &corner) {
    int n = 0;
    for (int y = corner.y(); y < corner.y() + 20; ++y)
      for (int x = corner.x(); x < corner.x() + 20; ++x)
        n += qBlue(image.pixel(x, y)) > qRed(image.pixel(x, y)) + 20 ? 1 : 0;
    return n;
  };
  for (const double zoom : {0.5, 1.0, 1.25}) {
    scrollView->setFactor(zoom);
    QCoreApplication::processEvents();
    const QImage image = window.grab().toImage().scaled(window.size());  // whatever the pixel ratio
    const QRect card(canvas->mapTo(&window, QPoint(0, 0)), canvas->size());
    ASSERT_TRUE(scrollView->geometry().contains(card)) << zoom << ": the whole card is in view";
    // At least one vertical and one horizontal line in each corner (9 points apart).
    EXPECT_GE(gridPixelsAt(image, card.topLeft() + QPoint(1, 1)), 30) << zoom << ": top left";
    EXPECT_GE(gridPixelsAt(image, card.bottomRight() - QPoint(21, 21)), 30) << zoom << ": bottom right";
  }
  canvas->setGrid(nullptr);
}

// ---- What is redrawn ----------------------------------------------------------------------

TEST_F(CanvasTest, SelectionChangeRedrawsOnlyTheObjectsWhoseStateChanged) {
  const QRectF areas[] = {QRectF(10, 10, 30, 30), QRectF(60, 10, 30, 30), QRectF(110, 10, 30, 30),
                          QRectF(160, 100, 30, 30)};
  document.insertGraphics({box(areas[0], kRed), box(areas[1], kRed), box(areas[2], kRed), box(areas[3], kRed)},
                          {0, 1, 2, 3});
  front.setZoomFactor(1.5);
  front.changeSelectionIndexes({1});
  showAndSettle(front);

  const size_t first = front.regions.size();
  front.changeSelectionIndexes({2});
  ASSERT_TRUE(spinUntil([&] { return front.regions.size() > first; }));
  settle(front);
  const QRegion painted = front.paintedSince(first);
  const QLNGraphicList list = document.graphics();
  EXPECT_TRUE(covers(painted, pixelsOf(list[1]->drawingBounds(), 1.5)));
  EXPECT_TRUE(covers(painted, pixelsOf(list[2]->drawingBounds(), 1.5)));
  EXPECT_FALSE(painted.intersects(pixelsOf(areas[0], 1.5)));
  EXPECT_FALSE(painted.intersects(pixelsOf(areas[3], 1.5)));
  EXPECT_EQ(front.Selected_Graphic(), list[2]);
}

TEST_F(CanvasTest, ListAndObjectChangesRedrawTheAreasConcerned) {
  auto kept = box(QRectF(10, 10, 30, 30), kRed);
  document.insertGraphics({kept}, {0});
  showAndSettle(front);

  // An insertion redraws the new object's area, and the canvas follows the new object.
  size_t first = front.regions.size();
  auto added = box(QRectF(150, 90, 30, 30), kBlue);
  document.insertGraphics({added}, {0});
  ASSERT_TRUE(spinUntil([&] { return front.regions.size() > first; }));
  settle(front);
  EXPECT_TRUE(covers(front.paintedSince(first), pixelsOf(QRectF(150, 90, 30, 30), 1.0)));
  EXPECT_FALSE(front.paintedSince(first).intersects(pixelsOf(kept->bounds(), 1.0)));

  // Moving it redraws where it was and where it is.
  first = front.regions.size();
  added->setBounds(QRectF(100, 40, 30, 30));
  ASSERT_TRUE(spinUntil([&] { return front.regions.size() > first; }));
  settle(front);
  EXPECT_TRUE(covers(front.paintedSince(first), pixelsOf(QRectF(150, 90, 30, 30), 1.0)));
  EXPECT_TRUE(covers(front.paintedSince(first), pixelsOf(QRectF(100, 40, 30, 30), 1.0)));
  EXPECT_FALSE(front.paintedSince(first).intersects(pixelsOf(kept->bounds(), 1.0)));

  // A change of its drawing redraws its area.
  first = front.regions.size();
  added->setValue(QColor(Qt::yellow), QLNGraphicFillColorKey);
  ASSERT_TRUE(spinUntil([&] { return front.regions.size() > first; }));
  EXPECT_TRUE(covers(front.paintedSince(first), pixelsOf(QRectF(100, 40, 30, 30), 1.0)));

  // A removal redraws its area; afterwards the canvas no longer follows the object.
  first = front.regions.size();
  document.removeGraphicsAtIndexes({0});
  ASSERT_TRUE(spinUntil([&] { return front.regions.size() > first; }));
  settle(front);
  EXPECT_TRUE(covers(front.paintedSince(first), pixelsOf(QRectF(100, 40, 30, 30), 1.0)));
  const int paints = front.paintCount();
  added->setBounds(QRectF(20, 100, 30, 30));
  runFor(100);
  EXPECT_EQ(front.paintCount(), paints);
}

TEST_F(CanvasTest, ChangeCostsBoundedPaintsAndAnUnchangedCanvasIdles) {
  // Every visible object asks for a full redraw at the end of its own drawing; a
  // canvas that honoured that while it draws would never stop drawing.
  auto text = std::make_shared<QLNText>();
  text->Text_Value = QStringLiteral("Sorry");
  text->_bounds = QRectF(20, 20, 120, 40);
  document.insertGraphics({text, box(QRectF(150, 80, 40, 40), kGreen)}, {0, 1});
  showAndSettle(front);
  ASSERT_GT(host.refreshes.load(), 0) << "the objects ask for redraws while they are drawn";

  // A property action: a field written by name, then the full redraw request.
  const int before = front.paintCount();
  document.graphics().at(1)->setValue(QColor(Qt::yellow), QLNGraphicFillColorKey);
  host.Refresh_Canvas();
  runFor(300);
  const int paints = front.paintCount() - before;
  EXPECT_GE(paints, 1);
  EXPECT_LE(paints, 2);

  // Nothing changes: no paint and no timer.
  const int idle = front.paintCount();
  runFor(300);
  EXPECT_EQ(front.paintCount(), idle);
  for (QTimer *timer : front.findChildren<QTimer *>())
    EXPECT_FALSE(timer->isActive());
}

TEST_F(CanvasTest, RedrawRequestsFromWorkerThreadsMakeOneRedraw) {
  document.insertGraphics({box(QRectF(20, 20, 40, 40), kRed)}, {0});
  showAndSettle(front);
  const int before = front.paintCount();
  std::thread worker([&] {
    for (int i = 0; i < 200; ++i)
      front.setNeedsDisplay();
  });
  worker.join();
  runFor(200);
  EXPECT_EQ(front.paintCount() - before, 1);
}

// ---- Bindings -----------------------------------------------------------------------------------

TEST_F(CanvasTest, RebindingReplacesTheListAndOtherKeysAreReadButNotObserved) {
  auto frontBox = box(QRectF(10, 10, 20, 20), kRed);
  auto backBox = box(QRectF(50, 50, 20, 20), kBlue);
  document.insertGraphics({frontBox}, {0});
  document.insertIntoList(QLNDocumentGraphicsKey_back, {backBox}, {0});

  const int observersOfFrontBox = frontBox->observationCount();  // the document, the fixture
  const int observersOfBackBox = backBox->observationCount();
  QLNGraphicView view;
  view.bindGraphics(&document, QLNDocumentGraphicsKey);
  EXPECT_EQ(view.graphics(), QLNGraphicList{frontBox});
  EXPECT_EQ(frontBox->observationCount(), observersOfFrontBox + 2);  // drawing bounds and contents
  view.bindGraphics(&document, QLNDocumentGraphicsKey_back);
  EXPECT_EQ(view.graphics(), QLNGraphicList{backBox});
  EXPECT_EQ(view.graphicsKey(), QLNDocumentGraphicsKey_back);
  EXPECT_EQ(frontBox->observationCount(), observersOfFrontBox) << "rebinding replaces the list binding";
  EXPECT_EQ(backBox->observationCount(), observersOfBackBox + 2);
  const int before = document.observationCount();
  view.bindGraphics(&document, QStringLiteral("canvasSize"));
  EXPECT_TRUE(view.graphics().isEmpty());
  EXPECT_EQ(document.observationCount(), before - 1) << "no observer for a key outside the three lists";
  EXPECT_EQ(backBox->observationCount(), observersOfBackBox);

  view.unbind(QLNGraphicViewGraphicsBindingName_temp);  // any list name ends the list binding
  EXPECT_FALSE(view.isBoundToGraphics());
  EXPECT_TRUE(view.graphics().isEmpty());
  EXPECT_TRUE(view.selectionIndexes().isEmpty());
  try {
    view.mutableGraphics();
    FAIL() << "an unbound list cannot be changed";
  } catch (const std::logic_error &error) {
    EXPECT_STREQ(error.what(), "An QLNGraphicView's 'graphics' property is not bound to anything.");
  }
  try {
    view.changeSelectionIndexes({0});
    FAIL() << "an unbound selection cannot be changed";
  } catch (const std::logic_error &error) {
    EXPECT_STREQ(error.what(), "An QLNGraphicView's 'selectionIndexes' property is not bound to anything.");
  }
}

TEST_F(CanvasTest, TwoOrMoreSelectedObjectsEnableTheSizingButtons) {
  document.insertGraphics({box(QRectF(10, 10, 20, 20), kRed), box(QRectF(50, 10, 20, 20), kRed),
                           box(QRectF(90, 10, 20, 20), kRed)},
                          {0, 1, 2});
  front.changeSelectionIndexes({0, 2});
  EXPECT_TRUE(host.sameWidth.isEnabled());
  EXPECT_TRUE(host.sameHeight.isEnabled());
  EXPECT_TRUE(host.naturalSize.isEnabled());
  EXPECT_EQ(front.selectedGraphics(), (QLNGraphicList{document.graphics()[0], document.graphics()[2]}));
  front.changeSelectionIndexes({1});
  EXPECT_FALSE(host.sameWidth.isEnabled());
  EXPECT_FALSE(host.sameHeight.isEnabled());
  EXPECT_FALSE(host.naturalSize.isEnabled());
}

TEST_F(CanvasTest, SelectionKeepsNamingTheSameObjectsAsTheListChanges) {
  // Stale indexes after a delete or an undo would select (and later move or delete)
  // objects the user never chose.
  auto a = box(QRectF(10, 10, 20, 20), kRed);
  auto b = box(QRectF(50, 10, 20, 20), kGreen);
  auto c = box(QRectF(90, 10, 20, 20), kBlue);
  document.insertGraphics({a, b, c}, {0, 1, 2});
  front.changeSelectionIndexes({1, 2, 7});
  EXPECT_EQ(front.selectionIndexes(), (QLNIndexSet{1, 2})) << "indexes beyond the list are dropped";

  document.insertGraphics({box(QRectF(0, 0, 5, 5), kRed), box(QRectF(0, 0, 5, 5), kRed)}, {0, 3});
  EXPECT_EQ(front.selectedGraphics(), (QLNGraphicList{b, c}));
  document.removeGraphicsAtIndexes({0, 2});  // the first new one and b
  EXPECT_EQ(front.selectedGraphics(), QLNGraphicList{c});
  document.setList(QLNDocumentGraphicsKey, {a, c});
  EXPECT_TRUE(front.selectionIndexes().isEmpty());
}

// ---- The current object ------------------------------------------------------------------------

TEST_F(CanvasTest, DrawingRecordsTheSelectedObjectOfLowestIndex) {
  document.insertGraphics({box(QRectF(10, 10, 20, 20), kRed), box(QRectF(50, 10, 20, 20), kRed),
                           box(QRectF(90, 10, 20, 20), kRed)},
                          {0, 1, 2});
  front.changeSelectionIndexes({1, 2});
  grabbed(front);
  EXPECT_EQ(front.Selected_Graphic(), document.graphics()[1]);
}

TEST_F(CanvasTest, CurrentObjectIsClearedWhenItLeavesTheList) {
  // The current object must not outlive its place in the list: after a delete, an undo
  // or a new project the panel would otherwise be shown an object that is gone.
  auto a = box(QRectF(10, 10, 20, 20), kRed);
  auto b = box(QRectF(50, 10, 20, 20), kBlue);
  document.insertGraphics({a, b}, {0, 1});
  endTurn();

  front.setSelected_Graphic(a);
  document.removeGraphicsAtIndexes({0});  // delete
  EXPECT_EQ(front.Selected_Graphic(), nullptr);
  document.undoManager()->undo();  // the object comes back, but is not current again
  EXPECT_EQ(front.Selected_Graphic(), nullptr);

  front.setSelected_Graphic(b);
  document.Clear_All_Undo_Redo();  // a new project empties the front side
  EXPECT_EQ(front.Selected_Graphic(), nullptr);

  auto c = box(QRectF(10, 10, 20, 20), kRed);
  document.insertIntoList(QLNDocumentGraphicsKey_back, {c}, {0});
  back.setSelected_Graphic(c);
  back.unbindGraphics();
  EXPECT_EQ(back.Selected_Graphic(), nullptr);
}

// ---- Undo collection -------------------------------------------------------------------------------

namespace {
// A canvas that collects the indexes an undo touches, as the undo command does.
class CollectingView : public QLNGraphicView {
public:
  void startCollecting() { _undoSelectionIndexes.emplace(); }
  QLNIndexSet collected() const { return _undoSelectionIndexes.value_or(QLNIndexSet{-1}); }
};
}  // namespace

TEST_F(CanvasTest, UndoCollectsTheIndexesItTouches) {
  CollectingView view;
  view.bindGraphics(&document, QLNDocumentGraphicsKey);
  auto a = box(QRectF(10, 10, 20, 20), kRed);
  auto b = box(QRectF(50, 10, 20, 20), kRed);
  auto c = box(QRectF(90, 10, 20, 20), kRed);
  document.insertGraphics({a, b, c}, {0, 1, 2});
  endTurn();
  document.removeGraphicsAtIndexes({2});
  endTurn();
  b->setValue(QColor(Qt::yellow), QLNGraphicFillColorKey);
  endTurn();

  view.startCollecting();
  document.undoManager()->undo();  // the fill of b
  document.undoManager()->undo();  // c back at 2
  EXPECT_EQ(view.collected(), (QLNIndexSet{1, 2}));
}
