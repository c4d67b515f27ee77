#pragma once
// Helpers shared by the test executables.

#include "platform/ScriptedUi.h"
#include "tests/common/QtPrinters.h"

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>

// Whether this test program is built with a sanitizer (address or thread), which runs
// the program's code several times slower.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kSanitizerBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr bool kSanitizerBuild = true;
#else
inline constexpr bool kSanitizerBuild = false;
#endif
#else
inline constexpr bool kSanitizerBuild = false;
#endif

// The rounds a randomised damage test runs: `rounds` in the normal build, half of them in
// a sanitizer build, where the fuzzing harnesses of the same readers go on at length.
constexpr int damageRounds(int rounds) {
  return kSanitizerBuild ? rounds / 2 : rounds;
}

// A ScriptedUi installed as UiServices for the life of the object; on destruction it
// puts the previous services back and fails the test if scripted answers were left.
class ScopedScriptedUi : public ScriptedUi {
public:
  ScopedScriptedUi();
  ~ScopedScriptedUi() override;

private:
  UiServices *m_previous;
};

// Makes every unexpected request of a ScriptedUi a failure of the running test (the
// test main does this once; a test that replaced the handler calls it to restore it).
void installTestFailureHandler();

// Spins the GUI thread's event loop until `done` returns true or `timeoutMs` passes;
// returns the last answer of `done`. Never waits without a limit.
bool spinUntil(const std::function<bool()> &done, int timeoutMs = 10000);

// Collects the log lines written while it lives (from any thread).
class ScopedLogCapture {
public:
  ScopedLogCapture();
  ~ScopedLogCapture();
  QStringList lines() const;

private:
  struct Shared {
    QMutex mutex;
    QStringList lines;
  };
  std::shared_ptr<Shared> m_shared;
};

// Sets (or with nullopt unsets) an environment variable for the life of the object.
class ScopedEnvironment {
public:
  ScopedEnvironment(const char *name, const std::optional<QString> &value);
  ~ScopedEnvironment();

private:
  QByteArray m_name;
  std::optional<QByteArray> m_previous;
};

// The temporary folder of a death test's child process, for the life of the object: the
// child ends without running its destructors, so what it makes there (the test main's
// resource folder, a fixture's folders) would stay behind; it goes into this folder,
// which the parent removes whole.
class ChildTemporaryFolder {
public:
  ChildTemporaryFolder() : m_temporary("TMPDIR", m_folder.path()) {}

private:
  QTemporaryDir m_folder;
  ScopedEnvironment m_temporary;
};

// Path of a file under tests/data.
QString testDataPath(const QString &relative);

// Runs /usr/bin/python3 with `script` (passed with -c) and `args`; `input` goes to its
// standard input. Returns its standard output; the test fails when it does not exit 0.
QByteArray runPython(const QString &script, const QStringList &args = {},
                     const QByteArray &input = {});
