#pragma once

namespace platform {
// The program's own name: trace prefix, message-box caption, configuration folder.
inline constexpr const char* kProgramName = "Tessaray_PC";
}  // namespace platform
