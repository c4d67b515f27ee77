// The drawn shapes: their outlines and vertex rules, fills (solid, gradient, hatch),
// border dash patterns and joins, opacity, the redraw request and hit testing, checked
// by painting shapes into images and reading the pixels.

#include "core/CardDrawing.h"
#include "core/Globals.h"
#include "core/QLNLine.h"
#include "core/Shape_Control.h"
#include "core/Utilities.h"

#include "platform/Images.h"

#include "tests/common/PixelHelpers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cmath>
#include <memory>
#include <vector>

using namespace pixeltest;

namespace {

// ---- Pixel helpers -------------------------------------------------------------------

// These tests count a pixel as white within 8 of pure white (the shared default is 7).
constexpr int kWhiteTolerance = 8;

QImage paintedShape(QLNGraphic &graphic, int w = 160, int h = 160) {
  QImage image = whiteImage(w, h);
  QPainter painter(&image);
  graphic.drawContentsInView(&painter, false);
  painter.end();
  return image;
}

// Whether some pixel within `radius` pixels of (x, y) is dark.
bool inkNear(const QImage &image, double x, double y, int radius = 1) {
  const int cx = int(std::floor(x));
  const int cy = int(std::floor(y));
  for (int py = cy - radius; py <= cy + radius; ++py)
    for (int px = cx - radius; px <= cx + radius; ++px)
      if (image.rect().contains(px, py) && isInk(image.pixelColor(px, py)))
        return true;
  return false;
}

// A shape at (20, 20) of 100 by 100 points, fill off, a black 2-point border.
std::shared_ptr<Shape_Control> outlinedShape(const QString &code) {
  auto shape = std::make_shared<Shape_Control>();
  shape->Set_Shape_Type(code);
  shape->_bounds = QRectF(20, 20, 100, 100);
  shape->_isDrawingFill = false;
  shape->_strokeWidth = 2.0;
  return shape;
}

// The vertices of the path's outline (closing elements left out).
std::vector<QPointF> vertices(const QPainterPath &path) {
  std::vector<QPointF> points;
  for (int i = 0; i < path.elementCount(); ++i) {
    const QPainterPath::Element e = path.elementAt(i);
    const QPointF p(e.x, e.y);
    if (i > 0 && e.isLineTo() && p == QPointF(path.elementAt(0).x, path.elementAt(0).y) &&
        i == path.elementCount() - 1)
      break;  // the closing segment back to the start
    points.push_back(p);
  }
  return points;
}

// The vertex of a star polygon of `n` on the ellipse of `box`, `k` steps of 2*pi/n
// clockwise from the top.
QPointF ellipsePoint(const QRectF &box, int n, int k) {
  const double a = -M_PI / 2.0 + 2.0 * M_PI * k / n;
  return {box.center().x() + box.width() / 2.0 * std::cos(a),
          box.center().y() + box.height() / 2.0 * std::sin(a)};
}

void expectPoint(const QPointF &actual, const QPointF &expected) {
  EXPECT_NEAR(actual.x(), expected.x(), 1e-9);
  EXPECT_NEAR(actual.y(), expected.y(), 1e-9);
}

}  // namespace

// ---- Outlines --------------------------------------------------------------------------

