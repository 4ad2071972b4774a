#include "support/tty_state.h"

#include <asm/termbits.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace testsupport {
namespace {

bool ReadTermios(const std::string& path, termios2* tio) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const bool ok = fd >= 0 && ::ioctl(fd, TCGETS2, tio) == 0;
    if (fd >= 0) ::close(fd);
    return ok;
}

}  // namespace

uint32_t TtyBaud(const std::string& path) {
    termios2 tio{};
    return ReadTermios(path, &tio) ? tio.c_ospeed : 0;
}

bool TtyHasSpeedConstant(const std::string& path) {
    termios2 tio{};
    return ReadTermios(path, &tio) && (tio.c_cflag & CBAUD) != BOTHER && (tio.c_cflag & CBAUD) != 0;
}

}  // namespace testsupport
