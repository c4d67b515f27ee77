// The image filters on known pixels: what each does to a colour, that they leave the
// pixels alone at their neutral values and work in their own copy, how the blur grows
// the picture, the quarter turns, and the parameters they refuse.

#include "platform/ImageFilters.h"
#include "platform/Images.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

namespace {

using namespace ImageFilters;

// An image of w x h pixels of one colour, in premultiplied ARGB32.
QImage filled(const QColor &colour, int w = 11, int h = 7) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(colour);
  return image;
}

// The colour of pixel (x, y), unpremultiplied.
QColor at(const QImage &image, int x = 3, int y = 2) { return image.pixelColor(x, y); }

// One colour through a filter (the middle pixel of an image of that colour).
template <class Filter>
QColor through(const QColor &colour, Filter &&filter) {
  QImage image = filled(colour);
  filter(image);
  return at(image, 5, 3);
}

::testing::AssertionResult sameColour(const QColor &actual, const QColor &expected, int tolerance = 1) {
  const bool ok = std::abs(actual.red() - expected.red()) <= tolerance &&
                  std::abs(actual.green() - expected.green()) <= tolerance &&
                  std::abs(actual.blue() - expected.blue()) <= tolerance &&
                  std::abs(actual.alpha() - expected.alpha()) <= tolerance;
  if (ok)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got " << actual.name(QColor::HexArgb).toStdString() << ", expected "
                                       << expected.name(QColor::HexArgb).toStdString();
}

double srgbToLinear(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }
double linearToSrgb(double v) { return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055; }

// A channel value after an exposure of `ev`, by the sRGB formulas.
int exposed(int value, double ev) {
  const double linear = std::min(1.0, srgbToLinear(value / 255.0) * std::exp2(ev));
  return int(std::lround(linearToSrgb(linear) * 255.0));
}

int luminance(const QColor &c) {
  return int(std::lround(0.2126 * c.red() + 0.7152 * c.green() + 0.0722 * c.blue()));
}

bool samePixels(const QImage &a, const QImage &b) {
  if (a.size() != b.size() || a.format() != b.format())
    return false;
  for (int y = 0; y < a.height(); ++y)
    if (std::memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width()) * 4) != 0)
      return false;
  return true;
}

}  // namespace

