#pragma once
// While alive, the process may write files of at most the given size: the disk refuses the
// bytes beyond it, as a full disk would, even for a user whom permissions do not stop.
#include <csignal>
#include <sys/resource.h>

namespace tarvis::test {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved_;
        small.rlim_cur = bytes;
        applied_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool Applied() const { return applied_; }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
    bool applied_ = false;
};

} // namespace tarvis::test