TEST(ShapeDrawing, EachShapeStrokesItsOwnOutlineAndLeavesTheInsideEmptyWithFillOff) {
  struct Case {
    QString code;
    std::vector<QPointF> onOutline;
    std::vector<QPointF> blank;   // inside the bounds, off the outline
  };
  const QRectF box(20, 20, 100, 100);
  const std::vector<Case> cases = {
      {"R", {{70, 20}, {20, 70}, {120, 70}, {70, 120}, {20, 20}}, {{70, 70}, {30, 30}}},
      {"C", {{70, 20}, {20, 70}, {120, 70}, {70, 120}, {34.64, 34.64}}, {{70, 70}, {23, 23}}},
      {"RR", {{70, 20}, {20, 70}, {22.93, 22.93}}, {{70, 70}, {21, 21}}},
      {"T", {{70, 20}, {20, 120}, {120, 120}, {70, 120}, {45, 70}, {95, 70}}, {{70, 90}, {25, 30}, {115, 30}}},
      {"D", {{20, 70}, {70, 20}, {120, 70}, {70, 120}, {45, 45}, {95, 95}}, {{70, 70}, {25, 25}, {115, 115}}},
      {"S", {ellipsePoint(box, 5, 0), ellipsePoint(box, 5, 1), ellipsePoint(box, 5, 2),
             ellipsePoint(box, 5, 3), ellipsePoint(box, 5, 4)},
       {{70, 70}, {25, 25}, {70, 118}}},
      {"P", {{20, 20}, {70, 45}, {120, 20}, {95, 70}, {120, 120}, {70, 95}, {20, 120}, {45, 70}},
       {{70, 70}, {70, 25}, {25, 70}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.code.toStdString());
    auto shape = outlinedShape(c.code);
    const QImage image = paintedShape(*shape);
    for (const QPointF &p : c.onOutline)
      EXPECT_TRUE(inkNear(image, p.x(), p.y(), 2)) << p.x() << "," << p.y();
    for (const QPointF &p : c.blank)
      EXPECT_TRUE(isWhite(at(image, p.x(), p.y()), kWhiteTolerance)) << p.x() << "," << p.y();
    // Nothing outside the bounds but the border's outer half.
    EXPECT_TRUE(isWhite(at(image, 10, 10), kWhiteTolerance));
    EXPECT_TRUE(isWhite(at(image, 130, 130), kWhiteTolerance));
  }
}

TEST(ShapeDrawing, StarsAndPolygonsFollowTheirVertexRules) {
  Shape_Control shape;
  shape._bounds = QRectF(0, 0, 100, 100);
  const QRectF box = shape._bounds;

  // The star visits the pentagon's vertices 0, 2, 4, 1, 3 from the top centre.
  shape.Set_Shape_Type("S");
  std::vector<QPointF> v = vertices(shape.bezierPathForDrawing());
  ASSERT_EQ(v.size(), 5u);
  expectPoint(v[0], QPointF(50, 0));
  const int order[] = {0, 2, 4, 1, 3};
  for (int i = 0; i < 5; ++i)
    expectPoint(v[i], ellipsePoint(box, 5, order[i]));

  // Double stars: 7, 9, 11, 13, 15 vertices for the types 1 to 5; other types are the count.
  shape.Set_Shape_Type("DS");
  const int starCounts[] = {7, 9, 11, 13, 15};
  for (int type = 1; type <= 5; ++type) {
    shape.double_star_type = type;
    v = vertices(shape.bezierPathForDrawing());
    EXPECT_EQ(v.size(), size_t(starCounts[type - 1])) << "double star type " << type;
    expectPoint(v[1], ellipsePoint(box, starCounts[type - 1], 2));
  }
  shape.double_star_type = 6;
  EXPECT_EQ(vertices(shape.bezierPathForDrawing()).size(), 6u);
  shape.double_star_type = 0;
  EXPECT_TRUE(shape.bezierPathForDrawing().isEmpty());
  shape.double_star_type = -4;
  EXPECT_TRUE(shape.bezierPathForDrawing().isEmpty());
  shape.double_star_type = 2'000'000'000;   // only a damaged file holds this
  EXPECT_TRUE(shape.bezierPathForDrawing().isEmpty());

  // Polygon type 1 (and a count of 8) is the four-pointed outline.
  shape.Set_Shape_Type("P");
  const std::vector<QPointF> fourPointed = {{0, 0},    {50, 25}, {100, 0}, {75, 50},
                                            {100, 100}, {50, 75}, {0, 100}, {25, 50}};
  for (int type : {1, 8}) {
    shape.polygon_type = type;
    v = vertices(shape.bezierPathForDrawing());
    ASSERT_EQ(v.size(), 8u) << "polygon type " << type;
    for (size_t i = 0; i < 8; ++i)
      expectPoint(v[i], fourPointed[i]);
  }
  // Types 2 to 5 trace the pentagon ... octagon twice: 10 to 16 vertices on n/2 places.
  const int polygonCounts[] = {10, 12, 14, 16};
  for (int type = 2; type <= 5; ++type) {
    shape.polygon_type = type;
    v = vertices(shape.bezierPathForDrawing());
    const int n = polygonCounts[type - 2];
    ASSERT_EQ(v.size(), size_t(n)) << "polygon type " << type;
    expectPoint(v[n / 2], v[0]);   // the second round starts where the first did
  }
  shape.polygon_type = 0;
  EXPECT_TRUE(shape.bezierPathForDrawing().isEmpty());

  // Codes are exact: anything else is no outline.
  for (const QString code : {"r", "X", "", "SS"}) {
    shape.Set_Shape_Type(code);
    EXPECT_TRUE(shape.bezierPathForDrawing().isEmpty()) << code.toStdString();
  }
}

TEST(ShapeDrawing, TriangleAndDiamondUseSinglePrecisionCoordinates) {
  Shape_Control shape;
  shape._bounds = QRectF(0.1, 0.3, 0.2, 0.7);
  const float x = 0.1f, y = 0.3f, w = 0.2f, h = 0.7f;

  shape.Set_Shape_Type("T");
  std::vector<QPointF> v = vertices(shape.bezierPathForDrawing());
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[0], QPointF(double(x), double(y + h)));
  EXPECT_EQ(v[1], QPointF(double(x + w / 2.0f), double(y)));
  EXPECT_EQ(v[2], QPointF(double(x + w), double(y + h)));
  EXPECT_NE(v[1].x(), 0.1 + 0.2 / 2.0);   // not the double-precision value

  shape.Set_Shape_Type("D");
  v = vertices(shape.bezierPathForDrawing());
  ASSERT_EQ(v.size(), 4u);
  EXPECT_EQ(v[0], QPointF(double(x), double(y + h / 2.0f)));
  EXPECT_EQ(v[3], QPointF(double(x + w / 2.0f), double(y + h)));
}

