#pragma once
// LibreOffice as the spreadsheet peer of the workbook tests: it converts the flat ODS
// fixtures of tests/data/spreadsheets to xlsx once for all tests (one call for every
// fixture), and converts our own workbooks to CSV. The calls use a user profile folder in
// a temporary folder, never the user's, and run one at a time across the test processes.
//
// A missing LibreOffice fails the test with a message naming the package.

#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace spreadsheet_peers {

inline QString libreOffice() {
  for (const char *name : {"/usr/bin/libreoffice", "/usr/bin/soffice"})
    if (QFileInfo(QString::fromLatin1(name)).isExecutable())
      return QString::fromLatin1(name);
  return QString();
}

inline const QString &missingMessage() {
  static const QString message = QStringLiteral(
      "LibreOffice is not installed: the workbook peer tests need libreoffice-calc-nogui "
      "(bash scripts/deps.sh test installs it)");
  return message;
}

// A temporary folder that lives for the whole run (the profile and the converted files).
inline QTemporaryDir &runFolder() {
  static QTemporaryDir folder;
  return folder;
}

// One LibreOffice at a time across the test processes of a build: several starting at
// once under load have been seen to end at once ("Unspecified Application Error"). The
// lock is an flock on a file in the build tree's test cache, so it goes with a process
// that dies; it is taken once per process however deeply the calls nest.
class PeerLock {
 public:
  PeerLock() {
    if (depth++ > 0)
      return;
    const QString cache = QStringLiteral(AMENDS_TEST_CACHE_DIR);
    QDir().mkpath(cache);
    fd = ::open(QFile::encodeName(cache + QStringLiteral("/libreoffice.lock")).constData(),
                O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0)
      while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
      }
  }
  ~PeerLock() {
    if (--depth > 0 || fd < 0)
      return;
    ::close(fd);  // releases the lock
    fd = -1;
  }
  PeerLock(const PeerLock &) = delete;
  PeerLock &operator=(const PeerLock &) = delete;

 private:
  static inline int depth = 0;
  static inline int fd = -1;
};

// Converts `inputs` with the filter `target` ("xlsx", "csv:...") into `outDir`; "" on
// success, else what went wrong with LibreOffice's output. `program` is LibreOffice
// unless a test names a stand-in. The calls of a process share one user profile; a run
// that ends with a failure or a crash, or writes nothing, is tried again, up to
// `attempts` times, each time with a fresh profile: a start can fail once for reasons of
// the moment (a profile left half made among them). A run that does not end within two
// minutes is not tried again.
inline QString convert(const QStringList &inputs, const QString &target, const QString &outDir,
                       const QString &program = libreOffice(), int attempts = 3) {
  if (program.isEmpty())
    return missingMessage();
  const PeerLock lock;
  static int profileNumber = 1;
  QString failures;
  for (int attempt = 1; attempt <= attempts; ++attempt) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QString profile =
        QUrl::fromLocalFile(runFolder().path() + QStringLiteral("/profile%1").arg(profileNumber)).toString();
    process.start(program, QStringList{QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=") + profile,
                                       QStringLiteral("--convert-to"), target, QStringLiteral("--outdir"), outDir} +
                               inputs);
    if (!process.waitForFinished(120000)) {
      process.kill();
      process.waitForFinished();
      return failures + QStringLiteral("LibreOffice did not finish converting within two minutes");
    }
    const QString output = QString::fromUtf8(process.readAll());
    QString failure;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
      failure = QStringLiteral("LibreOffice failed (exit code %1): ").arg(process.exitCode()) + output;
    for (qsizetype i = 0; failure.isEmpty() && i < inputs.size(); ++i) {
      const QString extension = target.section(QLatin1Char(':'), 0, 0);
      const QString converted =
          outDir + QLatin1Char('/') + QFileInfo(inputs.at(i)).completeBaseName() + QLatin1Char('.') + extension;
      if (!QFileInfo::exists(converted))
        failure = QStringLiteral("LibreOffice wrote no %1: %2").arg(converted, output);
    }
    if (failure.isEmpty())
      return QString();
    ++profileNumber;
    failures += QStringLiteral("attempt %1 of %2: %3\n").arg(attempt).arg(attempts).arg(failure);
  }
  return failures;
}

