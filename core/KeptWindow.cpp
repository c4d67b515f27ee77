#include "core/KeptWindow.h"

#include <QCoreApplication>

void deleteWhenTheRunEndsUnlessOwned(QObject *object) {
  QCoreApplication *app = QCoreApplication::instance();
  if (!app || !object)
    return;
  // The object is the connection's context: once it is deleted, nothing is left to run.
  QObject::connect(app, &QCoreApplication::aboutToQuit, object, [object] {
    if (!object->parent())
      delete object;
  });
}
