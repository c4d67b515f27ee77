// The canvas under the mouse: clicking and Shift-clicking, the drag threshold, moving
// the selection (locked objects stay, one undo step, the grid takes the selection's
// origin), resizing by every kind of handle past the opposite edge, the marquee,
// locked and invisible objects, double clicks on barcodes, dragging out a new object
// with a tool, drags whose release never arrives, autoscrolling and the rulers' echo.

#include "tests/canvas/canvas_fixture.h"

#include "canvas/CanvasRuler.h"
#include "canvas/QLNZoomingScrollView.h"

#include "core/QLNBarcode.h"
#include "core/QLNImage.h"

#include <QGridLayout>
#include <QScrollArea>
#include <QScrollBar>

namespace {

const QColor kRed(220, 0, 0);
const QColor kGreen(0, 160, 0);
const QColor kBlue(0, 0, 220);

}  // namespace

// ---- Clicking --------------------------------------------------------------------------------

TEST_F(CanvasTest, ClickSelectsAloneAndShiftClickTogglesWithoutMoving) {
  auto a = box(QRectF(20, 20, 40, 30), kRed);
  auto b = box(QRectF(100, 60, 40, 30), kGreen);
  document.insertGraphics({a, b}, {0, 1});
  endTurn();
  const int steps = document.undoManager()->undoCount();

  // A press and a release within 2 points selects and moves nothing.
  press(front, QPointF(30, 30));
  drag(front, QPointF(31.9, 28.1));
  release(front, QPointF(31.9, 28.1));
  EXPECT_EQ(front.selectionIndexes(), QLNIndexSet{0});
  EXPECT_EQ(a->bounds(), QRectF(20, 20, 40, 30));
  EXPECT_FALSE(front.isHidingHandles());
  EXPECT_EQ(front.Selected_Graphic(), a);
  ASSERT_FALSE(host.shown.empty());
  EXPECT_EQ(host.shown.back(), a);
  EXPECT_EQ(document.undoManager()->undoCount(), steps) << "a click is no undo step";
  EXPECT_EQ(front.pasteCascadeDelta(), QPointF(10, 10));

  // A click on another object selects it alone; Shift adds and removes.
  click(front, QPointF(110, 70));
  EXPECT_EQ(front.selectionIndexes(), QLNIndexSet{1});
  click(front, QPointF(30, 30), Qt::ShiftModifier);
  EXPECT_EQ(front.selectionIndexes(), (QLNIndexSet{0, 1}));

  // Shift-clicking a selected object deselects it, and its drag moves nothing.
  host.shown.clear();
  dragAlong(front, QPointF(30, 30), {QPointF(50, 50), QPointF(80, 70)}, Qt::ShiftModifier);
  EXPECT_EQ(front.selectionIndexes(), QLNIndexSet{1});
  EXPECT_EQ(a->bounds(), QRectF(20, 20, 40, 30));
  EXPECT_EQ(b->bounds(), QRectF(100, 60, 40, 30));
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown.back(), a) << "the panel is told of the object clicked";

  // A click just beside an object, within the margin its drawing may touch, hits nothing.
  EXPECT_EQ(front.graphicUnderPoint(QPointF(61, 30)), nullptr);
  click(front, QPointF(61, 30));
  EXPECT_TRUE(front.selectionIndexes().isEmpty()) << "a click beside everything deselects";
  EXPECT_EQ(host.shown.back(), nullptr) << "and shows the card";
}

