#include "engine/txnmea.h"

#include <string>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "engine/scomm.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "platform/trace.h"

using platform::Format;
using platform::Sleep;

std::atomic<uint32_t> g_dwLastPollTick{0};
std::atomic<int32_t> bSuppressPolling{0};
std::atomic<int32_t> bExtThisPort{1};
std::atomic<uint8_t> g_bRTKRefInvalid{0};

CTxNMEA g_TxNMEA;

void InitPollTick() {
    g_dwLastPollTick.store(platform::TickCount());
}

namespace {

// A partly taken command is completed within this time; one still cut after it is ended by
// a line end sent ahead of the next command.
constexpr double kWriteDeadlineSec = 1.0;
constexpr const char* kLineEnd = "\r\n";

constexpr uint32_t kPollPeriodMs = 2000;
constexpr uint32_t kPollPeriodBluetoothMs = 5000;

std::string OtherSuffix(bool bOther) {
    return bOther ? ",OTHER\r\n" : "";
}

}  // namespace

const char* RateText(int rateCode) {
    static const char* const kTexts[] = {"0", "0.2", "1", "5", "10", "20"};
    if (rateCode < 0 || rateCode >= static_cast<int>(std::size(kTexts))) return "";
    return kTexts[rateCode];
}

CTxNMEA::CTxNMEA(SComm* comm, CGPS* gps) : comm_(comm), gps_(gps) {}

SComm& CTxNMEA::Comm() {
    return comm_ ? *comm_ : g_Comm;
}

CGPS& CTxNMEA::Record() {
    return gps_ ? *gps_ : g_GPS;
}

void CTxNMEA::SendString(std::string_view command) {
    if (command.empty()) return;
    SComm& comm = Comm();
    if (!comm.bOpen()) return;  // demo mode or no link: commands go nowhere, as before
    // A command cut by a stall left its first bytes on the line: the next one follows a line
    // end, so the receiver reads the torn part as a line of its own and never glues the two.
    const uint32_t owed = lineEndOwed_.load();
    std::string withLineEnd;
    std::string_view text = command;
    if (owed != 0) {
        withLineEnd.assign(kLineEnd + (2 - owed), owed).append(command);
        text = withLineEnd;
    }
    uint32_t written = 0;
    const auto length = static_cast<uint32_t>(text.size());
    int rc = COMM_OK;
    if (stalled_.load()) {
        // On a link whose other end stopped reading every command would wait its whole
        // deadline and freeze the window: while the port takes nothing, drop commands whole.
        rc = comm.SendBytes(text.data(), length, &written, 0.0);
        if (rc == COMM_OK && written == 0) {
            comm.CountSendFailure();
            platform::Trace(
                "Tessaray_PC: Error on Serial Communication: %s takes no bytes, %u dropped\n",
                comm.strPortName().c_str(), length);
            return;
        }
    }
    if (rc == COMM_OK && written < length) {
        uint32_t rest = 0;
        rc = comm.SendBytes(text.data() + written, length - written, &rest, kWriteDeadlineSec);
        written += rest;
    }
    stalled_.store(rc == COMM_TIMEOUT);
    if (written < owed) {
        lineEndOwed_.store(owed - written);
    } else {
        lineEndOwed_.store(written > owed && written < length ? 2 : 0);
    }
    if (rc != COMM_OK || written != length) {
        platform::Trace(
            "Tessaray_PC: Error on Serial Communication: %u of %u bytes written to %s "
            "(error %d)\n",
            written, length, comm.strPortName().c_str(), rc);
    }
}

void CTxNMEA::SetMessageRate(int rateCode, const char* msg, bool bOther) {
    SendString(Format("$JASC,%s,", msg) + RateText(rateCode) + OtherSuffix(bOther) + "\r\n");
}

void CTxNMEA::SetBinaryRate(int rateCode, int msgId, bool bOther) {
    SendString(Format("$JBIN,%d,", msgId) + RateText(rateCode) + OtherSuffix(bOther) + "\r\n");
}

