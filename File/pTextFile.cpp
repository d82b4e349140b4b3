#include "File/pTextFile.h"

#include <cctype>
#include <vector>

pTextFile::pTextFile() {
    binary = 0;
}

pTextFile::pTextFile(std::string newPath, PFILE_MODE newMode) {
    binary = 0;
    open(newPath, newMode);
}

pTextFile::pTextFile(const pTextFile& other) : pFile() {
    binary = 0;
    *this = other;
}

pTextFile& pTextFile::operator=(const pTextFile& other) {
    if (this == &other)
        return *this;
    copyFrom(other);
    return *this;
}

pTextFile::~pTextFile() {
    close();
}

static bool isLineEnd(int c) {
    return c == '\n' || c == '\r';
}

std::string pTextFile::readUntil(char delimiter, bool skip) {
    std::string text;
    if (handle == nullptr)
        return text;
    int c;
    while ((c = std::getc(handle)) != EOF && c != delimiter && !isLineEnd(c))
        text.push_back(static_cast<char>(c));
    if (c == EOF)
        return text;
    if (skip) {
        while ((c = std::getc(handle)) != EOF && (c == delimiter || isLineEnd(c)))
            ;
        if (c != EOF)
            std::ungetc(c, handle);
    } else if (c == delimiter) {
        std::ungetc(c, handle);
    }
    return text;
}

std::string pTextFile::readLine() {
    return readUntil(0, true);
}

void pTextFile::skipSpace() {
    if (handle == nullptr)
        return;
    int c;
    while ((c = std::getc(handle)) == ' ' || c == '\t' || isLineEnd(c))
        ;
    if (c != EOF)
        std::ungetc(c, handle);
}

template <typename T> pTextFile& pTextFile::scan(const char* format, T& value) {
    if (handle != nullptr && std::fscanf(handle, format, &value) != 1) {
        // Text that does not match the format leaves the value as it was.
    }
    return *this;
}

template <typename T> pTextFile& pTextFile::print(const char* format, T value) {
    if (handle != nullptr)
        std::fprintf(handle, format, value);
    return *this;
}

pTextFile& pTextFile::operator>>(int& value) {
    return scan("%d", value);
}
pTextFile& pTextFile::operator>>(short& value) {
    return scan("%hd", value);
}
pTextFile& pTextFile::operator>>(long& value) {
    return scan("%ld", value);
}
pTextFile& pTextFile::operator>>(unsigned int& value) {
    return scan("%u", value);
}
pTextFile& pTextFile::operator>>(unsigned short& value) {
    return scan("%hu", value);
}
pTextFile& pTextFile::operator>>(unsigned long& value) {
    return scan("%lu", value);
}
pTextFile& pTextFile::operator>>(float& value) {
    return scan("%g", value);
}
pTextFile& pTextFile::operator>>(double& value) {
    return scan("%lf", value);
}
pTextFile& pTextFile::operator>>(long double& value) {
    return scan("%Lf", value);
}
pTextFile& pTextFile::operator>>(char& value) {
    return scan("%c", value);
}
pTextFile& pTextFile::operator>>(unsigned char& value) {
    char c = static_cast<char>(value);
    scan("%c", c);
    value = static_cast<unsigned char>(c);
    return *this;
}
pTextFile& pTextFile::operator>>(bool& value) {
    int stored = value ? 1 : 0;
    scan("%d", stored);
    value = stored != 0;
    return *this;
}

pTextFile& pTextFile::operator>>(std::string& value) {
    if (handle == nullptr || wordLimit < 2)
        return *this;
    // The field width keeps the word inside the buffer, whatever its length.
    std::vector<char> buffer(static_cast<size_t>(wordLimit), '\0');
    std::string format = "%" + std::to_string(wordLimit - 1) + "s";
    if (std::fscanf(handle, format.c_str(), buffer.data()) != 1)
        return *this;
    value = buffer.data();
    int c;
    while ((c = std::getc(handle)) != EOF && !std::isspace(c))
        ;
    if (c != EOF)
        std::ungetc(c, handle);
    return *this;
}

pTextFile& pTextFile::operator<<(int value) {
    return print("%d", value);
}
pTextFile& pTextFile::operator<<(short value) {
    return print("%hd", value);
}
pTextFile& pTextFile::operator<<(long value) {
    return print("%ld", value);
}
pTextFile& pTextFile::operator<<(unsigned int value) {
    return print("%u", value);
}
pTextFile& pTextFile::operator<<(unsigned short value) {
    return print("%hu", value);
}
pTextFile& pTextFile::operator<<(unsigned long value) {
    return print("%lu", value);
}
pTextFile& pTextFile::operator<<(float value) {
    return print("%f", static_cast<double>(value));
}
pTextFile& pTextFile::operator<<(double value) {
    return print("%lf", value);
}
pTextFile& pTextFile::operator<<(long double value) {
    return print("%Lf", value);
}
pTextFile& pTextFile::operator<<(bool value) {
    return print("%d", value ? 1 : 0);
}
pTextFile& pTextFile::operator<<(char value) {
    return print("%c", value);
}
pTextFile& pTextFile::operator<<(unsigned char value) {
    return print("%c", value);
}
pTextFile& pTextFile::operator<<(const std::string& value) {
    return print("%s", value.c_str());
}
pTextFile& pTextFile::operator<<(const char* value) {
    return print("%s", value);
}
pTextFile& pTextFile::operator<<(pTextFile& (*manipulator)(pTextFile&)) {
    return manipulator(*this);
}

pTextFile& endl(pTextFile& file) {
    return file << '\n';
}
pTextFile& tab(pTextFile& file) {
    return file << '\t';
}
