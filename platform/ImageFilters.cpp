#include "platform/ImageFilters.h"

#include "platform/Images.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#endif

// The per-pixel work runs on eight pixels at a time in GCC vector types: plain SSE2 on
// any x86-64, and a second build of the hot loops for processors of the x86-64-v3 level
// (AVX2) that the loader picks at run time.
// The loader runs the function that picks the build before the sanitizers' runtimes
// start, so their builds (which measure correctness, not speed) have only the plain one.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__) && \
    !defined(__SANITIZE_ADDRESS__)
#define AMENDS_HOT __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define AMENDS_HOT
#endif
// Helpers of the hot loops are always inlined, so that they are compiled for the
// processor of the loop that uses them.
#define AMENDS_INLINE inline __attribute__((always_inline))
#define AMENDS_LAMBDA __attribute__((always_inline))
// The vector helpers below are internal to this file, so how a 32-byte vector would be
// passed between separately compiled functions does not matter here.
#if defined(__clang__)
#pragma clang diagnostic ignored "-Wpsabi"
#elif defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace ImageFilters {
namespace {

using u32x8 = std::uint32_t __attribute__((vector_size(32)));
using i32x8 = std::int32_t __attribute__((vector_size(32)));
using f32x8 = float __attribute__((vector_size(32)));

constexpr int Lanes = 8;

constexpr float LumaR = 0.2126f;
constexpr float LumaG = 0.7152f;
constexpr float LumaB = 0.0722f;

AMENDS_INLINE f32x8 splat(float v) { return f32x8{v, v, v, v, v, v, v, v}; }

// Eight premultiplied pixels as floats, 0..255.
struct Pixels {
  f32x8 r, g, b, a;
};

AMENDS_INLINE Pixels unpack(const u32x8 &p) {
  const u32x8 byte = {255, 255, 255, 255, 255, 255, 255, 255};
  return Pixels{__builtin_convertvector((p >> 16) & byte, f32x8), __builtin_convertvector((p >> 8) & byte, f32x8),
                __builtin_convertvector(p & byte, f32x8), __builtin_convertvector(p >> 24, f32x8)};
}

// A channel held to 0..a (premultiplied) and rounded; a value that is not a number
// (an absurd adjustment overflowing) counts as 0.
AMENDS_INLINE u32x8 channel(const f32x8 &value, const f32x8 &a) {
  f32x8 c = value;
  const f32x8 zero = splat(0.0f);
  c = c > zero ? c : zero;
  c = c < a ? c : a;
  return __builtin_convertvector(__builtin_convertvector(c + splat(0.5f), i32x8), u32x8);
}

AMENDS_INLINE u32x8 pack(const f32x8 &r, const f32x8 &g, const f32x8 &b, const f32x8 &a, const u32x8 &original) {
  const u32x8 alpha = original & u32x8{0xff000000u, 0xff000000u, 0xff000000u, 0xff000000u,
                                       0xff000000u, 0xff000000u, 0xff000000u, 0xff000000u};
  return alpha | (channel(r, a) << 16) | (channel(g, a) << 8) | channel(b, a);
}

void requireFinite(float value, const char *what) {
  if (!std::isfinite(value))
    throw Error(std::string("The ") + what + " is not a finite number.");
}

[[noreturn]] void outOfMemory() { throw Error("There is not enough memory to filter the picture."); }

#ifdef __linux__
// Pixel buffers of this size and more are laid out in huge pages where the system
// allows it: the first touch of a fresh buffer then costs one fault per 2 MB instead
// of one per 4 KB, which for a photo is a good part of a filter's time.
constexpr size_t HugePage = size_t(2) << 20;
constexpr size_t HugeBufferFrom = size_t(8) << 20;
#endif

// A new premultiplied ARGB32 image of the given size with the resolution of `like`.
QImage newImage(int width, int height, const QImage &like) {
  if (width <= 0 || height <= 0 || qint64(width) * height > Images::MaxPixels)
    throw Error("The filtered picture would be too large (" + std::to_string(width) + " x " +
                std::to_string(height) + " pixels).");
  QImage image;
#ifdef __linux__
  const qsizetype bytesPerLine = qsizetype(width) * 4;
  const size_t bytes = size_t(bytesPerLine) * size_t(height);
  if (bytes >= HugeBufferFrom) {
    const size_t size = (bytes + HugePage - 1) / HugePage * HugePage;
    void *memory = std::aligned_alloc(HugePage, size);
    if (!memory)
      outOfMemory();
    ::madvise(memory, size, MADV_HUGEPAGE);
    image = QImage(static_cast<uchar *>(memory), width, height, bytesPerLine, QImage::Format_ARGB32_Premultiplied,
                   [](void *data) { std::free(data); }, memory);
  }
#endif
  if (image.isNull())
    image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull())
    outOfMemory();
  image.setDotsPerMeterX(like.dotsPerMeterX());
  image.setDotsPerMeterY(like.dotsPerMeterY());
  return image;
}

