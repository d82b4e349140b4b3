// A damaged copy of a picture, the font or the sound in the player's folder stands in front of
// the good one the game came with: the game says so and loads its own.
#include "tests/support/FileBytes.h"
#include "tests/support/GameProcess.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

TEST(BadUserCopy, EachIsNamedAndTheShippedCopyLoadsInstead) {
    TempFolder data;
    std::filesystem::create_directory(data.file("plinx"));
    const std::string names[] = {"Brisk.tga",  "tallowbrook.tga", "menublip.mp3",
                                 "splash.tga", "bg.tga",          "block.tga"};
    for (const std::string& name : names) // the sound file holds no sound at all
        writeFileBytes(data.file("plinx/") + name, name == "menublip.mp3" ? "" : "no picture");
    GameProcess game({"XDG_DATA_HOME=" + data.path(), "XDG_CACHE_HOME=" + data.path()});
    // block.tga is the last file loaded.
    ASSERT_TRUE(game.waitFor(
        [&] { return game.output().find("cannot load block.tga") != std::string::npos; }, 60))
        << game.output();
    kill(game.pid, SIGTERM);
    EXPECT_EQ(game.wait(30), 0);
    for (const std::string& name : names) {
        const std::string said = "Error, cannot load " + name + ".\n" + data.file("plinx/") + name +
                                 " is not a file the game can read; using the copy the game "
                                 "came with, ";
        EXPECT_NE(game.output().find(said), std::string::npos) << name << "\n" << game.output();
    }
    EXPECT_EQ(game.output().find("going on without it"), std::string::npos) << game.output();
}
