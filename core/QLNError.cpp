#include "core/QLNError.h"

#include <QCoreApplication>

const QString QLNErrorDomain = QStringLiteral("QuellinErrorDomain");

namespace {

// The text translated under `key` in the context "QLNError", or `fallback` when no
// translation is installed (the translator then hands the key back).
QString lookUp(const QString &key, const QString &fallback) {
  const QByteArray source = key.toUtf8();
  const QString text = QCoreApplication::translate("QLNError", source.constData());
  return (text.isEmpty() || text == key) ? fallback : text;
}

}  // namespace

QLNError QLNErrorWithCode(int code) {
  QLNError error;
  error.domain = QLNErrorDomain;
  error.code = code;
  error.localizedDescription =
      lookUp(QStringLiteral("description%1").arg(code),
             QStringLiteral("Quellin could not complete the operation because an unknown error occurred."));
  error.localizedFailureReason = lookUp(QStringLiteral("failureReason%1").arg(code),
                                        QStringLiteral("An unknown error occurred."));
  return error;
}
