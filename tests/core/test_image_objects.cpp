// The picture-bearing card objects and the filter chain they draw through: the size
// limit and rotation rules, the order of the steps and their failures, the kept
// result and its computation in the background, and the image, signature,
// fingerprint and barcode objects as they are created, loaded and drawn (read back
// from the pixels).

#include "core/CardObjectArchive.h"
#include "core/Globals.h"
#include "core/ImageFilterChain.h"
#include "core/QLNBarcode.h"
#include "core/QLNImage.h"
#include "core/QLNSignature.h"
#include "core/Utilities.h"
#include "platform/ImageFilters.h"
#include "platform/Images.h"

#include "tests/common/PixelHelpers.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>

#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

using namespace pixeltest;

namespace {

const QColor Red(255, 0, 0), Green(0, 255, 0), Blue(0, 0, 255), Yellow(255, 255, 0);

// A picture of w x h pixels: red top left, green top right, blue bottom left, yellow
// bottom right.
QImage quadrants(int w = 20, int h = 20) {
  QImage image(w, h, QImage::Format_ARGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image.setPixelColor(x, y, y < h / 2 ? (x < w / 2 ? Red : Green) : (x < w / 2 ? Blue : Yellow));
  return image;
}

QImage plain(const QColor &colour, int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(colour);
  return image;
}

// The picture at one point per pixel.
PointImage atPixelSize(const QImage &pixels) { return PointImage{pixels, QSizeF(pixels.size())}; }

// The object drawn into a white image of w x h pixels, one pixel per point (output).
QImage painted(QLNGraphic &graphic, int w = 80, int h = 80) {
  QImage image = whiteImage(w, h);
  QPainter painter(&image);
  graphic.drawContentsInView(&painter, false);
  painter.end();
  return image;
}

bool samePixels(const QImage &a, const QImage &b) {
  const QImage x = a.convertToFormat(QImage::Format_ARGB32);
  const QImage y = b.convertToFormat(QImage::Format_ARGB32);
  if (x.size() != y.size())
    return false;
  for (int row = 0; row < x.height(); ++row)
    if (std::memcmp(x.constScanLine(row), y.constScanLine(row), size_t(x.width()) * 4) != 0)
      return false;
  return true;
}

ImageAdjustments inverting() {
  ImageAdjustments a;
  a.invert = true;
  return a;
}

// A temporary folder for picture files that is also the resource folder.
class PictureFiles : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    m_savedResourcePath = Resource_Path;
    Resource_Path = m_dir.path();
  }
  void TearDown() override { Resource_Path = m_savedResourcePath; }

  // Writes `image` as PNG at `dpi` and answers its path.
  QString write(const QString &name, const QImage &image, double dpi = 72) {
    const QString path = m_dir.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QString error;
    EXPECT_TRUE(writePng(path, image, dpi, &error)) << error.toStdString();
    return path;
  }
  QString path(const QString &name) const { return m_dir.filePath(name); }

  QTemporaryDir m_dir;

private:
  QString m_savedResourcePath;
};

// A widget that draws one card object when it paints: the screen.
class Screen : public QWidget {
public:
  explicit Screen(QLNGraphic &graphic) : m_graphic(graphic) { resize(80, 80); }

protected:
  void paintEvent(QPaintEvent *) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    m_graphic.drawContentsInView(&painter, false);
  }

private:
  QLNGraphic &m_graphic;
};

}  // namespace

// ---- The chain ---------------------------------------------------------------------------

TEST(ImageFilterChain, SizeLimitTakesEachSideOnItsOwnAndOnlyInItsCopy) {
  const QImage pixels = plain(Red, 8, 8);
  const struct {
    QSizeF in, out;
  } cases[] = {{{1000, 300}, {724, 300}}, {{500, 600}, {500, 468}}, {{800, 900}, {724, 468}},
               {{724, 468}, {724, 468}}, {{100.5, 50.25}, {100.5, 50.25}}};
  for (const auto &c : cases) {
    const PointImage picture{pixels, c.in};
    const PointImage limited = ImageProcesser::Set_Dimaension(picture);
    EXPECT_EQ(limited.points, c.out) << c.in.width() << " x " << c.in.height();
    EXPECT_EQ(picture.points, c.in) << "the picture handed in was changed";
    EXPECT_EQ(limited.pixels.size(), QSize(8, 8)) << "the size limit does not resample";
  }
}

