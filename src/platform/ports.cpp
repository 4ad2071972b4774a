#include "platform/ports.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>

#include "platform/notify.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/serial.h"
#include "platform/textfile.h"

namespace platform {
namespace {

struct PortTable {
    std::mutex mutex;
    bool scanned = false;
    std::vector<std::string> detected;
    std::string devices = "/dev";
};

PortTable& Table() {
    static PortTable table;
    return table;
}

std::vector<std::string> ListDir(const std::string& dir, const std::string& prefix) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d)) {
            std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            if (name.compare(0, prefix.size(), prefix) == 0) names.push_back(name);
        }
        ::closedir(d);
    }
    return names;
}

// ttyUSB2 before ttyUSB10.
void SortByNumber(std::vector<std::string>& names, size_t prefixLen) {
    std::sort(names.begin(), names.end(), [prefixLen](const std::string& a, const std::string& b) {
        int na = AtoI(a.c_str() + prefixLen), nb = AtoI(b.c_str() + prefixLen);
        return na != nb ? na < nb : a < b;
    });
}

bool IsRealUart(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    serial_struct info{};
    bool real = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return real;
}

std::vector<std::string> Scan(const std::string& dev) {
    std::vector<std::string> found;
    auto add = [&found](const std::string& path) {
        if (std::find(found.begin(), found.end(), path) == found.end()) found.push_back(path);
    };
    const std::string byIdDir = dev + "/serial/by-id";
    std::vector<std::string> byId = ListDir(byIdDir, "");
    std::sort(byId.begin(), byId.end());
    for (const std::string& name : byId) {
        char real[PATH_MAX];
        std::string link = byIdDir + "/" + name;
        if (::realpath(link.c_str(), real)) add(real);
    }
    for (const char* prefix : {"ttyUSB", "ttyACM", "rfcomm"}) {
        std::vector<std::string> names = ListDir(dev, prefix);
        SortByNumber(names, std::string(prefix).size());
        for (const std::string& name : names) add(dev + "/" + name);
    }
    std::vector<std::string> uarts = ListDir(dev, "ttyS");
    SortByNumber(uarts, 4);
    for (const std::string& name : uarts) {
        if (IsRealUart(dev + "/" + name)) add(dev + "/" + name);
    }
    return found;
}

// ports.conf is read once and again only when it changes, not at every look-up.
struct ConfCache {
    std::mutex mutex;
    bool valid = false;
    struct stat seen {};
    std::map<int, std::string> paths;
    // The error of a ports.conf that is there but cannot even be looked at (a loop of
    // links), already told.
    int told = 0;
    // Tests: the look at the file fails with this error, the file being readable meanwhile.
    int failedLook = 0;
};

ConfCache& Conf() {
    static ConfCache cache;
    return cache;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_ino == b.st_ino && a.st_dev == b.st_dev && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

std::map<int, std::string> ParseConf(const std::string& text) {
    std::map<int, std::string> paths;
    TextLineReader reader(text);
    std::string line;
    auto trim = [](std::string& s) {
        size_t b = s.find_first_not_of(" \t\r");
        size_t e = s.find_last_not_of(" \t\r");
        s = b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
    };
    while (reader.ReadLine(&line)) {
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        trim(key);
        trim(value);
        for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (key.size() < 4 || key.compare(0, 3, "COM") != 0 || value.empty()) continue;
        const std::optional<int> n = ParseInt(key.substr(3));
        // The first line for a port counts.
        if (n && *n >= 1 && *n <= kMaxComPort && FormatInt(*n) == key.substr(3)) {
            paths.emplace(*n, value);
        }
    }
    return paths;
}

std::string ConfPath(int comNumber) {
    const std::string file = ConfigFile("ports.conf");
    ConfCache& cache = Conf();
    std::string notice;
    std::string found;
    {
        std::lock_guard<std::mutex> lock(cache.mutex);
        struct stat now {};
        int statError = cache.failedLook;
        if (statError == 0 && ::stat(file.c_str(), &now) != 0) statError = errno;
        const bool exists = statError == 0;
        if (!exists) {
            cache.paths.clear();
            cache.valid = false;
            if (statError != ENOENT && statError != ENOTDIR && statError != cache.told) {
                cache.told = statError;
                // Told as the look failed: the file may be readable by now.
                notice = "Tessaray_PC: cannot open " + file + ": " + ErrorText(statError) +
                         "; its port lines are not used.";
            } else if (statError == ENOENT || statError == ENOTDIR) {
                cache.told = 0;
            }
        } else if (!cache.valid || !SameFile(now, cache.seen)) {
            cache.told = 0;
            cache.valid = true;
            cache.seen = now;
            cache.paths.clear();
            std::string text, error;
            int err = 0;
            if (ReadTextFile(file, &text, &error, kMaxPortsConfBytes, &err)) {
                cache.paths = ParseConf(text);
            } else if (err != ENOENT) {
                notice = "Tessaray_PC: " + error + "; its port lines are not used.";
            }
        }
        auto it = cache.paths.find(comNumber);
        if (it != cache.paths.end()) found = it->second;
    }
    if (!notice.empty()) Notify(notice);
    return found;
}

}  // namespace

std::string PortDevicePath(int comNumber) {
    if (comNumber < 1 || comNumber > kMaxComPort) return {};
    std::string name = "TESSARAY_PC_COM" + FormatInt(comNumber);
    if (const char* env = std::getenv(name.c_str()); env && *env) return env;
    std::string conf = ConfPath(comNumber);
    if (!conf.empty()) return conf;
    std::vector<std::string> detected = DetectedPorts();
    if (static_cast<size_t>(comNumber) <= detected.size()) return detected[comNumber - 1];
    return {};
}

std::string PortLabel(int comNumber) {
    std::string label = "COM" + FormatInt(comNumber);
    std::string path = PortDevicePath(comNumber);
    if (!path.empty()) label += " (" + path + ")";
    return label;
}

void RescanPorts() {
    {
        std::lock_guard<std::mutex> lock(Conf().mutex);
        Conf().valid = false;
        Conf().told = 0;
    }
    PortTable& table = Table();
    std::string devices;
    {
        std::lock_guard<std::mutex> lock(table.mutex);
        devices = table.devices;
    }
    std::vector<std::string> found = Scan(devices);
    std::lock_guard<std::mutex> lock(table.mutex);
    table.detected = std::move(found);
    table.scanned = true;
}

std::vector<std::string> DetectedPorts() {
    PortTable& table = Table();
    {
        std::lock_guard<std::mutex> lock(table.mutex);
        if (table.scanned) return table.detected;
    }
    RescanPorts();
    std::lock_guard<std::mutex> lock(table.mutex);
    return table.detected;
}

void SetDetectedPortsForTest(const std::vector<std::string>& paths) {
    PortTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.detected = paths;
    table.scanned = true;
}

void SetPortsConfLookErrorForTest(int err) {
    ConfCache& cache = Conf();
    std::lock_guard<std::mutex> lock(cache.mutex);
    cache.failedLook = err;
}

void SetDeviceFolderForTest(const std::string& dir) {
    PortTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.devices = dir.empty() ? "/dev" : dir;
}

}  // namespace platform
