#include "test_qr_support.h"

#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

namespace {

QString textBetweenQuotes(const QByteArray &line) {
  const int open = int(line.indexOf('"'));
  const int close = int(line.lastIndexOf('"'));
  return open >= 0 && close > open ? QString::fromLatin1(line.mid(open + 1, close - open - 1)) : QString();
}

}  // namespace

QStringList readEachWithZXing(const std::vector<QImage> &images, const QString &format) {
  QStringList results;
  for (size_t i = 0; i < images.size(); ++i)
    results << QString();
  QTemporaryDir folder;
  if (!folder.isValid())
    return results;
  std::vector<QString> paths;
  for (size_t i = 0; i < images.size(); ++i) {
    paths.push_back(folder.filePath(QStringLiteral("s%1.png").arg(i)));
    images[i].save(paths.back(), "PNG");
  }
  const size_t processes = 4;
  const size_t batch = (images.size() + processes - 1) / processes;
  std::vector<std::unique_ptr<QProcess>> running;
  for (size_t first = 0; first < images.size(); first += batch) {
    QStringList arguments{QStringLiteral("-format"), format, QStringLiteral("-1")};
    for (size_t i = first; i < std::min(images.size(), first + batch); ++i)
      arguments << paths[i];
    running.push_back(std::make_unique<QProcess>());
    running.back()->start(QStringLiteral("ZXingReader"), arguments);
  }
  for (auto &process : running) {
    if (!process->waitForFinished(300000)) {
      process->kill();
      process->waitForFinished();
      continue;
    }
    for (const QByteArray &line : process->readAllStandardOutput().split('\n')) {
      // "<path> <format> "<text>"": the path tells the image.
      const int space = int(line.indexOf(' '));
      if (space < 0)
        continue;
      const QString path = QString::fromLocal8Bit(line.left(space));
      for (size_t i = 0; i < paths.size(); ++i)
        if (paths[i] == path && results[qsizetype(i)].isEmpty())
          results[qsizetype(i)] = textBetweenQuotes(line.mid(space + 1));
    }
  }
  return results;
}

namespace {

// Runs `program` with `arguments` and one image's path for every image, four processes at
// a time; the standard output of each, as Latin-1 or UTF-8 text, less a final line break.
QStringList runForEach(const QString &program, const QStringList &arguments, const std::vector<QImage> &images,
                       bool utf8) {
  QStringList results;
  for (size_t i = 0; i < images.size(); ++i)
    results << QString();
  QTemporaryDir folder;
  if (!folder.isValid())
    return results;
  const size_t parallel = 4;
  for (size_t first = 0; first < images.size(); first += parallel) {
    std::vector<std::unique_ptr<QProcess>> running;
    const size_t last = std::min(images.size(), first + parallel);
    for (size_t i = first; i < last; ++i) {
      const QString path = folder.filePath(QStringLiteral("e%1.png").arg(i));
      images[i].save(path, "PNG");
      running.push_back(std::make_unique<QProcess>());
      running.back()->start(program, QStringList(arguments) << path);
    }
    for (size_t i = first; i < last; ++i) {
      QProcess &process = *running[i - first];
      if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        continue;
      }
      QByteArray out = process.readAllStandardOutput();
      if (out.endsWith('\n'))
        out.chop(1);
      results[qsizetype(i)] = utf8 ? QString::fromUtf8(out) : QString::fromLatin1(out);
    }
  }
  return results;
}

}  // namespace

QStringList readEachWithDmtx(const std::vector<QImage> &images) {
  return runForEach(QStringLiteral("dmtxread"), {QStringLiteral("-N"), QStringLiteral("1")}, images, false);
}

QStringList readEachWithZbar(const std::vector<QImage> &images) {
  return runForEach(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q")}, images, true);
}
