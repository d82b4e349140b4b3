#include "File/pBinaryFile.h"

#include <cstdint>
#include <cstring>

pBinaryFile::pBinaryFile() {
    binary = 1;
}

pBinaryFile::pBinaryFile(std::string newPath, PFILE_MODE newMode, PFILE_ENDIANNESS order) {
    binary = 1;
    path = newPath;
    open(newPath, newMode, order);
}

pBinaryFile::pBinaryFile(const pBinaryFile& other) : pFile() {
    binary = 1;
    *this = other;
}

pBinaryFile& pBinaryFile::operator=(const pBinaryFile& other) {
    if (this == &other)
        return *this;
    endianness = other.endianness;
    copyFrom(other);
    return *this;
}

pBinaryFile::~pBinaryFile() {
    close();
}

bool pBinaryFile::open(std::string newPath, PFILE_MODE newMode, PFILE_ENDIANNESS order) {
    endianness = order;
    return pFile::open(newPath, newMode);
}

int pBinaryFile::readBytes(void* buffer, int count) {
    if (handle == nullptr || count <= 0)
        return 0;
    return std::fread(buffer, static_cast<size_t>(count), 1, handle) == 1 ? 1 : 0;
}

int pBinaryFile::writeBytes(const void* buffer, int count) {
    if (handle == nullptr || count <= 0)
        return 0;
    return std::fwrite(buffer, static_cast<size_t>(count), 1, handle) == 1 ? 1 : 0;
}

void pBinaryFile::reverseBytes(unsigned char* bytes, unsigned long count) {
    for (unsigned long i = 0; i < count / 2; i++) {
        unsigned char swap = bytes[i];
        bytes[i] = bytes[count - 1 - i];
        bytes[count - 1 - i] = swap;
    }
}

// A value the file holds in `endianness`; a short read leaves the target as it was.
template <typename T> void pBinaryFile::readOrdered(T& value) {
    unsigned char bytes[sizeof(T)];
    if (!readBytes(bytes, sizeof(T)))
        return;
    if (endianness != systemEndianness_)
        reverseBytes(bytes, sizeof(T));
    std::memcpy(&value, bytes, sizeof(T));
}

template <typename T> void pBinaryFile::writeOrdered(T value) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    if (endianness != systemEndianness_)
        reverseBytes(bytes, sizeof(T));
    writeBytes(bytes, sizeof(T));
}

pBinaryFile& pBinaryFile::operator>>(char& value) {
    readBytes(&value, 1);
    return *this;
}
pBinaryFile& pBinaryFile::operator>>(unsigned char& value) {
    readBytes(&value, 1);
    return *this;
}
pBinaryFile& pBinaryFile::operator>>(short& value) {
    readOrdered(value);
    return *this;
}
pBinaryFile& pBinaryFile::operator>>(unsigned short& value) {
    readOrdered(value);
    return *this;
}
pBinaryFile& pBinaryFile::operator>>(int& value) {
    readOrdered(value);
    return *this;
}
pBinaryFile& pBinaryFile::operator>>(unsigned int& value) {
    readOrdered(value);
    return *this;
}
// Longs are four bytes in a file, whatever their width in memory.
pBinaryFile& pBinaryFile::operator>>(long& value) {
    int32_t stored = static_cast<int32_t>(value);
    readOrdered(stored);
    value = stored;
    return *this;
}
pBinaryFile& pBinaryFile::operator>>(unsigned long& value) {
    uint32_t stored = static_cast<uint32_t>(value);
    readOrdered(stored);
    value = stored;
    return *this;
}
pBinaryFile& pBinaryFile::operator>>(float& value) {
    readOrdered(value);
    return *this;
}
pBinaryFile& pBinaryFile::operator>>(double& value) {
    readOrdered(value);
    return *this;
}

// Sixteen bytes, the in-memory form whole; reversed as one block.
static constexpr int longDoubleBytes = 16;
static_assert(sizeof(long double) <= longDoubleBytes);

pBinaryFile& pBinaryFile::operator>>(long double& value) {
    unsigned char bytes[longDoubleBytes];
    if (!readBytes(bytes, longDoubleBytes))
        return *this;
    if (endianness != systemEndianness_)
        reverseBytes(bytes, longDoubleBytes);
    std::memcpy(&value, bytes, sizeof(long double));
    return *this;
}

// Booleans are a 32-bit value in the machine's own order.
pBinaryFile& pBinaryFile::operator>>(bool& value) {
    uint32_t stored = 0;
    if (readBytes(&stored, sizeof(stored)))
        value = stored != 0;
    return *this;
}

pBinaryFile& pBinaryFile::operator>>(std::string& value) {
    value.clear();
    if (handle == nullptr)
        return *this;
    while (static_cast<int>(value.size()) < wordLimit) {
        int c = std::getc(handle);
        if (c == EOF)
            break;
        if (c == ' ' || c == '\n' || c == '\t' || c == 0) {
            std::ungetc(c, handle);
            break;
        }
        value.push_back(static_cast<char>(c));
    }
    return *this;
}

pBinaryFile& pBinaryFile::operator<<(char value) {
    writeBytes(&value, 1);
    return *this;
}
pBinaryFile& pBinaryFile::operator<<(unsigned char value) {
    writeBytes(&value, 1);
    return *this;
}
pBinaryFile& pBinaryFile::operator<<(short value) {
    writeOrdered(value);
    return *this;
}
pBinaryFile& pBinaryFile::operator<<(unsigned short value) {
    writeOrdered(value);
    return *this;
}
pBinaryFile& pBinaryFile::operator<<(int value) {
    writeOrdered(value);
    return *this;
}
pBinaryFile& pBinaryFile::operator<<(unsigned int value) {
    writeOrdered(value);
    return *this;
}
pBinaryFile& pBinaryFile::operator<<(long value) {
    writeOrdered(static_cast<int32_t>(value));
    return *this;
}
pBinaryFile& pBinaryFile::operator<<(unsigned long value) {
    writeOrdered(static_cast<uint32_t>(value));
    return *this;
}
pBinaryFile& pBinaryFile::operator<<(float value) {
    writeOrdered(value);
    return *this;
}
pBinaryFile& pBinaryFile::operator<<(double value) {
    writeOrdered(value);
    return *this;
}
pBinaryFile& pBinaryFile::operator<<(long double value) {
    unsigned char bytes[longDoubleBytes] = {};
    std::memcpy(bytes, &value, sizeof(long double));
    if (endianness != systemEndianness_)
        reverseBytes(bytes, longDoubleBytes);
    writeBytes(bytes, longDoubleBytes);
    return *this;
}
pBinaryFile& pBinaryFile::operator<<(bool value) {
    uint32_t stored = value ? 1 : 0;
    writeBytes(&stored, sizeof(stored));
    return *this;
}
pBinaryFile& pBinaryFile::operator<<(const char* value) {
    writeBytes(value, static_cast<int>(std::strlen(value)) + 1);
    return *this;
}
pBinaryFile& pBinaryFile::operator<<(const std::string& value) {
    return *this << value.c_str();
}
pBinaryFile& pBinaryFile::operator<<(pBinaryFile& (*manipulator)(pBinaryFile&)) {
    return manipulator(*this);
}

pBinaryFile& endl(pBinaryFile& file) {
    return file << '\n';
}
pBinaryFile& tab(pBinaryFile& file) {
    return file << '\t';
}
