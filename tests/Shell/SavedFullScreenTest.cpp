// The game starts full screen when the player left it so, unless the command line says otherwise
// for this run, which leaves the saved choice alone.
#include "tests/support/FileBytes.h"
#include "tests/support/ShellOutput.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

TEST(SavedFullScreen, StartsAsLeftUnlessTheCommandLineSaysOtherwise) {
    std::string screen = shellOutput("xdotool getdisplaygeometry");
    ASSERT_NE(screen.find(' '), std::string::npos) << "needs xdotool and a display";
    const std::string full = "WIDTH=" + screen.replace(screen.find(' '), 1, "\nHEIGHT=");
    const std::string game =
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "plinx").string();
    for (auto [args, size] :
         {std::pair<std::string, std::string>{"", full}, {"--windowed", "WIDTH=640\nHEIGHT=480"}}) {
        SCOPED_TRACE(args);
        TempFolder folder;
        std::filesystem::create_directories(folder.file("plinx"));
        writeFileBytes(folder.file("plinx/prefs.txt"), "{\nfullScreen\n1\n}\n");
        const std::string pid = std::to_string(
            std::atoi(shellOutput("XDG_DATA_HOME=" + folder.path() + " SDL_AUDIODRIVER=dummy " +
                                  game + " " + args + " >/dev/null 2>&1 & echo $!")
                          .c_str()));
        const std::string windows = "xdotool search --onlyvisible --pid " + pid +
                                    " --name '^Plinx$' getwindowgeometry --shell %@ 2>/dev/null";
        std::string seen;
        for (int i = 0; i < 200 && seen.find(size) == std::string::npos; i++) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            seen = shellOutput(windows);
        }
        // By the time the title shows, a window that was to go full screen has gone.
        std::this_thread::sleep_for(std::chrono::seconds(2));
        seen = shellOutput(windows);
        shellOutput("kill " + pid + "; for i in $(seq 50); do kill -0 " + pid +
                    " 2>/dev/null || break; sleep 0.1; done");
        EXPECT_NE(seen.find(size), std::string::npos) << seen;
        EXPECT_EQ(seen.find(size == full ? "WIDTH=640\n" : full), std::string::npos) << seen;
        EXPECT_EQ(readFileBytes(folder.file("plinx/prefs.txt")).find("{\nfullScreen\n0\n}"),
                  std::string::npos)
            << "the command line is for this run only";
    }
}
