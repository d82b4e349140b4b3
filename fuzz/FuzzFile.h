#pragma once

// The readers take a path, so each input is written to one private temp file first.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

inline const std::string& fuzzFilePath(const char* suffix) {
    static std::string path = [suffix] {
        std::string pattern = "/tmp/plinx-fuzz-XXXXXX";
        pattern += suffix;
        int fd = mkstemps(pattern.data(), static_cast<int>(std::string(suffix).size()));
        if (fd < 0) {
            std::perror("mkstemps");
            std::abort();
        }
        close(fd);
        return pattern;
    }();
    static const bool cleanup = [] {
        return std::atexit([] { std::remove(path.c_str()); }) == 0;
    }();
    (void)cleanup;
    return path;
}

inline const std::string& writeFuzzFile(const char* suffix, const unsigned char* data,
                                        size_t size) {
    const std::string& path = fuzzFilePath(suffix);
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out || std::fwrite(data, 1, size, out) != size || std::fclose(out) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
    return path;
}
