#include "core/QLNGraphic.h"

#include "core/CardObjectArchive.h"
#include "core/Globals.h"
#include "core/MainWindowServices.h"
#include "core/QLNDocument.h"
#include "core/QLNError.h"
#include "core/QLNImage.h"
#include "core/Utilities.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <stdexcept>

const QString QLNGraphicIsDrawingFillKey = QStringLiteral("drawingFill");
const QString QLNGraphicFillColorKey = QStringLiteral("fillColor");
const QString QLNGraphicIsDrawingStrokeKey = QStringLiteral("drawingStroke");
const QString QLNGraphicStrokeColorKey = QStringLiteral("strokeColor");
const QString QLNGraphicStrokeWidthKey = QStringLiteral("strokeWidth");
const QString QLNGraphicXPositionKey = QStringLiteral("xPosition");
const QString QLNGraphicYPositionKey = QStringLiteral("yPosition");
const QString QLNGraphicWidthKey = QStringLiteral("width");
const QString QLNGraphicHeightKey = QStringLiteral("height");
const QString QLNGraphicBoundsKey = QStringLiteral("bounds");
const QString QLNGraphicDrawingBoundsKey = QStringLiteral("drawingBounds");
const QString QLNGraphicDrawingContentsKey = QStringLiteral("drawingContents");
const QString QLNGraphicKeysForValuesToObserveForUndoKey = QStringLiteral("keysForValuesToObserveForUndo");

namespace {

// The size of the font of new text storage (named by Text_Ctrl_Font).
constexpr double DefaultTextFontSize = 14.0;

// An opacity field applied to a colour: limited to 0..1 (a value that is not a number
// counts as 0).
QColor withAlpha(const QColor &color, float alpha) {
  if (!color.isValid())
    return color;
  const double a = std::isnan(alpha) ? 0.0 : std::clamp(static_cast<double>(alpha), 0.0, 1.0);
  QColor result = color;
  result.setAlphaF(static_cast<float>(a));
  return result;
}

QVariant colorVariant(const QColor &color) { return color.isValid() ? QVariant(color) : QVariant(); }

thread_local ScriptCommand *currentScriptCommand = nullptr;

}  // namespace

// ---- Script command status ------------------------------------------------------------------

ScriptCommand *ScriptCommand::currentCommand() { return currentScriptCommand; }

ScriptCommand::Scope::Scope(ScriptCommand &command) : m_previous(currentScriptCommand) {
  currentScriptCommand = &command;
}

ScriptCommand::Scope::~Scope() { currentScriptCommand = m_previous; }

// ---- Defaults from the main window ----------------------------------------------------------


// ---- Creation ---------------------------------------------------------------------------------

