// The real game binary, run as a player's shell and desktop run it.
#include "tests/support/ByteFile.h"
#include "tests/support/GameProcess.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>

namespace {

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

const std::vector<std::string> NO_DISPLAY = {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER="};

} // namespace

// What it answers without a window, and why it cannot start: no display named, one that cannot
// be reached, or no OpenGL driver (where the server refuses such contexts). A mistake is two
// lines, what and where to look; the rest one line after the lines it has always printed.
TEST(GameBinary, AnswersItsCommandLineAndSaysWhyItCannotStart) {
    struct Case {
        std::vector<std::string> args, environment;
        int status;
        const char *out, *err;
        bool leavesNoFolder;
    } cases[] = {
        {{"--help"},
         NO_DISPLAY,
         0,
         "Usage: "
         "plinx[\\s\\S]*--fullscreen[\\s\\S]*--windowed[\\s\\S]*--version[\\s\\S]*F11[\\s\\S]*"
         "scores.txt[\\s\\S]*"
         "plinx-test-[^/]*/plinx\n[\\s\\S]*",
         "",
         true},
        {{"--version"}, NO_DISPLAY, 0, "plinx " PLINX_VERSION "\n", "", true},
        {{"--bogus"},
         NO_DISPLAY,
         2,
         "",
         "plinx: unknown option '--bogus'\n[^\n]*plinx --help[^\n]*\n",
         true},
        {{},
         NO_DISPLAY,
         1,
         "",
         "plinx: no display to open: [^\n]*DISPLAY[^\n]*WAYLAND_DISPLAY[^\n]*\n",
         true},
        {{},
         {"DISPLAY=:9999", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER="},
         1,
         "([^\n]*\n)*error creating global gl context\nOpenGL could not be started: [^\n]+\n",
         "[\\s\\S]*",
         false},
        {{},
         {"LIBGL_DRIVERS_PATH=/nonexistent"},
         1,
         "error creating (pixel format|opengl context)\nerror creating global gl context\n"
         "OpenGL could not be started: [^\n]+\n",
         "((?!X Error)[\\s\\S])*",
         false},
        {{},
         {"LIBGL_ALWAYS_INDIRECT=1"},
         1,
         "error creating (pixel format|opengl context)\nerror creating global gl context\n"
         "OpenGL could not be started: [^\n]+\n",
         "((?!X Error)[\\s\\S])*",
         false},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? c.environment[0] : c.args[0]);
        TempFolder data;
        c.environment.push_back("XDG_DATA_HOME=" + data.path());
        GameProcess game(c.args, c.environment);
        int status = game.wait(20);
        if (c.status == 1 && game.output().find("made global gl context ok") != std::string::npos)
            continue; // this server makes contexts without the driver: nothing failed
        EXPECT_EQ(status, c.status);
        EXPECT_TRUE(std::regex_match(game.output(1), std::regex(c.out))) << game.output(1);
        EXPECT_TRUE(std::regex_match(game.output(2), std::regex(c.err))) << game.output(2);
        EXPECT_FALSE(
            std::filesystem::exists(data.file(c.leavesNoFolder ? "plinx" : "plinx/scores.txt")));
    }
}

// In a window and in full screen: the game starts with its usual lines, idles on its title
// without spinning, and asked to end (as at the end of a session) ends with status 0, its
// preferences saved.
TEST(GameBinary, StartsIdlesQuietlyAndEndsWhenAskedHavingSavedItsPreferences) {
    ASSERT_FALSE(shell("command -v xdotool").empty()) << "needs xdotool";
    const std::string screen = shell("xdotool getdisplaygeometry");
    ASSERT_NE(screen.find(' '), std::string::npos) << "no display";
    for (bool fullscreen : {false, true}) {
        SCOPED_TRACE(fullscreen ? "full screen" : "window");
        const std::string size = fullscreen ? "WIDTH=" + screen.substr(0, screen.find(' ')) +
                                                  "\nHEIGHT=" + screen.substr(screen.find(' ') + 1)
                                            : "WIDTH=640\nHEIGHT=480\n";
        TempFolder data;
        GameProcess game(fullscreen ? std::vector<std::string>{"--fullscreen"}
                                    : std::vector<std::string>{},
                         {"XDG_DATA_HOME=" + data.path()});
        std::string windows;
        for (int i = 0; i < 200 && windows.find(size) == std::string::npos; i++) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            windows = shell("xdotool search --onlyvisible --pid " + std::to_string(game.pid) +
                            " --name '^Plinx$' getwindowgeometry --shell %@ 2>/dev/null");
        }
        EXPECT_NE(windows.find(size), std::string::npos) << windows;
        if (!fullscreen) {
            // The title keeps moving (the turning title picture, the help), which Mesa's
            // software renderer draws at a quarter to a third of a core; a spinning loop takes
            // a whole core or more.
            game.waitFor([] { return false; }, 2);
            const double before = game.cpuSeconds();
            game.waitFor([] { return false; }, 3);
            const double share = (game.cpuSeconds() - before) / 3;
            std::printf("idle CPU over 3 s: %.0f %% of one core\n", share * 100);
            EXPECT_LT(share, 0.6);
        }
        kill(game.pid, SIGTERM);
        EXPECT_EQ(game.wait(20), 0);
        EXPECT_EQ(game.output().rfind("made global gl context ok\n-1 windowed\n", 0), 0u)
            << game.output();
        EXPECT_NE(game.output().find("crunch on mode -1, biotch\n"), std::string::npos);
        EXPECT_TRUE(std::filesystem::exists(data.file("plinx/prefs.txt")));
    }
}

// On a machine short of something: asked to end while it loads huge pictures, it ends before
// the next one; a save that a file size limit stops fails with a message, not the game.
TEST(GameBinary, EndsWhenAskedWhileLoadingAndSurvivesAFileSizeLimit) {
    TempFolder data;
    std::filesystem::create_directory(data.file("plinx"));
    const std::string background = data.file("plinx/bg.tga"), block = data.file("plinx/block.tga");
    // As large as the game takes, loaded one after the other.
    runLengthTga(4096, 4096).writeTo(background);
    runLengthTga(4096, 4096).writeTo(block);
    // prefs.txt, saved at the end, is longer than eight bytes.
    GameProcess game({}, {"XDG_DATA_HOME=" + data.path()}, 8);
    ASSERT_TRUE(game.waitFor([&] { return game.hasOpen(background); }, 30)) << game.output();
    kill(game.pid, SIGTERM);
    bool readBlock = false;
    game.waitFor([&] { return (readBlock |= game.hasOpen(block)), game.status() != game.RUNNING; },
                 20);
    EXPECT_EQ(game.wait(0), 0) << game.output();
    EXPECT_FALSE(readBlock) << "went on loading after the request to end";
    const std::string prefs = data.file("plinx/prefs.txt");
    EXPECT_NE(game.output().find("Error: cannot write " + prefs + ": File too large\n"),
              std::string::npos)
        << game.output();
    EXPECT_FALSE(std::filesystem::exists(prefs));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(data.file("plinx")), {}), 2)
        << "a temporary file was left";
}