TEST(ImageFilterChain, RotationSizesAndDirections) {
  // 200 x 100: white with a red band along the top.
  QImage banded = plain(Qt::white, 200, 100);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 200; ++x)
      banded.setPixelColor(x, y, Red);
  const PointImage picture = atPixelSize(banded);

  // A quarter turn counter-clockwise: the top goes to the left.
  const PointImage left = imageRotated(picture, 90);
  EXPECT_EQ(left.points, QSizeF(100, 200));
  ASSERT_EQ(left.pixels.size(), QSize(100, 200));
  EXPECT_EQ(left.pixels.pixelColor(3, 100), Red);
  EXPECT_EQ(left.pixels.pixelColor(96, 100), QColor(Qt::white));
  EXPECT_TRUE(samePixels(imageRotated(picture, 450).pixels, left.pixels));
  // −90: the same size, the other way round.
  const PointImage right = imageRotated(picture, -90);
  EXPECT_EQ(right.points, QSizeF(100, 200));
  EXPECT_EQ(right.pixels.pixelColor(96, 100), Red);
  EXPECT_EQ(right.pixels.pixelColor(3, 100), QColor(Qt::white));
  // Half a turn keeps the size; the band is at the bottom.
  const PointImage upsideDown = imageRotated(picture, 180);
  EXPECT_EQ(upsideDown.points, QSizeF(200, 100));
  EXPECT_EQ(upsideDown.pixels.pixelColor(100, 96), Red);

  // Any other angle: a square of the larger side plus 20 points, the picture centred,
  // the corners transparent.
  const PointImage tilted = imageRotated(picture, 45);
  EXPECT_EQ(tilted.points, QSizeF(220, 220));
  EXPECT_EQ(tilted.pixels.pixelColor(110, 110), QColor(Qt::white));
  EXPECT_EQ(tilted.pixels.pixelColor(2, 2).alpha(), 0);
  EXPECT_EQ(tilted.pixels.pixelColor(217, 217).alpha(), 0);
  EXPECT_EQ(imageRotated(picture, 30).points, QSizeF(220, 220));

  // Whole turns give the picture itself.
  for (float d : {0.0f, 360.0f, -360.0f, 720.0f}) {
    const PointImage same = imageRotated(picture, d);
    EXPECT_EQ(same.pixels.cacheKey(), picture.pixels.cacheKey()) << d;
    EXPECT_EQ(same.points, picture.points) << d;
  }

  // A finer picture keeps its pixels: 144 dpi, 400 x 200 pixels for 200 x 100 points.
  const PointImage fine{banded.scaled(400, 200), QSizeF(200, 100)};
  const PointImage fineLeft = imageRotated(fine, 90);
  EXPECT_EQ(fineLeft.points, QSizeF(100, 200));
  EXPECT_EQ(fineLeft.pixels.size(), QSize(200, 400));
  EXPECT_EQ(imageRotated(fine, 45).pixels.size(), QSize(440, 440));

  // A result that could never be allocated is refused, not attempted.
  EXPECT_THROW(imageRotated(PointImage{plain(Red, 100, 100), QSizeF(0.01, 0.01)}, 45), ImageFilters::Error);

  // The object's rotation is whole degrees, truncated toward zero.
  QLNImage image;
  for (const auto &[field, degrees] : {std::pair{30.7f, 30}, std::pair{-30.7f, -30}, std::pair{89.99f, 89},
                                       std::pair{std::numeric_limits<float>::quiet_NaN(), 0},
                                       std::pair{1.0e20f, 0}}) {
    image.rotate_image = field;
    EXPECT_EQ(image.adjustments().rotate, degrees) << field;
  }
}

TEST(ImageFilterChain, NeutralValuesLeaveThePixelsUnchanged) {
  // Half-transparent, not premultiplied: any conversion would show.
  QImage pixels(9, 5, QImage::Format_ARGB32);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 9; ++x)
      pixels.setPixelColor(x, y, QColor(x * 28, 250 - y * 40, 77, 1 + x * 30));
  const PointImage picture{pixels, QSizeF(1000, 500)};
  const PointImage result = ImageAdjustments().applyTo(picture);
  EXPECT_EQ(result.pixels.constBits(), pixels.constBits());
  EXPECT_EQ(result.pixels.format(), QImage::Format_ARGB32);
  const PointImage direct = ImageProcesser::Get_Processed_Image(picture, false, false, false, 0.0f, 1.0f, 0.0f, 1.0f,
                                                                360, 0.0f, 0.0f, 0.0f, 100.0f);
  EXPECT_TRUE(samePixels(direct.pixels, pixels));
  EXPECT_TRUE(ImageAdjustments().isNeutral());
  EXPECT_FALSE(inverting().isNeutral());
}

TEST(ImageFilterChain, StepsRunInTheirFixedOrder) {
  const QColor colour(200, 50, 100);
  const PointImage picture = atPixelSize(plain(colour, 10, 8));
  ImageAdjustments a;
  a.grayscale = true;
  a.sepia = true;
  a.invert = true;
  a.exposure = 0.5f;
  a.blur = 2.0f;
  const PointImage result = a.applyTo(picture);
  // The blur grew it by 2 pixels on each side; one point per pixel.
  ASSERT_EQ(result.pixels.size(), QSize(14, 12));
  EXPECT_EQ(result.points, QSizeF(14, 12));

  // Monochrome, then sepia of that grey, then inverted, then exposed: by hand from the
  // formulas, at the middle pixel (the blur of a flat colour is the colour).
  const double l = std::round(0.2126 * 200 + 0.7152 * 50 + 0.0722 * 100);
  const double sepia[3] = {std::min(255.0, std::round(1.351 * l)), std::min(255.0, std::round(1.203 * l)),
                           std::min(255.0, std::round(0.937 * l))};
  auto expose = [](double v) {
    double c = v / 255.0;
    c = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    c = std::min(1.0, c * std::exp2(0.5));
    c = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
    return int(std::lround(c * 255.0));
  };
  const QColor expected(expose(255 - sepia[0]), expose(255 - sepia[1]), expose(255 - sepia[2]));
  EXPECT_TRUE(near(result.pixels.pixelColor(7, 6), expected, 2))
      << result.pixels.pixelColor(7, 6).name().toStdString() << " for " << expected.name().toStdString();
  // Inverting before the sepia (the wrong order) would give quite another colour.
  EXPECT_FALSE(near(expected, QColor(expose(std::min(255.0, std::round(1.351 * (255 - l)))),
                                     expose(std::min(255.0, std::round(1.203 * (255 - l)))),
                                     expose(std::min(255.0, std::round(0.937 * (255 - l))))),
                    20));
}

