#pragma once
// The log files the reader thread writes as frames arrive: NMEA log, point-sentence log,
// raw-data log and binary log. The logging screens choose names, content and when a log
// runs (wLogFlags); only the reader thread opens, appends to and closes the files.

#include <cstddef>
#include <cstdint>
#include <string>

struct AppShared;
struct GPSInfo;

class CLogs {
public:
    // In the order the reader thread runs them.
    enum Log : int { NMEA = 0, POINT, RAW, BIN, kLogCount };
    // State words.
    enum State : int { CLOSED = 0, TO_OPEN = 1, OPEN = 2 };

    static constexpr size_t kGsvMessages = 4;
    static constexpr size_t kGsvBufferSize = 300;

    // rec: the gates (NMEALogConfig, BinLogRates); app: switches and names (null: App()).
    explicit CLogs(GPSInfo& rec, AppShared* app = nullptr);
    ~CLogs();
    CLogs(const CLogs&) = delete;
    CLogs& operator=(const CLogs&) = delete;

    // One finished frame (CR LF included) with the switches read for it: a set bit turns a
    // closed log to "to be opened" and runs its logger; a cleared bit closes its file.
    void LogFrame(const char* frame, size_t len, uint32_t logFlags);

    // The loggers; true when they wrote the frame.
    bool bLogNMEA(const char* frame, size_t len);
    bool bLogPointSentences(const char* frame, size_t len);
    bool bLogRaw(const char* frame, size_t len);
    bool bLogBinary(const char* frame, size_t len);

    int iLogState(Log log) const { return files_[log].state; }
    void CloseAll();

private:
    struct File {
        int fd = -1;
        int state = CLOSED;
        std::string path;
    };

    AppShared& app() const;
    void CheckNames();
    // Opens a log in state TO_OPEN; false (after a notice, with the log stopped) on failure.
    bool Ensure(Log log);
    bool Append(Log log, const char* data, size_t len);
    void Close(Log log);
    void Stop(Log log, const char* action, const std::string& reason);
    void ResetGsv();
    void EndPointPart(bool gga);

    GPSInfo& rec_;
    AppShared* app_;
    File files_[kLogCount];
    uint32_t generation_ = 0;

    size_t gsvCount_ = 0;
    char gsv_[kGsvMessages][kGsvBufferSize];
    size_t gsvLength_[kGsvMessages] = {};
};
