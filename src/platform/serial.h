#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace platform {

// A serial line. Every call returns 0 or a positive errno value, except Read and Write,
// which return a byte count (>= 0) or a negated errno value. Calls never block: reads take
// only what is queued and writes only what the OS accepts at once. Implementations are
// safe to call from several threads; Close on one thread never races a Read on another.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    virtual int Open(const std::string& path) = 0;
    // Reads the current line state back from the device (fails on a vanished device).
    virtual int QueryState() = 0;
    // parity: 'N', 'E', 'O', 'M' or 'S' (any other letter: none). dataBits outside 5..8 keeps
    // the device's byte size; stopBits 2 gives two, anything else one. Without handshake the
    // hardware flow control is switched off and DTR and RTS raised; with it they stay.
    virtual int Configure(uint32_t baud, char parity, int dataBits, int stopBits,
                          bool handshake) = 0;
    virtual long Read(void* buf, size_t max) = 0;  // 0 when nothing is queued; -EIO on hang-up
    virtual long Write(const void* buf, size_t len) = 0;
    virtual int BytesQueued(uint32_t* count) = 0;
    virtual int Purge() = 0;  // discards queued input only
    virtual int SetDtr(bool on) = 0;
    virtual int SetRts(bool on) = 0;
    virtual int Close() = 0;  // the device counts as closed afterwards even when it fails
    virtual bool IsOpen() const = 0;
    virtual std::string Path() const = 0;
};

// The POSIX terminal implementation: raw mode, any baud rate through termios2/BOTHER.
class PosixSerialDevice : public SerialDevice {
public:
    PosixSerialDevice() = default;
    ~PosixSerialDevice() override;

    int Open(const std::string& path) override;
    int QueryState() override;
    int Configure(uint32_t baud, char parity, int dataBits, int stopBits, bool handshake) override;
    long Read(void* buf, size_t max) override;
    long Write(const void* buf, size_t len) override;
    int BytesQueued(uint32_t* count) override;
    int Purge() override;
    int SetDtr(bool on) override;
    int SetRts(bool on) override;
    int Close() override;
    bool IsOpen() const override;
    std::string Path() const override;

private:
    int ModemBit(int bit, bool on);  // caller holds mutex_

    mutable std::mutex mutex_;  // guards fd_: descriptor numbers are reused at once
    int fd_ = -1;
    std::string path_;
};

// Text of an errno value, never empty, not affected by the process locale.
std::string ErrorText(int err);

}  // namespace platform
