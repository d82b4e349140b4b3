// The real game binary on a machine short of something: asked to end while it loads huge
// pictures, it ends before the next one; a save that a file size limit stops fails with a
// message instead of ending the game.
#include "tests/support/GameProcess.h"
#include "tests/support/PictureFiles.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

TEST(GameOnHostileMachine, EndsWhenAskedWhileLoadingAndSurvivesAFileSizeLimit) {
    TempFolder data;
    std::filesystem::create_directory(data.file("plinx"));
    const std::string background = data.file("plinx/bg.tga"), block = data.file("plinx/block.tga");
    // Pictures as large as the game takes, loaded one after the other.
    runLengthTga(4096, 4096).writeTo(background);
    runLengthTga(4096, 4096).writeTo(block);
    // prefs.txt, saved at exit, is longer than eight bytes.
    GameProcess game({"XDG_DATA_HOME=" + data.path(), "XDG_CACHE_HOME=" + data.path()}, 8);
    ASSERT_TRUE(game.waitFor([&] { return game.hasOpen(background); }, 30)) << game.output();
    kill(game.pid, SIGTERM);
    bool readBlock = false;
    game.waitFor([&] { return (readBlock |= game.hasOpen(block)), game.status() != game.RUNNING; },
                 20);
    EXPECT_EQ(game.wait(0), 0) << game.output();
    EXPECT_FALSE(readBlock) << "went on loading after the request to end";
    const std::string prefs = data.file("plinx/prefs.txt");
    EXPECT_NE(game.output().find("Error: cannot write " + prefs + ": File too large\n"),
              std::string::npos)
        << game.output();
    EXPECT_FALSE(std::filesystem::exists(prefs));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(data.file("plinx")), {}), 2)
        << "a temporary file was left";
}