TEST(ImageFilterChain, AFailingStepShowsItsNameAndTheChainGoesOn) {
  ScopedScriptedUi ui;
  const PointImage picture = atPixelSize(plain(QColor(10, 20, 30), 6, 4));

  // The hue fails; the inversion before it and the exposure after it still apply.
  ImageAdjustments a = inverting();
  a.hue = std::numeric_limits<float>::quiet_NaN();
  ui.expectAlert();
  const PointImage result = a.applyTo(picture);
  EXPECT_EQ(ui.alertTexts(), QStringList{QStringLiteral("\nadjust_Hue")});
  EXPECT_EQ(result.pixels.pixelColor(2, 2), QColor(245, 235, 225));

  // A blur too large to be made: the picture goes on at its size.
  ui.clear();
  ui.expectAlert();
  ImageAdjustments huge;
  huge.blur = 1.0e9f;
  EXPECT_EQ(huge.applyTo(picture).pixels.size(), QSize(6, 4));
  EXPECT_EQ(ui.alertTexts(), QStringList{QStringLiteral("\nadjust_boxBlur")});

  // The monochrome step names the reason first.
  ui.clear();
  ui.expectAlert();
  ui.expectAlert();
  EXPECT_TRUE(ImageProcesser::GrayScale(PointImage()).isNull());
  EXPECT_EQ(ui.alertTexts(),
            QStringList({QStringLiteral("\nThere is no picture to filter."), QStringLiteral("\nGrayScale")}));
}

// ---- The kept result -----------------------------------------------------------------------

TEST(FilteredPictureCache, KeepsTheResultUntilThePictureOrAnAdjustmentChanges) {
  FilteredPictureCache cache;
  const PointImage picture = atPixelSize(plain(QColor(0, 100, 200), 16, 16));
  using Mode = FilteredPictureCache::Mode;

  const auto first = cache.picture(picture, inverting(), Mode::Wait);
  ASSERT_TRUE(first.current);
  EXPECT_EQ(first.picture.pixels.pixelColor(1, 1), QColor(255, 155, 55));
  EXPECT_EQ(cache.picture(picture, inverting(), Mode::Wait).picture.pixels.cacheKey(),
            first.picture.pixels.cacheKey());
  EXPECT_EQ(cache.picture(picture, inverting(), Mode::Background).picture.pixels.cacheKey(),
            first.picture.pixels.cacheKey());

  // Another adjustment, another picture, or the same pixels at another size: made again.
  ImageAdjustments turned = inverting();
  turned.rotate = 90;
  EXPECT_NE(cache.picture(picture, turned, Mode::Wait).picture.pixels.cacheKey(), first.picture.pixels.cacheKey());
  const PointImage other = atPixelSize(plain(QColor(0, 0, 0), 16, 16));
  EXPECT_EQ(cache.picture(other, inverting(), Mode::Wait).picture.pixels.pixelColor(1, 1), QColor(Qt::white));
  const PointImage resized{picture.pixels, QSizeF(8, 8)};
  const auto again = cache.picture(resized, inverting(), Mode::Wait);
  EXPECT_NE(again.picture.pixels.cacheKey(), first.picture.pixels.cacheKey());

  // A value that is not a number is still the same value: its failure is shown once,
  // not on every paint.
  ScopedScriptedUi ui;
  ui.expectAlert();
  ImageAdjustments broken;
  broken.exposure = std::numeric_limits<float>::quiet_NaN();
  cache.picture(picture, broken, Mode::Wait);
  cache.picture(picture, broken, Mode::Wait);
  EXPECT_EQ(ui.alertTexts(), QStringList{QStringLiteral("\nadjust_EV")});
}

TEST(FilteredPictureCacheWorker, BackgroundComputationShowsAStandInThenRedraws) {
  RefreshCounter window;
  FilteredPictureCache cache;
  const PointImage picture = atPixelSize(plain(QColor(0, 100, 200), 64, 64));
  using Mode = FilteredPictureCache::Mode;

  // Not kept yet: the picture itself at once, the chain in the background.
  const auto standIn = cache.picture(picture, inverting(), Mode::Background);
  EXPECT_FALSE(standIn.current);
  EXPECT_EQ(standIn.picture.pixels.cacheKey(), picture.pixels.cacheKey());
  ASSERT_TRUE(spinUntil([&] { return !cache.isComputing() && window.count > 0; }));
  const auto done = cache.picture(picture, inverting(), Mode::Background);
  ASSERT_TRUE(done.current);
  EXPECT_EQ(done.picture.pixels.pixelColor(5, 5), QColor(255, 155, 55));

  // An adjustment changes: the last result of the same picture stands in meanwhile.
  ImageAdjustments more = inverting();
  more.sepia = true;
  const auto meanwhile = cache.picture(picture, more, Mode::Background);
  EXPECT_FALSE(meanwhile.current);
  EXPECT_EQ(meanwhile.picture.pixels.cacheKey(), done.picture.pixels.cacheKey());
  ASSERT_TRUE(spinUntil([&] { return cache.picture(picture, more, Mode::Background).current; }));

  // A failing filter's message comes to the GUI thread with the result.
  ScopedScriptedUi ui;
  ui.expectAlert();
  ImageAdjustments broken = inverting();
  broken.contrast = std::numeric_limits<float>::infinity();
  cache.picture(picture, broken, Mode::Background);
  ASSERT_TRUE(spinUntil([&] { return ui.pending() == 0; }));
  EXPECT_EQ(ui.alertTexts(), QStringList{QStringLiteral("\nadjust_Color_Control")});
  ASSERT_TRUE(spinUntil([&] { return !cache.isComputing(); }));

  // Forgotten results are not stored by a computation that was running.
  ImageAdjustments slow;
  slow.blur = 20.0f;
  cache.picture(picture, slow, Mode::Background);
  cache.clear();
  ASSERT_TRUE(spinUntil([&] { return !cache.isComputing(); }));
  EXPECT_FALSE(cache.picture(picture, slow, Mode::Background).current);
  ASSERT_TRUE(spinUntil([&] { return !cache.isComputing(); }));
}

