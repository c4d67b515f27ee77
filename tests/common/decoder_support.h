#pragma once
// What the barcode tests need to check a symbol with the barcode readers installed by
// the test command (zbarimg, ZXingReader, dmtxread): plain bitmaps of module patterns,
// and a reader run on such a bitmap.

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

// The result of one reader run: whether the reader could be started, the texts it
// decoded (one per symbol found, in its order), ZXingReader's name of each symbol's
// format ("Code128", "EAN-13" ...; zbar's plain report does not say), ZXingReader's
// error correction level of each symbol that states one, and what it wrote on its
// error output.
struct DecodeResult {
  bool ran = false;
  QStringList texts;
  QStringList formats;
  QStringList ecLevels;
  QString error;
};

// A linear symbol as a bitmap: `modules` is a string of '1' (bar) and '0' (space); each
// module `moduleWidth` pixels wide, the bars `height` pixels high, with `quietModules`
// modules of white on either side and a white margin of 10 pixels above and below.
QImage linearSymbolImage(const QString &modules, int moduleWidth = 3, int height = 80, int quietModules = 12);

// Several linear symbols stacked in one bitmap, each as linearSymbolImage draws it,
// with `gap` white pixels between them, so one reader run checks them all.
QImage linearSymbolsImage(const QStringList &modules, int moduleWidth = 3, int height = 60, int quietModules = 12,
                          int gap = 40);

// A two-dimensional symbol as a bitmap: rows of dark (true) and light modules, each
// `moduleSize` pixels square, with `quietModules` light modules around it.
QImage matrixSymbolImage(const std::vector<std::vector<bool>> &rows, int moduleSize = 4, int quietModules = 4);

// zbarimg --raw on the image (every symbology zbar knows). The texts are decoded as
// UTF-8, one per line of the report, so a text holding a line break comes back in two.
DecodeResult decodeWithZbar(const QImage &image);
// ZXingReader, limited to `format` when given ("QRCode", "Code128", "EAN-13" ...). The
// texts are the reader's decoded texts, line breaks and control characters included.
// With `bytes` the raw bytes of all symbols, as the reader writes them one after the
// other, are returned as one Latin-1 text (one character per byte), so that byte
// content can be compared exactly.
DecodeResult decodeWithZXing(const QImage &image, const QString &format = QString(), bool bytes = false);
// dmtxread on the image; the texts as Latin-1 (one character per byte).
DecodeResult decodeWithDmtx(const QImage &image);
