#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

inline constexpr int kMaxComPort = 50;
// A ports.conf above this size is refused with a notice: it is a few lines by nature.
inline constexpr size_t kMaxPortsConfBytes = 64 * 1024;

// Device path of port COM<n> (1..50), or "" when no device is known for it. Looked up in
// this order: environment TESSARAY_PC_COM<n>, a "COM<n>=<path>" line of ports.conf in the
// configuration folder (read again only when the file changes; one that is no regular file or
// too large is refused with a notice), then the serial devices found by the last scan,
// numbered from COM1.
std::string PortDevicePath(int comNumber);

// "COM3 (/dev/ttyUSB0)", or "COM3" when no device is known.
std::string PortLabel(int comNumber);

// Reads ports.conf again and looks for serial devices again. The first look-up scans once.
void RescanPorts();

// The devices found by the last scan, in COM order: /dev/serial/by-id targets, ttyUSB*,
// ttyACM*, rfcomm*, then ttyS* that answer as a real UART.
std::vector<std::string> DetectedPorts();

// Replaces the scan result with a fixed list (tests); RescanPorts() scans again.
void SetDetectedPortsForTest(const std::vector<std::string>& paths);
// The folder the scan looks in instead of /dev (tests; "" for /dev again). The next
// RescanPorts() looks there.
void SetDeviceFolderForTest(const std::string& dir);
// Makes every look at ports.conf fail with `err` while the file itself stays readable, as
// when it changes between two looks (tests; 0 to look again).
void SetPortsConfLookErrorForTest(int err);

}  // namespace platform
