#pragma once
// LibreOffice as the spreadsheet peer of the workbook tests: it converts the flat ODS
// fixtures of tests/data/spreadsheets to xlsx once for all tests (one call for every
// fixture), and converts our own workbooks to CSV. Each call uses a user profile folder
// of its own in a temporary folder, never the user's.
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

#include <cstdio>
#include <optional>

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

// Converts `inputs` with the filter `target` ("xlsx", "csv:...") into `outDir`; "" on
// success, else what went wrong.
inline QString convert(const QStringList &inputs, const QString &target, const QString &outDir) {
  const QString program = libreOffice();
  if (program.isEmpty())
    return missingMessage();
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  const QString profile = QUrl::fromLocalFile(runFolder().path() + QStringLiteral("/profile")).toString();
  process.start(program, QStringList{QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=") + profile,
                                     QStringLiteral("--convert-to"), target, QStringLiteral("--outdir"), outDir} +
                             inputs);
  if (!process.waitForFinished(120000)) {
    process.kill();
    process.waitForFinished();
    return QStringLiteral("LibreOffice did not finish converting within two minutes");
  }
  const QString output = QString::fromUtf8(process.readAll());
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
    return QStringLiteral("LibreOffice failed: ") + output;
  for (const QString &input : inputs) {
    const QString extension = target.section(QLatin1Char(':'), 0, 0);
    const QString converted = outDir + QLatin1Char('/') + QFileInfo(input).completeBaseName() + QLatin1Char('.') + extension;
    if (!QFileInfo::exists(converted))
      return QStringLiteral("LibreOffice wrote no %1: %2").arg(converted, output);
  }
  return QString();
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
