// Copied into an installed bin/ by check_install.sh: reports where the installed game finds its
// assets and where a new high score and the preferences are saved.
#include "File/pPreferencesManager.h"
#include "Game/pHighScoreList.h"
#include "Platform/pResourceFolder.h"
#include "Utils/pStringUtils.h"

#include <cstdio>

int main() {
    std::printf("resources %s\n", resourceFolder().c_str());
    std::printf("scores %s\n", getResourcePath("scores.txt").c_str());
    std::printf("prefs %s\n", getResourcePath("prefs.txt").c_str());
    {
        pHighScoreList list;
        list.insertScore("Installed", 100000);
        pPreferencesManager prefs;
        prefs.writeFile();
    }
    std::printf("saved %s\n", getResourcePath("scores.txt").c_str());
    pHighScoreList reread;
    std::printf("top %s %d\n", reread.getName(0).c_str(), reread.getScore(0));
    return 0;
}
