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

namespace testsupport {

#ifndef TESSARAY_DRIVER_PATH
#define TESSARAY_DRIVER_PATH "tessaray_driver"
#endif

using Clock = std::chrono::steady_clock;

DriverProcess::DriverProcess(const DriverOptions& options) {
    char tmpl[] = "/tmp/tessaray_driver_XXXXXX";
    dir_ = mkdtemp(tmpl);
    // The file browser starts in the home folder: files a scenario saves stay in this folder.
    for (const char* sub : {"/config", "/run", "/home"}) mkdir((dir_ + sub).c_str(), 0700);
    config_ = options.configDir.empty() ? dir_ + "/config/Tessaray_PC" : options.configDir;
    pid_ = fork();
    if (pid_ != 0) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("TESSARAY_PC_DRIVER", (dir_ + "/control").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir_ + "/config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (dir_ + "/run").c_str(), 1);
    setenv("HOME", (dir_ + "/home").c_str(), 1);
    setenv("TESSARAY_PC_CONFIG_DIR", config_.c_str(), 1);
    unsetenv("TESSARAY_PC_COM1");
    if (!options.com1.empty()) setenv("TESSARAY_PC_COM1", options.com1.c_str(), 1);
    for (const auto& [name, value] : options.env) setenv(name.c_str(), value.c_str(), 1);
    if (!options.stderrPath.empty())
        dup2(open(options.stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
    execl(TESSARAY_DRIVER_PATH, TESSARAY_DRIVER_PATH, static_cast<char*>(nullptr));
    _exit(127);
}

DriverProcess::~DriverProcess() {
    if (fd_ >= 0) close(fd_);
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

bool DriverProcess::Connect() {
    if (fd_ >= 0) close(fd_);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, (dir_ + "/control").c_str(), sizeof addr.sun_path - 1);
    return WaitUntil([&] {
        fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return true;
        close(fd_);
        fd_ = -1;
        return false;
    });
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
    std::string reply;
    WaitUntil(
        [&] {
            reply = Ask(command);
            return reply == expected || reply == "closed" || reply == "send failed";
        },
        timeoutMs);
    return reply;
}

bool WaitUntil(const std::function<bool()>& ready, int timeoutMs, int pollMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (ready()) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
    }
}

int DriverProcess::WaitExit() {
    int status = 0;
    if (!WaitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; })) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace testsupport
