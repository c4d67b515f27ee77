#include "core/QLNDocument.h"

#include "core/MainWindowServices.h"
#include "core/QLNError.h"
#include "platform/PropertyList.h"

#include <QMetaObject>
#include <QMimeDatabase>

#include <algorithm>
#include <stdexcept>

const QString QLNDocumentGraphicsKey = QStringLiteral("graphics");
const QString QLNDocumentGraphicsKey_back = QStringLiteral("graphics_back");
const QString QLNDocumentGraphicsKey_temp = QStringLiteral("graphics_temp");
const QString QLNDocumentCanvasSizeKey = QStringLiteral("canvasSize");
const QString QLNDocumentVersionKey = QStringLiteral("version");
const QString QLNDocumentPrintInfoKey = QStringLiteral("printInfo");
const int QLNDocumentCurrentVersion = 2;
const QString QLNDocumentNewTypeName = QStringLiteral("org.amends.Amends.card");
const QString QLNDocumentOldTypeName = QStringLiteral("Amends card document");
const QString QLNDocumentPDFTypeName = QStringLiteral("application/pdf");
const QString QLNDocumentTIFFTypeName = QStringLiteral("image/tiff");
const char *const QLNDocumentUndoObservationContext = "org.amends.Amends.QLNDocument.undo";
const char *const QLNDocumentUndoKeysObservationContext = "org.amends.Amends.QLNDocument.undoKeys";

// ---- UndoManager -------------------------------------------------------------------------

UndoManager::UndoManager(QObject *parent) : QObject(parent) {}

UndoManager::~UndoManager() = default;

void UndoManager::registerUndo(Action action, const void *target) {
  if (!isUndoRegistrationEnabled() || !action)
    return;
  const bool couldUndo = canUndo();
  const bool couldRedo = canRedo();
  if (!m_undoing && !m_redoing && !m_redoStack.empty())
    m_redoStack.clear();
  if (m_groupingLevel == 0) {
    beginUndoGrouping();
    // The group of this turn of the event loop closes when the loop comes round again.
    const quint64 generation = ++m_autoGroupGeneration;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
          if (generation == m_autoGroupGeneration && m_groupingLevel > 0) {
            m_groupingLevel = 1;
            endUndoGrouping();
          }
        },
        Qt::QueuedConnection);
  }
  m_open.push_back(Entry{std::move(action), target});
  if (canUndo() != couldUndo || canRedo() != couldRedo)
    emit stacksChanged();
}

void UndoManager::disableUndoRegistration() { ++m_disableCount; }

void UndoManager::enableUndoRegistration() {
  if (m_disableCount > 0)
    --m_disableCount;
}

void UndoManager::beginUndoGrouping() {
  if (m_groupingLevel == 0)
    m_open.clear();
  ++m_groupingLevel;
}

void UndoManager::endUndoGrouping() {
  if (m_groupingLevel == 0)
    return;
  if (--m_groupingLevel == 0)
    closeGroup();
}

void UndoManager::closeGroup() {
  Group group = std::move(m_open);
  m_open.clear();
  ++m_autoGroupGeneration;  // a pending end-of-turn close has nothing left to close
  if (!group.empty()) {
    if (m_undoing)
      m_redoStack.push_back(std::move(group));
    else
      m_undoStack.push_back(std::move(group));
  }
  emit checkpoint();
  emit stacksChanged();
}

bool UndoManager::canUndo() const { return !m_undoStack.empty() || hasOpenActions(); }

bool UndoManager::canRedo() const { return !m_redoStack.empty(); }

void UndoManager::runGroup(Group group, bool undoing) {
  bool &flag = undoing ? m_undoing : m_redoing;
  flag = true;
  beginUndoGrouping();
  try {
    for (auto it = group.rbegin(); it != group.rend(); ++it)
      it->action();
  } catch (...) {
    if (m_groupingLevel > 0) {
      m_groupingLevel = 1;
      endUndoGrouping();
    }
    flag = false;
    throw;
  }
  if (m_groupingLevel > 0) {
    m_groupingLevel = 1;
    endUndoGrouping();
  }
  flag = false;
}

