#pragma once

#include <map>
#include <string>
#include <vector>

// One named list of an attribute file.
class cAttribList {
public:
    std::string name;
    std::vector<std::string> data;
};

// An attribute file in memory: named lists of strings, kept in file order. The file is a run of
// blocks "{", the kind, one line per item, "}".
class cAttribs {
public:
    std::vector<std::string> kinds;
    std::map<std::string, cAttribList*> attribs;

    cAttribs();
    cAttribs(const cAttribs& other);
    cAttribs& operator=(const cAttribs& other);
    ~cAttribs();

    // A new empty list under `kind`, replacing any list of that name.
    void addAttribKind(std::string kind);
    // Appends to the list of `kind`; nothing when there is no such kind.
    void addDataToAttrib(std::string kind, std::string data);
    // Adds the kinds and items of the file; false (with a message) on a line where "{" belongs.
    bool readFile(std::string path);
    // Reads the file line for line as writeFile writes it: a blank line inside a kind is an empty
    // item and a NUL byte stays in its line, so every item keeps its place. Reading goes on past
    // damage where it can; the result is false, with the first problem in `problem`, when the
    // file is not whole. A missing file reads as no kinds.
    bool readFileExactly(const std::string& path, std::string& problem);
    // Replaces the file as a whole, so a failed save leaves the previous file intact. Through a
    // symbolic link, the file it leads to is replaced and the link stays.
    bool writeFile(std::string path);
    void printData();

    // Copies the file to `path`.broken (or .broken.1, .broken.2 and so on: an earlier copy is
    // never overwritten) before the game writes over a file it could not read. The copy's path,
    // or empty when it could not be made.
    static std::string keepAside(const std::string& path);

private:
    // Where reading stands: before a "{", at the kind's name, or among its items.
    struct ReadState {
        enum { OPEN, KIND, ITEMS } expect = OPEN;
        std::string kind;
    };
    // One line through the reading; false, with the message, at a line where "{" belongs.
    bool readLine(ReadState& state, const std::string& line);
    void clear();
};
