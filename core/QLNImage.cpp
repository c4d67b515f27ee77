#include "core/QLNImage.h"

#include "core/CardDrawing.h"
#include "core/CardObjectArchive.h"
#include "core/MainWindowServices.h"
#include "core/Utilities.h"

#include <QCoreApplication>
#include <QDir>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

const QString QLNImageContentsKey = QStringLiteral("contents");
const QString QLNImageIsFlippedHorizontallyKey = QStringLiteral("flippedHorizontally");
const QString QLNImageIsFlippedVerticallyKey = QStringLiteral("flippedVertically");

namespace {

// The path with a leading "~" expanded and "." / ".." components resolved.
QString standardizedPath(const QString &path) {
  QString expanded = path;
  if (expanded == QLatin1String("~") || expanded.startsWith(QLatin1String("~/")))
    expanded.replace(0, 1, QDir::homePath());
  return expanded.isEmpty() ? expanded : QDir::cleanPath(expanded);
}

// The bounds of a picture centred on `centre`; without a picture, an empty rectangle
// at the point (a null picture's size is the invalid -1 x -1).
QRectF centredOn(const QPointF &centre, const PointImage &picture) {
  const QSizeF size = picture.isNull() || !picture.points.isValid() ? QSizeF(0, 0) : picture.points;
  return QRectF(centre.x() - size.width() / 2.0, centre.y() - size.height() / 2.0, size.width(),
                size.height());
}

// A picture that can be drawn: pixels and a positive, finite size in points.
bool drawable(const PointImage &picture) {
  const double w = picture.points.width();
  const double h = picture.points.height();
  return !picture.isNull() && std::isfinite(w) && std::isfinite(h) && w > 0.0 && h > 0.0;
}

// Painting on the screen: a widget (also when the canvas is grabbed into an image) or
// a pixmap, which lives on the GUI thread only.
bool paintsOnScreen(const QPainter *painter) {
  const QPaintDevice *device = painter->device();
  return device && (device->devType() == QInternal::Widget || device->devType() == QInternal::Pixmap);
}

// The drawing opacity of a transparency in percent: 0..100 gives 0..1, anything above
// is opaque, and a value that is not a number draws opaque.
double opacityOf(float percent) {
  if (!std::isfinite(percent))
    return 1.0;
  return std::clamp(double(percent) / 100.0, 0.0, 1.0);
}

}  // namespace

void QLNImage::initWithPath(const QPointF &centre, const QString &path) {
  setFilePath(path);
  _bounds = centredOn(centre, _contents);
  if (Main_App_wnd)
    Main_App_wnd->Reset_Image_Editing_Controls();
}

void QLNImage::initWithPosition(const QPointF &centre, const PointImage &contents,
                                const QString &filePath) {
  _contents = contents;
  _file_path = filePath;
  _bounds = centredOn(centre, _contents);
  if (Main_App_wnd)
    Main_App_wnd->Reset_Image_Editing_Controls();
}

void QLNImage::setFilePath(const QString &path) {
  Set_Control_File_path(path);
  m_processed.clear();
  const QString resolved = standardizedPath(path);
  if (resolved.isEmpty()) {
    _contents = PointImage();
    return;
  }
  QString error;
  _contents = PointImage::load(resolved, &error);
  if (_contents.isNull())
    Show_NSLog_Message(error);
}

ImageAdjustments QLNImage::adjustments() const {
  ImageAdjustments a;
  a.grayscale = gray_Scale;
  a.sepia = Sepia;
  a.invert = invert_clr;
  a.hue = hue_val;
  a.saturation = sat_val;
  a.brightness = brt_val;
  a.contrast = con_val;
  // Truncated toward zero; values beyond the range of an int (only a damaged file has
  // them) count as no rotation.
  const double degrees = std::trunc(double(rotate_image));
  a.rotate = std::isfinite(degrees) && std::fabs(degrees) < 2.0e9 ? int(degrees) : 0;
  a.sharpness = srp_val;
  a.exposure = ev_val;
  a.blur = blr_val;
  return a;
}

FilteredPictureCache::Result QLNImage::processedPicture(FilteredPictureCache::Mode mode) {
  const PointImage source = _contents;
  if (source.isNull())
    return {};
  return m_processed.picture(source, adjustments(), mode);
}

void QLNImage::drawContentsInView(QPainter *painter, bool isBeingCreateOrEdited) {
  if (!ctrl_is_visible || _file_path.isEmpty() || !painter)
    return;
  const QRectF bounds = _bounds;

  // The border lies under the picture.
  if (isDrawingStroke()) {
    QPainterPath border;
    border.addRect(bounds);
    CardDrawing::strokeBorder(painter, border, strokeColor(), strokeWidth(), strokeBorderType());
  }

  // The picture is stretched to the bounds, so it needs a size; without one (no file,
  // or one that could not be read) only the border shows.
  if (drawable(_contents)) {
    const FilteredPictureCache::Result processed = processedPicture(
        paintsOnScreen(painter) ? FilteredPictureCache::Mode::Background : FilteredPictureCache::Mode::Wait);
    if (!processed.picture.isNull()) {
      const double w = bounds.width();
      const double h = bounds.height();
      painter->save();
      painter->translate(bounds.x(), bounds.y());
      painter->translate(_isFlippedHorizontally ? w : 0.0, _isFlippedVertically ? h : 0.0);
      painter->scale(_isFlippedHorizontally ? -1.0 : 1.0, _isFlippedVertically ? -1.0 : 1.0);
      painter->setRenderHint(QPainter::SmoothPixmapTransform);
      painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
      painter->setOpacity(painter->opacity() * opacityOf(img_trnsp_val));
      painter->drawImage(QRectF(0.0, 0.0, w, h), processed.picture.pixels);
      painter->restore();
    }
  }
  mainWindowServices().Refresh_Canvas();
}