void UndoManager::undo() {
  if (m_undoing || m_redoing)
    return;
  if (m_groupingLevel > 0) {
    m_groupingLevel = 1;
    endUndoGrouping();
  }
  if (m_undoStack.empty())
    return;
  Group group = std::move(m_undoStack.back());
  m_undoStack.pop_back();
  runGroup(std::move(group), true);
}

void UndoManager::redo() {
  if (m_undoing || m_redoing)
    return;
  if (m_groupingLevel > 0) {
    m_groupingLevel = 1;
    endUndoGrouping();
  }
  if (m_redoStack.empty())
    return;
  Group group = std::move(m_redoStack.back());
  m_redoStack.pop_back();
  runGroup(std::move(group), false);
}

void UndoManager::removeAllActions() {
  m_undoStack.clear();
  m_redoStack.clear();
  m_open.clear();
  m_groupingLevel = 0;
  ++m_autoGroupGeneration;
  emit checkpoint();
  emit stacksChanged();
}

void UndoManager::removeAllActionsWithTarget(const void *target) {
  auto filter = [target](std::vector<Group> &stack) {
    for (Group &group : stack)
      group.erase(std::remove_if(group.begin(), group.end(),
                                 [target](const Entry &e) { return e.target == target; }),
                  group.end());
    stack.erase(std::remove_if(stack.begin(), stack.end(), [](const Group &g) { return g.empty(); }),
                stack.end());
  };
  filter(m_undoStack);
  filter(m_redoStack);
  m_open.erase(std::remove_if(m_open.begin(), m_open.end(),
                              [target](const Entry &e) { return e.target == target; }),
               m_open.end());
  emit stacksChanged();
}

// ---- QLNPrintInfo ------------------------------------------------------------------------

namespace {

const QString PrintInfoClass = QStringLiteral("QLNPrintInfo");

class PrintInfoArchive : public KeyedArchivable {
public:
  QLNPrintInfo info;

  QString archiveClassName() const override { return PrintInfoClass; }
  void encodeWithCoder(KeyedArchiver &coder) const override {
    coder.encodeSize(QStringLiteral("paperSize"), info.paperSize);
    coder.encodeInt32(QStringLiteral("orientation"), info.orientation);
    coder.encodeDouble(QStringLiteral("leftMargin"), info.margins.left());
    coder.encodeDouble(QStringLiteral("topMargin"), info.margins.top());
    coder.encodeDouble(QStringLiteral("rightMargin"), info.margins.right());
    coder.encodeDouble(QStringLiteral("bottomMargin"), info.margins.bottom());
  }
  void initWithCoder(KeyedUnarchiver &coder) {
    info.paperSize = coder.decodeSize(QStringLiteral("paperSize"));
    info.orientation = coder.decodeInt32(QStringLiteral("orientation"));
    info.margins = QMarginsF(coder.decodeDouble(QStringLiteral("leftMargin")),
                             coder.decodeDouble(QStringLiteral("topMargin")),
                             coder.decodeDouble(QStringLiteral("rightMargin")),
                             coder.decodeDouble(QStringLiteral("bottomMargin")));
  }
};

}  // namespace

QByteArray QLNPrintInfo::archived() const {
  PrintInfoArchive archive;
  archive.info = *this;
  return KeyedArchiver::archiveRootObject(archive);
}

std::optional<QLNPrintInfo> QLNPrintInfo::unarchived(const QByteArray &data) {
  KeyedUnarchiver coder(data);
  coder.registerClass(PrintInfoClass, [](KeyedUnarchiver &c) -> std::unique_ptr<KeyedArchivable> {
    auto archive = std::make_unique<PrintInfoArchive>();
    archive->initWithCoder(c);
    return archive;
  });
  std::unique_ptr<KeyedArchivable> root = coder.decodeRootObject();
  auto *archive = dynamic_cast<PrintInfoArchive *>(root.get());
  if (coder.failed() || !archive)
    return std::nullopt;
  return archive->info;
}

// ---- QLNMapTableOwner --------------------------------------------------------------------

