#pragma once
// One running copy per configuration folder: two copies would each write their own settings
// over the other's at their exit.

#include <string>

namespace platform {

inline constexpr const char* kInstanceLockName = "Tessaray_PC.lock";

// Takes the lock file of the configuration folder for this process (it holds the pid). The
// lock goes with the process, so a copy that crashed never blocks the next one. False when
// another running process holds it: *ownerPid (when given) is its pid as the file gives it,
// 0 when unknown. A folder that cannot hold the file (none can be created) does not stop the
// program: true then. Taking it again in the process that holds it is true.
bool LockConfigFolder(int* ownerPid = nullptr);

// Gives the lock up and removes its file (the program ends).
void UnlockConfigFolder();

}  // namespace platform
