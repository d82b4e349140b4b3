// Where the player's files go when the home folder is read-only, missing from the environment,
// or missing altogether. Each case runs in a child process: it changes the environment and, as
// root, drops to a user that root's rights do not hide the problem from.
#include "Game/pHighScoreList.h"
#include "Platform/pResourceFolder.h"
#include "Utils/pStringUtils.h"
#include "tests/support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs `body` in a child with standard output in a pipe; its exit status and what it printed.
std::pair<int, std::string> inChild(uid_t user, const std::function<int()>& body) {
    int out[2];
    if (pipe(out) != 0)
        return {-1, ""};
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        dup2(out[1], 1);
        close(out[0]);
        if (geteuid() == 0 && (setgid(user) != 0 || setuid(user) != 0))
            _exit(90);
        unsetenv("XDG_DATA_HOME");
        setUserDataFolder("");
        int status = body();
        std::fflush(stdout);
        _exit(status);
    }
    close(out[1]);
    std::string said;
    char buffer[4096];
    for (ssize_t got; (got = read(out[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, size_t(got));
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, said};
}

constexpr uid_t NOBODY = 65534;

} // namespace

TEST(NoWritableHome, AReadOnlyHomeIsWhatAFailedSaveNames) {
    TempFolder home;
    chmod(home.path().c_str(), 0555);
    auto [status, said] = inChild(NOBODY, [&] {
        setenv("HOME", home.path().c_str(), 1);
        pHighScoreList list;
        list.insertScore("Ann", 1000);
        return list.lastSaveFailed() ? 0 : 1;
    });
    EXPECT_EQ(status, 0) << "the failed save went unnoticed";
    EXPECT_NE(said.find("Error: cannot write " + home.path() +
                        "/.local/share/plinx/scores.txt: Permission denied\n"),
              std::string::npos)
        << said;
}

TEST(NoWritableHome, WithoutHomeTheAccountsHomeIsUsedAndWithoutThatNothingIsSaved) {
    auto [status, said] = inChild(geteuid(), [] {
        unsetenv("HOME");
        passwd* account = getpwuid(getuid());
        std::string expected = std::string(account ? account->pw_dir : "?") + "/.local/share/plinx";
        return userDataFolder() == expected ? 0 : 1;
    });
    EXPECT_EQ(status, 0) << "not the account's home folder";
    EXPECT_EQ(said, "");

    if (geteuid() != 0)
        GTEST_SKIP() << "a user without an account needs root to become";
    uid_t stranger = 54321;
    while (getpwuid(stranger))
        stranger++;
    TempFolder workingFolder;
    chmod(workingFolder.path().c_str(), 0777);
    std::tie(status, said) = inChild(stranger, [&] {
        unsetenv("HOME");
        if (chdir(workingFolder.path().c_str()) != 0)
            return 2;
        pHighScoreList list;
        list.insertScore("Ann", 1000);
        return userDataFolder().empty() && getWritablePath("scores.txt").empty() &&
                       list.lastSaveFailed() && list.getName(0) == "Ann"
                   ? 0
                   : 1;
    });
    EXPECT_EQ(status, 0);
    const std::string notice =
        "No home folder for this user: high scores and preferences are not saved.\n";
    EXPECT_NE(said.find(notice), std::string::npos) << said;
    EXPECT_EQ(said.find(notice), said.rfind(notice)) << "said more than once:\n" << said;
    EXPECT_TRUE(std::filesystem::is_empty(workingFolder.path())) << "saved in the working folder";
}
