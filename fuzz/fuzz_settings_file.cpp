// The settings file (output/model/Preferences): the bytes are the e-mail settings file
// in the resource folder. Whatever is read, the settings window can save it back (here
// with the SSL choice switched), and the saved file must read back with the values
// that were saved, as far as XML can hold their characters.

#include "FuzzSupport.h"
#include "SeedDesigns.h"

#include "core/Globals.h"
#include "output/model/Preferences.h"

#include <QDir>
#include <QFile>
#include <QDateTime>
#include <QTemporaryDir>
#include <QTimeZone>

#include <array>

namespace {

// The settings file lives in a folder of this process inside the resource folder, as
// the real one lives in the resource folder.
QString settingsPath() {
  static QTemporaryDir folder(QDir(Resource_Path).filePath(QStringLiteral("settings-XXXXXX")));
  if (!folder.isValid()) {
    std::fprintf(stderr, "no folder for the settings file: %s\n", qPrintable(folder.errorString()));
    std::abort();
  }
  return QDir(folder.path()).filePath(Preferences::FileName);
}

using Values = std::array<QString, 6>;

Values valuesOf(const Preferences &p) {
  return {p.send_email_enable_ssl(), p.send_email_Recipient(), p.send_email_SenderEmail(),
          p.send_email_Password(),   p.send_email_SMTP_server(), p.send_email_PORT_num()};
}

void setValues(Preferences &p, const Values &v) {
  p.setsend_email_enable_ssl(v[0]);
  p.setsend_email_Recipient(v[1]);
  p.setsend_email_SenderEmail(v[2]);
  p.setsend_email_Password(v[3]);
  p.setsend_email_SMTP_server(v[4]);
  p.setsend_email_PORT_num(v[5]);
}

void writeSeeds(const QString &folder) {
  const QString path = settingsPath();
  {
    Preferences p(path);
    setValues(p, {QStringLiteral("Y"), QStringLiteral("test@example.invalid"), QStringLiteral("me@example.invalid"),
                  QStringLiteral("pässwörd \"<&>\""), QStringLiteral("smtp.example.invalid"), QStringLiteral("587")});
    QString error;
    if (!p.flush(&error))
      fuzz::fail(QStringLiteral("the seed settings cannot be written"), error);
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    fuzz::fail(QStringLiteral("the seed settings cannot be read"), file.errorString());
  const QByteArray xml = file.readAll();
  fuzz::writeSeed(folder, QStringLiteral("settings.plist"), xml);
  if (const std::optional<PlistValue> dict = parsePropertyList(xml)) {
    fuzz::writeSeed(folder, QStringLiteral("settings.bplist"), toBinaryPropertyList(*dict));
    PlistValue extra = *dict;
    extra.insert(QStringLiteral("SendEmailPORT"), PlistValue(587));
    extra.insert(QStringLiteral("LastUsed"), PlistValue(QDateTime::fromSecsSinceEpoch(1700000000, QTimeZone::utc())));
    extra.insert(QStringLiteral("Recent"), PlistValue::array({PlistValue(QStringLiteral("a")), PlistValue(1.5)}));
    fuzz::writeSeed(folder, QStringLiteral("settings_other_types.plist"), toXmlPropertyList(extra));
  }
  PlistValue partial = PlistValue::dict();
  partial.insert(QStringLiteral("SendEnableSSL"), PlistValue(QStringLiteral("N")));
  fuzz::writeSeed(folder, QStringLiteral("settings_partial.plist"), toXmlPropertyList(partial));
  QFile::remove(path);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  fuzz::initialize(argc, argv, "fuzz_settings_file", writeSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QString path = settingsPath();
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size)) {
      std::fprintf(stderr, "the settings file %s cannot be written\n", qPrintable(path));
      std::abort();
    }
  }
  Values saved;
  {
    Preferences shown(path);
    saved = valuesOf(shown);
    // The settings window saves every field it shows; the person switched SSL.
    saved[0] = saved[0] == QLatin1String("Y") ? QStringLiteral("N") : QStringLiteral("Y");
    setValues(shown, saved);
    QString error;
    if (!shown.flush(&error))
      fuzz::fail(QStringLiteral("settings that were read cannot be saved"), error);
  }
  Preferences reread(path);
  if (!reread.loadedFromFile())
    fuzz::fail(QStringLiteral("the settings file the program saved does not read back"), reread.loadError());
  const Values after = valuesOf(reread);
  // The file is XML: characters XML cannot hold come back as U+FFFD.
  for (size_t i = 0; i < saved.size(); ++i)
    if (after[i] != fuzz::xmlSafe(saved[i]))
      fuzz::fail(QStringLiteral("a saved setting read back different"),
                 QStringLiteral("\"%1\" became \"%2\"").arg(saved[i], after[i]));
  return 0;
}
