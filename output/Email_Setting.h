#pragma once
// Email_Setting: the e-mail settings window. It edits the account that e-mail sending
// uses (sender address, password, SMTP server, port, SSL or TLS, and a recipient for
// test mails), checks the entries, stores them in the settings file (Preferences,
// owner-only), sends a test mail through the mail script, and resets everything.
//
// "SSL" means a connection encrypted from the start (stored "Y"); "TLS" a plain
// connection upgraded with STARTTLS before the login (stored "N").
//
// One instance per main window controller (a child of it), made on first use. Main
// thread only.

#include "output/MailScript.h"

#include "core/KeptWindow.h"

#include <QDialog>
#include <QObject>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QLNWindowController;

class Email_Setting : public QObject {
  Q_OBJECT
public:
  // `controller` (may be null) gives the application name and reloads the e-mail globals
  // after a reset; the window is shown over `parentWindow`.
  Email_Setting(QLNWindowController *controller, QWidget *parentWindow, QObject *parent = nullptr);
  ~Email_Setting() override;

  // The instance made last (null before).
  static Email_Setting *defaultInstance();

  QDialog *window() const { return m_window; }

  // Fills the fields from the settings file and runs the window modally; returns its code
  // (1 after Save, 0 after Close).
  int Open_Wnd();
  // File to fields, fields to file (from a fresh read of the file).
  void loadPreferences();
  bool flushPreferences();
  // Checks the fields in order (with the recipient for a test mail); the first failure
  // shows its message, puts the focus on its field and gives false.
  bool Check_Validation(bool with_recipient);
  void Send_Test_Email(QObject *sender = nullptr);
  void Save_Button(QObject *sender = nullptr);
  void Close_Button(QObject *sender = nullptr);
  void Reset_Button(QObject *sender = nullptr);
  void SSL_Selected(QObject *sender = nullptr);
  void TLS_Selected(QObject *sender = nullptr);
  static bool isValidEmail(const QString &address) { return isValidEmailAddress(address); }
  // "Y" with SSL chosen, otherwise "N".
  QString sslValue() const;
  // One mail through the mail script; true when it went.
  bool sendEmail_pyth(const QString &toAddress, const QString &withSubject, const QStringList &Attachments,
                      const QString &withSender, const QString &withPwd, const QString &withSMTP,
                      const QString &withPort, const QString &withBody, const QString &enable_ssl);
  // The waiting sheet over the window, and its end.
  void Show_Create_Modeless();
  void Hide_Destroy_Modeless();

  // The longest a test mail may take (milliseconds).
  int scriptTimeoutMs = MailScript::DefaultTimeoutMs;
  // The result of the last test mail (for the caller's log).
  MailScriptResult lastResult;

  // The window's controls.
  QLineEdit *_send_mail_sender_mail = nullptr;
  QLineEdit *_send_mail_password = nullptr;
  QLineEdit *_send_mail_smtp = nullptr;
  QLineEdit *_send_mail_port = nullptr;
  QLineEdit *_send_mail_to = nullptr;
  QRadioButton *_send_mail_ssl = nullptr;
  QRadioButton *_send_mail_tls = nullptr;
  QLabel *_send_mail_result_status = nullptr;
  QPushButton *test_mail_btn = nullptr;
  QPushButton *save_btn = nullptr;
  QPushButton *close_btn = nullptr;
  QPushButton *reset_btn = nullptr;
  QDialog *plz_wait_Window = nullptr;

private:
  void build();
  QPointer<QLNWindowController> m_controller;
  OwnedWindow<QDialog> m_window;
};
