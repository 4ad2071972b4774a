#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/guarded.h"
namespace testsupport {

// A scripted receiver at the far end of a pseudo-terminal. The program opens the slave side
// (SlavePath, or COM<n> after InstallAsCom); on its own thread the simulator answers commands
// by prefix, streams items at a chosen rate, can fall silent or hang up, and records every
// command line it receives. Thread-safe; waits are in real time and bounded.
class ReceiverSimulator : private Guarded {
public:
    struct Command {
        uint32_t time;      // platform::TickCount() when the line was complete
        std::string line;   // without CR LF
        uint32_t baud = 0;  // line speed of the program's side then (with SetLineBaud)
    };

    ReceiverSimulator();
    ~ReceiverSimulator();
    ReceiverSimulator(const ReceiverSimulator&) = delete;
    ReceiverSimulator& operator=(const ReceiverSimulator&) = delete;

    bool ok() const { return master_ >= 0; }
    const std::string& error() const { return error_; }
    const std::string& SlavePath() const { return slavePath_; }
    // Sets TESSARAY_PC_COM<n> to the slave path (removed again by the destructor).
    void InstallAsCom(int comNumber);

    // A command line that begins with prefix is answered with reply. SetReply replaces the
    // reply of a prefix given before (or adds it).
    void AddReply(const std::string& prefix, const std::string& reply);
    void SetReply(const std::string& prefix, const std::string& reply);
    void Send(const std::string& bytes);
    // Sends the items one every periodMs; repeat starts over at the end. Replaces a stream.
    void Stream(const std::vector<std::string>& items, uint32_t periodMs, bool repeat = false);
    // Writes are cut into pieces of these sizes in turn, a short pause apart, so the reader
    // sees the bytes split at many places. Empty: whole writes.
    void SetChunkSizes(const std::vector<size_t>& sizes);
    // While the output backlog exceeds this, streamed items are skipped. 0: never skip.
    void SetBacklogLimit(size_t bytes) { Set(backlogLimit_, bytes); }
    // While the program's side is at another speed, nothing is answered or sent. 0: any.
    void SetLineBaud(uint32_t baud) { Set(lineBaud_, baud); }
    // Stops streaming and answering; pending output is dropped.
    void FallSilent();
    // Closes the master side: the program's reads then fail with a hang-up.
    void HangUp();

    std::vector<Command> Commands() const { return Get(commands_); }
    // A command beginning with prefix arrived, counting from Commands()[from] on.
    bool WaitForCommand(const std::string& prefix, uint32_t timeoutMs, size_t from = 0);
    // The simulator has read and handled this many bytes from the program in all.
    bool WaitRead(uint64_t bytes, uint32_t timeoutMs);
    // Every streamed item (of a non-repeating stream) and queued byte is written.
    bool WaitIdle(uint32_t timeoutMs);
    uint64_t BytesWritten() const { return Get(bytesWritten_); }

private:
    void Run();
    void HandleInput(const char* data, size_t n);
    bool AtLineBaud(uint32_t* current) const;  // caller holds mutex_
    template <class Pred>
    bool WaitFor(uint32_t timeoutMs, Pred pred) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), pred);
    }

    struct Rule {
        std::string prefix;
        std::string reply;
    };

    int master_ = -1;
    int slaveKeep_ = -1;  // keeps the pty alive between the program's opens
    std::string slavePath_;
    std::string error_;
    int comNumber_ = 0;

    std::condition_variable changed_;
    std::vector<Rule> rules_;
    std::vector<Command> commands_;
    std::string partialLine_;
    std::deque<char> output_;
    std::vector<std::string> stream_;
    size_t streamPos_ = 0;
    uint32_t periodMs_ = 0;
    bool repeat_ = false;
    std::vector<size_t> chunkSizes_;
    size_t chunkIndex_ = 0;
    size_t backlogLimit_ = 0;
    bool silent_ = false;
    bool hungUp_ = false;
    uint32_t lineBaud_ = 0;
    uint64_t bytesWritten_ = 0;
    uint64_t bytesRead_ = 0;

    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace testsupport
