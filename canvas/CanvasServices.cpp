#include "canvas/CanvasServices.h"

#include "core/Globals.h"
#include "core/MainWindowServices.h"

#include <algorithm>

CanvasServices::~CanvasServices() = default;

CanvasServices &canvasServices() {
  if (auto *services = dynamic_cast<CanvasServices *>(Main_App_wnd))
    return *services;
  static CanvasServices fallback;
  return fallback;
}

QPointF cascadeControlPoint(int objectCount, const QSizeF &canvasSize) {
  const double step = std::max(objectCount, 20);
  double x = double(last_ctrl_X) + step;
  double y = double(last_ctrl_Y) + step;
  // Each axis wraps by itself: a new object is 50 points wide and high.
  if (x >= canvasSize.width() || x + 50.0 >= canvasSize.width())
    x = 10.0;
  if (y >= canvasSize.height() || y + 50.0 >= canvasSize.height())
    y = 10.0;
  last_ctrl_X = float(x);
  last_ctrl_Y = float(y);
  return QPointF(double(last_ctrl_X), double(last_ctrl_Y));
}
