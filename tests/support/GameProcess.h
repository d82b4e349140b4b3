#pragma once

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// The game binary (beside the test binary) run as a player runs it, on the test's display, its
// standard output read through a pipe (which no limit on file sizes touches). Killed at scope
// end if still running.
class GameProcess {
public:
    // `environment` entries "NAME=value" override the test's own; "NAME=" removes one.
    explicit GameProcess(const std::vector<std::string>& environment,
                         rlim_t fileSizeLimit = RLIM_INFINITY) {
        int out[2];
        if (pipe(out) != 0)
            return;
        std::string binary =
            (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "plinx").string();
        pid = fork();
        if (pid == 0) {
            dup2(out[1], 1);
            for (const std::string& entry : environment) {
                size_t equals = entry.find('=');
                if (equals + 1 == entry.size())
                    unsetenv(entry.substr(0, equals).c_str());
                else
                    setenv(entry.substr(0, equals).c_str(), entry.c_str() + equals + 1, 1);
            }
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
            execl(binary.c_str(), binary.c_str(), nullptr);
            _exit(127);
        }
        close(out[1]);
        output_ = out[0];
        fcntl(output_, F_SETFL, O_NONBLOCK);
    }
    ~GameProcess() {
        if (pid > 0 && status() == RUNNING) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        close(output_);
    }
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    static constexpr int RUNNING = -1000;

    // Everything the game has printed so far.
    const std::string& output() {
        char buffer[4096];
        for (ssize_t got; (got = read(output_, buffer, sizeof buffer)) > 0;)
            text_.append(buffer, size_t(got));
        return text_;
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
    // Waits, looking every millisecond, until `done` or the seconds have passed.
    template <typename Done> bool waitFor(Done done, double seconds) {
        for (int ms = 0; ms < seconds * 1000; ms++) {
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return done();
    }
    int wait(double seconds) {
        waitFor([this] { return status() != RUNNING; }, seconds);
        output();
        return status();
    }

    pid_t pid = -1;

private:
    std::string text_;
    int output_ = -1;
    bool exited_ = false;
    int status_ = 0;
};
