#pragma once

#include <csignal>
#include <sys/resource.h>

namespace zr7 {

// While it lives, no file of this process may grow past the given size: a
// write beyond it fails part way (EFBIG), for root as for anyone. The way to
// make a save fail on demand.
class TFileSizeLimit {
public:
  explicit TFileSizeLimit(rlim_t bytes) : previousHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limited = previous_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
  void (*previousHandler_)(int);
  rlimit previous_{};
};

} // namespace zr7
