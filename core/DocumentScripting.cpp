// The document's scripting operations (QLNDocument, declared in core/QLNDocument.h) and
// the colour descriptors of scripts. Everything works on the front list.

#include "core/DocumentScripting.h"

#include "core/QLNBarcode.h"
#include "core/QLNDocument.h"
#include "core/QLNImage.h"
#include "core/QLNLine.h"
#include "core/QLNSignature.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"

#include <cmath>
#include <cstring>

const QString QLNDocumentRectanglesRoundKey = QStringLiteral("rectangles_round");
const QString QLNDocumentRectanglesKey = QStringLiteral("rectangles");
const QString QLNDocumentCirclesKey = QStringLiteral("circles");
const QString QLNDocumentLinesKey = QStringLiteral("lines");
const QString QLNDocumentTextAreasKey = QStringLiteral("textAreas");
const QString QLNDocumentImagesKey = QStringLiteral("images");

// ---- Specifiers --------------------------------------------------------------------------------

QLNScriptSpecifier QLNScriptSpecifier::indexed(const QString &key, int index) {
  QLNScriptSpecifier s;
  s.form = Form::Index;
  s.key = key;
  s.index = index;
  return s;
}

QLNScriptSpecifier QLNScriptSpecifier::every(const QString &key) {
  QLNScriptSpecifier s;
  s.form = Form::Every;
  s.key = key;
  return s;
}

QLNScriptSpecifier QLNScriptSpecifier::range(const QString &key, std::optional<QLNScriptSpecifier> start,
                                             std::optional<QLNScriptSpecifier> end) {
  QLNScriptSpecifier s;
  s.form = Form::Range;
  s.key = key;
  if (start)
    s.start = std::make_shared<const QLNScriptSpecifier>(std::move(*start));
  if (end)
    s.end = std::make_shared<const QLNScriptSpecifier>(std::move(*end));
  return s;
}

QLNScriptSpecifier QLNScriptSpecifier::relative(const QString &key, Position position,
                                                const QLNScriptSpecifier &base) {
  QLNScriptSpecifier s;
  s.form = Form::Relative;
  s.key = key;
  s.position = position;
  s.base = std::make_shared<const QLNScriptSpecifier>(base);
  return s;
}

// ---- Colour descriptors ------------------------------------------------------------------------

std::optional<QLNScriptingDescriptor> QLNScriptingDescriptor::coerceToDescriptorType(quint32 type) const {
  if (descriptorType == type)
    return *this;
  return std::nullopt;
}

namespace QLNScripting {

std::optional<QColor> scriptingRGBColorWithDescriptor(const QLNScriptingDescriptor &descriptor) {
  const std::optional<QLNScriptingDescriptor> rgb = descriptor.coerceToDescriptorType(QLNTypeRGBColor);
  if (!rgb || rgb->data.size() != 6)
    return std::nullopt;
  quint16 numbers[3];
  std::memcpy(numbers, rgb->data.constData(), sizeof numbers);
  return QColor::fromRgbF(float(numbers[0] / 65535.0), float(numbers[1] / 65535.0), float(numbers[2] / 65535.0),
                          1.0f);
}

QLNScriptingDescriptor scriptingRGBColorDescriptor(const QColor &color) {
  const QColor rgb = color.toRgb();
  const auto component = [](float value) {
    // Truncated as the platform's conversion does; values outside 0..1 (extended
    // colours) are held to the range the 16-bit numbers can carry.
    const double scaled = double(value) * 65535.0;
    if (!std::isfinite(scaled) || scaled <= 0.0)
      return quint16(0);
    return scaled >= 65535.0 ? quint16(65535) : quint16(scaled);
  };
  const quint16 numbers[3] = {component(rgb.redF()), component(rgb.greenF()), component(rgb.blueF())};
  QLNScriptingDescriptor descriptor;
  descriptor.descriptorType = QLNTypeRGBColor;
  descriptor.data = QByteArray(reinterpret_cast<const char *>(numbers), sizeof numbers);
  return descriptor;
}

}  // namespace QLNScripting

// ---- The document's element lists --------------------------------------------------------------

