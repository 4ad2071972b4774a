#pragma once
// The end of the program: the receiver shutdown sequence, cancelling an exit, and the one
// routine every way out of the process goes through.

#include <cstdint>
#include <functional>

// Switches the receiver's outputs off, sends the stored configuration back twice, has the
// receiver save it, then runs the saving screen. Returns 1.
int SaveAndCloseReceiver();

// An exit in progress is called off (Retry on the saving screen, Go Back on the report):
// polling is allowed again and OnDestroy returns instead of ending the process. With
// backToScreen the screen the exit started from is activated again when OnDestroy returns.
void CancelExit(bool backToScreen);

// Stops the reader thread (waiting at most kReaderStopWaitMs, not at all when it never
// ran), closes its log files and closes the port. Runs once; the process end calls it before
// the process goes. The port is closed without sending anything unless closeLink is set: the
// program's normal end closes it as every close does, resetting the modem of a Bluetooth
// link.
void ReleaseForExit(bool closeLink = false);
// Back to a program that has not begun to end, so a later run in the same process (tests,
// whose end-of-process hook keeps the process alive) releases again. Added hooks stay.
void RearmExitForTest();
// Work that must be done before the process ends, such as finishing a file a screen keeps
// open. The hooks run first in ReleaseForExit, in the order they were added.
void AddExitHook(std::function<void()> hook);
inline constexpr uint32_t kReaderStopWaitMs = 2000;
