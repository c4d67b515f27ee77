#pragma once
// QLNGraphicView: the editing canvas of one card side. The main window keeps three, one
// per side (front, back, temp), each bound to its side's list of card objects in the
// document and to the side's selection (QLNSelection). The canvas does not own either.
//
// Drawing is in points: the widget is the card canvas size times the zoom factor, and
// the zoom is the painter's transform; y grows downwards, the origin is the top left.
// A redraw draws, within the dirty region:
//   1. the card base of the current side (Card_Base_Drawing of Main_App_wnd), always
//      fitted to the whole canvas, so that a partial redraw never draws the card's
//      outline or border around the dirty rectangle;
//   2. the grid;
//   3. the objects whose drawing bounds meet the region, from the last index to 0
//      (index 0 lies in front), each clipped to its drawing bounds; selected objects
//      get their handles (red when locked) unless handles are hidden or the object is
//      being created;
//   4. the marquee frame while there is one.
// An empty side also asks the property panel to show the card (Show_RHS_Properties with
// no object).
//
// Redraws are limited to what changed: the canvas observes its list (insertions and
// removals redraw the objects' areas), every object in it ("drawingBounds": the old and
// the new area; "drawingContents": the object's area), its selection (only the objects
// whose selected state changed) and the grid (everything).
//
// Card objects ask for a redraw of the canvas at the end of their own drawing. A redraw
// asked for while the canvas draws is folded into the drawing in progress, which draws
// the current state anyway; so a change costs one redraw, and a canvas on which nothing
// changes does no work and runs no timers. Requests from other threads are passed to the
// GUI thread, several of them as one.
//
// Objects are made by the factory createGraphicOfClass (QLNGraphicView_Factory.cpp).
//
// Main thread only, except setNeedsDisplay and setNeedsDisplayInRect, which any thread
// may call.

#include "canvas/QLNSelection.h"

#include "core/KeyValueObserving.h"
#include "core/QLNDocument.h"
#include "core/QLNGraphic.h"
#include "core/QLNGrid.h"

#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QRegion;

// Names of the bindings.
extern const QString QLNGraphicViewGraphicsBindingName;          // "graphics"
extern const QString QLNGraphicViewGraphicsBindingName_back;     // "graphics_back"
extern const QString QLNGraphicViewGraphicsBindingName_temp;     // "graphics_temp"
extern const QString QLNGraphicViewSelectionIndexesBindingName;  // "selectionIndexes"
extern const QString QLNGraphicViewGridBindingName;              // "grid"

class QLNGraphicView : public QWidget, private KeyValueObserver {
  Q_OBJECT
public:
  // initWithFrame: an unbound canvas of size 0 by 0 at zoom 1.
  explicit QLNGraphicView(QWidget *parent = nullptr);
  // Unbinds the list and the selection and lets go of the grid.
  ~QLNGraphicView() override;

  // ---- Bindings ---------------------------------------------------------------------
  // Binds the list `keyPath` of `container` (not owned): "graphics", "graphics_back" or
  // "graphics_temp" are observed; any other key is read (the document answers an empty
  // list) but not observed. A former list binding is replaced. Redraws everything.
  void bindGraphics(QLNDocument *container, const QString &keyPath);
  // Binds the selection (not owned), replacing a former one. Redraws everything.
  void bindSelectionIndexes(QLNSelection *container);
  // Ends a binding by name: any of the three list names ends the list binding,
  // "selectionIndexes" the selection binding, "grid" drops the grid. Redraws everything.
  void unbind(const QString &bindingName);
  void unbindGraphics() { unbind(QLNGraphicViewGraphicsBindingName); }
  bool isBoundToGraphics() const { return _graphicsContainer != nullptr; }
  QLNDocument *graphicsContainer() const { return _graphicsContainer; }
  QString graphicsKey() const { return _graphicsKeyPath; }
  QLNSelection *selectionIndexesContainer() const { return _selectionIndexesContainer; }

  // ---- The list and the selection ---------------------------------------------------
  // The bound list, or an empty list while unbound.
  QLNGraphicList graphics() const;

  // Changes to the bound list, made through the document so that the front list
  // records undo.
  class MutableGraphics {
  public:
    void insertObject(const QLNGraphicPtr &graphic, int index);
    void removeObjectsAtIndexes(const QLNIndexSet &indexes);