namespace {

bool isGraphicsKey(const QString &key) {
  return key == QLNDocumentGraphicsKey || key == QLNDocumentGraphicsKey_back || key == QLNDocumentGraphicsKey_temp;
}

// The keys a range or relative specifier may have: the three list keys and the five
// kinds that can be inserted into.
bool isSpecifierKey(const QString &key) {
  return isGraphicsKey(key) || key == QLNDocumentRectanglesKey || key == QLNDocumentCirclesKey ||
         key == QLNDocumentLinesKey || key == QLNDocumentTextAreasKey || key == QLNDocumentImagesKey;
}

// The class of the objects of a kind key.
QString classOfKind(const QString &key) {
  if (key == QLNDocumentRectanglesRoundKey || key == QLNDocumentRectanglesKey || key == QLNDocumentCirclesKey)
    return QStringLiteral("Shape_Control");
  if (key == QLNDocumentLinesKey)
    return QStringLiteral("QLNLine");
  if (key == QLNDocumentTextAreasKey)
    return QStringLiteral("QLNText");
  if (key == QLNDocumentImagesKey)
    return QStringLiteral("QLNImage");
  return QString();
}

QString rangeMessageOfKind(const QString &key) {
  if (key == QLNDocumentRectanglesKey)
    return QStringLiteral("Could not find the given rectangle in the graphics.");
  if (key == QLNDocumentCirclesKey)
    return QStringLiteral("Could not find the given circle in the graphics.");
  if (key == QLNDocumentLinesKey)
    return QStringLiteral("Could not find the given line in the graphics.");
  if (key == QLNDocumentTextAreasKey)
    return QStringLiteral("Could not find the given text area in the graphics.");
  return QStringLiteral("Could not find the given image in the graphics.");
}

bool isOfClass(const QLNGraphic &graphic, const QString &className) {
  return graphic.className() == className || graphic.archiveSuperclasses().contains(className);
}

int indexOfIdentical(const QLNGraphicList &list, const QLNGraphic *graphic) {
  for (int i = 0; i < list.size(); ++i)
    if (list[i].get() == graphic)
      return i;
  return -1;
}

// A new object of a card object class at its creation defaults; null for other names.
QLNGraphicPtr makeScriptingObject(const QString &className) {
  if (className == QLatin1String("QLNGraphic") || className == QLatin1String("Shape_Control"))
    return std::make_shared<Shape_Control>();
  if (className == QLatin1String("QLNText"))
    return std::make_shared<QLNText>();
  if (className == QLatin1String("QLNLine"))
    return std::make_shared<QLNLine>();
  if (className == QLatin1String("QLNImage"))
    return std::make_shared<QLNImage>();
  if (className == QLatin1String("QLNSignature"))
    return std::make_shared<QLNSignature>();
  if (className == QLatin1String("QLNBarcode"))
    return std::make_shared<QLNBarcode>();
  return nullptr;
}

}  // namespace

QLNGraphicPtr QLNDocument::newScriptingObjectOfClass(const QString &className, const QString &,
                                                     const QVariant &contentsValue, const QVariantMap &properties) {
  QLNGraphicPtr graphic = makeScriptingObject(className);
  if (!graphic)
    throw std::invalid_argument(
        QStringLiteral("There is no card object class \"%1\".").arg(className).toStdString());
  for (auto it = properties.constBegin(); it != properties.constEnd(); ++it)
    if (!graphic->setValue(it.value(), it.key()))
      throw std::invalid_argument(QStringLiteral("A %1 has no property \"%2\".")
                                      .arg(graphic->className(), it.key())
                                      .toStdString());
  if (contentsValue.isValid()) {
    auto *text = dynamic_cast<QLNText *>(graphic.get());
    if (!text)
      throw std::invalid_argument(
          QStringLiteral("A %1 has no contents to set.").arg(graphic->className()).toStdString());
    text->setScriptingContents(contentsValue);
  }
  return graphic;
}

void QLNDocument::insertGraphic(const QLNGraphicPtr &graphic, int atIndex) {
  insertGraphics(QLNGraphicList{graphic}, QLNIndexSet{atIndex});
}

void QLNDocument::removeGraphicAtIndex(int index) { removeGraphicsAtIndexes(QLNIndexSet{index}); }

void QLNDocument::addInGraphics(const QLNGraphicPtr &graphic) { insertGraphic(graphic, int(_graphics.size())); }

QLNGraphicList QLNDocument::graphicsWithClass(const QString &className) const {
  QLNGraphicList result;
  for (const QLNGraphicPtr &graphic : _graphics)
    if (graphic && isOfClass(*graphic, className))
      result.append(graphic);
  return result;
}

