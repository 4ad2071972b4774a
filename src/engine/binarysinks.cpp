#include "engine/binarysinks.h"

#include "engine/gps.h"

BinarySinks::BinarySinks(CGPS& gps, AppShared* app)
    : gps_(gps), binary_(app), logs_(gps.Info, app), history_(gps.Info, app) {}

bool BinarySinks::BinaryFrame(const char* frame, size_t len) {
    if (len > static_cast<size_t>(CGPSThread::kSentenceBufferSize)) return false;
    return binary_.bParseBINARY(&gps_.Info, frame, static_cast<int>(len));
}

void BinarySinks::LogFrame(const char* frame, size_t len, uint32_t logFlags) {
    logs_.LogFrame(frame, len, logFlags);
}

void BinarySinks::PassDone() {
    history_.Update();
}
