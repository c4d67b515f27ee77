#include "mainwindow/DocumentScriptingBus.h"

#include "mainwindow/QLNWindowController.h"

#include "core/CardObjectArchive.h"
#include "core/CardDrawing.h"
#include "core/DocumentScripting.h"
#include "core/Globals.h"
#include "core/MainWindowServices.h"
#include "core/QLNDocument.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"
#include "core/Utilities.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QMetaType>

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <stdexcept>

const QString DocumentScriptingBus::ServiceName = QStringLiteral("org.amends.Amends");
const QString DocumentScriptingBus::ObjectPath = QStringLiteral("/Document");
const QString DocumentScriptingBus::InterfaceName = QStringLiteral("org.amends.Amends.Document");

namespace {

const QString RangeError = QStringLiteral("org.amends.Amends.Error.Range");
const QString IndexError = QStringLiteral("org.amends.Amends.Error.Index");
const QString InvalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
const QString SpecifierError = QStringLiteral("org.amends.Amends.Error.Specifier");

// How deep a specifier may nest other specifiers (range ends, relative bases).
constexpr int MaxSpecifierDepth = 8;

// Longest text a script may give a text object.
constexpr qsizetype MaxScriptedTextLength = 100'000;

// A colour as three 16-bit numbers on the bus: the RGB colour descriptor of scripts.
struct BusRgb {
  quint16 red = 0;
  quint16 green = 0;
  quint16 blue = 0;
};

QDBusArgument &operator<<(QDBusArgument &argument, const BusRgb &rgb) {
  argument.beginStructure();
  argument << rgb.red << rgb.green << rgb.blue;
  argument.endStructure();
  return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, BusRgb &rgb) {
  argument.beginStructure();
  argument >> rgb.red >> rgb.green >> rgb.blue;
  argument.endStructure();
  return argument;
}

}  // namespace

Q_DECLARE_METATYPE(BusRgb)

namespace {

// A failed call: the D-Bus error name and its message.
struct BusError : std::runtime_error {
  BusError(const QString &name, const QString &message)
      : std::runtime_error(message.toStdString()), name(name), message(message) {}
  QString name;
  QString message;
};

void registerBusTypes() {
  static const bool registered = [] {
    qDBusRegisterMetaType<BusRgb>();
    qDBusRegisterMetaType<QList<QVariantMap>>();
    return true;
  }();
  (void)registered;
}

bool isNumber(const QVariant &value) {
  switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::Double:
      return true;
    default:
      return false;
  }
}

// The numbers of an array or structure of numbers; none for anything else.
std::optional<QList<double>> numbersOf(const QVariant &value) {
  QList<double> numbers;
  if (value.metaType() == QMetaType::fromType<QDBusArgument>()) {
    const QDBusArgument argument = value.value<QDBusArgument>();
    const QDBusArgument::ElementType type = argument.currentType();
    if (type == QDBusArgument::ArrayType)
      argument.beginArray();
    else if (type == QDBusArgument::StructureType)
      argument.beginStructure();
    else
      return std::nullopt;
    while (!argument.atEnd()) {
      if (numbers.size() > 16) return std::nullopt;
      const QVariant element = argument.asVariant();
      if (!isNumber(element)) return std::nullopt;
      numbers.append(element.toDouble());
    }
    if (type == QDBusArgument::ArrayType)
      argument.endArray();
    else
      argument.endStructure();
    return numbers;
  }
  if (value.metaType() == QMetaType::fromType<QVariantList>() ||
      value.metaType() == QMetaType::fromType<QList<double>>() ||
      value.metaType() == QMetaType::fromType<QList<int>>()) {
    const QVariantList list = value.toList();
    if (list.size() > 16) return std::nullopt;
    for (const QVariant &element : list) {
      if (!isNumber(element)) return std::nullopt;
      numbers.append(element.toDouble());
    }
    return numbers;
  }
  return std::nullopt;
}

