// A game killed at any moment of a save still finds scores.txt and prefs.txt whole afterwards:
// the previous file or the new one, never a mix or a cut-off.
#include "File/cAttribs.h"
#include "File/pPreferencesManager.h"
#include "Game/pHighScoreList.h"
#include "Platform/pResourceFolder.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// What a game does on every high score and at exit, each round starting from the files on disk
// as a restarted game would. Both preferences carry the same value, so a file mixing two saves
// shows.
void saveRound() {
    pHighScoreList list;
    int score = list.getScore(0) + 1;
    list.insertScore("P" + std::to_string(score), score);
    pPreferencesManager prefs;
    prefs.setPref("fxVolume", std::to_string(score));
    prefs.setPref("lastScore", std::to_string(score));
    prefs.writeFile();
}

// The top score of a whole, ordered table whose names match their scores; -1 otherwise.
int wholeScores(const std::string& path) {
    cAttribs file;
    if (!file.readFile(path) || file.kinds != std::vector<std::string>{"name", "score"})
        return -1;
    const auto &names = file.attribs["name"]->data, &scores = file.attribs["score"]->data;
    if (names.size() != 10 || scores.size() != 10)
        return -1;
    for (int row = 0; row < 10; row++) {
        int score = std::atoi(scores[row].c_str());
        if ((row > 0 && score > std::atoi(scores[row - 1].c_str())) ||
            (names[row] != "P" + std::to_string(score) && names[row].rfind("No One", 0) != 0))
            return -1;
    }
    return std::atoi(scores[0].c_str());
}

bool wholePrefs(const std::string& path) {
    cAttribs file;
    return file.readFile(path) && file.kinds == std::vector<std::string>{"fxVolume", "lastScore"} &&
           file.attribs["fxVolume"]->data.size() == 1 &&
           file.attribs["fxVolume"]->data == file.attribs["lastScore"]->data;
}

} // namespace

TEST(CrashSafety, KilledSavesLeaveScoresAndPrefsWhole) {
    TempFolder shipped, player;
    writeFileBytes(shipped.file("prefs.txt"), "{\nfxVolume\n256\n}\n{\nlastScore\n256\n}\n");
    setResourceFolder(shipped.path());
    setUserDataFolder(player.path());
    const unsigned seed = std::random_device()();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    // Kills land anywhere up to the end of a child's first round of saves, however slowly the
    // process forks and the disk syncs: the quickest of three forked rounds sets the range.
    auto round = std::chrono::microseconds::max();
    for (int i = 0; i < 3; i++) {
        auto start = std::chrono::steady_clock::now();
        pid_t child = fork();
        if (child == 0) {
            saveRound();
            _exit(0);
        }
        ASSERT_EQ(waitpid(child, nullptr, 0), child);
        round = std::min(round, std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::steady_clock::now() - start));
    }
    std::uniform_int_distribution<int> delay(0, 3 * static_cast<int>(round.count()) / 2);
    // PLINX_CRASH_KILLS raises the count for a long run by hand.
    const char* asked = std::getenv("PLINX_CRASH_KILLS");
    const int kills = asked && std::atoi(asked) > 0 ? std::atoi(asked) : 200;
    int top = 103;
    for (int kill = 0; kill < kills; kill++) {
        pid_t child = fork();
        if (child == 0)
            for (;;)
                saveRound();
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "child ended early";
        int before = top;
        top = wholeScores(player.file("scores.txt"));
        ASSERT_GE(top, before) << "a lost or torn save after kill " << kill << ":\n"
                               << readFileBytes(player.file("scores.txt"));
        ASSERT_TRUE(!std::filesystem::exists(player.file("prefs.txt")) ||
                    wholePrefs(player.file("prefs.txt")))
            << "torn prefs.txt after kill " << kill;
    }
    // The children got far enough to save often, so the kills did land amid saves.
    EXPECT_GT(top, 103 + kills / 10);
    setResourceFolder("");
    setUserDataFolder("");
}
