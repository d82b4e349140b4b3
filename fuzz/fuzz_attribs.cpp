// Any bytes as an attribute file, and as the player's scores.txt and prefs.txt: reading loads or
// refuses, never crashes or hangs, and the score table always comes out ten rows.
#include "File/cAttribs.h"
#include "File/pPreferencesManager.h"
#include "Game/pHighScoreList.h"
#include "Platform/pResourceFolder.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {
// Plain storage, so the folder can still be removed at exit after the statics are gone. Memory
// backed where there is /dev/shm: rewriting a file on disk twice per input costs milliseconds.
char folderPath[64];

const std::string& playerFolder() {
    static const std::string folder = [] {
        const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::snprintf(folderPath, sizeof folderPath, "%s/plinx-fuzz-attribs-XXXXXX", base);
        if (!mkdtemp(folderPath)) {
            std::perror("mkdtemp");
            std::abort();
        }
        std::atexit([] {
            std::error_code error;
            std::filesystem::remove_all(folderPath, error);
        });
        return std::string(folderPath);
    }();
    return folder;
}

void writeBytes(const std::string& path, const unsigned char* data, size_t size) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out || std::fwrite(data, 1, size, out) != size || std::fclose(out) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setResourceFolder(playerFolder());
    setUserDataFolder(playerFolder());
    // The readers report bad files on standard output; libFuzzer reports on standard error.
    if (!std::freopen("/dev/null", "w", stdout))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const std::string& folder = playerFolder();
    writeBytes(folder + "/scores.txt", data, size);
    writeBytes(folder + "/prefs.txt", data, size);

    cAttribs attribs;
    attribs.readFile(folder + "/scores.txt");
    cAttribs copy(attribs);
    copy = attribs;

    pHighScoreList list;
    if (list.attribs->attribs["name"]->data.size() != 10 ||
        list.attribs->attribs["score"]->data.size() != 10)
        std::abort();
    long long total = 0;
    for (int row = 0; row < list.size; row++)
        total += list.getScore(row) + static_cast<long long>(list.getName(row).size());
    list.newScoreIndex(INT_MAX);
    list.newScoreIndex(INT_MIN);
    list.scoreIsHigh(static_cast<int>(total));

    pPreferencesManager prefs;
    prefs.setPref("fxVolume", prefs.getPref("fxVolume") + "0");
    return 0;
}
