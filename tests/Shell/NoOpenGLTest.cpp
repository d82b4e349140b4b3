// Machines where OpenGL cannot be had: the game says why in one line and ends with status 1,
// after the lines it has always printed, never with a raw X error or an assertion.
#include "Shell/pGlobalGLContext.h"
#include "Shell/pOSXGame.h"
#include "tests/support/TempFolder.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace {

bool haveDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

} // namespace

TEST(NoOpenGL, WithoutADriverTheGameSaysWhyAndEnds) {
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X server (run under xvfb-run -a)";
    std::string game =
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "plinx").string();
    TempFolder folder;
    // No driver to load (Mesa may then fall back to contexts made by the X server); and such
    // contexts asked for outright, which the server refuses.
    for (const char* environment : {"LIBGL_DRIVERS_PATH=/nonexistent", "LIBGL_ALWAYS_INDIRECT=1"}) {
        SCOPED_TRACE(environment);
        std::string command = "env " + std::string(environment) +
                              " XDG_DATA_HOME=" + folder.path() + " timeout -s KILL 20 " + game +
                              " 2>" + folder.file("stderr.txt");
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string out;
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        int status = pclose(pipe);
        if (out.find("made global gl context ok") != std::string::npos)
            continue; // this server makes such contexts: nothing failed
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status << "\n" << out;
        // The lines the game has always printed, then the reason.
        EXPECT_TRUE(
            std::regex_match(out, std::regex("error creating (pixel format|opengl context)\n"
                                             "error creating global gl context\n"
                                             "OpenGL could not be started: [^\n]+\n")))
            << out;
        std::ifstream errors(folder.file("stderr.txt"));
        std::string error((std::istreambuf_iterator<char>(errors)), {});
        EXPECT_EQ(error.find("X Error"), std::string::npos) << error;
    }
}

TEST(NoOpenGL, AWindowWithoutAContextEndsTheGameWithAMessage) {
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X server (run under xvfb-run -a)";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            dup2(2, 1); // the messages go to standard output; let the check see them
            if (!pGlobalGLContext::instance()->createdSuccessfully())
                std::abort();
            // A pixel format no driver offers: the window cannot be made.
            SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, 64);
            pOSXGame game;
            chooseDisplaySettings(game);
            game.makeContextCurrent();
            std::abort();
        },
        ::testing::ExitedWithCode(1),
        "error creating pixel format\nerror switching\n"
        "OpenGL could not be started: the game window has no OpenGL context: .+\n");
}
