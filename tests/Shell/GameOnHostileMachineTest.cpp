// The real game binary on a machine that is short of something: it ends when asked even while
// loading huge pictures, and a save that a file size limit stops fails with a message instead
// of ending the game.
#include "tests/support/GameProcess.h"
#include "tests/support/PictureFiles.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

TEST(GameOnHostileMachine, AskedToEndWhileLoadingItStopsBeforeTheNextPicture) {
    TempFolder data;
    std::filesystem::create_directory(data.file("plinx"));
    // Pictures as large as the game takes, loaded one after the other.
    for (const char* name : {"splash.tga", "bg.tga", "block.tga"})
        runLengthTga(4096, 4096).writeTo(data.file("plinx/") + name);
    GameProcess game({"XDG_DATA_HOME=" + data.path(), "XDG_CACHE_HOME=" + data.path()});
    ASSERT_GT(game.pid, 0);
    ASSERT_TRUE(game.waitUntilOpen(data.file("plinx/bg.tga"), 30)) << game.output();
    kill(game.pid, SIGTERM);
    bool readBlock = false;
    int status = -1000;
    for (int i = 0; i < 20000 && status == -1000; i++) {
        readBlock = readBlock || game.hasOpen(data.file("plinx/block.tga"));
        status = game.wait(0.001);
    }
    EXPECT_EQ(status, 0) << game.output();
    EXPECT_FALSE(readBlock) << "went on loading after the request to end";
}

TEST(GameOnHostileMachine, ASaveStoppedByAFileSizeLimitFailsAndTheGameGoesOn) {
    TempFolder data;
    std::filesystem::create_directory(data.file("plinx"));
    // A large background shows when the game is up and loading.
    const std::string background = runLengthTga(4096, 4096).writeTo(data.file("plinx/bg.tga"));
    // prefs.txt, saved at exit, is longer than eight bytes.
    GameProcess game({"XDG_DATA_HOME=" + data.path(), "XDG_CACHE_HOME=" + data.path()}, 8);
    ASSERT_GT(game.pid, 0);
    ASSERT_TRUE(game.waitUntilOpen(background, 30)) << game.output();
    kill(game.pid, SIGTERM);
    EXPECT_EQ(game.wait(30), 0) << game.output();
    const std::string prefs = data.file("plinx/prefs.txt");
    EXPECT_NE(game.output().find("Error: cannot write " + prefs + ": File too large\n"),
              std::string::npos)
        << game.output();
    EXPECT_FALSE(std::filesystem::exists(prefs));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(data.file("plinx")), {}), 1)
        << "a temporary file was left";
}
