#include "platform/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/serial.h"
#include "platform/version.h"

namespace platform {
namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string HomeDir() {
    std::string home = Env("HOME");
    if (!home.empty()) return home;
    if (const passwd* pw = getpwuid(getuid())) {
        if (pw->pw_dir) return pw->pw_dir;
    }
    return ".";
}

}  // namespace

std::string ConfigDir() {
    std::string dir = Env("TESSARAY_PC_CONFIG_DIR");
    if (!dir.empty()) return dir;
    std::string xdg = Env("XDG_CONFIG_HOME");
    if (!xdg.empty()) return xdg + "/" + kProgramName;
    return HomeDir() + "/.config/" + kProgramName;
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
