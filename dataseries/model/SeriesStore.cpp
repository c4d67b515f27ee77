#include "dataseries/model/SeriesStore.h"

#include "core/Globals.h"
#include "core/Utilities.h"
#include "platform/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace SeriesStore {

const QString FileAccessError = QStringLiteral("Error in file accessing.");

namespace {

void fail(QString *error, const QString &reason = FileAccessError) {
  if (error)
    *error = reason;
}

}  // namespace

QByteArray encode(const QStringList &values, EmptyValues empties) {
  QByteArray bytes;
  for (const QString &value : values) {
    QString trimmed = Trim_Str(value);
    if (trimmed.isEmpty() && empties == EmptyValues::Skip)
      continue;
    // A value is one line: a line break inside it (a spreadsheet cell written on
    // several lines) becomes a space.
    trimmed.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    trimmed.replace(QLatin1Char('\n'), QLatin1Char(' '));
    bytes += trimmed.toUtf8();
    bytes += '\n';
  }
  return bytes;
}

QString cleanedName(const QString &typed) {
  const QString name = cleanedFileName(typed);
  return isSafeFileName(name) ? name : QString();
}

QString pathOf(const QString &name) {
  if (!isSafeFileName(name) || Data_Folder_Path.isEmpty())
    return QString();
  return joinPath(Data_Folder_Path, name + QLatin1Char('.') + batch_file_EXT);
}

bool exists(const QString &name) {
  const QString path = pathOf(name);
  return !path.isEmpty() && QFileInfo(path).isFile();
}

std::optional<QByteArray> readFile(const QString &path, QString *error) {
  const QFileInfo info(path);
  // Only a regular file is read: a named pipe would wait for a writer for ever.
  if (path.isEmpty() || !info.isFile()) {
    fail(error, QStringLiteral("The series file %1 does not exist.").arg(path));
    return std::nullopt;
  }
  if (info.size() > MaxFileBytes) {
    fail(error, QStringLiteral("The series file %1 is too large.").arg(path));
    return std::nullopt;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    fail(error, QStringLiteral("The series file %1 cannot be read: %2").arg(path, file.errorString()));
    return std::nullopt;
  }
  QByteArray bytes = file.read(MaxFileBytes + 1);
  if (bytes.size() > MaxFileBytes) {
    fail(error, QStringLiteral("The series file %1 is too large.").arg(path));
    return std::nullopt;
  }
  return bytes;
}

std::optional<QString> decode(const QByteArray &bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder.decode(bytes);
  if (decoder.hasError())
    return std::nullopt;
  return text;
}

QStringList editorValues(const QByteArray &bytes) {
  QStringList values;
  if (bytes.isEmpty())
    return values;
  const std::optional<QStringList> rows = bindingRows(bytes);
  if (!rows)
    return values;
  values.reserve(rows->size());
  for (const QString &row : *rows)
    values.append(Trim_Str(row));
  return values;
}

std::optional<QStringList> bindingRows(const QByteArray &bytes) {
  const std::optional<QString> text = decode(bytes);
  if (!text)
    return std::nullopt;
  // Every line is a row, an empty one too wherever it stands (an empty cell of an
  // imported column keeps its row); only the line feed that ends the last value makes
  // no row of its own.
  QString lines = *text;
  if (lines.endsWith(QLatin1Char('\n')))
    lines.chop(1);
  return lines.split(QLatin1Char('\n'));
}

QString firstValue(const QByteArray &bytes) {
  const std::optional<QString> text = decode(bytes);
  if (!text)
    return QString();
  const qsizetype end = text->indexOf(QLatin1Char('\n'));
  return end < 0 ? *text : text->left(end);
}

bool write(const QString &name, const QStringList &values, EmptyValues empties, WriteMode mode, QString *error) {
  const QString path = pathOf(name);
  if (path.isEmpty()) {
    fail(error);
    return false;
  }
  QByteArray bytes;
  if (mode == WriteMode::Append && QFileInfo::exists(path)) {
    std::optional<QByteArray> old = readFile(path);
    if (!old) {
      fail(error);
      return false;
    }
    bytes = *old;
    // What was there ends its last value before the new ones start.
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
      bytes += '\n';
  }
  bytes += encode(values, empties);

  QString reason;
  if (!WholeFiles::write(path, bytes, &reason)) {
    Show_NSLog_Message(QStringLiteral("The series file %1 was not written: %2").arg(path, reason));
    fail(error);
    return false;
  }
  return true;
}

bool writeRenaming(const QString &name, const QString &formerName, const QStringList &values, EmptyValues empties,
                   QString *error) {
  const bool targetExisted = exists(name);
  if (!write(name, values, empties, WriteMode::Replace, error))
    return false;
  if (!targetExisted && !formerName.isEmpty() && formerName != name && exists(formerName))
    Delete_File(pathOf(formerName));
  return true;
}

}  // namespace SeriesStore
