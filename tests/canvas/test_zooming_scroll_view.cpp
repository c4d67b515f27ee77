// The zooming scroll view and its centring clip view: the zoom list, centring and
// limiting of the visible area at several factors, the scroll position through zooms,
// the rulers, and the backdrop's pixels.

#include "canvas/CanvasRuler.h"
#include "canvas/QLNGraphicView.h"
#include "canvas/QLNZoomingScrollView.h"

#include "core/Globals.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWindow>

#include <stdexcept>
#include <vector>

namespace {

void settle() {
  for (int i = 0; i < 5; ++i)
    QCoreApplication::processEvents();
}

// A clip view of `viewport` pixels showing a canvas of `card` points.
struct ClipStage {
  ClipStage(const QSize &viewport, const QSizeF &card) {
    clip.resize(viewport);
    canvas = new QLNGraphicView;
    canvas->setCanvasSize(card);
    clip.setDocumentView(canvas);
    clip.show();
    settle();
  }
  SWCenteringClipView clip;
  QLNGraphicView *canvas = nullptr;  // owned by the clip view
};

// Card_Shape put back after each backdrop test.
class BackdropTest : public ::testing::Test {
protected:
  void TearDown() override { Card_Shape = 0; }

  // The backdrop of a 300 by 200 clip view around a transparent document of 100 by 60
  // pixels (centred: at 100, 70) at factor 1.
  QImage backdrop(int shape) {
    Card_Shape = shape;
    SWCenteringClipView clip;
    clip.resize(300, 200);
    auto *document = new QWidget;
    document->resize(100, 60);
    clip.setDocumentView(document);
    clip.show();
    settle();
    EXPECT_EQ(document->pos(), QPoint(100, 70));
    base = clip.palette().color(QPalette::Button);
    return clip.grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
  static int gray(const QImage &image, int x, int y) { return qGray(image.pixel(x, y)); }
  QColor base;
};

}  // namespace

// ---- The zoom list ----------------------------------------------------------------------------------

TEST(ZoomList, ItemsAndFactorsInTableOrderAndTheBoundFactorFollowsAChoice) {
  QLNZoomingScrollView view;
  QComboBox *list = view.factorPopUpButton();
  ASSERT_EQ(list, view.factorPopUpButton()) << "made once";
  const QStringList labels{"10%", "25%", "50%", "75%", "100%", "125%", "150%", "200%", "400%", "800%", "1600%"};
  const std::vector<double> factors{0.10000000149011612, 0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 4.0, 8.0, 16.0};
  ASSERT_EQ(list->count(), 11);
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(list->itemText(i), labels.at(i));
    EXPECT_EQ(list->itemData(i).toDouble(), factors[size_t(i)]) << "index " << i;
  }
  EXPECT_EQ(list->currentText(), QStringLiteral("100%"));

  // Unbound, a choice zooms nothing; bound, it reaches the bound setter only.
  std::vector<double> chosen;
  // A choice is the list's current item changing, by mouse, keyboard or assistive tool.
  list->setCurrentIndex(8);
  EXPECT_TRUE(chosen.empty());
  list->setCurrentIndex(4);
  view.bind(QLNZoomingScrollViewFactor, [&](double f) { chosen.push_back(f); });
  EXPECT_TRUE(view.isFactorBound());
  list->setCurrentIndex(8);
  ASSERT_EQ(chosen, std::vector<double>{4.0});
  EXPECT_EQ(view.factor(), 1.0) << "the view zooms when the bound value comes back through setFactor";

  // setFactor shows its factor in the list; a factor outside the list selects nothing.
  view.setFactor(4.0);
  EXPECT_EQ(list->currentText(), QStringLiteral("400%"));
  view.setFactor(3.0);
  EXPECT_EQ(list->currentIndex(), -1);
  view.setFactor(0.0);
  view.setFactor(std::nan(""));
  EXPECT_EQ(view.factor(), 3.0) << "refused";

  view.unbind(QLNZoomingScrollViewFactor);
  emit list->activated(0);
  EXPECT_EQ(chosen.size(), 1u);
}

