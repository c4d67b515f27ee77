#include "barcode/BRCBarcodeOffscreenView.h"

#include "barcode/encoding/BRCBarcode.h"
#include "core/Utilities.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <exception>

namespace {

// The font of a text run, without the font's own pair kerning.
QFont plainFont(const FontSpec &fontSpec) {
  QFont font = fontSpec.toQFont();
  font.setKerning(false);
  return font;
}

// The characters of a text one by one (a surrogate pair stays together).
QStringList characters(const QString &text) {
  QStringList out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      out << text.mid(i, 2);
      ++i;
    } else {
      out << text.mid(i, 1);
    }
  }
  return out;
}

// Draws one line of `text` in `rect` (top-aligned, horizontally by `align`) with `kern`
// points after every character. The characters are placed one by one, so the spacing
// reaches every paint device, recorded pictures included.
void drawKerned(QPainter &painter, const QRectF &rect, Qt::Alignment align, const QString &text,
                const FontSpec &fontSpec, double kern) {
  const QFont font = plainFont(fontSpec);
  const QFontMetricsF metrics(font);
  const QStringList chars = characters(text);
  double width = 0.0;
  for (const QString &c : chars)
    width += metrics.horizontalAdvance(c) + kern;
  double x = rect.left();
  if (align & Qt::AlignHCenter)
    x = rect.left() + (rect.width() - width) / 2.0;
  else if (align & Qt::AlignRight)
    x = rect.right() - width;
  const double baseline = rect.top() + metrics.ascent();
  painter.setFont(font);
  for (const QString &c : chars) {
    painter.drawText(QPointF(x, baseline), c);
    x += metrics.horizontalAdvance(c) + kern;
  }
}

QSizeF measure(const FontSpec &fontSpec, const QString &text) {
  const QFontMetricsF metrics(plainFont(fontSpec));
  return QSizeF(metrics.horizontalAdvance(text), metrics.height());
}

bool present(const QString &text) { return !text.isEmpty(); }

Qt::Alignment alignmentFor(const QString &name) {
  if (name == QLatin1String("Center"))
    return Qt::AlignHCenter;
  if (name == QLatin1String("Left"))
    return Qt::AlignLeft;
  if (name == QLatin1String("Right"))
    return Qt::AlignRight;
  return Qt::AlignLeft;  // the default paragraph alignment: natural, left to right
}

}  // namespace

BRCBarcodeOffscreenView BRCBarcodeOffscreenView::initWithBarcode(const BRCBarcode &barcode,
                                                                 const BarcodeSettings &settings) {
  BRCBarcodeOffscreenView view;
  view.m_fromImageOrBarcode = false;
  view.m_settings = settings;
  view.m_margins = resolvedMargins(settings);
  const float hw = barcode.printsHeader() ? barcode.headerWidth() : 0.0f;
  const float fw = barcode.printsFooter() ? barcode.footerWidth() : 0.0f;
  view.m_bounds = QRectF(0, 0, std::max({hw, fw, barcode.width()}), linearFrameHeight(settings, barcode));
  view.setBarcode(&barcode);
  return view;
}

BRCBarcodeOffscreenView BRCBarcodeOffscreenView::initWithBarcodeImage(const PointImage &image,
                                                                      const BarcodeSettings &settings,
                                                                      const TwoDTexts &texts) {
  BRCBarcodeOffscreenView view;
  view.m_fromImageOrBarcode = true;
  view.m_settings = settings;
  view.m_margins = resolvedMargins(settings);
  view.m_texts = texts;
  view.m_bounds = QRectF(0, 0, texts.width, texts.height);
  view.setBarcode_Image_2D(image);
  return view;
}

void BRCBarcodeOffscreenView::drawRect(QPainter &painter) const {
  painter.save();
  painter.setPen(Qt::NoPen);
  if (m_fromImageOrBarcode)
    drawImageMode(painter);
  else if (m_barcode)
    drawBarcodeMode(painter);
  painter.restore();
}

// ---- Barcode mode

