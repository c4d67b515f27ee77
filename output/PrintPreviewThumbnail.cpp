#include "output/PrintPreviewThumbnail.h"

#include "output/Printing_View.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

Sample_Preview::Sample_Preview(QWidget *parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PrintView"));
  setAccessibleName(QStringLiteral("Sheet preview"));
  setToolTip(QStringLiteral("The first sheet as it will be printed"));
}

void Sample_Preview::setPaperSize(const QSizeF &paper) {
  m_paper = paper;
  if (!paper.isEmpty())
    setFixedSize(int(std::ceil(paper.width())), int(std::ceil(paper.height())));
  update();
}

void Sample_Preview::Draw_Label_String(QPainter &painter, const QRectF &rect, const QString &text, int number) {
  const bool caption = text == QLatin1String("Front") || text == QLatin1String("Back") || text == QLatin1String("Card");
  if (caption)
    Printing_View::Draw_Label_String(painter, rect, QStringLiteral("%1 %2").arg(text).arg(number), Qt::gray);
  else
    Printing_View::Draw_Label_String(painter, rect, text, Qt::red);
}

void Sample_Preview::Draw_Margin_rect(QPainter &painter, const QRectF &rect) {
  if (!Show_margin_rect)
    return;
  painter.save();
  painter.setPen(QPen(Qt::darkGray, 1.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect);
  painter.restore();
}

void Sample_Preview::drawSheet(QPainter &painter) const {
  if (m_paper.isEmpty())
    return;
  painter.fillRect(QRectF(QPointF(0, 0), m_paper), Qt::white);
  const PrintLayout::Settings settings = PrintLayout::Settings::fromGlobals(m_paper, m_front);
  const bool hasFront = !m_front.isEmpty();
  const QString caption = settings.side == QLatin1String("B") ? QStringLiteral("Back") : QStringLiteral("Card");
  for (const PrintLayout::Slot &slot : PrintLayout::sheetSlots(settings)) {
    const int n = slot.number();
    if (!hasFront) {
      Draw_Label_String(painter, slot.frontPart, Printing_View::InvalidDataText, n);
      Draw_Margin_rect(painter, slot.frontPart);
      continue;
    }
    Draw_Label_String(painter, slot.frontPart, caption, n);
    Draw_Margin_rect(painter, slot.frontPart);
    if (settings.both()) {
      Draw_Label_String(painter, slot.back, QStringLiteral("Back"), n);
      Draw_Margin_rect(painter, slot.back);
    }
  }
}

QImage Sample_Preview::imageRepresentation() const {
  if (m_paper.isEmpty())
    return QImage();
  QImage image(int(std::ceil(m_paper.width())), int(std::ceil(m_paper.height())), QImage::Format_ARGB32_Premultiplied);
  image.setDotsPerMeterX(2835);  // 72 dots per inch: one pixel per point
  image.setDotsPerMeterY(2835);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  drawSheet(painter);
  return image;
}

void Sample_Preview::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  drawSheet(painter);
}
