#include "Platform/pResourceFolder.h"

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <system_error>

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

std::string userDataFolder() {
    if (!userDataOverride_.empty())
        return userDataOverride_;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return (fs::path(dataHome) / "plinx").string();
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0')
        return (fs::path(home) / ".local" / "share" / "plinx").string();
    return (fs::temp_directory_path() / "plinx").string();
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
    std::error_code error;
    fs::create_directories(userDataFolder(), error);
    return (fs::path(userDataFolder()) / name).string();
}
