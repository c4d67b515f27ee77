// Draws "barcode_sample.png", the picture a new barcode object shows until the barcode
// designer gives it one of its own. It is the designer's own picture of the settings a
// new barcode object has, made as the designer makes it when it opens on such an object
// (and as OK hands it over): so a new object shows what the designer opens on, and
// opening the designer and pressing OK changes nothing the user sees.
//
// The file states the picture's own resolution on each axis (its pixels over its size
// in points), so that the program reads it back at the size the designer drew it.
// Make it again whenever the designer's drawing or a new object's barcode settings change.
//
// Usage: amends_make_barcode_sample <resources folder>

#include "barcode/Barcode_Gen.h"
#include "core/Globals.h"
#include "core/QLNBarcode.h"
#include "platform/Images.h"

#include <QApplication>
#include <QDir>
#include <QImageWriter>

#include <cmath>
#include <cstdio>

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
    return 2;
  }
  // The designer is a window: it is made, never shown.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  // What the designer does when it opens on a new object (Open_Wnd).
  QLNBarcode object;
  Barcode_Gen *designer = Barcode_Gen::sharedInstance();
  designer->Set_Barcode_Prop_To_Control(&object);
  designer->goButtonActionPerformed();
  const CardPicture picture = designer->previewImage();
  QString error;
  const PointImage image = picture.toImage(USED_DPI_VALUE, &error);
  if (image.isNull()) {
    std::fprintf(stderr, "the designer drew nothing: %s\n", qPrintable(error));
    return 1;
  }

  QImage pixels = image.pixels.convertToFormat(QImage::Format_ARGB32);
  const auto dotsPerMetre = [](int pixels, double points) {
    return int(std::lround(pixels / (points / Images::PointsPerInch * 0.0254)));
  };
  pixels.setDotsPerMeterX(dotsPerMetre(pixels.width(), image.points.width()));
  pixels.setDotsPerMeterY(dotsPerMetre(pixels.height(), image.points.height()));
  const QSizeF readBack = PointImage::fromPixels(pixels).points;
  std::printf("%d x %d pixels, %.4f x %.4f points (read back as %.4f x %.4f)\n", pixels.width(), pixels.height(),
              image.points.width(), image.points.height(), readBack.width(), readBack.height());
  if (std::abs(readBack.width() - image.points.width()) > 0.01 ||
      std::abs(readBack.height() - image.points.height()) > 0.01) {
    std::fprintf(stderr, "the file's resolution cannot give the picture's size\n");
    return 1;
  }

  const QString path = QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("barcode_sample.png"));
  QImageWriter writer(path, "png");
  if (!writer.write(pixels)) {
    std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
    return 1;
  }
  return 0;
}
