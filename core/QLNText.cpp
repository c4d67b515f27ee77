#include "core/QLNText.h"

#include "core/CardObjectArchive.h"

#include <QCoreApplication>
#include <QTimer>

const QString QLNTextUndoContentsKey = QStringLiteral("undoContents");
const QString QLNTextContentsKey = QStringLiteral("contents");

QLNGraphicPtr QLNText::copyWithZone() const {
  auto copy = std::make_shared<QLNText>();
  copyBaseFieldsTo(*copy);
  return copy;
}

void QLNText::willChangeScriptingContents() {
  if (m_scriptingChanges++ > 0)
    return;
  changeValueForKey(QLNGraphicKeysForValuesToObserveForUndoKey,
                    [&] { _contentsBeingChangedByScripting = true; });
  willChangeValueForKey(QLNTextUndoContentsKey);
}

void QLNText::didChangeScriptingContents() {
  if (m_scriptingChanges == 0 || --m_scriptingChanges > 0)
    return;
  didChangeValueForKey(QLNTextUndoContentsKey);
  changeValueForKey(QLNGraphicKeysForValuesToObserveForUndoKey,
                    [&] { _contentsBeingChangedByScripting = false; });
}

QLNTextStoragePtr QLNText::scriptingContents() {
  willChangeScriptingContents();
  const std::weak_ptr<QLNGraphic> self = weak_from_this();
  QTimer::singleShot(0, QCoreApplication::instance(), [self] {
    if (auto graphic = self.lock())
      static_cast<QLNText *>(graphic.get())->didChangeScriptingContents();
  });
  return Text_contents();
}

void QLNText::setScriptingContents(const QVariant &value) {
  willChangeScriptingContents();
  QLNTextStoragePtr storage = Text_contents();
  if (value.metaType() == QMetaType::fromType<AttributedText>()) {
    *storage = value.value<AttributedText>();
  } else {
    // Plain text takes the attributes of the first character it replaces.
    TextRun run = storage->runs.isEmpty() ? TextRun() : storage->runs.first();
    storage->string = value.toString();
    storage->runs.clear();
    if (!storage->string.isEmpty()) {
      run.start = 0;
      run.length = storage->string.size();
      storage->runs.append(run);
    }
  }
  didChangeScriptingContents();
}

QVariant QLNText::undoContents() { return QVariant::fromValue(*Text_contents()); }

void QLNText::setUndoContents(const QVariant &value) { setScriptingContents(value); }

PlistValue QLNText::properties() {
  PlistValue dict = QLNGraphic::properties();
  dict.insert(QLNTextContentsKey, PlistValue(archivedText(*Text_contents())));
  return dict;
}

QSet<QString> QLNText::keysForValuesToObserveForUndo() const {
  QSet<QString> keys = QLNGraphic::keysForValuesToObserveForUndo();
  if (_contentsBeingChangedByScripting)
    keys.insert(QLNTextUndoContentsKey);
  return keys;
}

std::optional<QString> QLNText::presentablePropertyNameForKey(const QString &key) const {
  if (key == QLNTextUndoContentsKey)
    return QCoreApplication::translate("UndoStrings", "Text");
  return QLNGraphic::presentablePropertyNameForKey(key);
}

QVariant QLNText::valueForKey(const QString &key) const {
  if (key == QLNTextUndoContentsKey)
    return const_cast<QLNText *>(this)->undoContents();
  return QLNGraphic::valueForKey(key);
}

bool QLNText::setValue(const QVariant &value, const QString &key) {
  if (key == QLNTextUndoContentsKey) {
    setUndoContents(value);
    return true;
  }
  return QLNGraphic::setValue(value, key);
}
