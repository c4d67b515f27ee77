#include "output/model/Preferences.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>

const QString send_email_Enable_SSLkey = QStringLiteral("SendEnableSSL");
const QString send_email_RecipientKey = QStringLiteral("SendEmailRecipient");
const QString send_email_SenderEmailKey = QStringLiteral("SendEmailSender");
const QString send_email_PasswordKey = QStringLiteral("SendEmailPwd");
const QString send_email_SMTP_serverKey = QStringLiteral("SendEmailSMTP");
const QString send_email_PORT_numKey = QStringLiteral("SendEmailPORT");

const QString Preferences::FileName = QStringLiteral("org.amends.Amends.plist");

namespace {

void setSettingsError(QString *error, const QString &text) {
  if (error)
    *error = text;
}

}  // namespace

std::unique_ptr<Preferences> Preferences::sharedInstance() {
  return std::make_unique<Preferences>(settingsFilePath());
}

QString Preferences::settingsFilePath() {
  const QString folder = Resource_Path.isEmpty() ? Paths::resourceFolder() : Resource_Path;
  return joinPath(folder, FileName);
}

bool Preferences::removeSettingsFile(QString *error) {
  const QString path = settingsFilePath();
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink())
    return true;
  QFile file(path);
  if (!file.remove()) {
    setSettingsError(error, QStringLiteral("\"%1\" cannot be deleted: %2").arg(path, file.errorString()));
    return false;
  }
  return true;
}

Preferences::Preferences(const QString &path) : mPreferencesPath(path) { load(); }

Preferences::~Preferences() {
  if (!m_dirty)
    return;
  QString error;
  if (!flush(&error))
    Show_NSLog_Message(error);
}

void Preferences::load() {
  const QFileInfo info(mPreferencesPath);
  QString why;
  if (!info.exists()) {
    // No file yet: empty settings, nothing to report.
  } else if (!info.isFile()) {
    why = QStringLiteral("\"%1\" is not a file.").arg(mPreferencesPath);
  } else if (info.size() > MaxFileBytes) {
    why = QStringLiteral("\"%1\" is too large to be a settings file.").arg(mPreferencesPath);
  } else {
    QFile file(mPreferencesPath);
    if (!file.open(QIODevice::ReadOnly)) {
      why = QStringLiteral("\"%1\" cannot be read: %2").arg(mPreferencesPath, file.errorString());
    } else {
      // The size may have changed since it was checked: read no more than the limit.
      const QByteArray bytes = file.read(MaxFileBytes + 1);
      QString parseError;
      std::optional<PlistValue> value;
      if (bytes.size() > MaxFileBytes)
        why = QStringLiteral("\"%1\" is too large to be a settings file.").arg(mPreferencesPath);
      else if (bytes.isEmpty())
        why = QStringLiteral("\"%1\" is empty.").arg(mPreferencesPath);
      else if (!(value = parsePropertyList(bytes, &parseError)))
        why = QStringLiteral("\"%1\" is not a property list: %2").arg(mPreferencesPath, parseError);
      else if (!value->isDict())
        why = QStringLiteral("\"%1\" does not hold a dictionary.").arg(mPreferencesPath);
      else {
        mDict = std::move(*value);
        m_loaded = true;
        return;
      }
    }
  }
  // Missing or unusable: empty settings. The file itself is left alone until a flush,
  // so a damaged file is not replaced just by being looked at.
  m_loadError = why;
  if (!why.isEmpty())
    Show_NSLog_Message(why);
  mDict = PlistValue::dict();
  setDefaults();
  m_dirty = false;
}

QString Preferences::stringFor(const QString &key) const {
  const PlistValue &value = mDict.value(key);
  return value.isString() ? value.toString() : QStringLiteral("");
}

void Preferences::setString(const QString &key, const QString &value) {
  // A null string is stored as "" so the file always holds text under the key.
  mDict.insert(key, PlistValue(value.isNull() ? QStringLiteral("") : value));
  m_dirty = true;
}

void Preferences::setDefaults() {
  setsend_email_Recipient(QStringLiteral(""));
  setsend_email_SenderEmail(QStringLiteral(""));
  setsend_email_Password(QStringLiteral(""));
  setsend_email_SMTP_server(QStringLiteral(""));
  setsend_email_PORT_num(QStringLiteral(""));
}

bool Preferences::flush(QString *error) {
  const QByteArray bytes = toXmlPropertyList(mDict);
  if (bytes.isEmpty()) {
    setSettingsError(error, QStringLiteral("The settings cannot be written as a property list."));
    return false;
  }
  if (!Paths::writeSecretFile(mPreferencesPath, bytes, error))
    return false;
  m_dirty = false;
  return true;
}