QColor colourOf(const QString &name, const QVariant &value) {
  const std::optional<QList<double>> numbers = numbersOf(value);
  if (!numbers || numbers->size() != 3)
    throw BusError(InvalidArgs, QStringLiteral("\"%1\" takes three numbers: red, green and blue.").arg(name));
  quint16 rgb[3];
  for (int i = 0; i < 3; ++i) {
    const double n = numbers->at(i);
    if (!(n >= 0.0 && n <= 65535.0) || n != std::floor(n))
      throw BusError(InvalidArgs, QStringLiteral("\"%1\" takes whole numbers from 0 to 65535.").arg(name));
    rgb[i] = quint16(n);
  }
  QLNScriptingDescriptor descriptor;
  descriptor.descriptorType = QLNTypeRGBColor;
  descriptor.data = QByteArray(reinterpret_cast<const char *>(rgb), sizeof rgb);
  const std::optional<QColor> colour = QLNScripting::scriptingRGBColorWithDescriptor(descriptor);
  if (!colour) throw BusError(InvalidArgs, QStringLiteral("\"%1\" is not a colour.").arg(name));
  return *colour;
}

QVariant busColour(const QColor &colour) {
  const QLNScriptingDescriptor descriptor = QLNScripting::scriptingRGBColorDescriptor(colour);
  BusRgb rgb;
  quint16 numbers[3] = {0, 0, 0};
  if (descriptor.data.size() == sizeof numbers) std::memcpy(numbers, descriptor.data.constData(), sizeof numbers);
  rgb.red = numbers[0];
  rgb.green = numbers[1];
  rgb.blue = numbers[2];
  return QVariant::fromValue(rgb);
}

QRectF boundsOf(const QVariant &value) {
  const std::optional<QList<double>> numbers = numbersOf(value);
  if (!numbers || numbers->size() != 4)
    throw BusError(InvalidArgs, QStringLiteral("\"bounds\" takes four numbers: x, y, width and height."));
  for (double n : *numbers)
    if (!std::isfinite(n) || std::abs(n) > DecodedLimits::MaxCoordinate)
      throw BusError(InvalidArgs,
                     QStringLiteral("\"bounds\" takes numbers within %1 points.").arg(DecodedLimits::MaxCoordinate));
  if (numbers->at(2) < 0 || numbers->at(3) < 0)
    throw BusError(InvalidArgs, QStringLiteral("\"bounds\" takes a width and a height of at least 0."));
  // An object of no size at all could be neither seen nor picked on the canvas.
  if (numbers->at(2) == 0 && numbers->at(3) == 0)
    throw BusError(InvalidArgs, QStringLiteral("\"bounds\" takes a width or a height above 0."));
  return QRectF(numbers->at(0), numbers->at(1), numbers->at(2), numbers->at(3));
}

// The class and the kind key of the object an insertion under `key` makes.
QString classForKey(const QString &key, const QVariantMap &properties) {
  if (key == QLNDocumentRectanglesKey || key == QLNDocumentCirclesKey) return QStringLiteral("Shape_Control");
  if (key == QLNDocumentLinesKey) return QStringLiteral("QLNLine");
  if (key == QLNDocumentTextAreasKey) return QStringLiteral("QLNText");
  if (key == QLNDocumentImagesKey) return QStringLiteral("QLNImage");
  if (key == QLNDocumentGraphicsKey) {
    const QVariant requested = properties.value(QStringLiteral("class"));
    if (!requested.isValid()) return QStringLiteral("QLNGraphic");
    if (requested.metaType() != QMetaType::fromType<QString>())
      throw BusError(InvalidArgs, QStringLiteral("\"class\" takes the name of a card object class."));
    const QString name = requested.toString();
    static const QStringList classes = {QStringLiteral("QLNGraphic"), QStringLiteral("Shape_Control"),
                                        QStringLiteral("QLNText"),    QStringLiteral("QLNLine"),
                                        QStringLiteral("QLNImage"),   QStringLiteral("QLNSignature"),
                                        QStringLiteral("QLNBarcode")};
    if (!classes.contains(name))
      throw BusError(InvalidArgs, QStringLiteral("There is no card object class \"%1\".").arg(name));
    return name;
  }
  throw BusError(InvalidArgs, QStringLiteral("Objects cannot be inserted under the key \"%1\".").arg(key));
}

