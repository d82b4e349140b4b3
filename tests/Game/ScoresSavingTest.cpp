// Saving the table where another copy of the game saves too, and through a symbolic link: no
// score is lost and the link stays a link.
#include "Game/pHighScoreList.h"
#include "Platform/pResourceFolder.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace {
struct ScoresSaving : ::testing::Test {
    TempFolder shipped, player;
    void SetUp() override {
        setResourceFolder(shipped.path());
        setUserDataFolder(player.path());
    }
    void TearDown() override {
        setResourceFolder("");
        setUserDataFolder("");
    }
};
} // namespace

TEST_F(ScoresSaving, CopiesOfTheGameSavingAtOnceKeepEveryScore) {
    // Each copy reads the table, waits until all have, then enters its scores one by one.
    constexpr int copies = 3, scoresEach = 3;
    int ready[2], go[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(go), 0);
    std::vector<pid_t> children;
    for (int copy = 0; copy < copies; copy++) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            close(go[1]);
            testing::internal::CaptureStdout();
            pHighScoreList list;
            char byte = 0;
            bool wrote = write(ready[1], &byte, 1) == 1;
            bool released = read(go[0], &byte, 1) == 0;
            for (int i = 0; i < scoresEach; i++)
                list.insertScore("C" + std::to_string(copy), 1000 + copy * 10 + i);
            _exit(wrote && released && !list.lastSaveFailed() ? 0 : 1);
        }
        children.push_back(child);
    }
    close(ready[1]);
    close(go[0]);
    char byte;
    for (int copy = 0; copy < copies; copy++)
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(go[1]); // all go at once
    close(ready[0]);
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    pHighScoreList table;
    std::multiset<int> saved;
    for (int row = 0; row < table.size; row++)
        saved.insert(table.getScore(row));
    for (int copy = 0; copy < copies; copy++)
        for (int i = 0; i < scoresEach; i++)
            EXPECT_EQ(saved.count(1000 + copy * 10 + i), 1u) << "copy " << copy << " score " << i;
}

TEST_F(ScoresSaving, ThroughASymbolicLinkTheLinkedFileGetsTheScore) {
    TempFolder dotfiles;
    const std::string link = player.file("scores.txt");
    for (const std::string& target :
         {dotfiles.file("plinx-scores"),
          std::string("../") + std::filesystem::path(dotfiles.path()).filename().string() +
              "/relative-scores"}) {
        SCOPED_TRACE(target);
        std::filesystem::remove(link);
        std::filesystem::create_symlink(target, link);
        // A relative link leads on from the link's folder.
        const std::string file = (std::filesystem::path(player.path()) / target).string();
        writeFileBytes(file, "{\nname\nOld\n}\n{\nscore\n500\n}\n");
        testing::internal::CaptureStdout();
        pHighScoreList list;
        list.insertScore("New", 600);
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(std::filesystem::is_symlink(link)) << "the link was replaced";
        EXPECT_EQ(readFileBytes(file).substr(0, 18), "{\nname\nNew\nOld\nNo ");
        // Nothing but the link and the save lock beside it.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(player.path()), {}), 2);
    }
}
