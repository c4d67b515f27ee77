#pragma once
// Images with their size in points: the pixels and, beside them, how large the image
// is on a card (72 points per inch), taken from the file's resolution. A file that
// states no resolution is 72 dots per inch, so one pixel is one point.

#include <QImage>
#include <QSizeF>
#include <QString>

class QFile;
class QIODevice;
class QImageReader;

namespace Images {

// Larger images are refused when read: a hostile or broken file must not make the
// program allocate gigabytes. Images up to this size are read whatever their format's
// depth up to 16 bits a channel.
constexpr qint64 MaxPixels = 100'000'000;

constexpr double PointsPerInch = 72.0;

// Tells `reader` the format of the picture in `device` when its first bytes are those
// of a PNG or JPEG file, so that Qt reads it with its reader of that format straight
// away; otherwise Qt asks every image-format plugin whether it knows the picture,
// which loads all of them. Any other picture is left to Qt's own detection.
void setFormatFromSignature(QImageReader &reader, QIODevice &device);

}  // namespace Images

struct PointImage {
  QImage pixels;
  QSizeF points;

  bool isNull() const { return pixels.isNull(); }

  // The image with the size its own resolution (dots per metre) gives; an image
  // without a usable resolution counts as 72 dots per inch.
  static PointImage fromPixels(const QImage &pixels);

  // Reads an image file (any format Qt reads; the file's orientation applied). The
  // point size comes from the resolution the file states, 72 dots per inch when it
  // states none. Returns a null image with a message in `error` when the file cannot
  // be read, is not a regular file (see openRegularFile) or has more than
  // Images::MaxPixels pixels.
  static PointImage load(const QString &path, QString *error = nullptr);
  // The same for image data held in memory (from an archive or the clipboard).
  static PointImage fromData(const QByteArray &data, QString *error = nullptr);
};

// The resolution an image states, in dots per inch, or 0 when it states none that is
// usable (Qt's own default of 96 dpi counts as none).
double statedDpi(const QImage &image);

// Writes `image` as PNG to `path`, whatever the file name's extension, with `dpi`
// dots per inch recorded in the file (72 when `dpi` is not a positive number). The
// file is written whole or not at all; an existing file is replaced only on success.
// An opaque image is written without an alpha channel, at zlib's fast level.
bool writePng(const QString &path, const QImage &image, double dpi, QString *error = nullptr);

// The PNG bytes writePng would write.
QByteArray pngData(const QImage &image, double dpi);

// Opens `path` for reading when it is a regular file, links resolved, and answers true;
// anything else (a named pipe, a device, a socket, a folder, a missing file) answers
// false with the reason in `error` and leaves `file` closed. Paths that come from files
// and the clipboard are opened this way: opening a named pipe for reading waits for a
// writer for ever, and reading a device such as /dev/zero never ends. The file is
// looked at before it is opened and checked again once open, without waiting, so one
// swapped in between is refused as well.
bool openRegularFile(QFile &file, const QString &path, QString *error = nullptr);
