#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/serial.h"

namespace testsupport {

// A serial device that records every write with the (virtual) time it happened and plays
// back scripted reads. Errors can be injected per operation. Thread-safe.
class FakeSerialDevice : public platform::SerialDevice {
public:
    struct WriteRecord {
        uint32_t time;
        std::string bytes;
    };
    struct LineSettings {
        uint32_t baud = 0;
        char parity = 0;
        int dataBits = 0;
        int stopBits = 0;
        bool handshake = false;
    };

    // Scripted input: each chunk is returned by Read calls in order (split when max is less).
    void QueueRead(const std::string& bytes);
    size_t PendingReadBytes() const;

    // Error injection: 0 clears. A read error makes Read return -err.
    void SetOpenError(int err);
    void SetQueryError(int err);
    void SetConfigureError(int err);
    void SetReadError(int err);
    void SetWriteError(int err);
    void SetPurgeError(int err);
    void SetCloseError(int err);
    // At most this many bytes are taken per Write call (0: no limit).
    void SetWriteLimit(size_t bytes);

    std::vector<WriteRecord> writes() const;
    std::string written() const;  // all written bytes in order
    void ClearWrites();
    LineSettings settings() const;
    std::string openedPath() const;
    int opens() const;
    int closes() const;
    int purges() const;

    int Open(const std::string& path) override;
    int QueryState() override;
    int Configure(uint32_t baud, char parity, int dataBits, int stopBits, bool handshake) override;
    long Read(void* buf, size_t max) override;
    long Write(const void* buf, size_t len) override;
    int BytesQueued(uint32_t* count) override;
    int Purge() override;
    int SetDtr(bool) override { return 0; }
    int SetRts(bool) override { return 0; }
    int Close() override;
    bool IsOpen() const override;
    std::string Path() const override;

private:
    mutable std::mutex mutex_;
    std::deque<std::string> reads_;
    std::vector<WriteRecord> writes_;
    LineSettings settings_;
    std::string path_;
    bool open_ = false;
    int openError_ = 0, queryError_ = 0, configureError_ = 0, readError_ = 0, writeError_ = 0,
        purgeError_ = 0, closeError_ = 0;
    size_t writeLimit_ = 0;
    int opens_ = 0, closes_ = 0, purges_ = 0;
};

}  // namespace testsupport