// Pixels that can be read as premultiplied ARGB32 as they are: that format, and RGB32,
// whose alpha byte is always 0xff.
bool readableAsIs(const QImage &image) {
  return image.format() == QImage::Format_ARGB32_Premultiplied || image.format() == QImage::Format_RGB32;
}

// The image's pixels for reading as premultiplied ARGB32 (shared, not copied, when
// they can be read as they are).
QImage premultiplied(const QImage &image) {
  if (image.isNull())
    throw Error("There is no picture to filter.");
  if (readableAsIs(image))
    return image;
  QImage converted = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (converted.isNull())
    outOfMemory();
  return converted;
}

// Readies `image` for a filter that keeps its size. When its pixels are premultiplied
// ARGB32 that nobody else holds, the filter works in place and the answer is empty.
// Otherwise `image` gets new pixels to write and the answer is the old ones to read
// (others holding them keep them unchanged). Either succeeds or throws with `image`
// unchanged.
std::optional<QImage> beginPass(QImage &image) {
  if (image.isNull())
    throw Error("There is no picture to filter.");
  if (image.format() == QImage::Format_ARGB32_Premultiplied && image.isDetached())
    return std::nullopt;
  QImage old = premultiplied(image);
  image = newImage(old.width(), old.height(), old);
  return old;
}

// Row y of the pixels a pass reads.
AMENDS_INLINE const std::uint32_t *sourceRow(const std::optional<QImage> &old, QImage &image, int y) {
  return reinterpret_cast<const std::uint32_t *>(old ? old->constScanLine(y) : image.scanLine(y));
}

// Runs `kernel` (eight pixels in, eight pixels out) over every pixel: from `old` into
// `image`, or in place when `old` is empty. The last pixels of a row go through a
// padded copy.
template <class Kernel>
AMENDS_INLINE void mapRows(const std::optional<QImage> &old, QImage &image, Kernel &&kernel) {
  const int width = image.width();
  for (int y = 0; y < image.height(); ++y) {
    auto *out = reinterpret_cast<std::uint32_t *>(image.scanLine(y));
    const std::uint32_t *in = old ? reinterpret_cast<const std::uint32_t *>(old->constScanLine(y)) : out;
    int x = 0;
    for (; x + Lanes <= width; x += Lanes) {
      u32x8 p;
      std::memcpy(&p, in + x, sizeof p);
      const u32x8 q = kernel(p);
      std::memcpy(out + x, &q, sizeof q);
    }
    if (x < width) {
      u32x8 p = {};
      std::memcpy(&p, in + x, sizeof(std::uint32_t) * size_t(width - x));
      const u32x8 q = kernel(p);
      std::memcpy(out + x, &q, sizeof(std::uint32_t) * size_t(width - x));
    }
  }
}

// out = M (r, g, b) + offset × a, per row of M: {mr, mg, mb, offset}, channels 0..1.
struct ColourMatrix {
  float m[3][4];
};