TEST(ShapeDrawing, StretchedHexagonHasVerticesAtTopAndBottomCentre) {
  auto shape = outlinedShape("P");
  shape->polygon_type = 3;
  shape->_bounds = QRectF(20, 40, 120, 60);
  shape->_isDrawingFill = true;
  shape->_fillColor = QColor(255, 0, 0);
  shape->_isDrawingStroke = false;
  const QImage image = paintedShape(*shape);
  // Filled right up to the top and bottom centre.
  EXPECT_TRUE(near(at(image, 80, 41.5), QColor(255, 0, 0), 60));
  EXPECT_TRUE(near(at(image, 80, 98.5), QColor(255, 0, 0), 60));
  EXPECT_TRUE(near(at(image, 80, 70), QColor(255, 0, 0)));
  // The corners of the box are outside the hexagon.
  EXPECT_TRUE(isWhite(at(image, 23, 43), kWhiteTolerance));
  EXPECT_TRUE(isWhite(at(image, 137, 97), kWhiteTolerance));
}

// ---- Fills -------------------------------------------------------------------------------

TEST(ShapeDrawing, StarsFillTheirInnerPolygonByTheNonZeroRule) {
  for (const QString code : {"S", "DS"}) {
    SCOPED_TRACE(code.toStdString());
    auto shape = outlinedShape(code);
    shape->_isDrawingFill = true;
    shape->_fillColor = QColor(255, 0, 0);
    shape->_isDrawingStroke = false;
    const QImage image = paintedShape(*shape);
    EXPECT_TRUE(near(at(image, 70, 70), QColor(255, 0, 0))) << "centre";
    EXPECT_TRUE(near(at(image, 70, 30), QColor(255, 0, 0))) << "top point";
    EXPECT_TRUE(isWhite(at(image, 22, 22), kWhiteTolerance)) << "outside";
  }
}

