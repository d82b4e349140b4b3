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

bool cAttribs::readLine(ReadState& state, const std::string& line) {
    switch (state.expect) {
    case ReadState::OPEN:
        // Blank lines between blocks carry no meaning.
        if (line.empty())
            return true;
        if (line != "{") {
            std::cout << "Error: expecting open bracket" << std::endl;
            return false;
        }
        state.expect = ReadState::KIND;
        return true;
    case ReadState::KIND:
        state.kind = line;
        addAttribKind(line);
        state.expect = ReadState::ITEMS;
        return true;
    case ReadState::ITEMS:
        if (line == "}")
            state.expect = ReadState::OPEN;
        else
            addDataToAttrib(state.kind, line);
        return true;
    }
    return true;
}

bool cAttribs::readFile(std::string path) {
    ReadState state;
    // A file that cannot be opened reads as an empty one.
    pTextFile file(path, PFILE_READ);
    bool whole = true;
    while (whole && !file.eof())
        whole = readLine(state, file.readLine());
    file.close();
    return whole;
}

bool cAttribs::readFileExactly(const std::string& path, std::string& problem) {
    problem.clear();
    auto note = [&problem](const std::string& what) {
        if (problem.empty())
            problem = what;
    };
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return true; // no file: no kinds, as readFile has it
        problem = std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    // Far beyond any table or preferences of the game: not read, rather than all memory taken.
    constexpr off_t largest = 64 << 20;
    struct stat info;
    if (::fstat(fd, &info) == 0 && info.st_size > largest) {
        ::close(fd);
        problem = "it is larger than 64 MB";
        return false;
    }
    std::string bytes;
    char buffer[65536];
    for (ssize_t got;
         bytes.size() <= size_t{largest} && (got = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            note(std::string("cannot be read: ") + std::strerror(errno));
            break;
        }
        bytes.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);

    ReadState state;
    size_t lineNumber = 0;
    for (size_t at = 0; at < bytes.size();) {
        // Lines end in a line feed; one written on another system may end in CR LF.
        size_t end = bytes.find('\n', at);
        size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        at = next;
        const std::string where = "line " + std::to_string(++lineNumber);
        if (line.find('\0') != std::string::npos)
            note(where + " holds a NUL byte");
        if (state.expect == ReadState::KIND && attribs.count(line))
            note("the kind \"" + line + "\" stands twice");
        if (!readLine(state, line)) {
            note(where + " is not \"{\"");
            return false;
        }
    }
    if (state.expect != ReadState::OPEN)
        note("it ends inside a kind");
    return problem.empty();
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

// Where a path leads through its symbolic links: a save replaces the file a link points to and
// keeps the link (dotfile managers link the player's files into a folder of their own).
static std::filesystem::path followLinks(std::filesystem::path path) {
    for (int hops = 0; hops < 40; hops++) {
        std::error_code error;
        if (!std::filesystem::is_symlink(path, error))
            return path;
        std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error)
            return path;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

// Why a folder to write in is missing: it could not be made, and the nearest folder above it
// that exists says why. A missing folder nobody tried to make stays "no such file".
static int missingFolderCause(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::path existing = folder;
    while (!std::filesystem::exists(existing, error) && existing.has_relative_path())
        existing = existing.parent_path();
    if (existing.empty())
        existing = ".";
    if (!std::filesystem::is_directory(existing, error))
        return ENOTDIR;
    if (::access(existing.c_str(), W_OK | X_OK) != 0)
        return errno;
    return ENOENT;
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
    std::filesystem::path target = followLinks(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        int error = errno == ENOENT ? missingFolderCause(folder) : errno;
        std::cout << "Error: cannot write " << path << ": " << std::strerror(error) << std::endl;
        return false;
    }
    struct stat old;
    ::fchmod(fd, ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
    int error = 0;
    bool ok = writeAll(fd, text.data(), text.size()) && ::fsync(fd) == 0;
    if (!ok)
        error = errno;
    if (::close(fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
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