TEST_F(CanvasTest, HitTestingFindsTheFrontMostObjectAndHandlesOnlyOfSelectedOnes) {
  auto front0 = box(QRectF(40, 40, 40, 40), kRed);
  auto behind = box(QRectF(20, 20, 40, 40), kGreen);
  document.insertGraphics({front0, behind}, {0, 1});

  int index = -1;
  bool selected = true;
  int handle = -1;
  EXPECT_EQ(front.graphicUnderPoint(QPointF(50, 50), &index, &selected, &handle), front0);
  EXPECT_EQ(index, 0);
  EXPECT_FALSE(selected);
  EXPECT_EQ(handle, QLNGraphicNoHandle);
  EXPECT_EQ(front.graphicUnderPoint(QPointF(25, 25), &index), behind);
  EXPECT_EQ(index, 1);
  // Just outside the top-left corner of the object in front: the object behind, until
  // the front one is selected and its handle is there.
  EXPECT_EQ(front.graphicUnderPoint(QPointF(38, 38)), behind);
  front.changeSelectionIndexes({0});
  EXPECT_EQ(front.graphicUnderPoint(QPointF(38, 38), &index, &selected, &handle), front0);
  EXPECT_EQ(index, 0);
  EXPECT_TRUE(selected);
  EXPECT_EQ(handle, 1);
  // A handle of a selected object behind does not reach through the object in front.
  front.changeSelectionIndexes({1});
  EXPECT_EQ(front.graphicUnderPoint(QPointF(61, 61), &index, &selected, &handle), front0);
  EXPECT_EQ(handle, QLNGraphicNoHandle);
  EXPECT_EQ(front.graphicUnderPoint(QPointF(200, 10)), nullptr);

  EXPECT_EQ(front.indexesOfGraphicsIntersectingRect(QRectF(0, 0, 30, 30)), QLNIndexSet{1});
  EXPECT_EQ(front.indexesOfGraphicsIntersectingRect(QRectF(50, 50, 5, 5)), (QLNIndexSet{0, 1}));
  EXPECT_TRUE(front.indexesOfGraphicsIntersectingRect(QRectF(150, 100, 10, 10)).isEmpty());
}

// ---- Moving ------------------------------------------------------------------------------------

TEST_F(CanvasTest, DragMovesTheUnlockedSelectionAfterTheThresholdAsOneUndoStep) {
  auto a = box(QRectF(20, 20, 40, 30), kRed);
  auto locked = box(QRectF(80, 20, 40, 30), kGreen);
  auto c = box(QRectF(140, 20, 40, 30), kBlue);
  locked->ctrl_is_locked = true;
  document.insertGraphics({a, locked, c}, {0, 1, 2});
  endTurn();
  front.changeSelectionIndexes({0, 1, 2});
  const int steps = document.undoManager()->undoCount();
  const int refreshes = host.refreshes.load();

  // Pressed on an already selected object, the whole selection goes along.
  press(front, QPointF(30, 30));
  EXPECT_TRUE(front.isTrackingMouse());
  drag(front, QPointF(31.5, 31.9));  // under 2 points either way: nothing yet
  EXPECT_EQ(a->bounds(), QRectF(20, 20, 40, 30));
  EXPECT_FALSE(front.isHidingHandles());
  drag(front, QPointF(30, 32));  // 2 points down: the move starts and follows the pointer
  EXPECT_TRUE(front.isHidingHandles());
  EXPECT_EQ(a->bounds(), QRectF(20, 22, 40, 30));
  drag(front, QPointF(45, 40));
  drag(front, QPointF(60, 50));
  EXPECT_TRUE(front.isHidingHandles());
  release(front, QPointF(60, 50));

  EXPECT_FALSE(front.isTrackingMouse());
  EXPECT_FALSE(front.isHidingHandles());
  EXPECT_EQ(a->bounds(), QRectF(50, 40, 40, 30));
  EXPECT_EQ(c->bounds(), QRectF(170, 40, 40, 30));
  EXPECT_EQ(locked->bounds(), QRectF(80, 20, 40, 30)) << "locked objects stay";
  EXPECT_EQ(front.selectionIndexes(), (QLNIndexSet{0, 1, 2}));
  EXPECT_GT(host.refreshes.load(), refreshes);
  EXPECT_EQ(front.pasteCascadeDelta(), QPointF(40, 30)) << "the move adds to the paste cascade";

  // However many events the drag took, undo takes it back at once.
  endTurn();
  EXPECT_EQ(document.undoManager()->undoCount(), steps + 1);
  document.undoManager()->undo();
  EXPECT_EQ(a->bounds(), QRectF(20, 20, 40, 30));
  EXPECT_EQ(c->bounds(), QRectF(140, 20, 40, 30));
}