// The folder holding <fixture>.xlsx for every tests/data/spreadsheets/<fixture>.fods,
// converted on first use; fails the calling test (and answers "") when that fails.
// Every test runs in a process of its own, so the conversion is kept in the build tree
// (AMENDS_TEST_CACHE_DIR) under a name made from the fixtures and the LibreOffice
// installed: it is made once, by the first test that needs it, and again only when one of
// them changes. It is written into a folder of its own and then renamed into place, so a
// test running beside the one converting never sees half of it.
inline QString convertedFixtures() {
  static QString folder;
  static QString failure;
  static bool done = false;
  if (!done) {
    done = true;
    QStringList inputs;
    const QDir source(testDataPath(QStringLiteral("spreadsheets")));
    for (const QString &name : source.entryList(QStringList{QStringLiteral("*.fods")}, QDir::Files, QDir::Name))
      inputs.append(source.filePath(name));
    const QString program = libreOffice();
    if (inputs.isEmpty())
      failure = QStringLiteral("no fixtures in tests/data/spreadsheets");
    else if (program.isEmpty())
      failure = missingMessage();
    if (failure.isEmpty()) {
      QCryptographicHash hash(QCryptographicHash::Sha1);
      hash.addData(QFileInfo(program).canonicalFilePath().toUtf8());
      hash.addData(QFileInfo(program).lastModified().toString(Qt::ISODateWithMs).toUtf8());
      for (const QString &input : inputs) {
        QFile file(input);
        if (!file.open(QIODevice::ReadOnly)) {
          failure = QStringLiteral("cannot read ") + input;
          break;
        }
        hash.addData(QFileInfo(input).fileName().toUtf8());
        hash.addData(file.readAll());
      }
      const QString cache = QStringLiteral(AMENDS_TEST_CACHE_DIR);
      const QString kept = cache + QStringLiteral("/fixtures-") + QString::fromLatin1(hash.result().toHex().left(16));
      // Another test process may be converting them now: the lock makes this one wait
      // for it, and then find its folder.
      const PeerLock lock;
      if (failure.isEmpty() && !QFileInfo(kept).isDir()) {
        QDir().mkpath(cache);
        QTemporaryDir staging(cache + QStringLiteral("/converting-XXXXXX"));
        failure = staging.isValid() ? convert(inputs, QStringLiteral("xlsx"), staging.path())
                                    : QStringLiteral("cannot make a folder in ") + cache;
        // Another test may have put its conversion in place first: that one is kept.
        if (failure.isEmpty() && std::rename(QFile::encodeName(staging.path()).constData(),
                                             QFile::encodeName(kept).constData()) == 0)
          staging.setAutoRemove(false);
      }
      if (failure.isEmpty() && !QFileInfo(kept).isDir())
        failure = QStringLiteral("the converted fixtures could not be kept in ") + kept;
      if (failure.isEmpty())
        folder = kept;
    }
  }
  if (!failure.isEmpty())
    ADD_FAILURE() << failure.toStdString();
  return folder;
}

// Each workbook's first sheet as CSV (UTF-8, comma-separated, text quoted when needed),
// in one LibreOffice call; the CSV texts in the order of `workbooks`, or nothing (and the
// test fails) when the conversion fails.
inline std::optional<QList<QByteArray>> asCsv(const QStringList &workbooks) {
  static int calls = 0;
  const QString out = runFolder().path() + QStringLiteral("/csv%1").arg(++calls);
  QDir().mkpath(out);
  const QString failure = convert(workbooks, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"), out);
  if (!failure.isEmpty()) {
    ADD_FAILURE() << failure.toStdString();
    return std::nullopt;
  }
  QList<QByteArray> texts;
  for (const QString &workbook : workbooks) {
    QFile file(out + QLatin1Char('/') + QFileInfo(workbook).completeBaseName() + QStringLiteral(".csv"));
    if (!file.open(QIODevice::ReadOnly)) {
      ADD_FAILURE() << "no CSV for " << workbook.toStdString();
      return std::nullopt;
    }
    texts.append(file.readAll());
  }
  return texts;
}

// The records of a CSV text, each a list of fields ("" quoted, doubled quotes inside).
inline QList<QStringList> parseCsv(const QByteArray &bytes) {
  const QString text = QString::fromUtf8(bytes);
  QList<QStringList> records;
  QStringList record;
  QString field;
  bool quoted = false;
  bool any = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    any = true;
    if (quoted) {
      if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
        field.append(u'"');
        ++i;
      } else if (c == u'"') {
        quoted = false;
      } else {
        field.append(c);
      }
    } else if (c == u'"') {
      quoted = true;
    } else if (c == u',') {
      record.append(field);
      field.clear();
    } else if (c == u'\n' || c == u'\r') {
      if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
        ++i;
      record.append(field);
      records.append(record);
      record.clear();
      field.clear();
      any = false;
    } else {
      field.append(c);
    }
  }
  if (any) {
    record.append(field);
    records.append(record);
  }
  return records;
}

}  // namespace spreadsheet_peers
