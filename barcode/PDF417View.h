#pragma once
// pdf417View: turns a text into a PDF417 image of the view's own size. The symbol's
// modules are stretched over the frame (each module bounds width / modules points wide,
// each row bounds height / rows points high) and the picture is brought to the
// designer's resolution. The view also writes the symbol as EPS text, keeps its settings
// in a keyed archive, and can hand its picture out by dragging and take a text by a drop
// or a paste.
//
// A plain object without a window: the designer's preview and every batch card make
// their own, so worker threads draw PDF417 symbols at the same time. The drag and drop
// side takes Qt's events from the widget that shows the view; that widget repaints the
// view (drawRect) after each of them. Dragging starts switched off both ways
// (toggleTargetState, toggleSourceState switch it on); the drag and drop handlers and
// the paste run on the GUI thread.

#include "barcode/encoding/PDF417Encoder.h"
#include "platform/Images.h"
#include "platform/KeyedArchive.h"

#include <QByteArray>
#include <QPointer>
#include <QSizeF>
#include <QString>

#include <functional>
#include <memory>

class QDrag;
class QDragEnterEvent;
class QDragLeaveEvent;
class QDropEvent;
class QMimeData;
class QMouseEvent;
class QObject;
class QPainter;

class pdf417View : public KeyedArchivable {
public:
  // What the view holds.
  enum ImageState { ImageReady = 0, NothingToShow = 1, EncodingFailed = 2 };

  // initWithFrame: error level 2 (or `errorLevel`, not logged), nothing to show,
  // neither drag target nor drag source.
  explicit pdf417View(const QSizeF &frame = QSizeF(), int errorLevel = 2);
  ~pdf417View() override;
  pdf417View(const pdf417View &) = delete;
  pdf417View &operator=(const pdf417View &) = delete;

  // ---- Archive
  // The class name in archives, "pdf417View".
  static const QString ArchiveClassName;
  QString archiveClassName() const override { return ArchiveClassName; }
  QStringList archiveSuperclasses() const override;
  // Writes the error level, the two drag states, the image state and the image (nil when
  // there is none), with the frame size and the symbol's shape and resolution settings.
  void encodeWithCoder(KeyedArchiver &coder) const override;
  // A view read from an archive: logs "unarchiving pdf417View" and takes the archived
  // fields, the image included. A value that is missing or of another kind reads as the
  // new view's default (as the archive's reader gives it: 0 for a number of another
  // kind); values out of their range are brought into it, and an image state that names
  // an image the archive does not hold shows nothing.
  static std::unique_ptr<pdf417View> initWithCoder(KeyedUnarchiver &coder);
  // Allows the class in `coder` (made by initWithCoder).
  static void registerArchiveClass(KeyedUnarchiver &coder);
  // The view's archive, or empty with *error set.
  QByteArray archivedData(QString *error = nullptr) const;
  // The view in `bytes`, or null with *error set for a damaged archive or one whose root
  // is not a pdf417View.
  static std::unique_ptr<pdf417View> fromArchivedData(const QByteArray &bytes, QString *error = nullptr);

  // ---- Settings
  void setFrameSize(const QSizeF &size) { m_bounds = size; }
  QSizeF bounds() const { return m_bounds; }

  // The symbol's shape: 0 lets the encoder choose; columns 1-30 and rows 3-90 are kept
  // (both given: that rectangle, with more rows when the data need them).
  void setColumns(int columns) { m_columns = columns; }
  void setRows(int rows) { m_rows = rows; }
  int columns() const { return m_columns; }
  int rows() const { return m_rows; }
  // The resolution the image is brought to, in dots per inch.
  void setResolution(double dpi) { m_dpi = dpi; }
  double resolution() const { return m_dpi; }

  // Stores the level and logs "ErrorLevel set to <level>" when it differs from the
  // level held; the same level again changes and logs nothing.
  void setErrorLevel(int level);
  int getErrorLevel() const { return m_errorLevel; }

  // ---- Drawing
  // Encodes `text` (as UTF-8, marked so when it is not ASCII) into an image of the
  // bounds' size. Returns the new image state: NothingToShow for an empty text,
  // EncodingFailed when the encoder refuses it (the error is logged and the previous
  // image kept), ImageReady otherwise.
  int drawWithText(const QString &text);
  // The current image (the previous one after a failure; null when there was none).
  PointImage getImage() const { return m_image; }
  int imageState() const { return m_imageState; }
  // The encoder's result of the last encoding (0 success, 1 text too big ...).
  int lastError() const { return m_lastError; }
  // The encoder's block of the last encoding: shape, level, codewords and the bitmap,
  // which lives until the next encoding.
  const pdf417param &parameters() const { return p; }

