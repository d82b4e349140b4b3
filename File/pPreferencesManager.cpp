#include "File/pPreferencesManager.h"

#include "Platform/pResourceFolder.h"
#include "Utils/pStringUtils.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

static const char* const prefsFile = "prefs.txt";

pPreferencesManager::pPreferencesManager() : attribs(nullptr) {
    readFile();
}

pPreferencesManager::pPreferencesManager(const pPreferencesManager& other)
    : attribs(other.attribs ? new cAttribs(*other.attribs) : nullptr), readPath_(other.readPath_),
      unreadable_(other.unreadable_) {}

pPreferencesManager& pPreferencesManager::operator=(const pPreferencesManager& other) {
    if (this == &other)
        return *this;
    cAttribs* copy = other.attribs ? new cAttribs(*other.attribs) : nullptr;
    delete attribs;
    attribs = copy;
    readPath_ = other.readPath_;
    unreadable_ = other.unreadable_;
    return *this;
}

pPreferencesManager::~pPreferencesManager() {
    delete attribs;
}

static cAttribList* valueList(cAttribs* attribs, const std::string& key);

void pPreferencesManager::readFile() {
    if (attribs == nullptr)
        attribs = new cAttribs;
    std::string path = getResourcePath(prefsFile);
    // Found nowhere: no preferences, rather than a stray file named after the error.
    if (path == "ERROR!")
        return;
    readPath_ = path;
    if (!attribs->readFile(path)) {
        unreadable_ = true;
        std::printf("%s could not be read whole; the game uses its defaults for what it lacks.\n",
                    path.c_str());
    }
    // An empty or damaged file of the player's would otherwise leave keys without a value.
    std::string shipped = findShippedResource(prefsFile);
    if (shipped.empty() || shipped == path)
        return;
    cAttribs defaults;
    defaults.readFile(shipped);
    for (const std::string& kind : defaults.kinds) {
        cAttribList* value = valueList(&defaults, kind);
        if (!value || valueList(attribs, kind))
            continue;
        if (!attribs->attribs.count(kind))
            attribs->addAttribKind(kind);
        attribs->addDataToAttrib(kind, value->data[0]);
        std::printf("%s has no %s; using the default %s.\n", path.c_str(), kind.c_str(),
                    value->data[0].c_str());
    }
}

void pPreferencesManager::writeFile() {
    if (attribs == nullptr)
        return;
    std::string path = getWritablePath(prefsFile);
    if (path.empty())
        return; // no home to save in, as the game said at start
    if (unreadable_ && readPath_ == path) {
        std::string kept = cAttribs::keepAside(path);
        std::error_code error;
        if (kept.empty() && std::filesystem::exists(path, error)) {
            std::printf("Error: cannot keep a copy of %s, so it is not written over.\n",
                        path.c_str());
            return;
        }
        if (!kept.empty())
            std::printf("Kept the unreadable %s as %s.\n", path.c_str(), kept.c_str());
        unreadable_ = false;
    }
    attribs->writeFile(path);
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

bool pPreferencesManager::isWholeNumber(const std::string& text) {
    std::string digits = pack(text);
    size_t start = !digits.empty() && (digits[0] == '-' || digits[0] == '+') ? 1 : 0;
    return digits.size() > start &&
           std::all_of(digits.begin() + static_cast<long>(start), digits.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

std::string pPreferencesManager::source() const {
    return readPath_.empty() ? prefsFile : readPath_;
}

bool pPreferencesManager::shippedInt(const std::string& key, int& value) {
    cAttribs defaults;
    std::string shipped = findShippedResource(prefsFile);
    if (!shipped.empty())
        defaults.readFile(shipped);
    cAttribList* list = valueList(&defaults, key);
    if (!list || !isWholeNumber(list->data[0]))
        return false;
    value = stringToInt(list->data[0]);
    return true;
}

void pPreferencesManager::storePref(const std::string& key, const std::string& value) {
    if (valueList(attribs, key)) {
        setPref(key, value);
        return;
    }
    if (!attribs)
        attribs = new cAttribs;
    if (!attribs->attribs.count(key))
        attribs->addAttribKind(key);
    attribs->addDataToAttrib(key, value);
}

int pPreferencesManager::getIntPref(const std::string& key, int min, int max, int fallback) {
    const std::string where = source();
    std::string text = getPref(key);
    int value = std::clamp(stringToInt(text), min, max);
    if (!isWholeNumber(text)) {
        int shipped = 0;
        value = std::clamp(shippedInt(key, shipped) ? shipped : fallback, min, max);
        if (valueList(attribs, key))
            std::printf("%s: %s \"%s\" is not a number; using %d.\n", where.c_str(), key.c_str(),
                        text.c_str(), value);
        else
            std::printf("%s has no %s; using %d.\n", where.c_str(), key.c_str(), value);
    } else if (value != stringToInt(text)) {
        std::printf("%s: %s %s is outside %d to %d; using %d.\n", where.c_str(), key.c_str(),
                    pack(text).c_str(), min, max, value);
    } else {
        return value;
    }
    storePref(key, intToString(value));
    return value;
}

int pPreferencesManager::getCheckedIntPref(const std::string& key, int fallback,
                                           const std::function<std::string(int)>& problem) {
    const std::string where = source();
    std::string text = getPref(key);
    std::string wrong = isWholeNumber(text) ? problem(stringToInt(text)) : "";
    if (isWholeNumber(text) && wrong.empty())
        return stringToInt(text);
    int value = fallback;
    int shipped = 0;
    if (shippedInt(key, shipped) && problem(shipped).empty())
        value = shipped;
    if (!valueList(attribs, key))
        std::printf("%s has no %s; using %d.\n", where.c_str(), key.c_str(), value);
    else if (wrong.empty())
        std::printf("%s: %s \"%s\" is not a number; using %d.\n", where.c_str(), key.c_str(),
                    text.c_str(), value);
    else
        std::printf("%s: %s %s %s; using %d.\n", where.c_str(), key.c_str(), pack(text).c_str(),
                    wrong.c_str(), value);
    storePref(key, intToString(value));
    return value;
}
