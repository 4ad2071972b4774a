#pragma once
// The test driver (the whole program with its control channel, see
// support/driver/control_channel.h) as a separate process, spoken to over its socket.

#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// Asks `ready` again, pollMs of real time apart, until it holds or timeoutMs have passed (the
// default is generous, so a loaded machine is never mistaken for a fault); its last answer.
bool WaitUntil(const std::function<bool()>& ready, int timeoutMs = 60000, int pollMs = 20);

struct DriverOptions {
    std::string com1;       // the device the program finds as COM1; empty: none
    std::string configDir;  // empty: a fresh one inside the driver's temporary folder
    std::vector<std::pair<std::string, std::string>> env;  // more environment
    std::string stderrPath;  // a file that receives the program's stderr; empty: the test's
};

class DriverProcess {
public:
    // Starts the driver on a fresh temporary folder (socket, runtime, home and config folders).
    explicit DriverProcess(const DriverOptions& options);
    ~DriverProcess();
    DriverProcess(const DriverProcess&) = delete;
    DriverProcess& operator=(const DriverProcess&) = delete;

    const std::string& configDir() const { return config_; }
    pid_t pid() const { return pid_; }

    // Connects to the socket, waiting (bounded) for the program to listen.
    bool Connect();
    // One command line; its one-line reply, or "send failed", "closed" or "timeout".
    std::string Ask(const std::string& command);
    // Asks again (a short real pause apart) until the reply is `expected`; the last reply.
    std::string AskUntil(const std::string& command, const std::string& expected,
                         int timeoutMs = 60000);
    // Exit status, or -1 when the process did not end within the deadline.
    int WaitExit();

private:
    std::string dir_;
    std::string config_;
    pid_t pid_ = -1;
    int fd_ = -1;
};

}  // namespace testsupport