TEST_F(CanvasTest, GridPutsTheSelectionOriginOnTheGridWhereverItIsGrabbed) {
  QLNGrid grid;
  grid.setSpacing(9.0);
  grid.setConstraining(true);
  front.setGrid(&grid);
  auto a = box(QRectF(10, 12, 30, 20), kRed);
  auto b = box(QRectF(50, 40, 20, 20), kGreen);
  document.insertGraphics({a, b}, {0, 1});
  front.changeSelectionIndexes({0, 1});

  // Grabbed 15 points right of and 15 below the selection's origin (10, 12): the
  // origin would be (32, 35), the grid makes it (36, 36).
  dragAlong(front, QPointF(25, 27), {QPointF(35, 37), QPointF(47, 50)});
  EXPECT_EQ(a->bounds(), QRectF(36, 36, 30, 20));
  EXPECT_EQ(b->bounds(), QRectF(76, 64, 20, 20)) << "the others keep their place in the selection";

  // Grabbed elsewhere (14 and 9 points into the selection), the origin still lands on
  // the grid: at (40.4, 32.1) it stays at (36, 36), at (41, 32) it goes to (45, 36).
  dragAlong(front, QPointF(50, 45), {QPointF(54.4, 41.1)});
  EXPECT_EQ(a->bounds().topLeft(), QPointF(36, 36));
  dragAlong(front, QPointF(50, 45), {QPointF(55, 41)});
  EXPECT_EQ(a->bounds().topLeft(), QPointF(45, 36));
  front.setGrid(nullptr);
}

// ---- Locked and invisible objects ------------------------------------------------------------------

TEST_F(CanvasTest, LockedObjectsAreSelectedButNeverMovedOrResized) {
  auto locked = box(QRectF(20, 20, 40, 30), kRed);
  auto other = box(QRectF(100, 60, 40, 30), kGreen);
  locked->ctrl_is_locked = true;
  document.insertGraphics({locked, other}, {0, 1});
  endTurn();
  front.changeSelectionIndexes({1});
  const int steps = document.undoManager()->undoCount();
  const int refreshes = host.refreshes.load();

  // Shift makes no difference: a locked object that was not selected is selected alone.
  dragAlong(front, QPointF(30, 30), {QPointF(60, 60), QPointF(90, 80)}, Qt::ShiftModifier);
  EXPECT_EQ(front.selectionIndexes(), QLNIndexSet{0});
  EXPECT_EQ(locked->bounds(), QRectF(20, 20, 40, 30));
  EXPECT_GT(host.refreshes.load(), refreshes);
  EXPECT_EQ(host.shown.back(), locked);
  EXPECT_EQ(front.Selected_Graphic(), locked);

  // Selected, a Shift-click leaves it selected, and its handles resize nothing.
  front.changeSelectionIndexes({0, 1});
  click(front, QPointF(30, 30), Qt::ShiftModifier);
  EXPECT_EQ(front.selectionIndexes(), (QLNIndexSet{0, 1}));
  dragAlong(front, QPointF(60, 50), {QPointF(100, 100)});
  EXPECT_EQ(locked->bounds(), QRectF(20, 20, 40, 30));
  EXPECT_EQ(document.undoManager()->undoCount(), steps);
}

TEST_F(CanvasTest, InvisibleObjectsSwallowClicks) {
  auto hidden = box(QRectF(20, 20, 60, 40), kRed);
  auto behind = box(QRectF(30, 30, 60, 40), kGreen);
  hidden->Set_Ctrl_Is_Visible(false);
  document.insertGraphics({hidden, behind}, {0, 1});
  host.shown.clear();

  // Neither selected nor moved, nothing behind it selected, no marquee.
  press(front, QPointF(40, 40));
  drag(front, QPointF(100, 100));
  EXPECT_EQ(front.marqueeSelectionBounds(), QRectF(0, 0, 0, 0));
  release(front, QPointF(100, 100));
  EXPECT_TRUE(front.selectionIndexes().isEmpty());
  EXPECT_EQ(hidden->bounds(), QRectF(20, 20, 60, 40));
  EXPECT_EQ(behind->bounds(), QRectF(30, 30, 60, 40));
  EXPECT_TRUE(host.shown.empty()) << "the panel is not told";
  EXPECT_EQ(front.Selected_Graphic(), hidden);

  // Already selected, it is still not moved.
  front.changeSelectionIndexes({0});
  dragAlong(front, QPointF(40, 40), {QPointF(100, 100)});
  EXPECT_EQ(hidden->bounds(), QRectF(20, 20, 60, 40));
  EXPECT_TRUE(host.shown.empty());
}

// ---- Double clicks -------------------------------------------------------------------------------------

