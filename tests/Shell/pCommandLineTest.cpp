// The game's command line and its start without a display, as a player's shell sees them.
#include "Shell/pCommandLine.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

std::string readAll(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
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

// A shell command that runs the game binary with `args`, its player folder in `folder`/data and
// its standard output and error in `folder`/out.txt and err.txt.
std::string gameCommand(const std::string& args, const TempFolder& folder) {
    auto game = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "plinx";
    return "XDG_DATA_HOME=" + folder.file("data") + " SDL_AUDIODRIVER=dummy " + game.string() +
           " " + args + " >" + folder.file("out.txt") + " 2>" + folder.file("err.txt");
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
        std::string args;
        int status;
        std::vector<std::string> out, err; // pieces expected, in order; empty: nothing at all
    } cases[] = {
        {"--help",
         0,
         {"Usage: plinx", "--fullscreen", "--windowed", "--version", "F11", "scores.txt",
          "/data/plinx\n"},
         {}},
        {"--version", 0, {"plinx " PLINX_VERSION "\n"}, {}},
        {"--bogus", 2, {}, {"plinx: unknown option '--bogus'\n", "plinx --help"}},
        {"", 1, {}, {"plinx: no display to open:", "DISPLAY", "WAYLAND_DISPLAY"}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.args);
        TempFolder folder;
        int status = std::system(
            ("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + gameCommand(c.args, folder))
                .c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status);
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
    // The shell prints the game's process id, then waits for it to end.
    FILE* running = popen((gameCommand("--fullscreen", folder) + " & echo $!; wait").c_str(), "r");
    ASSERT_TRUE(running);
    char pid[32] = "";
    std::fgets(pid, sizeof pid, running);
    std::string windows;
    for (int i = 0; i < 200 && windows.find(size) == std::string::npos; i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        windows = shell("xdotool search --onlyvisible --pid " + std::to_string(std::atoi(pid)) +
                        " --name '^Plinx$' getwindowgeometry --shell %@ 2>/dev/null");
    }
    EXPECT_NE(windows.find(size), std::string::npos) << windows;
    if (std::atoi(pid) > 0)
        kill(std::atoi(pid), SIGTERM);
    pclose(running);
    // The start-up lines are the game's usual ones.
    std::string out = readAll(folder.file("out.txt"));
    EXPECT_EQ(out.rfind("made global gl context ok\n-1 windowed\n", 0), 0u) << out;
}
