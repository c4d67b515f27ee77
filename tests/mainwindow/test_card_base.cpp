// The card base: the white ground in the card's shape, the fills (solid, gradient,
// hatch, picture tiled or stretched) at the side's opacity, the border with its dash
// pattern in points, installing a background picture, and the shipped resource images
// the main window loads.

#include "mainwindow/CardBaseDrawing.h"
#include "canvas/QLNGraphicView.h"
#include "mainwindow/DrawWindow.h"
#include "mainwindow/QLNWindowController.h"

#include "core/Card_Property.h"
#include "core/Globals.h"
#include "core/QLNDocument.h"
#include "core/QLNGrid.h"
#include "platform/Images.h"
#include "platform/Paths.h"
#include "tests/common/PixelHelpers.h"
#include "tests/common/TestSupport.h"
#include "tests/core/special_files.h"

#include <gtest/gtest.h>

#include <QTabWidget>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <vector>

namespace {

// A marker the base never paints: pixels left with it were not touched.
const QColor kUntouched(0, 255, 0);

// The card drawn at `scale` pixels per point, on an image with a margin of `margin`
// points around `rect`.
struct Drawn {
  QImage image;
  double scale;
  QColor at(double x, double y) const { return pixeltest::at(image, x, y, scale); }
};

Drawn draw(const Card_Property &side, int shape, const QRectF &rect = QRectF(10, 10, 243, 154),
           double scale = 1.0, const QString &resources = QString(), const QRectF &pictureBounds = QRectF()) {
  const QSizeF pointsSize(rect.right() + 10, rect.bottom() + 10);
  QImage image(int(std::ceil(pointsSize.width() * scale)), int(std::ceil(pointsSize.height() * scale)),
               QImage::Format_ARGB32_Premultiplied);
  image.fill(kUntouched);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.scale(scale, scale);
  CardBase::drawCardBase(painter, rect, side, shape, resources, pictureBounds);
  painter.end();
  return {image, scale};
}

// A side with nothing on: no border, no fill.
Card_Property plainSide() {
  Card_Property side;
  side.setCard_border_chk(false);
  side.setCard_fill_chk(false);
  return side;
}

::testing::AssertionResult near(const QColor &actual, const QColor &expected, int tolerance = 3) {
  if (std::abs(actual.red() - expected.red()) <= tolerance &&
      std::abs(actual.green() - expected.green()) <= tolerance &&
      std::abs(actual.blue() - expected.blue()) <= tolerance &&
      std::abs(actual.alpha() - expected.alpha()) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "colour (" << actual.red() << "," << actual.green() << "," << actual.blue() << ","
         << actual.alpha() << ") expected near (" << expected.red() << "," << expected.green() << ","
         << expected.blue() << "," << expected.alpha() << ")";
}

bool isDark(const QColor &c) { return c.red() < 128 && c.green() < 128 && c.blue() < 128; }

// The x positions (in points) where row `y` changes between dark and light, from x0 to x1.
std::vector<double> darkTransitions(const Drawn &d, double y, double x0, double x1) {
  std::vector<double> edges;
  for (int px : pixeltest::rowTransitions(d.image, int(std::floor(y * d.scale)), int(x0 * d.scale),
                                          int(x1 * d.scale), isDark))
    edges.push_back(px / d.scale);
  return edges;
}

// A picture of `w` x `h` pixels, one point per pixel, in one colour with a different
// top-left pixel.
PointImage solidPicture(int w, int h, const QColor &colour, const QColor &corner) {
  QImage pixels(w, h, QImage::Format_ARGB32);
  pixels.fill(colour);
  pixels.setPixelColor(0, 0, corner);
  return PointImage::fromPixels(pixels);
}

}  // namespace

TEST(CardBase, ShapesLeaveTheCornersOutsideTheOutlineUnpainted) {
  Card_Property side = plainSide();
  side.setCard_fill_chk(true);
  side.setCard_fill_style(QStringLiteral("S"));
  side.setCard_fill_clr(QColor(0, 0, 255));
  const QRectF rect(10, 10, 243, 154);

  struct Case {
    int shape;
    bool cornersPainted;
  };
  // 0 rectangle, 1 rounded, 2 oval, any other value a rectangle.
  for (const Case c : {Case{0, true}, Case{1, false}, Case{2, false}, Case{3, true}, Case{-7, true}}) {
    SCOPED_TRACE(c.shape);
    const Drawn d = draw(side, c.shape, rect);
    for (const QPointF corner : {rect.topLeft() + QPointF(1, 1), rect.topRight() + QPointF(-1.5, 1),
                                 rect.bottomLeft() + QPointF(1, -1.5), rect.bottomRight() - QPointF(1.5, 1.5)}) {
      if (c.cornersPainted)
        EXPECT_TRUE(near(d.at(corner.x(), corner.y()), QColor(0, 0, 255)));
      else
        EXPECT_TRUE(near(d.at(corner.x(), corner.y()), kUntouched));
    }
    EXPECT_TRUE(near(d.at(rect.center().x(), rect.center().y()), QColor(0, 0, 255)));
    // Never outside the rectangle.
    EXPECT_TRUE(near(d.at(5, 5), kUntouched));
    EXPECT_TRUE(near(d.at(rect.right() + 3, rect.bottom() + 3), kUntouched));
  }

  // The rounded card's corners have a radius of 10 points: the curve passes about 2.9
  // points in from the corner along the diagonal, and the straight edges are filled.
  const Drawn rounded = draw(side, 1, rect);
  EXPECT_TRUE(near(rounded.at(rect.left() + 1.5, rect.top() + 1.5), kUntouched));
  EXPECT_TRUE(near(rounded.at(rect.left() + 3.5, rect.top() + 3.5), QColor(0, 0, 255), 60));
  EXPECT_TRUE(near(rounded.at(rect.left() + 0.5, rect.center().y()), QColor(0, 0, 255), 60));
  // The oval touches the middle of each side.
  const Drawn oval = draw(side, 2, rect);
  EXPECT_TRUE(near(oval.at(rect.center().x(), rect.top() + 1), QColor(0, 0, 255)));
  EXPECT_TRUE(near(oval.at(rect.left() + 20, rect.top() + 5), kUntouched));
}

TEST(CardBase, FillCodesAndTheWhiteGround) {
  const QRectF rect(10, 10, 243, 154);
  const QPointF inside(100, 60);

  // Fill off: only the white ground in the card's shape, and the border when it is on.
  Card_Property off = plainSide();
  off.setCard_fill_clr(QColor(255, 0, 0));
  off.setCard_fill_style(QStringLiteral("S"));
  EXPECT_TRUE(near(draw(off, 2, rect).at(inside.x(), inside.y()), Qt::white));
  EXPECT_TRUE(near(draw(off, 2, rect).at(rect.left() + 1, rect.top() + 1), kUntouched));

  // A red fill stored at opacity 50 (as the card settings store it) over the white ground.
  Card_Property red = plainSide();
  red.setCard_fill_chk(true);
  red.setCard_fill_style(QStringLiteral("S"));
  red.setCard_fill_clr(QColor(255, 0, 0, 128));
  red.setCard_alpha_Stepper(0.5f);
  EXPECT_TRUE(near(draw(red, 0, rect).at(inside.x(), inside.y()), QColor(255, 128, 128), 2));

  // An unknown code fills solid; "I" without a picture shows the white ground only.
  red.setCard_fill_style(QStringLiteral("X"));
  EXPECT_TRUE(near(draw(red, 0, rect).at(inside.x(), inside.y()), QColor(255, 128, 128), 2));
  red.setCard_fill_style(QStringLiteral("I"));
  {
    ScopedLogCapture log;
    EXPECT_TRUE(near(draw(red, 0, rect).at(inside.x(), inside.y()), Qt::white));
    EXPECT_TRUE(log.lines().isEmpty());
  }

  // A colour missing from a damaged design paints nothing instead of black.
  Card_Property damaged(Card_Property::Zeroed{});
  damaged.setCard_fill_chk(true);
  damaged.setCard_border_chk(true);
  damaged.setCard_bor_Stepper(3);
  const Drawn d = draw(damaged, 0, rect);
  EXPECT_TRUE(near(d.at(inside.x(), inside.y()), Qt::white));
  EXPECT_TRUE(near(d.at(100, rect.top()), Qt::white));
}

TEST(CardBase, GradientRunsAtTheSidesAngle) {
  Card_Property side = plainSide();
  side.setCard_fill_chk(true);
  side.setCard_fill_style(QStringLiteral("G"));
  side.setCard_fill_Grd_1_clr(QColor(255, 0, 0));
  side.setCard_fill_Grd_2_clr(QColor(0, 0, 255));
  const QRectF rect(10, 10, 243, 154);

  side.setCard_grad_Stepper(0);  // left to right
  Drawn d = draw(side, 0, rect);
  EXPECT_TRUE(near(d.at(rect.left() + 1, rect.center().y()), QColor(255, 0, 0), 8));
  EXPECT_TRUE(near(d.at(rect.right() - 1, rect.center().y()), QColor(0, 0, 255), 8));
  EXPECT_TRUE(near(d.at(rect.center().x(), rect.top() + 2), d.at(rect.center().x(), rect.bottom() - 2), 2));

  side.setCard_grad_Stepper(90);  // top to bottom
  d = draw(side, 0, rect);
  EXPECT_TRUE(near(d.at(rect.center().x(), rect.top() + 1), QColor(255, 0, 0), 8));
  EXPECT_TRUE(near(d.at(rect.center().x(), rect.bottom() - 1), QColor(0, 0, 255), 8));
  EXPECT_TRUE(near(d.at(rect.left() + 2, rect.center().y()), d.at(rect.right() - 2, rect.center().y()), 2));

  // Colours stored with the side's opacity show the white ground through them.
  side.setCard_fill_Grd_1_clr(QColor(255, 0, 0, 128));
  side.setCard_fill_Grd_2_clr(QColor(255, 0, 0, 128));
  EXPECT_TRUE(near(draw(side, 0, rect).at(100, 60), QColor(255, 128, 128), 2));
}

TEST(CardBase, HatchDrawsThePatternOverItsBackgroundColour) {
  // A 4 x 4 point pattern: one dark pixel in a transparent tile.
  QTemporaryDir resources;
  ASSERT_TRUE(QDir(resources.path()).mkpath(QStringLiteral("Fill_Style_Image")));
  QImage tile(4, 4, QImage::Format_ARGB32);
  tile.fill(Qt::transparent);
  tile.setPixelColor(1, 1, QColor(0, 0, 0));
  ASSERT_TRUE(writePng(resources.filePath(QStringLiteral("Fill_Style_Image/Dot.png")), tile, 72));

  Card_Property side = plainSide();
  side.setCard_fill_chk(true);
  side.setCard_fill_style(QStringLiteral("H"));
  side.setCard_hatch_style(QStringLiteral("Dot"));
  side.setCard_hatch_bk_clr(QColor(255, 255, 0));
  const QRectF rect(8, 8, 100, 60);  // tiles line up with the painter's origin

  Drawn d = draw(side, 0, rect, 1.0, resources.path());
  int dots = 0, background = 0;
  for (int y = 12; y < 60; ++y)
    for (int x = 12; x < 100; ++x) {
      const QColor c = d.image.pixelColor(x, y);
      const bool dotCell = x % 4 == 1 && y % 4 == 1;
      if (dotCell && near(c, Qt::black, 2))
        ++dots;
      if (!dotCell && near(c, QColor(255, 255, 0), 2))
        ++background;
    }
  EXPECT_EQ(dots, 22 * 12);
  EXPECT_EQ(background, 88 * 48 - 22 * 12);

  // A pattern that is missing (or a name that climbs out of the folder) leaves the
  // background colour over the white ground.
  for (const char *name : {"Missing", "../Fill_Style_Image/Dot", ""}) {
    SCOPED_TRACE(name);
    side.setCard_hatch_style(QString::fromLatin1(name));
    d = draw(side, 0, rect, 1.0, resources.path());
    EXPECT_TRUE(near(d.at(13, 13), QColor(255, 255, 0), 2));
    EXPECT_TRUE(near(d.at(50, 30), QColor(255, 255, 0), 2));
  }
}

TEST(CardBase, BackgroundPictureTiledOrStretched) {
  const QRectF rect(10, 10, 200, 120);
  Card_Property side = plainSide();
  side.setCard_fill_chk(true);
  side.setCard_fill_style(QStringLiteral("I"));
  side.setCard_BG_Image(solidPicture(20, 10, QColor(0, 0, 255), QColor(255, 0, 0)));

  // Tiled at opacity 0.5: blue tiles over white at half strength, repeating every
  // 20 x 10 points; inside an oval only.
  side.setCard_BG_Image_Layout(QStringLiteral("Tile"));
  side.setCard_alpha_Stepper(0.5f);
  Drawn d = draw(side, 2, rect);
  EXPECT_TRUE(near(d.at(110.5, 70.5), QColor(128, 128, 255), 2));
  const QColor cornerPixel = d.at(100.5, 60.5);  // a tile's first pixel (tiles start at 0, 0)
  EXPECT_TRUE(near(cornerPixel, QColor(255, 128, 128), 2));
  EXPECT_TRUE(near(d.at(120.5, 70.5), cornerPixel, 1));
  EXPECT_TRUE(near(d.at(rect.left() + 1, rect.top() + 1), kUntouched));

  // A settings object the panel never wrote (opacity 100) draws the picture opaque.
  side.setCard_alpha_Stepper(100.0f);
  d = draw(side, 0, rect);
  EXPECT_TRUE(near(d.at(110.5, 70.5), QColor(0, 0, 255), 1));

  // Stretched over the card canvas: the picture covers the whole card, the corners of an
  // oval card included, while the border follows the oval.
  side.setCard_BG_Image_Layout(QStringLiteral("Stretch"));
  side.setCard_alpha_Stepper(1.0f);
  side.setCard_border_chk(true);
  side.setCard_bordr_clr(QColor(0, 0, 0));
  side.setCard_bor_Stepper(2);
  side.setCard_BG_Image(solidPicture(4, 4, QColor(0, 0, 255), QColor(0, 0, 255)));
  d = draw(side, 2, rect);
  EXPECT_TRUE(near(d.at(rect.left() + 1, rect.top() + 1), QColor(0, 0, 255), 2));
  EXPECT_TRUE(near(d.at(rect.right() - 1, rect.bottom() - 1), QColor(0, 0, 255), 2));
  EXPECT_TRUE(near(d.at(rect.center().x(), rect.top() + 0.5), Qt::black, 40));
  EXPECT_TRUE(near(d.at(rect.left() + 0.5, rect.center().y()), Qt::black, 40));
  EXPECT_TRUE(near(d.at(rect.left() + 0.5, rect.top() + 0.5), QColor(0, 0, 255), 2));

  // The stretched picture goes where the card canvas is, not only the drawn rectangle.
  side.setCard_border_chk(false);
  d = draw(side, 0, rect, 1.0, QString(), QRectF(0, 0, 60, 40));
  EXPECT_TRUE(near(d.at(30, 20), QColor(0, 0, 255), 2));
  EXPECT_TRUE(near(d.at(100, 80), Qt::white));

  // At half opacity the stretched picture shows the white ground through it.
  side.setCard_alpha_Stepper(0.5f);
  d = draw(side, 0, rect);
  EXPECT_TRUE(near(d.at(100, 60), QColor(128, 128, 255), 2));
}

TEST(CardBase, BorderDashesMeasurePointsAtAnyWidth) {
  const QRectF rect(10, 10, 243, 154);
  Card_Property side = plainSide();
  side.setCard_border_chk(true);
  side.setCard_bordr_clr(QColor(0, 0, 0));

  // "DD" at width 3: 24 on, 10 off, 6 on, 10 off from the top left corner, at 1 and at
  // 4 pixels per point.
  side.setCard_border_style(QStringLiteral("DD"));
  side.setCard_bor_Stepper(3);
  for (double scale : {1.0, 4.0}) {
    SCOPED_TRACE(scale);
    const Drawn d = draw(side, 0, rect, scale);
    const std::vector<double> edges = darkTransitions(d, rect.top() + 0.25, rect.left() + 0.5, 200);
    const double pattern[] = {24, 10, 6, 10};
    std::vector<double> expected;
    double x = rect.left();
    for (int i = 0; x < 195; ++i) {
      x += pattern[i % 4];
      if (x < 199)
        expected.push_back(x);
    }
    ASSERT_EQ(edges.size(), expected.size());
    for (size_t i = 0; i < edges.size(); ++i)
      EXPECT_NEAR(edges[i], expected[i], 1.0 / scale + 0.01) << "edge " << i;
  }

  // Every code, at another width: the runs along the top edge, in points.
  struct Case {
    const char *code;
    std::vector<double> runs;  // on, off, ...; empty for solid
  };
  side.setCard_bor_Stepper(2);
  for (const Case &c : {Case{"DA", {8, 2}}, Case{"DO", {4, 6}}, Case{"DDD", {24, 8, 8, 8, 8, 8}},
                        Case{"S", {}}, Case{"Q", {}}}) {
    SCOPED_TRACE(c.code);
    side.setCard_border_style(QString::fromLatin1(c.code));
    const Drawn d = draw(side, 0, rect, 2.0);
    const std::vector<double> edges = darkTransitions(d, rect.top() + 0.25, rect.left() + 0.25, 150);
    if (c.runs.empty()) {
      EXPECT_TRUE(edges.empty());
      continue;
    }
    double x = rect.left();
    for (size_t i = 0; i < std::min<size_t>(edges.size(), 8); ++i) {
      x += c.runs[i % c.runs.size()];
      EXPECT_NEAR(edges[i], x, 0.51) << "edge " << i;
    }
  }

  // The border colour is drawn as stored, over the fill; the stroke is centred on the
  // outline and as wide as the width says.
  side.setCard_border_style(QStringLiteral("S"));
  side.setCard_bor_Stepper(4);
  side.setCard_bordr_clr(QColor(200, 0, 0));
  const Drawn d = draw(side, 0, rect, 4.0);
  EXPECT_TRUE(near(d.at(100, rect.top() - 1.9), QColor(200, 0, 0), 2));
  EXPECT_TRUE(near(d.at(100, rect.top() + 1.9), QColor(200, 0, 0), 2));
  EXPECT_TRUE(near(d.at(100, rect.top() - 2.1), kUntouched));
  EXPECT_TRUE(near(d.at(100, rect.top() + 2.1), Qt::white));
  // Mitred corners: the outer corner of the stroke is filled.
  EXPECT_TRUE(near(d.at(rect.left() - 1.9, rect.top() - 1.9), QColor(200, 0, 0), 2));

  // On an oval the border follows the curve.
  const Drawn oval = draw(side, 2, rect, 1.0);
  EXPECT_TRUE(near(oval.at(rect.center().x(), rect.top() + 0.5), QColor(200, 0, 0), 40));
  EXPECT_TRUE(near(oval.at(rect.left() + 3, rect.top() + 3), kUntouched));
}

TEST(CardBase, SettingABackgroundPicture) {
  QTemporaryDir dir;
  QImage pixels(30, 20, QImage::Format_ARGB32);
  pixels.fill(QColor(10, 20, 30));
  const QString good = dir.filePath(QStringLiteral("bg.png"));
  ASSERT_TRUE(writePng(good, pixels, 144));

  Card_Property side;
  QString error;
  EXPECT_TRUE(CardBase::setBackgroundImage(side, good, &error)) << error.toStdString();
  EXPECT_TRUE(side.Card_fill_chk());
  EXPECT_EQ(side.Card_fill_style(), QStringLiteral("I"));
  EXPECT_EQ(side.Card_BG_Image_Path(), good);
  EXPECT_EQ(side.Card_BG_Image().pixels.size(), QSize(30, 20));
  EXPECT_EQ(side.Card_BG_Image().points, QSizeF(15, 10));

  // An empty path changes nothing.
  const Card_Property before = side;
  EXPECT_FALSE(CardBase::setBackgroundImage(side, QString(), &error));
  EXPECT_EQ(side.Card_BG_Image_Path(), before.Card_BG_Image_Path());
  EXPECT_FALSE(side.Card_BG_Image().isNull());

  // A file that cannot be read: fill on, style "I", the path kept, no picture; the side
  // then draws its white base only.
  const QString broken = dir.filePath(QStringLiteral("broken.png"));
  QFile file(broken);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("\x89PNG\r\n\x1a\n truncated");
  file.close();
  side.setCard_fill_style(QStringLiteral("S"));
  error.clear();
  EXPECT_FALSE(CardBase::setBackgroundImage(side, broken, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_TRUE(side.Card_fill_chk());
  EXPECT_EQ(side.Card_fill_style(), QStringLiteral("I"));
  EXPECT_EQ(side.Card_BG_Image_Path(), broken);
  EXPECT_TRUE(side.Card_BG_Image().isNull());
  side.setCard_border_chk(false);
  EXPECT_TRUE(near(draw(side, 0).at(100, 60), Qt::white));
}

TEST(CardBase, ABackgroundPathThatIsNotAFileGivesNoPicturePromptly) {
  // The path comes from a design file: a named pipe, a device or a folder there must
  // not keep the program waiting.
  using namespace specialfiles;
  QTemporaryDir dir;
  const QString fifo = dir.filePath(QStringLiteral("background.png"));
  ASSERT_TRUE(makeFifo(fifo));
  const QString folder = dir.filePath(QStringLiteral("folder.png"));
  ASSERT_TRUE(QDir().mkpath(folder));
  QStringList paths = {fifo, folder};
  if (haveDevZero())
    paths.append(QStringLiteral("/dev/zero"));
  for (const QString &path : paths) {
    SCOPED_TRACE(path.toStdString());
    Card_Property side;
    side.setCard_BG_Image(PointImage::fromPixels(QImage(4, 4, QImage::Format_ARGB32)));
    const auto set = withinDeadline(
        [&side, path] {
          QString error;
          const bool ok = CardBase::setBackgroundImage(side, path, &error);
          return std::make_pair(ok, error);
        },
        {fifo});
    ASSERT_TRUE(set.has_value()) << "setting the picture did not return";
    EXPECT_FALSE(set->first);
    EXPECT_TRUE(set->second.contains(QStringLiteral("not a file"))) << set->second.toStdString();
    EXPECT_EQ(side.Card_BG_Image_Path(), path);
    EXPECT_TRUE(side.Card_BG_Image().isNull());
  }
}

TEST(CardBase, OpacityOfTheSide) {
  EXPECT_DOUBLE_EQ(CardBase::sideOpacity(0.25f), 0.25);
  EXPECT_DOUBLE_EQ(CardBase::sideOpacity(100.0f), 1.0);
  EXPECT_DOUBLE_EQ(CardBase::sideOpacity(1.5f), 1.0);
  EXPECT_DOUBLE_EQ(CardBase::sideOpacity(-3.0f), 0.0);
  EXPECT_DOUBLE_EQ(CardBase::sideOpacity(std::nanf("")), 1.0);
}

TEST(ShippedResources, ImagesTheMainWindowLoadsAreThereAndSmall) {
  const QString shipped = QStringLiteral(AMENDS_SOURCE_DIR "/resources");
  struct Expect {
    const char *file;
    const char *format;
  };
  for (const Expect &e : {Expect{"no.png", "png"}, Expect{"banner.png", "png"}, Expect{"pattern_1.jpg", "jpeg"},
                          Expect{"Wizard_pattern.jpg", "jpeg"}, Expect{"sign_sample.png", "png"},
                          Expect{"fingerprints.png", "png"}, Expect{"barcode_sample.png", "png"}}) {
    SCOPED_TRACE(e.file);
    const QString path = QDir(shipped).filePath(QString::fromLatin1(e.file));
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    EXPECT_EQ(reader.format(), QByteArray(e.format));
    QString error;
    const PointImage image = PointImage::load(path, &error);
    ASSERT_FALSE(image.isNull()) << error.toStdString();
    EXPECT_LE(QFileInfo(path).size(), 120 * 1024);
    // Small enough to sit on a 243 x 154 point card as a new object's picture.
    EXPECT_LE(image.points.width(), 1000);
  }

  // Hatch patterns: small PNG tiles with see-through parts (the background colour shows).
  const QStringList hatches =
      QDir(shipped + QStringLiteral("/Fill_Style_Image")).entryList({QStringLiteral("*.png")}, QDir::Files);
  EXPECT_GE(hatches.size(), 2);
  for (const QString &name : hatches) {
    SCOPED_TRACE(name.toStdString());
    const PointImage tile = PointImage::load(shipped + QStringLiteral("/Fill_Style_Image/") + name);
    ASSERT_FALSE(tile.isNull());
    EXPECT_LE(tile.pixels.width(), 128);
    EXPECT_LE(tile.pixels.height(), 128);
    EXPECT_TRUE(tile.pixels.hasAlphaChannel());
  }

  // Backgrounds at the card's proportions.
  const QFileInfoList backgrounds = QDir(shipped + QStringLiteral("/Background")).entryInfoList(QDir::Files);
  EXPECT_GE(backgrounds.size(), 3);
  for (const QFileInfo &info : backgrounds) {
    SCOPED_TRACE(info.fileName().toStdString());
    const PointImage bg = PointImage::load(info.filePath());
    ASSERT_FALSE(bg.isNull());
    EXPECT_NEAR(double(bg.pixels.width()) / bg.pixels.height(), 243.0 / 154.0, 0.01);
    EXPECT_LE(info.size(), 120 * 1024);
  }
}

TEST(ShippedResources, AShippedHatchPatternDrawsOnTheCard) {
  const QString shipped = QStringLiteral(AMENDS_SOURCE_DIR "/resources");
  const QStringList hatches =
      QDir(shipped + QStringLiteral("/Fill_Style_Image")).entryList({QStringLiteral("*.png")}, QDir::Files);
  ASSERT_FALSE(hatches.isEmpty());
  Card_Property side = plainSide();
  side.setCard_fill_chk(true);
  side.setCard_fill_style(QStringLiteral("H"));
  side.setCard_hatch_bk_clr(QColor(255, 255, 255));
  for (const QString &name : hatches) {
    SCOPED_TRACE(name.toStdString());
    side.setCard_hatch_style(QFileInfo(name).completeBaseName());
    const Drawn d = draw(side, 0, QRectF(0, 0, 120, 80), 2.0, shipped);
    // Some pixels carry the pattern, most show the background.
    int marked = 0, total = 0;
    for (int y = 0; y < d.image.height() - 20; ++y)
      for (int x = 0; x < d.image.width() - 20; ++x, ++total)
        if (!near(d.image.pixelColor(x, y), Qt::white, 8))
          ++marked;
    EXPECT_GT(marked, total / 50);
    EXPECT_LT(marked, total * 3 / 4);
  }
}

TEST(ShippedResources, TheBarcodeSampleIsARealBarcode) {
  if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty())
    GTEST_SKIP() << "zbarimg (zbar-tools) is not installed";
  QProcess zbar;
  zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--quiet"), QStringLiteral("--raw"),
                                         QStringLiteral(AMENDS_SOURCE_DIR "/resources/barcode_sample.png")});
  ASSERT_TRUE(zbar.waitForFinished(30000));
  EXPECT_EQ(zbar.exitCode(), 0);
  EXPECT_EQ(QString::fromUtf8(zbar.readAllStandardOutput()).trimmed(), QStringLiteral("0123"));
}

