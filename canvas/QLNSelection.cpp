#include "canvas/QLNSelection.h"

#include <algorithm>

const QString QLNSelectionIndexesKey = QStringLiteral("selectionIndexes");

namespace {
const char ContentContext[] = "org.amends.Amends.QLNSelection.content";
}  // namespace

QLNSelection::QLNSelection(QObject *parent) : QObject(parent) {}

QLNSelection::~QLNSelection() { unbindContent(); }

QLNIndexSet QLNSelection::normalized(QLNIndexSet indexes) const {
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  const qsizetype limit = m_document ? m_document->list(m_key).size() : -1;
  indexes.erase(std::remove_if(indexes.begin(), indexes.end(),
                               [limit](int index) { return index < 0 || (limit >= 0 && index >= limit); }),
                indexes.end());
  return indexes;
}

void QLNSelection::store(const QLNIndexSet &indexes) {
  if (indexes == m_indexes)
    return;
  changeValueForKey(QLNSelectionIndexesKey, [&] { m_indexes = indexes; });
}

void QLNSelection::setSelectionIndexes(const QLNIndexSet &indexes) { store(normalized(indexes)); }

void QLNSelection::bindContent(QLNDocument *document, const QString &key) {
  unbindContent();
  if (!document)
    return;
  m_document = document;
  m_key = key;
  document->addObserver(this, key, ContentContext);
  store(normalized(m_indexes));
}

void QLNSelection::unbindContent() {
  if (m_document)
    m_document->removeObserver(this, m_key, ContentContext);
  m_document = nullptr;
  m_key.clear();
}

QVariant QLNSelection::valueForKey(const QString &key) const {
  if (key == QLNSelectionIndexesKey)
    return QVariant::fromValue(m_indexes);
  return QVariant();
}

bool QLNSelection::setValue(const QVariant &value, const QString &key) {
  if (key != QLNSelectionIndexesKey)
    return false;
  setSelectionIndexes(value.value<QLNIndexSet>());
  return true;
}

void QLNSelection::observeValueForKeyPath(const QString &, KeyValueObservable *, const KeyValueChange &change,
                                          const void *context) {
  if (context != ContentContext)
    return;
  QLNIndexSet moved;
  switch (change.kind) {
    case KeyValueChangeKind::Setting:
      break;  // a new list: nothing of the old selection is in it
    case KeyValueChangeKind::Insertion:
      // The inserted indexes count in the resulting list, ascending: each one pushes the
      // selected indexes at or after it one place on.
      moved = m_indexes;
      for (int inserted : change.indexes)
        for (int &index : moved)
          if (index >= inserted)
            ++index;
      break;
    case KeyValueChangeKind::Removal:
      // The removed indexes count in the list before the removal.
      for (int index : m_indexes) {
        if (std::binary_search(change.indexes.begin(), change.indexes.end(), index))
          continue;
        const auto before = std::lower_bound(change.indexes.begin(), change.indexes.end(), index);
        moved.append(index - int(before - change.indexes.begin()));
      }
      break;
  }
  store(moved);
}
