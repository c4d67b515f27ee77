#pragma once
// CardSideView: a read-only view of one card side, in the canvas area of the main
// window until the editing canvas takes its place. It draws, at the canvas size times
// the zoom factor:
//   1. the card base of the current side (QLNWindowController::Card_Base_Drawing);
//   2. the grid, when it is visible;
//   3. the side's card objects from the last to the first, so that the first lies in
//      front, each clipped to its drawing bounds.
// It follows one of the document's lists ("graphics", "graphics_back" or
// "graphics_temp") by observing that key of the document, and redraws on every change
// of the list, of the grid and of the objects' drawing.
//
// Main thread only, except setNeedsDisplay, which any thread may call.

#include "core/KeyValueObserving.h"
#include "core/QLNDocument.h"
#include "core/QLNGraphic.h"
#include "core/QLNGrid.h"
#include "mainwindow/QLNWindowController.h"

#include <QPointer>
#include <QSizeF>
#include <QString>
#include <QWidget>

#include <atomic>

class CardSideView : public QWidget, private KeyValueObserver {
  Q_OBJECT
public:
  explicit CardSideView(QWidget *parent = nullptr);
  ~CardSideView() override;

  // The controller whose card base is drawn (not owned; may be null: no base).
  void setController(QLNWindowController *controller) { m_controller = controller; }

  // Follows the list `key` of `document` (not owned): the "graphics" binding of the
  // canvas. unbindGraphics stops following; the view then draws no objects.
  void bindGraphics(QLNDocument *document, const QString &key);
  void unbindGraphics();
  bool isBoundToGraphics() const { return m_document != nullptr; }
  QString graphicsKey() const { return m_key; }
  // The objects drawn: the bound list of the document, empty while unbound.
  QLNGraphicList graphics() const;

  // The grid drawn under the objects (not owned; may be null).
  void setGrid(QLNGrid *grid);
  QLNGrid *grid() const { return m_grid; }

  // The size of the card in points (the canvas frame size); 0 by 0 hides the card.
  QSizeF canvasSize() const { return m_canvasSize; }
  void setCanvasSize(const QSizeF &size);
  // Points to screen pixels (the zoom factor of the canvas area); 1.0 at start.
  double zoomFactor() const { return m_zoomFactor; }
  void setZoomFactor(double factor);
  // The view's bounds in points: origin (0, 0) and the canvas size.
  QRectF bounds() const { return QRectF(QPointF(0, 0), m_canvasSize); }

  // Asks for a full redraw. Callable from any thread (the request is passed to the GUI
  // thread) and from inside this view's own drawing, where it is ignored: every card
  // object asks for a redraw at the end of its drawing, and honouring that would draw
  // the view again and again.
  void setNeedsDisplay();
  // How many times the view has drawn itself (for tests and diagnostics).
  int paintCount() const { return m_paintCount; }
  bool isPainting() const { return m_painting; }

  // Draws the view's contents for `dirty` (in points) with `painter` already set up in
  // points: what paintEvent draws, also usable to draw the side into an image.
  void drawContents(QPainter *painter, const QRectF &dirty);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  void observeValueForKeyPath(const QString &keyPath, KeyValueObservable *object,
                              const KeyValueChange &change, const void *context) override;
  void startObservingGraphics(const QLNGraphicList &graphics);
  void stopObservingGraphics(const QLNGraphicList &graphics);
  void applySize();

  QPointer<QLNWindowController> m_controller;
  QPointer<QLNDocument> m_document;
  QString m_key;
  QLNGraphicList m_observed;
  QPointer<QLNGrid> m_grid;
  QSizeF m_canvasSize{0.0, 0.0};
  double m_zoomFactor = 1.0;
  bool m_painting = false;
  int m_paintCount = 0;
};