void BRCBarcodeOffscreenView::drawBarcodeMode(QPainter &painter) const {
  const BRCBarcode &barcode = *m_barcode;
  const float BW = float(m_bounds.width());
  const float BH = float(m_bounds.height());
  const auto flip = [BH](float x, float y, float w, float h) { return QRectF(x, BH - y - h, w, h); };

  painter.fillRect(m_bounds, m_settings.bar_back_clr);

  const float Ht = barcode.printsCaption() ? barcode.captionHeight() * 72.0f : 0.0f;
  const float Hf = barcode.printsFooter() ? barcode.footerHeight() * 72.0f : 0.0f;
  const bool onTop = m_settings.showinTopState != 0;
  const QString s = barcode.completeBarcode();
  const int M = int(s.size());
  const float bw = barcode.barWidth();
  float x = (BW - float(M) * bw) / 2.0f;
  const float yb = onTop ? Hf + m_margins.footer_margin + m_margins.TB_margin
                         : Ht + Hf + m_margins.value_margin + m_margins.footer_margin + m_margins.TB_margin;

  // Runs of bar modules become one rectangle; x moves past a run and the space after it.
  // A four-state bar stands between its own bottom and top; every other bar rises from
  // the base line to its top.
  const bool fourState = isFourStateBarcode(barcode);
  int n = 0;
  bool inRun = false;
  int j = -1;
  float h = 0.0f;
  const auto drawRun = [&] {
    h = barcode.barTop(j);
    const float bottom = fourState ? barcode.barBottom(j) : 0.0f;
    painter.fillRect(flip(x, yb + bottom, bw * float(n), h - bottom), m_settings.barcode_clr);
  };
  for (int i = 0; i < M; ++i) {
    if (s.at(i) == QLatin1Char('1')) {
      inRun = true;
      ++n;
      j = i;
      if (i == M - 1)
        drawRun();
    } else {
      if (inRun)
        drawRun();
      x += bw * float(n + 1);
      n = 0;
      inRun = false;
    }
  }

  if (barcode.printsCaption())
    drawCaption(painter, h);
  if (barcode.printsHeader()) {
    const float Hh = barcode.headerHeight() * 72.0f;
    drawHeaderFooter(painter, true, barcode.header(), BH - Hh - m_margins.TB_margin);
  }
  if (barcode.printsFooter())
    drawHeaderFooter(painter, false, barcode.footer(), m_margins.TB_margin);
}

void BRCBarcodeOffscreenView::drawCaption(QPainter &painter, float h) const {
  const BRCBarcode &barcode = *m_barcode;
  const float BW = float(m_bounds.width());
  const float BH = float(m_bounds.height());
  const float W = barcode.width();
  const float bw = barcode.barWidth();
  const float Hf = barcode.printsFooter() ? barcode.footerHeight() * 72.0f : 0.0f;
  const BarcodeMargins &m = m_margins;
  const float yc = m_settings.showinTopState != 0 ? Hf + m.footer_margin + h + m.value_margin + m.TB_margin
                                                  : Hf + m.footer_margin + m.TB_margin;
  const FontSpec &textFont = m_settings.value_font;
  painter.setPen(m_settings.bar_val_clr);

  // Draws `text` with the lower-left corner of its box at (x, y), y up.
  const auto drawAt = [&](const QString &text, double kern, float x, float y) {
    const qreal ht = QFontMetricsF(plainFont(textFont)).height();
    drawKerned(painter, QRectF(x, BH - y - ht, 1e6, ht), Qt::AlignLeft, text, textFont, kern);
  };

  const QString L = barcode.leftCaption();
  const QString V = barcode.caption();
  const QString R = barcode.rightCaption();

  if (present(L))
    drawAt(L, 0.0, barcode.firstBar() * 0.25f + m.LR_margin, yc + 3.0f);

  if (present(V)) {
    const QStringList parts = V.split(QLatin1Char('\t'));
    const int P = int(parts.size());
    if (!present(L) && P <= 1) {
      const QSizeF size = measure(textFont, V);
      const float k = (W - float(size.width())) / (2.0f * float(V.size()));
      const double kern = m_settings.kerningState == 1 ? 2.0 * k : 2.0;
      drawKerned(painter, QRectF(0, BH - yc - size.height(), BW, size.height()), Qt::AlignHCenter, V, textFont, kern);
    } else {
      const float Li = float(barcode.initiator().size());
      const float Pw = P == 1 ? W / float(P) - Li * 2.0f * bw - 2.0f * barcode.firstBar()
                              : W / float(P) - Li * bw - barcode.firstBar();
      for (int i = 0; i < P; ++i) {
        const QString &part = parts.at(i);
        if (!present(part))
          continue;
        const float wi = float(measure(textFont, part).width());
        const float ki = (Pw - wi) / (2.0f * float(part.size()));
        drawAt(part, 1.3 * ki,
               3.0f * ki + barcode.firstBar() + float(i + 1) * Li * bw + float(i) * Pw + m.LR_margin, yc);
      }
    }
  }

  if (present(R))
    drawAt(R, 0.0, barcode.lastBar() + 0.07f * W + m.LR_margin, yc + 3.0f);
}