// ---- The main window's entries: the current side, background pictures, redraws -------------

namespace {

// Keeps the card globals of one test from reaching the next.
struct ScopedCardGlobals {
  int side = Card_Front_Or_Back.load();
  int shape = Card_Shape.load();
  bool inProcess = Card_Value_In_Process.load();
  QString resources = Resource_Path;
  ~ScopedCardGlobals() {
    Card_Front_Or_Back = side;
    Card_Shape = shape;
    Card_Value_In_Process = inProcess;
    Resource_Path = resources;
  }
};

Card_Property filledSide(const QColor &colour) {
  Card_Property side = plainSide();
  side.setCard_fill_chk(true);
  side.setCard_fill_style(QStringLiteral("S"));
  side.setCard_fill_clr(colour);
  return side;
}

QImage drawThroughController(QLNWindowController &c, const QRectF &rect) {
  QImage image(260, 170, QImage::Format_ARGB32_Premultiplied);
  image.fill(kUntouched);
  QPainter painter(&image);
  c.Card_Base_Drawing(&painter, rect);
  painter.end();
  return image;
}

}  // namespace

TEST(CardBaseController, DrawsTheSideNamedByTheGlobal) {
  ScopedCardGlobals keep;
  QLNWindowController c;
  c.Front_card_Prop = filledSide(QColor(255, 0, 0));
  c.Back_card_Prop = filledSide(QColor(0, 0, 255));
  const QRectF rect(0, 0, 243, 154);

  Card_Shape = 0;
  Card_Front_Or_Back = 0;
  EXPECT_TRUE(near(drawThroughController(c, rect).pixelColor(100, 60), QColor(255, 0, 0)));
  Card_Front_Or_Back = 1;
  EXPECT_TRUE(near(drawThroughController(c, rect).pixelColor(100, 60), QColor(0, 0, 255)));
  Card_Front_Or_Back = 7;  // any value but 0 is the back
  EXPECT_TRUE(near(drawThroughController(c, rect).pixelColor(100, 60), QColor(0, 0, 255)));

  // The shape comes from Card_Shape, for both sides.
  Card_Shape = 2;
  EXPECT_TRUE(near(drawThroughController(c, rect).pixelColor(1, 1), kUntouched));
  Card_Front_Or_Back = 0;
  EXPECT_TRUE(near(drawThroughController(c, rect).pixelColor(1, 1), kUntouched));
  Card_Shape = 0;

  // A stretched picture covers the card canvas, also when a smaller part is redrawn.
  c.SetDocumentCanvasSize(QSizeF(243, 154));
  c.Front_card_Prop.setCard_fill_style(QStringLiteral("I"));
  c.Front_card_Prop.setCard_alpha_Stepper(1.0f);
  c.Front_card_Prop.setCard_BG_Image_Layout(QStringLiteral("Stretch"));
  c.Front_card_Prop.setCard_BG_Image(solidPicture(2, 2, QColor(0, 128, 0), QColor(0, 128, 0)));
  const QImage part = drawThroughController(c, QRectF(0, 0, 100, 60));
  EXPECT_TRUE(near(part.pixelColor(200, 120), QColor(0, 128, 0), 2));
  EXPECT_TRUE(near(part.pixelColor(250, 160), kUntouched));
}