void CTxNMEA::SetBaud(int baud, bool bOther) {
    SendString(Format("$JBAUD,%d", baud) + (bOther ? ",OTHER" : "") + "\r\n");
    Sleep(250);
}

void CTxNMEA::SetElevationMask(int mask) {
    SendString(Format("$JMASK,%d\r\n", mask));
}

void CTxNMEA::SetMaxAge(int age) {
    SendString(Format("$JAGE,%d\r\n", age));
}

void CTxNMEA::SetFrequency(bool bAuto, uint32_t freqKhz, int symbolRate) {
    std::string text = "$JFREQ";
    text += bAuto ? std::string(",0")
                  : Format(",%lu,%d", static_cast<unsigned long>(freqKhz), symbolRate);
    SendString(text + "\r\n");
}

void CTxNMEA::SetCorrectionOutput(int rate, int type) {
    for (int i = 0; i < 2; ++i) {
        SendString("$JASC,BEAC,0,OTHER\r\n");
        SendString("$JASC,RTCM,0,OTHER\r\n");
    }
    SendString(std::string(type == 1 ? "$JASC,BEAC," : "$JASC,RTCM,") +
               Format("%d,OTHER\r\n", rate));
}

void CTxNMEA::OutputsOff(bool bOther) {
    SendString(bOther ? "$JOFF,OTHER\r\n" : "$JOFF\r\n");
    Sleep(250);
}

void CTxNMEA::SaveConfig() {
    SendString("$JSAVE\r\n");
    Sleep(250);
}

void CTxNMEA::QueryShow() {
    SendString("$JSHOW\r\n");
}

void CTxNMEA::QueryInfo() {
    SendString("$JI\r\n");
}

void CTxNMEA::QueryOMS() {
    SendString("$JOMS\r\n");
}

void CTxNMEA::QueryGeo() {
    SendString("$JGEO,ALL\r\n");
}

void CTxNMEA::QueryDiff() {
    SendString("$JDIFF\r\n");
}

void CTxNMEA::QueryApp(bool bOther) {
    SendString(bOther ? "$JAPP,OTHER\r\n" : "$JAPP\r\n");
    if (bOther) Sleep(2000);
    if (App().bDemoMode.load()) {
        // Demo mode has no receiver to answer, so it shows the source last requested.
        GPSInfo& info = Record().Info;
        RecordLock lock(info.ulPart1Lock);
        info.eCurCorrSource = info.eReqCorrSource;
    }
}

void CTxNMEA::SwitchToOtherApp() {
    SendString("$JAPP,OTHER\r\n");
    Sleep(5000);
    if (baudHandOver_) baudHandOver_();
}

void CTxNMEA::SetDiffSource(int code) {
    if (code < CORR_NONE || code > CORR_SUBSEA7) {
        // An unknown code is not recorded: the screens index their tables by the source.
        platform::Trace("Tessaray_PC: Unknown diff type!\n");
        return;
    }
    GPSInfo& info = Record().Info;
    int32_t otherApp;
    {
        RecordLock lock(info.ulPart1Lock);
        otherApp = info.eRxOtherApp;
    }
    const bool switchApp = otherApp == code;
    switch (code) {
        case CORR_NONE:
            SendString("$JDIFF,NONE\r\n");
            break;
        case CORR_BEACON:
            SendString("$JDIFF,BEACON\r\n");
            break;
        case CORR_LBND:
            if (switchApp) SwitchToOtherApp();
            SendString("$JDIFF,LBAND\r\n");
            break;
        case CORR_SBAS:
        case CORR_XREF:
            if (switchApp) SwitchToOtherApp();
            SendString("$JDIFF,WAAS\r\n");
            break;
        case CORR_EXTERNAL:
            SendString(bExtThisPort.load() == 1 ? "$JDIFF,THIS\r\n" : "$JDIFF,OTHER\r\n");
            break;
        case CORR_TSPAN_BASE:
        case CORR_TSPAN_ROVER:
            if (switchApp) SwitchToOtherApp();
            Sleep(500);
            SendString("$JAPP\r\n");
            break;
        default:  // RTK and SUBSEA7 need no command
            break;
    }
    RecordLock lock(info.ulPart1Lock);
    info.eReqCorrSource = code;
}