AMENDS_HOT void applyMatrix(const std::optional<QImage> &old, QImage &image, const ColourMatrix &matrix) {
  f32x8 k[3][4];
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j)
      k[i][j] = splat(matrix.m[i][j]);
    k[i][3] = splat(matrix.m[i][3]);
  }
  mapRows(old, image, [&](const u32x8 &p) AMENDS_LAMBDA {
    const Pixels px = unpack(p);
    const f32x8 r = k[0][0] * px.r + k[0][1] * px.g + k[0][2] * px.b + k[0][3] * px.a;
    const f32x8 g = k[1][0] * px.r + k[1][1] * px.g + k[1][2] * px.b + k[1][3] * px.a;
    const f32x8 b = k[2][0] * px.r + k[2][1] * px.g + k[2][2] * px.b + k[2][3] * px.a;
    return pack(r, g, b, px.a, p);
  });
}

// Premultiplied, each channel c of a pixel is at most its alpha a, so a − c of all
// three is one subtraction of the colour bits from a repeated in every channel.
AMENDS_HOT void applyInvert(const std::optional<QImage> &old, QImage &image) {
  const u32x8 alphaMask = {0xff000000u, 0xff000000u, 0xff000000u, 0xff000000u,
                           0xff000000u, 0xff000000u, 0xff000000u, 0xff000000u};
  const u32x8 spread = {0x010101u, 0x010101u, 0x010101u, 0x010101u, 0x010101u, 0x010101u, 0x010101u, 0x010101u};
  mapRows(old, image, [&](const u32x8 &p) AMENDS_LAMBDA {
    const u32x8 alpha = p & alphaMask;
    return alpha | ((alpha >> 24) * spread - (p & ~alphaMask));
  });
}

void withMatrix(QImage &image, const ColourMatrix &matrix) {
  const std::optional<QImage> old = beginPass(image);
  applyMatrix(old, image, matrix);
}

void requireMatrixFinite(const ColourMatrix &matrix) {
  for (const auto &row : matrix.m)
    for (float v : row)
      if (!std::isfinite(v))
        throw Error("The adjustment gives colours that are not finite numbers.");
}

AMENDS_HOT void applyMonochrome(const std::optional<QImage> &old, QImage &image, const float colour[3],
                                float intensity) {
  const f32x8 wr = splat(LumaR), wg = splat(LumaG), wb = splat(LumaB);
  const f32x8 half = splat(0.5f), mix = splat(intensity);
  f32x8 dark[3], light[3];
  for (int i = 0; i < 3; ++i) {
    dark[i] = splat(2.0f * colour[i]);
    light[i] = splat(2.0f * (1.0f - colour[i]));
  }
  mapRows(old, image, [&](const u32x8 &p) AMENDS_LAMBDA {
    const Pixels px = unpack(p);
    // Premultiplied: the luminance is a × L, and the overlay of L over a colour c is
    // 2cL below the middle and 1 − 2(1 − c)(1 − L) above; times a both need no division.
    const f32x8 l = wr * px.r + wg * px.g + wb * px.b;
    const auto below = l < half * px.a;
    f32x8 out[3];
    const f32x8 in[3] = {px.r, px.g, px.b};
    for (int i = 0; i < 3; ++i) {
      const f32x8 overlay = below ? dark[i] * l : px.a - light[i] * (px.a - l);
      out[i] = in[i] + mix * (overlay - in[i]);
    }
    return pack(out[0], out[1], out[2], px.a, p);
  });
}

