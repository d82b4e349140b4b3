// The game starts full screen when the player left it so, unless the command line says otherwise
// for this run, which leaves the saved choice alone.
#include "tests/support/FileBytes.h"
#include "tests/support/ShellOutput.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

TEST(SavedFullScreen, StartsAsLeftUnlessTheCommandLineSaysOtherwise) {
    ASSERT_FALSE(shellOutput("command -v xdotool").empty()) << "needs xdotool";
    std::string display = shellOutput("xdotool getdisplaygeometry");
    ASSERT_NE(display.find(' '), std::string::npos) << "no display";
    const std::string fullSize = "WIDTH=" + display.substr(0, display.find(' ')) +
                                 "\nHEIGHT=" + display.substr(display.find(' ') + 1);
    const std::string windowSize = "WIDTH=640\nHEIGHT=480\n";
    const std::string game =
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "plinx").string();
    for (auto [args, fullScreen] : {std::pair{"", true}, std::pair{"--windowed", false}}) {
        SCOPED_TRACE(args);
        TempFolder folder;
        std::filesystem::create_directories(folder.file("plinx"));
        const std::string prefs = folder.file("plinx/prefs.txt");
        writeFileBytes(prefs, "{\nfullScreen\n1\n}\n");
        FILE* running = popen(("XDG_DATA_HOME=" + folder.path() + " SDL_AUDIODRIVER=dummy " + game +
                               " " + args + " >/dev/null & echo $!; wait")
                                  .c_str(),
                              "r");
        ASSERT_TRUE(running);
        char pid[32] = "";
        std::fgets(pid, sizeof pid, running);
        auto windows = [&] {
            return shellOutput("xdotool search --onlyvisible --pid " +
                               std::to_string(std::atoi(pid)) +
                               " --name '^Plinx$' getwindowgeometry --shell %@ 2>/dev/null");
        };
        const std::string expected = fullScreen ? fullSize : windowSize;
        std::string seen;
        for (int i = 0; i < 200 && seen.find(expected) == std::string::npos; i++) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            seen = windows();
        }
        // A window that would still go full screen has done so by the time the title shows.
        std::this_thread::sleep_for(std::chrono::milliseconds(fullScreen ? 0 : 2500));
        seen = windows();
        EXPECT_NE(seen.find(expected), std::string::npos) << seen;
        if (!fullScreen) {
            EXPECT_EQ(seen.find(fullSize), std::string::npos) << seen;
        }
        if (std::atoi(pid) > 0)
            kill(std::atoi(pid), SIGTERM);
        pclose(running);
        EXPECT_NE(readFileBytes(prefs).find("{\nfullScreen\n1\n}\n"), std::string::npos)
            << "this run only";
    }
}
