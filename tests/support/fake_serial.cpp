#include "support/fake_serial.h"

#include <cerrno>
#include <cstring>

namespace testsupport {

using Lock = std::lock_guard<std::mutex>;

int FakeSerialDevice::Open(const std::string& path) {
    Lock lock(mutex_);
    if (openError_) return openError_;
    open_ = true;
    path_ = path;
    ++opens_;
    return 0;
}

int FakeSerialDevice::QueryState() {
    Lock lock(mutex_);
    return open_ ? queryError_ : EBADF;
}

int FakeSerialDevice::Configure(uint32_t baud, char parity, int dataBits, int stopBits,
                                bool handshake) {
    Lock lock(mutex_);
    if (!open_) return EBADF;
    if (configureError_) return configureError_;
    settings_ = {baud, parity, dataBits, stopBits, handshake};
    return 0;
}

long FakeSerialDevice::Read(void* buf, size_t max) {
    Lock lock(mutex_);
    if (!open_) return -EBADF;
    if (readError_) return -readError_;
    if (reads_.empty() || max == 0) return 0;
    std::string& chunk = reads_.front();
    const size_t n = std::min(max, chunk.size());
    std::memcpy(buf, chunk.data(), n);
    chunk.erase(0, n);
    if (chunk.empty()) reads_.pop_front();
    return static_cast<long>(n);
}

long FakeSerialDevice::Write(const void* buf, size_t len) {
    Lock lock(mutex_);
    if (!open_) return -EBADF;
    if (writeError_) return -writeError_;
    if (stalled_) return 0;
    const size_t n = writeLimit_ ? std::min(len, writeLimit_) : len;
    written_.append(static_cast<const char*>(buf), n);
    return static_cast<long>(n);
}

int FakeSerialDevice::BytesQueued(uint32_t* count) {
    Lock lock(mutex_);
    *count = 0;
    if (!open_) return EBADF;
    for (const std::string& chunk : reads_) *count += static_cast<uint32_t>(chunk.size());
    return 0;
}

int FakeSerialDevice::Purge() {
    Lock lock(mutex_);
    if (!open_) return EBADF;
    if (purgeError_) return purgeError_;
    reads_.clear();
    return 0;
}

int FakeSerialDevice::Close() {
    Lock lock(mutex_);
    if (!open_) return EBADF;
    open_ = false;
    ++closes_;
    return closeError_;
}

}  // namespace testsupport
