// A damaged copy of a picture, the font or the sound in the player's folder stands in front of
// the good one the game came with: the game says so and loads its own.
#include "tests/support/GameProcess.h"
#include "tests/support/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>

TEST(BadUserCopy, EachIsNamedAndTheShippedCopyLoadsInstead) {
    TempFolder data;
    std::filesystem::create_directory(data.file("plinx"));
    const char* const damaged[] = {"Brisk.tga", "tallowbrook.tga", "splash.tga", "bg.tga",
                                   "block.tga"};
    for (const char* name : damaged)
        std::ofstream(data.file("plinx/") + name) << "not a picture";
    std::ofstream(data.file("plinx/menublip.mp3")); // no sound in it at all
    GameProcess game({"XDG_DATA_HOME=" + data.path(), "XDG_CACHE_HOME=" + data.path()});
    ASSERT_GT(game.pid, 0);
    // block.tga is the last file loaded.
    ASSERT_TRUE(game.waitForOutput("Error, cannot load block.tga", 60)) << game.output();
    kill(game.pid, SIGTERM);
    EXPECT_EQ(game.wait(30), 0);
    std::vector<std::string> names(std::begin(damaged), std::end(damaged));
    names.push_back("menublip.mp3");
    for (const std::string& name : names) {
        const std::string said = "Error, cannot load " + name + ". " + data.file("plinx/") + name +
                                 " is not a file the game can read; using the copy the game "
                                 "came with, ";
        EXPECT_NE(game.output().find(said), std::string::npos) << name << "\n" << game.output();
    }
    EXPECT_EQ(game.output().find("going on without it"), std::string::npos) << game.output();
}