// ---- Image objects -------------------------------------------------------------------------

TEST_F(PictureFiles, AnImageObjectTakesThePicturesSizeInPoints) {
  auto plainImage = std::make_shared<QLNImage>();
  plainImage->initWithPath(QPointF(100, 100), write(QStringLiteral("plain.png"), quadrants(40, 20), 72));
  EXPECT_EQ(plainImage->bounds(), QRectF(80, 90, 40, 20));

  // 144 dots per inch: 80 x 40 pixels are 40 x 20 points.
  auto fine = std::make_shared<QLNImage>();
  fine->initWithPath(QPointF(100, 100), write(QStringLiteral("fine.png"), quadrants(80, 40), 144));
  EXPECT_EQ(fine->bounds(), QRectF(80, 90, 40, 20));
  EXPECT_EQ(fine->_contents.pixels.size(), QSize(80, 40));

  // From a picture in memory, with the chosen file as its path.
  auto given = std::make_shared<QLNImage>();
  given->initWithPosition(QPointF(50, 60), PointImage{quadrants(8, 8), QSizeF(40, 20)}, QStringLiteral("lib.png"));
  EXPECT_EQ(given->bounds(), QRectF(30, 50, 40, 20));
  EXPECT_EQ(given->FilePath(), QStringLiteral("lib.png"));

  // No picture: an empty rectangle at the point, not one of negative size.
  auto missing = std::make_shared<QLNImage>();
  ScopedLogCapture log;
  missing->initWithPath(QPointF(100, 100), path(QStringLiteral("missing.png")));
  EXPECT_EQ(missing->bounds(), QRectF(100, 100, 0, 0));
}

TEST_F(PictureFiles, PictureFilesAreResolvedReloadedAndRefusedWithAReason) {
  const QString a = write(QStringLiteral("pics/a.png"), quadrants(30, 10));
  write(QStringLiteral("pics/b.png"), quadrants(12, 12));
  QLNImage image;

  // "~" and "." / ".." components.
  ScopedEnvironment home("HOME", m_dir.path());
  image.setFilePath(QStringLiteral("~/pics/a.png"));
  EXPECT_EQ(image.FilePath(), QStringLiteral("~/pics/a.png"));
  EXPECT_EQ(image._contents.points, QSizeF(30, 10));
  image.setFilePath(m_dir.path() + QStringLiteral("/pics/./x/../b.png"));
  EXPECT_EQ(image._contents.points, QSizeF(12, 12));

  // What cannot be loaded leaves no picture and says why in the log.
  QFile text(path(QStringLiteral("pics/text.png")));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("this is not a picture");
  text.close();
  const QString huge = path(QStringLiteral("pics/huge.png"));
  runPython(QStringLiteral(R"(
import struct, sys, zlib
def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', 20000, 20000, 8, 6, 0, 0, 0))
png += chunk(b'IDAT', zlib.compress(b'\x00' * 64)) + chunk(b'IEND', b'')
open(sys.argv[1], 'wb').write(png)
)"),
            {huge});
  const struct {
    QString path, reason;
  } refused[] = {{path(QStringLiteral("pics/missing.png")), QStringLiteral("cannot be opened")},
                 {text.fileName(), QStringLiteral("cannot be read")},
                 {huge, QStringLiteral("is too large (20000 x 20000 pixels).")}};
  for (const auto &r : refused) {
    ScopedLogCapture log;
    image.setFilePath(a);
    image.setFilePath(r.path);
    EXPECT_TRUE(image._contents.isNull()) << r.path.toStdString();
    EXPECT_EQ(image.FilePath(), r.path);
    ASSERT_EQ(log.lines().size(), 1) << r.path.toStdString();
    EXPECT_TRUE(log.lines().first().contains(r.path) && log.lines().first().contains(r.reason))
        << log.lines().first().toStdString();
  }
  ScopedLogCapture quiet;
  image.setFilePath(QString());
  EXPECT_TRUE(image._contents.isNull());
  EXPECT_TRUE(quiet.lines().isEmpty());
}

