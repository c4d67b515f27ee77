// The canvas grid: defaults, snapping, aligned rectangles, change announcements,
// the temporary showing after a spacing change, and the drawn lines.

#include "core/QLNGrid.h"

#include "tests/common/PixelHelpers.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QTimer>

#include <vector>

using namespace pixeltest;

namespace {

// Runs the event loop for `ms` milliseconds.
void spin(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Counts every signal of a grid by name.
struct GridSignals {
  int any = 0, color = 0, spacing = 0, alwaysShown = 0, constraining = 0, usable = 0,
      canSetColor = 0, canSetSpacing = 0;
  std::vector<bool> alignButton;

  explicit GridSignals(QLNGrid &grid) {
    QObject::connect(&grid, &QLNGrid::anyChanged, [this] { ++any; });
    QObject::connect(&grid, &QLNGrid::colorChanged, [this] { ++color; });
    QObject::connect(&grid, &QLNGrid::spacingChanged, [this] { ++spacing; });
    QObject::connect(&grid, &QLNGrid::alwaysShownChanged, [this] { ++alwaysShown; });
    QObject::connect(&grid, &QLNGrid::constrainingChanged, [this] { ++constraining; });
    QObject::connect(&grid, &QLNGrid::usableChanged, [this] { ++usable; });
    QObject::connect(&grid, &QLNGrid::canSetColorChanged, [this] { ++canSetColor; });
    QObject::connect(&grid, &QLNGrid::canSetSpacingChanged, [this] { ++canSetSpacing; });
    QObject::connect(&grid, &QLNGrid::alignWithGridEnabledChanged,
                     [this](bool on) { alignButton.push_back(on); });
  }
  int total() const {
    return any + color + spacing + alwaysShown + constraining + usable + canSetColor +
           canSetSpacing + static_cast<int>(alignButton.size());
  }
};

bool isBlack(const QImage &image, int x, int y) {
  return image.pixel(x, y) == qRgb(0, 0, 0);
}

int blackPixels(const QImage &image) { return countPixels(image, qRgb(0, 0, 0)); }

QImage drawn(const QLNGrid &grid, int w, int h, QRectF dirty, double scale = 1.0) {
  QImage image = whiteImage(w, h, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.scale(scale, scale);
  grid.drawRect(&painter, dirty);
  return image;
}

}  // namespace

TEST(QLNGrid, NewGridIsHiddenLightGreyNineAndUsable) {
  QLNGrid grid;
  EXPECT_EQ(grid.spacing(), 9.0);
  EXPECT_EQ(grid.color(), QColor(Qt::lightGray));
  EXPECT_FALSE(grid.isAlwaysShown());
  EXPECT_FALSE(grid.isConstraining());
  EXPECT_FALSE(grid.isShowingTemporarily());
  EXPECT_TRUE(grid.isUsable());
  EXPECT_TRUE(grid.canAlign());
  EXPECT_FALSE(grid.canSetColor());
  EXPECT_FALSE(grid.canSetSpacing());
  EXPECT_EQ(QLNGridAnyKey, QStringLiteral("any"));
}

TEST(QLNGrid, SnapsToNearestMultipleOnlyWhenConstraining) {
  QLNGrid grid;
  EXPECT_EQ(grid.constrainedPoint({13.4, 13.5}), QPointF(13.4, 13.5));
  grid.setConstraining(true);
  EXPECT_EQ(grid.constrainedPoint({13.4, 13.5}), QPointF(9, 18));
  // Halves round up, also below zero.
  EXPECT_EQ(grid.constrainedPoint({-4.5, 4.5}), QPointF(0, 9));
  EXPECT_EQ(grid.constrainedPoint({-4.6, 22.4}), QPointF(-9, 18));

  grid.setSpacing(0.0);
  EXPECT_FALSE(grid.isUsable());
  EXPECT_FALSE(grid.canAlign());
  EXPECT_EQ(grid.constrainedPoint({13.4, 13.5}), QPointF(13.4, 13.5));
  grid.setSpacing(-5.0);
  EXPECT_FALSE(grid.isUsable());
  EXPECT_EQ(grid.constrainedPoint({13.4, 13.5}), QPointF(13.4, 13.5));
}

TEST(QLNGrid, AlignedRectRoundsOriginAndFarCorner) {
  QLNGrid grid;  // not constraining: alignment applies all the same
  EXPECT_EQ(grid.alignedRect({4, 4, 10, 10}), QRectF(0, 0, 18, 18));
  EXPECT_EQ(grid.alignedRect({5, 13, 3, 1}), QRectF(9, 9, 0, 9));
  grid.setSpacing(10.0);
  EXPECT_EQ(grid.alignedRect({14, 26, 31, 30}), QRectF(10, 30, 40, 30));
  // An unusable grid leaves the rectangle alone instead of dividing by zero.
  grid.setSpacing(0.0);
  EXPECT_EQ(grid.alignedRect({4, 4, 10, 10}), QRectF(4, 4, 10, 10));
}

TEST(QLNGrid, AnnouncesChangesAndTheirDerivedKeys) {
  QLNGrid grid;
  GridSignals s(grid);

  // Same values: nothing at all.
  grid.setSpacing(9.0);
  grid.setAlwaysShown(false);
  grid.setConstraining(false);
  grid.setColor(QColor(Qt::lightGray));
  EXPECT_EQ(s.total(), 0);
  EXPECT_FALSE(grid.isShowingTemporarily());

  grid.setAlwaysShown(true);
  EXPECT_EQ(s.alwaysShown, 1);
  EXPECT_EQ(s.any, 1);
  EXPECT_EQ(s.canSetColor, 1);
  EXPECT_EQ(s.canSetSpacing, 1);
  EXPECT_EQ(s.alignButton, std::vector<bool>{true});
  EXPECT_TRUE(grid.canSetColor());
  EXPECT_TRUE(grid.canSetSpacing());

  // Spacing 0 makes the grid unusable, which takes away the colour.
  grid.setSpacing(0.0);
  EXPECT_EQ(s.spacing, 1);
  EXPECT_EQ(s.usable, 1);
  EXPECT_EQ(s.canSetColor, 2);
  EXPECT_EQ(s.any, 2);
  EXPECT_FALSE(grid.canSetColor());
  EXPECT_TRUE(grid.canSetSpacing());

  // Constraining keeps the spacing settable once the grid is hidden again.
  grid.setConstraining(true);
  EXPECT_EQ(s.constraining, 1);
  EXPECT_EQ(s.canSetSpacing, 1);
  grid.setAlwaysShown(false);
  EXPECT_EQ(s.canSetSpacing, 1);
  EXPECT_TRUE(grid.canSetSpacing());
  EXPECT_EQ(s.alignButton, (std::vector<bool>{true, false}));

  grid.setColor(Qt::red);
  EXPECT_EQ(s.color, 1);
  EXPECT_EQ(grid.color(), QColor(Qt::red));
  EXPECT_EQ(s.any, 5);
}

TEST(QLNGrid, SpacingChangeWhileHiddenShowsGridUntilOneSecondAfterLastChange) {
  QLNGrid grid;
  GridSignals s(grid);
  QElapsedTimer clock;
  clock.start();

  grid.setSpacing(10.0);
  EXPECT_TRUE(grid.isShowingTemporarily());
  EXPECT_TRUE(grid.isVisible());
  spin(600);
  grid.setSpacing(11.0);
  qint64 lastChange = clock.elapsed();
  spin(600);
  // 1.2 s after the first change, 0.6 s after the last: still shown.
  if (clock.elapsed() - lastChange < 950) {
    EXPECT_TRUE(grid.isVisible());
    EXPECT_EQ(s.any, 2);
  }
  grid.setSpacing(12.0);
  lastChange = clock.elapsed();
  spin(600);
  if (clock.elapsed() - lastChange < 950) {
    EXPECT_TRUE(grid.isVisible());
  }

  spin(700);
  EXPECT_FALSE(grid.isShowingTemporarily());
  EXPECT_FALSE(grid.isVisible());
  EXPECT_EQ(s.any, 4);  // three changes and the end of the showing
}

TEST(QLNGrid, AlwaysShownEndsTemporaryShowingAndNoHidingFollows) {
  QLNGrid grid;
  grid.setSpacing(12.0);
  ASSERT_TRUE(grid.isShowingTemporarily());
  grid.setAlwaysShown(true);
  EXPECT_FALSE(grid.isShowingTemporarily());

  // While always shown, spacing changes start no showing and the grid stays visible.
  GridSignals s(grid);
  grid.setSpacing(15.0);
  EXPECT_FALSE(grid.isShowingTemporarily());
  spin(1200);
  EXPECT_EQ(s.any, 1);
  EXPECT_TRUE(grid.isVisible());

  // An unusable spacing starts no showing either.
  grid.setAlwaysShown(false);
  grid.setSpacing(0.0);
  EXPECT_FALSE(grid.isShowingTemporarily());
  EXPECT_FALSE(grid.isVisible());
}

TEST(QLNGrid, DrawsCosmeticLinesAtMultiplesOfTheSpacingInsideTheDirtyArea) {
  QLNGrid grid;
  grid.setColor(Qt::black);

  // Hidden: nothing.
  EXPECT_EQ(blackPixels(drawn(grid, 40, 40, {0, 0, 40, 40})), 0);

  grid.setAlwaysShown(true);
  QImage image = drawn(grid, 40, 40, {0, 0, 40, 40});
  for (int x : {0, 9, 18, 27, 36})
    EXPECT_TRUE(isBlack(image, x, 5)) << x;
  for (int x : {1, 4, 8, 10, 35, 37})
    EXPECT_FALSE(isBlack(image, x, 5)) << x;
  for (int y : {9, 18, 27})
    EXPECT_TRUE(isBlack(image, 5, y)) << y;
  EXPECT_FALSE(isBlack(image, 5, 13));

  // Only the dirty area is drawn.
  image = drawn(grid, 40, 40, {0, 0, 20, 20});
  EXPECT_TRUE(isBlack(image, 9, 15));
  EXPECT_FALSE(isBlack(image, 9, 30));
  EXPECT_FALSE(isBlack(image, 27, 5));

  // The pen stays one device pixel wide when the painter is scaled.
  image = drawn(grid, 80, 80, {0, 0, 20, 20}, 4.0);
  EXPECT_TRUE(isBlack(image, 36, 10));
  EXPECT_FALSE(isBlack(image, 38, 10));
  EXPECT_FALSE(isBlack(image, 34, 10));

  grid.setSpacing(0.0);
  EXPECT_EQ(blackPixels(drawn(grid, 40, 40, {0, 0, 40, 40})), 0);
}

TEST(QLNGrid, DoesNotDrawLinesCloserThanTwoDevicePixels) {
  QLNGrid grid;
  grid.setColor(Qt::black);
  grid.setAlwaysShown(true);

  grid.setSpacing(2.0);
  QImage image = drawn(grid, 20, 20, {0, 0, 20, 20});
  EXPECT_TRUE(isBlack(image, 4, 1));
  EXPECT_FALSE(isBlack(image, 5, 1));

  grid.setSpacing(1.5);
  EXPECT_EQ(blackPixels(drawn(grid, 20, 20, {0, 0, 20, 20})), 0);
  // The same spacing drawn four times larger is far enough apart again.
  image = drawn(grid, 40, 40, {0, 0, 10, 10}, 4.0);
  EXPECT_TRUE(isBlack(image, 6, 1));
  EXPECT_FALSE(isBlack(image, 8, 1));

  // A vanishing spacing over a huge dirty area returns at once with nothing drawn.
  grid.setSpacing(1e-9);
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(blackPixels(drawn(grid, 20, 20, {-1e6, -1e6, 2e6, 2e6})), 0);
  EXPECT_LT(clock.elapsed(), 1000);

  // A dirty area far larger than the device only draws what the device shows.
  grid.setSpacing(9.0);
  clock.restart();
  image = drawn(grid, 20, 20, {-1e9, -1e9, 2e9, 2e9});
  EXPECT_LT(clock.elapsed(), 1000);
  EXPECT_TRUE(isBlack(image, 9, 3));
}
