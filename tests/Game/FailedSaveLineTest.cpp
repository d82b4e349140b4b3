// A score that could not be saved is said on the High Scores screen, under the table, in the
// game's font; standard output alone is not where a player looks.
#include "Game/pPlinx.h"
#include "Platform/pResourceFolder.h"
#include "Shell/pGame.h"
#include "Shell/pOGLUtil.h"
#include "Text/pTextManager.h"
#include "Utils/pStringUtils.h"
#include "tests/support/FileBytes.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempFolder.h"

namespace {

class FailedSaveLine : public GLTestContext {
protected:
    TempFolder player;
    pTextManager* text = pTextManager::instance();

    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        setResourceFolder(PLINX_SOURCE_DIR "/Resources");
        setUserDataFolder(player.path());
        text->currentFont = nullptr;
        text->fonts.clear();
        ASSERT_TRUE(text->loadAndSetFont(getResourcePath("Brisk.tga"), "Brisk"));
        pGame::instance()->windowWidth = kWidth;
        pGame::instance()->windowHeight = kHeight;
    }
    void TearDown() override {
        text->currentFont = nullptr;
        text->fonts.clear();
        setResourceFolder("");
        setUserDataFolder("");
        GLTestContext::TearDown();
    }
    // Lit pixels of the screen between the table's last row and the menu, across the middle.
    int inkUnderTheTable() {
        pPlinx* game = pPlinx::instance();
        game->viewWidth = kWidth;
        game->viewHeight = kHeight;
        glClear(GL_COLOR_BUFFER_BIT);
        pOGLUtil::setOrthographicProjection(kWidth, kHeight);
        game->drawHighScoreScreen();
        int lit = 0;
        for (int y = 405; y < 421; y++)
            for (int x = 200; x < 440; x++)
                lit += pixel(x, y)[0] > 60;
        return lit;
    }
};

} // namespace

TEST_F(FailedSaveLine, ShownAfterAFailedSaveOnlyAndOnlyWithTheFont) {
    pHighScoreList& table = pPlinx::instance()->highScoreList;
    table.insertScore("Ann", 1000);
    ASSERT_FALSE(table.lastSaveFailed());
    EXPECT_EQ(inkUnderTheTable(), 0);

    // A folder below a plain file cannot be made: the next save fails.
    writeFileBytes(player.file("file"), "");
    setUserDataFolder(player.file("file/plinx"));
    testing::internal::CaptureStdout();
    table.insertScore("Bob", 2000);
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(table.lastSaveFailed());
    EXPECT_GT(inkUnderTheTable(), 100) << "no line under the table";

    text->currentFont = nullptr;
    text->fonts.clear();
    EXPECT_EQ(inkUnderTheTable(), 0) << "without the font nothing can be said";

    setUserDataFolder(player.path());
    table.insertScore("Cy", 3000);
    EXPECT_FALSE(table.lastSaveFailed());
}
