#include "periphery/Share_It_Dlg.h"

#include "periphery/Links.h"

#include "mainwindow/QLNWindowController.h"

#include "core/Utilities.h"
#include "platform/UiServices.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

template <class Command>
void toMainWindow(Command command) {
  if (QLNWindowController *controller = QLNWindowController::defaultInstance())
    command(*controller);
}

}  // namespace

Share_It_Dlg::Share_It_Dlg(QWidget *owner) : m_window(new QDialog(owner, Qt::Dialog)) {
  using links::button;
  QDialog *window = m_window;
  setParent(window);
  window->setObjectName(QStringLiteral("Share_It_Dlg_Window"));
  window->setWindowTitle(QStringLiteral("Share Amends"));
  links::styleWindow(window);
  QVBoxLayout *layout = links::layoutUnderBanner(window, QStringLiteral("Share Amends"));
  layout->addWidget(new QLabel(QStringLiteral("Tell your friends about Amends:"), window));

  auto *row = new QHBoxLayout;
  Gplus_btn = button("Gplus_btn", QStringLiteral("Google+"), QStringLiteral("Share Amends on Google+"), window);
  Facebook_btn = button("Facebook_btn", QStringLiteral("Facebook"), QStringLiteral("Share Amends on Facebook"), window);
  Twitter_btn = button("Twitter_btn", QStringLiteral("Twitter"), QStringLiteral("Tweet about Amends"), window);
  FB_Like_btn = button("FB_Like_btn", QStringLiteral("Like"), QStringLiteral("Like Amends on Facebook"), window);
  for (QPushButton *b : {Gplus_btn, Facebook_btn, Twitter_btn, FB_Like_btn})
    row->addWidget(b);
  layout->addLayout(row);

  auto *bottom = new QHBoxLayout;
  Go_Share_It_btn = button("Go_Share_It_btn", QStringLiteral("Comments"),
                           QStringLiteral("Read and write comments about Amends on the web"), window);
  links::styleAsLink(Go_Share_It_btn);
  ok_btn = button("ok_btn", QStringLiteral("OK"), QStringLiteral("Close the share window"), window);
  ok_btn->setDefault(true);
  bottom->addWidget(Go_Share_It_btn);
  bottom->addStretch(1);
  bottom->addWidget(ok_btn);
  layout->addLayout(bottom);

  auto own = [this](QPushButton *b, void (Share_It_Dlg::*action)(QObject *)) {
    connect(b, &QPushButton::clicked, this,
            [this, b, action] { runLoggingFailures(qPrintable(b->objectName()), [&] { (this->*action)(b); }); });
  };
  own(Gplus_btn, &Share_It_Dlg::Gplus_Clicked);
  own(Facebook_btn, &Share_It_Dlg::Facebook_Clicked);
  own(Twitter_btn, &Share_It_Dlg::Twitter_Clicked);
  own(FB_Like_btn, &Share_It_Dlg::FB_Like_Clicked);
  own(Go_Share_It_btn, &Share_It_Dlg::Go_Share_It_Pressed);
  own(ok_btn, &Share_It_Dlg::OK_Pressed);
}

void Share_It_Dlg::Gplus_Clicked(QObject *) { toMainWindow([](QLNWindowController &c) { c.Open_Google_Plus(); }); }
void Share_It_Dlg::Facebook_Clicked(QObject *) { toMainWindow([](QLNWindowController &c) { c.Open_FaceBook(); }); }
void Share_It_Dlg::Twitter_Clicked(QObject *) { toMainWindow([](QLNWindowController &c) { c.Open_Twitter(); }); }
void Share_It_Dlg::FB_Like_Clicked(QObject *) { toMainWindow([](QLNWindowController &c) { c.Open_FB_Like(); }); }

void Share_It_Dlg::OK_Pressed(QObject *) {
  if (m_window)
    m_window->done(ModalOK);
}

void Share_It_Dlg::Go_Share_It_Pressed(QObject *) {
  toMainWindow([](QLNWindowController &c) { c.Open_Share_It_Dl(); });
}
