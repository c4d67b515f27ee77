#include "tests/common/decoder_support.h"

#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Writes the image into a private folder and runs `program` with `arguments` and the
// file's path last. Output is split into lines; an empty last line is dropped.
DecodeResult runReader(const QString &program, QStringList arguments, const QImage &image, bool latin1, bool rawBytes) {
  DecodeResult result;
  QTemporaryDir folder;
  if (!folder.isValid()) {
    result.error = QStringLiteral("no temporary folder");
    return result;
  }
  const QString path = folder.filePath(QStringLiteral("symbol.png"));
  if (!image.save(path, "PNG")) {
    result.error = QStringLiteral("the image could not be written");
    return result;
  }
  arguments << path;
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForStarted(10000)) {
    result.error = program + QStringLiteral(" could not be started");
    return result;
  }
  if (!process.waitForFinished(60000)) {
    process.kill();
    process.waitForFinished();
    result.error = program + QStringLiteral(" did not finish");
    return result;
  }
  if (process.exitStatus() == QProcess::CrashExit) {
    result.error = program + QStringLiteral(" crashed: ") + QString::fromUtf8(process.readAllStandardError());
    return result;
  }
  result.ran = true;
  const QByteArray out = process.readAllStandardOutput();
  result.error = QString::fromUtf8(process.readAllStandardError());
  if (rawBytes) {
    if (!out.isEmpty())
      result.texts << QString::fromLatin1(out);
    return result;
  }
  QList<QByteArray> lines = out.split('\n');
  if (!lines.isEmpty() && lines.last().isEmpty())
    lines.removeLast();
  for (const QByteArray &line : lines)
    result.texts << (latin1 ? QString::fromLatin1(line) : QString::fromUtf8(line));
  return result;
}

}  // namespace

QImage linearSymbolImage(const QString &modules, int moduleWidth, int height, int quietModules) {
  const int margin = 10;
  QImage image((int(modules.size()) + 2 * quietModules) * moduleWidth, height + 2 * margin, QImage::Format_Grayscale8);
  image.fill(Qt::white);
  QPainter painter(&image);
  for (int index = 0; index < modules.size(); ++index)
    if (modules.at(index) == QLatin1Char('1'))
      painter.fillRect((quietModules + index) * moduleWidth, margin, moduleWidth, height, Qt::black);
  return image;
}

QImage linearSymbolsImage(const QStringList &modules, int moduleWidth, int height, int quietModules, int gap) {
  int width = 0;
  for (const QString &symbol : modules)
    width = qMax(width, (int(symbol.size()) + 2 * quietModules) * moduleWidth);
  const int margin = 10;
  const int rowHeight = height + gap;
  QImage image(qMax(width, 1), int(modules.size()) * rowHeight + 2 * margin, QImage::Format_Grayscale8);
  image.fill(Qt::white);
  QPainter painter(&image);
  for (int row = 0; row < modules.size(); ++row) {
    const QString &symbol = modules.at(row);
    const int top = margin + row * rowHeight + gap / 2;
    for (int index = 0; index < symbol.size(); ++index)
      if (symbol.at(index) == QLatin1Char('1'))
        painter.fillRect((quietModules + index) * moduleWidth, top, moduleWidth, height, Qt::black);
  }
  return image;
}

QImage matrixSymbolImage(const std::vector<std::vector<bool>> &rows, int moduleSize, int quietModules) {
  const int height = int(rows.size());
  const int width = rows.empty() ? 0 : int(rows.front().size());
  QImage image((width + 2 * quietModules) * moduleSize, (height + 2 * quietModules) * moduleSize,
               QImage::Format_Grayscale8);
  image.fill(Qt::white);
  QPainter painter(&image);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < int(rows[size_t(y)].size()); ++x)
      if (rows[size_t(y)][size_t(x)])
        painter.fillRect((quietModules + x) * moduleSize, (quietModules + y) * moduleSize, moduleSize, moduleSize,
                         Qt::black);
  return image;
}

DecodeResult decodeWithZbar(const QImage &image) {
  // The plain report, one symbol a line. (Its XML report would keep line breaks, but
  // this zbar garbles non-ASCII data there.)
  return runReader(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q")}, image, false, false);
}

DecodeResult decodeWithZXing(const QImage &image, const QString &format, bool bytes) {
  QStringList arguments;
  if (!format.isEmpty())
    arguments << QStringLiteral("-format") << format;
  if (bytes)
    arguments << QStringLiteral("-bytes");
  DecodeResult result = runReader(QStringLiteral("ZXingReader"), arguments, image, true, true);
  if (!result.ran && result.error.contains(QLatin1String("crashed"))) {
    // This reader aborts on an assertion when it compares the findings of its
    // downscaled passes over several linear symbols; the full-size pass alone reads
    // them.
    arguments.prepend(QStringLiteral("-noscale"));
    result = runReader(QStringLiteral("ZXingReader"), arguments, image, true, true);
  }
  if (bytes || !result.ran)
    return result;
  // One block per symbol: 'Text:       "..."', 'Bytes: 41 62 ...', ..., 'Format: Code128'.
  // The text is written unescaped between quotes and may run over several lines; it
  // ends where the "Bytes:" line begins.
  const QString report = result.texts.isEmpty() ? QString() : result.texts.first();
  result.texts.clear();
  const QStringList lines = report.split(QLatin1Char('\n'));
  for (int i = 0; i < lines.size(); ++i) {
    if (lines[i].startsWith(QLatin1String("Text:"))) {
      QString text = lines[i].mid(5);
      while (text.startsWith(QLatin1Char(' ')))
        text.remove(0, 1);
      while (i + 1 < lines.size() && !lines[i + 1].startsWith(QLatin1String("Bytes:")))
        text += QLatin1Char('\n') + lines[++i];
      if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        text = text.mid(1, text.size() - 2);
      result.texts << QString::fromUtf8(text.toLatin1());
    } else if (lines[i].startsWith(QLatin1String("Format:"))) {
      result.formats << lines[i].mid(7).trimmed();
    } else if (lines[i].startsWith(QLatin1String("EC Level:"))) {
      result.ecLevels << lines[i].mid(9).trimmed();
    }
  }
  return result;
}

DecodeResult decodeWithDmtx(const QImage &image) {
  return runReader(QStringLiteral("dmtxread"), {QStringLiteral("-n"), QStringLiteral("-m"), QStringLiteral("20000")},
                   image, true, false);
}