TEST_F(PictureFiles, APhotoAboveQtsOwnMemoryLimitIsRead) {
  // 6000 x 5600 grey and alpha: 134 MB as the ARGB32 it becomes, more than Qt reads
  // by default.
  const QString photo = path(QStringLiteral("photo.png"));
  runPython(QStringLiteral(R"(
import struct, sys, zlib
w, h = 6000, 5600
def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 4, 0, 0, 0))
png += chunk(b'IDAT', zlib.compress((b'\x00' + b'\x80\xff' * w) * h, 1)) + chunk(b'IEND', b'')
open(sys.argv[1], 'wb').write(png)
)"),
            {photo});
  QLNImage image;
  ScopedLogCapture log;
  image.setFilePath(photo);
  EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join(u'\n').toStdString();
  EXPECT_EQ(image._contents.pixels.size(), QSize(6000, 5600));
}

TEST(ImageObject, FlipsLandTheRightWayUp) {
  QLNImage image;
  image._contents = atPixelSize(quadrants());
  image._file_path = QStringLiteral("quadrants.png");
  image._isDrawingStroke = false;
  image._bounds = QRectF(10, 10, 40, 40);
  // The colour at the middle of each quarter of the bounds: TL, TR, BL, BR.
  auto corners = [](const QImage &drawn) {
    return std::vector<QColor>{at(drawn, 20, 20), at(drawn, 40, 20), at(drawn, 20, 40), at(drawn, 40, 40)};
  };
  const QImage upright = painted(image);
  EXPECT_EQ(corners(upright), (std::vector<QColor>{Red, Green, Blue, Yellow}));

  image.flipHorizontally();
  EXPECT_EQ(corners(painted(image)), (std::vector<QColor>{Green, Red, Yellow, Blue}));
  image.flipVertically();
  EXPECT_EQ(corners(painted(image)), (std::vector<QColor>{Yellow, Blue, Green, Red}));
  image.flipHorizontally();
  EXPECT_EQ(corners(painted(image)), (std::vector<QColor>{Blue, Yellow, Red, Green}));
  image.flipVertically();
  EXPECT_TRUE(samePixels(painted(image), upright));
  // Nothing spills out of the bounds either way.
  image._isFlippedHorizontally = image._isFlippedVertically = true;
  const QImage both = painted(image);
  EXPECT_TRUE(isWhite(at(both, 9, 30)) && isWhite(at(both, 50, 30)) && isWhite(at(both, 30, 9)) &&
              isWhite(at(both, 30, 50)));
}

TEST(ImageObject, TheWholeFilteredPictureFillsTheBounds) {
  // 144 dots per inch (40 x 40 pixels for 20 x 20 points), inverted and turned: the
  // filtered picture has other pixels and another size than the stored one, and all of
  // it is stretched to the bounds.
  QLNImage image;
  image._contents = PointImage{quadrants(40, 40), QSizeF(20, 20)};
  image._file_path = QStringLiteral("fine.png");
  image._isDrawingStroke = false;
  image._bounds = QRectF(10, 10, 40, 40);
  image.invert_clr = true;
  const QColor cyan(0, 255, 255), magenta(255, 0, 255), yellow(255, 255, 0), blue(0, 0, 255);
  QImage drawn = painted(image);
  EXPECT_EQ((std::vector<QColor>{at(drawn, 20, 20), at(drawn, 40, 20), at(drawn, 20, 40), at(drawn, 40, 40)}),
            (std::vector<QColor>{cyan, magenta, yellow, blue}));
  // A quarter turn counter-clockwise: the top right quarter comes to the top left.
  image.rotate_image = 90;
  drawn = painted(image);
  EXPECT_EQ((std::vector<QColor>{at(drawn, 20, 20), at(drawn, 40, 20), at(drawn, 20, 40), at(drawn, 40, 40)}),
            (std::vector<QColor>{magenta, blue, cyan, yellow}));
}

TEST(ImageObject, TransparencyAppliesToThePictureNotItsBorder) {
  QLNImage image;
  image._contents = atPixelSize(plain(Red, 10, 10));
  image._file_path = QStringLiteral("red.png");
  image._bounds = QRectF(10, 10, 40, 40);
  image._isDrawingStroke = true;
  image._strokeColor = QColor(0, 0, 0);
  image._strokeWidth = 4;
  image.alpha_val_stroke = 1.0f;

  image.img_trnsp_val = 50;
  QImage drawn = painted(image);
  EXPECT_TRUE(near(at(drawn, 30, 30), QColor(255, 128, 128), 2)) << at(drawn, 30, 30).name().toStdString();
  EXPECT_EQ(at(drawn, 8.5, 30), QColor(0, 0, 0)) << "the border outside the picture is opaque";

  image.img_trnsp_val = 0;
  EXPECT_TRUE(isWhite(at(painted(image), 30, 30)));
  for (float opaque : {100.0f, 250.0f, std::numeric_limits<float>::quiet_NaN()}) {
    image.img_trnsp_val = opaque;
    EXPECT_EQ(at(painted(image), 30, 30), Red) << opaque;
  }
}

