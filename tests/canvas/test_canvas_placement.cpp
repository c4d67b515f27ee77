// The canvas under the real main window: the card base it draws is the main window's,
// for the current side. And the cascade rule behind the main window's placement of new
// objects.

#include "canvas/CanvasServices.h"
#include "canvas/QLNGraphicView.h"
#include "tests/common/PixelHelpers.h"
#include "tests/mainwindow/main_window_fixture.h"

#include <QImage>
#include <QPainter>

TEST_F(MainWindowTest, CanvasDrawsTheMainWindowsCardBaseOfTheCurrentSide) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  controller->Front_card_Prop.setCard_fill_chk(true);
  controller->Front_card_Prop.setCard_fill_style(QStringLiteral("S"));
  controller->Front_card_Prop.setCard_fill_clr(QColor(200, 30, 30));
  controller->Back_card_Prop.setCard_fill_chk(true);
  controller->Back_card_Prop.setCard_fill_style(QStringLiteral("S"));
  controller->Back_card_Prop.setCard_fill_clr(QColor(30, 30, 200));

  QLNGraphicView view;
  view.bindGraphics(controller->document(), QLNDocumentGraphicsKey);
  view.setCanvasSize(controller->frontCanvasBounds().size());
  view.setZoomFactor(2.0);
  auto drawn = [&] {
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::green);
    QPainter painter(&image);
    painter.scale(2.0, 2.0);
    view.drawRect(&painter, QRectF(100, 60, 20, 20));
    return image;
  };
  EXPECT_TRUE(pixeltest::near(drawn().pixelColor(220, 140), QColor(200, 30, 30)));
  Card_Front_Or_Back = 1;
  EXPECT_TRUE(pixeltest::near(drawn().pixelColor(220, 140), QColor(30, 30, 200)));
  Card_Front_Or_Back = 0;
}

TEST(CascadeControlPoint, StepIsTheCountButAtLeastTwentyAndEachAxisWraps) {
  last_ctrl_X = 10.0f;
  last_ctrl_Y = 10.0f;
  EXPECT_EQ(cascadeControlPoint(3, QSizeF(243, 154)), QPointF(30, 30));
  EXPECT_EQ(cascadeControlPoint(25, QSizeF(243, 154)), QPointF(55, 55)) << "25 objects step 25";
  // A canvas under 60 points high keeps every new object at 10 in y.
  EXPECT_EQ(cascadeControlPoint(0, QSizeF(243, 59)), QPointF(75, 10));
  EXPECT_EQ(cascadeControlPoint(0, QSizeF(243, 59)), QPointF(95, 10));
  // x wraps once the object would reach the right edge.
  last_ctrl_X = 180.0f;
  EXPECT_EQ(cascadeControlPoint(0, QSizeF(243, 154)), QPointF(10, 30));
  EXPECT_EQ(last_ctrl_X, 10.0f);
  EXPECT_EQ(last_ctrl_Y, 30.0f);
  last_ctrl_X = 10.0f;
  last_ctrl_Y = 10.0f;
}
