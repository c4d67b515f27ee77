// The line object: end points from the bounds and the direction flags, moving its two
// handles, hit testing along the line (horizontal and vertical lines included), and
// painting: stroke only, cap styles, dashes, colour and the redraw request.

#include "core/QLNLine.h"

#include "tests/common/PixelHelpers.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <memory>

using namespace pixeltest;

namespace {

std::shared_ptr<QLNLine> lineFrom(QPointF begin, QPointF end, double width = 1.0) {
  auto line = std::make_shared<QLNLine>();
  line->_strokeWidth = width;
  line->setEndPoint(end);
  line->setBeginPoint(begin);
  return line;
}

QImage painted(QLNLine &line, int w = 120, int h = 100) {
  QImage image = whiteImage(w, h);
  QPainter painter(&image);
  line.drawContentsInView(&painter, false);
  painter.end();
  return image;
}

}  // namespace

// ---- End points -------------------------------------------------------------------------

TEST(LineObject, EndPointsSitOnTheCornersTheFlagsName) {
  QLNLine line;
  line._bounds = QRectF(10, 20, 50, 20);
  struct Case {
    bool right, down;
    QPointF begin, end;
  };
  const Case cases[] = {
      {false, false, {60, 40}, {10, 20}},   // a new line: bottom right to top left
      {true, false, {10, 40}, {60, 20}},
      {false, true, {60, 20}, {10, 40}},
      {true, true, {10, 20}, {60, 40}},
  };
  for (const Case &c : cases) {
    line._pointsRight = c.right;
    line._pointsDown = c.down;
    EXPECT_EQ(line.beginPoint(), c.begin) << c.right << c.down;
    EXPECT_EQ(line.endPoint(), c.end) << c.right << c.down;
  }
}

TEST(LineObject, SettingAnEndPointKeepsTheOtherAndSetsBoundsAndFlags) {
  auto line = lineFrom({10, 40}, {60, 20});
  EXPECT_EQ(line->bounds(), QRectF(10, 20, 50, 20));
  EXPECT_TRUE(line->_pointsRight);
  EXPECT_FALSE(line->_pointsDown);
  EXPECT_EQ(line->beginPoint(), QPointF(10, 40));
  EXPECT_EQ(line->endPoint(), QPointF(60, 20));

  // Handle 1 moves the begin point past the end point: the end point stays, the handle
  // stays 1.
  EXPECT_EQ(line->resizeByMovingHandle(1, {80, 30}), 1);
  EXPECT_EQ(line->bounds(), QRectF(60, 20, 20, 10));
  EXPECT_EQ(line->beginPoint(), QPointF(80, 30));
  EXPECT_EQ(line->endPoint(), QPointF(60, 20));

  // Handle 2 moves the end point; any other handle changes nothing.
  EXPECT_EQ(line->resizeByMovingHandle(2, {100, 90}), 2);
  EXPECT_EQ(line->beginPoint(), QPointF(80, 30));
  EXPECT_EQ(line->endPoint(), QPointF(100, 90));
  const QRectF before = line->bounds();
  EXPECT_EQ(line->resizeByMovingHandle(8, {0, 0}), 8);
  EXPECT_EQ(line->resizeByMovingHandle(0, {0, 0}), 0);
  EXPECT_EQ(line->bounds(), before);

  // A new line is dragged out by its end point.
  EXPECT_EQ(QLNLine().creationSizingHandle(), 2);
}

// ---- Handles ---------------------------------------------------------------------------------

