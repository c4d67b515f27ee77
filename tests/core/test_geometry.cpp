// Card object geometry: handles and hit testing at the edges, resizing by every
// handle past the opposite edge, natural size, drawing bounds, group operations,
// paste placement, and handles drawn into an image.

#include "core/MainWindowServices.h"
#include "core/QLNGraphic.h"

#include "tests/common/PixelHelpers.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <functional>
#include <stdexcept>

using namespace pixeltest;

// The main window's answers to the group operations (set by the main window).

namespace {

// A card object that counts the mirroring and bounds calls the base operations make.
class Probe : public QLNGraphic {
public:
  explicit Probe(const QRectF &r = {}) { _bounds = r; }
  void flipHorizontally() override { ++horizontalFlips; }
  void flipVertically() override { ++verticalFlips; }
  void setBounds(const QRectF &bounds) override {
    ++setBoundsCalls;
    QLNGraphic::setBounds(bounds);
  }
  bool canSetDrawingFill() const override { return fillSettable; }

  int horizontalFlips = 0;
  int verticalFlips = 0;
  int setBoundsCalls = 0;
  bool fillSettable = true;
};

std::shared_ptr<Probe> probe(const QRectF &r) { return std::make_shared<Probe>(r); }

// A main window that answers the front canvas bounds and the next free positions
// from the test; installed as Main_App_wnd for its lifetime.
struct FakeMainWindow : MainWindowServices {
  std::function<QPointF(const QString &)> nextPoint;
  QRectF canvas;
  FakeMainWindow() { Main_App_wnd = this; }
  ~FakeMainWindow() override { Main_App_wnd = nullptr; }
  QPointF Control_New_Point(const QString &card_side) override { return nextPoint(card_side); }
  QRectF frontCanvasBounds() const override { return canvas; }
};

}  // namespace

TEST(QLNGraphicGeometry, HandleHitsFollowTheEdgeRule) {
  Probe g({10, 20, 100, 50});
  const struct {
    QPointF at;
    int handle;
  } handles[] = {{{10, 20}, 1}, {{60, 20}, 2},  {{110, 20}, 3}, {{10, 45}, 4},
                 {{110, 45}, 5}, {{10, 70}, 6}, {{60, 70}, 7},  {{110, 70}, 8}};
  for (const auto &h : handles)
    EXPECT_EQ(g.handleUnderPoint(h.at), h.handle) << h.handle;

  // The handle square of code 8 spans [107, 113) on both axes.
  EXPECT_EQ(g.handleUnderPoint({112.9, 72.9}), 8);
  EXPECT_EQ(g.handleUnderPoint({107, 67}), 8);
  EXPECT_EQ(g.handleUnderPoint({113, 73}), QLNGraphicNoHandle);
  EXPECT_EQ(g.handleUnderPoint({106.99, 70}), QLNGraphicNoHandle);
  EXPECT_EQ(g.handleUnderPoint({60, 45}), QLNGraphicNoHandle);
  EXPECT_TRUE(g.isHandleAtPoint({0, 0}, {-3, -3}));
  EXPECT_FALSE(g.isHandleAtPoint({0, 0}, {3, 0}));

  // Where the squares of a tiny object overlap, the lower code wins.
  Probe tiny({0, 0, 4, 4});
  EXPECT_EQ(tiny.handleUnderPoint({2, 2}), 1);
  EXPECT_EQ(tiny.handleUnderPoint({4.5, 2}), 2);
  EXPECT_EQ(tiny.handleUnderPoint({6.5, 6.5}), 8);

  // Contents: minimum edges inside, maximum edges outside.
  EXPECT_TRUE(g.isContentsUnderPoint({10, 20}));
  EXPECT_TRUE(g.isContentsUnderPoint({109.999, 69.999}));
  EXPECT_FALSE(g.isContentsUnderPoint({110, 40}));
  EXPECT_FALSE(g.isContentsUnderPoint({50, 70}));
  EXPECT_FALSE(g.isContentsUnderPoint({9.999, 40}));
}

