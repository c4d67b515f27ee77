#include "canvas/QLNRenderingView.h"

#include "core/Globals.h"
#include "core/MainWindowServices.h"
#include "core/QLNDocument.h"
#include "core/QLNError.h"
#include "core/Utilities.h"

#include "platform/MainThread.h"
#include "platform/WholeFile.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <cmath>
#include <exception>

namespace {

// Runs `fn` on the GUI thread, directly when already there.
template <class Fn>
void onGuiThread(Fn &&fn) {
  if (MainThread::isMainThread())
    fn();
  else
    MainThread::runAndWait(std::forward<Fn>(fn));
}

// Snapshot of the current side at `size`; GUI thread only.
CardSideSnapshot snapshotHere(const QSizeF &size, const QLNGraphicList &graphics, QString *error) {
  CardSideSnapshot side;
  side.side = Card_Front_Or_Back.load();
  side.canvasSize = size;
  side.graphics = Render::copyGraphicsForRendering(graphics, error);
  if (size.width() > 0 && size.height() > 0 && std::isfinite(size.width()) && std::isfinite(size.height())) {
    CardPicture::Recorder recorder(size);
    {
      QPainter painter(recorder.device());
      painter.setRenderHint(QPainter::Antialiasing, true);
      painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
      mainWindowServices().Card_Base_Drawing(&painter, QRectF(QPointF(0, 0), size));
    }
    side.recordedBase = recorder.finish();
  }
  return side;
}

void logFailure(const QString &operation, const QString &reason) {
  Show_NSLog_Message(QStringLiteral("%1: %2").arg(operation, reason));
}

}  // namespace

// ---- The view ----------------------------------------------------------------------------------

QLNRenderingView::QLNRenderingView(const QRectF &frame, const QLNGraphicList &graphics,
                                   const QString &printJobTitle)
    : m_frame(frame), _printJobTitle(printJobTitle) {
  QString error;
  onGuiThread([&] { _side = snapshotHere(frame.size(), graphics, &error); });
  if (!error.isEmpty())
    logFailure(QStringLiteral("QLNRenderingView"), error);
}

QLNRenderingView::QLNRenderingView(const QRectF &frame, CardSideSnapshot side, const QString &printJobTitle)
    : m_frame(frame), _side(std::move(side)), _printJobTitle(printJobTitle) {}

QLNRenderingView::~QLNRenderingView() = default;

QString QLNRenderingView::drawRect(QPainter *painter, const QRectF &rect) {
  if (!painter || !painter->isActive())
    return QString();
  painter->save();
  painter->setClipRect(rect, Qt::IntersectClip);
  const QString failure = Render::drawSide(*painter, _side);
  painter->restore();
  if (!failure.isEmpty())
    Show_MessageBox(failure);
  return failure;
}

CardPicture QLNRenderingView::pictureInsideRect(const QRectF &rect, QString *error) {
  const QSizeF size = rect.size();
  if (!std::isfinite(size.width()) || !std::isfinite(size.height()) || size.width() <= 0 || size.height() <= 0) {
    if (error)
      *error = QStringLiteral("There is no card canvas to render.");
    return CardPicture();
  }
  CardPicture::Recorder recorder(size);
  {
    QPainter painter(recorder.device());
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.translate(-rect.x(), -rect.y());
    drawRect(&painter, rect);
  }
  return recorder.finish();
}

QByteArray QLNRenderingView::dataWithPDFInsideRect(const QRectF &rect, QString *error) {
  const CardPicture picture = pictureInsideRect(rect, error);
  if (picture.isNull())
    return QByteArray();
  return picture.pdfData(_printJobTitle, error);
}

CardPicture QLNRenderingView::cachedBitmapOfBounds(QString *error) {
  const CardPicture picture = pictureInsideRect(bounds(), error);
  if (picture.isNull())
    return CardPicture();
  const PointImage bitmap = picture.toImage(72.0, error);
  if (bitmap.isNull())
    return CardPicture();
  return CardPicture::fromBitmap(bitmap);
}

// ---- Class operations --------------------------------------------------------------------------

CardSideSnapshot QLNRenderingView::currentSideSnapshot(const QLNGraphicList &graphics, QString *error) {
  CardSideSnapshot side;
  onGuiThread([&] { side = snapshotHere(mainWindowServices().frontCanvasBounds().size(), graphics, error); });
  return side;
}

