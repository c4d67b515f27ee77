#pragma once
// Preferences: the settings file of e-mail sending. It keeps the sender address, the
// password, the SMTP server, the port, the SSL choice and a recipient for test mails as
// a property list (a dictionary of strings) in the resource folder, named
// "org.amends.Amends.plist".
//
// Every reader takes a fresh object (sharedInstance), which reads the file again, so a
// value saved by the settings window is seen by the next reader; objects already handed
// out keep what they read. Setters change the object only; nothing reaches the file
// until flush().
//
// The file holds the mail password, so it is written with mode 0600 and whole or not at
// all. A file that is missing, unreadable, damaged or not a dictionary reads as empty
// settings and is left as it is until the user saves. A value of another type than
// text reads as "".
//
// Main thread only.

#include "platform/PropertyList.h"

#include <QString>

#include <memory>

// Keys of the settings file.
extern const QString send_email_Enable_SSLkey;   // "SendEnableSSL": "Y" or "N"
extern const QString send_email_RecipientKey;    // "SendEmailRecipient"
extern const QString send_email_SenderEmailKey;  // "SendEmailSender"
extern const QString send_email_PasswordKey;     // "SendEmailPwd"
extern const QString send_email_SMTP_serverKey;  // "SendEmailSMTP"
extern const QString send_email_PORT_numKey;     // "SendEmailPORT"

class Preferences {
public:
  // The file's name in the resource folder: the application's reverse-DNS identifier.
  static const QString FileName;  // "org.amends.Amends.plist"
  // Files larger than this are not read (the real file holds six short strings).
  static constexpr qint64 MaxFileBytes = 1024 * 1024;

  // A new object that has read the settings file of the resource folder.
  static std::unique_ptr<Preferences> sharedInstance();
  // The settings file's path: the resource folder (Resource_Path, or the platform's
  // resource folder while that is not set yet) joined with FileName.
  static QString settingsFilePath();
  // Deletes the settings file (the settings window's Reset). True when no file is left.
  static bool removeSettingsFile(QString *error = nullptr);

  // Reads the file at `path`; see the class comment for what a bad file gives.
  explicit Preferences(const QString &path);
  // Writes unsaved changes (made with the setters or setDefaults and not yet flushed).
  ~Preferences();

  Preferences(const Preferences &) = delete;
  Preferences &operator=(const Preferences &) = delete;

  QString path() const { return mPreferencesPath; }
  // Whether the file was read as a settings dictionary (false for a missing or bad file).
  bool loadedFromFile() const { return m_loaded; }
  // Why the file could not be read ("" when it was read, or when there was no file).
  QString loadError() const { return m_loadError; }

  // The values; "" when unset.
  QString send_email_enable_ssl() const { return stringFor(send_email_Enable_SSLkey); }
  void setsend_email_enable_ssl(const QString &value) { setString(send_email_Enable_SSLkey, value); }
  QString send_email_Recipient() const { return stringFor(send_email_RecipientKey); }
  void setsend_email_Recipient(const QString &value) { setString(send_email_RecipientKey, value); }
  QString send_email_SenderEmail() const { return stringFor(send_email_SenderEmailKey); }
  void setsend_email_SenderEmail(const QString &value) { setString(send_email_SenderEmailKey, value); }
  QString send_email_Password() const { return stringFor(send_email_PasswordKey); }
  void setsend_email_Password(const QString &value) { setString(send_email_PasswordKey, value); }
  QString send_email_SMTP_server() const { return stringFor(send_email_SMTP_serverKey); }
  void setsend_email_SMTP_server(const QString &value) { setString(send_email_SMTP_serverKey, value); }
  QString send_email_PORT_num() const { return stringFor(send_email_PORT_numKey); }
  void setsend_email_PORT_num(const QString &value) { setString(send_email_PORT_numKey, value); }

  // Sets the recipient, sender, password, SMTP server and port to "" (not the SSL choice).
  void setDefaults();

  // Writes the settings to the file as an XML property list with mode 0600, whole or
  // not at all. Returns false with a message in `error` when it cannot be written; the
  // file then stays as it was.
  bool flush(QString *error = nullptr);

  // Whether there are changes not yet written by flush().
  bool hasUnsavedChanges() const { return m_dirty; }

private:
  QString stringFor(const QString &key) const;
  void setString(const QString &key, const QString &value);
  void load();

  QString mPreferencesPath;
  PlistValue mDict = PlistValue::dict();
  bool m_loaded = false;
  bool m_dirty = false;
  QString m_loadError;
};