// The luminance of a row of premultiplied pixels, with two copies of the edge pixels
// on either side: padded[x + 2] is the luminance of pixel x.
AMENDS_HOT void rowLuminance(const std::uint32_t *row, int width, float *padded) {
  const f32x8 wr = splat(LumaR), wg = splat(LumaG), wb = splat(LumaB);
  int x = 0;
  for (; x + Lanes <= width; x += Lanes) {
    u32x8 p;
    std::memcpy(&p, row + x, sizeof p);
    const Pixels px = unpack(p);
    const f32x8 l = wr * px.r + wg * px.g + wb * px.b;
    std::memcpy(padded + 2 + x, &l, sizeof l);
  }
  for (; x < width; ++x) {
    const std::uint32_t p = row[x];
    padded[2 + x] = LumaR * float((p >> 16) & 255) + LumaG * float((p >> 8) & 255) + LumaB * float(p & 255);
  }
  padded[0] = padded[1] = padded[2];
  padded[width + 2] = padded[width + 3] = padded[width + 1];
}

// The horizontal pass of the 1 4 6 4 1 blur over a padded luminance row (not divided).
AMENDS_HOT void rowBinomial(const float *padded, int width, float *out) {
  const f32x8 four = splat(4.0f), six = splat(6.0f);
  int x = 0;
  for (; x + Lanes <= width; x += Lanes) {
    f32x8 a, b, c, d, e;
    std::memcpy(&a, padded + x, sizeof a);
    std::memcpy(&b, padded + x + 1, sizeof b);
    std::memcpy(&c, padded + x + 2, sizeof c);
    std::memcpy(&d, padded + x + 3, sizeof d);
    std::memcpy(&e, padded + x + 4, sizeof e);
    const f32x8 s = a + four * b + six * c + four * d + e;
    std::memcpy(out + x, &s, sizeof s);
  }
  for (; x < width; ++x)
    out[x] = padded[x] + 4.0f * padded[x + 1] + 6.0f * padded[x + 2] + 4.0f * padded[x + 3] + padded[x + 4];
}

// Adds sharpness × (luminance − blurred luminance) to the channels of one row; the
// blurred luminance is the vertical 1 4 6 4 1 pass over five horizontal rows, /256.
AMENDS_HOT void sharpenRow(const std::uint32_t *in, std::uint32_t *out, int width, const float *luminance,
                           const float *const rows[5], float sharpness) {
  const f32x8 four = splat(4.0f), six = splat(6.0f), scale = splat(1.0f / 256.0f), k = splat(sharpness);
  auto step = [&](const u32x8 &p, const f32x8 &l, const f32x8 (&h)[5]) AMENDS_LAMBDA {
    const Pixels px = unpack(p);
    const f32x8 blurred = (h[0] + four * h[1] + six * h[2] + four * h[3] + h[4]) * scale;
    const f32x8 delta = k * (l - blurred);
    return pack(px.r + delta, px.g + delta, px.b + delta, px.a, p);
  };
  int x = 0;
  for (; x + Lanes <= width; x += Lanes) {
    u32x8 p;
    f32x8 l, h[5];
    std::memcpy(&p, in + x, sizeof p);
    std::memcpy(&l, luminance + 2 + x, sizeof l);
    for (int i = 0; i < 5; ++i)
      std::memcpy(&h[i], rows[i] + x, sizeof h[i]);
    const u32x8 q = step(p, l, h);
    std::memcpy(out + x, &q, sizeof q);
  }
  if (x < width) {
    const size_t n = size_t(width - x);
    u32x8 p = {};
    f32x8 l = {}, h[5] = {};
    std::memcpy(&p, in + x, n * sizeof(std::uint32_t));
    std::memcpy(&l, luminance + 2 + x, n * sizeof(float));
    for (int i = 0; i < 5; ++i)
      std::memcpy(&h[i], rows[i] + x, n * sizeof(float));
    const u32x8 q = step(p, l, h);
    std::memcpy(out + x, &q, n * sizeof(std::uint32_t));
  }
}

using u32x4 = std::uint32_t __attribute__((vector_size(16)));
using u8x16 = std::uint8_t __attribute__((vector_size(16)));

