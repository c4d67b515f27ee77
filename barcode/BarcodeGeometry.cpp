#include "barcode/BarcodeGeometry.h"

#include "barcode/encoding/BRCBarcode.h"
#include "barcode/encoding/BRCPostalBarcodes.h"
#include "core/Utilities.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

float unitToPoints(double length, int unit) {
  switch (unit) {
  case 1:
    return float(length * 0.393701 * 72.0);
  case 2:
    return float(length * 0.393701 * 72.0 / 10.0);
  default:
    return float(length * 72.0);
  }
}

BarcodeMargins resolvedMargins(const BarcodeSettings &settings) {
  BarcodeMargins m;
  m.value_margin = settings.captionState == 1 ? 0.0f : unitToPoints(settings.valMargin, settings.unit);
  m.header_margin = settings.hideHeaderState == 1 ? 0.0f : unitToPoints(settings.hdrMargin, settings.unit);
  m.footer_margin = settings.hideFooterState == 1 ? 0.0f : unitToPoints(settings.ftrMargin, settings.unit);
  m.LR_margin = unitToPoints(settings.lrMargin, settings.unit);
  m.TB_margin = unitToPoints(settings.tbMargin, settings.unit);
  return m;
}

BarcodeDesignerSettings modelSettings(const BarcodeSettings &settings) {
  const BarcodeMargins m = resolvedMargins(settings);
  BarcodeDesignerSettings d;
  d.value_font = settings.value_font;
  d.header_font = settings.header_font;
  d.footer_font = settings.footer_font;
  d.value_margin = m.value_margin;
  d.header_margin = m.header_margin;
  d.footer_margin = m.footer_margin;
  d.TB_margin = m.TB_margin;
  return d;
}

float textLineHeightInches(const FontSpec &font) { return BRCBarcode::textLineHeight(font); }

float textWidthPoints(const FontSpec &font, const QString &text) { return BRCBarcode::textWidth(font, text); }

bool isFourStateBarcode(const BRCBarcode &barcode) {
  return dynamic_cast<const BRCRoyalMailBarcode *>(&barcode) || dynamic_cast<const JapanPostBarcode *>(&barcode);
}

float highestBarTop(const BRCBarcode &barcode) {
  const QString modules = barcode.completeBarcode();
  float top = 0.0f;
  for (int i = 0; i < modules.size(); ++i)
    if (modules.at(i) == QLatin1Char('1'))
      top = std::max(top, barcode.barTop(i));
  return top;
}

namespace {
// The texts, their margins and the top/bottom margins around bars of height `bars`.
float withTexts(const BRCBarcode &barcode, const BarcodeMargins &m, float bars) {
  float height = bars;
  if (barcode.printsCaption())
    height += barcode.captionHeight() * 72.0f + m.value_margin;
  if (barcode.printsHeader())
    height += barcode.headerHeight() * 72.0f + m.header_margin;
  if (barcode.printsFooter())
    height += barcode.footerHeight() * 72.0f + m.footer_margin;
  return height + 2.0f * m.TB_margin;
}
}  // namespace

void Set_Barcode_Height(const BarcodeSettings &settings, BRCBarcode &barcode) {
  const BarcodeMargins m = resolvedMargins(settings);
  const float bars = unitToPoints(settings.barHeight, settings.unit);
  if (dynamic_cast<JapanPostBarcode *>(&barcode)) {
    // The class holds its height within the symbol's limits: that is the bars' height.
    barcode.setHeight(bars);
    return;
  }
  if (dynamic_cast<BRCRoyalMailBarcode *>(&barcode)) {
    barcode.setHeight(withTexts(barcode, m, highestBarTop(barcode)));
    return;
  }
  barcode.setHeight(withTexts(barcode, m, bars));
}

float linearFrameHeight(const BarcodeSettings &settings, const BRCBarcode &barcode) {
  if (dynamic_cast<const JapanPostBarcode *>(&barcode))
    return withTexts(barcode, resolvedMargins(settings), highestBarTop(barcode));
  return barcode.height();
}

