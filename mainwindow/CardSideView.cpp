#include "mainwindow/CardSideView.h"

#include "mainwindow/QLNWindowController.h"

#include "core/QLNDocument.h"
#include "core/QLNGrid.h"
#include "core/Utilities.h"

#include <QMetaObject>
#include <QPaintEvent>
#include <QPainter>
#include <QThread>

#include <cmath>
#include <exception>

namespace {
// Observation contexts: the side's list and the drawing of its objects.
const char GraphicsContext[] = "org.amends.Amends.CardSideView.graphics";
const char IndividualGraphicContext[] = "org.amends.Amends.CardSideView.individualGraphic";
}  // namespace

CardSideView::CardSideView(QWidget *parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  applySize();
}

CardSideView::~CardSideView() { unbindGraphics(); }

void CardSideView::bindGraphics(QLNDocument *document, const QString &key) {
  unbindGraphics();
  if (!document)
    return;
  m_document = document;
  m_key = key;
  document->addObserver(this, key, GraphicsContext);
  startObservingGraphics(document->list(key));
  setNeedsDisplay();
}

void CardSideView::unbindGraphics() {
  stopObservingGraphics(m_observed);
  if (m_document)
    m_document->removeObserver(this, m_key, GraphicsContext);
  const bool wasBound = !m_key.isEmpty();
  m_document = nullptr;
  m_key.clear();
  if (wasBound)
    setNeedsDisplay();
}

QLNGraphicList CardSideView::graphics() const {
  return m_document ? m_document->list(m_key) : QLNGraphicList();
}

void CardSideView::setGrid(QLNGrid *grid) {
  if (m_grid == grid)
    return;
  if (m_grid)
    disconnect(m_grid, nullptr, this, nullptr);
  m_grid = grid;
  if (grid)
    connect(grid, &QLNGrid::anyChanged, this, [this] { setNeedsDisplay(); });
  setNeedsDisplay();
}

void CardSideView::setCanvasSize(const QSizeF &size) {
  const QSizeF sane(std::isfinite(size.width()) ? std::max(0.0, size.width()) : 0.0,
                    std::isfinite(size.height()) ? std::max(0.0, size.height()) : 0.0);
  m_canvasSize = sane;
  applySize();
}

void CardSideView::setZoomFactor(double factor) {
  if (!std::isfinite(factor) || factor <= 0.0)
    return;
  m_zoomFactor = factor;
  applySize();
}

void CardSideView::applySize() {
  const QSize pixels(int(std::ceil(m_canvasSize.width() * m_zoomFactor)),
                     int(std::ceil(m_canvasSize.height() * m_zoomFactor)));
  const QSize limited(std::min(pixels.width(), 20000), std::min(pixels.height(), 20000));
  setFixedSize(limited);
  updateGeometry();
  setNeedsDisplay();
}

QSize CardSideView::sizeHint() const {
  return QSize(int(std::ceil(m_canvasSize.width() * m_zoomFactor)), int(std::ceil(m_canvasSize.height() * m_zoomFactor)));
}

void CardSideView::setNeedsDisplay() {
  if (QThread::currentThread() != thread()) {
    QMetaObject::invokeMethod(this, [this] { setNeedsDisplay(); }, Qt::QueuedConnection);
    return;
  }
  // The objects ask for a redraw at the end of their own drawing: ignoring the requests
  // made while this view draws keeps it from drawing itself forever.
  if (m_painting)
    return;
  update();
}

void CardSideView::paintEvent(QPaintEvent *event) {
  if (m_canvasSize.isEmpty())
    return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.scale(m_zoomFactor, m_zoomFactor);
  const QRectF dirty = QRectF(event->rect()).adjusted(-1, -1, 1, 1);
  const QRectF dirtyPoints(dirty.topLeft() / m_zoomFactor, dirty.size() / m_zoomFactor);
  drawContents(&painter, dirtyPoints.intersected(bounds()));
}

void CardSideView::drawContents(QPainter *painter, const QRectF &dirty) {
  m_painting = true;
  ++m_paintCount;
  try {
    if (m_controller) {
      painter->save();
      m_controller->Card_Base_Drawing(painter, bounds());
      painter->restore();
    }
    if (m_grid) {
      painter->save();
      m_grid->drawRect(painter, dirty);
      painter->restore();
    }
    const QLNGraphicList list = graphics();
    for (qsizetype index = list.size() - 1; index >= 0; --index) {
      const QLNGraphicPtr &graphic = list.at(index);
      if (!graphic)
        continue;
      const QRectF drawingBounds = graphic->drawingBounds();
      if (!drawingBounds.intersects(dirty))
        continue;
      painter->save();
      painter->setClipRect(drawingBounds, Qt::IntersectClip);
      graphic->drawContentsInView(painter, false);
      painter->restore();
    }
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
  m_painting = false;
}

void CardSideView::observeValueForKeyPath(const QString &keyPath, KeyValueObservable *object,
                                          const KeyValueChange &change, const void *context) {
  if (context == GraphicsContext) {
    // The list changed: follow the objects that are in it now.
    stopObservingGraphics(m_observed);
    if (m_document)
      startObservingGraphics(m_document->list(m_key));
    setNeedsDisplay();
  } else if (context == IndividualGraphicContext) {
    setNeedsDisplay();
  }
}

void CardSideView::startObservingGraphics(const QLNGraphicList &graphics) {
  for (const QLNGraphicPtr &graphic : graphics) {
    if (!graphic)
      continue;
    graphic->addObserver(this, QLNGraphicDrawingBoundsKey, IndividualGraphicContext);
    graphic->addObserver(this, QLNGraphicDrawingContentsKey, IndividualGraphicContext);
    m_observed.append(graphic);
  }
}

void CardSideView::stopObservingGraphics(const QLNGraphicList &graphics) {
  const QLNGraphicList copy = graphics;
  for (const QLNGraphicPtr &graphic : copy) {
    if (!graphic)
      continue;
    graphic->removeObserver(this, QLNGraphicDrawingBoundsKey, IndividualGraphicContext);
    graphic->removeObserver(this, QLNGraphicDrawingContentsKey, IndividualGraphicContext);
  }
  if (&graphics == &m_observed || copy == m_observed)
    m_observed.clear();
  else
    for (const QLNGraphicPtr &graphic : copy)
      m_observed.removeOne(graphic);
}