// The box mean of a sum of n values: (sum × mul + half) >> 24 with mul = ⌈2^24 / n⌉
// is the rounded quotient for every sum up to 255 n while n is at most MaxBoxWindow,
// and stays within 32 bits.
constexpr int MaxBoxWindow = 10001;
constexpr std::uint32_t MeanHalf = 1u << 23;

// The four channel bytes of a pixel as four 32-bit lanes, and back.
AMENDS_INLINE u32x4 widen(std::uint32_t pixel) {
  u8x16 bytes = {};
  std::memcpy(&bytes, &pixel, sizeof pixel);
  const u8x16 zero = {};
  const u8x16 wide = __builtin_shufflevector(bytes, zero, 0, 16, 16, 16, 1, 16, 16, 16, 2, 16, 16, 16, 3, 16, 16, 16);
  u32x4 lanes;
  std::memcpy(&lanes, &wide, sizeof lanes);
  return lanes;
}

AMENDS_INLINE std::uint32_t narrow(u32x4 lanes) {
  u8x16 bytes;
  std::memcpy(&bytes, &lanes, sizeof bytes);
  const u8x16 packed = __builtin_shufflevector(bytes, bytes, 0, 4, 8, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  std::uint32_t pixel;
  std::memcpy(&pixel, &packed, sizeof pixel);
  return pixel;
}

// One row of the horizontal pass: `in` (width pixels) into `out` (width + 2r pixels),
// output pixel x being the mean of the input pixels x − 2r .. x (transparent outside).
AMENDS_HOT void boxRow(const std::uint32_t *in, int width, int r, std::uint32_t mul, std::uint32_t *out) {
  const int window = 2 * r + 1;
  const int outWidth = width + 2 * r;
  const u32x4 m = {mul, mul, mul, mul};
  const u32x4 half = {MeanHalf, MeanHalf, MeanHalf, MeanHalf};
  u32x4 sum = {0, 0, 0, 0};
  for (int x = 0; x < outWidth; ++x) {
    if (x < width)
      sum += widen(in[x]);
    if (x >= window && x - window < width)
      sum -= widen(in[x - window]);
    out[x] = narrow((sum * m + half) >> 24);
  }
}

// The vertical pass for one output row: adds the row entering the window and removes
// the one leaving it (either may be null) to the running column sums, and writes the
// means. The sums lie in blocks of eight pixels: blue, green, red, alpha, eight each.
AMENDS_HOT void boxColumnsRow(std::uint32_t *sums, const std::uint32_t *entering, const std::uint32_t *leaving,
                              int width, float inverse, std::uint32_t *out) {
  // The sums are below 2^24, exact as floats.
  const f32x8 m = splat(inverse);
  const f32x8 half = splat(0.5f);
  auto mean = [&](const u32x8 &sum) AMENDS_LAMBDA {
    return __builtin_convertvector(__builtin_convertvector(__builtin_convertvector(sum, f32x8) * m + half, i32x8), u32x8);
  };
  const u32x8 byte = {255, 255, 255, 255, 255, 255, 255, 255};
  // Eight pixels: the entering (p) and leaving (q) ones into the sums at `at`.
  auto step = [&](std::uint32_t *at, const u32x8 &p, const u32x8 &q) AMENDS_LAMBDA {
    u32x8 b, g, r, a;
    std::memcpy(&b, at, sizeof b);
    std::memcpy(&g, at + 8, sizeof g);
    std::memcpy(&r, at + 16, sizeof r);
    std::memcpy(&a, at + 24, sizeof a);
    b += (p & byte) - (q & byte);
    g += ((p >> 8) & byte) - ((q >> 8) & byte);
    r += ((p >> 16) & byte) - ((q >> 16) & byte);
    a += (p >> 24) - (q >> 24);
    std::memcpy(at, &b, sizeof b);
    std::memcpy(at + 8, &g, sizeof g);
    std::memcpy(at + 16, &r, sizeof r);
    std::memcpy(at + 24, &a, sizeof a);
    return mean(b) | (mean(g) << 8) | (mean(r) << 16) | (mean(a) << 24);
  };
  const u32x8 none = {};
  int x = 0;
  for (; x + Lanes <= width; x += Lanes) {
    u32x8 p = none, q = none;
    if (entering)
      std::memcpy(&p, entering + x, sizeof p);
    if (leaving)
      std::memcpy(&q, leaving + x, sizeof q);
    const u32x8 m = step(sums + size_t(x) * 4, p, q);
    std::memcpy(out + x, &m, sizeof m);
  }
  if (x < width) {
    const size_t n = size_t(width - x) * sizeof(std::uint32_t);
    u32x8 p = none, q = none;
    if (entering)
      std::memcpy(&p, entering + x, n);
    if (leaving)
      std::memcpy(&q, leaving + x, n);
    const u32x8 m = step(sums + size_t(x) * 4, p, q);
    std::memcpy(out + x, &m, n);
  }
}

double srgbToLinear(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

double linearToSrgb(double v) { return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055; }

ColourMatrix identity() {
  return ColourMatrix{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}};
}

// The exposure's table applied to the straight colour of every pixel.
AMENDS_HOT void applyLookup(const std::optional<QImage> &old, QImage &image, const std::uint8_t *lut) {
  // Opaque pixels, by far the most, look the three channels up in tables that hold
  // their values already in place.
  std::uint32_t red[256], green[256], blue[256];
  for (int v = 0; v < 256; ++v) {
    red[v] = std::uint32_t(lut[v]) << 16;
    green[v] = std::uint32_t(lut[v]) << 8;
    blue[v] = lut[v];
  }
  const int width = image.width();
  const int height = image.height();
  for (int y = 0; y < height; ++y) {
    auto *row = reinterpret_cast<std::uint32_t *>(image.scanLine(y));
    const std::uint32_t *in = old ? reinterpret_cast<const std::uint32_t *>(old->constScanLine(y)) : row;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = in[x];
      const std::uint32_t a = p >> 24;
      if (a == 255) {
        row[x] = 0xff000000u | red[(p >> 16) & 255] | green[(p >> 8) & 255] | blue[p & 255];
      } else if (a == 0) {
        row[x] = 0;
      } else {
        // The straight colour, looked up, premultiplied again.
        std::uint32_t q = p & 0xff000000u;
        for (int shift = 0; shift <= 16; shift += 8) {
          const std::uint32_t c = (p >> shift) & 255;
          const std::uint32_t straight = std::min<std::uint32_t>(255, (c * 255 + a / 2) / a);
          q |= ((std::uint32_t(lut[straight]) * a + 127) / 255) << shift;
        }
        row[x] = q;
      }
    }
  }
}

}  // namespace

