// The mail script against a real SMTP server, and the e-mail settings window: implicit
// TLS and STARTTLS deliver the test mail with a non-ASCII password, a server without
// STARTTLS never sees the password, wrong passwords, dead, hung and crashing scripts are
// failures, the mail reaches the script on standard input and never on its command line,
// arrives intact, and a malformed mail or a line break in a header is refused, as are
// attachments that are no regular files and mails larger than servers take, and nothing
// ends in a traceback; the address rule, validation, owner-only storage and reset.

#include "tests/output/mail_test_fixture.h"

#include "output/Email_Setting.h"
#include "output/model/Preferences.h"

#include <QDir>
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

// The lines of /proc/<pid>/cmdline of each running child of this process whose command
// line names the mail script: what any local user can read about it.
QList<QStringList> mailScriptCommandLines() {
  QList<QStringList> found;
  const QByteArray parent = QByteArray::number(::getpid());
  for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly) || !status.readAll().contains("\nPPid:\t" + parent + "\n"))
      continue;
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!cmdline.open(QIODevice::ReadOnly))
      continue;
    QByteArray bytes = cmdline.readAll();
    if (bytes.endsWith('\0'))
      bytes.chop(1);
    if (bytes.contains("pyth_mail.py")) {
      QStringList line;
      for (const QByteArray &part : bytes.split('\0'))
        line << QString::fromUtf8(part);
      found << line;
    }
  }
  return found;
}

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
  // Meanwhile the running script's command line is read as any other local user could.
  int ticks = 0;
  QList<QStringList> seen;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    ++ticks;
    seen += mailScriptCommandLines();
  });
  ticker.start(100);
  QElapsedTimer clock;
  clock.start();
  EXPECT_NE(testMail(), Sent);
  EXPECT_EQ(window->lastResult.outcome, MailScriptResult::Outcome::TimedOut);
  EXPECT_LT(clock.elapsed(), 8000);
  EXPECT_GE(ticks, 5);
  ::close(silent);
  ASSERT_FALSE(seen.isEmpty());
  for (const QStringList &cmdline : seen) {
    EXPECT_EQ(cmdline, (QStringList{MailScript::interpreter(), MailScript::scriptPath()}));
    for (const QString &field : {QStringLiteral("example.org"), QStringLiteral("127.0.0.1"), port, Password})
      EXPECT_FALSE(cmdline.join(QLatin1Char(' ')).contains(field)) << field.toStdString();
  }
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

}

