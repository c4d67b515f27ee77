#pragma once
// QLNSelection: the selection of one card side, an ascending set of indexes into the
// side's list of card objects. The main window keeps one per side and binds the side's
// canvas to it; the canvas reads it and changes it only through its
// changeSelectionIndexes.
//
// The set is observable under the key "selectionIndexes" (KeyValueObserving): observers
// are told of each change with the old and the new set (QLNIndexSet in the QVariants).
// Setting the set it already holds announces nothing.
//
// Bound to its side's list (bindContent), the selection follows the objects it names:
// an insertion before a selected object moves its index up, a removal drops the removed
// objects from the selection and moves the later indexes down, and replacing the whole
// list clears it. So after a delete, an undo or a new project the selection never names
// an object it did not name before.
//
// Main thread only.

#include "core/KeyValueObserving.h"
#include "core/QLNDocument.h"

#include <QObject>
#include <QPointer>
#include <QString>

// The key of the set: "selectionIndexes".
extern const QString QLNSelectionIndexesKey;

class QLNSelection : public QObject, public KeyValueObservable, private KeyValueObserver {
  Q_OBJECT
public:
  explicit QLNSelection(QObject *parent = nullptr);
  ~QLNSelection() override;

  QLNIndexSet selectionIndexes() const { return m_indexes; }
  // Stores the set sorted, without duplicates and without negative indexes (and, while
  // bound to a list, without indexes beyond its end), and announces the change when the
  // result differs from the set held.
  void setSelectionIndexes(const QLNIndexSet &indexes);

  // Follows the list `key` of `document` (not owned); unbindContent stops following.
  // Binding keeps only the indexes that lie inside the list.
  void bindContent(QLNDocument *document, const QString &key);
  void unbindContent();

  // "selectionIndexes": the set as a QLNIndexSet.
  QVariant valueForKey(const QString &key) const override;
  bool setValue(const QVariant &value, const QString &key) override;

private:
  void observeValueForKeyPath(const QString &keyPath, KeyValueObservable *object,
                              const KeyValueChange &change, const void *context) override;
  QLNIndexSet normalized(QLNIndexSet indexes) const;
  void store(const QLNIndexSet &indexes);

  QLNIndexSet m_indexes;
  QPointer<QLNDocument> m_document;
  QString m_key;
};