TEST(ShapeDrawing, SolidFillAndBorderCarryTheirOpacity) {
  auto shape = outlinedShape("R");
  shape->_isDrawingFill = true;
  shape->_fillColor = QColor(255, 0, 0);
  shape->alpha_val = 0.5f;
  shape->_strokeColor = QColor(0, 0, 255);
  shape->_strokeWidth = 6.0;
  shape->alpha_val_stroke = 0.25f;
  const QImage image = paintedShape(*shape);
  EXPECT_TRUE(near(at(image, 70, 70), QColor(255, 128, 128), 4));
  // The outer half of the border lies on white: a quarter of blue.
  EXPECT_TRUE(near(at(image, 70, 18.5), QColor(191, 191, 255), 4));

  // The creation default of 100.0 acts as fully opaque.
  shape->alpha_val = 100.0f;
  EXPECT_TRUE(near(at(paintedShape(*shape), 70, 70), QColor(255, 0, 0), 2));
}

TEST(ShapeDrawing, GradientRunsAlongItsAngle) {
  auto shape = outlinedShape("R");
  shape->_isDrawingFill = true;
  shape->_isDrawingStroke = false;
  shape->_fill_type = "G";
  shape->_fill_Grad_clr1 = QColor(255, 0, 0);
  shape->_fill_Grad_clr2 = QColor(0, 0, 255);

  shape->_fill_grad_angle = 0.0;
  QImage image = paintedShape(*shape);
  EXPECT_TRUE(near(at(image, 20.5, 70), QColor(255, 0, 0), 8)) << "left edge";
  EXPECT_TRUE(near(at(image, 119.5, 70), QColor(0, 0, 255), 8)) << "right edge";
  EXPECT_TRUE(near(at(image, 70, 21), at(image, 70, 119), 2)) << "no change downwards";
  EXPECT_TRUE(near(at(image, 70, 70), QColor(128, 0, 128), 12)) << "halfway";

  // 90 degrees runs from the top down (y grows downwards).
  shape->_fill_grad_angle = 90.0;
  image = paintedShape(*shape);
  EXPECT_TRUE(near(at(image, 70, 20.5), QColor(255, 0, 0), 8)) << "top edge";
  EXPECT_TRUE(near(at(image, 70, 119.5), QColor(0, 0, 255), 8)) << "bottom edge";
  EXPECT_TRUE(near(at(image, 21, 70), at(image, 119, 70), 2)) << "no change across";

  // The gradient colours carry the fill opacity.
  shape->alpha_val = 0.5f;
  image = paintedShape(*shape);
  EXPECT_TRUE(near(at(image, 70, 20.5), QColor(255, 128, 128), 8));
}

class HatchFill : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_folder.isValid());
    m_savedResourcePath = Resource_Path;
    Resource_Path = m_folder.path();
    ASSERT_TRUE(QDir(m_folder.path()).mkpath("Fill_Style_Image"));
  }
  void TearDown() override { Resource_Path = m_savedResourcePath; }

  // A 4 by 4 pattern: two black columns, two transparent ones.
  static QImage stripes() {
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 2; ++x)
        image.setPixelColor(x, y, Qt::black);
    return image;
  }
  QString patternPath(const QString &fileName) const {
    return joinPath(joinPath(m_folder.path(), "Fill_Style_Image"), fileName);
  }

  std::shared_ptr<Shape_Control> hatched(const QString &patternName) {
    auto shape = outlinedShape("R");
    shape->_isDrawingFill = true;
    shape->_isDrawingStroke = false;
    shape->_fill_type = "H";
    shape->_fill_htch_clr = QColor(0, 200, 0);
    shape->_fill_hatch_type = patternName;
    return shape;
  }

  QTemporaryDir m_folder;
  QString m_savedResourcePath;
};

