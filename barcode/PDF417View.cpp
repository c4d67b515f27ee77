#include "barcode/PDF417View.h"

#include "core/Utilities.h"
#include "mainwindow/QLNWindowController.h"
#include "platform/UiServices.h"

#include <QBuffer>
#include <QDateTime>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QImage>
#include <QImageWriter>
#include <QMetaProperty>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>

namespace {

const QString TiffType = QStringLiteral("image/tiff");

// Archive keys: the view's fields, and the frame as a view keeps it.
const QString ErrorLevelKey = QStringLiteral("errorLevel");
const QString DragTargetKey = QStringLiteral("isDragTarget");
const QString DragSourceKey = QStringLiteral("isDragSource");
const QString ImageStateKey = QStringLiteral("imageState");
const QString ImageKey = QStringLiteral("pdf417Image");
const QString FrameSizeKey = QStringLiteral("NSFrameSize");
const QString ColumnsKey = QStringLiteral("codeColumns");
const QString RowsKey = QStringLiteral("codeRows");
const QString ResolutionKey = QStringLiteral("resolution");

constexpr double DefaultResolution = 600.0;

// The picture as TIFF data whose resolution gives its size in points; empty when it
// cannot be written.
QByteArray tiffOf(const PointImage &image) {
  QImage picture = image.pixels;
  const double w = image.points.width();
  if (std::isfinite(w) && w > 0) {
    const int dpm = int(std::lround(picture.width() / w * Images::PointsPerInch / 0.0254));
    if (dpm > 0) {
      picture.setDotsPerMeterX(dpm);
      picture.setDotsPerMeterY(dpm);
    }
  }
  QByteArray tiff;
  QBuffer buffer(&tiff);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "tiff");
  writer.setCompression(1);  // LZW
  if (!writer.write(picture)) {
    Show_NSLog_Message(QStringLiteral("The barcode picture could not be written as TIFF: %1").arg(writer.errorString()));
    return QByteArray();
  }
  return tiff;
}

// The text of a text view ("plainText") or of a text field ("text"); nullopt for an
// object that has neither as a readable text.
std::optional<QString> textOf(const QObject *field) {
  if (!field)
    return std::nullopt;
  const QMetaObject *meta = field->metaObject();
  for (const char *name : {"plainText", "text"}) {
    const int index = meta->indexOfProperty(name);
    if (index < 0)
      continue;
    const QMetaProperty property = meta->property(index);
    if (property.isReadable() && property.metaType() == QMetaType::fromType<QString>())
      return property.read(field).toString();
  }
  return std::nullopt;
}

}  // namespace

const QString pdf417View::ArchiveClassName = QStringLiteral("pdf417View");

pdf417View::pdf417View(const QSizeF &frame, int errorLevel) : m_errorLevel(errorLevel), m_bounds(frame) {
  pdf417init(&p);
}

pdf417View::~pdf417View() { pdf417free(&p); }

void pdf417View::_eraseOldDrawing() {
  m_image = PointImage();
  pdf417free(&p);
}

void pdf417View::_drawEmptyString() { m_imageState = NothingToShow; }

void pdf417View::setErrorLevel(int level) {
  if (level == m_errorLevel)
    return;
  m_errorLevel = level;
  Show_NSLog_Message(QStringLiteral("ErrorLevel set to %1").arg(level));
}

