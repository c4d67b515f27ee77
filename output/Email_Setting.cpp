#include "output/Email_Setting.h"

#include "output/model/Preferences.h"

#include "mainwindow/QLNWindowController.h"

#include "core/Utilities.h"

#include "platform/ControlActions.h"
#include "platform/UiServices.h"

#include <QBoxLayout>
#include <QDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace {

Email_Setting *s_mail_DefaultInstance = nullptr;

const QString TestMailFailureText = QStringLiteral(
    "Please make sure that:\n1. Entered E-mail settings are correct.\n2. Internet connectivity to E-mail server "
    "is not interrupted and E-mail server is not down.\n3. Your Firewall or Security software (if any) is not "
    "blocking the software to communicate with your E-mail server.");

QLineEdit *field(QWidget *parent, const char *name, const QString &accessible, const QString &tip) {
  auto *edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setAccessibleName(accessible);
  edit->setToolTip(tip);
  edit->setMinimumWidth(260);
  return edit;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text, const QString &tip) {
  auto *b = new QPushButton(text, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setAccessibleName(text);
  b->setToolTip(tip);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

Email_Setting::Email_Setting(QLNWindowController *controller, QWidget *parentWindow, QObject *parent)
    : QObject(parent), m_controller(controller) {
  m_window = new QDialog(parentWindow);
  build();
  keepInGlobal(s_mail_DefaultInstance, this);
}

Email_Setting::~Email_Setting() = default;

Email_Setting *Email_Setting::defaultInstance() { return s_mail_DefaultInstance; }

void Email_Setting::build() {
  QDialog *w = m_window;
  w->setObjectName(QStringLiteral("Email_Setting"));
  w->setWindowTitle(QStringLiteral("E-mail Settings"));
  w->setAccessibleName(QStringLiteral("E-mail Settings"));
  QPalette palette = w->palette();
  palette.setColor(QPalette::Window, QColor::fromRgbF(0.9450980392156862f, 0.9568627450980393f, 0.9803921568627451f, 1.0f));
  w->setPalette(palette);
  w->setAutoFillBackground(true);

  auto *layout = new QVBoxLayout(w);
  auto *form = new QFormLayout;
  _send_mail_sender_mail = field(w, "_send_mail_sender_mail", QStringLiteral("Sender E-mail"),
                                 QStringLiteral("The address mails are sent from; it is also the login name"));
  _send_mail_password = field(w, "_send_mail_password", QStringLiteral("Password"),
                              QStringLiteral("The password of the sender's mail account"));
  _send_mail_password->setEchoMode(QLineEdit::Password);
  _send_mail_smtp = field(w, "_send_mail_smtp", QStringLiteral("SMTP server"),
                          QStringLiteral("The name of the outgoing mail server"));
  _send_mail_port = field(w, "_send_mail_port", QStringLiteral("Port"),
                          QStringLiteral("The server's port: usually 465 with SSL, 587 with TLS"));
  _send_mail_to = field(w, "_send_mail_to", QStringLiteral("Test mail recipient"),
                        QStringLiteral("Where the test mail goes"));
  form->addRow(QStringLiteral("Sender E-mail:"), _send_mail_sender_mail);
  form->addRow(QStringLiteral("Password:"), _send_mail_password);
  form->addRow(QStringLiteral("SMTP server:"), _send_mail_smtp);
  form->addRow(QStringLiteral("Port:"), _send_mail_port);
  auto *security = new QHBoxLayout;
  _send_mail_ssl = new QRadioButton(QStringLiteral("SSL"), w);
  _send_mail_ssl->setObjectName(QStringLiteral("_send_mail_ssl"));
  _send_mail_ssl->setAccessibleName(QStringLiteral("SSL"));
  _send_mail_ssl->setToolTip(QStringLiteral("The connection is encrypted from the start"));
  _send_mail_tls = new QRadioButton(QStringLiteral("TLS"), w);
  _send_mail_tls->setObjectName(QStringLiteral("_send_mail_tls"));
  _send_mail_tls->setAccessibleName(QStringLiteral("TLS"));
  _send_mail_tls->setToolTip(QStringLiteral("The connection is encrypted with STARTTLS before the login"));
  security->addWidget(_send_mail_ssl);
  security->addWidget(_send_mail_tls);
  security->addStretch(1);
  form->addRow(QStringLiteral("Security:"), security);
  form->addRow(QStringLiteral("Test mail to:"), _send_mail_to);
  layout->addLayout(form);

  _send_mail_result_status = new QLabel(w);
  _send_mail_result_status->setObjectName(QStringLiteral("_send_mail_result_status"));
  _send_mail_result_status->setAccessibleName(QStringLiteral("Test mail result"));
  _send_mail_result_status->setWordWrap(true);
  layout->addWidget(_send_mail_result_status);

  auto *buttons = new QHBoxLayout;
  reset_btn = button(w, "reset_btn", QStringLiteral("Reset"), QStringLiteral("Delete the stored e-mail settings"));
  test_mail_btn = button(w, "test_mail_btn", QStringLiteral("Send Test Mail"),
                         QStringLiteral("Send a test mail with the settings as they stand"));
  close_btn = button(w, "close_btn", QStringLiteral("Close"), QStringLiteral("Close without saving"));
  save_btn = button(w, "save_btn", QStringLiteral("Save"), QStringLiteral("Check and store the settings"));
  save_btn->setDefault(true);
  buttons->addWidget(reset_btn);
  buttons->addWidget(test_mail_btn);
  buttons->addStretch(1);
  buttons->addWidget(close_btn);
  buttons->addWidget(save_btn);
  layout->addLayout(buttons);

  connect(test_mail_btn, &QPushButton::clicked, this,
          [this] { runLoggingFailures("Send_Test_Email", [this] { Send_Test_Email(test_mail_btn); }); });
  connect(save_btn, &QPushButton::clicked, this,
          [this] { runLoggingFailures("Save_Button", [this] { Save_Button(save_btn); }); });
  connect(close_btn, &QPushButton::clicked, this, [this] { Close_Button(close_btn); });
  connect(reset_btn, &QPushButton::clicked, this,
          [this] { runLoggingFailures("Reset_Button", [this] { Reset_Button(reset_btn); }); });
  controls::onAction(_send_mail_ssl, this, [this] { SSL_Selected(_send_mail_ssl); });
  controls::onAction(_send_mail_tls, this, [this] { TLS_Selected(_send_mail_tls); });

  // The waiting sheet of the test mail.
  plz_wait_Window = new QDialog(w);
  plz_wait_Window->setObjectName(QStringLiteral("plz_wait_Window"));
  plz_wait_Window->setWindowTitle(QStringLiteral("Please Wait"));
  plz_wait_Window->setWindowFlag(Qt::WindowCloseButtonHint, false);
  plz_wait_Window->setWindowModality(Qt::WindowModal);
  auto *waitLayout = new QVBoxLayout(plz_wait_Window);
  waitLayout->addWidget(new QLabel(QStringLiteral("It may take a while, Please wait.."), plz_wait_Window));
  auto *busy = new QProgressBar(plz_wait_Window);
  busy->setRange(0, 0);
  busy->setTextVisible(false);
  busy->setMinimumWidth(260);
  waitLayout->addWidget(busy);
}

int Email_Setting::Open_Wnd() {
  loadPreferences();
  _send_mail_result_status->clear();
  const int code = UiServices::instance().runModal(m_window);
  m_window->hide();
  return code;
}

void Email_Setting::loadPreferences() {
  const std::unique_ptr<Preferences> prefs = Preferences::sharedInstance();
  _send_mail_to->setText(prefs->send_email_Recipient());
  _send_mail_sender_mail->setText(prefs->send_email_SenderEmail());
  _send_mail_smtp->setText(prefs->send_email_SMTP_server());
  _send_mail_port->setText(prefs->send_email_PORT_num());
  _send_mail_password->setText(prefs->send_email_Password());
  const bool ssl = prefs->send_email_enable_ssl() == QLatin1String("Y");
  _send_mail_ssl->setChecked(ssl);
  _send_mail_tls->setChecked(!ssl);
}

bool Email_Setting::flushPreferences() {
  const std::unique_ptr<Preferences> prefs = Preferences::sharedInstance();
  prefs->setsend_email_Recipient(_send_mail_to->text());
  prefs->setsend_email_SenderEmail(_send_mail_sender_mail->text());
  prefs->setsend_email_SMTP_server(_send_mail_smtp->text());
  prefs->setsend_email_PORT_num(_send_mail_port->text());
  prefs->setsend_email_Password(_send_mail_password->text());
  prefs->setsend_email_enable_ssl(sslValue());
  QString error;
  if (!prefs->flush(&error)) {
    // The settings stay in the window; the user learns they were not stored.
    Show_NSLog_Message(error);
    Show_MessageBox(QStringLiteral("The e-mail settings could not be saved.\n%1").arg(error));
    return false;
  }
  return true;
}

bool Email_Setting::Check_Validation(bool with_recipient) {
  auto fail = [](const QString &message, QLineEdit *edit) {
    Show_MessageBox(message);
    edit->setFocus();
    return false;
  };
  const QString sender = _send_mail_sender_mail->text().toLower();
  if (sender.isEmpty())
    return fail(QStringLiteral("Please enter sender E-mail."), _send_mail_sender_mail);
  if (!isValidEmail(sender))
    return fail(QStringLiteral("Please enter valid sender E-mail address."), _send_mail_sender_mail);
  if (_send_mail_password->text().isEmpty())
    return fail(QStringLiteral("Please enter password."), _send_mail_password);
  if (_send_mail_smtp->text().isEmpty())
    return fail(QStringLiteral("Please enter SMTP server."), _send_mail_smtp);
  if (_send_mail_port->text().isEmpty())
    return fail(QStringLiteral("Please enter port number."), _send_mail_port);
  if (with_recipient) {
    const QString recipient = _send_mail_to->text().toLower();
    if (recipient.isEmpty())
      return fail(QStringLiteral("Please enter recipient E-mail address."), _send_mail_to);
    if (!isValidEmail(recipient))
      return fail(QStringLiteral("Please enter valid recipient E-mail address."), _send_mail_to);
  }
  return true;
}

QString Email_Setting::sslValue() const {
  return _send_mail_ssl->isChecked() && !_send_mail_tls->isChecked() ? QStringLiteral("Y") : QStringLiteral("N");
}

void Email_Setting::SSL_Selected(QObject *) {
  _send_mail_ssl->setChecked(true);
  _send_mail_tls->setChecked(false);
}

void Email_Setting::TLS_Selected(QObject *) {
  _send_mail_ssl->setChecked(false);
  _send_mail_tls->setChecked(true);
}

void Email_Setting::Send_Test_Email(QObject *) {
  if (!Check_Validation(true))
    return;
  const QString appName = m_controller ? m_controller->App_Name() : QStringLiteral("Amends");
  const QString recipient = _send_mail_to->text().toLower();
  const QString sender = _send_mail_sender_mail->text().toLower();
  _send_mail_result_status->setText(QStringLiteral("It may take a while, Please wait..."));
  Show_Create_Modeless();
  const bool sent = sendEmail_pyth(recipient, appName + QStringLiteral(" Test Mail"), {}, sender,
                                   _send_mail_password->text(), _send_mail_smtp->text(), _send_mail_port->text(),
                                   QStringLiteral("This is test mail sent by %1.").arg(appName), sslValue());
  Hide_Destroy_Modeless();
  const QString result = sent ? QStringLiteral("E-mail has been sent successfully.")
                              : TestMailFailureText + QStringLiteral("\n\nCould not send email.");
  _send_mail_result_status->setText(result);
  Show_MessageBox(result);
}

void Email_Setting::Save_Button(QObject *) {
  if (!Check_Validation(false))
    return;
  if (flushPreferences())
    m_window->done(ModalOK);
}

void Email_Setting::Close_Button(QObject *) { m_window->done(ModalCancel); }

void Email_Setting::Reset_Button(QObject *) {
  if (!Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to reset current email settings?")))
    return;
  QString error;
  if (!Preferences::removeSettingsFile(&error))
    Show_NSLog_Message(error);
  for (QLineEdit *edit : {_send_mail_to, _send_mail_sender_mail, _send_mail_smtp, _send_mail_port, _send_mail_password})
    edit->clear();
  _send_mail_result_status->clear();
  TLS_Selected();
  if (m_controller)
    m_controller->Get_Email_Details();
}

bool Email_Setting::sendEmail_pyth(const QString &toAddress, const QString &withSubject, const QStringList &Attachments,
                                   const QString &withSender, const QString &withPwd, const QString &withSMTP,
                                   const QString &withPort, const QString &withBody, const QString &enable_ssl) {
  MailScriptMessage mail;
  mail.recipient = toAddress;
  mail.subject = withSubject;
  mail.attachments = Attachments;
  mail.sender = withSender;
  mail.password = withPwd;
  mail.server = withSMTP;
  mail.port = withPort;
  mail.body = withBody;
  mail.ssl = enable_ssl;
  lastResult = MailScript::sendKeepingWindowsPainted(mail, scriptTimeoutMs);
  if (!lastResult.sent())
    Show_NSLog_Message(QStringLiteral("Test mail to %1: %2").arg(toAddress, lastResult.reason));
  return lastResult.sent();
}

void Email_Setting::Show_Create_Modeless() {
  plz_wait_Window->adjustSize();
  plz_wait_Window->show();
  plz_wait_Window->raise();
}

void Email_Setting::Hide_Destroy_Modeless() { plz_wait_Window->hide(); }