TEST_F(CanvasTest, DoubleClickOpensTheDesignerOnlyForAnUnlockedVisibleBarcode) {
  auto barcode = std::make_shared<QLNBarcode>();
  barcode->setBounds(QRectF(20, 20, 60, 30));
  auto image = std::make_shared<QLNImage>();
  image->setBounds(QRectF(120, 20, 60, 30));
  document.insertGraphics({barcode, image}, {0, 1});

  doubleClick(front, QPointF(40, 30));
  EXPECT_EQ(host.barcodeWindows, 1);
  EXPECT_EQ(front.Selected_Graphic(), barcode);
  EXPECT_EQ(barcode->bounds(), QRectF(20, 20, 60, 30));

  doubleClick(front, QPointF(140, 30));
  EXPECT_EQ(host.barcodeWindows, 1) << "only a barcode has a designer";

  barcode->ctrl_is_locked = true;
  doubleClick(front, QPointF(40, 30));
  EXPECT_EQ(host.barcodeWindows, 1) << "a locked barcode";

  barcode->ctrl_is_locked = false;
  barcode->Set_Ctrl_Is_Visible(false);
  doubleClick(front, QPointF(40, 30));
  EXPECT_EQ(host.barcodeWindows, 1) << "an invisible barcode";

  // On nothing, a double click is a click: it deselects.
  front.changeSelectionIndexes({1});
  doubleClick(front, QPointF(200, 120));
  EXPECT_TRUE(front.selectionIndexes().isEmpty());
  EXPECT_EQ(host.barcodeWindows, 1);
}

// ---- Resizing ----------------------------------------------------------------------------------------------

TEST_F(CanvasTest, HandleDraggedPastTheOppositeEdgeHandsOverToTheOppositeHandle) {
  struct Case {
    QPointF handle;
    QPointF past;
    QPointF further;
    QRectF expected;
  };
  // Each object starts as (100, 60, 40, 30): right edge 140, bottom edge 90.
  const Case cases[] = {
      // bottom right, past the left edge: continues as bottom left
      {{140, 90}, {80, 100}, {70, 100}, QRectF(70, 60, 30, 40)},
      // top left, past the right and the bottom edge: continues as bottom right
      {{100, 60}, {150, 95}, {160, 100}, QRectF(140, 90, 20, 10)},
      // top middle, past the bottom edge: continues as bottom middle
      {{120, 60}, {0, 100}, {0, 110}, QRectF(100, 90, 40, 20)},
      // middle left, past the right edge: continues as middle right
      {{100, 75}, {150, 0}, {155, 0}, QRectF(140, 60, 15, 30)},
  };
  for (const Case &c : cases) {
    auto shape = box(QRectF(100, 60, 40, 30), kRed);
    document.insertGraphics({shape}, {0});
    endTurn();
    front.changeSelectionIndexes({0});
    const int steps = document.undoManager()->undoCount();

    dragAlong(front, c.handle, {c.past, c.further});
    EXPECT_EQ(shape->bounds(), c.expected) << "from the handle at " << c.handle.x() << "," << c.handle.y();
    EXPECT_EQ(front.selectionIndexes(), QLNIndexSet{0});
    EXPECT_EQ(host.shown.back(), shape);

    // The whole resize is one undo step.
    EXPECT_EQ(document.undoManager()->undoCount(), steps + 1);
    document.undoManager()->undo();
    EXPECT_EQ(shape->bounds(), QRectF(100, 60, 40, 30));
    document.removeGraphicsAtIndexes({0});
    endTurn();
  }
}

TEST_F(CanvasTest, ResizeSnapsThePointerToTheGrid) {
  QLNGrid grid;
  grid.setSpacing(10.0);
  grid.setConstraining(true);
  front.setGrid(&grid);
  auto shape = box(QRectF(20, 20, 40, 30), kRed);
  document.insertGraphics({shape}, {0});
  front.changeSelectionIndexes({0});
  dragAlong(front, QPointF(60, 50), {QPointF(73, 66), QPointF(77, 84)});
  EXPECT_EQ(shape->bounds(), QRectF(20, 20, 60, 60));
  front.setGrid(nullptr);
}

// ---- Marquee -------------------------------------------------------------------------------------------------

