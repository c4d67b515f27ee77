// A zip archive (dataseries/model/ZipArchive): the bytes are an archive as a chosen xlsx
// workbook would be. Whatever reads must pack again and read back the same; unpacking into
// a folder must never write outside it, whatever the names say, nor through the link
// planted in the destination ("planted", leading to a folder beside it).
//
// Besides workbooks the seeds are hostile archives: names that climb out or are
// absolute, bombs over the harness's limits, link entries and names through links,
// sizes that differ between the local header and the central directory, and the same
// name twice.

#include "FuzzSupport.h"

#include "core/Globals.h"
#include "dataseries/model/SpreadsheetWriter.h"
#include "dataseries/model/ZipArchive.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <minizip/zip.h>

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

// Writes an archive of `entries` (name, bytes) with the program's own writer and answers
// its bytes.
QByteArray packed(const QString &folder, const QList<std::pair<QString, QByteArray>> &entries) {
  const QString path = folder + QStringLiteral("/packed.zip");
  QFile::remove(path);
  LumaZipArchive archive(path);
  if (!archive.open())
    fuzz::fail(QStringLiteral("the seed archive cannot be opened"));
  for (const auto &[name, bytes] : entries)
    if (!archive.writeData(bytes, name))
      fuzz::fail(QStringLiteral("a seed entry cannot be written"), name);
  if (!archive.close())
    fuzz::fail(QStringLiteral("the seed archive cannot be written"));
  return fileBytes(path);
}

// An archive whose entries carry unix file modes (the writer of workbooks gives none):
// (name, bytes, mode), stored deflated, marked as made on unix.
QByteArray withModes(const QString &folder, const QList<std::tuple<QByteArray, QByteArray, uLong>> &entries) {
  const QByteArray path = QFile::encodeName(folder + QStringLiteral("/modes.zip"));
  zipFile zip = zipOpen64(path.constData(), APPEND_STATUS_CREATE);
  if (!zip)
    fuzz::fail(QStringLiteral("the seed archive with modes cannot be opened"));
  for (const auto &[name, bytes, mode] : entries) {
    zip_fileinfo info{};
    info.external_fa = mode << 16;
    const uLong madeOnUnix = (3 << 8) | 20;
    if (zipOpenNewFileInZip4_64(zip, name.constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0, madeOnUnix,
                                0, 0) != ZIP_OK ||
        zipWriteInFileInZip(zip, bytes.constData(), static_cast<unsigned>(bytes.size())) != ZIP_OK ||
        zipCloseFileInZip(zip) != ZIP_OK)
      fuzz::fail(QStringLiteral("a seed entry with a mode cannot be written"), QString::fromUtf8(name));
  }
  if (zipClose(zip, nullptr) != ZIP_OK)
    fuzz::fail(QStringLiteral("the seed archive with modes cannot be finished"));
  return fileBytes(QFile::decodeName(path));
}

