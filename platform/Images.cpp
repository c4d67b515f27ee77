#include "platform/Images.h"

#include "platform/WholeFile.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <optional>

#include <png.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr double MetresPerInch = 0.0254;
constexpr double MinUsableDpi = 1.0;
constexpr double MaxUsableDpi = 100000.0;

void setError(QString *error, const QString &text) {
  if (error)
    *error = text;
}

bool usableDpi(double dpi) {
  return std::isfinite(dpi) && dpi >= MinUsableDpi && dpi <= MaxUsableDpi;
}

int dotsPerMetre(double dpi) {
  return int(std::lround(dpi / MetresPerInch));
}

// Dots per metre are whole numbers, so a whole number of dots per inch comes back
// slightly off (150 dpi is stored as 5906 dots per metre, 150.0124 dpi). A value that
// is the stored form of a whole dpi reads as that dpi.
double dpiFromDotsPerMetre(double dpm) {
  const double dpi = dpm * MetresPerInch;
  const double whole = std::round(dpi);
  return dotsPerMetre(whole) == std::lround(dpm) ? whole : dpi;
}

// The dots per metre Qt gives an image whose file states nothing.
int qtDefaultDotsPerMetre() {
  static const int dpm = QImage(1, 1, QImage::Format_ARGB32).dotsPerMeterX();
  return dpm;
}

// The resolution a file states, read from the file itself, since after reading
// Qt's default cannot be told from a stated 96 dpi. nullopt: a format this does
// not know (the image's own value is used); 0: the file states none.
struct StatedResolution {
  double x = 0;
  double y = 0;
};

std::optional<StatedResolution> pngResolution(QIODevice &device) {
  static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
  if (device.read(8) != signature)
    return std::nullopt;
  // pHYs must come before the first IDAT; skip the chunks in front of it.
  for (int chunks = 0; chunks < 10000; ++chunks) {
    const QByteArray header = device.read(8);
    if (header.size() != 8)
      break;
    const quint32 length = qFromBigEndian<quint32>(header.constData());
    const QByteArray type = header.mid(4, 4);
    if (type == "IDAT" || type == "IEND")
      break;
    if (type == "pHYs" && length == 9) {
      const QByteArray data = device.read(9);
      if (data.size() != 9 || data.at(8) != 1)  // unit 1: metre; 0: aspect ratio only
        break;
      const quint32 x = qFromBigEndian<quint32>(data.constData());
      const quint32 y = qFromBigEndian<quint32>(data.constData() + 4);
      return StatedResolution{dpiFromDotsPerMetre(x), dpiFromDotsPerMetre(y)};
    }
    if (!device.seek(device.pos() + qint64(length) + 4))
      break;
  }
  return StatedResolution{};
}

std::optional<StatedResolution> jpegResolution(QIODevice &device) {
  if (device.read(2) != QByteArray("\xff\xd8", 2))
    return std::nullopt;
  // The JFIF segment (APP0) holds the density; look through the segments before
  // the image data.
  for (int segments = 0; segments < 1000; ++segments) {
    const QByteArray marker = device.read(4);
    if (marker.size() != 4 || quint8(marker.at(0)) != 0xff)
      break;
    const quint8 code = quint8(marker.at(1));
    const quint16 length = qFromBigEndian<quint16>(marker.constData() + 2);
    if (code == 0xda || code == 0xd9 || length < 2)
      break;
    const QByteArray payload = device.read(length - 2);
    if (payload.size() != length - 2)
      break;
    if (code == 0xe0 && payload.size() >= 12 && payload.startsWith(QByteArray("JFIF\0", 5))) {
      const quint8 unit = quint8(payload.at(7));
      const double x = qFromBigEndian<quint16>(payload.constData() + 8);
      const double y = qFromBigEndian<quint16>(payload.constData() + 10);
      if (unit == 1)
        return StatedResolution{x, y};
      if (unit == 2)
        return StatedResolution{x * 2.54, y * 2.54};
      break;
    }
  }
  return StatedResolution{};
}

std::optional<StatedResolution> fileResolution(QIODevice &device) {
  const qint64 start = device.pos();
  std::optional<StatedResolution> found = pngResolution(device);
  if (!found && device.seek(start))
    found = jpegResolution(device);
  device.seek(start);
  return found;
}

