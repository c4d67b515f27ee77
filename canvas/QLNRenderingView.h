#pragma once
// QLNRenderingView: the off-screen view that turns a list of card objects into a picture
// of a card side. It is never shown: each use makes one, draws through it and drops it.
// Its class operations are the one road by which the program turns a side into an
// image (image_From_Card_Graphics), one-page PDF data (pdfDataWithGraphics_data) or
// TIFF data of objects (tiffDataWithGraphics); the document prints through it too.
//
// A view draws a snapshot (canvas/RenderSide.h), never the live objects: copies of the
// objects it was given and the card base of the side named by Card_Front_Or_Back at
// the moment it was made, as the main window draws it (Card_Base_Drawing), recorded.
// The snapshot is taken on the GUI thread, which owns the live objects and the main
// window: a view made on another thread has the GUI thread take it and waits for it
// (MainThread::runAndWait; the GUI thread must be running its event loop then). Once
// made, a view draws on any thread, and views on different threads never touch the
// same object. Callers on worker threads that already hold a snapshot of their own
// (batch output, e-mail) render it with the functions of canvas/RenderSide.h and do not
// need the GUI thread at all.
//
// The frame is always the bounds of the front canvas, for the back side too: both sides
// share one canvas size. Without a front canvas the frame is empty and the class
// operations fail.
//
// Images are resolution-independent: image_From_Card_Graphics answers a CardPicture, a
// recording of the drawing at the canvas size in points, rasterised only when a caller
// asks for pixels (CardPicture::toImage at any dpi) and written to PDF or a printer as
// vectors. print_box asks for the cached-bitmap branch of old toolkits instead: it is
// taken only when the toolkit version (MainWindowServices::toolkitVersion, the main
// window's Get_OS_Version) is below 1039, which no Qt the program runs on is; on this
// platform print_box gives the same picture as without it.
//
// Every class operation reports failure: a null picture or empty data, with the reason
// in the error argument and in the log. Callers check the result before they use it.

#include "canvas/RenderPicture.h"
#include "canvas/RenderSide.h"

#include "core/QLNGraphic.h"

#include <QByteArray>
#include <QRectF>
#include <QString>

#include <memory>

struct QLNError;
class QLNDocumentRenderer;
class QPainter;

class QLNRenderingView {
public:
  // initWithFrame:graphics:printJobTitle: a view of `frame` showing the card base of the
  // current side and copies of `graphics` (taken as described above).
  QLNRenderingView(const QRectF &frame, const QLNGraphicList &graphics, const QString &printJobTitle);
  // A view of a snapshot the caller made; any thread.
  QLNRenderingView(const QRectF &frame, CardSideSnapshot side, const QString &printJobTitle);
  ~QLNRenderingView();

  QRectF frame() const { return m_frame; }
  // The view's own coordinates: the origin and the frame's size.
  QRectF bounds() const { return QRectF(QPointF(0, 0), m_frame.size()); }
  // The objects the view draws (its copies), index 0 the front-most.
  const QLNGraphicList &graphics() const { return _side.graphics; }
  const CardSideSnapshot &side() const { return _side; }

  // Draws the side for `rect` (view coordinates, points) into `painter`: the card base,
  // then the objects whose print_object is 0 from the last index to 0 (Render::drawSide),
  // clipped to `rect`. An object that cannot be drawn ends the drawing there; its reason
  // is shown in the shared message box (Show_MessageBox) and returned.
  QString drawRect(QPainter *painter, const QRectF &rect);
  bool isFlipped() const { return true; }
  bool isOpaque() const { return true; }
  QString printJobTitle() const { return _printJobTitle; }

  // The view's drawing of `rect` recorded as a picture of rect's size.
  CardPicture pictureInsideRect(const QRectF &rect, QString *error = nullptr);
  // One PDF page of rect's size in points showing the view's drawing of `rect`. Empty,
  // with the reason in `error`, when it cannot be made.
  QByteArray dataWithPDFInsideRect(const QRectF &rect, QString *error = nullptr);
  // The cached-bitmap form of the view's drawing of its bounds: one pixel per point.
  CardPicture cachedBitmapOfBounds(QString *error = nullptr);

  // ---- Class operations ----------------------------------------------------------------
  // The image of the card base of the current side and the printable objects of
  // `graphics`, at the front canvas's size (see above for print_box). A null picture,
  // with the reason in `error` and in the log, when there is no canvas or the picture
  // cannot be made. A failure inside the drawing of an object is shown in the message
  // box; the picture then lacks that object and those drawn after it.
  [[nodiscard]] static CardPicture image_From_Card_Graphics(const QLNGraphicList &graphics, bool print_box,
                                                            QString *error = nullptr);
  // One PDF page of the front canvas's size with the card base of the current side and
  // the printable objects of `graphics`. Empty, with the reason in `error`, on failure.
  [[nodiscard]] static QByteArray pdfDataWithGraphics_data(const QLNGraphicList &graphics, QString *error = nullptr);
  // TIFF data of `graphics` alone (no card base, whatever their print flags), cropped to
  // the union of their drawing bounds at one pixel per point; for an empty list the
  // front canvas with nothing on it. Empty with the error of code 3 when that union is
  // empty; empty with an error of code 0 and the reason as its failure reason when the
  // data cannot be made.
  [[nodiscard]] static QByteArray tiffDataWithGraphics(const QLNGraphicList &graphics, QLNError *error);

  // A snapshot of the current side for `graphics`: the front canvas's size, the card
  // base of Card_Front_Or_Back as the main window draws it (recorded), and copies of
  // the objects. Taken on the GUI thread (see above); copies that cannot be made are
  // named in `error`.
  static CardSideSnapshot currentSideSnapshot(const QLNGraphicList &graphics, QString *error = nullptr);

  // The renderer the document uses for its PDF and TIFF data and its print operation.
  static std::shared_ptr<QLNDocumentRenderer> documentRenderer();

private:
  QRectF m_frame;
  CardSideSnapshot _side;
  QString _printJobTitle;
};
