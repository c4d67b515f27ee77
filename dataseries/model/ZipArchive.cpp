#include "dataseries/model/ZipArchive.h"

#include "platform/WholeFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <minizip/unzip.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString ErrorDomain = QStringLiteral("LumaZipArchiveErrorDomain");

// The C library's time zone state, which every local-time conversion reads, is set up
// under a lock of its own that the thread checker cannot see: conversions here take
// this one too.
std::mutex &localTimeLock() {
  static std::mutex mutex;
  return mutex;
}

void setError(ZipError *error, int code, const QString &text) {
  if (error)
    *error = ZipError{ErrorDomain, code, text};
}

// ---- minizip over a QIODevice ----------------------------------------------------------------
// The "file name" minizip hands to the open function is the device itself, already open.

voidpf ZCALLBACK deviceOpen(voidpf, const void *filename, int) {
  return const_cast<void *>(filename);
}

uLong ZCALLBACK deviceRead(voidpf, voidpf stream, void *buf, uLong size) {
  const qint64 n = static_cast<QIODevice *>(stream)->read(static_cast<char *>(buf), static_cast<qint64>(size));
  return n < 0 ? 0 : static_cast<uLong>(n);
}

uLong ZCALLBACK deviceWrite(voidpf, voidpf stream, const void *buf, uLong size) {
  const qint64 n = static_cast<QIODevice *>(stream)->write(static_cast<const char *>(buf), static_cast<qint64>(size));
  return n < 0 ? 0 : static_cast<uLong>(n);
}

ZPOS64_T ZCALLBACK deviceTell(voidpf, voidpf stream) {
  return static_cast<ZPOS64_T>(static_cast<QIODevice *>(stream)->pos());
}

long ZCALLBACK deviceSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto *device = static_cast<QIODevice *>(stream);
  qint64 base = 0;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR)
    base = device->pos();
  else if (origin == ZLIB_FILEFUNC_SEEK_END)
    base = device->size();
  else if (origin != ZLIB_FILEFUNC_SEEK_SET)
    return -1;
  const qint64 target = base + static_cast<qint64>(offset);
  // Never past the end: an offset from a damaged archive fails the same way on a file
  // and in memory.
  if (target < 0 || offset > static_cast<ZPOS64_T>(INT64_MAX / 2) || target > device->size())
    return -1;
  return device->seek(target) ? 0 : -1;
}

int ZCALLBACK deviceClose(voidpf, voidpf) { return 0; }  // the owner closes the device

int ZCALLBACK deviceError(voidpf, voidpf) { return 0; }

zlib_filefunc64_def deviceFunctions() {
  zlib_filefunc64_def functions{};
  functions.zopen64_file = deviceOpen;
  functions.zread_file = deviceRead;
  functions.zwrite_file = deviceWrite;
  functions.ztell64_file = deviceTell;
  functions.zseek64_file = deviceSeek;
  functions.zclose_file = deviceClose;
  functions.zerror_file = deviceError;
  functions.opaque = nullptr;
  return functions;
}

// ---- Entry names -------------------------------------------------------------------------------

// The entry's name with "\" as "/", or nullopt when it is not valid UTF-8 or holds a NUL.
std::optional<QString> decodeName(const QByteArray &raw) {
  if (raw.contains('\0'))
    return std::nullopt;
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString name = decoder.decode(raw);
  if (decoder.hasError())
    return std::nullopt;
  name.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return name;
}

// The name as a clean relative path inside the destination, or "" when it is empty,
// absolute or climbs out.
QString safeRelativePath(const QString &name) {
  if (name.isEmpty() || name.startsWith(QLatin1Char('/')))
    return QString();
  const QStringList parts = name.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  QStringList kept;
  for (const QString &part : parts) {
    if (part == QLatin1String(".."))
      return QString();
    if (part != QLatin1String("."))
      kept.append(part);
  }
  return kept.join(QLatin1Char('/'));
}

