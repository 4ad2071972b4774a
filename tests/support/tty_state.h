#pragma once

#include <cstdint>
#include <string>

namespace testsupport {

// Reads the line speed the terminal device is set to; 0 when it cannot be read.
uint32_t TtyBaud(const std::string& path);
// True when the speed is set by a standard speed constant rather than the arbitrary form.
bool TtyHasSpeedConstant(const std::string& path);

}  // namespace testsupport
