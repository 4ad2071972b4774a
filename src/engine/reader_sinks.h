#pragma once
// The production receiver of what the reader thread frames: each kind of frame goes to the
// part of the engine that handles it. Every override lives in reader_sinks.cpp, one method
// per kind.

#include <cstddef>

#include "engine/thread.h"

class CGPS;
class CNMEA;

class EngineSinks : public ReaderSinks {
public:
    // gps, nmea: the record and the dispatcher (null: g_GPS and g_NMEA).
    explicit EngineSinks(CGPS* gps = nullptr, CNMEA* nmea = nullptr);

    bool Sentence(const char* sentence, size_t len) override;

private:
    CGPS* gps_;
    CNMEA* nmea_;
};
