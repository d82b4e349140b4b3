#pragma once

#include "File/pFile.h"

#include <string>

// Lines, words and formatted values; the attribute files are read line by line through it.
class pTextFile : public pFile {
public:
    pTextFile();
    pTextFile(std::string path, PFILE_MODE mode);
    pTextFile(const pTextFile& other);
    pTextFile& operator=(const pTextFile& other);
    ~pTextFile() override;

    // Characters up to the delimiter, a line feed or a carriage return (not included). With skip,
    // the run of delimiters and line ends that follows is consumed too.
    std::string readUntil(char delimiter, bool skip);
    // One line without its line end; blank lines are never returned.
    std::string readLine();
    void skipSpace();

    pTextFile& operator>>(int& value);
    pTextFile& operator>>(short& value);
    pTextFile& operator>>(long& value);
    pTextFile& operator>>(unsigned int& value);
    pTextFile& operator>>(unsigned short& value);
    pTextFile& operator>>(unsigned long& value);
    pTextFile& operator>>(float& value);
    pTextFile& operator>>(double& value);
    pTextFile& operator>>(long double& value);
    pTextFile& operator>>(bool& value);
    pTextFile& operator>>(char& value);
    pTextFile& operator>>(unsigned char& value);
    // One blank-separated word of at most word-limit - 1 characters; the rest of a longer word is
    // skipped.
    pTextFile& operator>>(std::string& value);

    pTextFile& operator<<(int value);
    pTextFile& operator<<(short value);
    pTextFile& operator<<(long value);
    pTextFile& operator<<(unsigned int value);
    pTextFile& operator<<(unsigned short value);
    pTextFile& operator<<(unsigned long value);
    pTextFile& operator<<(float value);
    pTextFile& operator<<(double value);
    pTextFile& operator<<(long double value);
    pTextFile& operator<<(bool value);
    pTextFile& operator<<(char value);
    pTextFile& operator<<(unsigned char value);
    pTextFile& operator<<(const std::string& value);
    pTextFile& operator<<(const char* value);
    pTextFile& operator<<(pTextFile& (*manipulator)(pTextFile&));

private:
    template <typename T> pTextFile& scan(const char* format, T& value);
    template <typename T> pTextFile& print(const char* format, T value);
};

pTextFile& endl(pTextFile& file);
pTextFile& tab(pTextFile& file);
