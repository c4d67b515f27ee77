#include "platform/Paths.h"

#include "platform/Log.h"
#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <thread>
#include <utility>
#include <vector>

namespace Paths {

namespace {

void setError(QString *error, const QString &text) {
  if (error)
    *error = text;
}

// Why `folder` could not be made: looks at its nearest existing ancestor.
QString whyNotMade(const QString &folder) {
  QFileInfo probe(folder);
  while (!probe.exists() && !probe.isSymLink()) {
    const QString parent = probe.absolutePath();
    if (parent == probe.absoluteFilePath())
      break;
    probe = QFileInfo(parent);
  }
  if (probe.exists() && !probe.isDir())
    return QStringLiteral("\"%1\" is a file, not a folder").arg(probe.absoluteFilePath());
  if (probe.isDir() && !probe.isWritable())
    return QStringLiteral("there is no permission to write in \"%1\"").arg(probe.absoluteFilePath());
  return QStringLiteral("the system refused to make it");
}

// Copies `from` to `to` whole: a copy cut short (a full disk) is removed, never left
// looking like the file, so the next start copies it again.
bool copyFile(const QString &from, const QString &to, QString *error) {
  QFile in(from);
  if (!in.open(QIODevice::ReadOnly)) {
    setError(error, QStringLiteral("\"%1\" cannot be read: %2").arg(from, in.errorString()));
    return false;
  }
  WholeFile out(to);
  if (!out.open()) {
    setError(error, QStringLiteral("\"%1\" cannot be written: %2").arg(to, out.reason()));
    return false;
  }
  QByteArray chunk;
  while (!(chunk = in.read(1 << 16)).isEmpty()) {
    if (!out.write(chunk)) {
      setError(error, QStringLiteral("\"%1\" cannot be written: %2").arg(to, out.reason()));
      return false;
    }
  }
  if (in.error() != QFileDevice::NoError) {
    out.cancel();
    setError(error, QStringLiteral("\"%1\" cannot be read: %2").arg(from, in.errorString()));
    return false;
  }
  if (!out.commit()) {
    setError(error, QStringLiteral("\"%1\" cannot be written: %2").arg(to, out.reason()));
    return false;
  }
  return true;
}

// Copies each file to its destination, on a few threads: every copy ends with its file
// synced to disk, and the disk takes several syncs at once in about the time of one (the
// first start copies some sixty files). The first failure in the list's order is
// reported; the copies not yet begun by then are not made, and a cut-short copy is never
// left behind, so the next start copies what is missing.
bool copyFiles(const std::vector<std::pair<QString, QString>> &copies, QString *error) {
  std::vector<QString> failures(copies.size());
  std::atomic<size_t> next{0};
  std::atomic<bool> failed{false};
  const auto copyNext = [&] {
    while (!failed.load()) {
      const size_t index = next.fetch_add(1);
      if (index >= copies.size())
        return;
      QString why;
      if (!copyFile(copies[index].first, copies[index].second, &why)) {
        failures[index] = why.isEmpty() ? QStringLiteral("unknown failure") : why;
        failed = true;
      }
    }
  };
  const size_t threads = std::min<size_t>(copies.size(), 8);
  std::vector<std::thread> helpers;
  for (size_t count = 1; count < threads; ++count)
    helpers.emplace_back(copyNext);
  copyNext();
  for (std::thread &helper : helpers)
    helper.join();
  for (const QString &why : failures) {
    if (!why.isEmpty()) {
      setError(error, QStringLiteral("The shipped resources cannot be copied into the resource folder: %1.").arg(why));
      return false;
    }
  }
  return true;
}

struct Seeding {
  QString sourceRoot;  // canonical
  QString targetRoot;  // canonical
  QString *error;
  // The missing files found by the walk, copied once it is done.
  std::vector<std::pair<QString, QString>> copies;

  bool inSource(const QString &canonical) const {
    return canonical.startsWith(sourceRoot + QLatin1Char('/'));
  }

  bool copyMissing(const QString &from, const QString &to) {
    const QFileInfoList entries = QDir(from).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &entry : entries) {
      const QString destination = to + QLatin1Char('/') + entry.fileName();
      const QFileInfo existing(destination);
      const bool present = existing.exists() || existing.isSymLink();

      QString source = entry.absoluteFilePath();
      if (entry.isSymLink()) {
        // Only links to files of the shipped tree itself are copied (as files).
        const QString target = entry.canonicalFilePath();
        if (target.isEmpty() || !inSource(target) || QFileInfo(target).isDir())
          continue;
        source = target;
      }

      if (QFileInfo(source).isDir()) {
        // The user's folder may lie inside the shipped one: never copy it into itself.
        if (entry.canonicalFilePath() == targetRoot)
          continue;
        if (present && !existing.isDir())
          continue;  // the user has a file of that name: it stays
        if (!present && !QDir().mkpath(destination)) {
          setError(error, QStringLiteral("The folder \"%1\" cannot be made: %2.").arg(destination, whyNotMade(destination)));
          return false;
        }
        if (!copyMissing(source, destination))
          return false;
      } else if (!present && QFileInfo(source).isFile()) {
        copies.emplace_back(source, destination);
      }
    }
    return true;
  }
};

}  // namespace

