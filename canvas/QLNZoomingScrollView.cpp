#include "canvas/QLNZoomingScrollView.h"

#include "canvas/CanvasRuler.h"
#include "canvas/QLNGraphicView.h"

#include "core/Globals.h"

#include <QComboBox>
#include <QEvent>
#include <QImage>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

const QString QLNZoomingScrollViewFactor = QStringLiteral("factor");
const std::array<double, 11> QLNZoomingScrollViewFactors = {double(0.1f), 0.25, 0.5, 0.75, 1.0, 1.25,
                                                            1.5,          2.0,  4.0, 8.0,  16.0};
const std::array<const char *, 11> QLNZoomingScrollViewLabels = {"10%",  "25%",  "50%",  "75%",  "100%", "125%",
                                                                 "150%", "200%", "400%", "800%", "1600%"};

namespace {

// The backdrop's shadow, in pixels whatever the zoom: offset right and down, blur radius.
constexpr int ShadowOffset = 3;
constexpr int ShadowBlur = 15;
// Corner radius of the rounded card, points.
constexpr double CardCornerRadius = 10.0;

QColor grayLevel(double white) { return QColor::fromRgbF(float(white), float(white), float(white), 1.0f); }

// One box blur pass of width 2 * radius + 1 over the alpha channel, along rows or columns.
void boxBlurPass(std::vector<float> &alpha, int width, int height, int radius, bool alongRows) {
  const int lines = alongRows ? height : width;
  const int length = alongRows ? width : height;
  const auto at = [&](int line, int i) -> float & {
    return alongRows ? alpha[size_t(line) * size_t(width) + size_t(i)] : alpha[size_t(i) * size_t(width) + size_t(line)];
  };
  std::vector<float> source(static_cast<size_t>(length));
  const float span = float(2 * radius + 1);
  for (int line = 0; line < lines; ++line) {
    for (int i = 0; i < length; ++i)
      source[size_t(i)] = at(line, i);
    float sum = 0.0f;
    for (int i = -radius; i <= radius; ++i)
      if (i >= 0 && i < length)
        sum += source[size_t(i)];
    for (int i = 0; i < length; ++i) {
      at(line, i) = sum / span;
      const int leaving = i - radius;
      const int entering = i + radius + 1;
      if (leaving >= 0)
        sum -= source[size_t(leaving)];
      if (entering < length)
        sum += source[size_t(entering)];
    }
  }
}

// The card's shape around `rect` for Card_Shape: 1 rounded, 2 oval, any other a rectangle.
QPainterPath cardShapePath(const QRectF &rect, double cornerRadius) {
  QPainterPath path;
  switch (Card_Shape.load()) {
  case 1:
    path.addRoundedRect(rect, cornerRadius, cornerRadius);
    break;
  case 2:
    path.addEllipse(rect);
    break;
  default:
    path.addRect(rect);
    break;
  }
  return path;
}

}  // namespace

// ---- SWCenteringClipView ------------------------------------------------------------------------

SWCenteringClipView::SWCenteringClipView(QWidget *parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

SWCenteringClipView::~SWCenteringClipView() {
  // The document goes with the clip view's children; it is not watched while it goes.
  if (m_document)
    m_document->removeEventFilter(this);
}

void SWCenteringClipView::setDocumentView(QWidget *view) {
  if (m_document == view)
    return;
  if (m_document)
    m_document->removeEventFilter(this);
  m_document = view;
  if (view) {
    view->setParent(this);
    view->installEventFilter(this);
    view->show();
  }
  relayout();
}

QSizeF SWCenteringClipView::documentSize() const {
  if (!m_document)
    return QSizeF(0, 0);
  if (auto *canvas = qobject_cast<QLNGraphicView *>(m_document.data()))
    return canvas->canvasSize();
  return QSizeF(m_document->width() / m_factor, m_document->height() / m_factor);
}

void SWCenteringClipView::setFactor(double factor) {
  if (!std::isfinite(factor) || factor <= 0.0)
    return;
  m_factor = factor;
  relayout();
}

QSizeF SWCenteringClipView::boundsSize() const { return QSizeF(width() / m_factor, height() / m_factor); }

void SWCenteringClipView::setBoundsOrigin(const QPointF &origin) {
  m_origin = origin;
  relayout();
}

void SWCenteringClipView::centerDocument() {
  const QSizeF document = documentSize();
  const QSizeF bounds = boundsSize();
  QPointF origin = m_origin;
  if (bounds.width() > document.width())
    origin.setX(std::round((float(document.width()) - float(bounds.width())) / 2.0f));
  if (bounds.height() > document.height())
    origin.setY(std::round((float(document.height()) - float(bounds.height())) / 2.0f));
  scrollToPoint(origin);
}

QPointF SWCenteringClipView::constrainScrollPoint(const QPointF &proposed) const {
  const QSizeF document = documentSize();
  const QSizeF bounds = boundsSize();
  const auto axis = [](double p, double docSize, double boundsSize) {
    const double x = boundsSize > docSize ? (docSize - boundsSize) / 2.0
                                          : std::max(std::min(p, docSize - boundsSize), 0.0);
    return std::round(x);
  };
  const double px = std::isfinite(proposed.x()) ? proposed.x() : 0.0;
  const double py = std::isfinite(proposed.y()) ? proposed.y() : 0.0;
  return QPointF(axis(px, document.width(), bounds.width()), axis(py, document.height(), bounds.height()));
}

void SWCenteringClipView::scrollToPoint(const QPointF &origin) {
  m_origin = origin;
  placeDocument();
  update();
  emit boundsChanged();
}

void SWCenteringClipView::relayout() {
  // Limited to the document first; the centring has the last word on an axis where the
  // document is the smaller.
  scrollToPoint(constrainScrollPoint(m_origin));
  centerDocument();
}

void SWCenteringClipView::placeDocument() {
  if (!m_document)
    return;
  const QPoint at(int(std::lround(-m_origin.x() * m_factor)), int(std::lround(-m_origin.y() * m_factor)));
  if (m_document->pos() != at)
    m_document->move(at);
}

void SWCenteringClipView::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  relayout();
}