TEST(ImageObject, WithoutAPictureOnlyTheBorderIsDrawn) {
  RefreshCounter window;
  QLNImage image;
  image._bounds = QRectF(10, 10, 40, 40);
  image._isDrawingStroke = true;
  image._strokeColor = QColor(0, 0, 0);
  image._strokeWidth = 2;
  image.alpha_val_stroke = 1.0f;

  // No file path: nothing at all, not even the border, and no redraw request.
  EXPECT_TRUE(allWhite(painted(image)));
  EXPECT_EQ(window.count, 0);

  // A file that could not be read, and a picture without a size: the border only.
  image.setFilePath(QStringLiteral("/nonexistent/picture.png"));
  const QImage missing = painted(image);
  EXPECT_EQ(at(missing, 10, 30), QColor(0, 0, 0));
  EXPECT_TRUE(isWhite(at(missing, 30, 30)));
  EXPECT_EQ(window.count, 1);
  image._contents = PointImage{plain(Red, 4, 4), QSizeF(0, 0)};
  const QImage sizeless = painted(image);
  EXPECT_EQ(at(sizeless, 10, 30), QColor(0, 0, 0));
  EXPECT_TRUE(isWhite(at(sizeless, 30, 30)));

  // Hidden: nothing, no redraw request.
  image._contents = atPixelSize(plain(Red, 4, 4));
  image.Set_Ctrl_Is_Visible(false);
  window.count = 0;
  EXPECT_TRUE(allWhite(painted(image)));
  EXPECT_EQ(window.count, 0);
}

TEST(ImageObject, OutputDrawsTheFilteredPictureAndTheStoredOneStaysAsLoaded) {
  QLNImage image;
  image._contents = atPixelSize(plain(QColor(0, 100, 200), 1000, 300));
  const qint64 stored = image._contents.pixels.cacheKey();
  image._file_path = QStringLiteral("wide.png");
  image._isDrawingStroke = false;
  image._bounds = QRectF(0, 0, 80, 24);
  image.invert_clr = true;
  image.rotate_image = 180;

  // Drawn into an image (output): the filtered picture, stretched to the bounds.
  EXPECT_EQ(at(painted(image), 40, 12), QColor(255, 155, 55));
  // The object's own picture is untouched: its pixels and its size (the size limit
  // works on the chain's copy).
  EXPECT_EQ(image._contents.points, QSizeF(1000, 300));
  EXPECT_EQ(image._contents.pixels.cacheKey(), stored);
  EXPECT_EQ(image._contents.pixels.pixelColor(5, 5), QColor(0, 100, 200));
  image.makeNaturalSize();
  EXPECT_EQ(image.bounds(), QRectF(0, 0, 1000, 300));
}

TEST(ImageObject, NaturalSizeIsThePicturesSizeUnlessLocked) {
  QLNImage image;
  image._contents = PointImage{quadrants(8, 8), QSizeF(40, 20)};
  image._bounds = QRectF(5, 6, 100, 100);
  image._isFlippedHorizontally = true;
  image._isFlippedVertically = true;

  image.ctrl_is_locked = true;
  image.makeNaturalSize();
  EXPECT_EQ(image.bounds(), QRectF(5, 6, 100, 100));
  EXPECT_TRUE(image._isFlippedHorizontally);

  image.ctrl_is_locked = false;
  image.makeNaturalSize();
  EXPECT_EQ(image.bounds(), QRectF(5, 6, 40, 20));
  EXPECT_FALSE(image._isFlippedHorizontally);
  EXPECT_FALSE(image._isFlippedVertically);

  // Without a picture there is no size to take.
  image._contents = PointImage();
  image._bounds = QRectF(5, 6, 100, 100);
  image.makeNaturalSize();
  EXPECT_EQ(image.bounds(), QRectF(5, 6, 100, 100));
}

TEST(ImageObject, ACopyForOutputTakesTheKeptResult) {
  QLNImage original;
  original._contents = atPixelSize(plain(QColor(0, 100, 200), 50, 50));
  original.invert_clr = true;
  const auto kept = original.processedPicture(FilteredPictureCache::Mode::Wait);
  ASSERT_TRUE(kept.current);

  // Same picture, same adjustments (as a copy through the archive has them): the
  // result is there without running the chain; other adjustments make their own.
  QLNImage copy;
  copy.invert_clr = true;
  copy.copyPictureFrom(original);
  const auto taken = copy.processedPicture(FilteredPictureCache::Mode::Background);
  EXPECT_TRUE(taken.current);
  EXPECT_EQ(taken.picture.pixels.cacheKey(), kept.picture.pixels.cacheKey());
  copy.Sepia = true;
  EXPECT_NE(copy.processedPicture(FilteredPictureCache::Mode::Wait).picture.pixels.cacheKey(),
            kept.picture.pixels.cacheKey());
  EXPECT_EQ(original.processedPicture(FilteredPictureCache::Mode::Wait).picture.pixels.cacheKey(),
            kept.picture.pixels.cacheKey());
}

TEST(ImageObjectWorker, TheScreenNeverWaitsForTheChain) {
  RefreshCounter window;
  QLNImage image;
  image._contents = atPixelSize(plain(QColor(0, 100, 200), 400, 400));
  image._file_path = QStringLiteral("blue.png");
  image._isDrawingStroke = false;
  image._bounds = QRectF(10, 10, 60, 60);
  image.invert_clr = true;
  Screen screen(image);

  // The first paint shows the picture as it is while the chain runs elsewhere.
  EXPECT_EQ(screen.grab().toImage().pixelColor(40, 40), QColor(0, 100, 200));
  ASSERT_TRUE(spinUntil([&] { return window.count > 1 && image.processedPicture(FilteredPictureCache::Mode::Background).current; }));
  EXPECT_EQ(screen.grab().toImage().pixelColor(40, 40), QColor(255, 155, 55));
}

