// The test driver as a separate process, spoken to over its socket.

#include <gtest/gtest.h>
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
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

class DriverProcess {
public:
    DriverProcess() {
        char tmpl[] = "/tmp/tessaray_driver_XXXXXX";
        dir_ = mkdtemp(tmpl);
        socket_ = dir_ + "/control";
        const std::string config = dir_ + "/config";
        mkdir(config.c_str(), 0700);
        mkdir((dir_ + "/run").c_str(), 0700);
        pid_ = fork();
        if (pid_ == 0) {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            setenv("TESSARAY_PC_DRIVER", socket_.c_str(), 1);
            setenv("XDG_CONFIG_HOME", config.c_str(), 1);
            setenv("XDG_RUNTIME_DIR", (dir_ + "/run").c_str(), 1);
            setenv("TESSARAY_PC_CONFIG_DIR", (config + "/Tessaray_PC").c_str(), 1);
            execl(TESSARAY_DRIVER_PATH, TESSARAY_DRIVER_PATH, static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~DriverProcess() {
        if (fd_ >= 0) close(fd_);
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    const std::string& dir() const { return dir_; }

    bool Connect() {
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

    std::string Ask(const std::string& command) {
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

    // Exit status, or -1 when the process did not end within the deadline.
    int WaitExit() {
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

private:
    std::string dir_;
    std::string socket_;
    pid_t pid_ = -1;
    int fd_ = -1;
    bool exited_ = false;
};

TEST(Driver, ReadsTheWelcomePageAndClosesThroughTheCloseBox) {
    DriverProcess p;
    ASSERT_TRUE(p.Connect());
    std::string top;
    for (int i = 0; i < 500 && top != "ok CTessaray_PCDlg"; ++i) top = p.Ask("top");
    ASSERT_EQ(top, "ok CTessaray_PCDlg");
    EXPECT_EQ(p.Ask("get 1009"), "ok Tessaray 2.2.0.0");
    EXPECT_EQ(p.Ask("get 1001"), "ok COMM");
    EXPECT_EQ(p.Ask("get 99999"), "error no control 99999");
    EXPECT_EQ(p.Ask("msgbox"), "ok none");
    EXPECT_EQ(p.Ask("answer ok"), "error no message box");
    EXPECT_EQ(p.Ask("nav 9"), "error row must be 1..7");
    EXPECT_EQ(p.Ask("fly away"), "error unknown command: fly away");
    const std::string shot = p.dir() + "/welcome.png";
    EXPECT_EQ(p.Ask("screenshot " + shot), "ok");
    struct stat st {};
    EXPECT_EQ(stat(shot.c_str(), &st), 0);
    EXPECT_GT(st.st_size, 1000);
    // The close box ends the program without a question and without writing an archive
    // it never loaded.
    EXPECT_EQ(p.Ask("nav 7"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_NE(stat((p.dir() + "/config/Tessaray_PC/Tessaray_PC.CFG").c_str(), &st), 0);
}

TEST(Driver, QuitEndsTheProgram) {
    DriverProcess p;
    ASSERT_TRUE(p.Connect());
    EXPECT_EQ(p.Ask("quit"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
}

}  // namespace