  private:
    friend class QLNGraphicView;
    MutableGraphics(QLNDocument *document, const QString &key) : m_document(document), m_key(key) {}
    QLNDocument *m_document;
    QString m_key;
  };
  // Throws std::logic_error "An QLNGraphicView's 'graphics' property is not bound to
  // anything." while the list is unbound.
  MutableGraphics mutableGraphics();

  // The bound selection, or an empty set while unbound.
  QLNIndexSet selectionIndexes() const;
  // Sets the selection, then enables the main window's Make_same_width_btn,
  // Make_same_height_btn and Make_natural_size_btn when two or more objects are
  // selected and disables all three otherwise. Throws std::logic_error "An
  // QLNGraphicView's 'selectionIndexes' property is not bound to anything." while
  // the selection is unbound.
  void changeSelectionIndexes(const QLNIndexSet &indexes);
  // The selected objects in list order.
  QLNGraphicList selectedGraphics() const;

  // Removes every object of the bound list (through mutableGraphics, so the front list
  // records the removal unless undo registration is off) and selects nothing. An
  // unbound canvas has no objects: nothing happens.
  void delete_all_control();

  // The object whose properties the panel shows: set by drawing (the selected object of
  // lowest index drawn with handles), by clicking and by creating. It never outlives its
  // place in the list: removing the object (delete, undo, a new project) or unbinding
  // the list clears it.
  QLNGraphicPtr Selected_Graphic() const;
  void setSelected_Graphic(const QLNGraphicPtr &graphic);

  // ---- Grid ---------------------------------------------------------------------------
  // The grid drawn under the objects and used for snapping (not owned; may be null).
  void setGrid(QLNGrid *grid);
  QLNGrid *grid() const { return _grid; }

  // ---- Size and zoom ------------------------------------------------------------------
  QSizeF canvasSize() const { return m_canvasSize; }
  // The card canvas in points; 0 by 0 hides the card. Values that are not finite or
  // below 0 count as 0.
  void setCanvasSize(const QSizeF &size);
  double zoomFactor() const { return m_zoomFactor; }
  // Screen pixels per point; values that are not finite or not above 0 are refused.
  void setZoomFactor(double factor);
  // The canvas in points: origin (0, 0) and the canvas size.
  QRectF bounds() const { return QRectF(QPointF(0, 0), m_canvasSize); }

  // ---- Redrawing ----------------------------------------------------------------------
  // Asks for a redraw of the whole canvas, or of `rect` (points). Folded into the
  // drawing in progress when asked for while the canvas draws. Any thread.
  void setNeedsDisplay();
  void setNeedsDisplayInRect(const QRectF &rect);
  // drawRect: draws the canvas for `dirty` (points) with `painter` set up in points.
  void drawRect(QPainter *painter, const QRectF &dirty);
  // How many times the canvas has painted itself, and whether it paints now.
  int paintCount() const { return m_paintCount; }
  bool isPainting() const { return m_painting > 0; }

  // ---- Drawing state ------------------------------------------------------------------
  // The marquee rectangle of a drag selection (points); the zero rectangle for none.
  QRectF marqueeSelectionBounds() const { return _marqueeSelectionBounds; }
  void setMarqueeSelectionBounds(const QRectF &rect);
  // While set, no handles are drawn (during a move, and for a moment after a nudge).
  bool isHidingHandles() const { return _isHidingHandles; }
  void setHidingHandles(bool hiding);
  // The object under construction by the factory, drawn as being created; none outside.
  QLNGraphicPtr creatingGraphic() const { return _creatingGraphic; }

  // ---- In-place editing -----------------------------------------------------------------
  // No kind of card object edits in place (text is edited in the property panel): the
  // object is asked for an editor and gives none, so both calls change nothing.
  void startEditingGraphic(const QLNGraphicPtr &graphic);
  void stopEditing();

