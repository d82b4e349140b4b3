// Where the player's files go when the home folder is read-only, missing from the environment,
// or missing altogether. Each case runs in a child process with its own environment and, where
// root's rights would hide the problem, as another user.
#include "Game/pHighScoreList.h"
#include "Platform/pResourceFolder.h"
#include "tests/support/TempFolder.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
// Runs `body` as `user` (when root) without XDG_DATA_HOME and with `home` as HOME (none when
// empty); its exit status and what it printed.
std::pair<int, std::string> inChild(uid_t user, const std::string& home,
                                    const std::function<bool()>& body) {
    int out[2];
    if (pipe(out) != 0)
        return {-1, ""};
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        dup2(out[1], 1);
        if (geteuid() == 0 && (setgid(user) != 0 || setuid(user) != 0))
            _exit(90);
        unsetenv("XDG_DATA_HOME");
        home.empty() ? unsetenv("HOME") : setenv("HOME", home.c_str(), 1);
        setUserDataFolder("");
        bool held = body();
        std::fflush(stdout);
        _exit(held ? 0 : 1);
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

// The save fails, and the table keeps the score all the same.
bool saveFails() {
    pHighScoreList list;
    list.insertScore("Ann", 1000);
    return list.lastSaveFailed() && list.getName(0) == "Ann";
}
} // namespace

TEST(NoWritableHome, SavesSayWhyTheyFailAndNeverGoToASharedFolder) {
    TempFolder home;
    chmod(home.path().c_str(), 0555);
    auto [status, said] = inChild(65534, home.path(), saveFails);
    EXPECT_EQ(status, 0);
    EXPECT_NE(said.find("Error: cannot write " + home.path() +
                        "/.local/share/plinx/scores.txt: Permission denied\n"),
              std::string::npos)
        << said;

    // Without HOME: the account's home folder.
    std::tie(status, said) = inChild(geteuid(), "", [] {
        passwd* account = getpwuid(getuid());
        return account && userDataFolder() == std::string(account->pw_dir) + "/.local/share/plinx";
    });
    EXPECT_EQ(status, 0) << said;

    if (geteuid() != 0)
        GTEST_SKIP() << "a user without an account needs root to become";
    uid_t stranger = 54321;
    while (getpwuid(stranger))
        stranger++;
    TempFolder working;
    chmod(working.path().c_str(), 0777);
    std::tie(status, said) = inChild(stranger, "", [&] {
        return chdir(working.path().c_str()) == 0 && saveFails() && userDataFolder().empty();
    });
    EXPECT_EQ(status, 0);
    const std::string notice =
        "No home folder for this user: high scores and preferences are not saved.\n";
    EXPECT_NE(said.find(notice), std::string::npos) << said;
    EXPECT_EQ(said.find(notice), said.rfind(notice)) << "said more than once:\n" << said;
    EXPECT_TRUE(std::filesystem::is_empty(working.path())) << "saved in the working folder";
}