QLNGraphic::QLNGraphic() {
  _barcode_image = PointImage();
  _bounds = QRectF(0, 0, 0, 0);
  _isDrawingFill = true;
  _fillColor = QColor(Qt::white);
  _isDrawingStroke = true;
  _strokeColor = QColor(Qt::black);
  _strokeWidth = 1.0;
  _stroke_border_type = QStringLiteral("S");
  _fill_type = QStringLiteral("S");
  _fill_Grad_clr1 = QColor(Qt::white);
  _fill_Grad_clr2 = QColor(Qt::white);
  _fill_grad_angle = 0.0;
  _fill_htch_clr = QColor(Qt::white);
  _fill_hatch_type = QStringLiteral("");
  _isFlippedHorizontally = false;
  _isFlippedVertically = false;
  invert_clr = false;
  gray_Scale = false;
  Sepia = false;
  img_trnsp_val = 100.0f;
  hue_val = 0.0f;
  sat_val = 1.0f;
  brt_val = 0.0f;
  con_val = 1.0f;
  srp_val = 0.0f;
  ev_val = 0.0f;
  blr_val = 0.0f;
  data_source_type = 0;
  rotate_image = 0.0f;
  _file_path = joinPath(Resource_Path, QStringLiteral("no.png"));
  _scriptingContainer = nullptr;
  sign_or_fingureprint = QStringLiteral("S");
  batch_list_name = QStringLiteral("");
  batch_list_index = 0;
  _line_ori = 0;
  _line_cap_style = 0;
  cor_rad_val_val = 10.0f;
  alpha_val = 100.0f;
  alpha_val_stroke = 100.0f;
  text_ctrl_font = mainWindowServices().All_Text_font();
  txt_clr = mainWindowServices().All_Text_clr();
  _Text_contents.reset();
  _shape_type = QStringLiteral("R");
  linear_or_2d = 0;
  barcode_font_index = 0;
  linear_font_val = QStringLiteral("0123");
  two_d_font_val = QStringLiteral("0123");
  header_val = QStringLiteral("HEADER");
  footer_val = QStringLiteral("FOOTER");
  show_hide_hdr = 0;
  show_hide_ftr = 0;
  show_hide_val = 0;
  show_val_on_top = 0;
  align_hdr_index = 1;
  align_ftr_index = 1;
  linear_height_val = 0.6f;
  linear_width_val = 20.0f;
  qr_size_val = 60;
  qr_version_index = 0;
  qr_ec_index = 0;
  pdf_hgt_val = 20;
  pdf_wdt_val = 100;
  pdf_ec_val = 2;
  dm_module_val = 2;
  dm_format_index = 0;
  dm_encoding_index = 0;
  hdr_margin_val = 0.1f;
  ftr_margin_val = 0.1f;
  val_margin_val = 0.1f;
  TB_marging_val = 0.1f;
  LR_margin_val = 0.1f;
  value_font_val = FontSpec(QStringLiteral("Times New Roman"), 10.0);
  header_font_val = FontSpec(QStringLiteral("Times New Roman"), 10.0);
  footer_font_val = FontSpec(QStringLiteral("Times New Roman"), 10.0);
  barcode_hdr_clr_val = QColor(Qt::black);
  barcode_ftr_clr_val = QColor(Qt::black);
  barcode_val_clr_val = QColor(Qt::black);
  barcode_back_clr_val = QColor(Qt::white);
  barcode_clr_val = QColor(Qt::black);
  dpi_val_index = 0;
  dpi_custom_val = QStringLiteral("0");
  barcode_unit_val = 1;
  ctrl_is_locked = false;
  text_alignmnet = 0;
  text_transfrom_case = 0;
  text_kerning = 0.0f;
  print_object = 0;
  control_ID = QStringLiteral("");
  excel_binding = false;
  excel_col_indx = 0;
  Text_Value = QStringLiteral("Text here");
  ctrl_is_visible = true;
  double_star_type = 1;
  polygon_type = 1;
}

QLNGraphic::QLNGraphic(Zeroed) {}

QLNGraphic::~QLNGraphic() = default;

QString QLNGraphic::className() const { return QStringLiteral("QLNGraphic"); }

QStringList QLNGraphic::archiveSuperclasses() const {
  if (className() == QLatin1String("QLNGraphic"))
    return {};
  return {QStringLiteral("QLNGraphic")};
}

QLNTextStoragePtr QLNGraphic::Text_contents() {
  if (!_Text_contents) {
    auto storage = std::make_shared<QLNTextStorage>();
    storage->string = Text_Value;
    if (!storage->string.isEmpty()) {
      TextRun run;
      run.start = 0;
      run.length = storage->string.size();
      run.font = ArchivedFont{Text_Ctrl_Font, DefaultTextFontSize};
      run.color = QColor(Qt::black);
      storage->runs.append(run);
    }
    _Text_contents = storage;
  }
  return _Text_contents;
}

// ---- Copy -------------------------------------------------------------------------------------