TEST(ZoomList, SitsAtTheLeftOfTheHorizontalScrollBarWhichTheViewNeeds) {
  QLNZoomingScrollView view;
  view.resize(400, 300);
  view.show();
  settle();
  QComboBox *list = view.factorPopUpButton();
  EXPECT_TRUE(list->isVisible());
  const QRect listAt(list->mapTo(&view, QPoint(0, 0)), list->size());
  const QRect barAt(view.horizontalScrollBar()->mapTo(&view, QPoint(0, 0)), view.horizontalScrollBar()->size());
  EXPECT_LE(listAt.right(), barAt.left()) << "the list stands left of the bar";
  EXPECT_GE(listAt.bottom(), barAt.top());
  EXPECT_EQ(list->width(), list->sizeHint().width()) << "fitted to its items";
  EXPECT_GT(barAt.width(), view.width() / 2) << "the bar keeps the rest";

  view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  try {
    view.tile();
    FAIL() << "a view without a horizontal scroll bar is refused";
  } catch (const std::logic_error &error) {
    EXPECT_STREQ(error.what(), "QLNZoomingScrollView doesn't support use without a horizontal scroll bar.");
  }
}

// ---- Centring and limiting ---------------------------------------------------------------------------

TEST(CenteringClipView, TheBoundsAreThePixelSizeOverTheFactorAndASmallCardIsCentred) {
  ClipStage stage(QSize(600, 400), QSizeF(243, 154));
  SWCenteringClipView &clip = stage.clip;
  EXPECT_EQ(clip.boundsSize(), QSizeF(600, 400));
  // (243 - 600) / 2 = -178.5 rounds away from zero; (154 - 400) / 2 = -123.
  EXPECT_EQ(clip.boundsOrigin(), QPointF(-179, -123));
  EXPECT_EQ(stage.canvas->pos(), QPoint(179, 123));

  // Twice the size: half the points show. The canvas is drawn twice as large.
  stage.canvas->setZoomFactor(2.0);
  clip.setFactor(2.0);
  settle();
  EXPECT_EQ(clip.boundsSize(), QSizeF(300, 200));
  EXPECT_EQ(clip.boundsOrigin(), QPointF(-29, -23));  // -28.5 and -23
  EXPECT_EQ(stage.canvas->pos(), QPoint(58, 46));
  EXPECT_EQ(stage.canvas->size(), QSize(486, 308));
  EXPECT_EQ(stage.canvas->pos().x() * 2 + stage.canvas->width(), 602) << "margins equal within the rounding";

  // At 10% the factor is the float 0.1: the bounds are 5999.9999 by 3999.9999, which the
  // centring takes as the floats 6000 and 4000: (243 - 6000) / 2 = -2878.5 -> -2879.
  clip.setFactor(double(0.1f));
  EXPECT_NEAR(clip.boundsSize().width(), 6000.0, 0.001);
  EXPECT_EQ(clip.boundsOrigin(), QPointF(-2879, -1923));
}

TEST(CenteringClipView, ALargerCardScrollsWithinItselfOnlyAndStaysCentredOnTheOtherAxis) {
  ClipStage stage(QSize(600, 400), QSizeF(1000, 154));
  SWCenteringClipView &clip = stage.clip;
  EXPECT_EQ(clip.boundsOrigin(), QPointF(0, -123));
  // x is limited to 0 ... 1000 - 600; y stays centred whatever is asked.
  EXPECT_EQ(clip.constrainScrollPoint(QPointF(250.4, 80)), QPointF(250, -123));
  EXPECT_EQ(clip.constrainScrollPoint(QPointF(900, 0)), QPointF(400, -123));
  EXPECT_EQ(clip.constrainScrollPoint(QPointF(-30, 500)), QPointF(0, -123));
  EXPECT_EQ(clip.constrainScrollPoint(QPointF(399.5, 0)), QPointF(400, -123)) << "halves away from zero";
  // A request beyond the card through setBoundsOrigin ends at the edge too.
  clip.setBoundsOrigin(QPointF(5000, 5000));
  EXPECT_EQ(clip.boundsOrigin(), QPointF(400, -123));
  EXPECT_EQ(stage.canvas->pos(), QPoint(-400, 123));

  // The card shrinks below the view: centred on both axes.
  stage.canvas->setCanvasSize(QSizeF(200, 100));
  settle();
  EXPECT_EQ(clip.boundsOrigin(), QPointF(-200, -150));
}