TEST(ImageFilters, ColourFiltersOnKnownColours) {
  // Sepia: white becomes a warm white, black stays black, a grey turns brown.
  const auto sepia = [](QImage &i) { sepiaTone(i, 1.0f); };
  EXPECT_TRUE(sameColour(through(Qt::white, sepia), QColor(255, 255, 239)));
  EXPECT_TRUE(sameColour(through(Qt::black, sepia), QColor(0, 0, 0)));
  EXPECT_TRUE(sameColour(through(QColor(128, 128, 128), sepia), QColor(173, 154, 120)));
  // Half the intensity goes half the way.
  EXPECT_TRUE(sameColour(through(QColor(128, 128, 128), [](QImage &i) { sepiaTone(i, 0.5f); }),
                         QColor(150, 141, 124)));

  // Inversion, also of a half-transparent colour, whose alpha stays.
  const auto invert = [](QImage &i) { colorInvert(i); };
  EXPECT_TRUE(sameColour(through(QColor(10, 200, 30), invert), QColor(245, 55, 225)));
  EXPECT_TRUE(sameColour(through(QColor(10, 200, 30, 128), invert), QColor(245, 55, 225, 128), 2));
  EXPECT_EQ(through(QColor(0, 0, 0, 0), invert), QColor(0, 0, 0, 0));

  // Monochrome in middle grey: the luminance as grey; white and black stay.
  const auto grey = [](QImage &i) { colorMonochrome(i, QColor::fromRgbF(0.5f, 0.5f, 0.5f), 1.0f); };
  for (const QColor c : {QColor(200, 50, 100), QColor(0, 255, 0), QColor(30, 30, 220), QColor(128, 128, 128)}) {
    const int l = luminance(c);
    EXPECT_TRUE(sameColour(through(c, grey), QColor(l, l, l))) << c.name().toStdString();
  }
  EXPECT_TRUE(sameColour(through(Qt::white, grey), Qt::white));
  // Another colour tints: dark tones multiply it, light ones screen it.
  const auto red = [](QImage &i) { colorMonochrome(i, QColor(255, 0, 0), 1.0f); };
  EXPECT_TRUE(sameColour(through(QColor(64, 64, 64), red), QColor(128, 0, 0)));
  EXPECT_TRUE(sameColour(through(QColor(192, 192, 192), red), QColor(255, 129, 129)));

  // Hue: a third of a turn carries red to green, green to blue, blue to red; greys stay.
  const float third = float(2.0 * std::numbers::pi / 3.0);
  const auto turn = [third](QImage &i) { hueAdjust(i, third); };
  EXPECT_TRUE(sameColour(through(QColor(255, 0, 0), turn), QColor(0, 255, 0)));
  EXPECT_TRUE(sameColour(through(QColor(0, 255, 0), turn), QColor(0, 0, 255)));
  EXPECT_TRUE(sameColour(through(QColor(0, 0, 255), turn), QColor(255, 0, 0)));
  EXPECT_TRUE(sameColour(through(QColor(90, 90, 90), turn), QColor(90, 90, 90)));
  EXPECT_TRUE(sameColour(through(QColor(255, 0, 0), [third](QImage &i) { hueAdjust(i, -third); }),
                         QColor(0, 0, 255)));

  // Colour controls: saturation 0 gives the luminance grey, brightness adds, contrast
  // spreads the values from the middle.
  const QColor pink(220, 80, 120);
  const int l = luminance(pink);
  EXPECT_TRUE(sameColour(through(pink, [](QImage &i) { colorControls(i, 0.0f, 0.0f, 1.0f); }), QColor(l, l, l)));
  EXPECT_TRUE(sameColour(through(QColor(20, 100, 240), [](QImage &i) { colorControls(i, 1.0f, 0.2f, 1.0f); }),
                         QColor(71, 151, 255)));
  EXPECT_TRUE(sameColour(through(QColor(100, 200, 128), [](QImage &i) { colorControls(i, 1.0f, 0.0f, 2.0f); }),
                         QColor(73, 255, 129)));
  // Saturation 2 doubles each channel's distance from the luminance.
  EXPECT_TRUE(sameColour(through(QColor(150, 100, 100), [](QImage &i) { colorControls(i, 2.0f, 0.0f, 1.0f); }),
                         QColor(189, 89, 89)));

  // Exposure +1 doubles the linear light, −1 halves it.
  for (int v : {10, 50, 128, 180, 200}) {
    EXPECT_TRUE(sameColour(through(QColor(v, v / 2, 255 - v), [](QImage &i) { exposureAdjust(i, 1.0f); }),
                           QColor(exposed(v, 1), exposed(v / 2, 1), exposed(255 - v, 1))))
        << v;
    EXPECT_TRUE(sameColour(through(QColor(v, v / 2, 255 - v), [](QImage &i) { exposureAdjust(i, -1.0f); }),
                           QColor(exposed(v, -1), exposed(v / 2, -1), exposed(255 - v, -1))))
        << v;
  }
  // A half-transparent pixel is exposed like its colour opaque.
  EXPECT_TRUE(sameColour(through(QColor(128, 60, 200, 100), [](QImage &i) { exposureAdjust(i, 1.0f); }),
                         QColor(exposed(128, 1), exposed(60, 1), exposed(200, 1), 100), 3));
}

TEST(ImageFilters, NeutralValuesLeaveThePixelsAsTheyAre) {
  // A straight (not premultiplied) image with half-transparent pixels: any conversion
  // would round them, so the pixels must be the very same.
  QImage original(13, 9, QImage::Format_ARGB32);
  for (int y = 0; y < original.height(); ++y)
    for (int x = 0; x < original.width(); ++x)
      original.setPixelColor(x, y, QColor(x * 19, y * 27, 255 - x * 9, 3 + x * 17));
  const auto unchanged = [&](const char *name, auto &&filter) {
    QImage image = original;
    filter(image);
    EXPECT_EQ(image.format(), QImage::Format_ARGB32) << name;
    EXPECT_EQ(image.constBits(), original.constBits()) << name << ": the pixels were copied";
  };
  unchanged("monochrome", [](QImage &i) { colorMonochrome(i, Qt::gray, 0.0f); });
  unchanged("sepia", [](QImage &i) { sepiaTone(i, 0.0f); });
  unchanged("hue", [](QImage &i) { hueAdjust(i, 0.0f); });
  unchanged("colour controls", [](QImage &i) { colorControls(i, 1.0f, 0.0f, 1.0f); });
  unchanged("sharpen", [](QImage &i) { sharpenLuminance(i, 0.0f); });
  unchanged("exposure", [](QImage &i) { exposureAdjust(i, 0.0f); });
  for (float radius : {0.0f, 0.49f, -3.0f}) {
    const QImage blurred = boxBlur(original, radius);
    EXPECT_EQ(blurred.constBits(), original.constBits()) << radius;
    EXPECT_EQ(boxBlurGrowth(radius), 0);
  }
  EXPECT_EQ(turnedQuarters(original, 4).constBits(), original.constBits());
}

