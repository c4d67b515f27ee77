#pragma once
// Zip archives on minizip: unpacking a whole archive into a folder or into memory, and
// packing files, folders and blocks of bytes into a new archive.
//
// Unpacking treats every archive as hostile:
//  - an entry whose name is absolute or climbs out with ".." is skipped and the archive
//    counts as failed; so is an entry that is a symbolic link (unix mode 0120000);
//  - nothing is ever made or written outside the destination folder: a name is followed
//    one folder at a time from the destination's open folder, each folder opened (made
//    when missing) without following links, so an entry that would go through a link
//    found there, planted before or during unpacking, is refused; a file is written as
//    a new file, never into whatever had its name (a second name of a file elsewhere, a
//    FIFO);
//  - the inflated bytes are counted as they come, never taken from the headers: each
//    entry, the whole archive and the number of entries are capped (ZipLimits);
//  - every entry's CRC and its inflated size are checked against its header; a bad entry
//    fails the archive and its partly written file is removed.
//
// A reader that needs only some of a package's entries names them with a filter: the
// others are neither inflated nor written (their names are still checked).
//
// Packing writes the archive to a temporary file beside the target and renames it into
// place when closed, only when every minizip call succeeded: a failed package never
// replaces the file that was there; failureReason() then says why.
//
// Any thread: nothing here keeps shared state (one wrapper is used by one thread).

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <minizip/zip.h>

#include <functional>
#include <memory>
#include <optional>

class WholeFile;

// The error of a failed unpacking. The two early failures keep their codes: -1 "failed
// to open zip file", -2 "failed to open first file in zip file"; later ones are -3 (an
// entry refused: unsafe name, over a limit, bad data) with the entry named in the text.
struct ZipError {
  QString domain;  // "LumaZipArchiveErrorDomain"
  int code = 0;
  QString localizedDescription;
};

// What unpacking may inflate. The defaults leave room for large workbooks.
struct ZipLimits {
  qint64 maxEntryBytes = 256LL * 1024 * 1024;
  qint64 maxTotalBytes = 1024LL * 1024 * 1024;
  int maxEntries = 10000;
};

// One entry unpacked into memory.
struct ZipEntryData {
  QString name;  // "/" between components, as stored ("\" turned into "/")
  bool folder = false;
  QByteArray data;
};

// Whether a file entry (its clean relative name, "/" between components) is wanted.
using ZipEntryFilter = std::function<bool(const QString &name)>;

class LumaZipArchive {
public:
  // ---- Unpacking -------------------------------------------------------------------------
  // Unpacks every entry of the archive at `path` into `destination` (made when missing).
  // An existing file is replaced only with `overwrite`. A non-empty `password` opens
  // encrypted entries. With `wanted`, only the file entries it accepts are unpacked
  // (their folders made as they need them); folder entries and the other files are
  // skipped. True when every entry was unpacked (or skipped as existing or unwanted).
  static bool unzipFileAtPath(const QString &path, const QString &destination, bool overwrite,
                              const QString &password, ZipError *error,
                              const ZipLimits &limits = ZipLimits(), const ZipEntryFilter &wanted = {});
  // The same with overwrite on, no password, no error place.
  static bool unzipFileAtPath_toDestination(const QString &path, const QString &destination);
  // Every entry of an archive held in memory, in archive order; nullopt (with the reason)
  // under the same rules as unpacking into a folder.
  static std::optional<QList<ZipEntryData>> readEntries(const QByteArray &archive, ZipError *error = nullptr,
                                                        const ZipLimits &limits = ZipLimits());

  // ---- Packing ---------------------------------------------------------------------------
  // Creates the archive at `path` from the files and folders listed, each named relative
  // to its own parent folder (a folder's items below its name). False when any item is
  // missing or cannot be read, or the archive cannot be written; the target is then left
  // as it was.
  static bool createZipFileAtPath(const QString &path, const QStringList &filesAtPaths);
  static bool createZipFileAtPath_withFilesAtPath(const QString &path, const QString &fileAtPath);
  // 1 January 1980, 00:00, local time: the earliest date a zip entry holds.
  static QDateTime _dateFor1980();

  explicit LumaZipArchive(const QString &path);  // initWithPath: nothing opened yet
  ~LumaZipArchive();  // an archive left open is abandoned: the target stays as it was
  LumaZipArchive(const LumaZipArchive &) = delete;
  LumaZipArchive &operator=(const LumaZipArchive &) = delete;

  // Starts the new archive (in a temporary file beside the path). Opening twice throws
  // std::logic_error("Attempting open an archive which is already open").
  bool open();
  // Adds the file or folder basePath/file under the name `file` (a folder's items as
  // file/item..., an empty folder as one entry "file/"). Throws std::logic_error
  // ("Attempting to write to an archive which was never opened") before open().
  bool writeFile(const QString &file, const QString &basePath);
  // How an entry's bytes are kept: deflated, or stored as they are (what a package's
  // "mimetype" entry must be, so that its first bytes name its type).
  enum class Method { Deflated, Stored };
  // Adds `data` as the entry `filename`, dated now. False when not open or data is null.
  bool writeData(const QByteArray &data, const QString &filename, Method method = Method::Deflated);
  // Fills the record's broken-down date (month from 0, full year) from `date` in local time.
  static void zipInfo(zip_fileinfo *info, const QDateTime &date);
  // Finishes the archive and renames it into place. True only when every entry was
  // written whole and the archive was finished and renamed. Throws std::logic_error
  // ("Attempting to close an archive which was never opened") before open().
  bool close();
  // Why opening, writing or closing failed, as the system puts it ("No space left on
  // device") where it said; "" while nothing failed.
  QString failureReason() const { return _reason; }

private:
  bool addEntry(const QString &name, const zip_fileinfo *info, Method method = Method::Deflated);
  // Remembers why the archive failed: the system's words for a refused write, else `why`.
  void noteFailure(const QString &why);
  bool finishEntry();

  QString _path;
  zipFile _zip = nullptr;
  std::unique_ptr<WholeFile> _file;
  bool _failed = false;  // a minizip call or a write failed since open()
  bool _closed = false;
  QString _reason;
};
