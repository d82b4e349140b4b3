// A game killed at any moment of a save still finds scores.txt and prefs.txt whole afterwards:
// the previous file or the new one, never a mix or a cut-off.
#include "File/cAttribs.h"
#include "File/pPreferencesManager.h"
#include "Game/pHighScoreList.h"
#include "Platform/pResourceFolder.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
// PLINX_CRASH_KILLS raises the count for a long run by hand.
int killCount() {
    const char* count = std::getenv("PLINX_CRASH_KILLS");
    return count && std::atoi(count) > 0 ? std::atoi(count) : 200;
}

// The forked child: what a game does on every high score and at exit, over and over, each round
// starting from the files on disk as a restarted game would. Both preferences carry the same
// value, so a file mixing two saves shows.
void saveRound() {
    pHighScoreList list;
    int score = list.getScore(0) + 1;
    list.insertScore("P" + std::to_string(score), score);
    pPreferencesManager prefs;
    prefs.setPref("fxVolume", std::to_string(score));
    prefs.setPref("lastScore", std::to_string(score));
    prefs.writeFile();
}

// The top score of a whole table, or a failure naming what is wrong.
::testing::AssertionResult wholeScores(const std::string& path, int& top) {
    cAttribs file;
    if (!file.readFile(path))
        return ::testing::AssertionFailure() << "unreadable:\n" << readFileBytes(path);
    if (file.kinds != std::vector<std::string>{"name", "score"})
        return ::testing::AssertionFailure() << "wrong kinds:\n" << readFileBytes(path);
    const auto& names = file.attribs["name"]->data;
    const auto& scores = file.attribs["score"]->data;
    if (names.size() != 10 || scores.size() != 10)
        return ::testing::AssertionFailure() << "not ten rows:\n" << readFileBytes(path);
    for (int row = 0; row < 10; row++) {
        int score = std::atoi(scores[row].c_str());
        if (row > 0 && score > std::atoi(scores[row - 1].c_str()))
            return ::testing::AssertionFailure() << "rows out of order:\n" << readFileBytes(path);
        if (names[row] != "P" + std::to_string(score) && names[row].rfind("No One", 0) != 0)
            return ::testing::AssertionFailure() << "name beside another score:\n"
                                                 << readFileBytes(path);
    }
    top = std::atoi(scores[0].c_str());
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult wholePrefs(const std::string& path) {
    cAttribs file;
    if (!file.readFile(path) || file.kinds != std::vector<std::string>{"fxVolume", "lastScore"} ||
        file.attribs["fxVolume"]->data.size() != 1 ||
        file.attribs["fxVolume"]->data != file.attribs["lastScore"]->data)
        return ::testing::AssertionFailure() << "torn prefs.txt:\n" << readFileBytes(path);
    return ::testing::AssertionSuccess();
}
} // namespace

TEST(CrashSafety, KilledSavesLeaveScoresAndPrefsWhole) {
    TempFolder shipped, player;
    writeFileBytes(shipped.file("prefs.txt"), "{\nfxVolume\n256\n}\n{\nlastScore\n256\n}\n");
    setResourceFolder(shipped.path());
    setUserDataFolder(player.path());

    std::random_device device;
    const unsigned seed = device();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    // Kills land anywhere in a child's life up to the end of its first round of saves, however
    // slowly the process forks and the disk syncs: the quickest of three forked rounds sets the
    // range.
    auto round = std::chrono::microseconds::max();
    for (int i = 0; i < 3; i++) {
        auto start = std::chrono::steady_clock::now();
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            saveRound();
            _exit(0);
        }
        ASSERT_EQ(waitpid(child, nullptr, 0), child);
        round = std::min(round, std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::steady_clock::now() - start));
    }
    std::uniform_int_distribution<int> delayMicroseconds(0,
                                                         3 * static_cast<int>(round.count()) / 2);

    int top = 103, kills = killCount();
    for (int kill = 0; kill < kills; kill++) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            for (;;)
                saveRound();
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "child ended early";

        int before = top;
        ASSERT_TRUE(wholeScores(player.file("scores.txt"), top)) << "after kill " << kill;
        ASSERT_GE(top, before) << "a saved score was lost after kill " << kill;
        if (std::filesystem::exists(player.file("prefs.txt"))) {
            ASSERT_TRUE(wholePrefs(player.file("prefs.txt"))) << "after kill " << kill;
        }
    }
    // The children got far enough to save often, so the kills did land amid saves.
    EXPECT_GT(top, 103 + kills / 10);
    int leftovers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(player.path()))
        leftovers += entry.path().filename().string()[0] == '.';
    std::printf("%d kills, %d saved scores, %d kills amid a write\n", kills, top - 103, leftovers);

    setResourceFolder("");
    setUserDataFolder("");
}
