// A score that could not be saved is said on the High Scores screen, under the table, in the
// game's font: standard output is not where a player looks.
#include "Game/pPlinx.h"
#include "Shell/pGame.h"
#include "Shell/pOGLUtil.h"
#include "Text/pTextManager.h"
#include "Utils/pStringUtils.h"
#include "tests/support/FileBytes.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/PlayerFolders.h"

namespace {
struct FailedSaveLine : GLTestContext {
    // Lit pixels between the table's last row and the menu, across the middle of the screen.
    int inkUnderTheTable() {
        pPlinx* game = pPlinx::instance();
        game->viewWidth = pGame::instance()->windowWidth = kWidth;
        game->viewHeight = pGame::instance()->windowHeight = kHeight;
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
    PlayerFolders folders;
    pTextManager* text = pTextManager::instance();
    text->fonts.clear();
    ASSERT_TRUE(text->loadAndSetFont(PLINX_SOURCE_DIR "/Resources/Brisk.tga", "Brisk"));
    pHighScoreList& table = pPlinx::instance()->highScoreList;
    table.insertScore("Ann", 1000);
    EXPECT_EQ(inkUnderTheTable(), 0);

    // A folder below a plain file cannot be made: the next save fails.
    writeFileBytes(folders.player.file("file"), "");
    setUserDataFolder(folders.player.file("file/plinx"));
    testing::internal::CaptureStdout();
    table.insertScore("Bob", 2000);
    testing::internal::GetCapturedStdout();
    EXPECT_GT(inkUnderTheTable(), 100) << "no line under the table";

    text->currentFont = nullptr;
    text->fonts.clear();
    EXPECT_EQ(inkUnderTheTable(), 0) << "without the font nothing can be said";
}
