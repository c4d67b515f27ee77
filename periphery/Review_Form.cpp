#include "periphery/Review_Form.h"

#include "periphery/Links.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/QLNWindowController.h"

#include "core/Utilities.h"
#include "platform/UiServices.h"

#include <QDialog>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPointer<Review_Form> review_DefaultInstance;

}  // namespace

Review_Form::Review_Form(QDialog *window) : QObject(window), m_window(window) {
  using links::button;
  links::styleWindow(window);
  window->setWindowTitle(QStringLiteral("Review Amends"));
  QVBoxLayout *layout = links::layoutUnderBanner(window, QStringLiteral("Thank you for using Amends!"));
  auto *text = new QLabel(QStringLiteral("If Amends helped you to say sorry, please tell others about it:\n"
                                         "a short review helps people find the right words too."),
                          window);
  layout->addWidget(text);

  auto *linksRow = new QHBoxLayout;
  website_1 =
      button("website_1", QStringLiteral("www.amends.org"), QStringLiteral("Visit the Amends web site"), window);
  support_id = button("support_id", links::SupportMail, QStringLiteral("Write to the Amends support team"), window);
  for (QPushButton *link : {website_1, support_id}) {
    links::styleAsLink(link);
    linksRow->addWidget(link);
  }
  linksRow->addStretch(1);
  layout->addLayout(linksRow);

  auto *buttons = new QHBoxLayout;
  not_now_btn = button("not_now_btn", QStringLiteral("Not Now"), QStringLiteral("Close without writing a review"), window);
  review_btn = button("review_btn", QStringLiteral("Write a Review"),
                      QStringLiteral("Open the review page in your browser"), window);
  ok_btn = button("ok_btn", QStringLiteral("OK"), QStringLiteral("Open the review page in your browser and close"),
                  window);
  ok_btn->setDefault(true);
  buttons->addWidget(not_now_btn);
  buttons->addStretch(1);
  buttons->addWidget(review_btn);
  buttons->addWidget(ok_btn);
  layout->addLayout(buttons);

  auto own = [this](QPushButton *b, void (Review_Form::*action)(QObject *)) {
    connect(b, &QPushButton::clicked, this,
            [this, b, action] { runLoggingFailures(qPrintable(b->objectName()), [&] { (this->*action)(b); }); });
  };
  own(ok_btn, &Review_Form::OK_Clicked);
  own(review_btn, &Review_Form::Review_Clicked);
  own(not_now_btn, &Review_Form::Not_Now_Clicked);
  connect(website_1, &QPushButton::clicked, this, [this] {
    runLoggingFailures("website_1", [this] {
      if (QLNWindowController *controller = QLNWindowController::defaultInstance())
        controller->Open_Website_1(website_1);
    });
  });
  connect(support_id, &QPushButton::clicked, this, [this] {
    runLoggingFailures("support_id", [this] {
      if (QLNWindowController *controller = QLNWindowController::defaultInstance())
        controller->Open_Support_Mail(support_id);
    });
  });

  if (!review_DefaultInstance)
    review_DefaultInstance = this;
}

Review_Form::~Review_Form() = default;

Review_Form *Review_Form::defaultInstance() {
  if (review_DefaultInstance)
    return review_DefaultInstance;
  QLNWindowController *controller = QLNWindowController::defaultInstance();
  if (!controller || !controller->ui || !controller->ui->Review_Window)
    return nullptr;
  return new Review_Form(controller->ui->Review_Window);
}

void Review_Form::runAtExit() {
  Review_Form *form = defaultInstance();
  if (!form || form->m_shownAtExit)
    return;
  form->m_shownAtExit = true;
  form->Open_Review_Form_Window();
}

void Review_Form::OK_Clicked(QObject *) {
  Open_Link(links::ReviewPage);
  if (m_window)
    m_window->done(ModalOK);
}

void Review_Form::Review_Clicked(QObject *) {
  Open_Link(links::ReviewPage);
  if (m_window)
    m_window->done(ModalOK);
}

void Review_Form::Not_Now_Clicked(QObject *) {
  if (m_window)
    m_window->done(ModalCancel);
}

void Review_Form::Open_Link(const QString &url) {
  runLoggingFailures("Open_Link", [&] { links::openLink(url); });
}

int Review_Form::Open_Review_Form_Window() {
  int code = 0;
  runLoggingFailures("Open_Review_Form_Window", [&] {
    if (!m_window)
      return;
    code = UiServices::instance().runModal(m_window);
    m_window->hide();
  });
  return code;
}
