// Images with their size in points, PNG written with its resolution, and image files
// that must not be trusted.

#include "platform/Images.h"
#include "tests/common/TestSupport.h"
#include "tests/core/special_files.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>

namespace {

QImage sampleImage(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(QColor(20, 120, 220, 255));
  image.setPixelColor(0, 0, QColor(255, 0, 0, 128));
  return image;
}

QByteArray readFile(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// A PNG made by Python's zlib: `width` x `height` grey pixels, with a pHYs chunk only
// when `dotsPerMetre` is above 0; without `withPixels` the header is followed by only
// a scrap of pixel data.
QByteArray pythonPng(int width, int height, int dotsPerMetre, bool withPixels = true) {
  const QString script = QStringLiteral(R"(
import struct, sys, zlib
w, h, dpm, pixels = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]), sys.argv[4] == '1'
def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 0, 0, 0, 0))
if dpm > 0:
    png += chunk(b'pHYs', struct.pack('>IIB', dpm, dpm, 1))
if pixels:
    png += chunk(b'IDAT', zlib.compress(b''.join(b'\x00' + b'\x80' * w for _ in range(h))))
else:
    png += chunk(b'IDAT', zlib.compress(b'\x00' * 64))
png += chunk(b'IEND', b'')
sys.stdout.buffer.write(png)
)");
  return runPython(script, {QString::number(width), QString::number(height), QString::number(dotsPerMetre),
                            withPixels ? QStringLiteral("1") : QStringLiteral("0")});
}

}  // namespace

TEST(Images, PngIsWrittenWithItsResolutionWhateverTheExtension) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("card.jpg"));
  QString error;
  ASSERT_TRUE(writePng(path, sampleImage(300, 150), 150, &error)) << error.toStdString();

  const QByteArray bytes = readFile(path);
  EXPECT_TRUE(bytes.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8)));
  // Python reads the resolution chunk: 150 dpi is 5906 dots per metre.
  const QByteArray phys = runPython(QStringLiteral(R"(
import struct, sys
data = open(sys.argv[1], 'rb').read()
i = data.index(b'pHYs')
x, y, unit = struct.unpack('>IIB', data[i + 4:i + 13])
print(x, y, unit)
)"),
                                    {path});
  EXPECT_EQ(phys.trimmed(), "5906 5906 1");

  const PointImage loaded = PointImage::load(path, &error);
  ASSERT_FALSE(loaded.isNull()) << error.toStdString();
  EXPECT_EQ(loaded.pixels.size(), QSize(300, 150));
  // 5906 dots per metre are 150.0124 dpi: read as the whole 150 dpi it was written with.
  EXPECT_EQ(loaded.points, QSizeF(144, 72));
  EXPECT_EQ(statedDpi(loaded.pixels), 150.0);
  EXPECT_EQ(loaded.pixels.pixelColor(0, 0), QColor(255, 0, 0, 128));
  EXPECT_EQ(loaded.pixels.pixelColor(299, 149), QColor(20, 120, 220, 255));

  // The same bytes in memory; and the point size of the pixels as they are.
  EXPECT_EQ(pngData(sampleImage(300, 150), 150), bytes);
  EXPECT_EQ(PointImage::fromData(bytes).points, loaded.points);
  EXPECT_EQ(PointImage::fromPixels(loaded.pixels).points, loaded.points);
}

