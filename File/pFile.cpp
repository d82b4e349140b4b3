#include "File/pFile.h"

#include <cstdint>
#include <cstring>

int pFile::systemEndianness_ = 0;

pFile::pFile() {
    if (systemEndianness_ == 0)
        systemEndianness_ = getSystemEndianness();
}

pFile::~pFile() {
    close();
}

int pFile::getSystemEndianness() {
    uint32_t one = 1;
    unsigned char first;
    std::memcpy(&first, &one, 1);
    return first != 0 ? PFILE_LITTLE_ENDIAN : PFILE_BIG_ENDIAN;
}

static const char* modeString(PFILE_MODE mode) {
    switch (mode) {
    case PFILE_READ:
        return "r";
    case PFILE_WRITE:
        return "w";
    case PFILE_APPEND:
        return "a";
    case PFILE_READ_UPDATE:
        return "r+";
    case PFILE_WRITE_UPDATE:
        return "w+";
    case PFILE_APPEND_UPDATE:
        return "a+";
    default:
        return nullptr;
    }
}

bool pFile::openWith(const std::string& newPath, PFILE_MODE newMode, const char* base) {
    close();
    if (base == nullptr)
        return false;
    std::string flags = std::string(base) + (binary ? "b" : "t");
    handle = std::fopen(newPath.c_str(), flags.c_str());
    if (handle == nullptr)
        return false;
    path = newPath;
    mode = newMode;
    return true;
}

bool pFile::open(std::string newPath, PFILE_MODE newMode) {
    return openWith(newPath, newMode, modeString(newMode));
}

bool pFile::reopen(const std::string& newPath, PFILE_MODE newMode) {
    if (newMode != PFILE_WRITE && newMode != PFILE_WRITE_UPDATE)
        return open(newPath, newMode);
    if (!openWith(newPath, newMode, "r+"))
        return false;
    std::fseek(handle, 0, SEEK_END);
    return true;
}

void pFile::copyFrom(const pFile& other) {
    close();
    wordLimit = other.wordLimit;
    if (other.isOpen()) {
        reopen(other.path, other.mode);
    } else {
        path = other.path;
        mode = other.mode;
    }
}

bool pFile::close() {
    if (handle == nullptr)
        return false;
    bool closed = std::fclose(handle) == 0;
    handle = nullptr;
    path.clear();
    mode = PFILE_NONE;
    return closed;
}

bool pFile::eof() {
    return handle == nullptr || std::feof(handle) || std::ferror(handle);
}

bool pFile::remove() {
    if (handle == nullptr)
        return false;
    std::string oldPath = path;
    if (!close())
        return false;
    return std::remove(oldPath.c_str()) == 0;
}

bool pFile::rename(std::string newPath) {
    if (handle == nullptr)
        return false;
    std::string oldPath = path;
    PFILE_MODE oldMode = mode;
    close();
    if (std::rename(oldPath.c_str(), newPath.c_str()) != 0)
        return false;
    return reopen(newPath, oldMode);
}
