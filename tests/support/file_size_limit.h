#pragma once

// POSIX only: a full disk stands in as a low file size limit.
#include <sys/resource.h>

#include <csignal>

namespace sondrix::test {

// Files larger than `bytes` cannot be written while it lives: writes past
// the limit fail with EFBIG instead of raising SIGXFSZ.
class CFileSizeLimit {
  public:
    explicit CFileSizeLimit(rlim_t bytes) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~CFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

  private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

}  // namespace sondrix::test
