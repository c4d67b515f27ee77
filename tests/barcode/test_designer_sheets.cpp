// The designer's wait panel over its window, and the mirroring of an image view's
// picture about the picture itself.

#include "barcode/Barcode_Gen.h"
#include "tests/common/TestSupport.h"

#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include <gtest/gtest.h>

TEST(BarcodeDesignerSheets, TheWaitPanelHangsOverTheShownDesignerOnly) {
  Barcode_Gen gen;
  gen.awakeFromNib();
  // Over a hidden designer there is nothing to hang it from.
  gen.Show_Create_Modeless();
  EXPECT_TRUE(!gen.plz_wait_Window || !gen.plz_wait_Window->isVisible());

  gen.window()->show();
  gen.Show_Create_Modeless();
  ASSERT_TRUE(gen.plz_wait_Window);
  EXPECT_TRUE(gen.plz_wait_Window->isVisible());
  EXPECT_EQ(gen.plz_wait_Window->parentWidget(), gen.window());
  auto *message = gen.plz_wait_Window->findChild<QLabel *>(QStringLiteral("modeless_msg_lbl"));
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(message->text(), QStringLiteral("It may take a while, Please wait.."));
  gen.Hide_Destroy_Modeless();
  EXPECT_FALSE(gen.plz_wait_Window->isVisible());
  // Shown again, it is the same panel.
  QDialog *panel = gen.plz_wait_Window;
  gen.Show_Create_Modeless();
  EXPECT_EQ(gen.plz_wait_Window.data(), panel);
  EXPECT_TRUE(panel->isVisible());
  gen.Hide_Destroy_Modeless();
  gen.window()->hide();
}

TEST(BarcodeDesignerSheets, MirroringTurnsThePictureAboutItsOwnSize) {
  Barcode_Gen gen;
  // A picture of 3 x 2 pixels, each its own colour, in a view much larger than it.
  QImage picture(3, 2, QImage::Format_ARGB32);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      picture.setPixelColor(x, y, QColor(40 * x, 100 * y, 7));
  QLabel view;
  view.resize(120, 90);
  view.setPixmap(QPixmap::fromImage(picture));
  const auto pixel = [&view](int x, int y) { return view.pixmap().toImage().pixelColor(x, y); };

  gen.flipImageVertically(&view);
  ASSERT_EQ(view.pixmap().size(), QSize(3, 2));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(pixel(x, y), picture.pixelColor(x, 1 - y)) << x << "," << y;

  gen.flipImageVertically(&view);
  gen.flipImageHorizontally(&view);
  ASSERT_EQ(view.pixmap().size(), QSize(3, 2));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(pixel(x, y), picture.pixelColor(2 - x, y)) << x << "," << y;

  // A view without a picture stays without one.
  QLabel empty;
  gen.flipImageHorizontally(&empty);
  EXPECT_TRUE(empty.pixmap().isNull());
}
