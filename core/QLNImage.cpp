#include "core/QLNImage.h"

#include "core/CardObjectArchive.h"

#include <QCoreApplication>
#include <QDir>

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

QRectF centredOn(const QPointF &centre, const QSizeF &size) {
  return QRectF(centre.x() - size.width() / 2.0, centre.y() - size.height() / 2.0, size.width(),
                size.height());
}

}  // namespace

void QLNImage::initWithPath(const QPointF &centre, const QString &path) {
  setFilePath(path);
  _bounds = centredOn(centre, _contents.points);
}

void QLNImage::initWithPosition(const QPointF &centre, const PointImage &contents,
                                const QString &filePath) {
  _contents = contents;
  _file_path = filePath;
  _bounds = centredOn(centre, _contents.points);
}

void QLNImage::setFilePath(const QString &path) {
  Set_Control_File_path(path);
  _contents = PointImage::load(standardizedPath(path));
}

QLNGraphicPtr QLNImage::copyWithZone() const {
  auto copy = std::make_shared<QLNImage>();
  copyBaseFieldsTo(*copy);
  copy->_contents = _contents;
  return copy;
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
