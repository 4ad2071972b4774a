#pragma once

#include <cstddef>

#include "engine/binarysinks.h"
#include "engine/nmea.h"
#include "engine/reader_sinks.h"

namespace testsupport {

// The whole engine behind the reader thread, on a record and a dispatcher of its own: the
// binary decoder, the logs and the history rings, and the sentence dispatcher with every
// decoder.
class FullEngineSinks : public BinarySinks {
public:
    explicit FullEngineSinks(CGPS& gps, AppShared* app = nullptr)
        : BinarySinks(gps, app), text_(&gps, &nmea_) {}

    bool Sentence(const char* sentence, size_t len) override {
        return text_.Sentence(sentence, len);
    }

private:
    CNMEA nmea_;
    EngineSinks text_;
};

}  // namespace testsupport