void QLNGraphic::copyBaseFieldsTo(QLNGraphic &copy) const {
  copy._bounds = _bounds;
  copy._isDrawingFill = _isDrawingFill;
  copy._fillColor = _fillColor;
  copy._isDrawingStroke = _isDrawingStroke;
  copy._strokeColor = _strokeColor;
  copy._strokeWidth = _strokeWidth;
  copy._stroke_border_type = _stroke_border_type;
  copy._fill_type = _fill_type;
  copy._fill_Grad_clr1 = _fill_Grad_clr1;
  copy._fill_Grad_clr2 = _fill_Grad_clr2;
  copy._fill_grad_angle = _fill_grad_angle;
  copy._fill_htch_clr = _fill_htch_clr;
  copy._fill_hatch_type = _fill_hatch_type;
}

QLNGraphicPtr QLNGraphic::copyWithZone() const {
  auto copy = std::make_shared<QLNGraphic>();
  copyBaseFieldsTo(*copy);
  return copy;
}

QLNGraphicPtr QLNGraphic::copyForRendering() const {
  return detachedCopy(*this, QLNGraphicPtr(new QLNGraphic(*this)));
}

QLNGraphicPtr QLNGraphic::detachedCopy(const QLNGraphic &original, QLNGraphicPtr copy) {
  // A kind that does not make copies of itself would come out as the kind it derives
  // from, and be drawn as something else.
  if (copy->className() != original.className())
    throw std::logic_error("the object's kind makes no copies of itself");
  // Values are set into a card's copy: they must not reach the original's text.
  if (copy->_Text_contents)
    copy->_Text_contents = std::make_shared<QLNTextStorage>(*copy->_Text_contents);
  copy->_scriptingContainer = nullptr;
  return copy;
}

// ---- Colour getters ---------------------------------------------------------------------------

QColor QLNGraphic::fillColor() {
  _fillColor = withAlpha(_fillColor, alpha_val);
  return _fillColor;
}

QColor QLNGraphic::strokeColor() {
  _strokeColor = withAlpha(_strokeColor, alpha_val_stroke);
  return _strokeColor;
}

QColor QLNGraphic::fill_hatch_bk_clr() {
  _fill_htch_clr = withAlpha(_fill_htch_clr, alpha_val);
  return _fill_htch_clr;
}

QColor QLNGraphic::fill_Grad_clr1() {
  _fill_Grad_clr1 = withAlpha(_fill_Grad_clr1, alpha_val);
  return _fill_Grad_clr1;
}

QColor QLNGraphic::fill_Grad_clr2() {
  _fill_Grad_clr2 = withAlpha(_fill_Grad_clr2, alpha_val);
  return _fill_Grad_clr2;
}

// ---- Legacy property dictionary ---------------------------------------------------------------

PlistValue QLNGraphic::properties() {
  PlistValue dict = PlistValue::dict();
  dict.insert(QLNGraphicBoundsKey, PlistValue(rectToString(bounds())));
  dict.insert(QLNGraphicIsDrawingFillKey, PlistValue(isDrawingFill()));
  const QColor fill = fillColor();
  if (fill.isValid())
    dict.insert(QLNGraphicFillColorKey, PlistValue(archivedColor(fill)));
  dict.insert(QLNGraphicIsDrawingStrokeKey, PlistValue(isDrawingStroke()));
  const QColor stroke = strokeColor();
  if (stroke.isValid())
    dict.insert(QLNGraphicStrokeColorKey, PlistValue(archivedColor(stroke)));
  dict.insert(QLNGraphicStrokeWidthKey, PlistValue(strokeWidth()));
  return dict;
}

namespace {

bool isNumber(const PlistValue &value) {
  return value.isInteger() || value.isReal() || value.isBool();
}

double numberValue(const PlistValue &value) {
  if (value.isReal())
    return value.toReal();
  if (value.isBool())
    return value.toBool() ? 1.0 : 0.0;
  return static_cast<double>(value.toInt());
}

}  // namespace