// Receives the entries of an archive as they are inflated.
struct EntrySink {
  virtual ~EntrySink() = default;
  // Whether the entry's data is wanted; false with the reason in *refusal when it may
  // not be written.
  virtual bool begin(const QString &relative, bool folder, const unz_file_info64 &info, QString *refusal) = 0;
  virtual bool write(const char *data, qint64 size) = 0;
  // The entry ended, whole (`ok`) or not.
  virtual bool end(bool ok) = 0;
};

// Whether the device holds a well-formed archive without entries (minizip refuses to open
// one, which is not the same failure as bytes that are no archive).
bool holdsNoEntries(QIODevice *device) {
  const qint64 size = device->size();
  const qint64 tail = std::min<qint64>(size, 65535 + 22);
  if (tail < 22 || !device->seek(size - tail))
    return false;
  const QByteArray bytes = device->read(tail);
  const qsizetype end = bytes.lastIndexOf(QByteArray("PK\x05\x06", 4));
  if (end < 0 || end + 22 > bytes.size())
    return false;
  for (int i = 8; i < 12; ++i)
    if (bytes[end + i] != 0)
      return false;
  return true;
}

// Walks every entry of the archive on `device`, checking names, limits, sizes and CRCs;
// with `wanted`, the entries it does not accept are skipped unread (see unzipFileAtPath).
bool unpack(QIODevice *device, const QString &password, const ZipLimits &limits, EntrySink &sink,
            ZipError *error, const ZipEntryFilter &wanted = {}) {
  zlib_filefunc64_def functions = deviceFunctions();
  unzFile archive = unzOpen2_64(device, &functions);
  if (!archive) {
    if (holdsNoEntries(device))
      setError(error, -2, QStringLiteral("failed to open first file in zip file"));
    else
      setError(error, -1, QStringLiteral("failed to open zip file"));
    return false;
  }
  if (unzGoToFirstFile(archive) != UNZ_OK) {
    setError(error, -2, QStringLiteral("failed to open first file in zip file"));
    unzClose(archive);
    return false;
  }
  const QByteArray passwordBytes = password.toLatin1();
  bool success = true;
  int entries = 0;
  qint64 total = 0;
  auto refuse = [&](const QString &reason) {
    if (success)
      setError(error, -3, reason);
    success = false;
  };
  for (int status = UNZ_OK; status == UNZ_OK; status = unzGoToNextFile(archive)) {
    if (++entries > limits.maxEntries) {
      refuse(QStringLiteral("the archive holds more than %1 entries").arg(limits.maxEntries));
      break;
    }
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
        info.size_filename > 65535) {
      refuse(QStringLiteral("unreadable entry information"));
      break;
    }
    QByteArray rawName(static_cast<qsizetype>(info.size_filename) + 1, '\0');
    if (unzGetCurrentFileInfo64(archive, &info, rawName.data(), static_cast<uLong>(rawName.size()), nullptr, 0,
                                nullptr, 0) != UNZ_OK) {
      refuse(QStringLiteral("unreadable entry information"));
      break;
    }
    rawName.chop(1);
    const std::optional<QString> name = decodeName(rawName);
    const QString relative = name ? safeRelativePath(*name) : QString();
    if (relative.isEmpty()) {
      refuse(QStringLiteral("entry with an unsafe name refused: %1").arg(QString::fromUtf8(rawName)));
      continue;
    }
    // The high half of the external attributes holds a unix file mode, wherever the
    // archive says it was made: a link entry would lead later entries (or a reader of
    // the unpacked folder) elsewhere.
    if (((info.external_fa >> 16) & 0170000) == 0120000) {
      refuse(QStringLiteral("entry is a symbolic link: %1").arg(relative));
      continue;
    }
    const bool folder = name->endsWith(QLatin1Char('/'));
    if (wanted && (folder || !wanted(relative)))
      continue;  // never inflated: it neither counts against the limits nor reaches the sink
    if (!folder && (info.uncompressed_size > static_cast<ZPOS64_T>(limits.maxEntryBytes) ||
                    info.uncompressed_size > static_cast<ZPOS64_T>(limits.maxTotalBytes - total))) {
      refuse(QStringLiteral("entry larger than allowed: %1").arg(relative));
      break;
    }
    const int opened = passwordBytes.isEmpty() ? unzOpenCurrentFile(archive)
                                               : unzOpenCurrentFilePassword(archive, passwordBytes.constData());
    if (opened != UNZ_OK) {
      refuse(QStringLiteral("entry cannot be opened: %1").arg(relative));
      break;
    }
    QString refusal;
    const bool wanted = sink.begin(relative, folder, info, &refusal);
    if (!refusal.isEmpty())
      refuse(QStringLiteral("entry cannot be written: %1 (%2)").arg(relative, refusal));
    if (!wanted || folder) {
      unzCloseCurrentFile(archive);
      if (wanted)
        sink.end(true);
      continue;
    }
    bool ok = true;
    qint64 count = 0;
    static thread_local char buffer[65536];
    for (;;) {
      const int n = unzReadCurrentFile(archive, buffer, sizeof buffer);
      if (n < 0) {
        refuse(QStringLiteral("damaged data in entry %1").arg(relative));
        ok = false;
        break;
      }
      if (n == 0)
        break;
      count += n;
      total += n;
      if (count > limits.maxEntryBytes || total > limits.maxTotalBytes) {
        refuse(QStringLiteral("entry inflates beyond the allowed size: %1").arg(relative));
        ok = false;
        break;
      }
      if (!sink.write(buffer, n)) {
        refuse(QStringLiteral("entry cannot be written: %1").arg(relative));
        ok = false;
        break;
      }
    }
    // With every byte the header announces read, minizip checks the CRC when the entry
    // is closed; fewer or more bytes than announced is a lie of its own.
    if (ok && static_cast<ZPOS64_T>(count) != info.uncompressed_size) {
      refuse(QStringLiteral("entry's size or CRC does not match its header: %1").arg(relative));
      ok = false;
    }
    if (unzCloseCurrentFile(archive) != UNZ_OK && ok) {
      refuse(QStringLiteral("damaged data in entry %1").arg(relative));
      ok = false;
    }
    if (!sink.end(ok) && ok)
      refuse(QStringLiteral("entry cannot be written: %1").arg(relative));
    if (!ok)
      break;
  }
  unzClose(archive);
  return success;
}

