#include "designs/Templates.h"

#include "canvas/RenderSide.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace Templates {

namespace {

void setError(QString *error, const QString &text) {
  if (error)
    *error = text;
}

QString systemReason() { return QString::fromLocal8Bit(std::strerror(errno)); }

// Puts `from` in the place of `to`, replacing what is there in one step.
bool replaceFile(const QString &from, const QString &to) {
  return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

bool exists(const QString &path) { return QFileInfo(path).exists() || QFileInfo(path).isSymLink(); }

// A temporary file beside `target`, holding `bytes`, closed. Null (reason in `error`)
// when it cannot be written whole.
std::unique_ptr<QTemporaryFile> writeBeside(const QString &target, const QByteArray &bytes, QString *error) {
  const QFileInfo info(target);
  auto file = std::make_unique<QTemporaryFile>(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                               QStringLiteral(".XXXXXX"));
  if (!file->open()) {
    setError(error, QStringLiteral("%1 cannot be written (%2)").arg(target, file->errorString()));
    return nullptr;
  }
  // A template is no secret: it gets the permissions the user's umask gives new files,
  // not the private ones of a temporary file.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(file->handle(), 0666 & ~mask) != 0 || file->write(bytes) != bytes.size() || !file->flush() ||
      ::fsync(file->handle()) != 0) {
    setError(error, QStringLiteral("%1 cannot be written (%2)").arg(target, file->errorString()));
    return nullptr;
  }
  file->close();
  return file;
}

// A second name for the file at `path` (a hard link beside it), so that it can be put
// back after `path` was replaced; "" when there is no file or no link can be made.
QString keepOld(const QString &path) {
  if (!QFileInfo(path).isFile())
    return QString();
  const QFileInfo info(path);
  for (int n = 0; n < 100; ++n) {
    const QString spare = info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                          QStringLiteral(".old%1").arg(n);
    if (exists(spare))
      continue;
    if (::link(QFile::encodeName(path).constData(), QFile::encodeName(spare).constData()) == 0)
      return spare;
    return QString();
  }
  return QString();
}

void removeQuietly(const QString &path) {
  if (!path.isEmpty())
    QFile::remove(path);
}

}  // namespace

PointImage previewOfSides(const CardSideSnapshot &front, const CardSideSnapshot &back, QString *error) {
  QImage sides[2];
  const CardSideSnapshot *snapshots[2] = {&front, &back};
  for (int side = 0; side < 2; ++side) {
    QString drawingError;
    const PointImage image = Render::renderSideImage(*snapshots[side], PreviewDpi, &drawingError, error);
    if (image.isNull())
      return {};
    if (!drawingError.isEmpty()) {
      setError(error, drawingError);
      return {};
    }
    sides[side] = image.pixels;
  }
  const double scale = PreviewDpi / Images::PointsPerInch;
  const int gap = int(PreviewSideGap * scale);
  QImage both(sides[0].width() + gap + sides[1].width(), std::max(sides[0].height(), sides[1].height()),
              QImage::Format_ARGB32_Premultiplied);
  both.fill(Qt::transparent);
  {
    QPainter painter(&both);
    painter.drawImage(0, 0, sides[0]);
    painter.drawImage(sides[0].width() + gap, 0, sides[1]);
  }
  PointImage preview;
  preview.pixels = both;
  preview.points = QSizeF(both.width() / scale, both.height() / scale);
  return preview;
}

QString builtInFolder() {
  return Resource_Path.isEmpty() ? QString() : joinPath(Resource_Path, QStringLiteral("Templates"));
}

QString userFolder() {
  const QString templates = builtInFolder();
  return templates.isEmpty() ? QString() : joinPath(templates, QStringLiteral("User"));
}

QString designPathForPreview(const QString &previewPath) {
  const QFileInfo info(previewPath);
  const QString suffix = info.suffix();
  const QString base = suffix.isEmpty() ? previewPath : previewPath.left(previewPath.size() - suffix.size() - 1);
  return base + QLatin1Char('.') + design_file_EXT;
}

QString Create_New_File_Path(const QString &previewPath) {
  const QFileInfo info(previewPath);
  const QString folder = info.path();
  const QString base = info.completeBaseName();
  const QString extension = info.suffix();
  for (int n = 1;; ++n) {
    const QString candidate =
        joinPath(folder, QStringLiteral("%1 (copy %2).%3").arg(base, QString::number(n), extension));
    if (!exists(candidate))
      return candidate;
  }
}

