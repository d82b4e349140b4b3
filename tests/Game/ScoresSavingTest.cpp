// Saving the table where another copy of the game saves too, and through a symbolic link: no
// score is lost and the link stays a link.
#include "Game/pHighScoreList.h"
#include "tests/support/FileBytes.h"
#include "tests/support/PlayerFolders.h"

#include <gtest/gtest.h>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

TEST(ScoresSaving, CopiesOfTheGameSavingAtOnceKeepEveryScore) {
    PlayerFolders folders;
    // Each copy reads the table, waits until all have, then enters its scores one by one.
    constexpr int copies = 3, scoresEach = 3;
    int ready[2], go[2];
    ASSERT_TRUE(pipe(ready) == 0 && pipe(go) == 0);
    std::vector<pid_t> children;
    for (int copy = 0; copy < copies; copy++) {
        children.push_back(fork());
        if (children.back() == 0) {
            close(go[1]);
            testing::internal::CaptureStdout();
            pHighScoreList list;
            char byte = 0;
            bool together = write(ready[1], &byte, 1) == 1 && read(go[0], &byte, 1) == 0;
            for (int i = 0; i < scoresEach; i++)
                list.insertScore("C", 1000 + copy * 10 + i);
            _exit(together && !list.lastSaveFailed() ? 0 : 1);
        }
    }
    char byte;
    for (int copy = 0; copy < copies; copy++)
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(go[1]); // all go at once
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    pHighScoreList table;
    std::set<int> saved;
    for (int row = 0; row < table.size; row++)
        saved.insert(table.getScore(row));
    for (int copy = 0; copy < copies; copy++)
        for (int i = 0; i < scoresEach; i++)
            EXPECT_TRUE(saved.count(1000 + copy * 10 + i)) << "copy " << copy << " score " << i;
}

TEST(ScoresSaving, ThroughASymbolicLinkTheLinkedFileGetsTheScore) {
    PlayerFolders folders;
    TempFolder dotfiles;
    const std::string link = folders.player.file("scores.txt");
    const std::string elsewhere = std::filesystem::path(dotfiles.path()).filename().string();
    for (const std::string& target : {dotfiles.file("mine"), "../" + elsewhere + "/relative"}) {
        SCOPED_TRACE(target);
        std::filesystem::remove(link);
        std::filesystem::create_symlink(target, link);
        // A relative link leads on from the link's folder.
        const std::string file = (std::filesystem::path(folders.player.path()) / target).string();
        writeFileBytes(file, "{\nname\nOld\n}\n{\nscore\n500\n}\n");
        testing::internal::CaptureStdout();
        pHighScoreList list;
        list.insertScore("New", 600);
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(std::filesystem::is_symlink(link)) << "the link was replaced";
        EXPECT_EQ(readFileBytes(file).substr(0, 18), "{\nname\nNew\nOld\nNo ");
        // Nothing but the link and the lock the saves take.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folders.player.path()), {}), 2);
    }
}