CardPicture QLNRenderingView::image_From_Card_Graphics(const QLNGraphicList &graphics, bool print_box,
                                                       QString *error) {
  const QString operation = QStringLiteral("image_From_Card_Graphics");
  QString reason;
  CardPicture picture;
  try {
    QRectF frame;
    int toolkitVersion = ResolutionIndependentToolkitVersion;
    CardSideSnapshot side;
    QString copyError;
    onGuiThread([&] {
      frame = mainWindowServices().frontCanvasBounds();
      if (print_box)
        toolkitVersion = mainWindowServices().toolkitVersion();
      side = snapshotHere(frame.size(), graphics, &copyError);
    });
    if (!copyError.isEmpty())
      logFailure(operation, copyError);
    QLNRenderingView view(frame, std::move(side), QString());
    if (print_box && toolkitVersion < ResolutionIndependentToolkitVersion)
      picture = view.cachedBitmapOfBounds(&reason);
    else
      picture = view.pictureInsideRect(view.bounds(), &reason);
  } catch (const std::exception &e) {
    picture = CardPicture();
    reason = QString::fromUtf8(e.what());
  } catch (...) {
    picture = CardPicture();
    reason = QStringLiteral("The card could not be rendered.");
  }
  if (picture.isNull()) {
    if (reason.isEmpty())
      reason = QStringLiteral("The card could not be rendered.");
    logFailure(operation, reason);
    if (error)
      *error = reason;
  }
  return picture;
}

QByteArray QLNRenderingView::pdfDataWithGraphics_data(const QLNGraphicList &graphics, QString *error) {
  QString reason;
  QByteArray data;
  try {
    QRectF frame;
    CardSideSnapshot side;
    QString copyError;
    onGuiThread([&] {
      frame = mainWindowServices().frontCanvasBounds();
      side = snapshotHere(frame.size(), graphics, &copyError);
    });
    if (!copyError.isEmpty())
      logFailure(QStringLiteral("pdfDataWithGraphics_data"), copyError);
    QLNRenderingView view(frame, std::move(side), QString());
    data = view.dataWithPDFInsideRect(view.bounds(), &reason);
  } catch (const std::exception &e) {
    data.clear();
    reason = QString::fromUtf8(e.what());
  }
  if (data.isEmpty()) {
    if (reason.isEmpty())
      reason = QStringLiteral("The PDF data could not be made.");
    logFailure(QStringLiteral("pdfDataWithGraphics_data"), reason);
    if (error)
      *error = reason;
  }
  return data;
}

QByteArray QLNRenderingView::tiffDataWithGraphics(const QLNGraphicList &graphics, QLNError *error) {
  QRectF rect;
  QLNGraphicList copies;
  QString copyError;
  onGuiThread([&] {
    rect = QLNGraphic::drawingBoundsOfGraphics(graphics);
    copies = Render::copyGraphicsForRendering(graphics, &copyError);
  });
  if (!copyError.isEmpty())
    logFailure(QStringLiteral("tiffDataWithGraphics"), copyError);
  if (!(rect.width() > 0) || !(rect.height() > 0)) {
    if (error)
      *error = QLNErrorWithCode(3);
    return QByteArray();
  }
  QString drawingError;
  QString reason;
  QByteArray data;
  try {
    data = Render::tiffDataOfObjects(copies, rect, &drawingError, &reason);
  } catch (const std::exception &e) {
    data.clear();
    reason = QString::fromUtf8(e.what());
  }
  if (!drawingError.isEmpty())
    logFailure(QStringLiteral("tiffDataWithGraphics"), drawingError);
  if (data.isEmpty()) {
    if (reason.isEmpty())
      reason = QStringLiteral("The TIFF data could not be made.");
    logFailure(QStringLiteral("tiffDataWithGraphics"), reason);
    if (error) {
      *error = QLNErrorWithCode(0);
      error->localizedFailureReason = reason;
    }
  }
  return data;
}

// ---- The document's renderer and print operation -----------------------------------------------

namespace {

class RenderingPrintOperation : public QLNPrintOperation {
public:
  explicit RenderingPrintOperation(std::unique_ptr<QLNRenderingView> view) : m_view(std::move(view)) {}

  QString jobTitle() const override { return m_view->printJobTitle(); }

