#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "platform/serial.h"

// eCommError: the result codes of SComm's operations.
enum eCommError : int {
    COMM_OK = 0,
    COMM_INVALID_PORT = 5001,    // port number outside 1..50
    COMM_NOT_OPEN = 5002,        // the operation needs an open port
    COMM_OS_CALL_FAILED = 5003,  // opening, line state, purge or write failed
    COMM_TIMEOUT = 5010,         // deadline passed with bytes still to read or write
    COMM_CLOSE_FAILED = 5030,
    COMM_INVALID_HANDLE = 5040,  // close requested while no device is held
    COMM_EXCEPTION = -1,
};

// The one serial port of the program. Every operation returns an eCommError and never
// throws. COM numbers map to devices through the port table (platform/ports.h).
//
// The reader thread calls ReadBytes and BytesInQueue while the user-interface thread
// writes, opens, purges and closes; the device guards its descriptor, so a close or reopen
// never races a read.
class SComm {
public:
    // Uses its own POSIX serial device.
    SComm();
    // Uses the given device, which must outlive this object.
    explicit SComm(platform::SerialDevice& device);
    virtual ~SComm();
    SComm(const SComm&) = delete;
    SComm& operator=(const SComm&) = delete;

    int OpenPort(int iPort, long lBaud, char cParity = 'N', int iDataBits = 8, int iStopBits = 1,
                 bool bHandshake = false);
    int Setup(long lBaud, char cParity, int iDataBits, int iStopBits, bool bHandshake);
    // The baud rates Setup sets as asked (any other runs the port at 9600), and whether
    // lBaud is one of them.
    static std::span<const long> BaudRates();
    static bool IsBaudRate(long lBaud);
    // pnQueued may be null; with a time-out of 0 returns at once with what is queued.
    int ReadBytes(char* buf, uint32_t nMax, uint32_t* pnRead, uint32_t* pnQueued,
                  double dTimeoutSec);
    // pnWritten may be null; with a time-out of 0 what the OS does not take at once is dropped.
    int SendBytes(const char* buf, uint32_t n, uint32_t* pnWritten, double dTimeoutSec);
    int EmptyInputQueue();
    int ClosePort();
    uint32_t BytesInQueue();

    bool bOpen() const { return bOpen_.load(); }
    int iPort() const { return iPort_.load(); }
    int iLastError() const { return iLastError_.load(); }
    // Sends that failed since the program started (port closed, the OS refused them, the
    // deadline passed, or the sender dropped them on a stalled link); a caller compares two
    // readings to learn whether its own commands reached the device.
    uint32_t SendFailures() const { return nSendFailures_.load(); }
    void CountSendFailure() { nSendFailures_.fetch_add(1); }
    std::string strPortName() const;
    // The device path behind the open port ("" when closed).
    std::string DevicePath() const;
    // Why the last OpenPort could not open the device, for a message to the user
    // ("cannot open COM3 (/dev/ttyUSB0): Permission denied - is the user in the dialout
    // group?"); "" after a successful open.
    std::string LastOpenError() const;

    // Sent by ClosePort for a receiver on a Bluetooth link (eReceiverType 2) before the port
    // is closed; the command sender installs CTxNMEA::ModemReset here.
    void SetModemResetHook(std::function<void()> hook);

    // Replaces the device (nullptr: own POSIX device). Only while the port is closed.
    void SetDevice(platform::SerialDevice* device);

private:
    platform::SerialDevice& Device();
    int Fail(int code);

    std::unique_ptr<platform::SerialDevice> ownDevice_;
    std::atomic<platform::SerialDevice*> device_;

    std::atomic<bool> bOpen_{false};
    std::atomic<int> iPort_{0};
    std::atomic<int> iLastError_{0};
    std::atomic<uint32_t> nSendFailures_{0};
    mutable std::mutex nameMutex_;
    std::string strPortName_;
    std::string devicePath_;
    std::string lastOpenError_;
    std::mutex hookMutex_;
    std::function<void()> modemResetHook_;
};

// The process-wide port.
extern SComm g_Comm;
extern SComm* g_pComm;