// Why the item `name` inside the open folder `parent` could not be opened as a folder
// or made: what is there, or the system's reason `code`. `shown` names it for the user.
QString refusalFor(int parent, const QByteArray &name, int code, const QString &shown) {
  struct stat st {};
  if (::fstatat(parent, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    if (S_ISLNK(st.st_mode))
      return QStringLiteral("%1 is a symbolic link").arg(shown);
    if (!S_ISDIR(st.st_mode))
      return QStringLiteral("%1 is not a folder").arg(shown);
  }
  return QStringLiteral("%1: %2").arg(shown, qt_error_string(code));
}

// Opens the folder `name` inside the open folder `parent`, making it when missing, never
// through a link: O_NOFOLLOW refuses a link even when one replaces the folder between
// its making and its opening. -1 with *why set when it cannot be had.
int openOrMakeFolder(int parent, const QByteArray &name, const QString &shown, QString *why) {
  int code = 0;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int fd = ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0)
      return fd;
    code = errno;
    if (code != ENOENT)
      break;
    if (::mkdirat(parent, name.constData(), 0777) != 0 && errno != EEXIST) {
      code = errno;
      break;
    }
  }
  *why = refusalFor(parent, name, code, shown);
  return -1;
}

// Unpacks into a folder. Every name is followed one component at a time from the
// destination's open folder (openat, mkdirat), and nothing is created before the
// component above it has been opened as a real folder: a link planted in the destination,
// before or during unpacking, is refused, never followed. A file is written as a new
// file: whatever had its name (a second name of a file elsewhere, a FIFO) is removed
// first, never written into.
struct FolderSink : EntrySink {
  int root = -1;  // the destination folder, open
  bool overwrite = true;
  int folder = -1;  // the folder of the file being written, open
  int file = -1;
  QByteArray fileName;  // its name in `folder`
  std::optional<qint64> modified;  // seconds since the epoch, from the entry's date

  ~FolderSink() {
    closeEntry(false);
    if (root >= 0)
      ::close(root);
  }