void QLNGraphic::initWithProperties(const PlistValue &properties) {
  if (!properties.isDict())
    return;
  const PlistValue &bounds = properties.value(QLNGraphicBoundsKey);
  if (bounds.isString())
    _bounds = rectFromString(bounds.toString());
  const PlistValue &fill = properties.value(QLNGraphicIsDrawingFillKey);
  if (isNumber(fill))
    _isDrawingFill = numberValue(fill) != 0.0;
  const PlistValue &fillColor = properties.value(QLNGraphicFillColorKey);
  if (fillColor.isData())
    if (auto color = unarchivedColor(fillColor.toData()))
      _fillColor = *color;
  const PlistValue &stroke = properties.value(QLNGraphicIsDrawingStrokeKey);
  if (isNumber(stroke))
    _isDrawingStroke = numberValue(stroke) != 0.0;
  const PlistValue &strokeColor = properties.value(QLNGraphicStrokeColorKey);
  if (strokeColor.isData())
    if (auto color = unarchivedColor(strokeColor.toData()))
      _strokeColor = *color;
  const PlistValue &width = properties.value(QLNGraphicStrokeWidthKey);
  if (isNumber(width))
    _strokeWidth = numberValue(width);
  // These properties may come from a file: the same bounds as every decoded record.
  holdDecodedNumbers(*this);
}

QString QLNGraphic::description() { return QString::fromUtf8(toXmlPropertyList(properties())); }

// ---- Editing hooks ------------------------------------------------------------------------------

QWidget *QLNGraphic::newEditingViewWithSuperviewBounds(const QRectF &) { return nullptr; }

void QLNGraphic::finalizeEditingView(QWidget *) {}

// ---- Observation and undo -----------------------------------------------------------------------

QSet<QString> QLNGraphic::keysForValuesToObserveForUndo() const {
  return {QLNGraphicIsDrawingFillKey, QLNGraphicFillColorKey, QLNGraphicIsDrawingStrokeKey,
          QLNGraphicStrokeColorKey,   QLNGraphicStrokeWidthKey, QLNGraphicBoundsKey};
}

std::optional<QString> QLNGraphic::presentablePropertyNameForKey(const QString &) const {
  return QString(QLatin1String(""));
}

QSet<QString> QLNGraphic::keyPathsForValuesAffectingDrawingContents() const {
  return {QLNGraphicIsDrawingFillKey, QLNGraphicFillColorKey, QLNGraphicIsDrawingStrokeKey,
          QLNGraphicStrokeColorKey};
}

QSet<QString> QLNGraphic::keyPathsForValuesAffectingDrawingBounds() {
  return {QLNGraphicBoundsKey, QLNGraphicStrokeWidthKey};
}

QSet<QString> QLNGraphic::keyPathsForValuesAffectingValueForKey(const QString &key) const {
  if (key == QLNGraphicXPositionKey || key == QLNGraphicYPositionKey || key == QLNGraphicWidthKey ||
      key == QLNGraphicHeightKey)
    return {QLNGraphicBoundsKey};
  if (key == QLNGraphicDrawingBoundsKey)
    return keyPathsForValuesAffectingDrawingBounds();
  if (key == QLNGraphicDrawingContentsKey)
    return keyPathsForValuesAffectingDrawingContents();
  return {};
}

bool QLNGraphic::automaticallyNotifiesObserversForKey(const QString &key) const {
  return !(key == QLNGraphicXPositionKey || key == QLNGraphicYPositionKey ||
           key == QLNGraphicWidthKey || key == QLNGraphicHeightKey);
}

QVariant QLNGraphic::valueForKey(const QString &key) const {
  if (key == QLNGraphicIsDrawingFillKey)
    return isDrawingFill();
  if (key == QLNGraphicFillColorKey)
    return colorVariant(withAlpha(_fillColor, alpha_val));
  if (key == QLNGraphicIsDrawingStrokeKey)
    return isDrawingStroke();
  if (key == QLNGraphicStrokeColorKey)
    return colorVariant(withAlpha(_strokeColor, alpha_val_stroke));
  if (key == QLNGraphicStrokeWidthKey)
    return _strokeWidth;
  if (key == QLNGraphicBoundsKey)
    return _bounds;
  if (key == QLNGraphicXPositionKey)
    return _bounds.x();
  if (key == QLNGraphicYPositionKey)
    return _bounds.y();
  if (key == QLNGraphicWidthKey)
    return _bounds.width();
  if (key == QLNGraphicHeightKey)
    return _bounds.height();
  if (key == QLNGraphicDrawingBoundsKey)
    return drawingBounds();
  if (key == QLNGraphicKeysForValuesToObserveForUndoKey) {
    const QSet<QString> keys = keysForValuesToObserveForUndo();
    QStringList list(keys.begin(), keys.end());
    list.sort();
    return list;
  }
  return QVariant();
}

