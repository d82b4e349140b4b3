#include "Game/pHighScoreList.h"

#include "Platform/pResourceFolder.h"
#include "tests/support/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {
// Shipped resources and the player's folder both point at fresh temp folders.
struct HighScores : ::testing::Test {
    TempFolder shipped, player;
    void SetUp() override {
        setResourceFolder(shipped.path());
        setUserDataFolder(player.path());
    }
    void TearDown() override {
        setResourceFolder("");
        setUserDataFolder("");
    }
    void ship(const std::string& text) { std::ofstream(shipped.file("scores.txt")) << text; }
    std::string saved() {
        std::stringstream text;
        text << std::ifstream(player.file("scores.txt")).rdbuf();
        return text.str();
    }
    static std::string rows(pHighScoreList& list) {
        std::string all;
        for (int i = 0; i < list.size; i++)
            all += list.getName(i) + "=" + std::to_string(list.getScore(i)) + ";";
        return all;
    }
};

const char* const BLANK = "No One0=100;No One1=95;No One2=90;No One3=85;No One4=80;No One5=75;"
                          "No One6=70;No One7=65;No One8=60;No One9=55;";
} // namespace

TEST_F(HighScores, EqualScoresGoBelowAndTheLastRowDropsOut) {
    pHighScoreList list; // no scores.txt anywhere: the blank table
    EXPECT_EQ(rows(list), BLANK);
    EXPECT_EQ(list.newScoreIndex(101), 0);
    EXPECT_EQ(list.newScoreIndex(100), 1);
    EXPECT_EQ(list.newScoreIndex(56), 9);
    EXPECT_FALSE(list.scoreIsHigh(55));
    EXPECT_FLOAT_EQ(list.getHeight(20), 335);

    list.insertScore("Ann", 100);
    list.insertScore("Bob", 100);
    list.insertScore("Cy", 55); // does not qualify: nothing written
    EXPECT_EQ(list.getName(1), "Ann");
    EXPECT_EQ(list.getName(2), "Bob");
    EXPECT_EQ(list.getName(9), "No One7");
    pHighScoreList reread; // the player's copy is found first
    EXPECT_EQ(rows(reread), rows(list));
}

TEST_F(HighScores, EmptyAndBraceNamesReadBackBesideTheirScores) {
    pHighScoreList list;
    list.insertScore("", 300);
    list.insertScore("}", 200);
    EXPECT_EQ(saved().substr(0, 12), "{\nname\n \n} \n");
    pHighScoreList reread;
    EXPECT_EQ(reread.getName(0), "");
    EXPECT_EQ(reread.getScore(0), 300);
    EXPECT_EQ(reread.getName(1), "}");
    EXPECT_EQ(reread.getScore(1), 200);
    EXPECT_EQ(reread.getName(9), "No One7");
    EXPECT_EQ(reread.getScore(9), 65);
}

TEST_F(HighScores, ShortOrBrokenTablesAreFilledFromTheBlankTable) {
    ship("{\nname\nZed\nYin\n}\n{\nscore\n500\n400\n300\n}\n");
    pHighScoreList shortTable;
    EXPECT_EQ(rows(shortTable), "Zed=500;Yin=400;No One2=90;No One3=85;No One4=80;No One5=75;"
                                "No One6=70;No One7=65;No One8=60;No One9=55;");
    EXPECT_EQ(shortTable.newScoreIndex(10), -1);

    ship("score\n1\n2\n");
    pHighScoreList broken;
    EXPECT_EQ(rows(broken), BLANK);

    ship("{\nname\nQ\n}\n{\nscore\n99999999999\n}\n");
    pHighScoreList huge;
    EXPECT_EQ(huge.newScoreIndex(2000000000), 1) << "an oversized score must not wrap around";
}