TEST(QLNGraphicGeometry, ResizingPastTheOppositeEdgeMirrorsTheHandle) {
  const QRectF start(10, 20, 100, 50);  // x 10..110, y 20..70
  const struct {
    int handle;
    QPointF to;
    QRectF bounds;
    int returned;
    int hFlips, vFlips;
  } cases[] = {
      {1, {150, 90}, {110, 70, 40, 20}, 8, 1, 1},
      {2, {0, 90}, {10, 70, 100, 20}, 7, 0, 1},
      {3, {0, 90}, {0, 70, 10, 20}, 6, 1, 1},
      {4, {150, 0}, {110, 20, 40, 50}, 5, 1, 0},
      {5, {0, 0}, {0, 20, 10, 50}, 4, 1, 0},
      {6, {150, 0}, {110, 0, 40, 20}, 3, 1, 1},
      {7, {0, 0}, {10, 0, 100, 20}, 2, 0, 1},
      {8, {0, 10}, {0, 10, 10, 10}, 1, 1, 1},
      // Within the edges: plain resizing, no mirroring.
      {2, {500, 5}, {10, 5, 100, 65}, 2, 0, 0},
      {8, {130, 75}, {10, 20, 120, 55}, 8, 0, 0},
      {4, {30, 0}, {30, 20, 80, 50}, 4, 0, 0},
      // Exactly onto the opposite edge: zero size, no mirroring.
      {5, {10, 45}, {10, 20, 0, 50}, 5, 0, 0},
      {7, {60, 20}, {10, 20, 100, 0}, 7, 0, 0},
  };
  for (const auto &c : cases) {
    Probe g(start);
    EXPECT_EQ(g.resizeByMovingHandle(c.handle, c.to), c.returned) << c.handle;
    EXPECT_EQ(g.bounds(), c.bounds) << c.handle;
    EXPECT_EQ(g.horizontalFlips, c.hFlips) << c.handle;
    EXPECT_EQ(g.verticalFlips, c.vFlips) << c.handle;
    EXPECT_EQ(g.setBoundsCalls, 1) << c.handle;
  }

  // Dragging on with the returned handle keeps resizing from the new side.
  Probe g(start);
  int handle = g.resizeByMovingHandle(8, {0, 10});
  handle = g.resizeByMovingHandle(handle, {-10, 0});
  EXPECT_EQ(handle, 1);
  EXPECT_EQ(g.bounds(), QRectF(-10, 0, 20, 20));
  EXPECT_EQ(g.horizontalFlips, 1);
  EXPECT_EQ(g.verticalFlips, 1);
}

TEST(QLNGraphicGeometry, PositionSizeAndNaturalSizeGoThroughSetBounds) {
  Probe g({10, 20, 80, 30});
  int boundsChanges = 0;
  KeyValueObserverFunction observer(
      [&](const QString &, KeyValueObservable *, const KeyValueChange &) { ++boundsChanges; });
  g.addObserver(&observer, QLNGraphicBoundsKey);

  EXPECT_TRUE(g.canMakeNaturalSize());
  g.makeNaturalSize();
  EXPECT_EQ(g.bounds(), QRectF(10, 20, 30, 30));
  EXPECT_FALSE(g.canMakeNaturalSize());
  g.makeNaturalSize();  // square already: untouched
  EXPECT_EQ(g.setBoundsCalls, 1);
  EXPECT_EQ(boundsChanges, 1);

  g.setHeight(70);
  g.makeNaturalSize();
  EXPECT_EQ(g.bounds(), QRectF(10, 20, 30, 30));

  g.setXPosition(-4);
  g.setYPosition(5.5);
  g.setWidth(12);
  g.setHeight(0);
  EXPECT_EQ(g.bounds(), QRectF(-4, 5.5, 12, 0));
  EXPECT_EQ(g.xPosition(), -4);
  EXPECT_EQ(g.yPosition(), 5.5);
  EXPECT_EQ(g.width(), 12);
  EXPECT_EQ(g.height(), 0);
  EXPECT_EQ(g.setBoundsCalls, 7);
  EXPECT_EQ(boundsChanges, 7);

  // setBounds keeps a rectangle exactly as given, negative sizes included.
  g.setBounds({5, 5, -10, -3});
  EXPECT_EQ(g.bounds(), QRectF(5, 5, -10, -3));
  g.removeObserver(&observer, QLNGraphicBoundsKey);
}

