#include "File/pPreferencesManager.h"
#include "Platform/pResourceFolder.h"

#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

TEST(pPreferencesManager, ReadsShippedWritesToThePlayersFolder) {
    TempFolder shipped;
    TempFolder user;
    const std::string defaults = "{\nfxVolume\n256\n}\n{\nbare\n}\n";
    writeFileBytes(shipped.file("prefs.txt"), defaults);
    setResourceFolder(shipped.path());
    setUserDataFolder(user.path());
    {
        pPreferencesManager prefs;
        EXPECT_EQ(prefs.getPref("fxVolume"), "256");
        prefs.setPref("fxVolume", "150");
        EXPECT_EQ(prefs.getPref("fxVolume"), "150");
        prefs.setPref("missing", "1");
        prefs.setPref("bare", "1");
        EXPECT_EQ(prefs.getPref("missing"), "");
        EXPECT_EQ(prefs.getPref("bare"), "");
        pPreferencesManager copy(prefs);
        copy.writeFile();
    }
    EXPECT_EQ(readFileBytes(user.file("prefs.txt")), "{\nfxVolume\n150\n}\n{\nbare\n}\n");
    EXPECT_EQ(readFileBytes(shipped.file("prefs.txt")), defaults);
    EXPECT_EQ(pPreferencesManager().getPref("fxVolume"), "150");

    // Neither folder holds the file: no preferences, and nothing breaks.
    TempFolder empty;
    setResourceFolder(empty.path());
    setUserDataFolder(empty.path());
    EXPECT_EQ(pPreferencesManager().getPref("fxVolume"), "");
    setResourceFolder("");
    setUserDataFolder("");
}
