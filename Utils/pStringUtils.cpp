#include "Utils/pStringUtils.h"

#include "Platform/pResourceFolder.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>

float randInRange(float min, float max) {
    return min + (max - min) * static_cast<float>(rand()) / 2147483648.0f;
}

std::string intToString(int value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    return buffer;
}

int stringToInt(std::string text) {
    // atoi's reading, but a number too large for an int stops at its largest or smallest value
    // instead of being undefined (strtoll saturates, and so does the narrowing below).
    long long value = std::strtoll(text.c_str(), nullptr, 10);
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

std::string floatToString(float value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%f", static_cast<double>(value));
    return buffer;
}

float stringToFloat(std::string text) {
    return static_cast<float>(std::atof(text.c_str()));
}

bool isWhitespace(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

static bool isPackable(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

std::string pack(const std::string& text) {
    size_t first = 0;
    while (first < text.size() && isPackable(text[first]))
        first++;
    size_t last = text.size();
    while (last > first && isPackable(text[last - 1]))
        last--;
    return text.substr(first, last - first);
}

std::string toLower(const std::string& text) {
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::string toUpper(const std::string& text) {
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

std::string removeChar(const std::string& text, char c) {
    std::string result(text);
    for (size_t i = result.size(); i-- > 0;) {
        if (result[i] == c)
            result.erase(i, 1);
    }
    return result;
}

char shiftChar(char c) {
    if (c >= 'a' && c <= 'z')
        return static_cast<char>(c - 'a' + 'A');
    switch (c) {
    case ';':
        return ':';
    case '\'':
        return '"';
    case ',':
        return '<';
    case '.':
        return '>';
    case '`':
        return '~';
    case '[':
        return '{';
    case ']':
        return '}';
    case '/':
        return '?';
    case '1':
        return '!';
    case '2':
        return '@';
    case '3':
        return '#';
    case '4':
        return '$';
    case '5':
        return '%';
    case '6':
        return '^';
    case '7':
        return '&';
    case '8':
        return '*';
    case '9':
        return '(';
    case '0':
        return ')';
    case '-':
        return '_';
    case '=':
        return '+';
    case '\\':
        return '|';
    default:
        return c;
    }
}

std::string getResourcePath(std::string name) {
    std::string path = findResource(name);
    return path.empty() ? "ERROR!" : path;
}

std::string getWritablePath(std::string name) {
    return writablePath(name);
}