TEST(QLNGraphicGeometry, DrawingBoundsCoverHandlesAndThickBorders) {
  Probe g({0, 0, 10, 10});
  g._isDrawingStroke = true;
  g._strokeWidth = 1.0;
  EXPECT_EQ(g.drawingBounds(), QRectF(-3, -3, 17, 17));
  g._strokeWidth = 6.0;  // half the border equals the handle half: handles decide
  EXPECT_EQ(g.drawingBounds(), QRectF(-3, -3, 17, 17));
  g._strokeWidth = 10.0;
  EXPECT_EQ(g.drawingBounds(), QRectF(-5, -5, 21, 21));
  g._isDrawingStroke = false;
  EXPECT_EQ(g.drawingBounds(), QRectF(-3, -3, 17, 17));
}

TEST(QLNGraphicGeometry, GroupBoundsMovesAndPastePlacement) {
  auto a = probe({10, 10, 20, 20});
  auto b = probe({50, 40, 30, 0});  // a flat object still counts
  auto c = probe({-5, 100, 5, 5});
  b->_isDrawingStroke = false;

  EXPECT_EQ(QLNGraphic::boundsOfGraphics({}), QRectF(0, 0, 0, 0));
  EXPECT_EQ(QLNGraphic::boundsOfGraphics({a}), QRectF(10, 10, 20, 20));
  EXPECT_EQ(QLNGraphic::boundsOfGraphics({a, b}), QRectF(10, 10, 70, 30));
  EXPECT_EQ(QLNGraphic::boundsOfGraphics({a, b, c}), QRectF(-5, 10, 85, 95));
  EXPECT_EQ(QLNGraphic::drawingBoundsOfGraphics({a, b}), QRectF(7, 7, 77, 37));

  // No objects: the front canvas, whatever side is shown.
  EXPECT_EQ(QLNGraphic::drawingBoundsOfGraphics({}), QRectF(0, 0, 0, 0));
  FakeMainWindow mainWindow;
  mainWindow.canvas = QRectF(0, 0, 243, 154);
  EXPECT_EQ(QLNGraphic::drawingBoundsOfGraphics({}), QRectF(0, 0, 243, 154));

  // Moving skips locked objects.
  b->ctrl_is_locked = true;
  QLNGraphic::translateGraphics({a, b, c}, 5, -2.5);
  EXPECT_EQ(a->bounds(), QRectF(15, 7.5, 20, 20));
  EXPECT_EQ(b->bounds(), QRectF(50, 40, 30, 0));
  EXPECT_EQ(c->bounds(), QRectF(0, 97.5, 5, 5));

  // Pasting: the first at the given point, later ones at the next free positions of the
  // side, asked for every later object (locked ones included, which stay put).
  QStringList sidesAsked;
  int calls = 0;
  mainWindow.nextPoint = [&](const QString &side) {
    sidesAsked << side;
    ++calls;
    return QPointF(100.0 + calls * 10.0, 200.0 + calls * 10.0);
  };
  QLNGraphic::Paste_Location_Of_Graphics({a, b, c}, 1, 2, QStringLiteral("B"));
  EXPECT_EQ(a->bounds(), QRectF(1, 2, 20, 20));
  EXPECT_EQ(b->bounds(), QRectF(50, 40, 30, 0));
  EXPECT_EQ(c->bounds(), QRectF(120, 220, 5, 5));
  EXPECT_EQ(sidesAsked, QStringList({"B", "B"}));
}

TEST(QLNGraphicGeometry, SetColorTurnsTheFillOnWhereAllowed) {
  Probe g({0, 0, 10, 10});
  g._isDrawingFill = false;
  g.alpha_val = 1.0f;
  QStringList heard;
  KeyValueObserverFunction observer(
      [&](const QString &key, KeyValueObservable *, const KeyValueChange &) { heard << key; });
  g.addObserver(&observer, QLNGraphicIsDrawingFillKey);
  g.addObserver(&observer, QLNGraphicFillColorKey);

  g.setColor(QColor(255, 0, 0));
  EXPECT_TRUE(g._isDrawingFill);
  EXPECT_EQ(g._fillColor, QColor(255, 0, 0));
  EXPECT_EQ(heard, QStringList({"drawingFill", "fillColor"}));

  heard.clear();
  g.setColor(QColor(0, 0, 255));
  EXPECT_EQ(heard, QStringList({"fillColor"}));

  heard.clear();
  g.fillSettable = false;
  g._isDrawingFill = false;
  g.setColor(QColor(0, 255, 0));
  EXPECT_FALSE(g._isDrawingFill);
  EXPECT_EQ(g._fillColor, QColor(0, 0, 255));
  EXPECT_TRUE(heard.isEmpty());
  g.removeObserver(&observer, QLNGraphicIsDrawingFillKey);
  g.removeObserver(&observer, QLNGraphicFillColorKey);
}

