#include "platform/Log.h"

#include <QDateTime>
#include <QMutex>
#include <QMutexLocker>

#include <cstdio>

namespace {

QMutex &logMutex() {
  static QMutex mutex;
  return mutex;
}

Log::Sink &currentSink() {
  static Log::Sink sink;
  return sink;
}

}  // namespace

namespace Log {

void write(const QString &line) {
  QMutexLocker lock(&logMutex());
  if (const Sink &sink = currentSink()) {
    sink(line);
    return;
  }
  // One fwrite per line so that a line reaches the terminal whole.
  const QByteArray text = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz ")).toUtf8()
                          + line.toUtf8() + '\n';
  std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
  std::fflush(stderr);
}

void setSink(Sink sink) {
  QMutexLocker lock(&logMutex());
  currentSink() = std::move(sink);
}

}  // namespace Log
