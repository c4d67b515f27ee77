#pragma once
// pdf417View: turns a text into a PDF417 image of the view's own size. The symbol's
// modules are stretched over the frame (each module bounds width / modules points wide,
// each row bounds height / rows points high) and the picture is brought to the
// designer's resolution. The view also writes the symbol as EPS text.
//
// A plain object without a window: the designer's preview and every batch card make
// their own, so worker threads draw PDF417 symbols at the same time.

#include "barcode/encoding/PDF417Encoder.h"
#include "platform/Images.h"

#include <QByteArray>
#include <QSizeF>
#include <QString>

class QPainter;

class pdf417View {
public:
  // What the view holds.
  enum ImageState { ImageReady = 0, NothingToShow = 1, EncodingFailed = 2 };

  // initWithFrame: error level 2, nothing to show.
  explicit pdf417View(const QSizeF &frame = QSizeF());
  ~pdf417View();
  pdf417View(const pdf417View &) = delete;
  pdf417View &operator=(const pdf417View &) = delete;

  void setFrameSize(const QSizeF &size) { m_bounds = size; }
  QSizeF bounds() const { return m_bounds; }

  // The symbol's shape: 0 lets the encoder choose; columns 1-30 and rows 3-90 are kept
  // (both given: that rectangle, with more rows when the data need them).
  void setColumns(int columns) { m_columns = columns; }
  void setRows(int rows) { m_rows = rows; }
  // The resolution the image is brought to, in dots per inch.
  void setResolution(double dpi) { m_dpi = dpi; }

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

  void setErrorLevel(int level) { m_errorLevel = level; }
  int getErrorLevel() const { return m_errorLevel; }

  // Draws the state into `painter` over the bounds: the image; light grey when there is
  // nothing to show; white with "There was a problem drawing the barcode." after a failure.
  void drawRect(QPainter &painter) const;

  // The last symbol as EPS text: a one-bit image of the modules scaled to the bounds.
  // Empty when no symbol has been made.
  QByteArray makeEPS() const;

private:
  void _eraseOldDrawing();

  PointImage m_image;  // pdf417Image
  pdf417param p;
  int m_errorLevel = 2;
  int m_imageState = NothingToShow;
  int m_lastError = 0;
  int m_columns = 0;
  int m_rows = 0;
  double m_dpi = 600.0;
  QSizeF m_bounds;
};
