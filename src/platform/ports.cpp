#include "platform/ports.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <mutex>

#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/textfile.h"

namespace platform {
namespace {

struct PortTable {
    std::mutex mutex;
    bool scanned = false;
    std::vector<std::string> detected;
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

std::vector<std::string> Scan() {
    std::vector<std::string> found;
    auto add = [&found](const std::string& path) {
        if (std::find(found.begin(), found.end(), path) == found.end()) found.push_back(path);
    };
    std::vector<std::string> byId = ListDir("/dev/serial/by-id", "");
    std::sort(byId.begin(), byId.end());
    for (const std::string& name : byId) {
        char real[PATH_MAX];
        std::string link = "/dev/serial/by-id/" + name;
        if (::realpath(link.c_str(), real)) add(real);
    }
    for (const char* prefix : {"ttyUSB", "ttyACM", "rfcomm"}) {
        std::vector<std::string> names = ListDir("/dev", prefix);
        SortByNumber(names, std::string(prefix).size());
        for (const std::string& name : names) add("/dev/" + name);
    }
    std::vector<std::string> uarts = ListDir("/dev", "ttyS");
    SortByNumber(uarts, 4);
    for (const std::string& name : uarts) {
        if (IsRealUart("/dev/" + name)) add("/dev/" + name);
    }
    return found;
}

std::string ConfPath(int comNumber) {
    std::string text, error;
    if (!ReadTextFile(ConfigFile("ports.conf"), &text, &error)) return {};
    TextLineReader reader(text);
    std::string line;
    std::string want = "COM" + FormatInt(comNumber);
    while (reader.ReadLine(&line)) {
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        auto trim = [](std::string& s) {
            size_t b = s.find_first_not_of(" \t\r");
            size_t e = s.find_last_not_of(" \t\r");
            s = b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
        };
        trim(key);
        trim(value);
        for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (key == want && !value.empty()) return value;
    }
    return {};
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
    std::vector<std::string> found = Scan();
    PortTable& table = Table();
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

}  // namespace platform