void BRCBarcodeOffscreenView::drawHeaderFooter(QPainter &painter, bool header, const QString &text,
                                               float y) const {
  const FontSpec &textFont = header ? m_settings.header_font : m_settings.footer_font;
  const Qt::Alignment align = alignmentFor(header ? m_settings.align_hdr : m_settings.align_ftr);
  const qreal ht = measure(textFont, text).height();
  const float BH = float(m_bounds.height());
  painter.setPen(header ? m_settings.bar_hdr_clr : m_settings.bar_ftr_clr);
  drawKerned(painter, QRectF(0, BH - y - ht, m_bounds.width(), ht), align, text, textFont, 2.0);
}

// ---- Image mode

void BRCBarcodeOffscreenView::drawImageMode(QPainter &painter) const {
  const float BH = float(m_bounds.height());
  painter.fillRect(m_bounds, Qt::white);
  const float wi = float(m_image_2d.points.width());
  const float hi = float(m_image_2d.points.height());
  float yt = BH - m_margins.TB_margin;
  if (m_texts.printsHeader) {
    const float Hh = m_texts.headerHeight * 72.0f;
    yt = BH - Hh - m_margins.TB_margin;
    drawHeaderFooter(painter, true, m_texts.header, yt);
  }
  if (!m_image_2d.isNull()) {
    const float y = yt - hi - m_margins.header_margin;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRectF((m_texts.width - wi) / 2.0f, BH - y - hi, wi, hi), m_image_2d.pixels);
    painter.restore();
  }
  if (m_texts.printsFooter)
    drawHeaderFooter(painter, false, m_texts.footer, m_margins.TB_margin);
}

// ---- Output

CardPicture BRCBarcodeOffscreenView::picture() const {
  if (m_bounds.width() <= 0 || m_bounds.height() <= 0)
    return CardPicture();
  CardPicture::Recorder recorder(m_bounds.size());
  {
    QPainter painter(recorder.device());
    drawRect(painter);
  }
  return recorder.finish();
}

QByteArray BRCBarcodeOffscreenView::dataWithPDFInsideRect(const QRectF &) const {
  const CardPicture picture = this->picture();
  if (picture.isNull())
    return QByteArray();
  return picture.pdfData();
}

CardPicture imageFromBarcode(const BRCBarcode *barcode, const BarcodeSettings &settings) {
  if (!barcode)
    return CardPicture();
  try {
    return BRCBarcodeOffscreenView::initWithBarcode(*barcode, settings).picture();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
    return CardPicture();
  }
}

CardPicture imageFromBarcodeImage(const PointImage &image_2d, const BarcodeSettings &settings,
                                  const TwoDTexts &texts) {
  if (image_2d.isNull())
    return CardPicture();
  try {
    return BRCBarcodeOffscreenView::initWithBarcodeImage(image_2d, settings, texts).picture();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
    return CardPicture();
  }
}

QByteArray pdfFromBarcode(const BRCBarcode *barcode, const BarcodeSettings &settings) {
  if (!barcode)
    return QByteArray();
  const BRCBarcodeOffscreenView view = BRCBarcodeOffscreenView::initWithBarcode(*barcode, settings);
  return view.dataWithPDFInsideRect(view.bounds());
}
