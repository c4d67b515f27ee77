#pragma once
// The program's widget style: the style Qt would use anyway (the platform's, or the one
// named with -style or QT_STYLE_OVERRIDE), with one difference in how, not what, it
// draws. The toolbars' extension buttons get the same pictures as from the base style,
// but read as PNG from the start: Qt reads them by asking every image-format plugin
// whether it knows the picture, which loads all of them (several milliseconds) while
// the first toolbar is made, before the program has shown anything.

#include <QProxyStyle>

class AppStyle : public QProxyStyle {
public:
  // Over the style Qt chose for the application.
  AppStyle();

  QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                     const QWidget *widget = nullptr) const override;

  // The picture of a toolbar extension button (horizontal or vertical) in `direction`,
  // read as PNG from Qt's resources; null for any other picture or when Qt's are missing.
  static QIcon extensionButtonIcon(StandardPixmap which, Qt::LayoutDirection direction);

  // Makes an AppStyle the application's style; the application owns it.
  static void install();
};