TEST(ImageObjectThread, OutputOnAWorkerWhileTheScreenPaintsTheSameObject) {
  QLNImage image;
  image._contents = atPixelSize(plain(QColor(0, 100, 200), 300, 200));
  image._file_path = QStringLiteral("blue.png");
  image._isDrawingStroke = false;
  image._bounds = QRectF(10, 10, 60, 60);
  image.invert_clr = true;
  image.blr_val = 3;
  Screen screen(image);

  std::atomic<int> wrong{0};
  std::thread worker([&] {
    for (int i = 0; i < 20; ++i) {
      QImage out(80, 80, QImage::Format_ARGB32_Premultiplied);
      out.fill(Qt::white);
      QPainter painter(&out);
      image.drawContentsInView(&painter, false);
      painter.end();
      if (out.pixelColor(40, 40) != QColor(255, 155, 55))
        ++wrong;
    }
  });
  for (int i = 0; i < 20; ++i) {
    screen.grab();
    QCoreApplication::processEvents();
  }
  worker.join();
  EXPECT_EQ(wrong.load(), 0) << "output drew a picture that was not the filtered one";
  ASSERT_TRUE(spinUntil([&] { return image.processedPicture(FilteredPictureCache::Mode::Background).current; }));
}

// ---- Signatures and fingerprints --------------------------------------------------------------

TEST_F(PictureFiles, ASignatureShowsTheSampleOfItsKindAndFollowsItsPath) {
  write(QStringLiteral("sign_sample.png"), plain(Red, 30, 10));
  write(QStringLiteral("fingerprints.png"), plain(Blue, 20, 20));
  const QString other = write(QStringLiteral("scan.png"), plain(Green, 5, 5));

  QLNSignature signature;
  signature.initWithPosition(QPointF(40, 40), PointImage::load(path(QStringLiteral("sign_sample.png"))),
                             QStringLiteral("S"));
  EXPECT_EQ(signature.bounds(), QRectF(25, 35, 30, 10));
  EXPECT_EQ(signature.file_path, joinPath(Resource_Path, QStringLiteral("sign_sample.png")));
  EXPECT_EQ(signature.FilePath(), signature.file_path);
  EXPECT_EQ(at(painted(signature), 40, 40), Red);
  EXPECT_EQ(at(painted(signature), 40, 40), Red) << "the sample must stay after a redraw";

  // "Default" on a fingerprint: the fingerprint sample.
  QLNSignature fingerprint;
  fingerprint.Set_Sign_Or_FP(QStringLiteral("F"));
  fingerprint.setFilePath(QStringLiteral("Default"));
  EXPECT_EQ(fingerprint.FilePath(), joinPath(Resource_Path, QStringLiteral("fingerprints.png")));
  EXPECT_EQ(fingerprint._contents_img.points, QSizeF(20, 20));

  // Only the record's path changes (as the data binding does it): the next drawing
  // shows the picture of that path, stretched to the bounds.
  signature._file_path = other;
  const QImage rebound = painted(signature);
  EXPECT_EQ(at(rebound, 26, 36), Green);
  EXPECT_EQ(at(rebound, 54, 44), Green);
  EXPECT_EQ(signature.file_path, other);

  // Filters, flips and transparency of the record do not apply to it.
  signature.gray_Scale = true;
  signature.invert_clr = true;
  signature.img_trnsp_val = 0;
  signature._isFlippedHorizontally = true;
  EXPECT_EQ(at(painted(signature), 40, 40), Green);

  // The border lies under the picture; hidden, nothing is drawn.
  signature._isDrawingStroke = true;
  signature._strokeColor = QColor(0, 0, 0);
  signature._strokeWidth = 4;
  signature.alpha_val_stroke = 1.0f;
  const QImage bordered = painted(signature);
  EXPECT_EQ(at(bordered, 23.5, 40), QColor(0, 0, 0));
  EXPECT_EQ(at(bordered, 25.5, 40), Green);
  signature.Set_Ctrl_Is_Visible(false);
  EXPECT_TRUE(allWhite(painted(signature)));

  // A picture that cannot be read: the border only.
  signature.Set_Ctrl_Is_Visible(true);
  signature._file_path = path(QStringLiteral("gone.png"));
  const QImage gone = painted(signature);
  EXPECT_EQ(at(gone, 23.5, 40), QColor(0, 0, 0));
  EXPECT_TRUE(isWhite(at(gone, 40, 40)));
}

// ---- Barcodes -------------------------------------------------------------------------------

