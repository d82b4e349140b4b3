// Where the scores are kept: ties, a damaged or short scores.txt, other copies of the game saving
// at once, a symbolic link, saves killed part-way, and homes that cannot be written.
#include "Game/pHighScoreList.h"

#include "File/cAttribs.h"
#include "File/pPreferencesManager.h"
#include "tests/support/Files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <pwd.h>
#include <random>
#include <sys/stat.h>
#include <thread>

namespace {

// The rows as "name=score;".
std::string rows(pHighScoreList& list) {
    std::string all;
    for (int i = 0; i < list.size; i++)
        all += list.getName(i) + "=" + std::to_string(list.getScore(i)) + ";";
    return all;
}

// Rows `from` to `to` of a table counting down by `step` from `top`, as rows() gives them.
std::string run(const std::string& name, int top, int step, int from, int to) {
    std::string all;
    for (int row = from; row <= to; row++)
        all += name + std::to_string(row) + "=" + std::to_string(top - step * row) + ";";
    return all;
}

// The table Keep0 = 200 down to Keep9 = 110, with one name line and one score line replaced.
std::string scoresFile(int nameRow, const std::string& name, int scoreRow, const std::string& score,
                       const std::string& scoreKind = "score") {
    std::string names, scores;
    for (int row = 0; row < 10; row++) {
        names += (row == nameRow ? name : "Keep" + std::to_string(row)) + "\n";
        scores += (row == scoreRow ? score : std::to_string(200 - 10 * row)) + "\n";
    }
    return "{\nname\n" + names + "}\n{\n" + scoreKind + "\n" + scores + "}\n";
}

} // namespace

// Every row that still pairs a name with its score keeps it, the table stays sorted best first
// (an equal score goes below, the last row drops out), and a damaged file is kept aside before
// the first save, never over an earlier copy.
TEST(HighScores, RowsStayPairedAndSortedAndDamagedFilesAreKeptAside) {
    PlayerFolders folders;
    const std::string mine = folders.player.file("scores.txt");
    // The rows of scoresFile's table and of the shipped blank one.
    const auto keep = [](int from, int to) { return run("Keep", 200, 10, from, to); };
    const auto noOne = [](int from, int to) { return run("No One", 100, 5, from, to); };
    {
        pHighScoreList blank; // no scores.txt anywhere; Cy's 55 beats no row
        for (auto [name, score] : {std::pair{"Ann", 100}, {"Bob", 100}, {"Cy", 55}})
            blank.insertScore(name, score);
    }
    pHighScoreList tied;
    EXPECT_EQ(rows(tied), noOne(0, 0) + "Ann=100;Bob=100;" + noOne(1, 7));
    const std::tuple<std::string, std::string, bool> cases[] = {
        // A NUL byte in a name and in a score.
        {scoresFile(3, std::string("Ke\0ep3", 6), 5, std::string("1\00050", 4)),
         keep(0, 4) + keep(6, 9) + noOne(5, 5), true},
        // A blank score line.
        {scoresFile(-1, "", 3, ""), keep(0, 2) + keep(4, 9) + noOne(3, 3), true},
        // A damaged score block: no score is left for any name.
        {scoresFile(-1, "", -1, "", "scroe"), noOne(0, 9), true},
        // Two rows only, and ten out of order: the blank table fills in, all best first.
        {"{\nname\nA\nB\n}\n{\nscore\n30\n20\n}\n", noOne(2, 9) + "A=30;B=20;", false},
        {scoresFile(-1, "", 0, "1"), keep(1, 9) + "Keep0=1;", false},
    };
    std::vector<std::string> keptAside;
    for (const auto& [file, expected, damaged] : cases) {
        SCOPED_TRACE(expected);
        writeFileBytes(mine, file);
        testing::internal::CaptureStdout();
        pHighScoreList list;
        EXPECT_EQ(rows(list), expected);
        list.insertScore("New", 1000);
        const std::string said = testing::internal::GetCapturedStdout();
        const std::string copy =
            mine + ".broken" + (keptAside.empty() ? "" : "." + std::to_string(keptAside.size()));
        EXPECT_EQ(said.find("Kept the damaged " + mine + " as " + copy + ".\n") != said.npos,
                  damaged)
            << said;
        if (damaged)
            keptAside.push_back(file);
        pHighScoreList reread;
        EXPECT_EQ(rows(reread), rows(list));
        EXPECT_EQ(rows(list).substr(0, 9), "New=1000;");
    }
    for (size_t i = 0; i < keptAside.size(); i++)
        EXPECT_EQ(readFileBytes(mine + ".broken" + (i ? "." + std::to_string(i) : "")),
                  keptAside[i]);
}

