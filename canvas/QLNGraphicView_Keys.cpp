// The canvas and the keyboard: the arrow keys nudge the selection by one point,
// Backspace and Delete remove it; the handles hide for a moment after each nudge.

#include "canvas/QLNGraphicView.h"

#include "canvas/CanvasServices.h"

#include "core/MainWindowServices.h"
#include "core/Utilities.h"

#include <QKeyEvent>

#include <exception>

namespace {

// How long the handles stay hidden after the last nudge, milliseconds.
constexpr int HandleHidingMilliseconds = 500;

}  // namespace

void QLNGraphicView::keyPressEvent(QKeyEvent *event) {
  // Keys wait while the mouse drags; modified keys (Shift-arrow, Ctrl-Backspace ...)
  // are no commands of the canvas.
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  if (m_drag.kind != DragKind::None || modifiers != Qt::NoModifier) {
    QWidget::keyPressEvent(event);
    return;
  }
  try {
    switch (event->key()) {
      case Qt::Key_Left: moveLeft(); break;
      case Qt::Key_Right: moveRight(); break;
      case Qt::Key_Up: moveUp(); break;
      case Qt::Key_Down: moveDown(); break;
      case Qt::Key_Backspace: deleteBackward(); break;
      case Qt::Key_Delete: deleteForward(); break;
      default: QWidget::keyPressEvent(event); return;
    }
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
  event->accept();
}

void QLNGraphicView::moveLeft() { moveSelectedGraphicsByX(-1.0, 0.0); }
void QLNGraphicView::moveRight() { moveSelectedGraphicsByX(1.0, 0.0); }
// The canvas's y grows downwards: up is negative.
void QLNGraphicView::moveUp() { moveSelectedGraphicsByX(0.0, -1.0); }
void QLNGraphicView::moveDown() { moveSelectedGraphicsByX(0.0, 1.0); }

void QLNGraphicView::moveSelectedGraphicsByX(double x, double y) {
  const QLNGraphicList selected = selectedGraphics();
  if (selected.isEmpty())
    return;
  hideHandlesMomentarily();
  QLNGraphic::translateGraphics(selected, x, y);
}

void QLNGraphicView::hideHandlesMomentarily() {
  _handleShowingTimer.start(HandleHidingMilliseconds);
  _isHidingHandles = true;
  setNeedsDisplayInRect(QLNGraphic::drawingBoundsOfGraphics(selectedGraphics()));
}

void QLNGraphicView::unhideHandlesForTimer() {
  _handleShowingTimer.stop();
  // A move by the mouse hides the handles until it ends, and shows them then.
  if (m_drag.kind == DragKind::Move && m_drag.moving)
    return;
  _isHidingHandles = false;
  setNeedsDisplayInRect(QLNGraphic::drawingBoundsOfGraphics(selectedGraphics()));
}

bool QLNGraphicView::There_Is_Any_Lock_Contrl() const {
  for (const QLNGraphicPtr &graphic : selectedGraphics())
    if (graphic && graphic->ctrl_is_locked)
      return true;
  return false;
}

void QLNGraphicView::delete_() {
  if (There_Is_Any_Lock_Contrl()) {
    Show_MessageBox(QStringLiteral("Selected control is locked."));
    return;
  }
  const QLNIndexSet selection = selectionIndexes();
  if (!selection.isEmpty())
    mutableGraphics().removeObjectsAtIndexes(selection);
  canvasServices().Undo_Redo_Button_state();
  mainWindowServices().Show_RHS_Properties(nullptr);
}