  // Draws the state into `painter` over the bounds: the image; light grey when there is
  // nothing to show; white with "There was a problem drawing the barcode." after a
  // failure; then, while a text is dragged over the view, a red frame along the bounds.
  void drawRect(QPainter &painter) const;

  // The last symbol as EPS text: a one-bit image of the modules scaled to the bounds.
  // The text is also written to the log. Empty (and nothing logged) when no symbol has
  // been made.
  QByteArray makeEPS() const;

  // The text field whose text draw() encodes (not owned; forgotten when it goes).
  void setInString(QObject *field) { m_inString = field; }
  QObject *inString() const { return m_inString; }
  // Encodes the text of the inString field: its "plainText" property (a text view) or
  // else its "text" property (a text field). A field with neither, or none, logs
  // "ERROR! inString must respond to -(NSString*)string method" and changes nothing.
  void draw(QObject *sender = nullptr);

  // ---- Dragging the picture out
  // Flip the two states, logging "TargetState set to <0|1>" or "SourceState set to <0|1>".
  void toggleTargetState();
  void toggleSourceState();
  bool getTargetState() const { return m_isDragTarget; }
  bool getSourceState() const { return m_isDragSource; }

  // The window stays where it is when a press on the view starts a drag.
  bool shouldDelayWindowOrderingForEvent(const QMouseEvent *) const { return true; }
  // A press on the view, from the widget `source` that shows it. With Alt (the option
  // key) held the event is ignored and false returned, for the widget's own handling.
  // Otherwise the event is taken (true), and when the view is a drag source and holds
  // an image, that image is dragged out as TIFF data ("image/tiff", the picture's size
  // in points kept as its resolution), shown at the view's size over the view.
  bool mouseDown(QMouseEvent *event, QObject *source);
  // Copy when the view is a drag source, nothing otherwise.
  Qt::DropActions draggingSourceOperationMaskForLocal(bool isLocal) const;
  // Only copying is offered, so held keys do not change what a drag does.
  bool ignoreModifierKeysWhileDragging() const { return true; }
  // A copy of the current image.
  PointImage _imageValue() const { return m_image; }
  // Runs a prepared drag and returns what the drop did. The default runs Qt's drag loop
  // (QDrag::exec with the view's operations); tests put one in that looks at the drag
  // instead. An empty function restores the default.
  using DragRunner = std::function<Qt::DropAction(QDrag &)>;
  void setDragRunner(DragRunner runner) { m_dragRunner = std::move(runner); }

  // ---- Dropping and pasting a text
  // A drag comes over the view: refused (IgnoreAction, the event ignored) unless the
  // view is a drag target and the drag holds plain text; otherwise the red frame is
  // shown and the answer is copy when the drag offers it.
  Qt::DropAction draggingEntered(QDragEnterEvent *event);
  void draggingExited(QDragLeaveEvent *event);
  bool prepareForDragOperation(QDropEvent *) { return true; }
  // The drop: takes the drag's text with the operation name "drop".
  bool performDragOperation(QDropEvent *event);
  void concludeDragOperation(QDropEvent *event);
  // Whether the view is showing the red frame of a drag over it.
  bool dragSessionInProgress() const { return m_dragSessionInProgress; }

  // True when `pasteboard` holds plain text.
  bool _canTakeValueFromPasteboard(const QMimeData *pasteboard) const;
  // Draws the pasteboard's plain text (drawWithText) and answers true unless the
  // encoder refused it. Without plain text the alert "Paste" / "Unable to perform
  // <operationName> operation." is shown and the answer is false.
  bool _takeValueFromPasteboard(const QMimeData *pasteboard, const QString &operationName);

private:
  void _eraseOldDrawing();
  void _drawEmptyString();

  PointImage m_image;  // pdf417Image
  pdf417param p;
  bool m_dragSessionInProgress = false;
  int m_errorLevel = 2;
  bool m_isDragTarget = false;
  bool m_isDragSource = false;
  int m_imageState = NothingToShow;
  QPointer<QObject> m_inString;
  int m_lastError = 0;
  int m_columns = 0;
  int m_rows = 0;
  double m_dpi = 600.0;
  QSizeF m_bounds;
  DragRunner m_dragRunner;
};
