#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/serial.h"
#include "support/guarded.h"

namespace testsupport {

// A serial device that records every byte written and plays back scripted reads. Errors can be
// injected per operation (0 clears). Thread-safe.
class FakeSerialDevice : public platform::SerialDevice, protected Guarded {
public:
    struct LineSettings {
        uint32_t baud = 0;
        char parity = 0;
        int dataBits = 0;
        int stopBits = 0;
        bool handshake = false;
    };

    // Each chunk is returned by Read calls in order (split when max is less).
    void QueueRead(const std::string& bytes) {
        if (!bytes.empty()) Locked([&] { reads_.push_back(bytes); });
    }
    void SetOpenError(int err) { Set(openError_, err); }
    void SetQueryError(int err) { Set(queryError_, err); }
    void SetConfigureError(int err) { Set(configureError_, err); }
    void SetReadError(int err) { Set(readError_, err); }  // Read then returns -err
    void SetWriteError(int err) { Set(writeError_, err); }
    void SetPurgeError(int err) { Set(purgeError_, err); }
    void SetCloseError(int err) { Set(closeError_, err); }
    // At most this many bytes are taken per Write call (0: no limit).
    void SetWriteLimit(size_t bytes) { Set(writeLimit_, bytes); }
    // While set, Write takes nothing, as on a link whose other end stopped reading.
    void SetStalled(bool stalled) { Set(stalled_, stalled); }

    std::string written() const { return Get(written_); }
    void ClearWrites() { Set(written_, {}); }
    LineSettings settings() const { return Get(settings_); }
    int opens() const { return Get(opens_); }
    int closes() const { return Get(closes_); }

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
    bool IsOpen() const override { return Get(open_); }
    std::string Path() const override { return Get(open_) ? Get(path_) : std::string(); }

private:
    std::deque<std::string> reads_;
    std::string written_;
    LineSettings settings_;
    std::string path_;
    bool open_ = false;
    int openError_ = 0, queryError_ = 0, configureError_ = 0, readError_ = 0, writeError_ = 0,
        purgeError_ = 0, closeError_ = 0;
    size_t writeLimit_ = 0;
    bool stalled_ = false;
    int opens_ = 0, closes_ = 0;
};

}  // namespace testsupport
