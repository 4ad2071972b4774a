#pragma once
// The reader thread's calls into the binary decoder, the log files and the history rings.
// The production sink derives from this and adds the sentence dispatch.

#include <cstddef>
#include <cstdint>

#include "engine/binary.h"
#include "engine/history.h"
#include "engine/logs.h"
#include "engine/thread.h"

class CGPS;

class BinarySinks : public ReaderSinks {
public:
    // gps: the record the decoder, logs and rings use; app: switches, names and the plot
    // reference (null: App()).
    explicit BinarySinks(CGPS& gps, AppShared* app = nullptr);

    bool BinaryFrame(const char* frame, size_t len) override;
    void LogFrame(const char* frame, size_t len, uint32_t logFlags) override;
    void PassDone() override;

    CLogs& Logs() { return logs_; }
    CHistory& History() { return history_; }

private:
    CGPS& gps_;
    CBinary binary_;
    CLogs logs_;
    CHistory history_;
};