bool writeTemplatePair(const QString &base, const QByteArray &designBytes, const QByteArray &previewBytes,
                       QString *error) {
  const QString designPath = base + QLatin1Char('.') + design_file_EXT;
  const QString previewPath = base + QStringLiteral(".png");
  // Both new files, whole, before anything of the old pair is touched.
  std::unique_ptr<QTemporaryFile> design = writeBeside(designPath, designBytes, error);
  if (!design)
    return false;
  std::unique_ptr<QTemporaryFile> preview = writeBeside(previewPath, previewBytes, error);
  if (!preview)
    return false;

  // The old design log is kept under a second name until the preview is in place too,
  // so that a failure between the two steps can put it back.
  const QString oldDesign = keepOld(designPath);
  if (!replaceFile(design->fileName(), designPath)) {
    setError(error, QStringLiteral("%1 cannot be replaced (%2)").arg(designPath, systemReason()));
    removeQuietly(oldDesign);
    return false;
  }
  design->setAutoRemove(false);
  if (!replaceFile(preview->fileName(), previewPath)) {
    setError(error, QStringLiteral("%1 cannot be replaced (%2)").arg(previewPath, systemReason()));
    if (!oldDesign.isEmpty())
      replaceFile(oldDesign, designPath);
    else
      QFile::remove(designPath);
    return false;
  }
  preview->setAutoRemove(false);
  removeQuietly(oldDesign);
  return true;
}

bool copyTemplate(const QString &previewPath, const QString &newPreviewPath, QString *error) {
  const QString designPath = designPathForPreview(previewPath);
  const QString newDesignPath = designPathForPreview(newPreviewPath);
  if (exists(newPreviewPath) || exists(newDesignPath)) {
    setError(error, QStringLiteral("%1 exists already").arg(exists(newPreviewPath) ? newPreviewPath : newDesignPath));
    return false;
  }
  QFile preview(previewPath);
  if (!preview.copy(newPreviewPath)) {
    setError(error, QStringLiteral("%1 cannot be copied (%2)").arg(previewPath, preview.errorString()));
    return false;
  }
  QFile design(designPath);
  if (!design.copy(newDesignPath)) {
    setError(error, QStringLiteral("%1 cannot be copied (%2)").arg(designPath, design.errorString()));
    QFile::remove(newPreviewPath);
    return false;
  }
  return true;
}

bool renameTemplate(const QString &previewPath, const QString &newBase, QString *error) {
  const QString designPath = designPathForPreview(previewPath);
  const QString newPreviewPath = newBase + QStringLiteral(".png");
  const QString newDesignPath = newBase + QLatin1Char('.') + design_file_EXT;
  const bool movePreview = QFileInfo(newPreviewPath).absoluteFilePath() != QFileInfo(previewPath).absoluteFilePath();
  const bool moveDesign = QFileInfo(newDesignPath).absoluteFilePath() != QFileInfo(designPath).absoluteFilePath();
  if (!movePreview && !moveDesign)
    return true;
  if ((movePreview && exists(newPreviewPath)) || (moveDesign && exists(newDesignPath))) {
    setError(error, QStringLiteral("%1 exists already").arg(movePreview && exists(newPreviewPath) ? newPreviewPath
                                                                                                 : newDesignPath));
    return false;
  }
  if (!QFileInfo(designPath).isFile()) {
    setError(error, QStringLiteral("%1 is missing").arg(designPath));
    return false;
  }
  // Plain renames inside one folder: nothing is copied, and the new names appear only
  // when the old ones go.
  if (moveDesign && !replaceFile(designPath, newDesignPath)) {
    setError(error, QStringLiteral("%1 cannot be renamed (%2)").arg(designPath, systemReason()));
    return false;
  }
  if (movePreview && !replaceFile(previewPath, newPreviewPath)) {
    setError(error, QStringLiteral("%1 cannot be renamed (%2)").arg(previewPath, systemReason()));
    if (moveDesign)
      replaceFile(newDesignPath, designPath);
    return false;
  }
  return true;
}

bool deleteTemplate(const QString &previewPath, QString *error) {
  const QString designPath = designPathForPreview(previewPath);
  bool removed = true;
  for (const QString &path : {previewPath, designPath}) {
    if (!exists(path))
      continue;
    QFile file(path);
    if (!file.remove()) {
      setError(error, QStringLiteral("%1 cannot be deleted (%2)").arg(path, file.errorString()));
      removed = false;
    }
  }
  return removed;
}

}  // namespace Templates