TEST(Images, AnOpaqueCardIsWrittenWithoutAlphaAndKeepsEveryPixel) {
  QTemporaryDir dir;
  QImage card(240, 160, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < card.height(); ++y)
    for (int x = 0; x < card.width(); ++x)
      card.setPixel(x, y, qRgb(x, y, (x * y) % 256));
  const QString opaque = dir.filePath(QStringLiteral("opaque.png"));
  ASSERT_TRUE(writePng(opaque, card, 300));
  QImage translucent = card.convertToFormat(QImage::Format_ARGB32);
  translucent.setPixel(5, 5, qRgba(0, 0, 0, 0));
  translucent.setPixel(6, 5, qRgba(200, 100, 50, 128));
  const QString clear = dir.filePath(QStringLiteral("clear.png"));
  ASSERT_TRUE(writePng(clear, translucent, 300));
  // A reader of our own in Python checks every chunk's CRC (browsers refuse a file with a
  // bad one), reads the colour type (2: RGB, 6: RGB with alpha) and the resolution, and
  // unfilters the pixels itself: the file is a plain PNG any reader takes.
  const QByteArray read = runPython(QStringLiteral(R"(
import hashlib, struct, sys, zlib
for path in sys.argv[1:]:
    data = open(path, 'rb').read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n'
    pos, idat, chunks = 8, b'', {}
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        assert struct.unpack('>I', data[pos + 8 + length:pos + 12 + length])[0] == zlib.crc32(kind + body), kind
        chunks[kind] = body
        if kind == b'IDAT':
            idat += body
        pos += 12 + length
    w, h, depth, colour = struct.unpack('>IIBB', chunks[b'IHDR'][:10])
    dpm = struct.unpack('>I', chunks[b'pHYs'][:4])[0]
    bpp = 3 if colour == 2 else 4
    raw, stride, rows, prev = zlib.decompress(idat), w * bpp, [], bytearray(w * bpp)
    for y in range(h):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b, c = prev[x], prev[x - bpp] if x >= bpp else 0
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            pred = [0, a, b, (a + b) // 2, a if pa <= pb and pa <= pc else (b if pb <= pc else c)][kind]
            line[x] = (line[x] + pred) & 255
        rows.append(bytes(line))
        prev = line
    print(colour, dpm, hashlib.sha1(b''.join(rows)).hexdigest())
)"),
                                    {opaque, clear});
  auto digest = [](const QImage &image) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int y = 0; y < image.height(); ++y)
      hash.addData(QByteArrayView(reinterpret_cast<const char *>(image.constScanLine(y)),
                                  image.width() * image.depth() / 8));
    return hash.result().toHex();
  };
  EXPECT_EQ(read, QByteArray("2 11811 ") + digest(card.convertToFormat(QImage::Format_RGB888)) + "\n6 11811 " +
                      digest(translucent.convertToFormat(QImage::Format_RGBA8888)) + "\n");
  const PointImage back = PointImage::load(opaque);
  ASSERT_FALSE(back.isNull());
  for (int y = 0; y < card.height(); ++y)
    for (int x = 0; x < card.width(); ++x)
      ASSERT_EQ(back.pixels.pixel(x, y), card.pixel(x, y)) << x << "," << y;
  EXPECT_EQ(back.points, QSizeF(57.6, 38.4));
  EXPECT_EQ(PointImage::load(clear).pixels.convertToFormat(QImage::Format_ARGB32).pixel(6, 5),
            qRgba(200, 100, 50, 128));
}

TEST(Images, AFileThatStatesNoResolutionIsSeventyTwoDotsPerInch) {
  QTemporaryDir dir;
  QString error;
  const QString bare = dir.filePath(QStringLiteral("bare.png"));
  writeFile(bare, pythonPng(40, 30, 0));
  const PointImage plain = PointImage::load(bare, &error);
  ASSERT_FALSE(plain.isNull()) << error.toStdString();
  EXPECT_EQ(plain.points, QSizeF(40, 30));

  // 96 dpi stated by the file is not Qt's "nothing stated".
  const QString screen = dir.filePath(QStringLiteral("screen.png"));
  writeFile(screen, pythonPng(40, 30, 3780));
  EXPECT_NEAR(PointImage::load(screen).points.width(), 30.0, 0.01);

  // JPEG: the JFIF density in dots per inch, and a JFIF header with none.
  QImage photo = sampleImage(600, 300);
  photo.setDotsPerMeterX(11811);  // 300 dpi
  photo.setDotsPerMeterY(11811);
  QByteArray jpeg;
  {
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImageWriter(&buffer, "jpeg").write(photo));
  }
  const PointImage printed = PointImage::fromData(jpeg, &error);
  ASSERT_FALSE(printed.isNull()) << error.toStdString();
  EXPECT_NEAR(printed.points.width(), 144.0, 0.1);
  EXPECT_NEAR(printed.points.height(), 72.0, 0.1);

  const qsizetype jfif = jpeg.indexOf(QByteArray("JFIF\0", 5));
  ASSERT_GT(jfif, 0);
  jpeg[jfif + 7] = 0;  // unit: aspect ratio only
  EXPECT_EQ(PointImage::fromData(jpeg).points, QSizeF(600, 300));
}

TEST(Images, HostileFilesAreRefusedWithAReason) {
  QTemporaryDir dir;
  QString error;

  // A header that announces 20000 x 20000 pixels is refused before any pixel is read.
  const QString huge = dir.filePath(QStringLiteral("huge.png"));
  writeFile(huge, pythonPng(20000, 20000, 0, false));
  EXPECT_TRUE(PointImage::load(huge, &error).isNull());
  EXPECT_EQ(error, QStringLiteral("The image \"%1\" is too large (20000 x 20000 pixels).").arg(huge));

  const QString cut = dir.filePath(QStringLiteral("cut.png"));
  writeFile(cut, pngData(sampleImage(50, 50), 72).left(60));
  error.clear();
  EXPECT_TRUE(PointImage::load(cut, &error).isNull());
  EXPECT_TRUE(error.startsWith(QStringLiteral("The image \"%1\" cannot be read").arg(cut))) << error.toStdString();

  error.clear();
  EXPECT_TRUE(PointImage::fromData("not an image", &error).isNull());
  EXPECT_TRUE(error.startsWith(QStringLiteral("The image data cannot be read"))) << error.toStdString();

  error.clear();
  EXPECT_TRUE(PointImage::load(dir.filePath(QStringLiteral("missing.png")), &error).isNull());
  EXPECT_TRUE(error.contains(QStringLiteral("missing.png"))) << error.toStdString();
}

