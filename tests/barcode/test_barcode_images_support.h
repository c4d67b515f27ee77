#pragma once
// Helpers of the barcode image tests: settings for a symbology, images of values at a
// resolution on white, and several images stacked so one reader run checks them all.

#include "barcode/BarcodeProduction.h"
#include "barcode/BarcodeSettings.h"

#include <QImage>
#include <QList>
#include <QPainter>

inline BarcodeSettings settingsFor(const QString &symbology) {
  BarcodeSettings s;
  s.symbology = symbology;
  s.liner_or_2D_font = isTwoDimensionalSymbology(symbology) ? 1 : 0;
  s.value_font = FontSpec(QStringLiteral("DejaVu Sans"), 10.0);
  s.header_font = FontSpec(QStringLiteral("DejaVu Sans"), 10.0);
  s.footer_font = FontSpec(QStringLiteral("DejaVu Sans"), 10.0);
  return s;
}

// The picture rasterised at `dpi` on white, as RGB32.
inline QImage onWhite(const CardPicture &picture, double dpi) {
  const PointImage image = picture.toImage(dpi);
  QImage flat(image.pixels.size(), QImage::Format_RGB32);
  flat.fill(Qt::white);
  QPainter painter(&flat);
  painter.drawImage(0, 0, image.pixels);
  return flat;
}

inline QImage imageOf(const BarcodeSettings &settings, const QString &value, double dpi,
                      const QString &header = QStringLiteral("HEADER"), const QString &footer = QStringLiteral("FOOTER")) {
  const CardPicture picture = Get_Image_From_Val(settings, value, header, footer);
  return picture.isNull() ? QImage() : onWhite(picture, dpi);
}

// The images one below the other on white, `gap` pixels apart and around.
inline QImage stacked(const QList<QImage> &images, int gap = 40) {
  int width = 0;
  int height = gap;
  for (const QImage &image : images) {
    width = std::max(width, image.width());
    height += image.height() + gap;
  }
  QImage out(width + 2 * gap, height, QImage::Format_RGB32);
  out.fill(Qt::white);
  QPainter painter(&out);
  int y = gap;
  for (const QImage &image : images) {
    painter.drawImage(gap, y, image);
    y += image.height() + gap;
  }
  return out;
}
