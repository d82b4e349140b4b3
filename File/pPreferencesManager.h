#pragma once

#include "File/cAttribs.h"

#include <string>

// The player's preferences, kept in prefs.txt: each preference is a kind whose first item is its
// value.
class pPreferencesManager {
public:
    cAttribs* attribs;

    pPreferencesManager();
    pPreferencesManager(const pPreferencesManager& other);
    pPreferencesManager& operator=(const pPreferencesManager& other);
    ~pPreferencesManager();

    // The player's own prefs.txt when there is one, else the shipped defaults.
    void readFile();
    // Always into the player's folder: the shipped defaults stay as installed.
    void writeFile();
    // Empty for a key that is missing or has no value.
    std::string getPref(std::string key);
    // Changes an existing value only; a missing key or a key without a value is left alone.
    void setPref(std::string key, std::string value);
};
