#pragma once

#include <csignal>
#include <cstdio>
#include <iostream>
#include <sys/resource.h>

// A limit on the size of the files this process writes, for as long as it lives: saves past it
// fail as on a full disk. The signal that would end the process meanwhile is ignored, as the
// game ignores it. Standard output, when it is a file, fails too; it is made usable again.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, handler_);
        std::cout.clear();
        std::clearerr(stdout);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*handler_)(int) = SIG_DFL;
};
