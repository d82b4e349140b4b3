#pragma once

// Files and folders for tests: fresh temp folders, whole-file bytes, files built byte by byte,
// and a limit on file sizes.
#include "Platform/pResourceFolder.h"

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <utility>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// A fresh folder under the system's temp folder, removed with everything in it at scope end.
class TempFolder {
public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "plinx-test-XXXXXX").string();
        char* made = mkdtemp(pattern.data());
        path_ = made ? made : "";
    }
    ~TempFolder() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The shipped resources and the player's folder in fresh temp folders, for as long as it lives.
struct PlayerFolders {
    TempFolder shipped, player;
    PlayerFolders() {
        setResourceFolder(shipped.path());
        setUserDataFolder(player.path());
    }
    ~PlayerFolders() {
        setResourceFolder("");
        setUserDataFolder("");
    }
};

// Whole-file helpers for tests that feed or check exact bytes.
inline void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Little-endian bytes built by hand, for tests that feed real files to readers.
struct ByteFile {
    std::vector<unsigned char> bytes;

    ByteFile& u8(unsigned value) {
        bytes.push_back(static_cast<unsigned char>(value));
        return *this;
    }
    ByteFile& u16(unsigned value) { return u8(value & 0xFF).u8(value >> 8); }
    ByteFile& u32(uint32_t value) { return u16(value & 0xFFFF).u16(value >> 16); }
    ByteFile& fill(size_t count, unsigned value) {
        bytes.insert(bytes.end(), count, static_cast<unsigned char>(value));
        return *this;
    }
    ByteFile& append(const std::vector<unsigned char>& more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
    ByteFile truncated(size_t drop) const {
        ByteFile shorter = *this;
        shorter.bytes.resize(bytes.size() > drop ? bytes.size() - drop : 0);
        return shorter;
    }
    std::string writeTo(const std::string& path) const {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
};

// A valid run-length TGA of one colour, 32 bits a pixel: a large picture in a small file, as
// every packet covers 128 pixels.
inline ByteFile runLengthTga(int width, int height) {
    ByteFile f;
    f.u8(0).u8(0).u8(10).fill(9, 0).u16(unsigned(width)).u16(unsigned(height)).u8(32).u8(8);
    for (size_t left = size_t(width) * size_t(height); left > 0;
         left -= std::min<size_t>(128, left))
        f.u8(0x80 | unsigned(std::min<size_t>(128, left) - 1)).u8(10).u8(200).u8(30).u8(255);
    return f;
}

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

// Runs `body` in a child process, as `user` where root may become it; the exit status (0 when
// `body` held) and what it printed.
inline std::pair<int, std::string> inChild(const std::function<bool()>& body,
                                           uid_t user = geteuid()) {
    int out[2];
    if (pipe(out) != 0)
        return {-1, ""};
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        dup2(out[1], 1);
        if (user != geteuid() && geteuid() == 0 && (setgid(user) != 0 || setuid(user) != 0))
            _exit(90);
        bool held = body();
        std::fflush(stdout);
        _exit(held ? 0 : 1);
    }
    close(out[1]);
    std::string said;
    char buffer[4096];
    for (ssize_t got; (got = read(out[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, size_t(got));
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, said};
}