QLNGraphicList QLNDocument::rectangles_round() const { return graphicsWithClass(QStringLiteral("Shape_Control")); }
QLNGraphicList QLNDocument::rectangles() const { return graphicsWithClass(QStringLiteral("Shape_Control")); }
QLNGraphicList QLNDocument::circles() const { return graphicsWithClass(QStringLiteral("Shape_Control")); }
QLNGraphicList QLNDocument::lines() const { return graphicsWithClass(QStringLiteral("QLNLine")); }
QLNGraphicList QLNDocument::textAreas() const { return graphicsWithClass(QStringLiteral("QLNText")); }
QLNGraphicList QLNDocument::images() const { return graphicsWithClass(QStringLiteral("QLNImage")); }

std::optional<QLNGraphicList> QLNDocument::scriptingElements(const QString &key) const {
  if (isGraphicsKey(key))
    return list(key);
  const QString className = classOfKind(key);
  if (className.isEmpty())
    return std::nullopt;
  return graphicsWithClass(className);
}

int QLNDocument::frontIndexOf(const QLNGraphic *graphic) const { return indexOfIdentical(_graphics, graphic); }

void QLNDocument::insertInKind(const QString &kindKey, const QLNGraphicPtr &object, int index) {
  const QLNGraphicList kind = graphicsWithClass(classOfKind(kindKey));
  if (index == kind.size()) {
    addInGraphics(object);
    return;
  }
  const int frontIndex = index >= 0 && index < kind.size() ? frontIndexOf(kind[index].get()) : -1;
  if (frontIndex < 0)
    throw QLNScriptingRangeError(rangeMessageOfKind(kindKey));
  insertGraphic(object, frontIndex);
}

void QLNDocument::removeFromKind(const QString &kindKey, int index) {
  const QLNGraphicList kind = graphicsWithClass(classOfKind(kindKey));
  const int frontIndex = index >= 0 && index < kind.size() ? frontIndexOf(kind[index].get()) : -1;
  if (frontIndex < 0)
    throw QLNScriptingRangeError(rangeMessageOfKind(kindKey));
  removeGraphicAtIndex(frontIndex);
}

void QLNDocument::insertObject_inRectanglesAtIndex(const QLNGraphicPtr &object, int index) {
  insertInKind(QLNDocumentRectanglesKey, object, index);
}
void QLNDocument::removeObjectFromRectanglesAtIndex(int index) { removeFromKind(QLNDocumentRectanglesKey, index); }
void QLNDocument::insertObject_inCirclesAtIndex(const QLNGraphicPtr &object, int index) {
  insertInKind(QLNDocumentCirclesKey, object, index);
}
void QLNDocument::removeObjectFromCirclesAtIndex(int index) { removeFromKind(QLNDocumentCirclesKey, index); }
void QLNDocument::insertObject_inLinesAtIndex(const QLNGraphicPtr &object, int index) {
  insertInKind(QLNDocumentLinesKey, object, index);
}
void QLNDocument::removeObjectFromLinesAtIndex(int index) { removeFromKind(QLNDocumentLinesKey, index); }
void QLNDocument::insertObject_inTextAreasAtIndex(const QLNGraphicPtr &object, int index) {
  insertInKind(QLNDocumentTextAreasKey, object, index);
}
void QLNDocument::removeObjectFromTextAreasAtIndex(int index) { removeFromKind(QLNDocumentTextAreasKey, index); }
void QLNDocument::insertObject_inImagesAtIndex(const QLNGraphicPtr &object, int index) {
  insertInKind(QLNDocumentImagesKey, object, index);
}
void QLNDocument::removeObjectFromImagesAtIndex(int index) { removeFromKind(QLNDocumentImagesKey, index); }

// ---- Specifier evaluation ----------------------------------------------------------------------

