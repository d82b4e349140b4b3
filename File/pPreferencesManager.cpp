#include "File/pPreferencesManager.h"

#include "Utils/pStringUtils.h"

static const char* const prefsFile = "prefs.txt";

pPreferencesManager::pPreferencesManager() : attribs(nullptr) {
    readFile();
}

pPreferencesManager::pPreferencesManager(const pPreferencesManager& other)
    : attribs(other.attribs ? new cAttribs(*other.attribs) : nullptr) {}

pPreferencesManager& pPreferencesManager::operator=(const pPreferencesManager& other) {
    if (this == &other)
        return *this;
    cAttribs* copy = other.attribs ? new cAttribs(*other.attribs) : nullptr;
    delete attribs;
    attribs = copy;
    return *this;
}

pPreferencesManager::~pPreferencesManager() {
    delete attribs;
}

void pPreferencesManager::readFile() {
    if (attribs == nullptr)
        attribs = new cAttribs;
    std::string path = getResourcePath(prefsFile);
    // Found nowhere: no preferences, rather than a stray file named after the error.
    if (path != "ERROR!")
        attribs->readFile(path);
}

void pPreferencesManager::writeFile() {
    if (attribs != nullptr)
        attribs->writeFile(getWritablePath(prefsFile));
}

static cAttribList* valueList(cAttribs* attribs, const std::string& key) {
    if (attribs == nullptr)
        return nullptr;
    auto found = attribs->attribs.find(key);
    if (found == attribs->attribs.end() || found->second == nullptr || found->second->data.empty())
        return nullptr;
    return found->second;
}

std::string pPreferencesManager::getPref(std::string key) {
    cAttribList* list = valueList(attribs, key);
    return list ? list->data[0] : "";
}

void pPreferencesManager::setPref(std::string key, std::string value) {
    if (cAttribList* list = valueList(attribs, key))
        list->data[0] = value;
}