TEST(ZoomingScrollView, ScrollBarsScrollThePointsAndZoomingKeepsThePositionSane) {
  QLNZoomingScrollView view;
  view.resize(500, 400);
  auto *canvas = new QLNGraphicView;
  canvas->setCanvasSize(QSizeF(800, 600));
  view.setDocumentView(canvas);
  view.show();
  settle();
  SWCenteringClipView *clip = view.clipView();
  const QSize port = view.viewport()->size();
  ASSERT_EQ(clip->boundsSize(), QSizeF(port));
  EXPECT_EQ(clip->boundsOrigin(), QPointF(0, 0));
  QScrollBar *bar = view.horizontalScrollBar();
  EXPECT_EQ(bar->maximum(), 800 - port.width());

  // The bar scrolls the points; at factor 2 a pixel of the bar is half a point.
  bar->setValue(100);
  EXPECT_EQ(clip->boundsOrigin().x(), 100.0);
  EXPECT_EQ(canvas->pos().x(), -100);
  view.setFactor(2.0);
  settle();
  EXPECT_EQ(canvas->zoomFactor(), 2.0);
  EXPECT_EQ(clip->boundsOrigin().x(), 100.0) << "the top left point stays";
  EXPECT_EQ(bar->maximum(), (800 - port.width() / 2) * 2);
  EXPECT_EQ(bar->value(), 200);
  bar->setValue(bar->maximum());
  EXPECT_EQ(clip->boundsOrigin().x(), 800 - port.width() / 2.0);

  // Zoomed out the card is smaller than the view: centred, nothing to scroll.
  view.setFactor(0.25);
  settle();
  EXPECT_LT(clip->boundsOrigin().x(), 0.0);
  EXPECT_LT(clip->boundsOrigin().y(), 0.0);
  EXPECT_EQ(bar->maximum(), 0);
  const QPoint at = canvas->pos();
  // (The vertical scroll bar went: the viewport is wider now.)
  const QSize free = view.viewport()->size() - canvas->size();
  EXPECT_LE(std::abs(at.x() * 2 - free.width()), 1);
  EXPECT_LE(std::abs(at.y() * 2 - free.height()), 1);

  // Back to 400%: the origin is within the card again.
  view.setFactor(4.0);
  settle();
  const QPointF origin = clip->boundsOrigin();
  EXPECT_GE(origin.x(), 0.0);
  EXPECT_LE(origin.x(), 800 - clip->boundsSize().width());
  EXPECT_GE(origin.y(), 0.0);
  EXPECT_LE(origin.y(), 600 - clip->boundsSize().height());

  // Bringing a point into view scrolls as little as needed.
  view.scrollPointToVisible(QPointF(790, 590));
  EXPECT_NEAR(clip->boundsOrigin().x() + clip->boundsSize().width(), 790, 1.0);
}