TEST_F(HatchFill, PatternTilesOverTheBackgroundColour) {
  ASSERT_TRUE(writePng(patternPath("stripes.png"), stripes(), 72.0));
  const QImage image = paintedShape(*hatched("stripes"));
  // Tiles start at the painter's origin: columns 0 and 1 of every 4 are black.
  for (int x = 40; x < 48; ++x) {
    SCOPED_TRACE(x);
    if (x % 4 < 2)
      EXPECT_TRUE(near(at(image, x + 0.5, 70.5), Qt::black, 30));
    else
      EXPECT_TRUE(near(at(image, x + 0.5, 70.5), QColor(0, 200, 0), 30));
  }
  // Only inside the outline.
  EXPECT_TRUE(isWhite(at(image, 10.5, 70.5), kWhiteTolerance));
}

TEST_F(HatchFill, PatternIsFoundByNameWhateverItsImageType) {
  QImage bars(4, 4, QImage::Format_RGB32);
  bars.fill(Qt::white);
  for (int y = 0; y < 4; ++y)
    bars.setPixelColor(0, y, Qt::black);
  ASSERT_TRUE(bars.save(patternPath("bars.bmp")));
  const QImage image = paintedShape(*hatched("bars"));
  EXPECT_TRUE(near(at(image, 40.5, 70.5), Qt::black, 30));
  EXPECT_TRUE(near(at(image, 42.5, 70.5), Qt::white, 30));
  // A png of the same name comes first.
  QImage white(4, 4, QImage::Format_ARGB32);
  white.fill(Qt::transparent);
  ASSERT_TRUE(writePng(patternPath("bars.png"), white, 72.0));
  EXPECT_TRUE(near(at(paintedShape(*hatched("bars")), 40.5, 70.5), QColor(0, 200, 0), 8));
}

TEST_F(HatchFill, WithoutAReadablePatternOnlyTheBackgroundShows) {
  // A missing file, a file that is no picture, a folder, and names that leave the folder.
  ASSERT_TRUE(writePng(joinPath(m_folder.path(), "outside.png"), stripes(), 72.0));
  QFile broken(patternPath("broken.png"));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("not a picture");
  broken.close();
  ASSERT_TRUE(QDir(patternPath("")).mkpath("folder.png"));
  for (const QString name : {"missing", "broken", "folder", "../outside", "", "/etc/passwd"}) {
    SCOPED_TRACE(name.toStdString());
    auto shape = hatched(name);
    shape->alpha_val = 0.5f;
    const QImage image = paintedShape(*shape);
    for (int x = 40; x < 48; ++x)
      EXPECT_TRUE(near(at(image, x + 0.5, 70.5), QColor(128, 228, 128), 4));
  }
  EXPECT_EQ(CardDrawing::patternImagePath(Resource_Path, "../outside"), QString());
}

// ---- Borders -------------------------------------------------------------------------------

