#include "barcode/PDF417View.h"

#include "core/Utilities.h"
#include "mainwindow/QLNWindowController.h"

#include <QDateTime>
#include <QImage>
#include <QPainter>
#include <QTimeZone>

#include <exception>

pdf417View::pdf417View(const QSizeF &frame) : m_bounds(frame) { pdf417init(&p); }

pdf417View::~pdf417View() { pdf417free(&p); }

void pdf417View::_eraseOldDrawing() {
  m_image = PointImage();
  pdf417free(&p);
}

int pdf417View::drawWithText(const QString &text) {
  if (text.isEmpty()) {
    m_imageState = NothingToShow;
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
  return eps;
}
