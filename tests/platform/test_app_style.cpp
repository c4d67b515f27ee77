// The program's style draws what the style under it draws: the toolbar extension
// buttons' pictures, which it reads its own way, are the same pictures in every size,
// mode, state and direction, and everything else is the base style's.

#include "platform/AppStyle.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QStyleFactory>
#include <QStyleOption>

#include <memory>

namespace {

void expectSameIcon(const QIcon &ours, const QIcon &theirs, const char *what) {
  SCOPED_TRACE(what);
  ASSERT_FALSE(theirs.isNull());
  ASSERT_FALSE(ours.isNull());
  EXPECT_EQ(ours.availableSizes(), theirs.availableSizes());
  QList<QSize> sizes = theirs.availableSizes();
  // Sizes between and beyond the shipped ones are scaled from the same pictures.
  sizes << QSize(12, 12) << QSize(24, 15) << QSize(64, 64) << QSize(4, 4);
  for (const QSize &size : sizes)
    for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected})
      for (QIcon::State state : {QIcon::Off, QIcon::On}) {
        const QImage a = ours.pixmap(size, 1.0, mode, state).toImage();
        const QImage b = theirs.pixmap(size, 1.0, mode, state).toImage();
        EXPECT_FALSE(b.isNull());
        EXPECT_EQ(a.convertToFormat(QImage::Format_ARGB32), b.convertToFormat(QImage::Format_ARGB32))
            << size.width() << "x" << size.height() << " mode " << mode << " state " << state;
      }
}

TEST(AppStyle, ExtensionButtonsShowTheBaseStylesPicturesInBothDirections) {
  AppStyle style;
  std::unique_ptr<QStyle> base(QStyleFactory::create(QApplication::style()->name()));
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(style.baseStyle()->name(), base->name());

  QStyleOption leftToRight;
  leftToRight.direction = Qt::LeftToRight;
  QStyleOption rightToLeft;
  rightToLeft.direction = Qt::RightToLeft;
  for (QStyle::StandardPixmap which : {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
    // The pictures are read the style's own way (not handed over from the base style).
    expectSameIcon(AppStyle::extensionButtonIcon(which, Qt::LeftToRight), base->standardIcon(which, &leftToRight),
                   "read as PNG, left to right");
    expectSameIcon(AppStyle::extensionButtonIcon(which, Qt::RightToLeft), base->standardIcon(which, &rightToLeft),
                   "read as PNG, right to left");
    expectSameIcon(style.standardIcon(which), base->standardIcon(which), "no option");
    expectSameIcon(style.standardIcon(which, &leftToRight), base->standardIcon(which, &leftToRight), "left to right");
    expectSameIcon(style.standardIcon(which, &rightToLeft), base->standardIcon(which, &rightToLeft), "right to left");
  }
  // The horizontal button's picture turns with the direction.
  EXPECT_NE(style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, &leftToRight).pixmap(16, 10).toImage(),
            style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, &rightToLeft).pixmap(16, 10).toImage());
  EXPECT_TRUE(AppStyle::extensionButtonIcon(QStyle::SP_ArrowUp, Qt::LeftToRight).isNull());
  // Other pictures come from the base style.
  expectSameIcon(style.standardIcon(QStyle::SP_ArrowUp), base->standardIcon(QStyle::SP_ArrowUp), "arrow");
}

}  // namespace