TEST(ShapeDrawing, DashPatternsMeasureTheirLengthsInPointsAtEveryWidth) {
  const std::vector<std::pair<QString, std::vector<int>>> patterns = {
      {"DA", {8, 2}}, {"DO", {4, 6}}, {"DD", {24, 10, 6, 10}}, {"DDD", {24, 8, 8, 8, 8, 8}}};
  for (const auto &[code, lengths] : patterns) {
    const QList<qreal> table = CardDrawing::dashPatternForBorderType(code);
    EXPECT_EQ(std::vector<int>(table.begin(), table.end()), lengths) << code.toStdString();
    for (double width : {2.0, 4.0}) {
      SCOPED_TRACE(code.toStdString() + " width " + std::to_string(width));
      // The top edge of a rectangle runs from its top-left corner to the right: read
      // the runs of ink and gap along a row inside the stroke.
      auto shape = outlinedShape("R");
      shape->_bounds = QRectF(10, 20, 290, 40);
      shape->_strokeWidth = width;
      shape->_stroke_border_type = code;
      const QImage image = paintedShape(*shape, 320, 80);
      // Ink first (a row that starts with a gap has an ink run of 0); the run still
      // open at x 200 is left out.
      std::vector<int> runs;
      int runStart = 10;
      if (!isInk(image.pixelColor(10, 20)))
        runs.push_back(0);
      for (int x : rowTransitions(image, 20, 10, 200)) {
        runs.push_back(x - runStart);
        runStart = x;
      }
      ASSERT_GE(runs.size(), lengths.size() * 2);
      for (size_t i = 0; i < lengths.size() * 2; ++i)
        EXPECT_NEAR(runs[i], lengths[i % lengths.size()], 1) << "run " << i;
    }
  }
  // Solid and unknown codes: no dashes.
  for (const QString code : {"S", "Q", ""}) {
    EXPECT_TRUE(CardDrawing::dashPatternForBorderType(code).isEmpty());
    auto shape = outlinedShape("R");
    shape->_stroke_border_type = code;
    const QImage image = paintedShape(*shape);
    for (int x = 22; x < 118; ++x)
      ASSERT_TRUE(isInk(image.pixelColor(x, 20))) << code.toStdString() << " x " << x;
  }
}

TEST(ShapeDrawing, CornersAreMitred) {
  auto shape = outlinedShape("R");
  shape->_strokeWidth = 10.0;
  const QImage image = paintedShape(*shape);
  // The outer corner of the stroke is square, not rounded or cut off.
  EXPECT_TRUE(isInk(at(image, 15.5, 15.5)));
  // A star's points stay sharp: the tip reaches beyond the vertex.
  auto star = outlinedShape("S");
  star->_strokeWidth = 4.0;
  const QImage starImage = paintedShape(*star);
  EXPECT_TRUE(inkNear(starImage, 70, 16.5, 0));
  // Beyond a mitre of 10 widths the corner is bevelled: a needle-thin triangle does not
  // grow a spike 40 points above its apex.
  auto needle = outlinedShape("T");
  needle->_bounds = QRectF(60, 50, 10, 100);
  const QImage needleImage = paintedShape(*needle);
  EXPECT_TRUE(inkNear(needleImage, 65, 50, 1));
  for (int y = 0; y < 47; ++y)
    ASSERT_FALSE(inkNear(needleImage, 65, y, 2)) << "row " << y;
}