TEST(CardBaseController, BackgroundPicturesGoToTheirOwnSide) {
  ScopedCardGlobals keep;
  QTemporaryDir dir;
  QImage pixels(12, 8, QImage::Format_ARGB32);
  pixels.fill(QColor(200, 100, 50));
  const QString path = dir.filePath(QStringLiteral("picture.png"));
  ASSERT_TRUE(writePng(path, pixels, 72));

  QLNWindowController c;
  QLineEdit *pathField = c.ui->Card_Image_path;
  ASSERT_NE(pathField, nullptr);

  // The front picture goes to the front settings whatever the current side is; the
  // panel then shows the card tabs of the side being edited (here the back, which has
  // no picture).
  Card_Front_Or_Back = 1;
  c.set_Front_BG_Image(path);
  EXPECT_TRUE(pathField->text().isEmpty());
  EXPECT_EQ(c.ui->sett_tab->widget(0), c.ui->card_setting_tab);
  EXPECT_TRUE(c.Front_card_Prop.Card_fill_chk());
  EXPECT_EQ(c.Front_card_Prop.Card_fill_style(), QStringLiteral("I"));
  EXPECT_EQ(c.Front_card_Prop.Card_BG_Image_Path(), path);
  EXPECT_EQ(c.Front_card_Prop.Card_BG_Image().pixels.size(), QSize(12, 8));
  EXPECT_TRUE(c.Back_card_Prop.Card_BG_Image().isNull());
  EXPECT_NE(c.Back_card_Prop.Card_fill_style(), QStringLiteral("I"));

  Card_Front_Or_Back = 0;
  c.set_Back_BG_Image(path);
  EXPECT_EQ(c.Back_card_Prop.Card_BG_Image_Path(), path);
  EXPECT_FALSE(c.Back_card_Prop.Card_BG_Image().isNull());

  // An empty path empties the path field and changes nothing else.
  c.set_Front_BG_Image(QString());
  EXPECT_TRUE(pathField->text().isEmpty());
  EXPECT_EQ(c.Front_card_Prop.Card_BG_Image_Path(), path);
  EXPECT_FALSE(c.Front_card_Prop.Card_BG_Image().isNull());

  // A file that cannot be read: the path is kept, the picture dropped.
  const QString missing = dir.filePath(QStringLiteral("missing.png"));
  {
    ScopedLogCapture log;
    c.set_Back_BG_Image(missing);
    EXPECT_FALSE(log.lines().isEmpty());
  }
  EXPECT_EQ(pathField->text(), path) << "the panel shows the front, the side being edited";
  EXPECT_EQ(c.Back_card_Prop.Card_BG_Image_Path(), missing);
  EXPECT_TRUE(c.Back_card_Prop.Card_BG_Image().isNull());
  EXPECT_EQ(c.Back_card_Prop.Card_fill_style(), QStringLiteral("I"));
}

TEST(CardBaseController, RefreshRedrawsTheCurrentSideUnlessBatchOutputRuns) {
  ScopedCardGlobals keep;
  QLNWindowController c;
  c.SetDocumentCanvasSize(QSizeF(243, 154));
  c.window()->show();

  for (int side : {0, 1}) {
    SCOPED_TRACE(side);
    Card_Front_Or_Back = side;
    c.changeViewController(side);
    QLNGraphicView *shown = side ? c.backView() : c.frontView();
    ASSERT_TRUE(spinUntil([&] { return shown->isVisible() && shown->paintCount() > 0; }, 5000));
    spinUntil([] { return false; }, 100);  // let the first paints settle

    // While batch output writes values into the objects, no redraw is asked for.
    Card_Value_In_Process = true;
    int before = shown->paintCount();
    c.Refresh_Canvas();
    spinUntil([] { return false; }, 200);
    EXPECT_EQ(shown->paintCount(), before);

    Card_Value_In_Process = false;
    before = shown->paintCount();
    c.Refresh_Canvas();
    EXPECT_TRUE(spinUntil([&] { return shown->paintCount() > before; }, 5000));
  }
}