// Runs one of the object's scripting setters; a refusal becomes an error.
template <class Set>
void setScripted(Set set) {
  ScriptCommand command;
  {
    ScriptCommand::Scope scope(command);
    set();
  }
  if (command.errorNumber != 0)
    throw BusError(InvalidArgs, command.errorString.isEmpty()
                                    ? QStringLiteral("The property cannot be set on this object.")
                                    : command.errorString);
}

// A new object for an insertion under `key`, with its properties set.
QLNGraphicPtr makeObject(QLNDocument &document, const QString &key, const QVariantMap &properties) {
  const QString className = classForKey(key, properties);
  // Everything is checked before the object is made.
  std::optional<QRectF> bounds;
  std::optional<QColor> fill;
  std::optional<QColor> stroke;
  std::optional<double> strokeWidth;
  QVariant text;
  for (auto it = properties.constBegin(); it != properties.constEnd(); ++it) {
    const QString &name = it.key();
    const QVariant &value = it.value();
    if (name == QLatin1String("class")) {
      if (key != QLNDocumentGraphicsKey)
        throw BusError(InvalidArgs, QStringLiteral("\"class\" is given only under the key \"graphics\"."));
    } else if (name == QLatin1String("bounds")) {
      bounds = boundsOf(value);
    } else if (name == QLatin1String("fillColor")) {
      fill = colourOf(name, value);
    } else if (name == QLatin1String("strokeColor")) {
      stroke = colourOf(name, value);
    } else if (name == QLatin1String("strokeWidth")) {
      const double width = value.toDouble();
      if (!isNumber(value) || !std::isfinite(width) || width < 0 || width > CardDrawing::MaxStrokeWidth)
        throw BusError(InvalidArgs,
                       QStringLiteral("\"strokeWidth\" takes a number from 0 to %1.").arg(CardDrawing::MaxStrokeWidth));
      strokeWidth = width;
    } else if (name == QLatin1String("text")) {
      if (className != QLatin1String("QLNText"))
        throw BusError(InvalidArgs, QStringLiteral("Only a text takes \"text\"."));
      if (value.metaType() != QMetaType::fromType<QString>())
        throw BusError(InvalidArgs, QStringLiteral("\"text\" takes a string."));
      if (value.toString().size() > MaxScriptedTextLength)
        throw BusError(InvalidArgs, QStringLiteral("\"text\" takes at most %1 characters.").arg(MaxScriptedTextLength));
      text = value.toString();
    } else {
      throw BusError(InvalidArgs, QStringLiteral("There is no property \"%1\".").arg(name));
    }
  }

  QLNGraphicPtr graphic;
  try {
    graphic = document.newScriptingObjectOfClass(className, key, text, {});
  } catch (const std::invalid_argument &e) {
    throw BusError(InvalidArgs, QString::fromUtf8(e.what()));
  }
  if (auto *shape = dynamic_cast<Shape_Control *>(graphic.get())) {
    if (key == QLNDocumentCirclesKey)
      shape->Set_Shape_Type(QStringLiteral("C"));
    else if (key == QLNDocumentRectanglesKey)
      shape->Set_Shape_Type(QStringLiteral("R"));
  }
  // Without bounds the object is placed as its tool places it: at the next point of the
  // cascade of new front objects, at the tool's size.
  if (!bounds) {
    const QString sizeClass = className == QLatin1String("QLNGraphic") ? QStringLiteral("Shape_Control") : className;
    bounds = QRectF(mainWindowServices().Control_New_Point(QStringLiteral("F")),
                    QLNWindowController::toolDefaultSize(sizeClass));
  }
  graphic->setBounds(*bounds);
  if (fill) setScripted([&] { graphic->setScriptingFillColor(*fill); });
  if (stroke) setScripted([&] { graphic->setScriptingStrokeColor(*stroke); });
  if (strokeWidth) setScripted([&] { graphic->setScriptingStrokeWidth(*strokeWidth); });
  return graphic;
}