TEST_F(MailSettingsTest, TheMailReachesTheScriptOnStandardInputAndNeverOnItsCommandLine) {
  // A script that records what it was given and what others could see of it, and succeeds.
  const QString record = tmp.filePath(QStringLiteral("record.json"));
  shipScript(QStringLiteral("import json, os, sys\n"
                            "data = sys.stdin.buffer.read().decode('utf-8')\n"
                            "cmdline = open('/proc/self/cmdline', 'rb').read().decode('utf-8').split('\\0')[:-1]\n"
                            "json.dump({'argv': sys.argv[1:], 'cmdline': cmdline, 'env': dict(os.environ),"
                            " 'stdin': data}, open(%1, 'w'))\n")
                 .arg(QStringLiteral("'") + record + QStringLiteral("'"))
                 .toUtf8());
  // No security choice stored: "N". The password holds a line break, which the mail object
  // carries like any other character.
  const QString password = Password + QStringLiteral("\nsecond line");
  const QString subject = QString::fromUtf8("Entschuldigung \"vielmals\" \xE2\x80\x93 Gr\xC3\xBC\xC3\x9F" "e\\");
  const QString body = QString::fromUtf8("Liebe Ann,\n\n  es tut mir leid.\n.\n\xF0\x9F\x98\x8A\n");
  MailScriptMessage mail{QStringLiteral(" b@x.org"), subject, {QStringLiteral("/a/back"), QStringLiteral("/a/fr\u00f6nt")},
                         QStringLiteral("me@x.org"), password, QStringLiteral("smtp.x.org"), QStringLiteral("587"),
                         body, QString()};
  const MailScriptResult result = MailScript::send(mail, 10000);
  EXPECT_TRUE(result.sent()) << result.reason.toStdString();
  QFile file(record);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();

  // The command line is the interpreter and the script, nothing of the mail.
  const QString script = MailScript::scriptPath();
  EXPECT_TRUE(o.value(QStringLiteral("argv")).toArray().isEmpty());
  QStringList cmdline;
  for (const QJsonValue &v : o.value(QStringLiteral("cmdline")).toArray())
    cmdline << v.toString();
  EXPECT_EQ(cmdline, (QStringList{MailScript::interpreter(), script}));
  for (const QString &field : {QStringLiteral("b@x.org"), QStringLiteral("me@x.org"), QStringLiteral("smtp.x.org"),
                               QStringLiteral("Entschuldigung"), QStringLiteral("Liebe"), Password,
                               QStringLiteral("/a/back")})
    EXPECT_FALSE(cmdline.join(QLatin1Char(' ')).contains(field)) << field.toStdString();
  // Nor does the environment hold any of it.
  QStringList env = o.value(QStringLiteral("env")).toObject().keys();
  env.removeAll(QStringLiteral("LC_CTYPE"));  // the interpreter may set it itself
  EXPECT_EQ(env, (QStringList{"AMENDS_MAIL_CA_FILE", "PATH", "PYTHONPATH"}));

  // Standard input holds every field exactly as given, line breaks and all.
  const QJsonObject given = QJsonDocument::fromJson(o.value(QStringLiteral("stdin")).toString().toUtf8()).object();
  EXPECT_EQ(given.value(QStringLiteral("sender")).toString(), QStringLiteral("me@x.org"));
  EXPECT_EQ(given.value(QStringLiteral("password")).toString(), password);
  EXPECT_EQ(given.value(QStringLiteral("server")).toString(), QStringLiteral("smtp.x.org"));
  EXPECT_EQ(given.value(QStringLiteral("port")).toString(), QStringLiteral("587"));
  EXPECT_EQ(given.value(QStringLiteral("recipient")).toString(), QStringLiteral(" b@x.org"));
  EXPECT_EQ(given.value(QStringLiteral("subject")).toString(), subject);
  EXPECT_EQ(given.value(QStringLiteral("body")).toString(), body);
  EXPECT_EQ(given.value(QStringLiteral("ssl")).toString(), QStringLiteral("N"));
  EXPECT_EQ(given.value(QStringLiteral("attachments")).toArray(),
            QJsonArray({QStringLiteral("/a/back"), QStringLiteral("/a/fr\u00f6nt")}));
}

// The script on its own: whatever reaches its standard input, a malformed mail ends with
// status 2 and one line of reason, never with an interpreter's traceback.
TEST(MailScriptInput, AMalformedMailIsRefusedWithStatusTwoAndOneLine) {
  const QByteArray good = R"("sender":"me@x.org","password":"p","server":"127.0.0.1","port":"1","recipient":"b@x.org",)"
                          R"("subject":"S","body":"B","ssl":"N")";
  const std::vector<std::pair<QByteArray, QStringList>> cases{
      {"\xff\xfe", {}},
      {"[]", {}},
      {"{" + good + "}", {}},  // no attachments
      {"{" + good + R"(,"attachments":["a\u0000b"]})", {}},
      {"{" + QByteArray(good).replace(R"("port":"1")", R"("port":1)") + R"(,"attachments":[]})", {}},
      {"{" + QByteArray(good).replace(R"("password":"p")", R"("password":"\ud800")") + R"(,"attachments":[]})", {}},
      {QByteArray(100000, '['), {}},
      {"{" + good + R"(,"attachments":[]})", {QStringLiteral("me@x.org")}},  // any argument
  };
  for (const auto &[input, extra] : cases) {
    SCOPED_TRACE(input.left(60).toStdString());
    QProcess script;
    script.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral(AMENDS_SOURCE_DIR "/resources/pyth_mail.py")} + extra);
    ASSERT_TRUE(script.waitForStarted(10000));
    script.write(input);
    script.closeWriteChannel();
    ASSERT_TRUE(script.waitForFinished(30000));
    EXPECT_EQ(script.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(script.exitCode(), 2);
    const QByteArray error = script.readAllStandardError();
    EXPECT_TRUE(error.startsWith("pyth_mail: ")) << error.toStdString();
    EXPECT_EQ(error.count('\n'), 1) << error.toStdString();
  }
}

