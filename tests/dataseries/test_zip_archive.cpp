// The zip wrapper: packing and unpacking checked against Python's zipfile, and hostile
// archives (names that climb out, bombs, bad CRCs, lying sizes, truncation) refused
// without a byte written outside the destination.

#include "dataseries/model/ZipArchive.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void writeFile(const QString &path, const QByteArray &bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray readFile(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file and folder below `root`, relative, sorted.
QStringList tree(const QString &root) {
  QStringList items;
  QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext())
    items.append(QDir(root).relativeFilePath(it.next()));
  items.sort();
  return items;
}

// Writes an archive with Python's zipfile: `entries` is a Python list literal of
// (name, bytes) pairs, stored deflated.
void pythonZip(const QString &path, const QString &entries) {
  runPython(QStringLiteral("import sys, zipfile\n"
                           "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"
                           "    for name, data in %1:\n"
                           "        z.writestr(zipfile.ZipInfo(name, (2020, 5, 17, 10, 30, 44)), data, zipfile.ZIP_DEFLATED)\n")
                .arg(entries),
            QStringList{path});
}

// Little-endian 32-bit field at `offset`.
void put32(QByteArray &bytes, qsizetype offset, quint32 value) {
  for (int i = 0; i < 4; ++i)
    bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

quint32 get32(const QByteArray &bytes, qsizetype offset) {
  quint32 value = 0;
  for (int i = 3; i >= 0; --i)
    value = (value << 8) | static_cast<quint8>(bytes[offset + i]);
  return value;
}

// Changes a field of the first entry in both its local header and its central record:
// `localOffset` and `centralOffset` are the field's offsets in each.
QByteArray patchFirstEntry(QByteArray bytes, qsizetype localOffset, qsizetype centralOffset, quint32 value) {
  put32(bytes, localOffset, value);
  const qsizetype central = bytes.indexOf(QByteArray("PK\x01\x02", 4));
  put32(bytes, central + centralOffset, value);
  return bytes;
}

class ZipArchiveTest : public ::testing::Test {
protected:
  QTemporaryDir root;
  QString path(const QString &name) const { return root.filePath(name); }
};

TEST_F(ZipArchiveTest, PackedFolderTreeReadsBackInPythonAndUnpacksIdentically) {
  // A folder as the writer of workbooks packs its temporary folder: the top-level
  // items, so names are relative to it; an empty subfolder is one "name/" entry.
  writeFile(path("src/[Content_Types].xml"), "<Types/>");
  writeFile(path("src/xl/workbook.xml"), "<workbook/>");
  writeFile(path("src/xl/worksheets/sheet1.xml"), QByteArray(100000, 'x'));
  writeFile(path("src/xl/.hidden"), "h");
  writeFile(path("src/\xC3\xA9t\xC3\xA9.txt"), "utf8 name");
  ASSERT_TRUE(QDir().mkpath(path("src/xl/empty")));
  const QStringList items{path("src/[Content_Types].xml"), path("src/xl/"), path("src/\xC3\xA9t\xC3\xA9.txt")};
  ASSERT_TRUE(LumaZipArchive::createZipFileAtPath(path("out.zip"), items));

  const QByteArray listing = runPython(
      QStringLiteral("import sys, zipfile\n"
                     "z = zipfile.ZipFile(sys.argv[1])\n"
                     "assert z.testzip() is None\n"
                     "print('\\n'.join(sorted(i.filename + ' ' + str(i.file_size) for i in z.infolist())))\n"),
      QStringList{path("out.zip")});
  EXPECT_EQ(QString::fromUtf8(listing).trimmed().split(u'\n'),
            (QStringList{"[Content_Types].xml 8", "xl/.hidden 1", "xl/empty/ 0", "xl/workbook.xml 11",
                         "xl/worksheets/sheet1.xml 100000", "\u00e9t\u00e9.txt 9"}));

  ZipError error;
  ASSERT_TRUE(LumaZipArchive::unzipFileAtPath(path("out.zip"), path("dst"), true, QString(), &error))
      << error.localizedDescription.toStdString();
  EXPECT_EQ(tree(path("dst")), (QStringList{"[Content_Types].xml", "xl", "xl/.hidden", "xl/empty", "xl/workbook.xml",
                                            "xl/worksheets", "xl/worksheets/sheet1.xml", "\u00e9t\u00e9.txt"}));
  EXPECT_EQ(readFile(path("dst/xl/worksheets/sheet1.xml")), QByteArray(100000, 'x'));
  EXPECT_TRUE(QFileInfo(path("dst/xl/empty")).isDir());

  // In memory: the same entries in archive order.
  const auto entries = LumaZipArchive::readEntries(readFile(path("out.zip")));
  ASSERT_TRUE(entries.has_value());
  EXPECT_EQ(entries->size(), 6);
}

TEST_F(ZipArchiveTest, BackslashNamesFolderEntriesOverwriteAndDates) {
  pythonZip(path("in.zip"), QStringLiteral("[('a\\\\b\\\\c.txt', b'deep'), ('d/', b''), ('top.txt', b'new')]"));
  writeFile(path("dst/top.txt"), "old");
  ZipError error;
  // Overwrite off: the existing file stays, and that is no failure.
  ASSERT_TRUE(LumaZipArchive::unzipFileAtPath(path("in.zip"), path("dst"), false, QString(), &error));
  EXPECT_EQ(readFile(path("dst/top.txt")), "old");
  EXPECT_EQ(readFile(path("dst/a/b/c.txt")), "deep");  // "\" nests like "/"
  EXPECT_TRUE(QFileInfo(path("dst/d")).isDir());
  EXPECT_FALSE(QFileInfo(path("dst/d")).isFile());
  EXPECT_EQ(QFileInfo(path("dst/a/b/c.txt")).lastModified(), QDateTime(QDate(2020, 5, 17), QTime(10, 30, 44)));

  ASSERT_TRUE(LumaZipArchive::unzipFileAtPath_toDestination(path("in.zip"), path("dst")));
  EXPECT_EQ(readFile(path("dst/top.txt")), "new");

  EXPECT_EQ(LumaZipArchive::_dateFor1980(), QDateTime(QDate(1980, 1, 1), QTime(0, 0)));
}

TEST_F(ZipArchiveTest, EarlyFailuresCarryTheirCodes) {
  writeFile(path("not.zip"), "this is no archive at all, just text that is long enough");
  ZipError error;
  EXPECT_FALSE(LumaZipArchive::unzipFileAtPath(path("not.zip"), path("dst"), true, QString(), &error));
  EXPECT_EQ(error.domain, "LumaZipArchiveErrorDomain");
  EXPECT_EQ(error.code, -1);
  EXPECT_EQ(error.localizedDescription, "failed to open zip file");
  EXPECT_FALSE(LumaZipArchive::unzipFileAtPath(path("missing.zip"), path("dst"), true, QString(), &error));
  EXPECT_EQ(error.code, -1);

  pythonZip(path("empty.zip"), QStringLiteral("[]"));
  EXPECT_FALSE(LumaZipArchive::unzipFileAtPath(path("empty.zip"), path("dst"), true, QString(), &error));
  EXPECT_EQ(error.code, -2);
  EXPECT_EQ(error.localizedDescription, "failed to open first file in zip file");
}

TEST_F(ZipArchiveTest, NamesThatClimbOutAreSkippedAndFailTheArchive) {
  const QString outside = path("victim");
  pythonZip(path("slip.zip"),
            QStringLiteral("[('ok.txt', b'fine'), ('../victim/evil1', b'x'), ('/%1/evil2', b'x'),"
                           " ('a/../../victim/evil3', b'x'), ('..\\\\victim\\\\evil4', b'x'), ('later.txt', b'also')]")
                .arg(outside.mid(1)));
  ASSERT_TRUE(QDir().mkpath(outside));
  ZipError error;
  EXPECT_FALSE(LumaZipArchive::unzipFileAtPath(path("slip.zip"), path("dst"), true, QString(), &error));
  EXPECT_EQ(error.code, -3);
  EXPECT_TRUE(error.localizedDescription.contains("evil1")) << error.localizedDescription.toStdString();
  EXPECT_TRUE(tree(outside).isEmpty()) << tree(outside).join(", ").toStdString();
  // The safe entries around them are still unpacked; a refused name makes no folder.
  EXPECT_EQ(tree(path("dst")), (QStringList{"later.txt", "ok.txt"}));
  EXPECT_FALSE(LumaZipArchive::readEntries(readFile(path("slip.zip"))).has_value());

  // A link inside the destination is not written through.
  ASSERT_TRUE(QFile::link(outside, path("dst2/link")) || (QDir().mkpath(path("dst2")) && QFile::link(outside, path("dst2/link"))));
  pythonZip(path("link.zip"), QStringLiteral("[('link/evil5', b'x'), ('link', b'x')]"));
  EXPECT_FALSE(LumaZipArchive::unzipFileAtPath(path("link.zip"), path("dst2"), true, QString(), &error));
  EXPECT_TRUE(tree(outside).isEmpty()) << tree(outside).join(", ").toStdString();
  EXPECT_TRUE(QFileInfo(path("dst2/link")).isSymLink());
}

TEST_F(ZipArchiveTest, LinksAreNeverFollowedNorMade) {
  // Links planted in the destination lead outside it: one at the top, one below a real
  // folder. Entries that go through them must make nothing there, not even a folder.
  const QString outside = path("victim");
  ASSERT_TRUE(QDir().mkpath(outside));
  ASSERT_TRUE(QDir().mkpath(path("dst/real")));
  ASSERT_TRUE(QFile::link(outside, path("dst/link")));
  ASSERT_TRUE(QFile::link(outside, path("dst/real/deep")));
  // A file outside with a second (hard) name inside, and a FIFO where an entry goes: an
  // entry replaces what it finds instead of writing into it. The FIFO is held open for
  // reading so that a write into it would not block.
  writeFile(path("victim_file"), "precious");
  ASSERT_EQ(::link(QFile::encodeName(path("victim_file")).constData(), QFile::encodeName(path("dst/hard.txt")).constData()), 0);
  ASSERT_EQ(::mkfifo(QFile::encodeName(path("dst/fifo.txt")).constData(), 0600), 0);
  const int reader = ::open(QFile::encodeName(path("dst/fifo.txt")).constData(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);

  runPython(QStringLiteral("import sys, zipfile\n"
                           "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"
                           "    for name in ['link/sub/evil1', 'link/sub2/', 'link/evil2', 'real/deep/a/b/evil3',\n"
                           "                 'real/deep/', 'ok/inner.txt', 'hard.txt', 'fifo.txt']:\n"
                           "        z.writestr(name, b'x')\n"
                           "    # An entry that is itself a link (unix mode 0120000), then a file through it.\n"
                           "    made = zipfile.ZipInfo('made_link')\n"
                           "    made.create_system = 3\n"
                           "    made.external_attr = 0o120777 << 16\n"
                           "    z.writestr(made, sys.argv[2])\n"
                           "    z.writestr('made_link/evil4', b'x')\n"),
            QStringList{path("links.zip"), outside});
  ZipError error;
  EXPECT_FALSE(LumaZipArchive::unzipFileAtPath(path("links.zip"), path("dst"), true, QString(), &error));
  ::close(reader);
  EXPECT_EQ(error.code, -3);
  EXPECT_TRUE(error.localizedDescription.contains("link/sub/evil1")) << error.localizedDescription.toStdString();
  EXPECT_TRUE(error.localizedDescription.contains("symbolic link")) << error.localizedDescription.toStdString();
  EXPECT_TRUE(tree(outside).isEmpty()) << tree(outside).join(", ").toStdString();
  EXPECT_EQ(readFile(path("victim_file")), "precious");
  EXPECT_TRUE(QFileInfo(path("dst/link")).isSymLink());
  EXPECT_TRUE(QFileInfo(path("dst/real/deep")).isSymLink());
  // The safe entries are unpacked; the planted names are replaced by plain files; the
  // link entry makes no link.
  EXPECT_EQ(readFile(path("dst/ok/inner.txt")), "x");
  EXPECT_EQ(readFile(path("dst/hard.txt")), "x");
  EXPECT_TRUE(QFileInfo(path("dst/fifo.txt")).isFile());
  EXPECT_EQ(readFile(path("dst/fifo.txt")), "x");
  EXPECT_FALSE(QFileInfo(path("dst/made_link")).isSymLink());

  // In memory the link entry is refused too, with its name.
  EXPECT_FALSE(LumaZipArchive::readEntries(readFile(path("links.zip")), &error).has_value());
  EXPECT_TRUE(error.localizedDescription.contains("made_link")) << error.localizedDescription.toStdString();
}

TEST_F(ZipArchiveTest, BombsStopAtTheLimits) {
  // 8 MB of zeros deflate to a few kilobytes.
  pythonZip(path("bomb.zip"), QStringLiteral("[('small.txt', b'ok'), ('zeros', bytes(8 << 20))]"));
  ZipLimits limits;
  limits.maxEntryBytes = 1 << 20;
  ZipError error;
  EXPECT_FALSE(LumaZipArchive::unzipFileAtPath(path("bomb.zip"), path("dst"), true, QString(), &error, limits));
  EXPECT_TRUE(error.localizedDescription.contains("zeros"));
  EXPECT_FALSE(QFileInfo::exists(path("dst/zeros")));

  // The header may lie about the size: the inflated bytes are counted as they come.
  const QByteArray bomb = readFile(path("bomb.zip"));
  const qsizetype second = bomb.indexOf(QByteArray("PK\x03\x04", 4), 4);
  QByteArray lying = bomb;
  put32(lying, second + 22, 1000);
  const qsizetype central = lying.indexOf(QByteArray("PK\x01\x02", 4));
  const qsizetype central2 = lying.indexOf(QByteArray("PK\x01\x02", 4), central + 4);
  put32(lying, central2 + 24, 1000);
  writeFile(path("lying_bomb.zip"), lying);
  EXPECT_FALSE(LumaZipArchive::unzipFileAtPath(path("lying_bomb.zip"), path("dst3"), true, QString(), &error, limits));
  EXPECT_LE(QFileInfo(path("dst3/zeros")).size(), 0);

  // The total over all entries, and the number of entries.
  pythonZip(path("many.zip"), QStringLiteral("[('f%d' % i, bytes(300 << 10)) for i in range(5)]"));
  limits = ZipLimits();
  limits.maxTotalBytes = 1 << 20;
  EXPECT_FALSE(LumaZipArchive::unzipFileAtPath(path("many.zip"), path("dst4"), true, QString(), &error, limits));
  limits = ZipLimits();
  limits.maxEntries = 4;
  EXPECT_FALSE(LumaZipArchive::readEntries(readFile(path("many.zip")), &error, limits).has_value());
  EXPECT_TRUE(error.localizedDescription.contains("more than 4 entries"));
  limits.maxEntries = 5;
  EXPECT_TRUE(LumaZipArchive::readEntries(readFile(path("many.zip")), &error, limits).has_value());
}

TEST_F(ZipArchiveTest, DamagedEntriesFailAndLeaveNoPartialFile) {
  pythonZip(path("good.zip"), QStringLiteral("[('part.xml', b'<a>' + b'x' * 50000 + b'</a>')]"));
  const QByteArray good = readFile(path("good.zip"));
  const quint32 crc = get32(good, 14);
  const quint32 size = get32(good, 22);
  struct Case {
    const char *name;
    QByteArray bytes;
  };
  const QList<Case> cases{
      {"wrong_crc", patchFirstEntry(good, 14, 16, crc ^ 0x1)},
      {"size_too_large", patchFirstEntry(good, 22, 24, size + 10)},
      {"size_too_small", patchFirstEntry(good, 22, 24, size - 10)},
      {"truncated", good.left(good.size() / 2)},
      {"truncated_after_central", good.left(good.size() - 10)},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    writeFile(path(QString::fromLatin1(c.name) + ".zip"), c.bytes);
    const QString dst = path(QStringLiteral("out_") + QString::fromLatin1(c.name));
    EXPECT_FALSE(LumaZipArchive::unzipFileAtPath(path(QString::fromLatin1(c.name) + ".zip"), dst, true, QString(), nullptr));
    EXPECT_FALSE(QFileInfo::exists(dst + "/part.xml"));
    EXPECT_FALSE(LumaZipArchive::readEntries(c.bytes).has_value());
  }
  EXPECT_TRUE(LumaZipArchive::unzipFileAtPath_toDestination(path("good.zip"), path("out_good")));
  EXPECT_EQ(readFile(path("out_good/part.xml")).size(), 50007);
}

TEST_F(ZipArchiveTest, FailedPackageLeavesTheTargetAsItWas) {
  writeFile(path("target.zip"), "precious old contents");
  writeFile(path("src/a.txt"), "a");
  // A listed item that does not exist: the package is incomplete, so it is not written.
  EXPECT_FALSE(LumaZipArchive::createZipFileAtPath(path("target.zip"), {path("src/a.txt"), path("src/missing.txt")}));
  EXPECT_EQ(readFile(path("target.zip")), "precious old contents");
  // A folder that cannot be written into.
  EXPECT_FALSE(LumaZipArchive::createZipFileAtPath(path("no/such/folder/x.zip"), {path("src/a.txt")}));
  EXPECT_EQ(QDir(root.path()).entryList(QStringList{"*.zip*", ".*zip*"}, QDir::Files | QDir::Hidden),
            QStringList{"target.zip"});  // no temporary file left behind

  ASSERT_TRUE(LumaZipArchive::createZipFileAtPath_withFilesAtPath(path("target.zip"), path("src/a.txt")));
  const auto entries = LumaZipArchive::readEntries(readFile(path("target.zip")));
  ASSERT_TRUE(entries.has_value());
  ASSERT_EQ(entries->size(), 1);
  EXPECT_EQ(entries->first().name, "a.txt");
}

TEST_F(ZipArchiveTest, WrapperContractAndDatedBlocks) {
  LumaZipArchive never(path("never.zip"));
  EXPECT_THROW(
      {
        try {
          never.writeFile("a", root.path());
        } catch (const std::logic_error &e) {
          EXPECT_STREQ(e.what(), "Attempting to write to an archive which was never opened");
          throw;
        }
      },
      std::logic_error);
  EXPECT_THROW(
      {
        try {
          never.close();
        } catch (const std::logic_error &e) {
          EXPECT_STREQ(e.what(), "Attempting to close an archive which was never opened");
          throw;
        }
      },
      std::logic_error);
  EXPECT_FALSE(never.writeData("x", "x.txt"));
  EXPECT_FALSE(QFileInfo::exists(path("never.zip")));

  LumaZipArchive archive(path("blocks.zip"));
  ASSERT_TRUE(archive.open());
  EXPECT_THROW(archive.open(), std::logic_error);
  EXPECT_TRUE(archive.writeData("hello", "dir/hello.txt"));
  EXPECT_TRUE(archive.writeData(QByteArray(""), "empty.txt"));
  EXPECT_FALSE(archive.writeData(QByteArray(), "null.txt"));
  EXPECT_FALSE(QFileInfo::exists(path("blocks.zip")));  // nothing in place before close
  ASSERT_TRUE(archive.close());
  EXPECT_FALSE(archive.writeData("late", "late.txt"));

  // Entries of blocks carry the time they were written.
  const QByteArray out = runPython(
      QStringLiteral("import sys, zipfile\n"
                     "z = zipfile.ZipFile(sys.argv[1])\n"
                     "assert z.testzip() is None\n"
                     "for i in z.infolist(): print(i.filename, z.read(i).decode(), i.date_time[0])\n"),
      QStringList{path("blocks.zip")});
  const QString year = QString::number(QDate::currentDate().year());
  EXPECT_EQ(QString::fromUtf8(out), QStringLiteral("dir/hello.txt hello %1\nempty.txt  %1\n").arg(year));

  zip_fileinfo info{};
  LumaZipArchive::zipInfo(&info, QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58)));
  EXPECT_EQ(info.tmz_date.tm_year, 2023u);
  EXPECT_EQ(info.tmz_date.tm_mon, 11u);
  EXPECT_EQ(info.tmz_date.tm_mday, 31u);
  EXPECT_EQ(info.tmz_date.tm_sec, 58u);
  EXPECT_EQ(info.dosDate, 0u);
}

}  // namespace