// A dictionary inside a variant: a QVariantMap from a direct call, a QDBusArgument
// holding a{sv} from the bus. None for anything else.
std::optional<QVariantMap> mapOf(const QVariant &value) {
  if (value.metaType() == QMetaType::fromType<QVariantMap>()) return value.toMap();
  if (value.metaType() == QMetaType::fromType<QDBusArgument>()) {
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentType() != QDBusArgument::MapType) return std::nullopt;
    QVariantMap map;
    argument >> map;
    return map;
  }
  return std::nullopt;
}

std::optional<int> integerOf(const QVariant &value) {
  switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar: {
      bool ok = false;
      const qlonglong n = value.toLongLong(&ok);
      if (!ok || n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max()) return std::nullopt;
      return int(n);
    }
    default:
      return std::nullopt;
  }
}

QLNScriptSpecifier::Position positionOf(const QString &position) {
  if (position == QLatin1String("before")) return QLNScriptSpecifier::Position::Before;
  if (position == QLatin1String("after")) return QLNScriptSpecifier::Position::After;
  throw BusError(InvalidArgs, QStringLiteral("A position is \"before\" or \"after\", not \"%1\".").arg(position));
}

QLNScriptSpecifier specifierOf(const QVariantMap &map, int depth);

// A specifier given inside another one ("start", "end", "base").
QLNScriptSpecifier nestedSpecifierOf(const QString &name, const QVariant &value, int depth) {
  const std::optional<QVariantMap> map = mapOf(value);
  if (!map) throw BusError(InvalidArgs, QStringLiteral("\"%1\" takes a specifier (a{sv}).").arg(name));
  return specifierOf(*map, depth + 1);
}

// A specifier from its dictionary: "key" (s) and one of
//   "index" (i: 0 the first, -1 the last)        an object by its index
//   "every" (b, true)                            every object of the key
//   "start" and/or "end" (a{sv} specifiers)      a range
//   "position" (s, "before" or "after") with "base" (a{sv} specifier)
QLNScriptSpecifier specifierOf(const QVariantMap &map, int depth) {
  if (depth > MaxSpecifierDepth)
    throw BusError(InvalidArgs, QStringLiteral("Specifiers nest at most %1 deep.").arg(MaxSpecifierDepth));
  static const QStringList names = {QStringLiteral("key"),   QStringLiteral("index"),    QStringLiteral("every"),
                                    QStringLiteral("start"), QStringLiteral("end"),      QStringLiteral("position"),
                                    QStringLiteral("base")};
  for (auto it = map.constBegin(); it != map.constEnd(); ++it)
    if (!names.contains(it.key()))
      throw BusError(InvalidArgs, QStringLiteral("A specifier has no \"%1\".").arg(it.key()));
  const QVariant key = map.value(QStringLiteral("key"));
  if (key.metaType() != QMetaType::fromType<QString>())
    throw BusError(InvalidArgs, QStringLiteral("A specifier takes its \"key\" as a string."));

  const bool indexed = map.contains(QStringLiteral("index"));
  const bool every = map.contains(QStringLiteral("every"));
  const bool range = map.contains(QStringLiteral("start")) || map.contains(QStringLiteral("end"));
  const bool relative = map.contains(QStringLiteral("position")) || map.contains(QStringLiteral("base"));
  if (int(indexed) + int(every) + int(range) + int(relative) != 1)
    throw BusError(InvalidArgs, QStringLiteral("A specifier takes one of \"index\", \"every\", \"start\" and "
                                               "\"end\", or \"position\" with \"base\"."));
  if (indexed) {
    const std::optional<int> index = integerOf(map.value(QStringLiteral("index")));
    if (!index) throw BusError(InvalidArgs, QStringLiteral("\"index\" takes a whole number."));
    return QLNScriptSpecifier::indexed(key.toString(), *index);
  }
  if (every) {
    const QVariant flag = map.value(QStringLiteral("every"));
    if (flag.metaType() != QMetaType::fromType<bool>() || !flag.toBool())
      throw BusError(InvalidArgs, QStringLiteral("\"every\" takes true."));
    return QLNScriptSpecifier::every(key.toString());
  }
  if (range) {
    std::optional<QLNScriptSpecifier> start;
    std::optional<QLNScriptSpecifier> end;
    if (map.contains(QStringLiteral("start")))
      start = nestedSpecifierOf(QStringLiteral("start"), map.value(QStringLiteral("start")), depth);
    if (map.contains(QStringLiteral("end")))
      end = nestedSpecifierOf(QStringLiteral("end"), map.value(QStringLiteral("end")), depth);
    return QLNScriptSpecifier::range(key.toString(), std::move(start), std::move(end));
  }
  const QVariant position = map.value(QStringLiteral("position"));
  if (position.metaType() != QMetaType::fromType<QString>() || !map.contains(QStringLiteral("base")))
    throw BusError(InvalidArgs, QStringLiteral("A relative specifier takes \"position\" (a string) and \"base\"."));
  return QLNScriptSpecifier::relative(key.toString(), positionOf(position.toString()),
                                      nestedSpecifierOf(QStringLiteral("base"), map.value(QStringLiteral("base")), depth));
}

