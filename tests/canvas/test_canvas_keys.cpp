// The canvas and the keyboard: the arrow keys nudge the selection (locked objects
// stay, no grid snapping) with the handles hidden until half a second after the last
// nudge; Backspace and Delete remove the selection as one undo step, or refuse with a
// message when a locked object is in it.

#include "tests/canvas/canvas_fixture.h"

#include "tests/common/TestSupport.h"

namespace {

const QColor kRed(220, 0, 0);
const QColor kGreen(0, 160, 0);
const QColor kBlue(0, 0, 220);

}  // namespace

TEST_F(CanvasTest, ArrowKeysNudgeTheUnlockedSelectionByOnePointEach) {
  QLNGrid grid;
  grid.setSpacing(9.0);
  grid.setConstraining(true);
  front.setGrid(&grid);
  auto a = box(QRectF(20, 20, 40, 30), kRed);
  auto locked = box(QRectF(100, 20, 40, 30), kGreen);
  auto unselected = box(QRectF(20, 100, 40, 30), kBlue);
  locked->ctrl_is_locked = true;
  document.insertGraphics({a, locked, unselected}, {0, 1, 2});
  front.changeSelectionIndexes({0, 1});

  key(front, Qt::Key_Right);
  key(front, Qt::Key_Down);
  key(front, Qt::Key_Down);
  key(front, Qt::Key_Up, Qt::KeypadModifier);  // the keypad's arrows are arrows too
  key(front, Qt::Key_Left);
  key(front, Qt::Key_Left);
  EXPECT_EQ(a->bounds(), QRectF(19, 21, 40, 30)) << "one point per press, off the grid";
  EXPECT_EQ(locked->bounds(), QRectF(100, 20, 40, 30));
  EXPECT_EQ(unselected->bounds(), QRectF(20, 100, 40, 30));

  // Arrows with a modifier are other commands; the canvas leaves them alone.
  key(front, Qt::Key_Left, Qt::ShiftModifier);
  key(front, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(a->bounds(), QRectF(19, 21, 40, 30));
  front.setGrid(nullptr);
}

TEST_F(CanvasTest, HandlesReappearHalfASecondAfterTheLastNudge) {
  auto a = box(QRectF(50, 50, 40, 30), kRed);
  document.insertGraphics({a}, {0});

  // Nothing selected: nothing moves and the handles are not touched.
  key(front, Qt::Key_Left);
  EXPECT_FALSE(front.isHidingHandles());
  EXPECT_FALSE(front.isHandleShowingTimerPending());

  front.changeSelectionIndexes({0});
  QElapsedTimer sinceLast;
  for (int i = 0; i < 4; ++i) {
    if (i > 0)
      runFor(200);  // 0.6 seconds in all: longer than one moment
    key(front, Qt::Key_Left);
    sinceLast.start();
    EXPECT_TRUE(front.isHidingHandles()) << "after press " << i;
  }
  EXPECT_EQ(a->bounds(), QRectF(46, 50, 40, 30));
  ASSERT_TRUE(spinUntil([&] { return !front.isHidingHandles(); }, 5000));
  EXPECT_GE(sinceLast.elapsed(), 450) << "the moment counts from the last press";
  EXPECT_FALSE(front.isHandleShowingTimerPending());
}

TEST_F(CanvasTest, DeleteAndBackspaceRemoveTheSelectionAsOneUndoStep) {
  auto a = box(QRectF(20, 20, 40, 30), kRed);
  auto b = box(QRectF(80, 20, 40, 30), kGreen);
  auto c = box(QRectF(140, 20, 40, 30), kBlue);
  document.insertGraphics({a, b, c}, {0, 1, 2});
  endTurn();
  const int steps = document.undoManager()->undoCount();

  front.changeSelectionIndexes({0, 2});
  front.setSelected_Graphic(a);
  key(front, Qt::Key_Delete);
  EXPECT_EQ(document.graphics(), QLNGraphicList{b});
  EXPECT_TRUE(front.selectionIndexes().isEmpty());
  EXPECT_EQ(front.Selected_Graphic(), nullptr);
  EXPECT_EQ(host.undoRedoStates, 1);
  ASSERT_FALSE(host.shown.empty());
  EXPECT_EQ(host.shown.back(), nullptr);

  endTurn();
  EXPECT_EQ(document.undoManager()->undoCount(), steps + 1);
  document.undoManager()->undo();
  EXPECT_EQ(document.graphics(), (QLNGraphicList{a, b, c}));

  front.changeSelectionIndexes({1});
  key(front, Qt::Key_Backspace);
  EXPECT_EQ(document.graphics(), (QLNGraphicList{a, c}));
  EXPECT_EQ(host.undoRedoStates, 2);

  // With a modifier Backspace is no delete of the canvas.
  front.changeSelectionIndexes({0});
  key(front, Qt::Key_Backspace, Qt::ControlModifier);
  EXPECT_EQ(document.graphics(), (QLNGraphicList{a, c}));
}

TEST_F(CanvasTest, DeleteRefusesASelectionWithALockedObject) {
  ScopedScriptedUi ui;
  auto a = box(QRectF(20, 20, 40, 30), kRed);
  auto locked = box(QRectF(80, 20, 40, 30), kGreen);
  locked->ctrl_is_locked = true;
  document.insertGraphics({a, locked}, {0, 1});
  endTurn();
  const int steps = document.undoManager()->undoCount();
  front.changeSelectionIndexes({0, 1});
  EXPECT_TRUE(front.There_Is_Any_Lock_Contrl());

  ui.expectAlert();
  key(front, Qt::Key_Delete);
  EXPECT_EQ(ui.alertTexts(), QStringList{QStringLiteral("\nSelected control is locked.")});
  EXPECT_EQ(document.graphics(), (QLNGraphicList{a, locked}));
  EXPECT_EQ(front.selectionIndexes(), (QLNIndexSet{0, 1}));
  EXPECT_EQ(host.undoRedoStates, 0);
  endTurn();
  EXPECT_EQ(document.undoManager()->undoCount(), steps);

  front.changeSelectionIndexes({0});
  EXPECT_FALSE(front.There_Is_Any_Lock_Contrl());
  front.delete_();
  EXPECT_EQ(document.graphics(), QLNGraphicList{locked});
}

TEST_F(CanvasTest, KeysWaitWhileTheMouseDrags) {
  auto a = box(QRectF(20, 20, 40, 30), kRed);
  document.insertGraphics({a}, {0});
  front.changeSelectionIndexes({0});
  press(front, QPointF(30, 30));
  drag(front, QPointF(40, 30));
  key(front, Qt::Key_Delete);
  key(front, Qt::Key_Left);
  release(front, QPointF(40, 30));
  EXPECT_EQ(document.graphics(), QLNGraphicList{a});
  EXPECT_EQ(a->bounds(), QRectF(30, 20, 40, 30));
}
