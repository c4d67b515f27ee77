#pragma once
// Helpers for the tests that paint into an image and read the pixels back: a white
// image to paint on, colour tests, the pixel under a point, pixel counts, the changes
// along a row, and a main window that counts the redraw requests.

#include "core/MainWindowServices.h"

#include <QColor>
#include <QImage>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace pixeltest {

// An image of `w` by `h` pixels filled with white.
inline QImage whiteImage(int w, int h, QImage::Format format = QImage::Format_ARGB32) {
  QImage image(w, h, format);
  image.fill(Qt::white);
  return image;
}

// The pixel under the point (x, y) of a drawing made at `scale` pixels per point.
inline QColor at(const QImage &image, double x, double y, double scale = 1.0) {
  return image.pixelColor(int(std::floor(x * scale)), int(std::floor(y * scale)));
}

// Red, green and blue each within `tolerance` of the other colour's (alpha is not compared).
inline bool near(const QColor &a, const QColor &b, int tolerance = 12) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

// Within `tolerance` of pure white on red, green and blue.
inline bool isWhite(const QColor &c, int tolerance = 7) { return near(c, Qt::white, tolerance); }

// Dark enough to be ink: a grey value below the middle.
inline bool isInk(const QColor &c) { return qGray(c.rgb()) < 128; }

inline bool allWhite(const QImage &image, int whiteTolerance = 7) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (!isWhite(image.pixelColor(x, y), whiteTolerance))
        return false;
  return true;
}

// How many pixels hold exactly `colour`.
inline int countPixels(const QImage &image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      n += image.pixel(x, y) == colour ? 1 : 0;
  return n;
}

// The pixels of row `y` after `x0` and before `x1` where `on` answers otherwise than for
// the pixel before: the ends of the runs of ink and gap that start at x0.
inline std::vector<int> rowTransitions(const QImage &image, int y, int x0, int x1,
                                       bool (*on)(const QColor &) = isInk) {
  std::vector<int> changes;
  bool previous = on(image.pixelColor(x0, y));
  for (int x = x0 + 1; x < x1; ++x) {
    const bool here = on(image.pixelColor(x, y));
    if (here != previous)
      changes.push_back(x);
    previous = here;
  }
  return changes;
}

// Counts the redraw requests while it is the main window.
class RefreshCounter : public MainWindowServices {
public:
  RefreshCounter() : m_previous(Main_App_wnd) { Main_App_wnd = this; }
  ~RefreshCounter() override { Main_App_wnd = m_previous; }
  void Refresh_Canvas() override { ++count; }
  int count = 0;

private:
  MainWindowServices *m_previous;
};

}  // namespace pixeltest
