#pragma once
// The maker's addresses and the links built from them, shared by the help, review, share
// and promotion windows and the main window's link commands; the look those windows
// share (their ground colour and the link style of their link buttons).
//
// Every link is a finished URL string: blanks, line breaks and the "://" of a shared
// address are already written as percent escapes where the link needs them, and nothing
// else is encoded. openLink hands it to the desktop as it is.

#include <QColor>
#include <QString>

#include <functional>

class QVBoxLayout;
class VerticallyCenteredTextFieldCell;

class QDialog;
class QPushButton;
class QWidget;

namespace links {

// ---- Fixed addresses --------------------------------------------------------------------

inline const QString SupportMail = QStringLiteral("support@amends.org");
inline const QString ResellerMail = QStringLiteral("partners@amends.org");
// The maker's company site, the site of the cards (the address the social commands
// share) and the maker's blog.
inline const QString Website1 = QStringLiteral("https://www.amends.org");
inline const QString Website2 = QStringLiteral("https://cards.amends.org");
inline const QString Website3 = QStringLiteral("https://blog.amends.org");
// The page where users leave their comments on the cards' site.
inline const QString SocialCommentsPage = QStringLiteral("https://cards.amends.org/comments");
// The page where users write a review of the program.
inline const QString ReviewPage = QStringLiteral("https://www.amends.org/review");
// The maker's video channel.
inline const QString VideoChannel = QStringLiteral("https://www.youtube.com/@amendscards");
// The tag the tweet composer shows as the sharing service.
inline const QString ShareSourceTag = QStringLiteral("AmendsCards");

// ---- Links of the main window's commands --------------------------------------------------

QString supportMail();   // "mailto:" + SupportMail
QString resellerMail();  // "mailto:" + ResellerMail with the partnership subject and body
// The partnership enquiry as it goes into the reseller link ("%20", "%0A").
QString resellerBody();
QString googlePlusShare();  // ".../share?url=" + Website2 with "://" as "%3A%2F%2F"
QString facebookShare();    // ".../share.php?u=" + Website2
QString twitterShare();     // ".../intent/tweet?source=" + ShareSourceTag + "&url=" + Website2
QString facebookLike();     // ".../plugins/like.php?href=" + Website2

// ---- Building links from text ---------------------------------------------------------------

// Trim_Str, then every line break as "%0A%0A" and every blank as "%20", in that order.
// Nothing else is encoded.
QString mailText(const QString &text);
// The application name as it goes into a link: every "&" written "and".
QString nameForLink(const QString &appName);

// ---- Opening ---------------------------------------------------------------------------------

// Hands `url` to the desktop (the user's browser or mail program) through UiServices.
// The string is taken as an already encoded URL: one that is not (a raw blank or line
// break, a lone "%") is not valid and nothing takes it. `failed`, when given, runs when
// nothing opened it (UiServices::openWithDesktop); otherwise nothing is reported.
void openLink(const QString &url, std::function<void()> failed = {});

// ---- The windows' look -------------------------------------------------------------------------

// The ground of these windows: red 241, green 244, blue 250 of 255, opaque.
inline const QColor WindowColor = QColor::fromRgbF(241.0f / 255, 244.0f / 255, 250.0f / 255, 1.0f);
// Gives the window its ground colour.
void styleWindow(QWidget *window);
// Shows a button as a link: its title in the bold system font at 11 points, blue,
// underlined, on the window's ground, with the open-hand cursor over it.
void styleAsLink(QPushButton *button);
// A push button of these windows with its object name, text and tip, named by its text
// (a link reads as the address it shows; the tip says where it leads).
QPushButton *button(const char *objectName, const QString &text, const QString &tip, QWidget *parent);
// The banner across the top of the window, edge to edge: the banner picture tiled from
// its top-left corner ("banner"), with `title` on it in bold, centred in its height
// ("banner_title"). The window's own layout takes the banner; the returned layout below
// it, with the windows' usual margins, takes the contents.
QVBoxLayout *layoutUnderBanner(QWidget *window, const QString &title);
// A one-line heading for a grid cell that the controls beside it make taller than the
// text: the text stands in the middle of the cell's height.
VerticallyCenteredTextFieldCell *cellHeading(const QString &text, QWidget *parent);

}  // namespace links
