// The canvas as a whole: its bindings to the side's list and selection and the
// observation that keeps its drawing current, the selection model, and the drawing.

#include "canvas/QLNGraphicView.h"

#include "canvas/CanvasServices.h"
#include "canvas/QLNSelection.h"

#include "core/MainWindowServices.h"
#include "core/QLNGrid.h"
#include "core/Utilities.h"

#include <QMetaObject>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>

const QString QLNGraphicViewGraphicsBindingName = QStringLiteral("graphics");
const QString QLNGraphicViewGraphicsBindingName_back = QStringLiteral("graphics_back");
const QString QLNGraphicViewGraphicsBindingName_temp = QStringLiteral("graphics_temp");
const QString QLNGraphicViewSelectionIndexesBindingName = QStringLiteral("selectionIndexes");
const QString QLNGraphicViewGridBindingName = QStringLiteral("grid");

namespace {

// Observation contexts, compared by address.
const char GraphicsContext[] = "org.amends.Amends.QLNGraphicView.graphics";
const char GraphicsBackContext[] = "org.amends.Amends.QLNGraphicView.graphics_back";
const char GraphicsTempContext[] = "org.amends.Amends.QLNGraphicView.graphics_temp";
const char IndividualGraphicContext[] = "org.amends.Amends.QLNGraphicView.individualGraphic";
const char SelectionIndexesContext[] = "org.amends.Amends.QLNGraphicView.selectionIndexes";

// The marquee frame: the handles' knob colour.
const QColor MarqueeColor(160, 160, 160);
// Pixels added around every dirty rectangle: antialiased edges reach a little outside
// the area they belong to.
constexpr int AntialiasingMargin = 2;
// Largest widget side in pixels.
constexpr int MaximumPixels = 20000;

const void *listContext(const QString &keyPath) {
  if (keyPath == QLNDocumentGraphicsKey)
    return GraphicsContext;
  if (keyPath == QLNDocumentGraphicsKey_back)
    return GraphicsBackContext;
  if (keyPath == QLNDocumentGraphicsKey_temp)
    return GraphicsTempContext;
  return nullptr;
}

QLNGraphicList graphicsIn(const QVariant &value) {
  return value.isValid() && value.canConvert<QLNGraphicList>() ? value.value<QLNGraphicList>() : QLNGraphicList();
}

bool contains(const QLNIndexSet &sorted, int index) {
  return std::binary_search(sorted.begin(), sorted.end(), index);
}

// Counts the drawings in progress on a canvas for the life of the object.
class PaintingScope {
public:
  explicit PaintingScope(int &depth) : m_depth(depth) { ++m_depth; }
  ~PaintingScope() { --m_depth; }
  PaintingScope(const PaintingScope &) = delete;
  PaintingScope &operator=(const PaintingScope &) = delete;

private:
  int &m_depth;
};

}  // namespace

// ---- Creation and teardown -------------------------------------------------------------

QLNGraphicView::QLNGraphicView(QWidget *parent) : QWidget(parent) {
  // Only the card is drawn; around a rounded or oval card the parent's ground shows.
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  _handleShowingTimer.setSingleShot(true);
  connect(&_handleShowingTimer, &QTimer::timeout, this, &QLNGraphicView::unhideHandlesForTimer);
  applySize();
}

QLNGraphicView::~QLNGraphicView() {
  _handleShowingTimer.stop();
  // A drag cut short ends quietly: its undo group closes, a new object is kept or
  // discarded as at a release, and the main window is not called any more.
  endDrag(m_drag.lastPoint, false);
  finishCreation();
  stopEditing();
  unbindList();
  unbindSelection();
  setGrid(nullptr);
}

// ---- Bindings ----------------------------------------------------------------------------

void QLNGraphicView::bindGraphics(QLNDocument *container, const QString &keyPath) {
  unbindList();
  if (container) {
    _graphicsContainer = container;
    _graphicsKeyPath = keyPath;
    if (const void *context = listContext(keyPath))
      container->addObserver(this, keyPath, context);
    startObservingGraphics(graphics());
  }
  setNeedsDisplay();
}

