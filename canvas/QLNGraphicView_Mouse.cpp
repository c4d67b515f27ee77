// The canvas and the mouse: creating with the current tool, double clicks, hit testing,
// selecting with and without Shift, moving the selection, resizing by a handle,
// selecting with a marquee, and the ruler lines that echo a move or a resize.
//
// A drag is a small state machine fed by Qt's mouse events: the press decides what the
// drag does (m_drag.kind), every move event with the left button down is one step of it,
// and the release is its last step and its end. Between them the event loop runs on as
// usual. A drag whose release never arrives (the button let go over a window that took
// the mouse, the canvas hidden) ends at its last point when the next event shows it:
// a move without the left button, another press, or the canvas being hidden.
//
// A move or resize holds one undo group open from its press to its release, so that the
// whole drag is one undo step however many turns of the event loop it takes.

#include "canvas/QLNGraphicView.h"

#include "canvas/CanvasRuler.h"
#include "canvas/QLNZoomingScrollView.h"
#include "canvas/CanvasServices.h"

#include "core/Globals.h"
#include "core/MainWindowServices.h"
#include "core/QLNGrid.h"
#include "core/Utilities.h"

#include <QAbstractScrollArea>
#include <QFileInfo>
#include <QMouseEvent>
#include <QScrollArea>

#include <algorithm>
#include <cmath>

namespace {

// Points the pointer must travel, in x or in y, before a press on the selection moves it.
constexpr double MoveThreshold = 2.0;

bool isSelectedIndex(const QLNIndexSet &selection, int index) {
  return std::binary_search(selection.begin(), selection.end(), index);
}

// The set with `index` added when missing and removed when present.
QLNIndexSet toggled(QLNIndexSet set, int index) {
  const auto at = std::lower_bound(set.begin(), set.end(), index);
  if (at != set.end() && *at == index)
    set.erase(at);
  else
    set.insert(at, index);
  return set;
}

// The rectangle spanned by two points.
QRectF spanned(const QPointF &a, const QPointF &b) {
  return QRectF(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::abs(a.x() - b.x()), std::abs(a.y() - b.y()));
}

}  // namespace

// ---- Hit testing ---------------------------------------------------------------------------------

QLNGraphicPtr QLNGraphicView::graphicUnderPoint(const QPointF &point, int *index, bool *isSelected,
                                                int *handle) const {
  const QLNGraphicList list = graphics();
  const QLNIndexSet selection = selectionIndexes();
  for (int i = 0; i < list.size(); ++i) {
    const QLNGraphicPtr &graphic = list.at(i);
    if (!graphic || !graphic->drawingBounds().contains(point))
      continue;
    const bool selected = isSelectedIndex(selection, i);
    int hitHandle = QLNGraphicNoHandle;
    if (selected)
      hitHandle = graphic->handleUnderPoint(point);
    if (hitHandle == QLNGraphicNoHandle && !graphic->isContentsUnderPoint(point))
      continue;
    if (index)
      *index = i;
    if (isSelected)
      *isSelected = selected;
    if (handle)
      *handle = hitHandle;
    return graphic;
  }
  return nullptr;
}

QLNIndexSet QLNGraphicView::indexesOfGraphicsIntersectingRect(const QRectF &rect) const {
  const QLNGraphicList list = graphics();
  QLNIndexSet indexes;
  for (int i = 0; i < list.size(); ++i)
    if (list.at(i) && list.at(i)->drawingBounds().intersects(rect))
      indexes.append(i);
  return indexes;
}

// ---- Qt's mouse events ------------------------------------------------------------------------------

QPointF QLNGraphicView::pointOf(const QMouseEvent *event) const {
  const QPointF pixel = event->position();
  return QPointF(pixel.x() / m_zoomFactor, pixel.y() / m_zoomFactor);
}

void QLNGraphicView::mousePressEvent(QMouseEvent *event) { leftButtonDown(event, 1); }

void QLNGraphicView::mouseDoubleClickEvent(QMouseEvent *event) { leftButtonDown(event, 2); }