bool SWCenteringClipView::eventFilter(QObject *watched, QEvent *event) {
  // The canvas changed size (a new card size or zoom): centre it anew.
  if (watched == m_document && event->type() == QEvent::Resize)
    relayout();
  return QWidget::eventFilter(watched, event);
}

void SWCenteringClipView::paintEvent(QPaintEvent *event) {
  QPainter painter(this);
  const QRect area = rect();
  // 1. - 2. White, then the gradient from light gray at the top to a darker gray at the
  //    bottom.
  painter.fillRect(area, Qt::white);
  QLinearGradient gradient(QPointF(0, 0), QPointF(0, height()));
  gradient.setColorAt(0.0, grayLevel(0.88));
  gradient.setColorAt(1.0, grayLevel(0.78));
  painter.fillRect(area, gradient);
  if (!m_document)
    return;

  // 3. The canvas's area in pixels, and the card's shape around it.
  const QSizeF document = documentSize();
  if (document.isEmpty())
    return;
  const QRectF card(-m_origin.x() * m_factor, -m_origin.y() * m_factor, document.width() * m_factor,
                    document.height() * m_factor);
  const QPainterPath shape = cardShapePath(card, CardCornerRadius * m_factor);
  // A redraw inside the card (the canvas redrawing its objects) needs the base alone.
  if (shape.contains(QRectF(event->rect()))) {
    painter.fillRect(event->rect(), palette().color(QPalette::Button));
    return;
  }

  // 4. The drop shadow: the shape in black, blurred, offset right and down; only the part
  //    that can reach the dirty area is computed.
  const int margin = ShadowBlur + ShadowOffset;
  const QRect shadowArea = event->rect().adjusted(-margin, -margin, margin, margin) &
                           card.toAlignedRect().adjusted(-margin, -margin, margin, margin);
  if (!shadowArea.isEmpty()) {
    QImage mask(shadowArea.size(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
      QPainter maskPainter(&mask);
      maskPainter.setRenderHint(QPainter::Antialiasing);
      maskPainter.translate(-shadowArea.topLeft() + QPoint(ShadowOffset, ShadowOffset));
      maskPainter.fillPath(shape, Qt::black);
    }
    const int w = mask.width();
    const int h = mask.height();
    std::vector<float> alpha(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
      const QRgb *line = reinterpret_cast<const QRgb *>(mask.constScanLine(y));
      for (int x = 0; x < w; ++x)
        alpha[size_t(y) * size_t(w) + size_t(x)] = float(qAlpha(line[x]));
    }
    // Three box passes each way come close to a gaussian of the blur radius.
    for (int pass = 0; pass < 3; ++pass) {
      boxBlurPass(alpha, w, h, ShadowBlur / 2, true);
      boxBlurPass(alpha, w, h, ShadowBlur / 2, false);
    }
    for (int y = 0; y < h; ++y) {
      QRgb *line = reinterpret_cast<QRgb *>(mask.scanLine(y));
      for (int x = 0; x < w; ++x) {
        const int a = std::clamp(int(std::lround(alpha[size_t(y) * size_t(w) + size_t(x)])), 0, 255);
        line[x] = qRgba(0, 0, 0, a);
      }
    }
    painter.drawImage(shadowArea.topLeft(), mask);
  }

  // 5. The base in the card's shape; the canvas draws the card on it.
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(shape, palette().color(QPalette::Button));
}

// ---- QLNZoomingScrollView ------------------------------------------------------------------------

QLNZoomingScrollView::QLNZoomingScrollView(QWidget *parent) : QAbstractScrollArea(parent) {
  m_clip = new SWCenteringClipView;
  setViewport(m_clip);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  connect(m_clip, &SWCenteringClipView::boundsChanged, this, &QLNZoomingScrollView::updateScrollBars);
  tile();
}

QLNZoomingScrollView::~QLNZoomingScrollView() {
  // The rulers stop watching the canvas before it goes with the clip view.
  for (CanvasRuler *ruler : {m_horizontalRuler.data(), m_verticalRuler.data()})
    if (ruler)
      ruler->setClientView(nullptr);
}

void QLNZoomingScrollView::setDocumentView(QWidget *view) {
  m_clip->setDocumentView(view);
  // The keys go to the canvas: a click on the backdrop around it (or on a scroll bar or
  // ruler) gives the focus to the scroll view, which hands it on.
  setFocusProxy(view);
  if (auto *canvas = qobject_cast<QLNGraphicView *>(view))
    canvas->setZoomFactor(m_factor);
  handRulersToDocument();
  updateScrollBars();
}

void QLNZoomingScrollView::setFactor(double factor) {
  if (!std::isfinite(factor) || factor <= 0.0)
    return;
  m_factor = factor;
  QComboBox *popUp = factorPopUpButton();
  int index = -1;
  for (size_t i = 0; i < QLNZoomingScrollViewFactors.size(); ++i)
    if (QLNZoomingScrollViewFactors[i] == factor)
      index = int(i);
  {
    const QSignalBlocker blocker(popUp);
    popUp->setCurrentIndex(index);
  }
  // The clip view keeps its origin (the top left point stays in view where the canvas
  // allows); the canvas takes its new pixel size, and the clip view re-centres it.
  m_clip->setFactor(factor);
  if (auto *canvas = qobject_cast<QLNGraphicView *>(m_clip->documentView()))
    canvas->setZoomFactor(factor);
  for (CanvasRuler *ruler : {m_horizontalRuler.data(), m_verticalRuler.data()})
    if (ruler)
      ruler->update();
}

QComboBox *QLNZoomingScrollView::factorPopUpButton() {
  if (m_factorPopUpButton)
    return m_factorPopUpButton;
  auto *popUp = new QComboBox;
  popUp->setObjectName(QStringLiteral("_factorPopUpButton"));
  popUp->setEditable(false);
  popUp->setFocusPolicy(Qt::NoFocus);
  QFont font = popUp->font();
  font.setPointSizeF(std::max(6.0, font.pointSizeF() * 0.85));
  popUp->setFont(font);
  for (size_t i = 0; i < QLNZoomingScrollViewFactors.size(); ++i)
    popUp->addItem(QString::fromLatin1(QLNZoomingScrollViewLabels[i]), QLNZoomingScrollViewFactors[i]);
  popUp->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  // Its own fitted width; the scroll bar takes the rest.
  popUp->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  popUp->setToolTip(QStringLiteral("Zoom"));
  popUp->setAccessibleName(QStringLiteral("Zoom"));
  {
    const QSignalBlocker blocker(popUp);
    popUp->setCurrentIndex(4);
  }
  connect(popUp, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index < 0 || index >= int(QLNZoomingScrollViewFactors.size()))
      return;
    if (m_factorSetter)
      m_factorSetter(QLNZoomingScrollViewFactors[size_t(index)]);
  });
  m_factorPopUpButton = popUp;
  // The scroll view keeps it beside its horizontal scroll bar.
  addScrollBarWidget(popUp, Qt::AlignLeft);
  return popUp;
}

