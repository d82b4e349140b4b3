// Runs the real game binary the way a player does: on a display, with its own user data folder.
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool) would break its headers.
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

std::string gameBinary() {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "plinx").string();
}

std::string readAll(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string run(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    pclose(pipe);
    return output;
}

// A child process with its standard output in a file; killed if a test gives up on it.
class Process {
public:
    // `environment` entries override the test's own; "NAME=" removes the variable.
    Process(std::vector<std::string> argv, std::vector<std::string> environment,
            const std::string& outputFile)
        : output(outputFile) {
        for (char** e = environ; *e; e++)
            environment.push_back(*e); // later duplicates lose to the first
        std::vector<char*> envp, args;
        std::vector<std::string> seen;
        for (std::string& entry : environment) {
            std::string name = entry.substr(0, entry.find('=') + 1);
            if (std::find(seen.begin(), seen.end(), name) != seen.end())
                continue;
            seen.push_back(name);
            if (entry != name)
                envp.push_back(entry.data());
        }
        envp.push_back(nullptr);
        for (std::string& arg : argv)
            args.push_back(arg.data());
        args.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT, 0644);
        if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
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
        std::string stat = readAll("/proc/" + std::to_string(pid) + "/stat");
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string skip;
        long user = 0, system = 0;
        for (int i = 3; i < 14; i++)
            fields >> skip; // state to major faults of children
        fields >> user >> system;
        return static_cast<double>(user + system) / sysconf(_SC_CLK_TCK);
    }

    std::string output;
    pid_t pid = -1;
    bool exited = false;
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
    event.xclient.data.l[1] = CurrentTime;
    bool sent = sendEvent(display, window, False, NoEventMask, &event) != 0;
    flush(display);
    closeDisplay(display);
    return sent;
}

} // namespace

TEST(GameBinary, WithAnUnreachableDisplayItSaysSoAndStops) {
    TempFolder folder;
    Process game(
        {gameBinary()},
        {"DISPLAY=:9999", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER=", "XDG_DATA_HOME=" + folder.path()},
        folder.file("stdout.txt"));
    ASSERT_GT(game.pid, 0);
    EXPECT_EQ(game.wait(20), 1);
    std::string out = readAll(game.output);
    EXPECT_NE(out.find("error creating global gl context\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("made global gl context ok"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.file("plinx/scores.txt")));
}

TEST(GameBinary, PlaysIdlesQuietlyAndClosesWithItsPreferencesSaved) {
    ASSERT_FALSE(run("command -v xdotool").empty()) << "needs xdotool";
    TempFolder folder;
    // A display of its own: windows of other tests would take the keyboard from the game.
    Process server({"Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"},
                   {}, folder.file("display.txt"));
    std::string number;
    for (int i = 0; i < 200 && number.find('\n') == std::string::npos; i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        number = readAll(server.output);
    }
    ASSERT_NE(number.find('\n'), std::string::npos) << "no Xvfb";
    const std::string display = ":" + number.substr(0, number.find('\n'));
    const std::string onDisplay = "export DISPLAY=" + display + "; ";
    Process game({gameBinary()}, {"DISPLAY=" + display, "XDG_DATA_HOME=" + folder.path()},
                 folder.file("stdout.txt"));
    ASSERT_GT(game.pid, 0);
    std::string found = run(
        onDisplay + "timeout 20 xdotool search --sync --onlyvisible --name '^Plinx$' 2>/dev/null");
    unsigned long window = std::strtoul(found.c_str(), nullptr, 10);
    ASSERT_NE(window, 0ul) << readAll(game.output);

    std::string id = std::to_string(window);
    run(onDisplay + "xdotool windowfocus --sync " + id + " key --delay 100 z x Left Right Down");
    // Keys are held a while, as fingers do: a press and release between two frames is no press.
    // The game may still be loading, or busy switching, when a press comes; one that went unseen
    // is pressed again after a while, as a player would.
    auto toggleUntil = [&](const std::string& line) {
        for (int attempt = 0; attempt < 4; attempt++) {
            run(onDisplay +
                "xdotool keydown super keydown f; sleep 0.3; xdotool keyup f keyup super");
            for (int waited = 0; waited < 200; waited++) {
                if (readAll(game.output).find(line) != std::string::npos)
                    return true;
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
        return false;
    };
    EXPECT_TRUE(toggleUntil("key enter\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_TRUE(toggleUntil("key exit\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));

    // Idle on the title screen: paced frames, not a spinning loop. The title keeps animating
    // (the turning, blurred title image and the help marquee), which Mesa's software renderer
    // draws at about a quarter to a third of a core at 30 frames per second; a loop that spins
    // takes a whole core or more.
    double before = game.cpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(5));
    double share = (game.cpuSeconds() - before) / 5.0;
    std::printf("idle CPU over 5 s: %.1f %% of one core\n", share * 100);
    EXPECT_LT(share, 0.60);

    ASSERT_TRUE(askWindowToClose(display, window));
    EXPECT_EQ(game.wait(20), 0);
    std::string out = readAll(game.output);
    EXPECT_NE(out.find("made global gl context ok\n-1 windowed\n"), std::string::npos) << out;
    EXPECT_NE(out.find("crunch on mode -1, biotch\n"), std::string::npos) << out;
    EXPECT_NE(out.find("key enter\nkey exit\n"), std::string::npos) << out;
    EXPECT_TRUE(std::filesystem::exists(folder.file("plinx/prefs.txt")));
}