TEST(QLNGraphicGeometry, BaseOperationsAndRandomPoints) {
  Probe g({0, 0, 10, 10});
  EXPECT_TRUE(g.canSetDrawingFill());
  EXPECT_TRUE(g.canSetDrawingStroke());
  EXPECT_EQ(g.creationSizingHandle(), 8);
  try {
    (void)g.bezierPathForDrawing();
    ADD_FAILURE() << "no exception";
  } catch (const std::logic_error &e) {
    EXPECT_STREQ(e.what(), "Neither -drawContentsInView: nor -bezierPathForDrawing has been overridden.");
  }

  for (int i = 0; i < 200; ++i) {
    const QPointF p = g.randomPoint({5, 7, 10.9, 3});
    EXPECT_GE(p.x(), 5);
    EXPECT_LE(p.x(), 14);  // width truncated to 10: offsets 0..9
    EXPECT_GE(p.y(), 7);
    EXPECT_LE(p.y(), 9);
    EXPECT_EQ(p.x(), std::floor(p.x()));
  }
  // Under one point on an axis: the origin on that axis, no division by zero.
  for (int i = 0; i < 20; ++i) {
    const QPointF p = g.randomPoint({5, 7, 0.5, 30});
    EXPECT_EQ(p.x(), 5);
    EXPECT_GE(p.y(), 7);
    EXPECT_LT(p.y(), 37);
  }
  EXPECT_EQ(g.randomPoint({3, 4, 0, -8}), QPointF(3, 4));
  EXPECT_EQ(g.randomPoint({3, 4, qQNaN(), qInf()}), QPointF(3, 4));
}

TEST(QLNGraphicGeometry, HandlesAreDrawnAsPixelAlignedSquaresRedWhenLocked) {
  const QRgb white = qRgb(255, 255, 255);
  const QRgb red = qRgb(255, 0, 0);
  Probe g({10.3, 10.3, 40, 20});

  QImage image = whiteImage(80, 60, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    g.drawHandlesInView(&painter, true);
  }
  // Eight whole 6 x 6 squares, each aligned to pixels despite the fractional bounds.
  EXPECT_EQ(countPixels(image, red), 8 * 36);
  EXPECT_EQ(image.pixel(7, 7), red);
  EXPECT_EQ(image.pixel(12, 12), red);
  EXPECT_EQ(image.pixel(30, 10), red);  // top middle
  EXPECT_EQ(image.pixel(50, 30), red);  // bottom right
  // The drop shadow peeks out below and to the right, and nowhere else.
  const QRgb shadow = image.pixel(13, 13);
  EXPECT_NE(shadow, white);
  EXPECT_NE(shadow, red);
  EXPECT_LT(qGray(shadow), 128);
  EXPECT_EQ(image.pixel(13, 8), shadow);
  EXPECT_EQ(image.pixel(6, 6), white);
  EXPECT_EQ(image.pixel(13, 7), white);
  EXPECT_EQ(image.pixel(30, 20), white);  // the middle of the object stays empty

  // Unlocked: the same squares in the neutral handle colour, no red at all.
  image.fill(white);
  {
    QPainter painter(&image);
    g.drawHandlesInView(&painter, false);
  }
  EXPECT_EQ(countPixels(image, red), 0);
  const QRgb knob = image.pixel(10, 10);
  EXPECT_NE(knob, white);
  EXPECT_NE(knob, shadow);
  EXPECT_EQ(countPixels(image, knob), 8 * 36);

  // Drawn at twice the size, a handle is 12 device pixels wide.
  QImage zoomed = whiteImage(160, 120, QImage::Format_RGB32);
  {
    QPainter painter(&zoomed);
    painter.scale(2, 2);
    g.drawHandleInView(&painter, {20, 20}, true);
  }
  EXPECT_EQ(countPixels(zoomed, red), 144);
  EXPECT_EQ(zoomed.pixel(34, 34), red);
  EXPECT_EQ(zoomed.pixel(45, 45), red);
  EXPECT_NE(zoomed.pixel(46, 46), red);
}
