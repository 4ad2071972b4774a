#pragma once

#include <cstdint>
#include <string>

namespace testsupport {

// Reads the line speed the terminal device is set to; 0 when it cannot be read.
uint32_t TtyBaud(const std::string& path);

}  // namespace testsupport
