#include "engine/scomm.h"

#include <algorithm>
#include <cerrno>
#include <exception>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "platform/clock.h"
#include "platform/notify.h"
#include "platform/numbers.h"
#include "platform/ports.h"
#include "platform/trace.h"

SComm g_Comm;
SComm* g_pComm = &g_Comm;

namespace {

constexpr uint32_t kRetryPauseMs = 50;
constexpr uint32_t kModemResetPauseMs = 100;
constexpr long kBaudRates[] = {2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200};

uint32_t TimeoutMs(double seconds) {
    if (!(seconds > 0.0)) return 0;
    if (seconds > 4.0e6) return UINT32_MAX / 2;
    return static_cast<uint32_t>(seconds * 1000.0);
}

void ReportException(const char* operation, const char* what) {
    std::string text = std::string("Tessaray_PC: Error Occured on ") + operation;
    platform::Trace("%s %s\n", text.c_str(), what);
    platform::Notify(text);
}

}  // namespace

SComm::SComm()
    : ownDevice_(std::make_unique<platform::PosixSerialDevice>()), device_(ownDevice_.get()) {}

SComm::SComm(platform::SerialDevice& device) : device_(&device) {}

// The port is left as it is: only the shell closes it.
SComm::~SComm() = default;

platform::SerialDevice& SComm::Device() {
    return *device_.load();
}

int SComm::Fail(int code) {
    iLastError_.store(code);
    return code;
}

std::string SComm::strPortName() const {
    std::lock_guard<std::mutex> lock(nameMutex_);
    return strPortName_;
}

std::string SComm::DevicePath() const {
    std::lock_guard<std::mutex> lock(nameMutex_);
    return devicePath_;
}

std::string SComm::LastOpenError() const {
    std::lock_guard<std::mutex> lock(nameMutex_);
    return lastOpenError_;
}

void SComm::SetModemResetHook(std::function<void()> hook) {
    std::lock_guard<std::mutex> lock(hookMutex_);
    modemResetHook_ = std::move(hook);
}

void SComm::SetDevice(platform::SerialDevice* device) {
    if (bOpen_.load()) return;
    if (device) {
        device_.store(device);
        return;
    }
    if (!ownDevice_) ownDevice_ = std::make_unique<platform::PosixSerialDevice>();
    device_.store(ownDevice_.get());
}

int SComm::OpenPort(int iPort, long lBaud, char cParity, int iDataBits, int iStopBits,
                    bool bHandshake) {
    static const char* const kName = "SComm::OpenPort";
    try {
        platform::Trace("Tessaray_PC: %s: COM%d,%ld,%c,%d,%d, handshake=%s\n", kName, iPort, lBaud,
                        cParity, iDataBits, iStopBits, bHandshake ? "Y" : "N");
        if (iPort < 1 || iPort > platform::kMaxComPort) {
            platform::Trace("Tessaray_PC: %s: invalid COM%d\n", kName, iPort);
            return Fail(COMM_INVALID_PORT);
        }
        if (bOpen_.load()) ClosePort();

        std::string path = platform::PortDevicePath(iPort);
        int err = path.empty() ? ENOENT : Device().Open(path);
        if (err != 0) {
            std::string text;
            if (path.empty()) {
                text = platform::Format(
                    "no serial device is known for COM%d (set TESSARAY_PC_COM%d or a COM%d= line "
                    "in ports.conf)",
                    iPort, iPort, iPort);
            } else {
                // A regular file, /dev/null or a pipe opens, then fails the terminal calls.
                text =
                    "cannot open " + platform::PortLabel(iPort) + ": " +
                    (err == ENOTTY ? std::string("not a serial device") : platform::ErrorText(err));
                if (err == EACCES || err == EPERM) text += " - is the user in the dialout group?";
            }
            {
                std::lock_guard<std::mutex> lock(nameMutex_);
                lastOpenError_ = text;
            }
            platform::Trace("Tessaray_PC: %s: ERROR %lu opening COM%d:\n%s\n", kName,
                            static_cast<unsigned long>(err), iPort, text.c_str());
            return Fail(COMM_OS_CALL_FAILED);
        }

        iPort_.store(iPort);
        {
            std::lock_guard<std::mutex> lock(nameMutex_);
            strPortName_ = platform::Format("COM%d:", iPort);
            devicePath_ = path;
            lastOpenError_.clear();
        }
        bOpen_.store(true);
        int status = Setup(lBaud, cParity, iDataBits, iStopBits, bHandshake);
        platform::Trace("Tessaray_PC: %s: ...status=%d.\n", kName, status);
        return status;
    } catch (const std::exception& e) {
        platform::Trace("Error or Exception When Opening Port: %s\n", e.what());
        return 1;
    }
}

std::span<const long> SComm::BaudRates() {
    return kBaudRates;
}

bool SComm::IsBaudRate(long lBaud) {
    return std::find(std::begin(kBaudRates), std::end(kBaudRates), lBaud) != std::end(kBaudRates);
}

