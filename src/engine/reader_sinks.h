#pragma once
// The production receiver of what the reader thread frames: binary frames, log files and
// history rings (BinarySinks), and text sentences through the dispatcher.

#include <cstddef>

#include "engine/binarysinks.h"

class CGPS;
class CNMEA;

class EngineSinks : public BinarySinks {
public:
    // gps, nmea, app: the record, the dispatcher and the application fields (null: g_GPS,
    // g_NMEA and App()).
    explicit EngineSinks(CGPS* gps = nullptr, CNMEA* nmea = nullptr, AppShared* app = nullptr);

    bool Sentence(const char* sentence, size_t len) override;

private:
    CGPS* gps_;
    CNMEA* nmea_;
};