void QLNZoomingScrollView::bind(const QString &name, std::function<void(double)> setter) {
  if (name != QLNZoomingScrollViewFactor)
    return;
  factorPopUpButton();
  m_factorSetter = std::move(setter);
}

void QLNZoomingScrollView::unbind(const QString &name) {
  if (name == QLNZoomingScrollViewFactor)
    m_factorSetter = nullptr;
}

void QLNZoomingScrollView::tile() {
  if (horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff)
    throw std::logic_error("QLNZoomingScrollView doesn't support use without a horizontal scroll bar.");
  factorPopUpButton();
  updateScrollBars();
  layoutRulers();
}

void QLNZoomingScrollView::updateScrollBars() {
  if (m_updatingScrollBars)
    return;
  m_updatingScrollBars = true;
  const QSizeF document = m_clip->documentSize();
  const QSizeF bounds = m_clip->boundsSize();
  const QPointF origin = m_clip->boundsOrigin();
  const auto setBar = [&](QScrollBar *bar, double docSize, double boundsSize, double at, int page) {
    const int maximum = boundsSize < docSize ? int(std::lround((docSize - boundsSize) * m_factor)) : 0;
    bar->setRange(0, std::max(0, maximum));
    bar->setPageStep(std::max(1, page));
    bar->setSingleStep(std::max(1, int(std::lround(10 * m_factor))));
    bar->setValue(maximum > 0 ? int(std::lround(at * m_factor)) : 0);
  };
  setBar(horizontalScrollBar(), document.width(), bounds.width(), origin.x(), m_clip->width());
  setBar(verticalScrollBar(), document.height(), bounds.height(), origin.y(), m_clip->height());
  m_updatingScrollBars = false;
  for (CanvasRuler *ruler : {m_horizontalRuler.data(), m_verticalRuler.data()})
    if (ruler)
      ruler->update();
}

