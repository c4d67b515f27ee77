#pragma once
// The stage of the mail tests: a main window session whose shipped resources hold the
// project's mail script, a throwaway certificate made with openssl that the script
// trusts through AMENDS_MAIL_CA_FILE, a private temporary folder (TMPDIR), and real SMTP
// servers (tests/output/smtp_server.py on aiosmtpd) in three modes.

#include "tests/mainwindow/main_window_fixture.h"

#include "output/MailScript.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>
#include <vector>

// One mail as the server received it, decoded from its MIME.
struct ReceivedMail {
  QString envelopeFrom;
  QStringList envelopeTo;
  QString from;
  QString to;
  QString subject;
  QString body;
  struct Attachment {
    QString fileName;
    QString contentType;
    QByteArray bytes;
  };
  std::vector<Attachment> attachments;
};

// A real SMTP server on 127.0.0.1 for the life of the object.
class SmtpTestServer {
public:
  // `mode`: "tls", "starttls" or "plain".
  SmtpTestServer(const QString &mode, const QString &certFile, const QString &keyFile, const QString &user,
                 const QString &password) {
    EXPECT_TRUE(m_out.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SMTP_TEST_USER"), user);
    env.insert(QStringLiteral("SMTP_TEST_PASSWORD"), password);
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral(AMENDS_SOURCE_DIR "/tests/output/smtp_server.py"), mode, m_out.path(), certFile,
                     keyFile});
    EXPECT_TRUE(m_process.waitForStarted(10000));
    QByteArray line;
    while (!line.contains('\n') && m_process.waitForReadyRead(15000))
      line += m_process.readAllStandardOutput();
    if (line.startsWith("PORT "))
      m_port = line.mid(5).trimmed().toInt();
    EXPECT_GT(m_port, 0) << "the SMTP server did not start: " << m_process.readAllStandardError().toStdString();
  }
  ~SmtpTestServer() {
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(5000)) {
      m_process.kill();
      m_process.waitForFinished(2000);
    }
  }
  QString port() const { return QString::number(m_port); }

  // The server's event lines ("ehlo tls=no", "auth <user> ok tls=yes", "mail 1" ...).
  QStringList events() const {
    QFile file(m_out.filePath(QStringLiteral("events.txt")));
    if (!file.open(QIODevice::ReadOnly))
      return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }
  QStringList authEvents() const { return events().filter(QRegularExpression(QStringLiteral("^auth "))); }

  // The mails received so far, in the order they arrived.
  std::vector<ReceivedMail> mails() const {
    std::vector<ReceivedMail> result;
    for (int n = 1;; ++n) {
      QFile file(m_out.filePath(QStringLiteral("mail-%1/summary.json").arg(n)));
      if (!file.open(QIODevice::ReadOnly))
        break;
      const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
      ReceivedMail mail;
      mail.envelopeFrom = o.value(QStringLiteral("mail_from")).toString();
      for (const QJsonValue &v : o.value(QStringLiteral("rcpt_tos")).toArray())
        mail.envelopeTo << v.toString();
      mail.from = o.value(QStringLiteral("from")).toString();
      mail.to = o.value(QStringLiteral("to")).toString();
      mail.subject = o.value(QStringLiteral("subject")).toString();
      mail.body = o.value(QStringLiteral("body")).toString();
      for (const QJsonValue &v : o.value(QStringLiteral("attachments")).toArray()) {
        const QJsonArray a = v.toArray();
        QFile saved(a.at(2).toString());
        ReceivedMail::Attachment attachment{a.at(0).toString(), a.at(1).toString(), {}};
        if (saved.open(QIODevice::ReadOnly))
          attachment.bytes = saved.readAll();
        mail.attachments.push_back(attachment);
      }
      result.push_back(mail);
    }
    return result;
  }

private:
  QTemporaryDir m_out;
  QProcess m_process;
  int m_port = 0;
};

class MailTest : public MainWindowTest {
protected:
  static constexpr const char *User = "sender@example.org";

  static void SetUpTestSuite() {
    // One certificate for the whole suite: a self-signed one for 127.0.0.1 and localhost.
    s_certDir = new QTemporaryDir;
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                   QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"),
                   QStringLiteral("-nodes"), QStringLiteral("-keyout"), s_certDir->filePath(QStringLiteral("key.pem")),
                   QStringLiteral("-out"), s_certDir->filePath(QStringLiteral("cert.pem")), QStringLiteral("-days"),
                   QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=localhost"),
                   QStringLiteral("-addext"), QStringLiteral("subjectAltName=DNS:localhost,IP:127.0.0.1")});
    openssl.waitForFinished(60000);
  }
  static void TearDownTestSuite() {
    delete s_certDir;
    s_certDir = nullptr;
  }

  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(QFile::exists(certFile())) << "openssl made no certificate";
    // The program runs the script of its shipped resources.
    ASSERT_TRUE(QFile::copy(QStringLiteral(AMENDS_SOURCE_DIR "/resources/pyth_mail.py"),
                            shippedDir() + QStringLiteral("/pyth_mail.py")));
    caEnv.emplace(MailScript::CaFileVariable, certFile());
    ASSERT_TRUE(tmp.isValid());
    tmpEnv.emplace("TMPDIR", tmp.path());
  }

  static QString certFile() { return s_certDir->filePath(QStringLiteral("cert.pem")); }
  static QString keyFile() { return s_certDir->filePath(QStringLiteral("key.pem")); }

  std::unique_ptr<SmtpTestServer> startServer(const QString &mode, const QString &password) {
    return std::make_unique<SmtpTestServer>(mode, certFile(), keyFile(), QString::fromLatin1(User), password);
  }

  // Replaces the shipped script with `source` (a Python program).
  void shipScript(const QByteArray &source) {
    QFile file(shippedDir() + QStringLiteral("/pyth_mail.py"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(source);
  }

  static inline QTemporaryDir *s_certDir = nullptr;
  QTemporaryDir tmp;
  std::optional<ScopedEnvironment> caEnv;
  std::optional<ScopedEnvironment> tmpEnv;
};
