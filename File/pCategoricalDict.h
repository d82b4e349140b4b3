#pragma once

#include <map>
#include <string>
#include <vector>

// Named categories, each an ordered list of entries, kept in a bracketed text file: a block per
// category of "{", the name, one line per entry, "}".
class pCategoricalDict {
public:
    std::map<std::string, std::vector<std::string>> dict_;

    pCategoricalDict() {}
    explicit pCategoricalDict(std::string const& path);

    // Adds to what is already held; a block with the name of an existing category joins it.
    bool readFile(std::string const& path);
    bool writeFile(std::string const& path);

    void addCategory(std::string const& name);
    bool hasCategory(std::string const& name) const;
    void addEntryToCategory(std::string const& name, std::string const& entry);
    void addEntryToCategory(unsigned int index, std::string const& entry);
    unsigned int numEntriesInCategory(std::string const& name) const;
    unsigned int numEntriesInCategory(unsigned int index) const;
    unsigned int numCategories() const { return static_cast<unsigned int>(categories.size()); }

    // The category must exist: callers ask hasCategory first.
    std::vector<std::string>& operator[](std::string const& name);
    std::vector<std::string> const& operator[](std::string const& name) const;
    std::vector<std::string>& operator[](unsigned int index);
    std::vector<std::string> const& operator[](unsigned int index) const;

private:
    std::vector<std::string> categories;
};
