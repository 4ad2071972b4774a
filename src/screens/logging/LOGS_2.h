#pragma once
// The raw-data log screen: the output rate of binary messages 95 and 96, the station ID line
// each recording begins with, and Start and Stop of the log the reader thread writes.

#include <string>

#include "screens/logging/logs_frame.h"

enum : int {
    IDC_LOGS2_RATE = 1035,
    IDC_LOGS2_STATION = 1053,
    IDC_LOGS2_ADD = 1067,
};

// The head of a recording: "Station ID: <id>" as UTF-16LE code units without byte-order
// mark or terminator, then CR LF as two 8-bit bytes.
std::string StationLineBytes(const std::string& stationIdUtf8);

class CLOGS_2 : public CThreadLogScreen {
public:
    CLOGS_2();

    // Messages 96 and 95 at the raw log's rate; never below what a running binary log needs.
    void SendRawRates();

protected:
    void FillControls() override;
    bool WriteHead(const std::string& path) override;

private:
    void OnRateChange();
    void OnAddStationId();
};
