// A player's prefs.txt that is empty, damaged or holds a volume that is no volume: the shipped
// default or the nearest good value, one line naming the file and the key, and a damaged file
// kept aside before it is written over.
#include "File/pPreferencesManager.h"
#include "Platform/pResourceFolder.h"
#include "Utils/pStringUtils.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

#include <climits>
#include <filesystem>
#include <gtest/gtest.h>

TEST(PrefsRepair, BadVolumesTakeTheDefaultOrTheNearestGoodValue) {
    TempFolder shipped, player;
    setResourceFolder(shipped.path());
    setUserDataFolder(player.path());
    writeFileBytes(shipped.file("prefs.txt"), "{\nfxVolume\n256\n}\n");
    const std::string mine = player.file("prefs.txt");
    struct Case {
        const char* file;
        int volume;
        const char* said; // empty: nothing
    };
    const Case cases[] = {
        {"{\nfxVolume\n100\n}\n", 100, ""},
        {"", 256, " has no fxVolume; using the default 256.\n"},
        {"{\nfxVolume\n-5\n}\n", 0, ": fxVolume -5 is outside 0 to 256; using 0.\n"},
        {"{\nfxVolume\n99999\n}\n", 256, ": fxVolume 99999 is outside 0 to 256; using 256.\n"},
        {"{\nfxVolume\n65792\n}\n", 256, ": fxVolume 65792 is outside 0 to 256; using 256.\n"},
        {"{\nfxVolume\n99999999999999999999\n}\n", 256,
         ": fxVolume 99999999999999999999 is outside 0 to 256; using 256.\n"},
        {"{\nfxVolume\nabc\n}\n", 256, ": fxVolume \"abc\" is not a number; using 256.\n"},
        {"{\nfxVolume\n}\n", 256, " has no fxVolume; using the default 256.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        writeFileBytes(mine, c.file);
        testing::internal::CaptureStdout();
        pPreferencesManager prefs;
        EXPECT_EQ(prefs.getIntPref("fxVolume", 0, 256, 256), c.volume);
        prefs.writeFile();
        std::string said = testing::internal::GetCapturedStdout();
        if (*c.said)
            EXPECT_NE(said.find(mine + c.said), std::string::npos) << said;
        else
            EXPECT_EQ(said, "");
        // What is saved is the value the game used.
        EXPECT_EQ(readFileBytes(mine), "{\nfxVolume\n" + std::to_string(c.volume) + "\n}\n");
    }
    EXPECT_FALSE(std::filesystem::exists(mine + ".broken")) << "none of these was damaged";

    EXPECT_EQ(stringToInt("99999999999999999999"), INT_MAX);
    EXPECT_EQ(stringToInt("-99999999999999999999"), INT_MIN);
    EXPECT_EQ(stringToInt(" 12ab"), 12);
    setResourceFolder("");
    setUserDataFolder("");
}

TEST(PrefsRepair, ADamagedFileIsKeptAsideNeverOverAnEarlierOne) {
    TempFolder shipped, player;
    setResourceFolder(shipped.path());
    setUserDataFolder(player.path());
    writeFileBytes(shipped.file("prefs.txt"), "{\nfxVolume\n256\n}\n{\nlanguage\nen\n}\n");
    const std::string mine = player.file("prefs.txt");
    for (const std::string garbage : {"garbage\n", "{\nfxVolume\n7\n}\nmore garbage\n"}) {
        writeFileBytes(mine, garbage);
        testing::internal::CaptureStdout();
        pPreferencesManager prefs;
        int volume = prefs.getIntPref("fxVolume", 0, 256, 256);
        prefs.writeFile();
        std::string said = testing::internal::GetCapturedStdout();
        EXPECT_NE(said.find("Error: expecting open bracket\n" + mine + " could not be read whole"),
                  std::string::npos)
            << said;
        EXPECT_NE(said.find("Kept the unreadable " + mine + " as " + mine + ".broken"),
                  std::string::npos)
            << said;
        // What could be read stays; the rest comes from the shipped file.
        EXPECT_EQ(volume, garbage == "garbage\n" ? 256 : 7);
        EXPECT_EQ(prefs.getPref("language"), "en");
        EXPECT_EQ(readFileBytes(mine),
                  "{\nfxVolume\n" + std::to_string(volume) + "\n}\n{\nlanguage\nen\n}\n");
    }
    EXPECT_EQ(readFileBytes(mine + ".broken"), "garbage\n");
    EXPECT_EQ(readFileBytes(mine + ".broken.1"), "{\nfxVolume\n7\n}\nmore garbage\n");
    setResourceFolder("");
    setUserDataFolder("");
}
