#pragma once

#include <memory>

#include "engine/thread.h"

class CGPS;

namespace benchsupport {

// The reader thread's sinks as the program builds them, on the given record.
std::unique_ptr<ReaderSinks> MakeEngineSinks(CGPS& gps);

}  // namespace benchsupport
