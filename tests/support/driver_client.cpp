#include "support/driver_client.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "support/receiver_simulator.h"

namespace testsupport {
namespace {

using Clock = std::chrono::steady_clock;

#ifdef TESSARAY_DRIVER_PATH
constexpr const char* kDriverPath = TESSARAY_DRIVER_PATH;
#else
constexpr const char* kDriverPath = "tessaray_driver";
#endif

}  // namespace

DriverProcess::DriverProcess() {
    Launch({});
}

DriverProcess::DriverProcess(const DriverOptions& options) {
    Launch(options);
}

DriverProcess::DriverProcess(const ReceiverSimulator& com1) {
    DriverOptions options;
    options.com1 = com1.SlavePath();
    Launch(options);
}

void DriverProcess::Launch(const DriverOptions& options) {
    char tmpl[] = "/tmp/tessaray_driver_XXXXXX";
    dir_ = mkdtemp(tmpl);
    socket_ = dir_ + "/control";
    const std::string xdgConfig = dir_ + "/config";
    mkdir(xdgConfig.c_str(), 0700);
    mkdir((dir_ + "/run").c_str(), 0700);
    // The file browser starts in the home folder: files a scenario saves stay in its folder.
    mkdir((dir_ + "/home").c_str(), 0700);
    config_ = options.configDir.empty() ? xdgConfig + "/Tessaray_PC" : options.configDir;
    const std::string exe = options.executable.empty() ? kDriverPath : options.executable;
    pid_ = fork();
    if (pid_ == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("TESSARAY_PC_DRIVER", socket_.c_str(), 1);
        setenv("XDG_CONFIG_HOME", xdgConfig.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (dir_ + "/run").c_str(), 1);
        setenv("HOME", (dir_ + "/home").c_str(), 1);
        setenv("TESSARAY_PC_CONFIG_DIR", config_.c_str(), 1);
        if (options.com1.empty())
            unsetenv("TESSARAY_PC_COM1");
        else
            setenv("TESSARAY_PC_COM1", options.com1.c_str(), 1);
        for (const auto& [name, value] : options.env) setenv(name.c_str(), value.c_str(), 1);
        const int err = options.stderrPath.empty()
                            ? -1
                            : open(options.stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (err >= 0) dup2(err, 2);
        execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
}

DriverProcess::~DriverProcess() {
    if (fd_ >= 0) close(fd_);
    if (pid_ > 0 && !exited_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

bool DriverProcess::Connect() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (Clock::now() < deadline) {
        fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, socket_.c_str(), sizeof addr.sun_path - 1);
        if (connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return true;
        close(fd_);
        fd_ = -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

std::string DriverProcess::Ask(const std::string& command) {
    const std::string line = command + "\n";
    if (send(fd_, line.data(), line.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(line.size()))
        return "send failed";
    std::string reply;
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < deadline) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char c;
        if (recv(fd_, &c, 1, 0) != 1) return "closed";
        if (c == '\n') return reply;
        reply += c;
    }
    return "timeout";
}

std::string DriverProcess::AskUntil(const std::string& command, const std::string& expected,
                                    int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string reply;
    do {
        reply = Ask(command);
        if (reply == expected || reply == "closed" || reply == "send failed") return reply;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (Clock::now() < deadline);
    return reply;
}

bool WaitUntil(const std::function<bool()>& ready, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (ready()) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

int DriverProcess::WaitExit() {
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (Clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            exited_ = true;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

}  // namespace testsupport