QLNMapTableOwner::Properties &QLNMapTableOwner::propertiesFor(const QLNGraphicPtr &graphic) {
  for (auto &entry : _mapTable)
    if (entry.first == graphic)
      return entry.second;
  _mapTable.emplace_back(graphic, Properties());
  return _mapTable.back().second;
}

// ---- QLNDocument -------------------------------------------------------------------------

namespace {

// Checks that `indexes` are ascending and distinct and that inserting (`inserting`
// objects) or removing at them fits a list of `size` objects.
void checkIndexes(const QLNIndexSet &indexes, qsizetype size, qsizetype inserting) {
  for (qsizetype i = 0; i < indexes.size(); ++i) {
    if (i > 0 && indexes[i] <= indexes[i - 1])
      throw std::out_of_range("indexes are not ascending");
    const qsizetype limit = inserting >= 0 ? size + i : size - 1;
    if (indexes[i] < 0 || indexes[i] > limit)
      throw std::out_of_range("index beyond the end of the list");
  }
  if (inserting >= 0 && inserting != indexes.size())
    throw std::out_of_range("objects and indexes differ in number");
}

QStringList sortedKeys(const QSet<QString> &keys) {
  QStringList list(keys.begin(), keys.end());
  list.sort();
  return list;
}

}  // namespace

QLNDocument::QLNDocument() {
  connect(&m_undoManager, &UndoManager::checkpoint, this, &QLNDocument::observeUndoManagerCheckpoint);
}

QLNDocument::~QLNDocument() {
  Clear_All_Undo_Redo();
  QLNGraphicList stillObserved;
  for (const auto &entry : m_observed)
    stillObserved.append(entry.first);
  stopObservingGraphics(stillObserved);
  disconnect(&m_undoManager, nullptr, this, nullptr);
  for (const QLNGraphicPtr &g : _graphics)
    g->setScriptingContainer(nullptr);
}

void QLNDocument::Enable_Disable_Undo_Registraion(int enable) {
  if (enable == 1)
    m_undoManager.enableUndoRegistration();
  else
    m_undoManager.disableUndoRegistration();
}

void QLNDocument::Clear_All_Undo_Redo() {
  m_undoManager.removeAllActions();
  Enable_Disable_Undo_Registraion(0);
  try {
    QLNIndexSet all;
    for (int i = 0; i < _graphics.size(); ++i)
      all.append(i);
    if (!all.isEmpty())
      removeGraphicsAtIndexes(all);
  } catch (...) {
    Enable_Disable_Undo_Registraion(1);
    throw;
  }
  Enable_Disable_Undo_Registraion(1);
  observeUndoManagerCheckpoint();
}

void QLNDocument::insertInPlace(QLNGraphicList &list, const QString &key,
                                const QLNGraphicList &graphics, const QLNIndexSet &indexes) {
  willChange(KeyValueChangeKind::Insertion, indexes, key);
  for (qsizetype i = 0; i < indexes.size(); ++i)
    list.insert(indexes[i], graphics[i]);
  didChange(KeyValueChangeKind::Insertion, indexes, key, QVariant::fromValue(graphics));
}

void QLNDocument::removeInPlace(QLNGraphicList &list, const QString &key, const QLNIndexSet &indexes) {
  QLNGraphicList removed;
  for (int index : indexes)
    removed.append(list.at(index));
  willChange(KeyValueChangeKind::Removal, indexes, key, QVariant::fromValue(removed));
  for (qsizetype i = indexes.size() - 1; i >= 0; --i)
    list.removeAt(indexes[i]);
  didChange(KeyValueChangeKind::Removal, indexes, key);
}

void QLNDocument::insertGraphics(const QLNGraphicList &graphics, const QLNIndexSet &atIndexes) {
  checkIndexes(atIndexes, _graphics.size(), graphics.size());
  for (const QLNGraphicPtr &g : graphics)
    if (!g)
      throw std::invalid_argument("no card object to insert");
  insertInPlace(_graphics, QLNDocumentGraphicsKey, graphics, atIndexes);
  for (const QLNGraphicPtr &g : graphics)
    g->setScriptingContainer(this);
  m_undoManager.registerUndo([this, atIndexes] { removeGraphicsAtIndexes(atIndexes); }, this);
  if (m_undoManager.isUndoRegistrationEnabled()) {
    if (!_undoGroupInsertedGraphics)
      _undoGroupInsertedGraphics.emplace();
    _undoGroupInsertedGraphics->append(graphics);
  }
  startObservingGraphics(graphics);
  // An object back from the undo records (or pasted) takes its spreadsheet column
  // among the rows imported now.
  mainWindowServices().designObjectsArrived(graphics, false);
}