void colorMonochrome(QImage &image, const QColor &color, float intensity) {
  requireFinite(intensity, "monochrome intensity");
  if (intensity == 0.0f)
    return;
  const QColor rgb = color.toRgb();
  const float colour[3] = {float(rgb.redF()), float(rgb.greenF()), float(rgb.blueF())};
  const std::optional<QImage> old = beginPass(image);
  applyMonochrome(old, image, colour, intensity);
}

void sepiaTone(QImage &image, float intensity) {
  requireFinite(intensity, "sepia intensity");
  if (intensity == 0.0f)
    return;
  static constexpr float Sepia[3][3] = {{0.393f, 0.769f, 0.189f}, {0.349f, 0.686f, 0.168f}, {0.272f, 0.534f, 0.131f}};
  ColourMatrix m = identity();
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      m.m[i][j] = intensity * Sepia[i][j] + (1.0f - intensity) * (i == j ? 1.0f : 0.0f);
  requireMatrixFinite(m);
  withMatrix(image, m);
}

void colorInvert(QImage &image) {
  const std::optional<QImage> old = beginPass(image);
  applyInvert(old, image);
}

void hueAdjust(QImage &image, float angle) {
  requireFinite(angle, "hue angle");
  if (angle == 0.0f)
    return;
  // The rotation by `angle` about the axis (1, 1, 1).
  const double c = std::cos(double(angle));
  const double s = std::sin(double(angle));
  const float k = float((1.0 - c) / 3.0);
  const float q = float(s / std::sqrt(3.0));
  const float d = float(c) + k;
  withMatrix(image, ColourMatrix{{{d, k - q, k + q, 0}, {k + q, d, k - q, 0}, {k - q, k + q, d, 0}}});
}