  bool runOperation(QPrinter &printer, QString *error) override {
    const auto fail = [&](const QString &why) {
      if (error)
        *error = why;
      logFailure(QStringLiteral("print"), why);
      return false;
    };
    const QPageLayout layout(QPageSize(printInfo.paperSize, QPageSize::Point, QString(), QPageSize::FuzzyMatch),
                             printInfo.orientation == 1 ? QPageLayout::Landscape : QPageLayout::Portrait,
                             printInfo.margins, QPageLayout::Point);
    if (!layout.isValid())
      return fail(QStringLiteral("The page setup cannot be used for printing."));

    int copies = 1;
    if (printInfoDictionary.contains(QStringLiteral("copies"))) {
      bool ok = false;
      copies = printInfoDictionary.value(QStringLiteral("copies")).toInt(&ok);
      if (!ok || copies < 1 || copies > 999)
        return fail(QStringLiteral("The number of copies is not a whole number from 1 to 999."));
    }
    QString outputFile = printInfoDictionary.value(QStringLiteral("outputFileName")).toString();
    if (outputFile.isEmpty() && printer.outputFormat() == QPrinter::PdfFormat)
      outputFile = printer.outputFileName();

    if (!outputFile.isEmpty())
      return printToFile(outputFile, layout, copies, error);

    printer.setDocName(jobTitle());
    printer.setCopyCount(copies);
    if (!printer.setPageLayout(layout))
      return fail(QStringLiteral("The printer does not take the page setup."));
    QPainter painter;
    if (!painter.begin(&printer))
      return fail(QStringLiteral("The printer could not be started."));
    drawPage(painter, printer.resolution());
    if (!painter.end())
      return fail(QStringLiteral("The printer could not finish the page."));
    return true;
  }

private:
  // The view at its size in points at the top left of the printable area.
  void drawPage(QPainter &painter, int resolution) {
    painter.scale(resolution / 72.0, resolution / 72.0);
    m_view->drawRect(&painter, m_view->bounds());
  }

  // Printing to a PDF file: the file is written whole or not at all.
  bool printToFile(const QString &path, const QPageLayout &layout, int copies, QString *error) {
    const auto fail = [&](const QString &why) {
      if (error)
        *error = why;
      logFailure(QStringLiteral("print"), why);
      return false;
    };
    QString drawing;  // what went wrong in the drawing itself, before any write did
    QString reason;
    const bool written = WholeFiles::write(
        path,
        [&](QIODevice &device, QString *why) {
          QPdfWriter writer(&device);
          writer.setCreator(QStringLiteral("Amends"));
          writer.setTitle(jobTitle());
          writer.setResolution(72);
          if (!writer.setPageLayout(layout)) {
            drawing = *why = QStringLiteral("The page setup cannot be used for printing.");
            return false;
          }
          QPainter painter;
          if (!painter.begin(&writer))
            return false;
          for (int copy = 0; copy < copies; ++copy) {
            if (copy > 0)
              writer.newPage();
            painter.save();
            drawPage(painter, writer.resolution());
            painter.restore();
          }
          return painter.end();
        },
        &reason);
    if (!written)
      return fail(!drawing.isEmpty() && reason == drawing ? drawing
                                                          : QStringLiteral("%1 cannot be written: %2").arg(path, reason));
    return true;
  }

  std::unique_ptr<QLNRenderingView> m_view;
};

class RenderingDocumentRenderer : public QLNDocumentRenderer {
public:
  QByteArray pdfDataWithGraphics(const QLNGraphicList &graphics, QString *error) override {
    return QLNRenderingView::pdfDataWithGraphics_data(graphics, error);
  }
  QByteArray tiffDataWithGraphics(const QLNGraphicList &graphics, QLNError *error) override {
    return QLNRenderingView::tiffDataWithGraphics(graphics, error);
  }
  std::unique_ptr<QLNPrintOperation> printOperation(const QRectF &frame, const QLNGraphicList &graphics,
                                                   const QString &jobTitle) override {
    return std::make_unique<RenderingPrintOperation>(std::make_unique<QLNRenderingView>(frame, graphics, jobTitle));
  }
};

}  // namespace

std::shared_ptr<QLNDocumentRenderer> QLNRenderingView::documentRenderer() {
  static const std::shared_ptr<QLNDocumentRenderer> renderer = std::make_shared<RenderingDocumentRenderer>();
  return renderer;
}
