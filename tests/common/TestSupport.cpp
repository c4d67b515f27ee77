#include "tests/common/TestSupport.h"

#include "platform/Log.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QProcess>
#include <QThread>

ScopedScriptedUi::ScopedScriptedUi() : m_previous(&UiServices::instance()) {
  UiServices::setInstance(this);
}

ScopedScriptedUi::~ScopedScriptedUi() {
  UiServices::setInstance(m_previous);
  EXPECT_EQ(pending(), 0u) << "scripted answers were left unused";
}

void installTestFailureHandler() {
  ScriptedUi::setFailureHandler([](const QString &what) { ADD_FAILURE() << what.toStdString(); });
}

bool spinUntil(const std::function<bool()> &done, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (!done()) {
    if (deadline.hasExpired())
      return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(1);
  }
  return true;
}

ScopedLogCapture::ScopedLogCapture() : m_shared(std::make_shared<Shared>()) {
  Log::setSink([shared = m_shared](const QString &line) {
    QMutexLocker lock(&shared->mutex);
    shared->lines << line;
  });
}

ScopedLogCapture::~ScopedLogCapture() {
  Log::setSink(nullptr);
}

QStringList ScopedLogCapture::lines() const {
  QMutexLocker lock(&m_shared->mutex);
  return m_shared->lines;
}

ScopedEnvironment::ScopedEnvironment(const char *name, const std::optional<QString> &value) : m_name(name) {
  if (qEnvironmentVariableIsSet(name))
    m_previous = qgetenv(name);
  if (value)
    qputenv(name, value->toLocal8Bit());
  else
    qunsetenv(name);
}

ScopedEnvironment::~ScopedEnvironment() {
  if (m_previous)
    qputenv(m_name.constData(), *m_previous);
  else
    qunsetenv(m_name.constData());
}

QString testDataPath(const QString &relative) {
  return QStringLiteral(AMENDS_TEST_DATA_DIR "/") + relative;
}

QByteArray runPython(const QString &script, const QStringList &args, const QByteArray &input) {
  QProcess process;
  QStringList all{QStringLiteral("-c"), script};
  all += args;
  process.start(QStringLiteral("/usr/bin/python3"), all);
  if (!process.waitForStarted(10000)) {
    ADD_FAILURE() << "python3 did not start";
    return {};
  }
  if (!input.isEmpty())
    process.write(input);
  process.closeWriteChannel();
  if (!process.waitForFinished(60000)) {
    process.kill();
    ADD_FAILURE() << "python3 did not finish";
    return {};
  }
  const QByteArray err = process.readAllStandardError();
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 0) << err.toStdString();
  return process.readAllStandardOutput();
}
