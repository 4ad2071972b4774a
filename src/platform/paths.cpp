#include "platform/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/serial.h"
#include "platform/version.h"

namespace platform {
namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

constexpr std::string_view kHomePrefix = "~/";

// The home folder without a trailing "/" ("" for the root, which holds everything).
std::string HomeBase() {
    std::string home = HomeDir();
    while (!home.empty() && home.back() == '/') home.pop_back();
    return home;
}

}  // namespace

std::string HomeDir() {
    std::string home = Env("HOME");
    if (!home.empty()) return home;
    if (const passwd* pw = getpwuid(getuid())) {
        if (pw->pw_dir) return pw->pw_dir;
    }
    return {};
}

std::string ExpandHome(const std::string& name) {
    if (name.compare(0, kHomePrefix.size(), kHomePrefix) != 0) return name;
    if (HomeDir().empty()) return name;
    return HomeBase() + name.substr(1);
}

std::string ShortenHome(const std::string& path) {
    const std::string home = HomeBase();
    if (home.empty() || path.size() <= home.size() + 1 || path.compare(0, home.size(), home) != 0 ||
        path[home.size()] != '/')
        return path;
    return std::string(kHomePrefix) + path.substr(home.size() + 1);
}

std::string ConfigDir() {
    std::string dir = Env("TESSARAY_PC_CONFIG_DIR");
    if (!dir.empty()) return dir;
    std::string xdg = Env("XDG_CONFIG_HOME");
    if (!xdg.empty()) return xdg + "/" + kProgramName;
    const std::string home = HomeDir();
    return (home.empty() ? std::string(".") : home) + "/.config/" + kProgramName;
}

std::string ConfigFile(const std::string& name) {
    return ConfigDir() + "/" + name;
}

bool EnsureConfigDir(std::string* error) {
    return CreateFolders(ConfigDir(), error);
}

bool CreateFolders(const std::string& dir, std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec || !std::filesystem::is_directory(dir)) {
        if (error) {
            *error = "cannot create the folder " + dir + ": " +
                     (ec ? ErrorText(ec.value()) : std::string("not a folder"));
        }
        return false;
    }
    return true;
}

bool CreateFoldersOf(const std::string& filePath, std::string* error) {
    const std::string parent = std::filesystem::path(filePath).parent_path().string();
    return parent.empty() || CreateFolders(parent, error);
}

}  // namespace platform