TEST_F(CanvasTest, MarqueeSelectsWhatItTouchesAndShiftTogglesTheStartingSelection) {
  // Objects 0 to 3 in a row.
  QLNGraphicList objects;
  for (int i = 0; i < 4; ++i)
    objects.append(box(QRectF(20 + 50 * i, 40, 30, 30), kRed));
  document.insertGraphics(objects, {0, 1, 2, 3});

  // Without Shift, the press on nothing clears the selection first.
  front.changeSelectionIndexes({3});
  const int refreshes = host.refreshes.load();
  const size_t shown = host.shown.size();
  press(front, QPointF(10, 10));
  EXPECT_TRUE(front.selectionIndexes().isEmpty());
  drag(front, QPointF(60, 50));
  EXPECT_EQ(front.marqueeSelectionBounds(), QRectF(10, 10, 50, 40));
  EXPECT_EQ(front.selectionIndexes(), QLNIndexSet{0});
  drag(front, QPointF(110, 80));
  EXPECT_EQ(front.selectionIndexes(), (QLNIndexSet{0, 1}));
  release(front, QPointF(110, 80));
  EXPECT_EQ(front.marqueeSelectionBounds(), QRectF(0, 0, 0, 0));
  EXPECT_EQ(front.selectionIndexes(), (QLNIndexSet{0, 1}));
  EXPECT_GT(host.refreshes.load(), refreshes);
  EXPECT_EQ(front.Selected_Graphic(), objects.at(0));
  EXPECT_EQ(host.shown.size(), shown) << "a marquee that selected something does not show the card";

  // With Shift over objects 1 and 3, 3 already selected: 1 in, 3 out, 0 untouched. The
  // marquee is dragged from right to left.
  front.changeSelectionIndexes({0, 3});
  dragAlong(front, QPointF(185, 75), {QPointF(125, 45), QPointF(85, 45)}, Qt::ShiftModifier);
  EXPECT_EQ(front.selectionIndexes(), (QLNIndexSet{0, 1, 2}));
  front.changeSelectionIndexes({3});
  dragAlong(front, QPointF(60, 30), {QPointF(200, 60)}, Qt::ShiftModifier);
  EXPECT_EQ(front.selectionIndexes(), (QLNIndexSet{1, 2})) << "marquee over 1, 2, 3 with 3 selected";
}

TEST_F(CanvasTest, ShrinkingMarqueeKeepsTheLastSelectionThatTouchedSomething) {
  auto a = box(QRectF(60, 60, 30, 30), kRed);
  document.insertGraphics({a}, {0});
  press(front, QPointF(10, 10));
  drag(front, QPointF(70, 70));
  EXPECT_EQ(front.selectionIndexes(), QLNIndexSet{0});
  drag(front, QPointF(30, 30));  // touches nothing any more
  EXPECT_EQ(front.selectionIndexes(), QLNIndexSet{0});
  release(front, QPointF(30, 30));
  EXPECT_EQ(front.selectionIndexes(), QLNIndexSet{0});

  // A marquee that never touched anything leaves nothing selected and shows the card.
  host.shown.clear();
  dragAlong(front, QPointF(150, 10), {QPointF(200, 40)});
  EXPECT_TRUE(front.selectionIndexes().isEmpty());
  ASSERT_FALSE(host.shown.empty());
  EXPECT_EQ(host.shown.back(), nullptr);
}

// ---- Creating with a tool -------------------------------------------------------------------------------------

TEST_F(CanvasTest, PressWithTheRectangleToolDragsOutANewObject) {
  auto earlier = box(QRectF(150, 100, 20, 20), kGreen);
  document.insertGraphics({earlier}, {0});
  endTurn();
  const int steps = document.undoManager()->undoCount();
  host.tool = 3;
  host.graphicClass = QStringLiteral("Shape_Control");

  press(front, QPointF(40, 30));
  ASSERT_EQ(document.graphics().size(), 2);
  const QLNGraphicPtr made = document.graphics().at(0);
  EXPECT_EQ(made->bounds(), QRectF(40, 30, 0, 0));
  EXPECT_EQ(front.creatingGraphic(), made) << "drawn as being created while it is dragged out";
  drag(front, QPointF(70, 50));
  EXPECT_EQ(made->bounds(), QRectF(40, 30, 30, 20));
  drag(front, QPointF(100, 70));
  host.shown.clear();
  release(front, QPointF(100, 70));

  EXPECT_EQ(made->bounds(), QRectF(40, 30, 60, 40));
  EXPECT_EQ(made->Get_shape_type(), QStringLiteral("R"));
  EXPECT_EQ(front.creatingGraphic(), nullptr);
  EXPECT_FALSE(front.isTrackingMouse());
  // The press leaves no current object: the panel shows the card (which in the main
  // window returns to the arrow tool and leaves the new object unselected).
  EXPECT_EQ(front.Selected_Graphic(), nullptr);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown.back(), nullptr);

  // The creation is one undo step, however long the drag.
  EXPECT_EQ(document.undoManager()->undoCount(), steps + 1);
  EXPECT_TRUE(document.undoManager()->isUndoRegistrationEnabled());
  document.undoManager()->undo();
  EXPECT_EQ(document.graphics(), QLNGraphicList{earlier});
}