  // ---- Object factory (QLNGraphicView_Factory.cpp) --------------------------------------
  // Makes one card object, inserts it at index 0 of the list, selects it alone and
  // records it in Selected_Graphic. `graphicClass` names the class made by the tools
  // that have no kind of their own ("QLNLine", "QLNText", "Shape_Control", "QLNImage",
  // "QLNBarcode", "QLNSignature", "QLNGraphic"); the current tool (CanvasServices) picks
  // the picture kinds and the shape code. The rectangle:
  //  - with `withEvent` (the pointer's position, points): that point, snapped to the
  //    grid, with size 0 by 0; then creationSizingDrag sizes the object;
  //  - else with `use_rect`: `bound_rect`, its origin replaced by Control_New_Point of
  //    `card_side` when `ctrl_ID` is empty;
  //  - else 50 by 50 points at Control_New_Point of `card_side`;
  //  without an event, a grid snaps both the origin and the far corner.
  // A text object made with a `ctrl_value` shows that text without fill and border; an
  // id containing "PARTY_" also sets its alignment and font. `ctrl_ID` goes to the
  // object's control_ID.
  // On the front list the whole creation is one undo step (within a step already open).
  // An object that ends up 0 by 0 is taken out of the list again and leaves no trace:
  // no undo step, no selection, no Selected_Graphic, whatever the side.
  void createGraphicOfClass(const QString &graphicClass, const std::optional<QPointF> &withEvent, bool use_rect,
                            const QRectF &bound_rect, const QString &card_side, const QString &ctrl_value,
                            const QString &ctrl_ID);
  // Updates the text or image object with the control id `ctrl_ID` (Selcect_Ctrl_With_ID):
  // with graphicClass "QLNText" and a non-empty value its text becomes the value (no fill,
  // no border) and it is made visible; with "QLNImage" its picture file becomes the
  // value when that file exists (otherwise the path is logged). Its place and size stay.
  // Without such an object, creates one with the factory (never with an event).
  // Selected_Graphic names the object afterwards.
  void ReplaceGraphicText(const QString &graphicClass, const std::optional<QPointF> &withEvent, bool use_rect,
                          const QRectF &bound_rect, const QString &card_side, const QString &ctrl_value,
                          const QString &ctrl_ID);
  // The first object from index 0 whose class is exactly QLNText or QLNImage and whose
  // control_ID is `ctrl_ID`; null when there is none.
  QLNGraphicPtr Selcect_Ctrl_With_ID(const QString &ctrl_ID) const;

  // The drag that sizes a new object made with an event: called with the object, the
  // handle that follows the pointer (creationSizingHandle) and the starting point, it
  // tracks the pointer until the button goes up, resizing the object by that handle.
  // The mouse handling of the canvas installs it; while it is empty a creation with an
  // event makes an object of size 0, which is discarded.
  using CreationSizingDrag = std::function<void(const QLNGraphicPtr &graphic, int handle, const QPointF &start)>;
  void setCreationSizingDrag(CreationSizingDrag drag) { m_creationSizingDrag = std::move(drag); }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

protected:
  void paintEvent(QPaintEvent *event) override;

  // The indexes touched by an undo or redo in progress; present only while one runs
  // (the undo and redo commands start and end the collection).
  std::optional<QLNIndexSet> _undoSelectionIndexes;

private:
  void observeValueForKeyPath(const QString &keyPath, KeyValueObservable *object,
                              const KeyValueChange &change, const void *context) override;
  void startObservingGraphics(const QLNGraphicList &graphics);
  void stopObservingGraphics(const QLNGraphicList &graphics);
  void unbindList();
  void unbindSelection();
  void applySize();
  // drawRect for `dirty`; with `pixelRegion` (widget pixels) objects outside it are skipped.
  void drawDirty(QPainter *painter, const QRectF &dirty, const QRegion *pixelRegion);
  QRect zoomedRect(const QRectF &rect) const;
  void addUndoSelectionIndexes(const QLNIndexSet &indexes);
  QRectF creationRect(const std::optional<QPointF> &withEvent, bool use_rect, const QRectF &bound_rect,
                      const QString &card_side, const QString &ctrl_ID) const;

  // Bindings.
  QPointer<QLNDocument> _graphicsContainer;
  QString _graphicsKeyPath;
  QPointer<QLNSelection> _selectionIndexesContainer;
  QString _selectionIndexesKeyPath;
  QPointer<QLNGrid> _grid;
  QLNGraphicList m_observed;

  // Canvas state.
  QLNGraphicPtr _creatingGraphic;
  std::weak_ptr<QLNGraphic> _Selected_Graphic;
  QRectF _marqueeSelectionBounds{0, 0, 0, 0};
  bool _isHidingHandles = false;

  CreationSizingDrag m_creationSizingDrag;
  QSizeF m_canvasSize{0.0, 0.0};
  double m_zoomFactor = 1.0;
  int m_painting = 0;
  int m_paintCount = 0;
  std::atomic<bool> m_crossThreadRequestPending{false};
};
