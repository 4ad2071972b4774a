#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/event.h"

// eLogFlag: bits of wLogFlags.
enum eLogFlag : uint32_t {
    LOG_NMEA = 0x1,
    LOG_RAW = 0x10,
    LOG_BIN = 0x100,
    LOG_POINT_SENTENCES = 0x1000,
};

// eReceiverType.
enum eReceiverType : int {
    RECEIVER_GPS = 0,
    RECEIVER_HEADING = 1,
    RECEIVER_BLUETOOTH = 2,
};

// The log files whose names the logging screens choose.
enum eLogFile : int {
    LOGFILE_NMEA = 0,
    LOGFILE_RAW,
    LOGFILE_BIN,
    LOGFILE_POINT,
    LOGFILE_POLYGON,
    LOGFILE_COUNT
};

// The plot reference position of the position plot.
struct PlotReference {
    bool bPlotRefValid = false;
    bool bPlotRefChanged = false;  // a new reference was set; the position rings restart
    int32_t iPlotRefLatDeg = 0;
    int32_t iPlotRefLonDeg = 0;
    double dPlotRefLatMin = 0.0;
    double dPlotRefLonMin = 0.0;
    float fPlotRefAlt = 0.0f;
    char cPlotRefNS = 0;
    char cPlotRefEW = 0;
};

// The fields of the application object that the engine reads or writes. They are shared by
// the user-interface thread and the reader thread: single words are atomics, multi-word data
// is published under a mutex. The shell's application object derives from this.
struct AppShared {
    AppShared() = default;
    virtual ~AppShared() = default;
    AppShared(const AppShared&) = delete;
    AppShared& operator=(const AppShared&) = delete;

    // Link state.
    std::atomic<int> bPortOpen{0};          // the reader thread reads only while set
    std::atomic<int> bReceiverFound{0};     // set with bSentenceReceived by the reader thread
    std::atomic<int> bSentenceReceived{0};  // a line from "$" to CR LF arrived
    std::atomic<int> bBytesReceived{0};     // any byte arrived
    // Framed sentences, replies and accepted binary frames so far (wrap); noise counts not.
    std::atomic<uint32_t> uFramesHeard{0};
    std::atomic<uint32_t> uRepliesHeard{0};  // of those, replies ("$>...", "$PKRV,...")
    void ResetHeardCounts() {
        uFramesHeard.store(0);
        uRepliesHeard.store(0);
    }
    // The last read-back of the receiver's settings got no reply at all: what it filled in
    // is what the record held, not the receiver's settings.
    std::atomic<int> bReadBackUnanswered{0};
    std::atomic<int> bModemOK{0};           // a received chunk held "OK"
    std::atomic<int> bDemoMode{0};
    std::atomic<int> bStartupPhase{1};
    std::atomic<int> bBin1Position{0};  // binary message 1 seen: degrees are signed
    std::atomic<int> iHeadingAge{0};    // seconds since the last heading sentence

    // Rate value the keep-alive poll requests binary message 1 at.
    std::atomic<int> iBin1Rate{1};
    // Polygon area unit: 0 acres, 1 hectares; kept in the profile archive.
    std::atomic<int> iAreaUnits{0};

    // Thread-written logs (eLogFlag bits) and their switches.
    std::atomic<uint32_t> wLogFlags{0};
    std::atomic<int> bNMEALogOn{0};
    std::atomic<int> bRawLogOn{0};
    std::atomic<int> bBinLogOn{0};
    std::atomic<int> bPointSentenceLogOn{0};
    std::atomic<int> bPointGGAPending{0};  // log the next GGA sentence for a point
    std::atomic<int> bPointGSVPending{0};  // log the next complete GSV set for a point

    // Set by every CGPS::Unlock; nothing waits on it.
    platform::Event hDataEvent{true};

    // Log file names (szNMEALogFile, szRawLogFile, szBinLogFile, szPointLogFile,
    // szPolygonLogFile). A screen sets the name before it sets the log's bit.
    std::string GetLogFile(eLogFile which) const;
    void SetLogFile(eLogFile which, const std::string& path);
    // Raised by every SetLogFile, so a writer can tell that a name changed.
    uint32_t LogFileGeneration() const;

    std::string szNMEALogFile() const { return GetLogFile(LOGFILE_NMEA); }
    std::string szRawLogFile() const { return GetLogFile(LOGFILE_RAW); }
    std::string szBinLogFile() const { return GetLogFile(LOGFILE_BIN); }
    std::string szPointLogFile() const { return GetLogFile(LOGFILE_POINT); }
    std::string szPolygonLogFile() const { return GetLogFile(LOGFILE_POLYGON); }

    // Plot reference position, read and written as a whole.
    PlotReference GetPlotRef() const;
    // Stores a new reference and marks it changed, so the position rings restart.
    void SetPlotRef(const PlotReference& ref);
    // Clears the reference (bPlotRefValid 0) and marks it changed.
    void ClearPlotRef();
    // Returns bPlotRefChanged and clears it in one step.
    bool TakePlotRefChanged();

private:
    mutable std::mutex namesMutex_;
    std::string logFiles_[LOGFILE_COUNT];
    uint32_t logFileGeneration_ = 0;

    mutable std::mutex plotRefMutex_;
    PlotReference plotRef_;
};

// The application object as the engine sees it: the installed one, else a default instance.
AppShared& App();
// Installs the shell's application object; nullptr restores the default instance.
void SetApp(AppShared* app);
