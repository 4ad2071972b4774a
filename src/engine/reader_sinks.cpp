#include "engine/reader_sinks.h"

#include <cstring>

#include "engine/gps.h"
#include "engine/nmea.h"

EngineSinks::EngineSinks(CGPS* gps, CNMEA* nmea, AppShared* app)
    : BinarySinks(gps ? *gps : g_GPS, app),
      gps_(gps ? gps : &g_GPS),
      nmea_(nmea ? nmea : &g_NMEA) {}

// ---------------------------------------------------------------- text sentences

bool EngineSinks::Sentence(const char* sentence, size_t len) {
    // The dispatcher consumes the sentence it splits; it gets a copy of its own.
    char copy[CGPSThread::kSentenceBufferSize];
    if (len >= sizeof copy) len = sizeof copy - 1;
    std::memcpy(copy, sentence, len);
    copy[len] = '\0';
    return nmea_->bParseNMEA(&gps_->Info, copy);
}
