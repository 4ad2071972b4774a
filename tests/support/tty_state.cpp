#include "support/tty_state.h"

#include <asm/termbits.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace testsupport {

uint32_t TtyBaud(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return 0;
    termios2 tio{};
    uint32_t baud = ::ioctl(fd, TCGETS2, &tio) == 0 ? tio.c_ospeed : 0;
    ::close(fd);
    return baud;
}

bool TtyHasSpeedConstant(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    termios2 tio{};
    const bool standard = ::ioctl(fd, TCGETS2, &tio) == 0 && (tio.c_cflag & CBAUD) != BOTHER &&
                          (tio.c_cflag & CBAUD) != 0;
    ::close(fd);
    return standard;
}

}  // namespace testsupport
