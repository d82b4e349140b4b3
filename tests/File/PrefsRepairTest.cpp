// A player's prefs.txt that is empty, damaged or holds a volume that is no volume: the shipped
// default or the nearest good value, one line naming the file and the key, and a damaged file
// kept aside before it is written over, never over an earlier copy.
#include "File/pPreferencesManager.h"
#include "Utils/pStringUtils.h"
#include "tests/support/FileBytes.h"
#include "tests/support/PlayerFolders.h"

#include <climits>
#include <gtest/gtest.h>

TEST(PrefsRepair, BadValuesAreNamedAndMendedAndDamagedFilesKeptAside) {
    PlayerFolders folders;
    writeFileBytes(folders.shipped.file("prefs.txt"), "{\nfxVolume\n256\n}\n{\nlanguage\nen\n}\n");
    const std::string mine = folders.player.file("prefs.txt");
    struct Case {
        std::string file;
        int volume;
        std::string said; // after the file's path; empty: nothing is said
    };
    const Case cases[] = {
        {"{\nfxVolume\n100\n}\n{\nlanguage\nen\n}\n", 100, ""},
        {"{\nlanguage\nen\n}\n", 256, " has no fxVolume; using the default 256.\n"},
        {"{\nfxVolume\n-5\n}\n", 0, ": fxVolume -5 is outside 0 to 256; using 0.\n"},
        {"{\nfxVolume\n99999999999999999999\n}\n", 256,
         ": fxVolume 99999999999999999999 is outside 0 to 256; using 256.\n"},
        {"{\nfxVolume\nabc\n}\n", 256, ": fxVolume \"abc\" is not a number; using 256.\n"},
        {"garbage\n", 256, ".broken.\n"},
        {"{\nfxVolume\n7\n}\nmore garbage\n", 7, ".broken.1.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        writeFileBytes(mine, c.file);
        testing::internal::CaptureStdout();
        pPreferencesManager prefs;
        EXPECT_EQ(prefs.getIntPref("fxVolume", 0, 256, 256), c.volume);
        prefs.writeFile();
        std::string said = testing::internal::GetCapturedStdout();
        if (c.said.empty())
            EXPECT_EQ(said, "");
        else
            EXPECT_NE(said.find(mine + c.said), std::string::npos) << said;
        // Saved is what the game used, and what the file lacked comes from the shipped one.
        std::string saved = readFileBytes(mine);
        EXPECT_NE(saved.find("{\nfxVolume\n" + std::to_string(c.volume) + "\n}\n"),
                  std::string::npos);
        EXPECT_NE(saved.find("{\nlanguage\nen\n}\n"), std::string::npos);
    }
    EXPECT_EQ(readFileBytes(mine + ".broken"), "garbage\n");
    EXPECT_EQ(readFileBytes(mine + ".broken.1"), cases[6].file);
    EXPECT_EQ(stringToInt("99999999999999999999"), INT_MAX);
    EXPECT_EQ(stringToInt("-99999999999999999999"), INT_MIN);
}