// An end of a range from the bus: an empty dictionary is no end.
std::optional<QLNScriptSpecifier> rangeEndOf(const QVariantMap &map) {
  if (map.isEmpty()) return std::nullopt;
  return specifierOf(map, 1);
}

QVariantMap describe(const QLNGraphicPtr &graphic, int index, int frontIndex) {
  QVariantMap element;
  element.insert(QStringLiteral("class"), graphic->className());
  element.insert(QStringLiteral("index"), index);
  if (frontIndex >= 0) element.insert(QStringLiteral("frontIndex"), frontIndex);
  const QRectF b = graphic->bounds();
  element.insert(QStringLiteral("bounds"), QVariant::fromValue(QList<double>{b.x(), b.y(), b.width(), b.height()}));
  element.insert(QStringLiteral("controlID"), graphic->control_ID);
  element.insert(QStringLiteral("printed"), graphic->print_object == 0);
  element.insert(QStringLiteral("locked"), graphic->ctrl_is_locked);
  element.insert(QStringLiteral("visible"), graphic->ctrl_is_visible);
  if (dynamic_cast<Shape_Control *>(graphic.get())) element.insert(QStringLiteral("shape"), graphic->Get_shape_type());
  if (dynamic_cast<QLNText *>(graphic.get())) element.insert(QStringLiteral("text"), graphic->Text_contents()->string);
  if (const std::optional<QColor> fill = graphic->scriptingFillColor())
    element.insert(QStringLiteral("fillColor"), busColour(*fill));
  if (const std::optional<QColor> stroke = graphic->scriptingStrokeColor())
    element.insert(QStringLiteral("strokeColor"), busColour(*stroke));
  if (const std::optional<double> width = graphic->scriptingStrokeWidth())
    element.insert(QStringLiteral("strokeWidth"), *width);
  return element;
}

}  // namespace

// ---- Registration --------------------------------------------------------------------------------

DocumentScriptingBus::DocumentScriptingBus(QLNDocument *document, const QDBusConnection &connection)
    : QObject(document), m_document(document), m_connection(connection) {}

DocumentScriptingBus::~DocumentScriptingBus() {
  if (m_registered) m_connection.unregisterObject(ObjectPath);
  if (m_ownsName) m_connection.unregisterService(ServiceName);
}

