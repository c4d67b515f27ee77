#include "core/QLNBarcode.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include <QDir>

void QLNBarcode::barcode_image_var_assign() {
  if (!_barcode_image.isNull())
    _contents = _barcode_image;
  else
    _contents = PointImage::load(QDir::cleanPath(joinPath(Resource_Path, QStringLiteral("barcode_sample.png"))));
}

void QLNBarcode::initWithPosition(const QPointF &point, const PointImage &) {
  barcode_image_var_assign();
  const QSizeF size = _contents.points;
  _bounds = QRectF(point.x() - size.width() / 2.0, point.y() - size.height() / 2.0, size.width(),
                   size.height());
}

QLNGraphicPtr QLNBarcode::copyWithZone() const {
  auto copy = std::make_shared<QLNBarcode>();
  copyBaseFieldsTo(*copy);
  return copy;
}
