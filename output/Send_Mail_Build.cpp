// The mail window's controls and their connections.

#include "output/Send_Mail.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/QLNWindowController.h"

#include "core/Utilities.h"

#include "platform/ControlActions.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace {

template <typename W> W *named(W *widget, const char *name, const QString &accessible, const QString &tip) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setAccessibleName(accessible);
  widget->setToolTip(tip);
  return widget;
}

QSpinBox *spin(QWidget *parent, const char *name, int minimum, int maximum, const QString &accessible,
               const QString &tip) {
  auto *box = named(new QSpinBox(parent), name, accessible, tip);
  box->setRange(minimum, maximum);
  return box;
}

}  // namespace

void Send_Mail::build() {
  QWidget *parentWindow = m_controller && m_controller->ui ? m_controller->ui->window : nullptr;
  m_window = new QDialog(parentWindow);
  QDialog *w = m_window;
  w->setObjectName(QStringLiteral("Send_Mail"));
  w->setWindowTitle(QStringLiteral("Send E-mail"));
  w->setAccessibleName(QStringLiteral("Send E-mail"));
  QPalette palette = w->palette();
  palette.setColor(QPalette::Window, QColor::fromRgbF(0.9450980392156862f, 0.9568627450980393f, 0.9803921568627451f, 1.0f));
  w->setPalette(palette);
  w->setAutoFillBackground(true);
  auto *layout = new QVBoxLayout(w);

  // Addresses, subject and message.
  auto *form = new QFormLayout;
  auto *fromRow = new QHBoxLayout;
  from_txt = named(new QLineEdit(w), "from_txt", QStringLiteral("From"), QStringLiteral("The sender's address"));
  settings_btn = named(new QPushButton(QStringLiteral("Settings..."), w), "settings_btn",
                       QStringLiteral("Settings..."), QStringLiteral("Edit the e-mail account settings"));
  settings_btn->setAutoDefault(false);
  fromRow->addWidget(from_txt, 1);
  fromRow->addWidget(settings_btn);
  form->addRow(QStringLiteral("From:"), fromRow);
  to_txt = named(new QLineEdit(w), "to_txt", QStringLiteral("To"),
                 QStringLiteral("Recipients' addresses, separated by \",\""));
  form->addRow(QStringLiteral("To:"), to_txt);
  subject_txt = named(new QLineEdit(w), "subject_txt", QStringLiteral("Subject"), QStringLiteral("The mail's subject"));
  form->addRow(QStringLiteral("Subject:"), subject_txt);
  message_txt = named(new QPlainTextEdit(w), "message_txt", QStringLiteral("Message"), QStringLiteral("The mail's text"));
  message_txt->setMinimumHeight(90);
  form->addRow(QStringLiteral("Message:"), message_txt);
  layout->addLayout(form);

  // With or without the card.
  auto *what = new QHBoxLayout;
  rd_mail_curr_barcode = named(new QRadioButton(QStringLiteral("Send the card"), w), "rd_mail_curr_barcode",
                               QStringLiteral("Send the card"), QStringLiteral("Attach the card to every mail"));
  rd_without_barcode = named(new QRadioButton(QStringLiteral("Send without the card"), w), "rd_without_barcode",
                             QStringLiteral("Send without the card"),
                             QStringLiteral("Send a plain mail, with a file of your own if you choose one"));
  auto *whatGroup = new QButtonGroup(w);
  whatGroup->addButton(rd_mail_curr_barcode);
  whatGroup->addButton(rd_without_barcode);
  what->addWidget(rd_mail_curr_barcode);
  what->addWidget(rd_without_barcode);
  what->addStretch(1);
  layout->addLayout(what);

  // The card settings.
  send_sett_box = named(new QGroupBox(QStringLiteral("Card"), w), "send_sett_box", QStringLiteral("Card"),
                        QStringLiteral("How the card is attached"));
  auto *cardLayout = new QVBoxLayout(send_sett_box);
  auto *sides = new QHBoxLayout;
  side_both_rd = named(new QRadioButton(QStringLiteral("Both sides"), send_sett_box), "side_both_rd",
                       QStringLiteral("Both sides"), QStringLiteral("Attach the back and the front side"));
  side_front_rd = named(new QRadioButton(QStringLiteral("Front side"), send_sett_box), "side_front_rd",
                        QStringLiteral("Front side"), QStringLiteral("Attach the front side"));
  side_back_rd = named(new QRadioButton(QStringLiteral("Back side"), send_sett_box), "side_back_rd",
                       QStringLiteral("Back side"), QStringLiteral("Attach the back side"));
  auto *sideGroup = new QButtonGroup(send_sett_box);
  for (QRadioButton *b : {side_both_rd, side_front_rd, side_back_rd}) {
    sideGroup->addButton(b);
    sides->addWidget(b);
  }
  sides->addStretch(1);
  cardLayout->addLayout(sides);
  auto *nameRow = new QHBoxLayout;
  nameRow->addWidget(new QLabel(QStringLiteral("File name:"), send_sett_box));
  file_name_txt = named(new QLineEdit(send_sett_box), "file_name_txt", QStringLiteral("File name"),
                        QStringLiteral("The name of the attached card files"));
  nameRow->addWidget(file_name_txt, 1);
  cardLayout->addLayout(nameRow);
  send_with_batch_chk = named(new QCheckBox(QStringLiteral("Use the series values"), send_sett_box),
                              "send_with_batch_chk", QStringLiteral("Use the series values"),
                              QStringLiteral("One card per row of the bound series"));
  send_with_excel_chk = named(new QCheckBox(QStringLiteral("Use the spreadsheet values"), send_sett_box),
                              "send_with_excel_chk", QStringLiteral("Use the spreadsheet values"),
                              QStringLiteral("One card per row of the imported spreadsheet"));
  cardLayout->addWidget(send_with_batch_chk);
  cardLayout->addWidget(send_with_excel_chk);
  rd_all_to_every = named(new QRadioButton(QStringLiteral("Every card to every recipient"), send_sett_box),
                          "rd_all_to_every", QStringLiteral("Every card to every recipient"),
                          QStringLiteral("Each recipient gets every card"));
  rd_one_per_recp = named(new QRadioButton(QStringLiteral("One card to each recipient"), send_sett_box),
                          "rd_one_per_recp", QStringLiteral("One card to each recipient"),
                          QStringLiteral("Card 1 goes to the first recipient, card 2 to the second ..."));
  auto *rowGroup = new QButtonGroup(send_sett_box);
  rowGroup->addButton(rd_all_to_every);
  rowGroup->addButton(rd_one_per_recp);
  cardLayout->addWidget(rd_all_to_every);
  cardLayout->addWidget(rd_one_per_recp);
  layout->addWidget(send_sett_box);

  // The user's own file.
  auto *fileRow = new QHBoxLayout;
  attachment = named(new QLineEdit(w), "attachment", QStringLiteral("Attachment"),
                     QStringLiteral("A file of your own, sent with a mail without the card"));
  browse_att = named(new QPushButton(QStringLiteral("Browse..."), w), "browse_att", QStringLiteral("Browse..."),
                     QStringLiteral("Choose the file to attach"));
  clear_att = named(new QPushButton(QStringLiteral("Clear"), w), "clear_att", QStringLiteral("Clear"),
                    QStringLiteral("Clear the attachment: send no file"));
  browse_att->setAutoDefault(false);
  clear_att->setAutoDefault(false);
  fileRow->addWidget(new QLabel(QStringLiteral("Attachment:"), w));
  fileRow->addWidget(attachment, 1);
  fileRow->addWidget(browse_att);
  fileRow->addWidget(clear_att);
  layout->addLayout(fileRow);

  // Delayed delivery.
  delayed_delv_chk = named(new QCheckBox(QStringLiteral("Pause after every few mails"), w), "delayed_delv_chk",
                           QStringLiteral("Pause after every few mails"),
                           QStringLiteral("Delayed delivery: pause after every so many mails"));
  layout->addWidget(delayed_delv_chk);
  delayed_box = named(new QGroupBox(w), "delayed_box", QStringLiteral("Pause settings"),
                      QStringLiteral("How often and how long to pause"));
  auto *pauseLayout = new QHBoxLayout(delayed_box);
  mail_count_txt = spin(delayed_box, "mail_count_txt", 1, 9999, QStringLiteral("Mails between pauses"),
                        QStringLiteral("Pause after this many mails"));
  hour_txt = spin(delayed_box, "hour_txt", 0, 23, QStringLiteral("Pause hours"), QStringLiteral("Hours of the pause"));
  min_text = spin(delayed_box, "min_text", 0, 59, QStringLiteral("Pause minutes"), QStringLiteral("Minutes of the pause"));
  sec_txt = spin(delayed_box, "sec_txt", 0, 59, QStringLiteral("Pause seconds"), QStringLiteral("Seconds of the pause"));
  pauseLayout->addWidget(new QLabel(QStringLiteral("After"), delayed_box));
  pauseLayout->addWidget(mail_count_txt);
  pauseLayout->addWidget(new QLabel(QStringLiteral("mails pause for"), delayed_box));
  pauseLayout->addWidget(hour_txt);
  pauseLayout->addWidget(new QLabel(QStringLiteral("h"), delayed_box));
  pauseLayout->addWidget(min_text);
  pauseLayout->addWidget(new QLabel(QStringLiteral("min"), delayed_box));
  pauseLayout->addWidget(sec_txt);
  pauseLayout->addWidget(new QLabel(QStringLiteral("s"), delayed_box));
  layout->addWidget(delayed_box);

  auto *buttons = new QHBoxLayout;
  close_btn = named(new QPushButton(QStringLiteral("Close"), w), "close_btn", QStringLiteral("Close"),
                    QStringLiteral("Close the mail window"));
  send_btn = named(new QPushButton(QStringLiteral("Send"), w), "send_btn", QStringLiteral("Send"),
                   QStringLiteral("Send the mails"));
  close_btn->setAutoDefault(false);
  send_btn->setDefault(true);
  buttons->addStretch(1);
  buttons->addWidget(close_btn);
  buttons->addWidget(send_btn);
  layout->addLayout(buttons);

  auto onClick = [this](QAbstractButton *b, void (Send_Mail::*action)(QObject *)) {
    controls::onAction(b, this, [this, b, action] {
      runLoggingFailures(qPrintable(b->objectName()), [&] { (this->*action)(b); });
    });
  };
  onClick(send_btn, &Send_Mail::Send_Button);
  onClick(close_btn, &Send_Mail::Close_Button);
  onClick(settings_btn, &Send_Mail::Setting_Button);
  onClick(rd_without_barcode, &Send_Mail::Without_barcode_rd_select);
  onClick(rd_mail_curr_barcode, &Send_Mail::send_barcode_rd_select);
  onClick(rd_all_to_every, &Send_Mail::all_rd_select);
  onClick(rd_one_per_recp, &Send_Mail::obo_rd_select);
  onClick(send_with_batch_chk, &Send_Mail::send_with_batch_chk_select);
  onClick(send_with_excel_chk, &Send_Mail::send_with_excel_chk_select);
  onClick(delayed_delv_chk, &Send_Mail::delayed_delv_chk_select);
  for (QRadioButton *b : {side_both_rd, side_front_rd, side_back_rd})
    onClick(b, &Send_Mail::mail_card_side_CellClick);
  onClick(browse_att, &Send_Mail::browse_att_Button);
  onClick(clear_att, &Send_Mail::clear_att_Button);
}