  // Closes the file being written, removing it unless it is whole; true when it is.
  bool closeEntry(bool whole) {
    if (file >= 0) {
      if (whole && modified) {
        const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(*modified), 0}};
        ::futimens(file, times);  // the date is a courtesy: a failure here loses nothing
      }
      if (::close(file) != 0)
        whole = false;
      if (!whole)
        ::unlinkat(folder, fileName.constData(), 0);  // no partial part is left for a reader
    }
    if (folder >= 0)
      ::close(folder);
    file = -1;
    folder = -1;
    return whole;
  }

  bool begin(const QString &relative, bool isFolder, const unz_file_info64 &info, QString *refusal) override {
    const QStringList parts = relative.split(QLatin1Char('/'));  // clean: no "", ".", ".."
    const qsizetype folders = isFolder ? parts.size() : parts.size() - 1;
    int at = ::fcntl(root, F_DUPFD_CLOEXEC, 0);
    if (at < 0) {
      *refusal = qt_error_string(errno);
      return false;
    }
    for (qsizetype i = 0; i < folders; ++i) {
      const int next = openOrMakeFolder(at, QFile::encodeName(parts[i]),
                                        parts.mid(0, i + 1).join(QLatin1Char('/')), refusal);
      ::close(at);
      if (next < 0)
        return false;
      at = next;
    }
    if (isFolder) {
      ::close(at);
      return false;
    }

    const QByteArray name = QFile::encodeName(parts.last());
    struct stat st {};
    if (::fstatat(at, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
      if (S_ISLNK(st.st_mode) || S_ISDIR(st.st_mode)) {
        *refusal = S_ISLNK(st.st_mode) ? QStringLiteral("%1 is a symbolic link").arg(relative)
                                       : QStringLiteral("%1 is a folder").arg(relative);
        ::close(at);
        return false;
      }
      if (!overwrite) {
        ::close(at);
        return false;
      }
      if (::unlinkat(at, name.constData(), 0) != 0 && errno != ENOENT) {
        *refusal = QStringLiteral("%1: %2").arg(relative, qt_error_string(errno));
        ::close(at);
        return false;
      }
    }
    // O_EXCL: the name must still be free, so nothing put there meanwhile (a link
    // included) is opened.
    const int fd = ::openat(at, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      *refusal = refusalFor(at, name, errno, relative);
      ::close(at);
      return false;
    }
    folder = at;
    file = fd;
    fileName = name;
    modified.reset();
    if (info.dosDate != 0) {
      std::lock_guard<std::mutex> lock(localTimeLock());
      const tm_unz &d = info.tmu_date;
      const QDateTime date(
          QDate(static_cast<int>(d.tm_year), static_cast<int>(d.tm_mon) + 1, static_cast<int>(d.tm_mday)),
          QTime(static_cast<int>(d.tm_hour), static_cast<int>(d.tm_min), static_cast<int>(d.tm_sec)));
      if (date.isValid())
        modified = date.toSecsSinceEpoch();
    }
    return true;
  }

  bool write(const char *data, qint64 size) override {
    while (size > 0) {
      const ssize_t n = ::write(file, data, static_cast<size_t>(size));
      if (n < 0 && errno == EINTR)
        continue;
      if (n <= 0)
        return false;
      data += n;
      size -= n;
    }
    return true;
  }

  bool end(bool ok) override { return closeEntry(ok); }
};

// Collects the entries in memory.
struct MemorySink : EntrySink {
  QList<ZipEntryData> entries;
  bool begin(const QString &relative, bool folder, const unz_file_info64 &, QString *) override {
    entries.append(ZipEntryData{relative + (folder ? QStringLiteral("/") : QString()), folder, QByteArray()});
    return true;
  }
  bool write(const char *data, qint64 size) override {
    entries.last().data.append(data, size);
    return true;
  }
  bool end(bool) override { return true; }
};

}  // namespace

// ---- Unpacking -------------------------------------------------------------------------------------

