// How long the image filter chain takes with every adjustment on: monochrome, sepia,
// inversion, hue, saturation/brightness/contrast, sharpening, box blur and exposure,
// without and with a rotation, on a 4000 x 3000 photo and on a 724 x 468 picture, both
// made here. Prints the median milliseconds per run of the whole chain and of each
// filter on its own.
//
//     taskset -c 0 amends_bench_image_filters [repeats]

#include "core/ImageFilterChain.h"
#include "platform/ImageFilters.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// A photo-like picture: smooth colour gradients, a few hard edges and fine noise, so
// that nothing is uniform (a blur or a sharpening of a flat image costs the same, but
// the results would say nothing).
QImage makePhoto(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  QRandomGenerator random(4000);
  for (int y = 0; y < height; ++y) {
    auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const double u = double(x) / width;
      const double v = double(y) / height;
      int r = int(120 + 100 * std::sin(6.0 * u + 2.0 * v));
      int g = int(110 + 90 * std::cos(4.0 * v - 3.0 * u));
      int b = int(100 + 80 * std::sin(9.0 * u * v));
      if (((x / 97) + (y / 61)) % 7 == 0) {
        r = 255 - r;
        b = 255 - b;
      }
      const int noise = int(random.bounded(21)) - 10;
      row[x] = qRgb(std::clamp(r + noise, 0, 255), std::clamp(g + noise, 0, 255), std::clamp(b + noise, 0, 255));
    }
  }
  return image;
}

double medianMs(int repeats, const std::function<void()> &run) {
  std::vector<double> times;
  run();  // once to warm the caches and the allocator
  for (int i = 0; i < repeats; ++i) {
    QElapsedTimer timer;
    timer.start();
    run();
    times.push_back(timer.nsecsElapsed() / 1.0e6);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

ImageAdjustments everything(int rotate) {
  ImageAdjustments a;
  a.grayscale = true;
  a.sepia = true;
  a.invert = true;
  a.hue = 0.6f;
  a.saturation = 1.3f;
  a.brightness = 0.05f;
  a.contrast = 1.2f;
  a.sharpness = 0.8f;
  a.blur = 4.0f;
  a.exposure = 0.5f;
  a.rotate = rotate;
  return a;
}

void benchPicture(const char *name, const QImage &pixels, int repeats) {
  const PointImage picture{pixels, QSizeF(pixels.size())};
  std::printf("%s (%d x %d pixels)\n", name, pixels.width(), pixels.height());
  for (int rotate : {0, 90, 30}) {
    const ImageAdjustments a = everything(rotate);
    const double ms = medianMs(repeats, [&] {
      const PointImage out = a.applyTo(picture);
      if (out.isNull())
        std::abort();
    });
    std::printf("  whole chain, every filter on, rotation %3d: %8.1f ms\n", rotate, ms);
  }
  // Each filter alone, in place on a picture of its own (as in the chain, where only
  // the first step that changes the picture copies it).
  struct Step {
    const char *name;
    std::function<void(QImage &)> run;
  };
  const Step steps[] = {
      {"monochrome", [](QImage &p) { ImageFilters::colorMonochrome(p, QColor(128, 128, 128), 1.0f); }},
      {"sepia", [](QImage &p) { ImageFilters::sepiaTone(p, 1.0f); }},
      {"invert", [](QImage &p) { ImageFilters::colorInvert(p); }},
      {"hue", [](QImage &p) { ImageFilters::hueAdjust(p, 0.6f); }},
      {"colour controls", [](QImage &p) { ImageFilters::colorControls(p, 1.3f, 0.05f, 1.2f); }},
      {"sharpen luminance", [](QImage &p) { ImageFilters::sharpenLuminance(p, 0.8f); }},
      {"box blur r=4", [](QImage &p) { p = ImageFilters::boxBlur(p, 4.0f); }},
      {"exposure", [](QImage &p) { ImageFilters::exposureAdjust(p, 0.5f); }},
      {"rotation 30", [](QImage &p) { p = imageRotated(PointImage{p, QSizeF(p.size())}, 30.0f).pixels; }},
      {"rotation 90", [](QImage &p) { p = imageRotated(PointImage{p, QSizeF(p.size())}, 90.0f).pixels; }},
  };
  for (const Step &step : steps) {
    QImage work = pixels.copy();
    const double ms = medianMs(repeats, [&] {
      step.run(work);
      if (work.isNull())
        std::abort();
    });
    std::printf("    %-20s %8.1f ms\n", step.name, ms);
  }
}

}  // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  QGuiApplication app(argc, argv);
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  benchPicture("photo", makePhoto(4000, 3000), repeats);
  benchPicture("picture", makePhoto(724, 468), repeats * 4);
  return 0;
}
