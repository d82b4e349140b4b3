// A player's prefs.txt with one setting missing or broken: that setting alone takes its default,
// with one line naming the file, and every other setting keeps the player's value.
#include "tests/support/FileBytes.h"
#include "tests/support/GameSettings.h"
#include "tests/support/PlayerFolders.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string asFile(const Settings& settings) {
    std::string text;
    for (const auto& [key, value] : settings)
        text += "{\n" + key + "\n" + value + "\n}\n";
    return text;
}

} // namespace

TEST(SettingsFile, AMissingOrBrokenSettingTakesItsDefaultAndTheOthersStay) {
    PlayerFolders folders;
    std::filesystem::copy_file(PLINX_SOURCE_DIR "/Resources/prefs.txt",
                               folders.shipped.file("prefs.txt"));
    const std::string mine = folders.player.file("prefs.txt");
    // None of them the shipped value: A, D, S move, W and Q rotate.
    const Settings player = {{"fxVolume", "100"},       {"fullScreen", "1"},
                             {"blockMarks", "1"},       {"ACTION_MOVELEFT", "0"},
                             {"ACTION_MOVERIGHT", "2"}, {"ACTION_MOVEDOWN", "1"},
                             {"ACTION_ROTCW", "13"},    {"ACTION_ROTCCW", "12"}};
    struct Case {
        Settings written; // over the player's; an empty value leaves the key out
        Settings used;    // over the player's
        std::string said; // after the file's path
    } cases[] = {
        {{{"fullScreen", ""}}, {{"fullScreen", "0"}}, " has no fullScreen; using the default 0.\n"},
        {{{"blockMarks", "2"}}, {{"blockMarks", "0"}}, ": blockMarks 2 is not 0 or 1; using 0.\n"},
        {{{"ACTION_MOVELEFT", "53"}},
         {{"ACTION_MOVELEFT", "123"}},
         ": ACTION_MOVELEFT 53 is Escape, which pauses the game; using 123.\n"},
        {{{"ACTION_MOVEDOWN", "128"}},
         {{"ACTION_MOVEDOWN", "125"}},
         ": ACTION_MOVEDOWN 128 is no key; using 125.\n"},
        // Saved twice: the first action keeps it.
        {{{"ACTION_MOVERIGHT", "0"}},
         {{"ACTION_MOVERIGHT", "124"}},
         ": ACTION_MOVERIGHT 0 is already the key of Move Left; using 124.\n"},
        // The default is another action's key: the first default free instead.
        {{{"ACTION_ROTCW", "103"}, {"ACTION_MOVELEFT", "7"}},
         {{"ACTION_ROTCW", "123"}, {"ACTION_MOVELEFT", "7"}},
         ": ACTION_ROTCW 103 is F11, which switches full screen; using 123.\n"},
        {{{"ACTION_MOVELEFT", "x"}, {"ACTION_MOVERIGHT", "123"}},
         {{"ACTION_MOVELEFT", "124"}, {"ACTION_MOVERIGHT", "123"}},
         ": ACTION_MOVELEFT \"x\" is not a number; using 124.\n"},
    };
    pPlinx* game = pPlinx::instance();
    for (const Case& c : cases) {
        Settings written = player, expected = player;
        for (const auto& [key, value] : c.written)
            if (value.empty())
                written.erase(key);
            else
                written[key] = value;
        for (const auto& [key, value] : c.used)
            expected[key] = value;
        SCOPED_TRACE(asFile(written));
        writeFileBytes(mine, asFile(written));

        testing::internal::CaptureStdout();
        game->prefs = pPreferencesManager();
        game->loadSettings();
        EXPECT_EQ(settingsInUse(game), expected);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), mine + c.said);
        // Saved is what the game uses.
        game->prefs.writeFile();
        EXPECT_EQ(settingsIn(mine), expected);
    }
    pGameKeys::bindDefaults();
    game->fxVolume = 256;
    game->puzzle.blockMarks = false;
}