TEST_F(PictureFiles, ABarcodeShowsItsPictureAtItsOwnSize) {
  RefreshCounter window;
  write(QStringLiteral("barcode_sample.png"), plain(QColor(0, 0, 0), 40, 20));
  QLNBarcode barcode;
  barcode.initWithPosition(QPointF(50, 50), PointImage());
  EXPECT_EQ(barcode.bounds(), QRectF(30, 40, 40, 20));
  QImage drawn = painted(barcode);
  EXPECT_EQ(at(drawn, 31, 41), QColor(0, 0, 0));
  EXPECT_EQ(at(drawn, 69, 59), QColor(0, 0, 0));
  EXPECT_TRUE(isWhite(at(drawn, 71, 50)));

  // A new picture shows at its own size from the same corner, whatever the bounds;
  // fill and border flags of the record have no effect.
  barcode.Set_Barcode_image(PointImage{plain(Green, 120, 20), QSizeF(30, 5)});
  barcode._isDrawingFill = true;
  barcode._fillColor = QColor(255, 0, 255);
  barcode._isDrawingStroke = true;
  barcode._strokeColor = QColor(0, 0, 255);
  barcode._strokeWidth = 4;
  drawn = painted(barcode);
  EXPECT_EQ(at(drawn, 31, 41), Green);
  EXPECT_EQ(at(drawn, 59, 44), Green);
  EXPECT_TRUE(isWhite(at(drawn, 61, 42)));
  EXPECT_TRUE(isWhite(at(drawn, 40, 50))) << "inside the bounds, below the picture: no fill";
  EXPECT_TRUE(isWhite(at(drawn, 29, 50))) << "no border";

  // Hidden: nothing and no redraw request.
  window.count = 0;
  barcode.Set_Ctrl_Is_Visible(false);
  EXPECT_TRUE(allWhite(painted(barcode)));
  EXPECT_EQ(window.count, 0);

  // No picture and no sample file: no size, nothing visible.
  QFile::remove(path(QStringLiteral("barcode_sample.png")));
  QLNBarcode bare;
  bare.initWithPosition(QPointF(50, 50), PointImage());
  EXPECT_EQ(bare.bounds(), QRectF(50, 50, 0, 0));
  EXPECT_TRUE(allWhite(painted(bare)));
}

TEST_F(PictureFiles, ABarcodeIsAlwaysTheSizeOfThePictureItShows) {
  RefreshCounter window;
  write(QStringLiteral("barcode_sample.png"), plain(QColor(0, 0, 0), 40, 20));
  QLNBarcode barcode;
  barcode.initWithPosition(QPointF(50, 50), PointImage());
  ASSERT_EQ(barcode.bounds(), QRectF(30, 40, 40, 20));

  // The designer hands over a larger picture: the bounds take its size at the same
  // corner, announced as a change of the drawing bounds but not of the bounds (no undo
  // step of its own).
  std::vector<QString> changed;
  KeyValueObserverFunction recorder(
      [&](const QString &key, KeyValueObservable *, const KeyValueChange &) { changed.push_back(key); });
  barcode.addObserver(&recorder, QLNGraphicDrawingBoundsKey);
  barcode.addObserver(&recorder, QLNGraphicBoundsKey);
  barcode.Set_Barcode_image(PointImage{plain(Green, 240, 60), QSizeF(120, 30)});
  EXPECT_EQ(barcode.bounds(), QRectF(30, 40, 120, 30));
  EXPECT_EQ(changed, std::vector<QString>{QLNGraphicDrawingBoundsKey});
  barcode.removeObserver(&recorder, QLNGraphicDrawingBoundsKey);
  barcode.removeObserver(&recorder, QLNGraphicBoundsKey);
  const QImage drawn = painted(barcode, 200, 100);
  EXPECT_EQ(at(drawn, 149, 69), Green) << "the picture fills its bounds to the far corner";
  EXPECT_TRUE(isWhite(at(drawn, 151, 71)));

  // Handles, the width field and natural size move nothing and keep the size.
  EXPECT_EQ(barcode.resizeByMovingHandle(8, QPointF(300, 300)), 8);
  EXPECT_EQ(barcode.resizeByMovingHandle(1, QPointF(0, 0)), 1);
  EXPECT_EQ(barcode.bounds(), QRectF(30, 40, 120, 30));
  barcode.setWidth(10);
  EXPECT_EQ(barcode.bounds(), QRectF(30, 40, 120, 30));
  EXPECT_FALSE(barcode.canMakeNaturalSize());
  // Moving keeps the size too.
  barcode.setBounds(QRectF(5, 6, 1, 1));
  EXPECT_EQ(barcode.bounds(), QRectF(5, 6, 120, 30));

  // A design written while the bounds kept their old size opens with the size the
  // picture was always drawn at, at the same corner; the sample too.
  barcode._bounds = QRectF(5, 6, 40, 20);
  QString error;
  const QLNGraphicPtr opened = unarchiveGraphic(archiveGraphic(barcode, &error), &error);
  ASSERT_NE(opened, nullptr) << error.toStdString();
  EXPECT_EQ(opened->bounds(), QRectF(5, 6, 120, 30));
  QLNBarcode sample;
  sample._bounds = QRectF(1, 2, 300, 300);
  const QLNGraphicPtr sampleOpened = unarchiveGraphic(archiveGraphic(sample, &error), &error);
  ASSERT_NE(sampleOpened, nullptr) << error.toStdString();
  EXPECT_EQ(sampleOpened->bounds(), QRectF(1, 2, 40, 20));

  // Without any picture (no sample file) a barcode is sized like any object.
  QFile::remove(path(QStringLiteral("barcode_sample.png")));
  QLNBarcode bare;
  bare.setBounds(QRectF(0, 0, 60, 30));
  EXPECT_EQ(bare.resizeByMovingHandle(8, QPointF(80, 50)), 8);
  EXPECT_EQ(bare.bounds(), QRectF(0, 0, 80, 50));
}