void QLNDocument::removeGraphicsAtIndexes(const QLNIndexSet &indexes) {
  checkIndexes(indexes, _graphics.size(), -1);
  QLNGraphicList removed;
  for (int index : indexes)
    removed.append(_graphics.at(index));
  // Undo may bring them back after other rows were imported: each keeps what its
  // spreadsheet column is, not only its number.
  for (const QLNGraphicPtr &g : removed)
    g->excel_col_mark = mainWindowServices().spreadsheetColumnMark(*g);
  stopObservingGraphics(removed);
  m_undoManager.registerUndo([this, removed, indexes] { insertGraphics(removed, indexes); }, this);
  for (const QLNGraphicPtr &g : removed)
    g->setScriptingContainer(nullptr);
  removeInPlace(_graphics, QLNDocumentGraphicsKey, indexes);
}

QLNGraphicList *QLNDocument::listForKey(const QString &key) {
  if (key == QLNDocumentGraphicsKey)
    return &_graphics;
  if (key == QLNDocumentGraphicsKey_back)
    return &_graphics_back;
  if (key == QLNDocumentGraphicsKey_temp)
    return &_graphics_temp;
  return nullptr;
}

QLNGraphicList QLNDocument::list(const QString &key) const {
  if (key == QLNDocumentGraphicsKey)
    return _graphics;
  if (key == QLNDocumentGraphicsKey_back)
    return _graphics_back;
  if (key == QLNDocumentGraphicsKey_temp)
    return _graphics_temp;
  return {};
}

void QLNDocument::insertIntoList(const QString &key, const QLNGraphicList &graphics,
                                 const QLNIndexSet &atIndexes) {
  if (key == QLNDocumentGraphicsKey) {
    insertGraphics(graphics, atIndexes);
    return;
  }
  QLNGraphicList *target = listForKey(key);
  if (!target)
    throw std::invalid_argument("no list under this key");
  checkIndexes(atIndexes, target->size(), graphics.size());
  for (const QLNGraphicPtr &g : graphics)
    if (!g)
      throw std::invalid_argument("no card object to insert");
  insertInPlace(*target, key, graphics, atIndexes);
  if (key == QLNDocumentGraphicsKey_back)
    mainWindowServices().designObjectsArrived(graphics, true);
}

void QLNDocument::removeFromList(const QString &key, const QLNIndexSet &indexes) {
  if (key == QLNDocumentGraphicsKey) {
    removeGraphicsAtIndexes(indexes);
    return;
  }
  QLNGraphicList *target = listForKey(key);
  if (!target)
    throw std::invalid_argument("no list under this key");
  checkIndexes(indexes, target->size(), -1);
  removeInPlace(*target, key, indexes);
}

void QLNDocument::setList(const QString &key, const QLNGraphicList &graphics) {
  QLNGraphicList *target = listForKey(key);
  if (!target)
    throw std::invalid_argument("no list under this key");
  QLNIndexSet all;
  for (int i = 0; i < target->size(); ++i)
    all.append(i);
  if (!all.isEmpty())
    removeFromList(key, all);
  QLNIndexSet fresh;
  for (int i = 0; i < graphics.size(); ++i)
    fresh.append(i);
  if (!fresh.isEmpty())
    insertIntoList(key, graphics, fresh);
}

QString QLNDocument::displayName() const { return mainWindowServices().App_Name(); }

QSizeF QLNDocument::canvasSize(bool flag, const QSizeF &size_val) {
  return flag ? QSizeF(243.0, 154.0) : size_val;
}

bool QLNDocument::readFromData(const QByteArray &, const QString &, QLNError *) { return false; }

QLNPrintOperation::~QLNPrintOperation() = default;

