// The mail script against a real SMTP server, and the e-mail settings window: implicit
// TLS and STARTTLS deliver the test mail with a non-ASCII password, a server without
// STARTTLS never sees the password, wrong passwords, dead, hung and crashing scripts are
// failures, the address rule, validation, owner-only storage and reset.

#include "tests/output/mail_test_fixture.h"

#include "output/Email_Setting.h"
#include "output/model/Preferences.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <sys/stat.h>

namespace {

const QString Password = QString::fromUtf8("p\xC3\xA4ssw\xC3\xB6rd \xE2\x82\xAC");

class MailSettingsTest : public MailTest {
protected:
  void SetUp() override {
    MailTest::SetUp();
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    window = std::make_unique<Email_Setting>(controller, nullptr);
  }
  void TearDown() override {
    window.reset();
    MailTest::TearDown();
  }

  void fill(const QString &sender, const QString &password, const QString &server, const QString &port,
            const QString &to, bool ssl) {
    window->_send_mail_sender_mail->setText(sender);
    window->_send_mail_password->setText(password);
    window->_send_mail_smtp->setText(server);
    window->_send_mail_port->setText(port);
    window->_send_mail_to->setText(to);
    ssl ? window->SSL_Selected() : window->TLS_Selected();
  }
  // Sends the test mail; returns the message box's text.
  QString testMail() {
    scripted.expectAlert();
    window->test_mail_btn->click();
    const QStringList alerts = scripted.alertTexts();
    return alerts.isEmpty() ? QString() : alerts.last();
  }

  QLNWindowController *controller = nullptr;
  std::unique_ptr<Email_Setting> window;
};

const QString Sent = QStringLiteral("\nE-mail has been sent successfully.");

TEST_F(MailSettingsTest, ImplicitTlsAndStartTlsDeliverTheTestMailWithANonAsciiPassword) {
  for (const bool ssl : {true, false}) {
    SCOPED_TRACE(ssl ? "implicit TLS" : "STARTTLS");
    auto server = startServer(ssl ? QStringLiteral("tls") : QStringLiteral("starttls"), Password);
    // The sender is lowercased for the mail; the password goes as typed.
    fill(QStringLiteral("Sender@Example.org"), Password, QStringLiteral("127.0.0.1"), server->port(),
         QStringLiteral("Friend@Example.org"), ssl);
    EXPECT_EQ(testMail(), Sent);
    EXPECT_EQ(window->_send_mail_result_status->text(), QStringLiteral("E-mail has been sent successfully."));
    const auto mails = server->mails();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].envelopeFrom, QStringLiteral("sender@example.org"));
    EXPECT_EQ(mails[0].envelopeTo, QStringList{QStringLiteral("friend@example.org")});
    EXPECT_EQ(mails[0].subject, controller->App_Name() + QStringLiteral(" Test Mail"));
    EXPECT_EQ(mails[0].body.trimmed(), QStringLiteral("This is test mail sent by %1.").arg(controller->App_Name()));
    EXPECT_TRUE(mails[0].attachments.empty());
    // The login went over the encrypted connection, and only there.
    EXPECT_EQ(server->authEvents(), QStringList{QStringLiteral("auth sender@example.org ok tls=yes")});
    // The waiting sheet is gone again.
    EXPECT_FALSE(window->plz_wait_Window->isVisible());
  }
}

TEST_F(MailSettingsTest, APlainServerWithoutStartTlsNeverSeesThePassword) {
  auto server = startServer(QStringLiteral("plain"), Password);
  fill(QStringLiteral("sender@example.org"), Password, QStringLiteral("127.0.0.1"), server->port(),
       QStringLiteral("friend@example.org"), false);
  const QString message = testMail();
  EXPECT_TRUE(message.startsWith(QStringLiteral("\nPlease make sure that:\n1. Entered E-mail settings are correct.")));
  EXPECT_TRUE(message.endsWith(QStringLiteral("\n\nCould not send email.")));
  EXPECT_EQ(window->_send_mail_result_status->text(), message.mid(1));
  EXPECT_TRUE(server->authEvents().isEmpty()) << server->events().join('\n').toStdString();
  EXPECT_TRUE(server->mails().empty());
  // Asking for implicit TLS on a plain port fails too, before any login.
  fill(QStringLiteral("sender@example.org"), Password, QStringLiteral("127.0.0.1"), server->port(),
       QStringLiteral("friend@example.org"), true);
  EXPECT_NE(testMail(), Sent);
  EXPECT_TRUE(server->authEvents().isEmpty());
}

