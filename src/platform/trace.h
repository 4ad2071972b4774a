#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// Writes one trace line. The text is formatted locale-free (see numbers.h for the
// conversions understood) and taken as it stands: callers put the "Tessaray_PC: " prefix
// where the system's text has it. Goes to stderr when TESSARAY_PC_TRACE=1 and always into a
// capped in-memory ring. Thread-safe.
void Trace(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Whether traces that cost time on a hot path are wanted: tracing to stderr is on, or a
// reader of the ring (a test) asked for them. Other traces are always kept in the ring.
bool TracesWanted();
void SetTracesWanted(bool wanted);

// Lines in the ring, oldest first; a trailing line end of each call is removed.
std::vector<std::string> TraceLines();
void ClearTrace();

// True when any line in the ring contains the text.
bool TraceContains(const std::string& text);

inline constexpr std::size_t kTraceRingLines = 2000;

void TraceInternalError(const char* file, int line);

}  // namespace platform

// A debug assertion that never stops the program: it traces "internal error file:line".
#define TRACE_ASSERT(cond)                                             \
    do {                                                               \
        if (!(cond)) platform::TraceInternalError(__FILE__, __LINE__); \
    } while (0)