// Copies of the game that read the table together and then enter their scores one by one keep
// every score; through a symbolic link (absolute or relative) the linked file gets them, and
// the link stays.
TEST(HighScores, CopiesSavingAtOnceKeepEveryScoreAndALinkStaysALink) {
    PlayerFolders folders;
    int ready[2], go[2];
    ASSERT_TRUE(pipe(ready) == 0 && pipe(go) == 0);
    std::vector<pid_t> copies;
    char byte = 0;
    for (int copy = 0; copy < 3; copy++) {
        if ((copies.emplace_back(fork())) == 0) {
            close(go[1]);
            std::freopen("/dev/null", "w", stdout);
            pHighScoreList list;
            bool together = write(ready[1], &byte, 1) == 1 && read(go[0], &byte, 1) == 0;
            for (int i = 0; i < 3; i++)
                list.insertScore("C", 1000 + copy * 10 + i);
            _exit(together && !list.lastSaveFailed() ? 0 : 1);
        }
    }
    for (int copy = 0; copy < 3; copy++)
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(go[1]); // all go at once
    for (pid_t child : copies) {
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_EQ(status, 0);
    }
    pHighScoreList table;
    EXPECT_EQ(rows(table), "C=1022;C=1021;C=1020;C=1012;C=1011;C=1010;C=1002;C=1001;C=1000;"
                           "No One0=100;");

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

// A game killed at any moment of a save finds scores.txt and prefs.txt whole afterwards: the
// file before the save or after it, never a mix or a cut-off one.
TEST(HighScores, SavesKilledAtAnyMomentLeaveScoresAndPrefsWhole) {
    PlayerFolders folders;
    writeFileBytes(folders.shipped.file("prefs.txt"),
                   "{\nfxVolume\n256\n}\n{\nlastScore\n256\n}\n");
    // What a game does on a high score and at exit, each time from the files on disk. Both
    // preferences take the same value, so a file mixing two saves shows.
    auto saveRound = [] {
        std::freopen("/dev/null", "w", stdout);
        pHighScoreList list;
        const std::string score = std::to_string(list.getScore(0) + 1);
        list.insertScore("P" + score, std::stoi(score));
        pPreferencesManager prefs;
        prefs.setPref("fxVolume", score);
        prefs.setPref("lastScore", score);
        prefs.writeFile();
    };
    // Kills land anywhere in a child's life up to the end of its first round of saves, however
    // slowly this machine forks and syncs: the quickest of three rounds sets the range.
    using namespace std::chrono;
    microseconds round(1000000);
    for (int i = 0; i < 3; i++) {
        const auto start = steady_clock::now();
        ASSERT_EQ(inChild([&] { return saveRound(), true; }).first, 0);
        round = std::min(round, duration_cast<microseconds>(steady_clock::now() - start));
    }
    const unsigned seed = std::random_device()();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    int top = 103;
    for (int kill = 0; kill < 200; kill++) {
        pid_t child = fork();
        if (child == 0)
            for (;;)
                saveRound();
        std::this_thread::sleep_for(microseconds(random() % (3 * round.count() / 2 + 1)));
        ::kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        // Ten rows, best first, each name beside its own score; one fxVolume, as lastScore.
        const std::string scoresText = readFileBytes(folders.player.file("scores.txt"));
        cAttribs scores, prefs;
        ASSERT_TRUE(scores.readFile(folders.player.file("scores.txt"))) << scoresText;
        ASSERT_EQ(scores.kinds, (std::vector<std::string>{"name", "score"})) << scoresText;
        const auto &names = scores.attribs["name"]->data, &values = scores.attribs["score"]->data;
        ASSERT_TRUE(names.size() == 10 && values.size() == 10) << scoresText;
        for (int row = 0; row < 10; row++)
            ASSERT_TRUE((names[row] == "P" + values[row] || names[row].rfind("No One", 0) == 0) &&
                        (row == 0 || std::stoi(values[row]) <= std::stoi(values[row - 1])))
                << scoresText;
        const std::string prefsFile = folders.player.file("prefs.txt");
        ASSERT_GE(std::stoi(values[0]), top) << "a saved score was lost";
        top = std::stoi(values[0]);
        ASSERT_TRUE(!std::filesystem::exists(prefsFile) ||
                    (prefs.readFile(prefsFile) && prefs.attribs["fxVolume"]->data.size() == 1 &&
                     prefs.attribs["fxVolume"]->data == prefs.attribs["lastScore"]->data))
            << readFileBytes(prefsFile);
    }
    EXPECT_GT(top, 103 + 20) << "the kills did not land amid saves";
}

// Where a save goes, and what it says, when the home folder is read-only, missing from the
// environment, or missing altogether. Each case runs in a child process with its own
// environment and, where root's rights would hide the problem, as another user.
TEST(HighScores, SavesSayWhyTheyFailAndNeverGoToASharedFolder) {
    auto homeIs = [](const char* home) {
        unsetenv("XDG_DATA_HOME");
        home ? setenv("HOME", home, 1) : unsetenv("HOME");
        setUserDataFolder("");
    };
    // The save fails, and the table keeps the score all the same.
    auto saveFails = [] {
        pHighScoreList list;
        list.insertScore("Ann", 1000);
        return list.lastSaveFailed() && list.getName(0) == "Ann";
    };
    TempFolder home;
    chmod(home.path().c_str(), 0555);
    auto [status, said] = inChild([&] { return homeIs(home.path().c_str()), saveFails(); }, 65534);
    EXPECT_EQ(status, 0);
    const std::string file = home.path() + "/.local/share/plinx/scores.txt";
    EXPECT_NE(said.find("Error: cannot write " + file + ": Permission denied\n"), said.npos)
        << said;
    // Without HOME: the account's home folder.
    std::tie(status, said) = inChild([&] {
        homeIs(nullptr);
        passwd* account = getpwuid(getuid());
        return account && userDataFolder() == std::string(account->pw_dir) + "/.local/share/plinx";
    });
    EXPECT_EQ(status, 0) << said;
    // A user without an account: nothing is saved, not even in the working folder, and the
    // game says so once.
    if (geteuid() != 0)
        GTEST_SKIP() << "a user without an account needs root to become";
    uid_t stranger = 54321;
    while (getpwuid(stranger))
        stranger++;
    TempFolder working;
    chmod(working.path().c_str(), 0777);
    std::tie(status, said) = inChild(
        [&] {
            homeIs(nullptr);
            return chdir(working.path().c_str()) == 0 && saveFails() && userDataFolder().empty();
        },
        stranger);
    EXPECT_EQ(status, 0);
    const std::string notice =
        "No home folder for this user: high scores and preferences are not saved.\n";
    EXPECT_NE(said.find(notice), std::string::npos) << said;
    EXPECT_EQ(said.find(notice), said.rfind(notice)) << "said more than once:\n" << said;
    EXPECT_TRUE(std::filesystem::is_empty(working.path())) << "saved in the working folder";
}
