// The pattern views and the vertically centred label: where the tiles start (at the
// view for the banner, at the window's bottom-left corner for the promotion pattern,
// wherever the view sits), the picture drawn over them, and the text rectangle of the
// centred label.

#include "canvas/CanvasServices.h"
#include "canvas/PatternViews.h"

#include "core/MainWindowServices.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace {

// A main window offering the two tiles: 4 by 4 pixels, red in the top-left pixel and
// white elsewhere, so that a grab shows where each tile starts.
class TileHost : public MainWindowServices, public CanvasServices {
public:
  TileHost() : m_previous(Main_App_wnd) {
    QImage pixels(4, 4, QImage::Format_ARGB32);
    pixels.fill(Qt::white);
    pixels.setPixel(0, 0, qRgb(255, 0, 0));
    tile = PointImage{pixels, QSizeF(4, 4)};
    Main_App_wnd = this;
  }
  ~TileHost() override { Main_App_wnd = m_previous; }
  PointImage bannerImage() const override { return tile; }
  PointImage promotionPatternImage() const override { return tile; }

  PointImage tile;

private:
  MainWindowServices *m_previous;
};

bool isRed(const QImage &image, int x, int y) { return image.pixel(x, y) == qRgb(255, 0, 0); }

// The view's own pixels as it paints them.
QImage grabbed(QWidget &view) { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); }

}  // namespace

TEST(PatternViews, TheBannerTilesStartAtTheViewsCornerWhereverItSits) {
  TileHost host;
  QWidget window;
  window.resize(40, 40);
  auto *view = new Repeat_Image(&window);
  for (const QPoint at : {QPoint(0, 0), QPoint(3, 2)}) {
    view->setGeometry(QRect(at, QSize(12, 12)));
    const QImage image = grabbed(*view);
    EXPECT_TRUE(isRed(image, 0, 0)) << at.x();
    EXPECT_TRUE(isRed(image, 4, 8));
    EXPECT_FALSE(isRed(image, 1, 0));
  }
}

TEST(PatternViews, ThePromotionTilesFollowTheWindowsBottomLeftCorner) {
  TileHost host;
  QWidget window;
  window.resize(41, 42);
  auto *view = new Promotion_Pattern(&window);
  view->setGeometry(QRect(QPoint(3, 5), QSize(12, 12)));
  const QImage image = grabbed(*view);
  // A tile starts at the window's bottom edge (y 42) and every 4 pixels above it: at
  // window row 6, 10 ... and window column 0, 4 ...: in the view (x 1, y 1), (5, 5) ...
  EXPECT_TRUE(isRed(image, 1, 1));
  EXPECT_TRUE(isRed(image, 5, 5));
  EXPECT_FALSE(isRed(image, 0, 0));

  // A picture of the view is drawn over the pattern.
  QPixmap picture(12, 12);
  picture.fill(Qt::blue);
  view->setPixmap(picture);
  EXPECT_EQ(grabbed(*view).pixel(1, 1), qRgb(0, 0, 255));
}

TEST(PatternViews, TheCentredLabelMovesItsTextToTheMiddleOfItsHeight) {
  const QRectF bounds(0, 0, 100, 30);
  const QRectF title = VerticallyCenteredTextFieldCell::titleRectForBounds(bounds, 14, QRectF(2, 0, 96, 30));
  EXPECT_DOUBLE_EQ(title.top(), 8.0);
  EXPECT_DOUBLE_EQ(title.height(), 22.0);
  EXPECT_DOUBLE_EQ(title.left(), 2.0);
  // A text taller than the cell moves it up and makes it taller by the same amount.
  const QRectF tall = VerticallyCenteredTextFieldCell::titleRectForBounds(bounds, 40, QRectF(2, 0, 96, 30));
  EXPECT_DOUBLE_EQ(tall.top(), -5.0);
  EXPECT_DOUBLE_EQ(tall.height(), 35.0);
  // The cell's bounds need not start at 0.
  const QRectF shifted = VerticallyCenteredTextFieldCell::titleRectForBounds(QRectF(0, 10, 100, 30), 14,
                                                                             QRectF(2, 10, 96, 30));
  EXPECT_DOUBLE_EQ(shifted.top(), 18.0);
  EXPECT_DOUBLE_EQ(shifted.height(), 22.0);

  // Drawn: the text's ink lies around the middle of a tall label.
  VerticallyCenteredTextFieldCell label;
  label.setText(QStringLiteral("Sorry"));
  label.resize(80, 60);
  const QImage image = grabbed(label);
  int first = -1, last = -1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 128) {
        if (first < 0)
          first = y;
        last = y;
      }
  ASSERT_GE(first, 0) << "the text was drawn";
  EXPECT_NEAR((first + last) / 2.0, 30.0, 6.0);
}