int pdf417View::drawWithText(const QString &text) {
  if (text.isEmpty()) {
    _drawEmptyString();
    return m_imageState;
  }
  const QByteArray bytes = text.toUtf8();
  pdf417free(&p);
  pdf417init(&p);
  p.text = bytes.constData();
  p.lenText = int(std::min<qsizetype>(bytes.size(), PDF417_MAX_TEXT_BYTES + 1));
  p.options = PDF417_USE_ERROR_LEVEL | PDF417_INVERT_BITMAP | PDF417_UTF8_TEXT;
  p.errorLevel = m_errorLevel;
  p.aspectRatio = 1.0f;
  p.codeColumns = m_columns;
  p.codeRows = m_rows;
  if (m_columns > 0 && m_rows > 0)
    p.options |= PDF417_FIXED_RECTANGLE;
  else if (m_columns > 0)
    p.options |= PDF417_FIXED_COLUMNS;
  else if (m_rows > 0)
    p.options |= PDF417_FIXED_ROWS;
  paintCode(&p);
  p.text = "";
  p.lenText = -1;
  m_lastError = p.error;
  if (p.error != 0) {
    Show_NSLog_Message(QStringLiteral("Error encountered while drawing barcode, error %1.").arg(p.error));
    pdf417free(&p);
    m_imageState = EncodingFailed;
    return m_imageState;
  }
  // The bitmap is inverted: a set bit is a space, so bars come out black on white.
  QImage modules(p.bitColumns, p.codeRows, QImage::Format_ARGB32_Premultiplied);
  if (modules.isNull()) {
    m_imageState = EncodingFailed;
    return m_imageState;
  }
  const int bytesPerRow = p.lenBits / p.codeRows;
  for (int y = 0; y < p.codeRows; ++y) {
    const uint8_t *row = p.outBits + size_t(y) * size_t(bytesPerRow);
    auto *line = reinterpret_cast<QRgb *>(modules.scanLine(y));
    for (int x = 0; x < p.bitColumns; ++x)
      line[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
  }
  const PointImage image = QLNWindowController::Increase_DPI(PointImage{modules, m_bounds}, m_dpi);
  if (image.isNull()) {
    m_imageState = EncodingFailed;
    return m_imageState;
  }
  m_image = image;
  m_imageState = ImageReady;
  return m_imageState;
}

void pdf417View::drawRect(QPainter &painter) const {
  const QRectF bounds(QPointF(0, 0), m_bounds);
  if (m_imageState == ImageReady && !m_image.isNull()) {
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(bounds, m_image.pixels);
    painter.restore();
  } else if (m_imageState == NothingToShow) {
    painter.fillRect(bounds, Qt::lightGray);
  } else {
    painter.fillRect(bounds, Qt::white);
    painter.setPen(Qt::black);
    painter.drawText(bounds, Qt::TextWordWrap, QStringLiteral("There was a problem drawing the barcode."));
  }
  if (m_dragSessionInProgress) {
    // A frame one point wide inside the bounds.
    const double w = m_bounds.width(), h = m_bounds.height();
    const double side = std::min({1.0, w, h});
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.fillRect(QRectF(0, 0, w, side), Qt::red);
    painter.fillRect(QRectF(0, h - side, w, side), Qt::red);
    painter.fillRect(QRectF(0, 0, side, h), Qt::red);
    painter.fillRect(QRectF(w - side, 0, side, h), Qt::red);
    painter.restore();
  }
}

QByteArray pdf417View::makeEPS() const {
  if (!p.outBits || p.codeRows <= 0 || p.bitColumns <= 0)
    return QByteArray();
  const int X = p.bitColumns;
  const int Y = p.codeRows;
  const QDateTime now = QDateTime::currentDateTime();
  QByteArray eps;
  eps += "%!PS-Adobe-3.0 EPSF-3.0\n";
  eps += "%%BoundingBox: 0 0 " + QByteArray::number(m_bounds.width(), 'f', 0) + " " +
         QByteArray::number(m_bounds.height(), 'f', 0) + "\n";
  eps += "%%Title: pdf417View_EPS_image\n";
  eps += "%%Creator: pdf417View\n";
  eps += "%%CreationDate: " + now.toString(QStringLiteral("HH:mm:ss ")).toLatin1() +
         now.timeZoneAbbreviation().toLatin1() + "\n";
  eps += QByteArray::number(m_bounds.width(), 'f', 2) + " " + QByteArray::number(m_bounds.height(), 'f', 2) +
         " scale\n";
  eps += QByteArray::number(X) + " " + QByteArray::number(Y) + " 1 [" + QByteArray::number(X) + " 0 0 " +
         QByteArray::number(-Y) + " 0 " + QByteArray::number(Y) + "]{<\n";
  const int bytesPerRow = p.lenBits / Y;
  for (int y = 0; y < Y; ++y) {
    eps += '\n';
    eps += QByteArray(reinterpret_cast<const char *>(p.outBits) + size_t(y) * size_t(bytesPerRow), bytesPerRow)
               .toHex()
               .toUpper();
  }
  eps += "\n>}image\n";
  Show_NSLog_Message(QString::fromLatin1(eps));
  return eps;
}

// ---- Archive

QStringList pdf417View::archiveSuperclasses() const {
  return {QStringLiteral("NSView"), QStringLiteral("NSResponder")};
}

void pdf417View::encodeWithCoder(KeyedArchiver &coder) const {
  coder.encodeSize(FrameSizeKey, m_bounds);
  coder.encodeInt32(ErrorLevelKey, m_errorLevel);
  coder.encodeBool(DragTargetKey, m_isDragTarget);
  coder.encodeBool(DragSourceKey, m_isDragSource);
  coder.encodeInt32(ImageStateKey, m_imageState);
  coder.encodeImage(ImageKey, m_image.pixels, m_image.points);
  coder.encodeInt32(ColumnsKey, m_columns);
  coder.encodeInt32(RowsKey, m_rows);
  coder.encodeDouble(ResolutionKey, m_dpi);
}

std::unique_ptr<pdf417View> pdf417View::initWithCoder(KeyedUnarchiver &coder) {
  Show_NSLog_Message(QStringLiteral("unarchiving pdf417View"));
  const QSizeF frame = coder.decodeSize(FrameSizeKey);  // not finite: read as 0
  auto view = std::make_unique<pdf417View>(
      QSizeF(std::clamp(frame.width(), 0.0, KeyedArchiveLimits::maxImagePoints),
             std::clamp(frame.height(), 0.0, KeyedArchiveLimits::maxImagePoints)));
  pdf417View &v = *view;
  if (coder.containsValueForKey(ErrorLevelKey))
    v.m_errorLevel = std::clamp(coder.decodeInt32(ErrorLevelKey), 0, 8);
  v.m_isDragTarget = coder.decodeBool(DragTargetKey);
  v.m_isDragSource = coder.decodeBool(DragSourceKey);
  if (const std::optional<ArchivedImage> image = coder.decodeImage(ImageKey))
    v.m_image = PointImage{image->image, image->pointSize};
  const qint32 state = coder.decodeInt32(ImageStateKey);
  if (state == ImageReady)
    v.m_imageState = v.m_image.isNull() ? NothingToShow : ImageReady;
  else if (state == EncodingFailed)
    v.m_imageState = EncodingFailed;
  else
    v.m_imageState = NothingToShow;
  v.m_columns = std::clamp(coder.decodeInt32(ColumnsKey), 0, 30);
  v.m_rows = std::clamp(coder.decodeInt32(RowsKey), 0, 90);
  const double dpi = coder.decodeDouble(ResolutionKey);
  if (dpi > 0)  // missing, NaN or of another kind: 0
    v.m_dpi = dpi;
  else
    v.m_dpi = DefaultResolution;
  return view;
}

void pdf417View::registerArchiveClass(KeyedUnarchiver &coder) {
  coder.registerClass(ArchiveClassName, [](KeyedUnarchiver &c) -> std::unique_ptr<KeyedArchivable> {
    return initWithCoder(c);
  });
}

QByteArray pdf417View::archivedData(QString *error) const { return KeyedArchiver::archiveRootObject(*this, error); }

std::unique_ptr<pdf417View> pdf417View::fromArchivedData(const QByteArray &bytes, QString *error) {
  KeyedUnarchiver coder(bytes);
  registerArchiveClass(coder);
  std::unique_ptr<KeyedArchivable> root = coder.decodeRootObject();
  if (!root || coder.failed()) {
    if (error)
      *error = coder.error().isEmpty() ? QStringLiteral("The PDF417 view could not be read.") : coder.error();
    return nullptr;
  }
  auto *view = dynamic_cast<pdf417View *>(root.get());
  if (!view) {
    if (error)
      *error = QStringLiteral("The archive holds no PDF417 view.");
    return nullptr;
  }
  root.release();
  return std::unique_ptr<pdf417View>(view);
}

// ---- Drawing the text of the inString field

void pdf417View::draw(QObject *) {
  const std::optional<QString> text = textOf(m_inString);
  if (!text) {
    Show_NSLog_Message(QStringLiteral("ERROR! inString must respond to -(NSString*)string method"));
    return;
  }
  drawWithText(*text);
}

// ---- Dragging the picture out

void pdf417View::toggleTargetState() {
  m_isDragTarget = !m_isDragTarget;
  Show_NSLog_Message(QStringLiteral("TargetState set to %1").arg(int(m_isDragTarget)));
}

void pdf417View::toggleSourceState() {
  m_isDragSource = !m_isDragSource;
  Show_NSLog_Message(QStringLiteral("SourceState set to %1").arg(int(m_isDragSource)));
}

Qt::DropActions pdf417View::draggingSourceOperationMaskForLocal(bool) const {
  return m_isDragSource ? Qt::CopyAction : Qt::IgnoreAction;
}

bool pdf417View::mouseDown(QMouseEvent *event, QObject *source) {
  if (event && (event->modifiers() & Qt::AltModifier)) {
    event->ignore();
    return false;
  }
  if (event)
    event->accept();
  if (!m_isDragSource)
    return true;
  const PointImage image = _imageValue();
  if (image.isNull())
    return true;
  const QByteArray tiff = tiffOf(image);
  if (tiff.isEmpty())
    return true;
  auto *data = new QMimeData;
  data->setData(TiffType, tiff);
  auto *drag = new QDrag(source);
  drag->setMimeData(data);
  // The picture at the view's size, placed over the view as the press found it.
  QPixmap pixmap = QPixmap::fromImage(image.pixels);
  if (m_bounds.width() > 0 && !pixmap.isNull())
    pixmap.setDevicePixelRatio(pixmap.width() / m_bounds.width());
  drag->setPixmap(pixmap);
  if (event)
    drag->setHotSpot(event->position().toPoint());
  if (m_dragRunner)
    m_dragRunner(*drag);
  else
    drag->exec(draggingSourceOperationMaskForLocal(false), Qt::CopyAction);
  drag->deleteLater();
  return true;
}

// ---- Dropping and pasting a text

Qt::DropAction pdf417View::draggingEntered(QDragEnterEvent *event) {
  if (!event)
    return Qt::IgnoreAction;
  if (!m_isDragTarget || !_canTakeValueFromPasteboard(event->mimeData())) {
    event->ignore();
    return Qt::IgnoreAction;
  }
  m_dragSessionInProgress = true;
  if (!(event->possibleActions() & Qt::CopyAction)) {
    event->ignore();
    return Qt::IgnoreAction;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  return Qt::CopyAction;
}

void pdf417View::draggingExited(QDragLeaveEvent *) { m_dragSessionInProgress = false; }

bool pdf417View::performDragOperation(QDropEvent *event) {
  if (!event)
    return false;
  const bool taken = _takeValueFromPasteboard(event->mimeData(), QStringLiteral("drop"));
  if (taken) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  } else {
    event->ignore();
  }
  return taken;
}

void pdf417View::concludeDragOperation(QDropEvent *) { m_dragSessionInProgress = false; }

bool pdf417View::_canTakeValueFromPasteboard(const QMimeData *pasteboard) const {
  // Plain text only ("text/plain", with or without its character set): Qt also counts a
  // list of file addresses as text.
  if (!pasteboard)
    return false;
  const QStringList formats = pasteboard->formats();
  return std::any_of(formats.begin(), formats.end(), [](const QString &format) {
    return format == QLatin1String("text/plain") || format.startsWith(QLatin1String("text/plain;"));
  });
}

bool pdf417View::_takeValueFromPasteboard(const QMimeData *pasteboard, const QString &operationName) {
  if (!_canTakeValueFromPasteboard(pasteboard)) {
    UiServices::instance().alert(QStringLiteral("Paste"),
                                 QStringLiteral("Unable to perform %1 operation.").arg(operationName));
    return false;
  }
  return drawWithText(pasteboard->text()) != EncodingFailed;
}
