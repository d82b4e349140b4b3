#include "Game/pHighScoreList.h"
#include "Game/pHighScoreNameEntry.h"

#include "Platform/pResourceFolder.h"
#include "tests/Input/InputFixture.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

namespace {
// The table's rows as "name=score;".
std::string rows(pHighScoreList& list) {
    std::string all;
    for (int i = 0; i < list.size; i++)
        all += list.getName(i) + "=" + std::to_string(list.getScore(i)) + ";";
    return all;
}
} // namespace

// Without a file the table is the blank one; an equal score goes below, the last row drops out,
// and names the file cannot hold as they are read back beside their scores; a short or broken
// shipped table is filled from the blank one, its scores kept within int.
TEST(HighScores, TheTableKeepsTenRowsBestFirstAndReadsBackWhatItSaves) {
    TempFolder shipped, player;
    setResourceFolder(shipped.path());
    setUserDataFolder(player.path());
    pHighScoreList list;
    EXPECT_EQ(rows(list).substr(0, 23) + rows(list).substr(rows(list).rfind("No One9")),
              "No One0=100;No One1=95;No One9=55;");
    EXPECT_EQ(std::to_string(list.newScoreIndex(101)) + std::to_string(list.newScoreIndex(100)) +
                  std::to_string(list.newScoreIndex(56)) + std::to_string(list.scoreIsHigh(55)),
              "0190");
    EXPECT_FLOAT_EQ(list.getHeight(20), 335);
    for (auto [name, score] :
         {std::pair{"Ann", 100}, {"Bob", 100}, {"Cy", 55}, {"", 300}, {"}", 200}})
        list.insertScore(name, score);
    pHighScoreList reread; // the player's copy is found first
    EXPECT_EQ(rows(reread), "=300;}=200;No One0=100;Ann=100;Bob=100;No One1=95;No One2=90;"
                            "No One3=85;No One4=80;No One5=75;");
    std::filesystem::remove(player.file("scores.txt"));
    std::string read;
    for (const char* text : {"{\nname\nZed\n}\n{\nscore\n500\n400\n}\n", "score\n1\n",
                             "{\nname\nQ\n}\n{\nscore\n99999999999\n}\n"}) {
        writeFileBytes(shipped.file("scores.txt"), text);
        pHighScoreList shippedList;
        read += rows(shippedList).substr(0, 14) + "|";
    }
    EXPECT_EQ(read, "Zed=500;No One|No One0=100;No|Q=2147483647;N|");
    setResourceFolder("");
    setUserDataFolder("");
}

// The name entry types this frame's printable keys in the order they went down, with Shift for
// capitals and symbols; a held Backspace deletes with the screen's key repeat.
TEST_F(InputTest, NameEntryTypesPrintableKeysAndBackspaceDeletes) {
    pHighScoreNameEntry entry;
    auto step = [&](std::initializer_list<PKEYCODE> down) {
        for (PKEYCODE k : down)
            hold(k);
        entry.listenForEventsAndUpdate();
        frame();
        for (PKEYCODE k : down)
            letGo(k);
    };
    step({PKEY_A});
    sendModifiers(PMODIFIER_SHIFT);
    step({PKEY_B});
    sendModifiers(0);
    step({PKEY_SPACE, PKEY_RETURN, PKEY_LEFT, PKEY_1});
    EXPECT_EQ(entry.getName(), "aB 1");
    keyboard->enableRepeat(250.0, 20.0);
    hold(PKEY_BACKSPACE);
    std::string names;
    for (int wait : {0, 200, 51, 21, 21, 21}) {
        clock.advance(wait);
        step({});
        names += entry.getName() + "|";
    }
    EXPECT_EQ(names, "aB |aB |aB|a|||");
}
