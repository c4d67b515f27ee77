#include "canvas/PatternViews.h"

#include "canvas/CanvasServices.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace {

// Fills the part of `view` being drawn with `tile` repeated from `origin` (view
// coordinates); nothing without a tile.
void fillWithTiles(QWidget *view, const QRect &area, const PointImage &tile, const QPoint &origin) {
  if (tile.isNull())
    return;
  QPainter painter(view);
  QBrush brush(tile.pixels);
  painter.setBrushOrigin(origin);
  painter.fillRect(area, brush);
}

}  // namespace

void Repeat_Image::paintEvent(QPaintEvent *event) {
  fillWithTiles(this, event->rect(), canvasServices().bannerImage(), QPoint(0, 0));
  QLabel::paintEvent(event);
}

void Promotion_Pattern::paintEvent(QPaintEvent *event) {
  // The window's pattern origin is its bottom-left corner.
  const QWidget *top = window();
  const QPoint inWindow = mapTo(top, QPoint(0, 0));
  fillWithTiles(this, event->rect(), canvasServices().promotionPatternImage(),
                QPoint(-inWindow.x(), top->height() - inWindow.y()));
  QLabel::paintEvent(event);
}

QRectF VerticallyCenteredTextFieldCell::titleRectForBounds(const QRectF &bounds, qreal textHeight,
                                                           const QRectF &plainTitleRect) {
  QRectF title = plainTitleRect;
  const qreal top = bounds.y() + (bounds.height() - textHeight) / 2.0;
  const qreal moved = top - bounds.y();
  title.setTop(top);
  title.setHeight(plainTitleRect.height() - moved);
  return title;
}

QRectF VerticallyCenteredTextFieldCell::titleRectForBounds(const QRectF &bounds) const {
  const qreal textHeight = fontMetrics().boundingRect(QRect(), int(alignment()), text()).height();
  const QRectF plain = bounds.marginsRemoved(QMarginsF(margin() + indent(), margin(), margin(), margin()));
  return titleRectForBounds(bounds, textHeight, plain);
}

void VerticallyCenteredTextFieldCell::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  QStyleOption option;
  option.initFrom(this);
  const QRectF title = titleRectForBounds(QRectF(contentsRect()));
  style()->drawItemText(&painter, title.toAlignedRect(), int((alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop),
                        option.palette, isEnabled(), text(), foregroundRole());
}
