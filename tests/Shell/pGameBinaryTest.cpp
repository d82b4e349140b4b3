// Runs the real game binary the way a player does: on a display, with its own user data folder.
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool) would break its headers.
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

namespace {

std::string gameBinary() {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "plinx").string();
}

std::string run(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[256];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    if (pipe)
        pclose(pipe);
    return output;
}

// A child process started by the shell with `command`, its standard output in `output`; ended if
// a test gives up on it.
struct Process {
    pid_t pid = -1;
    std::string output;
    bool exited = false;
    Process(const std::string& command, const std::string& outputFile) : output(outputFile) {
        pid = fork();
        if (pid == 0) {
            execl("/bin/sh", "sh", "-c", ("exec " + command + " > " + output).c_str(), nullptr);
            _exit(127);
        }
    }
    ~Process() {
        if (pid <= 0 || exited)
            return;
        kill(pid, SIGTERM); // lets an X server clean up after itself
        if (wait(2) == -1000) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    // The exit status, or -1000 when it did not end within the time.
    int wait(double seconds) {
        for (double waited = 0; waited < seconds; waited += 0.05) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                exited = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -100 - WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return -1000;
    }
    // User and system time the process has used, in seconds.
    double cpuSeconds() {
        std::string stat = readFileBytes("/proc/" + std::to_string(pid) + "/stat");
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string skip;
        long user = 0, system = 0;
        for (int i = 3; i < 14; i++)
            fields >> skip; // state to major faults of children
        fields >> user >> system;
        return static_cast<double>(user + system) / sysconf(_SC_CLK_TCK);
    }
    std::string said() { return readFileBytes(output); }
};

// What a window manager does when the player clicks the close box.
bool askWindowToClose(const std::string& displayName, unsigned long window) {
    void* x11 = dlopen("libX11.so.6", RTLD_NOW);
    if (!x11)
        return false;
    auto openDisplay = reinterpret_cast<Display* (*)(const char*)>(dlsym(x11, "XOpenDisplay"));
    auto internAtom =
        reinterpret_cast<Atom (*)(Display*, const char*, Bool)>(dlsym(x11, "XInternAtom"));
    auto sendEvent = reinterpret_cast<Status (*)(Display*, Window, Bool, long, XEvent*)>(
        dlsym(x11, "XSendEvent"));
    auto flush = reinterpret_cast<int (*)(Display*)>(dlsym(x11, "XFlush"));
    auto closeDisplay = reinterpret_cast<int (*)(Display*)>(dlsym(x11, "XCloseDisplay"));
    auto setErrorHandler = reinterpret_cast<void* (*)(int (*)(Display*, XErrorEvent*))>(
        dlsym(x11, "XSetErrorHandler"));
    Display* display = openDisplay ? openDisplay(displayName.c_str()) : nullptr;
    if (!display || !setErrorHandler)
        return false;
    // Xlib's own handler would end the test process over a window that is already gone.
    setErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = internAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(internAtom(display, "WM_DELETE_WINDOW", False));
    bool sent = sendEvent(display, window, False, NoEventMask, &event) != 0;
    flush(display);
    closeDisplay(display);
    return sent;
}

} // namespace

TEST(GameBinary, WithoutADisplayItSaysSoAndStops) {
    TempFolder folder;
    Process game("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_DATA_HOME=" +
                     folder.path() + " " + gameBinary(),
                 folder.file("stdout.txt"));
    EXPECT_EQ(game.wait(20), 255);
    EXPECT_NE(game.said().find("error creating global gl context\n"), std::string::npos);
    EXPECT_EQ(game.said().find("made global gl context ok"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.file("plinx/scores.txt")));
}

// Started on a display of its own (another test's windows would take its keyboard), it opens
// its window, idles on paced frames rather than a spinning loop (Mesa's software renderer draws
// the animated title at a quarter to a third of a core at 30 frames per second; a spinning loop
// takes a whole one), and a click on the close box ends it with its preferences saved.
TEST(GameBinary, IdlesQuietlyAndClosesWithItsPreferencesSaved) {
    TempFolder folder;
    Process server("Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp",
                   folder.file("display.txt"));
    std::string number;
    for (int i = 0; i < 200 && number.find('\n') == std::string::npos; i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        number = server.said();
    }
    ASSERT_NE(number.find('\n'), std::string::npos) << "no Xvfb";
    const std::string display = ":" + number.substr(0, number.find('\n'));
    Process game("env DISPLAY=" + display + " XDG_DATA_HOME=" + folder.path() + " " + gameBinary(),
                 folder.file("stdout.txt"));
    unsigned long window = std::strtoul(
        run("DISPLAY=" + display +
            " timeout 20 xdotool search --sync --onlyvisible --name '^Plinx$' 2>/dev/null")
            .c_str(),
        nullptr, 10);
    ASSERT_NE(window, 0ul) << game.said();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    double before = game.cpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(4));
    double share = (game.cpuSeconds() - before) / 4.0;
    std::printf("idle CPU over 4 s: %.1f %% of one core\n", share * 100);
    EXPECT_LT(share, 0.60);
    ASSERT_TRUE(askWindowToClose(display, window));
    EXPECT_EQ(game.wait(20), 0);
    EXPECT_NE(game.said().find("made global gl context ok\n-1 windowed\n"), std::string::npos);
    EXPECT_NE(game.said().find("crunch on mode -1, biotch\n"), std::string::npos) << game.said();
    EXPECT_TRUE(std::filesystem::exists(folder.file("plinx/prefs.txt")));
}
