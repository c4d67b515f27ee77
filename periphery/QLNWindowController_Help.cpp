// The main window's Help command, its link commands (the maker's mail addresses, web
// sites and social-network pages), the share window and the promotion commands, and
// the Help menu that offers them.

#include "mainwindow/QLNWindowController.h"

#include "periphery/Help_Support.h"
#include "periphery/Links.h"
#include "periphery/Promotion_Form.h"
#include "periphery/Share_It_Dlg.h"

#include "mainwindow/DrawWindow.h"

#include "core/Utilities.h"
#include "platform/UiServices.h"

#include <QAction>
#include <QDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <functional>

void QLNWindowController::Help_Button(QObject *) {
  runLoggingFailures("Help", [this] {
    QDialog *window = ui->HelpWindow;
    Help_Support::of(window);
    UiServices::instance().runModal(window);
    window->hide();
  });
}

void QLNWindowController::Open_Support_Mail(QObject *) {
  // Writing to support is how a user asks for help: when no mail program takes the link,
  // the user is told, and learns the address to write to.
  const QString link = links::supportMail();
  links::openLink(link, [link] {
    Show_MessageBox(QStringLiteral("No application could open the support mail link \"%1\".").arg(link));
  });
}
void QLNWindowController::Open_Reseller_Mail(QObject *) { links::openLink(links::resellerMail()); }
void QLNWindowController::Open_Website_1(QObject *) { links::openLink(links::Website1); }
void QLNWindowController::Open_Website_2(QObject *) { links::openLink(links::Website2); }
void QLNWindowController::Open_Website_3(QObject *) { links::openLink(links::Website3); }
void QLNWindowController::Open_Google_Plus() { links::openLink(links::googlePlusShare()); }
void QLNWindowController::Open_FaceBook() { links::openLink(links::facebookShare()); }
void QLNWindowController::Open_Twitter() { links::openLink(links::twitterShare()); }
void QLNWindowController::Open_FB_Like() { links::openLink(links::facebookLike()); }
void QLNWindowController::Open_Share_It_Dl() { links::openLink(links::SocialCommentsPage); }
void QLNWindowController::Share_It_Button_Clicked(QObject *) { Open_Share_It_Dl(); }

void QLNWindowController::Share_It_Dlg_Clicked(QObject *) {
  runLoggingFailures("Share", [this] {
    if (!Share_It_Dlg_Window)
      Share_It_Dlg_Window = (new Share_It_Dlg(ui->window))->window();
    UiServices::instance().runModal(Share_It_Dlg_Window);
    Share_It_Dlg_Window->hide();
  });
}

namespace {

void openPromotion(const QString &type) {
  Promotion_Form *form = Promotion_Form::defaultInstance();
  form->software_type = type;
  form->Open_Promotion_Window();
}

}  // namespace

void QLNWindowController::Promotion_S_Button(QObject *) { openPromotion(QStringLiteral("S")); }
void QLNWindowController::Promotion_R_Button(QObject *) { openPromotion(QStringLiteral("R")); }
void QLNWindowController::Promotion_B_Button(QObject *) { openPromotion(QStringLiteral("B")); }

void QLNWindowController::installHelpCommands() {
  QMenuBar *bar = ui->window->menuBar();
  if (bar->findChild<QMenu *>(QStringLiteral("Help_menu")))
    return;
  QMenu *menu = bar->addMenu(QStringLiteral("&Help"));
  menu->setObjectName(QStringLiteral("Help_menu"));
  menu->setToolTipsVisible(true);
  auto add = [this](QMenu *into, const char *name, const QString &text, const QString &tip,
                    void (QLNWindowController::*command)(QObject *)) {
    QAction *action = into->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setToolTip(tip);
    action->setStatusTip(tip);
    connect(action, &QAction::triggered, this,
            [this, action, command, name] { runLoggingFailures(name, [&] { (this->*command)(action); }); });
  };
  add(menu, "Help_menu_item", QStringLiteral("Amends &Help"), QStringLiteral("Help, support and the help file"),
      &QLNWindowController::Help_Button);
  menu->addSeparator();
  add(menu, "Website_menu_item", QStringLiteral("Amends on the &Web"), QStringLiteral("Visit the Amends web site"),
      &QLNWindowController::Open_Website_1);
  add(menu, "Cards_Website_menu_item", QStringLiteral("Card &Ideas"),
      QStringLiteral("Visit the Amends cards site for ideas and examples"), &QLNWindowController::Open_Website_2);
  add(menu, "Blog_menu_item", QStringLiteral("Amends &Blog"), QStringLiteral("Read the Amends blog"),
      &QLNWindowController::Open_Website_3);
  add(menu, "Support_menu_item", QStringLiteral("Write to &Support"), QStringLiteral("Write to the Amends support team"),
      &QLNWindowController::Open_Support_Mail);
  add(menu, "Reseller_menu_item", QStringLiteral("Become a &Reseller"),
      QStringLiteral("Ask about selling Amends: a prepared partnership enquiry"), &QLNWindowController::Open_Reseller_Mail);
  menu->addSeparator();
  add(menu, "Share_menu_item", QStringLiteral("&Share Amends..."),
      QStringLiteral("Share Amends on the social networks"), &QLNWindowController::Share_It_Dlg_Clicked);
  add(menu, "Comments_menu_item", QStringLiteral("&Comments"),
      QStringLiteral("Read and write comments about Amends on the web"), &QLNWindowController::Share_It_Button_Clicked);
  menu->addSeparator();
  QMenu *more = menu->addMenu(QStringLiteral("&More from Amends"));
  more->setObjectName(QStringLiteral("Promotion_menu"));
  more->setToolTipsVisible(true);
  add(more, "Promotion_S_menu_item", QStringLiteral("Amends &Stationery"),
      QStringLiteral("Letterheads, envelopes and note cards"), &QLNWindowController::Promotion_S_Button);
  add(more, "Promotion_R_menu_item", QStringLiteral("Amends &Reminders"),
      QStringLiteral("Reminders of the dates that matter"), &QLNWindowController::Promotion_R_Button);
  add(more, "Promotion_B_menu_item", QStringLiteral("Amends &Badges"),
      QStringLiteral("Name badges and ID cards"), &QLNWindowController::Promotion_B_Button);
}
