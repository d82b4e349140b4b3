#pragma once

#include "File/pFile.h"

#include <string>

// Fixed-width values in a chosen byte order; the image readers read their headers through it.
class pBinaryFile : public pFile {
public:
    pBinaryFile();
    pBinaryFile(std::string path, PFILE_MODE mode, PFILE_ENDIANNESS order = PFILE_LITTLE_ENDIAN);
    pBinaryFile(const pBinaryFile& other);
    pBinaryFile& operator=(const pBinaryFile& other);
    ~pBinaryFile() override;

    using pFile::open;
    bool open(std::string path, PFILE_MODE mode, PFILE_ENDIANNESS order);

    PFILE_ENDIANNESS getEndianness() const { return endianness; }
    void setEndianness(PFILE_ENDIANNESS order) { endianness = order; }

    // 1 when the whole block was read, else 0. Bytes as stored.
    int readBytes(void* buffer, int count);
    int writeBytes(const void* buffer, int count);
    static void reverseBytes(unsigned char* bytes, unsigned long count);

    pBinaryFile& operator>>(char& value);
    pBinaryFile& operator>>(unsigned char& value);
    pBinaryFile& operator>>(short& value);
    pBinaryFile& operator>>(unsigned short& value);
    pBinaryFile& operator>>(int& value);
    pBinaryFile& operator>>(unsigned int& value);
    pBinaryFile& operator>>(long& value);
    pBinaryFile& operator>>(unsigned long& value);
    pBinaryFile& operator>>(float& value);
    pBinaryFile& operator>>(double& value);
    pBinaryFile& operator>>(long double& value);
    pBinaryFile& operator>>(bool& value);
    // One word: stops before a space, tab, line feed or zero byte, or after the word limit.
    pBinaryFile& operator>>(std::string& value);

    pBinaryFile& operator<<(char value);
    pBinaryFile& operator<<(unsigned char value);
    pBinaryFile& operator<<(short value);
    pBinaryFile& operator<<(unsigned short value);
    pBinaryFile& operator<<(int value);
    pBinaryFile& operator<<(unsigned int value);
    pBinaryFile& operator<<(long value);
    pBinaryFile& operator<<(unsigned long value);
    pBinaryFile& operator<<(float value);
    pBinaryFile& operator<<(double value);
    pBinaryFile& operator<<(long double value);
    pBinaryFile& operator<<(bool value);
    // The characters and one zero byte.
    pBinaryFile& operator<<(const char* value);
    pBinaryFile& operator<<(const std::string& value);
    pBinaryFile& operator<<(pBinaryFile& (*manipulator)(pBinaryFile&));

private:
    template <typename T> void readOrdered(T& value);
    template <typename T> void writeOrdered(T value);

    PFILE_ENDIANNESS endianness = PFILE_LITTLE_ENDIAN;
};

pBinaryFile& endl(pBinaryFile& file);
pBinaryFile& tab(pBinaryFile& file);
