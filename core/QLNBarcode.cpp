#include "core/QLNBarcode.h"

#include "core/Globals.h"
#include "core/MainWindowServices.h"
#include "core/Utilities.h"

#include <QDir>
#include <QPainter>

#include <cmath>

void QLNBarcode::barcode_image_var_assign() {
  if (!_barcode_image.isNull()) {
    _contents = _barcode_image;
    return;
  }
  const QString path = QDir::cleanPath(joinPath(Resource_Path, QStringLiteral("barcode_sample.png")));
  if (m_sample.isNull() || path != m_samplePath) {
    m_sample = PointImage::load(path);
    m_samplePath = path;
  }
  _contents = m_sample;
}

void QLNBarcode::initWithPosition(const QPointF &point, const PointImage &) {
  barcode_image_var_assign();
  // Without a picture (no stored one, no sample file): an empty rectangle at the point.
  const QSizeF size = _contents.isNull() || !_contents.points.isValid() ? QSizeF(0, 0) : _contents.points;
  _bounds = QRectF(point.x() - size.width() / 2.0, point.y() - size.height() / 2.0, size.width(),
                   size.height());
}

QLNGraphicPtr QLNBarcode::copyWithZone() const {
  auto copy = std::make_shared<QLNBarcode>();
  copyBaseFieldsTo(*copy);
  return copy;
}

void QLNBarcode::drawContentsInView(QPainter *painter, bool isBeingCreateOrEdited) {
  if (!ctrl_is_visible || !painter)
    return;
  barcode_image_var_assign();
  const PointImage picture = _contents;
  const double w = picture.points.width();
  const double h = picture.points.height();
  if (!picture.isNull() && std::isfinite(w) && std::isfinite(h) && w > 0.0 && h > 0.0) {
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->drawImage(QRectF(_bounds.topLeft(), QSizeF(w, h)), picture.pixels);
    painter->restore();
  }
  mainWindowServices().Refresh_Canvas();
}