PointImage readImage(QIODevice &device, const QString &what, QString *error) {
  const std::optional<StatedResolution> stated = fileResolution(device);

  QImageReader reader(&device);
  Images::setFormatFromSignature(reader, device);
  reader.setAutoTransform(true);
  // Qt refuses to decode images above its own memory limit (128 MB, a 34-megapixel
  // photo) with no more than "Unable to read image data". The size checks here are the
  // limit instead: Qt's is raised to hold Images::MaxPixels at 8 bytes a pixel (16-bit
  // formats), so that a large photo can be read and one beyond the limit is refused
  // with its size, before any pixel is allocated.
  reader.setAllocationLimit(int((Images::MaxPixels * 8 + (1 << 20) - 1) >> 20));
  const QSize announced = reader.size();
  if (announced.isValid() && qint64(announced.width()) * announced.height() > Images::MaxPixels) {
    setError(error, QStringLiteral("%1 is too large (%2 x %3 pixels).")
                        .arg(what).arg(announced.width()).arg(announced.height()));
    return {};
  }
  QImage pixels = reader.read();
  if (pixels.isNull()) {
    setError(error, QStringLiteral("%1 cannot be read: %2.").arg(what, reader.errorString()));
    return {};
  }
  if (qint64(pixels.width()) * pixels.height() > Images::MaxPixels) {
    setError(error, QStringLiteral("%1 is too large (%2 x %3 pixels).")
                        .arg(what).arg(pixels.width()).arg(pixels.height()));
    return {};
  }
  if (stated) {
    // The pixels carry the resolution in use from now on, stated or not.
    const double x = usableDpi(stated->x) ? stated->x : Images::PointsPerInch;
    const double y = usableDpi(stated->y) ? stated->y : Images::PointsPerInch;
    pixels.setDotsPerMeterX(dotsPerMetre(x));
    pixels.setDotsPerMeterY(dotsPerMetre(y));
    return PointImage{pixels, QSizeF(pixels.width() * Images::PointsPerInch / x,
                                     pixels.height() * Images::PointsPerInch / y)};
  }
  return PointImage::fromPixels(pixels);
}

}  // namespace

void Images::setFormatFromSignature(QImageReader &reader, QIODevice &device) {
  static const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);
  static const QByteArray jpegSignature("\xff\xd8\xff", 3);
  const QByteArray start = device.peek(8);
  const char *format = start.startsWith(pngSignature)    ? "png"
                       : start.startsWith(jpegSignature) ? "jpeg"
                                                         : nullptr;
  if (!format)
    return;
  reader.setFormat(format);
  reader.setAutoDetectImageFormat(false);
}

double statedDpi(const QImage &image) {
  const int dpm = image.dotsPerMeterX();
  if (dpm == qtDefaultDotsPerMetre())
    return 0;
  const double dpi = dpiFromDotsPerMetre(dpm);
  return usableDpi(dpi) ? dpi : 0;
}

PointImage PointImage::fromPixels(const QImage &pixels) {
  auto dpiOf = [](int dpm) {
    const double dpi = dpiFromDotsPerMetre(dpm);
    return dpm != qtDefaultDotsPerMetre() && usableDpi(dpi) ? dpi : Images::PointsPerInch;
  };
  const double x = dpiOf(pixels.dotsPerMeterX());
  const double y = dpiOf(pixels.dotsPerMeterY());
  return PointImage{pixels, QSizeF(pixels.width() * Images::PointsPerInch / x,
                                   pixels.height() * Images::PointsPerInch / y)};
}

PointImage PointImage::load(const QString &path, QString *error) {
  QFile file;
  QString why;
  if (!openRegularFile(file, path, &why)) {
    setError(error, QStringLiteral("The image \"%1\" cannot be opened: %2.").arg(path, why));
    return {};
  }
  return readImage(file, QStringLiteral("The image \"%1\"").arg(path), error);
}

PointImage PointImage::fromData(const QByteArray &data, QString *error) {
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  return readImage(buffer, QStringLiteral("The image data"), error);
}

namespace {

QString kindOf(mode_t mode) {
  if (S_ISDIR(mode))
    return QStringLiteral("it is a folder, not a file");
  if (S_ISFIFO(mode))
    return QStringLiteral("it is a named pipe, not a file");
  if (S_ISCHR(mode) || S_ISBLK(mode))
    return QStringLiteral("it is a device, not a file");
  if (S_ISSOCK(mode))
    return QStringLiteral("it is a socket, not a file");
  return QStringLiteral("it is not a regular file");
}

QString systemError(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

}  // namespace

bool openRegularFile(QFile &file, const QString &path, QString *error) {
  if (file.isOpen())
    file.close();
  if (path.isEmpty()) {
    setError(error, QStringLiteral("no file is named"));
    return false;
  }
  const QByteArray native = QFile::encodeName(path);
  if (native.contains('\0')) {
    setError(error, QStringLiteral("the name holds a NUL character"));
    return false;
  }
  // Looked at first, so that a device is never opened at all (opening some has effects).
  struct stat before {};
  if (::stat(native.constData(), &before) != 0) {
    setError(error, systemError(errno));
    return false;
  }
  if (!S_ISREG(before.st_mode)) {
    setError(error, kindOf(before.st_mode));
    return false;
  }
  // Opened without waiting (a pipe put in its place meanwhile would otherwise block
  // here), then checked again on what was actually opened.
  const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    setError(error, systemError(errno));
    return false;
  }
  struct stat opened {};
  if (::fstat(fd, &opened) != 0) {
    const QString reason = systemError(errno);
    ::close(fd);
    setError(error, reason);
    return false;
  }
  if (!S_ISREG(opened.st_mode)) {
    ::close(fd);
    setError(error, kindOf(opened.st_mode));
    return false;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0)
    ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    setError(error, file.errorString());
    return false;
  }
  return true;
}

