#include "platform/AppStyle.h"

#include <QApplication>
#include <QImageReader>
#include <QPixmap>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

// A picture of Qt's own resources, known to be PNG: read by the built-in PNG reader
// without asking the plugins.
QPixmap qtPng(const QString &path) {
  QImageReader reader(path, "png");
  reader.setAutoDetectImageFormat(false);
  return QPixmap::fromImage(reader.read());
}

// Qt's pictures of an extension button, in the sizes it ships (8, 16 and 32 pixels long).
QIcon extensionIcon(const QString &stem, const QStringList &sizes) {
  QIcon icon;
  for (const QString &size : sizes) {
    const QPixmap pixmap = qtPng(QStringLiteral(":/qt-project.org/styles/commonstyle/images/%1-%2.png").arg(stem, size));
    if (pixmap.isNull())
      return {};
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace

AppStyle::AppStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

QIcon AppStyle::extensionButtonIcon(StandardPixmap which, Qt::LayoutDirection direction) {
  if (which == SP_ToolBarHorizontalExtensionButton)
    return extensionIcon(direction == Qt::RightToLeft ? QStringLiteral("toolbar-ext-h-rtl") : QStringLiteral("toolbar-ext-h"),
                         {QStringLiteral("8"), QStringLiteral("16"), QStringLiteral("32")});
  if (which == SP_ToolBarVerticalExtensionButton)
    return extensionIcon(QStringLiteral("toolbar-ext-v"), {QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("20")});
  return {};
}

QIcon AppStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option, const QWidget *widget) const {
  const Qt::LayoutDirection direction =
      option ? option->direction : (QGuiApplication::isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
  const QIcon icon = extensionButtonIcon(standardIcon, direction);
  // Any other picture, or where Qt's pictures are not where they were: the base style's.
  return icon.isNull() ? QProxyStyle::standardIcon(standardIcon, option, widget) : icon;
}

void AppStyle::install() { QApplication::setStyle(new AppStyle); }
