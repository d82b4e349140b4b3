#include "File/pCategoricalDict.h"

#include "File/pTextFile.h"
#include "Utils/pAssert.h"
#include "Utils/pStringUtils.h"

#include <algorithm>

static const char* const source = "File/pCategoricalDict";

pCategoricalDict::pCategoricalDict(std::string const& path) {
    readFile(path);
}

bool pCategoricalDict::readFile(std::string const& path) {
    pTextFile file;
    if (!file.open(path, PFILE_READ))
        return false;
    enum { BETWEEN, NAME, ENTRIES } state = BETWEEN;
    std::string current;
    while (!file.eof()) {
        std::string raw = file.readLine();
        // The reader yields an empty line only at the end or for blank lines opening the file.
        if (raw.empty())
            continue;
        std::string line = pack(raw);
        if (state == BETWEEN) {
            if (line != "{")
                return false;
            state = NAME;
        } else if (state == NAME) {
            if (line == "{" || line == "}")
                return false;
            current = line;
            addCategory(current);
            state = ENTRIES;
        } else if (line == "{") {
            return false;
        } else if (line == "}") {
            state = BETWEEN;
        } else {
            addEntryToCategory(current, line);
        }
    }
    return true;
}

bool pCategoricalDict::writeFile(std::string const& path) {
    pTextFile file;
    if (!file.open(path, PFILE_WRITE))
        return false;
    for (const std::string& name : categories) {
        file << "{" << endl << name << endl;
        for (const std::string& entry : dict_[name])
            file << entry << endl;
        file << "}" << endl;
    }
    return true;
}

void pCategoricalDict::addCategory(std::string const& name) {
    if (hasCategory(name))
        return;
    categories.push_back(name);
    dict_[name];
}

bool pCategoricalDict::hasCategory(std::string const& name) const {
    return std::find(categories.begin(), categories.end(), name) != categories.end();
}

void pCategoricalDict::addEntryToCategory(std::string const& name, std::string const& entry) {
    auto itr = dict_.find(name);
    if (itr != dict_.end())
        itr->second.push_back(entry);
}

void pCategoricalDict::addEntryToCategory(unsigned int index, std::string const& entry) {
    if (index < categories.size())
        addEntryToCategory(categories[index], entry);
}

unsigned int pCategoricalDict::numEntriesInCategory(std::string const& name) const {
    auto itr = dict_.find(name);
    return itr == dict_.end() ? 0 : static_cast<unsigned int>(itr->second.size());
}

unsigned int pCategoricalDict::numEntriesInCategory(unsigned int index) const {
    return index < categories.size() ? numEntriesInCategory(categories[index]) : 0;
}

std::vector<std::string>& pCategoricalDict::operator[](std::string const& name) {
    auto itr = dict_.find(name);
    P_ASSERT_TEXT(source, itr != dict_.end(), "itr != dict_.end()");
    return itr->second;
}

std::vector<std::string> const& pCategoricalDict::operator[](std::string const& name) const {
    auto itr = dict_.find(name);
    P_ASSERT_TEXT(source, itr != dict_.end(), "itr != dict_.end()");
    return itr->second;
}

std::vector<std::string>& pCategoricalDict::operator[](unsigned int index) {
    P_ASSERT(source, index < categories.size());
    return (*this)[categories[index]];
}

std::vector<std::string> const& pCategoricalDict::operator[](unsigned int index) const {
    P_ASSERT(source, index < categories.size());
    return (*this)[categories[index]];
}