namespace {

// Whether every pixel of `image` is opaque (an image without alpha always is).
bool isOpaque(const QImage &image) {
  if (!image.hasAlphaChannel())
    return true;
  const QImage argb = image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_ARGB32_Premultiplied
                          ? image
                          : image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < argb.height(); ++y) {
    const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
    for (int x = 0; x < argb.width(); ++x)
      if (qAlpha(line[x]) != 255)
        return false;
  }
  return true;
}

// ---- PNG writing through libpng ----------------------------------------------------------------

// Where libpng's output goes, and the reason it stopped, if it did.
struct PngSink {
  QIODevice *device = nullptr;
  char message[256] = {};
};

void pngWrite(png_structp png, png_bytep data, size_t length) {
  auto *sink = static_cast<PngSink *>(png_get_io_ptr(png));
  const qint64 wanted = qint64(length);
  if (sink->device->write(reinterpret_cast<const char *>(data), wanted) == wanted)
    return;
  qstrncpy(sink->message, sink->device->errorString().toUtf8().constData(), sizeof sink->message);
  // Nothing of this frame needs destroying when libpng jumps out of it (the reason's
  // temporary copy went with the statement above).
  png_error(png, sink->message);
}

void pngFlush(png_structp) {}

void pngFailed(png_structp png, png_const_charp message) {
  auto *sink = static_cast<PngSink *>(png_get_error_ptr(png));
  if (message != sink->message)
    qstrncpy(sink->message, message ? message : "", sizeof sink->message);
  png_longjmp(png, 1);
}

void pngWarned(png_structp, png_const_charp) {}

// The rows of an 8-bit RGB or RGBA picture into `sink`. Only plain data lives in this
// frame, which libpng leaves by longjmp on a failure.
bool encodePngRows(PngSink *sink, const uchar *bits, qsizetype bytesPerLine, int width, int height, bool alpha,
                   png_uint_32 dotsPerMetre) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, sink, pngFailed, pngWarned);
  if (!png)
    return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  png_set_write_fn(png, sink, pngWrite, pngFlush);
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_pHYs(png, info, dotsPerMetre, dotsPerMetre, PNG_RESOLUTION_METER);
  // One filter (each row less the row above) and zlib's fast level: a card at 300 dpi
  // in about a quarter of the time libpng's filter search at the default level takes,
  // for a file of about the same size.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
  png_set_compression_level(png, 1);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y)
    png_write_row(png, bits + y * bytesPerLine);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

// Pictures of 8-bit channels with nothing else to carry (no texts, no colour space) go
// through libpng directly; an opaque one without its alpha channel.
bool plainColourPicture(const QImage &image) {
  switch (image.format()) {
  case QImage::Format_RGB32:
  case QImage::Format_ARGB32:
  case QImage::Format_ARGB32_Premultiplied:
  case QImage::Format_RGBX8888:
  case QImage::Format_RGBA8888:
  case QImage::Format_RGBA8888_Premultiplied:
  case QImage::Format_RGB888:
    return image.textKeys().isEmpty() && !image.colorSpace().isValid();
  default:
    return false;
  }
}

bool writePngTo(QIODevice &device, const QImage &image, double dpi, QString *error) {
  if (image.isNull()) {
    setError(error, QStringLiteral("There is no image to write."));
    return false;
  }
  if (!usableDpi(dpi))
    dpi = Images::PointsPerInch;
  if (plainColourPicture(image)) {
    const bool alpha = image.hasAlphaChannel() && !isOpaque(image);
    const QImage rows = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    PngSink sink;
    sink.device = &device;
    if (rows.isNull() || !encodePngRows(&sink, rows.constBits(), rows.bytesPerLine(), rows.width(), rows.height(),
                                        alpha, png_uint_32(dotsPerMetre(dpi)))) {
      setError(error, sink.message[0] ? QString::fromUtf8(sink.message)
                                      : QStringLiteral("There is not enough memory to write the image."));
      return false;
    }
    return true;
  }
  QImage copy = image;
  copy.setDotsPerMeterX(dotsPerMetre(dpi));
  copy.setDotsPerMeterY(dotsPerMetre(dpi));
  QImageWriter writer(&device, "png");
  writer.setQuality(80);  // Qt's PNG writer turns this into zlib level 1
  if (!writer.write(copy)) {
    setError(error, writer.errorString());
    return false;
  }
  return true;
}

}  // namespace

bool writePng(const QString &path, const QImage &image, double dpi, QString *error) {
  QString why;
  if (!WholeFiles::write(
          path,
          [&](QIODevice &device, QString *reason) { return writePngTo(device, image, dpi, reason); },
          &why)) {
    setError(error, QStringLiteral("\"%1\" cannot be written: %2").arg(path, why));
    return false;
  }
  return true;
}

QByteArray pngData(const QImage &image, double dpi) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  return writePngTo(buffer, image, dpi, nullptr) ? buffer.data() : QByteArray();
}
