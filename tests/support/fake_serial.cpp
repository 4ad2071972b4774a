#include "support/fake_serial.h"

#include <cerrno>
#include <cstring>

#include "platform/clock.h"

namespace testsupport {

void FakeSerialDevice::QueueRead(const std::string& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!bytes.empty()) reads_.push_back(bytes);
}

size_t FakeSerialDevice::PendingReadBytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t n = 0;
    for (const std::string& chunk : reads_) n += chunk.size();
    return n;
}

void FakeSerialDevice::SetOpenError(int err) {
    std::lock_guard<std::mutex> lock(mutex_);
    openError_ = err;
}
void FakeSerialDevice::SetQueryError(int err) {
    std::lock_guard<std::mutex> lock(mutex_);
    queryError_ = err;
}
void FakeSerialDevice::SetConfigureError(int err) {
    std::lock_guard<std::mutex> lock(mutex_);
    configureError_ = err;
}
void FakeSerialDevice::SetReadError(int err) {
    std::lock_guard<std::mutex> lock(mutex_);
    readError_ = err;
}
void FakeSerialDevice::SetWriteError(int err) {
    std::lock_guard<std::mutex> lock(mutex_);
    writeError_ = err;
}
void FakeSerialDevice::SetPurgeError(int err) {
    std::lock_guard<std::mutex> lock(mutex_);
    purgeError_ = err;
}
void FakeSerialDevice::SetCloseError(int err) {
    std::lock_guard<std::mutex> lock(mutex_);
    closeError_ = err;
}
void FakeSerialDevice::SetWriteLimit(size_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    writeLimit_ = bytes;
}

std::vector<FakeSerialDevice::WriteRecord> FakeSerialDevice::writes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return writes_;
}

std::string FakeSerialDevice::written() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string all;
    for (const auto& w : writes_) all += w.bytes;
    return all;
}

void FakeSerialDevice::ClearWrites() {
    std::lock_guard<std::mutex> lock(mutex_);
    writes_.clear();
}

FakeSerialDevice::LineSettings FakeSerialDevice::settings() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return settings_;
}

std::string FakeSerialDevice::openedPath() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return path_;
}

int FakeSerialDevice::opens() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return opens_;
}
int FakeSerialDevice::closes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return closes_;
}
int FakeSerialDevice::purges() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return purges_;
}

int FakeSerialDevice::Open(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (openError_) return openError_;
    open_ = true;
    path_ = path;
    ++opens_;
    return 0;
}

int FakeSerialDevice::QueryState() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) return EBADF;
    return queryError_;
}

int FakeSerialDevice::Configure(uint32_t baud, char parity, int dataBits, int stopBits,
                                bool handshake) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) return EBADF;
    if (configureError_) return configureError_;
    settings_ = {baud, parity, dataBits, stopBits, handshake};
    return 0;
}

long FakeSerialDevice::Read(void* buf, size_t max) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) return -EBADF;
    if (readError_) return -readError_;
    if (reads_.empty() || max == 0) return 0;
    std::string& chunk = reads_.front();
    size_t n = std::min(max, chunk.size());
    std::memcpy(buf, chunk.data(), n);
    chunk.erase(0, n);
    if (chunk.empty()) reads_.pop_front();
    return static_cast<long>(n);
}

long FakeSerialDevice::Write(const void* buf, size_t len) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) return -EBADF;
    if (writeError_) return -writeError_;
    size_t n = writeLimit_ ? std::min(len, writeLimit_) : len;
    writes_.push_back({platform::TickCount(), std::string(static_cast<const char*>(buf), n)});
    return static_cast<long>(n);
}

int FakeSerialDevice::BytesQueued(uint32_t* count) {
    std::lock_guard<std::mutex> lock(mutex_);
    *count = 0;
    if (!open_) return EBADF;
    for (const std::string& chunk : reads_) *count += static_cast<uint32_t>(chunk.size());
    return 0;
}

int FakeSerialDevice::Purge() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) return EBADF;
    if (purgeError_) return purgeError_;
    reads_.clear();
    ++purges_;
    return 0;
}

int FakeSerialDevice::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) return EBADF;
    open_ = false;
    ++closes_;
    return closeError_;
}

bool FakeSerialDevice::IsOpen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return open_;
}

std::string FakeSerialDevice::Path() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return open_ ? path_ : std::string();
}

}  // namespace testsupport
