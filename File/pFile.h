#pragma once

#include <cstdio>
#include <string>

enum PFILE_MODE {
    PFILE_NONE = 0,
    PFILE_READ = 1,
    PFILE_WRITE = 2,
    PFILE_APPEND = 3,
    PFILE_READ_UPDATE = 4,
    PFILE_WRITE_UPDATE = 5,
    PFILE_APPEND_UPDATE = 6
};

enum PFILE_ENDIANNESS { PFILE_LITTLE_ENDIAN = 1, PFILE_BIG_ENDIAN = 2 };

// A stdio stream with the path and mode it was opened with. The derived classes choose binary or
// text and add the typed reads and writes.
class pFile {
public:
    pFile();
    virtual ~pFile();
    pFile(const pFile&) = delete;
    pFile& operator=(const pFile&) = delete;

    bool open(std::string path, PFILE_MODE mode);
    bool isOpen() const { return handle != nullptr; }
    bool close();
    // Also true after a read error, so a reading loop always ends.
    bool eof();
    bool remove();
    bool rename(std::string newPath);

    const std::string& getPath() const { return path; }
    PFILE_MODE getMode() const { return mode; }

    static int getSystemEndianness();
    static int systemEndianness_;

protected:
    // Opens a second stream on a file another stream already holds (copies, rename): the write
    // modes must not truncate what is already there.
    bool reopen(const std::string& path, PFILE_MODE mode);
    // What copies of the derived streams share: the word limit, and a second stream on the
    // same file when the source is open.
    void copyFrom(const pFile& other);
    bool openWith(const std::string& path, PFILE_MODE mode, const char* modeString);

    FILE* handle = nullptr;
    int wordLimit = 80;
    std::string path;
    PFILE_MODE mode = PFILE_NONE;
    int binary = 0;
};
