#include "core/QLNSignature.h"

#include "core/CardDrawing.h"
#include "core/Globals.h"
#include "core/MainWindowServices.h"
#include "core/Utilities.h"

#include <QDir>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

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
  // Without a picture: an empty rectangle at the point.
  const QSizeF size = _contents_img.isNull() || !_contents_img.points.isValid() ? QSizeF(0, 0) : _contents_img.points;
  _bounds = QRectF(centre.x() - size.width() / 2.0, centre.y() - size.height() / 2.0, size.width(),
                   size.height());
  if (Main_App_wnd)
    Main_App_wnd->Reset_Image_Editing_Controls();
}

void QLNSignature::setFilePath(const QString &path) {
  const QString chosen = path == QLatin1String("Default") ? samplePath(Sign_Or_FP_Val()) : path;
  file_path = chosen;
  Set_Control_File_path(chosen);
  QString resolved = chosen;
  if (resolved == QLatin1String("~") || resolved.startsWith(QLatin1String("~/")))
    resolved.replace(0, 1, QDir::homePath());
  if (resolved.isEmpty()) {
    _contents_img = PointImage();
    return;
  }
  QString error;
  _contents_img = PointImage::load(QDir::cleanPath(resolved), &error);
  if (_contents_img.isNull())
    Show_NSLog_Message(error);
}

void QLNSignature::drawContentsInView(QPainter *painter, bool isBeingCreateOrEdited) {
  if (!ctrl_is_visible || !painter)
    return;
  if (file_path != _file_path)
    setFilePath(_file_path);
  const QRectF bounds = _bounds;
  if (isDrawingStroke()) {
    QPainterPath border;
    border.addRect(bounds);
    CardDrawing::strokeBorder(painter, border, strokeColor(), strokeWidth(), strokeBorderType());
  }
  const PointImage picture = _contents_img;
  const double w = picture.points.width();
  const double h = picture.points.height();
  // Stretched to the bounds, which needs a picture with a size; else only the border.
  if (!picture.isNull() && std::isfinite(w) && std::isfinite(h) && w > 0.0 && h > 0.0) {
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->drawImage(bounds, picture.pixels);
    painter->restore();
  }
  mainWindowServices().Refresh_Canvas();
}

QLNGraphicPtr QLNSignature::copyWithZone() const {
  auto copy = std::make_shared<QLNSignature>();
  copyBaseFieldsTo(*copy);
  return copy;
}

QLNGraphicPtr QLNSignature::copyForRendering() const {
  return detachedCopy(*this, QLNGraphicPtr(new QLNSignature(*this)));
}