void QLNGraphicView::leftButtonDown(QMouseEvent *event, int clickCount) {
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  event->accept();
  // A drag whose release was lost ends where it was last seen.
  if (m_drag.kind != DragKind::None)
    endDrag(m_drag.lastPoint);
  mouseDown(pointOf(event), event->modifiers(), clickCount);
}

void QLNGraphicView::mouseMoveEvent(QMouseEvent *event) {
  if (m_drag.kind == DragKind::None) {
    event->ignore();
    return;
  }
  event->accept();
  if (!(event->buttons() & Qt::LeftButton)) {
    // The left button went up where the canvas did not see it: the drag ends where the
    // button was last seen down.
    endDrag(m_drag.lastPoint);
    return;
  }
  autoscroll(event->position().toPoint());
  trackDrag(pointOf(event));
}

void QLNGraphicView::mouseReleaseEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton || m_drag.kind == DragKind::None) {
    event->ignore();
    return;
  }
  event->accept();
  autoscroll(event->position().toPoint());
  endDrag(pointOf(event));
}

void QLNGraphicView::hideEvent(QHideEvent *event) {
  if (m_drag.kind != DragKind::None)
    endDrag(m_drag.lastPoint);
  QWidget::hideEvent(event);
}

namespace {

// The zooming scroll view the canvas sits in (canvas -> clip view -> scroll view), if any.
QLNZoomingScrollView *enclosingZoomingScrollView(const QWidget *canvas) {
  QWidget *clip = canvas->parentWidget();
  if (!qobject_cast<SWCenteringClipView *>(clip))
    return nullptr;
  return qobject_cast<QLNZoomingScrollView *>(clip->parentWidget());
}

}  // namespace

void QLNGraphicView::autoscroll(const QPoint &pixel) {
  if (QLNZoomingScrollView *scrollView = enclosingZoomingScrollView(this)) {
    scrollView->scrollPointToVisible(QPointF(pixel) / m_zoomFactor);
    return;
  }
  // The scroll area that shows the canvas brings the pointer into view.
  for (QWidget *ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
    auto *area = qobject_cast<QScrollArea *>(ancestor);
    if (!area || !area->widget())
      continue;
    if (area->widget() == this || area->widget()->isAncestorOf(this)) {
      const QPoint at = mapTo(area->widget(), pixel);
      area->ensureVisible(at.x(), at.y(), 1, 1);
    }
    return;
  }
}

// ---- Mouse-down ------------------------------------------------------------------------------------

