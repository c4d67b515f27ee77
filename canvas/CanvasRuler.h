#pragma once
// CanvasRuler: a ruler along one edge of an editing canvas, horizontal above it or
// vertical to its left. It measures the card in millimetres from the canvas's origin at
// the canvas's zoom, and shows marker lines ("ruler lines") that the canvas places while
// the user moves or resizes objects, so the moving edges and centre can be read off.
//
// Locations along the ruler are in the ruler's own pixels (x for a horizontal ruler, y
// for a vertical one); locationOfCanvasCoordinate converts a canvas coordinate in points.
// The ruler follows its canvas: when the canvas moves (scrolling) or changes size
// (zooming), the ruler redraws.
//
// Main thread only.

#include <QList>
#include <QPointer>
#include <QWidget>

#include <optional>

class QLNGraphicView;

class CanvasRuler : public QWidget {
  Q_OBJECT
public:
  // Pixels across the ruler.
  static constexpr int Thickness = 20;

  explicit CanvasRuler(Qt::Orientation orientation, QWidget *parent = nullptr);
  ~CanvasRuler() override;

  Qt::Orientation orientation() const { return m_orientation; }

  // The canvas the ruler measures (not owned; null for none).
  void setClientView(QLNGraphicView *view);
  QLNGraphicView *clientView() const { return m_client; }

  // The ruler location of the canvas coordinate `points` (x for a horizontal ruler, y
  // for a vertical one); without a canvas the location is `points` itself.
  double locationOfCanvasCoordinate(double points) const;

  // Moves the ruler line at `from` to `to`. Without `from` a new line is added at `to`;
  // without `to` the line at `from` is removed. A `from` that matches no line (within
  // half a pixel) leaves the lines as they are.
  void moveRulerlineFromLocation(std::optional<double> from, std::optional<double> to);
  // The ruler lines, in the order they were added.
  QList<double> rulerlines() const { return m_lines; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

protected:
  void paintEvent(QPaintEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  Qt::Orientation m_orientation;
  QPointer<QLNGraphicView> m_client;
  // The same canvas as a plain object: the event filter compares with it, which stays
  // sound while the canvas is being destroyed and sends its last events.
  QPointer<QObject> m_clientObject;
  QList<double> m_lines;
};
