#pragma once
// The one command sender: every command to the receiver is composed here and written through
// CTxNMEA::SendString to the serial port, with the fixed pauses the receiver needs.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class SComm;
class CGPS;

// Tick count of the last poll cycle.
extern std::atomic<uint32_t> g_dwLastPollTick;
// Called once at program start: the first poll follows one period later.
void InitPollTick();
// While set, CTxNMEA::Poll sends only the differential query.
extern std::atomic<int32_t> bSuppressPolling;
// The external differential source is on this port (1) or the other port (0).
extern std::atomic<int32_t> bExtThisPort;
// Cleared by CTxNMEA::SetRTKReference, set by the reply decoder on a rejected reference.
extern std::atomic<uint8_t> g_bRTKRefInvalid;

// The rate text of an eRateCode ("0", "0.2", "1", "5", "10", "20"); "" outside 0..5.
const char* RateText(int rateCode);

class CTxNMEA {
public:
    // comm and gps may be null: the process-wide port and record are used then.
    explicit CTxNMEA(SComm* comm = nullptr, CGPS* gps = nullptr);
    virtual ~CTxNMEA() = default;
    CTxNMEA(const CTxNMEA&) = delete;
    CTxNMEA& operator=(const CTxNMEA&) = delete;

    // Another port owes no line end for a command cut on this one.
    void SetComm(SComm* comm) {
        comm_ = comm;
        lineEndOwed_.store(0);
    }
    void SetRecord(CGPS* gps) { gps_ = gps; }
    // The baud hand-over after "$JAPP,OTHER" (reopen at the active baud, tell the receiver
    // the target baud, reopen at it); installed by the application.
    void SetBaudHandOverHook(std::function<void()> hook) { baudHandOver_ = std::move(hook); }

    // The one transmit path: the bytes as they are, nothing added.
    void SendString(std::string_view text);
    void SendString(const char* text) { SendString(std::string_view(text ? text : "")); }

    void SetMessageRate(int rateCode, const char* msg, bool bOther);
    void SetBinaryRate(int rateCode, int msgId, bool bOther);
    void SetBaud(int baud, bool bOther);
    void SetElevationMask(int mask);
    void SetMaxAge(int age);
    void SetFrequency(bool bAuto, uint32_t freqKhz, int symbolRate);
    void SetCorrectionOutput(int rate, int type);
    void OutputsOff(bool bOther);
    void SaveConfig();
    void QueryShow();
    void QueryInfo();
    void QueryOMS();
    void QueryGeo();
    void QueryDiff();
    void QueryApp(bool bOther);
    void SwitchToOtherApp();
    void SetDiffSource(int code);
    void QueryRTK();
    void SendRTK6();
    void SetRTKReference(double lat, double lon, double height);
    void QueryRoll();
    void SetRoll(bool on);
    void SearchAttitude();
    void QueryAttitude(const char* name);
    void SetAttitudeFlag(const char* name, bool on);
    void SetAttitudeValue(const char* name, float value);
    void TuneBeacon(float freqKhz, int bitRateCode, int ignored);
    void SetBeaconStatus(int on, bool bOther);
    void BeaconErase();
    void ModemReset();
    // Keep-alive and status poll, at most once per period.
    void Poll();

private:
    SComm& Comm();
    CGPS& Record();

    SComm* comm_;
    CGPS* gps_;
    std::function<void()> baudHandOver_;
    // A command could not be written in time: the port is not asked to wait again until it
    // takes bytes.
    std::atomic<bool> stalled_{false};
    // Bytes of CR LF still to be sent ahead of the next command (0..2).
    std::atomic<uint32_t> lineEndOwed_{0};
};

extern CTxNMEA g_TxNMEA;
