#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

#include <functional>
#include <memory>

// The one way the program writes a file: the new bytes go to a temporary file beside
// the target, and only when every one of them is on the disk does the temporary file
// take the target's place. A full disk, a file-size limit or any other failed write
// leaves the old file byte for byte as it was and reports why.
//
// QSaveFile alone is not enough: its commit() does not notice that writing the last
// buffered bytes failed, so a cut-off file would replace a whole one. WholeFile checks
// every write, flushes, and only then commits.
class WholeFile {
public:
  enum class Access { Normal, OwnerOnly };

  explicit WholeFile(const QString &path);
  ~WholeFile();  // a file never committed is discarded
  WholeFile(const WholeFile &) = delete;
  WholeFile &operator=(const WholeFile &) = delete;

  // Starts the new file. OwnerOnly files (passwords) are readable by their owner alone
  // before the first byte is written.
  bool open(Access access = Access::Normal);

  // The device to hand to writers that take one (images, PDF, zip). Every write into it
  // is checked, also the ones whose results a writer ignores, and a refused one fails
  // the commit().
  QIODevice *device();

  // Writes all of `bytes` or fails.
  bool write(const QByteArray &bytes);

  // Puts the new file in the target's place if every write succeeded. On failure the
  // temporary file is removed, the target is untouched, and reason() says why.
  bool commit();

  // Discards the new file; the target stays as it was.
  void cancel();

  // Why the last step failed, as the system puts it ("No space left on device").
  QString reason() const { return m_reason; }
  // What the system said when a write into device() was refused; "" when none was.
  QString writeError() const;
  QString path() const { return m_path; }

private:
  class Checked;
  bool fail(const QString &why);
  bool failWithSystemReason(int savedErrno);

  QString m_path;
  QSaveFile m_file;
  std::unique_ptr<Checked> m_device;
  QString m_reason;
  bool m_failed = false;
};

namespace WholeFiles {

// Writes `bytes` to `path` whole or not at all. On failure `reason` holds why.
bool write(const QString &path, const QByteArray &bytes, QString *reason = nullptr,
           WholeFile::Access access = WholeFile::Access::Normal);

// Writes to `path` what `produce` writes into the device it is given, whole or not at
// all. `produce` returns false (with its own reason) to abandon the file.
bool write(const QString &path, const std::function<bool(QIODevice &device, QString *reason)> &produce,
           QString *reason = nullptr);

// The message the user sees when a file cannot be saved and no other text is given.
QString couldNotSave(const QString &path, const QString &reason);

}  // namespace WholeFiles
