#include "core/KeyValueObserving.h"

#include <QHash>

#include <algorithm>

KeyValueObserver::~KeyValueObserver() = default;

void KeyValueObserverFunction::observeValueForKeyPath(const QString &keyPath,
                                                      KeyValueObservable *object,
                                                      const KeyValueChange &change,
                                                      const void *) {
  if (m_function)
    m_function(keyPath, object, change);
}

KeyValueObservable::~KeyValueObservable() = default;

void KeyValueObservable::addObserver(KeyValueObserver *observer, const QString &key,
                                     const void *context) {
  if (!observer)
    return;
  m_registrations.push_back(Registration{m_nextId++, observer, key, context});
}

void KeyValueObservable::removeObserver(KeyValueObserver *observer, const QString &key,
                                        const void *context) {
  for (auto it = m_registrations.rbegin(); it != m_registrations.rend(); ++it) {
    if (it->observer == observer && it->key == key && it->context == context) {
      m_registrations.erase(std::next(it).base());
      return;
    }
  }
}

bool KeyValueObservable::isObserved(const QString &key) const {
  return std::any_of(m_registrations.begin(), m_registrations.end(),
                     [&](const Registration &r) { return r.key == key; });
}

bool KeyValueObservable::isObservedBy(const KeyValueObserver *observer, const QString &key) const {
  return std::any_of(m_registrations.begin(), m_registrations.end(), [&](const Registration &r) {
    return r.observer == observer && r.key == key;
  });
}

QVariant KeyValueObservable::valueForKey(const QString &) const { return QVariant(); }

bool KeyValueObservable::setValue(const QVariant &, const QString &) { return false; }

QSet<QString> KeyValueObservable::keyPathsForValuesAffectingValueForKey(const QString &) const {
  return {};
}

bool KeyValueObservable::automaticallyNotifiesObserversForKey(const QString &) const {
  return true;
}

bool KeyValueObservable::affects(const QString &changed, const QString &observed) const {
  if (changed == observed)
    return true;
  // Walk the dependencies of `observed` breadth first; a cycle ends at the visited set.
  QSet<QString> visited{observed};
  QList<QString> queue{observed};
  while (!queue.isEmpty()) {
    const QString key = queue.takeFirst();
    for (const QString &dependency : keyPathsForValuesAffectingValueForKey(key)) {
      if (dependency == changed)
        return true;
      if (!visited.contains(dependency)) {
        visited.insert(dependency);
        queue.append(dependency);
      }
    }
  }
  return false;
}

bool KeyValueObservable::isRegistered(std::uint64_t id) const {
  return std::any_of(m_registrations.begin(), m_registrations.end(),
                     [id](const Registration &r) { return r.id == id; });
}

void KeyValueObservable::beginPending(Pending pending) {
  for (Pending &open : m_pending) {
    if (open.key == pending.key) {
      ++open.depth;  // folded into the announcement already in progress
      return;
    }
  }
  QHash<QString, QVariant> values;
  for (const Registration &r : m_registrations) {
    if (!affects(pending.key, r.key))
      continue;
    Recipient recipient{r.id, r.observer, r.key, r.context, QVariant()};
    if (r.key == pending.key && pending.kind != KeyValueChangeKind::Setting) {
      recipient.oldValue = pending.removedObjects;
    } else {
      auto found = values.find(r.key);
      if (found == values.end())
        found = values.insert(r.key, valueForKey(r.key));
      recipient.oldValue = *found;
    }
    pending.recipients.push_back(std::move(recipient));
  }
  m_pending.push_back(std::move(pending));
}

void KeyValueObservable::endPending(const QString &key, const QVariant &insertedObjects) {
  auto it = std::find_if(m_pending.rbegin(), m_pending.rend(),
                         [&](const Pending &p) { return p.key == key; });
  if (it == m_pending.rend())
    return;  // no matching announcement: nothing to tell
  if (--it->depth > 0)
    return;
  Pending done = std::move(*it);
  m_pending.erase(std::next(it).base());

  QHash<QString, QVariant> values;
  for (const Recipient &recipient : done.recipients) {
    if (!isRegistered(recipient.id))
      continue;  // removed while earlier observers were told
    KeyValueChange change;
    change.oldValue = recipient.oldValue;
    if (recipient.key == done.key && done.kind != KeyValueChangeKind::Setting) {
      change.kind = done.kind;
      change.indexes = done.indexes;
      change.newValue = insertedObjects;
    } else {
      auto found = values.find(recipient.key);
      if (found == values.end())
        found = values.insert(recipient.key, valueForKey(recipient.key));
      change.newValue = *found;
    }
    recipient.observer->observeValueForKeyPath(recipient.key, this, change, recipient.context);
  }
}

void KeyValueObservable::willChangeValueForKey(const QString &key) {
  Pending pending;
  pending.key = key;
  beginPending(std::move(pending));
}

void KeyValueObservable::didChangeValueForKey(const QString &key) { endPending(key, QVariant()); }

void KeyValueObservable::willChange(KeyValueChangeKind kind, const QList<int> &indexes,
                                    const QString &key, const QVariant &removedObjects) {
  Pending pending;
  pending.key = key;
  pending.kind = kind;
  pending.indexes = indexes;
  pending.removedObjects = removedObjects;
  beginPending(std::move(pending));
}

void KeyValueObservable::didChange(KeyValueChangeKind, const QList<int> &, const QString &key,
                                   const QVariant &insertedObjects) {
  endPending(key, insertedObjects);
}
