#include "File/cAttribs.h"

#include "File/pTextFile.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

cAttribs::cAttribs() {}

cAttribs::cAttribs(const cAttribs& other) {
    for (const std::string& kind : other.kinds) {
        addAttribKind(kind);
        auto found = other.attribs.find(kind);
        if (found == other.attribs.end() || found->second == nullptr)
            continue;
        for (const std::string& item : found->second->data)
            addDataToAttrib(kind, item);
    }
}

cAttribs& cAttribs::operator=(const cAttribs& other) {
    if (this == &other)
        return *this;
    cAttribs copy(other);
    std::swap(kinds, copy.kinds);
    std::swap(attribs, copy.attribs);
    return *this;
}

cAttribs::~cAttribs() {
    clear();
}

void cAttribs::clear() {
    for (auto& entry : attribs)
        delete entry.second;
    attribs.clear();
    kinds.clear();
}

void cAttribs::addAttribKind(std::string kind) {
    kinds.push_back(kind);
    cAttribList*& slot = attribs[kind];
    delete slot;
    slot = new cAttribList;
    slot->name = kind;
}

void cAttribs::addDataToAttrib(std::string kind, std::string data) {
    auto found = attribs.find(kind);
    if (found != attribs.end() && found->second != nullptr)
        found->second->data.push_back(data);
}

bool cAttribs::readFile(std::string path) {
    enum { OPEN, KIND, ITEMS } state = OPEN;
    std::string kind;
    // A file that cannot be opened reads as an empty one.
    pTextFile file(path, PFILE_READ);
    while (!file.eof()) {
        std::string line = file.readLine();
        switch (state) {
        case OPEN:
            if (line.empty()) {
                // Blank lines before the first block carry no meaning.
                if (!file.eof())
                    continue;
                file.close();
                return true;
            }
            if (line != "{") {
                std::cout << "Error: expecting open bracket" << std::endl;
                file.close();
                return false;
            }
            state = KIND;
            break;
        case KIND:
            kind = line;
            addAttribKind(kind);
            state = ITEMS;
            break;
        case ITEMS:
            if (line == "}")
                state = OPEN;
            else
                addDataToAttrib(kind, line);
            break;
        }
    }
    file.close();
    return true;
}

static bool writeAll(int fd, const char* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        ssize_t written = ::write(fd, data + done, size - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

// A save killed between creating its temporary file and the rename leaves the temporary behind.
// Those more than a minute old are removed; a younger one may be another running game's save.
static void removeStaleTemporaries(const std::filesystem::path& folder, const std::string& name) {
    const std::string prefix = "." + name + ".";
    const auto stale = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1);
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        std::string file = entry->path().filename().string();
        if (file.size() != prefix.size() + 6 || file.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::error_code ignored;
        if (entry->is_regular_file(ignored) && entry->last_write_time(ignored) < stale)
            std::filesystem::remove(entry->path(), ignored);
    }
}

bool cAttribs::writeFile(std::string path) {
    std::string text;
    for (const std::string& kind : kinds) {
        text += "{\n" + kind + "\n";
        auto found = attribs.find(kind);
        if (found != attribs.end() && found->second != nullptr)
            for (const std::string& item : found->second->data)
                text += item + "\n";
        text += "}\n";
    }

    // Write a temporary file beside the old one, get it to the disk, then rename it over the old
    // one: a crash or a full disk part-way leaves the previous file whole.
    std::filesystem::path target(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        std::cout << "Error: cannot write " << path << ": " << std::strerror(errno) << std::endl;
        return false;
    }
    struct stat old;
    ::fchmod(fd, ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
    int error = 0;
    bool ok = writeAll(fd, text.data(), text.size()) && ::fsync(fd) == 0;
    if (!ok)
        error = errno;
    if (::close(fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        std::cout << "Error: cannot write " << path << ": " << std::strerror(error) << std::endl;
        return false;
    }
    // Make the rename itself lasting.
    int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    removeStaleTemporaries(folder, target.filename().string());
    return true;
}

std::string cAttribs::keepAside(const std::string& path) {
    int from = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0)
        return "";
    struct stat info;
    mode_t mode = ::fstat(from, &info) == 0 ? (info.st_mode & 0777) : 0600;
    std::string copy;
    int to = -1;
    for (int n = 0; n < 1000 && to < 0; n++) {
        copy = path + ".broken" + (n ? "." + std::to_string(n) : "");
        to = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (to < 0 && errno != EEXIST)
            break;
    }
    bool ok = to >= 0;
    char buffer[65536];
    ssize_t got = 0;
    while (ok && (got = ::read(from, buffer, sizeof buffer)) != 0) {
        if (got < 0 && errno == EINTR)
            continue;
        ok = got > 0 && writeAll(to, buffer, static_cast<size_t>(got));
    }
    ok = ok && ::fsync(to) == 0;
    ::close(from);
    if (to >= 0 && ::close(to) != 0)
        ok = false;
    if (!ok && to >= 0)
        ::unlink(copy.c_str());
    return ok ? copy : "";
}

void cAttribs::printData() {
    for (const std::string& kind : kinds) {
        std::cout << "[" << kind << "]" << std::endl;
        auto found = attribs.find(kind);
        if (found != attribs.end() && found->second != nullptr)
            for (const std::string& item : found->second->data)
                std::cout << item << std::endl;
    }
}
