#include "platform/serial.h"

// termios2 comes from the kernel headers, which clash with <termios.h>; this file uses the
// kernel's definitions only.
#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {
namespace {

int Errno() {
    return errno ? errno : EIO;
}

// Standard rates go by their speed constants, so stty and other tools see the real speed; the
// arbitrary-speed form only for the rates that have no constant (14400, 56000).
tcflag_t SpeedConstant(uint32_t baud) {
    static constexpr struct {
        uint32_t baud;
        tcflag_t constant;
    } kRates[] = {{50, B50},         {75, B75},         {110, B110},       {134, B134},
                  {150, B150},       {200, B200},       {300, B300},       {600, B600},
                  {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
                  {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
                  {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600}};
    for (const auto& r : kRates) {
        if (r.baud == baud) return r.constant;
    }
    return BOTHER;
}

// An empty read on a device that went away shows only as a hang-up.
bool HungUp(int fd) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0) return false;
    return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

}  // namespace

std::string ErrorText(int err) {
    const char* text = strerrordesc_np(err);
    if (text && *text) return text;
    return "error " + std::to_string(err);
}

PosixSerialDevice::~PosixSerialDevice() {
    Close();
}

int PosixSerialDevice::Open(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (path.empty()) return ENOENT;
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Errno();
    termios2 tio{};
    if (::ioctl(fd, TCGETS2, &tio) != 0) {
        int err = Errno();
        ::close(fd);
        return err == EINVAL ? ENOTTY : err;
    }
    fd_ = fd;
    path_ = path;
    return 0;
}

int PosixSerialDevice::QueryState() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (fd_ < 0) return EBADF;
    termios2 tio{};
    return ::ioctl(fd_, TCGETS2, &tio) == 0 ? 0 : Errno();
}

int PosixSerialDevice::Configure(uint32_t baud, char parity, int dataBits, int stopBits,
                                 bool handshake) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (fd_ < 0) return EBADF;
    termios2 tio{};
    if (::ioctl(fd_, TCGETS2, &tio) != 0) return Errno();

    // Raw mode: no line editing, no translation, no software flow control.
    tio.c_iflag &=
        ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;

    tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    const tcflag_t speed = SpeedConstant(baud);
    tio.c_cflag |= speed | (speed << IBSHIFT);
    tio.c_ispeed = baud;
    tio.c_ospeed = baud;

    tio.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (parity) {
        case 'E':
            tio.c_cflag |= PARENB;
            tio.c_iflag |= INPCK;
            break;
        case 'O':
            tio.c_cflag |= PARENB | PARODD;
            tio.c_iflag |= INPCK;
            break;
        case 'M':
            tio.c_cflag |= PARENB | CMSPAR | PARODD;
            tio.c_iflag |= INPCK;
            break;
        case 'S':
            tio.c_cflag |= PARENB | CMSPAR;
            tio.c_iflag |= INPCK;
            break;
        default:
            break;
    }

    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    if (dataBits >= 5 && dataBits <= 8) {
        tio.c_cflag &= ~CSIZE;
        tio.c_cflag |= kSizes[dataBits - 5];
    }
    if (stopBits == 2)
        tio.c_cflag |= CSTOPB;
    else
        tio.c_cflag &= ~CSTOPB;
    if (!handshake) tio.c_cflag &= ~CRTSCTS;

    if (::ioctl(fd_, TCSETS2, &tio) != 0) return Errno();
    if (!handshake) {
        int err = ModemBit(TIOCM_DTR, true);
        if (err == 0) err = ModemBit(TIOCM_RTS, true);
        if (err != 0) return err;
    }
    return 0;
}

int PosixSerialDevice::ModemBit(int bit, bool on) {
    if (fd_ < 0) return EBADF;
    if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit) == 0) return 0;
    int err = Errno();
    // A pseudo-terminal has no modem lines.
    if (err == ENOTTY || err == EINVAL) return 0;
    return err;
}

long PosixSerialDevice::Read(void* buf, size_t max) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (fd_ < 0) return -EBADF;
    if (max == 0) return 0;
    ssize_t n = ::read(fd_, buf, max);
    if (n > 0) return static_cast<long>(n);
    if (n == 0) return HungUp(fd_) ? -EIO : 0;
    int err = Errno();
    if (err == EAGAIN || err == EWOULDBLOCK || err == EINTR) return HungUp(fd_) ? -EIO : 0;
    return -err;
}

long PosixSerialDevice::Write(const void* buf, size_t len) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (fd_ < 0) return -EBADF;
    if (len == 0) return 0;
    ssize_t n = ::write(fd_, buf, len);
    if (n >= 0) return static_cast<long>(n);
    int err = Errno();
    if (err == EAGAIN || err == EWOULDBLOCK || err == EINTR) return 0;
    return -err;
}

int PosixSerialDevice::BytesQueued(uint32_t* count) {
    std::lock_guard<std::mutex> lock(mutex_);
    *count = 0;
    if (fd_ < 0) return EBADF;
    int n = 0;
    if (::ioctl(fd_, FIONREAD, &n) != 0) return Errno();
    *count = n > 0 ? static_cast<uint32_t>(n) : 0;
    return 0;
}

int PosixSerialDevice::Purge() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (fd_ < 0) return EBADF;
    return ::ioctl(fd_, TCFLSH, TCIFLUSH) == 0 ? 0 : Errno();
}

int PosixSerialDevice::SetDtr(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    return ModemBit(TIOCM_DTR, on);
}

int PosixSerialDevice::SetRts(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    return ModemBit(TIOCM_RTS, on);
}

int PosixSerialDevice::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (fd_ < 0) return EBADF;
    int rc = ::close(fd_);
    int err = rc == 0 ? 0 : Errno();
    // Linux releases the descriptor even when close reports an error.
    fd_ = -1;
    path_.clear();
    return err == EINTR ? 0 : err;
}

bool PosixSerialDevice::IsOpen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return fd_ >= 0;
}

std::string PosixSerialDevice::Path() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return path_;
}

}  // namespace platform