TEST(ZoomingScrollView, AClickAroundTheCardGivesTheCanvasTheKeys) {
  // As in the main window: a text field beside the scroll view has the keys first.
  QWidget window;
  window.resize(700, 500);
  auto *field = new QLineEdit(&window);
  field->setGeometry(0, 0, 150, 24);
  auto *view = new QLNZoomingScrollView(&window);
  view->setGeometry(160, 40, 500, 400);
  auto *canvas = new QLNGraphicView;
  canvas->setCanvasSize(QSizeF(243, 154));
  view->setDocumentView(canvas);
  window.show();
  settle();

  // A click as the window system delivers it: to the window, at the widget's point.
  const auto click = [&](QWidget *widget, const QPoint &point) {
    const QPointF at = widget->mapTo(&window, point);
    QMouseEvent press(QEvent::MouseButtonPress, at, window.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(window.windowHandle(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, window.mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(window.windowHandle(), &release);
  };
  QWidget *clip = view->clipView();
  ASSERT_GT(canvas->x(), 10) << "the card is centred with grey around it";
  for (const QPoint &backdrop : {QPoint(5, 5), QPoint(clip->width() - 5, clip->height() - 5)}) {
    field->setFocus();
    ASSERT_EQ(window.focusWidget(), field);
    click(clip, backdrop);
    EXPECT_EQ(window.focusWidget(), canvas)
        << "a click at " << backdrop.x() << "," << backdrop.y() << " gave the keys to a "
        << (window.focusWidget() ? window.focusWidget()->metaObject()->className() : "nothing");
  }
  // Inside the card as before.
  field->setFocus();
  click(canvas, QPoint(20, 20));
  EXPECT_EQ(window.focusWidget(), canvas);
}

TEST(ZoomingScrollView, RulersTakeRoomAboveAndLeftAndTheCanvasTogglesThem) {
  QLNZoomingScrollView view;
  view.resize(500, 400);
  auto *canvas = new QLNGraphicView;
  canvas->setCanvasSize(QSizeF(243, 154));
  view.setDocumentView(canvas);
  view.show();
  settle();
  const QRect plain = view.viewport()->geometry();

  // Toggled before the rulers exist, the setting waits for them.
  canvas->showOrHideRulers();
  EXPECT_TRUE(view.rulersVisible());
  EXPECT_FALSE(canvas->rulersVisible()) << "no rulers yet";
  view.setHasHorizontalRuler(true);
  view.setHasVerticalRuler(true);
  settle();
  ASSERT_NE(view.horizontalRulerView(), nullptr);
  EXPECT_EQ(canvas->horizontalRuler(), view.horizontalRulerView());
  EXPECT_EQ(canvas->verticalRuler(), view.verticalRulerView());
  EXPECT_EQ(view.horizontalRulerView()->clientView(), canvas);
  EXPECT_TRUE(canvas->rulersVisible());
  const QRect withRulers = view.viewport()->geometry();
  EXPECT_EQ(withRulers.topLeft(), plain.topLeft() + QPoint(CanvasRuler::Thickness, CanvasRuler::Thickness));
  EXPECT_EQ(view.horizontalRulerView()->geometry().bottom(), withRulers.top() - 1);
  EXPECT_EQ(view.verticalRulerView()->geometry().right(), withRulers.left() - 1);
  // The ruler's zero is the card's left edge.
  EXPECT_NEAR(view.horizontalRulerView()->locationOfCanvasCoordinate(0.0),
              canvas->mapTo(&view, QPoint(0, 0)).x() - view.horizontalRulerView()->x(), 0.5);

  canvas->showOrHideRulers();
  settle();
  EXPECT_FALSE(canvas->rulersVisible());
  EXPECT_TRUE(view.horizontalRulerView()->isHidden());
  EXPECT_EQ(view.viewport()->geometry(), plain);
}

// ---- The backdrop ------------------------------------------------------------------------------------------

TEST_F(BackdropTest, GradientShadowAndARectangularBase) {
  const QImage image = backdrop(0);
  // White under a gradient from gray 0.88 at the top to 0.78 at the bottom.
  EXPECT_NEAR(gray(image, 5, 0), 224, 2);
  EXPECT_NEAR(gray(image, 5, 199), 199, 2);
  EXPECT_GT(gray(image, 5, 50), gray(image, 5, 150));
  // The base in the control colour fills the card's rectangle to its corners.
  for (const QPoint p : {QPoint(150, 100), QPoint(100, 70), QPoint(199, 129), QPoint(100, 129)})
    EXPECT_EQ(QColor(image.pixel(p)), base) << p.x() << "," << p.y();
  // The shadow falls right and below: darker there than above and left, and fading out.
  const int row = 130;  // just below the card
  EXPECT_LT(gray(image, 150, row + 2), gray(image, 150, 68) - 10);
  EXPECT_LT(gray(image, 202, 100), gray(image, 97, 100) - 10);
  EXPECT_LT(gray(image, 150, row + 2), gray(image, 150, row + 25));
  EXPECT_NEAR(gray(image, 150, 199), gray(image, 5, 199), 2) << "no shadow far from the card";
}

TEST_F(BackdropTest, TheBaseTakesTheCardsShape) {
  // Rounded: the corner pixel is outside the 10-point corner, the edge middle inside.
  {
    const QImage image = backdrop(1);
    EXPECT_NE(QColor(image.pixel(100, 70)), base);
    EXPECT_EQ(QColor(image.pixel(101, 100)), base);
    EXPECT_EQ(QColor(image.pixel(150, 71)), base);
    EXPECT_EQ(QColor(image.pixel(104, 74)), base);
  }
  // Oval: inscribed in the rectangle.
  {
    const QImage image = backdrop(2);
    EXPECT_NE(QColor(image.pixel(104, 74)), base);
    EXPECT_NE(QColor(image.pixel(196, 126)), base);
    EXPECT_EQ(QColor(image.pixel(150, 100)), base);
    EXPECT_EQ(QColor(image.pixel(101, 100)), base);
  }
  // Any other value: the rectangle.
  {
    const QImage image = backdrop(7);
    EXPECT_EQ(QColor(image.pixel(100, 70)), base);
  }
}