void QLNGraphicView::bindSelectionIndexes(QLNSelection *container) {
  unbindSelection();
  if (container) {
    _selectionIndexesContainer = container;
    _selectionIndexesKeyPath = QLNSelectionIndexesKey;
    container->addObserver(this, _selectionIndexesKeyPath, SelectionIndexesContext);
  }
  setNeedsDisplay();
}

void QLNGraphicView::unbind(const QString &bindingName) {
  if (bindingName == QLNGraphicViewGraphicsBindingName || bindingName == QLNGraphicViewGraphicsBindingName_back ||
      bindingName == QLNGraphicViewGraphicsBindingName_temp) {
    unbindList();
    setNeedsDisplay();
  } else if (bindingName == QLNGraphicViewSelectionIndexesBindingName) {
    unbindSelection();
    setNeedsDisplay();
  } else if (bindingName == QLNGraphicViewGridBindingName) {
    setGrid(nullptr);
  }
}

void QLNGraphicView::unbindList() {
  stopObservingGraphics(m_observed);
  if (_graphicsContainer)
    if (const void *context = listContext(_graphicsKeyPath))
      _graphicsContainer->removeObserver(this, _graphicsKeyPath, context);
  _graphicsContainer = nullptr;
  _graphicsKeyPath.clear();
  _Selected_Graphic.reset();
}

void QLNGraphicView::unbindSelection() {
  if (_selectionIndexesContainer)
    _selectionIndexesContainer->removeObserver(this, _selectionIndexesKeyPath, SelectionIndexesContext);
  _selectionIndexesContainer = nullptr;
  _selectionIndexesKeyPath.clear();
}

void QLNGraphicView::startObservingGraphics(const QLNGraphicList &graphics) {
  for (const QLNGraphicPtr &graphic : graphics) {
    if (!graphic)
      continue;
    graphic->addObserver(this, QLNGraphicDrawingBoundsKey, IndividualGraphicContext);
    graphic->addObserver(this, QLNGraphicDrawingContentsKey, IndividualGraphicContext);
    m_observed.append(graphic);
  }
}

void QLNGraphicView::stopObservingGraphics(const QLNGraphicList &graphics) {
  const QLNGraphicList stopping = graphics;  // `graphics` may be m_observed itself
  for (const QLNGraphicPtr &graphic : stopping) {
    if (!graphic)
      continue;
    const qsizetype at = m_observed.indexOf(graphic);
    if (at < 0)
      continue;
    graphic->removeObserver(this, QLNGraphicDrawingBoundsKey, IndividualGraphicContext);
    graphic->removeObserver(this, QLNGraphicDrawingContentsKey, IndividualGraphicContext);
    m_observed.removeAt(at);
  }
}

// ---- The list and the selection -----------------------------------------------------------

QLNGraphicList QLNGraphicView::graphics() const {
  return _graphicsContainer ? _graphicsContainer->list(_graphicsKeyPath) : QLNGraphicList();
}

QLNGraphicView::MutableGraphics QLNGraphicView::mutableGraphics() {
  if (!_graphicsContainer)
    throw std::logic_error("An QLNGraphicView's 'graphics' property is not bound to anything.");
  return MutableGraphics(_graphicsContainer, _graphicsKeyPath);
}

void QLNGraphicView::MutableGraphics::insertObject(const QLNGraphicPtr &graphic, int index) {
  m_document->insertIntoList(m_key, {graphic}, {index});
}

void QLNGraphicView::MutableGraphics::removeObjectsAtIndexes(const QLNIndexSet &indexes) {
  m_document->removeFromList(m_key, indexes);
}

QLNIndexSet QLNGraphicView::selectionIndexes() const {
  return _selectionIndexesContainer ? _selectionIndexesContainer->selectionIndexes() : QLNIndexSet();
}

void QLNGraphicView::changeSelectionIndexes(const QLNIndexSet &indexes) {
  if (!_selectionIndexesContainer)
    throw std::logic_error("An QLNGraphicView's 'selectionIndexes' property is not bound to anything.");
  _selectionIndexesContainer->setValue(QVariant::fromValue(indexes), _selectionIndexesKeyPath);
  // The sizing buttons act on two or more objects; natural size too, though it could
  // act on one.
  const bool several = indexes.size() >= 2;
  for (const char *name : {"Make_same_width_btn", "Make_same_height_btn", "Make_natural_size_btn"})
    SetObjEnabled(canvasServices().mainWindowControl(QString::fromLatin1(name)), several);
}

