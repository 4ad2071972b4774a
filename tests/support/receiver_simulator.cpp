#include "support/receiver_simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/clock.h"
#include "support/tty_state.h"

namespace testsupport {

using Lock = std::lock_guard<std::mutex>;

ReceiverSimulator::ReceiverSimulator() {
    char name[128];
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name, sizeof name) != 0) {
        error_ = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        if (master_ >= 0) ::close(master_);
        master_ = -1;
        return;
    }
    slavePath_ = name;
    slaveKeep_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    // Raw from the start, so nothing is echoed back before the program configures it.
    termios tio{};
    if (slaveKeep_ >= 0 && ::tcgetattr(slaveKeep_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slaveKeep_, TCSANOW, &tio);
    }
    thread_ = std::thread([this] { Run(); });
}

ReceiverSimulator::~ReceiverSimulator() {
    stop_.store(true);
    if (thread_.joinable()) thread_.join();
    if (master_ >= 0) ::close(master_);
    if (slaveKeep_ >= 0) ::close(slaveKeep_);
    if (comNumber_ > 0) ::unsetenv(("TESSARAY_PC_COM" + std::to_string(comNumber_)).c_str());
}

void ReceiverSimulator::InstallAsCom(int comNumber) {
    comNumber_ = comNumber;
    ::setenv(("TESSARAY_PC_COM" + std::to_string(comNumber)).c_str(), slavePath_.c_str(), 1);
}

void ReceiverSimulator::AddReply(const std::string& prefix, const std::string& reply) {
    Locked([&] { rules_.push_back({prefix, reply}); });
}

void ReceiverSimulator::SetReply(const std::string& prefix, const std::string& reply) {
    Lock lock(mutex_);
    for (Rule& rule : rules_)
        if (rule.prefix == prefix) return void(rule.reply = reply);
    rules_.push_back({prefix, reply});
}

void ReceiverSimulator::Send(const std::string& bytes) {
    Locked([&] { output_.insert(output_.end(), bytes.begin(), bytes.end()); });
}

void ReceiverSimulator::Stream(const std::vector<std::string>& items, uint32_t periodMs,
                               bool repeat) {
    Lock lock(mutex_);
    stream_ = items;
    streamPos_ = 0;
    periodMs_ = periodMs;
    repeat_ = repeat;
    silent_ = false;
}

void ReceiverSimulator::SetChunkSizes(const std::vector<size_t>& sizes) {
    Locked([&] { chunkSizes_ = sizes, chunkIndex_ = 0; });
}

bool ReceiverSimulator::AtLineBaud(uint32_t* current) const {
    const uint32_t baud = lineBaud_ == 0 ? 0 : TtyBaud(slavePath_);
    if (current) *current = baud;
    return baud == lineBaud_;
}

void ReceiverSimulator::FallSilent() {
    Lock lock(mutex_);
    silent_ = true;
    stream_.clear();
    output_.clear();
}

void ReceiverSimulator::HangUp() {
    Lock lock(mutex_);
    hungUp_ = true;
    // The pty hangs up once every descriptor of the master side is gone, the kept slave too.
    for (int* fd : {&master_, &slaveKeep_}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

bool ReceiverSimulator::WaitForCommand(const std::string& prefix, uint32_t timeoutMs, size_t from) {
    return WaitFor(timeoutMs, [&] {
        for (size_t i = from; i < commands_.size(); ++i)
            if (commands_[i].line.compare(0, prefix.size(), prefix) == 0) return true;
        return false;
    });
}

bool ReceiverSimulator::WaitRead(uint64_t bytes, uint32_t timeoutMs) {
    return WaitFor(timeoutMs, [&] { return bytesRead_ >= bytes; });
}

bool ReceiverSimulator::WaitIdle(uint32_t timeoutMs) {
    return WaitFor(timeoutMs, [&] {
        return output_.empty() && (repeat_ ? stream_.empty() : streamPos_ >= stream_.size());
    });
}

void ReceiverSimulator::HandleInput(const char* data, size_t n) {
    bytesRead_ += n;
    changed_.notify_all();
    for (size_t i = 0; i < n; ++i) {
        partialLine_ += data[i];
        if (!partialLine_.ends_with("\r\n")) continue;
        const std::string line = partialLine_.substr(0, partialLine_.size() - 2);
        partialLine_.clear();
        uint32_t baud = 0;
        const bool understood = AtLineBaud(&baud);
        commands_.push_back({platform::TickCount(), line, baud});
        for (const Rule& rule : rules_) {
            if (silent_ || !understood) break;
            if (line.starts_with(rule.prefix)) {
                output_.insert(output_.end(), rule.reply.begin(), rule.reply.end());
                break;
            }
        }
        changed_.notify_all();
    }
}

void ReceiverSimulator::Run() {
    auto nextItem = std::chrono::steady_clock::now();
    while (!stop_.load()) {
        const int fd = Locked([&] { return hungUp_ ? -1 : master_; });
        if (fd < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            continue;
        }
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, 1);

        std::unique_lock<std::mutex> lock(mutex_);
        if (hungUp_) continue;
        if (p.revents & POLLIN) {
            char buf[4096];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n > 0) HandleInput(buf, static_cast<size_t>(n));
        }
        const auto now = std::chrono::steady_clock::now();
        if (!silent_ && streamPos_ < stream_.size() && now >= nextItem) {
            if (backlogLimit_ == 0 || output_.size() <= backlogLimit_)
                output_.insert(output_.end(), stream_[streamPos_].begin(),
                               stream_[streamPos_].end());
            if (++streamPos_ >= stream_.size() && repeat_) streamPos_ = 0;
            nextItem = now + std::chrono::milliseconds(periodMs_);
            changed_.notify_all();
        }
        if (!output_.empty() && !AtLineBaud(nullptr)) output_.clear();
        if (output_.empty()) continue;
        size_t want = output_.size();
        const bool chunked = !chunkSizes_.empty();
        if (chunked) {
            want = std::min(want, std::max<size_t>(1, chunkSizes_[chunkIndex_]));
            chunkIndex_ = (chunkIndex_ + 1) % chunkSizes_.size();
        }
        const std::string piece(output_.begin(), output_.begin() + static_cast<long>(want));
        const ssize_t w = ::write(master_, piece.data(), piece.size());
        if (w > 0) {
            output_.erase(output_.begin(), output_.begin() + w);
            bytesWritten_ += static_cast<uint64_t>(w);
            if (output_.empty()) changed_.notify_all();
        }
        lock.unlock();
        // A short gap between pieces lets the reader see them apart.
        if (chunked) std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
}

}  // namespace testsupport