QLNDocumentRenderer::~QLNDocumentRenderer() = default;

namespace {

// True when `typeName` names `mimeType` itself or one of its aliases.
bool namesMimeType(const QString &typeName, const QString &mimeType) {
  if (typeName == mimeType)
    return true;
  const QMimeType type = QMimeDatabase().mimeTypeForName(typeName);
  return type.isValid() && type.name() == mimeType;
}

void setRenderError(QLNError *error, const QString &reason) {
  if (!error)
    return;
  *error = QLNErrorWithCode(0);
  error->localizedFailureReason = reason;
}

}  // namespace

QByteArray QLNDocument::dataOfType(const QString &typeName, QLNError *error) {
  if (typeName == QLNDocumentNewTypeName || typeName == QLNDocumentOldTypeName) {
    PlistValue dict = PlistValue::dict();
    dict.insert(QLNDocumentVersionKey, PlistValue(QLNDocumentCurrentVersion));
    PlistValue blocks = PlistValue::array();
    for (const QByteArray &block : QLNGraphic::propertiesWithGraphics(_graphics))
      blocks.append(PlistValue(block));
    dict.insert(QLNDocumentGraphicsKey, blocks);
    dict.insert(QLNDocumentPrintInfoKey, PlistValue(m_printInfo.archived()));
    return toBinaryPropertyList(dict);
  }
  const bool pdf = namesMimeType(typeName, QLNDocumentPDFTypeName);
  if (pdf || namesMimeType(typeName, QLNDocumentTIFFTypeName)) {
    if (!m_renderer) {
      setRenderError(error, QStringLiteral("There is no renderer for document data."));
      return QByteArray();
    }
    if (!pdf)
      return m_renderer->tiffDataWithGraphics(_graphics, error);
    QString reason;
    const QByteArray data = m_renderer->pdfDataWithGraphics(_graphics, &reason);
    if (data.isEmpty())
      setRenderError(error, reason);
    return data;
  }
  throw std::logic_error(QStringLiteral("QLNDocument cannot write data of the type \"%1\".")
                             .arg(typeName)
                             .toStdString());
}

std::unique_ptr<QLNPrintOperation> QLNDocument::printOperationWithSettings(const QVariantMap &settings,
                                                                          QString *error) {
  if (!m_renderer) {
    if (error)
      *error = QStringLiteral("There is no renderer to print with.");
    return nullptr;
  }
  const QString jobTitle = displayName();
  const QSizeF size = canvasSize(true, QSizeF());
  std::unique_ptr<QLNPrintOperation> operation =
      m_renderer->printOperation(QRectF(QPointF(0, 0), size), _graphics, jobTitle);
  if (!operation) {
    if (error)
      *error = QStringLiteral("The card cannot be printed.");
    return nullptr;
  }
  operation->printInfo = m_printInfo;
  operation->canSpawnSeparateThread = true;
  for (auto it = settings.constBegin(); it != settings.constEnd(); ++it)
    operation->printInfoDictionary.insert(it.key(), it.value());
  return operation;
}

void QLNDocument::setPrintInfo(const QLNPrintInfo &printInfo) {
  changeValueForKey(QLNDocumentCanvasSizeKey, [&] { m_printInfo = printInfo; });
}

void QLNDocument::setGraphicProperties(const std::shared_ptr<QLNMapTableOwner> &owner) {
  if (!owner)
    return;
  for (const auto &[graphic, properties] : owner->mapTable())
    for (auto it = properties.constBegin(); it != properties.constEnd(); ++it)
      graphic->setValue(it.value(), it.key());
}

void QLNDocument::observeUndoManagerCheckpoint() {
  _undoGroupInsertedGraphics.reset();
  _undoGroupOldPropertiesPerGraphic.reset();
}

void QLNDocument::startObservingGraphics(const QLNGraphicList &graphics) {
  for (const QLNGraphicPtr &g : graphics) {
    const QSet<QString> keys = g->keysForValuesToObserveForUndo();
    for (const QString &key : sortedKeys(keys))
      g->addObserver(this, key, QLNDocumentUndoObservationContext);
    g->addObserver(this, QLNGraphicKeysForValuesToObserveForUndoKey,
                   QLNDocumentUndoKeysObservationContext);
    m_observed.emplace_back(g, keys);
  }
}

