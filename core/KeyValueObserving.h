#pragma once
// Key-value observing for card objects and the document.
//
// An observable object answers values by key (valueForKey) and sets them by key
// (setValue). Observers register for one key with a context token and are told of
// every change of that key with its old and new value. A key can depend on other
// keys (keyPathsForValuesAffectingValueForKey): a change of any of them is reported
// to the observers of the dependent key as well.
//
// A change is announced in two steps around the store:
//     willChangeValueForKey("bounds");   // old values are taken here
//     _bounds = r;
//     didChangeValueForKey("bounds");    // observers are told here
// Announcements nest. A nested announcement of a key that is already being announced
// on the same object is folded into the outer one: observers hear of it once, with the
// value from before the outer announcement. So a setter that notifies may call another
// setter that notifies the same key.
//
// Observers may add and remove observations, also their own, while they are being told
// of a change; a registration removed before its turn is not called. The observer is
// not owned: whoever registers removes the registration before the observer goes away.
// Main thread only.

#include <QList>
#include <QSet>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <vector>

class KeyValueObservable;

enum class KeyValueChangeKind {
  Setting,      // the value was replaced
  Insertion,    // objects were inserted into a list at `indexes`
  Removal,      // objects were removed from a list at `indexes`
};

struct KeyValueChange {
  KeyValueChangeKind kind = KeyValueChangeKind::Setting;
  QVariant oldValue;    // Setting: the value before; Removal: the removed objects
  QVariant newValue;    // Setting: the value after; Insertion: the inserted objects
  QList<int> indexes;   // list changes: the indexes concerned, ascending
};

class KeyValueObserver {
public:
  virtual ~KeyValueObserver();
  virtual void observeValueForKeyPath(const QString &keyPath, KeyValueObservable *object,
                                      const KeyValueChange &change, const void *context) = 0;
};

// An observer that calls a function; handy for views and tests.
class KeyValueObserverFunction : public KeyValueObserver {
public:
  using Function = std::function<void(const QString &keyPath, KeyValueObservable *object,
                                      const KeyValueChange &change)>;
  explicit KeyValueObserverFunction(Function function) : m_function(std::move(function)) {}
  void observeValueForKeyPath(const QString &keyPath, KeyValueObservable *object,
                              const KeyValueChange &change, const void *context) override;

private:
  Function m_function;
};

class KeyValueObservable {
public:
  KeyValueObservable() = default;
  KeyValueObservable &operator=(const KeyValueObservable &) = delete;
  virtual ~KeyValueObservable();

  // Registers `observer` for changes of `key`. The same observer may register for the
  // same key with different contexts; each registration is told separately.
  void addObserver(KeyValueObserver *observer, const QString &key, const void *context = nullptr);
  // Removes the most recent matching registration; nothing when there is none.
  void removeObserver(KeyValueObserver *observer, const QString &key, const void *context = nullptr);
  // Whether anybody (or `observer`) observes `key`.
  bool isObserved(const QString &key) const;
  bool isObservedBy(const KeyValueObserver *observer, const QString &key) const;
  int observationCount() const { return static_cast<int>(m_registrations.size()); }

  // Value of a key; an invalid QVariant for a key the object does not know.
  virtual QVariant valueForKey(const QString &key) const;
  // Sets a key; keys the object does not know are ignored. Returns whether it knew the key.
  virtual bool setValue(const QVariant &value, const QString &key);
  // The keys whose changes count as changes of `key` as well.
  virtual QSet<QString> keyPathsForValuesAffectingValueForKey(const QString &key) const;
  // Whether setValue announces the change of `key` by itself; keys answering false are
  // announced only through the keys they depend on.
  virtual bool automaticallyNotifiesObserversForKey(const QString &key) const;

  // Announcing the change of a value.
  void willChangeValueForKey(const QString &key);
  void didChangeValueForKey(const QString &key);
  // Announcing an insertion into or removal from the list held under `key`. `objects`
  // are the inserted objects (given with didChange) or the removed ones (given with
  // willChange).
  void willChange(KeyValueChangeKind kind, const QList<int> &indexes, const QString &key,
                  const QVariant &removedObjects = QVariant());
  void didChange(KeyValueChangeKind kind, const QList<int> &indexes, const QString &key,
                 const QVariant &insertedObjects = QVariant());

  // willChangeValueForKey(key); store(); didChangeValueForKey(key) — also when store throws.
  template <class Store>
  void changeValueForKey(const QString &key, Store &&store) {
    willChangeValueForKey(key);
    try {
      store();
    } catch (...) {
      didChangeValueForKey(key);
      throw;
    }
    didChangeValueForKey(key);
  }

protected:
  // A copy of an object starts unobserved: whoever watches the original has not asked
  // to watch the copy.
  KeyValueObservable(const KeyValueObservable &) : KeyValueObservable() {}

private:
  struct Registration {
    std::uint64_t id;
    KeyValueObserver *observer;
    QString key;
    const void *context;
  };
  struct Recipient {
    std::uint64_t id;
    KeyValueObserver *observer;
    QString key;
    const void *context;
    QVariant oldValue;
  };
  struct Pending {
    QString key;
    int depth = 1;
    KeyValueChangeKind kind = KeyValueChangeKind::Setting;
    QList<int> indexes;
    QVariant removedObjects;
    std::vector<Recipient> recipients;
  };

  // Whether a change of `changed` is a change of `observed` (same key or dependency).
  bool affects(const QString &changed, const QString &observed) const;
  void beginPending(Pending pending);
  void endPending(const QString &key, const QVariant &insertedObjects);
  bool isRegistered(std::uint64_t id) const;

  std::vector<Registration> m_registrations;
  std::vector<Pending> m_pending;
  std::uint64_t m_nextId = 1;
};