bool LumaZipArchive::unzipFileAtPath(const QString &path, const QString &destination, bool overwrite,
                                     const QString &password, ZipError *error, const ZipLimits &limits,
                                     const ZipEntryFilter &wanted) {
  QFile input(path);
  if (path.isEmpty() || !QFileInfo(path).isFile() || !input.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
    setError(error, -1, QStringLiteral("failed to open zip file"));
    return false;
  }
  FolderSink sink;
  sink.overwrite = overwrite;
  if (destination.isEmpty() || !QDir().mkpath(destination) ||
      (sink.root = ::open(QFile::encodeName(destination).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) < 0) {
    setError(error, -3, QStringLiteral("the destination folder cannot be made: %1").arg(destination));
    return false;
  }
  return unpack(&input, password, limits, sink, error, wanted);
}

bool LumaZipArchive::unzipFileAtPath_toDestination(const QString &path, const QString &destination) {
  return unzipFileAtPath(path, destination, true, QString(), nullptr);
}

std::optional<QList<ZipEntryData>> LumaZipArchive::readEntries(const QByteArray &archive, ZipError *error,
                                                               const ZipLimits &limits) {
  QByteArray copy = archive;
  QBuffer buffer(&copy);
  buffer.open(QIODevice::ReadOnly);
  MemorySink sink;
  if (!unpack(&buffer, QString(), limits, sink, error))
    return std::nullopt;
  return sink.entries;
}

QDateTime LumaZipArchive::_dateFor1980() { return QDateTime(QDate(1980, 1, 1), QTime(0, 0)); }

// ---- Packing ----------------------------------------------------------------------------------------

bool LumaZipArchive::createZipFileAtPath(const QString &path, const QStringList &filesAtPaths) {
  LumaZipArchive archive(path);
  if (!archive.open())
    return false;
  bool ok = true;
  for (const QString &item : filesAtPaths) {
    QString trimmed = item;
    if (trimmed.endsWith(QLatin1Char('/')))
      trimmed.chop(1);
    const int slash = trimmed.lastIndexOf(QLatin1Char('/'));
    const QString base = trimmed.left(slash + 1);  // keeps its own trailing "/"
    if (!archive.writeFile(trimmed.mid(slash + 1), base))
      ok = false;
  }
  const bool closed = archive.close();
  return ok && closed;
}

bool LumaZipArchive::createZipFileAtPath_withFilesAtPath(const QString &path, const QString &fileAtPath) {
  return createZipFileAtPath(path, QStringList{fileAtPath});
}

LumaZipArchive::LumaZipArchive(const QString &path) : _path(path) {}

LumaZipArchive::~LumaZipArchive() {
  if (_zip && !_closed)
    zipClose(_zip, nullptr);  // the temporary file is discarded with _file
}

bool LumaZipArchive::open() {
  if (_zip || _closed)
    throw std::logic_error("Attempting open an archive which is already open");
  if (_path.isEmpty()) {
    _reason = QStringLiteral("the archive has no file name");
    return false;
  }
  _file = std::make_unique<WholeFile>(_path);
  if (!_file->open()) {
    _reason = _file->reason();
    _file.reset();
    return false;
  }
  zlib_filefunc64_def functions = deviceFunctions();
  _zip = zipOpen2_64(_file->device(), APPEND_STATUS_CREATE, nullptr, &functions);
  if (!_zip) {
    noteFailure(QStringLiteral("the archive could not be started"));
    _file->cancel();
    _file.reset();
    return false;
  }
  return true;
}

void LumaZipArchive::noteFailure(const QString &why) {
  _failed = true;
  if (!_reason.isEmpty())
    return;
  const QString refused = _file ? _file->writeError() : QString();
  _reason = refused.isEmpty() ? why : refused;
}

bool LumaZipArchive::addEntry(const QString &name, const zip_fileinfo *info, Method method) {
  const QByteArray bytes = name.toUtf8();
  bool ascii = true;
  for (char c : bytes)
    ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  const uLong utf8Flag = ascii ? 0 : (1u << 11);  // names beyond ASCII are marked as UTF-8
  const bool stored = method == Method::Stored;
  const int rc = zipOpenNewFileInZip4_64(_zip, bytes.constData(), info, nullptr, 0, nullptr, 0, nullptr,
                                         stored ? 0 : Z_DEFLATED, stored ? 0 : Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, 8,
                                         Z_DEFAULT_STRATEGY, nullptr, 0, 0, utf8Flag, 0);
  if (rc != ZIP_OK)
    noteFailure(QStringLiteral("the entry %1 could not be started").arg(name));
  return rc == ZIP_OK;
}

bool LumaZipArchive::finishEntry() {
  if (zipCloseFileInZip(_zip) != ZIP_OK) {
    noteFailure(QStringLiteral("an entry could not be finished"));
    return false;
  }
  return true;
}

bool LumaZipArchive::writeFile(const QString &file, const QString &basePath) {
  if (!_zip)
    throw std::logic_error("Attempting to write to an archive which was never opened");
  if (_closed)
    return false;
  const QString full = basePath.endsWith(QLatin1Char('/')) || basePath.isEmpty()
                           ? basePath + file
                           : basePath + QLatin1Char('/') + file;
  const QFileInfo info(full);
  if (info.isDir()) {
    const QStringList items = QDir(full).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    if (items.isEmpty()) {
      if (!addEntry(file + QLatin1Char('/'), nullptr))
        return false;
      return finishEntry();
    }
    for (const QString &item : items)
      if (!writeFile(file + QLatin1Char('/') + item, basePath))
        return false;
    return true;
  }
  QFile input(full);
  if (!info.isFile() || !input.open(QIODevice::ReadOnly)) {
    // A listed item that is missing leaves the package incomplete.
    noteFailure(QStringLiteral("%1 cannot be read").arg(full));
    return false;
  }
  if (!addEntry(file, nullptr))
    return false;
  bool ok = true;
  char buffer[16384];
  for (;;) {
    const qint64 n = input.read(buffer, sizeof buffer);
    if (n < 0) {
      ok = false;
      break;
    }
    if (n == 0)
      break;
    if (zipWriteInFileInZip(_zip, buffer, static_cast<unsigned>(n)) != ZIP_OK) {
      ok = false;
      break;
    }
  }
  const bool closed = finishEntry();
  if (!ok)
    noteFailure(QStringLiteral("%1 could not be packed").arg(full));
  return ok && closed;
}

bool LumaZipArchive::writeData(const QByteArray &data, const QString &filename, Method method) {
  if (!_zip || _closed || data.isNull())
    return false;
  zip_fileinfo info{};
  {
    std::lock_guard<std::mutex> lock(localTimeLock());
    zipInfo(&info, QDateTime::currentDateTime());
  }
  if (!addEntry(filename, &info, method))
    return false;
  const bool written = data.isEmpty() ||
                       zipWriteInFileInZip(_zip, data.constData(), static_cast<unsigned>(data.size())) == ZIP_OK;
  const bool closed = finishEntry();
  if (!written)
    noteFailure(QStringLiteral("the entry %1 could not be written").arg(filename));
  return written && closed;
}

void LumaZipArchive::zipInfo(zip_fileinfo *info, const QDateTime &date) {
  const QDateTime local = date.toLocalTime();
  info->tmz_date.tm_sec = static_cast<uInt>(local.time().second());
  info->tmz_date.tm_min = static_cast<uInt>(local.time().minute());
  info->tmz_date.tm_hour = static_cast<uInt>(local.time().hour());
  info->tmz_date.tm_mday = static_cast<uInt>(local.date().day());
  info->tmz_date.tm_mon = static_cast<uInt>(local.date().month() - 1);
  info->tmz_date.tm_year = static_cast<uInt>(local.date().year());
}

bool LumaZipArchive::close() {
  if (!_zip)
    throw std::logic_error("Attempting to close an archive which was never opened");
  if (_closed)
    return false;
  _closed = true;
  const bool finished = zipClose(_zip, nullptr) == ZIP_OK;
  if (!finished || _failed) {
    noteFailure(QStringLiteral("the archive could not be finished"));
    _file->cancel();
    return false;
  }
  // A package cut short by a full disk never replaces the file that was there.
  if (!_file->commit()) {
    if (_reason.isEmpty())
      _reason = _file->reason();
    _failed = true;
    return false;
  }
  return true;
}