TEST(Images, OnlyRegularFilesAreOpenedSoSpecialFilesNeverHang) {
  using namespace specialfiles;
  QTemporaryDir dir;
  const QString fifo = dir.filePath(QStringLiteral("photo.png"));
  ASSERT_TRUE(makeFifo(fifo));
  const QString folder = dir.filePath(QStringLiteral("folder.png"));
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString linkToFifo = dir.filePath(QStringLiteral("link.png"));
  ASSERT_TRUE(QFile::link(fifo, linkToFifo));

  struct Case {
    QString path;
    QString reason;
  };
  QList<Case> cases = {{fifo, QStringLiteral("it is a named pipe, not a file")},
                       {linkToFifo, QStringLiteral("it is a named pipe, not a file")},
                       {folder, QStringLiteral("it is a folder, not a file")}};
  if (haveDevZero())
    cases.append({QStringLiteral("/dev/zero"), QStringLiteral("it is a device, not a file")});

  for (const Case &c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    const auto loaded = withinDeadline(
        [path = c.path] {
          QString error;
          const PointImage image = PointImage::load(path, &error);
          return std::make_pair(image.isNull(), error);
        },
        {fifo});
    ASSERT_TRUE(loaded.has_value()) << "loading did not return";
    EXPECT_TRUE(loaded->first);
    EXPECT_EQ(loaded->second, QStringLiteral("The image \"%1\" cannot be opened: %2.").arg(c.path, c.reason));

    QFile file;
    const auto opened = withinDeadline([&] { return openRegularFile(file, c.path); }, {fifo});
    ASSERT_TRUE(opened.has_value());
    EXPECT_FALSE(*opened);
    EXPECT_FALSE(file.isOpen());
  }

  // A link to a regular picture is followed, and the file opened reads like any other.
  const QString real = dir.filePath(QStringLiteral("real.png"));
  ASSERT_TRUE(writePng(real, sampleImage(6, 4), 144));
  const QString linkToReal = dir.filePath(QStringLiteral("real-link.png"));
  ASSERT_TRUE(QFile::link(real, linkToReal));
  const PointImage image = PointImage::load(linkToReal);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.points, QSizeF(3, 2));
  QFile file;
  ASSERT_TRUE(openRegularFile(file, linkToReal));
  EXPECT_EQ(file.readAll(), readFile(real));
}

TEST(Images, AFailedWriteLeavesTheOldFileAlone) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Card_1.png"));
  writeFile(path, "the earlier card");
  QString error;
  EXPECT_FALSE(writePng(path, QImage(), 72, &error));
  EXPECT_EQ(error, QStringLiteral("\"%1\" cannot be written: There is no image to write.").arg(path));
  EXPECT_EQ(readFile(path), "the earlier card");

  EXPECT_FALSE(writePng(dir.filePath(QStringLiteral("no/such/folder/card.png")), sampleImage(2, 2), 72, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("no/such/folder/card.png"))) << error.toStdString();
}

namespace {

TEST(Images, PicturesAreReadByTheirContentsWhateverTheirNames) {
  // PNG and JPEG are recognised by their first bytes, every other format by Qt's own
  // detection; a name that says another format changes nothing.
  QTemporaryDir dir;
  const QImage picture = sampleImage(24, 16).convertToFormat(QImage::Format_RGB32);
  for (const char *format : {"png", "jpeg", "bmp", "ppm", "tiff"}) {
    SCOPED_TRACE(format);
    QByteArray bytes;
    {
      QBuffer buffer(&bytes);
      buffer.open(QIODevice::WriteOnly);
      ASSERT_TRUE(QImageWriter(&buffer, format).write(picture));
    }
    const QString path = dir.filePath(QStringLiteral("picture-%1.gif").arg(QLatin1String(format)));
    writeFile(path, bytes);
    QString error;
    const PointImage loaded = PointImage::load(path, &error);
    ASSERT_FALSE(loaded.isNull()) << error.toStdString();
    EXPECT_EQ(loaded.pixels.size(), QSize(24, 16));
    const QImage read = loaded.pixels.convertToFormat(QImage::Format_RGB32);
    if (QByteArray(format) == "jpeg") {
      // Lossy, but the colour of the field is kept.
      const QColor field = read.pixelColor(12, 8);
      EXPECT_NEAR(field.red(), 20, 8);
      EXPECT_NEAR(field.green(), 120, 8);
      EXPECT_NEAR(field.blue(), 220, 8);
    } else {
      EXPECT_EQ(read, picture);
    }
    EXPECT_EQ(PointImage::fromData(bytes).pixels.size(), QSize(24, 16));
  }
  // A file that starts like a PNG but is not one is refused with a reason.
  QString error;
  const QString fake = dir.filePath(QStringLiteral("fake.png"));
  writeFile(fake, QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(200, 'x'));
  EXPECT_TRUE(PointImage::load(fake, &error).isNull());
  EXPECT_TRUE(error.startsWith(QStringLiteral("The image \"%1\" cannot be read").arg(fake))) << error.toStdString();
}

}  // namespace