bool QLNGraphic::setValue(const QVariant &value, const QString &key) {
  if (key == QLNGraphicIsDrawingFillKey) {
    changeValueForKey(key, [&] { _isDrawingFill = value.toBool(); });
  } else if (key == QLNGraphicFillColorKey) {
    changeValueForKey(key, [&] { _fillColor = value.value<QColor>(); });
  } else if (key == QLNGraphicIsDrawingStrokeKey) {
    changeValueForKey(key, [&] { _isDrawingStroke = value.toBool(); });
  } else if (key == QLNGraphicStrokeColorKey) {
    changeValueForKey(key, [&] { _strokeColor = value.value<QColor>(); });
  } else if (key == QLNGraphicStrokeWidthKey) {
    changeValueForKey(key, [&] { _strokeWidth = value.toDouble(); });
  } else if (key == QLNGraphicBoundsKey) {
    setBounds(value.toRectF());
  } else if (key == QLNGraphicXPositionKey) {
    setXPosition(value.toDouble());
  } else if (key == QLNGraphicYPositionKey) {
    setYPosition(value.toDouble());
  } else if (key == QLNGraphicWidthKey) {
    setWidth(value.toDouble());
  } else if (key == QLNGraphicHeightKey) {
    setHeight(value.toDouble());
  } else {
    return false;
  }
  return true;
}

// ---- Scripting ----------------------------------------------------------------------------------

QLNObjectSpecifier QLNGraphic::objectSpecifier() const {
  std::optional<QLNObjectSpecifier> specifier;
  if (_scriptingContainer)
    specifier = _scriptingContainer->objectSpecifierForGraphic(this);
  if (!specifier)
    throw std::logic_error("A scriptable graphic has no scriptable container, or one that doesn't "
                           "implement -objectSpecifierForGraphic: correctly.");
  return *specifier;
}

std::optional<QColor> QLNGraphic::scriptingFillColor() {
  if (!isDrawingFill())
    return std::nullopt;
  const QColor color = fillColor();
  return color.isValid() ? std::optional<QColor>(color) : std::nullopt;
}

std::optional<QColor> QLNGraphic::scriptingStrokeColor() {
  if (!isDrawingStroke())
    return std::nullopt;
  const QColor color = strokeColor();
  return color.isValid() ? std::optional<QColor>(color) : std::nullopt;
}

std::optional<double> QLNGraphic::scriptingStrokeWidth() const {
  if (!isDrawingStroke())
    return std::nullopt;
  return strokeWidth();
}

namespace {

QString graphicText(const char *english) { return QCoreApplication::translate("QLNGraphic", english); }

void reportScriptError(const QString &text) {
  if (ScriptCommand *command = ScriptCommand::currentCommand()) {
    command->setScriptErrorNumber(-10000);
    command->setScriptErrorString(text);
  }
}

}  // namespace

void QLNGraphic::setScriptingValue(const QString &flagKey, bool canSet, const QString &valueKey,
                                   const QVariant &value, const QString &cannotSetText,
                                   const QString &cannotRemoveText) {
  const bool isOn = valueForKey(flagKey).toBool();
  if (value.isValid()) {
    if (!isOn) {
      if (!canSet) {
        reportScriptError(cannotSetText);
        return;
      }
      setValue(true, flagKey);
    }
    setValue(value, valueKey);
  } else if (isOn) {
    if (canSet)
      setValue(false, flagKey);
    else
      reportScriptError(cannotRemoveText);
  }
}

