#pragma once
// The test driver (the whole program with its control channel, see
// support/driver/control_channel.h) as a separate process, spoken to over its socket.

#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

class ReceiverSimulator;

// Real-time bound for waiting on the program or the simulator: generous, so a loaded machine
// is never mistaken for a fault; a passing test never waits for it.
inline constexpr int kDriverWaitMs = 60000;

// Asks `ready` again, a short real pause apart, until it holds or timeoutMs have passed; its
// last answer.
bool WaitUntil(const std::function<bool()>& ready, int timeoutMs = kDriverWaitMs);

struct DriverOptions {
    // The device the program finds as COM1 (TESSARAY_PC_COM1); empty: none.
    std::string com1;
    // The configuration folder; empty: a fresh one inside dir().
    std::string configDir;
    // More environment for the program.
    std::vector<std::pair<std::string, std::string>> env;
    // The driver executable; empty: the one built beside the tests.
    std::string executable;
    // A file that receives the program's stderr; empty: the test's own.
    std::string stderrPath;
};

class DriverProcess {
public:
    // Starts the driver on a fresh temporary folder (socket, runtime and config folders).
    DriverProcess();
    explicit DriverProcess(const DriverOptions& options);
    // The simulator's pseudo-terminal as COM1.
    explicit DriverProcess(const ReceiverSimulator& com1);
    ~DriverProcess();
    DriverProcess(const DriverProcess&) = delete;
    DriverProcess& operator=(const DriverProcess&) = delete;

    const std::string& dir() const { return dir_; }
    const std::string& configDir() const { return config_; }
    pid_t pid() const { return pid_; }

    // Connects to the socket, waiting (bounded) for the program to listen.
    bool Connect();
    // One command line; its one-line reply, or "send failed", "closed" or "timeout".
    std::string Ask(const std::string& command);
    // Asks again (a short real pause apart) until the reply is `expected`; the last reply.
    std::string AskUntil(const std::string& command, const std::string& expected,
                         int timeoutMs = kDriverWaitMs);
    // Exit status, or -1 when the process did not end within the deadline.
    int WaitExit();

private:
    void Launch(const DriverOptions& options);

    std::string dir_;
    std::string socket_;
    std::string config_;
    pid_t pid_ = -1;
    int fd_ = -1;
    bool exited_ = false;
};

}  // namespace testsupport
