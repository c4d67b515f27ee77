#include "barcode/QREncoder.h"

#include "barcode/encoding/QRSymbolEncoder.h"
#include "core/Utilities.h"
#include "mainwindow/QLNWindowController.h"

#include <exception>
#include <memory>

QString DataMatrix::description() const {
  QString text;
  for (int64_t y = 0; y < _dimension; ++y) {
    for (int64_t x = 0; x < _dimension; ++x)
      text += QString::number(valueAt(x, y));
    text += QLatin1Char('\n');
  }
  return text;
}

int64_t QREncoder::capacity(int mode, int version, int level) {
  if (mode < 0 || mode > 3 || version < 1 || version > 40 || level < 0 || level > 3)
    return 0;
  const int group = version <= 9 ? 0 : version <= 26 ? 1 : 2;
  static const int countBits[4][3] = {{10, 12, 14}, {9, 11, 13}, {8, 16, 16}, {8, 10, 12}};
  const int64_t bits = int64_t(QRSymbolEncoder::DataCodeWords(version, level)) * 8 - 4 - countBits[mode][group];
  if (bits <= 0)
    return 0;
  switch (mode) {
  case 0: {  // three digits in 10 bits, a remainder of two in 7, of one in 4
    int64_t n = bits / 10 * 3;
    const int64_t rest = bits % 10;
    n += rest >= 7 ? 2 : rest >= 4 ? 1 : 0;
    return n;
  }
  case 1: {  // two characters in 11 bits, a last one in 6
    int64_t n = bits / 11 * 2;
    if (bits % 11 >= 6)
      ++n;
    return n;
  }
  case 2:
    return bits / 8;
  default:
    return bits / 13;
  }
}

std::optional<DataMatrix> QREncoder::encodeCStringWithECLevel(int level, int version, const QByteArray &bytes) {
  try {
    if (level < 0 || level > 3 || version < 0 || version > 40)
      return std::nullopt;
    auto encoder = std::make_unique<QRSymbolEncoder>();
    const int64_t length = bytes.size();
    const int mode = int(QRSymbolEncoder::Get_Encoding_Mode(bytes.constData(), length));
    // The automatic version may grow up to version 40: check against the largest.
    const int checkVersion = version == 0 ? 40 : version;
    if (length > capacity(mode, checkVersion, level))
      return std::nullopt;
    if (!encoder->EncodeData(level, version, true, -1, bytes.constData(), length))
      return DataMatrix(0);
    DataMatrix grid(encoder->m_nSymbleSize);
    for (int64_t x = 0; x < encoder->m_nSymbleSize; ++x)
      for (int64_t y = 0; y < encoder->m_nSymbleSize; ++y)
        grid.set(encoder->m_byModuleData[x][y] == 1 ? 1 : 0, x, y);
    return grid;
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
    return std::nullopt;
  }
}

std::optional<DataMatrix> QREncoder::encodeWithECLevel(int level, int version, const QString &text) {
  return encodeCStringWithECLevel(level, version, text.toUtf8());
}

PointImage QREncoder::renderDataMatrix(const DataMatrix &grid, int dimension, double dpi) {
  try {
    const int n = int(grid.dimension());
    if (n == 0)
      return PointImage();
    const int D = std::max(dimension, n);
    const int p = D / n;
    const int m = (D - p * n) / 2;
    QImage bitmap(D, D, QImage::Format_RGBA8888);
    bitmap.fill(QColor(255, 255, 255, 0));
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        const QRgb colour = grid.valueAt(x, y) != 0 ? qRgba(0, 0, 0, 255) : qRgba(255, 255, 255, 255);
        for (int dy = 0; dy < p; ++dy) {
          auto *line = reinterpret_cast<uchar *>(bitmap.scanLine(m + y * p + dy));
          for (int dx = 0; dx < p; ++dx) {
            uchar *pixel = line + size_t(m + x * p + dx) * 4;
            pixel[0] = uchar(qRed(colour));
            pixel[1] = uchar(qGreen(colour));
            pixel[2] = uchar(qBlue(colour));
            pixel[3] = uchar(qAlpha(colour));
          }
        }
      }
    return QLNWindowController::Increase_DPI(PointImage{bitmap, QSizeF(D, D)}, dpi);
  } catch (const std::exception &error) {
    Show_MessageBox(QString::fromUtf8(error.what()));
    return PointImage();
  }
}