void QLNGraphic::setScriptingFillColor(const std::optional<QColor> &color) {
  setScriptingValue(QLNGraphicIsDrawingFillKey, canSetDrawingFill(), QLNGraphicFillColorKey,
                    color ? QVariant(*color) : QVariant(),
                    graphicText("You can't set the fill color of this kind of graphic."),
                    graphicText("You can't remove the fill from this kind of graphic."));
}

void QLNGraphic::setScriptingStrokeColor(const std::optional<QColor> &color) {
  setScriptingValue(QLNGraphicIsDrawingStrokeKey, canSetDrawingStroke(), QLNGraphicStrokeColorKey,
                    color ? QVariant(*color) : QVariant(),
                    graphicText("You can't set the stroke color of this kind of graphic."),
                    graphicText("You can't remove the stroke from this kind of graphic."));
}

void QLNGraphic::setScriptingStrokeWidth(const std::optional<double> &width) {
  setScriptingValue(QLNGraphicIsDrawingStrokeKey, canSetDrawingStroke(), QLNGraphicStrokeWidthKey,
                    width ? QVariant(*width) : QVariant(),
                    graphicText("You can't set the stroke thickness of this kind of graphic."),
                    graphicText("You can't remove the stroke from this kind of graphic."));
}

// ---- Pasteboard data ----------------------------------------------------------------------------

QList<QByteArray> QLNGraphic::propertiesWithGraphics(const QLNGraphicList &graphics) {
  QList<QByteArray> blocks;
  for (const QLNGraphicPtr &graphic : graphics) {
    if (!graphic)
      continue;
    QString error;
    const QByteArray block = archiveGraphic(*graphic, &error);
    if (block.isEmpty()) {
      Show_NSLog_Message(QStringLiteral("A card object could not be archived: %1").arg(error));
      continue;
    }
    blocks.append(block);
  }
  return blocks;
}

QByteArray QLNGraphic::pasteboardDataWithGraphics(const QLNGraphicList &graphics) {
  // The copies on the clipboard say what their spreadsheet column is, so that a paste
  // after other rows were imported finds it; the objects themselves stay unmarked.
  std::vector<std::optional<SpreadsheetColumnMark>> held;
  for (const QLNGraphicPtr &graphic : graphics) {
    held.push_back(graphic ? graphic->excel_col_mark : std::nullopt);
    if (graphic)
      graphic->excel_col_mark = mainWindowServices().spreadsheetColumnMark(*graphic);
  }
  const QList<QByteArray> blocks = propertiesWithGraphics(graphics);
  for (qsizetype i = 0; i < graphics.size(); ++i)
    if (graphics.at(i))
      graphics.at(i)->excel_col_mark = held.at(size_t(i));
  PlistValue array = PlistValue::array();
  for (const QByteArray &block : blocks)
    array.append(PlistValue(block));
  return toBinaryPropertyList(array);
}

QLNGraphicList QLNGraphic::graphicsWithPasteboardData(const QByteArray &data, QLNError *error) {
  const std::optional<PlistValue> list = parsePropertyList(data);
  if (!list || !list->isArray()) {
    if (error)
      *error = QLNErrorWithCode(2);
    return {};
  }
  QList<QByteArray> blocks;
  for (const PlistValue &item : list->items())
    if (item.isData())
      blocks.append(item.toData());
  return graphicsWithProperties(blocks);
}

QLNGraphicList QLNGraphic::graphicsWithProperties(const QList<QByteArray> &blocks) {
  QLNGraphicList graphics;
  for (const QByteArray &block : blocks) {
    QLNGraphicPtr graphic = unarchiveGraphic(block);
    if (!graphic)
      continue;
    if (graphic->className() == QLatin1String("QLNImage")) {
      const QString path = graphic->_file_path;
      Show_NSLog_Message(path);
      if (!path.isEmpty() && QFileInfo::exists(path))
        static_cast<QLNImage *>(graphic.get())->setFilePath(path);
    }
    graphics.append(graphic);
  }
  return graphics;
}
