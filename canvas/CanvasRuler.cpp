#include "canvas/CanvasRuler.h"

#include "canvas/QLNGraphicView.h"

#include <QEvent>
#include <QFont>
#include <QPaintEvent>
#include <QPainter>

#include <array>
#include <cmath>

namespace {

// Points per millimetre.
constexpr double PointsPerMillimetre = 2.834645669291;
// Smallest distance between two ticks, and between two labels, in pixels.
constexpr double MinimumTickSpacing = 4.0;
constexpr double MinimumLabelSpacing = 36.0;
// Steps of ticks and labels, millimetres.
constexpr std::array<double, 10> Steps = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};

const QColor RulerGround(238, 238, 238);
const QColor RulerInk(90, 90, 90);
const QColor RulerlineColor(0, 0, 0);

// The smallest step, a whole multiple of `unit`, that keeps `spacing` pixels between
// marks at `pixelsPerMm`.
double stepFor(double pixelsPerMm, double spacing, double unit = 1.0) {
  for (double step : Steps)
    if (step * pixelsPerMm >= spacing && std::fmod(step, unit) == 0.0)
      return step;
  return Steps.back();
}

}  // namespace

CanvasRuler::CanvasRuler(Qt::Orientation orientation, QWidget *parent) : QWidget(parent), m_orientation(orientation) {
  if (orientation == Qt::Horizontal)
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  else
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

CanvasRuler::~CanvasRuler() {
  if (m_clientObject)
    m_clientObject->removeEventFilter(this);
}

void CanvasRuler::setClientView(QLNGraphicView *view) {
  if (m_client == view)
    return;
  if (m_clientObject)
    m_clientObject->removeEventFilter(this);
  m_client = view;
  m_clientObject = view;
  if (view)
    view->installEventFilter(this);
  update();
}

double CanvasRuler::locationOfCanvasCoordinate(double points) const {
  if (!m_client)
    return points;
  const QPoint origin = m_client->mapToGlobal(QPoint(0, 0)) - mapToGlobal(QPoint(0, 0));
  const double start = m_orientation == Qt::Horizontal ? origin.x() : origin.y();
  return start + points * m_client->zoomFactor();
}

void CanvasRuler::moveRulerlineFromLocation(std::optional<double> from, std::optional<double> to) {
  if (from) {
    qsizetype found = -1;
    for (qsizetype i = 0; i < m_lines.size(); ++i)
      if (std::abs(m_lines.at(i) - *from) <= 0.5) {
        found = i;
        break;
      }
    if (found < 0)
      return;
    if (to)
      m_lines[found] = *to;
    else
      m_lines.removeAt(found);
  } else if (to) {
    m_lines.append(*to);
  }
  update();
}

QSize CanvasRuler::sizeHint() const {
  return m_orientation == Qt::Horizontal ? QSize(100, Thickness) : QSize(Thickness, 100);
}

QSize CanvasRuler::minimumSizeHint() const {
  return m_orientation == Qt::Horizontal ? QSize(0, Thickness) : QSize(Thickness, 0);
}

bool CanvasRuler::eventFilter(QObject *watched, QEvent *event) {
  // The canvas scrolled or was zoomed: the scale moved with it.
  if (watched == m_clientObject && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
    update();
  return QWidget::eventFilter(watched, event);
}

void CanvasRuler::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  const bool horizontal = m_orientation == Qt::Horizontal;
  const double length = horizontal ? width() : height();
  const double across = horizontal ? height() : width();
  painter.fillRect(rect(), RulerGround);

  // The edge towards the canvas.
  painter.setPen(RulerInk);
  if (horizontal)
    painter.drawLine(QPointF(0, across - 0.5), QPointF(length, across - 0.5));
  else
    painter.drawLine(QPointF(across - 0.5, 0), QPointF(across - 0.5, length));

  if (m_client) {
    const double zoom = m_client->zoomFactor();
    const double pixelsPerMm = PointsPerMillimetre * zoom;
    const double origin = locationOfCanvasCoordinate(0.0);
    const double tickStep = stepFor(pixelsPerMm, MinimumTickSpacing);
    const double labelStep = stepFor(pixelsPerMm, MinimumLabelSpacing, tickStep);
    // The ticks visible along the ruler, counted in steps from the canvas's origin.
    const double firstTick = std::floor((0.0 - origin) / pixelsPerMm / tickStep);
    const double lastTick = std::ceil((length - origin) / pixelsPerMm / tickStep);
    // At a zoom so small that even the largest step crowds the ruler, no scale is drawn.
    const bool drawable = std::isfinite(firstTick) && std::isfinite(lastTick) && lastTick - firstTick <= length;
    QFont font = painter.font();
    font.setPixelSize(8);
    painter.setFont(font);
    const auto labelEvery = qint64(std::llround(labelStep / tickStep));
    for (qint64 i = qint64(firstTick); drawable && i <= qint64(lastTick); ++i) {
      const double mm = double(i) * tickStep;
      const double at = std::round(origin + mm * pixelsPerMm) + 0.5;
      const bool labelled = i % labelEvery == 0;
      const bool half = !labelled && labelEvery % 2 == 0 && i % (labelEvery / 2) == 0;
      const double tick = labelled ? across * 0.6 : half ? across * 0.4 : across * 0.25;
      if (horizontal)
        painter.drawLine(QPointF(at, across - tick), QPointF(at, across));
      else
        painter.drawLine(QPointF(across - tick, at), QPointF(across, at));
      if (labelled) {
        const QString text = QString::number(mm, 'f', 0);
        if (horizontal)
          painter.drawText(QPointF(at + 2.0, 9.0), text);
        else
          painter.drawText(QPointF(1.0, at + 9.0), text);
      }
    }
  }

  // The ruler lines.
  painter.setPen(RulerlineColor);
  for (double location : m_lines) {
    const double at = std::round(location) + 0.5;
    if (horizontal)
      painter.drawLine(QPointF(at, 0), QPointF(at, across));
    else
      painter.drawLine(QPointF(0, at), QPointF(across, at));
  }
}