void QLNGraphicView::mouseDown(const QPointF &point, Qt::KeyboardModifiers modifiers, int clickCount) {
  stopEditing();
  try {
    const QString graphicClass = canvasServices().currentGraphicClass();
    if (!graphicClass.isEmpty()) {
      // A press with a creating tool makes an object here; the drag sizes it.
      m_creatingFromPress = true;
      try {
        createGraphicOfClass(graphicClass, point, false, QRectF(),
                             Card_Front_Or_Back.load() == 1 ? QStringLiteral("B") : QStringLiteral("F"), QString(),
                             QString());
      } catch (...) {
        m_creatingFromPress = false;
        throw;
      }
      m_creatingFromPress = false;
      if (m_drag.kind == DragKind::None) {
        // Nothing to drag out (the object could not be made): the creation is over.
        _Selected_Graphic.reset();
        endMouseDown();
      }
      return;
    }

    _Selected_Graphic.reset();
    if (clickCount >= 2) {
      if (const QLNGraphicPtr graphic = graphicUnderPoint(point)) {
        _Selected_Graphic = graphic;
        if (!graphic->ctrl_is_visible)
          return;
        if (!graphic->ctrl_is_locked) {
          startEditingGraphic(graphic);
          if (graphic->className() == QLatin1String("QLNBarcode"))
            canvasServices().Open_Barcode_Window();
        }
        endMouseDown();
        return;
      }
    }
    selectAndTrackMouseWithEvent(point, modifiers);
    if (m_drag.kind == DragKind::None)
      endMouseDown();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

void QLNGraphicView::endMouseDown() {
  if (!Selected_Graphic())
    mainWindowServices().Show_RHS_Properties(nullptr);
}

// ---- Selecting -----------------------------------------------------------------------------------------

void QLNGraphicView::selectAndTrackMouseWithEvent(const QPointF &point, Qt::KeyboardModifiers modifiers) {
  const bool shift = modifiers.testFlag(Qt::ShiftModifier);
  int index = -1;
  bool selected = false;
  int handle = QLNGraphicNoHandle;
  const QLNGraphicPtr graphic = graphicUnderPoint(point, &index, &selected, &handle);

  if (!graphic) {
    if (!shift)
      changeSelectionIndexes({});
    marqueeSelectWithEvent(point, modifiers);
    return;
  }

  _Selected_Graphic = graphic;
  if (const QString name = QFileInfo(graphic->_file_path).fileName(); !name.isEmpty())
    Show_NSLog_Message(name);
  // An invisible object swallows the click: no selection, no panel, nothing behind it.
  if (!graphic->ctrl_is_visible)
    return;

  if (graphic->ctrl_is_locked) {
    // Selected, never moved or resized; Shift makes no difference.
    if (!selected)
      changeSelectionIndexes({index});
    mainWindowServices().Refresh_Canvas();
    mainWindowServices().Show_RHS_Properties(Selected_Graphic());
    return;
  }

  if (handle != QLNGraphicNoHandle) {
    resizeGraphic(graphic, handle, point, DragKind::Resize);
  } else {
    QLNIndexSet selection = selectionIndexes();
    if (shift)
      selection = toggled(selection, index);
    else if (!selected)
      selection = {index};
    changeSelectionIndexes(selection);
    if (isSelectedIndex(selectionIndexes(), index)) {
      // An object already selected keeps the selection, so several move together.
      moveSelectedGraphicsWithEvent(point);
    } else {
      // Shift took it out: the drag does nothing.
      startDrag(DragKind::Swallow, point);
    }
  }
  if (m_drag.kind == DragKind::None)
    mainWindowServices().Show_RHS_Properties(Selected_Graphic());
  else
    m_drag.showsSelected = true;
}

// ---- Starting a drag ------------------------------------------------------------------------------------

void QLNGraphicView::moveSelectedGraphicsWithEvent(const QPointF &point) {
  startDrag(DragKind::Move, point);
  m_drag.graphics = selectedGraphics();
  m_drag.startBounds = QLNGraphic::boundsOfGraphics(m_drag.graphics);
  m_drag.offset = point - m_drag.startBounds.topLeft();
  m_drag.echo = rulersVisible();
  openDragUndoGroup();
  if (m_drag.echo)
    beginEchoingMoveToRulers(m_drag.startBounds);
}

void QLNGraphicView::resizeGraphic(const QLNGraphicPtr &graphic, int handle, const QPointF &point, DragKind kind) {
  if (!graphic || graphic->ctrl_is_locked)
    return;
  startDrag(kind, point);
  m_drag.graphic = graphic;
  m_drag.handle = handle;
  m_drag.echo = rulersVisible();
  // A creation is one undo step of its own (finishCreation).
  if (kind != DragKind::Create)
    openDragUndoGroup();
  if (m_drag.echo)
    beginEchoingMoveToRulers(graphic->bounds());
}

void QLNGraphicView::marqueeSelectWithEvent(const QPointF &point, Qt::KeyboardModifiers modifiers) {
  startDrag(DragKind::Marquee, point);
  m_drag.startSelection = modifiers.testFlag(Qt::ShiftModifier) ? selectionIndexes() : QLNIndexSet();
}

void QLNGraphicView::startDrag(DragKind kind, const QPointF &point) {
  m_drag = Drag();
  m_drag.kind = kind;
  m_drag.pressPoint = point;
  m_drag.lastPoint = point;
  // Moves without a button reach the canvas only while it tracks the mouse: one of
  // them is how a release that went elsewhere shows.
  setMouseTracking(true);
}

void QLNGraphicView::openDragUndoGroup() {
  if (!_graphicsContainer)
    return;
  m_drag.undoDocument = _graphicsContainer;
  _graphicsContainer->undoManager()->beginUndoGrouping();
}

// ---- One step of a drag ----------------------------------------------------------------------------------

void QLNGraphicView::trackDrag(const QPointF &eventPoint) {
  switch (m_drag.kind) {
    case DragKind::None:
    case DragKind::Swallow:
      break;

    case DragKind::Move: {
      if (!m_drag.moving) {
        if (std::abs(eventPoint.x() - m_drag.pressPoint.x()) < MoveThreshold &&
            std::abs(eventPoint.y() - m_drag.pressPoint.y()) < MoveThreshold)
          break;
        m_drag.moving = true;
        setHidingHandles(true);
      }
      QPointF point = eventPoint;
      if (_grid) {
        // The selection's origin goes to the grid, wherever the pointer holds it.
        const QPointF origin = _grid->constrainedPoint(point - m_drag.offset);
        point = origin + m_drag.offset;
      }
      if (point != m_drag.lastPoint) {
        const QPointF by = point - m_drag.lastPoint;
        QLNGraphic::translateGraphics(m_drag.graphics, by.x(), by.y());
        if (m_drag.echo)
          continueEchoingMoveToRulers(QRectF(point - m_drag.offset, m_drag.startBounds.size()));
        _pasteCascadeDelta += by;
      }
      m_drag.lastPoint = point;
      break;
    }

    case DragKind::Resize:
    case DragKind::Create: {
      QPointF point = eventPoint;
      if (_grid)
        point = _grid->constrainedPoint(point);
      m_drag.handle = m_drag.graphic->resizeByMovingHandle(m_drag.handle, point);
      if (m_drag.echo)
        continueEchoingMoveToRulers(m_drag.graphic->bounds());
      m_drag.lastPoint = eventPoint;
      break;
    }

    case DragKind::Marquee: {
      const QRectF rect = spanned(m_drag.pressPoint, eventPoint);
      m_drag.lastPoint = eventPoint;
      if (rect == _marqueeSelectionBounds)
        break;
      setMarqueeSelectionBounds(rect);
      const QLNIndexSet touched = indexesOfGraphicsIntersectingRect(rect);
      if (touched.isEmpty())
        break;  // the selection stays as the last step that touched something left it
      QLNIndexSet selection = m_drag.startSelection;
      for (int index : touched)
        selection = toggled(selection, index);
      changeSelectionIndexes(selection);
      break;
    }
  }
}

// ---- The end of a drag -----------------------------------------------------------------------------------

void QLNGraphicView::endDrag(const QPointF &point, bool notify) {
  if (m_drag.kind == DragKind::None)
    return;
  // The release is the drag's last step.
  if (notify) {
    try {
      trackDrag(point);
    } catch (const std::exception &error) {
      Show_NSLog_Message(QString::fromUtf8(error.what()));
    }
  }
  const Drag drag = std::move(m_drag);
  m_drag = Drag();
  setMouseTracking(false);

  if (drag.echo)
    stopEchoingMoveToRulers();
  if (drag.undoDocument)
    drag.undoDocument->undoManager()->endUndoGrouping();

  try {
    switch (drag.kind) {
      case DragKind::Move:
        if (drag.moving) {
          setHidingHandles(false);
          setNeedsDisplayInRect(QLNGraphic::drawingBoundsOfGraphics(drag.graphics));
        }
        if (notify)
          mainWindowServices().Refresh_Canvas();
        break;
      case DragKind::Create:
        finishCreation();
        // The press that created leaves no current object: the panel shows the card.
        _Selected_Graphic.reset();
        break;
      case DragKind::Marquee:
        setMarqueeSelectionBounds(QRectF(0, 0, 0, 0));
        // The current object is what drawing the marquee's selection would make it:
        // the selected object of lowest index.
        if (const QLNGraphicList selected = selectedGraphics(); !selected.isEmpty())
          _Selected_Graphic = selected.first();
        if (notify)
          mainWindowServices().Refresh_Canvas();
        break;
      case DragKind::None:
      case DragKind::Swallow:
      case DragKind::Resize:
        break;
    }
    if (!notify)
      return;
    if (drag.showsSelected)
      mainWindowServices().Show_RHS_Properties(Selected_Graphic());
    endMouseDown();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

// ---- Rulers ------------------------------------------------------------------------------------------------

void QLNGraphicView::setRulers(CanvasRuler *horizontal, CanvasRuler *vertical) {
  // Lines echoed on the former rulers go with them.
  stopEchoingMoveToRulers();
  m_horizontalRuler = horizontal;
  m_verticalRuler = vertical;
  if (horizontal)
    horizontal->setClientView(this);
  if (vertical)
    vertical->setClientView(this);
}

bool QLNGraphicView::rulersVisible() const {
  // In a zooming scroll view the rulers show as the view's setting says.
  if (QLNZoomingScrollView *scrollView = enclosingZoomingScrollView(this))
    return m_horizontalRuler && m_verticalRuler && scrollView->rulersVisible();
  return m_horizontalRuler && m_verticalRuler && !m_horizontalRuler->isHidden() && !m_verticalRuler->isHidden();
}

void QLNGraphicView::showOrHideRulers() {
  if (QLNZoomingScrollView *scrollView = enclosingZoomingScrollView(this)) {
    scrollView->setRulersVisible(!scrollView->rulersVisible());
    return;
  }
  const bool show = !rulersVisible();
  for (CanvasRuler *ruler : {m_horizontalRuler.data(), m_verticalRuler.data()})
    if (ruler)
      ruler->setVisible(show);
}

void QLNGraphicView::beginEchoingMoveToRulers(const QRectF &rect) {
  // One echo at a time: lines of an earlier one that was not stopped go first.
  stopEchoingMoveToRulers();
  const double xs[3] = {rect.left(), rect.center().x(), rect.right()};
  const double ys[3] = {rect.top(), rect.center().y(), rect.bottom()};
  for (int i = 0; i < 3; ++i) {
    if (m_horizontalRuler) {
      m_rulerLines[i] = m_horizontalRuler->locationOfCanvasCoordinate(xs[i]);
      m_horizontalRuler->moveRulerlineFromLocation(std::nullopt, m_rulerLines[i]);
    }
    if (m_verticalRuler) {
      m_rulerLines[3 + i] = m_verticalRuler->locationOfCanvasCoordinate(ys[i]);
      m_verticalRuler->moveRulerlineFromLocation(std::nullopt, m_rulerLines[3 + i]);
    }
  }
  _rulerEchoedBounds = rect;
}

void QLNGraphicView::continueEchoingMoveToRulers(const QRectF &rect) {
  const double xs[3] = {rect.left(), rect.center().x(), rect.right()};
  const double ys[3] = {rect.top(), rect.center().y(), rect.bottom()};
  for (int i = 0; i < 3; ++i) {
    if (m_horizontalRuler && m_rulerLines[i]) {
      const double to = m_horizontalRuler->locationOfCanvasCoordinate(xs[i]);
      m_horizontalRuler->moveRulerlineFromLocation(m_rulerLines[i], to);
      m_rulerLines[i] = to;
    }
    if (m_verticalRuler && m_rulerLines[3 + i]) {
      const double to = m_verticalRuler->locationOfCanvasCoordinate(ys[i]);
      m_verticalRuler->moveRulerlineFromLocation(m_rulerLines[3 + i], to);
      m_rulerLines[3 + i] = to;
    }
  }
  _rulerEchoedBounds = rect;
}

void QLNGraphicView::stopEchoingMoveToRulers() {
  for (int i = 0; i < 6; ++i) {
    CanvasRuler *ruler = i < 3 ? m_horizontalRuler.data() : m_verticalRuler.data();
    if (ruler && m_rulerLines[i])
      ruler->moveRulerlineFromLocation(m_rulerLines[i], std::nullopt);
    m_rulerLines[i].reset();
  }
  _rulerEchoedBounds = QRectF(0, 0, 0, 0);
}
