// The e-mail settings file: written as a property list another reader understands,
// with mode 0600 and whole or not at all; read back by a fresh object; reset; and a
// damaged or hostile file read as empty settings without being overwritten.

#include "output/model/Preferences.h"

#include "core/Globals.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonArray>
#include <QJsonObject>
#include <QDateTime>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

// Points Resource_Path at a temporary folder for one test.
class PreferencesTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    m_previous = Resource_Path;
    Resource_Path = m_dir.path();
  }
  void TearDown() override { Resource_Path = m_previous; }

  QString settingsPath() const { return m_dir.filePath(QStringLiteral("org.amends.Amends.plist")); }

  static QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  static void writeRaw(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
  }
  static unsigned modeOf(const QString &path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
      return 0xffff;
    return unsigned(st.st_mode & 07777);
  }

  // The settings file as python's plistlib reads it, as a JSON object.
  static QJsonObject readWithPlistlib(const QString &path) {
    const QByteArray out = runPython(QStringLiteral(
        "import json, plistlib, sys\n"
        "with open(sys.argv[1], 'rb') as f:\n"
        "    d = plistlib.load(f)\n"
        "assert isinstance(d, dict)\n"
        "sys.stdout.write(json.dumps(d))\n"), {path});
    return QJsonDocument::fromJson(out).object();
  }

  QTemporaryDir m_dir;
  QString m_previous;
};

}  // namespace

TEST_F(PreferencesTest, SavedSettingsAreReadByPlistlibAndByTheNextReader) {
  EXPECT_EQ(Preferences::settingsFilePath(), settingsPath());
  {
    auto prefs = Preferences::sharedInstance();
    // First start: no file, empty settings, and looking creates nothing.
    EXPECT_FALSE(prefs->loadedFromFile());
    EXPECT_TRUE(prefs->loadError().isEmpty());
    EXPECT_EQ(prefs->send_email_SenderEmail(), QString(""));
    EXPECT_FALSE(prefs->send_email_SenderEmail().isNull());
    EXPECT_EQ(prefs->send_email_enable_ssl(), QString(""));
    EXPECT_FALSE(prefs->hasUnsavedChanges());
  }
  EXPECT_FALSE(QFileInfo::exists(settingsPath()));

  const QString password = QStringLiteral("p<a>ss&\"w\u00f6rd\u2764 ");
  {
    auto prefs = Preferences::sharedInstance();
    prefs->setsend_email_Recipient(QStringLiteral("to@example.org"));
    prefs->setsend_email_SenderEmail(QStringLiteral("Me@Example.org"));
    prefs->setsend_email_Password(password);
    prefs->setsend_email_SMTP_server(QStringLiteral("smtp.example.org"));
    prefs->setsend_email_PORT_num(QStringLiteral("465"));
    prefs->setsend_email_enable_ssl(QStringLiteral("Y"));
    QString error;
    ASSERT_TRUE(prefs->flush(&error)) << error.toStdString();
    EXPECT_FALSE(prefs->hasUnsavedChanges());
  }
  EXPECT_EQ(modeOf(settingsPath()), 0600u);

  const QJsonObject dict = readWithPlistlib(settingsPath());
  EXPECT_EQ(dict.size(), 6);
  EXPECT_EQ(dict.value("SendEmailRecipient").toString(), QStringLiteral("to@example.org"));
  EXPECT_EQ(dict.value("SendEmailSender").toString(), QStringLiteral("Me@Example.org"));
  EXPECT_EQ(dict.value("SendEmailPwd").toString(), password);
  EXPECT_EQ(dict.value("SendEmailSMTP").toString(), QStringLiteral("smtp.example.org"));
  EXPECT_EQ(dict.value("SendEmailPORT").toString(), QStringLiteral("465"));
  EXPECT_EQ(dict.value("SendEnableSSL").toString(), QStringLiteral("Y"));

  auto again = Preferences::sharedInstance();
  EXPECT_TRUE(again->loadedFromFile());
  EXPECT_EQ(again->send_email_Recipient(), QStringLiteral("to@example.org"));
  EXPECT_EQ(again->send_email_SenderEmail(), QStringLiteral("Me@Example.org"));
  EXPECT_EQ(again->send_email_Password(), password);
  EXPECT_EQ(again->send_email_SMTP_server(), QStringLiteral("smtp.example.org"));
  EXPECT_EQ(again->send_email_PORT_num(), QStringLiteral("465"));
  EXPECT_EQ(again->send_email_enable_ssl(), QStringLiteral("Y"));
}

