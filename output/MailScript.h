#pragma once
// MailScript: every e-mail the program sends leaves through one call, which runs the mail
// script "pyth_mail.py" in a child process and takes its exit status as the result.
//
// The script is the copy shipped with the program (Paths::shippedResourcesFolder()), not
// the one seeded into the user's resource folder: seeding never overwrites, so that copy
// would keep an old script for ever. It runs under /usr/bin/python with the script path as
// its only argument: every local user can read a process's arguments (/proc/<pid>/cmdline),
// so the mail and its account go to its standard input instead, as one JSON object in
// UTF-8 with the text members "sender", "password", "server", "port", "recipient",
// "subject", "body" and "ssl" ("Y" implicit TLS, "N" STARTTLS) and the list
// "attachments" (paths, in order). Its environment holds only PYTHONPATH (empty) and PATH
// ("/bin:/usr/bin:/usr/local/bin"), plus AMENDS_MAIL_CA_FILE when the program itself has
// it (a file of certificates the script trusts besides the system's; tests use it for
// their throwaway server). Its standard output and error go to the program's own.
//
// A mail counts as sent only when the script ends normally with status 0: a script that
// cannot start, crashes, or runs past the time limit (it is then killed) is a failure.
// The script's other statuses (its own documentation lists them) say why it refused or
// failed: 2 a malformed mail, 3 an attachment that cannot be read or is no regular file,
// 4 no (secure) connection, 5 the login refused, 6 the sender, recipient or message
// refused, 7 a mail larger than the 25 MB that mail servers take, 8 an unexpected failure
// inside the script.

#include <QString>
#include <QStringList>

// One mail as the script gets it.
struct MailScriptMessage {
  QString recipient;
  QString subject;
  QStringList attachments;  // paths, in the order they are attached
  QString sender;
  QString password;
  QString server;
  QString port;
  QString body;
  QString ssl;  // "Y" or "N"; anything else is passed as "N"
};

struct MailScriptResult {
  enum class Outcome { Sent, Failed, Crashed, TimedOut, NotStarted };
  Outcome outcome = Outcome::NotStarted;
  int exitCode = -1;
  // Why the mail did not go ("" when it went).
  QString reason;
  bool sent() const { return outcome == Outcome::Sent; }
};

namespace MailScript {

// The variable that names an extra file of trusted certificates for the script.
inline constexpr const char *CaFileVariable = "AMENDS_MAIL_CA_FILE";
// How long one mail may take before the script is stopped (milliseconds).
inline constexpr int DefaultTimeoutMs = 120000;

// What the script's exit `status` means, as one clause ("" for a status it never gives).
QString statusText(int status);

// The shipped script's path ("" when the program's resources cannot be found).
QString scriptPath();
// The interpreter: /usr/bin/python, or /usr/bin/python3 where the former is missing.
QString interpreter();
// The script's arguments: the script path alone.
QStringList arguments(const QString &script);
// The script's whole environment, as "NAME=value" lines.
QStringList environment();
// What the script reads on its standard input: the whole mail.
QByteArray standardInput(const MailScriptMessage &mail);

// Sends one mail and waits for the script, at most `timeoutMs`. Blocks the calling
// thread without running its event loop: meant for worker threads.
MailScriptResult send(const MailScriptMessage &mail, int timeoutMs = DefaultTimeoutMs);
// The same on the GUI thread: waits in a local event loop that still paints the windows
// and handles timers but takes no user input, so the windows do not freeze.
MailScriptResult sendKeepingWindowsPainted(const MailScriptMessage &mail, int timeoutMs = DefaultTimeoutMs);

}  // namespace MailScript

// The address rule of the e-mail windows: after trimming white space, line breaks and
// control characters at both ends, at least 6 characters, exactly one "@", at least one
// ".". Nothing else is checked.
bool isValidEmailAddress(const QString &address);