TEST(LineObject, HasTwoHandlesOnItsEndPoints) {
  auto line = lineFrom({20, 80}, {90, 30});
  EXPECT_EQ(line->handleUnderPoint({20, 80}), 1);
  EXPECT_EQ(line->handleUnderPoint({22.9, 77.1}), 1);
  EXPECT_EQ(line->handleUnderPoint({90, 30}), 2);
  EXPECT_EQ(line->handleUnderPoint({55, 55}), 0);
  EXPECT_EQ(line->handleUnderPoint({20, 30}), 0) << "an unused corner of the bounds";
  EXPECT_EQ(line->handleUnderPoint({90, 80}), 0) << "an unused corner of the bounds";

  // Where the two overlap the begin point wins.
  auto tiny = lineFrom({50, 50}, {52, 52});
  EXPECT_EQ(tiny->handleUnderPoint({51, 51}), 1);

  QImage image = whiteImage(120, 100);
  QPainter painter(&image);
  line->drawHandlesInView(&painter, false);
  painter.end();
  EXPECT_FALSE(isWhite(at(image, 20, 80)));
  EXPECT_FALSE(isWhite(at(image, 90, 30)));
  EXPECT_TRUE(isWhite(at(image, 20, 30)));
  EXPECT_TRUE(isWhite(at(image, 90, 80)));
  EXPECT_TRUE(isWhite(at(image, 55, 55)));
}

// ---- Hit testing -----------------------------------------------------------------------------

TEST(LineObject, HitsWithinHalfTheStrokeWidthPlusTwoPoints) {
  // Tolerance 4 for a 4-point line; measured vertically for a shallow line.
  auto line = lineFrom({10, 60}, {110, 20}, 4.0);
  EXPECT_TRUE(line->isContentsUnderPoint({60, 40 - 3.9}));
  EXPECT_FALSE(line->isContentsUnderPoint({60, 40 - 4.1}));
  EXPECT_TRUE(line->isContentsUnderPoint({60, 40 + 3.9}));
  EXPECT_FALSE(line->isContentsUnderPoint({60, 40 + 4.1}));
  EXPECT_FALSE(line->isContentsUnderPoint({20, 25})) << "inside the bounds, far from the line";
  EXPECT_FALSE(line->isContentsUnderPoint({130, 12})) << "on the line, beyond its end";
}

TEST(LineObject, HorizontalAndVerticalLinesCanBeHit) {
  // Their bounds have no height or width; the tolerance reaches beyond them.
  auto vertical = lineFrom({50, 10}, {50, 90});   // tolerance 2.5
  EXPECT_TRUE(vertical->isContentsUnderPoint({50, 50}));
  EXPECT_TRUE(vertical->isContentsUnderPoint({52.4, 50}));
  EXPECT_TRUE(vertical->isContentsUnderPoint({47.6, 50}));
  EXPECT_FALSE(vertical->isContentsUnderPoint({52.6, 50}));
  EXPECT_TRUE(vertical->isContentsUnderPoint({50, 92}));
  EXPECT_FALSE(vertical->isContentsUnderPoint({50, 93})) << "beyond the end";

  auto horizontal = lineFrom({10, 30}, {90, 30}, 3.0);   // tolerance 3.5
  EXPECT_TRUE(horizontal->isContentsUnderPoint({40, 30}));
  EXPECT_TRUE(horizontal->isContentsUnderPoint({40, 33.4}));
  EXPECT_FALSE(horizontal->isContentsUnderPoint({40, 33.6}));
  EXPECT_TRUE(horizontal->isContentsUnderPoint({7, 30}));
  EXPECT_FALSE(horizontal->isContentsUnderPoint({6, 30}));
}

TEST(LineObject, SteepLinesAreHitAsWideAsShallowOnes) {
  // A line a little off vertical: a point 1.5 points beside it hits (tolerance 2.5),
  // 2.7 points beside it misses.
  auto steep = lineFrom({100, 0}, {101, 100});
  EXPECT_TRUE(steep->isContentsUnderPoint({102, 50}));
  EXPECT_TRUE(steep->isContentsUnderPoint({99, 50}));
  EXPECT_FALSE(steep->isContentsUnderPoint({103.2, 50}));
  // At 45 degrees both measures agree.
  auto diagonal = lineFrom({0, 0}, {100, 100});
  EXPECT_TRUE(diagonal->isContentsUnderPoint({50, 52.4}));
  EXPECT_FALSE(diagonal->isContentsUnderPoint({50, 52.6}));
}