QString resourceFolder() {
  const QString overridden = qEnvironmentVariable("AMENDS_RESOURCE_DIR");
  if (!overridden.isEmpty())
    return QDir::cleanPath(QDir(overridden).absolutePath());
  QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  if (base.isEmpty())
    base = QDir::homePath() + QStringLiteral("/.local/share/Amends");
  return QDir::cleanPath(base + QStringLiteral("/Resources"));
}

QString dataFolder() {
  return resourceFolder() + QStringLiteral("/DataSet");
}

QString shippedResourcesFolder() {
  const QString overridden = qEnvironmentVariable("AMENDS_SHIPPED_RESOURCES");
  if (!overridden.isEmpty())
    return QFileInfo(overridden).isDir() ? QDir::cleanPath(QDir(overridden).absolutePath()) : QString();

  QStringList candidates;
  if (QCoreApplication::instance()) {
    const QString programFolder = QCoreApplication::applicationDirPath();
    candidates << programFolder + QStringLiteral("/resources")
               << programFolder + QStringLiteral("/../share/amends/resources");
  }
#ifdef AMENDS_SHIPPED_RESOURCES
  candidates << QStringLiteral(AMENDS_SHIPPED_RESOURCES);
#endif
  for (const QString &candidate : candidates) {
    if (QFileInfo(candidate).isDir())
      return QDir::cleanPath(candidate);
  }
  return QString();
}

bool seedFolder(const QString &source, const QString &target, QString *error) {
  Seeding seeding{QFileInfo(source).canonicalFilePath(), QFileInfo(target).canonicalFilePath(), error, {}};
  if (seeding.sourceRoot.isEmpty() || !QFileInfo(seeding.sourceRoot).isDir()) {
    setError(error, QStringLiteral("The shipped resources \"%1\" are missing.").arg(source));
    return false;
  }
  if (seeding.targetRoot.isEmpty() || !QFileInfo(seeding.targetRoot).isDir()) {
    setError(error, QStringLiteral("The folder \"%1\" is missing.").arg(target));
    return false;
  }
  return seeding.copyMissing(seeding.sourceRoot, seeding.targetRoot) && copyFiles(seeding.copies, error);
}

QStringList programFiles() { return {QStringLiteral("Help.pdf"), QStringLiteral("barcode_sample.png")}; }

namespace {

// Whether the two regular files hold the same bytes; false when either cannot be read.
bool sameBytes(const QString &first, const QString &second) {
  QFile a(first);
  QFile b(second);
  if (a.size() != b.size() || !a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
    return false;
  while (!a.atEnd()) {
    const QByteArray chunk = a.read(1 << 16);
    if (chunk.isEmpty() || b.read(chunk.size()) != chunk)
      return false;
  }
  return b.atEnd();
}

}  // namespace

bool refreshProgramFiles(const QString &source, const QString &target, QString *error) {
  for (const QString &name : programFiles()) {
    const QString shipped = source + QLatin1Char('/') + name;
    const QString copy = target + QLatin1Char('/') + name;
    const QFileInfo shippedInfo(shipped);
    const QFileInfo copyInfo(copy);
    if (!shippedInfo.isFile() || !copyInfo.exists() || copyInfo.isSymLink() || !copyInfo.isFile())
      continue;
    if (sameBytes(shipped, copy))
      continue;
    QString why;
    if (!copyFile(shipped, copy, &why)) {
      setError(error, QStringLiteral("The program's file \"%1\" cannot be brought up to date: %2.").arg(name, why));
      return false;
    }
  }
  return true;
}

bool prepareResourceFolder(QString *error) {
  const QString folder = resourceFolder();
  const QFileInfo info(folder);
  if (info.exists() && !info.isDir()) {
    setError(error, QStringLiteral("The resource folder \"%1\" cannot be made: a file of that name is in the way.").arg(folder));
    return false;
  }
  // mkpath makes the missing folders with the mode the user's umask allows.
  if (!QDir().mkpath(folder)) {
    setError(error, QStringLiteral("The resource folder \"%1\" cannot be made: %2.").arg(folder, whyNotMade(folder)));
    return false;
  }
  if (!QFileInfo(folder).isWritable()) {
    setError(error, QStringLiteral("The resource folder \"%1\" is not writable.").arg(folder));
    return false;
  }
  const QString shipped = shippedResourcesFolder();
  if (shipped.isEmpty()) {
    Log::write(QStringLiteral("No shipped resources were found; the resource folder \"%1\" is not seeded.").arg(folder));
    return true;
  }
  if (!seedFolder(shipped, folder, error))
    return false;
  // An older help file still helps: a failure here is logged, the start goes on.
  QString why;
  if (!refreshProgramFiles(shipped, folder, &why))
    Log::write(why);
  return true;
}

bool writeSecretFile(const QString &path, const QByteArray &bytes, QString *error) {
  // The new file is only readable by its owner before a single secret byte is in it.
  QString why;
  if (!WholeFiles::write(path, bytes, &why, WholeFile::Access::OwnerOnly)) {
    setError(error, QStringLiteral("\"%1\" cannot be written: %2").arg(path, why));
    return false;
  }
  return true;
}

}  // namespace Paths
