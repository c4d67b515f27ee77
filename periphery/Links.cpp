#include "periphery/Links.h"

#include "canvas/CanvasServices.h"
#include "canvas/PatternViews.h"
#include "core/Utilities.h"
#include "platform/UiServices.h"

#include <QCursor>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace links {

namespace {

// Blanks as "%20" and line breaks as a single "%0A", as the reseller body is written.
QString escapeLines(const QString &text) {
  QString out = text;
  out.replace(QLatin1Char('\n'), QLatin1String("%0A"));
  out.replace(QLatin1Char(' '), QLatin1String("%20"));
  return out;
}

}  // namespace

QString supportMail() { return QStringLiteral("mailto:") + SupportMail; }

QString resellerBody() {
  const QString rule(62, QLatin1Char('='));
  const QString body = QStringLiteral("Hello Amends Team,\n") +
                       QStringLiteral("I am interested in your reseller and partner opportunities. "
                                      "My business name and contact information are given below.\n") +
                       QStringLiteral("\n") + rule + QStringLiteral("\n") + QStringLiteral("\n") +
                       QStringLiteral("[Please fill in your business name and contact information here]\n") +
                       QStringLiteral("\n") + rule + QStringLiteral("\n") + QStringLiteral("\n\n") +
                       QStringLiteral("I would like to work with you as:\n") +
                       QStringLiteral("\n[1.] An affiliate, earning a commission on every Amends product I sell.\n\n") +
                       QStringLiteral("[and / or]\n") +
                       QStringLiteral("\n[2.] A reseller, buying Amends in quantity at a discount to resell to my clients.\n\n") +
                       QStringLiteral("[and / or]\n") +
                       QStringLiteral("\n[3.] A partner in one of your advanced partnership options.\n\n") +
                       QStringLiteral("(Please specify your requirements.)\n");
  return escapeLines(body);
}

QString resellerMail() {
  return QStringLiteral("mailto:") + ResellerMail + QStringLiteral("?subject=Affiliate/Partnership%20Enquiry&body=") +
         resellerBody();
}

QString googlePlusShare() {
  QString shared = Website2;
  shared.replace(QLatin1String("://"), QLatin1String("%3A%2F%2F"));
  return QStringLiteral("https://plus.google.com/share?url=") + shared;
}

QString facebookShare() { return QStringLiteral("https://www.facebook.com/share.php?u=") + Website2; }

QString twitterShare() {
  return QStringLiteral("https://twitter.com/intent/tweet?source=") + ShareSourceTag + QStringLiteral("&url=") +
         Website2;
}

QString facebookLike() { return QStringLiteral("https://www.facebook.com/plugins/like.php?href=") + Website2; }

QString mailText(const QString &text) {
  QString out = Trim_Str(text);
  out = Replace_char_in_string(out, QStringLiteral("\n"), QStringLiteral("%0A%0A"));
  return Replace_char_in_string(out, QStringLiteral(" "), QStringLiteral("%20"));
}

QString nameForLink(const QString &appName) {
  return Replace_char_in_string(appName, QStringLiteral("&"), QStringLiteral("and"));
}

void openLink(const QString &url, std::function<void()> failed) {
  // Strict: the links are written encoded; a stray blank or "%" makes the URL invalid
  // instead of being guessed at.
  UiServices::instance().openWithDesktop(QUrl(url, QUrl::StrictMode), std::move(failed));
}

void styleWindow(QWidget *window) {
  QPalette palette = window->palette();
  palette.setColor(QPalette::Window, WindowColor);
  window->setPalette(palette);
  window->setAutoFillBackground(true);
}

void styleAsLink(QPushButton *button) {
  QFont font = QGuiApplication::font();
  font.setBold(true);
  font.setPointSizeF(11.0);
  font.setUnderline(true);
  button->setFont(font);
  QPalette palette = button->palette();
  palette.setColor(QPalette::ButtonText, Qt::blue);
  palette.setColor(QPalette::Button, WindowColor);
  palette.setColor(QPalette::Window, WindowColor);
  button->setPalette(palette);
  button->setFlat(true);
  button->setAutoFillBackground(true);
  button->setCursor(QCursor(Qt::OpenHandCursor));
}

QPushButton *button(const char *objectName, const QString &text, const QString &tip, QWidget *parent) {
  auto *made = new QPushButton(text, parent);
  made->setObjectName(QLatin1String(objectName));
  made->setToolTip(tip);
  made->setAccessibleName(text);
  made->setAutoDefault(false);
  return made;
}

QVBoxLayout *layoutUnderBanner(QWidget *window, const QString &title) {
  auto *outer = qobject_cast<QVBoxLayout *>(window->layout());
  if (!outer)
    outer = new QVBoxLayout(window);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);

  auto *banner = new Repeat_Image(window);
  banner->setObjectName(QStringLiteral("banner"));
  // As high as the picture's tiles, so one row of them shows whole.
  const PointImage tile = canvasServices().bannerImage();
  banner->setFixedHeight(tile.isNull() ? 64 : std::max(32, tile.pixels.height()));
  auto *bannerLayout = new QVBoxLayout(banner);
  bannerLayout->setContentsMargins(16, 0, 16, 0);
  auto *heading = new VerticallyCenteredTextFieldCell(banner);
  heading->setObjectName(QStringLiteral("banner_title"));
  heading->setText(title);
  heading->setAccessibleName(title);
  QFont font = heading->font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.4);
  heading->setFont(font);
  bannerLayout->addWidget(heading);
  outer->addWidget(banner);

  auto *contents = new QVBoxLayout;
  contents->setContentsMargins(16, 12, 16, 12);
  contents->setSpacing(8);
  outer->addLayout(contents);
  return contents;
}

VerticallyCenteredTextFieldCell *cellHeading(const QString &text, QWidget *parent) {
  auto *heading = new VerticallyCenteredTextFieldCell(parent);
  heading->setText(text);
  QFont font = heading->font();
  font.setBold(true);
  heading->setFont(font);
  return heading;
}

}  // namespace links