void colorControls(QImage &image, float saturation, float brightness, float contrast) {
  requireFinite(saturation, "saturation");
  requireFinite(brightness, "brightness");
  requireFinite(contrast, "contrast");
  if (saturation == 1.0f && brightness == 0.0f && contrast == 1.0f)
    return;
  const double lum[3] = {LumaR, LumaG, LumaB};
  ColourMatrix m{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j)
      m.m[i][j] = float(double(contrast) * ((1.0 - saturation) * lum[j] + (i == j ? double(saturation) : 0.0)));
    // The offset is taken times alpha (0..255), which scales it to the channels.
    m.m[i][3] = float(double(contrast) * brightness + 0.5 * (1.0 - contrast));
  }
  requireMatrixFinite(m);
  withMatrix(image, m);
}

void sharpenLuminance(QImage &image, float sharpness) {
  requireFinite(sharpness, "sharpness");
  if (sharpness == 0.0f)
    return;
  const std::optional<QImage> old = beginPass(image);
  const int width = image.width();
  const int height = image.height();

  // The luminance of the last three rows and five rows of it blurred horizontally,
  // kept in rings as the rows go by. Each is made from its row two rows before that row
  // is written, so the image can be sharpened in its own memory.
  const size_t stride = size_t(width) + 4 + Lanes;
  std::vector<float> luminance(stride * 3);
  std::vector<float> ring(stride * 5);
  auto ringIndex = [](int y, int n) { return size_t(((y % n) + n) % n); };
  auto fill = [&](int y) {
    float *padded = &luminance[ringIndex(y, 3) * stride];
    rowLuminance(sourceRow(old, image, std::clamp(y, 0, height - 1)), width, padded);
    rowBinomial(padded, width, &ring[ringIndex(y, 5) * stride]);
  };
  for (int y = -2; y <= 1; ++y)
    fill(y);
  for (int y = 0; y < height; ++y) {
    fill(y + 2);
    const float *rows[5];
    for (int i = 0; i < 5; ++i)
      rows[i] = &ring[ringIndex(y - 2 + i, 5) * stride];
    sharpenRow(sourceRow(old, image, y), reinterpret_cast<std::uint32_t *>(image.scanLine(y)), width,
               &luminance[ringIndex(y, 3) * stride], rows, sharpness);
  }
}

int boxBlurGrowth(float radius) {
  if (!std::isfinite(radius) || radius < 0.5f)
    return 0;
  // Larger radii are refused by boxBlur (the result could not be allocated).
  return int(std::min(std::floor(double(radius) + 0.5), 1.0e6));
}

