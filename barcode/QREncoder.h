#pragma once
// The QR Code front end of the designer: the capacity check, the encoder run, the module
// grid and its bitmap with a centred, transparent quiet zone at the designer's
// resolution. Class operations only, without state: any thread.

#include "platform/Images.h"

#include <QByteArray>
#include <QColor>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// A square grid of cells, row y and column x.
class DataMatrix {
public:
  explicit DataMatrix(int64_t dimension) : _dimension(dimension), _data(size_t(dimension * dimension), 0) {}
  void set(int8_t value, int64_t x, int64_t y) { _data[size_t(y * _dimension + x)] = value; }
  int8_t valueAt(int64_t x, int64_t y) const { return _data[size_t(y * _dimension + x)]; }
  int64_t dimension() const { return _dimension; }
  // Every row as its cells' decimal values side by side, each row followed by "\n".
  QString description() const;

private:
  int64_t _dimension = 0;
  std::vector<int8_t> _data;
};

class QREncoder {
public:
  // The largest number of characters a symbol of `version` (1-40) at `level` (0 L, 1 M,
  // 2 Q, 3 H) holds in `mode` (0 numeric, 1 alphanumeric, 2 8-bit byte, 3 Kanji); 0 for
  // arguments out of range.
  static int64_t capacity(int mode, int version, int level);

  // The grid of the symbol for `bytes` at `level`, `version` (0 automatic). Nothing when
  // the text is longer than the version holds (with the automatic version: than the
  // largest version holds at the level), or when the encoder fails.
  static std::optional<DataMatrix> encodeCStringWithECLevel(int level, int version, const QByteArray &bytes);
  // The same for a text, as its UTF-8 bytes.
  static std::optional<DataMatrix> encodeWithECLevel(int level, int version, const QString &text);

  // ---- Content encryption and colours (QREncoder_Crypto.cpp) ----------------------------
  // The text's UTF-8 bytes encrypted with AES-256 in CBC mode with PKCS#7 padding. The
  // key is the pass phrase's UTF-8 bytes followed by zero bytes up to 32. The result is
  // a random initialisation vector of 16 bytes followed by the cipher text, so the same
  // text encrypted twice gives different data. Nothing when the cipher fails. A pass
  // phrase longer than 32 bytes in UTF-8 throws std::invalid_argument
  // ("passphrase too long: <bytes>").
  static std::optional<QByteArray> AESEncryptString(const QString &text, const QString &withPassphrase);
  // The inverse: the text of data made by AESEncryptString with the same pass phrase.
  // Nothing for data of the wrong length, a wrong pass phrase (the padding does not
  // check out, or the result is not UTF-8) or a cipher failure. The pass phrase is
  // checked as above.
  static std::optional<QString> AESDecryptString(const QByteArray &data, const QString &withPassphrase);
  // The grid of the symbol holding the text encrypted with the pass phrase: every byte
  // of the encrypted data, zero bytes included. Nothing when the encryption fails or
  // throws (logged), or the data does not fit.
  static std::optional<DataMatrix> encodeWithECLevel_version_string_AESPassphrase(int level, int version,
                                                                                   const QString &string,
                                                                                   const QString &AESPassphrase);
  // The colour as 0xAARRGGBB, each component on 0-255.
  static uint32_t hexadecimalValueOfAnNSColor(const QColor &color);

  // The grid as a bitmap `dimension` pixels square (at least one pixel per module: a
  // smaller dimension is raised to the grid's size), dark modules opaque black, light
  // ones opaque white, the quiet zone around transparent; then brought to `dpi` dots per
  // inch at `dimension` points. Null for an empty grid.
  static PointImage renderDataMatrix(const DataMatrix &grid, int dimension, double dpi);
};