float Set_Linear_Barcode_Width(const BarcodeSettings &settings, const BRCBarcode &barcode) {
  const float w = barcode.width();
  const float hw = settings.hideHeaderState == 1 ? 0.0f : barcode.headerWidth();
  const float fw = settings.hideFooterState == 1 ? 0.0f : barcode.footerWidth();
  const float lr = unitToPoints(settings.lrMargin, settings.unit);
  float result = std::max({hw, fw, w}) + 2.0f * lr;
  if (lr > 0.0f)
    result += 15.0f;
  return result;
}

TwoDTexts twoDTexts(const BarcodeSettings &settings, const QString &value, const QString &header,
                    const QString &footer) {
  TwoDTexts t;
  t.content = value;
  t.header = header.isNull() ? QStringLiteral("") : header;
  t.footer = footer.isNull() ? QStringLiteral("") : footer;
  t.printsCaption = settings.printState() == 1;
  t.printsHeader = settings.hideHeaderState != 1;
  t.printsFooter = settings.hideFooterState != 1;
  t.caption_fontSize = float(settings.value_font.pointSize());
  t.captionHeight = textLineHeightInches(settings.value_font);
  t.header_fontSize = float(settings.header_font.pointSize());
  t.headerHeight = textLineHeightInches(settings.header_font);
  t.headerWidth = textWidthPoints(settings.header_font, t.header);
  t.footer_fontSize = float(settings.footer_font.pointSize());
  t.footerHeight = textLineHeightInches(settings.footer_font);
  t.footerWidth = textWidthPoints(settings.footer_font, t.footer);
  return t;
}

void Set_2d_Barcode_Height(const BarcodeSettings &settings, TwoDTexts &texts, const QSizeF &imageSize) {
  const BarcodeMargins m = resolvedMargins(settings);
  const float hh = settings.hideHeaderState == 1 ? 0.0f : texts.headerHeight * 72.0f;
  const float fh = settings.hideFooterState == 1 ? 0.0f : texts.footerHeight * 72.0f;
  texts.height = float(imageSize.height()) + hh + m.header_margin + fh + m.footer_margin + 2.0f * m.TB_margin;
}

void Set_2d_Barcode_Width(const BarcodeSettings &settings, TwoDTexts &texts, const QSizeF &imageSize) {
  const float hw = settings.hideHeaderState == 1 ? 0.0f : texts.headerWidth;
  const float fw = settings.hideFooterState == 1 ? 0.0f : texts.footerWidth;
  const float lr = unitToPoints(settings.lrMargin, settings.unit);
  texts.width = std::max({hw, fw, float(imageSize.width())}) + 2.0f * lr;
  if (lr > 0.0f)
    texts.width += 15.0f;
}

PointImage Resize_Image(const PointImage &image, const QSizeF &size) {
  const int w = int(std::ceil(size.width()));
  const int h = int(std::ceil(size.height()));
  if (image.isNull() || !std::isfinite(size.width()) || !std::isfinite(size.height()) || w < 1 || h < 1 ||
      qint64(w) * h > Images::MaxPixels) {
    Show_NSLog_Message(QStringLiteral("Invalid image"));
    return PointImage();
  }
  QImage bitmap(w, h, QImage::Format_ARGB32_Premultiplied);
  bitmap.fill(Qt::transparent);
  {
    QPainter painter(&bitmap);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPointF(0, 0), image.pixels);
  }
  return PointImage{bitmap, size};
}

bool Save_Barcode_image(const PointImage &image, const QString &file_path_val) {
  if (image.isNull() || image.points.width() <= 0) {
    Show_NSLog_Message(QStringLiteral("Invalid image"));
    return false;
  }
  QString error;
  const double dpi = 72.0 * double(image.pixels.width()) / image.points.width();
  if (!writePng(file_path_val, image.pixels, dpi, &error)) {
    Show_NSLog_Message(error);
    return false;
  }
  return true;
}
