#include "designs/model/ApologyCatalogue.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include "platform/Images.h"
#include "platform/Paths.h"

#include <QFile>

QString Event_Type = QStringLiteral("1");

namespace {

// Reads the whole regular file at `path` when it holds at most `maxBytes` bytes.
std::optional<QByteArray> readSmallFile(const QString &path, qint64 maxBytes, QString *error) {
  QFile file;
  QString reason;
  if (!openRegularFile(file, path, &reason)) {
    if (error)
      *error = reason;
    return std::nullopt;
  }
  if (file.size() > maxBytes) {
    if (error)
      *error = QStringLiteral("\"%1\" is larger than %2 bytes.").arg(path).arg(maxBytes);
    return std::nullopt;
  }
  // Read one byte beyond the limit: a file that grows while it is read is refused too.
  QByteArray bytes = file.read(maxBytes + 1);
  if (file.error() != QFileDevice::NoError) {
    if (error)
      *error = QStringLiteral("\"%1\" could not be read: %2").arg(path, file.errorString());
    return std::nullopt;
  }
  if (bytes.size() > maxBytes) {
    if (error)
      *error = QStringLiteral("\"%1\" is larger than %2 bytes.").arg(path).arg(maxBytes);
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

QString ApologyCatalogue::relativePath() { return QStringLiteral("Catalogue/Apologies.txt"); }

int ApologyCatalogue::indexOfEvent(const QString &eventCode) {
  bool ok = false;
  const int code = eventCode.toInt(&ok);
  // Only the plain codes "1" ... "10" (no sign, space or leading zero).
  if (!ok || code < 1 || code > EventCount || QString::number(code) != eventCode)
    return -1;
  return code - 1;
}

ApologyCatalogue ApologyCatalogue::parse(const QByteArray &utf8, QStringList *problems) {
  ApologyCatalogue catalogue;
  int current = -1;
  const QStringList lines = QString::fromUtf8(utf8).split(QLatin1Char('\n'));
  const auto report = [&](int lineIndex, const QString &what) {
    if (problems)
      problems->append(QStringLiteral("line %1: %2").arg(lineIndex + 1).arg(what));
  };
  for (int i = 0; i < lines.size(); ++i) {
    const QString line = Trim_Str(lines[i]);
    if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
      continue;
    if (line.startsWith(QLatin1Char('['))) {
      const int close = line.indexOf(QLatin1Char(']'));
      current = close > 1 ? indexOfEvent(line.mid(1, close - 1)) : -1;
      if (current < 0)
        report(i, QStringLiteral("unknown event \"%1\"").arg(line));
      continue;
    }
    static const QString titleKey = QStringLiteral("title:");
    static const QString messageKey = QStringLiteral("message:");
    const bool isTitle = line.startsWith(titleKey);
    const bool isMessage = !isTitle && line.startsWith(messageKey);
    if (!isTitle && !isMessage) {
      report(i, QStringLiteral("neither a title nor a message"));
      continue;
    }
    if (current < 0) {
      report(i, QStringLiteral("entry outside an event"));
      continue;
    }
    const QString text = Trim_Str(line.mid(isTitle ? titleKey.size() : messageKey.size()));
    if (text.isEmpty()) {
      report(i, QStringLiteral("empty entry"));
      continue;
    }
    if (isTitle)
      catalogue.m_events[current].titles.append(cutToLimit(text, TitleLimit));
    else
      catalogue.m_events[current].messages.append(cutToLimit(text, MessageLimit));
  }
  return catalogue;
}

std::optional<ApologyCatalogue> ApologyCatalogue::load(const QString &path, QString *error) {
  const std::optional<QByteArray> bytes = readSmallFile(path, MaxFileBytes, error);
  if (!bytes)
    return std::nullopt;
  QStringList problems;
  ApologyCatalogue catalogue = parse(*bytes, &problems);
  for (const QString &problem : problems)
    Show_NSLog_Message(QStringLiteral("Apology catalogue \"%1\", %2").arg(path, problem));
  return catalogue;
}

ApologyCatalogue ApologyCatalogue::builtIn() {
  QStringList reasons;
  for (const QString &folder : {Paths::shippedResourcesFolder(), Resource_Path}) {
    const QString path = joinPath(folder, relativePath());
    if (path.isEmpty())
      continue;
    QString reason;
    if (std::optional<ApologyCatalogue> catalogue = load(path, &reason))
      return *catalogue;
    reasons << reason;
  }
  Show_NSLog_Message(QStringLiteral("The apology catalogue could not be read. %1").arg(reasons.join(QLatin1Char(' '))));
  return ApologyCatalogue();
}

QStringList ApologyCatalogue::titles(const QString &eventCode) const {
  const int index = indexOfEvent(eventCode);
  return index < 0 ? QStringList() : m_events[index].titles;
}

QStringList ApologyCatalogue::messages(const QString &eventCode) const {
  const int index = indexOfEvent(eventCode);
  return index < 0 ? QStringList() : m_events[index].messages;
}

bool ApologyCatalogue::isEmpty() const {
  for (const Lists &lists : m_events)
    if (!lists.titles.isEmpty() || !lists.messages.isEmpty())
      return false;
  return true;
}

QString cutToLimit(const QString &text, int limit) {
  if (limit < 0)
    limit = 0;
  if (text.size() <= limit)
    return text;
  if (limit > 0 && text.at(limit - 1).isHighSurrogate())
    --limit;
  return text.left(limit);
}

std::optional<QStringList> readApologyListFile(const QString &path, int lengthLimit, QString *error) {
  const std::optional<QByteArray> bytes = readSmallFile(path, ApologyCatalogue::MaxFileBytes, error);
  if (!bytes)
    return std::nullopt;
  QStringList entries = Trim_Str(QString::fromUtf8(*bytes)).split(QLatin1Char('\n'));
  for (QString &entry : entries) {
    if (entry.endsWith(QLatin1Char('\r')))
      entry.chop(1);
    entry = cutToLimit(entry, lengthLimit);
  }
  return entries;
}