TEST_F(MailSettingsTest, EveryFieldArrivesIntactAndALineBreakInAHeaderIsRefusedBeforeConnecting) {
  auto server = startServer(QStringLiteral("starttls"), Password);
  // A line of a lone "." ends the data of an SMTP transfer, and a line starting with
  // "From " is what mailbox writers alter: both arrive as written.
  const QString subject = QString::fromUtf8("\"Verzeihung\" \xE2\x80\x93 Gr\xC3\xBC\xC3\x9F" "e {\\}");
  const QString body = QString::fromUtf8("Liebe Ann,\n\n  es tut mir leid.\n.\nFrom me, \xF0\x9F\x98\x8A");
  MailScriptMessage mail{QStringLiteral("friend@example.org"), subject, {}, QString::fromLatin1(User), Password,
                         QStringLiteral("127.0.0.1"), server->port(), body, QStringLiteral("N")};
  MailScriptResult result = MailScript::send(mail, 30000);
  ASSERT_TRUE(result.sent()) << result.reason.toStdString();
  auto mails = server->mails();
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].subject, subject);
  EXPECT_EQ(QString(mails[0].body).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), body + QLatin1Char('\n'));
  EXPECT_EQ(mails[0].to, QStringLiteral("friend@example.org"));
  EXPECT_EQ(mails[0].envelopeTo, QStringList{QStringLiteral("friend@example.org")});

  // A line break in the subject, the recipient or the sender would start a header of its
  // own: the script refuses the mail (status 2) before it reaches the server.
  const int ehlos = server->events().filter(QStringLiteral("ehlo")).size();
  const QString bcc = QStringLiteral("Bcc: evil@example.org");
  for (const int field : {0, 1, 2}) {
    SCOPED_TRACE(field);
    MailScriptMessage bad = mail;
    (field == 0 ? bad.subject : field == 1 ? bad.recipient : bad.sender) +=
        (field == 1 ? QStringLiteral("\n") : QStringLiteral("\r\n")) + bcc;
    result = MailScript::send(bad, 30000);
    EXPECT_EQ(result.outcome, MailScriptResult::Outcome::Failed);
    EXPECT_EQ(result.exitCode, 2);
  }
  EXPECT_EQ(server->mails().size(), 1u);
  EXPECT_EQ(server->events().filter(QStringLiteral("ehlo")).size(), ehlos);
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

namespace {

// One run of the project's script with `mail` on its standard input, as the program runs
// it; given up (and killed) after 20 seconds, so a script that blocks cannot hang the test.
struct ScriptRun {
  bool finished = false;
  int status = -1;
  QByteArray error;  // what it wrote on standard error
  qint64 ms = 0;
};

ScriptRun runMailScript(const MailScriptMessage &mail) {
  ScriptRun run;
  QElapsedTimer clock;
  clock.start();
  QProcess script;
  script.setEnvironment(MailScript::environment());
  script.start(MailScript::interpreter(),
               MailScript::arguments(QStringLiteral(AMENDS_SOURCE_DIR "/resources/pyth_mail.py")));
  if (!script.waitForStarted(10000))
    return run;
  script.write(MailScript::standardInput(mail));
  script.closeWriteChannel();
  run.finished = script.waitForFinished(20000) && script.exitStatus() == QProcess::NormalExit;
  if (!run.finished) {
    script.kill();
    script.waitForFinished(5000);
  }
  run.ms = clock.elapsed();
  run.status = script.exitCode();
  run.error = script.readAllStandardError();
  return run;
}

}  // namespace