TEST_F(PreferencesTest, RewritingAnOpenFileLeavesOnlyTheOwnerAccess) {
  // A file another program wrote, readable by everyone, in the binary form.
  runPython(QStringLiteral(
      "import plistlib, sys\n"
      "with open(sys.argv[1], 'wb') as f:\n"
      "    plistlib.dump({'SendEmailSender': 'a@b.cd', 'SendEmailPwd': 'old', 'Other': [1, 2]},"
      " f, fmt=plistlib.FMT_BINARY)\n"), {settingsPath()});
  ASSERT_TRUE(QFile::setPermissions(settingsPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ReadGroup | QFileDevice::ReadOther));

  auto prefs = Preferences::sharedInstance();
  ASSERT_TRUE(prefs->loadedFromFile());
  EXPECT_EQ(prefs->send_email_SenderEmail(), QStringLiteral("a@b.cd"));
  EXPECT_EQ(prefs->send_email_Password(), QStringLiteral("old"));
  EXPECT_EQ(prefs->send_email_SMTP_server(), QString(""));  // absent key
  prefs->setsend_email_Password(QStringLiteral("new"));
  ASSERT_TRUE(prefs->flush());
  EXPECT_EQ(modeOf(settingsPath()), 0600u);

  // Keys this program does not know survive the rewrite.
  const QJsonObject dict = readWithPlistlib(settingsPath());
  EXPECT_EQ(dict.value("SendEmailPwd").toString(), QStringLiteral("new"));
  EXPECT_EQ(dict.value("SendEmailSender").toString(), QStringLiteral("a@b.cd"));
  EXPECT_EQ(dict.value("Other").toArray().size(), 2);
}

TEST_F(PreferencesTest, ResetClearsTheAccountAndDeletesTheFile) {
  {
    auto prefs = Preferences::sharedInstance();
    prefs->setsend_email_Recipient(QStringLiteral("to@example.org"));
    prefs->setsend_email_SenderEmail(QStringLiteral("me@example.org"));
    prefs->setsend_email_Password(QStringLiteral("secret"));
    prefs->setsend_email_SMTP_server(QStringLiteral("smtp.example.org"));
    prefs->setsend_email_PORT_num(QStringLiteral("587"));
    prefs->setsend_email_enable_ssl(QStringLiteral("N"));
    ASSERT_TRUE(prefs->flush());
  }
  {
    // setDefaults empties the five account values but keeps the SSL choice.
    auto prefs = Preferences::sharedInstance();
    prefs->setDefaults();
    EXPECT_TRUE(prefs->hasUnsavedChanges());
    ASSERT_TRUE(prefs->flush());
    const QJsonObject dict = readWithPlistlib(settingsPath());
    for (const char *key : {"SendEmailRecipient", "SendEmailSender", "SendEmailPwd", "SendEmailSMTP",
                            "SendEmailPORT"})
      EXPECT_EQ(dict.value(key).toString(QStringLiteral("missing")), QString("")) << key;
    EXPECT_EQ(dict.value("SendEnableSSL").toString(), QStringLiteral("N"));
  }

  // The settings window's Reset deletes the file; the next reader starts empty.
  QString error;
  ASSERT_TRUE(Preferences::removeSettingsFile(&error)) << error.toStdString();
  EXPECT_FALSE(QFileInfo::exists(settingsPath()));
  EXPECT_TRUE(Preferences::removeSettingsFile());  // nothing left to delete is no failure
  auto prefs = Preferences::sharedInstance();
  EXPECT_FALSE(prefs->loadedFromFile());
  EXPECT_EQ(prefs->send_email_enable_ssl(), QString(""));
  EXPECT_EQ(prefs->send_email_Password(), QString(""));
}

TEST_F(PreferencesTest, UnsavedChangesAreWrittenWhenTheObjectGoesAway) {
  {
    auto prefs = Preferences::sharedInstance();
    prefs->setsend_email_SMTP_server(QStringLiteral("smtp.example.org"));
  }
  EXPECT_EQ(modeOf(settingsPath()), 0600u);
  EXPECT_EQ(Preferences::sharedInstance()->send_email_SMTP_server(), QStringLiteral("smtp.example.org"));

  // An object that was only read writes nothing: the file keeps its bytes and time.
  const QByteArray before = readAll(settingsPath());
  ASSERT_TRUE(QFile::remove(settingsPath()));
  writeRaw(settingsPath(), before);
  const QDateTime stamp = QFileInfo(settingsPath()).lastModified();
  { auto prefs = Preferences::sharedInstance(); }
  EXPECT_EQ(readAll(settingsPath()), before);
  EXPECT_EQ(QFileInfo(settingsPath()).lastModified(), stamp);
}

