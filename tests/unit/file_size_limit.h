// Writes beyond a small size limit fail half-way, like a full disk (tests run as root, which
// read-only modes do not stop).
#pragma once

#include <csignal>
#include <sys/resource.h>

namespace nimbrel_test {

class File_size_limit {
  public:
    explicit File_size_limit(rlim_t bytes) {
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~File_size_limit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_handler_);
    }

  private:
    rlimit old_{};
    void (*old_handler_)(int);
};

} // namespace nimbrel_test