TEST_F(MailSettingsTest, WrongPasswordUntrustedCertificateAndDeadServerFail) {
  auto server = startServer(QStringLiteral("starttls"), Password);
  fill(QStringLiteral("sender@example.org"), QStringLiteral("wrong"), QStringLiteral("127.0.0.1"), server->port(),
       QStringLiteral("friend@example.org"), false);
  EXPECT_NE(testMail(), Sent);
  EXPECT_EQ(window->lastResult.outcome, MailScriptResult::Outcome::Failed);
  EXPECT_EQ(server->authEvents(), QStringList{QStringLiteral("auth sender@example.org bad tls=yes")});

  // Without the test's certificate among the trusted ones the server is not believed.
  {
    ScopedEnvironment noCa(MailScript::CaFileVariable, std::nullopt);
    fill(QStringLiteral("sender@example.org"), Password, QStringLiteral("127.0.0.1"), server->port(),
         QStringLiteral("friend@example.org"), false);
    EXPECT_NE(testMail(), Sent);
  }
  EXPECT_EQ(server->authEvents().size(), 1);
  EXPECT_TRUE(server->mails().empty());

  // Nothing listens on the port of a server that has ended.
  const QString deadPort = server->port();
  server.reset();
  fill(QStringLiteral("sender@example.org"), Password, QStringLiteral("127.0.0.1"), deadPort,
       QStringLiteral("friend@example.org"), false);
  EXPECT_NE(testMail(), Sent);
  EXPECT_EQ(window->lastResult.outcome, MailScriptResult::Outcome::Failed);
}

TEST_F(MailSettingsTest, AHungServerIsGivenUpAtTheTimeLimitWithoutFreezingTheWindow) {
  // A server that accepts the connection and never says a word.
  const int silent = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(silent, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(silent, 4), 0);
  ASSERT_EQ(::getsockname(silent, reinterpret_cast<sockaddr *>(&address), &length), 0);
  const QString port = QString::number(ntohs(address.sin_port));
  fill(QStringLiteral("sender@example.org"), Password, QStringLiteral("127.0.0.1"), port,
       QStringLiteral("friend@example.org"), false);
  window->scriptTimeoutMs = 1500;
  // The window keeps painting while it waits: a timer of the GUI thread goes on firing.
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
  ticker.start(100);
  QElapsedTimer clock;
  clock.start();
  EXPECT_NE(testMail(), Sent);
  EXPECT_EQ(window->lastResult.outcome, MailScriptResult::Outcome::TimedOut);
  EXPECT_LT(clock.elapsed(), 8000);
  EXPECT_GE(ticks, 5);
  ::close(silent);
}

TEST_F(MailSettingsTest, OnlyANormalExitWithStatusZeroCountsAsSent) {
  fill(QStringLiteral("sender@example.org"), Password, QStringLiteral("127.0.0.1"), QStringLiteral("25"),
       QStringLiteral("friend@example.org"), false);
  // A script that crashes, after claiming success.
  shipScript("import os, signal, sys\nprint('sent')\nsys.stdout.flush()\nos.kill(os.getpid(), signal.SIGKILL)\n");
  EXPECT_NE(testMail(), Sent);
  EXPECT_EQ(window->lastResult.outcome, MailScriptResult::Outcome::Crashed);
  shipScript("import sys\nprint('E-mail has been sent successfully.')\nsys.exit(3)\n");
  EXPECT_NE(testMail(), Sent);
  EXPECT_EQ(window->lastResult.exitCode, 3);

  // A script that records exactly what it was given, and succeeds.
  const QString record = tmp.filePath(QStringLiteral("record.json"));
  shipScript(QStringLiteral("import json, os, sys\n"
                            "data = sys.stdin.buffer.read().decode('utf-8')\n"
                            "json.dump({'argv': sys.argv[1:], 'env': dict(os.environ), 'stdin': data},"
                            " open(%1, 'w'))\n")
                 .arg(QStringLiteral("'") + record + QStringLiteral("'"))
                 .toUtf8());
  // No security choice stored: "N" keeps the arguments in their places.
  MailScriptMessage mail{QStringLiteral(" b@x.org"), QStringLiteral("S"), {QStringLiteral("/a/back"), QStringLiteral("/a/front")},
                         QStringLiteral("me@x.org"), Password, QStringLiteral("smtp.x.org"), QStringLiteral("587"),
                         QStringLiteral("Body"), QString()};
  const MailScriptResult result = MailScript::send(mail, 10000);
  EXPECT_TRUE(result.sent()) << result.reason.toStdString();
  QFile file(record);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
  QStringList argv;
  for (const QJsonValue &v : o.value(QStringLiteral("argv")).toArray())
    argv << v.toString();
  EXPECT_EQ(argv, (QStringList{"me@x.org", "smtp.x.org", "587", "me@x.org", " b@x.org", "S", "Body", "N", "/a/back",
                               "/a/front"}));
  QStringList env = o.value(QStringLiteral("env")).toObject().keys();
  env.removeAll(QStringLiteral("LC_CTYPE"));  // the interpreter may set it itself
  EXPECT_EQ(env, (QStringList{"AMENDS_MAIL_CA_FILE", "PATH", "PYTHONPATH"}));
  EXPECT_EQ(o.value(QStringLiteral("stdin")).toString(), Password + QStringLiteral("\nDescription"));

  // A line break would end the password early: such a password is not passed at all.
  QFile::remove(record);
  mail.password = QStringLiteral("first\nsecond");
  EXPECT_EQ(MailScript::send(mail, 10000).outcome, MailScriptResult::Outcome::NotStarted);
  EXPECT_FALSE(QFile::exists(record));
}