QLNGraphicPtr QLNImage::copyWithZone() const {
  auto copy = std::make_shared<QLNImage>();
  copyBaseFieldsTo(*copy);
  copy->copyPictureFrom(*this);
  return copy;
}

QLNImage::QLNImage(const QLNImage &other) : QLNGraphic(other), _contents(other._contents) {
  m_processed.copyFinishedFrom(other.m_processed);
}

QLNGraphicPtr QLNImage::copyForRendering() const {
  return detachedCopy(*this, QLNGraphicPtr(new QLNImage(*this)));
}

void QLNImage::copyPictureFrom(const QLNImage &other) {
  if (&other == this)
    return;
  _contents = other._contents;
  m_processed.copyFinishedFrom(other.m_processed);
}

PlistValue QLNImage::properties() {
  PlistValue dict = QLNGraphic::properties();
  if (!_contents.isNull())
    dict.insert(QLNImageContentsKey, PlistValue(archivedImage(_contents)));
  dict.insert(QLNImageIsFlippedHorizontallyKey, PlistValue(_isFlippedHorizontally));
  dict.insert(QLNImageIsFlippedVerticallyKey, PlistValue(_isFlippedVertically));
  return dict;
}

void QLNImage::initWithProperties(const PlistValue &properties) {
  QLNGraphic::initWithProperties(properties);
  if (!properties.isDict())
    return;
  const PlistValue &contents = properties.value(QLNImageContentsKey);
  if (contents.isData())
    if (auto image = unarchivedImage(contents.toData()); image && !image->isNull())
      _contents = *image;
  for (const auto &[key, field] : {std::pair{QLNImageIsFlippedHorizontallyKey, &_isFlippedHorizontally},
                                   std::pair{QLNImageIsFlippedVerticallyKey, &_isFlippedVertically}}) {
    const PlistValue &flip = properties.value(key);
    if (flip.isBool())
      *field = flip.toBool();
    else if (flip.isInteger() || flip.isReal())
      *field = flip.toReal() != 0.0 || flip.toInt() != 0;
  }
}

void QLNImage::setFlippedHorizontally(bool flipped) {
  changeValueForKey(QLNImageIsFlippedHorizontallyKey, [&] { _isFlippedHorizontally = flipped; });
}

void QLNImage::setFlippedVertically(bool flipped) {
  changeValueForKey(QLNImageIsFlippedVerticallyKey, [&] { _isFlippedVertically = flipped; });
}

void QLNImage::flipHorizontally() { setFlippedHorizontally(!_isFlippedHorizontally); }

void QLNImage::flipVertically() { setFlippedVertically(!_isFlippedVertically); }

void QLNImage::makeNaturalSize() {
  if (ctrl_is_locked || !drawable(_contents))
    return;
  setBounds(QRectF(_bounds.topLeft(), _contents.points));
  setFlippedHorizontally(false);
  setFlippedVertically(false);
}

QSet<QString> QLNImage::keysForValuesToObserveForUndo() const {
  QSet<QString> keys = QLNGraphic::keysForValuesToObserveForUndo();
  keys.insert(QLNImageIsFlippedHorizontallyKey);
  keys.insert(QLNImageIsFlippedVerticallyKey);
  return keys;
}

QSet<QString> QLNImage::keyPathsForValuesAffectingDrawingContents() const {
  QSet<QString> keys = QLNGraphic::keyPathsForValuesAffectingDrawingContents();
  keys.insert(QLNImageIsFlippedHorizontallyKey);
  keys.insert(QLNImageIsFlippedVerticallyKey);
  return keys;
}

std::optional<QString> QLNImage::presentablePropertyNameForKey(const QString &key) const {
  if (key == QLNImageIsFlippedHorizontallyKey)
    return QCoreApplication::translate("UndoStrings", "Horizontal Flipping");
  if (key == QLNImageIsFlippedVerticallyKey)
    return QCoreApplication::translate("UndoStrings", "Vertical Flipping");
  return QLNGraphic::presentablePropertyNameForKey(key);
}

QVariant QLNImage::valueForKey(const QString &key) const {
  if (key == QLNImageIsFlippedHorizontallyKey)
    return _isFlippedHorizontally;
  if (key == QLNImageIsFlippedVerticallyKey)
    return _isFlippedVertically;
  return QLNGraphic::valueForKey(key);
}

bool QLNImage::setValue(const QVariant &value, const QString &key) {
  if (key == QLNImageIsFlippedHorizontallyKey) {
    setFlippedHorizontally(value.toBool());
    return true;
  }
  if (key == QLNImageIsFlippedVerticallyKey) {
    setFlippedVertically(value.toBool());
    return true;
  }
  return QLNGraphic::setValue(value, key);
}