DocumentScriptingBus *DocumentScriptingBus::registerDocument(QLNDocument *document, const QDBusConnection &connection) {
  if (!document || !connection.isConnected()) return nullptr;
  registerBusTypes();
  auto *bus = new DocumentScriptingBus(document, connection);
  QDBusConnection registering = connection;
  if (!registering.registerObject(ObjectPath, bus, QDBusConnection::ExportAllSlots)) {
    Show_NSLog_Message(QStringLiteral("The document could not be put on the bus: %1 is taken.").arg(ObjectPath));
    delete bus;
    return nullptr;
  }
  bus->m_registered = true;
  bus->m_ownsName = registering.registerService(ServiceName);
  if (!bus->m_ownsName)
    Show_NSLog_Message(QStringLiteral("The bus name %1 is taken; the document answers under %2 only.")
                           .arg(ServiceName, registering.baseService()));
  return bus;
}

DocumentScriptingBus *DocumentScriptingBus::registerOnSessionBus(QLNDocument *document) {
  const QDBusConnection session = QDBusConnection::sessionBus();
  if (!session.isConnected()) return nullptr;
  return registerDocument(document, session);
}

void DocumentScriptingBus::fail(const QString &name, const QString &message) {
  if (calledFromDBus())
    sendErrorReply(name, message);
  else
    throw BusError(name, message);
}

// ---- Calls -------------------------------------------------------------------------------------

QStringList DocumentScriptingBus::Keys() {
  return {QLNDocumentGraphicsKey,        QLNDocumentGraphicsKey_back, QLNDocumentGraphicsKey_temp,
          QLNDocumentRectanglesRoundKey, QLNDocumentRectanglesKey,    QLNDocumentCirclesKey,
          QLNDocumentLinesKey,           QLNDocumentTextAreasKey,     QLNDocumentImagesKey};
}

int DocumentScriptingBus::Count(const QString &key) {
  const std::optional<QLNGraphicList> elements = m_document->scriptingElements(key);
  if (!elements) {
    fail(InvalidArgs, QStringLiteral("There is no element key \"%1\".").arg(key));
    return 0;
  }
  return int(elements->size());
}

QList<QVariantMap> DocumentScriptingBus::Elements(const QString &key) {
  const std::optional<QLNGraphicList> elements = m_document->scriptingElements(key);
  if (!elements) {
    fail(InvalidArgs, QStringLiteral("There is no element key \"%1\".").arg(key));
    return {};
  }
  const bool front = key != QLNDocumentGraphicsKey_back && key != QLNDocumentGraphicsKey_temp;
  const QLNGraphicList frontList = m_document->graphics();
  QList<QVariantMap> result;
  for (int i = 0; i < elements->size(); ++i) {
    const QLNGraphicPtr &graphic = elements->at(i);
    if (!graphic) continue;
    const int frontIndex = front ? int(frontList.indexOf(graphic)) : -1;
    result.append(describe(graphic, i, frontIndex));
  }
  return result;
}

int DocumentScriptingBus::Insert(const QString &key, int index, const QVariantMap &properties) {
  // An object placed without bounds takes the next point of the cascade; a call that
  // fails leaves the cascade where it was.
  const float cascadeX = last_ctrl_X;
  const float cascadeY = last_ctrl_Y;
  const auto restoreCascade = [&] {
    last_ctrl_X = cascadeX;
    last_ctrl_Y = cascadeY;
  };
  try {
    const QLNGraphicPtr graphic = makeObject(*m_document, key, properties);
    if (key == QLNDocumentGraphicsKey) {
      if (index < 0 || index > m_document->graphics().size())
        throw BusError(IndexError, QStringLiteral("The front list has no place %1.").arg(index));
      m_document->insertGraphic(graphic, index);
    } else if (key == QLNDocumentRectanglesKey) {
      m_document->insertObject_inRectanglesAtIndex(graphic, index);
    } else if (key == QLNDocumentCirclesKey) {
      m_document->insertObject_inCirclesAtIndex(graphic, index);
    } else if (key == QLNDocumentLinesKey) {
      m_document->insertObject_inLinesAtIndex(graphic, index);
    } else if (key == QLNDocumentTextAreasKey) {
      m_document->insertObject_inTextAreasAtIndex(graphic, index);
    } else {
      m_document->insertObject_inImagesAtIndex(graphic, index);
    }
    return int(m_document->graphics().indexOf(graphic));
  } catch (const QLNScriptingRangeError &e) {
    restoreCascade();
    fail(RangeError, e.message());
  } catch (const BusError &e) {
    restoreCascade();
    fail(e.name, e.message);
  }
  return -1;
}