TEST(ImageFilters, FiltersWorkInTheirOwnCopyAndInPlaceWhenAlone) {
  const QImage shared = filled(QColor(10, 20, 30));
  QImage mine = shared;
  colorInvert(mine);
  EXPECT_EQ(at(shared), QColor(10, 20, 30)) << "a copy held elsewhere must keep its pixels";
  EXPECT_EQ(at(mine), QColor(245, 235, 225));

  // Nobody else holds it: the same memory is filtered.
  const uchar *before = mine.constBits();
  hueAdjust(mine, 1.0f);
  sharpenLuminance(mine, 0.5f);
  exposureAdjust(mine, 0.3f);
  EXPECT_EQ(mine.constBits(), before);

  // Other formats are read as they are and filtered into premultiplied ARGB32; the
  // resolution stays.
  QImage opaque(5, 4, QImage::Format_RGB32);
  opaque.fill(QColor(0, 128, 255));
  opaque.setDotsPerMeterX(5906);
  opaque.setDotsPerMeterY(2953);
  const QImage kept = opaque;
  colorInvert(opaque);
  EXPECT_EQ(opaque.format(), QImage::Format_ARGB32_Premultiplied);
  EXPECT_EQ(at(opaque, 1, 1), QColor(255, 127, 0));
  EXPECT_EQ(at(kept, 1, 1), QColor(0, 128, 255));
  EXPECT_EQ(opaque.dotsPerMeterX(), 5906);
  EXPECT_EQ(opaque.dotsPerMeterY(), 2953);
}

TEST(ImageFilters, SharpeningRaisesEdgesAndKeepsHueAndFlatAreas) {
  // Left half dark, right half light, at x = 20.
  QImage image(40, 12, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.setPixelColor(x, y, x < 20 ? QColor(80, 60, 40) : QColor(170, 150, 130));
  QImage sharp = image;
  sharpenLuminance(sharp, 1.0f);
  const QColor darkEdge = at(sharp, 19, 6);
  const QColor lightEdge = at(sharp, 20, 6);
  EXPECT_LT(darkEdge.red(), 80);
  EXPECT_GT(lightEdge.red(), 170);
  // The same amount on every channel: the colour keeps its differences.
  EXPECT_EQ(darkEdge.red() - darkEdge.green(), 20);
  EXPECT_EQ(lightEdge.green() - lightEdge.blue(), 20);
  // Far from the edge nothing changes, also at the image's own borders.
  EXPECT_EQ(at(sharp, 2, 0), QColor(80, 60, 40));
  EXPECT_EQ(at(sharp, 37, 11), QColor(170, 150, 130));

  // Negative sharpness softens: the edge pixels move towards each other.
  QImage soft = image;
  sharpenLuminance(soft, -1.0f);
  EXPECT_GT(at(soft, 19, 6).red(), 80);
  EXPECT_LT(at(soft, 20, 6).red(), 170);
}

TEST(ImageFilters, BoxBlurGrowsThePictureByItsRadius) {
  QImage image = filled(QColor(200, 40, 90), 20, 10);
  image.setDotsPerMeterX(5669);
  const QImage blurred = boxBlur(image, 2.0f);
  ASSERT_EQ(blurred.size(), QSize(24, 14));
  EXPECT_EQ(blurred.dotsPerMeterX(), 5669);
  // Inside, a flat colour stays itself; towards the new border it runs out into
  // transparency: the outermost corner holds 1 of the 25 pixels of its box.
  EXPECT_EQ(at(blurred, 12, 7), QColor(200, 40, 90));
  EXPECT_EQ(at(blurred, 0, 0).alpha(), 10);
  EXPECT_TRUE(sameColour(at(blurred, 0, 0), QColor(200, 40, 90, 10), 12));
  EXPECT_EQ(at(blurred, 2, 7).alpha(), 153);  // 3 of 5 columns covered
  EXPECT_EQ(at(blurred, 4, 7).alpha(), 255);

  // The radius counts in whole pixels.
  EXPECT_EQ(boxBlurGrowth(2.6f), 3);
  EXPECT_EQ(boxBlur(image, 2.6f).size(), QSize(26, 16));
  EXPECT_EQ(boxBlurGrowth(0.5f), 1);

  // A single white pixel on transparency spreads evenly over its 3 x 3 box.
  QImage dot = filled(Qt::transparent, 5, 5);
  dot.setPixelColor(2, 2, Qt::white);
  const QImage spread = boxBlur(dot, 1.0f);
  ASSERT_EQ(spread.size(), QSize(7, 7));
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x) {
      const bool inBox = x >= 2 && x <= 4 && y >= 2 && y <= 4;
      EXPECT_EQ(spread.pixel(x, y), inBox ? qRgba(28, 28, 28, 28) : 0u) << x << "," << y;
    }
}