TEST_F(CanvasTest, ToolClickWithoutDragCreatesNothingAndGridSnapsTheDrag) {
  host.tool = 4;
  host.graphicClass = QStringLiteral("Shape_Control");
  click(front, QPointF(40, 30));
  EXPECT_TRUE(document.graphics().isEmpty());
  EXPECT_EQ(document.undoManager()->undoCount(), 0);
  EXPECT_TRUE(document.undoManager()->isUndoRegistrationEnabled());
  EXPECT_EQ(host.shown.back(), nullptr);

  // Dragged up and to the left, the object is whatever the corners span; on the grid.
  QLNGrid grid;
  grid.setSpacing(9.0);
  grid.setConstraining(true);
  front.setGrid(&grid);
  dragAlong(front, QPointF(100, 80), {QPointF(60, 70), QPointF(40, 41)});
  ASSERT_EQ(document.graphics().size(), 1);
  EXPECT_EQ(document.graphics().at(0)->bounds(), QRectF(36, 45, 63, 36));
  EXPECT_EQ(document.graphics().at(0)->Get_shape_type(), QStringLiteral("C"));
  front.setGrid(nullptr);
}

TEST_F(CanvasTest, CreationOnTheBackLeavesTheFrontHistoryAlone) {
  auto earlier = box(QRectF(10, 10, 20, 20), kRed);
  document.insertGraphics({earlier}, {0});
  endTurn();
  Card_Front_Or_Back = 1;
  host.tool = 3;
  host.graphicClass = QStringLiteral("Shape_Control");
  dragAlong(back, QPointF(50, 50), {QPointF(90, 80)});
  ASSERT_EQ(document.graphics_back().size(), 1);
  EXPECT_EQ(document.graphics_back().at(0)->bounds(), QRectF(50, 50, 40, 30));
  EXPECT_EQ(document.undoManager()->undoCount(), 1);
  EXPECT_EQ(document.graphics(), QLNGraphicList{earlier});
}

// ---- Drags cut short ----------------------------------------------------------------------------------------------