void QLNDocument::stopObservingGraphics(const QLNGraphicList &graphics) {
  for (const QLNGraphicPtr &g : graphics) {
    auto it = std::find_if(m_observed.begin(), m_observed.end(),
                           [&](const auto &entry) { return entry.first == g; });
    if (it == m_observed.end())
      continue;
    g->removeObserver(this, QLNGraphicKeysForValuesToObserveForUndoKey,
                      QLNDocumentUndoKeysObservationContext);
    for (const QString &key : sortedKeys(it->second))
      g->removeObserver(this, key, QLNDocumentUndoObservationContext);
    m_observed.erase(it);
  }
}

void QLNDocument::observeValueForKeyPath(const QString &keyPath, KeyValueObservable *object,
                                         const KeyValueChange &change, const void *context) {
  auto *graphic = dynamic_cast<QLNGraphic *>(object);
  if (!graphic)
    return;
  auto observed = std::find_if(m_observed.begin(), m_observed.end(),
                               [&](const auto &entry) { return entry.first.get() == graphic; });
  if (observed == m_observed.end())
    return;
  const QLNGraphicPtr pointer = observed->first;

  if (context == QLNDocumentUndoKeysObservationContext) {
    const QStringList oldList = change.oldValue.toStringList();
    const QStringList newList = change.newValue.toStringList();
    const QSet<QString> oldKeys(oldList.begin(), oldList.end());
    const QSet<QString> newKeys(newList.begin(), newList.end());
    for (const QString &key : sortedKeys(oldKeys - newKeys))
      graphic->removeObserver(this, key, QLNDocumentUndoObservationContext);
    for (const QString &key : sortedKeys(newKeys - oldKeys))
      graphic->addObserver(this, key, QLNDocumentUndoObservationContext);
    observed->second = newKeys;
    return;
  }
  if (context != QLNDocumentUndoObservationContext)
    return;

  if (_undoGroupInsertedGraphics && _undoGroupInsertedGraphics->contains(pointer))
    return;  // undoing the insertion removes the object anyway
  if (change.newValue == change.oldValue)
    return;
  if (!m_undoManager.isUndoRegistrationEnabled())
    return;  // nothing is recorded while undo is off
  if (!_undoGroupOldPropertiesPerGraphic) {
    auto owner = std::make_shared<QLNMapTableOwner>();
    _undoGroupOldPropertiesPerGraphic = owner;
    m_undoManager.registerUndo([this, owner] { setGraphicProperties(owner); }, this);
  }
  QLNMapTableOwner::Properties &old = _undoGroupOldPropertiesPerGraphic->propertiesFor(pointer);
  if (!old.contains(keyPath))
    old.insert(keyPath, change.oldValue);  // the first old value of the step wins

  if (!m_undoManager.isUndoing() && !m_undoManager.isRedoing()) {
    if (!graphic->presentablePropertyNameForKey(keyPath)) {
      const QString name = graphic->className();
      throw std::logic_error(
          QStringLiteral("[[%1 class] keysForValuesToObserveForUndo] returns a set that includes "
                         "@\"%2\", but [[%3 class] presentablePropertyNameForKey:@\"%4\"] returns nil.")
              .arg(name, keyPath, name, keyPath)
              .toStdString());
    }
  }
}

std::optional<QLNObjectSpecifier> QLNDocument::objectSpecifierForGraphic(const QLNGraphic *graphic) const {
  for (int i = 0; i < _graphics.size(); ++i)
    if (_graphics[i].get() == graphic)
      return QLNObjectSpecifier{QLNDocumentGraphicsKey, i};
  return std::nullopt;
}

QVariant QLNDocument::valueForKey(const QString &key) const {
  if (key == QLNDocumentCanvasSizeKey)
    return QVariant(m_printInfo.paperSize);
  if (key == QLNDocumentGraphicsKey || key == QLNDocumentGraphicsKey_back || key == QLNDocumentGraphicsKey_temp)
    return QVariant::fromValue(list(key));
  return QVariant();
}
