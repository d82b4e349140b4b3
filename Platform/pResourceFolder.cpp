#include "Platform/pResourceFolder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <pwd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

static std::string resourceOverride_;
static std::string userDataOverride_;

static fs::path executableFolder() {
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path(error) : exe.parent_path();
}

std::string resourceFolder() {
    if (!resourceOverride_.empty())
        return resourceOverride_;
    fs::path beside = executableFolder() / "Resources";
    std::error_code error;
    if (fs::is_directory(beside, error))
        return beside.string();
    return (executableFolder().parent_path() / "share" / "plinx").string();
}

// The home folder of the user in the password database; empty when there is none.
static std::string accountHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir || found->pw_dir[0] != '/')
        return "";
    return found->pw_dir;
}

std::string userDataFolder() {
    if (!userDataOverride_.empty())
        return userDataOverride_;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return (fs::path(dataHome) / "plinx").string();
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0')
        return (fs::path(home) / ".local" / "share" / "plinx").string();
    // Started without an environment (by a service, say): the home the system keeps for the user.
    // Never a shared folder such as /tmp, where another user could plant links.
    std::string account = accountHome();
    if (!account.empty())
        return (fs::path(account) / ".local" / "share" / "plinx").string();
    static bool told = false;
    if (!told) {
        told = true;
        std::printf("No home folder for this user: high scores and preferences are not saved.\n");
        std::fflush(stdout);
    }
    return "";
}

void setResourceFolder(const std::string& path) {
    resourceOverride_ = path;
}
void setUserDataFolder(const std::string& path) {
    userDataOverride_ = path;
}

// A bare file name only: nothing outside the folders is reachable through it.
static std::string findIn(std::initializer_list<std::string> folders, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
        return "";
    std::error_code error;
    for (const std::string& folder : folders) {
        if (folder.empty())
            continue; // no such folder on this machine, not the working directory
        fs::path candidate = fs::path(folder) / name;
        if (fs::is_regular_file(candidate, error))
            return candidate.string();
    }
    return "";
}

std::string findResource(const std::string& name) {
    return findIn({userDataFolder(), resourceFolder()}, name);
}

std::string findShippedResource(const std::string& name) {
    return findIn({resourceFolder()}, name);
}

std::string writablePath(const std::string& name) {
    std::string folder = userDataFolder();
    if (folder.empty())
        return "";
    std::error_code error;
    fs::create_directories(folder, error);
    return (fs::path(folder) / name).string();
}