// Only regular files are attached, and a mail is no larger than mail servers take: a FIFO
// (which would block its reader for ever), a device that never ends, a folder, a 30 MB file and a
// huge body are refused before the server is contacted, each with one line of reason and
// its own status, and the program names the reason; a normal attachment still arrives.
TEST_F(MailSettingsTest, OnlyRegularFilesAreAttachedAndAMailLargerThanServersTakeIsRefused) {
  auto server = startServer(QStringLiteral("starttls"), Password);
  const QString fifo = tmp.filePath(QStringLiteral("card.jpeg"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString large = tmp.filePath(QStringLiteral("large.png"));
  {
    QFile file(large);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(30 * 1000 * 1000));
  }
  MailScriptMessage mail{QStringLiteral("friend@example.org"), QStringLiteral("Sorry"), {}, QString::fromLatin1(User),
                         Password, QStringLiteral("127.0.0.1"), server->port(), QStringLiteral("Forgive me."),
                         QStringLiteral("N")};

  struct Case {
    const char *what;
    QStringList attachments;
    QString body;
    int status;
    QByteArray line;
  };
  const QString hugeBody(26 * 1000 * 1000, QLatin1Char('x'));
  const std::vector<Case> refused{
      {"a FIFO", {fifo}, mail.body, 3,
       "pyth_mail: cannot attach " + QFile::encodeName(fifo) + ": not a regular file\n"},
      {"a device", {QStringLiteral("/dev/zero")}, mail.body, 3,
       "pyth_mail: cannot attach /dev/zero: not a regular file\n"},
      {"a folder", {tmp.path()}, mail.body, 3,
       "pyth_mail: cannot attach " + QFile::encodeName(tmp.path()) + ": not a regular file\n"},
      {"a 30 MB file", {large}, mail.body, 7,
       "pyth_mail: the mail is larger than the 25 MB that mail servers take\n"},
      {"a 26 MB body", {}, hugeBody, 7, "pyth_mail: the mail is larger than the 25 MB that mail servers take\n"},
  };
  for (const Case &c : refused) {
    SCOPED_TRACE(c.what);
    MailScriptMessage bad = mail;
    bad.attachments = c.attachments;
    bad.body = c.body;
    const ScriptRun run = runMailScript(bad);
    ASSERT_TRUE(run.finished) << "the script did not end by itself";
    EXPECT_LT(run.ms, 10000);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.error, c.line);
  }
  EXPECT_TRUE(server->events().filter(QStringLiteral("ehlo")).isEmpty()) << "the server was contacted";
  EXPECT_TRUE(server->mails().empty());

  // The program's own call names the reason of each status.
  mail.attachments = {large};
  MailScriptResult result = MailScript::send(mail, 20000);
  EXPECT_EQ(result.exitCode, 7);
  EXPECT_EQ(result.reason, QStringLiteral("The mail script ended with status 7: the mail is larger than the "
                                          "25 MB that mail servers take."));
  mail.attachments = {fifo};
  result = MailScript::send(mail, 20000);
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_EQ(result.reason, QStringLiteral("The mail script ended with status 3: an attachment cannot be read (only "
                                          "regular files can be attached)."));

  // A 12 MB picture is well within the limit, and arrives whole.
  QByteArray picture = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(12 * 1000 * 1000, '\x5a');
  const QString normal = tmp.filePath(QStringLiteral("AmendsCard.jpeg"));
  {
    QFile file(normal);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(picture), picture.size());
  }
  mail.attachments = {normal};
  result = MailScript::send(mail, 60000);
  ASSERT_TRUE(result.sent()) << result.reason.toStdString();
  const auto mails = server->mails();
  ASSERT_EQ(mails.size(), 1u);
  ASSERT_EQ(mails[0].attachments.size(), 1u);
  EXPECT_EQ(mails[0].attachments[0].fileName, QStringLiteral("AmendsCard.jpeg"));
  EXPECT_EQ(mails[0].attachments[0].contentType, QStringLiteral("image/png"));
  EXPECT_TRUE(mails[0].attachments[0].bytes == picture);
}

// Whatever goes wrong inside the script ends in one line and a status of its own, never
// in an interpreter's traceback.
TEST(MailScriptInput, AnUnexpectedFailureEndsInOneLineAndItsOwnStatus) {
  QProcess script;
  script.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral("-c"),
                QStringLiteral("import importlib.util, sys\n"
                               "spec = importlib.util.spec_from_file_location('pyth_mail', sys.argv[1])\n"
                               "mail = importlib.util.module_from_spec(spec)\n"
                               "spec.loader.exec_module(mail)\n"
                               "def broken(argv, stdin):\n"
                               "    raise MemoryError()\n"
                               "mail.send = broken\n"
                               "sys.exit(mail.main())\n"),
                QStringLiteral(AMENDS_SOURCE_DIR "/resources/pyth_mail.py")});
  ASSERT_TRUE(script.waitForStarted(10000));
  script.closeWriteChannel();
  ASSERT_TRUE(script.waitForFinished(30000));
  EXPECT_EQ(script.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(script.exitCode(), 8);
  EXPECT_EQ(script.readAllStandardError(), QByteArray("pyth_mail: an unexpected failure: MemoryError\n"));
}
