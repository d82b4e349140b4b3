#include "Game/pHighScoreList.h"

#include "Platform/pResourceFolder.h"
#include "Shell/pGame.h"
#include "Text/pTextManager.h"
#include "tests/support/FileBytes.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempFolder.h"

#include <cmath>

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
    void ship(const std::string& text) { writeFileBytes(shipped.file("scores.txt"), text); }
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
    for (auto [score, row] : {std::pair{101, 0}, {100, 1}, {56, 9}, {55, -1}})
        EXPECT_EQ(list.newScoreIndex(score), row) << score;
    EXPECT_FALSE(list.scoreIsHigh(55));
    EXPECT_TRUE(list.scoreIsHigh(56));
    EXPECT_FLOAT_EQ(list.getHeight(20), 335);

    list.insertScore("Ann", 100);
    list.insertScore("Bob", 100);
    list.insertScore("Cy", 55); // does not qualify
    EXPECT_EQ(rows(list), "No One0=100;Ann=100;Bob=100;No One1=95;No One2=90;No One3=85;"
                          "No One4=80;No One5=75;No One6=70;No One7=65;");
    pHighScoreList reread; // the player's copy is found first
    EXPECT_EQ(rows(reread), rows(list));

    // Names the file's format cannot hold as they are read back beside their scores.
    list.insertScore("", 300);
    list.insertScore("}", 200);
    EXPECT_EQ(readFileBytes(player.file("scores.txt")).substr(0, 12), "{\nname\n \n} \n");
    pHighScoreList odd;
    EXPECT_EQ(rows(odd).substr(0, 20), "=300;}=200;No One0=1");
}

TEST_F(HighScores, ShortOrBrokenTablesAreFilledFromTheBlankTable) {
    ship("{\nname\nZed\nYin\n}\n{\nscore\n500\n400\n300\n}\n");
    pHighScoreList shortTable;
    EXPECT_EQ(rows(shortTable), "Zed=500;Yin=400;No One2=90;No One3=85;No One4=80;No One5=75;"
                                "No One6=70;No One7=65;No One8=60;No One9=55;");
    ship("score\n1\n2\n");
    pHighScoreList broken;
    EXPECT_EQ(rows(broken), BLANK);
    ship("{\nname\nQ\n}\n{\nscore\n99999999999\n}\n");
    pHighScoreList huge;
    EXPECT_EQ(huge.newScoreIndex(2000000000), 1) << "an oversized score must not wrap around";
}

using HighScoreTable = GLTestContext;

// The rows as the table screen draws them, at two view heights: everything scales with it.
TEST_F(HighScoreTable, RowsScaleWithTheViewAndTakeTheirTint) {
    setResourceFolder(PLINX_SOURCE_DIR "/Resources");
    setUserDataFolder(PLINX_SOURCE_DIR "/tests/data/no-such-folder");
    pTextManager* text = pTextManager::instance();
    ASSERT_TRUE(text->setCurrentFont("Brisk") ||
                text->loadAndSetFont(PLINX_SOURCE_DIR "/Resources/Brisk.tga", "Brisk"));
    pHighScoreList list;
    pGame* game = pGame::instance();
    const int height = game->windowHeight;
    blended();
    for (int view : {240, 480}) {
        game->windowHeight = view;
        glClear(GL_COLOR_BUFFER_BIT);
        std::vector<pTextManager::DrawnString> drawn;
        text->drawn = &drawn;
        list.draw(kWidth, view, 20, view / 480.0f * 85, 0);
        text->drawn = nullptr;
        ASSERT_EQ(drawn.size(), 20u);
        const float s = view / 24.0f;
        for (int row = 0; row < 10; row++) {
            const auto &name = drawn[2 * row], &score = drawn[2 * row + 1];
            EXPECT_EQ(name.text, "No One" + std::to_string(row));
            EXPECT_EQ(score.text, std::to_string(100 - 5 * row));
            EXPECT_EQ(name.x, 64);
            EXPECT_EQ(score.x, kWidth - 64);
            EXPECT_TRUE(name.align == pTextManager::Align::LEFT &&
                        score.align == pTextManager::Align::RIGHT);
            EXPECT_FLOAT_EQ(name.y, row * 1.75f * s + s * 85 / 20);
            EXPECT_FLOAT_EQ(score.y, name.y);
            EXPECT_FLOAT_EQ(name.h, s);
        }
    }
    game->windowHeight = height;
    // Row 0's pastel tint at time 0, on the brightest ink of its name (at 480).
    unsigned char brightest[3] = {0, 0, 0};
    std::vector<unsigned char> all = readAll();
    for (int y = 60; y < 90; y++)
        for (int x = 64; x < 200; x++) {
            const unsigned char* p = &all[((kHeight - 1 - y) * kWidth + x) * 4];
            if (p[0] + p[1] + p[2] > brightest[0] + brightest[1] + brightest[2])
                std::copy(p, p + 3, brightest);
        }
    const double tint[3] = {0.8 + 0.2 * std::cos(734.0f), 0.8 + 0.2 * std::cos(234243.0f),
                            0.8 + 0.2 * std::cos(354534.0f)};
    for (int c = 0; c < 3; c++)
        EXPECT_NEAR(brightest[c], tint[c] * 255, 4) << c;
    setResourceFolder("");
    setUserDataFolder("");
}
