// The game's command line and its start without a display, as a player's shell sees them.
#include "Shell/pCommandLine.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Starts the game binary with `args`; `environment` entries override the test's own, "NAME="
// removes one. Standard output and error go to out.txt and err.txt in `folder`.
pid_t startGame(const std::vector<std::string>& args, const std::vector<std::string>& environment,
                const TempFolder& folder) {
    std::vector<std::string> argv = {
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "plinx").string()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> env;
    for (const std::string& entry : environment)
        if (entry.back() != '=')
            env.push_back(entry);
    for (char** e = environ; *e; e++) {
        std::string name = std::string(*e).substr(0, std::string(*e).find('=') + 1);
        bool overridden = false;
        for (const std::string& entry : environment)
            overridden |= entry.compare(0, name.size(), name) == 0;
        if (!overridden)
            env.push_back(*e);
    }
    std::vector<char*> argp, envp;
    for (std::string& s : argv)
        argp.push_back(s.data());
    for (std::string& s : env)
        envp.push_back(s.data());
    argp.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, folder.file("out.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, folder.file("err.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The exit status; killed and -1 when the game is still running after `seconds`.
int waitForGame(pid_t pid, double seconds) {
    int status = 0;
    for (double waited = 0; waited < seconds; waited += 0.05) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

std::string shell(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        pclose(pipe);
    }
    return output;
}

} // namespace

TEST(CommandLine, FullscreenAndWindowedTakeTheLastSaid) {
    struct Case {
        std::vector<const char*> args;
        bool fullscreen, finished;
        int status;
    } cases[] = {
        {{}, false, false, 0},
        {{"--fullscreen"}, true, false, 0},
        {{"--fullscreen", "--windowed"}, false, false, 0},
        {{"--windowed", "--fullscreen"}, true, false, 0},
        {{"--help", "--bogus"}, false, true, 0},
        {{"--fullscreen=yes"}, false, true, 2},
        {{"--fullscreen", "scores.txt"}, true, true, 2},
    };
    for (Case& c : cases) {
        std::vector<char*> argv = {const_cast<char*>("plinx")};
        for (const char* arg : c.args)
            argv.push_back(const_cast<char*>(arg));
        FILE* sink = std::tmpfile();
        pCommandLine options(static_cast<int>(argv.size()), argv.data(), sink, sink);
        std::fclose(sink);
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args.back());
        EXPECT_EQ(options.fullscreen, c.fullscreen);
        EXPECT_EQ(options.finished, c.finished);
        EXPECT_EQ(options.exitStatus, c.status);
    }
}

// Without a display, so that any attempt to open a window would show.
TEST(CommandLine, AnswersWithoutOpeningAWindow) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::vector<std::string> out, err; // pieces expected, in order; empty: nothing at all
    } cases[] = {
        {{"--help"},
         0,
         {"Usage: plinx", "--fullscreen", "--windowed", "--version", "F11", "scores.txt",
          "/data/plinx\n"},
         {}},
        {{"--version"}, 0, {"plinx " PLINX_VERSION "\n"}, {}},
        {{"--bogus"}, 2, {}, {"plinx: unknown option '--bogus'\n", "plinx --help"}},
        {{}, 1, {}, {"plinx: no display to open:", "DISPLAY", "WAYLAND_DISPLAY"}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
        TempFolder folder;
        pid_t game = startGame(c.args,
                               {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER=",
                                "XDG_DATA_HOME=" + folder.file("data")},
                               folder);
        ASSERT_GT(game, 0);
        EXPECT_EQ(waitForGame(game, 20), c.status);
        std::string out = readAll(folder.file("out.txt")), err = readAll(folder.file("err.txt"));
        for (auto [expected, text] : {std::pair{&c.out, &out}, std::pair{&c.err, &err}}) {
            size_t at = 0;
            for (const std::string& piece : *expected) {
                at = text->find(piece, at);
                ASSERT_NE(at, std::string::npos) << "no \"" << piece << "\" in: " << *text;
            }
            if (expected->empty()) {
                EXPECT_EQ(*text, "");
            }
        }
        // A mistake is two lines (what, and where to look); no display is one.
        if (c.status != 0) {
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), c.status == 2 ? 2 : 1) << err;
        }
        EXPECT_FALSE(std::filesystem::exists(folder.file("data/plinx")));
    }
}

TEST(CommandLine, FullscreenStartsTheGameFullScreen) {
    ASSERT_FALSE(shell("command -v xdotool").empty()) << "needs xdotool";
    std::string screen = shell("xdotool getdisplaygeometry");
    ASSERT_NE(screen.find(' '), std::string::npos) << "no display";
    std::string size = "WIDTH=" + screen.substr(0, screen.find(' ')) +
                       "\nHEIGHT=" + screen.substr(screen.find(' ') + 1);
    TempFolder folder;
    pid_t game = startGame({"--fullscreen"},
                           {"SDL_AUDIODRIVER=dummy", "XDG_DATA_HOME=" + folder.path()}, folder);
    ASSERT_GT(game, 0);
    std::string windows;
    for (int i = 0; i < 200 && windows.find(size) == std::string::npos; i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        windows = shell("xdotool search --onlyvisible --pid " + std::to_string(game) +
                        " --name '^Plinx$' getwindowgeometry --shell %@ 2>/dev/null");
    }
    EXPECT_NE(windows.find(size), std::string::npos) << windows;
    kill(game, SIGTERM);
    waitForGame(game, 20);
    // The start-up lines are the game's usual ones.
    EXPECT_EQ(readAll(folder.file("out.txt")).rfind("made global gl context ok\n-1 windowed\n", 0),
              0u)
        << readAll(folder.file("out.txt"));
}