void QLNZoomingScrollView::scrollContentsBy(int, int) {
  if (m_updatingScrollBars)
    return;
  const QPointF proposed(horizontalScrollBar()->value() / m_factor, verticalScrollBar()->value() / m_factor);
  m_clip->scrollToPoint(m_clip->constrainScrollPoint(proposed));
}

bool QLNZoomingScrollView::viewportEvent(QEvent *event) {
  if (event->type() == QEvent::Paint || event->type() == QEvent::Resize)
    return false;
  return QAbstractScrollArea::viewportEvent(event);
}

void QLNZoomingScrollView::scrollPointToVisible(const QPointF &point) {
  const QSizeF bounds = m_clip->boundsSize();
  QPointF origin = m_clip->boundsOrigin();
  if (point.x() < origin.x())
    origin.setX(point.x());
  else if (point.x() > origin.x() + bounds.width())
    origin.setX(point.x() - bounds.width());
  if (point.y() < origin.y())
    origin.setY(point.y());
  else if (point.y() > origin.y() + bounds.height())
    origin.setY(point.y() - bounds.height());
  m_clip->scrollToPoint(m_clip->constrainScrollPoint(origin));
}

void QLNZoomingScrollView::resizeEvent(QResizeEvent *event) {
  QAbstractScrollArea::resizeEvent(event);
  layoutRulers();
  updateScrollBars();
}

// ---- Rulers ------------------------------------------------------------------------------------------

void QLNZoomingScrollView::setHasHorizontalRuler(bool has) {
  if (has == bool(m_horizontalRuler))
    return;
  if (has) {
    m_horizontalRuler = new CanvasRuler(Qt::Horizontal, this);
    m_horizontalRuler->setObjectName(objectName() + QStringLiteral("_horizontalRuler"));
    m_horizontalRuler->installEventFilter(this);
    m_horizontalRuler->setVisible(m_rulersVisible);
  } else {
    delete m_horizontalRuler.data();
  }
  handRulersToDocument();
  layoutRulers();
}

void QLNZoomingScrollView::setHasVerticalRuler(bool has) {
  if (has == bool(m_verticalRuler))
    return;
  if (has) {
    m_verticalRuler = new CanvasRuler(Qt::Vertical, this);
    m_verticalRuler->setObjectName(objectName() + QStringLiteral("_verticalRuler"));
    m_verticalRuler->installEventFilter(this);
    m_verticalRuler->setVisible(m_rulersVisible);
  } else {
    delete m_verticalRuler.data();
  }
  handRulersToDocument();
  layoutRulers();
}

void QLNZoomingScrollView::setRulersVisible(bool visible) {
  m_rulersVisible = visible;
  for (CanvasRuler *ruler : {m_horizontalRuler.data(), m_verticalRuler.data()})
    if (ruler)
      ruler->setVisible(visible);
  layoutRulers();
}

void QLNZoomingScrollView::handRulersToDocument() {
  if (auto *canvas = qobject_cast<QLNGraphicView *>(m_clip->documentView()))
    canvas->setRulers(m_horizontalRuler, m_verticalRuler);
}

void QLNZoomingScrollView::layoutRulers() {
  const bool horizontal = m_horizontalRuler && !m_horizontalRuler->isHidden();
  const bool vertical = m_verticalRuler && !m_verticalRuler->isHidden();
  const int thickness = CanvasRuler::Thickness;
  setViewportMargins(vertical ? thickness : 0, horizontal ? thickness : 0, 0, 0);
  const QRect port = viewport()->geometry();
  if (horizontal)
    m_horizontalRuler->setGeometry(port.left(), port.top() - thickness, port.width(), thickness);
  if (vertical)
    m_verticalRuler->setGeometry(port.left() - thickness, port.top(), thickness, port.height());
}

bool QLNZoomingScrollView::eventFilter(QObject *watched, QEvent *event) {
  // A ruler shown or hidden (the canvas toggles them) takes or gives back its room.
  if ((watched == m_horizontalRuler || watched == m_verticalRuler) &&
      (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
    layoutRulers();
  return QAbstractScrollArea::eventFilter(watched, event);
}