void CTxNMEA::QueryRTK() {
    SendString("$JRTK\r\n");
}

void CTxNMEA::SendRTK6() {
    SendString("$JRTK,6\r\n");
}

void CTxNMEA::SetRTKReference(double lat, double lon, double height) {
    g_bRTKRefInvalid.store(0);
    SendString(Format("$JRTK,1,%lf,%lf,%lf\r\n", lat, lon, height));
}

void CTxNMEA::QueryRoll() {
    SendString("$JATT,ROLL\r\n");
}

void CTxNMEA::SetRoll(bool on) {
    SendString(on ? "$JATT,ROLL,YES\r\n" : "$JATT,ROLL,NO\r\n");
}

void CTxNMEA::SearchAttitude() {
    SendString("$JATT,SEARCH\r\n");
}

void CTxNMEA::QueryAttitude(const char* name) {
    SendString(Format("$JATT,%s\r\n", name));
}

void CTxNMEA::SetAttitudeFlag(const char* name, bool on) {
    SendString(Format(on ? "$JATT,%s,YES\r\n" : "$JATT,%s,NO\r\n", name));
}

void CTxNMEA::SetAttitudeValue(const char* name, float value) {
    SendString(Format("$JATT,%s,%f\r\n", name, static_cast<double>(value)));
}

void CTxNMEA::TuneBeacon(float freqKhz, int bitRateCode, int /*ignored*/) {
    std::string text = "$GPMSK,";
    if (freqKhz >= 283.5f && freqKhz <= 325.0f) {
        text += Format("%5.1f,M,", static_cast<double>(freqKhz));
    } else {
        text += ",A,";
    }
    if (bitRateCode != 0) {
        text += Format("%3lld,M", static_cast<long long>(bitRateCode) * 100);
    } else {
        text += ",A";
    }
    SendString(text + ",0\r\n");
}

void CTxNMEA::SetBeaconStatus(int on, bool bOther) {
    SendString(Format(bOther ? "$PKRV,1,%d,OTHER\r\n" : "$PKRV,1,%d\r\n", on));
    Sleep(10);
}

void CTxNMEA::BeaconErase() {
    SendString("$PKRV,4\r\n");
}

void CTxNMEA::ModemReset() {
    for (const char* text : {"ATMC\r\n", "ATMC\r\n", "ATURST\r\n", "ATURST\r\n"}) {
        SendString(text);
        Sleep(200);
    }
}

void CTxNMEA::Poll() {
    AppShared& app = App();
    const uint32_t period =
        Record().ReceiverType() == RECEIVER_BLUETOOTH ? kPollPeriodBluetoothMs : kPollPeriodMs;
    const uint32_t now = platform::TickCount();
    if (now - g_dwLastPollTick.load() <= period) return;
    g_dwLastPollTick.store(now);

    QueryDiff();
    Sleep(10);
    if (app.bStartupPhase.load()) {
        QueryApp(false);
        Sleep(10);
        return;
    }
    if (bSuppressPolling.load()) return;

    SendString(Format("$JBIN,1,%d\r\n", app.iBin1Rate.load()));
    Sleep(10);
    int32_t source;
    {
        GPSInfo& info = Record().Info;
        RecordLock lock(info.ulPart1Lock);
        source = info.eCurCorrSource;
    }
    switch (source) {
        case CORR_BEACON:
            SetBeaconStatus(1, false);
            Sleep(10);
            break;
        case CORR_LBND:
        case CORR_SBAS:
            SetMessageRate(RATE_1HZ, "D1", false);
            Sleep(10);
            break;
        default:
            Sleep(10);
            break;
    }
}