QImage boxBlur(const QImage &image, float radius) {
  requireFinite(radius, "blur radius");
  const int r = boxBlurGrowth(radius);
  if (r == 0)
    return image;
  const QImage source = premultiplied(image);
  const qint64 outWidth = qint64(source.width()) + 2 * qint64(r);
  const qint64 outHeight = qint64(source.height()) + 2 * qint64(r);
  const int window = 2 * r + 1;
  if (window > MaxBoxWindow || outWidth * outHeight > Images::MaxPixels)
    throw Error("The blurred picture would be too large (radius " + std::to_string(r) + ").");
  QImage target = newImage(int(outWidth), int(outHeight), source);
  const std::uint32_t mul = (std::uint32_t(1) << 24) / std::uint32_t(window) + 1;

  // The horizontal pass of each input row goes into a ring of rows as long as the
  // window (plus the row leaving it); the vertical pass keeps running column sums.
  // Rows above and below the input are transparent.
  const int width = int(outWidth);
  const int height = source.height();
  const int ringRows = std::min(window + 1, height);
  std::vector<std::uint32_t> ring(size_t(width) * size_t(ringRows));
  // Column sums in blocks of eight pixels: blue, green, red and alpha, eight of each.
  std::vector<std::uint32_t> sums(size_t((width + Lanes - 1) / Lanes) * Lanes * 4, 0);
  auto slot = [&](int row) { return &ring[size_t(row % ringRows) * size_t(width)]; };
  for (int y = 0; y < int(outHeight); ++y) {
    // Output row y covers the input rows y − 2r .. y.
    const std::uint32_t *entering = nullptr;
    const std::uint32_t *leaving = nullptr;
    const int gone = y - window;
    if (gone >= 0 && gone < height)
      leaving = slot(gone);
    if (y < height) {
      boxRow(reinterpret_cast<const std::uint32_t *>(source.constScanLine(y)), source.width(), r, mul, slot(y));
      entering = slot(y);
    }
    boxColumnsRow(sums.data(), entering, leaving, width, 1.0f / float(window),
                  reinterpret_cast<std::uint32_t *>(target.scanLine(y)));
  }
  return target;
}

void exposureAdjust(QImage &image, float ev) {
  requireFinite(ev, "exposure value");
  if (ev == 0.0f)
    return;
  const double factor = std::exp2(double(ev));
  std::array<std::uint8_t, 256> lut;
  for (int v = 0; v < 256; ++v) {
    const double linear = std::min(1.0, srgbToLinear(v / 255.0) * factor);
    lut[size_t(v)] = std::uint8_t(std::lround(std::clamp(linearToSrgb(linear), 0.0, 1.0) * 255.0));
  }
  const std::optional<QImage> old = beginPass(image);
  applyLookup(old, image, lut.data());
}

QImage turnedQuarters(const QImage &image, int quarters) {
  const int turn = ((quarters % 4) + 4) % 4;
  if (turn == 0)
    return image;
  const QImage source = premultiplied(image);
  const int w = source.width();
  const int h = source.height();
  const bool quarter = turn != 2;
  QImage target = newImage(quarter ? h : w, quarter ? w : h, source);
  if (quarter) {
    target.setDotsPerMeterX(source.dotsPerMeterY());
    target.setDotsPerMeterY(source.dotsPerMeterX());
  }
  const qsizetype stride = target.bytesPerLine() / 4;
  auto *out = reinterpret_cast<std::uint32_t *>(target.bits());
  // Pixel (x, y) goes to (y, w − 1 − x) for a quarter turn counter-clockwise, to
  // (h − 1 − y, x) for three, and to (w − 1 − x, h − 1 − y) for a half turn. Quarter
  // turns go by tiles, so that reading and writing both stay within the caches.
  constexpr int Tile = 32;
  if (quarter) {
    for (int y0 = 0; y0 < h; y0 += Tile) {
      const int y1 = std::min(y0 + Tile, h);
      for (int x0 = 0; x0 < w; x0 += Tile) {
        const int x1 = std::min(x0 + Tile, w);
        for (int y = y0; y < y1; ++y) {
          const auto *in = reinterpret_cast<const std::uint32_t *>(source.constScanLine(y));
          if (turn == 1)
            for (int x = x0; x < x1; ++x)
              out[qsizetype(w - 1 - x) * stride + y] = in[x];
          else
            for (int x = x0; x < x1; ++x)
              out[qsizetype(x) * stride + (h - 1 - y)] = in[x];
        }
      }
    }
  } else {
    for (int y = 0; y < h; ++y) {
      const auto *in = reinterpret_cast<const std::uint32_t *>(source.constScanLine(y));
      std::uint32_t *row = out + qsizetype(h - 1 - y) * stride;
      std::reverse_copy(in, in + w, row);
    }
  }
  return target;
}

}  // namespace ImageFilters
