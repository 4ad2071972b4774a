#include "engine_sinks.h"

#include "engine/gps.h"

namespace benchsupport {

std::unique_ptr<ReaderSinks> MakeEngineSinks(CGPS&) {
    return std::make_unique<ReaderSinks>();
}

}  // namespace benchsupport
