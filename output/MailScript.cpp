#include "output/MailScript.h"

#include "core/Utilities.h"

#include "platform/Paths.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

#include <optional>

namespace {

using Outcome = MailScriptResult::Outcome;

// Milliseconds allowed for the interpreter to start and for a killed script to end.
constexpr int StartTimeoutMs = 10000;
constexpr int KillTimeoutMs = 5000;

MailScriptResult failure(Outcome outcome, const QString &reason, int exitCode = -1) {
  MailScriptResult result;
  result.outcome = outcome;
  result.reason = reason;
  result.exitCode = exitCode;
  return result;
}

// Checks what can be checked before a process is made; an empty reason when it may start.
QString whyNotStartable(const MailScriptMessage &mail, const QString &script) {
  if (script.isEmpty() || !QFileInfo(script).isFile())
    return QStringLiteral("The mail script \"pyth_mail.py\" of the program cannot be found.");
  // The script reads the password up to the first line end.
  if (mail.password.contains(QLatin1Char('\n')) || mail.password.contains(QLatin1Char('\r')))
    return QStringLiteral("The password holds a line break and cannot be passed to the mail script.");
  return QString();
}

void prepare(QProcess &process, const MailScriptMessage &mail, const QString &script) {
  process.setProgram(MailScript::interpreter());
  process.setArguments(MailScript::arguments(mail, script));
  process.setEnvironment(MailScript::environment());
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  process.setInputChannelMode(QProcess::ManagedInputChannel);
}

// The outcome of a process that has ended (or was killed after `timedOut`).
MailScriptResult outcomeOf(QProcess &process, bool timedOut) {
  if (timedOut)
    return failure(Outcome::TimedOut, QStringLiteral("The mail script did not finish in time and was stopped."));
  if (process.exitStatus() != QProcess::NormalExit)
    return failure(Outcome::Crashed, QStringLiteral("The mail script ended abnormally."));
  if (process.exitCode() != 0)
    return failure(Outcome::Failed, QStringLiteral("The mail script ended with status %1.").arg(process.exitCode()),
                   process.exitCode());
  MailScriptResult sent;
  sent.outcome = Outcome::Sent;
  sent.exitCode = 0;
  return sent;
}

void feedPassword(QProcess &process, const QString &password) {
  process.write(MailScript::standardInput(password));
  process.closeWriteChannel();
}

void killAndReap(QProcess &process) {
  process.kill();
  process.waitForFinished(KillTimeoutMs);
}

}  // namespace

namespace MailScript {

QString scriptPath() {
  const QString folder = Paths::shippedResourcesFolder();
  return folder.isEmpty() ? QString() : joinPath(folder, QStringLiteral("pyth_mail.py"));
}

QString interpreter() {
  const QString python = QStringLiteral("/usr/bin/python");
  return QFileInfo::exists(python) ? python : QStringLiteral("/usr/bin/python3");
}

QStringList arguments(const MailScriptMessage &mail, const QString &script) {
  // With no SSL choice stored the value would be missing and every later argument would
  // shift by one: anything but "Y" is passed as "N".
  const QString ssl = mail.ssl == QLatin1String("Y") ? QStringLiteral("Y") : QStringLiteral("N");
  QStringList args{script, mail.sender, mail.server, mail.port, mail.sender, mail.recipient,
                   mail.subject, mail.body, ssl};
  args += mail.attachments;
  return args;
}

QStringList environment() {
  QStringList env{QStringLiteral("PYTHONPATH="), QStringLiteral("PATH=/bin:/usr/bin:/usr/local/bin")};
  const QString caFile = qEnvironmentVariable(CaFileVariable);
  if (!caFile.isEmpty())
    env << QStringLiteral("%1=%2").arg(QString::fromLatin1(CaFileVariable), caFile);
  return env;
}

QByteArray standardInput(const QString &password) {
  return password.toUtf8() + "\nDescription";
}

namespace {

// Starts the script for `mail` in `process`; the failure when it cannot be started.
std::optional<MailScriptResult> start(QProcess &process, const MailScriptMessage &mail) {
  const QString script = scriptPath();
  const QString why = whyNotStartable(mail, script);
  if (!why.isEmpty())
    return failure(Outcome::NotStarted, why);
  prepare(process, mail, script);
  // Starting is quick (a fork and an exec); the mail itself is waited for afterwards.
  process.start();
  if (!process.waitForStarted(StartTimeoutMs))
    return failure(Outcome::NotStarted,
                   QStringLiteral("The mail script cannot be started: %1").arg(process.errorString()));
  return std::nullopt;
}

}  // namespace

MailScriptResult send(const MailScriptMessage &mail, int timeoutMs) {
  QProcess process;
  if (std::optional<MailScriptResult> notStarted = start(process, mail))
    return *notStarted;
  feedPassword(process, mail.password);
  if (!process.waitForFinished(timeoutMs)) {
    const bool running = process.state() != QProcess::NotRunning;
    if (running)
      killAndReap(process);
    return outcomeOf(process, running);
  }
  return outcomeOf(process, false);
}

MailScriptResult sendKeepingWindowsPainted(const MailScriptMessage &mail, int timeoutMs) {
  QProcess process;
  if (std::optional<MailScriptResult> notStarted = start(process, mail))
    return *notStarted;
  QEventLoop loop;
  bool timedOut = false;
  QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  QTimer limit;
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
    timedOut = true;
    loop.quit();
  });
  limit.start(timeoutMs);
  feedPassword(process, mail.password);
  // The finished signal is delivered from the loop, so it cannot be missed before it runs.
  if (process.state() != QProcess::NotRunning)
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  if (timedOut && process.state() != QProcess::NotRunning) {
    killAndReap(process);
    return outcomeOf(process, true);
  }
  return outcomeOf(process, false);
}

}  // namespace MailScript

bool isValidEmailAddress(const QString &address) {
  const QString trimmed = Trim_Str(address);
  if (trimmed.size() < 6)
    return false;
  if (trimmed.split(QLatin1Char('@')).size() != 2)
    return false;
  return trimmed.split(QLatin1Char('.')).size() >= 2;
}