TEST_F(CanvasTest, DragWhoseReleaseIsLostEndsAtTheNextSignOfIt) {
  auto a = box(QRectF(20, 20, 40, 30), kRed);
  document.insertGraphics({a}, {0});
  endTurn();
  const int steps = document.undoManager()->undoCount();

  // The button went up elsewhere: the next move arrives without it.
  press(front, QPointF(30, 30));
  drag(front, QPointF(50, 40));
  sendMouse(front, QEvent::MouseMove, QPointF(60, 60), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  EXPECT_FALSE(front.isTrackingMouse());
  EXPECT_FALSE(front.isHidingHandles());
  EXPECT_EQ(a->bounds(), QRectF(40, 30, 40, 30)) << "ends where the button was last seen down";
  EXPECT_EQ(document.undoManager()->groupingLevel(), 0) << "the drag's undo group is closed";
  EXPECT_EQ(document.undoManager()->undoCount(), steps + 1);

  // A new press ends the old drag first.
  press(front, QPointF(45, 35));
  drag(front, QPointF(55, 35));
  press(front, QPointF(200, 140));
  EXPECT_EQ(a->bounds(), QRectF(50, 30, 40, 30));
  release(front, QPointF(200, 140));
  EXPECT_EQ(document.undoManager()->groupingLevel(), 0);

  // A tool's drag cut short by hiding the canvas keeps what was dragged out.
  host.tool = 3;
  host.graphicClass = QStringLiteral("Shape_Control");
  front.show();
  press(front, QPointF(100, 100));
  drag(front, QPointF(130, 120));
  front.hide();
  EXPECT_FALSE(front.isTrackingMouse());
  EXPECT_EQ(document.graphics().at(0)->bounds(), QRectF(100, 100, 30, 20));
  EXPECT_TRUE(document.undoManager()->isUndoRegistrationEnabled());
  EXPECT_EQ(document.undoManager()->groupingLevel(), 0);
}

TEST_F(CanvasTest, CanvasDestroyedDuringACreationDragLeavesUndoWorking) {
  host.tool = 3;
  host.graphicClass = QStringLiteral("Shape_Control");
  {
    QLNGraphicView transient;
    transient.bindGraphics(&document, QLNDocumentGraphicsKey);
    transient.bindSelectionIndexes(&frontSelection);
    transient.setCanvasSize(QSizeF(243, 154));
    press(transient, QPointF(20, 20));
    drag(transient, QPointF(50, 40));
  }
  EXPECT_TRUE(document.undoManager()->isUndoRegistrationEnabled());
  EXPECT_EQ(document.undoManager()->groupingLevel(), 0);
  ASSERT_EQ(document.graphics().size(), 1);
  EXPECT_EQ(document.undoManager()->undoCount(), 1);
  document.undoManager()->undo();
  EXPECT_TRUE(document.graphics().isEmpty());
}

// ---- Autoscroll and rulers ------------------------------------------------------------------------------------------

TEST_F(CanvasTest, DraggingBeyondTheVisibleAreaScrollsTheCanvas) {
  auto a = box(QRectF(10, 10, 30, 30), kRed);
  document.insertGraphics({a}, {0});
  QScrollArea area;
  area.resize(120, 100);
  front.setCanvasSize(QSizeF(600, 400));
  area.setWidget(&front);
  area.show();
  ASSERT_EQ(area.horizontalScrollBar()->value(), 0);
  dragAlong(front, QPointF(20, 20), {QPointF(300, 250)});
  EXPECT_GT(area.horizontalScrollBar()->value(), 0);
  EXPECT_GT(area.verticalScrollBar()->value(), 0);
  const QRect visible(-front.pos(), area.viewport()->size());
  EXPECT_TRUE(visible.contains(QPoint(300, 250))) << "the pointer is in view";
  area.takeWidget();
}

TEST_F(CanvasTest, DraggingBeyondTheVisibleAreaScrollsTheZoomingViewInPoints) {
  auto a = box(QRectF(10, 10, 30, 30), kRed);
  document.insertGraphics({a}, {0});
  QLNZoomingScrollView view;
  view.resize(200, 160);
  auto *canvas = new QLNGraphicView;  // the view's from now on
  canvas->bindSelectionIndexes(&frontSelection);
  canvas->bindGraphics(&document, QLNDocumentGraphicsKey);
  canvas->setCanvasSize(QSizeF(600, 400));
  view.setDocumentView(canvas);
  view.setFactor(2.0);
  view.show();
  ASSERT_EQ(view.clipView()->boundsOrigin(), QPointF(0, 0));
  // The object is moved to (290, 240) points: the view follows the pointer there.
  dragAlong(*canvas, QPointF(20, 20), {QPointF(300, 250)});
  EXPECT_EQ(a->bounds().topLeft(), QPointF(290, 240));
  const QRectF visible(view.clipView()->boundsOrigin(), view.clipView()->boundsSize());
  EXPECT_GT(visible.x(), 0.0);
  EXPECT_GT(visible.y(), 0.0);
  EXPECT_TRUE(visible.adjusted(-1, -1, 1, 1).contains(QPointF(300, 250))) << "the pointer is in view";
  EXPECT_EQ(view.horizontalScrollBar()->value(), int(visible.x() * 2));
  canvas->unbind(QLNGraphicViewGraphicsBindingName);
  canvas->unbind(QLNGraphicViewSelectionIndexesBindingName);
}

class RulerTest : public CanvasTest {
protected:
  void SetUp() override {
    CanvasTest::SetUp();
    // As the main window places them: the rulers above and left of the canvas.
    auto *layout = new QGridLayout(&holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    horizontal = new CanvasRuler(Qt::Horizontal);
    vertical = new CanvasRuler(Qt::Vertical);
    layout->addWidget(horizontal, 0, 1);
    layout->addWidget(vertical, 1, 0);
    front.setParent(&holder);
    layout->addWidget(&front, 1, 1, Qt::AlignLeft | Qt::AlignTop);
    front.setRulers(horizontal, vertical);
    horizontal->hide();
    vertical->hide();
    holder.show();
  }
  void TearDown() override {
    front.setParent(nullptr);
    CanvasTest::TearDown();
  }

  QWidget holder;
  CanvasRuler *horizontal = nullptr;
  CanvasRuler *vertical = nullptr;
};

TEST_F(RulerTest, MoveAndResizeAreEchoedOnTheRulersWhileTheyShow) {
  auto a = box(QRectF(20, 20, 40, 30), kRed);
  document.insertGraphics({a}, {0});
  front.setZoomFactor(2.0);

  // Hidden rulers echo nothing.
  press(front, QPointF(30, 30));
  drag(front, QPointF(40, 40));
  EXPECT_TRUE(horizontal->rulerlines().isEmpty());
  EXPECT_EQ(front.rulerEchoedBounds(), QRectF(0, 0, 0, 0));
  release(front, QPointF(40, 40));
  EXPECT_EQ(a->bounds(), QRectF(30, 30, 40, 30));

  front.showOrHideRulers();
  ASSERT_TRUE(front.rulersVisible());
  QCoreApplication::processEvents();
  // The canvas sits one ruler's thickness right of and below the rulers' corner: a
  // canvas x is that far along the horizontal ruler, at 2 pixels per point.
  const double x0 = front.mapTo(&holder, QPoint(0, 0)).x() - horizontal->mapTo(&holder, QPoint(0, 0)).x();
  const double y0 = front.mapTo(&holder, QPoint(0, 0)).y() - vertical->mapTo(&holder, QPoint(0, 0)).y();
  EXPECT_EQ(front.mapTo(&holder, QPoint(0, 0)), QPoint(CanvasRuler::Thickness, CanvasRuler::Thickness));
  EXPECT_DOUBLE_EQ(horizontal->locationOfCanvasCoordinate(30), x0 + 60);

  press(front, QPointF(40, 40));
  EXPECT_EQ(horizontal->rulerlines(), (QList<double>{x0 + 60, x0 + 100, x0 + 140}));
  EXPECT_EQ(vertical->rulerlines(), (QList<double>{y0 + 60, y0 + 90, y0 + 120}));
  drag(front, QPointF(50, 45));
  EXPECT_EQ(horizontal->rulerlines(), (QList<double>{x0 + 80, x0 + 120, x0 + 160}));
  EXPECT_EQ(vertical->rulerlines(), (QList<double>{y0 + 70, y0 + 100, y0 + 130}));
  EXPECT_EQ(front.rulerEchoedBounds(), QRectF(40, 35, 40, 30));
  release(front, QPointF(50, 45));
  EXPECT_TRUE(horizontal->rulerlines().isEmpty());
  EXPECT_TRUE(vertical->rulerlines().isEmpty());
  EXPECT_EQ(front.rulerEchoedBounds(), QRectF(0, 0, 0, 0));

  // A resize echoes the object's bounds.
  front.changeSelectionIndexes({0});
  press(front, QPointF(80, 65));  // bottom-right handle
  drag(front, QPointF(90, 75));
  EXPECT_EQ(horizontal->rulerlines(), (QList<double>{x0 + 80, x0 + 130, x0 + 180}));
  EXPECT_EQ(vertical->rulerlines(), (QList<double>{y0 + 70, y0 + 110, y0 + 150}));
  release(front, QPointF(90, 75));
  EXPECT_TRUE(horizontal->rulerlines().isEmpty());

  front.showOrHideRulers();
  EXPECT_FALSE(front.rulersVisible());
  EXPECT_TRUE(horizontal->isHidden());
  EXPECT_TRUE(vertical->isHidden());
}

TEST(CanvasRuler, RulerLinesMoveAndGoByLocation) {
  CanvasRuler ruler(Qt::Horizontal);
  ruler.moveRulerlineFromLocation(std::nullopt, 10.0);
  ruler.moveRulerlineFromLocation(std::nullopt, 20.0);
  ruler.moveRulerlineFromLocation(10.2, 15.0);
  EXPECT_EQ(ruler.rulerlines(), (QList<double>{15.0, 20.0}));
  ruler.moveRulerlineFromLocation(99.0, 5.0);  // no such line
  EXPECT_EQ(ruler.rulerlines(), (QList<double>{15.0, 20.0}));
  ruler.moveRulerlineFromLocation(20.0, std::nullopt);
  EXPECT_EQ(ruler.rulerlines(), QList<double>{15.0});
  // Lines at negative locations (a canvas scrolled left of the ruler) are lines too.
  ruler.moveRulerlineFromLocation(std::nullopt, -1.0);
  ruler.moveRulerlineFromLocation(-1.0, std::nullopt);
  EXPECT_EQ(ruler.rulerlines(), QList<double>{15.0});
}