TEST_F(PreferencesTest, DamagedOrHostileFilesReadAsEmptyAndStayUntilSaved) {
  struct Case {
    const char *name;
    QByteArray bytes;
  };
  const QByteArray xmlHead =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">";
  const std::vector<Case> cases = {
      {"empty", QByteArray()},
      {"garbage", QByteArray("\x00\x01not a plist at all\xff\xfe", 22)},
      {"truncated xml", xmlHead + "<dict><key>SendEmailPwd</key><string>sec"},
      {"truncated binary", QByteArray("bplist00\xd1\x01\x02", 11)},
      {"array root", xmlHead + "<array><string>SendEmailPwd</string></array></plist>"},
      {"string root", xmlHead + "<string>hello</string></plist>"},
      {"too large", QByteArray(Preferences::MaxFileBytes + 10, ' ')},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    writeRaw(settingsPath(), c.bytes);
    {
      ScopedLogCapture log;
      auto prefs = Preferences::sharedInstance();
      EXPECT_FALSE(prefs->loadedFromFile());
      EXPECT_FALSE(prefs->loadError().isEmpty());
      EXPECT_EQ(prefs->send_email_Password(), QString(""));
      EXPECT_EQ(prefs->send_email_enable_ssl(), QString(""));
      EXPECT_FALSE(prefs->hasUnsavedChanges());
      EXPECT_FALSE(log.lines().isEmpty());
    }
    // Only looked at: the file is left exactly as it was.
    EXPECT_EQ(readAll(settingsPath()), c.bytes);
  }

  // A folder where the file should be reads as empty settings too.
  ASSERT_TRUE(QFile::remove(settingsPath()));
  ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("org.amends.Amends.plist")));
  {
    auto prefs = Preferences::sharedInstance();
    EXPECT_FALSE(prefs->loadedFromFile());
    EXPECT_FALSE(prefs->loadError().isEmpty());
    // ...and a save that cannot replace it says so instead of claiming success.
    prefs->setsend_email_Password(QStringLiteral("x"));
    QString error;
    EXPECT_FALSE(prefs->flush(&error));
    EXPECT_FALSE(error.isEmpty());
    ScopedLogCapture log;  // the failed write at destruction is logged, not hidden
    prefs.reset();
    EXPECT_FALSE(log.lines().isEmpty());
  }
  ASSERT_TRUE(QDir(m_dir.path()).rmdir(QStringLiteral("org.amends.Amends.plist")));

  // Values of another type read as "", the other keys as they are; saving replaces
  // the damaged file with a good one.
  writeRaw(settingsPath(), xmlHead + "<dict><key>SendEmailPORT</key><integer>25</integer>"
                                     "<key>SendEmailSMTP</key><string>smtp.example.org</string>"
                                     "<key>SendEmailPwd</key><dict/></dict></plist>");
  auto prefs = Preferences::sharedInstance();
  EXPECT_TRUE(prefs->loadedFromFile());
  EXPECT_EQ(prefs->send_email_PORT_num(), QString(""));
  EXPECT_EQ(prefs->send_email_Password(), QString(""));
  EXPECT_EQ(prefs->send_email_SMTP_server(), QStringLiteral("smtp.example.org"));
  prefs->setsend_email_PORT_num(QStringLiteral("25"));
  prefs->setsend_email_Password(QStringLiteral("pw"));
  ASSERT_TRUE(prefs->flush());
  const QJsonObject dict = readWithPlistlib(settingsPath());
  EXPECT_EQ(dict.value("SendEmailPORT").toString(), QStringLiteral("25"));
  EXPECT_EQ(dict.value("SendEmailPwd").toString(), QStringLiteral("pw"));
}

TEST_F(PreferencesTest, AFailedWriteIsReportedNotHidden) {
  // A settings object whose folder is gone cannot write and says so; its unsaved
  // change is tried once more when it goes away, and that failure is logged.
  const QString missing = m_dir.filePath(QStringLiteral("gone/org.amends.Amends.plist"));
  ScopedLogCapture log;
  {
    Preferences elsewhere(missing);
    elsewhere.setsend_email_Password(QStringLiteral("lost"));
    QString error;
    EXPECT_FALSE(elsewhere.flush(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(elsewhere.hasUnsavedChanges());
  }
  EXPECT_EQ(log.lines().size(), 1);
  EXPECT_FALSE(QFileInfo::exists(missing));
}
