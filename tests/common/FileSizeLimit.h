#pragma once
// A full disk, made reproducible: while a FileSizeLimit lives, no file of this process
// can grow past `bytes` (RLIMIT_FSIZE). A write past it fails with EFBIG, as a write to
// a full disk fails with ENOSPC; SIGXFSZ, which would otherwise end the process, is
// ignored meanwhile. Tests run one per process, so the limit touches nothing else.

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &m_previous);
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_previous;
    limit.rlim_cur = bytes;
    m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_previous);
    std::signal(SIGXFSZ, m_previousHandler);
  }
  FileSizeLimit(const FileSizeLimit &) = delete;
  FileSizeLimit &operator=(const FileSizeLimit &) = delete;

  bool isSet() const { return m_set; }

private:
  rlimit m_previous{};
  void (*m_previousHandler)(int) = SIG_DFL;
  bool m_set = false;
};