// ---- Painting -------------------------------------------------------------------------------

TEST(LineObject, PaintsItsStrokeOnlyInItsBorderColour) {
  RefreshCounter refresh;
  auto line = lineFrom({20, 50}, {100, 50}, 4.0);
  line->_isDrawingFill = true;      // a line has no fill ...
  line->_fillColor = Qt::green;
  line->_isDrawingStroke = false;   // ... and is always stroked
  line->setColor(QColor(255, 0, 0));
  const QImage image = painted(*line);
  EXPECT_EQ(at(image, 60, 49), QColor(255, 0, 0));
  EXPECT_EQ(at(image, 60, 50), QColor(255, 0, 0));
  EXPECT_TRUE(isWhite(at(image, 60, 53)));
  EXPECT_EQ(refresh.count, 1);

  // The border opacity applies.
  line->alpha_val_stroke = 0.5f;
  const QImage half = painted(*line);
  EXPECT_NEAR(at(half, 60, 49).green(), 128, 2);
  EXPECT_EQ(at(half, 60, 49).red(), 255);

  // Hidden: nothing, and no redraw request.
  line->Set_Ctrl_Is_Visible(false);
  EXPECT_TRUE(allWhite(painted(*line)));
  EXPECT_EQ(refresh.count, 2);
}

TEST(LineObject, CapStylesShapeTheEnds) {
  // A 10-point line from x 20 to x 100.
  auto line = lineFrom({20, 50}, {100, 50}, 10.0);
  struct Case {
    int code;
    bool squareCorner;   // ink at (15.5, 45.5) - the corner of a square end
    bool beyondEnd;      // ink at (16.5, 50) - 3.5 points before the begin point
  };
  const Case cases[] = {{0, false, false}, {1, false, true}, {2, true, true}, {7, false, false}};
  for (const Case &c : cases) {
    line->_line_cap_style = c.code;
    const QImage image = painted(*line);
    EXPECT_EQ(isInk(at(image, 15.5, 45.5)), c.squareCorner) << "cap " << c.code;
    EXPECT_EQ(isInk(at(image, 16.5, 50)), c.beyondEnd) << "cap " << c.code;
    EXPECT_TRUE(isInk(at(image, 20.5, 50))) << "cap " << c.code;
  }
}

TEST(LineObject, DashesRunFromTheBeginPoint) {
  // Drawn from right to left: the first dash starts at the begin point on the right.
  auto line = lineFrom({110, 30}, {10, 30}, 3.0);
  line->_stroke_border_type = "DO";   // 4 on, 6 off
  const QImage image = painted(*line);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const double dashStart = 110 - 10 * i;
    EXPECT_TRUE(isInk(at(image, dashStart - 0.5, 30)));
    EXPECT_TRUE(isInk(at(image, dashStart - 3.5, 30)));
    EXPECT_TRUE(isWhite(at(image, dashStart - 4.5, 30)));
    EXPECT_TRUE(isWhite(at(image, dashStart - 9.5, 30)));
  }
}

TEST(LineObject, DamagedValuesDrawWithoutFailing) {
  const double nan = std::nan("");
  for (const QRectF &box : {QRectF(nan, 0, 10, 10), QRectF(0, 0, 1e300, 1e300), QRectF(-1e12, 5, 2e12, 0)}) {
    QLNLine line;
    line._bounds = box;
    line._strokeWidth = 1e300;
    line._stroke_border_type = "DD";
    line._line_cap_style = 1;
    painted(line);
    EXPECT_FALSE(line.isContentsUnderPoint({nan, 5}));
    line._strokeWidth = nan;
    EXPECT_FALSE(line.isContentsUnderPoint({5, 5}));
  }
}