QLNGraphicList QLNGraphicView::selectedGraphics() const {
  const QLNGraphicList list = graphics();
  QLNGraphicList selected;
  for (int index : selectionIndexes())
    if (index >= 0 && index < list.size())
      selected.append(list.at(index));
  return selected;
}

void QLNGraphicView::delete_all_control() {
  if (!_graphicsContainer)
    return;
  QLNIndexSet all;
  for (int index = 0; index < graphics().size(); ++index)
    all.append(index);
  if (!all.isEmpty())
    mutableGraphics().removeObjectsAtIndexes(all);
  // A selection bound to the list has followed it already; one that is not is cleared
  // here, so that it names nothing of a list that is gone.
  if (_selectionIndexesContainer)
    changeSelectionIndexes({});
  _Selected_Graphic.reset();
}

QLNGraphicPtr QLNGraphicView::Selected_Graphic() const {
  QLNGraphicPtr graphic = _Selected_Graphic.lock();
  // Only an object of the list counts: the list observation clears the field when its
  // object leaves, and this also covers a document that went away.
  if (!graphic || !graphics().contains(graphic))
    return nullptr;
  return graphic;
}

void QLNGraphicView::setSelected_Graphic(const QLNGraphicPtr &graphic) { _Selected_Graphic = graphic; }

// ---- Grid, size and zoom --------------------------------------------------------------------

void QLNGraphicView::setGrid(QLNGrid *grid) {
  if (_grid == grid)
    return;
  if (_grid)
    disconnect(_grid, nullptr, this, nullptr);
  _grid = grid;
  if (grid)
    connect(grid, &QLNGrid::anyChanged, this, [this] { setNeedsDisplay(); });
  setNeedsDisplay();
}

void QLNGraphicView::setCanvasSize(const QSizeF &size) {
  const auto sane = [](double v) { return std::isfinite(v) ? std::max(0.0, v) : 0.0; };
  m_canvasSize = QSizeF(sane(size.width()), sane(size.height()));
  applySize();
}

void QLNGraphicView::setZoomFactor(double factor) {
  if (!std::isfinite(factor) || factor <= 0.0)
    return;
  m_zoomFactor = factor;
  applySize();
}

QSize QLNGraphicView::sizeHint() const {
  const double w = std::ceil(m_canvasSize.width() * m_zoomFactor);
  const double h = std::ceil(m_canvasSize.height() * m_zoomFactor);
  return QSize(int(std::min(w, double(MaximumPixels))), int(std::min(h, double(MaximumPixels))));
}

void QLNGraphicView::applySize() {
  setFixedSize(sizeHint());
  updateGeometry();
  setNeedsDisplay();
}

// ---- Redrawing --------------------------------------------------------------------------------

QRect QLNGraphicView::zoomedRect(const QRectF &rect) const {
  const QRectF r = rect.normalized();
  const QRectF pixels(r.x() * m_zoomFactor, r.y() * m_zoomFactor, r.width() * m_zoomFactor,
                      r.height() * m_zoomFactor);
  return pixels.toAlignedRect().adjusted(-AntialiasingMargin, -AntialiasingMargin, AntialiasingMargin,
                                         AntialiasingMargin);
}

void QLNGraphicView::redrawRequestedFromAnotherThread() {
  m_crossThreadRequestPending = false;
  setNeedsDisplay();
}

void QLNGraphicView::setNeedsDisplay() {
  if (QThread::currentThread() != thread()) {
    // Any number of requests from other threads while one is on its way make one redraw.
    // The request travels as a queued call by name: Qt carries it to the GUI thread
    // without a functor made here and read there.
    if (!m_crossThreadRequestPending.exchange(true))
      QMetaObject::invokeMethod(this, "redrawRequestedFromAnotherThread", Qt::QueuedConnection);
    return;
  }
  // Asked for by the objects being drawn: the drawing in progress shows the current
  // state, and honouring the request would draw the canvas again and again.
  if (m_painting > 0)
    return;
  update();
}