void DocumentScriptingBus::Remove(const QString &key, int index) {
  try {
    if (key == QLNDocumentGraphicsKey) {
      if (index < 0 || index >= m_document->graphics().size())
        throw BusError(IndexError, QStringLiteral("The front list has no object %1.").arg(index));
      m_document->removeGraphicAtIndex(index);
    } else if (key == QLNDocumentRectanglesKey) {
      m_document->removeObjectFromRectanglesAtIndex(index);
    } else if (key == QLNDocumentCirclesKey) {
      m_document->removeObjectFromCirclesAtIndex(index);
    } else if (key == QLNDocumentLinesKey) {
      m_document->removeObjectFromLinesAtIndex(index);
    } else if (key == QLNDocumentTextAreasKey) {
      m_document->removeObjectFromTextAreasAtIndex(index);
    } else if (key == QLNDocumentImagesKey) {
      m_document->removeObjectFromImagesAtIndex(index);
    } else {
      throw BusError(InvalidArgs, QStringLiteral("Objects cannot be removed under the key \"%1\".").arg(key));
    }
  } catch (const QLNScriptingRangeError &e) {
    fail(RangeError, e.message());
  } catch (const BusError &e) {
    fail(e.name, e.message);
  }
}

QList<int> DocumentScriptingBus::IndicesOfRange(const QString &key, const QVariantMap &start, const QVariantMap &end) {
  try {
    const QLNScriptSpecifier specifier = QLNScriptSpecifier::range(key, rangeEndOf(start), rangeEndOf(end));
    if (!specifier.start && !specifier.end)
      throw BusError(InvalidArgs, QStringLiteral("A range takes a start, an end or both."));
    const std::optional<QList<int>> indexes = m_document->indicesOfObjectsByEvaluatingObjectSpecifier(specifier);
    if (!indexes)
      throw BusError(SpecifierError, QStringLiteral("The range names no objects of the front side."));
    return *indexes;
  } catch (const BusError &e) {
    fail(e.name, e.message);
  }
  return {};
}

QList<int> DocumentScriptingBus::IndicesOfRelative(const QString &key, const QString &position,
                                                   const QVariantMap &base) {
  try {
    const QLNScriptSpecifier specifier = QLNScriptSpecifier::relative(key, positionOf(position), specifierOf(base, 1));
    const std::optional<QList<int>> indexes = m_document->indicesOfObjectsByEvaluatingObjectSpecifier(specifier);
    if (!indexes)
      throw BusError(SpecifierError, QStringLiteral("The base names no object of the front side."));
    return *indexes;
  } catch (const BusError &e) {
    fail(e.name, e.message);
  }
  return {};
}

QString DocumentScriptingBus::ObjectSpecifier(const QString &key, int index, int &specifierIndex) {
  specifierIndex = -1;
  try {
    const std::optional<QLNGraphicList> elements = m_document->scriptingElements(key);
    if (!elements) throw BusError(InvalidArgs, QStringLiteral("There is no element key \"%1\".").arg(key));
    if (index < 0 || index >= elements->size())
      throw BusError(IndexError, QStringLiteral("The list \"%1\" has no object %2.").arg(key).arg(index));
    const std::optional<QLNObjectSpecifier> specifier = m_document->objectSpecifierForGraphic(elements->at(index).get());
    if (!specifier)
      throw BusError(SpecifierError, QStringLiteral("Only the objects of the front side have a specifier."));
    specifierIndex = specifier->index;
    return specifier->key;
  } catch (const BusError &e) {
    fail(e.name, e.message);
  }
  return QString();
}
