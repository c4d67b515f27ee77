#pragma once
// The one lifetime rule for the window controllers the program keeps for the whole run
// (each reached through its static defaultInstance() and a named global such as
// Data_From_Excel_Window) and for the dialog each of them owns.
//
//  - The global. A controller names itself in its global when it is made
//    (keepInGlobal), and the global is cleared when the controller is deleted, however
//    that happens: by its parent, at the run's end or by an explicit delete. A global
//    that names another instance by then is left alone.
//  - Who deletes the controller. A controller with a parent goes with its parent (the
//    main window controller holds the ones it makes). One made on first use by
//    keptInstance is deleted when the run ends, unless it has a parent by then: never
//    both. Any other is deleted by whoever made it.
//  - The controller's dialog. The controller owns it through an OwnedWindow member,
//    which deletes it when the controller goes, unless it already went with a parent
//    window. Declare that member last, so that the dialog goes first, while the rest
//    of the controller is still whole.
//
// Main thread only.

#include <QObject>
#include <QPointer>

#include <type_traits>

class QDialog;

// Deletes `object` when the application is about to quit, unless it has a parent by
// then (its parent deletes it). Nothing happens when it was deleted before, nor
// without an application.
void deleteWhenTheRunEndsUnlessOwned(QObject *object);

// Clears `global` when `object` is deleted, if `global` still names it then. `global`
// must outlive `object` (a global or static variable).
template <class T> void clearWhenDeleted(T *&global, std::type_identity_t<T> *object) {
  if (!object)
    return;
  T *const named = object;
  // The destroyed signal is sent even by an object whose signals are blocked.
  QObject::connect(object, &QObject::destroyed, [&global, named] {
    if (global == named)
      global = nullptr;
  });
}

// Names `controller` in `global` until it is deleted.
template <class T> void keepInGlobal(T *&global, std::type_identity_t<T> *controller) {
  global = controller;
  clearWhenDeleted(global, controller);
}

// The controller `global` names; with none, the one `make` returns, named in `global`
// and deleted when the run ends unless it has a parent then.
template <class T, class Make> T *keptInstance(T *&global, Make make) {
  if (global)
    return global;
  T *const made = make();
  if (global != made)
    keepInGlobal(global, made);
  deleteWhenTheRunEndsUnlessOwned(made);
  return made;
}

// A controller's own window: deleted with the controller (the member's destructor),
// or not at all when it went before (with a parent window, say); reads as a plain
// pointer, null once the window is gone.
template <class Window = QDialog> class OwnedWindow {
public:
  OwnedWindow() = default;
  explicit OwnedWindow(Window *window) : m_window(window) {}
  ~OwnedWindow() { delete m_window.data(); }
  OwnedWindow(const OwnedWindow &) = delete;
  OwnedWindow &operator=(const OwnedWindow &) = delete;

  // Takes `window`; a window held before is deleted.
  OwnedWindow &operator=(Window *window) {
    if (m_window.data() != window) {
      delete m_window.data();
      m_window = window;
    }
    return *this;
  }

  Window *get() const { return m_window.data(); }
  operator Window *() const { return m_window.data(); }
  Window *operator->() const { return m_window.data(); }

private:
  QPointer<Window> m_window;
};
