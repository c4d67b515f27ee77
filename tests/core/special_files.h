#pragma once
// Special files for the tests of paths that come from design files and the clipboard:
// a named pipe made with mkfifo, and a deadline around a read, so that a read that
// would wait for ever fails its test instead of hanging the whole run.

#include <QFile>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace specialfiles {

// Makes a named pipe at `path` (mode 0600); false when it cannot be made.
inline bool makeFifo(const QString &path) {
  return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

// Whether the system has /dev/zero as a character device (an endless file).
inline bool haveDevZero() {
  struct stat st {};
  return ::stat("/dev/zero", &st) == 0 && S_ISCHR(st.st_mode);
}

// Runs `read` on a thread of its own and gives its result when it ends within 5
// seconds, nullopt when it does not. A reader still waiting then on one of `fifos` is
// released (a writer opens the pipe and closes it again, which gives the reader an end
// of file), so that the test can go on and report the failure.
template <typename Read>
auto withinDeadline(Read read, const QStringList &fifos = {}) -> std::optional<decltype(read())> {
  auto future = std::async(std::launch::async, std::move(read));
  if (future.wait_for(std::chrono::seconds(5)) == std::future_status::ready)
    return future.get();
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (future.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
    for (const QString &fifo : fifos) {
      const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd >= 0)
        ::close(fd);
    }
    if (std::chrono::steady_clock::now() > giveUp) {
      // Nothing releases it: end the run here rather than wait with it.
      std::fputs("A read did not end and could not be released.\n", stderr);
      std::abort();
    }
  }
  future.get();
  return std::nullopt;
}

}  // namespace specialfiles
