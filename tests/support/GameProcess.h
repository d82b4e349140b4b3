#pragma once

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

// The game binary (beside the test binary) started as a player starts it, on the test's display,
// with its standard output read through a pipe, so that a limit on file sizes does not touch it.
// Killed at scope end if still running.
class GameProcess {
public:
    // `environment` entries "NAME=value" override the test's own; "NAME=" removes one.
    explicit GameProcess(const std::vector<std::string>& environment,
                         rlim_t fileSizeLimit = RLIM_INFINITY) {
        std::vector<std::string> entries = environment;
        entries.push_back("SDL_AUDIODRIVER=dummy");
        for (char** e = environ; *e; e++)
            entries.push_back(*e);
        std::vector<std::string> seen;
        for (const std::string& entry : entries) {
            std::string name = entry.substr(0, entry.find('=') + 1);
            bool overridden = false;
            for (const std::string& s : seen)
                overridden = overridden || s == name;
            seen.push_back(name);
            if (!overridden && entry != name)
                env_.push_back(entry);
        }
        std::vector<char*> envp;
        for (std::string& entry : env_)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::string binary =
            (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "plinx").string();
        char* argv[] = {binary.data(), nullptr};
        int out[2];
        if (pipe(out) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            dup2(out[1], 1);
            close(out[0]);
            close(out[1]);
            rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
            execve(argv[0], argv, envp.data());
            _exit(127);
        }
        close(out[1]);
        output_ = out[0];
        fcntl(output_, F_SETFL, O_NONBLOCK);
    }
    ~GameProcess() {
        if (pid > 0 && !exited) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (output_ >= 0)
            close(output_);
    }
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Everything the game has printed so far.
    const std::string& output() {
        char buffer[4096];
        ssize_t got;
        while (output_ >= 0 && (got = read(output_, buffer, sizeof buffer)) > 0)
            text_.append(buffer, size_t(got));
        return text_;
    }
    bool waitForOutput(const std::string& text, double seconds) {
        for (double waited = 0; waited < seconds; waited += 0.01) {
            if (output().find(text) != std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    // The exit status; -100 - the signal when one ended it; -1000 when still running.
    int wait(double seconds) {
        for (double waited = 0; waited < seconds; waited += 0.01) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                exited = true;
                output();
                return WIFEXITED(status) ? WEXITSTATUS(status) : -100 - WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1000;
    }
    // Whether the game has the file open now.
    bool hasOpen(const std::string& path) {
        std::error_code error;
        std::filesystem::directory_iterator fds("/proc/" + std::to_string(pid) + "/fd", error);
        for (auto end = std::filesystem::directory_iterator(); !error && fds != end;
             fds.increment(error))
            if (std::filesystem::read_symlink(fds->path(), error).string() == path)
                return true;
        return false;
    }

    bool waitUntilOpen(const std::string& path, double seconds) {
        for (double waited = 0; waited < seconds; waited += 0.001) {
            if (hasOpen(path))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    pid_t pid = -1;
    bool exited = false;

private:
    std::vector<std::string> env_;
    std::string text_;
    int output_ = -1;
};
