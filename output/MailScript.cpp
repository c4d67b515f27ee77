#include "output/MailScript.h"

#include "core/Utilities.h"

#include "platform/Paths.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
QString whyNotStartable(const QString &script) {
  if (script.isEmpty() || !QFileInfo(script).isFile())
    return QStringLiteral("The mail script \"pyth_mail.py\" of the program cannot be found.");
  return QString();
}

void prepare(QProcess &process, const QString &script) {
  process.setProgram(MailScript::interpreter());
  process.setArguments(MailScript::arguments(script));
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
  if (process.exitCode() != 0) {
    const int status = process.exitCode();
    const QString meaning = MailScript::statusText(status);
    const QString reason = meaning.isEmpty()
                               ? QStringLiteral("The mail script ended with status %1.").arg(status)
                               : QStringLiteral("The mail script ended with status %1: %2.").arg(status).arg(meaning);
    return failure(Outcome::Failed, reason, status);
  }
  MailScriptResult sent;
  sent.outcome = Outcome::Sent;
  sent.exitCode = 0;
  return sent;
}

// The script reads its standard input to the end before it does anything else, so the
// whole mail may be written at once; QProcess passes it on while the caller waits.
void feedMail(QProcess &process, const MailScriptMessage &mail) {
  process.write(MailScript::standardInput(mail));
  process.closeWriteChannel();
}

void killAndReap(QProcess &process) {
  process.kill();
  process.waitForFinished(KillTimeoutMs);
}

}  // namespace

namespace MailScript {

QString statusText(int status) {
  switch (status) {
  case 2: return QStringLiteral("the mail is malformed, or a header holds a line break");
  case 3: return QStringLiteral("an attachment cannot be read (only regular files can be attached)");
  case 4: return QStringLiteral("the e-mail server cannot be reached, or the secure connection failed");
  case 5: return QStringLiteral("the e-mail server refused the login");
  case 6: return QStringLiteral("the e-mail server refused the sender, the recipient or the message");
  case 7: return QStringLiteral("the mail is larger than the 25 MB that mail servers take");
  case 8: return QStringLiteral("the mail script failed unexpectedly");
  default: return QString();
  }
}

QString scriptPath() {
  const QString folder = Paths::shippedResourcesFolder();
  return folder.isEmpty() ? QString() : joinPath(folder, QStringLiteral("pyth_mail.py"));
}

QString interpreter() {
  const QString python = QStringLiteral("/usr/bin/python");
  return QFileInfo::exists(python) ? python : QStringLiteral("/usr/bin/python3");
}

QStringList arguments(const QString &script) { return {script}; }

QStringList environment() {
  QStringList env{QStringLiteral("PYTHONPATH="), QStringLiteral("PATH=/bin:/usr/bin:/usr/local/bin")};
  const QString caFile = qEnvironmentVariable(CaFileVariable);
  if (!caFile.isEmpty())
    env << QStringLiteral("%1=%2").arg(QString::fromLatin1(CaFileVariable), caFile);
  return env;
}

QByteArray standardInput(const MailScriptMessage &mail) {
  // With no SSL choice stored the value would be empty, which the script refuses:
  // anything but "Y" is passed as "N".
  const QString ssl = mail.ssl == QLatin1String("Y") ? QStringLiteral("Y") : QStringLiteral("N");
  const QJsonObject object{
      {QStringLiteral("sender"), mail.sender},
      {QStringLiteral("password"), mail.password},
      {QStringLiteral("server"), mail.server},
      {QStringLiteral("port"), mail.port},
      {QStringLiteral("recipient"), mail.recipient},
      {QStringLiteral("subject"), mail.subject},
      {QStringLiteral("body"), mail.body},
      {QStringLiteral("ssl"), ssl},
      {QStringLiteral("attachments"), QJsonArray::fromStringList(mail.attachments)},
  };
  return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

namespace {

// Starts the script for `mail` in `process`; the failure when it cannot be started.
std::optional<MailScriptResult> start(QProcess &process, const MailScriptMessage &mail) {
  const QString script = scriptPath();
  const QString why = whyNotStartable(script);
  if (!why.isEmpty())
    return failure(Outcome::NotStarted, why);
  prepare(process, script);
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
  feedMail(process, mail);
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
  feedMail(process, mail);
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
