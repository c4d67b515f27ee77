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
// The mouse (QLNGraphicView_Mouse.cpp): a press with a creating tool makes an object at
// the press point and the drag that follows sizes it; otherwise a press selects (Shift
// toggles) and the drag that follows moves the selection, resizes the object by the
// handle pressed, or draws a marquee that selects what it touches. A double click on an
// unlocked barcode opens the barcode designer. Locked objects are selected but never
// moved or resized; invisible objects are hit but not acted on. A drag lasts from the
// press to the release of the left button, one mouse event at a time: the event loop
// runs on meanwhile. While a drag moves or resizes objects, their rulers (setRulers)
// echo the moving bounds.
//
// The keyboard (QLNGraphicView_Keys.cpp): the arrow keys nudge the selection by one
// point (its handles hidden until half a second after the last nudge), Backspace and
// Delete remove it unless it holds a locked object.
//
// Main thread only, except setNeedsDisplay and setNeedsDisplayInRect, which any thread
// may call.

#include "canvas/CanvasRuler.h"
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
#include <QTimer>
#include <QWidget>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMimeData;
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
  //    grid, with size 0 by 0; then a drag sizes the object (see CreationSizingDrag);
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

  // A creation with an event that comes from a press on the canvas is sized by the drag
  // that follows the press: the object is inserted at the press, the drag resizes it by
  // its creationSizingHandle, and the release ends the creation (an object still 0 by 0
  // is discarded then). A creation with an event from anywhere else is sized at once by
  // this hook, called with the object, that handle and the starting point; without the
  // hook such an object stays 0 by 0 and is discarded.
  using CreationSizingDrag = std::function<void(const QLNGraphicPtr &graphic, int handle, const QPointF &start)>;
  void setCreationSizingDrag(CreationSizingDrag drag) { m_creationSizingDrag = std::move(drag); }

  // ---- Mouse (QLNGraphicView_Mouse.cpp) ------------------------------------------------
  // The front-most object (from index 0 on) under `point` (points): a selected object
  // counts when one of its handles or its contents is under the point, any other object
  // when its contents are. Also gives, where asked, its index, whether it is selected
  // and the handle under the point (QLNGraphicNoHandle for none). Null when none.
  QLNGraphicPtr graphicUnderPoint(const QPointF &point, int *index = nullptr, bool *isSelected = nullptr,
                                  int *handle = nullptr) const;
  // The indexes, ascending, of the objects whose drawing bounds meet `rect`.
  QLNIndexSet indexesOfGraphicsIntersectingRect(const QRectF &rect) const;
  // True from a press that starts a drag (a move, a resize, a marquee, a creation, or
  // the drag after a Shift-click that deselected, which does nothing) to the release of
  // the left button.
  bool isTrackingMouse() const { return m_drag.kind != DragKind::None; }
  // The offset of the next paste from the copied objects: (10, 10) at first; every move
  // by the mouse adds its distance.
  QPointF pasteCascadeDelta() const { return _pasteCascadeDelta; }

  // ---- Rulers (QLNGraphicView_Mouse.cpp) ------------------------------------------------
  // The rulers above and left of the canvas (not owned; null for none). They are shown
  // and hidden together by showOrHideRulers.
  void setRulers(CanvasRuler *horizontal, CanvasRuler *vertical);
  CanvasRuler *horizontalRuler() const { return m_horizontalRuler; }
  CanvasRuler *verticalRuler() const { return m_verticalRuler; }
  // Both rulers exist and are not hidden.
  bool rulersVisible() const;
  // Hides the rulers when they show, shows them otherwise.
  void showOrHideRulers();
  // The ruler lines of a moving rectangle (points): its left edge, middle and right edge
  // on the horizontal ruler, its top edge, middle and bottom edge on the vertical one.
  // begin adds the six lines, continue moves them to a new rectangle, stop removes them.
  void beginEchoingMoveToRulers(const QRectF &rect);
  void continueEchoingMoveToRulers(const QRectF &rect);
  void stopEchoingMoveToRulers();
  // The rectangle echoed on the rulers; the zero rectangle when none.
  QRectF rulerEchoedBounds() const { return _rulerEchoedBounds; }

  // ---- Keyboard (QLNGraphicView_Keys.cpp) -------------------------------------------------
  // Nudges of the selection by one point: left (-1, 0), right (1, 0), up (0, -1), down (0, 1).
  void moveLeft();
  void moveRight();
  void moveUp();
  void moveDown();
  // With anything selected: hides the handles for a moment and moves the unlocked
  // selected objects by the offset (points), without grid snapping.
  void moveSelectedGraphicsByX(double x, double y);
  // Hides the handles until 0.5 seconds from now (a pending showing is put off).
  void hideHandlesMomentarily();
  // Shows the handles again (the end of the moment).
  void unhideHandlesForTimer();
  // Whether the handles are waiting to show again after a nudge.
  bool isHandleShowingTimerPending() const { return _handleShowingTimer.isActive(); }
  // delete: with a locked object in the selection shows "Selected control is locked."
  // and changes nothing; otherwise removes the selected objects (an undo step on the
  // front), refreshes the undo and redo buttons and shows the card in the panel.
  void delete_();
  void deleteBackward() { delete_(); }
  void deleteForward() { delete_(); }
  // At least one selected object is locked.
  bool There_Is_Any_Lock_Contrl() const;

  // ---- Edit and arrange commands (QLNGraphicView_Commands.cpp) -------------------------
  // They act on the selection in list order (the first selected object is the front-most
  // one) and change the list through mutableGraphics, so the front side records undo.
  // The sender is ignored.
  //
  // The clipboard: copy writes the private type QLNGraphicViewPasteboardType (the
  // objects), "application/pdf" (the card with the objects) and "image/tiff" (the
  // objects alone). Paste reads the private type; without it, a clipboard holding file
  // names pastes nothing, and one holding a picture pastes it as an image object.
  //
  // copy, cut: "Selected control is locked." when a selected object is locked. Copy
  // restarts the paste cascade (the next paste goes to a free place) and updates the
  // paste button; cut also removes the selection.
  void copy(QObject *sender = nullptr);
  void cut(QObject *sender = nullptr);
  // Inserts the clipboard's objects at indexes 0 to n-1 and selects them. Objects this
  // canvas copied, and foreign objects from their second paste on, go to free places
  // (the cascade of new objects); the first paste of foreign objects keeps their
  // places. Data that is damaged or not ours in the private type shows a message and
  // changes nothing.
  void paste(QObject *sender = nullptr);
  // The document's undo or redo; then the objects it inserted or changed are selected.
  void undo(QObject *sender = nullptr);
  void redo(QObject *sender = nullptr);
  // Alignment: to the first selected object when two or more are selected (it stays
  // where it is), to the canvas for one. Locked objects do not move.
  void alignformCenter(QObject *sender = nullptr);
  void alignLeftEdges(QObject *sender = nullptr);
  void alignRightEdges(QObject *sender = nullptr);
  void alignTopEdges(QObject *sender = nullptr);
  void alignBottomEdges(QObject *sender = nullptr);
  void alignHorizontalCenters(QObject *sender = nullptr);
  void alignVerticalCenters(QObject *sender = nullptr);
  // The bounds of each selected unlocked object snapped to the grid; nothing when there
  // is no grid or it cannot align (a spacing that is not a positive number).
  void alignWithGrid(QObject *sender = nullptr);
  // With two or more selected, the unlocked others take the first one's width (height).
  void makeSameWidth(QObject *sender = nullptr);
  void makeSameHeight(QObject *sender = nullptr);
  void makeNaturalSize(QObject *sender = nullptr);
  // The selection moved as a block to the front (indexes 0 to n-1) or the back of the
  // list, in its order, and selected; refused like copy for locked objects.
  void bringToFront(QObject *sender = nullptr);
  void sendToBack(QObject *sender = nullptr);
  // print_object of each selected unlocked object (0 printed, 1 left out).
  void print_contol_or_not(int value);
  void selectAll(QObject *sender = nullptr);
  void deselectAll(QObject *sender = nullptr);
  void Clear_Control_Selection();
  // Redraws the scroll view the canvas sits in.
  void Refresh_ScrollView(QObject *sender = nullptr);
  // The menu items the canvas validates, by the command they send.
  enum class MenuCommand {
    Undo, Redo, Cut, Copy, Paste, Delete, SelectAll, BringToFront, SendToBack,
    AlignLeft, AlignRight, AlignTop, AlignBottom, AlignHorizontalCenters, AlignVerticalCenters,
    MakeSameWidth, MakeSameHeight, MakeNaturalSize, AlignWithGrid, ShowOrHideRulers, Other
  };
  // Whether the item for `command` is enabled now; the ruler item (when given) is
  // retitled "Hide Ruler" or "Show Ruler".
  bool validateMenuItem(MenuCommand command, QAction *item = nullptr) const;
  // Hides every text and image object of the side that carries a profile field id.
  void Hide_all_Text_control_FUP_Control();
  // Places the picture of `clipboard` as an image object: centred on (x, y - height),
  // moved onto the card where it would reach past it, at index 0, selected alone. The
  // picture is first written as a PNG file of its own into the resource folder's
  // "PastedImage" folder, and the object keeps that file's path, so that it is drawn,
  // saved and opened again like every picture. False when the clipboard holds no
  // readable picture, and when its file cannot be written (the user is told why, and
  // no object is made).
  bool makeNewImageFromPasteboard(const QMimeData *clipboard, const QPointF &atPoint);
  // The clipboard's change count: it moves on every time anything (this program or
  // another) writes the clipboard.
  static qint64 pasteboardChangeCount();
  int pasteCascadeNumber() const { return _pasteCascadeNumber; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void hideEvent(QHideEvent *event) override;

  // The indexes touched by an undo or redo in progress; present only while one runs
  // (the undo and redo commands start and end the collection).
  std::optional<QLNIndexSet> _undoSelectionIndexes;

private:
  // The GUI thread's half of setNeedsDisplay() asked for from another thread.
  Q_INVOKABLE void redrawRequestedFromAnotherThread();
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

  // A creation between the insertion of its object and its end (QLNGraphicView_Factory.cpp).
  struct CreationInProgress {
    // Spelled out: a nested type with member initialisers is not default-constructible
    // for std::optional::emplace until the enclosing class is complete (clang).
    CreationInProgress() {}
    QPointer<QLNDocument> document;
    bool groupsUndo = false;  // the front list: the creation is one undo step
    bool recording = false;   // undo registration was on when it began
    QLNGraphicPtr graphic;
    bool inList = false;
  };
  // Ends the creation in progress: an object of size 0 by 0 leaves the list again
  // without a trace, any other is selected; undo is put back as it was.
  void finishCreation();

  // ---- Mouse tracking (QLNGraphicView_Mouse.cpp) ----
  enum class DragKind { None, Swallow, Move, Resize, Create, Marquee };
  struct Drag {
    DragKind kind = DragKind::None;
    QPointF lastPoint;          // points
    bool echo = false;          // the rulers echo the drag
    bool showsSelected = false;  // at the end the panel shows Selected_Graphic
    QPointer<QLNDocument> undoDocument;  // the undo group held open for the drag
    // Move
    QPointF pressPoint;
    QLNGraphicList graphics;
    QRectF startBounds;
    QPointF offset;
    bool moving = false;
    // Resize and creation
    QLNGraphicPtr graphic;
    int handle = 0;
    // Marquee
    QLNIndexSet startSelection;
  };
  QPointF pointOf(const QMouseEvent *event) const;
  // A left-button press or double click (`clickCount` 1 or 2); other buttons are ignored.
  void leftButtonDown(QMouseEvent *event, int clickCount);
  void mouseDown(const QPointF &point, Qt::KeyboardModifiers modifiers, int clickCount);
  void selectAndTrackMouseWithEvent(const QPointF &point, Qt::KeyboardModifiers modifiers);
  void moveSelectedGraphicsWithEvent(const QPointF &point);
  void resizeGraphic(const QLNGraphicPtr &graphic, int handle, const QPointF &point, DragKind kind);
  void marqueeSelectWithEvent(const QPointF &point, Qt::KeyboardModifiers modifiers);
  void trackDrag(const QPointF &point);
  // Ends the drag with its last event at `point`; `notify` false ends it without
  // telling the main window (teardown).
  void endDrag(const QPointF &point, bool notify = true);
  void autoscroll(const QPoint &pixel);
  void startDrag(DragKind kind, const QPointF &point);
  void openDragUndoGroup();
  // The end of every mouse-down: with no current object the panel shows the card.
  void endMouseDown();

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
  QTimer _handleShowingTimer;
  QRectF _rulerEchoedBounds{0, 0, 0, 0};
  QPointF _pasteCascadeDelta{10.0, 10.0};
  // The clipboard's change count when this canvas last copied or met foreign contents
  // (-1: never), and the number of pastes since.
  qint64 _pasteboardChangeCount = -1;
  int _pasteCascadeNumber = 0;
  QPointer<CanvasRuler> m_horizontalRuler;
  QPointer<CanvasRuler> m_verticalRuler;
  // The six ruler lines while echoing: three on each ruler, in ruler locations.
  std::array<std::optional<double>, 6> m_rulerLines;

  std::optional<CreationInProgress> m_creation;
  // Set while a press on the canvas asks the factory for an object: the drag that
  // follows sizes it.
  bool m_creatingFromPress = false;
  Drag m_drag;

  CreationSizingDrag m_creationSizingDrag;
  QSizeF m_canvasSize{0.0, 0.0};
  double m_zoomFactor = 1.0;
  int m_painting = 0;
  int m_paintCount = 0;
  std::atomic<bool> m_crossThreadRequestPending{false};
};
