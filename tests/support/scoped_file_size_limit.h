#pragma once
// Test helper: for one scope, files of this process may not grow beyond
// `bytes` (root included), so a write that needs more fails the way a full
// disk does. The signal of an oversized write is ignored meanwhile, so the
// write just returns its error.
//
//   ScopedFileSizeLimit limit(16);
//   EXPECT_FALSE(SaveSomething());

#include <sys/resource.h>

#include <csignal>

class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes) {
    m_active = getrlimit(RLIMIT_FSIZE, &m_saved) == 0;
    if (!m_active) {
      return;
    }
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = m_saved;
    small.rlim_cur = bytes;
    m_active = setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~ScopedFileSizeLimit() {
    if (m_active) {
      setrlimit(RLIMIT_FSIZE, &m_saved);
    }
    std::signal(SIGXFSZ, m_oldHandler);
  }
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

  // False when the limit could not be set (the test cannot show its point).
  bool Active() const { return m_active; }

 private:
  struct rlimit m_saved {};
  void (*m_oldHandler)(int) = SIG_DFL;
  bool m_active = false;
};
