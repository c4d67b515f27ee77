#include "periphery/Help_Support.h"

#include "periphery/Links.h"

#include "canvas/PatternViews.h"

#include "mainwindow/QLNWindowController.h"

#include "core/Utilities.h"
#include "platform/UiServices.h"

#include <QDialog>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The commands reach the main window controller the way every window does, through
// the one the program made; without one there is nothing to send them to.
template <class Command>
void toMainWindow(Command command) {
  if (QLNWindowController *controller = QLNWindowController::defaultInstance())
    command(*controller);
}

QLabel *heading(const QString &text, QWidget *parent) {
  auto *label = new QLabel(text, parent);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

}  // namespace

Help_Support::Help_Support(QDialog *window) : QObject(window), m_window(window) {
  using links::button;
  links::styleWindow(window);
  window->setWindowTitle(QStringLiteral("Help and Support"));

  QVBoxLayout *layout = links::layoutUnderBanner(window, QStringLiteral("Amends Help and Support"));

  layout->addWidget(new QLabel(QStringLiteral("The help file explains every window of Amends, step by step."), window));
  _Help_File_Label = button("_Help_File_Label", QStringLiteral("Open the Amends help file (PDF)"),
                            QStringLiteral("Open the help file with your PDF viewer"), window);
  layout->addWidget(_Help_File_Label, 0, Qt::AlignLeft);

  auto *grid = new QGridLayout;
  grid->setHorizontalSpacing(12);
  grid->addWidget(links::cellHeading(QStringLiteral("Support:"), window), 0, 0);
  support_id = button("support_id", links::SupportMail, QStringLiteral("Write to the Amends support team"), window);
  grid->addWidget(support_id, 0, 1, Qt::AlignLeft);
  support_id_2 = button("support_id_2", QStringLiteral("Report a problem"),
                        QStringLiteral("Tell the support team about a problem with Amends"), window);
  grid->addWidget(support_id_2, 0, 2, Qt::AlignLeft);
  grid->addWidget(links::cellHeading(QStringLiteral("Web site:"), window), 1, 0);
  website_1 =
      button("website_1", QStringLiteral("www.amends.org"), QStringLiteral("Visit the Amends web site"), window);
  grid->addWidget(website_1, 1, 1, Qt::AlignLeft);
  grid->addWidget(links::cellHeading(QStringLiteral("Resellers:"), window), 2, 0);
  reseller_1 = button("reseller_1", links::ResellerMail, QStringLiteral("Write to the Amends partner team"), window);
  grid->addWidget(reseller_1, 2, 1, Qt::AlignLeft);
  reseller_2 = button("reseller_2", QStringLiteral("Become a reseller or affiliate"),
                      QStringLiteral("Ask about selling Amends: a prepared partnership enquiry"), window);
  grid->addWidget(reseller_2, 2, 2, Qt::AlignLeft);
  layout->addLayout(grid);

  for (QPushButton *link : {website_1, reseller_1, reseller_2, support_id, support_id_2, _Help_File_Label})
    links::styleAsLink(link);

  layout->addWidget(heading(QStringLiteral("Tell your friends about Amends:"), window));
  auto *share = new QHBoxLayout;
  Gplus_btn = button("Gplus_btn", QStringLiteral("Google+"), QStringLiteral("Share Amends on Google+"), window);
  Facebook_btn = button("Facebook_btn", QStringLiteral("Facebook"), QStringLiteral("Share Amends on Facebook"), window);
  Twitter_btn = button("Twitter_btn", QStringLiteral("Twitter"), QStringLiteral("Tweet about Amends"), window);
  FB_Like_btn = button("FB_Like_btn", QStringLiteral("Like"), QStringLiteral("Like Amends on Facebook"), window);
  Social_Comments_btn = button("Social_Comments_btn", QStringLiteral("Comments"),
                               QStringLiteral("Read and write comments about Amends on the web"), window);
  for (QPushButton *b : {Gplus_btn, Facebook_btn, Twitter_btn, FB_Like_btn, Social_Comments_btn})
    share->addWidget(b);
  share->addStretch(1);
  layout->addLayout(share);

  auto *bottom = new QHBoxLayout;
  bottom->addStretch(1);
  close_btn = button("close_btn", QStringLiteral("Close"), QStringLiteral("Close the help window"), window);
  close_btn->setDefault(true);
  bottom->addWidget(close_btn);
  layout->addLayout(bottom);

  // Which main window command each link button sends.
  auto send = [this](QPushButton *b, void (QLNWindowController::*command)(QObject *)) {
    connect(b, &QPushButton::clicked, this, [b, command] {
      runLoggingFailures(qPrintable(b->objectName()), [&] { toMainWindow([&](QLNWindowController &c) { (c.*command)(b); }); });
    });
  };
  send(support_id, &QLNWindowController::Open_Support_Mail);
  send(support_id_2, &QLNWindowController::Open_Support_Mail);
  send(website_1, &QLNWindowController::Open_Website_1);
  send(reseller_1, &QLNWindowController::Open_Reseller_Mail);
  send(reseller_2, &QLNWindowController::Open_Reseller_Mail);

  auto own = [this](QPushButton *b, void (Help_Support::*action)(QObject *)) {
    connect(b, &QPushButton::clicked, this,
            [this, b, action] { runLoggingFailures(qPrintable(b->objectName()), [&] { (this->*action)(b); }); });
  };
  own(_Help_File_Label, &Help_Support::HelpFilePressed);
  own(Gplus_btn, &Help_Support::Gplus_Clicked);
  own(Facebook_btn, &Help_Support::Facebook_Clicked);
  own(Twitter_btn, &Help_Support::Twitter_Clicked);
  own(FB_Like_btn, &Help_Support::FB_Like_Clicked);
  own(Social_Comments_btn, &Help_Support::Social_Comments_Clicked);
  own(close_btn, &Help_Support::Close_Clicked);
}

Help_Support *Help_Support::of(QDialog *window) {
  if (!window)
    return nullptr;
  if (auto *existing = window->findChild<Help_Support *>(QString(), Qt::FindDirectChildrenOnly))
    return existing;
  return new Help_Support(window);
}

void Help_Support::HelpFilePressed(QObject *) { Open_Help_File(); }

void Help_Support::Gplus_Clicked(QObject *) { toMainWindow([](QLNWindowController &c) { c.Open_Google_Plus(); }); }
void Help_Support::Facebook_Clicked(QObject *) { toMainWindow([](QLNWindowController &c) { c.Open_FaceBook(); }); }
void Help_Support::Twitter_Clicked(QObject *) { toMainWindow([](QLNWindowController &c) { c.Open_Twitter(); }); }
void Help_Support::FB_Like_Clicked(QObject *) { toMainWindow([](QLNWindowController &c) { c.Open_FB_Like(); }); }
void Help_Support::Social_Comments_Clicked(QObject *) {
  toMainWindow([](QLNWindowController &c) { c.Open_Share_It_Dl(); });
}

void Help_Support::Close_Clicked(QObject *) {
  if (m_window)
    m_window->done(ModalOK);
}