std::optional<QList<int>> QLNDocument::indicesOfObjectsByEvaluatingRangeSpecifier(
    const QLNScriptSpecifier &specifier) const {
  const QString &key = specifier.key;
  if (specifier.form != QLNScriptSpecifier::Form::Range || !isSpecifierKey(key))
    return std::nullopt;
  if (!specifier.start && !specifier.end)
    return std::nullopt;
  if (_graphics.isEmpty())
    return QList<int>();
  if ((specifier.start && !isSpecifierKey(specifier.start->key)) ||
      (specifier.end && !isSpecifierKey(specifier.end->key)))
    return std::nullopt;

  // The front index of the object an end of the range names: the first object of a list
  // for the start, the last for the end.
  const auto endIndex = [this](const QLNScriptSpecifier &end, bool first) -> std::optional<int> {
    const std::optional<QLNGraphicList> objects = objectsByEvaluatingSpecifier(end);
    if (!objects || objects->isEmpty())
      return std::nullopt;
    const int index = frontIndexOf((first ? objects->first() : objects->last()).get());
    if (index < 0)
      return std::nullopt;
    return index;
  };
  int startIndex = 0;
  if (specifier.start) {
    const std::optional<int> index = endIndex(*specifier.start, true);
    if (!index)
      return std::nullopt;
    startIndex = *index;
  }
  int endIndexValue = int(_graphics.size()) - 1;
  if (specifier.end) {
    const std::optional<int> index = endIndex(*specifier.end, false);
    if (!index)
      return std::nullopt;
    endIndexValue = *index;
  }
  if (endIndexValue < startIndex)
    std::swap(startIndex, endIndexValue);

  QList<int> indexes;
  if (isGraphicsKey(key)) {
    for (int i = startIndex; i <= endIndexValue; ++i)
      indexes.append(i);
    return indexes;
  }
  const QLNGraphicList kind = graphicsWithClass(classOfKind(key));
  for (int i = startIndex; i <= endIndexValue; ++i) {
    const int inKind = indexOfIdentical(kind, _graphics[i].get());
    if (inKind >= 0)
      indexes.append(inKind);
  }
  return indexes;
}

std::optional<QList<int>> QLNDocument::indicesOfObjectsByEvaluatingRelativeSpecifier(
    const QLNScriptSpecifier &specifier) const {
  const QString &key = specifier.key;
  if (specifier.form != QLNScriptSpecifier::Form::Relative || !isSpecifierKey(key))
    return std::nullopt;
  if (!specifier.base)
    return std::nullopt;
  if (_graphics.isEmpty())
    return QList<int>();
  if (!isSpecifierKey(specifier.base->key))
    return std::nullopt;

  const bool before = specifier.position == QLNScriptSpecifier::Position::Before;
  const std::optional<QLNGraphicList> objects = objectsByEvaluatingSpecifier(*specifier.base);
  if (!objects || objects->isEmpty())
    return std::nullopt;
  const int baseIndex = frontIndexOf((before ? objects->first() : objects->last()).get());
  if (baseIndex < 0)
    return std::nullopt;

  const int step = before ? -1 : 1;
  const QLNGraphicList kind = isGraphicsKey(key) ? QLNGraphicList() : graphicsWithClass(classOfKind(key));
  for (int i = baseIndex + step; i >= 0 && i < _graphics.size(); i += step) {
    if (isGraphicsKey(key))
      return QList<int>{i};
    const int inKind = indexOfIdentical(kind, _graphics[i].get());
    if (inKind >= 0)
      return QList<int>{inKind};
  }
  return QList<int>();
}

std::optional<QList<int>> QLNDocument::indicesOfObjectsByEvaluatingObjectSpecifier(
    const QLNScriptSpecifier &specifier) const {
  switch (specifier.form) {
  case QLNScriptSpecifier::Form::Range:
    return indicesOfObjectsByEvaluatingRangeSpecifier(specifier);
  case QLNScriptSpecifier::Form::Relative:
    return indicesOfObjectsByEvaluatingRelativeSpecifier(specifier);
  default:
    return std::nullopt;
  }
}

std::optional<QLNGraphicList> QLNDocument::objectsByEvaluatingSpecifier(const QLNScriptSpecifier &specifier) const {
  switch (specifier.form) {
  case QLNScriptSpecifier::Form::Index: {
    const std::optional<QLNGraphicList> elements = scriptingElements(specifier.key);
    if (!elements)
      return std::nullopt;
    const qsizetype count = elements->size();
    const qsizetype index = specifier.index < 0 ? count + specifier.index : specifier.index;
    if (index < 0 || index >= count)
      return std::nullopt;
    return QLNGraphicList{elements->at(index)};
  }
  case QLNScriptSpecifier::Form::Every:
    return scriptingElements(specifier.key);
  case QLNScriptSpecifier::Form::Range:
  case QLNScriptSpecifier::Form::Relative: {
    const std::optional<QList<int>> indexes = indicesOfObjectsByEvaluatingObjectSpecifier(specifier);
    if (!indexes)
      return std::nullopt;
    // The three list keys answer front-list indexes.
    const std::optional<QLNGraphicList> elements =
        isGraphicsKey(specifier.key) ? std::optional<QLNGraphicList>(_graphics) : scriptingElements(specifier.key);
    if (!elements)
      return std::nullopt;
    QLNGraphicList objects;
    for (int index : *indexes) {
      if (index < 0 || index >= elements->size())
        return std::nullopt;
      objects.append(elements->at(index));
    }
    return objects;
  }
  }
  return std::nullopt;
}
