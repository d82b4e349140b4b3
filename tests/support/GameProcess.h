#pragma once

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// The game binary beside the test binary, run as a player runs it on the test's display, its
// standard output and error read through pipes (which no limit on file sizes touches). Killed
// at scope end if still running.
class GameProcess {
public:
    static constexpr int RUNNING = -1000;
    pid_t pid = -1;

    // `environment` entries "NAME=value" override the test's own; "NAME=" removes one.
    GameProcess(std::vector<std::string> args, const std::vector<std::string>& environment,
                rlim_t fileSizeLimit = RLIM_INFINITY) {
        int out[2], err[2];
        if (pipe(out) != 0 || pipe(err) != 0)
            return;
        args.insert(args.begin(),
                    std::filesystem::read_symlink("/proc/self/exe").parent_path() / "plinx");
        pid = fork();
        if (pid == 0) {
            dup2(out[1], 1);
            dup2(err[1], 2);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            for (const std::string& entry : environment) {
                const std::string name = entry.substr(0, entry.find('='));
                if (name.size() + 1 == entry.size())
                    unsetenv(name.c_str());
                else
                    setenv(name.c_str(), entry.c_str() + name.size() + 1, 1);
            }
            rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
            std::vector<char*> argv;
            for (std::string& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        streams_[0] = out[0], streams_[1] = err[0];
        for (int stream : streams_)
            fcntl(stream, F_SETFL, O_NONBLOCK);
    }
    ~GameProcess() {
        if (pid > 0 && status() == RUNNING) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        close(streams_[0]);
        close(streams_[1]);
    }
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Everything the game has printed so far on standard output (1) or standard error (2).
    const std::string& output(int stream = 1) {
        char buffer[4096];
        for (ssize_t got; (got = read(streams_[stream - 1], buffer, sizeof buffer)) > 0;)
            texts_[stream - 1].append(buffer, size_t(got));
        return texts_[stream - 1];
    }
    // The exit status, -100 - the signal that ended it, or RUNNING.
    int status() {
        int status = 0;
        if (!exited_ && waitpid(pid, &status, WNOHANG) == pid) {
            exited_ = true;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -100 - WTERMSIG(status);
        }
        return exited_ ? status_ : RUNNING;
    }
    // Whether the game has the file open now.
    bool hasOpen(const std::string& path) {
        std::error_code error;
        std::filesystem::directory_iterator fds("/proc/" + std::to_string(pid) + "/fd", error);
        for (; !error && fds != std::filesystem::directory_iterator(); fds.increment(error))
            if (std::filesystem::read_symlink(fds->path(), error) == path)
                return true;
        return false;
    }
    // User and system time the game has used, in seconds.
    double cpuSeconds() {
        std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
        std::string stat((std::istreambuf_iterator<char>(file)), {}), skip;
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        long user = 0, system = 0;
        for (int field = 3; field < 14; field++) // state to major faults of children
            fields >> skip;
        fields >> user >> system;
        return double(user + system) / double(sysconf(_SC_CLK_TCK));
    }
    // Waits, looking every millisecond and reading what the game prints, until `done` or the
    // seconds have passed.
    template <typename Done> bool waitFor(Done done, double seconds) {
        for (int ms = 0; ms < seconds * 1000; ms++) {
            output(1), output(2);
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return done();
    }
    int wait(double seconds) {
        waitFor([this] { return status() != RUNNING; }, seconds);
        output(1), output(2);
        return status();
    }

private:
    int streams_[2] = {-1, -1};
    std::string texts_[2];
    bool exited_ = false;
    int status_ = 0;
};