int SComm::Setup(long lBaud, char cParity, int iDataBits, int iStopBits, bool bHandshake) {
    static const char* const kName = "SComm::Setup";
    platform::Trace("Tessaray_PC: %s: COM%d,%ld,%c,%d,%d, handshake=%s\n", kName, iPort_.load(),
                    lBaud, cParity, iDataBits, iStopBits, bHandshake ? "Y" : "N");
    if (!bOpen_.load()) return Fail(COMM_NOT_OPEN);

    platform::SerialDevice& device = Device();
    if (int err = device.QueryState(); err != 0) {
        platform::Trace("Tessaray_PC: %s: Cannot Get Com%d Port Status - Error = %ld\n", kName,
                        iPort_.load(), static_cast<long>(err));
        return Fail(COMM_OS_CALL_FAILED);
    }

    long baud = 9600;
    if (IsBaudRate(lBaud)) {
        baud = lBaud;
    } else {
        platform::Trace("Tessaray_PC: %s: invalid baud rate %ld!\n", kName, lBaud);
    }

    bool written = true;
    if (int err = device.Configure(static_cast<uint32_t>(baud), cParity, iDataBits, iStopBits,
                                   bHandshake);
        err != 0) {
        platform::Trace("Tessaray_PC: %s: Cannot Get Com%d Port Status - Error = %ld", kName,
                        iPort_.load(), static_cast<long>(err));
        Fail(COMM_OS_CALL_FAILED);
        written = false;
    }

    if (int err = device.QueryState(); err != 0) {
        platform::Trace("Tessaray_PC: %s: Cannot Get Com%d Port Status - Error = %ld\n", kName,
                        iPort_.load(), static_cast<long>(err));
        return Fail(COMM_OS_CALL_FAILED);
    }
    int status = written ? COMM_OK : COMM_OS_CALL_FAILED;
    platform::Trace("Tessaray_PC: %s: status=%d\n", kName, status);
    return status;
}

int SComm::ReadBytes(char* buf, uint32_t nMax, uint32_t* pnRead, uint32_t* pnQueued,
                     double dTimeoutSec) {
    *pnRead = 0;
    if (pnQueued) *pnQueued = 0;
    if (!bOpen_.load()) return Fail(COMM_NOT_OPEN);
    try {
        platform::SerialDevice& device = Device();
        const uint32_t start = platform::TickCount();
        const uint32_t timeout = TimeoutMs(dTimeoutSec);
        int result = COMM_OK;
        while (*pnRead < nMax) {
            long n = device.Read(buf + *pnRead, nMax - *pnRead);
            if (n < 0) {
                result = Fail(COMM_OS_CALL_FAILED);
                break;
            }
            if (n > 0) {
                *pnRead += static_cast<uint32_t>(n);
                continue;
            }
            if (platform::TickCount() - start >= timeout) {
                if (dTimeoutSec > 0.0) result = Fail(COMM_TIMEOUT);
                break;
            }
            platform::Sleep(kRetryPauseMs);
        }
        if (pnQueued) *pnQueued = BytesInQueue();
        return result;
    } catch (const std::exception& e) {
        ReportException("SComm::ReadBytes", e.what());
        return COMM_EXCEPTION;
    }
}

int SComm::SendBytes(const char* buf, uint32_t n, uint32_t* pnWritten, double dTimeoutSec) {
    if (pnWritten) *pnWritten = 0;
    if (!bOpen_.load()) {
        nSendFailures_.fetch_add(1);
        return Fail(COMM_NOT_OPEN);
    }
    try {
        platform::SerialDevice& device = Device();
        const uint32_t start = platform::TickCount();
        const uint32_t timeout = TimeoutMs(dTimeoutSec);
        uint32_t written = 0;
        for (;;) {
            long w = device.Write(buf + written, n - written);
            if (w < 0) {
                nSendFailures_.fetch_add(1);
                std::string text =
                    platform::Format("Write To Comm Port Error - %ld", static_cast<long>(-w));
                platform::Trace("Tessaray_PC: %s: %s\n", "SComm::SendBytes", text.c_str());
                return COMM_OS_CALL_FAILED;
            }
            written += static_cast<uint32_t>(w);
            if (pnWritten) *pnWritten = written;
            if (written >= n) return COMM_OK;
            if (platform::TickCount() - start >= timeout) {
                if (dTimeoutSec <= 0.0) return COMM_OK;
                nSendFailures_.fetch_add(1);
                return COMM_TIMEOUT;
            }
            platform::Sleep(kRetryPauseMs);
        }
    } catch (const std::exception& e) {
        ReportException("SComm::SendBytes", e.what());
        return COMM_EXCEPTION;
    }
}

int SComm::EmptyInputQueue() {
    if (!bOpen_.load()) return Fail(COMM_NOT_OPEN);
    try {
        if (Device().Purge() != 0) return Fail(COMM_OS_CALL_FAILED);
        return COMM_OK;
    } catch (const std::exception& e) {
        ReportException("SComm::EmptyInputQueue", e.what());
        return COMM_EXCEPTION;
    }
}

int SComm::ClosePort() {
    App().bPortOpen.store(0);
    if (g_GPS.ReceiverType() == RECEIVER_BLUETOOTH) {
        std::function<void()> hook;
        {
            std::lock_guard<std::mutex> lock(hookMutex_);
            hook = modemResetHook_;
        }
        if (hook) hook();
        platform::Sleep(kModemResetPauseMs);
    }
    if (!bOpen_.load()) return Fail(COMM_NOT_OPEN);
    platform::SerialDevice& device = Device();
    if (!device.IsOpen()) return Fail(COMM_INVALID_HANDLE);
    if (device.Close() != 0) return Fail(COMM_CLOSE_FAILED);
    bOpen_.store(false);
    {
        std::lock_guard<std::mutex> lock(nameMutex_);
        devicePath_.clear();
    }
    return COMM_OK;
}

uint32_t SComm::BytesInQueue() {
    if (!bOpen_.load()) return 0;
    uint32_t count = 0;
    if (Device().BytesQueued(&count) != 0) return 0;
    return count;
}