// The canvas and every output draw an object within its drawing bounds: what a border
// or a cap paints outside them would be cut off.
TEST(ShapeDrawing, EverythingABorderOrACapPaintsLiesWithinTheDrawingBounds) {
  RefreshCounter refresh;
  const auto inkOutside = [](QLNGraphic &graphic) {
    QImage image = whiteImage(400, 400);
    {
      QPainter painter(&image);
      painter.translate(100, 100);  // room for what reaches past the bounds
      graphic.drawContentsInView(&painter, false);
    }
    const QRectF allowed = graphic.drawingBounds().translated(100, 100);
    int outside = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (!isWhite(image.pixelColor(x, y), kWhiteTolerance) && !allowed.contains(QPointF(x + 0.5, y + 0.5)))
          ++outside;
    return outside;
  };

  // An 8-point border on a star: each mitred point reaches about 13 points past its
  // vertex, three times half the border.
  auto star = outlinedShape("S");
  star->_strokeWidth = 8.0;
  EXPECT_EQ(inkOutside(*star), 0);
  EXPECT_LT(star->drawingBounds().top(), 20.0 - 12.0) << "the top point's mitre is covered";
  // Sharper points, a triangle's apex, the four-pointed outline, a dashed border.
  for (const auto &[code, type] : std::vector<std::pair<const char *, int>>{{"DS", 5}, {"T", 1}, {"P", 1}, {"D", 1}}) {
    auto shape = outlinedShape(code);
    shape->_strokeWidth = 12.0;
    shape->double_star_type = type;
    shape->polygon_type = type;
    shape->_stroke_border_type = QStringLiteral("DA");
    EXPECT_EQ(inkOutside(*shape), 0) << code;
  }
  // A rectangle's border reaches half its width past the bounds, as far as the handles'
  // room of a plain object: the drawing bounds are exactly those, (0, 0, 10, 10) with a
  // 10-point border giving (-5, -5, 21, 21).
  auto rectangle = outlinedShape("R");
  rectangle->_strokeWidth = 10.0;
  EXPECT_EQ(inkOutside(*rectangle), 0);
  EXPECT_EQ(rectangle->drawingBounds(), QRectF(15, 15, 111, 111));
  rectangle->_bounds = QRectF(0, 0, 10, 10);
  EXPECT_EQ(rectangle->drawingBounds(), QRectF(-5, -5, 21, 21));
  EXPECT_EQ(inkOutside(*rectangle), 0);
  // Round shapes and a thin border stay within the handles' room as well.
  for (const char *code : {"C", "RR"}) {
    auto round = outlinedShape(code);
    round->_strokeWidth = 10.0;
    EXPECT_EQ(round->drawingBounds(), QRectF(15, 15, 111, 111)) << code;
    EXPECT_EQ(inkOutside(*round), 0) << code;
  }
  rectangle->_strokeWidth = 1.0;
  EXPECT_EQ(rectangle->drawingBounds(), QRectF(-3, -3, 17, 17));
  // Without a border only the handles count.
  star->_isDrawingStroke = false;
  EXPECT_EQ(star->drawingBounds(), QRectF(17, 17, 107, 107));

  // An 18-point line with square caps on a slant: the corners of its caps lie 12.7
  // points from its ends, past half the width on both axes.
  for (int cap : {0, 1, 2}) {
    auto line = std::make_shared<QLNLine>();
    line->_strokeWidth = 18.0;
    line->_line_cap_style = cap;
    line->setEndPoint(QPointF(150, 40));
    line->setBeginPoint(QPointF(30, 160));
    EXPECT_EQ(inkOutside(*line), 0) << "cap " << cap;
  }
  // A level line with flat ends reaches no further than the handles' room.
  auto level = std::make_shared<QLNLine>();
  level->_strokeWidth = 10.0;
  level->setBeginPoint(QPointF(20, 50));
  level->setEndPoint(QPointF(120, 50));
  EXPECT_EQ(inkOutside(*level), 0);
  const QRectF levelBounds = level->bounds().normalized();
  EXPECT_EQ(level->drawingBounds(), levelBounds.adjusted(-5, -5, 6, 6));
}

// ---- Visibility, redraw, hit testing -----------------------------------------------------

TEST(ShapeDrawing, HiddenShapesPaintNothingAndAskForNoRedraw) {
  RefreshCounter refresh;
  auto shape = outlinedShape("R");
  shape->_isDrawingFill = true;
  shape->_fillColor = Qt::red;
  shape->Set_Ctrl_Is_Visible(false);
  EXPECT_TRUE(allWhite(paintedShape(*shape), kWhiteTolerance));
  EXPECT_EQ(refresh.count, 0);

  // A visible shape asks once, also when its code gives no outline.
  shape->Set_Ctrl_Is_Visible(true);
  paintedShape(*shape);
  EXPECT_EQ(refresh.count, 1);
  shape->Set_Shape_Type("nothing");
  EXPECT_TRUE(allWhite(paintedShape(*shape), kWhiteTolerance));
  EXPECT_EQ(refresh.count, 2);
}