TEST(ImageFilters, RefusalsLeaveTheImageUnchanged) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  QImage image = filled(QColor(1, 2, 3));
  const uchar *before = image.constBits();
  EXPECT_THROW(hueAdjust(image, nan), Error);
  EXPECT_THROW(colorControls(image, 1.0f, inf, 1.0f), Error);
  EXPECT_THROW(sharpenLuminance(image, nan), Error);
  EXPECT_THROW(exposureAdjust(image, inf), Error);
  EXPECT_THROW(sepiaTone(image, nan), Error);
  EXPECT_THROW(boxBlur(image, nan), Error);
  EXPECT_EQ(image.constBits(), before);
  EXPECT_EQ(at(image), QColor(1, 2, 3));

  // A radius whose result could never be allocated is refused before anything is.
  try {
    (void)boxBlur(image, 1.0e9f);
    FAIL() << "a radius of a billion pixels was accepted";
  } catch (const Error &error) {
    EXPECT_STREQ(error.what(), "The blurred picture would be too large (radius 1000000).");
  }
  EXPECT_THROW((void)boxBlur(filled(Qt::red, 3, 3), 6000.0f), Error);

  QImage none;
  EXPECT_THROW(colorInvert(none), Error);
  EXPECT_TRUE(none.isNull());
}

TEST(ImageFilters, QuarterTurnsMoveEveryPixel) {
  // 3 x 2 pixels, each its own colour: row 0 = a b c, row 1 = d e f.
  QImage image(3, 2, QImage::Format_ARGB32_Premultiplied);
  const QRgb a = qRgb(255, 0, 0), b = qRgb(0, 255, 0), c = qRgb(0, 0, 255);
  const QRgb d = qRgb(255, 255, 0), e = qRgb(0, 255, 255), f = qRgb(255, 0, 255);
  const QRgb order[2][3] = {{a, b, c}, {d, e, f}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      image.setPixel(x, y, order[y][x]);
  image.setDotsPerMeterX(1000);
  image.setDotsPerMeterY(2000);

  // Counter-clockwise: the top row becomes the left column, read upwards.
  const QImage left = turnedQuarters(image, 1);
  ASSERT_EQ(left.size(), QSize(2, 3));
  EXPECT_EQ(left.pixel(0, 0), c);
  EXPECT_EQ(left.pixel(1, 0), f);
  EXPECT_EQ(left.pixel(0, 2), a);
  EXPECT_EQ(left.pixel(1, 2), d);
  EXPECT_EQ(left.dotsPerMeterX(), 2000);
  EXPECT_EQ(left.dotsPerMeterY(), 1000);

  // Clockwise (−1 and 3 alike): the top row becomes the right column, read downwards.
  for (int quarters : {-1, 3}) {
    const QImage right = turnedQuarters(image, quarters);
    ASSERT_EQ(right.size(), QSize(2, 3));
    EXPECT_EQ(right.pixel(1, 0), a);
    EXPECT_EQ(right.pixel(1, 2), c);
    EXPECT_EQ(right.pixel(0, 0), d);
  }

  const QImage half = turnedQuarters(image, 2);
  ASSERT_EQ(half.size(), QSize(3, 2));
  EXPECT_EQ(half.pixel(0, 0), f);
  EXPECT_EQ(half.pixel(2, 1), a);
  EXPECT_TRUE(samePixels(turnedQuarters(half, -2), image));
}
