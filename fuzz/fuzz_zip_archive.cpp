// A zip archive (dataseries/model/ZipArchive): the bytes are an archive as a chosen xlsx
// workbook would be. Whatever reads must pack again and read back the same; unpacking into
// a folder must never write outside it, whatever the names say.

#include "FuzzSupport.h"

#include "core/Globals.h"
#include "dataseries/model/SpreadsheetWriter.h"
#include "dataseries/model/ZipArchive.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// Small limits keep each run quick; the rules are the same as with the defaults.
ZipLimits limits() {
  ZipLimits l;
  l.maxEntryBytes = 4 << 20;
  l.maxTotalBytes = 8 << 20;
  l.maxEntries = 200;
  return l;
}

QByteArray fileBytes(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeSeeds(const QString &folder) {
  QTemporaryDir temp;
  const QString workbook = temp.filePath(QStringLiteral("series.xlsx"));
  // The template workbook from the source tree: the fuzzing build's resource folder is
  // not seeded with every shipped file.
  const QString saved = Resource_Path;
  Resource_Path = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../resources");
  QString error;
  const bool written = writeSeriesWorkbook(workbook, {QStringLiteral("5"), QStringLiteral("abc"), QStringLiteral("007")}, &error);
  Resource_Path = saved;
  if (!written)
    fuzz::fail(QStringLiteral("the seed workbook cannot be written"), error);
  fuzz::writeSeed(folder, QStringLiteral("workbook.xlsx"), fileBytes(workbook));
  LumaZipArchive archive(temp.filePath(QStringLiteral("mixed.zip")));
  if (!archive.open())
    fuzz::fail(QStringLiteral("the seed archive cannot be opened"));
  archive.writeData("text", QStringLiteral("a/b.txt"));
  archive.writeData("", QStringLiteral("empty/"));
  archive.writeData(QByteArray(5000, 'z'), QStringLiteral("zeros"));
  archive.writeData("\xC3\xA9", QStringLiteral("\u00e9t\u00e9"));
  if (!archive.close())
    fuzz::fail(QStringLiteral("the seed archive cannot be written"));
  fuzz::writeSeed(folder, QStringLiteral("mixed.zip"), fileBytes(temp.filePath(QStringLiteral("mixed.zip"))));
}

QStringList describe(const QList<ZipEntryData> &entries) {
  QStringList lines;
  for (const ZipEntryData &entry : entries)
    lines.append(entry.name + (entry.folder ? QStringLiteral(" folder ") : QStringLiteral(" file ")) +
                 QString::fromLatin1(entry.data.toHex().left(64)) + QLatin1Char(' ') + QString::number(entry.data.size()));
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  fuzz::initialize(argc, argv, "fuzz_zip_archive", writeSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes = fuzz::bytesOf(data, size);
  QTemporaryDir sandbox;
  const QString input = sandbox.filePath(QStringLiteral("input.zip"));
  {
    QFile file(input);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
      fuzz::fail(QStringLiteral("the input cannot be written"));
  }

  ZipError error;
  const std::optional<QList<ZipEntryData>> entries = LumaZipArchive::readEntries(bytes, &error, limits());
  if (!entries && error.localizedDescription.isEmpty())
    fuzz::fail(QStringLiteral("an archive was refused without a reason"));

  // Unpacking: everything written lies inside the destination.
  const QString destination = sandbox.filePath(QStringLiteral("out"));
  const bool unpacked = LumaZipArchive::unzipFileAtPath(input, destination, true, QString(), &error, limits());
  const QStringList top = QDir(sandbox.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  if (top != QStringList{QStringLiteral("input.zip"), QStringLiteral("out")} &&
      top != QStringList{QStringLiteral("input.zip")})
    fuzz::fail(QStringLiteral("unpacking wrote outside its folder"), top.join(QLatin1Char(' ')));
  if (unpacked && !entries)
    fuzz::fail(QStringLiteral("an archive unpacks into a folder but not into memory"));
  QDirIterator it(destination, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info(it.next());
    if (info.isSymLink())
      fuzz::fail(QStringLiteral("unpacking made a link"), info.filePath());
  }
  if (!entries)
    return 0;

  // What was read packs again and reads back the same.
  const QString repacked = sandbox.filePath(QStringLiteral("again.zip"));
  LumaZipArchive archive(repacked);
  if (!archive.open())
    fuzz::fail(QStringLiteral("a new archive cannot be opened"));
  for (const ZipEntryData &entry : *entries)
    if (!archive.writeData(entry.data.isNull() ? QByteArray("") : entry.data, entry.name))
      fuzz::fail(QStringLiteral("an entry that was read cannot be packed"), entry.name);
  if (!archive.close())
    fuzz::fail(QStringLiteral("a package of what was read cannot be finished"));
  ZipLimits roomy = limits();
  roomy.maxEntries = 1000;
  const std::optional<QList<ZipEntryData>> again = LumaZipArchive::readEntries(fileBytes(repacked), &error, roomy);
  if (!again && !entries->isEmpty())
    fuzz::fail(QStringLiteral("a package we wrote does not read back"), error.localizedDescription);
  if (again && describe(*again) != describe(*entries))
    fuzz::fail(QStringLiteral("a package we wrote reads back different"),
               fuzz::firstDifference(describe(*entries), describe(*again)));
  return 0;
}
