#include "platform/WholeFile.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

// The system's words for `savedErrno`; Qt reports a short write without a reason.
QString systemReason(const QFileDevice &file, int savedErrno) {
  if (savedErrno != 0)
    return QString::fromLocal8Bit(std::strerror(savedErrno));
  if (file.error() != QFileDevice::NoError && file.errorString() != QLatin1String("Unknown error"))
    return file.errorString();
  return QStringLiteral("not every byte could be written (the disk may be full)");
}

}  // namespace

// Stands between a writer and the file: Qt's file device reports a short write (the
// last bytes that fit on a full disk) only as a smaller count, which image and PDF
// writers do not look at. Here any short write is a failure that commit() sees.
class WholeFile::Checked : public QIODevice {
public:
  explicit Checked(QSaveFile &file) : m_file(file) {}

  bool isSequential() const override { return false; }
  qint64 size() const override {
    // The file device writes out its buffer first: a failure there is a failed write.
    errno = 0;
    const qint64 bytes = m_file.size();
    if (m_file.error() != QFileDevice::NoError)
      refuse(errno);
    return bytes;
  }
  bool seek(qint64 pos) override {
    errno = 0;
    if (!QIODevice::seek(pos) || !m_file.seek(pos))
      return refuse(errno);
    return true;
  }

  mutable bool failed = false;
  mutable int savedErrno = 0;

protected:
  qint64 readData(char *, qint64) override { return -1; }
  qint64 writeData(const char *data, qint64 len) override {
    if (failed)
      return -1;
    errno = 0;
    if (m_file.write(data, len) != len) {
      refuse(errno);
      return -1;
    }
    return len;
  }

private:
  bool refuse(int error) const {
    if (!failed)
      savedErrno = error;
    failed = true;
    return false;
  }

  QSaveFile &m_file;
};

WholeFile::WholeFile(const QString &path) : m_path(path), m_file(path) {}

WholeFile::~WholeFile() {
  if (m_file.isOpen())
    m_file.cancelWriting();
}

bool WholeFile::fail(const QString &why) {
  m_failed = true;
  if (m_reason.isEmpty())
    m_reason = why.isEmpty() ? QStringLiteral("the file could not be written") : why;
  if (m_file.isOpen())
    m_file.cancelWriting();
  return false;
}

bool WholeFile::failWithSystemReason(int savedErrno) { return fail(systemReason(m_file, savedErrno)); }

bool WholeFile::open(Access access) {
  m_reason.clear();
  m_failed = false;
  if (!m_file.open(QIODevice::WriteOnly))
    return fail(m_file.errorString());
  if (access == Access::OwnerOnly && !m_file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
    return fail(QStringLiteral("its permissions cannot be restricted: %1").arg(m_file.errorString()));
  return true;
}

QIODevice *WholeFile::device() {
  if (!m_device) {
    m_device = std::make_unique<Checked>(m_file);
    m_device->open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  }
  return m_device.get();
}

bool WholeFile::write(const QByteArray &bytes) {
  if (m_failed || !m_file.isOpen())
    return fail(QString());
  errno = 0;
  if (m_file.write(bytes) != bytes.size())
    return failWithSystemReason(errno);
  return true;
}

bool WholeFile::commit() {
  if (m_failed || !m_file.isOpen())
    return fail(QString());
  if (m_device && m_device->failed)
    return failWithSystemReason(m_device->savedErrno);
  if (m_file.error() != QFileDevice::NoError)
    return failWithSystemReason(0);
  // The buffered tail is written here, where its failure is seen; commit() would drop it.
  errno = 0;
  if (!m_file.flush())
    return failWithSystemReason(errno);
  // Some file systems report a full disk only when the data reaches it.
  if (::fsync(m_file.handle()) != 0 && errno != EINVAL && errno != EROFS)
    return failWithSystemReason(errno);
  if (!m_file.commit()) {
    m_failed = true;
    m_reason = m_file.errorString();
    return false;
  }
  return true;
}

QString WholeFile::writeError() const {
  if (m_device && m_device->failed)
    return systemReason(m_file, m_device->savedErrno);
  return m_file.error() != QFileDevice::NoError ? systemReason(m_file, 0) : QString();
}

void WholeFile::cancel() {
  if (m_file.isOpen())
    m_file.cancelWriting();
}

namespace WholeFiles {

namespace {

bool report(const WholeFile &file, QString *reason) {
  if (reason)
    *reason = file.reason();
  return false;
}

}  // namespace

bool write(const QString &path, const QByteArray &bytes, QString *reason, WholeFile::Access access) {
  WholeFile file(path);
  if (!file.open(access) || !file.write(bytes) || !file.commit())
    return report(file, reason);
  return true;
}

bool write(const QString &path, const std::function<bool(QIODevice &device, QString *reason)> &produce,
           QString *reason) {
  WholeFile file(path);
  if (!file.open())
    return report(file, reason);
  QString why;
  if (!produce(*file.device(), &why)) {
    // A refused write (a full disk) is the cause; the writer's own words only follow it.
    const QString refused = file.writeError();
    file.cancel();
    if (reason)
      *reason = !refused.isEmpty() ? refused : !why.isEmpty() ? why : QStringLiteral("the file could not be written");
    return false;
  }
  if (!file.commit())
    return report(file, reason);
  return true;
}

QString couldNotSave(const QString &path, const QString &reason) {
  return QStringLiteral("\"%1\" could not be saved: %2").arg(path, reason);
}

}  // namespace WholeFiles
