#include "core/QLNSignature.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include <QDir>

QString QLNSignature::samplePath(const QString &sign_or_FP) {
  return joinPath(Resource_Path, sign_or_FP == QLatin1String("S") ? QStringLiteral("sign_sample.png")
                                                                  : QStringLiteral("fingerprints.png"));
}

void QLNSignature::initWithPosition(const QPointF &centre, const PointImage &contents,
                                    const QString &sign_or_FP) {
  _contents_img = contents;
  file_path = samplePath(sign_or_FP);
  Set_Control_File_path(file_path);
  Set_Sign_Or_FP(sign_or_FP);
  const QSizeF size = _contents_img.points;
  _bounds = QRectF(centre.x() - size.width() / 2.0, centre.y() - size.height() / 2.0, size.width(),
                   size.height());
}

void QLNSignature::setFilePath(const QString &path) {
  const QString chosen = path == QLatin1String("Default") ? samplePath(Sign_Or_FP_Val()) : path;
  file_path = chosen;
  Set_Control_File_path(chosen);
  QString resolved = chosen;
  if (resolved == QLatin1String("~") || resolved.startsWith(QLatin1String("~/")))
    resolved.replace(0, 1, QDir::homePath());
  _contents_img = resolved.isEmpty() ? PointImage() : PointImage::load(QDir::cleanPath(resolved));
}

QLNGraphicPtr QLNSignature::copyWithZone() const {
  auto copy = std::make_shared<QLNSignature>();
  copyBaseFieldsTo(*copy);
  return copy;
}
