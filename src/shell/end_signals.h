#pragma once

// SIGTERM, SIGHUP and SIGINT end the program as its normal end does, less the receiver's
// shutdown: the profile archive is saved, the logs are closed, then the process ends with
// 128 + the signal's number. A lost display ends it the same way with code 1. SIGXFSZ is
// ignored, so a write past the file-size limit fails instead of ending the program. Called
// once by the program's entry point, after the QApplication exists.
void InstallEndSignals();
