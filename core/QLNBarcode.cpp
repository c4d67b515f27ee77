#include "core/QLNBarcode.h"

#include "core/Globals.h"
#include "core/MainWindowServices.h"
#include "core/Utilities.h"

#include <QDir>
#include <QPainter>

#include <algorithm>
#include <cmath>

void QLNBarcode::barcode_image_var_assign() { _contents = pictureShown(); }

PointImage QLNBarcode::pictureShown() {
  if (!_barcode_image.isNull())
    return _barcode_image;
  const QString path = QDir::cleanPath(joinPath(Resource_Path, QStringLiteral("barcode_sample.png")));
  if (m_sample.isNull() || path != m_samplePath) {
    m_sample = PointImage::load(path);
    m_samplePath = path;
  }
  return m_sample;
}

void QLNBarcode::initWithPosition(const QPointF &point, const PointImage &) {
  barcode_image_var_assign();
  // Without a picture (no stored one, no sample file): an empty rectangle at the point.
  const QSizeF size = _contents.isNull() || !_contents.points.isValid() ? QSizeF(0, 0) : _contents.points;
  _bounds = QRectF(point.x() - size.width() / 2.0, point.y() - size.height() / 2.0, size.width(),
                   size.height());
}

namespace {

bool usableSize(const PointImage &picture) {
  const QSizeF size = picture.points;
  return !picture.isNull() && std::isfinite(size.width()) && std::isfinite(size.height()) && size.width() > 0.0 &&
         size.height() > 0.0;
}

}  // namespace

QSizeF QLNBarcode::shownPictureSize() {
  if (m_vectorDrawing)
    return m_vectorSize;
  const PointImage picture = pictureShown();
  return usableSize(picture) ? picture.points : QSizeF();
}

bool QLNBarcode::hasSizedPicture() const {
  if (m_vectorDrawing)
    return !m_vectorSize.isEmpty();
  return usableSize(_barcode_image.isNull() ? m_sample : _barcode_image);
}

void QLNBarcode::Set_Barcode_image(const PointImage &image) {
  _barcode_image = image;
  m_vectorDrawing = nullptr;
  m_vectorSize = QSizeF();
  takeShownSize();
}

void QLNBarcode::setVectorPicture(const QSizeF &points, VectorDrawing drawing) {
  const bool usable = drawing && std::isfinite(points.width()) && std::isfinite(points.height()) &&
                      points.width() > 0.0 && points.height() > 0.0;
  _barcode_image = PointImage();
  m_vectorDrawing = usable ? std::move(drawing) : VectorDrawing([](QPainter &, const QRectF &) {});
  m_vectorSize = usable ? points : QSizeF();
  takeShownSize();
}

void QLNBarcode::takeShownSize() {
  const QSizeF size = shownPictureSize();
  if (size.isEmpty() || size == _bounds.size())
    return;
  changeValueForKey(QLNGraphicDrawingBoundsKey, [&] { _bounds.setSize(size); });
}

void QLNBarcode::setBounds(const QRectF &bounds) {
  QRectF rect = bounds;
  const QSizeF size = shownPictureSize();
  if (!size.isEmpty())
    rect.setSize(size);
  storeBoundsNotifying(rect);
}

int QLNBarcode::resizeByMovingHandle(int handle, const QPointF &toPoint) {
  if (!shownPictureSize().isEmpty())
    return handle;
  return QLNGraphic::resizeByMovingHandle(handle, toPoint);
}

bool QLNBarcode::canMakeNaturalSize() const {
  return !hasSizedPicture() && QLNGraphic::canMakeNaturalSize();
}

void QLNBarcode::finishDecoding() {
  // A picture without a size in points is written to files at one point per pixel;
  // it is shown so from the start.
  if (!_barcode_image.isNull() && !(_barcode_image.points.width() > 0.0 && _barcode_image.points.height() > 0.0))
    _barcode_image.points = QSizeF(_barcode_image.pixels.size());
  const QSizeF size = shownPictureSize();
  if (!size.isEmpty())
    _bounds.setSize(size);
}

void QLNBarcode::encodeKindFields(KeyedArchiver &coder) const {
  coder.encodeInt32(QStringLiteral("kerning_value_val"), kerning_value_val);
  coder.encodeInt32(QStringLiteral("pdf_row_val"), pdf_row_val);
  coder.encodeInt32(QStringLiteral("pdf_col_val"), pdf_col_val);
}

void QLNBarcode::decodeKindFields(KeyedUnarchiver &coder) {
  const auto read = [&coder](const QString &key, qint32 &field, qint32 largest) {
    if (coder.containsValueForKey(key))
      field = std::clamp(coder.decodeInt32(key), qint32(0), largest);
  };
  read(QStringLiteral("kerning_value_val"), kerning_value_val, 1);
  read(QStringLiteral("pdf_row_val"), pdf_row_val, MaxPDF417Rows);
  read(QStringLiteral("pdf_col_val"), pdf_col_val, MaxPDF417Columns);
}

QLNGraphicPtr QLNBarcode::copyWithZone() const {
  auto copy = std::make_shared<QLNBarcode>();
  copyBaseFieldsTo(*copy);
  return copy;
}

QLNBarcode::QLNBarcode(const QLNBarcode &other)
    : QLNGraphic(other), _contents(other._contents), kerning_value_val(other.kerning_value_val),
      pdf_row_val(other.pdf_row_val), pdf_col_val(other.pdf_col_val), m_sample(other.m_sample),
      m_samplePath(other.m_samplePath) {}

QLNGraphicPtr QLNBarcode::copyForRendering() const {
  return detachedCopy(*this, QLNGraphicPtr(new QLNBarcode(*this)));
}

void QLNBarcode::drawContentsInView(QPainter *painter, bool isBeingCreateOrEdited) {
  if (!ctrl_is_visible || !painter)
    return;
  if (m_vectorDrawing) {
    if (!m_vectorSize.isEmpty()) {
      painter->save();
      m_vectorDrawing(*painter, QRectF(_bounds.topLeft(), m_vectorSize));
      painter->restore();
    }
    mainWindowServices().Refresh_Canvas();
    return;
  }
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
