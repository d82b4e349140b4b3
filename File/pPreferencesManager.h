#pragma once

#include "File/cAttribs.h"

#include <functional>
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

    // The player's own prefs.txt when there is one, else the shipped defaults. A key the
    // player's file lacks takes the shipped default; each is named on standard output.
    void readFile();
    // Always into the player's folder: the shipped defaults stay as installed. A player's file
    // that could not be read whole is first kept aside (cAttribs::keepAside).
    void writeFile();
    // Empty for a key that is missing or has no value.
    std::string getPref(std::string key);
    // Changes an existing value only; a missing key or a key without a value is left alone.
    void setPref(std::string key, std::string value);
    // The value of `key` as a whole number from min to max. A value that is no number takes the
    // shipped default (else `fallback`), one outside the range the nearest end; either is named
    // on standard output with the file, and the corrected value is what gets saved.
    int getIntPref(const std::string& key, int min, int max, int fallback);
    // The value of `key` as a whole number in which `problem` finds nothing wrong (it returns
    // what is wrong, "is not 0 or 1", or empty). A value that is missing, no number or wrong
    // takes the shipped default when that is right, else `fallback`; it is named on standard
    // output with the file, and the value used is what gets saved.
    int getCheckedIntPref(const std::string& key, int fallback,
                          const std::function<std::string(int)>& problem);
    // Optional blanks, an optional sign and digits: what the game writes for a number.
    static bool isWholeNumber(const std::string& text);
    // Sets the value, adding the key when the file had none.
    void storePref(const std::string& key, const std::string& value);

private:
    // The shipped file's value of `key` when it is a whole number; false otherwise.
    bool shippedInt(const std::string& key, int& value);
    // Where the preferences came from, for messages.
    std::string source() const;
    // The file the preferences were read from; empty when there was none.
    std::string readPath_;
    // It could not be read whole, so it is kept aside before it is written over.
    bool unreadable_ = false;
};