TEST_F(MailSettingsTest, TheAddressRuleAndTheValidationOrder) {
  EXPECT_FALSE(Email_Setting::isValidEmail(QStringLiteral("a@b.c")));  // five characters
  EXPECT_TRUE(Email_Setting::isValidEmail(QStringLiteral("a@bc.d")));
  EXPECT_TRUE(Email_Setting::isValidEmail(QStringLiteral(" \t a@bc.d\n")));
  EXPECT_FALSE(Email_Setting::isValidEmail(QStringLiteral("a@b@cd.e")));
  EXPECT_FALSE(Email_Setting::isValidEmail(QStringLiteral("abc@def")));
  EXPECT_FALSE(Email_Setting::isValidEmail(QStringLiteral("abc.def.gh")));

  auto check = [&](bool withRecipient) {
    scripted.expectAlert();
    const bool ok = window->Check_Validation(withRecipient);
    EXPECT_FALSE(ok);
    return scripted.alertTexts().last().mid(1);
  };
  fill(QString(), QString(), QString(), QString(), QString(), false);
  EXPECT_EQ(check(false), QStringLiteral("Please enter sender E-mail."));
  window->_send_mail_sender_mail->setText(QStringLiteral("me@x"));
  EXPECT_EQ(check(false), QStringLiteral("Please enter valid sender E-mail address."));
  window->_send_mail_sender_mail->setText(QStringLiteral("me@x.org"));
  EXPECT_EQ(check(false), QStringLiteral("Please enter password."));
  window->_send_mail_password->setText(QStringLiteral("   "));  // blanks are a password
  EXPECT_EQ(check(false), QStringLiteral("Please enter SMTP server."));
  window->_send_mail_smtp->setText(QStringLiteral("smtp.x.org"));
  EXPECT_EQ(check(false), QStringLiteral("Please enter port number."));
  window->_send_mail_port->setText(QStringLiteral("587"));
  EXPECT_TRUE(window->Check_Validation(false));
  EXPECT_EQ(check(true), QStringLiteral("Please enter recipient E-mail address."));
  window->_send_mail_to->setText(QStringLiteral("you"));
  EXPECT_EQ(check(true), QStringLiteral("Please enter valid recipient E-mail address."));
  window->_send_mail_to->setText(QStringLiteral("you@x.org"));
  EXPECT_TRUE(window->Check_Validation(true));
}

TEST_F(MailSettingsTest, SaveStoresOwnerOnlyAndResetForgetsEverything) {
  // First opening: no file, empty fields, TLS chosen.
  scripted.answerModal([&](QDialog *) {
    EXPECT_TRUE(window->_send_mail_sender_mail->text().isEmpty());
    EXPECT_TRUE(window->_send_mail_tls->isChecked());
    EXPECT_FALSE(window->_send_mail_ssl->isChecked());
    fill(QStringLiteral(" Me@X.org"), QStringLiteral(" pw "), QStringLiteral("smtp.x.org"), QStringLiteral("465"),
         QStringLiteral("t@x.org"), true);
    window->save_btn->click();
    return window->window()->result();  // Save ended the run already
  });
  EXPECT_EQ(window->Open_Wnd(), ModalOK);
  const QString path = Preferences::settingsFilePath();
  struct stat st {};
  ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  {
    auto prefs = Preferences::sharedInstance();
    EXPECT_EQ(prefs->send_email_SenderEmail(), QStringLiteral(" Me@X.org"));  // as typed
    EXPECT_EQ(prefs->send_email_Password(), QStringLiteral(" pw "));
    EXPECT_EQ(prefs->send_email_enable_ssl(), QStringLiteral("Y"));
    EXPECT_EQ(prefs->send_email_Recipient(), QStringLiteral("t@x.org"));
  }
  // Close writes nothing.
  scripted.answerModal([&](QDialog *) {
    EXPECT_TRUE(window->_send_mail_ssl->isChecked());
    window->_send_mail_smtp->setText(QStringLiteral("changed"));
    window->close_btn->click();
    return window->window()->result();
  });
  EXPECT_EQ(window->Open_Wnd(), ModalCancel);
  EXPECT_EQ(Preferences::sharedInstance()->send_email_SMTP_server(), QStringLiteral("smtp.x.org"));

  // Reset: No keeps everything, Yes deletes the file and clears the globals.
  controller->Get_Email_Details();
  EXPECT_EQ(sending_server, QStringLiteral("smtp.x.org"));
  scripted.answerYesNo(false);
  window->reset_btn->click();
  EXPECT_TRUE(QFile::exists(path));
  scripted.answerYesNo(true);
  window->reset_btn->click();
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_TRUE(window->_send_mail_sender_mail->text().isEmpty());
  EXPECT_TRUE(window->_send_mail_password->text().isEmpty());
  EXPECT_TRUE(window->_send_mail_tls->isChecked());
  EXPECT_TRUE(sender_email.isEmpty());
  EXPECT_TRUE(sender_pwd.isEmpty());
  EXPECT_TRUE(sending_server.isEmpty());
  EXPECT_TRUE(send_enable_ssl.isEmpty());
}

}  // namespace