TEST(ShapeDrawing, HitTestFollowsTheOutlineWhateverTheFill) {
  auto star = outlinedShape("S");
  EXPECT_FALSE(star->isDrawingFill());
  EXPECT_TRUE(star->isContentsUnderPoint({70, 70})) << "inner pentagon";
  EXPECT_TRUE(star->isContentsUnderPoint({70, 30})) << "top point";
  EXPECT_FALSE(star->isContentsUnderPoint({70, 115})) << "between the lower points";
  EXPECT_FALSE(star->isContentsUnderPoint({22, 22}));

  auto ellipse = outlinedShape("C");
  EXPECT_TRUE(ellipse->isContentsUnderPoint({70, 70}));
  EXPECT_FALSE(ellipse->isContentsUnderPoint({22, 22})) << "corner of the bounds";

  auto polygon = outlinedShape("P");
  polygon->polygon_type = 3;   // a hexagon traced twice is still inside once
  EXPECT_TRUE(polygon->isContentsUnderPoint({70, 70}));

  auto nothing = outlinedShape("Z");
  EXPECT_FALSE(nothing->isContentsUnderPoint({70, 70}));
}

// A corner radius past half the shorter side draws round corners of half that side, and
// a click follows the corners drawn; the radius itself stays as the user set it.
TEST(ShapeDrawing, RoundedCornersStayRoundPastHalfTheShorterSide) {
  auto wide = outlinedShape("RR");
  wide->_bounds = QRectF(0, 0, 200, 40);
  wide->cor_rad_val_val = 50.0f;
  wide->_isDrawingFill = true;
  wide->_fillColor = QColor(255, 0, 0);
  wide->_isDrawingStroke = false;
  const QImage image = paintedShape(*wide, 220, 60);
  // Corners 20 wide: the top edge is straight from x = 20 on, and (15, 3) lies inside.
  EXPECT_TRUE(near(at(image, 25, 1), QColor(255, 0, 0)));
  EXPECT_TRUE(near(at(image, 15, 3), QColor(255, 0, 0)));
  EXPECT_TRUE(isWhite(at(image, 3, 3), kWhiteTolerance));
  EXPECT_TRUE(wide->isContentsUnderPoint({15, 3}));
  EXPECT_TRUE(wide->isContentsUnderPoint({185, 37}));
  EXPECT_FALSE(wide->isContentsUnderPoint({2, 2}));
  EXPECT_FLOAT_EQ(wide->cor_rad_val_val, 50.0f);
}

TEST(ShapeDrawing, DamagedValuesDrawWithoutFailing) {
  // Values only a damaged design file holds: nothing may crash or hang.
  const double nan = std::nan("");
  const QRectF boxes[] = {QRectF(nan, 0, 100, 100), QRectF(0, 0, 1e300, 1e300),
                          QRectF(-1e12, -1e12, 2e12, 2e12), QRectF(120, 120, -100, -100)};
  for (const QString code : {"R", "C", "RR", "T", "D", "S", "DS", "P"}) {
    for (const QRectF &box : boxes) {
      auto shape = outlinedShape(code);
      shape->_bounds = box;
      shape->_isDrawingFill = true;
      shape->_fill_type = "G";
      shape->_fill_grad_angle = nan;
      shape->_strokeWidth = 1e300;
      shape->cor_rad_val_val = nan;
      shape->_stroke_border_type = "DDD";
      shape->double_star_type = Shape_Control::MaxPolygonVertices;
      paintedShape(*shape);
      shape->isContentsUnderPoint({50, 50});
    }
  }
  // A rectangle given with negative width and height is still drawn where it lies.
  auto flipped = outlinedShape("R");
  flipped->_bounds = QRectF(120, 120, -100, -100);
  flipped->_isDrawingFill = true;
  flipped->_fillColor = QColor(255, 0, 0);
  EXPECT_TRUE(near(at(paintedShape(*flipped), 70, 70), QColor(255, 0, 0)));
}
