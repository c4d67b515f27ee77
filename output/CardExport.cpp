#include "output/CardExport.h"

#include "core/Utilities.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <exception>

namespace CardExport {

const QString BatchFolderName = QStringLiteral("Amends Greeting Cards");
const QString ExportedMessage = QStringLiteral("Card has been exported successfully.");
const QString unable_saving_Msg =
    QStringLiteral("Unable to continue saving barcode image.\n\nEither Destination Drive is inaccessible or there is "
                   "no free space available in drive to save barcode image.");

QString Create_Front_Card_Path(const QString &path) { return path; }

QString Create_Back_Card_Path(const QString &path) {
  // Only the last component changes: a folder that happens to carry the file's name
  // (/x/Card_1.png/Card_1.png) keeps it.
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  const QString folder = path.left(slash + 1);
  const QString last = path.mid(slash + 1);
  // The last extension, as a point after the name's first character begins it.
  const qsizetype dot = last.lastIndexOf(QLatin1Char('.'));
  const bool hasExtension = dot > 0;
  const QString name = hasExtension ? last.left(dot) : last;
  const QString extension = hasExtension ? last.mid(dot + 1) : QString();
  return folder + name + QStringLiteral("_Back.") + extension;
}

QString batchFolder(const QString &chosenFolder) { return joinPath(chosenFolder, BatchFolderName); }

QString cardPath(const QString &folder, int card, const QString &extension) {
  return joinPath(folder, QStringLiteral("Card_%1.%2").arg(card + 1).arg(extension));
}

bool makeBatchFolder(const QString &folder, QString *error) {
  // mkpath makes the missing folders with 0777 less the user's umask.
  if (folder.isEmpty() || !QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
    if (error)
      *error = QStringLiteral("The folder %1 cannot be made.").arg(folder);
    return false;
  }
  return true;
}

double parseResolution(const QString &text) {
  bool ok = false;
  const double dpi = QLocale::c().toDouble(text.trimmed(), &ok);
  if (!ok || !std::isfinite(dpi) || dpi < MinDpi || dpi > MaxDpi)
    return 0;
  return dpi;
}

PointImage combinedImage(const PointImage &front, const PointImage &back, QString *error) {
  const double w = front.points.width();
  const double h = front.points.height();
  if (front.isNull() || back.isNull() || !(w > 0) || !(h > 0) || !std::isfinite(w) || !std::isfinite(h)) {
    if (error)
      *error = QStringLiteral("Invalid image");
    return PointImage();
  }
  const int width = front.pixels.width();
  const int half = front.pixels.height();
  if (qint64(width) * half * 2 > Images::MaxPixels) {
    if (error)
      *error = QStringLiteral("Invalid image");
    return PointImage();
  }
  QImage pixels(width, half * 2, QImage::Format_ARGB32_Premultiplied);
  if (pixels.isNull()) {
    if (error)
      *error = QStringLiteral("Invalid image");
    return PointImage();
  }
  pixels.fill(Qt::transparent);
  {
    QPainter painter(&pixels);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    // The back at its own pixel size, standing on the bottom edge; then the front over
    // the upper half.
    painter.drawImage(QPoint(0, half * 2 - back.pixels.height()), back.pixels);
    painter.drawImage(QPoint(0, 0), front.pixels);
  }
  return PointImage{pixels, QSizeF(w, 2 * h)};
}

// ---- One card ----------------------------------------------------------------------------------

namespace {

PointImage sideImage(const SideMaker &makeSide, int card, bool back, double dpi, QStringList &reasons) {
  QString failure;
  const CardPicture picture = makeSide(card, back, &failure);
  if (!failure.isEmpty())
    reasons.append(failure);
  if (picture.isNull()) {
    if (failure.isEmpty())
      reasons.append(QStringLiteral("The card could not be rendered."));
    return PointImage();
  }
  QString error;
  PointImage image = picture.toImage(dpi, &error);
  if (image.isNull())
    reasons.append(error.isEmpty() ? QStringLiteral("The card could not be rendered.") : error);
  return image;
}

}  // namespace

QList<CardFile> cardFiles(const SideMaker &makeSide, int card, const QString &folder, const Options &options,
                          QString *failure) {
  QStringList reasons;
  QList<CardFile> files;
  const QString path = cardPath(folder, card, options.extension);
  try {
    if (options.side == QLatin1String("BOTH")) {
      const PointImage back = sideImage(makeSide, card, true, options.dpi, reasons);
      const PointImage front = sideImage(makeSide, card, false, options.dpi, reasons);
      if (reasons.isEmpty()) {
        if (options.combined) {
          QString error;
          const PointImage both = combinedImage(front, back, &error);
          if (both.isNull())
            reasons.append(error);
          else
            files.append({Create_Front_Card_Path(path), both});
        } else {
          files.append({Create_Back_Card_Path(path), back});
          files.append({Create_Front_Card_Path(path), front});
        }
      }
    } else if (options.side == QLatin1String("F")) {
      const PointImage front = sideImage(makeSide, card, false, options.dpi, reasons);
      if (reasons.isEmpty())
        files.append({Create_Front_Card_Path(path), front});
    } else {
      const PointImage back = sideImage(makeSide, card, true, options.dpi, reasons);
      if (reasons.isEmpty())
        files.append({Create_Back_Card_Path(path), back});
    }
  } catch (const std::exception &error) {
    reasons.append(QString::fromUtf8(error.what()));
  } catch (...) {
    reasons.append(QStringLiteral("The card could not be rendered."));
  }
  if (!reasons.isEmpty())
    files.clear();
  if (failure)
    *failure = reasons.join(QLatin1Char('\n'));
  return files;
}

SideMaker sideMakerOf(std::shared_ptr<const BatchCardSource> run, std::shared_ptr<BatchRunFailures> unheld) {
  return [run = std::move(run), unheld = std::move(unheld)](int card, bool back, QString *failure) {
    if (!run) {
      if (failure)
        *failure = QStringLiteral("There is no card to export.");
      return CardPicture();
    }
    return run->cardOfRun(card, back, false, failure, unheld.get());
  };
}

// ---- The batch ----------------------------------------------------------------------------------

BatchEngine::BatchEngine(SideMaker makeSide, int count, QString folder, Options options, int threads)
    : m_makeSide(std::move(makeSide)), m_count(std::max(0, count)), m_folder(std::move(folder)),
      m_options(std::move(options)) {
  const int ideal = std::max(1, QThread::idealThreadCount());
  m_threads = std::clamp(threads > 0 ? threads : ideal, 1, std::max(1, m_count));
  m_done.assign(size_t(m_count), 0);
}

BatchEngine::~BatchEngine() {
  m_stopRequested = true;
  wait();
}

void BatchEngine::start(const std::atomic<bool> *stop) {
  if (!m_workers.empty() || m_finished.load())
    return;
  m_stop = stop;
  if (m_count == 0) {
    m_finished = true;
    if (onFinished)
      onFinished();
    return;
  }
  m_running = m_threads;
  m_workers.reserve(size_t(m_threads));
  for (int i = 0; i < m_threads; ++i)
    m_workers.emplace_back([this] { work(); });
}

void BatchEngine::wait() {
  for (std::thread &worker : m_workers)
    if (worker.joinable())
      worker.join();
}

void BatchEngine::run(const std::atomic<bool> *stop) {
  start(stop);
  wait();
}

int BatchEngine::finishedInOrder() const {
  std::lock_guard lock(m_mutex);
  return m_inOrder;
}

void BatchEngine::work() {
  for (;;) {
    if (m_stopRequested.load() || (m_stop && m_stop->load()))
      break;
    const int card = m_next.fetch_add(1);
    if (card >= m_count)
      break;
    QString failure;
    const QList<CardFile> files = cardFiles(m_makeSide, card, m_folder, m_options, &failure);
    QStringList reasons;
    if (!failure.isEmpty())
      reasons.append(failure);
    for (const CardFile &file : files) {
      QString error;
      // The resolution recorded is the one chosen: pixels per point times 72.
      const double dpi = file.image.points.width() > 0
                             ? file.image.pixels.width() * Images::PointsPerInch / file.image.points.width()
                             : m_options.dpi;
      if (writePng(file.path, file.image.pixels, dpi, &error))
        ++m_filesWritten;
      else
        reasons.append(error.isEmpty() ? QStringLiteral("%1 cannot be written.").arg(file.path) : error);
    }
    if (!reasons.isEmpty())
      m_failures.add(card, reasons.join(QLatin1Char('\n')));
    cardDone(card);
  }
  if (m_running.fetch_sub(1) == 1) {
    m_finished = true;
    if (onFinished)
      onFinished();
  }
}

void BatchEngine::cardDone(int card) {
  int reached = -1;
  {
    std::lock_guard lock(m_mutex);
    m_done[size_t(card)] = 1;
    const int before = m_inOrder;
    while (m_inOrder < m_count && m_done[size_t(m_inOrder)])
      ++m_inOrder;
    if (m_inOrder != before)
      reached = m_inOrder;
    // Reported under the lock, so that the counts arrive in increasing order.
    if (reached >= 0 && onProgress)
      onProgress(reached);
  }
}

}  // namespace CardExport