// `bytes` with the little-endian 32-bit field at `offset` of the first local header
// (`local`) or of the first central record (`central`) set to `value`; -1 leaves it.
QByteArray patched(QByteArray bytes, int local, int central, quint32 value) {
  const auto put = [&](qsizetype at) {
    for (int i = 0; i < 4; ++i)
      bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  if (local >= 0)
    put(local);
  if (central >= 0)
    put(bytes.indexOf(QByteArray("PK\x01\x02", 4)) + central);
  return bytes;
}

void writeHostileSeeds(const QString &folder, const QString &temp) {
  const QByteArray part = "<worksheet>" + QByteArray(3000, 'x') + "</worksheet>";
  fuzz::writeSeed(folder, QStringLiteral("slip.zip"),
                  packed(temp, {{QStringLiteral("ok.txt"), "fine"},
                                {QStringLiteral("../escaped.txt"), "x"},
                                {QStringLiteral("a/../../escaped.txt"), "x"},
                                {QStringLiteral("..\\escaped.txt"), "x"},
                                {QStringLiteral("a/./b/../c.txt"), "x"}}));
  fuzz::writeSeed(folder, QStringLiteral("absolute.zip"),
                  packed(temp, {{QStringLiteral("/tmp/absolute.txt"), "x"},
                                {QStringLiteral("\\tmp\\absolute.txt"), "x"},
                                {QStringLiteral("//server/share/x"), "x"},
                                {QStringLiteral("later.txt"), "x"}}));
  // About a thousand to one: one entry over the harness's limit of 4 MB, and entries
  // under it whose sum is over the 8 MB of the whole.
  fuzz::writeSeed(folder, QStringLiteral("bomb_entry.zip"),
                  packed(temp, {{QStringLiteral("small.txt"), "ok"}, {QStringLiteral("zeros"), QByteArray(5 << 20, '\0')}}));
  fuzz::writeSeed(folder, QStringLiteral("bomb_total.zip"),
                  packed(temp, {{QStringLiteral("z1"), QByteArray(3 << 20, '\0')},
                                {QStringLiteral("z2"), QByteArray(3 << 20, '\0')},
                                {QStringLiteral("z3"), QByteArray(3 << 20, '\0')}}));
  // Link entries (unix mode 0120000) with entries through them, and entries through the
  // link the harness plants in the destination.
  fuzz::writeSeed(folder, QStringLiteral("links.zip"),
                  withModes(temp, {{"up", "../..", 0120777},
                                   {"up/escaped.txt", "x", 0100644},
                                   {"abs", "/tmp", 0120777},
                                   {"abs/escaped.txt", "x", 0100644},
                                   {"planted/escaped.txt", "x", 0100644},
                                   {"planted/sub/", "", 040755},
                                   {"planted", "replaced", 0100644},
                                   {"plain.txt", "x", 0100644}}));
  // Sizes that lie: the local header against the central directory, and both against
  // the data. Offsets: the local header's CRC 14, compressed size 18, size 22; the
  // central record's 16, 20, 24.
  const QByteArray honest = packed(temp, {{QStringLiteral("part.xml"), part}, {QStringLiteral("next.xml"), "<a/>"}});
  const quint32 size = static_cast<quint32>(part.size());
  fuzz::writeSeed(folder, QStringLiteral("lying_local_size.zip"), patched(honest, 22, -1, 10));
  fuzz::writeSeed(folder, QStringLiteral("lying_central_size.zip"), patched(honest, -1, 24, size + 1000));
  fuzz::writeSeed(folder, QStringLiteral("lying_sizes_small.zip"), patched(honest, 22, 24, size - 10));
  fuzz::writeSeed(folder, QStringLiteral("lying_compressed_size.zip"), patched(honest, 18, -1, 0xFFFFFF00));
  fuzz::writeSeed(folder, QStringLiteral("lying_crc.zip"), patched(honest, 14, 16, 0x12345678));
  // The same name twice, a file where a folder is named, and a folder where a file is.
  fuzz::writeSeed(folder, QStringLiteral("duplicates.zip"),
                  packed(temp, {{QStringLiteral("same.txt"), "first"},
                                {QStringLiteral("same.txt"), "second"},
                                {QStringLiteral("a"), "file"},
                                {QStringLiteral("a/b.txt"), "under a file"},
                                {QStringLiteral("d/"), ""},
                                {QStringLiteral("d"), "file over a folder"}}));
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
  // A workbook of the size people import: a few thousand values that do not repeat.
  const QString large = temp.filePath(QStringLiteral("large.xlsx"));
  QStringList values;
  quint32 state = 12345;
  for (int i = 0; i < 3000; ++i) {
    state = state * 1103515245u + 12345u;
    values.append(QStringLiteral("Guest %1 %2").arg(i).arg(state >> 8, 6, 36));
  }
  const bool largeWritten = writeSeriesWorkbook(large, values, &error);
  Resource_Path = saved;
  if (!written || !largeWritten)
    fuzz::fail(QStringLiteral("the seed workbook cannot be written"), error);
  fuzz::writeSeed(folder, QStringLiteral("workbook.xlsx"), fileBytes(workbook));
  fuzz::writeSeed(folder, QStringLiteral("workbook_large.xlsx"), fileBytes(large));
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
  writeHostileSeeds(folder, temp.path());
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

  // Unpacking: everything written lies inside the destination, and nothing goes through
  // the link planted there.
  const QString destination = sandbox.filePath(QStringLiteral("out"));
  const QString outside = sandbox.filePath(QStringLiteral("outside"));
  const QString planted = destination + QStringLiteral("/planted");
  if (!QDir().mkpath(outside) || !QDir().mkpath(destination) || !QFile::link(outside, planted))
    fuzz::fail(QStringLiteral("the destination with its planted link cannot be made"));
  error = ZipError();
  const bool unpacked = LumaZipArchive::unzipFileAtPath(input, destination, true, QString(), &error, limits());
  const QStringList top = QDir(sandbox.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  if (top != QStringList{QStringLiteral("input.zip"), QStringLiteral("out"), QStringLiteral("outside")})
    fuzz::fail(QStringLiteral("unpacking wrote outside its folder"), top.join(QLatin1Char(' ')));
  const QStringList through = QDir(outside).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
  if (!through.isEmpty())
    fuzz::fail(QStringLiteral("unpacking wrote through a link in its folder"), through.join(QLatin1Char(' ')));
  if (!unpacked && error.localizedDescription.isEmpty())
    fuzz::fail(QStringLiteral("an unpacking failed without a reason"));
  if (unpacked && !entries)
    fuzz::fail(QStringLiteral("an archive unpacks into a folder but not into memory"));
  QDirIterator it(destination, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info(it.next());
    if (info.isSymLink() && info.filePath() != planted)
      fuzz::fail(QStringLiteral("unpacking made a link"), info.filePath());
  }
  if (!QFileInfo(planted).isSymLink())
    fuzz::fail(QStringLiteral("unpacking replaced the link in its folder"));
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