void QLNGraphicView::setNeedsDisplayInRect(const QRectF &rect) {
  if (QThread::currentThread() != thread()) {
    setNeedsDisplay();
    return;
  }
  if (m_painting > 0 || rect.isNull() || !std::isfinite(rect.x()) || !std::isfinite(rect.y()) ||
      !std::isfinite(rect.width()) || !std::isfinite(rect.height()))
    return;
  const QRect pixels = zoomedRect(rect) & this->rect();
  if (!pixels.isEmpty())
    update(pixels);
}

void QLNGraphicView::paintEvent(QPaintEvent *event) {
  ++m_paintCount;
  if (m_canvasSize.isEmpty())
    return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter.scale(m_zoomFactor, m_zoomFactor);
  // The painter is clipped to the dirty region; objects outside it are skipped, so two
  // small areas far apart do not redraw what lies between them.
  const QRegion region = event->region();
  const QRect box = region.boundingRect();
  const QRectF dirty(box.x() / m_zoomFactor, box.y() / m_zoomFactor, box.width() / m_zoomFactor,
                     box.height() / m_zoomFactor);
  PaintingScope painting(m_painting);
  try {
    drawDirty(&painter, dirty.intersected(bounds()), region.rectCount() > 1 ? &region : nullptr);
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

void QLNGraphicView::drawRect(QPainter *painter, const QRectF &dirty) {
  if (!painter || !painter->isActive())
    return;
  PaintingScope painting(m_painting);
  drawDirty(painter, dirty, nullptr);
}

void QLNGraphicView::drawDirty(QPainter *painter, const QRectF &dirty, const QRegion *pixelRegion) {
  // 1. The card base, fitted to the whole canvas however little of it is redrawn.
  painter->save();
  mainWindowServices().Card_Base_Drawing(painter, bounds());
  painter->restore();

  // 2. The grid.
  if (_grid) {
    painter->save();
    _grid->drawRect(painter, dirty);
    painter->restore();
  }

  // 3. The objects, from the back to the front.
  const QLNGraphicList list = graphics();
  const QLNIndexSet selection = selectionIndexes();
  for (qsizetype index = list.size() - 1; index >= 0; --index) {
    const QLNGraphicPtr &graphic = list.at(index);
    if (!graphic)
      continue;
    const QRectF drawingBounds = graphic->drawingBounds();
    if (!drawingBounds.intersects(dirty) || (pixelRegion && !pixelRegion->intersects(zoomedRect(drawingBounds))))
      continue;
    const bool creating = graphic == _creatingGraphic;
    const bool showsHandles = !_isHidingHandles && !creating && contains(selection, int(index));
    painter->save();
    try {
      painter->setClipRect(drawingBounds, Qt::IntersectClip);
      graphic->drawContentsInView(painter, creating);
      if (showsHandles) {
        graphic->drawHandlesInView(painter, graphic->ctrl_is_locked);
        _Selected_Graphic = graphic;
      }
    } catch (const std::exception &error) {
      // One object that cannot be drawn does not keep the others from being drawn.
      Show_NSLog_Message(QString::fromUtf8(error.what()));
    }
    painter->restore();
  }

  // 4. An empty side: the property panel shows the card.
  if (list.isEmpty())
    mainWindowServices().Show_RHS_Properties(nullptr);

  // 5. The marquee.
  if (_marqueeSelectionBounds != QRectF(0, 0, 0, 0)) {
    const QRectF r = _marqueeSelectionBounds.normalized();
    QPainterPath frame;
    frame.setFillRule(Qt::OddEvenFill);
    frame.addRect(r);
    if (r.width() > 2.0 && r.height() > 2.0)
      frame.addRect(r.adjusted(1.0, 1.0, -1.0, -1.0));
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->fillPath(frame, MarqueeColor);
    painter->restore();
  }
}

// ---- Drawing state --------------------------------------------------------------------------------

void QLNGraphicView::setMarqueeSelectionBounds(const QRectF &rect) {
  if (rect == _marqueeSelectionBounds)
    return;
  setNeedsDisplayInRect(_marqueeSelectionBounds);
  _marqueeSelectionBounds = rect;
  setNeedsDisplayInRect(rect);
}

void QLNGraphicView::setHidingHandles(bool hiding) {
  if (hiding == _isHidingHandles)
    return;
  _isHidingHandles = hiding;
  for (const QLNGraphicPtr &graphic : selectedGraphics())
    if (graphic)
      setNeedsDisplayInRect(graphic->drawingBounds());
}

// ---- In-place editing ------------------------------------------------------------------------------

void QLNGraphicView::startEditingGraphic(const QLNGraphicPtr &graphic) {
  if (!graphic)
    return;
  // The object would give its editor here; no kind has one, so there is nothing to
  // show and nothing to keep.
  if (QWidget *editor = graphic->newEditingViewWithSuperviewBounds(bounds())) {
    graphic->finalizeEditingView(editor);
    delete editor;
  }
}

void QLNGraphicView::stopEditing() {
  // startEditingGraphic never leaves an editor open: nothing to end.
}

// ---- Observation ------------------------------------------------------------------------------------

void QLNGraphicView::addUndoSelectionIndexes(const QLNIndexSet &indexes) {
  if (!_undoSelectionIndexes)
    return;
  QLNIndexSet &collected = *_undoSelectionIndexes;
  collected.append(indexes);
  std::sort(collected.begin(), collected.end());
  collected.erase(std::unique(collected.begin(), collected.end()), collected.end());
}

void QLNGraphicView::observeValueForKeyPath(const QString &keyPath, KeyValueObservable *object,
                                            const KeyValueChange &change, const void *context) {
  if (context == GraphicsContext || context == GraphicsBackContext || context == GraphicsTempContext) {
    // Objects that left the list: no longer followed, their area redrawn.
    const QLNGraphicList removed = graphicsIn(change.oldValue);
    if (!removed.isEmpty()) {
      stopObservingGraphics(removed);
      for (const QLNGraphicPtr &graphic : removed) {
        if (!graphic)
          continue;
        setNeedsDisplayInRect(graphic->drawingBounds());
        if (_Selected_Graphic.lock() == graphic)
          _Selected_Graphic.reset();
      }
    }
    if (change.newValue.isValid()) {
      const QLNGraphicList inserted = graphicsIn(change.newValue);
      startObservingGraphics(inserted);
      for (const QLNGraphicPtr &graphic : inserted)
        if (graphic)
          setNeedsDisplayInRect(graphic->drawingBounds());
      if (change.kind == KeyValueChangeKind::Setting) {
        QLNIndexSet all;
        for (int i = 0; i < inserted.size(); ++i)
          all.append(i);
        addUndoSelectionIndexes(all);
      } else if (change.kind == KeyValueChangeKind::Insertion) {
        addUndoSelectionIndexes(change.indexes);
      }
    }
    return;
  }

  if (context == IndividualGraphicContext) {
    auto *graphic = dynamic_cast<QLNGraphic *>(object);
    if (keyPath == QLNGraphicDrawingBoundsKey) {
      setNeedsDisplayInRect(change.oldValue.toRectF());
      setNeedsDisplayInRect(change.newValue.toRectF());
    } else if (keyPath == QLNGraphicDrawingContentsKey && graphic) {
      setNeedsDisplayInRect(graphic->drawingBounds());
    }
    if (_undoSelectionIndexes && graphic) {
      const QLNGraphicList list = graphics();
      for (int i = 0; i < list.size(); ++i)
        if (list.at(i).get() == graphic) {
          addUndoSelectionIndexes({i});
          break;
        }
    }
    return;
  }

  if (context == SelectionIndexesContext) {
    if (!change.oldValue.isValid() || !change.newValue.isValid()) {
      setNeedsDisplay();
      return;
    }
    const QLNIndexSet before = change.oldValue.value<QLNIndexSet>();
    const QLNIndexSet after = change.newValue.value<QLNIndexSet>();
    const QLNGraphicList list = graphics();
    auto redraw = [&](const QLNIndexSet &from, const QLNIndexSet &notIn) {
      for (int index : from)
        if (!notIn.contains(index) && index >= 0 && index < list.size() && list.at(index))
          setNeedsDisplayInRect(list.at(index)->drawingBounds());
    };
    redraw(before, after);
    redraw(after, before);
  }
}
